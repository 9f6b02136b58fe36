// Script edits as a user sees them in the main window: what a command changes inside a collapsed
// container comes into view, and -expand opens the whole subtree.
#include <QPlainTextEdit>
#include <QTreeView>
#include <cstdlib>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/Files.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"
#include "media/ui/TextView.h"

namespace kelvarn {
namespace {

void RunTyped(test::ProgramTestBed& bed, const std::string& script) {
    TViewer& viewer = bed.windows->Viewer();
    bed.Main().MenuItem("mExecScript")->trigger();  // Execute Script Commands
    ASSERT_TRUE(viewer.isVisible());
    auto* memo = viewer.TextView().MainControl()->findChild<QPlainTextEdit*>();
    if (!memo) memo = qobject_cast<QPlainTextEdit*>(viewer.TextView().MainControl());
    ASSERT_NE(memo, nullptr);
    memo->setPlainText(QString::fromStdString(script));
    viewer.ButtonClick(viewer.OkButton());
    QApplication::processEvents();
    viewer.ButtonClick(viewer.ClearButton());  // "Close"
    QApplication::processEvents();
}

TEST(ScriptReveal, ChangedNodesComeIntoViewAndExpandOpensTheSubtree) {
    test::ProgramTestBed bed;
    ForceDirectories(bed.AssetRoot() + "/tower");
    test::WriteBytes(bed.AssetRoot() + "/tower/config.txt",
                     "kuid <kuid:1:7>\r\nkind \"scenery\"\r\nusername \"Tower\"\r\n"
                     "mesh-table {\r\n  default {\r\n    mesh \"tower.im\"\r\n    auto-create 1\r\n  }\r\n"
                     "  lod {\r\n    mesh \"far.im\"\r\n    effects {\r\n      smoke {\r\n        kind \"smoke\"\r\n"
                     "      }\r\n    }\r\n  }\r\n}\r\nthumbnails {\r\n  0 {\r\n    image \"t.jpg\"\r\n  }\r\n}\r\n");
    bed.Start();
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 1);
    list.SelectAsset(0);
    QApplication::processEvents();
    TOutlineView& view = bed.windows->Outline();
    TOutlineDocument& doc = view.Document();
    TOutlineNode* meshTable = doc.FindNodeByPath("config.txt\\mesh-table\\");
    ASSERT_NE(meshTable, nullptr);
    view.CollapseNode(meshTable);
    view.CollapseNode(doc.FindNodeByPath("config.txt\\thumbnails\\"));
    QApplication::processEvents();
    const TOutlineNode* autoCreate = doc.FindNodeByPath("config.txt\\mesh-table\\default\\auto-create");
    ASSERT_NE(autoCreate, nullptr);
    ASSERT_FALSE(view.IsVisibleRow(autoCreate));

    RunTyped(bed, "-update|mesh-table\\default\\auto-create|0\n-expand|mesh-table\\lod\\\n");

    autoCreate = doc.FindNodeByPath("config.txt\\mesh-table\\default\\auto-create");
    ASSERT_NE(autoCreate, nullptr);
    EXPECT_EQ(doc.GetValueByPath("config.txt\\mesh-table\\default\\auto-create"), "0");
    EXPECT_TRUE(view.IsVisibleRow(autoCreate));
    // The subtree -expand names is open to its last level; a sibling the script did not touch stays
    // as it was.
    EXPECT_TRUE(view.IsFullyExpanded(doc.FindNodeByPath("config.txt\\mesh-table\\lod\\")));
    EXPECT_TRUE(view.IsVisibleRow(doc.FindNodeByPath("config.txt\\mesh-table\\lod\\effects\\smoke\\kind")));
    EXPECT_FALSE(view.IsVisibleRow(doc.FindNodeByPath("config.txt\\thumbnails\\0\\")));

    if (const char* shots = std::getenv("KELVARN_SCREENSHOT_DIR"))
        bed.Main().grab().save(QString::fromStdString(std::string(shots) + "/script-reveal.png"));
}

}  // namespace
}  // namespace kelvarn
