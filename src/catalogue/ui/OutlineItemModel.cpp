#include "catalogue/ui/OutlineItemModel.h"

#include <QFont>
#include <QIcon>

#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/StateIcons.h"
#include "shell/Colours.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

OutlineItemModel::OutlineItemModel(TOutlineDocument& document, const TMemIni* settings, QObject* parent)
    : QAbstractItemModel(parent), document_(document), settings_(settings) {
    ReadColours();
    document_.SetObserver(this);
}

OutlineItemModel::~OutlineItemModel() { document_.SetObserver(nullptr); }

void OutlineItemModel::ReadColours() {
    normal_ = ToQColor(SchemeColour(settings_, skNormal, true));
    comment_ = ToQColor(SchemeColour(settings_, skComment, true));
}

TOutlineNode* OutlineItemModel::NodeAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TOutlineNode*>(index.internalPointer()) : nullptr;
}

QModelIndex OutlineItemModel::IndexOf(const TOutlineNode* node) const {
    if (!node) return {};
    const int row = node->Parent() ? static_cast<int>(node->IndexInParent()) : 0;
    return createIndex(row, 0, const_cast<TOutlineNode*>(node));
}

QModelIndex OutlineItemModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    if (!parent.isValid()) return row == 0 && document_.Root() ? IndexOf(document_.Root()) : QModelIndex();
    const TOutlineNode* node = NodeAt(parent);
    if (parent.column() != 0 || !node) return {};
    const TOutlineNode* child = node->Child(static_cast<std::size_t>(row));
    return child ? createIndex(row, 0, const_cast<TOutlineNode*>(child)) : QModelIndex();
}

QModelIndex OutlineItemModel::parent(const QModelIndex& child) const {
    const TOutlineNode* node = NodeAt(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int OutlineItemModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return document_.Root() ? 1 : 0;
    if (parent.column() != 0) return 0;
    return static_cast<int>(NodeAt(parent)->ChildCount());
}

int OutlineItemModel::columnCount(const QModelIndex&) const { return 1; }

bool OutlineItemModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid()) return document_.Root() != nullptr;
    // An empty container keeps its expand button.
    return parent.column() == 0 && NodeAt(parent)->HasChildren();
}

QVariant OutlineItemModel::data(const QModelIndex& index, int role) const {
    const TOutlineNode* node = NodeAt(index);
    if (!node) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return QString::fromUtf8(node->Text().data(), static_cast<qsizetype>(node->Text().size()));
        case Qt::ForegroundRole:
            if (node->HasFlag(nfError)) return QColor(Qt::red);
            if (node->HasFlag(nfDelete) || node->HasFlag(nfComment)) return comment_;
            return normal_;
        case Qt::FontRole:
            if (node->HasFlag(nfDelete)) {
                QFont font;
                font.setStrikeOut(true);
                return font;
            }
            return {};
        case Qt::DecorationRole:
            return StateIcon(FlagsToImageIndex(node->Flags()) - 1);
        default:
            return {};
    }
}

Qt::ItemFlags OutlineItemModel::flags(const QModelIndex& index) const {
    const TOutlineNode* node = NodeAt(index);
    if (!node) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (node->Parent()) f |= Qt::ItemIsEditable;
    return f;
}

// --- the document's changes

void OutlineItemModel::BeginInsert(const TOutlineNode* parent, std::size_t index) {
    if (!parent)
        beginInsertRows(QModelIndex(), 0, 0);
    else
        beginInsertRows(IndexOf(parent), static_cast<int>(index), static_cast<int>(index));
}

void OutlineItemModel::EndInsert(const TOutlineNode*) { endInsertRows(); }

void OutlineItemModel::BeginRemove(const TOutlineNode* node) {
    const int row = node->Parent() ? static_cast<int>(node->IndexInParent()) : 0;
    beginRemoveRows(IndexOf(node->Parent()), row, row);
}

void OutlineItemModel::EndRemove(const TOutlineNode*, std::size_t) { endRemoveRows(); }

void OutlineItemModel::BeginMove(const TOutlineNode* node, const TOutlineNode* newParent, std::size_t destination) {
    const int row = static_cast<int>(node->IndexInParent());
    moving_ = beginMoveRows(IndexOf(node->Parent()), row, row, IndexOf(newParent), static_cast<int>(destination));
    if (!moving_) emit layoutAboutToBeChanged();
}

void OutlineItemModel::EndMove(const TOutlineNode*) {
    if (moving_) {
        endMoveRows();
        return;
    }
    for (const QModelIndex& old : persistentIndexList()) changePersistentIndex(old, IndexOf(NodeAt(old)));
    emit layoutChanged();
}

void OutlineItemModel::NodeChanged(const TOutlineNode* node) {
    const QModelIndex index = IndexOf(node);
    emit dataChanged(index, index);
}

void OutlineItemModel::BeginReorder(const TOutlineNode* parent) {
    emit layoutAboutToBeChanged({QPersistentModelIndex(IndexOf(parent))}, QAbstractItemModel::VerticalSortHint);
}

void OutlineItemModel::EndReorder(const TOutlineNode* parent) {
    // Indexes carry their node, which kept its place in the tree: only its row changed.
    for (const QModelIndex& old : persistentIndexList()) changePersistentIndex(old, IndexOf(NodeAt(old)));
    emit layoutChanged({QPersistentModelIndex(IndexOf(parent))}, QAbstractItemModel::VerticalSortHint);
}

void OutlineItemModel::BeginReset() {
    if (OnBeforeReset) OnBeforeReset();
    beginResetModel();
}

void OutlineItemModel::EndReset(TResetReason reason) {
    ReadColours();
    endResetModel();
    if (OnAfterReset) OnAfterReset(reason);
}

void OutlineItemModel::TrainzBuildDeleted() {
    if (OnTrainzBuildDeleted) OnTrainzBuildDeleted();
}

bool OutlineItemModel::ShowAlert(std::string_view text) {
    if (!OnAlert) return false;
    OnAlert(std::string(text));
    return true;
}

void OutlineItemModel::MakeVisible(const TOutlineNode* node) {
    if (OnMakeVisible) OnMakeVisible(node);
}

void OutlineItemModel::ExpandNode(const TOutlineNode* node, bool allLevels) {
    if (OnExpandNode) OnExpandNode(node, allLevels);
}

}  // namespace kelvarn
