#include "shell/MainMenuRules.h"

#include <algorithm>

#include "shell/MainMenuTable.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

TMenuItemState Enabled(std::string name, bool enabled) { return {std::move(name), std::nullopt, enabled, std::nullopt, std::nullopt}; }
TMenuItemState Visible(std::string name, bool visible) { return {std::move(name), visible, std::nullopt, std::nullopt, std::nullopt}; }

bool IsKind(const std::string& kind, const char* name) { return SameText(kind, name); }

}  // namespace

std::vector<TMenuItemState> MainBarMenuStates(const TMainBarFacts& f) {
    const bool editable = f.assetSelected && f.layoutMode < 2;
    return {Enabled("RepairMainMenu", editable), Enabled("ScriptMainMenu", editable),
            Enabled("TrainzBuildMenu", f.assetSelected)};
}

std::vector<std::string> NewImageFileNames() {
    std::vector<std::string> names;
    for (const TMenuRow& row : MainMenuRows())
        if (row.parent == "mCreateNewImage") names.push_back(StripAccelerators(row.caption));
    return names;
}

std::vector<TMenuItemState> FileMainMenuStates(const TFileMainMenuFacts& f) {
    bool replicate = f.outlineMarks > 0 || f.copyCount > 0;
    if (f.tagged == 0)
        replicate = false;
    else if (f.tagged == 1 && f.onlyTaggedIsCurrent)
        replicate = false;  // nothing to replicate to but the asset itself
    std::vector<TMenuItemState> states = {
        Enabled("mClearTagged", f.tagged > 0),
        Enabled("mClearUntagged", f.count > f.tagged),
        Enabled("mClearAll", f.count > 0),
        Visible("mSaveImageAs", f.activeViewer == TShownViewer::Image && f.fileCount > 0),
        Visible("mSaveTextAs", f.activeViewer == TShownViewer::Text && !f.textEmpty),
        Visible("mSaveTableAs", f.activeViewer == TShownViewer::Table),
        Enabled("mReplicate", replicate),
        Enabled("mBackupAsset", f.assetEntrySelected),
        Enabled("mRestoreAsset", f.assetEntrySelected),
        Enabled("mBackupFile", f.fileEntrySelected),
        Enabled("mRestoreFile", f.fileEntrySelected),
        Enabled("mCreateNewImage", f.fileCount > 0),
        Enabled("mPasteTagged", f.clipboardFromFileList && f.tagged > 0),
        Enabled("mScreenshot", f.assetSelected && !f.imageModified && f.layoutMode != 1),
    };
    for (const TMenuRow& row : MainMenuRows()) {
        if (row.parent != "mCreateNewImage") continue;
        const std::string file = StripAccelerators(row.caption);
        const bool present = std::any_of(f.presentImages.begin(), f.presentImages.end(),
                                         [&](const std::string& name) { return SameText(name, file); });
        states.push_back(Enabled(std::string(row.name), !present));
    }
    return states;
}

std::vector<TMenuItemState> AssetMainMenuStates(const TAssetMainMenuFacts& f) {
    return {
        Enabled("mClone", f.assetSelected),
        Enabled("mIncrementKUIDMain", f.assetSelected && f.assetId == f.userId),
        Enabled("mTagList", f.assetSelected && f.hasKind),
        Enabled("mAddUserTags", f.assetId == f.keptUserId && !f.hasAuthor),
        Enabled("mReloadHome", !f.home1.empty()),
        Visible("m2004Custom", !f.trs2004.empty()),
        Visible("m2006Editing", !f.trs2006.empty()),
        Visible("mTCEditing", !f.tc.empty()),
        Visible("m2009Editing", !f.ts2009.empty()),
        Visible("m2010Editing", !f.ts2010.empty()),
        Visible("mTS12Editing", !f.ts12.empty()),
        Enabled("mGenerateKUID", f.kuidRangeKeys > 0),
    };
}

std::vector<TMenuItemState> RepairMainMenuStates(const TRepairMainMenuFacts& f) {
    TMenuItemState build = Enabled("mTrainzBuild", f.configBuild < f.activeBuild);
    build.caption = "Update Trainz-Build (" + FormatBuild(f.activeBuild) + ")";
    return {
        Enabled("mCreateMeshTable", !f.hasMeshTable),
        Enabled("mUpdateBogies", !f.hasBogeys && IsKind(f.kind, "traincar")),
        Enabled("mUserTags", f.count > 0 && f.userId == f.assetId),
        Enabled("mUpdateUsername", f.hasName),
        std::move(build),
        Enabled("mThumbnails", f.assetSelected),
        Enabled("mRepairTextures", f.assetSelected),
        Enabled("mAssetFilename", f.hasAssetFilename),
        Enabled("mUpdateCamera", IsKind(f.kind, "interior")),
        Enabled("mRepairAudio", f.assetSelected && f.audioFiles > 0),
    };
}

std::vector<TMenuItemState> ToolsMainMenuStates(const TToolsMainMenuFacts& f) {
    return {
        Enabled("mGroundplanes", IsKind(f.kind, "traincar") && !f.hasGroundplane && f.hasMeshTable),
        Enabled("mPassengerQueue", f.assetSelected),
        Enabled("mMeshwright", f.assetSelected),
        Enabled("mTexwright", f.assetSelected),
        Enabled("mExplore", f.assetSelected),
        Enabled("mAttachments", f.assetSelected),
    };
}

std::vector<TMenuItemState> HelpMainMenuStates(const THelpMainMenuFacts& f) {
    TMenuItemState tips{"mTooltips", std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    tips.checked = f.hintsShown;
    return {Enabled("mCallHelp", f.helpFileExists), std::move(tips)};
}

std::vector<TMenuItemState> ScriptMainMenuStates(const TScriptMainMenuFacts& f) {
    return {Enabled("mTaggedScript", f.tagged > 0)};
}

std::vector<TMenuItemState> DiagnosticsMainMenuStates(const TDiagnosticsMainMenuFacts& f) {
    std::vector<TMenuItemState> states;
    TMenuItemState mark = Enabled("mMarkCurrent", f.assetSelected);
    mark.caption = "Validate Tags (" + f.activeBuild + ")";
    states.push_back(std::move(mark));
    for (const char* name : {"mClearMarkers", "mVerifyMeshes", "mVerifyImages", "mVerifyTextures", "mVerifyAttachments",
                             "mVerifyAll", "mUnreferenced", "mMandatory"})
        states.push_back(Enabled(name, f.assetSelected));
    states.push_back(Enabled("mViewLog", f.logExists));
    states.push_back(Enabled("mClearLog", f.logExists));
    return states;
}

int MenuStateGroup(int number) {
    if (number == 0 || number == 1600) return number;
    if (number >= 1000 && number < 1400) return number / 100 * 100;
    if (number >= 1500 && number < 1600) return 1500;
    if (number >= 1700 && number < 1800) return 1700;
    if ((number >= 2100 && number < 2400) || (number >= 2500 && number < 2800)) return number / 100 * 100;
    return -1;
}

}  // namespace kelvarn
