// Any bytes as the settings file, through the settings dialog's menus and its tool-line codec: every
// value loads and stores, and a loaded entry stored and loaded again is the same entry; a menu saved
// and read again gives the rows it was saved from.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/MemIni.h"
#include "shell/OptionSettings.h"
#include "shell/Text.h"
#include "shell/ToolLine.h"
#include "shell/UserMenus.h"

using namespace kelvarn;

namespace {

std::vector<const TUserMenu*> Menus(const TUserMenuModel& model) {
    std::vector<const TUserMenu*> menus = {&model.documents, &model.tools, &model.help};
    for (const TUserMenu& custom : model.custom) menus.push_back(&custom);
    return menus;
}

// The user menus read, which renumbers their sections, read the same when read again; each item's
// tool line is there; each link's caption finds a link.
void CheckUserMenus(const TMemIni& source) {
    TMemIni ini;
    ini.SetText(source.GetText());
    std::string flushError;
    const TUserMenuModel first = ReadUserMenus(ini, &flushError);
    const TUserMenuModel second = ReadUserMenus(ini, &flushError);
    const auto a = Menus(first);
    const auto b = Menus(second);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (*a[i] != *b[i]) std::abort();
        const std::string parent = a[i]->section == "Tools-Menu" ? "ToolsMainMenu"
                                   : a[i]->section == "Help"     ? "HelpMainMenu"
                                                                 : a[i]->section;
        for (const TUserMenuItem& item : a[i]->items)
            if (!item.separator) UserMenuToolLine(ini, parent, item.tag);
    }
    std::vector<std::string> links;
    ReadValueList(ini, "Links", links);
    for (const std::string& link : links) FindLink(ini, LoadToolEntry(link).caption);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 18)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TMemIni ini;
    ini.SetText(DecodeText(bytes).text);

    std::vector<std::string> sections = FillMenuList(ini);
    std::vector<std::string> all;
    ini.ReadSections(all);
    sections.insert(sections.end(), all.begin(), all.end());
    MenuListMasks(sections);
    for (const std::string& section : sections) {
        const std::vector<std::string> rows = SelectMenuRows(ini, section);
        for (const std::string& row : rows) {
            const TToolEntry entry = LoadToolEntry(row);
            if (LoadToolEntry(StoreToolEntry(entry)) != entry) std::abort();
            if (SplitToolCommand(BuildToolCommand(entry.params)) != entry.params) std::abort();
        }
        // The settings object has no file: SaveMenu's flush fails quietly, the store still changes.
        TMemIni copy;
        copy.SetText(ini.GetText());
        SaveMenu(copy, section, rows);
        const std::vector<std::string> again = SelectMenuRows(copy, section);
        std::vector<std::string> kept;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (i == 0 && (IsCustomMenu(section) || IsMaskMenu(section))) kept.push_back(rows[i]);
            else if (!Trim(rows[i]).empty()) kept.push_back(rows[i]);
        // A custom menu with neither title nor items is removed; it reads back as its empty title row.
        if (IsCustomMenu(section) && kept.size() == 1 && kept[0] == std::string(kTitlePrefix)) kept = again;
        if (again != kept) std::abort();
    }
    CheckUserMenus(ini);
    return 0;
}
