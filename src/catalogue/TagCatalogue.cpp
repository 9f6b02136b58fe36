#include "catalogue/TagCatalogue.h"

#include <iterator>

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/TagsXml.h"
#include "shell/Macros.h"
#include "shell/Strings.h"
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

namespace {

class TCatalogueBuilder {
public:
    explicit TCatalogueBuilder(const TTagsXml& file) : file_(file) {}

    void AddContents(TCatalogueNode* parent, const TXmlElement* block) {
        for (const TXmlElement* child : block->Children) {
            if (count_ >= kMaxCatalogueNodes) return;
            if (child->IsSubsection()) {
                InsertSubsection(parent, child);
                continue;
            }
            std::vector<std::string> attributes;
            attributes.reserve(child->Attributes.size());
            for (const auto& [name, value] : child->Attributes) attributes.push_back(name + "=" + value);
            TCatalogueNode* node = parent->Add(child->Name, std::move(attributes));
            ++count_;
            if (!child->Empty()) AddContents(node, child);
        }
    }

private:
    // The block the reference names goes in its place while the nesting is shallow enough for the
    // catalogue and for the reference's own limit (its first attribute's value; no number counts 1).
    void InsertSubsection(TCatalogueNode* parent, const TXmlElement* reference) {
        if (depth_ >= kMaxCatalogueDepth || reference->Attributes.empty()) return;
        ++depth_;
        const auto& [name, value] = reference->Attributes.front();
        long long limit = 1;
        if (!TryParseInt(value, limit)) limit = 1;
        if (!(limit > 0 && limit < depth_))
            if (const TXmlElement* block = file_.FindBlock(name)) AddContents(parent, block);
        --depth_;
    }

    const TTagsXml& file_;
    int depth_ = 0;
    std::size_t count_ = 0;
};

}  // namespace

std::unique_ptr<TCatalogueNode> BuildCatalogue(const TTagsXml& file, std::string_view kind) {
    const std::string shown = file.IsAssetKind(kind) ? std::string(kind) : std::string("unknown");
    auto top = std::make_unique<TCatalogueNode>("Kind " + shown + ": available tags");
    TCatalogueBuilder builder(file);
    for (const std::string& section : file.InheritChain(shown))
        if (const TXmlElement* block = file.FindBlock(section)) builder.AddContents(top.get(), block);
    return top;
}

std::string TTagCatalogue::ShowAvailableTags(const TOutlineDocument& outline, std::string_view kind) {
    std::string error;
    const auto file = TTagsXml::Load(ExpandMacros(state_, "%bin%\\tags.xml"), error);
    if (!file) {
        Clear();
        return error;
    }
    kind_ = AnalyseKind(outline, kind, KindAnalysisBuild(outline));
    if (!file->IsAssetKind(kind_)) kind_ = "unknown";
    top_ = BuildCatalogue(*file, kind_);
    return {};
}

void TTagCatalogue::Clear() {
    top_.reset();
    kind_.clear();
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

TOutlineNode* AddToConfig(TOutlineDocument& document, const TCatalogueNode* node, const TAskTagName& askName) {
    if (!node || !node->Parent()) return nullptr;
    // The element names from the top down; a pattern becomes the name the user gives it.
    std::vector<const TCatalogueNode*> chain;
    for (const TCatalogueNode* n = node; n->Parent(); n = n->Parent()) chain.push_back(n);
    std::string path(kConfigRoot);
    const TOutlineNode* container = document.Root();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        std::string part = (*it)->Text();
        const std::string pattern = SpecDisplayName(part);
        if (pattern == "*" || pattern.find('#') != std::string::npos) {
            const std::string proposal =
                pattern == "*" ? ProposedEntryName(container) : ProposedNumberedName(container, pattern);
            const std::optional<std::string> name = askName ? askName(part, proposal) : std::nullopt;
            if (!name) return nullptr;
            // The checks of Insert Tag: the entry being added must be new (an existing one would only
            // be reset to the default); a container on the way may be one there is.
            const bool last = std::next(it) == chain.rend();
            if (std::string refusal = NewEntryNameRefusal(last ? container : nullptr, *name); !refusal.empty()) {
                document.Alert(refusal);
                return nullptr;
            }
            part = Trim(*name);
        }
        path.append("\\").append(part);
        container = container ? document.FindChildByName(container, part) : nullptr;
    }
    // A refused or idle edit leaves no empty undo step behind.
    return document.EditWithUndo([&]() -> TOutlineNode* {
        if (node->ChildCount() > 0) return document.SetTagByPath(path + "\\", "");
        bool found = false;  // a path tags.xml does not describe has the default definition, no default
        return document.SetTagByPath(path, document.Hooks().FindSpecNode(path, found).Default);
    });
}

}  // namespace kelvarn
