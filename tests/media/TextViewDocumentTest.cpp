#include <gtest/gtest.h>

#include "media/TextViewDocument.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

TEST(TextViewDocument, FilesComeBackByteForByte) {
    const std::string cases[] = {
        "name \xA6 one\r\nsecond line\r\n",             // Windows-1252 with a broken bar, CR LF
        "\xEF\xBB\xBFkind \"scenery\"\r\nend\r\n",      // UTF-8 with its mark, CR LF
        "only\nline feeds\nno final end",              // LF only
        "old\rmac\r",                                  // lone CR
        "",
        "\xC3\xA9t\xC3\xA9\n",                         // UTF-8 without a mark
    };
    for (const std::string& bytes : cases) {
        const TTextViewDocument doc = DocumentFromBytes(bytes);
        EXPECT_EQ(doc.text.find('\r'), std::string::npos);
        EXPECT_EQ(DocumentToBytes(doc.text, doc.encoding, doc.lineEnd), bytes);
    }
    EXPECT_EQ(DocumentFromBytes("a\xA6").text, "a\xC2\xA6");
    EXPECT_EQ(DocumentFromBytes("a\xA6").encoding, TextEncoding::Windows1252);
    // A character the old encoding cannot hold: the file becomes UTF-8 rather than lose it.
    EXPECT_EQ(DocumentToBytes("\xE2\x82\xAC\xE2\x9C\x93", TextEncoding::Windows1252, TLineEnd::Lf),
              "\xE2\x82\xAC\xE2\x9C\x93");
}

TEST(TextViewDocument, LoadAndSaveThroughFiles) {
    test::TempDir dir;
    TTextViewDocument doc;
    const std::string missing = dir / "none.txt";
    EXPECT_EQ(LoadTextViewFile(missing, doc).rfind("Unable to load file: " + missing, 0), 0u);
    test::WriteBytes(dir / "a.txt", "x\r\ny\r\n");
    ASSERT_EQ(LoadTextViewFile(dir / "a.txt", doc), "");
    EXPECT_EQ(doc.text, "x\ny\n");
    ASSERT_EQ(SaveTextViewFile(dir / "a.txt", doc.text + "z", doc.encoding, doc.lineEnd), "");
    EXPECT_EQ(test::ReadBytes(dir / "a.txt"), "x\r\ny\r\nz");
}

TEST(TextViewDocument, TabsAndQuestions) {
    EXPECT_EQ(ClampTabWidth(1), 2);
    EXPECT_EQ(ClampTabWidth(21), 20);
    EXPECT_EQ(ClampTabWidth(5), 5);
    EXPECT_DOUBLE_EQ(TabStopPixels(4, 7.5), 30.0);
    EXPECT_EQ(CloseQueryText("/a/b.txt"), "Save File: /a/b.txt?");
    EXPECT_EQ(QuerySaveText("/a/b.txt"), "'/a/b.txt' may have changed.\n\nSave file to disc?");
}

TEST(TextViewDocument, FindCycleRestartsAfterAMiss) {
    TFindCycle cycle;
    EXPECT_EQ(cycle.StartFrom(7), 7u);
    cycle.Missed();
    EXPECT_EQ(cycle.StartFrom(7), 0u);
    EXPECT_EQ(cycle.StartFrom(7), 7u);
}

}  // namespace
}  // namespace kelvarn
