#include "catalogue/ui/CheckList.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "shell/Colours.h"
#include "shell/ProgramState.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

TCheckListModel::TCheckListModel(const ICheckListSource& source, QObject* parent)
    : QAbstractListModel(parent), source_(source) {}

int TCheckListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : source_.ItemCount(); }

QVariant TCheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= source_.ItemCount()) return {};
    const int row = index.row();
    switch (role) {
        case Qt::DisplayRole: return QString::fromStdString(source_.ItemCaption(row));
        case Qt::ToolTipRole:
        case kTextRole: return QString::fromStdString(source_.ItemText(row));
        case kTaggedRole: return source_.ItemTagged(row);
        case kEditedRole: return source_.ItemEdited(row);
        case kCurrentRole: return source_.ItemCurrent(row);
        default: return {};
    }
}

void TCheckListModel::Reset() {
    beginResetModel();
    endResetModel();
}

void TCheckListModel::Inserted(int row) {
    // The core has inserted already; the view only learns where.
    beginInsertRows({}, row, row);
    endInsertRows();
}

void TCheckListModel::Removed(int row) {
    beginRemoveRows({}, row, row);
    endRemoveRows();
}

void TCheckListModel::Changed(int row) {
    if (source_.ItemCount() == 0) return;
    if (row < 0)
        emit dataChanged(index(0), index(source_.ItemCount() - 1));
    else
        emit dataChanged(index(row), index(row));
}

TCheckListDelegate::TCheckListDelegate(const TProgramState& state, bool focusRect, QObject* parent)
    : QStyledItemDelegate(parent), state_(state), focusRect_(focusRect) {}

void TCheckListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QRect r = option.rect;
    const TMemIni& settings_ = state_.Settings();
    const bool current = index.data(kCurrentRole).toBool();
    const int textKind = current ? skSelected : skNormal;
    painter->save();
    painter->fillRect(r, ToQColor(SchemeColour(&settings_, textKind, false)));
    // The check square.
    const int side = std::min(r.height() - 4, kCheckColumnWidth - 6);
    const QRect square(r.left() + (kCheckColumnWidth - side) / 2, r.top() + (r.height() - side) / 2, side, side);
    const int squareKind = index.data(kEditedRole).toBool() ? skModified : skNormal;
    painter->fillRect(square, ToQColor(SchemeColour(&settings_, squareKind, false)));
    painter->setPen(ToQColor(SchemeColour(&settings_, skNormal, true)));
    painter->drawRect(square.adjusted(0, 0, -1, -1));
    if (index.data(kTaggedRole).toBool())
        painter->fillRect(square.adjusted(2, 2, -2, -2), ToQColor(SchemeColour(&settings_, skTagged, true)));
    // The text.
    const QRect textRect(r.left() + kCheckColumnWidth + 6, r.top(), r.width() - kCheckColumnWidth - 6, r.height());
    painter->setPen(ToQColor(SchemeColour(&settings_, textKind, true)));
    painter->setFont(option.font);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, index.data(Qt::DisplayRole).toString());
    if (current && focusRect_) {
        QPen dots(ToQColor(SchemeColour(&settings_, textKind, true)));
        dots.setStyle(Qt::DotLine);
        painter->setPen(dots);
        painter->drawRect(r.adjusted(kCheckColumnWidth, 0, -1, -1));
    }
    painter->restore();
}

QSize TCheckListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), 18));
    return size;
}

TCheckListView::TCheckListView(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

int TCheckListView::RowAt(const QPoint& position) const {
    const QModelIndex index = indexAt(position);
    return index.isValid() ? index.row() : -1;
}

void TCheckListView::ShowRow(int row) {
    if (row >= 0 && model() && row < model()->rowCount()) scrollTo(model()->index(row, 0));
    viewport()->update();
}

void TCheckListView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (OnMousePress && OnMousePress(event)) return;
    event->accept();
}

void TCheckListView::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove && OnMouseMove(event)) return;
    event->accept();
}

void TCheckListView::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseRelease) OnMouseRelease(event);
    event->accept();
}

void TCheckListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click is two clicks: the second press toggles or selects again.
    mousePressEvent(event);
}

void TCheckListView::keyPressEvent(QKeyEvent* event) {
    if (OnKeyPress && OnKeyPress(event)) return;
    QListView::keyPressEvent(event);
}

void TCheckListView::keyReleaseEvent(QKeyEvent* event) {
    if (OnKeyRelease) OnKeyRelease(event);
    QListView::keyReleaseEvent(event);
}

char32_t TypedLetterOrDigit(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.size() != 1 || !text[0].isLetterOrNumber()) return 0;
    return text[0].unicode();
}

}  // namespace kelvarn
