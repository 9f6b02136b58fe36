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

using namespace kelvarn;

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
    return 0;
}
