#include "shell/ui/MenuParts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <algorithm>

namespace kelvarn {

namespace {

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

QMenu* BuildContextMenu(QWidget* owner, const char* name, int group, std::span<const TMenuItemRow> rows,
                        std::function<void(int)> execute, std::function<void()> validate) {
    auto* menu = new QMenu(owner);
    menu->setObjectName(name);
    menu->setProperty("tag", group);
    for (const TMenuItemRow& row : rows) {
        QAction* action = menu->addAction(row.caption);
        action->setObjectName(row.name);
        action->setProperty("tag", row.tag);
        action->setVisible(!row.hidden);
        const int tag = row.tag;
        QObject::connect(action, &QAction::triggered, owner, [execute, tag] { execute(tag); });
    }
    QObject::connect(menu, &QMenu::aboutToShow, owner, [validate] { validate(); });
    return menu;
}

QToolButton* AddToolButton(QWidget* row, QHBoxLayout* layout, const TButtonRow& b) {
    auto* button = new QToolButton(row);
    button->setObjectName(b.name);
    button->setText(QString::fromUtf8(b.glyph));
    button->setToolTip(b.hint);
    button->setProperty("tag", b.tag);
    button->setAutoRaise(true);
    button->setFixedSize(26, 22);
    layout->addWidget(button);
    return button;
}

QToolButton* AddHeaderButton(QWidget* header, QLayout* layout, const THeaderButtonRow& b) {
    auto* button = new QToolButton(header);
    button->setObjectName(b.name);
    button->setText(b.caption);
    button->setToolTip(b.hint);
    button->setProperty("tag", b.tag);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(button);
    return button;
}

TButtonColumns::TButtonColumns(QWidget* header, int maxColumns) : QLayout(header), maxColumns_(std::max(maxColumns, 1)) {
    // The header is as wide as its columns: no more, and never squeezed.
    header->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

TButtonColumns::~TButtonColumns() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

void TButtonColumns::addItem(QLayoutItem* item) { items_.append(item); }

QLayoutItem* TButtonColumns::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int TButtonColumns::Shown() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](QLayoutItem* item) { return !item->isEmpty(); }));
}

QSize TButtonColumns::Cell() const {
    QSize cell(0, 0);
    for (QLayoutItem* item : items_)
        if (!item->isEmpty()) cell = cell.expandedTo(item->sizeHint());
    return cell;
}

QSize TButtonColumns::Block(int columns, int rows) const {
    const QSize cell = Cell();
    const QMargins m = contentsMargins();
    const int gap = std::max(spacing(), 0);
    return {m.left() + m.right() + columns * cell.width() + std::max(columns - 1, 0) * gap,
            m.top() + m.bottom() + rows * cell.height() + std::max(rows - 1, 0) * gap};
}

QSize TButtonColumns::sizeHint() const {
    const int shown = Shown();
    const int columns = std::max(columns_, 1);
    return {Block(columns, 0).width(), Block(1, shown).height()};
}

QSize TButtonColumns::minimumSize() const {
    const int shown = Shown();
    const int rows = (shown + maxColumns_ - 1) / maxColumns_;
    return {Block(std::max(columns_, 1), 0).width(), Block(1, rows).height()};
}

void TButtonColumns::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect area = contentsRect();
    const QSize cell = Cell();
    const int gap = std::max(spacing(), 0);
    const int shown = Shown();
    const int rows = std::max(1, (area.height() + gap) / std::max(cell.height() + gap, 1));
    const int columns = std::max(1, (shown + rows - 1) / rows);
    int at = 0;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        const int column = at / rows, row = at % rows;
        item->setGeometry(QRect(area.left() + column * (cell.width() + gap), area.top() + row * (cell.height() + gap),
                                cell.width(), cell.height()));
        ++at;
    }
    if (columns != columns_) {
        // The width depends on the height just given: the header asks its parent again.
        columns_ = columns;
        if (QWidget* header = parentWidget()) header->updateGeometry();
    }
}

QAction* FindAction(const QMenu* menu, const QString& name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == name) return action;
    return nullptr;
}

void ApplyMenuStates(const QMenu* menu, const QWidget* frame, const std::vector<TMenuItemState>& states) {
    for (const TMenuItemState& s : states) {
        const QString name = Qs(s.name);
        if (QAction* action = FindAction(menu, name)) {
            if (s.visible) action->setVisible(*s.visible);
            if (s.enabled) action->setEnabled(*s.enabled);
            if (s.checked) action->setChecked(*s.checked);
            if (s.caption) action->setText(Qs(*s.caption));
        } else if (QWidget* widget = frame->findChild<QWidget*>(name)) {
            if (s.visible) widget->setVisible(*s.visible);
            if (s.enabled) widget->setEnabled(*s.enabled);
            if (s.hint) widget->setToolTip(Qs(*s.hint));
        }
    }
}

}  // namespace kelvarn
