// The table grid on any bytes as comma-separated lines: the first byte picks the list tag's kind, the
// rest is the table. Every column sorts both ways and shuffles, a template fills, and the saved text
// loads back to the same cells.
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

#include "media/GridModel.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kelvarn::GridModel;
    if (size == 0) return 0;
    const int kind = data[0] % 12;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    GridModel grid;
    if (!grid.ShowTagList(kelvarn::SplitLines(text), kind).empty()) return 0;  // refused: too large
    std::mt19937 random(size);
    const int rows = grid.RowCount();
    for (int c = 0; c < grid.ColCount(); ++c) {
        grid.SortColumnWay(c, false);
        grid.SortColumnWay(c, true);
        grid.SortColumn(c);
        grid.RandomiseColumn(c, random);
        if (grid.RowCount() != rows) std::abort();
    }
    grid.WriteFill(GridModel::kFixedCols, int(size % 7), kelvarn::TemplateFillValues("k$", 0, long(size % 13), true, "12"));
    for (int c = 0; c < 3; ++c) {
        grid.ClickedCol = c;
        if (kelvarn::GridMenuStates(kelvarn::GridMenuFacts(grid)).size() != 12) std::abort();
    }

    const std::string saved = grid.SaveGridText();
    GridModel back;
    if (!back.LoadTable(kelvarn::SplitLines(saved)).empty()) std::abort();
    if (back.RowCount() != grid.RowCount()) std::abort();
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = GridModel::kFixedCols; c <= grid.LastDataCol(); ++c)
            if (back.Cell(c, r) != grid.Cell(c, r)) std::abort();
    return 0;
}
