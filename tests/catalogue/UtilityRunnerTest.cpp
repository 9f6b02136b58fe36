// The utility runner without the utility: output parsing, KUID comparison, the command files it
// writes and what each job makes of canned output.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "catalogue/UtilityRunner.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

// Answers each run from a function of its arguments; a command file is read when the run starts.
class ScriptedRunner final : public IProcessRunner {
public:
    struct Call {
        std::vector<std::string> arguments;
        std::string batch;  // the command file's bytes for an "@" run
        int timeLimit = 0;
    };
    std::vector<Call> runs;
    std::function<std::vector<std::string>(const Call&)> answer;
    std::function<void()> during;  // called while the "utility" runs
    bool timeOut = false;

    ProcessResult Run(const ProcessRequest& request) override {
        Call run{request.arguments, {}, request.timeLimitSeconds};
        if (!request.arguments.empty() && StartsWith(request.arguments.front(), "@"))
            run.batch = test::ReadBytes(request.arguments.front().substr(1));
        runs.push_back(run);
        if (during) during();
        ProcessResult result;
        result.started = true;
        result.timedOut = timeOut;
        if (answer && !timeOut) result.outputLines = answer(run);
        return result;
    }
    bool OpenWithDefault(const std::string&) override {
        ++opened;
        return true;
    }
    int opened = 0;
};

class UtilityCore : public ::testing::Test {
protected:
    UtilityCore() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.Paths.Trainz = dir / "trainz";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        state.Runner = &runner;
        state.Viewer = &viewer;
        state.Clock = &clock;
        test::WriteBytes(dir / "program/kelvarn.ini", "");
        state.OpenSettings(dir / "program/kelvarn.ini");
        ForceDirectories(dir / "program/bin");
        tzu.StartTimer = [this] { ++timers; };
        tzu.SetBusyCursor = [this](bool busy) { cursor.push_back(busy); };
    }

    void Fire(int job, const std::string& argument) {
        tzu.TzuRequest(job, argument);
        tzu.TimerFire();
    }
    std::vector<std::string> Alerts() const {
        std::vector<std::string> out;
        for (const auto& [code, text] : bus.sent)
            if (code == ccAlert) out.push_back(text);
        return out;
    }
    static std::vector<std::string> BatchLines(const std::string& bytes) {
        EXPECT_TRUE(bytes.empty() || EndsWith(bytes, "\r\n"));
        std::vector<std::string> lines = SplitString(bytes, "\r\n");
        if (!lines.empty() && lines.back().empty()) lines.pop_back();
        return lines;
    }

    test::TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    test::RecordingViewer viewer;
    test::FakeClock clock;
    ScriptedRunner runner;
    TUtilityRunner tzu{state};
    int timers = 0;
    std::vector<bool> cursor;
};

TEST(UtilityParsing, OutputLinesSplitIntoFields) {
    struct Case {
        const char* line;
        bool item;
        std::vector<std::string> fields;
    } cases[] = {
        {"+ <kuid:1:2> : eI : Bridges : bob", true, {"<kuid:1:2>", "eI", "Bridges", "bob"}},
        {"+ <kuid2:1:2:3> : C:/Trainz/editing/x", true, {"<kuid2:1:2:3>", "C:\\Trainz\\editing\\x"}},
        {"+ one:two : three", true, {"one:two", "three"}},  // only " : " separates
        {"+", true, {""}},
        {"OK", false, {}},
        {" + <kuid:1:2> : I", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        const auto item = ParseOutputLine(c.line);
        ASSERT_EQ(item.has_value(), c.item) << c.line;
        if (item) {
            EXPECT_EQ(item->fields, c.fields) << c.line;
        }
    }
    EXPECT_EQ(ParseOutputLine("+ a : b")->Field(3), "");
}

TEST(UtilityParsing, KuidsCompareAsNumbers) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"<kuid:1:2>", "<KUID2:1:2:3>", true},
        {"<kuid:-25:100>", "<kuid2:-25:100:1>", true},
        {"<kuid:-25:100>", "<kuid:25:100>", false},
        {"<kuid:01:2>", "<kuid:1:02>", true},
        {"<kuid:1:2>", "<kuid:1:3>", false},
        {"<kuid:1:2>>", "<kuid:1:2>", false},
        {"bridge", "bridge", false},
        {"<kuid2:1:2:128>", "<kuid:1:2>", false},  // no such version
        {"<kuid:1:2:3>", "<kuid:1:2>", false},
        {"<kuid:99999999999:2>", "<kuid:99999999999:2>", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CompareKuids(c.a, c.b), c.same) << c.a << " " << c.b;
}

