// Tag edits and undo of the outline: every change of a tag's name or value passes CheckTagEdit,
// which normalises the name, decides how the value is written and refuses empty tags.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "shell/CommandBus.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr std::size_t kLongestBareValue = 250;  // a longer value is always quoted

// The automatic value kind writes numbers, number lists and KUIDs bare and quotes everything else.
std::string AutoValue(const std::string& name, const std::string& value) {
    if (ContainsStr(name, "numbers-604117")) return QuoteValue(value);
    if (StartsWith(value, "<")) return Unquote(value);
    if (RemoveChars(value, "1234567890-+,.").empty() && value != "00") return value;
    return QuoteValue(value);
}

// A byte the one line of a node cannot carry: a line break, a NUL or another control character
// (a tab reads back as a blank).
bool IsLineBreaking(char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; }

// Eight bytes at a time first, as tables write thousands of rows back: a byte below 0x20 sets its top
// bit in (x - 0x2020…) & ~x. A hit, mostly a tab, is then looked at byte by byte.
bool HasLineBreaking(std::string_view text) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t x;
        std::memcpy(&x, text.data() + i, 8);
        if ((x - 0x2020202020202020u) & ~x & 0x8080808080808080u) break;
    }
    return std::any_of(text.begin() + i, text.end(), IsLineBreaking);
}

// A quoted text carries its line breaks as the reader joins its lines: "¶", one per break.
std::string JoinLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out.append(kPilcrow);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string WithoutTrailingSeparator(std::string_view path) {
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return std::string(path);
}

}  // namespace

namespace {

// TagEditValue added to `out`, which may already hold the name and its blank.
void AppendTagEditValue(std::string& out, std::string_view name, std::string_view value, int valueKind) {
    // Library searches, many bytes at a time: tables write thousands of rows back.
    const bool braces = value.find('{') != std::string_view::npos || value.find('}') != std::string_view::npos;
    const bool quotes = value.find('"') != std::string_view::npos;
    std::string safe;
    if (braces) {
        safe = ProtectBraces(value);
        value = safe;
    }
    const auto withoutQuotes = [&out, quotes](std::string_view v) {
        if (quotes)
            for (std::size_t quote; (quote = v.find('"')) != std::string_view::npos; v.remove_prefix(quote + 1))
                out.append(v.substr(0, quote));
        out.append(v);
    };
    const std::size_t at = out.size();
    switch (valueKind) {
        case vkBare: withoutQuotes(value); break;
        case vkQuoted:
            out += '"';
            withoutQuotes(value);
            out += '"';
            break;
        case vkAuto: out += AutoValue(std::string(name), std::string(value)); break;
        default: out += value; break;
    }
    if (out.size() - at > kLongestBareValue && CharCount(std::string_view(out).substr(at)) > kLongestBareValue)
        out.replace(at, std::string::npos, QuoteValue(std::string_view(out).substr(at)));
}

}  // namespace

std::string TagEditValue(std::string_view name, std::string_view value, int valueKind) {
    std::string text;
    text.reserve(value.size() + 2);
    AppendTagEditValue(text, name, value, valueKind);
    return text;
}

TTagSpec TOutlineDocument::SpecFor(std::string_view path) {
    bool found = false;
    TTagSpec spec = hooks_->FindSpecNode(WithoutTrailingSeparator(path), found);
    return found ? spec : DefaultTagSpec();
}

