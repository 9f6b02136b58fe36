// The settings dialog in the program as src/app/ wires it: the start-up effects of its settings, the
// Options rows and the About row, and the setup check at activation.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/ui/AssetFrames.h"
#include "shell/Macros.h"
#include "shell/OptionSettings.h"
#include "shell/SettingsKeys.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Options.h"
#include "shell/ui/Viewer.h"

namespace kelvarn {
namespace {

// Runs a row while a timer answers the modal dialog it opens: records the page shown, then OK or
// Cancel.
std::string RunRowAnswering(test::ProgramTestBed& bed, int number, bool ok) {
    std::string page;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<TOptions*>(QApplication::activeModalWidget());
        if (!dialog) return;
        page = dialog->Pages()->currentWidget()->objectName().toStdString();
        if (ok) dialog->OKClick();
        else dialog->CancelClick();
    });
    answer.start();
    bed.Main().Dispatcher().ExecuteMenuCommand(number, "");
    return page;
}

TEST(OptionsWiring, StartupFillsPathsAndBuildsBeforeTheTrainzBuildMenu) {
    test::ProgramTestBed bed;
    bed.Start("[Paths]\r\nTrainz=/games/trainz\r\nBuild=2.9\r\n");
    EXPECT_EQ(ExpandMacros(bed.state, "%trainz%"), "/games/trainz");
    EXPECT_EQ(bed.state.DefaultBuild(), 29);
    // The built-in builds were there when the menu was filled.
    QMenu* menu = bed.Main().TopMenu("TrainzBuildMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_GT(menu->actions().size(), 30);
    EXPECT_EQ(bed.state.Settings().ReadString("default", "1", ""), keys::DefaultTool.def);
}

TEST(OptionsWiring, RowsOpenTheirPageOkFlushesCancelDoesNot) {
    test::ProgramTestBed bed;
    bed.Start("[Paths]\r\nTrainz=/t\r\nBuild=2.9\r\n");
    const std::string file = bed.state.Settings().FileName();
    struct Row {
        int number;
        const char* page;
    };
    for (const Row& row : {Row{1401, "OptionsTab"}, Row{1402, "UserDataTab"}, Row{1403, "ToolsTab"}, Row{1404, "PathTab"}}) {
        SCOPED_TRACE(row.number);
        bed.state.Settings().WriteString("Test", "Row", std::to_string(row.number));
        const std::string before = test::ReadBytes(file);
        EXPECT_EQ(RunRowAnswering(bed, row.number, false), row.page);
        EXPECT_EQ(test::ReadBytes(file), before);  // Cancel writes nothing
        EXPECT_EQ(RunRowAnswering(bed, row.number, true), row.page);
        EXPECT_NE(test::ReadBytes(file).find("Row=" + std::to_string(row.number)), std::string::npos);
    }
    bed.state.Settings().WriteString("Test", "Row", "1503");
    const std::string before = test::ReadBytes(file);
    EXPECT_EQ(RunRowAnswering(bed, 1503, false), "AboutTab");
    EXPECT_EQ(test::ReadBytes(file), before);
}

// OK brings the caption up to date and keeps the asset in it.
TEST(OptionsWiring, OkKeepsTheAssetInTheCaption) {
    test::ProgramTestBed bed;
    test::WriteBytes(bed.AssetRoot() + "/shed/config.txt", "kind \"scenery\"\r\nkuid <kuid:1:1>\r\n");
    bed.Start("[Paths]\r\nTrainz=/t\r\nBuild=2.9\r\n");
    bed.windows->Assets().Catalogue().SelectAsset(0);
    const QString asset = QString::fromStdString(bed.state.AssetPath());
    ASSERT_FALSE(asset.isEmpty());
    ASSERT_TRUE(bed.Main().windowTitle().contains(asset)) << bed.Main().windowTitle().toStdString();
    RunRowAnswering(bed, 1401, true);
    EXPECT_TRUE(bed.Main().windowTitle().contains(asset)) << bed.Main().windowTitle().toStdString();
}

TEST(OptionsWiring, ActivationShowsThePathsPageWhenTheSetupIsIncomplete) {
    test::ProgramTestBed bed;
    bed.Start();
    ConnectOptions(bed.Main(), bed.windows->Options(), &bed.windows->Viewer());
    std::string page;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = dynamic_cast<TOptions*>(QApplication::activeModalWidget())) {
            page = dialog->Pages()->currentWidget()->objectName().toStdString();
            dialog->CancelClick();
        }
    });
    answer.start();
    ASSERT_TRUE(bed.Main().CheckSetup);
    EXPECT_FALSE(bed.Main().CheckSetup());
    EXPECT_EQ(bed.messages.texts.back(), kSetupMessage);
    bed.Main().ShowSetupDialog();
    EXPECT_EQ(page, "PathTab");
    // It said it would not come back, and the settings file keeps that for the next start.
    const std::size_t said = bed.messages.texts.size();
    EXPECT_TRUE(bed.Main().CheckSetup());
    EXPECT_EQ(bed.messages.texts.size(), said);
    EXPECT_NE(test::ReadBytes(bed.state.Settings().FileName()).find("SetupShown=1"), std::string::npos);

    bed.state.Paths.Trainz = "/t";
    bed.state.Paths.Build = "2.9";
    EXPECT_TRUE(bed.Main().CheckSetup());
}

}  // namespace
}  // namespace kelvarn
