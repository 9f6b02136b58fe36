#include "shell/UserMenus.h"

#include <set>

#include "shell/MemIni.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ToolFields.h"

namespace kelvarn {

namespace {

// The section's values as the store holds them, rewritten under "1", "2", ... when there are any.
// Raw values keep their quotes: the quote rule applies when a value is read, never to what is written.
std::vector<std::string> RenumberSection(TMemIni& ini, std::string_view section, bool& rewritten) {
    std::vector<std::string> values;
    ini.ReadRawValues(section, values);
    if (!values.empty()) {
        WriteNumberedList(ini, section, values);
        rewritten = true;
    }
    for (std::string& value : values) value = ApplyQuoteRule(value);
    return values;
}

// Items from values[first] on; each tag is the value's key.
std::vector<TUserMenuItem> ItemsOf(const std::vector<std::string>& values, std::size_t first) {
    std::vector<TUserMenuItem> items;
    std::set<std::string> captions;
    for (std::size_t i = first; i < values.size(); ++i) {
        if (values[i] == kUserMenuSeparator) {
            items.push_back({"", 0, true});
            continue;
        }
        std::string caption = ParseToolSpec(values[i]).Caption();
        // An empty value (or one without a caption) would be a blank item that runs nothing.
        if (Trim(caption).empty() || !captions.insert(caption).second) continue;
        items.push_back({std::move(caption), static_cast<int>(i + 1), false});
    }
    return items;
}

TUserMenu ReadMenu(TMemIni& ini, std::string_view section, bool& rewritten) {
    TUserMenu menu;
    menu.section = section;
    const std::vector<std::string> values = RenumberSection(ini, section, rewritten);
    menu.visible = !values.empty();
    menu.items = ItemsOf(values, 0);
    return menu;
}

}  // namespace

TUserMenuModel ReadUserMenus(TMemIni& ini, std::string* flushError) {
    TUserMenuModel model;
    const std::string before = ini.GetText();
    bool rewritten = false;
    model.documents = ReadMenu(ini, sections::Documents, rewritten);
    model.tools = ReadMenu(ini, sections::ToolsMenu, rewritten);
    model.help = ReadMenu(ini, sections::Help, rewritten);
    for (std::size_t i = 0; i < kCustomMenus.size(); ++i) {
        TUserMenu& menu = model.custom[i];
        menu.section = kCustomMenus[i];
        const std::vector<std::string> values = RenumberSection(ini, menu.section, rewritten);
        if (values.empty()) continue;
        menu.visible = true;
        // A separator is no title: such a menu keeps its own name.
        menu.caption = values[0] == kUserMenuSeparator ? menu.section : values[0];
        menu.items = ItemsOf(values, 1);
    }
    // Sections already numbered "1", "2", ... come out as they were, and the file is left alone.
    if (rewritten && !ini.FileName().empty() && ini.GetText() != before) {
        std::string error = ini.UpdateFile();
        if (flushError) *flushError = std::move(error);
    }
    return model;
}

std::string UserMenuSection(std::string_view parentMenuName) {
    if (parentMenuName.substr(0, 6) == "Custom") return std::string(parentMenuName);
    if (parentMenuName == "HelpMainMenu") return std::string(sections::Help);
    if (parentMenuName == "ToolsMainMenu") return std::string(sections::ToolsMenu);
    return std::string(sections::Documents);
}

std::optional<std::string> UserMenuToolLine(const TMemIni& ini, std::string_view parentMenuName, int tag) {
    const std::string section = UserMenuSection(parentMenuName);
    if (tag == 0 && section.substr(0, 6) == "Custom") return std::nullopt;
    return ini.ReadString(section, std::to_string(tag), "");
}

std::optional<std::string> FindLink(const TMemIni& ini, std::string_view caption) {
    std::vector<std::string> values;
    ReadValueList(ini, sections::Links, values);
    for (const std::string& value : values)
        if (ParseToolSpec(value).Caption() == caption) return value;
    return std::nullopt;
}

}  // namespace kelvarn
