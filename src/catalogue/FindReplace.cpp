#include "catalogue/FindReplace.h"

#include <algorithm>

#include "catalogue/OutlineDocument.h"
#include "shell/Text.h"

namespace kelvarn {

bool MatchItem(const TOutlineNode* node, std::string_view find, bool ignoreCase) {
    if (!node) return false;
    return ignoreCase ? ContainsText(node->Text(), find) : ContainsStr(node->Text(), find);
}

std::optional<std::size_t> FindNext(const TOutlineDocument& document, std::size_t row, std::string_view find,
                                    bool ignoreCase) {
    const std::size_t rows = document.RowCount();
    if (rows == 0 || find.empty()) return std::nullopt;
    row = std::min(row, rows - 1);
    const TOutlineNode* node = document.NodeAtRow(row);
    for (std::size_t tried = 1; tried < rows; ++tried) {
        node = node->NextRow();
        if (++row == rows || !node) {
            row = 0;
            node = document.Root();
        }
        if (MatchItem(node, find, ignoreCase)) return row;
    }
    return std::nullopt;
}

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replace, bool ignoreCase,
                        bool all) {
    if (find.empty()) return std::string(text);
    if (ignoreCase) return all ? ReplaceAllText(text, find, replace) : ReplaceFirstText(text, find, replace);
    if (all) return ReplaceAll(text, find, replace);
    const std::size_t hit = text.find(find);
    if (hit == std::string_view::npos) return std::string(text);
    std::string out(text.substr(0, hit));
    out.append(replace).append(text.substr(hit + find.size()));
    return out;
}

TFindOutcome FindClick(TOutlineDocument& document, TOutlineNode* selected, std::size_t& row, std::string_view find,
                       std::string_view replaceWith, bool replace, const TFindFlags& flags) {
    TFindOutcome outcome;
    const std::size_t rows = document.RowCount();
    if (rows == 0) return outcome;
    // The selection must be a node of this tree; the remembered row may be from another config.
    const std::size_t selectedRow = document.RowOf(selected);
    if (selectedRow == std::string::npos) {
        row = std::min(row, rows - 1);
        selected = document.NodeAtRow(row);
        outcome.select = selected;
    } else {
        row = selectedRow;
    }
    if (replace && selected != document.Root() && MatchItem(selected, find, flags.ignoreCase)) {
        outcome.replaced =
            document.ReplaceNodeText(selected, ReplaceText(selected->Text(), find, replaceWith, flags.ignoreCase,
                                                           flags.replaceAll));
        outcome.select = selected;
    }
    if (const auto next = FindNext(document, row, find, flags.ignoreCase)) {
        row = *next;
        outcome.select = document.NodeAtRow(row);
    } else {
        outcome.notMatched = true;
    }
    return outcome;
}

}  // namespace kelvarn
