// The utility runner with real processes: the stand-in utility (tests/support/trainzutil-standin.sh)
// answers from a table each test writes, the program's own process runner starts it, and the asset
// list takes job 1's folder.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "catalogue/AssetTestSupport.h"
#include "catalogue/KuidMap.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/Tzu.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "media/ui/TextView.h"
#include "shell/ui/QtServices.h"
#include "shell/ui/Viewer.h"
#include "support/QtTestSupport.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

class StandIn : public ::testing::Test {
protected:
    StandIn() {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/program/";
        state.Paths.Trainz = dir / "trainz";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        state.Runner = &runner;
        state.Viewer = &viewer;
        state.Clock = &clock;
        state.Trash = &trash;
        state.Clipboard = &clipboard;
        test::WriteBytes(dir / "program/kelvarn.ini", "");
        state.OpenSettings(dir / "program/kelvarn.ini");
        fs::create_directories(dir / "program/bin");
        fs::create_directories(dir / "trainz/bin");
        fs::copy_file(KELVARN_SOURCE_DIR "/tests/support/trainzutil-standin.sh", Program());
        fs::permissions(Program(), fs::perms(0755));
        frames = std::make_unique<TAssetFrames>(state, kuids);
    }
    ~StandIn() override { unsetenv("KELVARN_STANDIN_MODE"); }

    std::string Program() const { return dir / "trainz/bin/TrainzUtil.exe"; }
    void Table(const std::string& text) { test::WriteBytes(dir / "trainz/bin/standin-table.txt", text); }
    // Each run's arguments, one list per run.
    std::vector<std::vector<std::string>> Runs() const {
        std::vector<std::vector<std::string>> runs;
        if (!fs::exists(dir / "trainz/bin/standin-args.log")) return runs;
        for (const std::string& line : SplitLines(test::ReadBytes(dir / "trainz/bin/standin-args.log"))) {
            if (line == "run")
                runs.emplace_back();
            else if (StartsWith(line, "arg=") && !runs.empty())
                runs.back().push_back(line.substr(4));
        }
        return runs;
    }
    void Request(int job, const std::string& argument) {
        frames->Tzu().TzuRequest(job, argument);
        Settle();
    }
    // Lets the 50 ms timer fire and the job end.
    void Settle() {
        for (int i = 0; i < 1000 && (frames->Tzu().Timer().isActive() || frames->Tzu().Runner().Running()); ++i)
            QTest::qWait(10);
    }
    std::vector<std::string> Alerts() const {
        std::vector<std::string> out;
        for (const auto& [code, text] : bus.sent)
            if (code == ccAlert) out.push_back(text);
        return out;
    }
    std::string Asset(const std::string& name) {
        const std::string folder = NativePath(dir / name);
        test::WriteBytes(folder + "/config.txt", "kind \"scenery\"\r\nkuid <kuid:1:2>\r\n");
        return folder;
    }

    test::TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    test::RecordingViewer viewer;
    test::FakeClock clock;
    test::FakeTrash trash;
    test::FakeClipboard clipboard;
    TQtProcessRunner runner;
    TKuidMap kuids;
    std::unique_ptr<TAssetFrames> frames;
};

constexpr const char* kInstalled = "status <kuid2:1:2:3>\t+ <kuid2:1:2:3> : eIDlmf : Caf\xC3\xA9 : bob\n";

TEST_F(StandIn, AssetDetailsFromTheUtility) {
    Table(std::string(kInstalled) + "status <kuid2:1:2:4>\t+ <kuid2:1:2:4> : ei : Gone : bob\n");
    Request(tjAssetDetails, "<KUID:1:2>");
    ASSERT_EQ(viewer.titles, (std::vector<std::string>{"Asset Details"}));
    EXPECT_EQ(viewer.texts[0], (std::vector<std::string>{"Latest Installed Version: <kuid2:1:2:3>", "Username: bob",
                                                         "Category: Caf\xC3\xA9", "", "- Not open for editing",
                                                         "- Locally installed", "- Available on DLS",
                                                         "- Not locally modified", "- All dependencies installed",
                                                         "- Error free"}));
    const auto runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{"@" + NativePath(frames->Tzu().Runner().BatchFile())}));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Output in Windows-1252 reads the same.
    setenv("KELVARN_STANDIN_MODE", "cp1252", 1);
    Request(tjAssetDetails, "<kuid:1:2>");
    ASSERT_EQ(viewer.texts.size(), 2u);
    EXPECT_EQ(viewer.texts[1][2], "Category: Caf\xC3\xA9");
}

TEST_F(StandIn, OpenForEditingScansAndSelectsTheAsset) {
    const std::string asset = Asset("editing/bridge");
    Table(std::string(kInstalled) + "edit <kuid2:1:2:3>\t+ <kuid2:1:2:3> : " + asset + "\n");
    // An unlisted KUID with the utility there: the dependency goes to job 1.
    frames->Catalogue().OpenDependency("<kuid:1:2>");
    Settle();
    ASSERT_EQ(frames->Catalogue().Count(), 1);
    EXPECT_EQ(frames->Catalogue().Entry(0).folder, asset);
    EXPECT_EQ(frames->Catalogue().Selected(), 0);
    EXPECT_EQ(state.AssetPath(), asset);
    const auto runs = Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1], (std::vector<std::string>{"edit", "<kuid2:1:2:3>"}));
    EXPECT_TRUE(Alerts().empty());

    // Installed, but the utility names no folder.
    Table(kInstalled);
    Request(tjOpenForEditing, "<kuid:1:2>");
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"Asset not found: <kuid:1:2>"}));
}

