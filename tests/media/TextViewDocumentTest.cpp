#include <gtest/gtest.h>

#include "media/TextViewDocument.h"
#include "support/TestSupport.h"
#include "support/TextCodecCases.h"

namespace kelvarn {
namespace {

TEST(TextViewDocument, FilesShowTheirTextAndKeepTheirBytes) {
    for (const test::TextCase& c : test::TextCases()) {
        SCOPED_TRACE(c.what);
        TTextViewDocument doc = DocumentFromBytes(c.bytes);
        ASSERT_EQ(doc.notText, "");
        EXPECT_EQ(doc.text, c.shown);
        TTextDocument unedited = doc.file;
        EXPECT_EQ(DocumentToBytes(unedited, doc.text), c.bytes);
        EXPECT_EQ(DocumentToBytes(doc.file, test::EditedLine(doc.text)), c.edited);
    }
}

TEST(TextViewDocument, FilesThatAreNoTextAreShownButNeverWritten) {
    for (const std::string& bytes : test::NotTextCases()) {
        const TTextViewDocument doc = DocumentFromBytes(bytes);
        EXPECT_NE(doc.notText, "");
        EXPECT_EQ(doc.text.find('\r'), std::string::npos);
    }
    EXPECT_EQ(NotTextMessage("/a/b.txt", "it holds NUL bytes"),
              "/a/b.txt is not a text file (it holds NUL bytes); it is shown read-only");
}

TEST(TextViewDocument, LoadAndSaveThroughFiles) {
    test::TempDir dir;
    TTextViewDocument doc;
    const std::string missing = dir / "none.txt";
    EXPECT_EQ(LoadTextViewFile(missing, doc).rfind("Unable to load file: " + missing, 0), 0u);
    test::WriteBytes(dir / "a.txt", "x\r\ny\ny\r\n");
    ASSERT_EQ(LoadTextViewFile(dir / "a.txt", doc), "");
    EXPECT_EQ(doc.text, "x\ny\ny\n");
    ASSERT_EQ(SaveTextViewFile(dir / "a.txt", doc.text + "z", doc.file), "");
    EXPECT_EQ(test::ReadBytes(dir / "a.txt"), "x\r\ny\ny\r\nz");
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
