// A list tag's rows on any bytes: each line's cells survive the CSV codec, the table page's grid gives
// rows without trailing empty cells, and the rows rebuild a list container whose own rows, written
// back, change nothing.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/OutlineDocument.h"
#include "catalogue/TagEditing.h"
#include "catalogue/TagEditorPages.h"
#include "media/GridModel.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/TagTypes.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    if (size == 0 || size > 64 * 1024) return 0;
    static const char* const kFormats[] = {"kuid-list", "string-list", "camera-list", "texture-list"};
    const std::string format = kFormats[data[0] % 4];
    // Text inside the program is UTF-8: the bytes are decoded as every outside text is.
    const std::vector<std::string> lines =
        SplitLines(DecodeText(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)).text);

    for (const std::string& line : lines) {
        const std::vector<std::string> cells = SplitCsvLine(line);
        if (SplitCsvLine(JoinCsvLine(cells)) != cells) std::abort();
    }

    GridModel grid;
    std::vector<std::string> table = {"\"Tag\",\"Value\""};
    table.insert(table.end(), lines.begin(), lines.end());
    if (!grid.ShowTagList(table, TagTypeIndex(format)).empty()) return 0;
    const std::vector<std::string> rows = GridToCsv(grid);
    for (const std::string& row : rows) {
        const std::vector<std::string> cells = SplitCsvLine(row);
        if (cells.empty() || Trim(cells.back()).empty()) std::abort();  // trailing empty cells are dropped
    }

    TProgramState state;
    TOutlineDocument document(state);
    document.SetTagByPath("config.txt\\kind", "scenery");
    document.SetTagByPath("config.txt\\list\\0", "<kuid:1:2>");
    document.SetTagByPath("config.txt\\list\\a", "1,2,3");
    TOutlineNode* list = document.FindNodeByPath("config.txt\\list");
    if (!list) std::abort();
    TTagSpec record;
    record.Format = format;
    record.Captions = "Tag,Value";
    CsvToContainer(document, list, rows, record);
    if (document.FindNodeByPath("config.txt\\list") != list) std::abort();
    for (std::size_t i = 0; i < list->ChildCount(); ++i)
        if (list->Child(i)->HasChildren() || list->Child(i)->Name().empty()) std::abort();

    // The container's own rows written back change nothing: the rows read from it again are the same.
    std::vector<std::string> again;
    ContainerToCsv(list, record, again);
    CsvToContainer(document, list, std::vector<std::string>(again.begin() + 1, again.end()), record);
    if (document.FindNodeByPath("config.txt\\list") != list) std::abort();
    std::vector<std::string> third;
    ContainerToCsv(list, record, third);
    if (third != again) std::abort();
    return 0;
}
