#include "shell/ui/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <clocale>
#include <filesystem>

#include "shell/Backups.h"
#include "shell/Colours.h"
#include "shell/Files.h"
#include "shell/Handover.h"
#include "shell/Macros.h"
#include "shell/MainMenuTable.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/SettingsKeys.h"
#include "shell/ui/Alert.h"
#include "shell/ui/FramePanel.h"
#include "shell/ui/QtServices.h"
#include "shell/ui/Viewer.h"

namespace kelvarn {

namespace {

constexpr std::array<int, 5> kPanelDesignWidths = {100, 100, 100, 300, 50};

const char* FrameName(TFrameId id) {
    switch (id) {
        case TFrameId::AssetList: return "AssetList";
        case TFrameId::FileList: return "FileView";
        case TFrameId::Outline: return "OutlineView";
        default: return "";
    }
}

QColor ButtonFace() { return QApplication::palette().color(QPalette::Button); }

TBounds ToBounds(const QRect& r) { return {r.left(), r.top(), r.width(), r.height()}; }

// The window with its frame (title bar, borders, known once shown) inside the available area of the
// screen it is on.
void FitFrameToScreen(QWidget& window) {
    QScreen* screen = window.screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    if (area.contains(frame)) return;
    const QRect inner = window.geometry();
    const TBounds fit = FitToScreen(ToBounds(frame), ToBounds(area));
    const int extraWidth = frame.width() - inner.width(), extraHeight = frame.height() - inner.height();
    window.setGeometry(fit.left + (inner.left() - frame.left()), fit.top + (inner.top() - frame.top()),
                       std::max(fit.width - extraWidth, 0), std::max(fit.height - extraHeight, 0));
}

}  // namespace

TMain::TMain(TProgramState& state, const TMainFrames& frames, std::vector<std::string> arguments, QWidget* parent)
    : QMainWindow(parent), state_(state), dispatcher_(state), text_(frames.text), arguments_(std::move(arguments)) {
    setObjectName("Main");
    frames_ = {frames.assetList, frames.fileList, frames.outline, frames.text, frames.mesh, frames.table,
               frames.image, frames.tagCatalogue, frames.textureDescriptor, frames.levelOfDetail};
    for (IFrame* frame : frames_) Q_ASSERT(frame);

    // FormCreate. Numbers are written with "." whatever the desktop's locale.
    std::setlocale(LC_NUMERIC, "C");
    dispatcher_.Closing = false;
    if (std::string error = IniBackup(state_, "yyyymmdd"); !error.empty())
        state_.Messages->ShowMessage(error, "", MessageKind::Warning);
    TMemIni& ini = state_.Settings();
    const TLayoutSettings settings = ReadLayoutSettings(ini);
    restore_ = settings.restore;

    tooltips_ = new TTooltipFilter(this);
    tooltips_->enabled = ReadSettingBool(ini, keys::Tooltips);
    qApp->installEventFilter(tooltips_);

    state_.BorderWidth = static_cast<int>(ReadSettingInt(ini, keys::Border));
    state_.HighlightColour = HexToColor(ReadSetting(ini, keys::Highlight)).value_or(0x000080);

    BuildLayout(settings);
    for (IFrame* frame : frames_) {
        ApplyAlertScheme(*frame->Alert(), state_.Settings());
        frame->SetBorder(state_.BorderWidth, ButtonFace());
    }
    for (TFrameId id : kInitOrder)
        if (IsViewerFrame(id)) {
            auto* viewer = static_cast<IViewerFrame*>(Frame(id));
            viewer->SetActivationHook([this, id] { SetActiveViewer(id); });
        }
    SetActiveViewer(TFrameId::Text);
    BuildMenus();
    BuildStatusBar();
    RegisterRows();
    qApp->installEventFilter(this);
}

TMain::~TMain() {
    qApp->removeEventFilter(this);
    qApp->removeEventFilter(tooltips_);
    // Later sends (from frames closing down) go nowhere rather than into a destroyed window.
    static NullCommandBus nowhere;
    if (state_.CommandTarget == &bus_) state_.CommandTarget = &nowhere;
    bus_.SetReceiver(nullptr);
}

void TMain::BuildLayout(const TLayoutSettings& settings) {
    setWindowTitle("Kelvarn");
    mainSplitter_ = new QSplitter(Qt::Horizontal, this);
    mainSplitter_->setObjectName("MainSplitter");
    leftSplitter_ = new QSplitter(Qt::Vertical, mainSplitter_);
    leftSplitter_->setObjectName("LeftPanel");
    rightSplitter_ = new QSplitter(Qt::Vertical, mainSplitter_);
    rightSplitter_->setObjectName("RightPanel");
    leftSplitter_->addWidget(Frame(TFrameId::AssetList)->Widget());
    leftSplitter_->addWidget(Frame(TFrameId::FileList)->Widget());
    rightSplitter_->addWidget(Frame(TFrameId::Outline)->Widget());

    viewerPanel_ = new TFramePanel("ViewerPanel", "", false, rightSplitter_);
    viewerStack_ = new QStackedWidget(viewerPanel_->Body());
    viewerPanel_->BodyLayout()->addWidget(viewerStack_);
    viewerPanel_->SetPanelBorder(state_.BorderWidth, ButtonFace());
    viewerPanel_->installEventFilter(this);
    for (TFrameId id : kInitOrder)
        if (IsViewerFrame(id)) viewerStack_->addWidget(Frame(id)->Widget());
    rightSplitter_->addWidget(viewerPanel_);
    rightSplitter_->setCollapsible(0, true);
    rightSplitter_->setCollapsible(1, false);
    mainSplitter_->setStretchFactor(1, 1);
    setCentralWidget(mainSplitter_);

    for (TFrameId id : {TFrameId::AssetList, TFrameId::FileList, TFrameId::Outline})
        if (auto* panel = dynamic_cast<TFramePanel*>(Frame(id)->Widget())) panel->SetHighlightName(FrameName(id));

    // The outline's and the viewers' maximise buttons.
    if (QAbstractButton* b = Frame(TFrameId::Outline)->MaxButton())
        connect(b, &QAbstractButton::clicked, this, [this] { ViewerMaximise(true); });
    for (TFrameId id : kInitOrder)
        if (IsViewerFrame(id))
            if (QAbstractButton* b = Frame(id)->MaxButton())
                connect(b, &QAbstractButton::clicked, this, [this] { ViewerMaximise(false); });

    connect(rightSplitter_, &QSplitter::splitterMoved, this, [this] {
        if (layout_.mode == 0) layout_.outlineHeight = rightSplitter_->sizes().value(0);
    });
    rightSplitter_->installEventFilter(this);

    // Bounds: a restored window goes on the screen it was on (else the primary screen), no larger than
    // that screen and wholly on it, so the status bar and the lower panes stay in reach.
    QRect bounds(settings.left, settings.top, settings.width, settings.height);
    if (bounds.width() < 200 || bounds.height() < 150) bounds.setSize(QSize(1024, 768));
    QScreen* target = QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(bounds)) {
            target = screen;
            break;
        }
    if (target) {
        const QRect area = target->availableGeometry();
        const TBounds fit = FitToScreen(ToBounds(bounds), ToBounds(area));
        bounds = QRect(fit.left, fit.top, fit.width, fit.height);
    }
    setGeometry(bounds);
    // Once shown, the frame around it is known and fitted too, unless the window was sized since.
    setProperty("fittedGeometry", bounds);

