// The outline's tree: its primitives (every change passes the observer), path queries, flags and
// structural operations. Tag edits and undo are in OutlineEdits.cpp, loading and saving in
// OutlineLoad.cpp.
#include "catalogue/OutlineDocument.h"

#include <algorithm>
#include <utility>

#include "catalogue/ConfigPath.h"
#include "shell/CommandBus.h"
#include "shell/MessageSink.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"

namespace kelvarn {

namespace {

constexpr std::string_view kTrackTypeTags[] = {"chunky-track",        "double-track",      "itrack", "obsolete-track",
                                               "mesh-reducing-track", "scenery-trackside", "spline", "tunnel",
                                               "bridge",              "scenery"};

IOutlineHooks& NoHooks() {
    static IOutlineHooks hooks;
    return hooks;
}

IOutlineObserver& NoObserver() {
    static IOutlineObserver observer;
    return observer;
}

bool HasTaggedChild(const TOutlineNode* node) {
    for (std::size_t i = 0; i < node->ChildCount(); ++i)
        if (node->Child(i)->HasFlag(nfTagged)) return true;
    return false;
}

}  // namespace

bool IsTrackTypeTag(std::string_view name) {
    return std::any_of(std::begin(kTrackTypeTags), std::end(kTrackTypeTags),
                       [&](std::string_view t) { return SameText(name, t); });
}

bool ReclassifiesKind(std::string_view name) {
    static constexpr std::string_view kKindTags[] = {"kind",       "height",       "trackside",  "chunky-info",
                                                     "chunky-mesh", "unit-mesh",   "mesh-table", "track",
                                                     "bogey",      "bogey-0",      "bogey-1",    "bogeys",
                                                     "trainz-build"};
    return IsTrackTypeTag(name) || std::any_of(std::begin(kKindTags), std::end(kKindTags),
                                               [&](std::string_view t) { return SameText(name, t); });
}

TOutlineDocument::TOutlineDocument(TProgramState& state, std::string undoPrefix)
    : state_(state),
      hooks_(&NoHooks()),
      observer_(&NoObserver()),
      reader_(state.Messages),
      undo_(state, std::move(undoPrefix)) {}

TOutlineDocument::~TOutlineDocument() = default;

void TOutlineDocument::SetHooks(IOutlineHooks* hooks) { hooks_ = hooks ? hooks : &NoHooks(); }
void TOutlineDocument::SetObserver(IOutlineObserver* observer) { observer_ = observer ? observer : &NoObserver(); }

void TOutlineDocument::MakeVisible(const TOutlineNode* node) {
    if (node) observer_->MakeVisible(node);
}

void TOutlineDocument::ExpandNode(const TOutlineNode* node, bool allLevels) {
    if (node) observer_->ExpandNode(node, allLevels);
}

void TOutlineDocument::Alert(std::string_view text) {
    if (!observer_->ShowAlert(text)) state_.Messages->ShowMessage(text, {}, MessageKind::Warning);
}

void TOutlineDocument::Changed() { state_.SendCommand(kOutlineCommandStates, ""); }

bool TOutlineDocument::Report(std::size_t done, std::size_t total) const {
    return total <= kGaugeRows || !Progress || Progress(done, total);
}

std::size_t TOutlineDocument::LineCount() const { return root_ ? nodeCount_ - 1 : 0; }

std::string TOutlineDocument::ConfigStatusText() const {
    if (!root_) return {};
    return "Config: " + std::to_string(LineCount()) + " lines";
}

TOutlineNode* TOutlineDocument::NodeAtRow(std::size_t row) const {
    TOutlineNode* node = root_.get();
    // Whole subtrees before the row are skipped rather than walked.
    while (node && row > 0) {
        --row;
        TOutlineNode* next = nullptr;
        for (std::size_t i = 0; i < node->ChildCount(); ++i) {
            TOutlineNode* child = node->Child(i);
            const std::size_t rows = child->SubtreeRows();
            if (row < rows) {
                next = child;
                break;
            }
            row -= rows;
        }
        node = next;
    }
    return node;
}

std::size_t TOutlineDocument::RowOf(const TOutlineNode* node) const {
    if (!node || !root_) return std::string::npos;
    std::size_t row = 0;
    const TOutlineNode* n = node;
    for (; n->Parent(); n = n->Parent()) {
        row += 1;
        for (std::size_t i = 0; i < n->IndexInParent(); ++i) row += n->Parent()->Child(i)->SubtreeRows();
    }
    return n == root_.get() ? row : std::string::npos;
}

// --- primitives

void TOutlineDocument::ReplaceTree(std::unique_ptr<TOutlineNode> root, TResetReason reason) {
    observer_->BeginReset();
    root_ = std::move(root);
    // Undo snapshots hold texts only: a restored node whose text is one read from the file stood in
    // the file as that node did, and is written back the same way.
    if (reason == TResetReason::Undo) {
        if (!origins_.empty())
            WalkRows(root_.get(), [&](TOutlineNode* node, int) {
                if (const auto it = origins_.find(node->Text()); it != origins_.end())
                    TOutlineBuilder::SetOrigin(*node, std::make_unique<TNodeOrigin>(it->second));
            });
    } else {
        origins_.clear();
        WalkRows(root_.get(), [&](const TOutlineNode* node, int) {
            if (const TNodeOrigin* origin = node->Origin()) origins_.emplace(origin->text, *origin);
        });
    }
    CountMarks();
    observer_->EndReset(reason);
}

TOutlineNode* TOutlineDocument::Insert(TOutlineNode* parent, std::size_t index, std::string text, bool mark) {
    auto node = std::make_unique<TOutlineNode>(std::move(text));
    node->mark_ = mark;
    TOutlineNode* raw = node.get();
    if (!parent) {
        observer_->BeginInsert(nullptr, 0);
        root_ = std::move(node);
        nodeCount_ = 1;
        observer_->EndInsert(raw);
        return raw;
    }
    index = std::min(index, parent->children_.size());
    observer_->BeginInsert(parent, index);
    node->parent_ = parent;
    parent->children_.insert(parent->children_.begin() + static_cast<std::ptrdiff_t>(index), std::move(node));
    for (std::size_t i = index; i < parent->children_.size(); ++i) parent->children_[i]->index_ = i;
    ++nodeCount_;
    observer_->EndInsert(raw);
    return raw;
}

void TOutlineDocument::Remove(TOutlineNode* node) {
    WalkRows(node, [&](TOutlineNode* n, int) {
        if (n->HasFlag(nfTagged)) --taggedCount_;
        if (n->HasFlag(nfDelete)) --deleteCount_;
        --nodeCount_;
    });
    observer_->BeginRemove(node);
    TOutlineNode* parent = node->parent_;
    if (!parent) {
        root_.reset();
        nodeCount_ = 0;
        observer_->EndRemove(nullptr, 0);
        return;
    }
    const std::size_t index = node->index_;
    parent->children_.erase(parent->children_.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < parent->children_.size(); ++i) parent->children_[i]->index_ = i;
    observer_->EndRemove(parent, index);
    // A container that loses its last child stays a container: it keeps its braces.
    if (parent != root_.get() && !parent->mark_) SetText(parent, parent->text_, true);
}

void TOutlineDocument::MoveTo(TOutlineNode* node, TOutlineNode* newParent, std::size_t index) {
    TOutlineNode* oldParent = node->parent_;
    if (!oldParent || !newParent || node == newParent || node->IsAncestorOf(newParent)) return;
    const std::size_t oldIndex = node->index_;
    const std::size_t last = newParent->children_.size() - (newParent == oldParent ? 1 : 0);
    index = std::min(index, last);
    if (newParent == oldParent && index == oldIndex) return;
    observer_->BeginMove(node, newParent, newParent == oldParent && index > oldIndex ? index + 1 : index);
    std::unique_ptr<TOutlineNode> owned = std::move(oldParent->children_[oldIndex]);
    oldParent->children_.erase(oldParent->children_.begin() + static_cast<std::ptrdiff_t>(oldIndex));
    for (std::size_t i = oldIndex; i < oldParent->children_.size(); ++i) oldParent->children_[i]->index_ = i;
    owned->parent_ = newParent;
    newParent->children_.insert(newParent->children_.begin() + static_cast<std::ptrdiff_t>(index), std::move(owned));
    for (std::size_t i = 0; i < newParent->children_.size(); ++i) newParent->children_[i]->index_ = i;
    observer_->EndMove(node);
    if (oldParent != root_.get() && !oldParent->mark_) SetText(oldParent, oldParent->text_, true);
}

TOutlineNode* TOutlineDocument::InsertNode(TOutlineNode* parent, std::size_t index, std::string text, bool container) {
    if (!parent) return nullptr;
    return Insert(parent, index, std::move(text), container);
}

bool TOutlineDocument::ReorderChildren(TOutlineNode* parent, const std::vector<TOutlineNode*>& order) {
    if (!parent || order.size() != parent->children_.size()) return false;
    std::vector<bool> seen(order.size(), false);
    bool changed = false;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const TOutlineNode* node = order[i];
        if (!node || node->parent_ != parent || seen[node->index_]) return false;
        seen[node->index_] = true;
        changed = changed || node->index_ != i;
    }
    if (!changed) return false;
    observer_->BeginReorder(parent);
    std::vector<std::unique_ptr<TOutlineNode>> children(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) children[i] = std::move(parent->children_[order[i]->index_]);
    parent->children_ = std::move(children);
    for (std::size_t i = 0; i < order.size(); ++i) parent->children_[i]->index_ = i;
    observer_->EndReorder(parent);
    modified_ = true;
    Changed();
    return true;
}