// The usual form is read in one pass; every other text gets the general reading, with the same rules.
TEST(UtilityParsing, KuidPartsAndWhatIsNoKuid) {
    const auto parts = [](std::string_view text) {
        const std::optional<TKuidParts> k = ParseKuid(text);
        return k ? std::to_string(k->user) + "/" + std::to_string(k->number) + "/" + std::to_string(k->version) : "none";
    };
    EXPECT_EQ(parts(" <Kuid2:7:8:127>\t"), "7/8/127");
    EXPECT_EQ(parts("<KUID:-2147483648:2147483647>"), "-2147483648/2147483647/-1");
    EXPECT_EQ(parts("<kuid2:1:2:0>"), "1/2/0");
    EXPECT_EQ(parts("<kuid:0012:0>"), "12/0/-1");
    for (const char* none : {"<kuid:1:-2>", "<kuid:2147483648:0>", "<kuid::1>", "<kuid:1:>", "<kuid:+1:2>",
                             "<kuid:1 :2>", "<kuid2:1:2:3:4>", "<kuid2:1:2:128>", "<kuid2:1:2:-1>", "<kuid:1:2",
                             "<kuid:1>", "<kuid3:1:2>", "<kuid:12345678901:2>", "<kuid:1:2>x", "<kuid:1:2:>"})
        EXPECT_EQ(parts(none), "none") << none;
}

// The quick check of list edits says of every text what the full reading says: texts of every length
// around the 16 bytes it reads at once, numbers of every length around the nine digits it takes.
TEST(UtilityParsing, KuidTextAgreesWithTheFullReading) {
    int kuids = 0, others = 0, usual = 0;
    const auto check = [&](const std::string& text) {
        const bool full = ParseKuid(text).has_value();
        EXPECT_EQ(IsKuidText(text), full) << text;
        if (IsUsualKuidText(text)) {
            EXPECT_TRUE(full) << text;
            ++usual;
        }
        (full ? kuids : others)++;
    };
    // The quick check takes the usual form, whatever its length.
    for (const char* text : {"<kuid:1:2>", "<KUID:12345:0>", "<kuid:123456789:123456789>", "<kuid2:1:2:0>",
                             "<Kuid2:100000:25:1>", "<kuid2:123456789:123456789:127>", "<kuid2:0012:1234567:007>"})
        EXPECT_TRUE(IsUsualKuidText(text)) << text;
    for (const char* prefix : {"<kuid:", "<KUID2:", "<kuid2:", "<Kuid:", "<kuid3:", "<kuiD2:", " <kuid:", "<kuid2", "kuid:"})
        for (const char* user : {"", "0", "7", "-3", "12345", "123456789", "1234567890", "2147483648", "1a", "+1"})
            for (const char* number : {"", "0", "42", "1234567", "999999999", "1000000000", "-1", "1 "})
                for (const char* version : {"", ":0", ":127", ":128", ":007", ":1000", ":", ":x"})
                    for (const char* end : {">", "", "> ", ">x", ":>"})
                        check(std::string(prefix) + user + ":" + number + version + end);
    for (const char* text : {"<kuid:1:2>", "<kuid:1::2>", "<kuid:1:2:>", "<kuid2:1:2>", "<kuid2:1:2:3:4>", "<kuid:>",
                             "<kuid:1:2>>", "<kuid:\xC3\xA9:2>", "<kuid:12345678:12345678>", "<kuid2:123456789:123456789:127>"})
        check(text);
    EXPECT_GT(usual, 100);
    EXPECT_GT(kuids, usual);
    EXPECT_GT(others, 1000);
}

