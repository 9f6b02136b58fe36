#include "catalogue/ui/OutlineView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineVerifications.h"
#include "catalogue/ui/FindForm.h"
#include "catalogue/ui/OutlineItemModel.h"
#include "catalogue/ui/StateIcons.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/ui/EscapeFilter.h"

namespace kelvarn {

// The tree control: a QTreeView that can say where a row's state icon lies.
class TOutlineTree final : public QTreeView {
public:
    using QTreeView::QTreeView;
    QRect StateIconRect(const QModelIndex& index) const {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        option.features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay;
        option.decorationSize = iconSize().isValid() ? iconSize() : QSize(kStateIconSize, kStateIconSize);
        option.icon = StateIcon(0);
        option.text = index.data().toString();
        return style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
    }
};

namespace {

constexpr qint64 kPollEveryMs = 15;  // as often as a script run lets events in

// In-place editing ends in the frame, which stores the text through the document.
class TOutlineDelegate final : public QStyledItemDelegate {
public:
    TOutlineDelegate(TOutlineView& view, QObject* parent) : QStyledItemDelegate(parent), view_(view) {}
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            view_.EndInPlaceEdit(view_.Model()->NodeAt(index), line->text());
    }

private:
    TOutlineView& view_;
};

struct TCommandItem {
    const char* component;
    int number;
    const char* caption;
    bool separatorBefore = false;
};

// The context menu, in its order.
const TCommandItem kMenuItems[] = {
    {"mExpand", ocExpand, "Expand"},
    {"mCollapse", ocCollapse, "Collapse"},
    {"mComment", ocComment, "Comment", true},
    {"mDeleteMe", ocDeleteMe, "Tag for Deletion"},
    {"mIncrementKUID", ocIncrementKuid, "Increment KUID", true},
    {"mPromoteAll", ocPromoteAll, "Promote Contents"},
    {"mSortTree", ocSortTree, "Alpha Sort Contents"},
    {"mInsertTag", ocInsertTag, "Insert Tag", true},
    {"mAddChildTag", ocAddChildTag, "Add Tag to Container"},
    {"mEditTag", ocEditTag, "Edit Tag"},
    {"mDelete", ocDelete, "Delete", true},
    {"mDeleteTagged", ocDeleteTagged, "Delete Tagged"},
    {"mRunScript", ocRunScript, "Run Script", true},
    {"mCopyNode", ocCopyNode, "Copy Node", true},
    {"mCopyTaggedNodes", ocCopyTaggedNodes, "Copy Tagged Nodes"},
    {"mPasteNodes", ocPasteNodes, "Paste Nodes"},
    {"mFindReplace", ocFindReplace, "Find && Replace", true},
    {"mHelpLink", ocHelpLink, "Help on Tag", true},
    {"mOpenLink", ocOpenLink, "Open in Browser"},
    {"mOpenKUID", ocOpenKuid, "Open Dependency"},
    {"mAssetStatus", ocAssetStatus, "Asset Details"},
};

// The header's buttons, left to right; the captions are their hints.
const TCommandItem kHeaderButtons[] = {
    {"bMoveToTop", ocMoveToTop, ""},      {"bMoveUp", ocMoveUp, ""},         {"bPromote", ocPromote, ""},
    {"bDemote", ocDemote, ""},            {"bMoveDown", ocMoveDown, ""},     {"bMoveToBottom", ocMoveToBottom, ""},
    {"bSortOrder", ocSortOrder, "Sort Contents", true}, {"bFindText", ocFindText, ""},
    {"bSaveConfig", ocSaveConfig, "", true}, {"bUndo", ocUndo, ""},       {"bUndoMark", ocUndoMark, "Undo Mark"},
};

// The buttons' pictures, drawn like the state icons so that no image file is needed.
QIcon HeaderIcon(int number) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x30, 0x30, 0x60);
    p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    auto triangle = [&](QPointF a, QPointF b, QPointF c) { p.drawPolygon(QPolygonF({a, b, c})); };
    switch (number) {
        case ocMoveToTop: p.drawLine(QPointF(3, 3), QPointF(13, 3)); triangle({8, 5}, {3, 12}, {13, 12}); break;
        case ocMoveUp: triangle({8, 3}, {3, 11}, {13, 11}); break;
        case ocPromote: triangle({3, 8}, {11, 3}, {11, 13}); break;
        case ocDemote: triangle({13, 8}, {5, 3}, {5, 13}); break;
        case ocMoveDown: triangle({8, 13}, {3, 5}, {13, 5}); break;
        case ocMoveToBottom: p.drawLine(QPointF(3, 13), QPointF(13, 13)); triangle({8, 11}, {3, 4}, {13, 4}); break;
        case ocSortOrder:
            for (int i = 0; i < 4; ++i) p.drawLine(QPointF(3, 3.5 + 3 * i), QPointF(6 + 2 * i, 3.5 + 3 * i));
            break;
        case ocFindText:
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(2.5, 2.5, 8, 8));
            p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
            break;
        case ocSaveConfig:
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(2.5, 2.5, 11, 11));
            p.drawRect(QRectF(5, 2.5, 6, 4));
            break;
        case ocUndo: {
            p.setBrush(Qt::NoBrush);
            QPainterPath arc;
            arc.moveTo(4, 7);
            arc.cubicTo(6, 2, 14, 3, 13, 9);
            arc.cubicTo(12.5, 12, 9, 13.5, 6, 12.5);
            p.drawPath(arc);
            p.setBrush(ink);
            triangle({2, 4}, {6.5, 4}, {3.5, 9});
            break;
        }
        case ocUndoMark:
            p.drawLine(QPointF(4, 2.5), QPointF(4, 14));
            triangle({4.5, 3}, {13, 5.5}, {4.5, 8});
            break;
        default: break;
    }
    p.end();
    return QIcon(pixmap);
}

