// tags.xml on any bytes: whatever parses must build the trees of a few kinds within the node cap, and
// every node of a tree must be found again by its own config path, with its lists and its record.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/TagsXml.h"
#include "catalogue/Walnut.h"
#include "shell/ProgramState.h"

namespace {

constexpr std::size_t kNodesChecked = 300;  // per kind, so that each input stays quick

void CheckKind(kelvarn::TWalnut& walnut, const std::shared_ptr<const kelvarn::TTagsXml>& file, std::string_view kind) {
    walnut.LoadTagSpec(file, kind);
    const kelvarn::TSpecNode* root = walnut.Root();
    if (!root) std::abort();
    std::vector<const kelvarn::TSpecNode*> stack{root};
    std::vector<std::string> list;
    std::size_t checked = 0;
    while (!stack.empty() && checked++ < kNodesChecked) {
        const kelvarn::TSpecNode* node = stack.back();
        stack.pop_back();
        const std::string path = node->ConfigPath();
        // A node is always found by its own path (FindSpecNode may look elsewhere: paths below
        // "extensions" that name user tags are looked up at the top of extensions).
        if (!walnut.SpecNodeByPath(path)) std::abort();
        bool found = false;
        kelvarn::TWalnut::RenderSpecNode(walnut.FindSpecNode(path, found), list);
        walnut.ListAllowedTags(path, list);
        walnut.ListMandatoryTags(path, list);
        (void)node->Text();
        for (const kelvarn::TSpecNode* child : node->Children()) stack.push_back(child);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto file = kelvarn::TTagsXml::Parse(bytes, "fuzz/tags.xml", error);
    if (!file) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    kelvarn::TProgramState state;
    state.SetActiveBuild(29);
    kelvarn::TWalnut walnut(state);
    std::vector<std::string> kinds = {"unknown", "scenery", "traincar"};
    for (std::size_t i = 0; i < file->AssetKinds().size() && i < 3; ++i) kinds.push_back(file->AssetKinds()[i]);
    for (const std::string& kind : kinds) CheckKind(walnut, file, kind);

    std::vector<std::string> list;
    file->ListChildElements("KIND", list);
    for (std::size_t i = 0; i < file->Root()->Children.size() && i < 8; ++i)
        file->ListChildElements(file->Root()->Children[i]->Name, list);
    return 0;
}
