#include "catalogue/ui/AssetList.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalogue/ui/FolderMonitor.h"
#include "shell/ui/MenuParts.h"
#include "shell/Colours.h"
#include "shell/CommandBus.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ui/Alert.h"
#include "shell/ui/DesktopFiles.h"
#include "shell/ui/Printing.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

namespace {

constexpr int kPumpInterval = 40;  // milliseconds between two rounds of pending input during a scan
constexpr int kPrintTabSize = 12;

const TMenuItemRow kMenuItems[] = {
    {"mInstall", "Install", 2101, true},          {"mInstallTagged", "Install Tagged", 2102, true},
    {"mClone", "Clone", 2103, false},             {"mValidate", "Validate", 2104, true},
    {"mSaveCDP", "Save to CDP", 2105, true},      {"mCut", "Cut", 2106, true},
    {"mCopy", "Copy", 2107, false},               {"mCopyTagged", "Copy Tagged", 2108, false},
    {"mPaste", "Paste", 2109, false},             {"mDelete", "Delete", 2110, false},
    {"mDeleteTagged", "Delete Tagged", 2111, false}, {"mRename", "Rename", 2112, false},
    {"mDriver", "Open in Driver", 2115, false},   {"mSurveyor", "Open in Surveyor", 2116, false},
    {"mRailyard", "Open in Railyard", 2117, false}, {"mPrintTagged", "Print Tagged Assets", 2118, false},
    {"mCommit", "Commit", 2157, true},            {"mRevert", "Revert", 2159, true},
};

const TButtonRow kButtons[] = {
    {"bAddDirectory", "Add Directory", "+", 2150},
    {"bClearTagged", "Remove Tagged Items", "\u2212\u2713", 2151},
    {"bClearUnTagged", "Remove Untagged Items", "\u2212\u2610", 2152},
    {"bClearAll", "Clear List", "\u2715", 2153},
    {"bSortAssets", "Sort by Asset Name", "A\u2193", 2154},
    {"bPrint", "Print Asset List", "P", 2155},
    {"bHomeRefresh", "Refresh Home Folders", "\u21BB", 2156},
};

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

// --- THomePanel

THomePanel::THomePanel(int key, QWidget* parent) : QFrame(parent), key_(key) {
    setObjectName(QString("pHome%1").arg(key));
    setFixedSize(26, 22);
    setLineWidth(1);
    hide();
}

QString THomePanel::Caption() const { return QString("H%1").arg(key_); }

void THomePanel::SetLook(THomeLook look, const std::string& folder, const QColor& normal, const QColor& shadow,
                         const QColor& hover) {
    look_ = look;
    normal_ = normal, shadow_ = shadow, hover_ = hover;
    setVisible(look != THomeLook::Hidden);
    setToolTip(Qs(folder));
    ApplyLook();
}

void THomePanel::ApplyLook() {
    if (look_ == THomeLook::Off)
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else
        setFrameStyle(hovered_ ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
    update();
}

void THomePanel::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    ApplyLook();
    QFrame::enterEvent(event);
}

void THomePanel::leaveEvent(QEvent* event) {
    hovered_ = false;
    ApplyLook();
    QFrame::leaveEvent(event);
}

void THomePanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        dragged_ = false;
        pressAt_ = event->position().toPoint();
    }
}

void THomePanel::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || dragged_) return;
    if ((event->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
    dragged_ = true;
    if (OnDrag) OnDrag(*this);
}

void THomePanel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && !dragged_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click && OnClick) OnClick(*this);
}

void THomePanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QColor colour = hovered_ ? hover_ : (look_ == THomeLook::Off ? shadow_ : normal_);
    painter.setPen(colour);
    painter.drawText(contentsRect(), Qt::AlignCenter, Caption());
}

// --- TAssetList

TAssetList::TAssetList(TProgramState& state, TAssetCatalogue& catalogue, THomeFolders& homes, IEditorDialogs& dialogs,
                       QWidget* parent)
    : TFrame("AssetList", "Assets", false, parent),
      state_(state),
      catalogue_(catalogue),
      homeFolders_(homes),
      dialogs_(dialogs),
      monitorModel_(state, catalogue) {
    BuildButtons();
    list_ = new TCheckListView(Body());
    list_->setObjectName("Assets");
    model_ = new TCheckListModel(*this, list_);
    list_->setModel(model_);
    list_->setItemDelegate(new TCheckListDelegate(state_, false, list_));
    list_->OnMousePress = [this](QMouseEvent* e) { return MousePress(e); };
    list_->OnMouseMove = [this](QMouseEvent* e) { return MouseMove(e); };
    list_->OnMouseRelease = [this](QMouseEvent* e) { MouseRelease(e); };
    list_->OnKeyPress = [this](QKeyEvent* e) { return KeyPress(e); };
    list_->setAcceptDrops(true);
    list_->viewport()->setAcceptDrops(true);
    list_->viewport()->installEventFilter(this);
    BodyLayout()->addWidget(list_, 1);
    gauge_ = new QProgressBar(Body());
    gauge_->setObjectName("Gauge");
    gauge_->setRange(0, kGaugeMaximum);
    gauge_->setTextVisible(false);
    gauge_->setMaximumHeight(8);
    gauge_->hide();
    BodyLayout()->addWidget(gauge_);
    BuildMenu();

    ChooseFolder = [this](const std::string& title) {
        return QFileDialog::getExistingDirectory(this, Qs(title), Qs(state_.AssetPath())).toStdString();
    };
    catalogue_.SetEvents(this);
    homeFolders_.ShowHomePanel = [this] { ShowHomePanels(); };
    pumpTimer_.start();
}