    mainSplitter_->setSizes({settings.assetWidth, std::max(bounds.width() - settings.assetWidth, 100)});
    leftSplitter_->setSizes({settings.assetHeight, std::max(bounds.height() - settings.assetHeight, 100)});
    layout_.mode = settings.mode;
    layout_.outlineHeight = settings.outlineHeight;
    layout_.splitterHeight = rightSplitter_->handleWidth();
    layout_.clientHeight = bounds.height();
    layout_.rightPaneHeight = bounds.height();
    ApplyLayout();
}

void TMain::ApplyLayout() {
    // Split or maximised, the viewers keep the least height at which their buttons show whole (the
    // image and mesh views' buttons run on in columns); only with the outline maximised do they give it
    // up, so that the outline has the right pane to itself.
    viewerStack_->setMinimumHeight(layout_.mode == 1 ? 1 : 0);
    // The splitter below reads the panel's least height now, not after the next round of events.
    for (QWidget* w : {viewerPanel_->Body(), static_cast<QWidget*>(viewerPanel_)})
        if (QLayout* l = w->layout()) l->activate();
    const int total = std::max(rightSplitter_->height(), layout_.rightPaneHeight);
    const int outline = std::clamp(layout_.outlineHeight, 0, std::max(total - layout_.splitterHeight, 0));
    rightSplitter_->setSizes({outline, std::max(total - outline - layout_.splitterHeight, 0)});
    if (QSplitterHandle* handle = rightSplitter_->handle(1)) handle->setVisible(layout_.SplitterVisible());
    if (QAbstractButton* b = Frame(TFrameId::Outline)->MaxButton()) b->setChecked(layout_.OutlineButtonDown());
    // Every viewer's button shares the text view's state.
    for (TFrameId id : kInitOrder)
        if (IsViewerFrame(id))
            if (QAbstractButton* b = Frame(id)->MaxButton()) b->setChecked(layout_.ViewerButtonsDown());
}