void TOutlineDocument::SetText(TOutlineNode* node, std::string text, bool mark) {
    node->text_ = std::move(text);
    node->mark_ = mark;
    observer_->NodeChanged(node);
}

void TOutlineDocument::SetFlags(TOutlineNode* node, int flags) {
    flags &= kAllNodeFlags;
    const int old = node->flags_;
    if (old == flags) return;
    taggedCount_ += ((flags & nfTagged) != 0) - ((old & nfTagged) != 0);
    deleteCount_ += ((flags & nfDelete) != 0) - ((old & nfDelete) != 0);
    node->flags_ = static_cast<std::uint8_t>(flags);
    observer_->NodeChanged(node);
}

// --- queries

TOutlineNode* TOutlineDocument::FindChildByName(const TOutlineNode* parent, std::string_view name) const {
    if (!parent || name.empty()) return nullptr;
    for (std::size_t i = 0; i < parent->ChildCount(); ++i)
        if (parent->Child(i)->NameIs(name)) return parent->Child(i);
    return nullptr;
}

TOutlineNode* TOutlineDocument::FindSiblingByName(const TOutlineNode* node, std::string_view name) const {
    return node ? FindChildByName(node->Parent(), name) : nullptr;
}

TOutlineNode* TOutlineDocument::FindNodeByPath(std::string_view path) const {
    if (path.empty() || !root_) return nullptr;
    const std::string normal = NormaliseConfigPath(path);
    const TPathParts parts = SplitConfigPath(normal);
    TOutlineNode* node = root_.get();
    for (std::size_t i = 1; node && i < parts.count; ++i) node = FindChildByName(node, parts[i]);
    return node;
}