bool IsNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Home:
        case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Tab: case Qt::Key_Backtab:
            return true;
        default:
            return false;
    }
}

}  // namespace

TOutlineView::TOutlineView(TProgramState& state, TOutlineDocument& document, QWidget* parent)
    : TFrame(QStringLiteral("OutlineView"), QStringLiteral("config.txt"), true, parent),
      state_(state),
      document_(document) {
    SetHighlightName("OutlineView");
    model_ = new OutlineItemModel(document_, &state_.Settings(), this);
    tree_ = new TOutlineTree(Body());
    tree_->setObjectName("Outline");
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setExpandsOnDoubleClick(false);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setIconSize(QSize(kStateIconSize, kStateIconSize));
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->setItemDelegate(new TOutlineDelegate(*this, tree_));
    tree_->installEventFilter(this);
    tree_->viewport()->installEventFilter(this);
    BodyLayout()->addWidget(tree_, 1);
    gauge_ = new QProgressBar(Body());
    gauge_->setObjectName("Gauge");
    gauge_->setTextVisible(false);
    gauge_->setMaximumHeight(10);
    gauge_->hide();
    BodyLayout()->addWidget(gauge_);

    BuildHeader();
    BuildContextMenu();

    model_->OnBeforeReset = [this] { BeforeReset(); };
    model_->OnAfterReset = [this](TResetReason reason) { AfterReset(reason); };
    model_->OnAlert = [this](const std::string& text) { Alert()->ShowAlert(text, true, 0); };
    model_->OnMakeVisible = [this](const TOutlineNode* node) { MakeVisible(node); };
    // A node a script opens is brought into view first: opening it inside a closed parent shows nothing.
    model_->OnExpandNode = [this](const TOutlineNode* node, bool allLevels) {
        MakeVisible(node);
        if (allLevels)
            ExpandNode(node);
        else if (node)
            tree_->expand(model_->IndexOf(node));
    };
    model_->OnTrainzBuildDeleted = [this] {
        if (RefreshTrainzBuild) RefreshTrainzBuild("");
    };
    document_.Progress = [this](std::size_t done, std::size_t total) { return WalkProgress(done, total); };

    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        // A right press on a label selects its node first; one on a state icon only toggles the mark.
        const QModelIndex index = tree_->indexAt(pos);
        if (index.isValid() && tree_->StateIconRect(index).contains(pos)) return;
        if (index.isValid()) tree_->setCurrentIndex(index);
        PopupContextMenu(tree_->viewport()->mapToGlobal(pos));
    });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { state_.SendCommand(ocContextMenu, ""); });

    clickTimer_.setSingleShot(true);
    clickTimer_.setInterval(QApplication::doubleClickInterval());
    connect(&clickTimer_, &QTimer::timeout, this, [this] {
        pickedByKey_ = false;
        RunHook(ValuePicker);
    });
    tetTimer_.setSingleShot(true);
    tetTimer_.setInterval(200);
    connect(&tetTimer_, &QTimer::timeout, this, [this] { state_.SendCommand(ccConfigEdited, ""); });

    AskSaveFileName = [this](const std::string& folder) {
        const QString file = QFileDialog::getSaveFileName(
            this, "Select or enter filename", QString::fromStdString(JoinPath(folder, "config.txt", '/')),
            "Config Files (config.txt)", nullptr, QFileDialog::Options());
        std::string name = file.toStdString();
        if (!name.empty() && ExtractFileExt(name).empty()) name += ".txt";  // the default suffix
        return name;
    };
    AskSearchString = [this](const std::string& last) {
        bool ok = false;
        const QString text = QInputDialog::getText(this, "Kelvarn", "Enter search string", QLineEdit::Normal,
                                                   QString::fromStdString(last), &ok);
        return ok ? text.toStdString() : std::string();
    };
}