TEST(UtilityParsing, DetailsNameEachLetterPresentInEitherCase) {
    TUtilityItem item{{"<kuid2:1:2:3>", "eIx", "Bridges", "bob"}};
    EXPECT_EQ(AssetDetailsLines(item), (std::vector<std::string>{"Latest Installed Version: <kuid2:1:2:3>", "Username: bob",
                                                                 "Category: Bridges", "", "- Not open for editing",
                                                                 "- Locally installed"}));
    item.fields[1] = "EidLmF";
    const auto lines = AssetDetailsLines(item);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.end()),
              (std::vector<std::string>{"- Open for editing", "- Not locally installed", "- Not available on DLS",
                                        "- Locally modified", "- All dependencies installed", "- Faulty"}));
}

TEST_F(UtilityCore, StatusLookupAsksForEveryVersionOfUserAndNumber) {
    for (const char* kuid : {"<kuid:1:2>", "<KUID2:1:2:3>", " <Kuid2:1:2:0> "}) {
        runner.runs.clear();
        Fire(tjAssetDetails, kuid);
        ASSERT_EQ(runner.runs.size(), 1u) << kuid;
        EXPECT_EQ(runner.runs[0].arguments, (std::vector<std::string>{"@" + NativePath(tzu.BatchFile())}));
        EXPECT_EQ(runner.runs[0].timeLimit, kUtilityTimeLimitSeconds);
        const auto lines = BatchLines(runner.runs[0].batch);
        ASSERT_EQ(lines.size(), 128u);
        EXPECT_EQ(lines.front(), "status <kuid:1:2>");
        EXPECT_EQ(lines[1], "status <kuid2:1:2:1>");
        EXPECT_EQ(lines.back(), "status <kuid2:1:2:127>");
        for (const std::string& line : lines) EXPECT_EQ(line.find(">>"), std::string::npos) << line;
    }
    // No KUID: nothing runs.
    runner.runs.clear();
    Fire(tjAssetDetails, "bridge");
    Fire(tjOpenForEditing, "<kuid:1>");
    EXPECT_TRUE(runner.runs.empty());
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"Asset not installed", "Asset not installed", "Asset not installed",
                                                  "Asset not locally available: bridge",
                                                  "Asset not locally available: <kuid:1>"}));
}

TEST_F(UtilityCore, AssetDetailsShowTheNewestInstalledVersion) {
    runner.answer = [](const ScriptedRunner::Call&) {
        return std::vector<std::string>{"OK", "+ <kuid:1:2> : eILDmf : Old : ann", "+ <kuid2:1:2:2> : eiD : Gone : ann",
                                        "+ <kuid2:1:2:3> : EIdLMF : Bridges & Tunnels : bob", "+ <kuid2:1:2:4> : ei : New : bob",
                                        "+ <kuid2:7:2:5> : I : Other : eve", "OK"};
    };
    Fire(tjAssetDetails, "<kuid:1:2>");
    ASSERT_EQ(viewer.texts.size(), 1u);
    std::string text;
    for (const std::string& line : viewer.texts[0]) text += line + "\n";
    EXPECT_EQ(text,
              "Latest Installed Version: <kuid2:1:2:3>\nUsername: bob\nCategory: Bridges & Tunnels\n\n"
              "- Open for editing\n- Locally installed\n- Not available on DLS\n- Locally modified\n"
              "- Missing dependencies\n- Faulty\n");
    EXPECT_EQ(tzu.SearchString(), "Bridges & Tunnels");
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));

    // Items, none installed.
    runner.answer = [](const ScriptedRunner::Call&) { return std::vector<std::string>{"+ <kuid:1:2> : ei : X : y"}; };
    Fire(tjAssetDetails, "<kuid:1:2>");
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"Asset not locally available: <kuid:1:2>"}));
    EXPECT_EQ(viewer.texts.size(), 1u);
}

