#include "catalogue/ui/FileView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>

#include "catalogue/EditorDialogs.h"
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

constexpr int kPrintTabSize = 12;

const TMenuItemRow kMenuItems[] = {
    {"mPlay", "Audio Editor", 2201, false},
    {"mOpenDefault", "Open (default)", 2202, false},
    {"mTool1", "Tool 1", 2203, true},           {"mTool2", "Tool 2", 2204, true},
    {"mTool3", "Tool 3", 2205, true},           {"mTool4", "Tool 4", 2206, true},
    {"mTool5", "Tool 5", 2207, true},           {"mTool6", "Tool 6", 2208, true},
    {"mAllFiles1", "All Files 1", 2209, true},  {"mAllFiles2", "All Files 2", 2210, true},
    {"mAllFiles3", "All Files 3", 2211, true},  {"mAllFiles4", "All Files 4", 2212, true},
    {"mAllFiles5", "All Files 5", 2213, true},  {"mAllFiles6", "All Files 6", 2214, true},
    {"mCut", "Cut", 2215, true},                {"mCutTagged", "Cut Tagged", 2216, true},
    {"mCopy", "Copy", 2217, false},             {"mCopyTagged", "Copy Tagged", 2218, false},
    {"mPaste", "Paste", 2219, false},           {"mDelete", "Delete", 2220, false},
    {"mDeleteTagged", "Delete Tagged", 2221, false}, {"mRename", "Rename", 2222, false},
    {"mNewFolder", "New Folder", 2223, true},   {"mBackupFile", "Backup File", 2224, true},
};

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

bool IsToolTag(int tag) { return tag >= 2202 && tag <= 2214; }

}  // namespace

TFileView::TFileView(TProgramState& state, TFileList& files, IEditorDialogs& dialogs, QWidget* parent)
    : TFrame("FileView", "Files", false, parent), state_(state), files_(files), dialogs_(dialogs) {
    BuildHeader();
    list_ = new TCheckListView(Body());
    list_->setObjectName("Files");
    model_ = new TCheckListModel(*this, list_);
    list_->setModel(model_);
    list_->setItemDelegate(new TCheckListDelegate(state_, true, list_));
    list_->OnMousePress = [this](QMouseEvent* e) { return MousePress(e); };
    list_->OnMouseRelease = [this](QMouseEvent* e) { MouseRelease(e); };
    list_->OnKeyPress = [this](QKeyEvent* e) { return KeyPress(e); };
    list_->OnKeyRelease = [this](QKeyEvent* e) { KeyRelease(e); };
    list_->setAcceptDrops(true);
    list_->viewport()->setAcceptDrops(true);
    list_->viewport()->installEventFilter(this);
    BodyLayout()->addWidget(list_, 1);
    BuildMenu();
    files_.SetEvents(this);
}

TFileView::~TFileView() { files_.SetEvents(nullptr); }

void TFileView::BuildHeader() {
    auto* row = new QWidget(Body());
    row->setObjectName("FileButtons");
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    masks_ = new QComboBox(row);
    masks_->setObjectName("FileMaskList");
    masks_->setEditable(true);
    masks_->setInsertPolicy(QComboBox::NoInsert);
    folders_ = new QComboBox(row);
    folders_->setObjectName("FolderMaskList");
    folders_->setMinimumContentsLength(10);
    layout->addWidget(masks_, 1);
    layout->addWidget(folders_, 2);
    for (const TButtonRow& b : {TButtonRow{"bRefresh", "Refresh File List", "\u21BB", 2250}, TButtonRow{"bPrint", "Print File List", "P", 2251}}) {
        const int tag = b.tag;
        connect(AddToolButton(row, layout, b), &QToolButton::clicked, this, [this, tag] { ContextMenuExecute(tag); });
    }
    connect(masks_, &QComboBox::activated, this, [this](int index) {
        if (syncing_) return;
        files_.SelectMask(index);
        MaskChosen();
    });
    connect(masks_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (syncing_ || masks_->lineEdit()->text().toStdString() == files_.MaskText()) return;
        files_.SetTypedMask(masks_->lineEdit()->text().toStdString());
        MaskChosen();
    });
    connect(folders_, &QComboBox::activated, this, [this](int index) {
        if (syncing_) return;
        files_.SelectFolder(index);
        MaskChosen();
    });
    BodyLayout()->addWidget(row);
}

