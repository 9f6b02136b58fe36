#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "AssetTestSupport.h"
#include "catalogue/HomeFolders.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

class Homes : public ::testing::Test, protected test::AssetBed {
protected:
    THomeFolders homes{state, catalogue};
    void SetHome(int key, const std::string& folder) { state.Settings().WriteString("Home", std::to_string(key), folder); }
    // Sets the last-write time of every file below `folder` to the local time given.
    void Touch(const std::string& folder, const DateTime& local) {
        // The zone's offset on that day, not at 1970 (some zones have moved since, across the date line).
        std::tm tm{};
        tm.tm_year = local.year - 1900;
        tm.tm_mon = local.month - 1;
        tm.tm_mday = local.day;
        tm.tm_hour = local.hour;
        tm.tm_min = local.minute;
        tm.tm_sec = local.second;
        tm.tm_isdst = -1;
        const std::int64_t unix = std::mktime(&tm);
        const auto when = std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(unix)));
        for (const auto& e : fs::recursive_directory_iterator(folder))
            if (e.is_regular_file()) fs::last_write_time(e.path(), when);
    }
};

TEST_F(Homes, TheFullLoadStopsAtTheFirstEmptyKey) {
    Asset("h1/a");
    Asset("h3/c");
    SetHome(1, Path("h1"));
    SetHome(3, Path("h3"));
    int shown = 0;
    homes.ShowHomePanel = [&] { ++shown; };
    EXPECT_EQ(homes.LoadHomeFolders(0), TScanResult::Done);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(homes.HomeCount(), 1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(HomePanelLook(state.Settings(), 1), THomeLook::On);
    EXPECT_EQ(HomePanelLook(state.Settings(), 2), THomeLook::Hidden);
}

TEST_F(Homes, SwitchingOffRemovesWhatLiesBelowButNotANamesake) {
    Asset("data/Assets/a");
    Asset("data/Assets/b");
    Asset("data/Assets2/c");
    SetHome(1, Path("data/Assets"));
    SetHome(2, Path("data/Assets2"));
    homes.LoadHomeFolders(0);
    ASSERT_EQ(catalogue.Count(), 3);
    EXPECT_EQ(state.AssetPath(), Path("data/Assets/a"));

    homes.HomeClick(1);
    EXPECT_EQ(state.Settings().ReadString("HomeState", "1", ""), "1");
    EXPECT_EQ(Names(), (std::vector<std::string>{"c"}));
    EXPECT_EQ(homes.HomeCount(), 1);
    EXPECT_EQ(catalogue.Selected(), 0);  // nothing was selected: item 0 is
    EXPECT_EQ(HomePanelLook(state.Settings(), 1), THomeLook::Off);

    homes.HomeClick(1);
    EXPECT_EQ(state.Settings().ReadString("HomeState", "1", ""), "0");
    EXPECT_EQ(catalogue.Count(), 3);
    EXPECT_EQ(homes.HomeCount(), 2);

    homes.HomeClick(1);
    homes.HomeClick(2);  // the list is empty now
    EXPECT_EQ(catalogue.Count(), 0);
    EXPECT_EQ(SentTexts(ccNoAsset).size(), 1u);
}

TEST_F(Homes, InstalledTimesReadAndWrite) {
    struct Case {
        const char* text;
        bool readable;
    };
    const Case cases[] = {{"2011-03-04 10:20:30", true}, {"2011-02-30 10:20:30", false}, {"04/03/2011 10:20:30", false},
                          {"2011-03-04 10:20", false},   {"", false},                    {"2011-03-04 1a:20:30", false}};
    for (const Case& c : cases) EXPECT_EQ(ParseInstalled(c.text).has_value(), c.readable) << c.text;
    const DateTime t{2011, 3, 4, 10, 20, 30, 999};
    EXPECT_EQ(FormatInstalled(t), "2011-03-04 10:20:30");
    EXPECT_EQ(*ParseInstalled(FormatInstalled(t)), t.TotalMilliseconds() / 1000);
}

TEST_F(Homes, InstallCandidatesAreTheAssetsChangedSinceTheirLastInstall) {
    const std::string never = Asset("home/never");
    const std::string fresh = Asset("home/fresh");
    const std::string touched = Asset("home/touched");
    const std::string garbled = Asset("home/garbled");
    const std::string elsewhere = Asset("other/x");
    SetHome(1, Path("home"));
    homes.LoadHomeFolders(0);
    catalogue.AddDirectory(Path("other"));
    for (const std::string& f : {never, fresh, touched, garbled}) Touch(f, DateTime{2011, 3, 1, 12, 0, 0});

    clock.Set(2011, 3, 2, 9, 0, 0);
    homes.AssetsDropped({fresh, touched}, true);
    TMemIni log(NativePath(homes.InstallLogFile()));
    log.WriteString("Installed", garbled, "yesterday");
    log.UpdateFile();
    Touch(touched, DateTime{2011, 3, 2, 9, 0, 1});

    std::string alert;
    std::vector<std::string> candidates = homes.InstallCandidates(1, alert);
    std::sort(candidates.begin(), candidates.end());
    EXPECT_EQ(candidates, (std::vector<std::string>{garbled, never, touched}));
    EXPECT_EQ(alert, "");
    EXPECT_EQ(TMemIni(NativePath(homes.InstallLogFile())).ReadString("Installed", fresh, ""), "2011-03-02 09:00:00");

    // Right after installing them all, nothing is left to drag.
    clock.Set(2011, 3, 3, 8, 0, 0);
    homes.AssetsDropped(candidates, true);
    EXPECT_TRUE(homes.InstallCandidates(1, alert).empty());
    EXPECT_EQ(alert, "Nothing to install");
}

TEST(InstallLog, EveryFolderNameReadsBackAndAnUnreadableLogIsLeftAlone) {
    test::TempDir dir;
    const std::vector<std::string> folders = {"/home/me/a=b", "/home/me/[x]", ";semi", "/trail ", "/plain"};
    TInstallLog log(dir / "log/install.ini");
    ASSERT_EQ(log.RecordInstalled(folders, DateTime{2011, 3, 2, 9, 0, 0}), "");
    const TMemIni read = log.Read();
    std::vector<std::string> keys;
    read.ReadSection("Installed", keys);
    EXPECT_EQ(keys, folders);
    for (const std::string& folder : folders)
        EXPECT_EQ(read.ReadString("Installed", folder, ""), "2011-03-02 09:00:00") << folder;

    ForceDirectories(dir / "folder.ini");  // a log that cannot be read
    TInstallLog unreadable(dir / "folder.ini");
    EXPECT_NE(unreadable.RecordInstalled({"/x"}, DateTime{2011, 3, 2, 9, 0, 0}), "");
    EXPECT_TRUE(DirectoryExists(dir / "folder.ini"));
}

TEST_F(Homes, ACancelledDropWritesNothingAndEditingHomesDoNotDrag) {
    const std::string a = Asset("home/a");
    SetHome(1, Path("home"));
    SetHome(2, Path("editing"));
    homes.LoadHomeFolders(0);
    homes.AssetsDropped({a}, false);
    EXPECT_FALSE(FileExists(homes.InstallLogFile()));
    std::string alert;
    EXPECT_TRUE(homes.InstallCandidates(2, alert).empty());
    EXPECT_EQ(alert, "Cannot drag from this folder");
    state.Settings().WriteString("HomeState", "1", "1");
    EXPECT_TRUE(homes.InstallCandidates(1, alert).empty());  // a home switched off drags nothing
}

TEST_F(Homes, AutoscanAddsNewAssetsOneLevelDown) {
    Asset("home/old");
    SetHome(1, Path("home"));
    homes.LoadHomeFolders(0);
    Asset("home/new");
    Asset("home/new-copytemp");
    Asset("home/deeper/down");
    fs::create_directories(Path("home/empty"));

    EXPECT_EQ(homes.AutoscanHomeFolder(Path("home")), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"new", "old"}));
    EXPECT_EQ(homes.AutoscanHomeFolder(Path("home")), 0);

    state.Settings().WriteString("Options", "Autoscan", "0");
    Asset("home/later");
    EXPECT_EQ(homes.AutoscanHomeFolder(Path("home")), 0);

    // A manual scan takes what the autoscan leaves.
    catalogue.AddDirectory(Path("home"));
    EXPECT_TRUE(catalogue.Holds(Path("home/new-copytemp")));
    EXPECT_TRUE(catalogue.Holds(Path("home/deeper/down")));
}