void TMain::ViewerMaximise(bool fromOutline) {
    layout_.clientHeight = centralWidget()->height();
    layout_.rightPaneHeight = rightSplitter_->height();
    layout_.ViewerMaximise(fromOutline);
    ApplyLayout();
    dispatcher_.ValidateMenu(0);
}

void TMain::LeaveViewerMaximised() {
    if (layout_.mode != 2) return;
    ViewerMaximise(true);
}

void TMain::FormResize() {
    layout_.FormResize(rightSplitter_->height());
    layout_.clientHeight = centralWidget()->height();
    ApplyLayout();
}

void TMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    std::map<std::string_view, QMenu*> menus;
    for (const TTopMenu& top : MainMenus()) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(top.caption.data(), qsizetype(top.caption.size())));
        menu->setObjectName(QString::fromUtf8(top.name.data(), qsizetype(top.name.size())));
        menu->setProperty("tag", top.tag);
        if (top.hidden) menu->menuAction()->setVisible(false);
        if (top.name == "TrainzBuildMenu")
            menu->setTitle(QString::fromStdString(TrainzBuildMenuCaption(ReadSetting(state_.Settings(), keys::Build))));
        // DoMenuValidation: the group's states are brought up to date as the menu opens.
        const int tag = top.tag;
        if (tag != 0) connect(menu, &QMenu::aboutToShow, this, [this, tag] { dispatcher_.ValidateMenu(tag); });
        menus[top.name] = menu;
    }
    for (const TMenuRow& row : MainMenuRows()) {
        QMenu* menu = menus[row.parent.empty() ? row.topMenu : row.parent];
        if (!menu) continue;
        if (row.flags & mfSeparatorBefore) menu->addSeparator();
        const QString caption = QString::fromUtf8(row.caption.data(), qsizetype(row.caption.size()));
        if (row.flags & mfSubMenu) {
            QMenu* sub = menu->addMenu(caption);
            sub->setObjectName(QString::fromUtf8(row.name.data(), qsizetype(row.name.size())));
            sub->menuAction()->setObjectName(sub->objectName());
            menus[row.name] = sub;
            continue;
        }
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromUtf8(row.name.data(), qsizetype(row.name.size())));
        action->setProperty("tag", row.number);
        if (row.parent == "mCreateNewImage") action->setData(caption);  // the image's file name
        if (row.flags & mfHidden) action->setVisible(false);
        if (row.flags & mfCheckable) action->setCheckable(true);
        if (!row.shortcut.empty()) action->setShortcut(QKeySequence(QString::fromUtf8(row.shortcut.data())));
        const int number = row.number;
        connect(action, &QAction::triggered, this,
                [this, number, action] { dispatcher_.DoMenuCommand(number, action->text().toStdString()); });
    }
    if (QAction* tips = MenuItem("mTooltips")) tips->setChecked(tooltips_->enabled);
}

