#include <gtest/gtest.h>

#include "media/ViewerEditors.h"
#include "shell/Files.h"
#include "support/TestSupport.h"
#include "support/TextCodecCases.h"

namespace kelvarn {
namespace {

using test::RecordingMessageSink;
using test::TempDir;

TEST(DescriptorEditor, FieldsRewriteTheTextAndTicksUseDefaults) {
    TempDir dir;
    test::WriteBytes(dir / "Wood.TGA", "x");
    test::WriteBytes(dir / "wood.texture.txt", "Primary=wood.tga\r\nTile=s\r\n");
    TDescriptorEditor e;
    ASSERT_EQ(e.Load(dir / "wood.texture.txt"), "");
    EXPECT_FALSE(e.Modified);
    EXPECT_EQ(e.Text, "Primary=wood.tga\r\nTile=s\r\n");
    EXPECT_EQ(e.Images, (std::vector<std::string>{"Wood.TGA"}));

    e.ChangeCheckBox(2, false);  // unticking Tile removes its line
    EXPECT_EQ(e.Text, "Primary=wood.tga\r\n");
    EXPECT_TRUE(e.Modified);
    e.ChangeCheckBox(2, true);  // ticking selects "st"
    EXPECT_EQ(e.Text, "Primary=wood.tga\r\nTile=st\r\n");
    e.ChangeCheckBox(1, true);  // the default image, as it is on disk
    EXPECT_EQ(e.Text, "Primary=wood.tga\r\nAlpha=Wood.TGA\r\nTile=st\r\n");
    e.ChangeValue(3, "dxt5");
    e.ChangeValue(2, "-");
    EXPECT_EQ(e.Text, "Primary=wood.tga\r\nAlpha=Wood.TGA\r\nCompression=dxt5\r\n");
    e.ChangeCheckBox(1, false);
    EXPECT_EQ(e.Text, "Primary=wood.tga\r\nCompression=dxt5\r\n");
}

TEST(DescriptorEditor, HandEditThenFieldChangeKeepsTheEdit) {
    TempDir dir;
    test::WriteBytes(dir / "a.texture.txt", "Primary=a.tga\r\n");
    TDescriptorEditor e;
    ASSERT_EQ(e.Load(dir / "a.texture.txt"), "");
    e.MemoChange("Primary=b.tga\r\nMipFilter=none\r\n");
    e.ChangeCheckBox(2, true);
    EXPECT_EQ(e.Text, "Primary=b.tga\r\nTile=st\r\nMipFilter=none\r\n");
}

TEST(DescriptorEditor, SaveNeedsThePrimaryLineFirst) {
    TempDir dir;
    const std::string bytes = "Primary=caf\xE9.tga\r\n";
    test::WriteBytes(dir / "a.texture.txt", bytes);
    TDescriptorEditor e;
    ASSERT_EQ(e.Load(dir / "a.texture.txt"), "");
    e.MemoChange("Alpha=b.tga\r\nPrimary=a.tga\r\n");
    EXPECT_EQ(e.Alert(), "Primary texture must be defined");
    EXPECT_FALSE(e.SaveEnabled());
    EXPECT_EQ(e.Save(), "Cannot save file: Primary texture is not defined");
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), bytes);

    e.MemoChange("primary=");
    EXPECT_TRUE(e.SaveEnabled());
    EXPECT_EQ(e.Save(), "");
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), "primary=");

    // The encoding it came in is kept.
    e.MemoChange("Primary=caf\xC3\xA9.tga\r\nTile=st\r\n");
    EXPECT_EQ(e.Save(), "");
    EXPECT_FALSE(e.Modified);
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), "Primary=caf\xE9.tga\r\nTile=st\r\n");
    EXPECT_NE(e.Load(dir / "gone.texture.txt"), "");
}

// Both editors read every encoding of the program's table and save it back as it was, an edited line
// changing only that line's bytes (the level-of-detail editor: it saves any text).
TEST(LodEditor, EveryEncodingComesBackAndAnEditChangesOneLine) {
    for (const test::TextCase& c : test::TextCases()) {
        if (c.bytes.empty()) continue;  // an empty file opens with the default lines
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir / "a.lm.txt";
        test::WriteBytes(file, c.bytes);
        TLodEditor e;
        ASSERT_EQ(e.Load(file), "");
        ASSERT_EQ(e.Save(), "");
        EXPECT_EQ(test::ReadBytes(file), c.bytes);
        e.Text.insert(e.Text.find_first_of("\r\n"), "!");
        ASSERT_EQ(e.Save(), "");
        EXPECT_EQ(test::ReadBytes(file), c.edited);
    }
    for (const std::string& bytes : test::NotTextCases()) {
        TempDir dir;
        test::WriteBytes(dir / "a.lm.txt", bytes);
        TLodEditor e;
        EXPECT_NE(e.Load(dir / "a.lm.txt"), "");
    }
}

