// The main menu as data: every top-level menu and item with its command number, name, caption and
// flags. The Qt side builds the menu bar from it; the dispatcher and tests ask it which numbers are
// known. Numbers come in hundreds: 1000-1799 one block per top-level menu, 2100-2712 the frames.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

enum TMenuFlag : unsigned {
    mfHidden = 1,            // exists but is never shown
    mfLeavesMaximised = 2,   // leaves the viewer-maximised layout before it runs
    mfLogged = 4,            // its result goes to the script engine's message log
    mfNothing = 8,           // known, and does nothing here (the sending frame acts itself)
    mfSeparatorBefore = 16,  // a separator line above the item
    mfSubMenu = 32,          // opens a sub-menu (number 0)
    mfCheckable = 64,
    mfUnknown = 128,         // an item the dispatcher does not know: "Undefined Command Token"
};

struct TTopMenu {
    std::string_view name;     // objectName, e.g. "FileMainMenu"
    std::string_view caption;  // shown on the bar
    int tag;                   // the group number, 0 for menus outside the groups
    bool hidden;
};

struct TMenuRow {
    int group;                // the top menu's tag
    int number;               // the command number (the item's Tag)
    std::string_view name;    // objectName
    std::string_view caption;
    unsigned flags;
    std::string_view parent;  // the sub-menu item holding it, empty for a top-level menu's own item
    std::string_view shortcut;
    std::string_view topMenu; // the top menu's name
};

// The top-level menus in bar order (including the hidden "CustomA" to "CustomE").
const std::vector<TTopMenu>& MainMenus();
// Every main-menu item, in menu order.
const std::vector<TMenuRow>& MainMenuRows();
// The row of a command number (the first when several items share it), or null.
const TMenuRow* FindMenuRow(int number);
// Whether the dispatcher has a row for the number: the main menu's and the frames' tables.
bool IsKnownCommand(int number);
// Whether the row does nothing in the dispatcher (its work is the sender's own).
bool IsNothingCommand(int number);
// Every known number, ascending.
std::vector<int> KnownCommands();

// A caption with every "&" removed, as the last menu caption is kept ("&Red" -> "Red").
std::string StripAccelerators(std::string_view caption);

// Trainz-Build menu caption: "Trainz-Build " + the build as written.
std::string TrainzBuildMenuCaption(std::string_view build);

}  // namespace kelvarn
