// The one text codec: every kind of text file the program meets, read as its text, written back
// unedited byte for byte, and edited one line at a time without touching the other lines' bytes.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/TextCodec.h"
#include "support/TestSupport.h"
#include "support/TextCodecCases.h"

namespace kelvarn {
namespace {

TEST(TextCodec, EveryKindOfFileReadsAndComesBackByteForByte) {
    for (const test::TextCase& c : test::TextCases()) {
        SCOPED_TRACE(c.what);
        const DecodedText decoded = DecodeText(c.bytes);
        ASSERT_EQ(decoded.notText, "");
        EXPECT_EQ(decoded.encoding, c.encoding);
        TTextDocument document;
        ASSERT_EQ(DecodeDocument(c.bytes, document), "");
        EXPECT_EQ(DocumentText(document), c.shown);
        EXPECT_EQ(EncodeText(decoded), c.bytes);
        EXPECT_EQ(EncodeDocument(document), c.bytes);
        // Taking back the same text keeps everything.
        SetDocumentText(document, c.shown);
        EXPECT_EQ(EncodeDocument(document), c.bytes);
    }
}

TEST(TextCodec, AnEditChangesOnlyTheEditedLinesBytes) {
    for (const test::TextCase& c : test::TextCases()) {
        SCOPED_TRACE(c.what);
        TTextDocument document;
        ASSERT_EQ(DecodeDocument(c.bytes, document), "");
        SetDocumentText(document, test::EditedLine(c.shown));
        EXPECT_EQ(EncodeDocument(document), c.edited);
    }
}

TEST(TextCodec, BytesThatAreNoTextAreRefused) {
    const std::string cases[] = {
        std::string("kind \"x\"\r\n\0\x01\x02\x03", 14),    // a NUL byte in 8-bit text
        std::string("\xFF\xFE" "a\0b\0c", 7),                 // UTF-16 with its mark, odd length
        std::string("\xFF\xFE\x00\xD8" "a\0", 6),             // a surrogate without its pair
        std::string("\xEF\xBB\xBF" "a\0b\0", 7),              // a UTF-8 mark before NUL bytes
        std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),     // a picture
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        EXPECT_NE(DecodeText(bytes).notText, "");
        TTextDocument document;
        EXPECT_NE(DecodeDocument(bytes, document), "");
    }
}

TEST(TextCodec, LinesMovedAroundAnEditKeepTheirOwnEnds) {
    TTextDocument document;
    ASSERT_EQ(DecodeDocument("one\r\ntwo\nthree\rfour\r\nfive", document), "");
    // A line inserted after "two", and "four" changed: the rest keep their ends, the new line takes
    // the end of the line before it, the changed line keeps its own.
    SetDocumentText(document, "one\ntwo\nnew\nthree\nFOUR\nfive");
    EXPECT_EQ(EncodeDocument(document), "one\r\ntwo\nnew\nthree\rFOUR\r\nfive");
    // Lines deleted at both ends, one appended after the last.
    SetDocumentText(document, "two\nnew\nthree\nFOUR\nfive\nsix");
    EXPECT_EQ(EncodeDocument(document), "two\nnew\nthree\rFOUR\r\nfive\r\nsix");
}

TEST(TextCodec, NewTextGoesIntoTheFilesEncoding) {
    TTextDocument latin;
    ASSERT_EQ(DecodeDocument("caf\xE9\r\nend", latin), "");
    // A Windows-1252 file: a new line in it when it fits, in UTF-8 when it does not.
    SetDocumentText(latin, "caf\xC3\xA9\n\xC3\xA0 la gare\n\xE2\x9C\x93\nend");
    EXPECT_EQ(EncodeDocument(latin), "caf\xE9\r\n\xE0 la gare\r\n\xE2\x9C\x93\r\nend");
    TTextDocument marked;
    ASSERT_EQ(DecodeDocument("\xEF\xBB\xBF" "caf\xE9\r\n", marked), "");
    // With a UTF-8 mark the file is UTF-8: only its old Windows-1252 line stays so.
    EXPECT_EQ(marked.encoding, TextEncoding::Utf8Bom);
    SetDocumentText(marked, "caf\xC3\xA9\n\xC3\xA0\n");
    EXPECT_EQ(EncodeDocument(marked), "\xEF\xBB\xBF" "caf\xE9\r\n\xC3\xA0\r\n");
}

// Every text file of the real corpus is text, and comes back byte for byte (also as UTF-16).
TEST(TextCodec, RealTextFilesComeBackByteForByte) {
    const std::filesystem::path corpus = std::filesystem::path(KELVARN_SOURCE_DIR) / ".." / "shared" / "corpus";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || !(EndsWithText(name, ".txt") || EndsWithText(name, ".ini"))) continue;
        const std::string bytes = test::ReadBytes(entry.path().string());
        TTextDocument document;
        ASSERT_EQ(DecodeDocument(bytes, document), "") << entry.path();
        EXPECT_EQ(EncodeDocument(document), bytes) << entry.path();
        const std::string utf16 = EncodeText(DocumentText(document), TextEncoding::Utf16LeNoMark);
        TTextDocument wide;
        ASSERT_EQ(DecodeDocument(utf16, wide), "") << entry.path();
        EXPECT_EQ(DocumentText(wide), DocumentText(document)) << entry.path();
        ++checked;
    }
    EXPECT_GE(checked, 12);
}

TEST(TextCodec, TextMadeHereIsWrittenWhole) {
    EXPECT_EQ(EncodeText("caf\xC3\xA9", TextEncoding::Windows1252), "caf\xE9");
    // A character Windows-1252 lacks: the whole text goes out in UTF-8 rather than a mixture.
    EXPECT_EQ(EncodeText("caf\xC3\xA9\r\n\xE2\x9C\x93", TextEncoding::Windows1252), "caf\xC3\xA9\r\n\xE2\x9C\x93");
    EXPECT_EQ(EncodeText("ab", TextEncoding::Utf16LeNoMark), std::string("a\0b\0", 4));
    EXPECT_EQ(EncodeText("ab", TextEncoding::Utf16Be), std::string("\xFE\xFF\0a\0b", 6));
}

// A text that begins with a character whose bytes are a byte-order mark (U+FEFF, or U+FFFE in UTF-16,
// whose bytes are the other order's mark), or whose UTF-16 bytes begin as UTF-8's mark (U+EFBB U+BF0A
// big-endian, U+BBEF U+0ABF little-endian), reads back as itself in every encoding.
TEST(TextCodec, TextBeginningWithAMarksBytesReadsBackAsItself) {
    for (const std::string text : {std::string("\xEF\xBB\xBF" "a \"\"\r\n"), std::string("\xEF\xBF\xBE" "a \"\"\r\n"),
                                   std::string("\xEE\xBE\xBB\xEB\xBC\x8A" " \"\"\r\n"),
                                   std::string("\xEB\xAF\xAF\xE0\xAA\xBF" " \"\"\r\n")})
        for (const TextEncoding encoding :
             {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Windows1252, TextEncoding::Utf16Le,
              TextEncoding::Utf16Be, TextEncoding::Utf16LeNoMark, TextEncoding::Utf16BeNoMark}) {
            const DecodedText back = DecodeText(EncodeText(text, encoding));
            EXPECT_EQ(back.text, text) << static_cast<int>(encoding) << " " << text;
        }
}

}  // namespace
}  // namespace kelvarn
