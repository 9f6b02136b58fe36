// The tag catalogue: every tag that tags.xml defines for an asset's kind and the sections it
// inherits, as a tree of element names under one top node ("Kind traincar: available tags"), each
// element's attributes kept for lookup (its help, and the default that Add to Config writes).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/TagInsertion.h"

namespace kelvarn {

class TOutlineDocument;
class TOutlineNode;
class TProgramState;
class TTagsXml;

// Subsections nest at most this deep in the catalogue, and a catalogue holds at most this many
// nodes: references may point at each other.
inline constexpr int kMaxCatalogueDepth = 4;
inline constexpr std::size_t kMaxCatalogueNodes = 100000;

// An element's name and its attributes as "name=value" lines, in file order.
class TElementNode {
public:
    std::string Name;
    std::vector<std::string> Attributes;
    // The value of an attribute, empty when absent.
    std::string Value(std::string_view name) const;
};

class TCatalogueNode {
public:
    explicit TCatalogueNode(std::string text) : text_(std::move(text)) {}
    const std::string& Text() const { return text_; }
    // Null for an element without attributes (and for the top node).
    const TElementNode* Element() const { return element_.get(); }
    const TCatalogueNode* Parent() const { return parent_; }
    std::size_t ChildCount() const { return children_.size(); }
    const TCatalogueNode* Child(std::size_t i) const { return i < children_.size() ? children_[i].get() : nullptr; }
    std::size_t IndexInParent() const { return index_; }
    // The top node is level 0.
    int Level() const;

    // Building (the catalogue's own builder and tests).
    TCatalogueNode* Add(std::string text, std::vector<std::string> attributes = {});

private:
    std::string text_;
    std::unique_ptr<TElementNode> element_;
    TCatalogueNode* parent_ = nullptr;
    std::size_t index_ = 0;
    std::vector<std::unique_ptr<TCatalogueNode>> children_;
};

// The catalogue of a kind (already analysed; one the file does not list shows "unknown"): the top
// node "Kind " + kind + ": available tags" and below it the contents of every section the kind
// loads, with the blocks that subsections name in their place.
std::unique_ptr<TCatalogueNode> BuildCatalogue(const TTagsXml& file, std::string_view kind);

// The catalogue view's state: the tree shown and the kind it shows.
class TTagCatalogue {
public:
    explicit TTagCatalogue(TProgramState& state) : state_(state) {}

    // The available tags of a kind, analysed by the outline first (an empty kind is the config's).
    // Returns tags.xml's error (missing or malformed file), and the tree is then empty.
    std::string ShowAvailableTags(const TOutlineDocument& outline, std::string_view kind);
    void Clear();
    const TCatalogueNode* Top() const { return top_.get(); }
    bool Loaded() const { return top_ != nullptr; }
    const std::string& Kind() const { return kind_; }

private:
    TProgramState& state_;
    std::unique_ptr<TCatalogueNode> top_;
    std::string kind_;
};

// "config.txt\" followed by the texts of the node's ancestors below the top node and its own,
// joined by "\"; empty for the top node itself or none.
std::string SelectedTagAddress(const TCatalogueNode* node);

// The tree as text: a line per node, a tab per level below the top node, lines ended by CR LF.
std::string CatalogueTreeText(const TCatalogueNode* top);

// Add to Config: after an undo snapshot, the element's path is set in the outline to the default its tag
// definition gives; an element with children goes in as a container (which takes no value). A part of
// the path that stands for names (an element ending "-id", one with "N" for a number) is asked for
// with `askName`, a number proposed; a typed name is refused as Insert Tag refuses it (empty, holding
// "\", or, for the entry being added, the name of one there is in any case). Null when the outline
// refused it (its alert says why), the user cancelled, or nothing changed.
TOutlineNode* AddToConfig(TOutlineDocument& document, const TCatalogueNode* node, const TAskTagName& askName);

}  // namespace kelvarn
