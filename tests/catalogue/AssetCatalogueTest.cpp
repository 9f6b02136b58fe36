#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "AssetTestSupport.h"
#include "shell/SettingsKeys.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;
using test::AssetBed;

class AssetScan : public ::testing::Test, protected AssetBed {};

TEST_F(AssetScan, ListsOnlyTheOuterOfNestedAssetsAndFindsConfigInAnyCase) {
    Asset("lib/outer");
    Asset("lib/outer/inner");
    Asset("lib/group/Upper", "<kuid:1:1>", "Config.txt");
    Asset("lib/group/lower");
    test::WriteBytes(Path("lib/group/notes/readme.txt"), "no asset here");

    EXPECT_EQ(catalogue.AddDirectory(Path("lib")), TScanResult::Done);
    EXPECT_EQ(Names(), (std::vector<std::string>{"lower", "Upper", "outer"}));
    // The first item becomes the current asset, and the count is shown.
    EXPECT_EQ(state.AssetPath(), Path("lib/group/lower"));
    EXPECT_EQ(SentTexts(ccSelectAsset), (std::vector<std::string>{Path("lib/group/lower")}));
    EXPECT_EQ(SentTexts(ccStatusText).back(), "0|Assets: 0/3");
    // The scan's own text is cleared before the selected asset's preview puts its description there,
    // and nothing clears target 2 after that.
    const auto select = std::find_if(bus.sent.begin(), bus.sent.end(), [](const auto& s) { return s.first == ccSelectAsset; });
    ASSERT_NE(select, bus.sent.begin());
    EXPECT_EQ(*std::prev(select), (std::pair<int, std::string>{ccStatusText, "2|"}));
    EXPECT_TRUE(std::none_of(select, bus.sent.end(), [](const auto& s) { return s.first == ccStatusText && s.second.rfind("2|", 0) == 0; }));
    // Each listed asset's parent joins the monitors.
    EXPECT_EQ(events.monitorAdded.size(), 3u);
}

TEST_F(AssetScan, SkipsTheBackupFolderButNotItsNamesakes) {
    Asset("program/backup/20110304-copy");
    Asset("program/backup2/real");
    catalogue.AddDirectory(Path("program"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"real"}));
}

TEST_F(AssetScan, ASecondScanAddsNothing) {
    Asset("lib/a");
    Asset("lib/b");
    catalogue.AddDirectory(Path("lib"));
    const std::size_t mapped = kuids.Count();
    catalogue.AddDirectory(Path("lib/"));
    EXPECT_EQ(catalogue.Count(), 2);
    EXPECT_EQ(kuids.Count(), mapped);
}

TEST_F(AssetScan, ALinkBackToAParentEnds) {
    Asset("lib/a");
    fs::create_directories(Path("lib/deep/er"));
    fs::create_directory_symlink(Path("lib"), Path("lib/deep/er/loop"));
    // The scanned folder itself may be a link.
    fs::create_directory_symlink(Path("lib"), Path("linked"));
    EXPECT_EQ(catalogue.AddDirectory(Path("linked")), TScanResult::Done);
    EXPECT_EQ(Folders(), (std::vector<std::string>{Path("linked/a")}));
}

TEST_F(AssetScan, CancelKeepsTheItemsEndsEveryLevelAndClearsTheFlag) {
    for (const char* name : {"lib/g1/a", "lib/g1/b", "lib/g2/c", "lib/g2/d"}) Asset(name);
    events.onPump = [this] {
        if (catalogue.Count() == 1) catalogue.RequestScanCancel();
    };
    messages.answers = {Answer::Yes};
    EXPECT_EQ(catalogue.AddDirectory(Path("lib")), TScanResult::Cancelled);
    EXPECT_EQ(messages.messages, (std::vector<std::string>{"Cancel Folder Scan?"}));
    EXPECT_EQ(catalogue.Count(), 1);
    EXPECT_FALSE(catalogue.Scanning());
    EXPECT_EQ(events.gauge, (std::vector<bool>{true, false}));
    // The caller's own ending (selecting item 0, the count) did not run; status and caption reset.
    EXPECT_TRUE(SentTexts(ccSelectAsset).empty());
    const auto status = SentTexts(ccStatusText);
    EXPECT_EQ(status[status.size() - 2], "2|");
    EXPECT_EQ(status.back(), "-1|");

    // The next scan runs through without asking again.
    events.onPump = nullptr;
    EXPECT_EQ(catalogue.AddDirectory(Path("lib")), TScanResult::Done);
    EXPECT_EQ(catalogue.Count(), 4);
    EXPECT_EQ(messages.messages.size(), 1u);
}