TAssetList::~TAssetList() {
    catalogue_.SetEvents(nullptr);
    homeFolders_.ShowHomePanel = nullptr;
}

void TAssetList::BuildButtons() {
    auto* row = new QWidget(Body());
    row->setObjectName("AssetButtons");
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    for (const TButtonRow& b : kButtons) {
        QToolButton* button = AddToolButton(row, layout, b);
        const int tag = b.tag;
        if (tag == 2154) {
            button->setCheckable(true);
            connect(button, &QToolButton::clicked, this, [this, button](bool down) {
                if (catalogue_.RefuseWhileScanning()) {
                    button->setChecked(!down);
                    return;
                }
                catalogue_.SetSortButtonDown(down);
                ContextMenuExecute(2154);
            });
        } else {
            connect(button, &QToolButton::clicked, this, [this, tag] { ContextMenuExecute(tag); });
        }
    }
    layout->addStretch(1);
    for (int key = 1; key <= kHomePanels; ++key) {
        auto* panel = new THomePanel(key, row);
        panel->OnClick = [this](THomePanel& p) { homeFolders_.HomeClick(p.Key()); };
        panel->OnDrag = [this](THomePanel& p) { StartInstallDrag(p); };
        homes_[static_cast<std::size_t>(key - 1)] = panel;
        layout->addWidget(panel);
    }
    BodyLayout()->addWidget(row);
}

void TAssetList::BuildMenu() {
    menu_ = BuildContextMenu(this, "ContextMenu", kAssetListGroup, kMenuItems, [this](int tag) { ContextMenuExecute(tag); },
                             [this] { ContextMenuValidate(); });
    Action("mCut")->setEnabled(false);
}

QAction* TAssetList::Action(const QString& name) const { return FindAction(menu_, name); }

QToolButton* TAssetList::Button(const QString& name) const { return findChild<QToolButton*>(name); }

void TAssetList::Init(ICommandBus* target) {
    TFrame::Init(target);
    // InitAssetList
    const int delay = static_cast<int>(ReadSettingInt(state_.Settings(), keys::ProcessDelay));
    assetMonitor_ = std::make_unique<TAssetMonitor>(monitorModel_, std::max(delay, 0), this);
    fileMonitor_ = std::make_unique<TFileMonitor>(std::max(delay, 0), this);
    assetMonitor_->OnChange = [this](const std::string& root) {
        if (catalogue_.Scanning() || homeFolders_.AutoscanBusy()) return false;
        return homeFolders_.AssetMonitorNotify(root);
    };
    auto error = [this](const std::string& message) { state_.Messages->ShowMessage(message, "", MessageKind::Error); };
    assetMonitor_->OnError = error;
    fileMonitor_->OnError = error;
    fileMonitor_->OnChange = [this] { state_.SendCommand(ccRefreshFiles, ""); };
    catalogue_.ClearAssetList();
    SetPanelBorder(state_.BorderWidth, palette().color(QPalette::Button));
    ShowHomePanels();
}

bool TAssetList::CloseQuery() {
    if (!catalogue_.Scanning()) return true;
    // The scan ends first; the window closes once it has unwound.
    catalogue_.AbortScan();
    closeAfterScan_ = true;
    return false;
}

void TAssetList::Close() {
    if (assetMonitor_) assetMonitor_->Stop();
    if (fileMonitor_) fileMonitor_->Stop();
}

QWidget* TAssetList::MainControl() { return list_; }

void TAssetList::ScanEnded() {
    // A close asked for during the scan comes once the scan's callers have unwound.
    if (!closeAfterScan_) return;
    closeAfterScan_ = false;
    if (QWidget* top = window()) QMetaObject::invokeMethod(top, "close", Qt::QueuedConnection);
}

// A folder handed over by a second start: added now, or when the running scan ends.
void TAssetList::AddDirectory(const std::string& folder) { catalogue_.QueueDirectory(folder); }

