#include <gtest/gtest.h>

#include "shell/Text.h"

namespace kelvarn {
namespace {

TEST(TextEncoding, Utf8WithAndWithoutMarkAndWindows1252AreTellApart) {
    const DecodedText plain = DecodeText("caf\xC3\xA9");
    EXPECT_EQ(plain.encoding, TextEncoding::Utf8);
    EXPECT_EQ(plain.text, "caf\xC3\xA9");

    const DecodedText marked = DecodeText("\xEF\xBB\xBFkind \"scenery\"");
    EXPECT_EQ(marked.encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(marked.text, "kind \"scenery\"");

    const DecodedText ansi = DecodeText("a\xA6" "b \x80 \xE9");  // "¦", euro sign, "é" in Windows-1252
    EXPECT_EQ(ansi.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(ansi.text, "a\xC2\xA6" "b \xE2\x82\xAC \xC3\xA9");
}

TEST(TextEncoding, MarkCountsOnlyAtTheVeryStart) {
    // A mark in the middle is a character of the text, not a mark.
    const DecodedText t = DecodeText("a\xEF\xBB\xBF");
    EXPECT_EQ(t.encoding, TextEncoding::Utf8);
    EXPECT_EQ(t.text, "a\xEF\xBB\xBF");
}

TEST(TextEncoding, EveryWindows1252ByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const DecodedText decoded = DecodeText(all);
    ASSERT_EQ(decoded.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(EncodeText(decoded.text, decoded.encoding), all);
}

TEST(TextEncoding, TextThatNoLongerFitsWindows1252IsWrittenAsUtf8) {
    const std::string text = "\xE2\x9C\x93";  // a check mark: no Windows-1252 byte
    EXPECT_EQ(EncodeText(text, TextEncoding::Windows1252), text);
    EXPECT_EQ(EncodeText("x", TextEncoding::Utf8Bom), "\xEF\xBB\xBFx");
}

TEST(TextEncoding, Utf16BothWaysWithSurrogatePairs) {
    const std::string text = "a\xC3\xA9\xE6\xB6\x88\xF0\x9F\x9A\x82";  // a, é, 消, a locomotive
    const std::string le = Utf8ToUtf16(text, false);
    EXPECT_EQ(le, std::string("a\0\xE9\0\x88\x6D\x3D\xD8\x82\xDE", 10));
    std::string back;
    EXPECT_TRUE(Utf16ToUtf8(le, false, back));
    EXPECT_EQ(back, text);
    EXPECT_TRUE(Utf16ToUtf8(Utf8ToUtf16(text, true), true, back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(EncodeText("a", TextEncoding::Utf16Be), std::string("\xFE\xFF\0a", 4));
    // Text that could not be written back as it was: an odd byte, a lone or reversed surrogate.
    for (const std::string& bad : {std::string("a\0b", 3), std::string("\x3D\xD8", 2), std::string("\x82\xDE\x3D\xD8", 4)})
        EXPECT_FALSE(Utf16ToUtf8(bad, false, back));
}

TEST(TextEncoding, InvalidSequencesAreNotUtf8) {
    EXPECT_FALSE(IsValidUtf8("\xC3"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x9A\x82"));
    // Long runs of ASCII are checked many bytes at a time: a sequence reads alike wherever it falls.
    for (std::size_t at = 0; at < 80; ++at) {
        std::string text(100, 'a');
        EXPECT_TRUE(IsValidUtf8(text.replace(at, 2, "\xC3\xA9"))) << at;
        text.assign(100, 'a');
        EXPECT_FALSE(IsValidUtf8(text.replace(at, 1, "\xE9"))) << at;
        text.assign(100, 'a');
        EXPECT_FALSE(IsValidUtf8(text.replace(at, 2, "\xC0\xAF"))) << at;
    }
}

TEST(TextCase, LatinLettersFoldAndByteLengthsStay) {
    EXPECT_EQ(LowerCase("\xC3\x89" "COLE \xC5\xA0"), "\xC3\xA9" "cole \xC5\xA1");  // "ÉCOLE Š"
    EXPECT_EQ(UpperCase("\xC3\xBF"), "\xC5\xB8");                                   // ÿ -> Ÿ
    EXPECT_EQ(LowerCase("\xD0\x91\xD0\x81 \xCE\xA9"), "\xD0\xB1\xD1\x91 \xCF\x89");   // БЁ Ω -> бё ω
    EXPECT_EQ(UpperCase("\xD0\xB1\xD1\x91 \xCF\x89"), "\xD0\x91\xD0\x81 \xCE\xA9");
    EXPECT_TRUE(SameText("Config.TXT", "config.txt"));
    // Only the letters move: the characters beside them in ASCII stay, in either direction.
    EXPECT_EQ(LowerCase("@AZ[`az{\x7F"), "@az[`az{\x7F");
    EXPECT_EQ(UpperCase("@AZ[`az{\x7F"), "@AZ[`AZ{\x7F");
    EXPECT_EQ(LowerCase("BODY.TGA \xC3\x89"), "body.tga \xC3\xA9");
    EXPECT_EQ(FindText("x \xC3\x89T\xC3\x89 y", "\xC3\xA9t\xC3\xA9"), 2u);
}

TEST(TextFind, EmptyNeedleIsNeverFound) {
    EXPECT_FALSE(ContainsText("abc", ""));
    EXPECT_FALSE(ContainsStr("abc", ""));
    EXPECT_FALSE(ContainsText("", ""));
    EXPECT_TRUE(ContainsText("Mesh-Table", "mesh"));
    EXPECT_FALSE(ContainsStr("Mesh-Table", "mesh"));
}

TEST(TextLines, AllThreeLineEndsSplitAndAFinalEndAddsNoLine) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(TextNumbers, ParsingIgnoresTheLocaleAndRejectsGarbage) {
    long long i = 0;
    EXPECT_TRUE(TryParseInt(" 42 ", i));
    EXPECT_EQ(i, 42);
    EXPECT_TRUE(TryParseInt("$1F", i));
    EXPECT_EQ(i, 31);
    EXPECT_FALSE(TryParseInt("4x", i));
    EXPECT_FALSE(TryParseInt("", i));
    EXPECT_FALSE(TryParseInt("99999999999999999999", i));
    double d = 0;
    EXPECT_TRUE(TryParseDouble("2.5", d));
    EXPECT_DOUBLE_EQ(d, 2.5);
    EXPECT_FALSE(TryParseDouble("2,5", d));
    EXPECT_EQ(FormatDouble(0.5, 1), "0.5");
}

}  // namespace
}  // namespace kelvarn