TOutlineView::~TOutlineView() {
    document_.Progress = nullptr;
    // The document outlives the view: it must not call a destroyed model.
    document_.SetObserver(nullptr);
}

QWidget* TOutlineView::MainControl() { return tree_; }
QTreeView* TOutlineView::Tree() const { return tree_; }

QAction* TOutlineView::Action(const QString& component) const {
    for (QAction* a : actions_)
        if (a->objectName() == component) return a;
    return nullptr;
}

QAction* TOutlineView::MakeAction(const char* component, int number, const char* caption) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    action->setObjectName(component);
    action->setData(number);
    connect(action, &QAction::triggered, this, [this, number] { ContextMenuExecute(number); });
    actions_.push_back(action);
    return action;
}

void TOutlineView::BuildHeader() {
    int at = 1;  // after the caption
    for (const TCommandItem& item : kHeaderButtons) {
        if (item.separatorBefore) HeaderLayout()->insertSpacing(at++, 6);
        QAction* action = MakeAction(item.component, item.number, "");
        action->setIcon(HeaderIcon(item.number));
        if (*item.caption) action->setToolTip(item.caption);
        auto* button = new QToolButton(this);
        button->setObjectName(item.component);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        button->setFixedSize(22, 20);
        HeaderLayout()->insertWidget(at++, button);
    }
    // The definition of the selected tag: a button kept out of sight.
    auto* spec = new QToolButton(this);
    spec->setObjectName("SpeedButton2");
    spec->setText("TS");
    spec->setToolTip("Tag Spec (current tag)");
    spec->setVisible(false);
    connect(spec, &QToolButton::clicked, this, [this] { RunHook(ShowTagSpec); });
    HeaderLayout()->insertWidget(at, spec);
}

void TOutlineView::BuildContextMenu() {
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName("ContextMenu");
    for (const TCommandItem& item : kMenuItems) {
        if (item.separatorBefore) contextMenu_->addSeparator();
        QAction* action = MakeAction(item.component, item.number, item.caption);
        if (item.number == ocComment || item.number == ocDeleteMe) action->setCheckable(true);
        contextMenu_->addAction(action);
    }
}

void TOutlineView::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (QWidget* header = findChild<QWidget*>("Header", Qt::FindDirectChildrenOnly)) header->setVisible(!readOnly);
}