TEST_F(AssetScan, ClosingEndsTheScanWithoutAsking) {
    for (const char* name : {"lib/a", "lib/b", "lib/c"}) Asset(name);
    events.onPump = [this] {
        if (catalogue.Count() == 1) catalogue.AbortScan();
    };
    EXPECT_EQ(catalogue.AddDirectory(Path("lib")), TScanResult::Cancelled);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(catalogue.Count(), 1);
}

TEST_F(AssetScan, AHandOverDuringAScanIsAddedWhenTheScanEnds) {
    for (const char* name : {"lib/a", "lib/b", "second/c", "third/d"}) Asset(name);
    bool handed = false;
    events.onPump = [&] {
        if (handed || catalogue.Count() != 1) return;
        handed = true;
        catalogue.QueueDirectory(Path("second"));
        catalogue.QueueDirectory(Path("third"));
        EXPECT_EQ(catalogue.QueuedDirectories(), 2u);
    };
    EXPECT_EQ(catalogue.AddDirectory(Path("lib")), TScanResult::Done);
    EXPECT_EQ(catalogue.Count(), 4);
    EXPECT_EQ(catalogue.QueuedDirectories(), 0u);
    EXPECT_EQ(messages.beeps, 0);
    // Outside a scan the folder is added at once.
    Asset("fourth/e");
    catalogue.QueueDirectory(Path("fourth"));
    EXPECT_EQ(catalogue.Count(), 5);
}

TEST_F(AssetScan, ClosingDropsWhatWaitsForTheScan) {
    for (const char* name : {"lib/a", "lib/b", "second/c"}) Asset(name);
    events.onPump = [this] {
        if (catalogue.Count() != 1) return;
        catalogue.AbortScan();
        catalogue.QueueDirectory(Path("second"));  // arrives while the scan unwinds
    };
    EXPECT_EQ(catalogue.AddDirectory(Path("lib")), TScanResult::Cancelled);
    EXPECT_EQ(catalogue.Count(), 1);
    EXPECT_EQ(catalogue.QueuedDirectories(), 0u);
}

TEST_F(AssetScan, NoToTheQuestionGoesOn) {
    for (const char* name : {"lib/a", "lib/b", "lib/c"}) Asset(name);
    events.onPump = [this] {
        if (catalogue.Count() == 1) catalogue.RequestScanCancel();
    };
    messages.answers = {Answer::No};
    EXPECT_EQ(catalogue.AddDirectory(Path("lib")), TScanResult::Done);
    EXPECT_EQ(catalogue.Count(), 3);
}

TEST_F(AssetScan, ListChangesDuringAScanAreRefusedWithABeep) {
    for (const char* name : {"lib/a", "lib/b", "lib/c"}) Asset(name);
    events.onPump = [this] {
        catalogue.ClearAssets(TClearWhich::All);
        catalogue.PurgeAssets();
        catalogue.SortAssets();
        EXPECT_EQ(catalogue.AddDirectory(Path("lib")), TScanResult::Cancelled);
    };
    catalogue.AddDirectory(Path("lib"));
    EXPECT_EQ(catalogue.Count(), 3);
    EXPECT_GT(messages.beeps, 3);
    // Escape outside a scan asks nothing later.
    events.onPump = nullptr;
    catalogue.RequestScanCancel();
    Asset("lib2/x");
    catalogue.AddDirectory(Path("lib2"));
    EXPECT_TRUE(messages.messages.empty());
}

class AssetListOps : public ::testing::Test, protected AssetBed {
protected:
    void SetUp() override {
        for (const char* name : {"lib/a", "lib/b", "lib/c", "lib/d"}) Asset(name);
        catalogue.AddDirectory(Path("lib"));
        bus.sent.clear();
    }
};