TEST_F(UtilityCore, GenerateKuidsWritesThreeLinesPerRangeAndResetsTheDefault) {
    state.Settings().WriteString("KUID-Range", "Default", "500");
    runner.answer = [](const ScriptedRunner::Call&) {
        return std::vector<std::string>{"OK", "Default: ", "<KUID2:77:500:0>", "", "OK"};
    };
    Fire(tjGenerateKuids, "");
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(BatchLines(runner.runs[0].batch),
              (std::vector<std::string>{"setnextcontentid \"499\"", "echo \"Default: \"", "generatekuid",
                                        "setnextcontentid \"499\""}));
    ASSERT_EQ(viewer.texts.size(), 1u);
    EXPECT_EQ(viewer.texts[0], (std::vector<std::string>{"Default: \t<kuid:77:500>"}));

    // Two ranges; a version other than 0 stays a kuid2.
    state.Settings().WriteString("KUID-Range", "Bridges", "-2147483648");
    runner.answer = [](const ScriptedRunner::Call&) {
        return std::vector<std::string>{"Default: ", "<kuid2:77:500:0>", "Bridges: ", "<KUID2:77:9000:3>"};
    };
    Fire(tjGenerateKuids, "");
    EXPECT_EQ(BatchLines(runner.runs[1].batch)[3], "setnextcontentid \"-2147483649\"");
    EXPECT_EQ(viewer.texts[1], (std::vector<std::string>{"Default: \t<kuid:77:500>", "Bridges: \t<kuid2:77:9000:3>"}));
}