void TOutlineView::ContextMenuExecute(int number) {
    if (readOnly_) return;
    if (ICommandBus* bus = Bus()) bus->SendCommand(number, "OutlineView");
}

void TOutlineView::PopupContextMenu(const QPoint& globalPos) {
    if (readOnly_) return;
    // The items' states are brought up to date as the menu opens.
    state_.SendCommand(ocContextMenu, "");
    contextMenu_->popup(globalPos);
}

// --- selection and visibility

TOutlineNode* TOutlineView::Selected() const { return model_->NodeAt(tree_->currentIndex()); }

void TOutlineView::Select(const TOutlineNode* node) {
    const QModelIndex index = model_->IndexOf(node);
    if (!index.isValid()) return;
    tree_->setCurrentIndex(index);
}

void TOutlineView::MakeVisible(const TOutlineNode* node) {
    if (!node) return;
    for (const TOutlineNode* p = node->Parent(); p; p = p->Parent()) tree_->expand(model_->IndexOf(p));
    tree_->scrollTo(model_->IndexOf(node));
}

bool TOutlineView::IsVisibleRow(const TOutlineNode* node) const {
    if (!node) return false;
    for (const TOutlineNode* p = node->Parent(); p; p = p->Parent())
        if (!tree_->isExpanded(model_->IndexOf(p))) return false;
    return true;
}

QRect TOutlineView::StateIconRect(const TOutlineNode* node) const {
    const QModelIndex index = model_->IndexOf(node);
    return index.isValid() ? tree_->StateIconRect(index) : QRect();
}

// --- resets: the expansion and selection a reload or an undo keeps

void TOutlineView::BeforeReset() {
    expanded_.clear();
    selectedPath_ = document_.NodePath(Selected());
    WalkRows(document_.Root(), [&](TOutlineNode* n, int) {
        if (n->ChildCount() > 0 && tree_->isExpanded(model_->IndexOf(n))) expanded_.insert(document_.NodePath(n));
    });
}

void TOutlineView::AfterReset(TResetReason reason) {
    const bool sameConfig = reason == TResetReason::Undo ||
                            (reason == TResetReason::Load && document_.ShownFolder() == resetFolder_);
    resetFolder_ = document_.ShownFolder();
    if (reason == TResetReason::Clear) return;
    if (reason == TResetReason::Load) Alert()->Close();
    const TOutlineNode* root = document_.Root();
    if (!root) return;
    tree_->expand(model_->IndexOf(root));
    const TOutlineNode* select = root;
    if (sameConfig) {
        for (const std::string& path : expanded_)
            if (const TOutlineNode* node = document_.FindNodeByPath(path)) tree_->expand(model_->IndexOf(node));
        if (const TOutlineNode* node = document_.FindNodeByPath(selectedPath_)) select = node;
    }
    Select(select);
    ShowConfigStatus();
}

// --- loading and saving

std::string TOutlineView::LoadConfig(const std::string& folder) {
    const std::string error = document_.LoadConfig(folder);
    ShowConfigStatus();
    return error;
}

void TOutlineView::ClearOutline() {
    Alert()->Close();
    document_.ClearOutline();
    state_.SendStatusText(stCaption, "");
    for (int target : {stPanel3, stPanel4, stPanel2}) state_.SendStatusText(target, "");
}

void TOutlineView::ShowConfigStatus() { state_.SendStatusText(stPanel3, document_.ConfigStatusText()); }

std::string TOutlineView::ShownConfigPath() const {
    if (!document_.ConfigFile().empty()) return document_.ConfigFile();
    return document_.ShownFolder().empty() ? std::string() : JoinPath(document_.ShownFolder(), "config.txt");
}

std::string TOutlineView::AssetConfigFile() const {
    const std::string folder = state_.AssetPath().empty() ? document_.ShownFolder() : state_.AssetPath();
    if (folder.empty()) return {};
    return NativePath(JoinPath(folder, "config.txt"));
}