TEST_F(Homes, AMonitorEventPurgesVanishedAssetsAndScansItsHome) {
    Asset("home/a");
    Asset("home/b");
    SetHome(1, Path("home"));
    homes.LoadHomeFolders(0);
    ASSERT_EQ(state.AssetPath(), Path("home/a"));
    fs::remove_all(Path("home/a"));
    Asset("home/c");
    bus.sent.clear();
    EXPECT_TRUE(homes.AssetMonitorNotify(Path("home") + "/"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "c"}));
    // The vanished current asset is not left current.
    EXPECT_EQ(state.AssetPath(), Path("home/b"));
    EXPECT_EQ(SentTexts(ccSelectAsset), (std::vector<std::string>{Path("home/b")}));
    EXPECT_GT(events.rebuilt, 0);
}

TEST_F(Homes, TheWatchSetHoldsHomesParentsAndHomeSubFoldersStillWithoutConfig) {
    Asset("home/a");
    Asset("lib/x/b");
    fs::create_directories(Path("home/filling"));
    SetHome(1, Path("home"));
    SetHome(2, Path("off"));
    state.Settings().WriteString("HomeState", "2", "1");
    homes.LoadHomeFolders(0);
    catalogue.AddDirectory(Path("lib"));
    TAssetMonitorModel model(state, catalogue);
    EXPECT_TRUE(model.Rebuild());
    EXPECT_FALSE(model.Rebuild());
    EXPECT_EQ(model.Folders(), (std::vector<std::string>{Path("home"), Path("lib/x")}));
    std::vector<std::string> watched;
    for (const auto& w : model.WatchSet()) watched.push_back(w.path + " <- " + w.root);
    EXPECT_EQ(watched, (std::vector<std::string>{Path("home") + " <- " + Path("home"), Path("lib/x") + " <- " + Path("lib/x"),
                                                 Path("home/filling") + " <- " + Path("home")}));
    EXPECT_TRUE(model.AddParentOf(Path("new/place/asset")));
    EXPECT_FALSE(model.AddParentOf(Path("NEW/place/other")));
}

}  // namespace
}  // namespace kelvarn
