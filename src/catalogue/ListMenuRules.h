// Which items of the asset list's and the file list's context menus and buttons are visible, enabled
// and how they are captioned (menu groups 2100 and 2200), from the facts the lists and the settings
// give. Pure functions, so the rules are tested without widgets.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/MenuItemState.h"

namespace kelvarn {

class TMemIni;

struct TAssetMenuFacts {
    std::string assetFolder;  // the current asset folder, empty when none
    bool entrySelected = false;
    int tagged = 0;
    int count = 0;
    bool clipboardHasFiles = false;
    std::string trainzFolder;  // "%trainz%" expanded
    std::string kind;          // the config's top-level kind
    bool sortDown = false;
};
std::vector<TMenuItemState> AssetListMenuStates(const TAssetMenuFacts& facts);

struct TFileMenuFacts {
    bool assetSelected = false;
    bool currentFile = false;
    bool entrySelected = false;
    std::string fileName;           // the current file (relative path)
    std::string associatedProgram;  // the desktop's program for it, empty when none
    int taggedFiles = 0;
    bool clipboardHasFiles = false;
    std::vector<std::string> extensionTools;  // the values of section "*" + the file's extension
    std::vector<std::string> allFilesTools;   // the values of section "*.*"
};
std::vector<TMenuItemState> FileListMenuStates(const TFileMenuFacts& facts);

// The section that holds the tools of files with that extension: "*" and the extension with its dot.
std::string ExtensionToolSection(std::string_view extension);
// The tool lines of a section, in file order.
std::vector<std::string> ToolValues(const TMemIni& ini, const std::string& section);

}  // namespace kelvarn
