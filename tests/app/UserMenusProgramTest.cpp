// The user menus as src/app/ wires them: a user item and a link reach the file list's tool runner,
// and the Scripts menu lists the scripts embedded in the shown config.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/ui/AssetFrames.h"
#include "shell/Text.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {
namespace {

const std::string kBar(kBrokenBar);

TEST(UserMenusProgram, ItemsAndLinksRunToolsAndEmbeddedScriptsAreListed) {
    test::ProgramTestBed bed;
    test::WriteBytes(bed.AssetRoot() + "/scripted/config.txt",
                     "kuid <kuid:1234:5678>\r\nkind \"scenery\"\r\nextensions\r\n{\r\n  kelvarn-604117\r\n  {\r\n"
                     "    scripts\r\n    {\r\n      tidy\r\n      {\r\n        1 \"-msg tidy\"\r\n      }\r\n    }\r\n"
                     "  }\r\n}\r\n");
    bed.Start("[Tools-Menu]\r\n4=Hello" + kBar + kBar + "hello-tool" + kBar + "1" + kBar + "0" + kBar + "0" + kBar +
              "0" + kBar + "\r\n[Links]\r\n1=Forum" + kBar + kBar + "forum-browser" + kBar + "1" + kBar + "0" + kBar +
              "0" + kBar + "0" + kBar + "\r\n");
    QAction* hello = nullptr;
    for (QAction* a : bed.Main().TopMenu("ToolsMainMenu")->actions())
        if (a->text() == "Hello") hello = a;
    ASSERT_NE(hello, nullptr);
    hello->trigger();
    bed.Main().Bus().SendCommand(ccOpenLink, "Forum");
    ASSERT_EQ(bed.runner.runs.size(), 2u);
    EXPECT_EQ(bed.runner.runs[0].program, "hello-tool");
    EXPECT_EQ(bed.runner.runs[1].program, "forum-browser");

    QAction* embedded = bed.Main().MenuItem("mRunEmbedded");
    ASSERT_NE(embedded, nullptr);
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 1);
    list.SelectAsset(0);
    QApplication::processEvents();
    bed.Main().Dispatcher().ValidateMenu(1600);
    EXPECT_TRUE(embedded->isVisible());
    ASSERT_EQ(embedded->menu()->actions().size(), 1);
    EXPECT_EQ(embedded->menu()->actions()[0]->text(), "tidy");
    for (const std::string& text : bed.messages.texts) EXPECT_EQ(text.find("Undefined"), std::string::npos) << text;
}

}  // namespace
}  // namespace kelvarn
