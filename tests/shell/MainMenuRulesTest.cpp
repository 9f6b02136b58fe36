// The main menu's state rules on their facts, group by group.
#include <gtest/gtest.h>

#include "shell/MainMenuRules.h"

namespace kelvarn {
namespace {

const TMenuItemState& Item(const std::vector<TMenuItemState>& states, const std::string& name) {
    for (const TMenuItemState& s : states)
        if (s.name == name) return s;
    static const TMenuItemState none{};
    ADD_FAILURE() << name << " has no state";
    return none;
}
bool On(const std::vector<TMenuItemState>& states, const std::string& name) {
    return Item(states, name).enabled.value_or(false);
}
bool Shown(const std::vector<TMenuItemState>& states, const std::string& name) {
    return Item(states, name).visible.value_or(false);
}

TEST(MainMenuRules, MenuBarFollowsAssetAndLayout) {
    struct Case {
        bool asset;
        int mode;
        bool repair, build;
    } cases[] = {{false, 0, false, false}, {true, 0, true, true}, {true, 1, true, true}, {true, 2, false, true}};
    for (const Case& c : cases) {
        const auto s = MainBarMenuStates({c.asset, c.mode});
        EXPECT_EQ(On(s, "RepairMainMenu"), c.repair) << c.asset << c.mode;
        EXPECT_EQ(On(s, "ScriptMainMenu"), c.repair) << c.asset << c.mode;
        EXPECT_EQ(On(s, "TrainzBuildMenu"), c.build) << c.asset << c.mode;
    }
}

TEST(MainMenuRules, ReplicateNeedsMarksAndAnotherTaggedAsset) {
    struct Case {
        int marks, copies, tagged;
        bool currentIsTagged, enabled;
    } cases[] = {
        {1, 0, 0, false, false},  // nothing tagged
        {1, 0, 1, true, false},   // only the asset itself is tagged
        {1, 0, 1, false, true},   // one other asset
        {0, 2, 3, true, true},    // copied nodes, several tagged
        {0, 0, 3, false, false},  // nothing marked or copied
    };
    for (const Case& c : cases) {
        TFileMainMenuFacts f;
        f.outlineMarks = c.marks;
        f.copyCount = c.copies;
        f.tagged = c.tagged;
        f.count = 5;
        f.onlyTaggedIsCurrent = c.currentIsTagged;
        EXPECT_EQ(On(FileMainMenuStates(f), "mReplicate"), c.enabled) << c.marks << c.copies << c.tagged;
    }
}

TEST(MainMenuRules, FileMenuSaveItemsFollowTheActiveViewer) {
    TFileMainMenuFacts f;
    f.fileCount = 2;
    f.textEmpty = false;
    const std::pair<TShownViewer, const char*> viewers[] = {{TShownViewer::Image, "mSaveImageAs"},
                                                            {TShownViewer::Text, "mSaveTextAs"},
                                                            {TShownViewer::Table, "mSaveTableAs"}};
    for (const auto& [viewer, shown] : viewers) {
        f.activeViewer = viewer;
        const auto s = FileMainMenuStates(f);
        for (const char* item : {"mSaveImageAs", "mSaveTextAs", "mSaveTableAs"})
            EXPECT_EQ(Shown(s, item), std::string(item) == shown) << item;
    }
    // An empty text and an empty file list hide their items even in front.
    f.activeViewer = TShownViewer::Text;
    f.textEmpty = true;
    EXPECT_FALSE(Shown(FileMainMenuStates(f), "mSaveTextAs"));
    f.activeViewer = TShownViewer::Image;
    f.fileCount = 0;
    EXPECT_FALSE(Shown(FileMainMenuStates(f), "mSaveImageAs"));
}

TEST(MainMenuRules, FileMenuCountsSelectionsAndFiles) {
    TFileMainMenuFacts f;
    f.assetSelected = true;
    f.count = 3;
    f.tagged = 3;
    f.fileCount = 4;
    f.presentImages = {"Red.TGA"};  // found ignoring case on disc
    auto s = FileMainMenuStates(f);
    EXPECT_TRUE(On(s, "mClearTagged"));
    EXPECT_FALSE(On(s, "mClearUntagged"));  // every entry is tagged
    EXPECT_TRUE(On(s, "mClearAll"));
    EXPECT_FALSE(On(s, "mBackupAsset"));
    EXPECT_FALSE(On(s, "mRestoreFile"));
    EXPECT_TRUE(On(s, "mCreateNewImage"));
    EXPECT_FALSE(On(s, "mRedTga"));
    EXPECT_TRUE(On(s, "mBlueTga"));
    EXPECT_FALSE(On(s, "mPasteTagged"));  // the clipboard's files are not the file list's
    EXPECT_TRUE(On(s, "mScreenshot"));

    f.clipboardFromFileList = true;
    f.assetEntrySelected = f.fileEntrySelected = true;
    f.layoutMode = 1;
    s = FileMainMenuStates(f);
    EXPECT_TRUE(On(s, "mPasteTagged"));
    EXPECT_TRUE(On(s, "mRestoreAsset"));
    EXPECT_TRUE(On(s, "mBackupFile"));
    EXPECT_FALSE(On(s, "mScreenshot"));  // the viewer is hidden in mode 1
    f.layoutMode = 0;
    f.imageModified = true;
    EXPECT_FALSE(On(FileMainMenuStates(f), "mScreenshot"));
    EXPECT_EQ(NewImageFileNames().size(), 7u);
}

TEST(MainMenuRules, AssetMenuOwnershipAndSettings) {
    TAssetMainMenuFacts f;
    f.assetSelected = true;
    f.assetId = "12345";
    f.userId = "54321";
    f.keptUserId = "12345";
    f.hasKind = true;
    auto s = AssetMainMenuStates(f);
    EXPECT_FALSE(On(s, "mIncrementKUIDMain"));  // another author's asset
    EXPECT_TRUE(On(s, "mAddUserTags"));
    EXPECT_TRUE(On(s, "mTagList"));
    EXPECT_FALSE(On(s, "mReloadHome"));
    EXPECT_FALSE(On(s, "mGenerateKUID"));  // an empty KUID-Range
    for (const char* item : {"m2004Custom", "m2006Editing", "mTCEditing", "m2009Editing", "m2010Editing", "mTS12Editing"})
        EXPECT_FALSE(Shown(s, item)) << item;

    f.userId = "12345";
    f.hasAuthor = true;
    f.home1 = "/assets";
    f.ts2009 = "/trainz";
    f.kuidRangeKeys = 1;
    s = AssetMainMenuStates(f);
    EXPECT_TRUE(On(s, "mIncrementKUIDMain"));
    EXPECT_FALSE(On(s, "mAddUserTags"));
    EXPECT_TRUE(On(s, "mReloadHome"));
    EXPECT_TRUE(On(s, "mGenerateKUID"));
    EXPECT_TRUE(Shown(s, "m2009Editing"));
    EXPECT_FALSE(Shown(s, "m2010Editing"));

    f.assetSelected = false;
    s = AssetMainMenuStates(f);
    EXPECT_FALSE(On(s, "mIncrementKUIDMain"));
    EXPECT_FALSE(On(s, "mClone"));
}

TEST(MainMenuRules, TrainzBuildRepairCaptionAndState) {
    struct Case {
        std::int32_t config, active;
        const char* caption;
        bool enabled;
    } cases[] = {{25, 35, "Update Trainz-Build (3.5)", true},
                 {25, 25, "Update Trainz-Build (2.5)", false},
                 {36, 35, "Update Trainz-Build (3.5)", false}};
    for (const Case& c : cases) {
        TRepairMainMenuFacts f;
        f.configBuild = c.config;
        f.activeBuild = c.active;
        const TMenuItemState item = Item(RepairMainMenuStates(f), "mTrainzBuild");
        EXPECT_EQ(item.caption.value_or(""), c.caption);
        EXPECT_EQ(item.enabled.value_or(false), c.enabled) << c.config << " " << c.active;
    }
}

TEST(MainMenuRules, RepairAndToolsFollowTheConfig) {
    TRepairMainMenuFacts r;
    r.assetSelected = true;
    r.kind = "TrainCar";
    r.hasName = true;
    auto s = RepairMainMenuStates(r);
    EXPECT_TRUE(On(s, "mCreateMeshTable"));
    EXPECT_TRUE(On(s, "mUpdateBogies"));
    EXPECT_TRUE(On(s, "mUpdateUsername"));
    EXPECT_FALSE(On(s, "mUserTags"));  // an empty asset list
    EXPECT_FALSE(On(s, "mUpdateCamera"));
    EXPECT_FALSE(On(s, "mRepairAudio"));  // no sound files
    EXPECT_FALSE(On(s, "mAssetFilename"));
    r.hasMeshTable = r.hasBogeys = true;
    r.kind = "interior";
    r.audioFiles = 1;
    r.count = 1;
    s = RepairMainMenuStates(r);
    EXPECT_FALSE(On(s, "mCreateMeshTable"));
    EXPECT_FALSE(On(s, "mUpdateBogies"));
    EXPECT_TRUE(On(s, "mUpdateCamera"));
    EXPECT_TRUE(On(s, "mRepairAudio"));
    EXPECT_TRUE(On(s, "mUserTags"));  // both ids empty: equal

    TToolsMainMenuFacts t;
    t.kind = "traincar";
    t.hasMeshTable = true;
    EXPECT_TRUE(On(ToolsMainMenuStates(t), "mGroundplanes"));
    EXPECT_FALSE(On(ToolsMainMenuStates(t), "mExplore"));
    t.hasGroundplane = true;
    EXPECT_FALSE(On(ToolsMainMenuStates(t), "mGroundplanes"));
}

TEST(MainMenuRules, HelpScriptsAndDiagnostics) {
    auto help = HelpMainMenuStates({false, true});
    EXPECT_FALSE(On(help, "mCallHelp"));
    EXPECT_TRUE(Item(help, "mTooltips").checked.value_or(false));
    const auto hidden = HelpMainMenuStates({true, false});
    EXPECT_FALSE(Item(hidden, "mTooltips").checked.value_or(true));

    EXPECT_FALSE(On(ScriptMainMenuStates({0}), "mTaggedScript"));
    EXPECT_TRUE(On(ScriptMainMenuStates({2}), "mTaggedScript"));

    auto d = DiagnosticsMainMenuStates({true, "3.5", false});
    EXPECT_EQ(Item(d, "mMarkCurrent").caption.value_or(""), "Validate Tags (3.5)");
    EXPECT_TRUE(On(d, "mVerifyAll"));
    EXPECT_FALSE(On(d, "mViewLog"));
    d = DiagnosticsMainMenuStates({false, "2.5", true});
    EXPECT_FALSE(On(d, "mUnreferenced"));
    EXPECT_TRUE(On(d, "mClearLog"));
}

TEST(MainMenuRules, NumbersSelectTheirGroup) {
    const std::pair<int, int> cases[] = {{0, 0},       {1000, 1000}, {1099, 1000}, {1250, 1200}, {1399, 1300},
                                         {1400, -1},   {1499, -1},   {1500, 1500}, {1600, 1600}, {1601, -1},
                                         {1699, -1},   {1750, 1700}, {1800, -1},   {2100, 2100}, {2299, 2200},
                                         {2400, -1},   {2450, -1},   {2500, 2500}, {2799, 2700}, {2800, -1}};
    for (const auto& [number, group] : cases) EXPECT_EQ(MenuStateGroup(number), group) << number;
}

}  // namespace
}  // namespace kelvarn
