// What the frames build alike: their context menus and button rows from tables, and the menu rules'
// states applied to those items.
#pragma once

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
QToolButton* AddHeaderButton(QWidget* header, QBoxLayout* layout, const THeaderButtonRow& button);
QAction* FindAction(const QMenu* menu, const QString& name);
// The states of the menu rules: a menu item by its name, else the frame's widget of that name.
void ApplyMenuStates(const QMenu* menu, const QWidget* frame, const std::vector<TMenuItemState>& states);

}  // namespace kelvarn
