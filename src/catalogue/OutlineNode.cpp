#include "catalogue/OutlineNode.h"

#include <bit>

#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

// Bit 0 of the icon code is modified and bit 1 tagged: the two lowest flags swap places.
int SwapTaggedModified(int bits) {
    return (bits & ~(nfTagged | nfModified)) | ((bits & nfTagged) << 1) | ((bits & nfModified) >> 1);
}

// The memory of dropped nodes, kept for the thread's next ones (not under the address sanitizer,
// which must see every node freed).
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kKeepMemory = false;
#else
constexpr bool kKeepMemory = true;
#endif
#else
constexpr bool kKeepMemory = true;
#endif
constexpr std::size_t kKeptNodes = 1u << 16;
// Kept nodes keep the memory of their texts: up to 4 KiB each, 2 MiB for all of them together.
constexpr std::size_t kKeptTextRoom = 4u << 10;
constexpr std::size_t kKeptTextBytes = 2u << 20;
// What a string holds in itself (libstdc++; another library's larger room only counts a few bytes
// more against the budget).
constexpr std::size_t kStringRoom = 15;

using TChildList = std::vector<std::unique_ptr<TOutlineNode>>;

// Child lists of dropped nodes, kept by size class: class k holds those with room for at least 2^k
// children, and a new list is made with the room of its class, so that a kept one of the class
// always fits. Each class keeps at most 128 KiB of children.
struct KeptLists {
    static constexpr std::size_t kClasses = 13;  // up to 4,096 children
    static constexpr std::size_t kBytesPerClass = 128u << 10;
    std::vector<TChildList> kept[kClasses];

    // Gives `list`, which is empty, room for `n` children.
    void Take(TChildList& list, std::size_t n, bool closed) {
        const auto k = static_cast<std::size_t>(std::bit_width(n - 1));
        if (closed || n == 0 || k >= kClasses) {
            list.reserve(n);
        } else if (!kept[k].empty()) {
            list.swap(kept[k].back());
            kept[k].pop_back();
        } else {
            list.reserve(std::size_t{1} << k);
        }
    }

    void Keep(TChildList& list, bool closed) {
        if (list.capacity() == 0) return;
        const auto k = static_cast<std::size_t>(std::bit_width(list.capacity())) - 1;
        if (!kKeepMemory || closed || k >= kClasses || kept[k].size() >= (kBytesPerClass / sizeof(void*)) >> k)
            return;  // its owner frees it
        list.clear();
        kept[k].push_back(std::move(list));
    }
};

}  // namespace

// Everything a thread keeps of the trees it dropped, for the next ones it makes. A kept node stays
// a node: empty, without children or origin, its text's memory kept, so that taking it back is a
// matter of a few fields. Kept nodes are chained through their parent.
struct TKeptNodes {
    TOutlineNode* nodes = nullptr;
    std::size_t nodeCount = 0;
    std::size_t textBytes = 0;  // the text memory the kept nodes hold
    KeptLists lists;
    bool closed = false;  // at thread exit: memory dropped after this goes straight back

    // An empty node, childless, without flags or origin.
    TOutlineNode* TakeNode() {
        TOutlineNode* node = nodes;
        if (!node) return ::new (::operator new(sizeof(TOutlineNode))) TOutlineNode;
        Unlink(node);
        node->flags_ = 0;
        return node;
    }

    // Takes the first kept node out of the chain.
    void Unlink(TOutlineNode* node) {
        nodes = node->parent_;
        --nodeCount;
        if (node->text_.capacity() > kStringRoom) textBytes -= node->text_.capacity();
    }

    // A dropped node: kept, or freed when the thread keeps enough or is ending.
    void Keep(TOutlineNode* node) {
        if (!node->children_.empty()) node->DropChildren();
        const std::size_t textRoom = node->text_.capacity() > kStringRoom ? node->text_.capacity() : 0;
        if (!kKeepMemory || closed || nodeCount >= kKeptNodes) {
            node->~TOutlineNode();
            ::operator delete(node);
            return;
        }
        lists.Keep(node->children_, closed);
        if (node->children_.capacity() > 0) TChildList().swap(node->children_);  // no room for it there
        node->origin_.reset();
        if (textRoom <= kKeptTextRoom && textBytes + textRoom <= kKeptTextBytes) {
            node->text_.clear();
            textBytes += textRoom;
        } else {
            std::string().swap(node->text_);
        }
        node->parent_ = nodes;
        nodes = node;
        ++nodeCount;
    }

    ~TKeptNodes() {
        closed = true;
        while (TOutlineNode* node = nodes) {
            nodes = node->parent_;
            node->~TOutlineNode();
            ::operator delete(node);
        }
    }
};

namespace {
thread_local TKeptNodes gKept;
}  // namespace