TEST_F(AssetListOps, RemovingKeepsTheCurrentAssetWithAnAlert) {
    struct Case {
        TClearWhich which;
        std::vector<int> tagged;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {TClearWhich::Untagged, {1, 3}, {"a", "b", "d"}},  // "a" is current and untagged
        {TClearWhich::Tagged, {0, 2}, {"a", "b", "d"}},    // "a" is current and tagged
    };
    for (const Case& c : cases) {
        catalogue.ClearAssetList();
        catalogue.AddDirectory(Path("lib"));
        events.alerts.clear();
        for (int i : c.tagged) catalogue.SetTagged(i, true);
        catalogue.ClearAssets(c.which);
        EXPECT_EQ(Names(), c.left);
        EXPECT_EQ(events.alerts, (std::vector<std::string>{"Cannot remove current asset [beep]"}));
        EXPECT_EQ(state.AssetPath(), Path("lib/a"));
    }
}

TEST_F(AssetListOps, PurgeMovesToItemZeroWhenTheCurrentFolderIsGone) {
    catalogue.SelectAsset(1);
    fs::remove_all(Path("lib/b"));
    fs::remove_all(Path("lib/c"));
    bus.sent.clear();
    catalogue.PurgeAssets();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(SentTexts(ccSelectAsset), (std::vector<std::string>{Path("lib/a")}));
    EXPECT_EQ(catalogue.Selected(), 0);

    fs::remove_all(Path("lib"));
    bus.sent.clear();
    catalogue.PurgeAssets();
    EXPECT_EQ(catalogue.Count(), 0);
    EXPECT_EQ(Codes(), (std::vector<int>{ccNoAsset}));
    EXPECT_EQ(state.AssetPath(), "");
    EXPECT_EQ(SentTexts(ccStatusText).back(), "0|Assets: 0/0");
}

TEST_F(AssetListOps, PurgeKeepsAnExistingCurrentAssetWithoutReloadingIt) {
    catalogue.SelectAsset(2);
    fs::remove_all(Path("lib/a"));
    bus.sent.clear();
    catalogue.PurgeAssets();
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_EQ(catalogue.Selected(), 1);
    EXPECT_TRUE(SentTexts(ccSelectAsset).empty());
}

TEST_F(AssetListOps, SortsByNameOrNumericPrefixKeepingTagsAndMarks) {
    catalogue.ClearAssetList();
    for (const char* name : {"x/9 y", "y/abc", "z/10 x", "w/Bcd"}) Asset(name);
    catalogue.AddDirectory(Path("x"));
    catalogue.AddDirectory(Path("y"));
    catalogue.AddDirectory(Path("z"));
    catalogue.AddDirectory(Path("w"));
    catalogue.SetTagged(catalogue.IndexOf(Path("z/10 x")), true);
    catalogue.MarkAssetEdited(Path("y/abc"));

    catalogue.SetSortButtonDown(true);
    state.Settings().WriteString("Options", "CMPSort", "1");
    catalogue.SortAssets();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bcd", "abc", "10 x", "9 y"}));
    EXPECT_TRUE(catalogue.Entry(2).tagged);
    EXPECT_TRUE(catalogue.Entry(1).edited);
    EXPECT_EQ(state.TaggedCount, 1);

    state.Settings().WriteString("Options", "CMPSort", "0");
    catalogue.SortAssets();
    EXPECT_EQ(Names(), (std::vector<std::string>{"10 x", "9 y", "Bcd", "abc"}));
    EXPECT_TRUE(catalogue.Entry(0).tagged);

    // Button up: back to the list's own order by full path.
    catalogue.SetSortButtonDown(false);
    catalogue.SortAssets();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Bcd", "9 y", "abc", "10 x"}));
    EXPECT_TRUE(catalogue.Entry(3).tagged);
    // The current asset is selected again.
    EXPECT_EQ(catalogue.Selected(), catalogue.CurrentIndex());
}

