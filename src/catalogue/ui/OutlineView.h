// TOutlineView: the outline frame. It shows one outline document as a tree (state icons, comment and
// deletion colours, errors in red), with the header's buttons, the context menu, the keys and mouse
// gestures of the outline commands, its alert strip and a gauge for long mark walks. It owns no
// document: the main window and the editor each give it their own.
//
// Buttons and menu items send their command number with the frame's name over the bus; the
// dispatcher's rows (OutlineRows.h) call back into ExecuteCommand. The work of later parts (tag
// insertion, the tag editor and value picker, help links, the utility console, scripts) comes in
// through the hooks below, which do nothing until set.
#pragma once

#include <QTimer>
#include <functional>
#include <set>
#include <string>

#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineMenuRules.h"
#include "shell/ui/FramePanel.h"

class QAction;
class QMenu;
class QProgressBar;
class QToolButton;
class QTreeView;

namespace kelvarn {

class OutlineItemModel;
class TFindForm;
class TOutlineDocument;
struct TAssetCheck;
class TOutlineNode;
class TOutlineTree;
class TProgramState;

// The outline's command numbers.
enum TOutlineCommand : int {
    ocContextMenu = 2300,
    ocExpand = 2301,
    ocCollapse = 2302,
    ocComment = 2303,
    ocDeleteMe = 2304,
    ocIncrementKuid = 2305,
    ocPromoteAll = 2306,
    ocSortTree = 2307,
    ocInsertTag = 2308,
    ocAddChildTag = 2311,
    ocEditTag = 2312,
    ocDelete = 2314,
    ocDeleteTagged = 2315,
    ocRunScript = 2316,
    ocCopyNode = 2317,
    ocCopyTaggedNodes = 2318,
    ocPasteNodes = 2319,
    ocFindReplace = 2325,
    ocFindText = 2326,
    ocHelpLink = 2327,
    ocOpenLink = 2328,
    ocOpenKuid = 2329,
    ocAssetStatus = 2330,
    ocMoveToTop = 2350,
    ocMoveUp = 2351,
    ocPromote = 2352,
    ocDemote = 2353,
    ocMoveDown = 2354,
    ocMoveToBottom = 2355,
    ocSortOrder = 2356,
    ocSaveConfig = 2359,
    ocUndo = 2360,
    ocUndoMark = 2361,
};

class TOutlineView : public TFrame<IFrame> {
public:
    TOutlineView(TProgramState& state, TOutlineDocument& document, QWidget* parent = nullptr);
    ~TOutlineView() override;

    // IFrame
    void Clear() override { ClearOutline(); }
    bool CloseQuery() override { return OutlineCloseQuery(); }
    bool QuerySave() override { return AskSaveConfig(); }
    QWidget* MainControl() override;
    bool Busy() const override { return busy_; }
    void Cancel() override { cancel_ = true; }

    TOutlineDocument& Document() const { return document_; }
    OutlineItemModel* Model() const { return model_; }
    QTreeView* Tree() const;
    TCopyList& CopyList() { return copyList_; }
    QAction* Action(const QString& component) const;
    QMenu* ContextMenu() const { return contextMenu_; }
    QProgressBar* Gauge() const { return gauge_; }
    QTimer& ClickTimer() { return clickTimer_; }
    QTimer& TETTimer() { return tetTimer_; }
    void SetFindForm(TFindForm* form) { findForm_ = form; }
    TFindForm* FindForm() const { return findForm_; }

    TOutlineNode* Selected() const;
    void Select(const TOutlineNode* node);
    void MakeVisible(const TOutlineNode* node);
    bool IsVisibleRow(const TOutlineNode* node) const;
    // Where the node's state icon is drawn, in the tree's viewport.
    QRect StateIconRect(const TOutlineNode* node) const;

    // --- loading and saving
    std::string LoadConfig(const std::string& folder);
    void ClearOutline();
    void ShowConfigStatus();
    // With `noPrompt` false the user picks the file first. False when nothing was written.
    bool SaveConfig(const std::string& fileName, bool reload, bool noPrompt);
    // The config of the current asset folder (the shown folder when none is set).
    std::string AssetConfigFile() const;
    bool AskSaveConfig();
    bool OutlineCloseQuery();

    // --- expansion
    void ExpandNode(const TOutlineNode* node);
    void CollapseNode(const TOutlineNode* node);
    bool IsFullyExpanded(const TOutlineNode* node) const;
    bool IsFullyCollapsed(const TOutlineNode* node) const;