TEST_F(StandIn, CommitRevertAndSearchPassOneArgumentEach) {
    const std::string search = "a \"b\"; c  d";
    Table("searchbycategory " + search + "\t+ Iron bridge : <kuid:1:2>\n"
          "status <kuid:1:2>\t+ <kuid:1:2> : I : Bridges : ann\n");
    Request(tjCommit, "<kuid:1:2>");
    Request(tjRevert, "<kuid2:1:2:3>");
    clock.Set(2026, 12, 9);
    Request(tjCategorySearch, search);
    const auto runs = Runs();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0], (std::vector<std::string>{"commit", "<kuid:1:2>"}));
    EXPECT_EQ(runs[1], (std::vector<std::string>{"revert", "<kuid2:1:2:3>"}));
    EXPECT_EQ(runs[2], (std::vector<std::string>{"searchbycategory", search}));
    const std::string log = test::ReadBytes(dir / "program/log/Kelvarn(20261209).log");
    EXPECT_TRUE(ContainsStr(log, "Searching: " + search + ", 1 Item(s) found")) << log;
    EXPECT_TRUE(ContainsStr(log, "<kuid:1:2>\tann")) << log;
    EXPECT_EQ(frames->Tzu().Runner().SearchString(), search);
}

TEST_F(StandIn, GenerateKuidsFromTheRanges) {
    Table("userid\t77\n");
    state.Settings().WriteString("KUID-Range", "default", "500");
    state.Settings().WriteString("KUID-Range", "Bridges", "9000");
    Request(tjGenerateKuids, "");
    ASSERT_EQ(viewer.titles, (std::vector<std::string>{"Auto Generated KUID"}));
    EXPECT_EQ(viewer.texts[0], (std::vector<std::string>{"default: \t<kuid:77:500>", "Bridges: \t<kuid:77:9000>"}));
    EXPECT_EQ(test::ReadBytes(dir / "program/bin/trainzutil.batch"),
              "setnextcontentid \"499\"\r\necho \"default: \"\r\ngeneratekuid\r\nsetnextcontentid \"8999\"\r\n"
              "echo \"Bridges: \"\r\ngeneratekuid\r\nsetnextcontentid \"499\"\r\n");
}

TEST_F(StandIn, AHangEndsAtTheLimitWithNothingTaken) {
    Asset("editing/bridge");
    Table(kInstalled);
    setenv("KELVARN_STANDIN_MODE", "hang", 1);
    frames->Tzu().Runner().TimeLimitSeconds = 1;
    Request(tjOpenForEditing, "<kuid:1:2>");
    Request(tjCategorySearch, "Bridges");
    EXPECT_EQ(frames->Catalogue().Count(), 0);
    EXPECT_TRUE(Alerts().empty());
    EXPECT_FALSE(fs::exists(dir / "program/log"));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(ContainsStr(messages.messages[0], "TrainzUtil.exe did not finish within 1 seconds")) << messages.messages[0];
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(StandIn, TheUtilityMustBeAProgramFile) {
    EXPECT_TRUE(frames->Tzu().IsConsoleOpen());
    fs::permissions(Program(), fs::perms(0644));
    EXPECT_FALSE(frames->Tzu().IsConsoleOpen());
    // Not runnable: an unlisted dependency is only reported.
    frames->Catalogue().OpenDependency("<kuid:1:2>");
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"Asset not currently available"}));
    EXPECT_FALSE(frames->Tzu().Timer().isActive());
    fs::remove(Program());
    EXPECT_FALSE(frames->Tzu().IsConsoleOpen());
    fs::create_directories(Program());
    EXPECT_FALSE(frames->Tzu().IsConsoleOpen());
    // Found ignoring case.
    fs::remove(Program());
    fs::copy_file(KELVARN_SOURCE_DIR "/tests/support/trainzutil-standin.sh", dir / "trainz/bin/trainzutil.EXE");
    fs::permissions(dir / "trainz/bin/trainzutil.EXE", fs::perms(0755));
    EXPECT_TRUE(frames->Tzu().IsConsoleOpen());
    // A missing utility is a failure, not a document to open.
    fs::remove(dir / "trainz/bin/trainzutil.EXE");
    Request(tjCommit, "<kuid:1:2>");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(ContainsStr(messages.messages[0], "CreateProcess")) << messages.messages[0];
}

// "Asset Details" as the user sees it, kept in the build tree for a person to look at.
TEST_F(StandIn, AssetDetailsScreenshot) {
    Table(kInstalled);
    QWidget main;
    main.resize(1000, 700);
    TViewer window(state, new TTextView(state), &main);
    state.Viewer = &window;
    Request(tjAssetDetails, "<kuid:1:2>");
    state.Viewer = &viewer;
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle().toStdString(), " Asset Details");
    EXPECT_EQ(window.OkButton()->text().toStdString(), "Close");
    window.resize(520, 300);
    QApplication::processEvents();
    EXPECT_TRUE(window.grab().save(KELVARN_SCREENSHOT_DIR "/asset-details.png"));
}

}  // namespace
}  // namespace kelvarn
