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
constexpr std::size_t kKeptNodes = kKeepMemory ? 1u << 16 : 0;

struct KeptNodes {
    void* head = nullptr;
    std::size_t count = 0;
    ~KeptNodes() {
        while (head) {
            void* next = *static_cast<void**>(head);
            ::operator delete(head);
            head = next;
        }
        count = kKeptNodes;  // nodes dropped after this (at exit) go straight back
    }
};

thread_local KeptNodes gKept;

// The same for the texts of dropped nodes that did not fit in the string itself, and for child
// lists. Buffers are kept by size class: class k holds those with room for at least 2^k elements
// (for a text, its terminating NUL is one of them), and a new buffer is made with the room of its
// class, so that a kept one of the class always fits. Each class keeps at most 128 KiB of elements;
// nothing is kept under the address sanitizer.
template <typename Buffer, std::size_t Slack, std::size_t FirstClass>
struct KeptBuffers {
    static constexpr std::size_t kClasses = 13;  // up to 4,096 elements
    static constexpr std::size_t kBytesPerClass = 128u << 10;
    std::vector<Buffer> kept[kClasses];
    bool closed = false;  // at thread exit: buffers dropped after this go straight back
    ~KeptBuffers() { closed = true; }

    // An empty buffer with room for `n` elements.
    Buffer Take(std::size_t n) {
        Buffer b;
        const auto k = static_cast<std::size_t>(std::bit_width(n + Slack - 1));
        if (closed || k < FirstClass || k >= kClasses) {
            b.reserve(n);
        } else if (!kept[k].empty()) {
            b = std::move(kept[k].back());
            kept[k].pop_back();
        } else {
            b.reserve((std::size_t{1} << k) - Slack);
        }
        return b;
    }

    void Keep(Buffer& b) {
        const std::size_t room = b.capacity() + Slack;
        const auto k = static_cast<std::size_t>(std::bit_width(room)) - 1;
        if (!kKeepMemory || closed || k < FirstClass || k >= kClasses ||
            kept[k].size() >= (kBytesPerClass / sizeof(typename Buffer::value_type)) >> k)
            return;  // its owner frees it
        b.clear();
        kept[k].push_back(std::move(b));
    }
};

// A string holds up to 15 characters in itself (16 bytes with the NUL): texts start at class 5.
thread_local KeptBuffers<std::string, 1, 5> gKeptTexts;
thread_local KeptBuffers<std::vector<std::unique_ptr<TOutlineNode>>, 0, 0> gKeptLists;

}  // namespace

void* TOutlineNode::operator new(std::size_t size) {
    KeptNodes& kept = gKept;
    if (size != sizeof(TOutlineNode) || !kept.head) return ::operator new(size);
    void* node = kept.head;
    kept.head = *static_cast<void**>(node);
    --kept.count;
    return node;
}

void TOutlineNode::operator delete(void* node, std::size_t size) noexcept {
    KeptNodes& kept = gKept;
    if (!node) return;
    if (size != sizeof(TOutlineNode) || kept.count >= kKeptNodes) return ::operator delete(node);
    *static_cast<void**>(node) = kept.head;
    kept.head = node;
    ++kept.count;
}

int FlagsToImageIndex(int flags) { return 1 + SwapTaggedModified(flags & kAllNodeFlags); }

int ImageIndexToFlags(int imageIndex) {
    if (imageIndex <= 1) return 0;
    return SwapTaggedModified((imageIndex - 1) & kAllNodeFlags);
}

TOutlineNode::~TOutlineNode() {
    gKeptTexts.Keep(text_);
    if (children_.empty()) {  // most nodes, and those whose children went first
        gKeptLists.Keep(children_);
        return;
    }
    // Deep trees are taken apart without recursion: children that have children of their own wait in
    // a list (a kept one); the others, most nodes, are dropped where they stand.
    std::vector<std::unique_ptr<TOutlineNode>> pending = gKeptLists.Take(16);
    const auto drop = [&pending](std::vector<std::unique_ptr<TOutlineNode>>& children) {
        for (auto& c : children)
            if (c && !c->children_.empty()) pending.push_back(std::move(c));
        children.clear();
    };
    drop(children_);
    while (!pending.empty()) {
        std::unique_ptr<TOutlineNode> n = std::move(pending.back());
        pending.pop_back();
        drop(n->children_);
    }
    gKeptLists.Keep(pending);
    gKeptLists.Keep(children_);
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

TOutlineNode* TOutlineBuilder::AppendEmpty(TOutlineNode& parent, std::size_t size, int flags, bool mark) {
    return Append(parent, gKeptTexts.Take(size), flags, mark);
}

void TOutlineBuilder::Reserve(TOutlineNode& node, std::size_t children) {
    if (node.children_.empty() && node.children_.capacity() < children) node.children_ = gKeptLists.Take(children);
    else node.children_.reserve(children);
}

TOutlineNode* TOutlineBuilder::Append(TOutlineNode& parent, std::string text, int flags, bool mark) {
    auto node = std::make_unique<TOutlineNode>(std::move(text));
    node->flags_ = static_cast<std::uint8_t>(flags & kAllNodeFlags);
    node->mark_ = mark;
    node->parent_ = &parent;
    node->index_ = parent.children_.size();
    parent.children_.push_back(std::move(node));
    return parent.children_.back().get();
}

}  // namespace kelvarn
