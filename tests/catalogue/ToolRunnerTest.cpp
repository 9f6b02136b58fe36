#include <gtest/gtest.h>

#include "AssetTestSupport.h"
#include "catalogue/ToolRunner.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/Strings.h"
#include "shell/PathText.h"
#include "shell/RunCommand.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

const std::string kBar(kBrokenBar);

// A tool line from its fields, each followed by "¦".
std::string Spec(const std::vector<std::string>& fields) {
    std::string spec;
    for (const std::string& f : fields) spec += f + kBar;
    return spec;
}

TEST(ToolSpec, EveryNumberIsCheckedBeforeAnythingRuns) {
    struct Case {
        std::string spec;
        const char* error;  // the start of the message, "" when valid
    };
    const Case cases[] = {
        {Spec({"c", "", "x", "1", "0", "0", "0"}), ""},
        {Spec({"c", "", "x", " 1", "3", "2", "1"}), ""},
        {Spec({"c", "", "x", "one", "0", "0", "0"}), "Invalid tool specification: field 4 (show-window value)"},
        {Spec({"c", "", "x", "1", "0.5", "0", "0"}), "Invalid tool specification: field 5 (output mode)"},
        {Spec({"c", "", "x", "1", "0", "", "0"}), "Invalid tool specification: field 6 (before-action)"},
        {"c" + kBar + kBar + "x" + kBar + "1" + kBar + "0" + kBar + "0", "Invalid tool specification: field 7 (after-action)"},
    };
    for (const Case& c : cases) {
        TToolNumbers numbers;
        const std::string error = ReadToolNumbers(ParseToolSpec(c.spec), numbers);
        EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error) << c.spec;
        EXPECT_EQ(error.empty(), std::string(c.error).empty()) << c.spec;
    }
}

TEST(CommandLine, SplitsBeforeMacrosExpand) {
    struct Case {
        const char* line;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"prog a b", {"prog", "a", "b"}},
        {"\"C:\\Program Files\\x.exe\" \"a b\"", {"C:\\Program Files\\x.exe", "a b"}},
        {"tool /e,/root,\"x y\"", {"tool", "/e,/root,x y"}},
        {"a \"\" b", {"a", "", "b"}},
        {"  spaced\t\ttabs  ", {"spaced", "tabs"}},
        {"C:\\dir\\", {"C:\\dir\\"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
}

class Tools : public ::testing::Test, protected test::AssetBed {
protected:
    test::FakeDialogs dialogs;
    std::vector<std::string> ui;  // what the runner did with the alert strip and the cursor
    TToolRunHooks hooks;

    void SetUp() override {
        state.SetAssetPath(dir / "asset");
        state.SetAssetFileName("sub\\a.tga");
        hooks.Alert = [this](const std::string& t) { ui.push_back("alert " + t); };
        hooks.CloseAlert = [this] { ui.push_back("close"); };
        hooks.WaitCursor = [this](bool w) { ui.push_back(w ? "wait" : "arrow"); };
        clock.Set(2011, 3, 4, 10, 20, 30, 0);
    }
    void Run(const std::string& spec, const std::string& caption = "&Tool") { RunTool(state, dialogs, hooks, caption, spec); }
    std::string Pfe() const { return state.AssetPathFile(); }
};

TEST_F(Tools, AFileNameWithShellCharactersIsOneArgument) {
    state.SetAssetFileName("a;$(touch b) \"c\".tga");
    Run(Spec({"x", "%p%", "viewer\xC2\xB7--open \"%pfe%\"", "1", "0", "0", "0"}));
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(runner.runs[0].program, "viewer");
    EXPECT_EQ(runner.runs[0].arguments,
              (std::vector<std::string>{"--open", NativePath(dir / "asset\\a;$(touch b) \"c\".tga")}));
    EXPECT_EQ(runner.runs[0].workingFolder, dir / "asset");
    EXPECT_FALSE(runner.runs[0].captureOutput);
    EXPECT_EQ(ui, (std::vector<std::string>{"alert Waiting for external process ...", "wait", "arrow", "close"}));
}

TEST_F(Tools, RunkvmSendsTheRestToTheScriptEngine) {
    Run(Spec({"s", "", "RunKvm -msg|%fe%", "1", "0", "0", "0"}));
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_EQ(SentTexts(ccRunScript), (std::vector<std::string>{" -msg|sub\\a.tga"}));
    // A file whose name holds the word is a file, not script commands.
    state.SetAssetFileName("runkvm.tga");
    Run(Spec({"s", "", "view \"%pfe%\"", "1", "0", "0", "0"}));
    EXPECT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(SentTexts(ccRunScript).size(), 1u);
}

TEST_F(Tools, BadNumbersRunNothingAndBackNothingUp) {
    Run(Spec({"c", "", "prog", "1", "x", "3", "0"}));
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_TRUE(Codes().empty());
    EXPECT_TRUE(ui.empty());
    EXPECT_TRUE(Said("Invalid tool specification: field 5"));
}

TEST_F(Tools, BeforeActionsAndAnInvalidOneThatStillRuns) {
    test::WriteBytes(NativePath(Pfe()), "tga");
    Run(Spec({"c", "", "prog", "1", "0", "1", "0"}));
    EXPECT_EQ(SentTexts(ccSaveFile), (std::vector<std::string>{Pfe()}));
    // Backups are taken before the tool starts: the file, then the whole asset folder.
    Run(Spec({"c", "", "prog", "1", "0", "2", "0"}));
    Run(Spec({"c", "", "prog", "1", "0", "3", "0"}));
    std::vector<std::string> files, folders;
    ListEntriesOfKind(dir / "program/backup/*", files, false);
    ListEntriesOfKind(dir / "program/backup/*", folders, true);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(EndsWithText(files[0], "a.tga"));
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(test::ReadBytes(folders[0] + "/sub/a.tga"), "tga");
    EXPECT_EQ(runner.runs.size(), 3u);

    runner.runs.clear();
    Run(Spec({"c", "", "prog", "1", "0", "7", "9"}));
    EXPECT_EQ(messages.messages, (std::vector<std::string>{"Invalid Before Action specifier", "Invalid After Action specifier"}));
    EXPECT_EQ(runner.runs.size(), 1u);
}

TEST_F(Tools, NoToolRunsAfterItsBackupFailed) {
    test::WriteBytes(NativePath(Pfe()), "tga");
    const std::string backups = dir / "program/backup";
    SetWriteFaultHook(
        [&](const std::string& path) { return StartsWith(path, backups) ? std::size_t{0} : std::string::npos; });
    Run(Spec({"c", "", "prog", "1", "0", "2", "0"}));
    Run(Spec({"c", "", "prog", "1", "0", "3", "0"}));
    SetWriteFaultHook(nullptr);
    EXPECT_TRUE(runner.runs.empty());
    ASSERT_EQ(messages.messages.size(), 2u);
    for (const std::string& m : messages.messages) {
        EXPECT_TRUE(StartsWith(m, "Unable to back up ")) << m;
        EXPECT_TRUE(EndsWithText(m, "; the tool was not run")) << m;
    }
    // A file that is not there cannot be backed up either.
    state.SetAssetFileName("missing.tga");
    Run(Spec({"c", "", "prog", "1", "0", "2", "0"}));
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_EQ(ui, (std::vector<std::string>{"close", "close", "close"}));
}

TEST_F(Tools, AfterActionOneShowsTheScreenshotThenTheCurrentFile) {
    Run(Spec({"c", "", "prog", "1", "0", "0", "1"}));
    EXPECT_EQ(SentTexts(ccShowFile), (std::vector<std::string>{state.ProgramFolder + "bin\\$screenshot$.jpg", Pfe()}));
    EXPECT_EQ(state.AssetPath(), dir / "asset");
    EXPECT_EQ(state.AssetFileName(), "sub\\a.tga");
}

TEST_F(Tools, CapturedOutputGetsTheHeaderByteForByte) {
    runner.output = {"", "", "line one", "", "line two", ""};
    clock.now = DateTime{2011, 3, 4, 10, 20, 30, 0};
    Run(Spec({"A&B", "", "prog", "1", "1", "0", "0"}), "&Caption");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "Command Output");
    EXPECT_EQ(dialogs.shown[0].size, 640480);
    const std::string rule(90, '-');
    EXPECT_EQ(dialogs.shown[0].lines,
              (std::vector<std::string>{rule, "Caption", "Target File: " + Pfe(),
                                        "Friday 4 March 2011, 10:20:30   Elapsed Time: 0:00:00:0", rule, "line one", "",
                                        "line two", ""}));
    EXPECT_TRUE(runner.runs[0].captureOutput);

    // Only empty lines: nothing is shown.
    runner.output = {"", ""};
    Run(Spec({"x", "", "prog", "1", "1", "0", "0"}));
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(Tools, OutputModeTwoReplacesTheProgramLog) {
    const std::string log = NativePath(ExpandMacros(state, "%log%\\Kelvarn.log"));
    runner.output = {"first run", "with two lines"};
    Run(Spec({"x", "", "prog", "1", "2", "0", "0"}));
    runner.output = {"second"};
    Run(Spec({"x", "", "prog", "1", "2", "0", "0"}));
    const std::string text = test::ReadBytes(log);
    EXPECT_EQ(text.find("first run"), std::string::npos);
    EXPECT_NE(text.find("second\r\n"), std::string::npos);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].caption, "Kelvarn Log");
    EXPECT_EQ(dialogs.shown[1].lines.size(), 6u);
}