bool TOutlineView::SaveConfig(const std::string& fileName, bool reload, bool noPrompt) {
    std::string target = fileName;
    if (!noPrompt) {
        const std::string folder = NativePath(ExpandMacros(state_, "%p%"));
        target = AskSaveFileName ? AskSaveFileName(folder) : std::string();
        if (target.empty()) {
            state_.SendCommand(ocContextMenu, "");
            return false;
        }
    }
    if (target.empty()) return false;
    if (std::string error = document_.SaveConfig(target, false); !error.empty()) {
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
        state_.SendCommand(ocContextMenu, "");
        return false;
    }
    if (reload) LoadConfig(ExtractFileDir(target));
    return true;
}

bool TOutlineView::AskSaveConfig() {
    if (!document_.Modified()) return true;
    const std::string path = ShownConfigPath();
    bool saved = true;
    if (state_.Messages->AskYesNo("'" + ShownPath(path) + "' may have changed.\r\rSave file to disc?"))
        saved = SaveConfig(path, false, true);
    // A failed save keeps the mark, so the work is asked about again rather than lost silently.
    if (saved) document_.SetModified(false);
    return saved;
}

bool TOutlineView::OutlineCloseQuery() {
    if (!document_.Modified()) return true;
    const std::string path = ShownConfigPath();
    switch (state_.Messages->AskYesNoCancel(SaveConfigurationQuestion(path))) {
        case Answer::Yes: return SaveConfig(path, false, true);
        case Answer::No: return true;
        case Answer::Cancel: return false;
    }
    return false;
}

// --- expansion

void TOutlineView::ExpandNode(const TOutlineNode* node) {
    if (node) tree_->expandRecursively(model_->IndexOf(node));
}

void TOutlineView::CollapseNode(const TOutlineNode* node) {
    if (!node) return;
    if (node == document_.Root()) {
        tree_->collapseAll();
        return;
    }
    WalkRows(node, [&](TOutlineNode* n, int) {
        if (n->ChildCount() > 0) tree_->collapse(model_->IndexOf(n));
    });
}

bool TOutlineView::IsFullyExpanded(const TOutlineNode* node) const {
    bool all = true;
    WalkRows(node, [&](TOutlineNode* n, int) {
        if (all && n->ChildCount() > 0 && !tree_->isExpanded(model_->IndexOf(n))) all = false;
    });
    return all;
}

bool TOutlineView::IsFullyCollapsed(const TOutlineNode* node) const {
    return !node || node->ChildCount() == 0 || !tree_->isExpanded(model_->IndexOf(node));
}

// --- marks, with the gauge over long walks

bool TOutlineView::WalkProgress(std::size_t done, std::size_t total) {
    if (gauge_->isHidden()) {
        gauge_->setRange(0, static_cast<int>(std::min<std::size_t>(total, INT32_MAX)));
        gauge_->show();
    }
    // Repainted every hundredth of the way: the walk pumps no events.
    const std::size_t step = std::max<std::size_t>(total / 100, 1);
    if (done % step == 0 || done == total) {
        gauge_->setValue(static_cast<int>(std::min<std::size_t>(done, INT32_MAX)));
        gauge_->repaint();
    }
    return !cancel_;
}

void TOutlineView::RunAssetCheck(const std::function<void(const TAssetCheck& check)>& run) {
    const std::string folder = state_.AssetPath().empty() ? document_.ShownFolder() : state_.AssetPath();
    if (folder.empty() || busy_) return;
    busy_ = true;
    cancel_ = false;
    TAssetCheck check{state_, document_, folder, false};
    check.Progress = [this](std::size_t done, std::size_t total) {
        if (total == 0)
            gauge_->hide();
        else
            WalkProgress(done, total);
    };
    QElapsedTimer sinceEvents;
    check.Poll = [this, &sinceEvents] {
        // Pending events are taken a few dozen times a second, as a script run takes them; of the
        // user's input only Escape gets through, since a click could load another config under
        // the check.
        if (!sinceEvents.isValid() || sinceEvents.elapsed() >= kPollEveryMs) {
            TEscapeFilter escape;
            qApp->installEventFilter(&escape);
            QApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
            qApp->removeEventFilter(&escape);
            if (escape.escaped) cancel_ = true;
            sinceEvents.restart();
        }
        if (!cancel_) return true;
        cancel_ = false;
        return false;
    };
    run(check);
    gauge_->hide();
    busy_ = false;
}

