#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "media/LodFile.h"

namespace kelvarn {
namespace {

LodFile ThreeRows() {
    LodFile lod = LodFile::Parse("");
    lod.Meshes = {{"10", "near.im", true}, {"20", "mid.im", true}, {"40", "far.im", true}};
    return lod;
}

TEST(LodFileModel, OwnOutputReadsBackIdentically) {
    const LodFile lod = ThreeRows();
    EXPECT_EQ(lod.Write(),
              "version 1.0\r\noffset = 0.01;\r\ncalcPoint = center;\r\nmultiplier = 1.0;\r\n"
              "animationCutOff = 0.00;\r\nrenderCutOff = 0.00;\r\nattachmentCutOff = 0.00;\r\n\r\n"
              "mesh(\"10\") {\r\n  name=\"near.im\";\r\n}\r\nmesh(\"20\") {\r\n  name=\"mid.im\";\r\n}\r\n"
              "mesh(\"40\") {\r\n  name=\"far.im\";\r\n}\r\n");
    EXPECT_EQ(LodFile::Parse(lod.Write()), lod);
}

TEST(LodFileModel, FieldsKeepTheFilesText) {
    const LodFile lod = LodFile::Parse(
        "VERSION 1.0\n  offset=0.01;\ncalcPoint = near;\nmultiplier = 1.00 ;\nanimationCutOff = 5;\n"
        "renderCutOff=abc;\n");
    EXPECT_EQ(lod.Version, "1.0");
    EXPECT_TRUE(LodValueIsStandard(lod.Version));
    EXPECT_EQ(lod.Offset, "0.01");
    EXPECT_EQ(lod.CalcPoint, "near");
    EXPECT_EQ(lod.Multiplier, "1.00");
    EXPECT_FALSE(LodValueIsStandard(lod.Multiplier));
    EXPECT_EQ(lod.AnimationCutOff, "5");
    EXPECT_EQ(lod.RenderCutOff, "abc");
    EXPECT_EQ(lod.AttachmentCutOff, "");
    const std::vector<std::string> lines = lod.Lines();
    EXPECT_EQ(lines[0], "version 1.0");
    EXPECT_EQ(lines[2], "calcPoint = near;");
    EXPECT_EQ(lines[6], "attachmentCutOff = 0.0;");  // an empty field writes "0.0"
}

TEST(LodFileModel, EmptyFileGetsTheSevenDefaultLinesAndNoRows) {
    for (const char* text : {"", "  \r\n"}) {
        const LodFile lod = LodFile::Parse(text);
        EXPECT_TRUE(lod.Meshes.empty());
        std::vector<std::string> expected = LodFile::DefaultLines();
        expected.push_back("");
        EXPECT_EQ(lod.Lines(), expected);
    }
}

TEST(LodFileModel, MeshRowsOfEveryLayout) {
    const LodFile lod = LodFile::Parse(
        "name=\"stray.im\";\n"          // before any mesh: no row
        "mesh(\"10\") {\n  name=\"a.im\";\n}\n"
        "Mesh \"20\" {\n\tNAME = b.im ;\n}\n"
        "mesh(\"30\") {\n}\n"           // no name: an unticked row
        "mesh(\"40\") {\n  name=\"d.im\";\n}\n");
    ASSERT_EQ(lod.Meshes.size(), 4u);
    EXPECT_EQ(lod.Meshes[0], (TLodMeshRow{"10", "a.im", true}));
    EXPECT_EQ(lod.Meshes[1], (TLodMeshRow{"20", "b.im", true}));
    EXPECT_EQ(lod.Meshes[2], (TLodMeshRow{"30", "", false}));
    EXPECT_EQ(lod.MeshNames(), (std::vector<std::string>{"a.im", "b.im", "d.im"}));
    EXPECT_EQ(lod.FirstMeshName(), "a.im");
    EXPECT_EQ(lod.LastMeshName(), "d.im");
    // The unticked row is not written; the others are.
    const LodFile again = LodFile::Parse(lod.Write());
    EXPECT_EQ(again.MeshNames(), lod.MeshNames());
    EXPECT_EQ(again.Meshes.size(), 3u);
}

// Blocks are read by their braces and semicolons, wherever the lines break; what the parser does not
// understand is kept in view so the editor can say it will be left out.
TEST(LodFileModel, BlocksOnOneLineAndUnreadText) {
    const LodFile lod = LodFile::Parse(
        "version 1.0\noffset = 0.02; calcPoint = far;\n"
        "mesh(\"0.01\") { name=\"lod2.im\"; }\n"
        "mesh(\"0.5\") { name=\"semi;colon.im\"; } mesh(\"2\"){name=\"lod0.im\";}\n"
        "// made by hand\nfoo = 3;\n");
    EXPECT_EQ(lod.Offset, "0.02");
    EXPECT_EQ(lod.CalcPoint, "far");
    ASSERT_EQ(lod.Meshes.size(), 3u);
    EXPECT_EQ(lod.Meshes[0], (TLodMeshRow{"0.01", "lod2.im", true}));
    EXPECT_EQ(lod.Meshes[1], (TLodMeshRow{"0.5", "semi;colon.im", true}));
    EXPECT_EQ(lod.Meshes[2], (TLodMeshRow{"2", "lod0.im", true}));
    EXPECT_EQ(lod.Unread, (std::vector<std::string>{"// made by hand", "foo = 3;"}));
    // A rewrite keeps every block the file had.
    EXPECT_EQ(LodFile::Parse(lod.Write()).Meshes, lod.Meshes);
    EXPECT_TRUE(LodFile::Parse(lod.Write()).Unread.empty());
    // A quoted setting with a brace is written unquoted: it must still read back as written.
    const LodFile braced = LodFile::Parse("calcPoint = \"a{b\";\n");
    const LodFile again = LodFile::Parse(braced.Write());
    EXPECT_EQ(again.Write(), braced.Write());
    EXPECT_TRUE(again.Unread.empty());
}

TEST(LodFileModel, PicksReadCrLfAndLfAlike) {
    const std::string lf = "version 1.0\nmesh(\"5\") {\n  name=\"hi.im\";\n}\nmesh(\"50\") {\n  name=\"lo.im\";\n}\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {lf, crlf}) {
        const LodFile lod = LodFile::Parse(text);
        EXPECT_EQ(lod.FirstMeshName(), "hi.im");
        EXPECT_EQ(lod.LastMeshName(), "lo.im");
        EXPECT_EQ(lod.MeshNames().size(), 2u);
    }
    EXPECT_EQ(LodFile::Parse("version 1.0").FirstMeshName(), "");
}

TEST(LodFileOrder, OutOfOrderRowsTurnRedAndStayUnwritten) {
    EXPECT_EQ(CheckMeshOrder({"10", "20", "5", "", "", ""}),
              (std::vector<bool>{false, false, true, true, true, true}));
    EXPECT_EQ(CheckMeshOrder({"10", "10", "20", "30", "40", "50"}),
              (std::vector<bool>{false, true, true, true, true, true}));
    EXPECT_EQ(CheckMeshOrder({"1", "2.5", "3", "10", "20", "30"}), std::vector<bool>(6, false));
    EXPECT_EQ(CheckMeshOrder({"abc", "1"}), (std::vector<bool>{false, false}));

    LodFile lod = ThreeRows();
    lod.Meshes[2].Percent = "5";
    const LodFile written = LodFile::Parse(lod.Write());
    EXPECT_EQ(written.MeshNames(), (std::vector<std::string>{"near.im", "mid.im"}));
}

TEST(LodFileOrder, RowsPastTheSixthGoBackAsTheyWereRead) {
    LodFile lod = LodFile::Parse("");
    for (int i = 1; i <= 8; ++i) lod.Meshes.push_back({std::to_string(i * 10), "m" + std::to_string(i) + ".im", true});
    EXPECT_EQ(LodFile::Parse(ThreeRows().Write() + "mesh(\"1\") {\n name=\"x\";\n}\n").Meshes.size(), 4u);
    // Out of order or without a file, the seventh and eighth are still not the editor's to drop.
    lod.Meshes[6] = {"5", "m7.im", true};
    lod.Meshes[7] = {"", "", false};
    const LodFile read = LodFile::Parse(lod.Write());
    EXPECT_EQ(read.Meshes, lod.Meshes);
    EXPECT_EQ(LodFile::Parse(read.Write()), read);
    // Among the six, unticked rows and rows without a file are left out.
    lod.Meshes[0].Ticked = false;
    lod.Meshes[1].File.clear();
    EXPECT_EQ(LodFile::Parse(lod.Write()).MeshNames(),
              (std::vector<std::string>{"m3.im", "m4.im", "m5.im", "m6.im", "m7.im"}));
}

TEST(LodFileModel, ReadsFiles) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.lm.txt", ThreeRows().Write());
    LodFile lod;
    DecodedText text;
    ASSERT_EQ(ReadLodFile(dir / "a.lm.txt", lod, &text), "");
    EXPECT_EQ(lod, ThreeRows());
    EXPECT_NE(ReadLodFile(dir / "none.lm.txt", lod), "");
}

}  // namespace
}  // namespace kelvarn