TEST(DescriptorEditor, Utf16DescriptorsAreReadAndWrittenInUtf16) {
    for (const bool bigEndian : {false, true}) {
        TempDir dir;
        const std::string mark = bigEndian ? "\xFE\xFF" : "";  // little-endian here without its mark
        test::WriteBytes(dir / "a.texture.txt", mark + test::Utf16Ascii("Primary=a.tga\r\nTile=st\r\n", bigEndian));
        TDescriptorEditor e;
        ASSERT_EQ(e.Load(dir / "a.texture.txt"), "");
        EXPECT_EQ(e.Fields.Primary, "a.tga");
        e.ChangeCheckBox(2, false);
        ASSERT_EQ(e.Save(), "");
        EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), mark + test::Utf16Ascii("Primary=a.tga\r\n", bigEndian));
    }
}

TEST(ViewerEditorsClose, AskOnlyWhenModifiedAndFollowTheAnswer) {
    TempDir dir;
    test::WriteBytes(dir / "a.texture.txt", "Primary=a.tga\r\n");
    TDescriptorEditor e;
    ASSERT_EQ(e.Load(dir / "a.texture.txt"), "");
    RecordingMessageSink sink;
    EXPECT_TRUE(e.CloseQuery(sink));
    EXPECT_TRUE(sink.messages.empty());

    e.ChangeCheckBox(2, true);
    sink.answers = {Answer::Cancel};
    EXPECT_FALSE(e.CloseQuery(sink));
    EXPECT_EQ(sink.messages.back(), "Save File: " + (dir / "a.texture.txt") + "?");
    sink.answers = {Answer::Yes};
    EXPECT_TRUE(e.CloseQuery(sink));
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), "Primary=a.tga\r\nTile=st\r\n");

    e.ChangeCheckBox(2, false);
    sink.answers = {Answer::No};
    EXPECT_TRUE(e.CloseQuery(sink));
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), "Primary=a.tga\r\nTile=st\r\n");

    e.ChangeCheckBox(3, true);
    sink.answers = {Answer::Yes};
    e.QuerySave(sink);
    EXPECT_NE(sink.messages.back().find("may have changed."), std::string::npos);
    EXPECT_EQ(test::ReadBytes(dir / "a.texture.txt"), "Primary=a.tga\r\nCompression=none\r\n");
}

TEST(LodEditor, OpenThenCloseChangesNothingAndAsksNothing) {
    TempDir dir;
    const std::string text = "version 1.0\r\noffset=0.01;\r\nmesh(\"10\") {\r\n  name=\"a.im\";\r\n}\r\n";
    test::WriteBytes(dir / "x.lm.txt", text);
    test::WriteBytes(dir / "a.im", "x");
    test::WriteBytes(dir / "b.im", "x");
    TLodEditor e;
    ASSERT_EQ(e.Load(dir / "x.lm.txt"), "");
    EXPECT_EQ(e.Text, text);
    EXPECT_FALSE(e.Modified);
    EXPECT_EQ(e.Fields.Meshes.size(), 6u);
    EXPECT_EQ(e.MeshFiles, (std::vector<std::string>{"a.im", "b.im"}));
    RecordingMessageSink sink;
    EXPECT_TRUE(e.CloseQuery(sink));
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(test::ReadBytes(dir / "x.lm.txt"), text);
    EXPECT_FALSE(e.VersionRed());
    EXPECT_TRUE(e.MultiplierRed());  // not in the file: empty, not "1.0"
    EXPECT_EQ(e.Alert(), "");

    // Text the fields cannot hold is named before a field change leaves it out.
    test::WriteBytes(dir / "y.lm.txt", text + "shadow = \"s.im\";\r\n");
    ASSERT_EQ(e.Load(dir / "y.lm.txt"), "");
    EXPECT_NE(e.Alert().find("shadow = \"s.im\";"), std::string::npos) << e.Alert();
}

TEST(LodEditor, FieldChangesRewriteAndRedRowsDrop) {
    TempDir dir;
    test::WriteBytes(dir / "x.lm.txt", "");
    TLodEditor e;
    ASSERT_EQ(e.Load(dir / "x.lm.txt"), "");
    EXPECT_EQ(e.Text, JoinLines(LodFile::DefaultLines(), "\r\n"));  // an empty file shows the defaults
    EXPECT_FALSE(e.Modified);
    e.Fields.Meshes[0] = {"10", "a.im", true};
    e.Fields.Meshes[1] = {"20", "b.im", true};
    e.Fields.Meshes[2] = {"5", "c.im", true};
    e.DataChange();
    EXPECT_EQ(e.RedRows(), (std::vector<bool>{false, false, true, true, true, true}));
    EXPECT_TRUE(e.Modified);
    EXPECT_EQ(LodFile::Parse(e.Text).MeshNames(), (std::vector<std::string>{"a.im", "b.im"}));
    EXPECT_EQ(e.Save(), "");
    EXPECT_EQ(test::ReadBytes(dir / "x.lm.txt"), e.Text);
    EXPECT_FALSE(e.Modified);
}

}  // namespace
}  // namespace kelvarn
