#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "OutlineTestBed.h"
#include "catalogue/AssetTestSupport.h"
#include "shell/Text.h"

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
    // The status bar shows the line count (target 3, the third panel) and the kind (target 4, the
    // fourth panel, in capitals); scans and reports keep the last, widest panel.
    EXPECT_EQ(bed.main->StatusPanel(2)->text(), "Config: 14 lines");
    EXPECT_EQ(bed.main->StatusPanel(3)->text(), "TRAINCAR");
}

TEST(OutlineInMainWindow, EditsReclassifyAndUndoRefreshesTheBuild) {
    MainBed bed;
    std::vector<std::string> refreshed;
    bed.main->RefreshTrainzBuild = [&](const std::string& reason) { refreshed.push_back(reason); };
    const std::vector<std::string>& kinds = bed.hooks.kinds;
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

TEST(OutlineInMainWindow, TheCatalogueComesFromTheCallbacksAndTagList) {
    MainBed bed;
    test::WriteBytes(bed.dir / "bin/tags.xml", test::ReadBytes(std::string(KELVARN_TEST_DATA) + "/tagspec/tags.xml"));
    ASSERT_EQ(bed.outline->LoadConfig(bed.Fixture("boxcar")), "");
    // 249 shows nothing while the catalogue holds no tag definitions.
    bed.main->Bus().SendCommand(ccShowTagsKeep, "scenery");
    EXPECT_FALSE(bed.xml->Catalogue().Loaded());
    // 223 asks the file viewers to save first.
    bed.log.calls.clear();
    bed.main->Bus().SendCommand(ccShowTags, "scenery");
    EXPECT_EQ(bed.log.Matching("QuerySave "),
              (std::vector<std::string>{"Text", "TextureDescriptor", "LevelOfDetail", "Image"}));
    EXPECT_EQ(bed.xml->Catalogue().Kind(), "scenery");
    EXPECT_EQ(bed.main->ActiveViewer(), TFrameId::TagCatalogue);
    EXPECT_EQ(bed.main->ViewerInFront(), bed.xml);
    // Tag List: the config's own kind, without asking anyone.
    bed.log.calls.clear();
    bed.main->Dispatcher().ExecuteMenuCommand(1102, "Tag List");
    EXPECT_EQ(bed.xml->Catalogue().Kind(), "traincar");
    EXPECT_TRUE(bed.log.Matching("QuerySave ").empty());
    bed.main->Bus().SendCommand(ccShowTagsKeep, "scenery");
    EXPECT_EQ(bed.xml->Catalogue().Kind(), "scenery");
}

TEST(OutlineInMainWindow, HelpersAndHelpLinksOfTheMainOutline) {
    MainBed bed;
    test::FakeRunner runner;
    bed.state.Runner = &runner;
    bed.state.Settings().WriteString("Wiki", "URL", "https://wiki.test/w");
    std::string tags = test::ReadBytes(std::string(KELVARN_TEST_DATA) + "/tagspec/tags.xml");
    tags = ReplaceAll(tags, "explains them\"", "explains them@KIND_Page#$\"");
    test::WriteBytes(bed.dir / "bin/tags.xml", tags);
    ASSERT_EQ(bed.outline->LoadConfig(bed.Fixture("boxcar")), "");

    // Help on Tag is offered where the definition names a page, and opens it.
    bed.outline->Select(bed.Node("kind"));
    bed.outline->ValidateMenu();
    EXPECT_TRUE(bed.outline->Action("mHelpLink")->isVisible());
    bed.outline->Action("mHelpLink")->trigger();
    EXPECT_EQ(runner.opened, std::vector<std::string>{"https://wiki.test/w/KIND_Page#kind"});
    bed.outline->Select(bed.Node("description"));
    bed.outline->ValidateMenu();
    EXPECT_FALSE(bed.outline->Action("mHelpLink")->isVisible());

    // Clear Markers, the dependency request (twice: one set) and Open in Driver.
    bed.document.SetNodeFlags(bed.Node("bogey"), nfError | nfTagged, 0);
    bed.main->Dispatcher().ExecuteMenuCommand(1703, "Clear Markers");
    EXPECT_EQ(bed.Node("bogey")->Flags(), int(nfTagged));
    bed.main->Bus().SendCommand(ccListDependencies, "GridView");
    bed.main->Bus().SendCommand(ccListDependencies, "GridView");
    EXPECT_EQ(bed.state.DependencyKuids, std::vector<std::string>{"<kuid:-1:42004201>"});
    bed.state.Paths.Trainz = bed.dir / "trainz";
    bed.main->Bus().SendCommand(2115, "AssetList");
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_TRUE(EndsWith(runner.runs[0].program, "trainz.exe"));
    EXPECT_EQ(runner.runs[0].arguments, std::vector<std::string>{"-driver=<kuid:604117:1001>"});
}

TEST(OutlineInMainWindow, EveryOutlineNumberIsKnownAndNoOther) {
    MainBed bed;
    ASSERT_EQ(bed.outline->LoadConfig(bed.Fixture("boxcar")), "");
    bed.messages.messages.clear();
    // The rows of later parts reach the frame's hooks, which do nothing until set.
    for (int number : {2301, 2302, 2307, 2308, 2309, 2310, 2311, 2312, 2313, 2316, 2317, 2318, 2319, 2325, 2326,
                       2327, 2329, 2330, 2350, 2351, 2356, 2361})
        bed.main->Dispatcher().ExecuteMenuCommand(number, "OutlineView");
    EXPECT_TRUE(bed.messages.messages.empty()) << bed.messages.messages.front();
    // Open in Browser on the root: its empty value is no address.
    bed.main->Dispatcher().ExecuteMenuCommand(2328, "OutlineView");
    EXPECT_EQ(bed.messages.messages, std::vector<std::string>{"Link empty or invalid: "});
    bed.messages.messages.clear();
    for (int number : {2320, 2324, 2331, 2357, 2362}) bed.main->Dispatcher().ExecuteMenuCommand(number, "OutlineView");
    EXPECT_EQ(bed.messages.messages,
              (std::vector<std::string>{"Undefined Command Token: 2320", "Undefined Command Token: 2324",
                                        "Undefined Command Token: 2331", "Undefined Command Token: 2357",
                                        "Undefined Command Token: 2362"}));
    int inserted = 0;
    bed.outline->InsertTag = [&](TOutlineNode*, bool asChild) { inserted += asChild ? 10 : 1; };
    bed.outline->Select(bed.Node("mesh-table"));
    bed.main->Dispatcher().ExecuteMenuCommand(2308, "OutlineView");
    bed.main->Dispatcher().ExecuteMenuCommand(2311, "OutlineView");
    EXPECT_EQ(inserted, 11);
}

}  // namespace
}  // namespace kelvarn