TOutlineNode* TOutlineDocument::FindParentNodeByPath(std::string_view path) const {
    if (path.empty() || !root_) return nullptr;
    const std::string normal = NormaliseConfigPath(path);
    const TPathParts parts = SplitConfigPath(normal);
    if (parts.count < 2) return nullptr;
    TOutlineNode* node = root_.get();
    for (std::size_t i = 1; node && i + 1 < parts.count; ++i) node = FindChildByName(node, parts[i]);
    return node;
}

std::string TOutlineDocument::NodePath(const TOutlineNode* node) const {
    if (!node) return {};
    std::vector<std::string> names;
    for (const TOutlineNode* n = node; n->Parent(); n = n->Parent()) names.push_back(n->Name());
    std::string path(kConfigRoot);
    for (auto it = names.rbegin(); it != names.rend(); ++it) path.append("\\").append(*it);
    if (node->HasChildren() && !names.empty()) path.push_back('\\');
    if (!node->Parent() && node->HasChildren()) path.push_back('\\');
    return path;
}

std::string TOutlineDocument::RelativeNodePath(const TOutlineNode* node) const {
    std::string path = NodePath(node);
    if (StartsWith(path, "config.txt\\")) path.erase(0, kConfigRoot.size() + 1);
    return path;
}

std::string TOutlineDocument::GetValueByPath(std::string_view path) const {
    const TOutlineNode* node = FindNodeByPath(path);
    return node ? TagValueUnquoted(node->Text()) : std::string();
}

void TOutlineDocument::ListChildNames(std::string_view path, std::vector<std::string>& list) const {
    list.clear();
    if (const TOutlineNode* node = FindNodeByPath(path))
        for (std::size_t i = 0; i < node->ChildCount(); ++i) list.push_back(node->Child(i)->Name());
}

bool TOutlineDocument::IsComment(const TOutlineNode* node) {
    return node && (node->HasFlag(nfComment) || (!node->Text().empty() && node->Text().front() == ';'));
}

bool TOutlineDocument::IsDeleteMarked(const TOutlineNode* node) { return node && node->HasFlag(nfDelete); }

