// The memory, computation and attachment-point commands, run as script lines on the main outline.
#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "shell/Files.h"
#include "shell/MemIni.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"
#include "validation/ScriptMemoryCommands.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

struct MemoryBed {
    ScriptBed bed{false};
    std::string asset = bed.SelectAsset("asset", kTestConfig);
    // Runs the lines and then writes ^0 to ^9 into the tags m0 to m9, so that values can be read.
    Lines Run(const std::string& script) {
        std::string lines = script;
        for (int i = 0; i < 10; ++i) lines += "\n-restore|" + std::to_string(i) + "|m" + std::to_string(i);
        bed.Run(lines);
        return Messages(bed.host);
    }
    std::string Tag(std::string_view path) const { return bed.main->GetValueByPath(path); }
};

TEST(FormatG, GeneralFormatWithoutLocale) {
    EXPECT_EQ(FormatG(1.0 / 3, 4), "0.3333");
    EXPECT_EQ(FormatG(20, 4), "20");
    EXPECT_EQ(FormatG(12340, 4), "1.234e+04");
    EXPECT_EQ(FormatG(0.00001, 4), "1e-05");
    EXPECT_EQ(FormatG(-0.0, 4), "0");
    EXPECT_EQ(FormatG(123.456, 4), "123.5");
    EXPECT_EQ(FormatG(1.5707963, 6), "1.5708");
    EXPECT_EQ(FormatG(2.5, 6), "2.5");
}

TEST(ScriptCompute, LeftToRightWithoutPrecedence) {
    MemoryBed m;
    EXPECT_EQ(m.Run("-compute|1|10/4\n-compute|2|1/3\n-compute|^3|2+3*4\n-compute|4| 1 + 2 \n-compute|5|0.00001*1"),
              Lines{});
    EXPECT_EQ(m.Tag("m1"), "2.5");
    EXPECT_EQ(m.Tag("m2"), "0.3333");
    EXPECT_EQ(m.Tag("m3"), "20");
    EXPECT_EQ(m.Tag("m4"), "3");
    EXPECT_EQ(m.Tag("m5"), "1e-05");
}

TEST(ScriptCompute, FaultsLeaveTheLocationAlone) {
    MemoryBed m;
    const Lines said = m.Run(
        "-store|1|7\n-store|2|x\n"
        "-compute|1|^2+1\n-compute|1|1/0\n-compute|1|1e300*1e300\n-compute|1|1e-3\n-compute|1|\n"
        "-compute|^12|1\n-compute|x|1\n-compute|1|inf\n-compute|1|0x10");
    EXPECT_EQ(said, (Lines{"Operand is not numeric x", "Division by zero", "Numeric overflow", "Operand is not numeric 1e",
                           "Parameter Empty", "Storage location incorrectly specified",
                           "Storage location incorrectly specified", "Operand is not numeric inf",
                           "Operand is not numeric 0x10"}));
    EXPECT_EQ(m.Tag("m1"), "7");
}

TEST(ScriptCompute, TwentyFiveOperandsAtMost) {
    MemoryBed m;
    std::string sum = "1";
    for (int i = 1; i < 30; ++i) sum += "+1";
    EXPECT_EQ(m.Run("-compute|1|" + sum), Lines{});
    EXPECT_EQ(m.Tag("m1"), "25");
}

TEST(ScriptCompute, ExpansionErrorReportedOnce) {
    MemoryBed m;
    EXPECT_EQ(m.Run("-store|1|5\n-compute|1|^q+1"), Lines{"Error expanding variable: ^q"});
    EXPECT_EQ(m.Tag("m1"), "5");
}