void TagEditText(std::string& text, std::string_view name, std::string_view value, int valueKind, bool isContainer,
                 std::string& refusal) {
    text.clear();
    refusal.clear();
    if (isContainer && !value.empty()) {
        refusal = "Container value must be empty";
        text.clear();
        return;
    }
    // A brace typed into a name or a value would become structure at the next load, and a blank in a
    // name would end it there; an "=" would split it there, giving the rest of the name to the value.
    // A cut name loses what its cut leaves at the end that a name cannot end with, as a name read
    // back would.
    const bool plain = std::none_of(name.begin(), name.end(),
                                    [](char c) { return c == ' ' || c == '\t' || c == '{' || c == '}' || c == '='; });
    if (plain && name.size() <= kSpecTextField)
        text.assign(name);
    else
        text = TrimRight(CutField(
                  ProtectBraces(ReplaceChar(ReplaceChar(ReplaceChar(name, '\t', '_'), ' ', '_'), '=', '_')),
                  kSpecTextField));
    // An invisible byte-order mark that begins a name would, at the start of the file, read back as
    // the file's mark and leave the line without its name.
    while (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    if (text.empty()) {
        refusal = "Tags cannot be empty";
        text.clear();
        return;
    }
    // A line break would end the line there and make the rest a tag of its own at the next load; a
    // ";" in front would make the line a comment, which is not saved.
    if (HasLineBreaking(text)) {
        refusal = "Tag names cannot hold line breaks or control characters";
        text.clear();
        return;
    }
    if (text.front() == ';') {
        refusal = "Tag names cannot begin with ;";
        text.clear();
        return;
    }
    if (isContainer) return;
    // The value is made behind the name and its blank, in one piece of memory: tables write thousands
    // of rows back.
    const std::size_t nameSize = text.size();
    const std::string autoName = valueKind == vkAuto ? text : std::string();  // only the automatic kind reads it
    text.reserve(nameSize + 1 + value.size() + 2);
    text += ' ';
    AppendTagEditValue(text, autoName, value, valueKind);
    const std::string_view written = std::string_view(text).substr(nameSize + 1);
    if (written.empty()) {
        refusal = "Non string values cannot be empty";
        text.clear();
        return;
    }
    if (HasLineBreaking(written)) {
        if (written.front() == '"') text.replace(nameSize + 1, std::string::npos, JoinLineBreaks(written));
        if (HasLineBreaking(std::string_view(text).substr(nameSize + 1))) {
            refusal = "The value of " + text.substr(0, nameSize) + " cannot hold line breaks or control characters";
            text.clear();
            return;
        }
    }
}

std::string TagEditText(std::string_view name, std::string_view value, int valueKind, bool isContainer,
                        std::string& refusal) {
    std::string text;
    TagEditText(text, name, value, valueKind, isContainer, refusal);
    return text;
}

bool TOutlineDocument::TagEditTextOf(TTagSpec spec, std::string& text, bool& isContainer) {
    isContainer = !spec.Path.empty() && spec.Path.back() == '\\';
    if (ContainsStr(spec.Path, "pasted*")) spec.ValueKind = vkAuto;
    std::string refusal;
    text = TagEditText(spec.Name, spec.Value, spec.ValueKind, isContainer, refusal);
    if (refusal.empty()) return true;
    Alert(refusal);
    return false;
}

bool TOutlineDocument::CheckTagEdit(TTagSpec spec, std::string& text, bool& isContainer) {
    if (!TagEditTextOf(spec, text, isContainer)) return false;
    const TOutlineNode* node = FindNodeByPath(spec.Path);
    return !node || node->Text() != text;
}

// A node holding children (or an empty container's mark) takes no value: the writer would drop it.
bool TOutlineDocument::StoreTagText(TOutlineNode* node, std::string text, bool isContainer) {
    if (!node || node == root_.get()) return false;
    if (!isContainer && node->HasChildren()) {
        Alert("Container value must be empty");
        return false;
    }
    SetText(node, std::move(text), isContainer);
    MarkModified(node);
    modified_ = true;
    Changed();
    return true;
}

TOutlineNode* TOutlineDocument::SetTagByPath(std::string_view path, std::string_view value) {
    if (path.empty()) return nullptr;
    const std::string normal = NormaliseConfigPath(path);
    const bool container = normal.back() == '\\';
    const TPathParts parts = SplitConfigPath(normal);
    if (parts.count < 2) return nullptr;  // the root is no tag
    for (std::size_t i = 1; i < parts.count; ++i) {
        if (parts[i].empty()) {
            Alert("Invalid config path: " + std::string(path));
            return nullptr;
        }
    }

    // Existing nodes along the path: a tag that holds a value cannot take children, and an existing
    // container takes no value.
    TOutlineNode* parent = root_.get();
    std::size_t depth = 1;
    for (; parent && depth + 1 < parts.count; ++depth) {
        TOutlineNode* child = FindChildByName(parent, parts[depth]);
        if (!child) break;
        if (!TagValue(child->Text()).empty()) {
            Alert("A tag that holds a value cannot hold other tags: " + normal);
            return nullptr;
        }
        parent = child;
    }
    const std::string last(parts.back());
    TOutlineNode* existing = nullptr;
    if (parent && depth + 1 == parts.count) {
        existing = FindChildByName(parent, last);
        // Tag names are lower case in the tree, whatever the caller wrote.
        if (!existing && !container) existing = FindChildByName(parent, LowerCase(last));
        if (existing && existing->HasChildren() && !container) {
            Alert("Container value must be empty");
            return nullptr;
        }
    }

    TTagSpec spec = SpecFor(normal);
    // The path finds a tag ignoring case; setting it keeps the name as written.
    spec.Name = existing ? existing->WrittenName() : last;
    spec.Value = value;
    spec.Path = normal;
    std::string text;
    bool isContainer = false;
    if (!CheckTagEdit(spec, text, isContainer)) return nullptr;

    if (!root_) Insert(nullptr, 0, std::string(kConfigRoot), false);
    TOutlineNode* node = root_.get();
    for (std::size_t i = 1; i + 1 < parts.count; ++i) {
        TOutlineNode* child = FindChildByName(node, parts[i]);
        node = child ? child : Insert(node, node->ChildCount(), std::string(parts[i]), true);
    }
    TOutlineNode* target = existing ? existing : Insert(node, node->ChildCount(), {}, false);
    return StoreTagText(target, std::move(text), isContainer) ? target : nullptr;
}

TOutlineNode* TOutlineDocument::UpdateTag(TOutlineNode* node, std::string_view name, std::string_view value) {
    if (!node) return nullptr;
    const std::string path = NodePath(node);
    TTagSpec spec = SpecFor(path);
    spec.Name = name;
    spec.Value = value;
    spec.Path = path;
    return ApplyTagEdit(spec, node);
}

TOutlineNode* TOutlineDocument::ApplyTagEdit(const TTagSpec& spec, TOutlineNode* node) {
    if (!node || node == root_.get()) return nullptr;
    std::string text;
    bool isContainer = false;
    // Unchanged is judged by the node edited: the path finds the first of several of one name.
    if (!TagEditTextOf(spec, text, isContainer) || node->Text() == text) return nullptr;
    return StoreTagText(node, std::move(text), isContainer) ? node : nullptr;
}

TOutlineNode* TOutlineDocument::CreateTag(TTagSpec spec, TOutlineNode* anchor, int mode) {
    TOutlineNode* existing = FindNodeByPath(spec.Path);
    if (existing && existing != root_.get() && SameText(spec.Name, existing->Name())) spec.Name = existing->WrittenName();
    std::string text;
    bool isContainer = false;
    if (!TagEditTextOf(spec, text, isContainer) || (existing && existing->Text() == text)) return nullptr;
    if (existing) return StoreTagText(existing, std::move(text), isContainer) ? existing : nullptr;
    if (!anchor) return nullptr;
    TOutlineNode* parent = nullptr;
    std::size_t index = 0;
    switch (mode) {
        case cmLastSibling:
            parent = anchor->Parent();
            index = parent ? parent->ChildCount() : 0;
            break;
        case cmLastChild:
        case cmFirstChild:
            if (!TagValue(anchor->Text()).empty()) {
                Alert("A tag that holds a value cannot hold other tags: " + NodePath(anchor));
                return nullptr;
            }
            parent = anchor;
            index = mode == cmLastChild ? anchor->ChildCount() : 0;
            break;
        case cmBefore:
            parent = anchor->Parent();
            index = anchor->IndexInParent();
            break;
        default: return nullptr;
    }
    if (!parent) return nullptr;
    TOutlineNode* node = Insert(parent, index, {}, false);
    return StoreTagText(node, std::move(text), isContainer) ? node : nullptr;
}

// --- undo

std::string TOutlineDocument::PushUndo() {
    if (ScriptMode) return {};
    const int depth = undo_.Depth();
    std::string error = undo_.Push(root_.get());
    if (!error.empty()) Alert(error);
    else if (!modified_) cleanUndoDepth_ = depth;
    Changed();
    return error;
}

TOutlineNode* TOutlineDocument::EditWithUndo(const std::function<TOutlineNode*()>& edit) {
    if (ScriptMode) return edit();
    // Taken out of the member while the edit runs, so an edit that nests another keeps its own.
    std::string before = std::move(snapshot_);
    WriteUndoSnapshot(root_.get(), before);
    const bool clean = !modified_;
    const int depth = undo_.Depth();
    TOutlineNode* changed = edit();
    if (changed) {
        if (std::string error = undo_.PushSnapshot(before); !error.empty()) Alert(error);
        else if (clean) cleanUndoDepth_ = depth;
    }
    snapshot_ = std::move(before);
    if (!changed) return nullptr;
    Changed();
    return changed;
}

bool TOutlineDocument::UndoLastChange() {
    std::unique_ptr<TOutlineNode> tree;
    bool restored = false;
    const std::string error = undo_.Pop(tree, restored);
    if (!error.empty()) Alert(error);
    if (!restored) {
        Changed();
        return false;
    }
    ReplaceTree(std::move(tree), TResetReason::Undo);
    // Back at the tree as loaded or saved there is nothing to save; anywhere else there is.
    modified_ = undo_.Depth() != cleanUndoDepth_;
    // The main window re-classifies the asset and refreshes its trainz-build state on 206.
    state_.SendCommand(ccConfigEdited, "");
    Changed();
    return true;
}

void TOutlineDocument::ClearUndo() {
    undo_.Clear();
    cleanUndoDepth_ = -1;
}

}  // namespace kelvarn
