#include <gtest/gtest.h>

#include "shell/Backups.h"
#include "shell/Controls.h"
#include "shell/Files.h"
#include "shell/Handover.h"
#include "shell/ProgramFolder.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

TEST(AlertHeight, GrowsWithTheTextUpToEightLines) {
    struct Case {
        int lines, lineHeight, height;
        bool scrolls;
    };
    const Case cases[] = {
        {0, 16, 0, false},    // no text: collapsed
        {1, 16, 28, false},   // one line is still 28 pixels
        {2, 16, 36, false},
        {8, 16, 132, false},
        {10, 16, 132, true},  // capped at eight lines, scrolling to the last
        {1, 0, 28, false},
    };
    for (const Case& c : cases) {
        const TAlertSize size = AlertHeight(c.lines, c.lineHeight);
        EXPECT_EQ(size.height, c.height) << c.lines;
        EXPECT_EQ(size.scrolls, c.scrolls) << c.lines;
    }
}

TEST(CharAllowed, EachKindsCharacters) {
    struct Case {
        TCharType type;
        const char* accepted;
        const char* refused;
    };
    const Case cases[] = {
        {ctStandard, "a Z~!", ""},
        {ctNoSpaces, "a~!", " "},
        {ctBool, "01", "2a -"},
        {ctFloat, "-.09", ",e+ "},
        {ctFloatList, ",-.5", "; "},
        {ctInteger, "-09", ".,"},
        {ctIntList, ",-9", "."},
        {ctNumeric, "0123456789", "-.+ "},
        {ctFilePath, " -./_aZ9", "\\:*"},
        {ctFileName, " -./_aZ9", "\\:?"},
        {ctKuid, "<kuid:12:3>-d", "xKaX "},
        {ctPoint, "-.:_aZ9", " ,/"},
    };
    for (const Case& c : cases) {
        for (const char* p = c.accepted; *p; ++p) EXPECT_TRUE(CharAllowed(c.type, char32_t(*p))) << c.type << *p;
        for (const char* p = c.refused; *p; ++p) EXPECT_FALSE(CharAllowed(c.type, char32_t(*p))) << c.type << *p;
        // Editing keys pass everywhere; nothing above 127 does.
        for (char32_t control : {U'\b', U'\t', U'\r', char32_t(27), char32_t(127)})
            EXPECT_TRUE(CharAllowed(c.type, control));
        for (char32_t wide : {char32_t(0xE9), char32_t(0xA6), char32_t(0x20AC)}) EXPECT_FALSE(CharAllowed(c.type, wide));
    }
}

TEST(FontSetting, NameAndSize) {
    EXPECT_EQ(ParseFontSetting("Courier New,10").name, "Courier New");
    EXPECT_EQ(ParseFontSetting("Verdana, 12").pointSize, 12);
    EXPECT_EQ(ParseFontSetting("Verdana").pointSize, 10);
    EXPECT_EQ(ParseFontSetting("Verdana,big", 9).pointSize, 9);
    EXPECT_EQ(ParseFontSetting("Verdana,-3").pointSize, 10);
}

TEST(Handover, FramesRoundTripAndPartsWait) {
    const std::string frame = EncodeHandover({1, "-CMP /home/me/assets"});
    for (std::size_t cut = 0; cut < frame.size(); ++cut)
        EXPECT_EQ(DecodeHandover(frame.substr(0, cut)).status, THandoverStatus::NeedMore) << cut;
    const THandoverResult r = DecodeHandover(frame + "KVH");
    ASSERT_EQ(r.status, THandoverStatus::Complete);
    EXPECT_EQ(r.message.code, 1);
    EXPECT_EQ(r.message.text, "-CMP /home/me/assets");
    EXPECT_EQ(r.consumed, frame.size());
    const THandoverResult ack = DecodeHandover(EncodeHandover({kHandoverAckCode, ""}));
    EXPECT_EQ(ack.status, THandoverStatus::Complete);
    EXPECT_EQ(ack.message.text, "");
}

TEST(Handover, BadFramesAreRefused) {
    EXPECT_EQ(DecodeHandover("GET / HTTP/1.1").status, THandoverStatus::Bad);
    EXPECT_EQ(DecodeHandover("X").status, THandoverStatus::Bad);
    std::string huge = EncodeHandover({1, ""});
    huge[8] = '\xFF', huge[9] = '\xFF', huge[10] = '\xFF', huge[11] = '\x7F';
    const THandoverResult r = DecodeHandover(huge);
    EXPECT_EQ(r.status, THandoverStatus::Bad);
    EXPECT_FALSE(r.error.empty());
}

