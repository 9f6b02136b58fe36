// The language: the command table, line syntax, parameter pre-processing, "^" variables and how
// messages are reported.
#include <gtest/gtest.h>

#include <set>

#include "ScriptTestSupport.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "validation/ScriptCommandTable.h"

namespace kelvarn::test {
namespace {

// The log without the status panel's line counts.
std::vector<std::string> Said(const FakeScriptHost& host) {
    std::vector<std::string> out;
    for (const std::string& line : host.log)
        if (!StartsWith(line, "status")) out.push_back(line);
    return out;
}

using Lines = std::vector<std::string>;

TEST(ScriptCommandTable, SeventyEightWordsNumberedByPosition) {
    const auto& table = ScriptCommandTable();
    EXPECT_EQ(table.size(), 79u);
    std::set<std::string_view> seen;
    for (int i = 1; i <= kScriptCommandCount; ++i) {
        const std::string_view word = table[static_cast<std::size_t>(i)].word;
        EXPECT_TRUE(StartsWith(word, "-")) << word;
        EXPECT_EQ(LowerCase(word), word);
        EXPECT_TRUE(seen.insert(word).second) << word;
        EXPECT_EQ(ScriptCommandNumber(word), i);
    }
    const std::vector<std::pair<std::string_view, int>> spots = {
        {"-if", 1},        {"-endif", 8},       {"-exit", 9},       {"-callscript", 11}, {"-update", 19},
        {"-messagebox", 21}, {"-clear", 37},    {"-repairtextures", 51}, {"-case", 52}, {"-break", 58},
        {"-silent", 59},   {"-iniadd", 65},     {"-write", 69},     {"-pointposition", 71}, {"-save", 77},
        {"-invalid", 78},  {"-Update", 19},     {"-UPDATEX", 0},    {"", 0},            {"if", 0}};
    for (const auto& [word, number] : spots) EXPECT_EQ(ScriptCommandNumber(word), number) << word;
}

TEST(ScriptCommandTable, PerCommandRules) {
    auto numbersWith = [](unsigned flag) {
        std::vector<int> out;
        for (int i = 1; i <= kScriptCommandCount; ++i)
            if (HasCommandFlag(i, flag)) out.push_back(i);
        return out;
    };
    EXPECT_EQ(numbersWith(cfRunsWhileSkipping), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(numbersWith(cfRawFields), (std::vector<int>{69}));
    EXPECT_EQ(numbersWith(cfKeepQuotes), (std::vector<int>{65, 66, 68}));
    EXPECT_EQ(numbersWith(cfNoMacros), (std::vector<int>{65, 68}));
    EXPECT_EQ(numbersWith(cfOwnVariables), (std::vector<int>{71, 72, 73, 74, 75, 76, 77}));
    EXPECT_EQ(numbersWith(cfNoReport), (std::vector<int>{21, 22, 28, 59, 60}));
    EXPECT_EQ(numbersWith(cfMainWindowOnly), (std::vector<int>{18, 21, 22}));
}

// Every command word of the table has its handler.
TEST(ScriptCommandTable, EveryCommandHasAHandler) {
    TProgramState state;
    FakeScriptHost host;
    TScriptUnit unit(state, host);
    EXPECT_EQ(unit.Commands().Unregistered(), std::vector<int>{});
}

struct LineCase {
    const char* name;
    std::string script;
    Lines said;
};

class LineSyntax : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineSyntax, Reports) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    bed.Run(GetParam().script);
    EXPECT_EQ(Said(bed.host), GetParam().said);
}

std::string ThirtyBars() {
    std::string line = "-update";
    for (int i = 1; i <= 30; ++i) line += "|" + std::to_string(i);
    return line;
}

std::string TwentyFourFields() {
    std::string line = "-update";
    for (int i = 1; i <= 24; ++i) line += "|" + std::to_string(i);
    return line;
}

INSTANTIATE_TEST_SUITE_P(
    Script, LineSyntax,
    ::testing::Values(
        LineCase{"WordsIgnoreCase", "-Update|kind|x\n-update|kind|y", {"-update|kind|x", "-update|kind|y"}},
        LineCase{"UnknownWord", "-updatex|a", {"alert+ test\\001: Invalid Script Call: -updatex"}},
        LineCase{"UnknownWordAsWritten", "-UpDateX", {"alert+ test\\001: Invalid Script Call: -UpDateX"}},
        LineCase{"PartOfTheIfWordsIsSilent", "-els\n-ifth\n-endi", {}},
        LineCase{"TheSentinel", "-invalid|x", {"alert+ test\\001: Invalid Script Call: -invalid"}},
        LineCase{"EmptyAndBlankLines", "\n   \n\t\n", {}},
        LineCase{"ThirtyBarsGiveTwentyFiveFields", ThirtyBars(), {TwentyFourFields()}},
        LineCase{"CommentParameterIsCleared", "-update|kind|;note|a;b", {"-update|kind||a;b"}},
        LineCase{"BlanksAndQuotes", "-update| kind | \"x y\" ", {"-update|kind|x y"}},
        LineCase{"MacrosExpanded", "-update|%bin%", {"-update|<tmp>/program/bin"}},
        LineCase{"IniAddKeepsQuotesAndMacros", "-iniadd|\"S\"|%bin%|\"v\"", {"-iniadd|\"S\"|%bin%|\"v\""}},
        LineCase{"InstallToolKeepsQuotesAndMacros", "-installtool|\"T\"|a\xC2\xA6\"%pfe%\"", {"-installtool|\"T\"|a\xC2\xA6\"%pfe%\"", "alert+ test\\001: New tool added: \"T\"/a"}},
        LineCase{"IniDeleteKeepsQuotesOnly", "-inidelete|\"S\"|%bin% ^Z", {"-inidelete|\"S\"|<tmp>/program/bin "}},  // trimmed before ^Z (empty) is expanded
        LineCase{"WriteTakesItsFieldsRaw", "-write|line|  a \"b\" ;c ^1 %bin% ", {"-write*|line|  a \"b\" ;c ^1 %bin%", "alert+ test\\001: Write: File not opened"}},
        LineCase{"OwnVariablesStayForTheHandler", "-pointrotation|x|^X+1|^0",
                 {"-pointrotation|x|^X+1|^0", "alert+ test\\001: No attachment data in memory"}},
        LineCase{"BuilderWithoutItsTagsFile", "-fixkuids\n-makebogeytable",
                 {"alert+ test\\001: File not found: <tmp>/program/bin/tags.xml",
                  "alert+ test\\002: Not applicable to non traincar assets"}},
        LineCase{"NoReportCommand", "-messagebox|hello", {"-messagebox|hello", "repaint", "message hello"}},
        LineCase{"CommentLines", ";-update|a\n;x", {}},
        LineCase{"InvalidFirstCharacterStopsTheRun", "-info|one\nx-info|two\n-info|three",
                 {"-info|one", "alert+ test\\001: one", "alert+ test\\002: Invalid character in script [x]"}},
        LineCase{"InvalidFirstCharacterIsACharacter", "\xC3\xA9t\xC3\xA9",
                 {"alert+ test\\001: Invalid character in script [\xC3\xA9]"}},
        LineCase{"ByteOrderMarkOnTheFirstLine", "\xEF\xBB\xBF-info|a\xEF\xBB\xBF", {"-info|a", "alert+ test\\001: a"}},
        LineCase{"DotMessagesLoseTheDot", "-info|.note", {"-info|.note", "alert+ test\\001: note"}},
        LineCase{"UnknownWordWhileSkippingIsSilent", "-if|config.txt\\kind=x\n-bogus\n-endif", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptMessages, SilentDropsDotMessages) {
    ScriptBed bed;
    WriteSettingBool(bed.state.Settings(), keys::Silent, true);
    bed.Run("-info|.quiet\n-info|loud");
    EXPECT_EQ(Said(bed.host), (Lines{"-info|.quiet", "-info|loud", "alert+ test\\002: loud"}));
}

TEST(ScriptMessages, PrefixCallPathAndLineNumber) {
    ScriptBed bed;
    bed.unit->CallPath = "autorun";
    bed.unit->LogMessage(7, "seven");
    bed.unit->LogMessage(1234, "many");
    bed.unit->LogMessage(0, "menu %bin%");
    bed.unit->LogMessage(3, "");
    bed.unit->LogMessage(3, ".");
    EXPECT_EQ(Said(bed.host), (Lines{"alert+ autorun\\007: seven", "alert+ autorun\\1234: many",
                                     "alert+ menu <tmp>/program/bin"}));
    EXPECT_EQ(bed.host.alert, "autorun\\007: seven\r\nautorun\\1234: many\r\nmenu " + bed.Program() + "/bin");
}

TEST(ScriptMessages, AHandlerThatThrowsEndsTheRun) {
    ScriptBed bed;
    bed.unit->Commands().Register(17, [](ScriptCall&) -> std::string { throw std::runtime_error("disk on fire"); });
    bed.Run("-expand|x\n-info|never");
    EXPECT_EQ(Said(bed.host), (Lines{"alert+ test\\001: disk on fire"}));
    EXPECT_EQ(bed.host.treeDepth, 0);
    EXPECT_EQ(bed.unit->CallPath, "");
}

// --- variables

struct VariableCase {
    const char* name;
    std::string parameter;
    std::string expanded;
    Lines said;
};

class Variables : public ::testing::TestWithParam<VariableCase> {};

TEST_P(Variables, Expand) {
    ScriptBed bed;
    TScriptVars vars;
    vars.LineIndex = 4;
    vars.Memory[0] = "x^0";
    vars.Memory[1] = "one";
    vars.Memory[9] = "nine";
    vars.PointData = "1.5,2,3,40,50,60,a.front";
    vars.ItemCount = 7;
    bed.unit->CallPath = "s";
    WriteSetting(bed.state.Settings(), keys::Language, "de");
    WriteSetting(bed.state.Settings(), keys::InfoUrl, "http://x");
    std::string p = GetParam().parameter;
    bed.unit->ExpandVariables(p, vars);
    EXPECT_EQ(p, GetParam().expanded);
    EXPECT_EQ(Said(bed.host), GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    Script, Variables,
    ::testing::Values(
        VariableCase{"Memories", "^1-^9-^1", "one-nine-one", {}},
        VariableCase{"MemoryHoldingACaretIsNotRescanned", "^0^0", "x^0x^0", {}},
        VariableCase{"SettingsAndPoint", "^L ^U ^X^Y^Z ^x^y^z ^P ^T", "de http://x 1.523 405060 a.front 7", {}},
        VariableCase{"DoubleCaret", "^^1", "1", {"alert+ s\\005: Error expanding variable: ^^"}},
        VariableCase{"TrailingCaret", "ab^1^", "abone", {"alert+ s\\005: Error expanding variable: abone^"}},
        VariableCase{"UnknownReportedOnceAndRemovedEverywhere", "a^qb^qc", "abc",
                     {"alert+ s\\005: Error expanding variable: ^q"}},
        VariableCase{"UnknownWideCharacter", "a^\xC3\xA9z", "az", {"alert+ s\\005: Error expanding variable: ^\xC3\xA9"}},
        VariableCase{"LoopVariablesOutsideALoop", "[^V^I^D^d^F^f]", "[]",
                     {"alert+ s\\005: Error expanding variable ^V: ^V", "alert+ s\\005: Error expanding variable ^I: ^I",
                      "alert+ s\\005: Error expanding variable ^D: ^D", "alert+ s\\005: Error expanding variable ^d: ^d",
                      "alert+ s\\005: Error expanding variable ^F: ^F", "alert+ s\\005: Error expanding variable ^f: ^f"}},
        VariableCase{"NoCaret", "plain", "plain", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptVariables, LoopItemsOfFiles) {
    ScriptBed bed;
    const std::string asset = bed.SelectAsset("asset", kTestConfig);
    TScriptVars vars;
    vars.ForEachActive = 1;
    vars.Items = {"zero", asset + "\\sub\\Deep\\a.b.tga"};
    vars.ItemIndex = 1;
    bed.unit->BindContext();
    std::string p = "^D|^d|^F|^f|^I|^V";
    bed.unit->ExpandVariables(p, vars);
    EXPECT_EQ(p, asset + "\\sub\\Deep\\|sub\\Deep\\|sub\\Deep\\a.b.tga|sub\\Deep\\a.b|1|" + asset + "\\sub\\Deep\\a.b.tga");
}

TEST(ScriptVariables, NewKuidOncePerParameter) {
    ScriptBed bed;
    WriteSetting(bed.state.Settings(), keys::UserID, "42");
    bed.Run("-update|^K ^K|^K");
    EXPECT_EQ(Said(bed.host), (Lines{"-update|<kuid:42:8000> <kuid:42:8000>|<kuid:42:8001>"}));
    EXPECT_EQ(ReadSetting(bed.state.Settings(), keys::NextCloneID), "8002");
}

TEST(ScriptVariables, NextCloneIdThatIsNoNumberStartsAt8000) {
    ScriptBed bed;
    WriteSetting(bed.state.Settings(), keys::NextCloneID, "abc");
    bed.Run("-update|^K");
    EXPECT_EQ(Said(bed.host), (Lines{"-update|<kuid::8000>"}));
    EXPECT_EQ(ReadSetting(bed.state.Settings(), keys::NextCloneID), "8001");
}

TEST(ScriptVariables, NotExpandedWhileSkipping) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    bed.Run("-if|config.txt\\kind=x\n-if|^q\n-endif\n-endif\n-info|^q");
    EXPECT_EQ(Said(bed.host), (Lines{"alert+ test\\005: Error expanding variable: ^q", "-info|"}));
}

TEST(ScriptVariables, AParameterCannotGrowWithoutEnd) {
    ScriptBed bed;
    TScriptVars vars;
    vars.Memory[0] = std::string(300000, 'm');
    std::string p = "^0^0^0^0^0^0";
    bed.unit->ExpandVariables(p, vars);
    EXPECT_EQ(p.size(), kMaxParameterBytes);
}

TEST(ScriptVariables, StoredAndReadBackInAndOutOfALoop) {
    ScriptBed bed;
    bed.Run("-store|^1|abc\n-foreach|option|x,y\n-store|2|^1^V^I\n-info|^2 of ^T\n-endfor\n-info|^2 ^T");
    Lines alerts;
    for (const std::string& line : bed.host.log)
        if (StartsWith(line, "alert")) alerts.push_back(line);
    EXPECT_EQ(alerts, (Lines{"alert+ test\\004: abcx0 of 2", "alert+ test\\004: abcy1 of 2", "alert+ test\\006: abcy1 2"}));
}

}  // namespace
}  // namespace kelvarn::test