bool TOutlineDocument::IsTag(const TOutlineNode* node) {
    return node && !node->Text().empty() && !IsComment(node) && node->Text().find(' ') != std::string::npos &&
           node->Text() != kConfigRoot;
}

bool TOutlineDocument::IsContainer(const TOutlineNode* node) {
    return node && !node->Text().empty() && !IsComment(node) && node->Text().find(' ') == std::string::npos &&
           node->Text() != kConfigRoot;
}

// --- flags

void TOutlineDocument::SetNodeFlags(TOutlineNode* node, int set, int clear) {
    if (node) SetFlags(node, (node->flags_ | set) & ~clear);
}

void TOutlineDocument::SetChildFlags(TOutlineNode* node, int set, int clear) {
    if (!node || node->ChildCount() == 0) return;
    const std::size_t total = node->SubtreeRows() - 1;
    std::size_t done = 0;
    bool going = true;
    for (std::size_t i = 0; going && i < node->ChildCount(); ++i) {
        WalkRows(node->Child(i), [&](TOutlineNode* n, int) {
            if (!going) return;
            SetFlags(n, (n->flags_ | set) & ~clear);
            going = Report(++done, total);
        });
    }
}

void TOutlineDocument::SetParentFlags(TOutlineNode* node, int set, int clear) {
    if (!node) return;
    for (TOutlineNode* a = node->parent_; a; a = a->parent_) {
        // An ancestor stays tagged while another of its children is.
        if ((clear & nfTagged) && HasTaggedChild(a)) break;
        SetNodeFlags(a, set, clear);
    }
}

void TOutlineDocument::MarkModified(TOutlineNode* node) {
    if (!node) return;
    SetNodeFlags(node, nfModified, 0);
    SetChildFlags(node, nfModified, 0);
    SetParentFlags(node, nfModified, 0);
}

int TOutlineDocument::CountMarks() {
    taggedCount_ = deleteCount_ = 0;
    nodeCount_ = 0;
    WalkRows(root_.get(), [&](TOutlineNode* n, int) {
        if (n->HasFlag(nfTagged)) ++taggedCount_;
        if (n->HasFlag(nfDelete)) ++deleteCount_;
        ++nodeCount_;
    });
    return taggedCount_;
}

void TOutlineDocument::ToggleMark(TOutlineNode* node, int mode, bool nodeOnly) {
    if (!node) return;
    switch (mode) {
        case tmTag: {
            const bool on = !node->HasFlag(nfTagged);
            const int set = on ? nfTagged : 0, clear = on ? 0 : nfTagged;
            SetNodeFlags(node, set, clear);
            if (!nodeOnly) {
                SetChildFlags(node, set, clear);
                SetParentFlags(node, set, clear);
            }
            break;
        }
        case tmComment:
        case tmDelete: {
            const int flag = mode == tmComment ? nfComment : nfDelete;
            const int other = mode == tmComment ? nfDelete : nfComment;
            const bool marked = mode == tmComment ? IsComment(node) : IsDeleteMarked(node);
            const int set = marked ? 0 : flag, clear = marked ? flag : other;
            SetNodeFlags(node, set, clear);
            SetChildFlags(node, set, clear);
            // A comment mark changes what is saved; tag and deletion marks are working marks.
            if (mode == tmComment) modified_ = true;
            break;
        }
        default: return;
    }
    Changed();
}

// --- structure

void TOutlineDocument::NoteDeleted(std::string_view name) {
    if (name == "trainz-build") observer_->TrainzBuildDeleted();
}

bool TOutlineDocument::DeleteNode(TOutlineNode* node, bool withUndo) {
    if (!node || node == root_.get()) return false;
    const char* question = node->ChildCount() > 0 ? "Delete Container && Contents?"
                           : node->HasChildren()  ? "Delete Empty Container?"
                                                  : "Delete Tag?";
    if (!state_.Messages->AskYesNo(question)) return false;
    DeleteNow(node, withUndo);
    return true;
}

bool TOutlineDocument::DeleteByPath(std::string_view path, bool withUndo) {
    return DeleteNodeNow(FindNodeByPath(path), withUndo);
}

bool TOutlineDocument::DeleteNodeNow(TOutlineNode* node, bool withUndo) {
    if (!node || node == root_.get()) return false;
    DeleteNow(node, withUndo);
    return true;
}

