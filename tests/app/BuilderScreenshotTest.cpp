// The legacy-wagon sample repaired from the Repair and Tools menus as a new user would, on a real
// display (Xvfb): Create Mesh Table, Create Bogie Table, Add Groundplanes and Delete Obsolete Tags
// (keeping the legacy tag it asks about). The picture is kept in the build tree for a person to
// look at; the test checks the tables, the groundplane mesh and the messages.
#include <gtest/gtest.h>

#include <QSplitter>
#include <QTest>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/Files.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {
namespace {

TEST(BuilderScreenshot, LegacyWagonGetsItsTablesAndGroundplane) {
    test::ProgramTestBed bed(Answer::No);
    bed.CopyAsset(std::filesystem::path(KELVARN_SOURCE_DIR) / "resources/samples/legacy-wagon");
    bed.Start();
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 1);
    list.SelectAsset(0);
    QApplication::processEvents();

    TOutlineView& outline = bed.windows->Outline();
    std::string said;
    for (const char* item : {"mCreateMeshTable", "mUpdateBogies", "mGroundplanes", "mDeleteObsolete"}) {
        outline.Alert()->ShowAlert("");
        bed.Main().MenuItem(item)->trigger();
        QApplication::processEvents();
        const std::string text = outline.Alert()->Text();
        said += std::string(item) + ": " + (text.empty() ? std::string("done") : text) + "\n";
    }
    const TOutlineDocument& config = outline.Document();
    EXPECT_EQ(config.GetValueByPath("mesh-table\\default\\mesh"), "wagon.im") << said;
    EXPECT_EQ(config.GetValueByPath("bogeys\\0\\bogey"), "<kuid:-1:42004201>") << said;
    EXPECT_EQ(config.GetValueByPath("bogeys\\1\\reversed"), "1") << said;
    EXPECT_EQ(config.GetValueByPath("mesh-table\\groundplane\\mesh"), "groundplane.im") << said;
    EXPECT_TRUE(FileExists(bed.AssetRoot() + "/legacy-wagon/groundplane.im"));
    // Asked about the legacy tag, the user kept it.
    EXPECT_EQ(config.GetValueByPath("asset-filename"), "wagon") << said;

    outline.ExpandNode(config.Root());
    outline.Alert()->ShowAlert(said);
    // Room for the config, the groundplane entry in sight.
    if (auto* right = bed.Main().findChild<QSplitter*>("RightPanel")) right->setSizes({700, 80});
    outline.Select(config.FindNodeByPath("mesh-table\\groundplane\\mesh"));
    QApplication::processEvents();
    QTest::qWait(100);
    ASSERT_TRUE(bed.Main().grab().save(KELVARN_SCREENSHOT));
}

}  // namespace
}  // namespace kelvarn