void TMain::BuildStatusBar() {
    auto* row = new QWidget(this);
    row->setObjectName("StatusBar");
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* label = new QLabel(row);
        label->setObjectName(QString("Panel%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(i + 1 < panels_.size() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        label->setMinimumWidth(kPanelDesignWidths[i]);
        if (i + 1 < panels_.size()) label->setFixedWidth(kPanelDesignWidths[i]);
        layout->addWidget(label, i + 1 < panels_.size() ? 0 : 1);
        panels_[i] = label;
    }
    statusBar()->addWidget(row, 1);
}

void TMain::SetCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void TMain::SetPanelText(int panel, const std::string& text) {
    if (panel < 0 || panel >= static_cast<int>(panels_.size())) return;
    panels_[static_cast<std::size_t>(panel)]->setText(QString::fromStdString(text));
    // Every panel but the last fits its text.
    for (std::size_t i = 0; i + 1 < panels_.size(); ++i) {
        QLabel* label = panels_[i];
        const int width = label->fontMetrics().horizontalAdvance(label->text()) + 10;
        label->setFixedWidth(std::max(width, 50));
    }
}

QMenu* TMain::TopMenu(const QString& name) const { return menuBar()->findChild<QMenu*>(name); }

QAction* TMain::MenuItem(const QString& name) const {
    for (QAction* action : menuBar()->findChildren<QAction*>())
        if (action->objectName() == name) return action;
    return nullptr;
}

void TMain::ApplyMenuStates(const std::vector<TMenuItemState>& states) {
    for (const TMenuItemState& s : states) {
        const QString name = QString::fromStdString(s.name);
        QAction* action = MenuItem(name);
        if (!action)
            if (QMenu* menu = TopMenu(name)) action = menu->menuAction();
        if (!action) continue;
        if (s.visible) action->setVisible(*s.visible);
        if (s.enabled) action->setEnabled(*s.enabled);
        if (s.checked) action->setChecked(*s.checked);
        if (s.caption) action->setText(QString::fromStdString(*s.caption));
    }
}

bool TMain::HintsShown() const { return tooltips_->enabled; }

void TMain::SetActiveViewer(TFrameId id) {
    activeViewer_ = id;
    viewerStack_->setCurrentWidget(Frame(id)->Widget());
}

QWidget* TMain::ViewerInFront() const { return viewerStack_->currentWidget(); }

QColor TMain::FrameBorderColour(TFrameId id) const {
    auto* panel = dynamic_cast<TFramePanel*>(Frame(id)->Widget());
    return panel ? panel->BorderColour() : QColor();
}

QColor TMain::ViewerPanelBorderColour() const { return viewerPanel_->BorderColour(); }

void TMain::RegisterViewerBranch(TViewerChoice choice, std::function<void(const std::string&)> show) {
    viewerBranches_[choice] = std::move(show);
}

void TMain::UndefinedCallback(int code) {
    state_.Messages->ShowMessage("Callback Command Undefined: " + std::to_string(code));
}

bool TMain::AskToSave(std::initializer_list<TFrameId> ids) {
    for (TFrameId id : ids)
        if (!Frame(id)->QuerySave()) return false;
    return true;
}

void TMain::RegisterRows() {
    TDispatcher& d = dispatcher_;
    d.Status = this;
    d.OnLoadFolder = [this](const std::string& folder) { LoadFolder(folder); };
    d.OnBeforeCommand = [this](int number) {
        Frame(TFrameId::Outline)->Alert()->Close();
        const TMenuRow* row = FindMenuRow(number);
        if (row && (row->flags & mfLeavesMaximised) && dispatcher_.HasCommand(number)) LeaveViewerMaximised();
    };

    // Callbacks of this window; the others belong to the parts that perform them.
    d.RegisterCallback(ccNoAsset, [this](const std::string&) {
        AskToSave({TFrameId::Text, TFrameId::Image, TFrameId::Outline});
        for (TFrameId id : kClearAllOrder) Frame(id)->Clear();
    });
    d.RegisterCallback(ccSaveFile, [this](const std::string& text) { SaveCurrentFile(text); });
    d.RegisterCallback(ccBackupFile, [this](const std::string& text) {
        if (std::string error = BackupFile(state_, text); !error.empty()) state_.Messages->ShowMessage(error, "", MessageKind::Error);
    });
    d.RegisterCallback(ccBackupAsset, [this](const std::string& text) {
        if (std::string error = BackupFolder(state_, text); !error.empty()) state_.Messages->ShowMessage(error, "", MessageKind::Error);
    });
    d.RegisterCallback(ccAlert, [this](const std::string& text) { Frame(TFrameId::Outline)->Alert()->ShowAlert(text, true, 0); });
    d.RegisterCallback(ccShowFile, [this](const std::string& text) { ShowFile(text); });
    d.RegisterCallback(ccShowText, [this](const std::string& text) {
        if (!AskToSave({TFrameId::Text, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail, TFrameId::Image})) return;
        text_->Clear();
        viewerStack_->setCurrentWidget(text_->Widget());
        activeViewer_.reset();  // no viewer is marked active
        if (text.empty())
            text_->Alert()->Close();
        else
            text_->Alert()->ShowAlert(text, true, 1);
    });
    d.RegisterCallback(ccHighlight, [this](const std::string& text) { Highlight(text); });
    d.RegisterCallback(ccCloseAlert, [this](const std::string&) { Frame(TFrameId::Outline)->Alert()->Close(); });
    d.RegisterCallback(ccLock, [this](const std::string& text) { LockFrames(text); });

    // Commands of this window.
    d.RegisterCommand(1008, [this](const std::string&) { close(); });
    d.RegisterCommand(1011, [this](const std::string&) { text_->SaveAs(); });
    d.RegisterCommand(1501, [this](const std::string&) {
        const std::string help = ChangeFileExt(state_.ProgramFile, ".chm");
        if (!state_.Runner->OpenWithDefault(help))
            state_.Messages->ShowMessage("Unable to open the help file " + help, "", MessageKind::Warning);
    });
    d.RegisterCommand(1502, [this](const std::string&) {
        tooltips_->enabled = !tooltips_->enabled;
        if (QAction* tips = MenuItem("mTooltips")) tips->setChecked(tooltips_->enabled);
        WriteSettingBool(state_.Settings(), keys::Tooltips, tooltips_->enabled);
        if (std::string error = state_.Settings().UpdateFile(); !error.empty())
            state_.Messages->ShowMessage(error, "", MessageKind::Error);
    });
    d.RegisterCommand(1504, [this](const std::string&) {
        if (viewer_)
            viewer_->ShowFile("Kelvarn Release Notes", "Close", NativePath(ExpandMacros(state_, "%bin%\\Release Notes.txt")));
    });
    d.RegisterCommand(1712, [this](const std::string&) {
        const std::string log = NativePath(LogFileName(state_));
        if (viewer_) viewer_->ShowFile("Kelvarn Log: " + ExtractFileName(log), "Close", log, "", "Clear");
    });
    d.RegisterCommand(1714, [this](const std::string&) {
        if (std::string error = ClearLog(state_); !error.empty()) state_.Messages->ShowMessage(error, "", MessageKind::Error);
    });
}

void TMain::ShowFile(const std::string& path) {
    Frame(TFrameId::FileList)->Alert()->Close();
    TShowFileInputs in;
    in.path = path;
    in.layoutMode = layout_.mode;
    in.autoplay = ReadSettingBool(state_.Settings(), keys::Autoplay);
    if (activeViewer_) {
        const TFrameId a = *activeViewer_;
        in.activeIsFileViewer = a == TFrameId::Text || a == TFrameId::TextureDescriptor ||
                                a == TFrameId::LevelOfDetail || a == TFrameId::Image;
        if (in.activeIsFileViewer) in.activeShownFile = static_cast<IViewerFrame*>(Frame(a))->ShownFile();
    }
    in.currentAssetFile = state_.AssetPathFile();
    in.fileExists = FileExists(path);
    const TShowFilePlan plan = PlanShowFile(in);
    if (plan.play) {
        if (!PlayFile) return UndefinedCallback(ccShowFile);
        PlayFile(path);
    }
    if (plan.askToSave && !AskToSave({TFrameId::Text, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail, TFrameId::Image}))
        return;
    if (!plan.alert.empty()) Frame(TFrameId::Outline)->Alert()->ShowAlert(plan.alert, true, 1);
    if (plan.stop) return;

    TAlert* fileAlert = Frame(TFrameId::FileList)->Alert();
    switch (plan.viewer) {
        case TViewerChoice::Text:
            if (std::string message = text_->LoadTextFile(path, 3, true, false); !message.empty())
                text_->Alert()->ShowAlert(message, true, 1);
            return;
        case TViewerChoice::TrainzMesh:
            fileAlert->ShowAlert("trainzmesh viewer not available yet", true, 1);
            return;
        case TViewerChoice::AudioOnly:
            return;
        case TViewerChoice::None:
            fileAlert->ShowAlert("No viewer available", true, 1);
            return;
        default:
            break;
    }
    const auto branch = viewerBranches_.find(plan.viewer);
    if (branch == viewerBranches_.end()) return UndefinedCallback(ccShowFile);
    branch->second(path);
}

void TMain::SaveCurrentFile(const std::string& name) {
    auto save = [this](TFrameId id, const std::string& file) {
        if (std::string error = static_cast<IViewerFrame*>(Frame(id))->SaveFile(file); !error.empty())
            state_.Messages->ShowMessage(error, "", MessageKind::Error);
    };
    switch (SaveTargetFor(name)) {
        case TSaveTarget::TextureDescriptor:
            save(TFrameId::TextureDescriptor, static_cast<IViewerFrame*>(Frame(TFrameId::TextureDescriptor))->ShownFile());
            break;
        case TSaveTarget::LevelOfDetail:
            save(TFrameId::LevelOfDetail, static_cast<IViewerFrame*>(Frame(TFrameId::LevelOfDetail))->ShownFile());
            break;
        case TSaveTarget::Text: {
            // Only the text view's own file, and only with changes: its text never goes into another file.
            auto* text = static_cast<IViewerFrame*>(Frame(TFrameId::Text));
            if (!text->ShownFile().empty() && NativePath(text->ShownFile()) == NativePath(name) && text->Modified())
                save(TFrameId::Text, text->ShownFile());
            break;
        }
        case TSaveTarget::Image:
            save(TFrameId::Image, static_cast<IViewerFrame*>(Frame(TFrameId::Image))->ShownFile());
            break;
        case TSaveTarget::None:
            state_.Messages->ShowMessage("Cannot Save this File: " + name);
            break;
    }
}

void TMain::LockFrames(const std::string& text) {
    const bool enabled = !LockRequested(text);
    for (TFrameId id : {TFrameId::AssetList, TFrameId::FileList, TFrameId::Outline}) Frame(id)->Widget()->setEnabled(enabled);
}

void TMain::ApplyFormFont() {
    for (TFrameId id : kInitOrder) Frame(id)->ApplyFont(font());
    for (const auto& hook : FontHooks) hook(font());
}

void TMain::Highlight(const std::string& frameName) {
    viewerPanel_->SetPanelBorder(state_.BorderWidth, ButtonFace());
    for (TFrameId id : {TFrameId::AssetList, TFrameId::FileList, TFrameId::Outline}) {
        IFrame* frame = Frame(id);
        const bool named = frameName == FrameName(id);
        frame->SetBorder(state_.BorderWidth, named ? ToQColor(state_.HighlightColour) : ButtonFace());
        if (named && ReadSettingBool(state_.Settings(), keys::MouseTrack)) frame->MainControl()->setFocus();
    }
}

void TMain::HighlightViewerPanel() {
    for (TFrameId id : {TFrameId::AssetList, TFrameId::FileList, TFrameId::Outline})
        Frame(id)->SetBorder(state_.BorderWidth, ButtonFace());
    viewerPanel_->SetPanelBorder(state_.BorderWidth, ToQColor(state_.HighlightColour));
    if (ReadSettingBool(state_.Settings(), keys::MouseTrack) && activeViewer_)
        Frame(*activeViewer_)->MainControl()->setFocus();
}

bool TMain::HandleKey(int key, Qt::KeyboardModifiers modifiers, QWidget* focus) {
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (key == Qt::Key_Escape && !ctrl) {
        const TEscapeFlags flags = EscapeFlags(EditorBusy && EditorBusy(), Frame(TFrameId::Outline)->Busy());
        if (flags.programCancel) state_.AbortRequested = true;
        if (flags.outlineCancel) Frame(TFrameId::Outline)->Cancel();
        if (flags.scanCancel) Frame(TFrameId::AssetList)->Cancel();
        if (flags.scriptAbort && AbortScripts) AbortScripts();
        return false;  // Esc also reaches the focused control (a dialog closes, an edit cancels)
    }
    if (!ctrl && key >= Qt::Key_F5 && key <= Qt::Key_F8) {
        QWidget* target = nullptr;
        switch (FocusKeyTarget(key - Qt::Key_F1 + 1, layout_.mode)) {
            case TFocusTarget::AssetList: target = Frame(TFrameId::AssetList)->MainControl(); break;
            case TFocusTarget::FileList: target = Frame(TFrameId::FileList)->MainControl(); break;
            case TFocusTarget::Outline: target = Frame(TFrameId::Outline)->MainControl(); break;
            case TFocusTarget::ActiveViewer:
                if (activeViewer_) target = Frame(*activeViewer_)->MainControl();
                break;
            case TFocusTarget::None: break;
        }
        if (target) target->setFocus(Qt::ShortcutFocusReason);
        return target != nullptr;
    }
    if (ctrl && key == Qt::Key_O) return viewer_ && viewer_->SaveMode();
    if (ctrl && key == Qt::Key_S) {
        TFocusKind kind = TFocusKind::Other;
        auto inside = [this, focus](TFrameId id) {
            QWidget* control = Frame(id)->MainControl();
            return focus && control && (focus == control || control->isAncestorOf(focus));
        };
        if (inside(TFrameId::Text)) kind = TFocusKind::TextMemo;
        else if (inside(TFrameId::Outline)) kind = TFocusKind::OutlineTree;
        else if (inside(TFrameId::Image)) kind = TFocusKind::ImageView;
        auto saveShown = [this](TFrameId id) {
            auto* viewer = static_cast<IViewerFrame*>(Frame(id));
            if (std::string error = viewer->SaveFile(viewer->ShownFile()); !error.empty())
                state_.Messages->ShowMessage(error, "", MessageKind::Error);
        };
        // Without an active viewer no viewer rule matches (the asset list stands for "none").
        switch (CtrlSTarget(kind, activeViewer_.value_or(TFrameId::AssetList))) {
            case TCtrlSTarget::TextView: saveShown(TFrameId::Text); return true;
            case TCtrlSTarget::TextureDescriptor: saveShown(TFrameId::TextureDescriptor); return true;
            case TCtrlSTarget::LevelOfDetail: saveShown(TFrameId::LevelOfDetail); return true;
            case TCtrlSTarget::Outline:
                if (SaveOutlineConfig) SaveOutlineConfig();
                return true;
            case TCtrlSTarget::ImageQuickSave: saveShown(TFrameId::Image); return true;
            case TCtrlSTarget::None: return false;
        }
    }
    return false;
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == rightSplitter_ && event->type() == QEvent::Resize) {
        FormResize();
        return false;
    }
    if (watched == viewerPanel_) {
        if (event->type() == QEvent::Enter) HighlightViewerPanel();
        if (event->type() == QEvent::Leave) unsetCursor();
        return false;
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        QWidget* focus = QApplication::focusWidget();
        auto* widget = qobject_cast<QWidget*>(watched);
        // A key event goes to one control first, then up to its parents while they ignore it.
        const bool first = widget && !(focus && widget != focus && widget->isAncestorOf(focus));
        const bool here = widget && widget->window() == this;
        if (first && event->type() == QEvent::KeyRelease && here) {
            // The release of a key that closed a dialog would make the control beneath act again
            // (and show the same dialog again).
            if (keysDown_.erase(key->key()) == 0) return true;
        } else if (first && event->type() == QEvent::KeyPress) {
            if (here)
                keysDown_.insert(key->key());
            else
                keysDown_.clear();  // another window has the keyboard now
        }
        // The form sees keys before the control (KeyPreview); act once, on the first delivery.
        if (event->type() == QEvent::KeyPress && isActiveWindow() && (watched == focus || (!focus && watched == this)))
            if (HandleKey(key->key(), key->modifiers(), focus)) return true;
    }
    if (event->type() == QEvent::Show && tooltips_)
        if (auto* menu = qobject_cast<QMenu*>(watched)) menu->setToolTipsVisible(tooltips_->enabled);
    return QMainWindow::eventFilter(watched, event);
}

void TMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    if (geometry() == property("fittedGeometry").toRect()) FitFrameToScreen(*this);
    FormShow();
}

void TMain::FormShow() {
    if (shown_) return;
    shown_ = true;
    state_.CommandTarget = &bus_;
    bus_.SetReceiver(&dispatcher_);
    for (TFrameId id : kInitOrder) Frame(id)->Init(&bus_);
    ApplyFormFont();
    for (const auto& hook : ShowHooks) hook();

    // The command line: "-CMP" and a folder, or a folder; a relative one is taken in the folder the
    // program was started in.
    auto* assets = static_cast<IAssetListFrame*>(Frame(TFrameId::AssetList));
    const std::string first = arguments_.size() > 0 ? arguments_[0] : std::string();
    const std::string second = arguments_.size() > 1 ? arguments_[1] : std::string();
    const std::string startFolder = QDir::currentPath().toStdString();
    if (first == "-CMP") {
        if (!Trim(second).empty()) LoadFolder(CommandLineFolder(second, startFolder));
    } else if (!first.empty()) {
        LoadFolder(CommandLineFolder(first, startFolder));
    }

    const int homes = LoadHomeFolders ? LoadHomeFolders() : 0;
    const std::string introduction = NativePath(ExpandMacros(state_, "%bin%\\introduction.txt"));
    if (homes == 0 && assets->EntryCount() == 0 && FileExists(introduction))
        text_->LoadTextFile(introduction, 3, false, true);
    if (RefreshTrainzBuild) RefreshTrainzBuild("Init");
    CleanOldBackups(state_);
}