void TAssetList::OpenFolder() {
    if (catalogue_.RefuseWhileScanning()) return;
    const std::string folder = ChooseFolder ? ChooseFolder("Content Location") : std::string();
    if (!folder.empty() && catalogue_.AddDirectory(folder) == TScanResult::Done) catalogue_.SortAssets();
}

void TAssetList::DropAssets(const std::vector<std::string>& paths) {
    if (QWidget* top = window()) {
        top->raise();
        top->activateWindow();
    }
    catalogue_.DropAssets(paths);
}

void TAssetList::PrintAssetList() {
    std::vector<std::string> lines;
    for (const TAssetEntry& e : catalogue_.Entries()) lines.push_back(e.folder);
    PrintLinesAfterDialog(this, state_, lines, kPrintTabSize, "Fixed");
}

void TAssetList::PrintTaggedAssets() {
    PrintLinesAfterDialog(this, state_, catalogue_.ListTaggedAssets(true), kPrintTabSize, "Fixed");
}

void TAssetList::RenameAssetFolder() { catalogue_.RenameAssetFolder(dialogs_); }

void TAssetList::ContextMenuValidate() {
    if (ICommandBus* bus = Bus()) bus->SendCommand(kAssetListGroup, "");
}

void TAssetList::ContextMenuExecute(int tag) {
    if (ICommandBus* bus = Bus()) bus->SendCommand(tag, "AssetList");
    ContextMenuValidate();
}

void TAssetList::ApplyStates(const std::vector<TMenuItemState>& states) { ApplyMenuStates(menu_, this, states); }

void TAssetList::ShowHomePanels() {
    const TMemIni& ini = state_.Settings();
    const QColor normal = ToQColor(SchemeColour(&ini, skNormal, true));
    const QColor hover = ToQColor(SchemeColour(&ini, skComment, true));
    const QColor shadow = palette().color(QPalette::Dark);
    for (THomePanel* panel : homes_)
        panel->SetLook(HomePanelLook(ini, panel->Key()), HomeFolderOf(ini, panel->Key()), normal, shadow, hover);
    if (assetMonitor_) assetMonitor_->Rebuild();
}

std::string TAssetList::ItemCaption(int index) const {
    return ExtractFileName(catalogue_.Entry(index).folder);
}

// --- the core's events

void TAssetList::Reset() {
    model_->Reset();
    if (QToolButton* sort = Button("bSortAssets")) {
        const QSignalBlocker block(sort);
        sort->setChecked(catalogue_.SortButtonDown());
    }
}

void TAssetList::Inserted(int index) { model_->Inserted(index); }
void TAssetList::Removed(int index) { model_->Removed(index); }
void TAssetList::Changed(int index) { model_->Changed(index); }
void TAssetList::SelectionChanged(int index) {
    model_->Changed(-1);  // the current asset's colours move
    list_->ShowRow(index);
}
void TAssetList::GaugeShown(bool shown) {
    gauge_->setValue(1);
    gauge_->setVisible(shown);
}
void TAssetList::GaugeMoved(int position) {
    if (gauge_->isVisible()) gauge_->setValue(position);
}
void TAssetList::Alert(const std::string& text, bool beep) { AlertStrip()->ShowAlert(text, true, beep ? 1 : 0); }
void TAssetList::CloseAlert() { AlertStrip()->Close(); }
void TAssetList::FocusList() {
    if (list_->isVisible()) list_->setFocus();
}
void TAssetList::MonitorFolderAdded(const std::string& folder) {
    if (assetMonitor_) assetMonitor_->AddFolder(folder);
}
void TAssetList::MonitorsRebuilt() {
    if (assetMonitor_) assetMonitor_->Rebuild();
}
void TAssetList::WatchAssetFolder(const std::string& folder) {
    if (fileMonitor_) fileMonitor_->Watch(folder);
}

void TAssetList::Pump() {
    // Pending input is taken every few tens of milliseconds, not at every folder entry.
    if (pumpTimer_.elapsed() < kPumpInterval) return;
    QCoreApplication::processEvents();
    pumpTimer_.restart();
}

// --- mouse and keys

bool TAssetList::MousePress(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int row = list_->RowAt(at);
    const bool checkColumn = at.x() <= kCheckColumnWidth;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->button() == Qt::LeftButton) {
        if (row < 0) return true;
        if (checkColumn) {
            // The box tags the asset and nothing else: the current asset, and its unsaved edits, stay.
            catalogue_.ToggleTag(row);
            AfterInput();
        } else {
            catalogue_.SelectAsset(row);
            dragArmed_ = true;
            dragStart_ = at;
        }
    } else if (event->button() == Qt::RightButton) {
        if (checkColumn) {
            if (ctrl && row >= 0)
                catalogue_.SetAllOpposite(row);
            else
                catalogue_.InvertChecks();
        } else {
            if (row >= 0) catalogue_.SelectAsset(row);
            menu_->popup(event->globalPosition().toPoint());
        }
    }
    return true;
}

