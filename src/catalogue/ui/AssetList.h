// TAssetList: the asset list frame in the left pane. It draws the core's list (TAssetCatalogue),
// turns keys, clicks, drags and drops into its operations, shows the buttons, the five home panels,
// the context menu and the scan gauge, and runs the two folder monitors.
#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/AssetCatalogue.h"
#include "catalogue/HomeFolders.h"
#include "catalogue/ListMenuRules.h"
#include "catalogue/ui/CheckList.h"
#include "shell/ui/FramePanel.h"

class QAction;
class QMenu;
class QProgressBar;
class QToolButton;

namespace kelvarn {

class IEditorDialogs;
class TAssetMonitor;
class TFileMonitor;
class TProgramState;

// A home panel "H1" to "H5": its look follows the home folder's state and the mouse.
class THomePanel final : public QFrame {
public:
    THomePanel(int key, QWidget* parent);
    int Key() const { return key_; }
    void SetLook(THomeLook look, const std::string& folder, const QColor& normal, const QColor& shadow, const QColor& hover);
    bool Lowered() const { return look_ == THomeLook::Off; }
    bool Hovered() const { return hovered_; }
    std::function<void(THomePanel&)> OnClick;
    std::function<void(THomePanel&)> OnDrag;
    QString Caption() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyLook();

    int key_;
    THomeLook look_ = THomeLook::Hidden;
    bool hovered_ = false;
    QColor normal_, shadow_, hover_;
    QPoint pressAt_;
    bool pressed_ = false;
    bool dragged_ = false;
};

class TAssetList final : public TFrame<IAssetListFrame>, private IAssetListEvents, private ICheckListSource {
public:
    TAssetList(TProgramState& state, TAssetCatalogue& catalogue, THomeFolders& homes, IEditorDialogs& dialogs,
               QWidget* parent = nullptr);
    ~TAssetList() override;

    // IFrame
    void Init(ICommandBus* target) override;
    bool CloseQuery() override;
    void Close() override;
    QWidget* MainControl() override;
    bool Busy() const override { return catalogue_.Scanning(); }
    void Cancel() override { catalogue_.RequestScanCancel(); }
    // IAssetListFrame
    void AddDirectory(const std::string& folder) override;
    int EntryCount() const override { return catalogue_.Count(); }

    // Operations the dispatcher's rows call.
    void OpenFolder();
    void PrintAssetList();
    void PrintTaggedAssets();
    void RenameAssetFolder();
    void DropAssets(const std::vector<std::string>& paths);
    // Sends the group number with an empty text: the main window's rules update the items.
    void ContextMenuValidate();
    // A menu item or button: its number with the frame's name, then the validation.
    void ContextMenuExecute(int tag);
    void ApplyStates(const std::vector<TMenuItemState>& states);
    void ShowHomePanels();

    // The folder chooser ("Content Location"); tests answer it.
    std::function<std::string(const std::string& title)> ChooseFolder;

    // For tests and the wiring.
    TAssetCatalogue& Catalogue() { return catalogue_; }
    TCheckListView* List() const { return list_; }
    QMenu* ContextMenu() const { return menu_; }
    QAction* Action(const QString& name) const;
    QToolButton* Button(const QString& name) const;
    THomePanel* HomePanel(int key) const { return homes_.at(static_cast<std::size_t>(key - 1)); }
    QProgressBar* Gauge() const { return gauge_; }
    TAssetMonitor& AssetMonitor() { return *assetMonitor_; }
    TFileMonitor& FileMonitor() { return *fileMonitor_; }
    TAssetMonitorModel& MonitorModel() { return monitorModel_; }

private:
    // IAssetListEvents
    void Reset() override;
    void Inserted(int index) override;
    void Removed(int index) override;
    void Changed(int index) override;
    void SelectionChanged(int index) override;
    void GaugeShown(bool shown) override;
    void GaugeMoved(int position) override;
    void Alert(const std::string& text, bool beep) override;
    void CloseAlert() override;
    void FocusList() override;
    void MonitorFolderAdded(const std::string& folder) override;
    void MonitorsRebuilt() override;
    void WatchAssetFolder(const std::string& folder) override;
    void Pump() override;
    void ScanEnded() override;
    // ICheckListSource
    int ItemCount() const override { return catalogue_.Count(); }
    std::string ItemCaption(int index) const override;
    std::string ItemText(int index) const override { return catalogue_.Entry(index).folder; }
    bool ItemTagged(int index) const override { return catalogue_.Entry(index).tagged; }
    bool ItemEdited(int index) const override { return catalogue_.Entry(index).edited; }
    bool ItemCurrent(int index) const override { return catalogue_.IsCurrent(index); }

    void BuildButtons();
    void BuildMenu();
    bool MousePress(QMouseEvent* event);
    bool MouseMove(QMouseEvent* event);
    void MouseRelease(QMouseEvent* event);
    bool KeyPress(QKeyEvent* event);
    void AfterInput();
    void StartAssetDrag(bool withTagged);
    void StartInstallDrag(THomePanel& panel);
    void RunDrag(const std::vector<std::string>& folders);
    bool eventFilter(QObject* watched, QEvent* event) override;

    TProgramState& state_;
    TAssetCatalogue& catalogue_;
    THomeFolders& homeFolders_;
    IEditorDialogs& dialogs_;
    TAssetMonitorModel monitorModel_;
    std::unique_ptr<TAssetMonitor> assetMonitor_;
    std::unique_ptr<TFileMonitor> fileMonitor_;
    TCheckListModel* model_;
    TCheckListView* list_;
    QProgressBar* gauge_;
    QMenu* menu_ = nullptr;
    std::array<THomePanel*, kHomePanels> homes_{};
    QElapsedTimer pumpTimer_;
    QPoint dragStart_;
    bool dragArmed_ = false;
    bool closeAfterScan_ = false;
};

}  // namespace kelvarn