void TFileView::BuildMenu() {
    menu_ = BuildContextMenu(this, "FileContextMenu", kFileListGroup, kMenuItems, [this](int tag) { ContextMenuExecute(tag); },
                             [this] { ContextMenuValidate(); });
}

QAction* TFileView::Action(const QString& name) const { return FindAction(menu_, name); }

void TFileView::Init(ICommandBus* target) {
    TFrame::Init(target);
    // InitFileView: both combos in the fixed font and the Normal colour.
    QFont fixed = masks_->font();
    kelvarn::ApplyFont(fixed, "Fixed", state_.Settings());
    QPalette colours = masks_->palette();
    colours.setColor(QPalette::Text, ToQColor(SchemeColour(&state_.Settings(), skNormal, true)));
    for (QComboBox* combo : {masks_, folders_}) {
        combo->setFont(fixed);
        combo->setPalette(colours);
    }
    files_.InitFileView();
}

QWidget* TFileView::MainControl() { return list_; }

bool TFileView::ItemCurrent(int index) const {
    return !state_.AssetFileName().empty() && files_.FileItemPath(files_.Item(index).text) == state_.AssetFileName();
}

TToolRunHooks TFileView::ToolHooks() {
    TToolRunHooks hooks;
    hooks.Alert = [this](const std::string& text) { AlertStrip()->ShowAlert(text, true, 0); };
    hooks.CloseAlert = [this] { AlertStrip()->Close(); };
    hooks.WaitCursor = [](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    return hooks;
}

void TFileView::RunTool(const std::string& caption, const std::string& spec) {
    kelvarn::RunTool(state_, dialogs_, ToolHooks(), caption, spec);
}

void TFileView::RunMenuTool(int tag) {
    QAction* item = nullptr;
    for (QAction* action : menu_->actions())
        if (action->property("tag").toInt() == tag) item = action;
    if (!item) return;
    const TMemIni& ini = state_.Settings();
    const std::string name = item->objectName().toStdString();
    const std::string key(1, name.back());
    std::string spec;
    if (tag == 2202)
        spec = ReadSetting(ini, keys::DefaultTool);
    else if (tag <= 2208)
        spec = ini.ReadString(ExtensionToolSection(state_.AssetFileExt()), key, "");
    else
        spec = ini.ReadString(sections::AllFiles, key, "");
    RunTool(item->text().toStdString(), spec);
}

void TFileView::PrintFileList() {
    std::vector<std::string> lines;
    for (const TFileItem& item : files_.Items()) lines.push_back(item.text);
    PrintLinesAfterDialog(this, state_, lines, kPrintTabSize, "Fixed");
}

void TFileView::PlayShownFile(const std::string& path) {
    if (!quietShow_) files_.AutoplayFile(path);
}

void TFileView::ContextMenuValidate() {
    if (ICommandBus* bus = Bus()) bus->SendCommand(kFileListGroup, "");
}

void TFileView::ContextMenuExecute(int tag) {
    if (IsToolTag(tag)) {
        RunMenuTool(tag);
        return;
    }
    if (ICommandBus* bus = Bus()) bus->SendCommand(tag, "FileView");
}

void TFileView::ApplyStates(const std::vector<TMenuItemState>& states) { ApplyMenuStates(menu_, this, states); }

void TFileView::MaskChosen() {
    files_.FileMaskChange();
    list_->viewport()->update();
}

// --- the core's events

void TFileView::Reset() {
    shownFile_.clear();
    model_->Reset();
}
void TFileView::Inserted(int index) { model_->Inserted(index); }
void TFileView::Removed(int index) { model_->Removed(index); }
void TFileView::Changed(int index) { model_->Changed(index); }
void TFileView::SelectionChanged(int index) {
    model_->Changed(-1);
    list_->ShowRow(index);
}

void TFileView::CombosChanged() {
    syncing_ = true;
    masks_->clear();
    for (const std::string& mask : files_.MaskEntries()) masks_->addItem(Qs(mask));
    if (files_.MaskIndex() >= 0)
        masks_->setCurrentIndex(files_.MaskIndex());
    else
        masks_->setEditText(Qs(files_.MaskText()));
    folders_->clear();
    for (const std::string& folder : files_.FolderEntries()) folders_->addItem(Qs(folder));
    folders_->setCurrentIndex(files_.FolderIndex());
    folders_->setEnabled(folders_->count() > 1);
    syncing_ = false;
}

void TFileView::Alert(const std::string& text, bool beep) { AlertStrip()->ShowAlert(text, true, beep ? 1 : 0); }
void TFileView::CloseAlert() { AlertStrip()->Close(); }

// --- mouse and keys

bool TFileView::MousePress(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int row = list_->RowAt(at);
    const bool checkColumn = at.x() <= kCheckColumnWidth;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    // A click in the check column or with the right button shows the file without playing it.
    quietShow_ = checkColumn || event->button() == Qt::RightButton;
    if (event->button() == Qt::LeftButton) {
        if (checkColumn)
            files_.ToggleTag(row);
        else if (row >= 0)
            files_.SetCurrentFile(row);
    } else if (event->button() == Qt::RightButton) {
        if (checkColumn) {
            if (ctrl && row >= 0)
                files_.SetAllOpposite(row);
            else
                files_.InvertChecks();
        } else {
            if (row >= 0) files_.SetCurrentFile(row);
            menu_->popup(event->globalPosition().toPoint());
        }
    }
    list_->setFocus();
    files_.ShowSelectedFile(files_.HasCurrentFile());
    if (files_.HasCurrentFile()) shownFile_ = state_.AssetPathFile();
    quietShow_ = false;
    files_.CountTaggedFiles();
    return true;
}

void TFileView::MouseRelease(QMouseEvent*) { files_.ShowFileCount(); }

bool TFileView::KeyPress(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    const int selected = files_.Selected();
    const int count = files_.Count();
    auto move = [&](int row) {
        if (count > 0) files_.SetCurrentFile(std::clamp(row, 0, count - 1));
    };
    const int page = std::max(1, list_->viewport()->height() / std::max(1, list_->sizeHintForRow(0)));
    if (ctrl && (key == Qt::Key_T || key == Qt::Key_U || key == Qt::Key_I)) {
        if (key == Qt::Key_I)
            files_.InvertChecks();
        else
            files_.CheckAll(key == Qt::Key_T);
        files_.CountTaggedFiles();
        return true;
    }
    switch (key) {
        case Qt::Key_Delete: ContextMenuExecute(ctrl ? 2221 : 2220); return true;
        case Qt::Key_Space: files_.ToggleTag(selected); files_.CountTaggedFiles(); return true;
        case Qt::Key_Up: move(selected - 1); return true;
        case Qt::Key_Down: move(selected + 1); return true;
        case Qt::Key_PageUp: move(selected - page); return true;
        case Qt::Key_PageDown: move(selected + page); return true;
        case Qt::Key_Home: move(0); return true;
        case Qt::Key_End: move(count - 1); return true;
        default: break;
    }
    const char32_t c = ctrl ? 0 : TypedLetterOrDigit(*event);
    if (!c) return false;
    const int found = files_.FindByFirstChar(c);
    if (found >= 0) files_.SetCurrentFile(found);
    return true;
}

void TFileView::KeyRelease(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    files_.SetCurrentFile(files_.Selected());
    // A file is shown once for each selection, not again at every key released over it: a message
    // box it raises would otherwise come back at the release of the key that closed it.
    if (files_.HasCurrentFile() && state_.AssetPathFile() != shownFile_) {
        shownFile_ = state_.AssetPathFile();
        files_.ShowSelectedFile(true);
    }
    files_.ShowFileCount();
}

bool TFileView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport()) {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (!acceptsDrops_ || !files_.HasCurrentFile() || LocalFilesOf(drag->mimeData()).empty()) {
                    drag->ignore();
                    return true;
                }
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const std::vector<std::string> paths = LocalFilesOf(drop->mimeData());
                if (!acceptsDrops_ || paths.empty()) return true;
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                QMetaObject::invokeMethod(this, [this, paths] { files_.DropFiles(paths); }, Qt::QueuedConnection);
                return true;
            }
            default:
                break;
        }
    }
    return TFrame::eventFilter(watched, event);
}

}  // namespace kelvarn