TEST_F(Tools, OutputModeThreeGoesToTheReportLog) {
    runner.output = {"", "found", "", ""};
    Run(Spec({"x", "", "prog", "1", "3", "0", "0"}), "Check &Meshes");
    std::string log;
    DecodedText decoded;
    ASSERT_EQ(ReadTextFile(NativePath(ExpandMacros(state, "%log%\\Kelvarn(20110304).log")), decoded), "");
    log = decoded.text;
    EXPECT_NE(log.find("Check Meshes\r\nTarget File: " + Pfe() + "\r\n"), std::string::npos);
    EXPECT_NE(log.find("found\r\n\r\n"), std::string::npos);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Tools, AMissingProgramGoesToTheDefaultProgram) {
    runner.start = false;
    std::vector<std::string> lines;
    EXPECT_FALSE(RunCommand(state, "", "\"%pfe%\"", &lines, 1, 1));
    EXPECT_EQ(runner.opened, (std::vector<std::string>{NativePath(Pfe())}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Tools, TrainzutilPlaysTheCallFirst) {
    class Audio final : public IAudioPlayer {
    public:
        std::vector<std::string> played;
        int stops = 0;
        bool Ready() const override { return true; }
        bool Playing() const override { return false; }
        std::string Play(const std::string& p) override {
            played.push_back(p);
            return {};
        }
        void Stop() override { ++stops; }
        void OpenEditor() override {}
    } audio;
    state.Audio = &audio;
    test::WriteBytes(state.ProgramFolder + "bin/yourcall.mp3", "id3");
    Run(Spec({"u", "", "%bin%\\TrainzUtil.exe list", "1", "0", "0", "0"}));
    EXPECT_EQ(audio.played, (std::vector<std::string>{state.ProgramFolder + "bin/yourcall.mp3"}));
    EXPECT_EQ(audio.stops, 1);
}

}  // namespace
}  // namespace kelvarn
