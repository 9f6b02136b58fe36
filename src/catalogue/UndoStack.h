// Undo snapshots of one outline document: files "%backup%\" + prefix + N + ".kv$", N counted from 0
// without gaps, the newest highest, each holding the whole tree. Every node is stored with its
// level, text, flags and has-children mark, so that comment and deletion marks and empty containers
// come back as they were. The files are private to the program (the start-up purge deletes every
// ".kv$" file), and each document has its own prefix, so two outlines never restore each other.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace kelvarn {

class TOutlineNode;
class TProgramState;

// The main window's outline keeps the historic names; any other outline uses a prefix of its own.
inline constexpr std::string_view kMainUndoPrefix = "undo";
inline constexpr std::string_view kEditorUndoPrefix = "editorundo";

// The snapshot form of a tree (null: an empty tree), and back. Reading checks every level, flag set
// and length against the data.
std::string WriteUndoSnapshot(const TOutlineNode* root);
// The same into `out`, whose storage is reused: a large tree's snapshot would otherwise cost a fresh
// allocation of its whole size at every edit.
void WriteUndoSnapshot(const TOutlineNode* root, std::string& out);
// Null with `error` set when the data is not a whole snapshot; null with no error for an empty tree.
std::unique_ptr<TOutlineNode> ReadUndoSnapshot(std::string_view data, std::string& error);

class TUndoStack {
public:
    TUndoStack(TProgramState& state, std::string prefix);

    const std::string& Prefix() const { return prefix_; }
    std::string FileName(int n) const;
    // Snapshots taken and not yet undone or cleared: the undo button's state.
    int Depth() const { return depth_; }
    bool CanUndo() const { return depth_ > 0; }

    // Saves the tree as the next snapshot. Returns an error text, empty on success.
    std::string Push(const TOutlineNode* root);
    // Saves a snapshot made earlier by WriteUndoSnapshot (an edit that may be refused takes it
    // first and keeps it only when the edit changed the tree).
    std::string PushSnapshot(std::string_view snapshot);
    // Takes the newest snapshot off the stack. `restored` tells whether `tree` now holds it (null for
    // an empty tree). With no snapshot there is no error; an unreadable one is deleted and named in
    // the returned error.
    std::string Pop(std::unique_ptr<TOutlineNode>& tree, bool& restored);
    // Deletes the snapshots from 0 upwards until one is missing.
    void Clear();

private:
    int FirstMissing() const;  // a missing file ends the sequence

    TProgramState& state_;
    std::string prefix_;
    int depth_ = 0;
    std::string buffer_;  // the last snapshot written or read, kept for its storage
};

}  // namespace kelvarn