void TOutlineDocument::DeleteNow(TOutlineNode* node, bool withUndo) {
    if (withUndo) PushUndo();
    SetParentFlags(node, nfModified, 0);
    const std::string name = node->Name();
    Remove(node);
    modified_ = true;
    if (ReclassifiesKind(name)) state_.SendCommand(ccConfigEdited, "");
    NoteDeleted(name);
    Changed();
}

bool TOutlineDocument::DeleteTagged(bool withUndo) {
    if (!root_ || !state_.Messages->AskYesNo("Delete Tagged Items?")) return false;
    if (withUndo) PushUndo();
    std::vector<TOutlineNode*> rows;
    WalkRows(root_.get(), [&](TOutlineNode* n, int) { rows.push_back(n); });
    bool deleted = false;
    std::vector<std::string> names;
    // From the last row up, so that a node is met before the container holding it.
    for (std::size_t i = rows.size(); i-- > 1;) {
        TOutlineNode* node = rows[i];
        if (!node->HasFlag(nfTagged) || node->HasFlag(nfComment | nfDelete)) continue;
        const std::string name = node->Name();
        if (ContainsStr(".kuid.username.kind.", "." + name + ".")) continue;
        SetParentFlags(node, nfModified, 0);
        Remove(node);
        names.push_back(name);
        deleted = true;
    }
    SetNodeFlags(root_.get(), 0, nfTagged);
    if (deleted) modified_ = true;
    hooks_->AnalyseKindAndLoadSpec(*this);
    for (const std::string& name : names) NoteDeleted(name);
    Changed();
    return deleted;
}

void TOutlineDocument::EmptyContainer(TOutlineNode* node) {
    if (!node || node->ChildCount() == 0) return;
    MarkModified(node);
    while (node->ChildCount() > 0) {
        TOutlineNode* child = node->LastChild();
        const std::string name = child->Name();
        Remove(child);
        NoteDeleted(name);
    }
    modified_ = true;
    Changed();
}

TOutlineNode* TOutlineDocument::MoveNode(TOutlineNode* node, int mode) {
    if (!node || !node->parent_) return nullptr;
    TOutlineNode* parent = node->parent_;
    const std::size_t index = node->index_;
    TOutlineNode* select = node;
    switch (mode) {
        case mmTop: MoveTo(node, parent, 0); break;
        case mmUp: MoveTo(node, parent, index > 0 ? index - 1 : 0); break;
        case mmDown: MoveTo(node, parent, index + 1); break;
        case mmBottom: MoveTo(node, parent, parent->children_.size()); break;
        case mmPromote: {
            if (!parent->parent_) return nullptr;  // a top-level node has no container to leave
            select = node->NextSibling() ? node->NextSibling() : node;
            MoveTo(node, parent->parent_, parent->index_);
            SetNodeFlags(node, nfModified, 0);
            SetParentFlags(node, nfModified, 0);
            break;
        }
        case mmDemote: {
            TOutlineNode* below = node->NextSibling();
            // Only a container can take it in: a tag would lose its value on saving.
            if (!below || !below->HasChildren()) return nullptr;
            select = node->PrevSibling() ? node->PrevSibling() : node;
            MoveTo(node, below, 0);
            SetNodeFlags(node, nfModified, 0);
            break;
        }
        default: return nullptr;
    }
    modified_ = true;
    Changed();
    return select;
}

void TOutlineDocument::PromoteContents(TOutlineNode* node) {
    if (!node || !node->parent_) return;
    while (node->ChildCount() > 0) MoveNode(node->FirstChild(), mmPromote);
}

bool TOutlineDocument::CheckNodeText(const TOutlineNode* node, std::string_view text, std::string& safe) {
    if (!node || node == root_.get() || Trim(text).empty()) return false;
    safe = SafeNodeText(text);
    // A container is written as its name alone: a value after it would be lost on saving.
    if (node->HasChildren() && !TagValue(safe).empty()) {
        Alert("Container value must be empty");
        return false;
    }
    return true;
}

bool TOutlineDocument::EditNodeText(TOutlineNode* node, std::string_view text) {
    std::string safe;
    if (!CheckNodeText(node, text, safe)) return false;
    SetText(node, std::move(safe), node->mark_);
    MarkModified(node);
    modified_ = true;
    Changed();
    return true;
}

bool TOutlineDocument::ReplaceNodeText(TOutlineNode* node, std::string_view text) {
    std::string safe;
    if (!CheckNodeText(node, text, safe) || safe == node->text_) return false;
    SetText(node, std::move(safe), node->mark_);
    modified_ = true;
    Changed();
    return true;
}

}  // namespace kelvarn
