#include <gtest/gtest.h>

#include "shell/Image32.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/TagTypes.h"

namespace kelvarn {
namespace {

TEST(SplitByCharSet, CountsSeparatorsPlusOne) {
    TTokens t;
    EXPECT_EQ(SplitByCharSet("a,,b", t, ","), 3);
    EXPECT_EQ(t[0], "a");
    EXPECT_EQ(t[1], "");
    EXPECT_EQ(t[2], "b");
    EXPECT_EQ(SplitByCharSet("", t, ","), 1);
    EXPECT_EQ(t[0], "");
}

TEST(SplitByCharSet, StopsAtTwentySixWithAnEmptyLastToken) {
    TTokens t;
    std::string text;
    for (int i = 0; i < 30; ++i) text += "x" + std::to_string(i) + ",";
    EXPECT_EQ(SplitByCharSet(text, t, ","), 26);
    EXPECT_EQ(t[24], "x24");
    EXPECT_EQ(t[25], "");  // exists, so a caller indexing by the count reads nothing stale
}

TEST(SplitByCharSet, SplitsAtCharactersNotBytes) {
    TTokens t;
    // "¦" and "¶" share their first UTF-8 byte with other characters; only whole characters split.
    EXPECT_EQ(SplitByCharSet("Open\xC2\xA6\xC2\xA6\"%pfe%\"\xC2\xA6" "1", t, "\xC2\xA6"), 4);
    EXPECT_EQ(t[0], "Open");
    EXPECT_EQ(t[2], "\"%pfe%\"");
    EXPECT_EQ(SplitByCharSet("a\xC2\xB6" "b\xC2\xA6" "c", t, "\xC2\xA6"), 2);
    EXPECT_EQ(t[0], "a\xC2\xB6" "b");
}

TEST(ConfigLines, NamesValuesAndSplitting) {
    EXPECT_EQ(TagName("  Kind \"scenery\" "), "kind");
    EXPECT_EQ(TagName("mesh-table"), "mesh-table");
    EXPECT_EQ(TagName(" MeshTable "), "MeshTable");  // a container's name keeps its case
    EXPECT_EQ(TagValue("kind \"scenery\""), "\"scenery\"");
    EXPECT_EQ(TagValueUnquoted("kind \"scenery\""), "scenery");
    EXPECT_EQ(TagValue("\"\""), "");
    EXPECT_EQ(TagValue("container"), "");
    std::string name, value;
    SplitTag("   username \"My car\"  ", name, value);  // works on the trimmed line
    EXPECT_EQ(name, "username");
    EXPECT_EQ(value, "\"My car\"");
    SplitTag("alone", name, value);
    EXPECT_EQ(value, "");
}

TEST(ConfigLines, QuotingHelpers) {
    EXPECT_EQ(QuoteValue("a \"b\" c"), "\"a b c\"");
    EXPECT_EQ(QuoteValue(""), "\"\"");
    EXPECT_EQ(TrimChar("\\\\a\\b\\", '\\'), "a\\b");
    EXPECT_EQ(ZeroPad("7", 3), "007");
    EXPECT_EQ(EnsureTrailingChar('\\', "a"), "a\\");
    EXPECT_EQ(EnsureTrailingChar('\\', "a\\"), "a\\");
}

TEST(ListContains, WholeEntriesIgnoringCase) {
    EXPECT_TRUE(ListContains("SCENERY", "mesh,scenery"));
    EXPECT_FALSE(ListContains("mesh,s", "mesh,scenery"));
    EXPECT_FALSE(ListContains("scen", "mesh,scenery"));
    EXPECT_FALSE(ListContains("", "mesh"));
    EXPECT_FALSE(ListContains("mesh", ""));
}

TEST(WildcardMatch, StarQuestionAndCase) {
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_TRUE(WildcardMatch("a?c", "abc"));
    EXPECT_FALSE(WildcardMatch("A*", "abc"));
    EXPECT_FALSE(WildcardMatch("", "abc"));
    EXPECT_FALSE(WildcardMatch("a*", ""));
    EXPECT_TRUE(WildcardMatch("*.t*a", "body.texture.tga"));
    EXPECT_FALSE(WildcardMatch("*.im", "a.imx"));
}

TEST(Colours, HexTextToWindowsColourAndBack) {
    EXPECT_EQ(HexToColor("#800000"), TColor{0x000080});
    EXPECT_EQ(HexToColor("CBE9CB"), TColor{0xCBE9CB});
    EXPECT_EQ(HexToColor("#00FF00"), TColor{0x00FF00});
    EXPECT_EQ(HexToColor("#123456"), TColor{0x563412});
    EXPECT_FALSE(HexToColor("#80000G"));
    EXPECT_FALSE(HexToColor(""));
    EXPECT_EQ(ColorToHex(0x563412), "#123456");
}

TEST(TagTypes, IndexIsOneBasedAndIgnoresCase) {
    EXPECT_EQ(TagTypeIndex("Memo"), 14);
    EXPECT_EQ(TagTypeIndex("invalid"), 28);
    EXPECT_EQ(TagTypeIndex("container"), 1);
    EXPECT_EQ(TagTypeIndex("nonsense"), 0);
}

TEST(Builds, FormatParseAndFolder) {
    EXPECT_EQ(FormatBuild(30), "3.0");
    EXPECT_EQ(FormatBuild(25), "2.5");
    EXPECT_EQ(ParseBuild("3.&7"), 37);
    EXPECT_EQ(ParseBuild("2.5"), 25);
    EXPECT_EQ(ParseBuild("x"), 0);
    EXPECT_EQ(ParseBuild("2.45"), 25);  // rounded to the nearest tenth

    TProgramState state;
    EnsureDefaultBuilds(state.Settings());
    state.Paths.TS2009 = "D:\\TS2009";
    state.Paths.TC = "D:\\TC";
    EXPECT_EQ(BuildFolder(state, 30), "D:\\TS2009");  // key "3.0" = 2009-SP1
    EXPECT_EQ(BuildFolder(state, 27), "D:\\TC");      // "TC-1" cut at "-"
}

TEST(TextureSize, TheSizeRule) {
    EXPECT_FALSE(TextureSizeProblem(512, 64));
    EXPECT_TRUE(TextureSizeProblem(1024, 64));
    EXPECT_TRUE(TextureSizeProblem(256, 1));
    EXPECT_TRUE(TextureSizeProblem(96, 96));
    EXPECT_TRUE(TextureSizeProblem(0, 256));
    EXPECT_FALSE(TextureSizeProblem(2, 2));
}

TEST(AlphaKinds, NoneMaskedBlended) {
    Image32 image;
    ASSERT_TRUE(image.Resize(2, 2, 0xFF102030));
    EXPECT_EQ(ClassifyAlpha(image), 0);
    image.At(1, 1) = 0x00102030;
    EXPECT_EQ(ClassifyAlpha(image), 1);
    image.At(0, 1) = 0x80102030;
    EXPECT_EQ(ClassifyAlpha(image), 2);
    EXPECT_FALSE(image.Resize(0, 5));
    EXPECT_FALSE(image.Resize(1 << 15, 1 << 14));  // beyond the pixel cap
}

TEST(CurrentAsset, AccessorsFormTheFileMacrosValues) {
    TProgramState state;
    state.SetAssetPath("C:\\A\\");
    state.SetAssetFileName("x.IM");
    state.SetAssetKuid("<kuid:1:2>");
    EXPECT_EQ(state.AssetPath(), "C:\\A");
    EXPECT_EQ(state.AssetPathFile(), "C:\\A\\x.IM");
    EXPECT_EQ(state.AssetFileExt(), ".IM");
    EXPECT_EQ(state.AssetKuidForFileName(), "kuid 1 2");
}

}  // namespace
}  // namespace kelvarn
