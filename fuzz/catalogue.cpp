// Any bytes as tags.xml into the tag catalogue's builder, for a few kinds: whatever parses builds a
// bounded tree whose every node has a config path and one line of the tree text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/TagCatalogue.h"
#include "catalogue/TagsXml.h"

namespace {

using namespace kelvarn;

std::size_t CountAndCheck(const TCatalogueNode* top) {
    std::size_t count = 0;
    std::vector<const TCatalogueNode*> pending{top};
    while (!pending.empty()) {
        const TCatalogueNode* node = pending.back();
        pending.pop_back();
        ++count;
        if (node != top && SelectedTagAddress(node).rfind("config.txt\\", 0) != 0) std::abort();
        if (node->Element() && node->Element()->Name != node->Text()) std::abort();
        for (std::size_t i = 0; i < node->ChildCount(); ++i) {
            if (node->Child(i)->Parent() != node || node->Child(i)->IndexInParent() != i) std::abort();
            pending.push_back(node->Child(i));
        }
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxTagsXmlBytes) return 0;
    std::string error;
    const auto file = TTagsXml::Parse(std::string_view(reinterpret_cast<const char*>(data), size), "tags.xml", error);
    if (!file) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    std::vector<std::string> kinds{"unknown", "traincar", "scenery", "no such kind"};
    for (std::size_t i = 0; i < file->AssetKinds().size() && i < 3; ++i) kinds.push_back(file->AssetKinds()[i]);
    for (const std::string& kind : kinds) {
        const auto top = BuildCatalogue(*file, kind);
        const std::size_t nodes = CountAndCheck(top.get());
        if (nodes > kMaxCatalogueNodes + 1) std::abort();
        const std::string text = CatalogueTreeText(top.get());
        std::size_t lines = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
        if (lines != nodes) std::abort();
    }
    return 0;
}
