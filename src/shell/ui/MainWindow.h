// TMain: the main window. It hosts the ten panes (asset list and file list on the left; the outline
// above the viewer panel on the right), builds the main menu from MainMenuTable, is the one receiver
// of the command bus, and runs the start-up, activation and close sequence.
//
// How later issues hook in (see also Dispatcher.h for callback and command rows and menu states):
//   - a frame: implement IFrame/IViewerFrame/IAssetListFrame (Frames.h) and pass it in TMainFrames
//     from src/app/;
//   - a start-up step: main.ShowHooks.push_back(...) runs in FormShow after the frames' Init and the
//     font (Trainz-Build menu, user menus, tag editor target); LoadHomeFolders returns the number of
//     home folders loaded; RefreshTrainzBuild runs with "Init" after the command line is handled;
//   - on every activation: ActivateHooks (start-up scripts), then CheckSetup/ShowSetupDialog;
//   - on close: CloseHooks (the script unit's closing hook) after the frames' Close;
//   - Esc: EditorBusy and AbortScripts; Ctrl+S in the outline: SaveOutlineConfig;
//   - fonts: FontHooks receive the form font after the frames (settings dialog, tag editor);
//   - a branch of callback 220: RegisterViewerBranch(TViewerChoice::Image, ...); PlayFile autoplays.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "shell/CommandBus.h"
#include "shell/Dispatcher.h"
#include "shell/Layout.h"
#include "shell/MenuItemState.h"
#include "shell/ViewerChoice.h"
#include "shell/ui/Frames.h"

class QLabel;
class QMenu;
class QSplitter;
class QStackedWidget;

namespace kelvarn {

class TFramePanel;
class TProgramState;
class TTooltipFilter;
class TViewer;

struct TMainFrames {
    IAssetListFrame* assetList = nullptr;
    IFrame* fileList = nullptr;
    IFrame* outline = nullptr;
    ITextViewer* text = nullptr;
    IViewerFrame* mesh = nullptr;
    IViewerFrame* table = nullptr;
    IViewerFrame* image = nullptr;
    IViewerFrame* tagCatalogue = nullptr;
    IViewerFrame* textureDescriptor = nullptr;
    IViewerFrame* levelOfDetail = nullptr;
};

class TMain : public QMainWindow, public IStatusDisplay {
public:
    // FormCreate: reads the layout and the options, makes the day's settings copy. The frames become
    // children of the window. `arguments` is the command line without the program.
    TMain(TProgramState& state, const TMainFrames& frames, std::vector<std::string> arguments,
          QWidget* parent = nullptr);
    ~TMain() override;

    TDispatcher& Dispatcher() { return dispatcher_; }
    TCommandBus& Bus() { return bus_; }
    IFrame* Frame(TFrameId id) const { return frames_[static_cast<std::size_t>(id)]; }
    void SetReportViewer(TViewer* viewer) { viewer_ = viewer; }

    // Start-up and life-cycle hooks of later issues.
    std::vector<std::function<void()>> ShowHooks;
    std::function<int()> LoadHomeFolders;
    std::function<void(const std::string& reason)> RefreshTrainzBuild;
    std::vector<std::function<void()>> ActivateHooks;
    std::function<bool()> CheckSetup;
    std::function<void()> ShowSetupDialog;
    std::vector<std::function<void()>> CloseHooks;
    std::function<bool()> EditorBusy;
    std::function<void()> AbortScripts;
    std::function<void()> SaveOutlineConfig;
    std::vector<std::function<void(const QFont&)>> FontHooks;
    std::function<void(const std::string& path)> PlayFile;
    void RegisterViewerBranch(TViewerChoice choice, std::function<void(const std::string& path)> show);

    // The life cycle (Qt's events call these; tests may call them directly).
    void FormShow();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    bool Closing() const { return dispatcher_.Closing; }

    // Layout and keys.
    const TLayoutModel& Layout() const { return layout_; }
    void ViewerMaximise(bool fromOutline);
    void LeaveViewerMaximised();
    void FormResize();
    // FormKeyDown and FormShortCut: true when the key was used.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers, QWidget* focus);
    void SaveCurrentFile(const std::string& name);
    void LockFrames(const std::string& text);
    void ApplyFormFont();
    void SetActiveViewer(TFrameId id);
    std::optional<TFrameId> ActiveViewer() const { return activeViewer_; }
    QWidget* ViewerInFront() const;
    QColor FrameBorderColour(TFrameId id) const;
    QColor ViewerPanelBorderColour() const;

    // Callback 220.
    void ShowFile(const std::string& path);

    // IStatusDisplay
    void SetCaption(const std::string& caption) override;
    void SetPanelText(int panel, const std::string& text) override;
    QLabel* StatusPanel(int panel) const { return panels_[static_cast<std::size_t>(panel)]; }

    QMenu* TopMenu(const QString& name) const;
    QAction* MenuItem(const QString& name) const;
    // The menu rules' states, by object name: a main-menu item, else a top-level menu. Names the menu
    // does not hold are passed over.
    void ApplyMenuStates(const std::vector<TMenuItemState>& states);
    bool HintsShown() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout(const TLayoutSettings& settings);
    void BuildMenus();
    void BuildStatusBar();
    void RegisterRows();
    void ApplyLayout();
    // False when a save failed: the work is still pending and the caller stays where it is.
    bool AskToSave(std::initializer_list<TFrameId> ids);
    // Scans a folder named on the command line or handed over; a missing one is reported.
    void LoadFolder(const std::string& folder);
    void Highlight(const std::string& frameName);
    void HighlightViewerPanel();
    void UndefinedCallback(int code);
    TLayoutSettings CurrentLayout() const;

    TProgramState& state_;
    TCommandBus bus_;
    TDispatcher dispatcher_;
    std::array<IFrame*, kFrameCount> frames_{};
    ITextViewer* text_;
    std::vector<std::string> arguments_;
    TViewer* viewer_ = nullptr;
    TTooltipFilter* tooltips_;

    QSplitter* mainSplitter_ = nullptr;
    QSplitter* leftSplitter_ = nullptr;
    QSplitter* rightSplitter_ = nullptr;
    TFramePanel* viewerPanel_ = nullptr;
    QStackedWidget* viewerStack_ = nullptr;
    std::array<QLabel*, 5> panels_{};
    std::map<TViewerChoice, std::function<void(const std::string&)>> viewerBranches_;

    TLayoutModel layout_;
    bool restore_ = false;
    bool shown_ = false;
    bool activating_ = false;
    bool setupShown_ = false;
    std::optional<TFrameId> activeViewer_;
    // Keys pressed in this window whose release has not come yet: a release without its press here
    // (the key closed a dialog) is not passed on.
    std::set<int> keysDown_;
};

}  // namespace kelvarn