void TOutlineView::VerifyMeshes() {
    RunAssetCheck([](const TAssetCheck& check) { kelvarn::VerifyMeshes(check); });
}

void TOutlineView::VerifyTextures() {
    RunAssetCheck([](const TAssetCheck& check) { kelvarn::VerifyTextures(check); });
}

void TOutlineView::VerifyImages() {
    RunAssetCheck([](const TAssetCheck& check) { kelvarn::VerifyImages(check); });
}

void TOutlineView::ToggleMark(TOutlineNode* node, int mode, bool nodeOnly) {
    if (!node) return;
    busy_ = true;
    cancel_ = false;
    document_.ToggleMark(node, mode, nodeOnly);
    gauge_->hide();
    busy_ = false;
}

void TOutlineView::TagAll(bool tagged) {
    TOutlineNode* root = document_.Root();
    if (!root) return;
    busy_ = true;
    cancel_ = false;
    const int set = tagged ? nfTagged : 0, clear = tagged ? 0 : nfTagged;
    document_.SetNodeFlags(root, set, clear);
    document_.SetChildFlags(root, set, clear);
    gauge_->hide();
    busy_ = false;
    state_.SendCommand(ocContextMenu, "");
}

std::string TOutlineView::IncrementKuid(TOutlineNode* node, bool silent, bool withUndo) {
    std::string message = kelvarn::IncrementKuid(document_, node, withUndo);
    if (!message.empty() && !silent) Alert()->ShowAlert(message, true, 1);
    return message;
}

void TOutlineView::OpenFindReplace(bool keepSelection) {
    if (!findForm_) return;
    document_.PushUndo();
    if (!keepSelection) Select(document_.Root());
    findForm_->show();
    findForm_->raise();
    findForm_->activateWindow();
    findForm_->FormShow();
}

void TOutlineView::UndoLastChange() {
    if (!document_.UndoLastChange()) return;
    ShowConfigStatus();
    if (RefreshTrainzBuild) RefreshTrainzBuild("");
}

void TOutlineView::StartInPlaceEdit() {
    if (readOnly_) return;
    TOutlineNode* node = Selected();
    if (!node || node == document_.Root() || (findForm_ && findForm_->isVisible())) return;
    document_.PushUndo();
    editOldText_ = node->Text();
    tree_->edit(model_->IndexOf(node));
}

void TOutlineView::EndInPlaceEdit(TOutlineNode* node, const QString& text) {
    if (!node) return;
    const std::string typed = text.toStdString();
    if (typed == editOldText_) return;
    if (!document_.EditNodeText(node, typed)) return;
    if (ReclassifiesKind(TagName(editOldText_)) || ReclassifiesKind(TagName(typed))) tetTimer_.start();
}

void TOutlineView::RunHook(const std::function<void(TOutlineNode*)>& hook) {
    if (hook && Selected()) hook(Selected());
}

void TOutlineView::MoveSelected(int mode) {
    if (const TOutlineNode* select = document_.MoveNode(Selected(), mode)) {
        Select(select);
        MakeVisible(select);
    }
}

// --- commands

