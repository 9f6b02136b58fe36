// The in-memory model of one asset's config.txt: the outline tree that the outline view shows and
// that every check, repair and script reads and changes, addressing nodes by config path. The main
// window and the editor each own one. Everything that changes the tree passes through here, so the
// observer sees every change, the modified flag and the mark counts stay right, and command 2300
// (refresh the outline's command states) follows every change.
//
// Questions and alerts go to the program state's message sink, callbacks to its command bus.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ConfigReader.h"
#include "catalogue/EditorDialogs.h"
#include "catalogue/OutlineHooks.h"
#include "catalogue/OutlineNode.h"
#include "catalogue/TagSpec.h"
#include "catalogue/UndoStack.h"
#include "media/TextViewDocument.h"
#include "shell/Text.h"

namespace kelvarn {

class IAssetPages;
class TKuidMap;
class TProgramState;

// Long walks report (done, total) and stop early when it returns false (Escape). It is called only
// for walks over more than 250 rows, where the outline shows its gauge.
using TOutlineProgress = std::function<bool(std::size_t done, std::size_t total)>;
inline constexpr std::size_t kGaugeRows = 250;

// Command numbers the outline sends.
inline constexpr int kOutlineCommandStates = 2300;

enum TMoveMode : int { mmTop = 0, mmUp = 1, mmDown = 2, mmBottom = 3, mmPromote = 4, mmDemote = 5 };
enum TToggleMode : int { tmTag = 0, tmNone = 1, tmComment = 2, tmDelete = 3 };
// Where CreateTag puts a new node, relative to its anchor.
enum TCreateMode : int { cmLastSibling = 0, cmNone = 1, cmLastChild = 2, cmFirstChild = 3, cmBefore = 4 };

// chunky-track, double-track, itrack, ...: tags whose change re-classifies the asset (callback 206).
bool IsTrackTypeTag(std::string_view name);
// A track-type tag or one the kind analysis reads (kind, height, trackside, bogeys, the track tags,
// trainz-build): its edit or deletion re-classifies the asset.
bool ReclassifiesKind(std::string_view name);

// The value as a tag edit of that value kind stores it: bare, quoted, or decided from the value (a
// name holding "numbers-604117" is always quoted); braces protected; a value over 250 characters is
// quoted whatever the kind.
std::string TagEditValue(std::string_view name, std::string_view value, int valueKind);

// The node text a tag edit makes of a name and a value (CheckTagEdit without the path): the name with
// blanks as "_" and braces protected, then the value as its kind writes it. Empty when refused, with
// the refusal's alert text in `refusal`. A name or value that the line cannot carry (a line break, a
// NUL, another control character) is refused; a quoted value keeps its line breaks as "¶", as the
// reader joins the lines of a quoted text.
std::string TagEditText(std::string_view name, std::string_view value, int valueKind, bool isContainer,
                        std::string& refusal);
// The same into `text`, whose memory serves again: rows of a table are made one after another.
void TagEditText(std::string& text, std::string_view name, std::string_view value, int valueKind, bool isContainer,
                 std::string& refusal);

// The question about a config's unsaved edits before it is closed or handed to other work: Yes saves
// them, No gives them up, Cancel keeps them and stops what was about to happen.
std::string SaveConfigurationQuestion(std::string_view file);

class TOutlineDocument {
public:
    // `undoPrefix` names this outline's undo snapshots (kMainUndoPrefix for the main window's).
    explicit TOutlineDocument(TProgramState& state, std::string undoPrefix = std::string(kMainUndoPrefix));
    ~TOutlineDocument();
    TOutlineDocument(const TOutlineDocument&) = delete;
    TOutlineDocument& operator=(const TOutlineDocument&) = delete;

    // Seams (see OutlineHooks.h). Null restores the defaults, which do nothing.
    void SetHooks(IOutlineHooks* hooks);
    void SetObserver(IOutlineObserver* observer);
    IOutlineHooks& Hooks() const { return *hooks_; }
    TProgramState& State() const { return state_; }

    // Set by the script runner while a batch runs over tagged assets: no undo snapshots, no alert
    // about a missing kind, and a config with missing closing brackets does not load.
    bool ScriptMode = false;
    TOutlineProgress Progress;

    // --- state
    TOutlineNode* Root() const { return root_.get(); }
    bool Empty() const { return !root_; }
    const std::string& ShownFolder() const { return shownFolder_; }
    // The file the shown config came from (it may be called "Config.txt") and its encoding.
    const std::string& ConfigFile() const { return configFile_; }
    TextEncoding Encoding() const { return encoding_; }
    bool HasMark() const { return mark_; }
    bool Modified() const { return modified_; }
    void SetModified(bool modified) {
        modified_ = modified;
        if (!modified) cleanUndoDepth_ = -1;  // the clean tree is now this one, held by no snapshot
    }
    int TaggedCount() const { return taggedCount_; }
    int DeleteCount() const { return deleteCount_; }
    // The nodes below the root, and the status text that shows them.
    std::size_t LineCount() const;
    std::string ConfigStatusText() const;
    // Rows: every node in pre-order, the root row 0, collapsed ones included.
    std::size_t RowCount() const { return root_ ? LineCount() + 1 : 0; }
    TOutlineNode* NodeAtRow(std::size_t row) const;
    // The row of a node of this tree; npos for null or a node of another tree.
    std::size_t RowOf(const TOutlineNode* node) const;

