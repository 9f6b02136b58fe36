#include "catalogue/TagCatalogue.h"

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Text.h"

namespace kelvarn {

std::string TElementNode::Value(std::string_view name) const {
    for (const std::string& line : Attributes) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && std::string_view(line).substr(0, eq) == name) return line.substr(eq + 1);
    }
    return {};
}

int TCatalogueNode::Level() const {
    int level = 0;
    for (const TCatalogueNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

TCatalogueNode* TCatalogueNode::Add(std::string text, std::vector<std::string> attributes) {
    auto node = std::make_unique<TCatalogueNode>(text);
    if (!attributes.empty()) {
        node->element_ = std::make_unique<TElementNode>();
        node->element_->Name = std::move(text);
        node->element_->Attributes = std::move(attributes);
    }
    node->parent_ = this;
    node->index_ = children_.size();
    children_.push_back(std::move(node));
    return children_.back().get();
}

std::string SelectedTagAddress(const TCatalogueNode* node) {
    if (!node || !node->Parent()) return {};
    std::vector<const std::string*> names;
    for (const TCatalogueNode* n = node; n->Parent(); n = n->Parent()) names.push_back(&n->Text());
    std::string path(kConfigRoot);
    for (auto it = names.rbegin(); it != names.rend(); ++it) path.append("\\").append(**it);
    return path;
}

std::string CatalogueTreeText(const TCatalogueNode* top) {
    std::string text;
    if (!top) return text;
    // Row order without recursion: the tree may be as deep as tags.xml nests.
    std::vector<std::pair<const TCatalogueNode*, int>> pending{{top, 0}};
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        text.append(static_cast<std::size_t>(level), '\t').append(node->Text()).append("\r\n");
        for (std::size_t i = node->ChildCount(); i-- > 0;) pending.emplace_back(node->Child(i), level + 1);
    }
    return text;
}

TOutlineNode* AddToConfig(TOutlineDocument& document, const TCatalogueNode* node) {
    std::string path = SelectedTagAddress(node);
    if (path.empty()) return nullptr;
    document.PushUndo();
    if (node->ChildCount() > 0) return document.SetTagByPath(path + "\\", "");
    bool found = false;  // a path tags.xml does not describe has the default specification, no default
    return document.SetTagByPath(path, document.Hooks().FindSpecNode(path, found).Default);
}

}  // namespace kelvarn
