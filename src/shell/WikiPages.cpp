#include "shell/WikiPages.h"

#include "shell/MemIni.h"
#include "shell/SettingsKeys.h"

namespace kelvarn {

bool EnsureDefaultWikiPages(TMemIni& ini) {
    bool wrote = false;
    for (const TWikiPageKey& entry : kDefaultWikiPages) {
        if (ini.ValueExists(sections::Wiki, entry.key)) continue;
        ini.WriteString(sections::Wiki, entry.key, entry.page);
        wrote = true;
    }
    return wrote;
}

}  // namespace kelvarn