TEST(ScriptTokens, SplitsCountsAndEmptiesTheRest) {
    MemoryBed m;
    EXPECT_EQ(m.Run("-store|5|old\n-tokens|a;b;;c|\";\""), Lines{});
    EXPECT_EQ(m.Tag("m0"), "4");
    EXPECT_EQ(m.Tag("m1"), "a");
    EXPECT_EQ(m.Tag("m2"), "b");
    EXPECT_EQ(m.Tag("m3"), "");
    EXPECT_EQ(m.Tag("m4"), "c");
    EXPECT_EQ(m.Tag("m5"), "");  // beyond the count

    MemoryBed many;
    std::string source = "t1";
    for (int i = 2; i <= 30; ++i) source += ",t" + std::to_string(i);
    EXPECT_EQ(many.Run("-tokens|" + source + "|,"), Lines{});
    EXPECT_EQ(many.Tag("m0"), "25");
    EXPECT_EQ(many.Tag("m9"), "t9");

    MemoryBed empty;
    EXPECT_EQ(empty.Run("-tokens||\n-tokens|a|"), (Lines{"Delimeter(s) not specified", "Delimeter(s) not specified"}));
}

TEST(ScriptMemory, StoreRestoreSaveRoundTrip) {
    MemoryBed m;
    EXPECT_EQ(m.Run("-store|^1|a\xC2\xB6" "b c\n-restore|1|note\n-save|2|note\n-save|^3|username\n"
                    "-foreach|number|1-3\n-combine|4|^4^V\n-endfor"),
              Lines{});
    // The tag takes the outline's spelling of a value; -save reads back exactly what it holds.
    EXPECT_FALSE(m.Tag("note").empty());
    EXPECT_EQ(m.Tag("m2"), m.Tag("note"));
    EXPECT_EQ(m.Tag("m3"), "Water Tower");  // quotes removed
    EXPECT_EQ(m.Tag("m4"), "123");
}

TEST(ScriptMemory, RestoreTakesTheRestOfTheLine) {
    MemoryBed m;
    EXPECT_EQ(m.Run("-store|1|a\n-restore|1|note|b|c"), Lines{});
    EXPECT_EQ(m.Tag("note"), "a|b|c");
}

TEST(ScriptMemory, RefusalsChangeNothing) {
    MemoryBed m;
    const Lines said = m.Run(
        "-store|1|keep\n-store|x|a\n-store|^|a\n-store|1|a*b\n-restore|1|^2note\n-restore|1|mesh-table\\\n"
        "-save|1|nothing\n-save|1|mesh-table\\\n-save|1|k?nd\n-combine|12|a");
    EXPECT_EQ(said, (Lines{"Invalid memory location specified: ^x", "Invalid memory location specified: ^",
                           "Wildcards not permitted in this method",
                           "Script variables not permitted in destination parameter",
                           "Address specified is a container: mesh-table\\", "Unable to retrieve value from: nothing",
                           "Address specified is a container: mesh-table\\", "Wildcards not permitted in this method",
                           "Invalid memory location specified: ^12"}));
    EXPECT_EQ(m.Tag("m1"), "keep");
}

TEST(ScriptIniRead, ChecksInOrderLastWins) {
    MemoryBed m;
    m.bed.state.Settings().WriteString("Tools", "Editor", "vim");
    // The location is a digit as written: "^1" is none, even when memory 1 holds a digit.
    EXPECT_EQ(m.Run("-store|1|2\n-iniread|^1|Tools|Editor\n-iniread|||\n-iniread|1||\n-iniread|2|Tools|Editor\n-iniread|3|No|Key"),
              (Lines{"Storage location invalid", "Storage location undefined", "INI file key parameter undefined"}));
    EXPECT_EQ(m.Tag("m2"), "vim");
    EXPECT_EQ(m.Tag("m3"), "");
}