    // --- loading and saving
    // Loads the folder's config.txt. Returns the error text, empty on success. A failed load leaves
    // the outline empty; the reader's error is also shown as an alert unless in script mode.
    std::string LoadConfig(std::string_view folder);
    // Empties the outline: no folder shown, nothing modified.
    void ClearOutline();
    // Replaces the tree with a copy of another document's, marks included, and takes over the folder,
    // file and encoding it shows (a batch hands the editor's result to the main window this way).
    // The modified flag is left to the caller.
    void CopyTreeFrom(const TOutlineDocument& source);
    // Writes the tree to `fileName` (an existing file of that name in another case is written in its
    // place) in the encoding it was read in, atomically. On success the undo snapshots are cleared,
    // callback 235 names the file, the modified flag is cleared and, with `reload`, the file is
    // loaded again. On failure the message names the file, and the file, the tree, the modified flag
    // and the snapshots stay as they were.
    std::string SaveConfig(std::string_view fileName, bool reload);
    // A text view is about to write `path` (`textBytes`). When that is this outline's config and it
    // holds unsaved edits, the user chooses which version takes the file, and the other goes to the
    // backups first, so that no answer loses either: Yes writes the text (the outline's edits are
    // backed up and given up here; the outline takes the file once it is written), No saves the
    // outline instead (the text is backed up).
    TTextSaveVerdict SettleTextSave(std::string_view path, std::string_view textBytes);
    // The text SaveConfig writes (UTF-8, CR LF), and the bytes it writes.
    std::string ConfigFileText() const;
    std::string ConfigFileBytes() const;

    // --- queries by config path (see ConfigPath.h); unknown paths give null or empty
    TOutlineNode* FindNodeByPath(std::string_view path) const;
    std::string NodePath(const TOutlineNode* node) const;
    std::string RelativeNodePath(const TOutlineNode* node) const;
    std::string GetValueByPath(std::string_view path) const;
    void ListChildNames(std::string_view path, std::vector<std::string>& list) const;
    TOutlineNode* FindChildByName(const TOutlineNode* parent, std::string_view name) const;
    TOutlineNode* FindSiblingByName(const TOutlineNode* node, std::string_view name) const;
    TOutlineNode* FindParentNodeByPath(std::string_view path) const;
    static bool IsTag(const TOutlineNode* node);
    static bool IsContainer(const TOutlineNode* node);
    static bool IsComment(const TOutlineNode* node);
    static bool IsDeleteMarked(const TOutlineNode* node);

    // --- flags
    int NodeFlags(const TOutlineNode* node) const { return node ? node->Flags() : 0; }
    void SetNodeFlags(TOutlineNode* node, int set, int clear);
    void SetChildFlags(TOutlineNode* node, int set, int clear);
    void SetParentFlags(TOutlineNode* node, int set, int clear);
    void MarkModified(TOutlineNode* node);
    int CountMarks();
    void ToggleMark(TOutlineNode* node, int mode, bool nodeOnly);

    // --- structure
    // Asks first ("Delete Tag?", "Delete Container && Contents?", "Delete Empty Container?").
    bool DeleteNode(TOutlineNode* node, bool withUndo);
    bool DeleteByPath(std::string_view path, bool withUndo);
    // Deletes without asking (the root is refused): for callers that have asked already, or that act
    // on marks the user set.
    bool DeleteNodeNow(TOutlineNode* node, bool withUndo);
    // Asks "Delete Tagged Items?"; keeps kuid, username and kind and comment- or deletion-marked nodes.
    bool DeleteTagged(bool withUndo);
    void EmptyContainer(TOutlineNode* node);
    // Returns the node to select afterwards (null when nothing could move).
    TOutlineNode* MoveNode(TOutlineNode* node, int mode);
    void PromoteContents(TOutlineNode* node);
    // The end of an in-place edit (the view takes the undo snapshot when the edit begins): the typed
    // text, its braces protected, is stored as it stands. A value typed after a container's name is
    // refused, since the writer would drop it.
    bool EditNodeText(TOutlineNode* node, std::string_view text);
    // Find and replace's store: the text is checked as an in-place edit is and made safe to load
    // (braces protected, an open quote closed); the node keeps its flags, the frame is modified.
    // Never the root.
    bool ReplaceNodeText(TOutlineNode* node, std::string_view text);
    // Puts the children of `parent` in the given order, which must hold each child once; the frame
    // is modified when the order changed. True when it changed.
    bool ReorderChildren(TOutlineNode* parent, const std::vector<TOutlineNode*>& order);
    // A node with this text (the has-children mark for a container) at `index` among the children
    // of `parent`, for paste, which builds whole subtrees; the caller marks it modified.
    TOutlineNode* InsertNode(TOutlineNode* parent, std::size_t index, std::string text, bool container);
    // Shows an alert in the view's strip (or a message box without a view).
    void Alert(std::string_view text);
    // Passed to the observer: a view brings the node into sight, or opens it.
    void MakeVisible(const TOutlineNode* node);
    void ExpandNode(const TOutlineNode* node, bool allLevels);