    // --- commands
    void ExecuteCommand(int number);
    // The context menu's and buttons' states (command group 2300).
    void ValidateMenu();
    TOutlineMenuFacts MenuFacts() const;
    void ToggleMark(TOutlineNode* node, int mode, bool nodeOnly);
    void TagAll(bool tagged);
    std::string IncrementKuid(TOutlineNode* node, bool silent, bool withUndo);
    void OpenFindReplace(bool keepSelection);
    void UndoLastChange();
    void StartInPlaceEdit();
    // The end of an in-place edit with the typed text.
    void EndInPlaceEdit(TOutlineNode* node, const QString& text);
    // ContextMenuExecute: a button or item sends its number with the frame's name.
    void ContextMenuExecute(int number);
    void PopupContextMenu(const QPoint& globalPos);

    // --- checks of the current asset's files, with the frame's gauge (rows 1704, 1705, 1713; 1706
    // runs the file reference check through RunAssetCheck). Nothing runs without an asset.
    void RunAssetCheck(const std::function<void(const TAssetCheck& check)>& run);
    void VerifyMeshes();
    void VerifyTextures();
    void VerifyImages();
    // Read-only: the header hidden, no edits, edit keys, commands or context menu; selecting and
    // expanding still work (the editor window's review of a batch).
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return readOnly_; }

    // --- hooks of later parts
    std::function<void(TOutlineNode* node, bool asChild)> InsertTag;  // 2308, 2311, Insert, Ctrl+Insert
    std::function<void(TOutlineNode* node)> EditTag;                  // 2312, Ctrl+Enter, double click
    std::function<void(TOutlineNode* node)> ValuePicker;              // Enter, a single click
    // Whether the value picker runs for Enter (the value unquoted) or for a click (as written).
    bool PickedByKey() const { return pickedByKey_; }
    // The hidden header button "TS": the selected tag's definition as text.
    std::function<void(TOutlineNode* node)> ShowTagSpec;
    std::function<void(TOutlineNode* node)> HelpLink;                 // 2327, Shift with the slash key
    std::function<void(TOutlineNode* node)> OpenLink;                 // 2328
    std::function<void(TOutlineNode* node)> OpenKuid;                 // 2329
    std::function<void(TOutlineNode* node)> AssetStatus;              // 2330
    std::function<void(TOutlineNode* node)> RunScript;                // 2316
    std::function<void(const std::string& search)> ConsoleSearch;     // F12 with the console open
    // The search F12 offers (the utility keeps it); unset: the last one typed here.
    std::function<std::string()> KeptSearch;
    std::function<bool()> IsConsoleOpen;
    std::function<bool(const TOutlineNode* node)> HasHelpLink;
    // The trainz-build state (after an undo and when a trainz-build tag is deleted).
    std::function<void(const std::string& reason)> RefreshTrainzBuild;
    // The save dialog: the chosen file, empty when cancelled. Tests answer it themselves.
    std::function<std::string(const std::string& folder)> AskSaveFileName;
    // F12's question; empty when cancelled.
    std::function<std::string(const std::string& last)> AskSearchString;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildHeader();
    void BuildContextMenu();
    QAction* MakeAction(const char* component, int number, const char* caption);
    bool TreeKey(QKeyEvent* key);
    bool TreeMouse(QMouseEvent* mouse, bool doubleClick);
    void BeforeReset();
    void AfterReset(TResetReason reason);
    void MoveSelected(int mode);
    void RunHook(const std::function<void(TOutlineNode*)>& hook);
    bool WalkProgress(std::size_t done, std::size_t total);
    std::string ShownConfigPath() const;

    TProgramState& state_;
    TOutlineDocument& document_;
    OutlineItemModel* model_;
    TOutlineTree* tree_;
    QProgressBar* gauge_;
    QMenu* contextMenu_;
    std::vector<QAction*> actions_;
    TFindForm* findForm_ = nullptr;
    TCopyList copyList_;
    QTimer clickTimer_;
    QTimer tetTimer_;
    bool busy_ = false;
    bool readOnly_ = false;
    bool pickedByKey_ = false;
    bool cancel_ = false;
    // What a reset restores: the expanded containers and the selection, by config path.
    std::set<std::string> expanded_;
    std::string selectedPath_;
    std::string resetFolder_;
    std::string editOldText_;
    std::string lastSearch_;
};

}  // namespace kelvarn