TEST(PointExpression, GrammarAndFormat) {
    const std::string data = "1.000,2.000,-0.500,90.0,0.0,0.0,a.one";
    struct Case {
        const char* expression;
        bool rotation;
        const char* result;  // "" for a syntax error
    };
    for (const Case& c : std::vector<Case>{{"0", false, "0.0"},
                                           {"^Y+0.25", false, "2.25"},
                                           {"X*2", false, "2.0"},
                                           {"Z", false, "-0.5"},
                                           {"-3", false, "-3.0"},
                                           {"X*0.00001", false, "1e-05"},
                                           {"123.456", false, "123.5"},
                                           {"x", true, "1.5708"},
                                           {"^y", true, "0.0"},
                                           {"x", false, ""},
                                           {"X", true, ""},
                                           {"X+", false, ""},
                                           {"Q", false, ""},
                                           {"X*a", false, ""},
                                           {"^", false, ""}}) {
        std::string result;
        const std::string message = EvaluatePointExpression(c.expression, data, c.rotation, result);
        if (*c.result)
            EXPECT_EQ(message + result, c.result) << c.expression;
        else
            EXPECT_EQ(message, "syntax") << c.expression;
    }
    std::string result;
    EXPECT_EQ(EvaluatePointExpression("X/0", data, false, result), ".Division by zero");
    EXPECT_EQ(EvaluatePointExpression("Y", "1", false, result), "syntax");  // short point data
}

TEST(CutUtf8, NeverSplitsACharacter) {
    EXPECT_EQ(CutUtf8("ab\xC2\xB6", 3), "ab");
    EXPECT_EQ(CutUtf8("ab\xC2\xB6", 4), "ab\xC2\xB6");
}

class ScriptPoints : public ::testing::Test {
protected:
    void SetUp() override {
        const Mat3 xTurn = {1, 0, 0, 0, 0, -1, 0, 1, 0};
        WriteBytes(m.asset + "/a.im",
                   MeshFileBuilder().Info(104).MaterialOnly(0, {}).Attachments({{"a.one", kIdentity3, {1, 2, 3}}}).Bytes());
        WriteBytes(m.asset + "/sub/b.im", MeshFileBuilder()
                                              .Info(104)
                                              .MaterialOnly(0, {})
                                              .Attachments({{"a.one", kIdentity3, {9, 9, 9}}, {"a.turn", xTurn, {0, 0, 0}}})
                                              .Bytes());
        WriteBytes(m.asset + "/bad.im", "JIRF\x01");
    }
    MemoryBed m;
};

TEST_F(ScriptPoints, ReadAndWritePositionAndRotation) {
    EXPECT_EQ(m.Run("-pointread|a.one\n-pointposition|pos|X|^Y+0.25|Z*2\n-pointread|a.turn\n"
                    "-pointrotation|rot|x|y|z\n-pointposition|pos2|0|0|0"),
              Lines{});
    EXPECT_EQ(m.Tag("pos"), "1.0,2.25,6.0");  // the first mesh in search order wins
    EXPECT_EQ(m.Tag("pos2"), "0.0,0.0,0.0");
    const std::vector<std::string> rot = SplitString(m.Tag("rot"), ",");
    ASSERT_EQ(rot.size(), 3u);
    EXPECT_TRUE(rot[0] == "1.5708" || rot[0] == "-1.5708") << rot[0];
}

TEST_F(ScriptPoints, FaultsChangeNothing) {
    const Lines said = m.Run(
        "-pointposition|pos|0|0|0\n-pointread|a.one\n-pointposition|pos|x|0|0\n-pointrotation|rot|X|0|0\n"
        "-pointposition|pos||0|0\n-pointposition|pos|X/0|0|0\n-pointposition|p*s|0|0|0\n-pointread|none\n"
        "-pointposition|pos|0|0|0");
    EXPECT_EQ(said, (Lines{"No attachment data in memory", "Syntax error in -PointPosition",
                           "Syntax error in -PointRotation", "Error in parameter specification", "Division by zero",
                           "Wildcards not permitted in this method", "Attachment not found: none",
                           "No attachment data in memory"}));
    EXPECT_EQ(m.bed.main->FindNodeByPath("pos"), nullptr);
    EXPECT_EQ(m.bed.main->FindNodeByPath("p*s"), nullptr);
}

TEST(ScriptPointsWithoutAsset, NothingIsSearched) {
    ScriptBed bed(false);
    bed.Run("-pointread|a.one");
    EXPECT_EQ(Messages(bed.host), Lines{"Attachment not found: a.one"});
}

}  // namespace
}  // namespace kelvarn::test