void TOutlineView::ExecuteCommand(int number) {
    TOutlineNode* node = Selected();
    if (readOnly_ && number != ocContextMenu && number != ocExpand && number != ocCollapse) return;
    switch (number) {
        case ocContextMenu: ValidateMenu(); break;
        case ocExpand: ExpandNode(node); break;
        case ocCollapse: CollapseNode(node); break;
        case ocComment: ToggleMark(node, tmComment, false); break;
        case ocDeleteMe: ToggleMark(node, tmDelete, false); break;
        case ocIncrementKuid: IncrementKuid(node, false, true); break;
        case ocPromoteAll: document_.PromoteContents(node); break;
        case ocSortTree: AlphaSortChildren(document_, node); break;
        case ocInsertTag:
        case ocAddChildTag:
            if (InsertTag && node) InsertTag(node, number == ocAddChildTag);
            break;
        case ocEditTag: RunHook(EditTag); break;
        case ocDelete: document_.DeleteNode(node, true); break;
        case ocDeleteTagged: document_.DeleteTagged(true); break;
        case ocRunScript: RunHook(RunScript); break;
        case ocCopyNode:
            CopyNode(document_, node, copyList_);
            state_.SendCommand(ocContextMenu, "");
            break;
        case ocCopyTaggedNodes:
            CopyTaggedNodes(document_, node, copyList_, [this](const TOutlineNode* n) { return IsVisibleRow(n); });
            state_.SendCommand(ocContextMenu, "");
            break;
        case ocPasteNodes: PasteNodes(document_, node, copyList_); break;
        case ocFindReplace: OpenFindReplace(true); break;
        case ocFindText: OpenFindReplace(false); break;
        case ocHelpLink: RunHook(HelpLink); break;
        case ocOpenLink: RunHook(OpenLink); break;
        case ocOpenKuid: RunHook(OpenKuid); break;
        case ocAssetStatus: RunHook(AssetStatus); break;
        case ocMoveToTop: MoveSelected(mmTop); break;
        case ocMoveUp: MoveSelected(mmUp); break;
        case ocPromote: MoveSelected(mmPromote); break;
        case ocDemote: MoveSelected(mmDemote); break;
        case ocMoveDown: MoveSelected(mmDown); break;
        case ocMoveToBottom: MoveSelected(mmBottom); break;
        case ocSortOrder:
            if (std::string error = kelvarn::ReorderConfig(document_, state_); !error.empty())
                Alert()->ShowAlert(error, true, 1);
            break;
        case ocSaveConfig: SaveConfig(AssetConfigFile(), true, false); break;
        case ocUndo: UndoLastChange(); break;
        case ocUndoMark: document_.PushUndo(); break;
        default: break;
    }
}

TOutlineMenuFacts TOutlineView::MenuFacts() const {
    const TOutlineNode* node = Selected();
    TOutlineMenuFacts facts = OutlineNodeFacts(document_, node);
    facts.fullyExpanded = !node || IsFullyExpanded(node);
    facts.fullyCollapsed = IsFullyCollapsed(node);
    facts.copyListEmpty = copyList_.Empty();
    facts.sortOrderExists = FileExists(SortOrderFileName(state_));
    facts.userOwnsAsset = ExpandMacros(state_, "%userID%") == ExpandMacros(state_, "%assetID%");
    facts.wiki = ReadSettingBool(state_.Settings(), keys::Wiki);
    facts.hasHelpLink = node && HasHelpLink && HasHelpLink(node);
    facts.consoleOpen = IsConsoleOpen && IsConsoleOpen();
    return facts;
}

void TOutlineView::ValidateMenu() {
    for (const TMenuItemState& s : OutlineMenuStates(MenuFacts())) {
        QAction* action = Action(QString::fromStdString(s.name));
        if (!action) continue;
        if (s.visible) action->setVisible(*s.visible);
        if (s.enabled) action->setEnabled(*s.enabled);
        if (s.checked) action->setChecked(*s.checked);
    }
}

// --- keys and mouse

bool TOutlineView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_ && event->type() == QEvent::KeyPress) return TreeKey(static_cast<QKeyEvent*>(event));
    if (watched == tree_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) return TreeMouse(static_cast<QMouseEvent*>(event), false);
        if (event->type() == QEvent::MouseButtonDblClick) return TreeMouse(static_cast<QMouseEvent*>(event), true);
    }
    return TFrame::eventFilter(watched, event);
}

