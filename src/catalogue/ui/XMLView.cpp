#include "catalogue/ui/XMLView.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTreeView>
#include <QVBoxLayout>

#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/Colours.h"
#include "shell/CommandBus.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

// The catalogue's tree as a read-only item model; it is replaced whole at every show.
class CatalogueItemModel final : public QAbstractItemModel {
public:
    explicit CatalogueItemModel(QObject* parent) : QAbstractItemModel(parent) {}

    void SetTop(const TCatalogueNode* top) {
        beginResetModel();
        top_ = top;
        endResetModel();
    }
    const TCatalogueNode* NodeAt(const QModelIndex& index) const {
        return index.isValid() ? static_cast<const TCatalogueNode*>(index.internalPointer()) : nullptr;
    }
    QModelIndex IndexOf(const TCatalogueNode* node) const {
        if (!node) return {};
        return createIndex(node->Parent() ? static_cast<int>(node->IndexInParent()) : 0, 0,
                           const_cast<TCatalogueNode*>(node));
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override {
        if (row < 0 || column != 0) return {};
        if (!parent.isValid()) return row == 0 && top_ ? IndexOf(top_) : QModelIndex();
        const TCatalogueNode* child = NodeAt(parent)->Child(static_cast<std::size_t>(row));
        return child ? IndexOf(child) : QModelIndex();
    }
    QModelIndex parent(const QModelIndex& child) const override {
        const TCatalogueNode* node = NodeAt(child);
        return node ? IndexOf(node->Parent()) : QModelIndex();
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        if (!parent.isValid()) return top_ ? 1 : 0;
        return parent.column() == 0 ? static_cast<int>(NodeAt(parent)->ChildCount()) : 0;
    }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override {
        const TCatalogueNode* node = NodeAt(index);
        if (!node || role != Qt::DisplayRole) return {};
        return QString::fromStdString(node->Text());
    }

private:
    const TCatalogueNode* top_ = nullptr;
};

namespace {

constexpr int kHelpOnTag = 1, kAddToConfig = 2, kCopyTree = 3;

}  // namespace

TXMLView::TXMLView(TProgramState& state, TOutlineView& outline, QWidget* parent)
    : TViewerFrame(QStringLiteral("XMLView"), QStringLiteral("Tags"), true, parent),
      state_(state),
      outline_(outline),
      catalogue_(state) {
    model_ = new CatalogueItemModel(this);
    tree_ = new QTreeView(Body());
    tree_->setObjectName("Tree");
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    BodyLayout()->addWidget(tree_, 1);

    menu_ = new QMenu(this);
    menu_->setObjectName("ContextMenu");
    for (const auto& [name, caption, tag] : {std::tuple{"mHelpOnTag", "Help on Tag", kHelpOnTag},
                                             std::tuple{"mAddToConfig", "Add to Config", kAddToConfig},
                                             std::tuple{"mCopyTree", "Copy Tree to Clipboard", kCopyTree}}) {
        QAction* action = menu_->addAction(caption);
        action->setObjectName(name);
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag = tag] { MenuAction(tag); });
    }
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) { PopupContextMenu(pos); });
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { SelectionChanged(); });
}

TXMLView::~TXMLView() { model_->SetTop(nullptr); }

void TXMLView::Init(ICommandBus* target) {
    TViewerFrame::Init(target);
    // The selected node takes the Selected scheme colours.
    QPalette palette = tree_->palette();
    palette.setColor(QPalette::Highlight, ToQColor(SchemeColour(&state_.Settings(), skSelected, false)));
    palette.setColor(QPalette::HighlightedText, ToQColor(SchemeColour(&state_.Settings(), skSelected, true)));
    tree_->setPalette(palette);
}

bool TXMLView::CloseQuery() {
    ClearXMLView();
    return true;
}

QWidget* TXMLView::MainControl() { return tree_; }

QAction* TXMLView::Action(const QString& name) const { return menu_->findChild<QAction*>(name); }

const TCatalogueNode* TXMLView::Selected() const { return model_->NodeAt(tree_->currentIndex()); }

void TXMLView::Select(const TCatalogueNode* node) { tree_->setCurrentIndex(model_->IndexOf(node)); }

void TXMLView::ShowAvailableTags(const std::string& kind) {
    Alert()->Close();
    model_->SetTop(nullptr);
    const std::string error = catalogue_.ShowAvailableTags(outline_.Document(), kind);
    model_->SetTop(catalogue_.Top());
    if (!error.empty()) Alert()->ShowAlert(error, true, 1);
    if (const TCatalogueNode* top = catalogue_.Top()) tree_->expand(model_->IndexOf(top));
    Activated();
}

void TXMLView::ClearXMLView() {
    model_->SetTop(nullptr);
    catalogue_.Clear();
    Alert()->Close();
}

void TXMLView::SelectionChanged() {
    const TCatalogueNode* node = Selected();
    if (node && node->Element()) state_.SendStatusText(stPanel2, node->Element()->Value("help"));
}

void TXMLView::PopupContextMenu(const QPoint& pos) {
    const QModelIndex index = tree_->indexAt(pos);
    const TCatalogueNode* node = model_->NodeAt(index);
    if (!node) return;
    Select(node);
    if (!node->Parent()) return;  // never for the top node
    const bool help = node->Element() && !node->Element()->Value("help").empty();
    Action("mHelpOnTag")->setVisible(help && ReadSettingBool(state_.Settings(), keys::Wiki));
    menu_->popup(tree_->viewport()->mapToGlobal(pos));
}

void TXMLView::MenuAction(int tag) {
    const TCatalogueNode* node = Selected();
    switch (tag) {
        case kHelpOnTag:
            if (HelpLink && node) HelpLink(SelectedTagAddress(node));
            break;
        case kAddToConfig:
            if (node) AddToConfig(outline_.Document(), node, AskTagName);
            break;
        case kCopyTree:
            QGuiApplication::clipboard()->setText(QString::fromStdString(CatalogueTreeText(catalogue_.Top())));
            break;
        default:
            break;
    }
}

}  // namespace kelvarn