void TMain::LoadFolder(const std::string& folder) {
    // A folder typed wrong on a command line would otherwise load nothing without a word. One the user
    // may not reach, because a folder above it is closed to them, is not called missing.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(FsPath(folder), ec);
    const bool missing = ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory;
    if (missing || (!ec && !std::filesystem::is_directory(status))) {
        state_.Messages->ShowMessage("Folder not found: " + ShownPath(folder), "", MessageKind::Warning);
        return;
    }
    // Nor would one the user may not read.
    std::filesystem::directory_iterator listing(FsPath(folder), ec);
    if (ec) {
        state_.Messages->ShowMessage("Unable to read the folder " + ShownPath(folder) + ": " + ec.message(), "", MessageKind::Warning);
        return;
    }
    static_cast<IAssetListFrame*>(Frame(TFrameId::AssetList))->AddDirectory(folder);
}

bool TMain::event(QEvent* event) {
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::WindowDeactivate) keysDown_.clear();
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return result;
}

void TMain::FormActivate() {
    // A dialog opened from here re-activates the window when it closes: no second round meanwhile.
    if (activating_ || !shown_) return;
    activating_ = true;
    for (const auto& hook : ActivateHooks) hook();
    if (!setupShown_ && CheckSetup && !CheckSetup()) {
        setupShown_ = true;  // at most once a run; the Options menu still opens the dialog
        if (ShowSetupDialog) ShowSetupDialog();
    }
    activating_ = false;
}

