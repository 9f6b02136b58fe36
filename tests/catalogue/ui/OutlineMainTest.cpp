#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "OutlineTestBed.h"

namespace kelvarn {
namespace {

using test::MainBed;

TEST(OutlineInMainWindow, CtrlSWritesTheProgramsLayout) {
    MainBed bed;
    const std::string folder = bed.Fixture("boxcar");
    bed.state.SetAssetPath(folder);
    ASSERT_EQ(bed.outline->LoadConfig(folder), "");
    bed.document.ToggleMark(bed.Node("bogey"), tmComment, false);
    bed.main->SetActiveViewer(TFrameId::Image);
    EXPECT_TRUE(bed.main->HandleKey(Qt::Key_S, Qt::ControlModifier, bed.outline->MainControl()));
    EXPECT_EQ(test::ReadBytes(folder + "/config.txt"),
              test::ReadBytes(std::string(KELVARN_TEST_DATA) + "/outline/boxcar-saved.txt"));
    EXPECT_FALSE(bed.document.Modified());
    // The status bar shows the line count (upper-cased, as panel 3 shows its texts) and the kind.
    EXPECT_EQ(bed.main->StatusPanel(3)->text(), "CONFIG: 14 LINES");
    EXPECT_EQ(bed.main->StatusPanel(4)->text(), "TRAINCAR");
}

TEST(OutlineInMainWindow, EditsReclassifyAndUndoRefreshesTheBuild) {
    MainBed bed;
    std::vector<std::string> refreshed;
    bed.main->RefreshTrainzBuild = [&](const std::string& reason) { refreshed.push_back(reason); };
    std::vector<std::string> kinds;
    bed.hooks.LoadSpec = [&](TOutlineDocument&, const std::string& kind) { kinds.push_back(kind); };
    ASSERT_EQ(bed.outline->LoadConfig(bed.Fixture("boxcar")), "");
    EXPECT_EQ(kinds, std::vector<std::string>{"traincar"});
    // Deleting trainz-build re-classifies the asset (206) and refreshes the build.
    bed.document.PushUndo();
    bed.document.DeleteByPath("trainz-build", false);
    EXPECT_EQ(kinds.size(), 2u);  // 206
    EXPECT_EQ(refreshed.size(), 2u);  // 206 and the deleted trainz-build
    bed.main->Bus().SendCommand(ccUndo, "");
    EXPECT_NE(bed.Node("trainz-build"), nullptr);
    EXPECT_EQ(kinds.size(), 3u);
    EXPECT_GE(refreshed.size(), 3u);
    // The main menu's outline rows.
    bed.main->Dispatcher().ExecuteMenuCommand(1101, "Increment KUID");
    EXPECT_TRUE(StartsWith(bed.outline->Alert()->Text(), "Your UserID is unknown"));
    bed.outline->Alert()->Close();
    bed.main->Dispatcher().ExecuteMenuCommand(2314, "OutlineView");  // the root is selected: nothing
    EXPECT_NE(bed.document.Root(), nullptr);
}

}  // namespace
}  // namespace kelvarn
