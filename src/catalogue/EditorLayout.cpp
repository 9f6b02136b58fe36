#include "catalogue/EditorLayout.h"

#include "catalogue/OutlineNode.h"
#include "shell/Text.h"

namespace kelvarn {

TEditorSize DecodeEditorSize(int size) {
    if (size < 0) return {true, 0, 0};
    return {false, size / 1000, size % 1000};
}

std::array<int, kEditorSections> SectionWidths(const std::array<int, kEditorSections>& pages,
                                               const std::array<int, kEditorSections>& widths,
                                               const TSectionFacts& facts) {
    std::array<int, kEditorSections> out{};
    for (int s = 0; s < kEditorSections; ++s) {
        const auto i = static_cast<std::size_t>(s);
        int w = widths[i];
        if (w == -2) {
            w = facts.present[i] + 8;
        } else if (w == -1) {
            switch (s) {
                case esA: w = 100; break;
                case esB: w = facts.bControlWidth + 8; break;
                case esC: w = 50; break;
                case esD:
                    if (pages[i] == kMessagePage) w = facts.messageWidth + 8;
                    else if (pages[i] >= 1 && pages[i] <= 3) w = 0;
                    else if (pages[i] == kNumberListPage) w = 84 * facts.numberElements + 8;
                    else w = 0;
                    break;
                // No width of its own: the section fills what is left. Its present width is the last
                // task's, which would hold a smaller page at the size of a larger one before it.
                default: w = 0; break;
            }
        }
        if ((s == esB || s == esE) && w >= 1 && w <= 124) w = 125;
        out[i] = w < 0 ? 0 : w;
    }
    return out;
}

namespace {
const TOutlineNode* FindUnder(const TOutlineNode* node, const std::string& tag) {
    for (std::size_t i = 0; i < node->ChildCount(); ++i) {
        const TOutlineNode* child = node->Child(i);
        if (SameText(child->Name(), tag)) return child;
        if (const TOutlineNode* found = FindUnder(child, tag)) return found;
    }
    return nullptr;
}
}  // namespace

std::string LookupTagDefinition(const TOutlineNode* root, const std::string& tag) {
    if (!root || tag.empty()) return {};
    for (std::size_t i = 0; i < root->ChildCount(); ++i) {
        const TOutlineNode* top = root->Child(i);
        if (!SameText(top->Name(), "extensions")) continue;
        if (const TOutlineNode* found = FindUnder(top, tag)) return found->Text();
    }
    return {};
}

}  // namespace kelvarn
