// tags.xml on any bytes: whatever parses must build the trees of a few kinds within the node cap; a
// node's children must be found by name as a plain search in order finds them (the first that
// matches), and each node's path, lists and record must be answered.
#include <algorithm>
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

// Per kind and per node, so that each input stays quick.
constexpr std::size_t kNodesChecked = 300;
constexpr std::size_t kChildrenChecked = 64;

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
        const auto& children = node->Children();
        for (std::size_t i = 0; i < children.size() && i < kChildrenChecked; ++i) {
            const kelvarn::TSpecNode* child = children[i];
            // Stops at the child itself at the latest, since a node matches its own name.
            const auto first = std::find_if(children.begin(), children.end(), [&](const kelvarn::TSpecNode* c) {
                return kelvarn::MatchSpecName(*c, child->Name());
            });
            if (first == children.end() || node->FindChild(child->Name()) != *first) std::abort();
        }
        (void)walnut.SpecNodeByPath(path);
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