TEST(AssetCompare, NumericPrefixesCompareAsTexts) {
    struct Case {
        const char* a;
        const char* b;
        int numeric;
        int names;
    };
    const Case cases[] = {
        {"/p/abc", "/p/10 x", -1, 1},  {"/p/10 x", "/p/9 y", -1, -1}, {"/p/10a", "/p/10b", 0, -1},
        {"/p/abc", "/p/abd", -1, -1},  {"/q/Abc", "/p/abc", -1, -1},  {"/p/5", "/p/5", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareNumericPrefix(c.a, c.b), c.numeric) << c.a << " " << c.b;
        EXPECT_EQ(CompareFolderNames(c.a, c.b), c.names) << c.a << " " << c.b;
    }
}

TEST_F(AssetListOps, TaggingAndTheCountText) {
    catalogue.CheckAll(true);
    EXPECT_EQ(catalogue.CountTagged(), 4);
    catalogue.InvertChecks();
    EXPECT_EQ(catalogue.CountTagged(), 0);
    catalogue.SetTagged(1, true);
    catalogue.SetAllOpposite(1);  // every item takes the opposite of the clicked one's check
    EXPECT_EQ(catalogue.CountTagged(), 0);
    catalogue.SetAllOpposite(0);
    EXPECT_EQ(catalogue.CountTagged(), 4);
    catalogue.ShowAssetCount();
    EXPECT_EQ(SentTexts(ccStatusText).back(), "0|Assets: 4/4");

    catalogue.ClearAssetList();
    catalogue.CheckAll(true);
    catalogue.CountTagged();
    catalogue.ShowAssetCount();
    EXPECT_EQ(SentTexts(ccStatusText).back(), "0|Assets: 0/0");
}

TEST_F(AssetListOps, TypedCharactersFindForwardWithoutWrapping) {
    catalogue.ClearAssetList();
    for (const char* name : {"m/apple", "m/Berry", "m/avocado", "m/9lives"}) Asset(name);
    catalogue.AddDirectory(Path("m"));  // 9lives, apple, avocado, Berry; item 0 selected
    EXPECT_EQ(catalogue.FindByFirstChar(U'A'), 1);
    catalogue.SelectAsset(1);
    EXPECT_EQ(catalogue.FindByFirstChar(U'a'), 2);
    catalogue.SelectAsset(2);
    EXPECT_EQ(catalogue.FindByFirstChar(U'a'), -1);
    EXPECT_EQ(catalogue.FindByFirstChar(U'b'), 3);
    EXPECT_EQ(catalogue.FindByFirstChar(U'9'), -1);
}

TEST_F(AssetListOps, SelectingTheCurrentAssetAgainSendsNothing) {
    catalogue.SelectAsset(2);
    catalogue.SelectAsset(2);
    EXPECT_EQ(SentTexts(ccSelectAsset), (std::vector<std::string>{Path("lib/c")}));
    EXPECT_EQ(events.watched.back(), Path("lib/c"));
    EXPECT_EQ(SentTexts(ccStatusText).back(), "-1|" + Path("lib/c"));
}

TEST_F(AssetListOps, TaggedListsAndEditedMarks) {
    catalogue.SetTagged(0, true);  // current
    catalogue.SetTagged(2, true);
    EXPECT_EQ(catalogue.ListTaggedAssets(false), (std::vector<std::string>{Path("lib/c")}));
    EXPECT_EQ(catalogue.ListTaggedAssets(true), (std::vector<std::string>{Path("lib/a"), Path("lib/c")}));
    catalogue.MarkAssetEdited(Path("lib/d"));
    catalogue.MarkAssetEdited(Path("lib/D"));  // exact text only
    EXPECT_TRUE(catalogue.Entry(3).edited);
    EXPECT_FALSE(catalogue.Entry(2).edited);
}

TEST_F(AssetListOps, NewAndClonedAssetsAreSelectedOnceListed) {
    const std::string made = Asset("lib/new");
    catalogue.AddClonedAsset(made);
    EXPECT_EQ(state.AssetPath(), made);
    EXPECT_EQ(Codes(), (std::vector<int>{ccSelectAsset, ccFinishClone}));
    EXPECT_EQ(SentTexts(ccStatusText).back(), "0|Assets: 0/5");  // the count takes the new entry in
    catalogue.AddNewAsset(made);
    EXPECT_EQ(catalogue.Count(), 5);
}