TEST(UtilityRanges, BadRangesStopBeforeAnythingRuns) {
    struct Case {
        std::vector<std::string> ranges;
        const char* error;
    } cases[] = {
        {{}, "A default range must be specified"},
        {{"default=1"}, "A default range must be specified"},
        {{"default=x"}, "A default range must be specified"},
        {{"Default=9", "b=x"}, "Ranges must be integer values"},
        {{"default=9", "b=3000000000"}, "Ranges must be integer values"},
        {{"default=9", "b=0x10"}, "Ranges must be integer values"},
        {{"DEFAULT=9", "b=-4"}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(KuidRangeBatch(c.ranges).error, c.error) << c.ranges.size();
}

TEST_F(UtilityCore, QueueRules) {
    // Job 0, an unknown job and one out of range.
    Fire(tjNothing, "");
    tzu.TzuRequest(8, "x");
    tzu.TzuRequest(-1, "x");
    EXPECT_EQ(messages.messages, (std::vector<std::string>{"Nothing", "Error in TZU", "Error in TZU"}));
    EXPECT_EQ(timers, 1);

    // A second request before the timer replaces the job; its argument is kept for its own job.
    runner.answer = [](const ScriptedRunner::Call&) { return std::vector<std::string>{}; };
    tzu.TzuRequest(tjCommit, "<kuid:1:2>");
    tzu.TzuRequest(tjRevert, "<kuid:3:4>");
    EXPECT_EQ(tzu.PendingJob(), tjRevert);
    tzu.TimerFire();
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(runner.runs[0].arguments, (std::vector<std::string>{"revert", "<kuid:3:4>"}));

    // A request while the utility runs is refused with a beep.
    runner.during = [this] { tzu.TzuRequest(tjCommit, "<kuid:9:9>"); };
    Fire(tjCommit, "<kuid:1:2>");
    EXPECT_EQ(messages.beeps, 1);
    EXPECT_EQ(tzu.PendingJob(), 0);
    EXPECT_FALSE(tzu.Running());
    EXPECT_EQ(runner.runs.back().arguments, (std::vector<std::string>{"commit", "<kuid:1:2>"}));
    EXPECT_FALSE(cursor.back());
}

TEST_F(UtilityCore, ARunPastItsLimitParsesNothing) {
    runner.timeOut = true;
    tzu.TimeLimitSeconds = 2;
    Fire(tjAssetDetails, "<kuid:1:2>");
    Fire(tjCategorySearch, "Bridges");
    EXPECT_TRUE(viewer.texts.empty());
    EXPECT_TRUE(Alerts().empty());
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(ContainsText(messages.messages[0], "TrainzUtil.exe did not finish within 2 seconds"));
    EXPECT_FALSE(FileExists(state.ProgramFolder + "log"));
    EXPECT_EQ(runner.opened, 0);
    EXPECT_EQ(cursor, (std::vector<bool>{true, false, true, false}));
}

TEST_F(UtilityCore, CategorySearchLogsEachFoundAsset) {
    runner.answer = [](const ScriptedRunner::Call& run) {
        if (run.batch.empty())
            return std::vector<std::string>{"+ Iron bridge : <kuid:1:2>", "+ Not an asset : none", "+ Stone bridge : <KUID2:3:4:1>"};
        return std::vector<std::string>{"+ <kuid:1:2> : I : Bridges : bob", "OK", "+ <kuid2:3:4:1> : i : Bridges : ann"};
    };
    clock.Set(2026, 12, 9, 12, 0, 0);
    Fire(tjCategorySearch, "Bridges");
    ASSERT_EQ(runner.runs.size(), 2u);
    EXPECT_EQ(runner.runs[0].arguments, (std::vector<std::string>{"searchbycategory", "Bridges"}));
    EXPECT_EQ(BatchLines(runner.runs[1].batch), (std::vector<std::string>{"status <kuid:1:2>", "status <KUID2:3:4:1>"}));
    std::string log;
    ReadFileBytes(state.ProgramFolder + "log/Kelvarn(20261209).log", log);
    EXPECT_TRUE(ContainsStr(log, "Searching: Bridges, 2 Item(s) found")) << log;
    EXPECT_TRUE(ContainsStr(log, "<kuid:1:2>\tbob\r\n<kuid2:3:4:1>\tann\r\n")) << log;
}

TEST_F(UtilityCore, TextureGroupsCountKindLines) {
    runner.answer = [](const ScriptedRunner::Call& run) {
        if (run.batch.empty()) return std::vector<std::string>{"+ a : <kuid:1:2>", "+ b : not"};
        return std::vector<std::string>{"kind \"texture-group\"", "  KIND texture-group", "kind scenery",
                                        "name \"kind texture-group\""};
    };
    Fire(tjTextureGroups, "");
    EXPECT_EQ(BatchLines(runner.runs[1].batch), (std::vector<std::string>{"printconfig <kuid:1:2>"}));
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"texture-group assets: 2"}));
}

TEST_F(UtilityCore, OpenForEditingScansTheFolderTheUtilityNames) {
    std::vector<std::string> opened;
    tzu.OpenAssetFolder = [&opened](const std::string& folder) {
        opened.push_back(folder);
        return folder == "C:\\editing\\a";
    };
    runner.answer = [](const ScriptedRunner::Call& run) {
        if (!run.batch.empty()) return std::vector<std::string>{"+ <kuid2:1:2:1> : EI : x : y"};
        return std::vector<std::string>{run.arguments[1] == "<kuid2:1:2:1>" ? "+ <kuid2:1:2:1> : C:/editing/a" : "Error"};
    };
    Fire(tjOpenForEditing, "<kuid:1:2>");
    ASSERT_EQ(runner.runs.size(), 2u);
    EXPECT_EQ(runner.runs[1].arguments, (std::vector<std::string>{"edit", "<kuid2:1:2:1>"}));
    EXPECT_EQ(opened, (std::vector<std::string>{"C:\\editing\\a"}));
    EXPECT_TRUE(Alerts().empty());

    tzu.OpenAssetFolder = [](const std::string&) { return false; };
    Fire(tjOpenForEditing, "<kuid:1:2>");
    EXPECT_EQ(Alerts(), (std::vector<std::string>{"Asset not found: <kuid:1:2>"}));
}

}  // namespace
}  // namespace kelvarn
