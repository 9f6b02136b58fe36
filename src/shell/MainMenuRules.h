// Which items of the main menu are visible, enabled, checked and how they are captioned, per menu
// group, from the facts the program's frames, settings and files give. Pure functions: src/app/
// gathers the facts, the main window applies the states by object name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/MenuItemState.h"

namespace kelvarn {

// The menu bar itself (group 0).
struct TMainBarFacts {
    bool assetSelected = false;
    int layoutMode = 0;
};
std::vector<TMenuItemState> MainBarMenuStates(const TMainBarFacts& facts);

// The viewer the save items follow.
enum class TShownViewer { None, Text, Image, Table, Other };

// File menu (1000).
struct TFileMainMenuFacts {
    bool assetSelected = false;
    int tagged = 0;           // checked entries of the asset list
    int count = 0;            // entries of the asset list
    bool onlyTaggedIsCurrent = false;  // the one tagged entry is the current asset
    bool assetEntrySelected = false;
    bool fileEntrySelected = false;
    int fileCount = 0;        // entries of the file list
    TShownViewer activeViewer = TShownViewer::None;
    bool textEmpty = true;    // the text view's text
    int outlineMarks = 0;     // marked nodes of the outline
    int copyCount = 0;        // blocks on the outline's copy list
    std::vector<std::string> presentImages;  // names of NewImageFileNames() found in the asset folder
    bool clipboardFromFileList = false;      // the clipboard holds files the file list put there
    bool imageModified = false;
    int layoutMode = 0;
};
std::vector<TMenuItemState> FileMainMenuStates(const TFileMainMenuFacts& facts);
// The file names the "Create New Image" items make, in menu order.
std::vector<std::string> NewImageFileNames();

// Asset menu (1100).
struct TAssetMainMenuFacts {
    bool assetSelected = false;
    std::string assetId;     // "%assetID%" expanded
    std::string userId;      // "%userID%" expanded
    std::string keptUserId;  // the user id the tag editor completes KUIDs with
    bool hasKind = false;
    bool hasAuthor = false;
    std::string home1;       // key 1 of the home folders
    std::string trs2004, trs2006, tc, ts2009, ts2010, ts12;  // the simulator folders
    int kuidRangeKeys = 0;
};
std::vector<TMenuItemState> AssetMainMenuStates(const TAssetMainMenuFacts& facts);

// Repair menu (1200).
struct TRepairMainMenuFacts {
    bool assetSelected = false;
    int count = 0;  // entries of the asset list
    std::string assetId, userId;
    std::string kind;
    bool hasMeshTable = false, hasBogeys = false, hasName = false, hasAssetFilename = false;
    std::int32_t activeBuild = 0;  // tenths
    std::int32_t configBuild = 0;  // the config's trainz-build in tenths, 0 when absent or no number
    int audioFiles = 0;            // "*.mp3;*.wav" in the asset folder and below
};
std::vector<TMenuItemState> RepairMainMenuStates(const TRepairMainMenuFacts& facts);

// Tools menu (1300).
struct TToolsMainMenuFacts {
    bool assetSelected = false;
    std::string kind;
    bool hasGroundplane = false, hasMeshTable = false;
};
std::vector<TMenuItemState> ToolsMainMenuStates(const TToolsMainMenuFacts& facts);

// Help menu (1500).
struct THelpMainMenuFacts {
    bool helpFileExists = false;
    bool hintsShown = false;
};
std::vector<TMenuItemState> HelpMainMenuStates(const THelpMainMenuFacts& facts);

// Scripts menu (1600).
struct TScriptMainMenuFacts {
    int tagged = 0;  // counted again as the menu opens
};
std::vector<TMenuItemState> ScriptMainMenuStates(const TScriptMainMenuFacts& facts);

// Diagnostics menu (1700).
struct TDiagnosticsMainMenuFacts {
    bool assetSelected = false;
    std::string activeBuild;  // as shown, "2.5"
    bool logExists = false;   // today's log
};
std::vector<TMenuItemState> DiagnosticsMainMenuStates(const TDiagnosticsMainMenuFacts& facts);

// The group a menu number selects, or -1 for numbers that change nothing (1400-1499, 1601-1699,
// 2400-2499 and everything outside the groups).
int MenuStateGroup(int number);

}  // namespace kelvarn
