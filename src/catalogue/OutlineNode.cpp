#include "catalogue/OutlineNode.h"

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
constexpr std::size_t kKeptNodes = 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::size_t kKeptNodes = 0;
#else
constexpr std::size_t kKeptNodes = 1u << 16;
#endif
#else
constexpr std::size_t kKeptNodes = 1u << 16;
#endif

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
    // Deep trees are taken apart without recursion: children that have children of their own wait in
    // a list; the others, most nodes, are dropped where they stand.
    std::vector<std::unique_ptr<TOutlineNode>> pending;
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
