// The user's menus in the main menu: tool lines of the settings as items of the Tools and Help menus,
// of the Help menu's "Documents" sub-menu and of the custom menus "CustomA" to "CustomE"; the script
// files, script sub-folders and embedded scripts as items of the Scripts menu; and named links.
//
// What it registers: callback 239 rebuilds the user menus (also once as the main window shows),
// callback 240 runs the link the text names, command 1600 and the Scripts menu's opening rebuild the
// script items. Script items send 1610 (a script file), 1612 (a sub-folder's file, "folder\name")
// and 1611 (an embedded script) with the name they keep in data(); those rows are the script
// engine's. Items it adds carry a mark and go on the next rebuild; designed items stay.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace kelvarn {

class TMain;
class TProgramState;

class TUserMenus : public QObject {
public:
    TUserMenus(TMain& main, TProgramState& state);

    // What runs a tool line for the current file (the file list's tool runner), given the item's
    // caption. Unset: user items and links do nothing.
    std::function<void(const std::string& caption, const std::string& toolLine)> RunTool;
    // The names of the scripts embedded in the loaded config. Unset: none.
    std::function<std::vector<std::string>()> EmbeddedScripts;

    void BuildUserMenus();
    void UserMenuExecute(QAction* item);
    void OpenLink(const std::string& caption);
    void BuildScriptMenu();

private:
    void AddUserItems(QMenu* menu, const struct TUserMenu& source);

    TMain& main_;
    TProgramState& state_;
};

// Makes the main window's user menus (owned by the window) and wires their rows.
TUserMenus& ConnectUserMenus(TMain& main, TProgramState& state);

}  // namespace kelvarn
