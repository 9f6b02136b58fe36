// Find and replace over the node texts of an outline, one node at a time. Rows are the document's
// rows (every node in pre-order, collapsed ones included). The form keeps the current row between
// presses; the engine clamps it, since another asset may have been loaded meanwhile.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;

// Does the node's text hold the find text? An empty find text matches nothing.
bool MatchItem(const TOutlineNode* node, std::string_view find, bool ignoreCase);

// The next matching row after `row`, wrapping after the last row to row 0, trying every other row
// once (the row itself is not tried). None when nothing else matches or the tree is empty.
std::optional<std::size_t> FindNext(const TOutlineDocument& document, std::size_t row, std::string_view find,
                                    bool ignoreCase);

// The text with the find text replaced: the first occurrence, or every one.
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replace, bool ignoreCase,
                        bool all);

struct TFindFlags {
    bool ignoreCase = true;
    bool replaceAll = false;
};

// One press of Find, Replace or F3.
struct TFindOutcome {
    TOutlineNode* select = nullptr;  // the node to select and make visible; null: leave the selection
    bool replaced = false;
    bool notMatched = false;  // a whole pass found nothing: beep, show "No Further Matches"
};

// `selected` is the view's selection (null when none); `row` the form's current row, updated here.
// With `replace`, a selected node that matches has its text replaced first (never the root).
TFindOutcome FindClick(TOutlineDocument& document, TOutlineNode* selected, std::size_t& row, std::string_view find,
                       std::string_view replaceWith, bool replace, const TFindFlags& flags);

}  // namespace kelvarn
