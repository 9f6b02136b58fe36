#include "shell/MainMenuTable.h"

#include <algorithm>

namespace kelvarn {

namespace {

constexpr unsigned H = mfHidden, L = mfLeavesMaximised, G = mfLogged, N = mfNothing, S = mfSeparatorBefore,
                   U = mfUnknown;

const std::vector<TTopMenu> kMenus = {
    {"FileMainMenu", "&File", 1000, false},
    {"AssetMainMenu", "&Asset", 1100, false},
    {"RepairMainMenu", "&Repair", 1200, false},
    {"ToolsMainMenu", "&Tools", 1300, false},
    {"ScriptMainMenu", "&Scripts", 1600, false},
    {"DiagnosticsMainMenu", "&Diagnostics", 1700, false},
    {"TrainzBuildMenu", "Trainz-Build 2.5", 0, false},
    {"CustomA", "CustomA", 0, true},
    {"CustomB", "CustomB", 0, true},
    {"CustomC", "CustomC", 0, true},
    {"CustomD", "CustomD", 0, true},
    {"CustomE", "CustomE", 0, true},
    {"OptionsMainMenu", "&Options", 1400, false},
    {"HelpMainMenu", "&Help", 1500, false},
};

#define ROW(group, number, name, caption, flags, parent, top) {group, number, name, caption, flags, parent, "", top}

const std::vector<TMenuRow> kRows = {
    // File
    ROW(1000, 1003, "mAddAssets", "&Add Assets...", 0, "", "FileMainMenu"),
    ROW(1000, 1004, "mClearTagged", "Clear &Tagged Assets", 0, "", "FileMainMenu"),
    ROW(1000, 1005, "mClearUntagged", "Clear &Untagged Assets", 0, "", "FileMainMenu"),
    ROW(1000, 1006, "mClearAll", "&Clear All Assets", 0, "", "FileMainMenu"),
    ROW(1000, 1007, "mReplicate", "&Replicate to Tagged Assets", S, "", "FileMainMenu"),
    ROW(1000, 1019, "mPasteTagged", "&Paste to Tagged Assets", 0, "", "FileMainMenu"),
    ROW(1000, 1009, "mSaveOutlineAs", "Save Config", H, "", "FileMainMenu"),
    ROW(1000, 1010, "mSaveImageAs", "Save &Image As...", S, "", "FileMainMenu"),
    ROW(1000, 1011, "mSaveTextAs", "Save T&ext As...", 0, "", "FileMainMenu"),
    ROW(1000, 1012, "mSaveTableAs", "Save Ta&ble As...", 0, "", "FileMainMenu"),
    ROW(1000, 0, "mCreateNewImage", "Create &New Image", S | mfSubMenu, "", "FileMainMenu"),
    ROW(1000, 1020, "mBlankTga", "blank.tga", 0, "mCreateNewImage", "FileMainMenu"),
    ROW(1000, 1020, "mBlackTga", "black.tga", 0, "mCreateNewImage", "FileMainMenu"),
    ROW(1000, 1020, "mBlueTga", "blue.tga", 0, "mCreateNewImage", "FileMainMenu"),
    ROW(1000, 1020, "mGreenTga", "green.tga", 0, "mCreateNewImage", "FileMainMenu"),
    ROW(1000, 1020, "mRedTga", "red.tga", 0, "mCreateNewImage", "FileMainMenu"),
    ROW(1000, 1020, "mWhiteTga", "white.tga", 0, "mCreateNewImage", "FileMainMenu"),
    ROW(1000, 1020, "mYellowTga", "yellow.tga", 0, "mCreateNewImage", "FileMainMenu"),
    ROW(1000, 1021, "mScreenshot", "Thumbnail from Image...", 0, "", "FileMainMenu"),
    ROW(1000, 1015, "mBackupAsset", "Bac&kup Asset", S, "", "FileMainMenu"),
    ROW(1000, 1016, "mBackupFile", "Backup &File", 0, "", "FileMainMenu"),
    ROW(1000, 1017, "mRestoreAsset", "Restore A&sset", 0, "", "FileMainMenu"),
    ROW(1000, 1018, "mRestoreFile", "Restore Fi&le", 0, "", "FileMainMenu"),
    ROW(1000, 1008, "mExit", "E&xit", S, "", "FileMainMenu"),
    // Asset
    ROW(1100, 1101, "mIncrementKUIDMain", "Increment Kuid", 0, "", "AssetMainMenu"),
    ROW(1100, 1102, "mTagList", "Show &Tag List", L, "", "AssetMainMenu"),
    ROW(1100, 1103, "mAddUserTags", "Add &User Tags", 0, "", "AssetMainMenu"),
    ROW(1100, 1104, "InsertKeywords1", "Insert Keywords", H | N, "", "AssetMainMenu"),
    ROW(1100, 1105, "mReloadHome", "&Reload Home Folders", S, "", "AssetMainMenu"),
    ROW(1100, 1106, "m2004Custom", "Scan TRS2004 World\\Custom", 0, "", "AssetMainMenu"),
    ROW(1100, 1107, "m2006Editing", "Scan TRS2006 Editing", 0, "", "AssetMainMenu"),
    ROW(1100, 1108, "mTCEditing", "Scan TC Editing", 0, "", "AssetMainMenu"),
    ROW(1100, 1109, "m2009Editing", "Scan TS2009 Editing", 0, "", "AssetMainMenu"),
    ROW(1100, 1110, "m2010Editing", "Scan TS2010 Editing", 0, "", "AssetMainMenu"),
    ROW(1100, 1111, "mTS12Editing", "Scan TS12 Editing", 0, "", "AssetMainMenu"),
    ROW(1100, 1112, "mClone", "&Clone Asset...", S, "", "AssetMainMenu"),
    ROW(1100, 1113, "mNewAsset", "&New Asset...", 0, "", "AssetMainMenu"),
    ROW(1100, 1114, "mGenerateKUID", "Generate KUID Values", 0, "", "AssetMainMenu"),
    // Repair
    ROW(1200, 1205, "mDeleteEmpty", "Delete Empty Tags", G, "", "RepairMainMenu"),
    ROW(1200, 1206, "mDeleteObsolete", "Delete Obsolete Tags", G, "", "RepairMainMenu"),
    ROW(1200, 1208, "mCreateMeshTable", "Create Mesh Table", S | G, "", "RepairMainMenu"),
    ROW(1200, 1224, "mUpdateMeshLibraryTable", "Update Mesh Library Table", G, "", "RepairMainMenu"),
    ROW(1200, 1209, "mUpdateBogies", "Create Bogie Table", G, "", "RepairMainMenu"),
    ROW(1200, 1216, "mThumbnails", "Update Thumbnail Table", 0, "", "RepairMainMenu"),
    ROW(1200, 1212, "mUpdateKUID", "Update KUID Table", 0, "", "RepairMainMenu"),
    ROW(1200, 1219, "mFixKUIDs", "Fix Legacy KUIDs", 0, "", "RepairMainMenu"),
    ROW(1200, 1210, "mCategoryEra", "Update Category-Era", S | G, "", "RepairMainMenu"),
    ROW(1200, 1211, "mCategoryRegion", "Update Category-Region", G, "", "RepairMainMenu"),
    ROW(1200, 1213, "mUserTags", "Update User Tags", 0, "", "RepairMainMenu"),
    ROW(1200, 1214, "mUpdateUsername", "Update Username", 0, "", "RepairMainMenu"),
    ROW(1200, 1217, "mAssetFilename", "Update Asset-Filename", G, "", "RepairMainMenu"),
    ROW(1200, 1221, "mUpdateCamera", "Update Camera List", 0, "", "RepairMainMenu"),
    ROW(1200, 1215, "mTrainzBuild", "Update Trainz-Build", G, "", "RepairMainMenu"),
    ROW(1200, 1222, "mRepairTextures", "Repair Textures", S, "", "RepairMainMenu"),
    ROW(1200, 1223, "mRepairAudio", "Repair Audio Files", 0, "", "RepairMainMenu"),
    ROW(1200, 1218, "mAutoUpdate", "Auto Update", H | U, "", "RepairMainMenu"),
    ROW(1200, 1220, "MandatoryTags1", "Mandatory Tags", H | U, "", "RepairMainMenu"),
    // Tools
    ROW(1300, 1307, "mGroundplanes", "Add Groundplanes", G, "", "ToolsMainMenu"),
    ROW(1300, 1308, "mPassengerQueue", "Add Passenger Queue", G, "", "ToolsMainMenu"),
    ROW(1300, 1320, "mMeshwright", "Meshwright (Trawl Mode)", S | G, "", "ToolsMainMenu"),
    ROW(1300, 1321, "mTexwright", "Texwright (Trawl Mode)", G, "", "ToolsMainMenu"),
    ROW(1300, 1322, "mExplore", "&Explore Asset Folder", S, "", "ToolsMainMenu"),
    ROW(1300, 1323, "mAttachments", "&Attachment Table", 0, "", "ToolsMainMenu"),
    // Scripts
    ROW(1600, 1601, "mOpenScript", "&Run Script File...", 0, "", "ScriptMainMenu"),
    // Holds one item per script embedded in the loaded config (1611).
    ROW(1600, 0, "mRunEmbedded", "Run &Embedded Script", mfSubMenu, "", "ScriptMainMenu"),
    ROW(1600, 1604, "mEmbed", "Em&bed Script...", 0, "", "ScriptMainMenu"),
    ROW(1600, 1605, "mEditScript", "E&dit Script File...", 0, "", "ScriptMainMenu"),
    ROW(1600, 1606, "mTaggedScript", "Run Script on &Tagged Assets...", S, "", "ScriptMainMenu"),
    ROW(1600, 1607, "mExecScript", "E&xecute Script Commands...", 0, "", "ScriptMainMenu"),
    // Diagnostics
    ROW(1700, 1701, "mMarkCurrent", "Validate Tags", L, "", "DiagnosticsMainMenu"),
    ROW(1700, 1709, "mVerifyAttachments", "Verify Attachments", 0, "", "DiagnosticsMainMenu"),
    ROW(1700, 1716, "mVerifyAll", "Verify All", 0, "", "DiagnosticsMainMenu"),
    ROW(1700, 1706, "mUnreferenced", "Verify Files...", 0, "", "DiagnosticsMainMenu"),
    ROW(1700, 1717, "mMandatory", "Mandatory Tags", 0, "", "DiagnosticsMainMenu"),
    ROW(1700, 1703, "mClearMarkers", "Clear Markers", S, "", "DiagnosticsMainMenu"),
    ROW(1700, 1704, "mVerifyMeshes", "Verify Meshes", H, "", "DiagnosticsMainMenu"),
    ROW(1700, 1705, "mVerifyImages", "Verify Images", H, "", "DiagnosticsMainMenu"),
    ROW(1700, 1713, "mVerifyTextures", "Verify Textures", H, "", "DiagnosticsMainMenu"),
    ROW(1700, 1707, "mTagSyntaxAsset", "Tag Syntax (Asset Build)", H, "", "DiagnosticsMainMenu"),
    ROW(1700, 1708, "mTagSyntaxCurrent", "Tag Syntax (Current Build)", H, "", "DiagnosticsMainMenu"),
    ROW(1700, 1710, "Suspect1", "Suspect Tags", H | N, "", "DiagnosticsMainMenu"),
    ROW(1700, 1711, "Suspect2", "Suspect Values", H | N, "", "DiagnosticsMainMenu"),
    ROW(1700, 1715, "mCMPErrors", "CMP Error List...", H | N, "", "DiagnosticsMainMenu"),
    ROW(1700, 1712, "mViewLog", "View &Log", S, "", "DiagnosticsMainMenu"),
    ROW(1700, 1714, "mClearLog", "&Clear Log", 0, "", "DiagnosticsMainMenu"),
    // Options: each opens a page of the settings dialog
    ROW(1400, 1401, "mGenOptions", "Preferences...", 0, "", "OptionsMainMenu"),
    ROW(1400, 1402, "mUserData", "User Data...", 0, "", "OptionsMainMenu"),
    ROW(1400, 1403, "mTools", "Define Tools...", 0, "", "OptionsMainMenu"),
    ROW(1400, 1404, "mBackupOptions", "Paths and Files...", 0, "", "OptionsMainMenu"),
    // Help
    {1500, 1501, "mCallHelp", "&Help Contents", 0, "", "F1", "HelpMainMenu"},
    ROW(1500, 1502, "mTooltips", "Show &Tooltips", mfCheckable, "", "HelpMainMenu"),
    ROW(1500, 1504, "mReleaseNotes", "&Release Notes", S, "", "HelpMainMenu"),
    ROW(1500, 1505, "bUpdates", "Check for &Updates", 0, "", "HelpMainMenu"),
    ROW(1500, 1503, "mAbout", "&About Kelvarn...", S, "", "HelpMainMenu"),
};

#undef ROW

struct TRange {
    int first, last;
    bool nothing;
};

// Numbers known without a main-menu item: the frames' tables and a few menu numbers without items.
const std::vector<TRange> kOtherKnown = {
    {1301, 1302, true}, {1600, 1600, false}, {1602, 1603, true}, {1702, 1702, true},
    // asset list
    {2101, 2102, true}, {2103, 2103, false}, {2104, 2106, true}, {2107, 2112, false}, {2115, 2118, false},
    {2150, 2157, false}, {2159, 2159, false},
    // file list
    {2201, 2201, false}, {2202, 2214, true}, {2215, 2224, false}, {2250, 2251, false},
    // outline
    {2301, 2308, false}, {2309, 2310, true}, {2311, 2312, false}, {2313, 2313, true}, {2314, 2319, false},
    {2325, 2330, false}, {2350, 2356, false}, {2359, 2361, false},
    // image view
    {2501, 2513, false}, {2514, 2514, true}, {2515, 2515, false},
    // mesh view and point selector
    {2650, 2663, false}, {2664, 2665, true}, {2666, 2666, false}, {2690, 2694, false},
    // the tag editor's table
    {2700, 2700, true}, {2701, 2712, false},
};

}  // namespace

const std::vector<TTopMenu>& MainMenus() { return kMenus; }
const std::vector<TMenuRow>& MainMenuRows() { return kRows; }

const TMenuRow* FindMenuRow(int number) {
    for (const TMenuRow& row : kRows)
        if (row.number == number && !(row.flags & mfSubMenu)) return &row;
    return nullptr;
}

bool IsKnownCommand(int number) {
    if (const TMenuRow* row = FindMenuRow(number)) return !(row->flags & mfUnknown);
    return std::any_of(kOtherKnown.begin(), kOtherKnown.end(),
                       [&](const TRange& r) { return number >= r.first && number <= r.last; });
}

bool IsNothingCommand(int number) {
    if (const TMenuRow* row = FindMenuRow(number)) return (row->flags & mfNothing) != 0;
    return std::any_of(kOtherKnown.begin(), kOtherKnown.end(),
                       [&](const TRange& r) { return r.nothing && number >= r.first && number <= r.last; });
}

std::vector<int> KnownCommands() {
    std::vector<int> numbers;
    for (int n = 1000; n < 3000; ++n)
        if (IsKnownCommand(n)) numbers.push_back(n);
    return numbers;
}

std::string StripAccelerators(std::string_view caption) {
    std::string out;
    for (char c : caption)
        if (c != '&') out += c;
    return out;
}

std::string TrainzBuildMenuCaption(std::string_view build) { return "Trainz-Build " + std::string(build); }

}  // namespace kelvarn
