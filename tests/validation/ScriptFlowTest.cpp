// Control flow: tests, branches, stopping, the -case and -select dialogs and the loop, with the list
// builders they use.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "shell/Strings.h"
#include "support/TestSupport.h"
#include "support/TextCodecCases.h"
#include "validation/ScriptLists.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

// What the run reported and asked, without line counts and the stand-ins' records.
Lines Told(const FakeScriptHost& host) {
    Lines out;
    for (const std::string& line : host.log)
        if (!StartsWith(line, "status") && !StartsWith(line, "-")) out.push_back(line);
    return out;
}

using namespace std::string_view_literals;
constexpr std::string_view kThumbnail240x180 =
    "\xFF\xD8\xFF\xC0\x00\x11\x08\x00\xB4\x00\xF0\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9"sv;

// --- TestCondition

struct ConditionCase {
    const char* name;
    std::string test;
    bool result;
    bool stops;  // an alert and the terminate flag
};

class Condition : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(Condition, Evaluates) {
    ScriptBed bed;
    std::string config(kTestConfig);
    config += "hex-value 0x10\nwide-value inf\nempty-value \"\"\n";
    const std::string asset = bed.SelectAsset("asset", config);
    WriteBytes(asset + "/Textures/Tower.IM", "x");
    bed.state.KindChain = "scenery,mesh-asset";
    TScriptVars vars;
    EXPECT_EQ(bed.unit->TestCondition(vars, GetParam().test), GetParam().result);
    EXPECT_EQ(bed.unit->Terminate, GetParam().stops);
    EXPECT_EQ(!bed.host.alert.empty(), GetParam().stops);
}