TEST_F(AssetListOps, CopyAndPasteGoThroughTheClipboard) {
    catalogue.SetTagged(1, true);
    catalogue.SetTagged(3, true);
    catalogue.CopyAssets(true);
    EXPECT_EQ(clipboard.files, (std::vector<std::string>{Path("lib/b"), Path("lib/d")}));
    EXPECT_EQ(state.ClipboardSource, "AssetList");
    catalogue.CopyAssets(false);
    EXPECT_EQ(clipboard.files, (std::vector<std::string>{Path("lib/a")}));

    Asset("more/e");
    Asset("more/f");
    clipboard.files = {Path("more"), Path("lib/a")};
    catalogue.PasteAssets();
    EXPECT_EQ(catalogue.Count(), 6);
    EXPECT_EQ(events.alerts.back(), "2 new asset(s) loaded");
    catalogue.PasteAssets();
    EXPECT_EQ(events.alerts.back(), "No new assets");
}

TEST_F(AssetListOps, ADroppedConfigStandsForItsFolder) {
    Asset("drop/g");
    catalogue.DropAssets({Path("drop/g/config.txt")});
    EXPECT_TRUE(catalogue.Holds(Path("drop/g")));
    EXPECT_EQ(events.alerts.back(), "1 new asset(s) loaded");
}

TEST_F(AssetListOps, OpenDependencySelectsAListedAssetOrSaysItIsMissing) {
    catalogue.ClearAssetList();
    Asset("dep/one", "<kuid2:7:8:2>");
    catalogue.AddDirectory(Path("dep"));
    Asset("lib2/two", "<kuid:7:9>");
    catalogue.OpenDependency("<kuid:7:8>");
    EXPECT_EQ(state.AssetPath(), Path("dep/one"));
    bus.sent.clear();
    catalogue.OpenDependency("<kuid:7:9>");
    EXPECT_EQ(SentTexts(ccAlert), (std::vector<std::string>{"Asset not currently available"}));
}

class AssetRename : public ::testing::Test, protected AssetBed {
protected:
    void SetUp() override {
        Asset("lib/editing/old", "<kuid:55:66>");
        Asset("lib/editing/taken");
        catalogue.AddDirectory(Path("lib"));
        catalogue.SelectAsset(catalogue.IndexOf(Path("lib/editing/old")));
    }
    test::FakeDialogs dialogs;
};

TEST_F(AssetRename, RefusesNamesThatLeaveTheFolderOrReplaceAnother) {
    for (const char* name : {"", " ", ".", "..", "x/y", "x\\y", "taken"}) {
        dialogs.answers = {std::string(name)};
        catalogue.RenameAssetFolder(dialogs);
        EXPECT_TRUE(fs::is_directory(Path("lib/editing/old"))) << name;
        EXPECT_EQ(state.AssetPath(), Path("lib/editing/old")) << name;
    }
    EXPECT_EQ(messages.messages.size(), 7u);
    EXPECT_EQ(catalogue.Count(), 2);
}

TEST_F(AssetRename, AsksToSaveFirstThenRenamesAndKeepsTheKuidFindable) {
    std::vector<std::string> order;
    catalogue.AskSaveCurrent = [&] {
        order.push_back("save");
        return true;
    };
    dialogs.onAsk = [&] { order.push_back("ask"); };
    catalogue.SetTagged(catalogue.CurrentIndex(), true);
    dialogs.answers = {std::string("new")};
    bus.sent.clear();
    catalogue.RenameAssetFolder(dialogs);
    // Asked again as the renamed entry is selected: by then nothing is pending.
    EXPECT_EQ(order, (std::vector<std::string>{"save", "ask", "save"}));
    EXPECT_EQ(dialogs.asked, (std::vector<std::string>{"Rename Asset Folder"}));
    EXPECT_EQ(state.AssetPath(), Path("lib/editing/new"));
    EXPECT_EQ(SentTexts(ccSelectAsset), (std::vector<std::string>{Path("lib/editing/new")}));
    EXPECT_TRUE(catalogue.Entry(catalogue.CurrentIndex()).tagged);
    // The stale entry is skipped: the lookup finds the folder under its new name.
    std::string found;
    EXPECT_TRUE(FindAssetByKuid(kuids, "<kuid:55:66>", found));
    EXPECT_EQ(found, Path("lib/editing/new"));
    EXPECT_EQ(kuids.Count(), 3u);
}

