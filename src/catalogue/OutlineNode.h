// One node of a config outline: the root "config.txt", a container (its name alone) or a tag (its
// name, one blank and its value as written). Nodes are read-only to everyone but the document that
// owns them, so every change passes the document's observer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

// Node state flags.
enum TNodeFlag : int { nfTagged = 1, nfModified = 2, nfComment = 4, nfDelete = 8, nfError = 16 };
inline constexpr int kAllNodeFlags = 31;

// The tree control kept the flags in a node's icon index: 1 + a code whose bit 0 is modified and
// bit 1 tagged (the reverse of the flag values), bits 2 to 4 comment, delete and error. Icons 1 to
// 32 cover every combination; -1, 0 and 1 all read as no flags.
int FlagsToImageIndex(int flags);
int ImageIndexToFlags(int imageIndex);

// How a node stood in its file, where the writer's own rules would not give it back: lines read as
// Windows-1252 in a file that is otherwise UTF-8, or a "¶" that is a character of the text rather
// than a place where the reader joined two lines. It holds while the node's text is as it was read;
// an edited node is written by the writer's rules.
struct TNodeOrigin {
    std::string text;                  // the node's text as read
    std::vector<std::uint32_t> joins;  // byte offsets, in the tag's value, of the "¶" that joined lines
    std::vector<bool> latin;           // per line of the node in the file: it was Windows-1252
};

class TOutlineNode final {
public:
    explicit TOutlineNode(std::string text = {}) : text_(std::move(text)) {}
    TOutlineNode(const TOutlineNode&) = delete;
    TOutlineNode& operator=(const TOutlineNode&) = delete;
    ~TOutlineNode();
    // Trees of thousands of nodes are made and dropped with every config read, undo and batch step:
    // each thread keeps the nodes it dropped, with their texts' memory, for the next ones it makes.
    // Deleting a node hands it to the thread's kept nodes (TKeptNodes), which may free it.
    static void* operator new(std::size_t size);
    static void operator delete(TOutlineNode* node, std::destroying_delete_t) noexcept;
    static void operator delete(void* node) noexcept;  // when a constructor throws

    const std::string& Text() const { return text_; }
    // TagName of the text: lower case for a tag, the text itself for a container.
    std::string Name() const;
    // The name as the file or the user wrote it. Matching goes by Name(); whatever writes, moves,
    // copies or re-creates a node writes this one, because scripts look names up as written.
    std::string WrittenName() const;
    // Name() == name, without building the name.
    bool NameIs(std::string_view name) const;
    int Flags() const { return flags_; }
    bool HasFlag(int flag) const { return (flags_ & flag) != 0; }
    // The has-children mark: set on every container, also an empty one, so that it keeps its
    // expand button and the writer gives it braces.
    bool ChildMark() const { return mark_; }
    bool HasChildren() const { return mark_ || !children_.empty(); }
    // How the node stood in its file, while its text is unchanged; null otherwise.
    const TNodeOrigin* Origin() const { return origin_ && origin_->text == text_ ? origin_.get() : nullptr; }

    TOutlineNode* Parent() const { return parent_; }
    std::size_t ChildCount() const { return children_.size(); }
    TOutlineNode* Child(std::size_t i) const { return i < children_.size() ? children_[i].get() : nullptr; }
    TOutlineNode* FirstChild() const { return Child(0); }
    TOutlineNode* LastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
    std::size_t IndexInParent() const { return index_; }
    TOutlineNode* PrevSibling() const;
    TOutlineNode* NextSibling() const;
    int Level() const;  // the root is 0, top-level tags 1
    // The next row below this one in a fully expanded tree, or null.
    TOutlineNode* NextRow() const;
    // This node and every row below it.
    std::size_t SubtreeRows() const;
    bool IsAncestorOf(const TOutlineNode* node) const;

private:
    friend class TOutlineDocument;
    friend class TOutlineBuilder;
    friend struct TKeptNodes;

    void DropChildren();

    std::string text_;
    std::uint8_t flags_ = 0;
    bool mark_ = false;
    std::unique_ptr<TNodeOrigin> origin_;  // null for nearly every node
    TOutlineNode* parent_ = nullptr;
    std::size_t index_ = 0;  // position among the parent's children
    std::vector<std::unique_ptr<TOutlineNode>> children_;
};

// Builds trees that no document owns yet (the reader's tree, an undo snapshot).
class TOutlineBuilder {
public:
    static TOutlineNode* Append(TOutlineNode& parent, std::string text, int flags, bool mark);
    static void SetText(TOutlineNode& node, std::string text) { node.text_ = std::move(text); }
    static void SetFlags(TOutlineNode& node, int flags) { node.flags_ = static_cast<std::uint8_t>(flags & kAllNodeFlags); }
    static void SetMark(TOutlineNode& node, bool mark) { node.mark_ = mark; }
    static void SetOrigin(TOutlineNode& node, std::unique_ptr<TNodeOrigin> origin) { node.origin_ = std::move(origin); }
    // A node whose text the caller then writes in place (TextOf), made with room for `size` bytes.
    static TOutlineNode* AppendEmpty(TOutlineNode& parent, std::size_t size, bool mark);
    static std::string& TextOf(TOutlineNode& node) { return node.text_; }
    static void Reserve(TOutlineNode& node, std::size_t children);
};

// Calls `visit(node, level)` for the node and every row below it, in row order, without recursion.
// Levels count from the given node's level. `visit` must not change the tree.
template <typename Visit>
void WalkRows(const TOutlineNode* node, Visit&& visit) {
    if (!node) return;
    const TOutlineNode* n = node;
    int level = node->Level();
    while (n) {
        visit(const_cast<TOutlineNode*>(n), level);
        if (n->ChildCount() > 0) {
            n = n->FirstChild();
            ++level;
            continue;
        }
        while (n != node && !n->NextSibling()) {
            n = n->Parent();
            --level;
        }
        n = (n == node) ? nullptr : n->NextSibling();
    }
}

}  // namespace kelvarn