bool TOutlineView::TreeKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const bool findShown = findForm_ && findForm_->isVisible();
    TOutlineNode* node = Selected();
    // Read only: the tree's own keys move and expand; every other key does nothing.
    if (readOnly_) return !IsNavigationKey(key->key()) && key->key() != Qt::Key_Plus && key->key() != Qt::Key_Minus &&
                          key->key() != Qt::Key_Asterisk;
    switch (key->key()) {
        case Qt::Key_Space:
            if (!ctrl) ToggleMark(node, tmTag, false);
            return true;
        case Qt::Key_T:
            if (!ctrl) break;
            TagAll(true);
            return true;
        case Qt::Key_U:
            if (!ctrl) break;
            TagAll(false);
            return true;
        case Qt::Key_Delete:
            if (ctrl) document_.DeleteTagged(true);
            else if (node != document_.Root()) document_.DeleteNode(node, true);
            return true;
        case Qt::Key_Insert:
            if (InsertTag && node) {
                if (!ctrl) InsertTag(node, false);
                else if (TOutlineDocument::IsContainer(node)) InsertTag(node, true);
            }
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pickedByKey_ = !ctrl;
            RunHook(ctrl ? EditTag : ValuePicker);
            return true;
        case Qt::Key_F2:
            QMetaObject::invokeMethod(this, [this] { StartInPlaceEdit(); }, Qt::QueuedConnection);
            return true;
        case Qt::Key_F3:
            if (findShown) findForm_->FindClick(false);
            return true;
        case Qt::Key_Escape:
            if (findShown) findForm_->close();
            return true;
        case Qt::Key_F:
            if (ctrl || (mods & Qt::AltModifier)) break;
            if (!findShown) OpenFindReplace(false);
            return true;
        case Qt::Key_K:
            if (!ctrl) break;
            document_.PushUndo();
            return true;
        case Qt::Key_Z:
            if (!ctrl) break;
            UndoLastChange();
            return true;
        case Qt::Key_F12:
            if (IsConsoleOpen && IsConsoleOpen()) {
                const std::string offered = KeptSearch ? KeptSearch() : lastSearch_;
                const std::string search = AskSearchString ? AskSearchString(offered) : std::string();
                if (!search.empty()) {
                    lastSearch_ = search;
                    if (ConsoleSearch) ConsoleSearch(search);
                }
            } else {
                state_.Messages->ShowMessage("Database not available");
            }
            return true;
        case Qt::Key_Question:
        case Qt::Key_Slash:
            if (shift || key->key() == Qt::Key_Question) RunHook(HelpLink);
            return true;
        default:
            break;
    }
    if (IsNavigationKey(key->key())) return false;
    // Letters and digits jump to a node; other characters (the tree's own "+", "-" and "*" among
    // them) do nothing.
    const QString text = key->text();
    if (text.isEmpty()) return false;
    return !text.front().isLetterOrNumber() || ctrl;
}

bool TOutlineView::TreeMouse(QMouseEvent* mouse, bool doubleClick) {
    const QPoint pos = mouse->position().toPoint();
    const QModelIndex index = tree_->indexAt(pos);
    TOutlineNode* node = model_->NodeAt(index);
    if (!node) return false;
    if (readOnly_) return false;  // the tree selects and expands by itself
    if (doubleClick) {
        clickTimer_.stop();
        if (mouse->button() == Qt::LeftButton && !node->HasFlag(nfDelete) && node != document_.Root() && EditTag)
            EditTag(node);
        return true;
    }
    const QRect item = tree_->visualRect(index);
    if (pos.x() < item.left()) return false;  // the expand button
    const bool marked = TOutlineDocument::IsComment(node) || node->HasFlag(nfDelete);
    if (tree_->StateIconRect(index).contains(pos)) {
        if (!marked && mouse->button() == Qt::LeftButton) ToggleMark(node, tmTag, false);
        if (!marked && mouse->button() == Qt::RightButton) ToggleMark(node, tmTag, true);
        return true;
    }
    if (mouse->button() == Qt::LeftButton && !(mouse->modifiers() & Qt::ControlModifier) &&
        node != document_.Root() && !marked)
        clickTimer_.start();
    return false;
}

}  // namespace kelvarn