// The work on the current asset could not be saved: another asset is not selected, and neither a
// rename nor a delete goes ahead.
TEST_F(AssetRename, AFailedSaveKeepsTheCurrentAsset) {
    int asked = 0;
    catalogue.AskSaveCurrent = [&] { return ++asked, false; };
    bus.sent.clear();
    catalogue.SelectAsset(catalogue.IndexOf(Path("lib/editing/taken")));
    EXPECT_EQ(state.AssetPath(), Path("lib/editing/old"));
    EXPECT_EQ(catalogue.Selected(), catalogue.IndexOf(Path("lib/editing/old")));
    EXPECT_TRUE(SentTexts(ccSelectAsset).empty());
    dialogs.answers = {std::string("new")};
    catalogue.RenameAssetFolder(dialogs);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_TRUE(fs::is_directory(Path("lib/editing/old")));
    EXPECT_EQ(asked, 2);
}

TEST_F(AssetRename, CancelOrTheSameNameDoesNothing) {
    dialogs.answers = {std::nullopt, std::string("old")};
    catalogue.RenameAssetFolder(dialogs);
    catalogue.RenameAssetFolder(dialogs);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(state.AssetPath(), Path("lib/editing/old"));
}

class AssetDelete : public ::testing::Test, protected AssetBed {
protected:
    void SetUp() override {
        Asset("lib/editing/a");
        Asset("lib/editing/b");
        Asset("lib/installed/c");
        catalogue.AddDirectory(Path("lib"));
    }
};

TEST_F(AssetDelete, OnlyEditingFoldersGoToTheTrashAfterOneConfirmation) {
    for (int i = 0; i < catalogue.Count(); ++i) catalogue.SetTagged(i, true);
    int saves = 0;
    catalogue.AskSaveCurrent = [&] {
        ++saves;
        return true;
    };
    catalogue.DeleteAssetFolders(true);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_NE(messages.messages[0].find(Path("lib/installed/c")), std::string::npos);
    EXPECT_NE(messages.messages[1].find("Delete these 2 asset folders"), std::string::npos);
    EXPECT_EQ(trash.moved, (std::vector<std::string>{Path("lib/editing/a"), Path("lib/editing/b")}));
    EXPECT_EQ(saves, 1);  // the current asset was among them
    EXPECT_EQ(Folders(), (std::vector<std::string>{Path("lib/installed/c")}));
    EXPECT_EQ(state.AssetPath(), Path("lib/installed/c"));
}

TEST_F(AssetDelete, ANoOrAFailingTrashKeepsFolderAndItem) {
    messages.answers = {Answer::No};
    catalogue.DeleteAssetFolders(false);
    EXPECT_TRUE(trash.moved.empty());
    EXPECT_EQ(catalogue.Count(), 3);

    trash.refuse = Path("lib/editing/a");
    catalogue.DeleteAssetFolders(false);
    EXPECT_TRUE(fs::is_directory(Path("lib/editing/a")));
    EXPECT_EQ(catalogue.Count(), 3);
    EXPECT_TRUE(Said("Not deleted"));
}

TEST(AssetPaths, PrefixesEndAtSeparators) {
    EXPECT_TRUE(PathBelow("/data/Assets/x", "/data/Assets"));
    EXPECT_TRUE(PathBelow("/data/Assets", "/data/Assets/"));
    EXPECT_FALSE(PathBelow("/data/Assets2/x", "/data/Assets"));
    EXPECT_FALSE(PathBelow("/data/assets/x", "/data/Assets"));
    EXPECT_TRUE(PathBelow("/data/assets/x", "/data/Assets", true));
    EXPECT_TRUE(InEditingFolder("C:\\Trainz\\editing\\x"));
    EXPECT_TRUE(InEditingFolder("/trainz/editing/x"));
    EXPECT_FALSE(InEditingFolder("/trainz/Editing/x"));
    EXPECT_FALSE(InEditingFolder("/trainz/myediting/x"));
}

}  // namespace
}  // namespace kelvarn
