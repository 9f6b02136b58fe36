// What the frames build alike: their context menus and button rows from tables, and the menu rules'
// states applied to those items.
#pragma once

#include <QLayout>
#include <QList>
#include <QString>
#include <functional>
#include <span>
#include <vector>

#include "shell/MenuItemState.h"

class QAction;
class QBoxLayout;
class QHBoxLayout;
class QMenu;
class QToolButton;
class QWidget;

namespace kelvarn {

struct TMenuItemRow {
    const char* name;
    const char* caption;
    int tag;
    bool hidden;
};

struct TButtonRow {
    const char* name;
    const char* hint;
    const char* glyph;
    int tag;
};

// A text button of a frame's side header.
struct THeaderButtonRow {
    const char* name;
    const char* caption;
    const char* hint;
    int tag;
};

// A context menu of the rows: each item runs `execute` with its number; the menu asks `validate` for
// its states as it opens. The menu's "tag" is the group number.
QMenu* BuildContextMenu(QWidget* owner, const char* name, int group, std::span<const TMenuItemRow> rows,
                        std::function<void(int)> execute, std::function<void()> validate);
// A small flat button of the row, its number in "tag"; clicks are the caller's to connect.
QToolButton* AddToolButton(QWidget* row, QHBoxLayout* layout, const TButtonRow& button);
// A text-only header button of the row, its number in "tag"; clicks are the caller's to connect.
QToolButton* AddHeaderButton(QWidget* header, QLayout* layout, const THeaderButtonRow& button);

// A viewer's side header: its buttons run down a column as far as the height takes them, then on in
// the next column, each at its full size, so that a short viewer panel crushes none of them. The
// header asks for the height at which they fill `maxColumns` columns, and for the width of the
// columns its present height needs.
inline constexpr int kHeaderColumns = 4;  // the viewers' side headers at the panel's least height

class TButtonColumns final : public QLayout {
public:
    TButtonColumns(QWidget* header, int maxColumns);
    ~TButtonColumns() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override { return items_.value(index); }
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    QSize Cell() const;        // the largest button's size hint
    int Shown() const;         // the buttons not hidden
    QSize Block(int columns, int rows) const;  // the size of that many cells, margins included

    QList<QLayoutItem*> items_;
    int maxColumns_;
    int columns_ = 1;  // as the last geometry needed
};
QAction* FindAction(const QMenu* menu, const QString& name);
// The states of the menu rules: a menu item by its name, else the frame's widget of that name.
void ApplyMenuStates(const QMenu* menu, const QWidget* frame, const std::vector<TMenuItemState>& states);

}  // namespace kelvarn
