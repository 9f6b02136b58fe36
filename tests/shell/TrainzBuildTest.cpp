// The trainz-build state: known builds, the three sources of the active build, captions and the alert.
#include <gtest/gtest.h>

#include <string>

#include "shell/CommandBus.h"
#include "shell/OptionSettings.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/TrainzBuild.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

struct BuildBed {
    TProgramState state;
    test::RecordingCommandBus bus;
    TTrainzBuildState builds{state};

    explicit BuildBed(bool assetBuild = false, bool withBuilds = true) {
        state.CommandTarget = &bus;
        TMemIni& ini = state.Settings();
        if (withBuilds) {
            ini.WriteString("Builds", "2.5", "2006");
            ini.WriteString("Builds", "2.9", "2009");
            ini.WriteString("Builds", "3.5", "2012");
        }
        ini.WriteString("Paths", "Build", "2.5");
        ini.WriteBool("Paths", "AssetBuild", assetBuild);
        builds.BuildMenu();
        builds.Refresh("Init", false, "");
    }
};

TEST(TrainzBuildState, KnownBuildsAreKeysOfBuilds) {
    BuildBed bed;
    struct Case {
        const char* text;
        bool known;
        const char* after;
    } cases[] = {
        {"2.5", true, "2.5"},  {"2.50", true, "2.5"}, {"2.9", true, "2.9"}, {"&3.5", true, "3.5"},
        {"3.0", false, "3.0"}, {"", false, ""},       {"abc", false, "abc"}, {"29", false, "29"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(IsKnownBuild(bed.state.Settings(), text), c.known) << c.text;
        EXPECT_EQ(text, c.after) << c.text;
    }
}

TEST(TrainzBuildState, MenuItemsAndStartUp) {
    BuildBed bed;
    ASSERT_EQ(bed.builds.KnownBuilds().size(), 3u);
    EXPECT_EQ(bed.builds.KnownBuilds()[1].Caption, "2.9 2009");
    EXPECT_EQ(bed.builds.KnownBuilds()[1].Build, 29);
    EXPECT_EQ(bed.builds.Checked(), TTrainzBuildState::kDefaultBuild);
    EXPECT_EQ(bed.builds.DefaultBuildCaption(), "Default Build (2.5)");
    EXPECT_EQ(bed.builds.MenuCaption(), "Trainz-Build 2.5");
    EXPECT_EQ(bed.state.ActiveBuild(), 25);
    EXPECT_EQ(bed.state.DefaultBuild(), 25);

    BuildBed asset(true);
    EXPECT_EQ(asset.builds.Checked(), TTrainzBuildState::kCurrentAsset);
    EXPECT_EQ(asset.builds.CurrentAssetCaption(), "Current Asset (2.5)");
}

TEST(TrainzBuildState, KeysThatAreNoBuildAreNotOffered) {
    BuildBed bed;
    bed.state.Settings().WriteString("Builds", "Notes", "my list");
    bed.state.Settings().WriteString("Builds", "0", "none");
    // Numbers, but not in the form a build is looked up by: choosing one would make an unknown build.
    bed.state.Settings().WriteString("Builds", "1e1", "Trainz-Build 10.0");
    bed.state.Settings().WriteString("Builds", "3.50", "2012");
    bed.builds.BuildMenu();
    ASSERT_EQ(bed.builds.KnownBuilds().size(), 3u);
    for (const TKnownBuild& known : bed.builds.KnownBuilds()) {
        EXPECT_GT(known.Build, 0) << known.Caption;
        std::string text = FormatBuild(known.Build);
        EXPECT_TRUE(IsKnownBuild(bed.state.Settings(), text)) << known.Caption;
    }
}

TEST(TrainzBuildState, CurrentAssetTakesTheAssetsBuildOrTheDefault) {
    struct Case {
        bool shown;
        const char* value;
        int active;
        bool alert;
    } cases[] = {
        {true, "2.9", 29, false},  {true, "2.50", 25, false}, {true, "3.5", 35, false},
        {true, "3.0", 25, true},   {true, "", 25, true},      {true, "two", 25, true},
        {false, "", 25, false},
    };
    for (const Case& c : cases) {
        BuildBed bed(true);
        const std::string alert = bed.builds.Refresh("", c.shown, c.value);
        EXPECT_EQ(bed.state.ActiveBuild(), c.active) << c.value;
        EXPECT_EQ(alert, c.alert ? "Asset trainz-build tag is invalid" : "") << c.value;
        EXPECT_EQ(bed.builds.CurrentAssetCaption(), "Current Asset (" + FormatBuild(c.active) + ")");
        EXPECT_EQ(bed.builds.MenuCaption(), "Trainz-Build " + FormatBuild(c.active));
    }

    // A build text as the reason stands for the asset's tag.
    BuildBed bed(true);
    EXPECT_EQ(bed.builds.Refresh("3.5", true, "2.5"), "");
    EXPECT_EQ(bed.state.ActiveBuild(), 35);
    EXPECT_EQ(bed.builds.Refresh("3.1", true, "2.5"), "Asset trainz-build tag is invalid");
    EXPECT_EQ(bed.state.ActiveBuild(), 25);
}

TEST(TrainzBuildState, AFixedBuildSurvivesLaterAssets) {
    BuildBed bed(true);
    EXPECT_EQ(bed.builds.Select(2, true, "2.9"), "");
    EXPECT_EQ(bed.state.ActiveBuild(), 35);
    EXPECT_EQ(bed.builds.Checked(), 2);
    for (const char* value : {"2.9", "", "junk"}) {
        EXPECT_EQ(bed.builds.Refresh("", true, value), "");
        EXPECT_EQ(bed.state.ActiveBuild(), 35) << value;
    }
    EXPECT_EQ(bed.builds.MenuCaption(), "Trainz-Build 3.5");

    // Back to the default build, then to the asset's own.
    bed.builds.Select(TTrainzBuildState::kDefaultBuild, true, "2.9");
    EXPECT_EQ(bed.state.ActiveBuild(), 25);
    bed.builds.Select(TTrainzBuildState::kCurrentAsset, true, "2.9");
    EXPECT_EQ(bed.state.ActiveBuild(), 29);
    // An item that does not exist changes nothing.
    EXPECT_EQ(bed.builds.Select(7, true, "3.5"), "");
    EXPECT_EQ(bed.builds.Checked(), TTrainzBuildState::kCurrentAsset);
}

TEST(TrainzBuildState, WithoutKnownBuildsEveryAssetIsInvalid) {
    BuildBed bed(true, false);
    EXPECT_TRUE(bed.builds.KnownBuilds().empty());
    for (const char* value : {"2.5", "2.9", ""}) {
        EXPECT_EQ(bed.builds.Refresh("", true, value), "Asset trainz-build tag is invalid") << value;
        EXPECT_EQ(bed.state.ActiveBuild(), 25);
    }
}

TEST(TrainzBuildState, EveryRefreshSendsTheWindowCaption) {
    BuildBed bed;
    bed.state.SetAssetPath("/assets/boxcar");
    bed.bus.sent.clear();
    bed.builds.Refresh("", true, "2.9");
    ASSERT_EQ(bed.bus.sent.size(), 1u);
    EXPECT_EQ(bed.bus.sent[0], (std::pair<int, std::string>{ccStatusText, "-1|/assets/boxcar"}));
}

// A default build that reads as no build would judge every asset at build 0.0: the first-start default
// stands in for it, and start-up says so.
TEST(TrainzBuildState, AnUnreadableDefaultBuildIsReportedAndTheFirstStartDefaultUsed) {
    struct Case {
        const char* stored;
        const char* said;
        const char* chosen;  // what the settings dialog and the setup check see
    } cases[] = {
        {"abc", "The default build \"abc\" is not a build number (Build in section Paths): 2.5 is used", "2.5"},
        {"0", "The default build \"0\" is not a build number (Build in section Paths): 2.5 is used", "2.5"},
        {"", "No default build is set (Build in section Paths): 2.5 is used", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        BuildBed bed;
        bed.state.Settings().WriteString("Paths", "Build", c.stored);
        EXPECT_EQ(bed.builds.Refresh("Init", false, ""), c.said);
        EXPECT_EQ(bed.state.DefaultBuild(), 25);
        EXPECT_EQ(bed.state.ActiveBuild(), 25);
        EXPECT_EQ(bed.builds.DefaultBuildCaption(), "Default Build (2.5)");
        EXPECT_EQ(bed.builds.MenuCaption(), "Trainz-Build 2.5");

        bed.state.SetDefaultBuild(0);
        ApplyOptionSettings(bed.state);
        EXPECT_EQ(bed.state.DefaultBuild(), 25);
        EXPECT_EQ(bed.state.Paths.Build, c.chosen);
    }
    BuildBed readable;
    readable.state.Settings().WriteString("Paths", "Build", "3.50");
    EXPECT_EQ(readable.builds.Refresh("Init", false, ""), "");
    EXPECT_EQ(readable.state.DefaultBuild(), 35);
}

}  // namespace
}  // namespace kelvarn