bool TAssetList::MouseMove(QMouseEvent* event) {
    if (!dragArmed_ || !(event->buttons() & Qt::LeftButton)) return true;
    if ((event->position().toPoint() - dragStart_).manhattanLength() < QApplication::startDragDistance()) return true;
    dragArmed_ = false;
    StartAssetDrag(event->modifiers() & Qt::ControlModifier);
    return true;
}

void TAssetList::MouseRelease(QMouseEvent*) {
    dragArmed_ = false;
    AfterInput();
}

void TAssetList::AfterInput() {
    catalogue_.CountTagged();
    catalogue_.ShowAssetCount();
    ContextMenuValidate();
    list_->viewport()->update();
}

bool TAssetList::KeyPress(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int selected = catalogue_.Selected();
    const int count = catalogue_.Count();
    auto move = [&](int row) {
        if (count > 0) catalogue_.SelectAsset(std::clamp(row, 0, count - 1));
    };
    const int page = std::max(1, list_->viewport()->height() / std::max(1, list_->sizeHintForRow(0)));
    const int key = event->key();
    if (ctrl && (key == Qt::Key_T || key == Qt::Key_U || key == Qt::Key_I)) {
        if (key == Qt::Key_I)
            catalogue_.InvertChecks();
        else
            catalogue_.CheckAll(key == Qt::Key_T);
        AfterInput();
        return true;
    }
    switch (key) {
        case Qt::Key_Space: catalogue_.ToggleTag(selected); break;
        case Qt::Key_Delete: {
            // As if the menu item were chosen, and only when its rule allows it.
            ContextMenuValidate();
            QAction* action = Action(ctrl ? "mDeleteTagged" : "mDelete");
            if (action && action->isEnabled()) ContextMenuExecute(action->property("tag").toInt());
            break;
        }
        case Qt::Key_Up: move(selected - 1); break;
        case Qt::Key_Down: move(selected + 1); break;
        case Qt::Key_PageUp: move(selected - page); break;
        case Qt::Key_PageDown: move(selected + page); break;
        case Qt::Key_Home: move(0); break;
        case Qt::Key_End: move(count - 1); break;
        default: {
            const char32_t c = ctrl ? 0 : TypedLetterOrDigit(*event);
            if (!c) return false;
            const int found = catalogue_.FindByFirstChar(c);
            if (found >= 0) catalogue_.SelectAsset(found);
            break;
        }
    }
    AfterInput();
    return true;
}

// --- drag and drop

void TAssetList::RunDrag(const std::vector<std::string>& folders) {
    state_.SendCommand(ccDragState, "true");
    auto* drag = new QDrag(this);
    drag->setMimeData(FileListMimeData(folders));
    const Qt::DropAction result = drag->exec(Qt::CopyAction, Qt::CopyAction);
    state_.SendCommand(ccDragState, "false");
    homeFolders_.AssetsDropped(folders, result == Qt::CopyAction);
}

void TAssetList::StartAssetDrag(bool withTagged) {
    std::vector<std::string> folders;
    if (!state_.AssetPath().empty()) folders.push_back(state_.AssetPath());
    if (withTagged && state_.TaggedCount > 0)
        for (const std::string& f : catalogue_.ListTaggedAssets(false)) folders.push_back(f);
    // Work in progress stays where it is: nothing from an editing folder leaves by a drag.
    std::erase_if(folders, [](const std::string& f) { return ContainsStr(f, "editing"); });
    if (!folders.empty()) RunDrag(folders);
    catalogue_.CountTagged();
    list_->viewport()->update();
}

void TAssetList::StartInstallDrag(THomePanel& panel) {
    if (panel.Lowered()) return;
    std::string alert;
    const std::vector<std::string> folders = homeFolders_.InstallCandidates(panel.Key(), alert);
    if (!alert.empty()) AlertStrip()->ShowAlert(alert, true, 0);
    if (!folders.empty()) RunDrag(folders);
}

bool TAssetList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport()) {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (LocalFilesOf(drag->mimeData()).empty()) return false;
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const std::vector<std::string> paths = LocalFilesOf(drop->mimeData());
                if (paths.empty()) return false;
                drop->acceptProposedAction();
                // The scan runs after the drop has ended, so the source is not held waiting.
                QMetaObject::invokeMethod(this, [this, paths] { DropAssets(paths); }, Qt::QueuedConnection);
                return true;
            }
            default:
                break;
        }
    }
    return TFrame::eventFilter(watched, event);
}

}  // namespace kelvarn