TEST(Handover, TextOfTheSecondInstance) {
    struct Case {
        std::vector<std::string> args;
        std::string text;
    };
    const Case cases[] = {
        {{}, " "},
        {{"/data/assets"}, "/data/assets "},  // a folder only: forwarded as it is, and loads nothing
        {{"-CMP", "/data/assets"}, "-CMP /data/assets"},
        {{"-CMP", "rel/dir"}, "-CMP /home/me/rel/dir"},
        {{"-CMP", "../up"}, "-CMP /home/up"},
        {{"-CMP", "C:\\Trainz"}, "-CMP C:\\Trainz"},
        {{"-CMP"}, "-CMP "},
        {{"a", "b", "c"}, "a b"},
    };
    for (const Case& c : cases) EXPECT_EQ(HandoverText(c.args, "/home/me"), c.text);
}

TEST(Handover, ServerNameFromTheEnvironment) {
    auto env = [](std::map<std::string, std::string> vars) {
        return [vars](const std::string& name) {
            auto it = vars.find(name);
            return it == vars.end() ? std::string() : it->second;
        };
    };
    EXPECT_EQ(HandoverServerName(env({{"USER", "ann"}})), "kelvarn-instance-ann");
    EXPECT_EQ(HandoverServerName(env({{"USER", "ann"}, {"KELVARN_INSTANCE_NAME", "t1"}})), "t1");
    EXPECT_NE(HandoverServerName(env({{"USER", "ann"}})), HandoverServerName(env({{"USER", "bob"}})));
}

TEST(IniBackup, OneDatedCopyPerStamp) {
    test::TempDir dir;
    test::FakeClock clock;
    TProgramState state;
    state.Clock = &clock;
    state.ProgramFolder = dir.Path() + "/";
    state.OpenSettings(dir / "kelvarn.ini");
    state.Settings().WriteString("Options", "Border", "2");  // not yet on disc
    clock.Set(2011, 3, 4, 5, 6);
    ASSERT_EQ(IniBackup(state, "yyyymmdd"), "");
    const std::string copy = dir / "backup/Kelvarn(20110304).ini";
    EXPECT_NE(test::ReadBytes(copy).find("Border=2"), std::string::npos);  // flushed first
    EXPECT_NE(test::ReadBytes(dir / "kelvarn.ini").find("Border=2"), std::string::npos);
    state.Settings().WriteString("Options", "Border", "3");
    ASSERT_EQ(IniBackup(state, "yyyymmdd"), "");  // the day's copy exists: kept as it was
    EXPECT_NE(test::ReadBytes(copy).find("Border=2"), std::string::npos);
    ASSERT_EQ(IniBackup(state, "yyyymmddhhnn"), "");
    EXPECT_TRUE(FileExists(dir / "backup/Kelvarn(201103040506).ini"));
}

TEST(IniBackup, AnUnreadableSettingsFileIsNeitherFlushedNorCopied) {
    test::TempDir dir;
    test::FakeClock clock;
    TProgramState state;
    state.Clock = &clock;
    state.ProgramFolder = dir.Path() + "/";
    ForceDirectories(dir / "kelvarn.ini");  // there, but no file: nothing can be read from it
    state.OpenSettings(dir / "kelvarn.ini");
    const std::string warning = SettingsLoadWarning(state);
    EXPECT_NE(warning.find("default settings"), std::string::npos);
    EXPECT_NE(warning.find(dir / "kelvarn.ini"), std::string::npos);
    state.Settings().WriteString("Options", "Border", "2");
    ASSERT_EQ(IniBackup(state, "yyyymmdd"), "");
    EXPECT_FALSE(PathExists(dir / "backup"));
    EXPECT_TRUE(DirectoryExists(dir / "kelvarn.ini"));

    TProgramState fine;
    fine.OpenSettings(dir / "missing.ini");
    EXPECT_EQ(SettingsLoadWarning(fine), "");  // a first start has nothing to say
}

TEST(ReportLogView, CaretLandsOnTheNewBlock) {
    // The logger measured "old1\r\nold2\r\n" (12 characters); the view holds one character per line end.
    const std::string view = "old1\nold2\n----\nnew\n";
    EXPECT_EQ(LogCaretPosition(view, 12, true), 10u);
    EXPECT_EQ(view.substr(10, 4), "----");
    EXPECT_EQ(LogCaretPosition("old1\nold2\n----", 10, false), 10u);  // a file with LF line ends
    EXPECT_EQ(LogCaretPosition(view, 0, true), 0u);
    EXPECT_EQ(LogCaretPosition(view, 9999, true), view.size());  // never past the end
    EXPECT_EQ(LogCaretPosition("\xC3\xA9\n-", 3, true), 2u);   // one unit for "é"
    EXPECT_EQ(LogCaretPosition("\xF0\x9F\x9A\x82\n-", 3, true), 3u);  // two units for an emoji
}

}  // namespace
}  // namespace kelvarn
