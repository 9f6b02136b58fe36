// SortOrder.txt on any bytes, over a fixed config: the top level may take any order, but afterwards
// it holds the same nodes with the same subtrees, and nothing below the top level moved.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace {

using namespace kelvarn;

void Build(TOutlineDocument& doc) {
    doc.SetTagByPath("kind", "traincar");
    TOutlineNode* root = doc.Root();
    for (const char* text : {"kuid <kuid:1:2>", "username \"a\"", "Kind scenery", "bogey <kuid:3:4>", "kind x", ">",
                             "@", "", "description \"k\""})
        doc.InsertNode(root, root->ChildCount(), text, false);
    for (const char* name : {"mesh-table", "Thumbnails", "mesh-table", "empty"}) {
        TOutlineNode* c = doc.InsertNode(root, root->ChildCount(), name, true);
        if (std::string_view(name) == "empty") continue;
        TOutlineNode* inner = doc.InsertNode(c, 0, "default", true);
        doc.InsertNode(inner, 0, "mesh \"b.im\"", false);
        doc.InsertNode(c, 1, "z 1", false);
        doc.InsertNode(c, 2, "a 2", false);
    }
}

// Each top-level node with its subtree as text, in a sorted list.
std::vector<std::string> Subtrees(const TOutlineDocument& doc) {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < doc.Root()->ChildCount(); ++i) {
        std::string text;
        WalkRows(doc.Root()->Child(i), [&](TOutlineNode* n, int level) {
            text += std::to_string(level) + "|" + n->Text() + (n->ChildMark() ? "{" : "") + "\n";
        });
        all.push_back(text);
    }
    std::sort(all.begin(), all.end());
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxSortOrderBytes) return 0;
    TProgramState state;
    TOutlineDocument doc(state);
    Build(doc);
    const std::vector<std::string> before = Subtrees(doc);
    const std::size_t rows = doc.RowCount();
    const DecodedText text = DecodeText(std::string_view(reinterpret_cast<const char*>(data), size));
    ReorderConfig(doc, ParseSortOrder(SplitLines(text.text)));
    if (doc.RowCount() != rows || Subtrees(doc) != before) std::abort();
    for (std::size_t i = 0; i < doc.Root()->ChildCount(); ++i)
        if (doc.Root()->Child(i)->IndexInParent() != i || doc.Root()->Child(i)->Parent() != doc.Root()) std::abort();
    return 0;
}