INSTANTIATE_TEST_SUITE_P(
    Script, Condition,
    ::testing::Values(
        ConditionCase{"Empty", "", true, false},
        ConditionCase{"QuotedValueMatches", "config.txt\\kind=scenery", true, false},
        ConditionCase{"TheTestIsLowerCased", "Config.txt\\KIND=Scenery", true, false},
        ConditionCase{"Wildcard", "config.txt\\kind=sc*", true, false},
        ConditionCase{"NotEqual", "config.txt\\kind!scenery", false, false},
        ConditionCase{"NumbersGreater", "config.txt\\trainz-build>2.5", true, false},
        ConditionCase{"NumbersLess", "config.txt\\trainz-build<2.5", false, false},
        ConditionCase{"NumbersEqualAsNumbers", "config.txt\\trainz-build=2.90", true, false},
        ConditionCase{"TextsCompared", "config.txt\\description>2.5", true, false},
        ConditionCase{"TextsCompared2", "config.txt\\description<2.5", false, false},
        ConditionCase{"HexIsText", "config.txt\\hex-value=16", false, false},
        ConditionCase{"InfIsText", "config.txt\\wide-value>5", true, false},
        ConditionCase{"NumberIsNumeric", "config.txt\\trainz-build#", true, false},
        ConditionCase{"QuotedIsNotNumeric", "config.txt\\kind#", false, false},
        ConditionCase{"QuotedIsText", "config.txt\\kind$", true, false},
        ConditionCase{"NumberIsNotText", "config.txt\\trainz-build$", false, false},
        ConditionCase{"EmptyIsNeither", "config.txt\\missing$", false, false},
        ConditionCase{"ExistsTag", "config.txt\\kind@", true, false},
        ConditionCase{"ExistsNot", "config.txt\\missing@", false, false},
        ConditionCase{"ExistsContainer", "config.txt\\mesh-table@", true, false},
        ConditionCase{"ContainerWithOtherOperator", "config.txt\\mesh-table=x", false, true},
        ConditionCase{"EqualsBeforeLessWherever", "config.txt\\kind=sc<enery", false, false},
        ConditionCase{"MissingEqualsNothing", "config.txt\\missing=", false, false},
        ConditionCase{"FileInMixedCase", "(exists)textures\\tower.im", true, false},
        ConditionCase{"FileWithSlash", "(exists)textures/tower.im", true, false},
        ConditionCase{"FileWildcardInSubFolder", "(exists)*.im", true, false},
        ConditionCase{"FileMissing", "(exists)tower.im", false, false},
        ConditionCase{"Inherits", "(inherits)MESH-ASSET", true, false},
        ConditionCase{"InheritsNot", "(inherits)traincar", false, false},
        ConditionCase{"UnknownBracketTest", "(bogus)x", false, true},
        ConditionCase{"NoOperator", "config.txt\\kind", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptCondition, AlertTexts) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    bed.Run("-if|config.txt\\kind\n-info|never");
    EXPECT_EQ(Told(bed.host), (Lines{"alert Invalid Test Condition: config.txt\\kind"}));
    bed.host.log.clear();
    bed.Run("-ifnot|config.txt\\mesh-table!x\n-info|never");
    EXPECT_EQ(Told(bed.host), (Lines{"alert Operator cannot be used with a container: config.txt\\mesh-table!x"}));
}

// --- branches

struct FlowCase {
    const char* name;
    std::string script;
    Lines told;
    std::vector<std::string> answers = {};
};

class Flow : public ::testing::TestWithParam<FlowCase> {};

TEST_P(Flow, Runs) {
    ScriptBed bed;
    const std::string asset = bed.SelectAsset("asset", kTestConfig);
    WriteBytes(asset + "/thumb.jpg", kThumbnail240x180);
    std::string wide(kThumbnail240x180);
    wide[10] = '\xF1';  // 241 wide
    WriteBytes(asset + "/wide.jpg", wide);
    WriteBytes(asset + "/broken.jpg", "\xFF\xD8\xFF\xC0\x00"sv);
    WriteBytes(asset + "/sub/a.tga", "a");
    WriteBytes(asset + "/sub/b.TGA", "b");
    WriteBytes(asset + "/list.txt", "one\r\ntwo\r\nthree\r\n");
    WriteBytes(asset + "/empty.txt", "");
    const std::string other = bed.Asset("other", "kind \"x\"\n");
    bed.host.kuids.Add("<kuid2:1:2:127>", bed.dir / "gone");  // listed once, its folder gone since
    bed.host.kuids.Add("<kuid2:1:2:127>", other);
    bed.host.kuids.Add("<kuid:7:8>", other);
    bed.host.kuids.Add("<kuid2:5:6:2>", other);
    bed.host.kuids.Add("<kuid:4:4>", bed.dir / "removed");
    for (const std::string& a : GetParam().answers) bed.host.answers.push_back(a);
    bed.Run(GetParam().script);
    EXPECT_EQ(Told(bed.host), GetParam().told);
    EXPECT_EQ(bed.host.treeDepth, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Script, Flow,
    ::testing::Values(
        FlowCase{"NestedIfElse",
                 "-if|config.txt\\kind=x\n-info|no\n-if|config.txt\\kind=scenery\n-info|no2\n-else\n-info|no3\n-endif\n"
                 "-else\n-info|yes\n-endif\n-info|end",
                 {"alert+ test\\009: yes", "alert+ test\\011: end"}},
        FlowCase{"TrueBranchWithFalseInside",
                 "-if|config.txt\\kind=scenery\n-ifnot|config.txt\\kind=scenery\n-info|no\n-else\n-info|inner\n-endif\n"
                 "-info|outer\n-endif",
                 {"alert+ test\\005: inner", "alert+ test\\007: outer"}},
        FlowCase{"StrayElseAndEndIf", "-else\n-info|a\n-endif\n-endif\n-info|b", {"alert+ test\\005: b"}},
        FlowCase{"BranchLeftOpen", "-if|config.txt\\kind=x\n-info|a", {}},
        FlowCase{"QueryYes", "-ifquery|config.txt\\kind=scenery|Go on?\n-info|yes\n-endif",
                 {"confirm Go on? -> yes", "alert+ test\\002: yes"}, {"yes"}},
        FlowCase{"QueryNo", "-ifquery|config.txt\\kind=scenery|Go on?\n-info|yes\n-endif", {"confirm Go on? -> no"}, {"no"}},
        FlowCase{"QueryFalseTestAsksNothing", "-ifquery|config.txt\\kind=x|Go on?\n-info|yes\n-endif", {}},
        FlowCase{"AssetNewestVersion", "-ifasset|<kuid:1:2>\n-info|found\n-endif", {"alert+ test\\002: found"}},
        FlowCase{"AssetVersionAbove", "-ifasset|<KUID2:5:6:1>\n-info|found\n-endif", {"alert+ test\\002: found"}},
        FlowCase{"AssetVersionBelowNotEnough", "-ifasset|<kuid2:5:6:3>\n-info|found\n-endif", {}},
        FlowCase{"AssetPlain", "-ifasset|<kuid:7:8>\n-info|found\n-endif", {"alert+ test\\002: found"}},
        FlowCase{"AssetUnknown", "-ifasset|<kuid:9:9>\n-info|found\n-endif", {}},
        FlowCase{"AssetFolderGone", "-ifasset|<kuid:4:4>\n-info|found\n-endif", {}},
        FlowCase{"MatchesValue", "-ifmatches|scen*|config.txt\\kind\n-info|yes\n-endif", {"alert+ test\\002: yes"}},
        FlowCase{"MatchesAddressText", "-ifmatches|conf*|config.txt\\nothing\n-info|yes\n-endif", {"alert+ test\\002: yes"}},
        FlowCase{"MatchesNot", "-ifmatches|x*|config.txt\\kind\n-info|yes\n-endif", {}},
        FlowCase{"Thumbnail", "-ifthumbnail|thumb.jpg\n-info|yes\n-endif", {"alert+ test\\002: yes"}},
        FlowCase{"ThumbnailCaseIgnored", "-ifthumbnail|THUMB.jpg\n-info|yes\n-endif", {"alert+ test\\002: yes"}},
        FlowCase{"ThumbnailWrongSize", "-ifthumbnail|wide.jpg\n-info|yes\n-else\n-info|no\n-endif", {"alert+ test\\004: no"}},
        FlowCase{"ThumbnailMissing", "-ifthumbnail|none.jpg\n-info|yes\n-else\n-info|no\n-endif", {"alert+ test\\004: no"}},
        FlowCase{"ThumbnailCorrupt", "-ifthumbnail|broken.jpg\n-info|yes\n-else\n-info|no\n-endif", {"alert+ test\\004: no"}},
        FlowCase{"Exit", "-info|a\n-exit|Done here\n-info|b", {"alert+ test\\001: a", "alert+ test\\002: Done here Execution terminated"}},
        FlowCase{"ExitWithoutText", "-exit\n-info|b", {"alert+ test\\001: Execution terminated"}},
        FlowCase{"ExitCommentIgnored", "-exit|;why", {"alert+ test\\001: Execution terminated"}},
        FlowCase{"ConditionHolds", "-condition|config.txt\\kind=scenery|No\n-info|b", {"alert+ test\\002: b"}},
        FlowCase{"ConditionFails", "-condition|config.txt\\kind=x|Not scenery\n-info|b",
                 {"alert+ test\\001: Not scenery Execution terminated."}},
        // -case
        FlowCase{"CaseChoice", "-case|a,b|Pick\n-case|1\n-info|A\n-case|2\n-info|B\n-endcase\n-info|after",
                 {"choose Pick [&1: a|&2: b] -> 2", "alert+ test\\005: B", "alert+ test\\007: after"}, {"2"}},
        FlowCase{"CaseRunsIntoTheNextLabel", "-case|a,b|Pick\n-case|1\n-info|A\n-case|2\n-info|B\n-endcase\n-info|after",
                 {"choose Pick [&1: a|&2: b] -> 1", "alert+ test\\003: A", "alert+ test\\007: after"}, {"1"}},
        FlowCase{"CaseCancel", "-case|a,b|Pick\n-info|cancelled\n-case|1\n-info|A\n-endcase\n-info|after",
                 {"choose Pick [&1: a|&2: b] -> cancel", "alert+ test\\002: cancelled", "alert+ test\\006: after"},
                 {"cancel"}},
        FlowCase{"CaseTwelveOptionsLabelTwelveFirst",
                 "-case|a,b,c,d,e,f,g,h,i,j,k,l|Many\n-case|12\n-info|twelve\n-case|1\n-info|one\n-endcase",
                 {"choose Many [&1: a|&2: b|&3: c|&4: d|&5: e|&6: f|&7: g|&8: h|&9: i|10: j|11: k|12: l] -> 1",
                  "alert+ test\\005: one"},
                 {"1"}},
        FlowCase{"CaseLabelNotFound", "-case|a,b|Pick\n-case|1\n-info|A\n-endcase\n-info|after",
                 {"choose Pick [&1: a|&2: b] -> 2", "alert+ test\\001: Case label not found: -Case|2",
                  "alert+ test\\005: after"},
                 {"2"}},
        FlowCase{"CaseUnterminated", "-case|a|Pick\n-case|1\n-info|A\n-case|2\n-info|B",
                 {"choose Pick [&1: a] -> 1", "alert+ test\\003: A", "alert+ test\\004: Unterminated -Case statement",
                  "alert+ test\\005: B"},
                 {"1"}},
        FlowCase{"CaseNested", "-case|a|One\n-case|b|Two\n-info|never",
                 {"choose One [&1: a] -> cancel", "alert+ test\\002: Case statements cannot be nested"}, {"cancel"}},
        FlowCase{"CaseNinetyNineIsTheDialog", "-case|99|Odd\n-case|1\n-info|A\n-endcase",
                 {"choose Odd [&1: 99] -> 1", "alert+ test\\003: A"}, {"1"}},
        // -select
        FlowCase{"SelectChecked",
                 "-select|a,b,c|Which\n-select|1\n-info|A\n-select|2\n-info|B\n-select|3\n-info|C\n-endselect\n-info|after",
                 {"select Which [a|b|c] -> 1,3", "alert+ test\\003: A", "alert+ test\\007: C", "alert+ test\\009: after"},
                 {"1,3"}},
        FlowCase{"SelectEndSelectLast", "-select|a,b|Which\n-select|2\n-info|B\n-endselect",
                 {"select Which [a|b] -> 2", "alert+ test\\003: B"}, {"2"}},
        FlowCase{"SelectCancel", "-select|a,b|Which\n-info|x\n-select|1\n-info|A\n-endselect\n-info|after",
                 {"select Which [a|b] -> cancel", "alert+ test\\002: x", "alert+ test\\006: after"}, {"cancel"}},
        FlowCase{"SelectNoLabel", "-select|a,b|Which\n-info|x", {"select Which [a|b] -> 2", "alert+ test\\001: Select label not found",
                                                                 "alert+ test\\002: x"}, {"2"}},
        FlowCase{"SelectUnterminated", "-select|a,b|Which\n-select|1\n-info|A\n-select|2\n-info|B",
                 {"select Which [a|b] -> 1", "alert+ test\\003: A", "alert+ test\\004: Unterminated -Select statement"}, {"1"}},
        FlowCase{"SelectNested", "-select|a|One\n-select|b|Two", {"select One [a] -> 1",
                                                                  "alert+ test\\001: Select label not found",
                                                                  "alert+ test\\002: Select statements cannot be nested"}, {"1"}},
        // -foreach
        FlowCase{"ForEachOption", "-foreach|option|a,,b\n-info|[^V]\n-endfor",
                 {"alert+ test\\002: [a]", "alert+ test\\002: []", "alert+ test\\002: [b]"}},
        FlowCase{"ForEachOptionEmptyFirst", "-foreach|option|,a\n-info|[^V]\n-endfor\n-info|after",
                 {"alert+ test\\001: Option list empty or incorrectly formatted", "alert+ test\\004: after"}},
        FlowCase{"ForEachNumber", "-foreach|number|5,1-3,3\n-info|^V\n-endfor",
                 {"alert+ test\\002: 1", "alert+ test\\002: 2", "alert+ test\\002: 3", "alert+ test\\002: 5"}},
        FlowCase{"ForEachRangeDescending", "-foreach|number|3-1\n-info|^V\n-endfor\n-info|after",
                 {"alert+ test\\001: Numeric ranges must be in ascending order", "alert+ test\\004: after"}},
        FlowCase{"ForEachHugeRange", "-foreach|number|0-2000000000\n-info|^V\n-endfor",
                 {"alert+ test\\001: Invalid item in list"}},
        FlowCase{"ForEachFile", "-foreach|file|*.tga\n-info|^F\n-endfor",
                 {"alert+ test\\002: sub\\a.tga", "alert+ test\\002: sub\\b.TGA"}},
        FlowCase{"ForEachFileNone", "-foreach|file|*.wav\n-info|^F\n-endfor", {"alert+ test\\001: No files matching *.wav"}},
        FlowCase{"ForEachLine", "-foreach|line|list.txt\n-info|^I ^V\n-endfor",
                 {"alert+ test\\002: 0 one", "alert+ test\\002: 1 two", "alert+ test\\002: 2 three"}},
        FlowCase{"ForEachReverse", "-foreach|reverse|LIST.TXT\n-info|^V\n-endfor",
                 {"alert+ test\\002: three", "alert+ test\\002: two", "alert+ test\\002: one"}},
        FlowCase{"ForEachLineWildcard", "-foreach|line|*.txt\n-endfor", {"alert+ test\\001: Wildcards not permitted in this -Foreach form"}},
        FlowCase{"ForEachLineEmptyFileSkipsSilently", "-foreach|line|empty.txt\n-info|^V\n-endfor\n-info|after",
                 {"alert+ test\\004: after"}},
        FlowCase{"ForEachTag", "-foreach|tag|mesh-table\\*\\mesh\n-info|^V\n-endfor",
                 {"alert+ test\\002: config.txt\\mesh-table\\default\\mesh", "alert+ test\\002: config.txt\\mesh-table\\lod\\mesh"}},
        FlowCase{"ForEachTagContainers", "-foreach|tag|\\mesh-table\\*\\\n-info|^V\n-endfor",
                 {"alert+ test\\002: config.txt\\mesh-table\\default\\", "alert+ test\\002: config.txt\\mesh-table\\lod\\"}},
        FlowCase{"ForEachUnknownForm", "-foreach|Bogus|x\n-endfor", {"alert+ test\\001: Unrecognised parameter to foreach: Bogus"}},
        FlowCase{"ForEachWithoutEndFor", "-foreach|option|a\n-info|^V",
                 {"alert+ test\\002: a", "alert+ test\\003: EndFor statement missing"}},
        FlowCase{"ForEachErrorWithoutEndFor", "-foreach|number|3-1\n-info|^V",
                 {"alert+ test\\001: Numeric ranges must be in ascending order\r\n\t.-EndFor statement not found",
                  "alert+ test\\002: Error expanding variable ^V: ^V"}},
        FlowCase{"ForEachNested", "-foreach|option|a,b\n-foreach|option|x\n-info|^V\n-endfor",
                 {"alert+ test\\002: Foreach loops cannot be nested", "alert+ test\\003: a",
                  "alert+ test\\002: Foreach loops cannot be nested", "alert+ test\\003: b"}},
        FlowCase{"StrayEndFor", "-endfor\n-info|a\n-endfor", {"alert+ test\\002: a"}},
        FlowCase{"BreakInsideIf",
                 "-foreach|option|a,b,c\n-if|config.txt\\kind=scenery\n-info|^V\n-break\n-endif\n-endfor\n-info|after",
                 {"alert+ test\\003: a", "alert+ test\\007: after"}},
        FlowCase{"BreakOutsideALoop", "-break", {"alert+ test\\001: -Break only valid in -Foreach"}},
        FlowCase{"ExitInsideALoopIsNoMissingEndFor", "-foreach|option|a,b\n-exit|x\n-endfor",
                 {"alert+ test\\002: x Execution terminated"}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- list builders

TEST(ParseOptionList, Forms) {
    struct Case {
        std::string text;
        std::vector<std::string> items;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"5,1-3,3", {"1", "2", "3", "5"}, ""},
        {"10;9,8", {"8", "9", "10"}, ""},
        {"", {}, ".List parameter empty"},
        {"3-1", {}, ".Numeric ranges must be in ascending order"},
        {"a", {}, ".Invalid item in list"},
        {"-1", {}, ".Option list empty"},  // a range from nothing: no items
        {"4294967297", {}, ".Invalid item in list"},
        {"0-99999", {}, ""},
        {"0-100000", {}, ".Invalid item in list"},
        {"1,x-5", {"1"}, ""},
        {"x-y", {}, ".Option list empty"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> items;
        std::string message;
        ParseOptionList(c.text, items, message);
        EXPECT_EQ(message, c.message) << c.text;
        if (c.text == "0-99999") {
            EXPECT_EQ(items.size(), 100000u);
            EXPECT_EQ(items.back(), "99999");
        } else if (c.message.empty()) {
            EXPECT_EQ(items, c.items) << c.text;
        }
    }
    EXPECT_EQ(CompareNumeric("10", "9"), 1);
    EXPECT_EQ(CompareNumeric("x", "0"), -1);
    EXPECT_EQ(CompareNumeric("x", "-1"), 0);
}

TEST(ListAssetFiles, PatternsAndFolders) {
    ScriptBed bed;
    const std::string asset = bed.Asset("asset", "kind \"x\"\n");
    WriteBytes(asset + "/a.tga", "");
    WriteBytes(asset + "/Sub/B.tga", "");
    WriteBytes(asset + "/Sub/c.bmp", "");
    const std::string outside = bed.dir / "outside";
    WriteBytes(outside + "/x.tga", "");
    WriteBytes(outside + "/deep/y.tga", "");
    auto list = [&](const std::string& pattern) {
        std::vector<std::string> found;
        ListAssetFiles(bed.state, asset, pattern, found);
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(list("*.tga"), (Lines{asset + "\\Sub\\B.tga", asset + "\\a.tga"}));
    EXPECT_EQ(list("\\*.tga"), (Lines{asset + "\\a.tga"}));
    EXPECT_EQ(list("sub/*"), (Lines{asset + "\\Sub\\B.tga", asset + "\\Sub\\c.bmp"}));
    EXPECT_EQ(list("sub\\\\c.BMP"), (Lines{asset + "\\Sub\\c.bmp"}));
    EXPECT_EQ(list(outside + "/*.tga"), (Lines{outside + "\\x.tga"}));
    EXPECT_EQ(list("*.wav"), Lines{});
    EXPECT_EQ(list(""), Lines{});
}

TEST(MatchTagAddresses, TagsAndContainers) {
    ScriptBed bed;
    bed.SelectAsset("asset", kTestConfig);
    std::vector<std::string> found;
    EXPECT_TRUE(bed.unit->MatchTagAddresses("mesh-table\\*\\mesh", found));
    EXPECT_EQ(found, (Lines{"config.txt\\mesh-table\\default\\mesh", "config.txt\\mesh-table\\lod\\mesh"}));
    EXPECT_TRUE(bed.unit->MatchTagAddresses("config.txt\\k*", found));
    EXPECT_EQ(found, (Lines{"config.txt\\kuid", "config.txt\\kind"}));
    EXPECT_TRUE(bed.unit->MatchTagAddresses("\\*\\", found));
    EXPECT_EQ(found, (Lines{"config.txt\\mesh-table\\", "config.txt\\thumbnails\\"}));
    EXPECT_TRUE(bed.unit->MatchTagAddresses("mesh-table\\", found));
    EXPECT_EQ(found, (Lines{"config.txt\\mesh-table\\"}));
    EXPECT_FALSE(bed.unit->MatchTagAddresses("lod\\", found));  // not a top-level container
    EXPECT_TRUE(found.empty());
    EXPECT_FALSE(bed.unit->MatchTagAddresses(std::string(5000, '\\') + "x", found));
}

TEST(ScriptFlow, AssetFoundFolderLivesUntilEndIf) {
    ScriptBed bed;
    const std::string other = bed.Asset("other", "kind \"x\"\n");
    bed.host.kuids.Add("<kuid2:1:2:5>", other);
    bed.unit->Commands().Register(13, [&](ScriptCall& c) {
        bed.host.Note("found " + c.unit.AssetFoundFolder);
        return std::string();
    });
    bed.Run("-ifasset|<kuid2:1:2:3>\n-copyfromasset|x\n-endif\n-copyfromasset|y");
    EXPECT_EQ(Told(bed.host), (Lines{"found <tmp>/other", "found "}));
}

}  // namespace
}  // namespace kelvarn::test

namespace kelvarn::test {
namespace {

// A script or list file in any encoding of the program's table reads as its lines; one that is no
// text is refused.
TEST(ReadLinesFile, EveryEncodingReadsAsItsLines) {
    TempDir dir;
    for (const TextCase& c : TextCases()) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir / "list.kvm", c.bytes);
        std::vector<std::string> lines;
        ASSERT_EQ(ReadLinesFile(dir / "list.kvm", lines), "");
        EXPECT_EQ(lines, SplitLines(c.shown));
    }
    for (const std::string& bytes : NotTextCases()) {
        WriteBytes(dir / "list.kvm", bytes);
        std::vector<std::string> lines;
        EXPECT_NE(ReadLinesFile(dir / "list.kvm", lines).find("not a text file"), std::string::npos);
    }
}

}  // namespace
}  // namespace kelvarn::test