bool TMain::FormCloseQuery() {
    bool canClose = true;
    for (TFrameId id : kCloseQueryOrder) {
        if (!canClose) break;
        canClose = Frame(id)->CloseQuery();
    }
    dispatcher_.Closing = canClose;
    return canClose;
}

TLayoutSettings TMain::CurrentLayout() const {
    TLayoutSettings layout;
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    layout.top = g.top();
    layout.left = g.left();
    layout.width = g.width();
    layout.height = g.height();
    layout.assetWidth = mainSplitter_->sizes().value(0);
    layout.assetHeight = leftSplitter_->sizes().value(0);
    layout.outlineHeight = layout_.mode == 0 ? rightSplitter_->sizes().value(0) : layout_.outlineHeight;
    layout.mode = layout_.mode;
    return layout;
}

void TMain::FormClose() {
    for (TFrameId id : kCloseOrder) Frame(id)->Close();
    for (const auto& hook : CloseHooks) hook();
    TMemIni& ini = state_.Settings();
    if (ReadSettingBool(ini, keys::Restore)) WriteLayoutSettings(ini, CurrentLayout());
    // Always flushed: settings written since the last flush (colour history, view options) are kept
    // even when the layout is not.
    if (std::string error = ini.UpdateFile(); !error.empty() && !ini.FileName().empty())
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
}

void TMain::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    if (viewer_) viewer_->close();
    event->accept();
}

}  // namespace kelvarn
