#include <gtest/gtest.h>

#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::ReadBytes;

class ReportLog : public ::testing::Test {
protected:
    ReportLog() {
        state.ProgramFolder = dir.Path() + "/";
        state.Clock = &clock;
        state.Messages = &messages;
        state.Viewer = &viewer;
        clock.Set(2011, 3, 4, 5, 6, 7, 0);
        start = clock.now;
        clock.AdvanceMs(3723045);  // 1 h 2 min 3 s 45 ms
    }
    std::string LogFile() { return dir / "log/Kelvarn(20110304).log"; }

    test::TempDir dir;
    test::FakeClock clock;
    test::RecordingMessageSink messages;
    test::RecordingViewer viewer;
    TProgramState state;
    DateTime start;
};

const std::string kRule(84, '-');

TEST_F(ReportLog, BlockLayoutWithEveryField) {
    std::vector<std::string> lines = {"[kind scenery] a fault"};
    ASSERT_EQ(AddToLog(state, "C:\\A\\car", "Verify Files (Build 2.9)", lines, start, "12 lines processed"), "");
    EXPECT_EQ(ReadBytes(LogFile()), kRule + "\r\nVerify Files (Build 2.9)\r\n12 lines processed\r\nAsset: C:\\A\\car\r\n"
                                        "Friday 4 March 2011, 05:06:07, Elapsed Time: 1:02:03:45\r\n" +
                                        kRule + "\r\n[kind scenery] a fault\r\n\r\n");
}

TEST_F(ReportLog, EmptyFieldsAreLeftOutAndNoLinesSayNothingToReport) {
    std::vector<std::string> lines;
    ASSERT_EQ(AddToLog(state, "", "", lines, start), "");
    EXPECT_EQ(lines, std::vector<std::string>{"Nothing to report"});
    EXPECT_EQ(ReadBytes(LogFile()), kRule + "\r\nFriday 4 March 2011, 05:06:07, Elapsed Time: 1:02:03:45\r\n" + kRule +
                                        "\r\nNothing to report\r\n\r\n");
}

TEST_F(ReportLog, WithoutDailyLogOnlyTheLatestReportStays) {
    std::vector<std::string> a = {"first"}, b = {"second"};
    AddToLog(state, "", "T", a, start);
    AddToLog(state, "", "T", b, start);
    const std::string text = ReadBytes(LogFile());
    EXPECT_EQ(text.find("first"), std::string::npos);
    EXPECT_NE(text.find("second"), std::string::npos);
    // A shorter report leaves nothing of the longer one behind it.
    std::vector<std::string> c = {"x"};
    AddToLog(state, "", "T", c, start);
    const std::string shorter = ReadBytes(LogFile());
    EXPECT_EQ(shorter.size() + 5, text.size());
    EXPECT_EQ(shorter.substr(shorter.size() - 5), "x\r\n\r\n");
}

TEST_F(ReportLog, DailyLogAppendsAndShowsTheNewBlock) {
    state.Settings().WriteString("Options", "DailyLog", "1");
    state.Settings().WriteString("Options", "DisplayLog", "1");
    std::vector<std::string> a = {"first"}, b = {"second"};
    AddToLog(state, "", "T", a, start);
    const std::size_t firstSize = ReadBytes(LogFile()).size();
    AddToLog(state, "", "T", b, start);
    const std::string text = ReadBytes(LogFile());
    EXPECT_LT(text.find("first"), text.find("second"));
    // Each block ends with exactly one empty line.
    EXPECT_EQ(text.substr(firstSize - 4, 6), "\r\n\r\n--");
    ASSERT_EQ(viewer.logs.size(), 2u);
    EXPECT_EQ(viewer.logs[0].offset, 0u);
    EXPECT_EQ(viewer.logs[1].offset, firstSize);
    EXPECT_EQ(viewer.logs[1].title, "Kelvarn Log");
    EXPECT_EQ(text.substr(viewer.logs[1].offset, 84), kRule);
}

TEST_F(ReportLog, EachShownOffsetIsTheNewBlocksFirstCharacter) {
    state.Settings().WriteString("Options", "DailyLog", "1");
    state.Settings().WriteString("Options", "DisplayLog", "1");
    auto textNow = [this] { return FileExists(LogFile()) ? DecodeText(ReadBytes(LogFile())).text : std::string(); };
    for (int i = 0; i < 40; ++i) {
        const std::string before = textNow();
        // Characters of two and three bytes.
        std::vector<std::string> lines = {"caf\xC3\xA9 \xE2\x9C\x93 " + std::to_string(i)};
        ASSERT_EQ(AddToLog(state, "", "T", lines, start), "");
        // After the outside line, the block's own line end comes first.
        ASSERT_EQ(viewer.logs.back().offset, CharCount(before) + (i == 21 ? 2 : 0)) << i;
        if (i == 20) {
            ASSERT_EQ(AppendToFile(LogFile(), "written by someone else"), "");  // no line end
        }
    }
    // The report after the outside line starts on a line of its own, and the caret counts that line.
    const std::string text = textNow();
    EXPECT_NE(text.find("someone else\r\n" + kRule), std::string::npos);
    EXPECT_EQ(LogCaretPosition(ReplaceAll(text, "\r\n", "\n"), viewer.logs.back().offset, true),
              CharCount(ReplaceAll(text.substr(0, text.rfind(kRule + "\r\nT\r\n")), "\r\n", "\n")));
}

