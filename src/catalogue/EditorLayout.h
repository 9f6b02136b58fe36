// The editor window's sizing rules, apart from its widgets: how a caller's size number reads, how
// wide each section becomes, and the status line of a user tag.
#pragma once

#include <array>
#include <string>

namespace kelvarn {

class TOutlineNode;

// The editor's five sections, top left to bottom.
enum TEditorSection { esA = 0, esB = 1, esC = 2, esD = 3, esE = 4 };
inline constexpr int kEditorSections = 5;

// A caller's size: width × 1000 + height. A negative size keeps the window's size and place.
struct TEditorSize {
    bool keep = false;
    int width = 0;
    int height = 0;
};
TEditorSize DecodeEditorSize(int size);

// What ArrangeSections needs to know of the pages to size them.
struct TSectionFacts {
    std::array<int, kEditorSections> present{};  // each section's width now
    int bControlWidth = 0;                        // the text width section B's control needs
    int messageWidth = 0;                         // the width the message page's label needs
    int numberElements = 0;                       // spin elements shown on the number-list page
};

// The page numbers of section D that size themselves.
inline constexpr int kMessagePage = 0;
inline constexpr int kNumberListPage = 5;

// The width of each section for the pages and widths a task asks for: -2 keeps the present width
// (plus 8), -1 takes the section's default, B and E never narrower than 125 once given a width.
std::array<int, kEditorSections> SectionWidths(const std::array<int, kEditorSections>& pages,
                                               const std::array<int, kEditorSections>& widths,
                                               const TSectionFacts& facts);

// The line a user tag or user table is defined by among the config's extensions (its text in the
// tree), for the status label; empty when the config defines no such tag.
std::string LookupTagDefinition(const TOutlineNode* root, const std::string& tag);

}  // namespace kelvarn
