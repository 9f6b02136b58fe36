// TFileView: the file list frame below the asset list. It draws the core's file list (TFileList),
// holds the mask and folder combos, turns keys, clicks and drops into its operations, and runs the
// tools of its context menu.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "catalogue/FileList.h"
#include "catalogue/ListMenuRules.h"
#include "catalogue/ToolRunner.h"
#include "catalogue/ui/CheckList.h"
#include "shell/ui/FramePanel.h"

class QAction;
class QComboBox;
class QMenu;

namespace kelvarn {

class IEditorDialogs;
class TProgramState;

class TFileView final : public TFrame<IFrame>, private IFileListEvents, private ICheckListSource {
public:
    TFileView(TProgramState& state, TFileList& files, IEditorDialogs& dialogs, QWidget* parent = nullptr);
    ~TFileView() override;

    // IFrame
    void Init(ICommandBus* target) override;
    void Clear() override { files_.ClearFileView(); }
    void Close() override { files_.SaveFileMask(); }
    QWidget* MainControl() override;

    // Operations the dispatcher's rows and the main window call.
    void RunMenuTool(int tag);
    void RunTool(const std::string& caption, const std::string& spec);
    void PrintFileList();
    void RenameFile() { files_.RenameFile(dialogs_); }
    // Callback 251: the list takes drops unless the program's own drag runs.
    void SetAcceptsDrops(bool accepts) { acceptsDrops_ = accepts; }
    bool AcceptsDrops() const { return acceptsDrops_; }
    // A sound shown by callback 220 plays, unless the click that showed it was one that must not play.
    void PlayShownFile(const std::string& path);
    void ContextMenuValidate();
    void ContextMenuExecute(int tag);
    void ApplyStates(const std::vector<TMenuItemState>& states);
    TToolRunHooks ToolHooks();

    // For tests and the wiring.
    TFileList& Files() { return files_; }
    TCheckListView* List() const { return list_; }
    QMenu* ContextMenu() const { return menu_; }
    QAction* Action(const QString& name) const;
    QComboBox* MaskCombo() const { return masks_; }
    QComboBox* FolderCombo() const { return folders_; }

private:
    // IFileListEvents
    void Reset() override;
    void Inserted(int index) override;
    void Removed(int index) override;
    void Changed(int index) override;
    void SelectionChanged(int index) override;
    void CombosChanged() override;
    void Alert(const std::string& text, bool beep) override;
    void CloseAlert() override;
    // ICheckListSource
    int ItemCount() const override { return files_.Count(); }
    std::string ItemCaption(int index) const override { return files_.Item(index).text; }
    std::string ItemText(int index) const override { return files_.Item(index).text; }
    bool ItemTagged(int index) const override { return files_.Item(index).tagged; }
    bool ItemEdited(int index) const override { return files_.Item(index).edited; }
    bool ItemCurrent(int index) const override;

    void BuildHeader();
    void BuildMenu();
    bool MousePress(QMouseEvent* event);
    void MouseRelease(QMouseEvent* event);
    bool KeyPress(QKeyEvent* event);
    void KeyRelease(QKeyEvent* event);
    void MaskChosen();
    bool eventFilter(QObject* watched, QEvent* event) override;

    TProgramState& state_;
    TFileList& files_;
    IEditorDialogs& dialogs_;
    TCheckListModel* model_;
    TCheckListView* list_;
    QComboBox* masks_ = nullptr;
    QComboBox* folders_ = nullptr;
    QMenu* menu_ = nullptr;
    bool acceptsDrops_ = true;
    bool quietShow_ = false;  // the press shows the file without playing it
    bool syncing_ = false;
    std::string shownFile_;   // the file the list last asked to show
};

}  // namespace kelvarn