TEST_F(ReportLog, WriteFailureGivesOneMessageAndStillShowsTheReport) {
    SetWriteFaultHook([](const std::string&) { return std::size_t{0}; });
    std::vector<std::string> lines = {"finding"};
    const std::string error = AddToLog(state, "", "Check", lines, start);
    SetWriteFaultHook(nullptr);
    EXPECT_NE(error, "");
    EXPECT_EQ(messages.messages.size(), 1u);
    ASSERT_EQ(viewer.texts.size(), 1u);
    EXPECT_NE(std::find(viewer.texts[0].begin(), viewer.texts[0].end(), "finding"), viewer.texts[0].end());
}

TEST_F(ReportLog, AppendingKeepsWhatTheFileHeldAndItsEncoding) {
    state.Settings().WriteString("Options", "DailyLog", "1");
    test::WriteBytes(LogFile(), "caf\xE9 note without a line end");  // Windows-1252, no final CR LF
    std::vector<std::string> a = {"first"};
    AddToLog(state, "", "T", a, start);
    std::string text = ReadBytes(LogFile());
    EXPECT_EQ(text.substr(0, 31), "caf\xE9 note without a line end\r\n-");
    EXPECT_EQ(text.find("\xC3"), std::string::npos);  // still Windows-1252

    // No Windows-1252 byte for the first line: it goes in UTF-8, and every byte the file held stays.
    std::vector<std::string> b = {"\xE2\x9C\x93 checked", "na\xC3\xAFve"};
    AddToLog(state, "", "T", b, start);
    const std::string after = ReadBytes(LogFile());
    EXPECT_EQ(after.substr(0, text.size()), text);
    EXPECT_NE(after.find("\r\n\xE2\x9C\x93 checked\r\nna\xEFve\r\n"), std::string::npos);
    const DecodedText decoded = DecodeText(after);
    EXPECT_EQ(decoded.text.substr(0, 5), "caf\xC3\xA9");
    EXPECT_NE(decoded.text.find("\xE2\x9C\x93 checked\r\nna\xC3\xAFve"), std::string::npos);
    // From now on the file reads as UTF-8 with a Windows-1252 line: new text is UTF-8.
    std::vector<std::string> c = {"\xC3\xA9t\xC3\xA9"};
    AddToLog(state, "", "T", c, start);
    EXPECT_EQ(ReadBytes(LogFile()).substr(0, after.size()), after);
    EXPECT_NE(ReadBytes(LogFile()).find("\r\n\xC3\xA9t\xC3\xA9\r\n"), std::string::npos);
}

TEST_F(ReportLog, AUtf16LogGrowsInUtf16) {
    state.Settings().WriteString("Options", "DailyLog", "1");
    const std::string held = EncodeText("caf\xC3\xA9\r\n", TextEncoding::Utf16Le);
    test::WriteBytes(LogFile(), held);
    std::vector<std::string> a = {"\xE2\x9C\x93 first"};
    AddToLog(state, "", "T", a, start);
    const std::string bytes = ReadBytes(LogFile());
    EXPECT_EQ(bytes.substr(0, held.size()), held);
    const DecodedText decoded = DecodeText(bytes);
    ASSERT_EQ(decoded.notText, "");
    EXPECT_EQ(decoded.encoding, TextEncoding::Utf16Le);
    EXPECT_NE(decoded.text.find("\r\n\xE2\x9C\x93 first\r\n"), std::string::npos);
}

TEST_F(ReportLog, ClearLogEmptiesTheDaysFile) {
    std::vector<std::string> lines = {"x"};
    AddToLog(state, "", "T", lines, start);
    EXPECT_EQ(ClearLog(state), "");
    EXPECT_EQ(ReadBytes(LogFile()), "");
}

TEST(LogDates, EnglishNamesAndElapsedWithoutLeadingZeros) {
    EXPECT_EQ(FormatLongDateTime(DateTime{2026, 12, 9, 14, 3, 9, 0}), "Wednesday 9 December 2026, 14:03:09");
    EXPECT_EQ(FormatElapsed(5), "0:00:00:5");
    EXPECT_EQ(FormatElapsed(36000000 + 61001), "10:01:01:1");
}

}  // namespace
}  // namespace kelvarn
