// What the Scripts menu lists besides its designed items: the script files of the scripts folder,
// one sub-menu per script sub-folder, and the scripts embedded in the loaded config. Each item keeps
// the name its run is given, so a caption never has to be turned back into a file name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

struct TScriptMenuItem {
    std::string caption;  // as the file or config names it ("&" is a character here)
    // What the script engine gets: a file of the scripts folder by its name without extension, a
    // sub-folder's file as "folder\name", an embedded script by its name.
    std::string name;
};

struct TScriptSubMenu {
    std::string caption;  // the folder's name
    std::vector<TScriptMenuItem> items;
};

struct TScriptMenuModel {
    std::vector<TScriptMenuItem> scripts;   // command 1610
    std::vector<TScriptSubMenu> folders;    // command 1612
    std::vector<TScriptMenuItem> embedded;  // command 1611
};

// A sub-folder gets a sub-menu when its name has no extension, begins with a digit or a capital
// letter A-Z, and is not "sub".
bool IsScriptFolderName(std::string_view name);

// Lists `scriptsFolder` (a native path): its ".kvm" files but "autorun.kvm" and "$$$.kvm" (which
// the program runs and writes itself), sorted ignoring case, leaving out a caption that
// `designedCaptions` (accelerators removed) or an earlier script already has; then its script
// sub-folders that hold ".kvm" files. `embeddedNames` are the loaded config's embedded scripts.
TScriptMenuModel ReadScriptMenu(std::string_view scriptsFolder, const std::vector<std::string>& embeddedNames,
                                const std::vector<std::string>& designedCaptions = {});

}  // namespace kelvarn
