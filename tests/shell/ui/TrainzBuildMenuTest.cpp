#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "shell/ProgramState.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/TrainzBuildMenu.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

// The menu over the trainz-build state, in a main window with recording frames.
class TrainzBuildMenu : public ::testing::Test {
protected:
    TrainzBuildMenu() {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/";
        test::WriteBytes(dir / "kelvarn.ini", "[Paths]\r\nBuild=2.5\r\n[Builds]\r\n2.5=2006\r\n2.9=2009\r\n3.5=2012\r\n");
        state.OpenSettings(dir / "kelvarn.ini");
        const test::RecordingFrames made(log);
        main = std::make_unique<TMain>(state, made.frames, std::vector<std::string>{});
        ConnectTrainzBuildMenu(*main, builds,
                               {[this] { return shown; }, [this] { return value; },
                                [this](const std::string& text) { alerts.push_back(text); }});
        menu = main->TopMenu("TrainzBuildMenu");
    }
    QAction* Item(const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text().startsWith(text)) return a;
        return nullptr;
    }
    QString Checked() {
        for (QAction* a : menu->actions())
            if (a->isChecked()) return a->text();
        return {};
    }

    test::TempDir dir;
    test::CallLog log;
    TProgramState state;
    TTrainzBuildState builds{state};
    std::unique_ptr<TMain> main;
    QMenu* menu = nullptr;
    bool shown = true;
    std::string value = "2.9";
    std::vector<std::string> alerts;
};

TEST_F(TrainzBuildMenu, ItemsFollowTheKnownBuildsAndDefaultIsChecked) {
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(Item("Current Asset"), nullptr);
    ASSERT_NE(Item("2.9 2009"), nullptr);
    EXPECT_EQ(menu->actions().size(), 6);  // two fixed items, a separator, three builds
    main->RefreshTrainzBuild("Init");
    EXPECT_EQ(Checked(), "Default Build (2.5)");
    EXPECT_EQ(menu->title(), "Trainz-Build 2.5");
    EXPECT_EQ(state.ActiveBuild(), 25);
}

// "&" in a build's name is a character of the name, not an access key; choosing the item still
// takes its build.
TEST_F(TrainzBuildMenu, AnAmpersandInABuildsNameShowsAsItIs) {
    state.Settings().WriteString("Builds", "3.7", "2012 SP1 & SP2");
    ConnectTrainzBuildMenu(*main, builds, {[this] { return shown; }, [this] { return value; }, nullptr});
    QAction* item = Item("3.7 ");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "3.7 2012 SP1 && SP2");
    item->trigger();
    EXPECT_EQ(state.ActiveBuild(), 37);
}

TEST_F(TrainzBuildMenu, CurrentAssetTakesTheAssetsBuildOrAlertsAndUsesTheDefault) {
    main->RefreshTrainzBuild("Init");
    Item("Current Asset")->trigger();
    EXPECT_EQ(state.ActiveBuild(), 29);
    EXPECT_EQ(menu->title(), "Trainz-Build 2.9");
    EXPECT_EQ(Checked(), "Current Asset (2.9)");
    value = "3.0";  // not a known build
    main->RefreshTrainzBuild("");
    EXPECT_EQ(state.ActiveBuild(), 25);
    EXPECT_EQ(alerts, std::vector<std::string>{"Asset trainz-build tag is invalid"});
}

TEST_F(TrainzBuildMenu, AFixedBuildSurvivesLaterAssets) {
    main->RefreshTrainzBuild("Init");
    Item("3.5 2012")->trigger();
    value = "2.9";
    main->RefreshTrainzBuild("");
    EXPECT_EQ(state.ActiveBuild(), 35);
    EXPECT_EQ(Checked(), "3.5 2012");
    EXPECT_TRUE(alerts.empty());
}

}  // namespace
}  // namespace kelvarn
