// The menus users make without code: tool lines in the settings become items of the Tools and Help
// menus, of the Help menu's "Documents" sub-menu and of up to five custom top-level menus; named
// links run a tool line on request. This is the data side; src/shell/ui/UserMenus.h puts it into the
// main menu.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TMemIni;

// A value that stands for a separator line.
inline constexpr std::string_view kUserMenuSeparator = "-----";
inline constexpr std::array<std::string_view, 5> kCustomMenus = {"CustomA", "CustomB", "CustomC", "CustomD",
                                                                 "CustomE"};

struct TUserMenuItem {
    std::string caption;  // the tool line's first field, "&" kept as the accelerator mark
    int tag = 0;          // the key of its value, which is what runs; 0 for a separator
    bool separator = false;
    bool operator==(const TUserMenuItem&) const = default;
};

struct TUserMenu {
    std::string section;
    // Custom menus only: the first value captions the menu, and the menu shows only when the
    // section holds a value.
    std::string caption;
    bool visible = false;
    // In value order; a caption already given to an earlier item of the menu is left out.
    std::vector<TUserMenuItem> items;
    bool operator==(const TUserMenu&) const = default;
};

struct TUserMenuModel {
    TUserMenu documents, tools, help;
    std::array<TUserMenu, 5> custom;
};

// Reads the menus' sections. Each section that holds a value is first rewritten with its values in
// file order under the keys "1", "2", ... (quotes kept), so that an item's tag names its value;
// when any was, the settings file is flushed and `flushError` tells how that went.
TUserMenuModel ReadUserMenus(TMemIni& ini, std::string* flushError = nullptr);

// The section an item runs from, chosen by the object name of the menu holding it.
std::string UserMenuSection(std::string_view parentMenuName);
// The tool line a user item runs: the value of its tag in its menu's section (empty when absent).
// Nothing for a custom menu's item of tag 0.
std::optional<std::string> UserMenuToolLine(const TMemIni& ini, std::string_view parentMenuName, int tag);

// The first "Links" value whose caption is exactly `caption`; nothing when none is.
std::optional<std::string> FindLink(const TMemIni& ini, std::string_view caption);

}  // namespace kelvarn