void* TOutlineNode::operator new(std::size_t) {
    // Made elsewhere than by the builder: a kept node gives its memory.
    TKeptNodes& kept = gKept;
    TOutlineNode* node = kept.nodes;
    if (!node) return ::operator new(sizeof(TOutlineNode));
    kept.Unlink(node);
    node->~TOutlineNode();
    return node;
}

void TOutlineNode::operator delete(TOutlineNode* node, std::destroying_delete_t) noexcept { gKept.Keep(node); }

void TOutlineNode::operator delete(void* node) noexcept { ::operator delete(node); }

int FlagsToImageIndex(int flags) { return 1 + SwapTaggedModified(flags & kAllNodeFlags); }

int ImageIndexToFlags(int imageIndex) {
    if (imageIndex <= 1) return 0;
    return SwapTaggedModified((imageIndex - 1) & kAllNodeFlags);
}

TOutlineNode::~TOutlineNode() {
    if (!children_.empty()) DropChildren();
    gKept.lists.Keep(children_, gKept.closed);
}

void TOutlineNode::DropChildren() {
    // Deep trees are taken apart without recursion: children that have children of their own wait in
    // a list; the others, most nodes, are dropped where they stand.
    TKeptNodes& kept = gKept;
    TChildList pending;
    kept.lists.Take(pending, 16, kept.closed);
    const auto drop = [&pending, &kept](TChildList& children) {
        for (auto& c : children)
            if (c && !c->children_.empty()) pending.push_back(std::move(c));
            else if (c) kept.Keep(c.release());
        children.clear();
    };
    drop(children_);
    while (!pending.empty()) {
        std::unique_ptr<TOutlineNode> n = std::move(pending.back());
        pending.pop_back();
        drop(n->children_);
    }
    kept.lists.Keep(pending, kept.closed);
}

std::string TOutlineNode::Name() const { return TagName(text_); }

std::string TOutlineNode::WrittenName() const {
    const std::string_view t = TrimView(text_);
    std::size_t end = 0;
    while (end < t.size() && t[end] != ' ' && t[end] != '\t') ++end;
    return std::string(t.substr(0, end));
}

bool TOutlineNode::NameIs(std::string_view name) const {
    const std::string_view t = TrimView(text_);
    std::size_t end = 0;
    while (end < t.size() && t[end] != ' ' && t[end] != '\t') ++end;
    if (end == t.size()) return t == name;
    const std::string_view n = TrimView(t.substr(0, end));
    if (n.size() != name.size()) return false;  // lower-casing keeps byte lengths
    for (std::size_t i = 0; i < n.size(); ++i) {
        char c = n[i];
        if (static_cast<unsigned char>(c) >= 0x80) return LowerCase(n) == name;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != name[i]) return false;
    }
    return true;
}

TOutlineNode* TOutlineNode::PrevSibling() const {
    if (!parent_ || index_ == 0) return nullptr;
    return parent_->children_[index_ - 1].get();
}

TOutlineNode* TOutlineNode::NextSibling() const {
    if (!parent_ || index_ + 1 >= parent_->children_.size()) return nullptr;
    return parent_->children_[index_ + 1].get();
}

int TOutlineNode::Level() const {
    int level = 0;
    for (const TOutlineNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

TOutlineNode* TOutlineNode::NextRow() const {
    if (!children_.empty()) return children_.front().get();
    const TOutlineNode* n = this;
    while (n && !n->NextSibling()) n = n->parent_;
    return n ? n->NextSibling() : nullptr;
}

std::size_t TOutlineNode::SubtreeRows() const {
    std::size_t rows = 0;
    WalkRows(this, [&](TOutlineNode*, int) { ++rows; });
    return rows;
}

bool TOutlineNode::IsAncestorOf(const TOutlineNode* node) const {
    for (const TOutlineNode* p = node ? node->parent_ : nullptr; p; p = p->parent_)
        if (p == this) return true;
    return false;
}

TOutlineNode* TOutlineBuilder::AppendEmpty(TOutlineNode& parent, std::size_t size, bool mark) {
    std::unique_ptr<TOutlineNode> node(gKept.TakeNode());
    if (node->text_.capacity() < size) node->text_.reserve(size);
    node->mark_ = mark;
    node->parent_ = &parent;
    node->index_ = parent.children_.size();
    return parent.children_.emplace_back(std::move(node)).get();
}

void TOutlineBuilder::Reserve(TOutlineNode& node, std::size_t children) {
    if (node.children_.empty() && node.children_.capacity() < children) {
        TKeptNodes& kept = gKept;
        kept.lists.Keep(node.children_, kept.closed);
        kept.lists.Take(node.children_, children, kept.closed);
    } else {
        node.children_.reserve(children);
    }
}

TOutlineNode* TOutlineBuilder::Append(TOutlineNode& parent, std::string text, int flags, bool mark) {
    TOutlineNode* node = AppendEmpty(parent, 0, mark);
    node->text_ = std::move(text);
    node->flags_ = static_cast<std::uint8_t>(flags & kAllNodeFlags);
    return node;
}

}  // namespace kelvarn
