// "Repair Textures" on a copy of a real asset, as a new user would run it, on a real display (Xvfb):
// the report shows in the log viewer. The picture is kept in the build tree for a person to look at.
#include <gtest/gtest.h>

#include <QTest>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/ui/AssetFrames.h"
#include "shell/Files.h"
#include "shell/ReportLog.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"

namespace kelvarn {
namespace {

TEST(RepairScreenshot, RepairTexturesOnARealAssetShowsItsReport) {
    const auto corpus = test::ProgramTestBed::Corpus("basemap-maker");
    if (corpus.empty()) GTEST_SKIP() << "no corpus";
    test::ProgramTestBed bed(Answer::No);
    bed.CopyAsset(corpus / "Assets");
    const auto before = test::SnapshotFolder(bed.AssetRoot());
    bed.Start("DisplayLog=1\r\n");
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 1);
    list.SelectAsset(0);
    QApplication::processEvents();

    bed.Main().MenuItem("mRepairTextures")->trigger();
    QApplication::processEvents();
    TViewer& viewer = bed.windows->Viewer();
    ASSERT_TRUE(viewer.isVisible());
    std::string log;
    ReadFileBytes(LogFileName(bed.state), log);
    EXPECT_NE(log.find("Repair Textures\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("basemap.jpg"), std::string::npos) << log;  // named by the descriptor, not there
    // Whatever changed was backed up first.
    const auto after = test::SnapshotFolder(bed.AssetRoot());
    for (const std::string& change : test::Differences(before, after)) EXPECT_FALSE(StartsWith(change, "removed")) << change;

    viewer.resize(900, 500);
    QTest::qWait(100);
    ASSERT_TRUE(viewer.grab().save(KELVARN_SCREENSHOT));
}

}  // namespace
}  // namespace kelvarn