    // --- tag edits (value kinds: TValueKind)
    // Checks an edit and gives the node text it makes. True when it is valid and differs from the
    // present text of the node at spec.Path (or there is none); refusals raise an alert.
    bool CheckTagEdit(TTagSpec spec, std::string& text, bool& isContainer);
    // Sets a tag anywhere, creating missing containers on the way. A trailing "\" makes a container.
    // Null when refused or when nothing would change.
    TOutlineNode* SetTagByPath(std::string_view path, std::string_view value);
    TOutlineNode* UpdateTag(TOutlineNode* node, std::string_view name, std::string_view value);
    // Null when refused or unchanged.
    TOutlineNode* ApplyTagEdit(const TTagSpec& spec, TOutlineNode* node);
    TOutlineNode* CreateTag(TTagSpec spec, TOutlineNode* anchor, int mode);

    // --- new and cloned assets
    // Asks for a new asset on the editor's page and makes its folder with a config of its KUID and
    // kind; callback 243 then lists it.
    void NewAsset(IAssetPages& pages);
    // Asks for a clone of the current asset on the clone page and copies its folder; callback 241
    // lists the copy, whose selection answers with callback 242 (FinishClone). No asset: nothing.
    void CloneAsset(IAssetPages& pages);
    // Gives the clone loaded from `folder` its new identity and saves it; refused (nothing written)
    // unless `folder` is the clone CloneAsset made and the one this outline shows. The clone's KUID
    // joins `kuidMap`.
    void FinishClone(std::string_view folder, TKuidMap& kuidMap);
    // The folder a clone was copied to and waits for FinishClone; empty when none.
    const std::string& PendingClone() const { return cloneFolder_; }

    // --- undo
    // Returns an error text, empty on success (also when skipped in script mode).
    std::string PushUndo();
    // Runs an edit that gives the changed node, or null when it was refused or changed nothing;
    // the undo point of the tree as it was is kept only for a change.
    TOutlineNode* EditWithUndo(const std::function<TOutlineNode*()>& edit);
    // Restores the newest snapshot; the modified flag is left as it was. False when there was none
    // or it could not be read (then an alert says so and the tree stays).
    bool UndoLastChange();
    void ClearUndo();
    bool CanUndo() const { return undo_.CanUndo(); }
    const TUndoStack& UndoStack() const { return undo_; }

private:
    void Changed();  // command 2300
    TTagSpec SpecFor(std::string_view path);
    void ReplaceTree(std::unique_ptr<TOutlineNode> root, TResetReason reason);
    TOutlineNode* Insert(TOutlineNode* parent, std::size_t index, std::string text, bool mark);
    void Remove(TOutlineNode* node);
    void MoveTo(TOutlineNode* node, TOutlineNode* newParent, std::size_t index);
    void SetText(TOutlineNode* node, std::string text, bool mark);
    void SetFlags(TOutlineNode* node, int flags);
    void NoteDeleted(std::string_view name);
    void DeleteNow(TOutlineNode* node, bool withUndo);
    bool StoreTagText(TOutlineNode* node, std::string text, bool isContainer);
    // CheckTagEdit without the comparison: false, with the alert raised, when the edit is refused.
    bool TagEditTextOf(TTagSpec spec, std::string& text, bool& isContainer);
    // The check of a typed node text, shared by in-place editing and replace: `safe` gets the text
    // made safe to load. False (with an alert where the user must learn why) when refused.
    bool CheckNodeText(const TOutlineNode* node, std::string_view text, std::string& safe);
    bool Report(std::size_t done, std::size_t total) const;

    TProgramState& state_;
    IOutlineHooks* hooks_;
    IOutlineObserver* observer_;
    TConfigReader reader_;
    TUndoStack undo_;
    std::string snapshot_;  // storage for the tree as it was before an edit
    std::unique_ptr<TOutlineNode> root_;
    std::string shownFolder_;
    std::string configFile_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool mark_ = false;
    std::map<std::string, TNodeOrigin, std::less<>> origins_;  // of the nodes as loaded, by their text
    bool modified_ = false;
    // The undo depth whose snapshot holds the tree as loaded or saved (-1: none does): undoing back
    // to it leaves nothing to save.
    int cleanUndoDepth_ = -1;
    int taggedCount_ = 0;
    int deleteCount_ = 0;
    // Every node, the root included: kept as nodes come and go, so that the status line and the views
    // ask for it without walking thousands of rows.
    std::size_t nodeCount_ = 0;
    TCloneFields clone_;
    std::string cloneFolder_;
};

}  // namespace kelvarn
