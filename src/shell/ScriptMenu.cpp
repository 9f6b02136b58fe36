#include "shell/ScriptMenu.h"

#include <set>

#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

bool IsScriptFile(std::string_view name) { return SameText(ExtractFileExt(name), ".kvm"); }

// In the listing's order, which is the menu's: ignoring case, then exactly.
std::vector<std::string> EntryNames(std::string_view folder, bool folders) {
    std::vector<std::string> paths;
    ListEntriesOfKind(JoinPath(folder, "*.*", '/'), paths, folders);
    std::vector<std::string> names;
    for (const std::string& path : paths) names.push_back(ExtractFileName(path));
    return names;
}

}  // namespace

bool IsScriptFolderName(std::string_view name) {
    if (name.empty() || name == "sub" || !ExtractFileExt(name).empty()) return false;
    const char first = name[0];
    return (first >= '0' && first <= '9') || (first >= 'A' && first <= 'Z');
}

TScriptMenuModel ReadScriptMenu(std::string_view scriptsFolder, const std::vector<std::string>& embeddedNames,
                                const std::vector<std::string>& designedCaptions) {
    TScriptMenuModel model;
    std::set<std::string> captions(designedCaptions.begin(), designedCaptions.end());
    for (const std::string& name : EntryNames(scriptsFolder, false)) {
        if (!IsScriptFile(name) || SameText(name, "autorun.kvm") || SameText(name, "$$$.kvm")) continue;
        std::string caption = RemoveFileExt(name);
        if (caption.empty() || !captions.insert(caption).second) continue;
        model.scripts.push_back({caption, caption});
    }
    // A sub-folder's sub-menu stands beside a script of the same name: both run, each its own file.
    for (const std::string& folder : EntryNames(scriptsFolder, true)) {
        if (!IsScriptFolderName(folder)) continue;
        TScriptSubMenu sub{folder, {}};
        std::set<std::string> inside;
        for (const std::string& name : EntryNames(JoinPath(scriptsFolder, folder, '/'), false)) {
            if (!IsScriptFile(name)) continue;
            std::string caption = RemoveFileExt(name);
            if (caption.empty() || !inside.insert(caption).second) continue;
            sub.items.push_back({caption, folder + "\\" + caption});
        }
        if (!sub.items.empty()) model.folders.push_back(std::move(sub));
    }
    for (const std::string& name : embeddedNames) model.embedded.push_back({name, name});
    return model;
}

}  // namespace kelvarn
