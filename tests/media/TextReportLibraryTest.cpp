// The report library on files made by the builders and on the real asset folders, read in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "CorpusSupport.h"
#include "ImageBuilders.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"
#include "media/MeshTextures.h"
#include "media/TextReportLibrary.h"
#include "shell/Files.h"
#include "shell/Mesh.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

struct Answer {
    bool ok = false;
    Lines lines;
};

Answer Call(int op, const std::string& file) {
    TextReportLibrary library;
    Answer a;
    a.lines = {"stale"};  // whatever the caller left is replaced
    a.ok = library.CallTextLibrary(op, file, a.lines);
    return a;
}

bool Has(const Lines& lines, const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); }

std::ptrdiff_t IndexOf(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

std::string Picture(int width, int height) {
    test::TgaFields tga;
    tga.width = width;
    tga.height = height;
    tga.depth = 32;
    tga.descriptor = 8;
    tga.pixels = std::string(static_cast<std::size_t>(width * height * 4), '\x40');
    return test::MakeTga(tga);
}

// The sample mesh: three objects sharing a bump material, a default one, a skeleton, influences and
// two points, in a folder that holds its diffuse texture only.
class ReportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteBytes(mesh, test::MakeSampleMesh());
        test::WriteBytes(dir / "body.tga", Picture(4, 2));
        test::BmpFields bmp;
        bmp.width = 3;
        bmp.height = -2;
        test::WriteBytes(dir / "pic.bmp", test::MakeBmp(bmp));
        test::Ft2eFields texture;
        texture.format = "abgr";
        texture.width = 2;
        texture.height = 1;
        texture.wrapS = 3;
        texture.levels = {test::Bytes({1, 2, 3, 4, 5, 6, 7, 8})};
        test::WriteBytes(dir / "wall.texture", test::MakeFt2e(texture));
    }
    test::TempDir dir;
    std::string mesh = dir / "car.im";
};

TEST_F(ReportFiles, MeshDumpShowsTheChunkTree) {
    const Answer a = Call(1, mesh);
    ASSERT_TRUE(a.ok);
    const Lines& l = a.lines;
    EXPECT_EQ(l.front(), "JIRF IDXM, " + std::to_string(FileSize(mesh)) + " bytes");
    EXPECT_TRUE(Has(l, "INFO  offset 12  size 68")) << ::testing::PrintToString(l);
    EXPECT_TRUE(Has(l, "  version 104"));
    // Inside each CHNK: its index, then the material with its version before its name, then the counts.
    const auto chunk = IndexOf(l, "  version 100, chunk 1");
    const auto version = IndexOf(l, "    version 103");
    const auto name = IndexOf(l, "    material \"body m.tbumptex\"");
    ASSERT_LT(chunk, static_cast<std::ptrdiff_t>(l.size()));
    EXPECT_LT(version, name);
    EXPECT_TRUE(Has(l, "      slot 8: \"bump.tga\", amount 1.000"));
    EXPECT_TRUE(Has(l, "      slot 9: \"env.tga\", amount 0.500"));
    EXPECT_TRUE(Has(l, "    vertices 9, triangles 8, tangents yes"));  // 2 x 2 cells, version 201
    EXPECT_TRUE(Has(l, "    vertices 8, triangles 6"));                // 1 x 3 cells, version 200
    EXPECT_TRUE(Has(l, "    vertices 6, triangles 4"));                // 2 x 1 cells, version 100
    // A chunk the reader knows nothing of is listed with its version all the same.
    const auto pmin = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("PMIN  offset "); });
    ASSERT_NE(pmin, l.end());
    EXPECT_TRUE(pmin->ends_with("  size 4"));
    EXPECT_EQ(*(pmin + 1), "  version 875770417");  // "1234"
    EXPECT_TRUE(Has(l, "  points 2"));
    EXPECT_TRUE(Has(l, "    \"a.one\",1.000,2.000,3.000,0.0,0.0,0.0"));
    EXPECT_TRUE(Has(l, "    \"a.two\",0.000,0.000,0.000,0.0,90.0,0.0"));
}

TEST_F(ReportFiles, MeshQueries) {
    EXPECT_EQ(Call(4, mesh).lines, (Lines{"a.one", "a.two"}));
    EXPECT_EQ(Call(9, mesh).lines, (Lines{"body.tga", "bump.tga", "env.tga"}));
    // Only the diffuse texture lies beside the mesh.
    Answer problems = Call(10, mesh);
    EXPECT_TRUE(problems.ok);
    EXPECT_EQ(problems.lines, (Lines{"bump.tga: file not found", "env.tga: file not found"}));
    test::WriteBytes(dir / "BUMP.tga", "x");
    test::WriteBytes(dir / "env.tga.txt", "x");
    EXPECT_EQ(Call(10, mesh).lines, (Lines{"  none"}));
    // A file that is no mesh answers nothing, and says so.
    test::WriteBytes(dir / "bad.im", "JIRF\x04\0\0\0IDXM"s.substr(0, 11));
    for (int op : {4, 9, 10}) {
        const Answer bad = Call(op, dir / "bad.im");
        EXPECT_FALSE(bad.ok) << op;
        EXPECT_TRUE(bad.lines.empty()) << op;
        EXPECT_FALSE(Call(op, dir / "missing.im").ok) << op;
    }
}

TEST_F(ReportFiles, PictureHeadersSizesAndDescriptors) {
    const Answer tga = Call(2, dir / "body.tga");
    ASSERT_TRUE(tga.ok);
    for (const char* line : {"Image type: 2 (true-colour)", "Width: 4", "Height: 2", "Pixel depth: 32",
                             "Image descriptor: 8 (alpha bits 8, origin bottom left)"})
        EXPECT_TRUE(Has(tga.lines, line)) << line;
    const Answer bmp = Call(3, dir / "pic.bmp");
    ASSERT_TRUE(bmp.ok);
    for (const char* line : {"Signature: BM", "Width: 3", "Height: -2 (rows from the top)", "Bits per pixel: 24",
                             "Compression: 0 (none)"})
        EXPECT_TRUE(Has(bmp.lines, line)) << line;
    // Each header report refuses what is not its kind or is cut short.
    test::WriteBytes(dir / "short.tga", Picture(4, 2).substr(0, 17));
    EXPECT_FALSE(Call(2, dir / "short.tga").ok);
    EXPECT_FALSE(Call(3, dir / "body.tga").ok);
    // A TGA has no signature: a renamed JPEG or text is no TGA either.
    test::WriteBytes(dir / "photo.tga", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20));
    test::WriteBytes(dir / "notes.tga", "These are my notes on the wagon.\r\n");
    EXPECT_FALSE(Call(2, dir / "photo.tga").ok);
    EXPECT_FALSE(Call(2, dir / "notes.tga").ok);

    EXPECT_EQ(Call(14, dir / "body.tga").lines, (Lines{"4", "2"}));
    EXPECT_EQ(Call(14, dir / "pic.bmp").lines, (Lines{"3", "2"}));
    const Answer none = Call(14, dir / "car.im");
    EXPECT_FALSE(none.ok);
    EXPECT_TRUE(none.lines.empty());

    EXPECT_EQ(Call(12, dir / "wall.texture").lines, (Lines{"Primary=wall.tga", "Alpha=wall.tga", "Tile=s"}));
    EXPECT_FALSE(Call(12, dir / "body.tga").ok);
}

// The material numbers are written as three-decimal texts however they round, and a line longer than
// any the usual mesh has is kept whole.
TEST(TextReportLibrary, MaterialNumbersAndLongNames) {
    test::TempDir dir;
    test::MeshMaterial material;
    material.Opacity = -0.0001f;                              // a minus sign before a rounded zero
    material.Shininess = 1e10f;                               // past the quick path
    material.Ambient = {0.0625f, 0.0015f, 2.0005f};           // ties and near-ties of the binary value
    material.Diffuse = {-1.9995f, 999999.9f, 1e-40f};
    material.Specular = {std::numeric_limits<float>::infinity(), -0.5f, 0.9995f};
    material.Emission = {std::numeric_limits<float>::quiet_NaN(), 123.4565f, -0.0f};
    const std::string longName(300, 'n');
    material.Textures = {{1, longName + ".tga", 0.3125f}};
    const std::string mesh = dir / "m.im";
    test::WriteBytes(mesh, test::MeshFileBuilder().Info().Object(0, material, test::GridGeometry(1, 1)).Bytes());
    const Answer a = Call(1, mesh);
    ASSERT_TRUE(a.ok);
    const auto f = [](float v) { return FormatDouble(v, 3); };
    const auto rgb = [&f](const test::Vec3& c) { return f(c[0]) + ", " + f(c[1]) + ", " + f(c[2]); };
    EXPECT_TRUE(Has(a.lines, "    sides 0, opacity " + f(material.Opacity) + ", shininess " + f(material.Shininess)))
        << ::testing::PrintToString(a.lines);
    EXPECT_TRUE(Has(a.lines, "    ambient " + rgb(material.Ambient)));
    EXPECT_TRUE(Has(a.lines, "    diffuse " + rgb(material.Diffuse)));
    EXPECT_TRUE(Has(a.lines, "    specular " + rgb(material.Specular)));
    EXPECT_TRUE(Has(a.lines, "    emission " + rgb(material.Emission)));
    EXPECT_TRUE(Has(a.lines, "    ambient 0.062, 0.002, 2.000"));
    // Names are cut at 255 bytes, as the mesh reader reads them.
    EXPECT_TRUE(Has(a.lines, "      slot 1: \"" + longName.substr(0, 255) + "\", amount 0.312"));
}

TEST(TextReportLibrary, OperationsNoCallerUsesAnswerFalse) {
    test::TempDir dir;
    test::WriteBytes(dir / "car.im", test::MakeSampleMesh());
    for (int op : {-1, 0, 5, 6, 7, 8, 11, 13, 15, 1000}) {
        const Answer a = Call(op, dir / "car.im");
        EXPECT_FALSE(a.ok) << op;
        EXPECT_TRUE(a.lines.empty()) << op;
    }
}

TEST(TextReportLibrary, AnimationDumpAndItsFallbacks) {
    test::TempDir dir;
    // A "JIRF" file of another form: every chunk with its version and first bytes, up to a damaged one.
    const std::string kin = test::MeshFileBuilder().Chunk("INFO", "\x64\0\0\0abcd"s).Chunk("FRAM", "\x65\0\0\0"s)
                                .Raw("EVNT\xFF\0\0\0"s).Bytes(0, "JIRF", "ANIM");
    test::WriteBytes(dir / "walk.kin", kin);
    Answer a = Call(1, dir / "walk.kin");
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.lines, (Lines{"JIRF ANIM, " + std::to_string(kin.size()) + " bytes",
                              "INFO  offset 12  size 8  version 100", "  64 00 00 00 61 62 63 64",
                              "FRAM  offset 28  size 4  version 101", "  65 00 00 00",
                              "(8 bytes at offset 40 hold no whole chunk)"}));
    // Anything else: the first 4 KB in hexadecimal.
    std::string text(5000, 'A');
    text.replace(0, 5, "Hi\x01\x02z");
    test::WriteBytes(dir / "text.kin", text);
    a = Call(1, dir / "text.kin");
    ASSERT_TRUE(a.ok);
    ASSERT_EQ(a.lines.size(), 1u + 4096 / 16);
    EXPECT_EQ(a.lines[0], "5000 bytes, the first 4096 shown");
    EXPECT_EQ(a.lines[1], "00000000  48 69 01 02 7A 41 41 41 41 41 41 41 41 41 41 41  Hi..zAAAAAAAAAAA");
    EXPECT_EQ(a.lines.back().substr(0, 8), "00000FF0");
    // A damaged mesh says why before the dump; an empty file gives no report.
    test::WriteBytes(dir / "cut.im", test::MakeSampleMesh().substr(0, 100));
    a = Call(1, dir / "cut.im");
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.lines.front(), "MESH001F file " + (dir / "cut.im") + " is not a valid mesh");
    test::WriteBytes(dir / "empty.kin", "");
    EXPECT_FALSE(Call(1, dir / "empty.kin").ok);
    EXPECT_FALSE(Call(1, dir / "missing.kin").ok);
}

TEST(TextReportLibrary, PathsLongerThan255Characters) {
    test::TempDir dir;
    std::string folder = dir.Path();
    while (folder.size() < 300) folder += "/" + std::string(60, 'f');
    std::filesystem::create_directories(folder);
    const std::string mesh = folder + "/car.im";
    ASSERT_GT(mesh.size(), 300u);
    test::WriteBytes(mesh, test::MakeSampleMesh());
    EXPECT_EQ(Call(4, mesh).lines, (Lines{"a.one", "a.two"}));
    EXPECT_TRUE(Call(1, mesh).ok);
}

// Every prefix of each kind of file: the reports say what they can and never read past the data. The
// dumps see every prefix in memory; every operation sees a spread of them as files.
TEST(TextReportLibrary, EveryPrefixOfEachFile) {
    test::TempDir dir;
    std::vector<std::pair<std::string, std::string>> files = {
        {"car.im", test::MakeSampleMesh()}, {"body.tga", Picture(3, 2)}, {"pic.bmp", test::MakeBmp({})}};
    if (test::HaveCorpus())
        for (const char* real : {"jos-scanner/trig.kin", "jos-scanner/arrow.im"}) {
            std::string bytes;
            ASSERT_EQ(ReadFileBytes(test::CorpusFile(real), bytes), "");
            files.emplace_back(std::filesystem::path(real).filename().string(), bytes);
        }
    TextReportLibrary library;
    for (const auto& [name, bytes] : files) {
        for (std::size_t n = 0; n <= bytes.size(); ++n) {
            const std::string_view prefix = std::string_view(bytes).substr(0, n);
            Lines lines;
            TMesh mesh(name);
            if (mesh.LoadBytes(std::string(prefix)).empty()) MeshChunkReport(mesh, lines);
            if (!JirfChunkReport(prefix, lines)) HexReport(prefix, lines);
            TgaHeaderReport(prefix, lines);
            BmpHeaderReport(prefix, lines);
            ASSERT_FALSE(lines.empty()) << name << " " << n;
        }
        const std::string path = dir / name;
        const std::size_t stride = std::max<std::size_t>(1, bytes.size() / 150);
        for (std::size_t n = 0; n <= bytes.size(); n += (n < 64 ? 1 : stride)) {
            test::WriteBytes(path, bytes.substr(0, n));
            for (int op : {1, 2, 3, 4, 9, 10, 12, 14}) {
                Lines lines;
                const bool ok = library.CallTextLibrary(op, path, lines);
                if (op == 1 && n > 0) {
                    ASSERT_TRUE(ok && !lines.empty()) << name << " " << n;
                }
                if (ok && op != 4 && op != 9) {
                    ASSERT_FALSE(lines.empty()) << name << " " << n << " " << op;
                }
            }
        }
    }
}

// The real asset folders, read where they lie.
TEST(TextReportLibraryCorpus, MeshesAnimationAndIcons) {
    KELVARN_NEED_CORPUS();
    std::vector<std::string> meshes, icons;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusFolder())) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".im") meshes.push_back(entry.path().string());
        if (ext == ".tga") icons.push_back(entry.path().string());
    }
    ASSERT_GE(meshes.size(), 5u);
    ASSERT_GE(icons.size(), 7u);
    for (const std::string& mesh : meshes) {
        const Answer dump = Call(1, mesh);
        ASSERT_TRUE(dump.ok) << mesh;
        EXPECT_TRUE(Has(dump.lines, "INFO  offset 12  size 68")) << mesh;
        // Each real material: its version 103 right before its name.
        const auto version = IndexOf(dump.lines, "    version 103");
        ASSERT_LT(version + 1, static_cast<std::ptrdiff_t>(dump.lines.size())) << mesh;
        EXPECT_TRUE(dump.lines[static_cast<std::size_t>(version + 1)].starts_with("    material \"")) << mesh;
        EXPECT_TRUE(std::any_of(dump.lines.begin(), dump.lines.end(),
                                [](const std::string& l) { return l.starts_with("    vertices "); }))
            << mesh;
        EXPECT_TRUE(Call(4, mesh).ok) << mesh;
        const Answer textures = Call(9, mesh);
        EXPECT_TRUE(textures.ok) << mesh;
        EXPECT_EQ(textures.lines, GetMeshTextures(mesh)) << mesh;
        EXPECT_FALSE(textures.lines.empty()) << mesh;
        const Answer problems = Call(10, mesh);
        EXPECT_TRUE(problems.ok && !problems.lines.empty()) << mesh;
    }
    const Answer kin = Call(1, test::CorpusFile("jos-scanner/trig.kin"));
    ASSERT_TRUE(kin.ok);
    EXPECT_EQ(kin.lines.front(), "JIRF ANIM, 2392 bytes");
    EXPECT_TRUE(Has(kin.lines, "SKEL  offset 64  size 200  version 100"));
    EXPECT_EQ(std::count_if(kin.lines.begin(), kin.lines.end(), [](const std::string& l) { return l.starts_with("FRAM  offset "); }), 10);
    EXPECT_FALSE(std::any_of(kin.lines.begin(), kin.lines.end(), [](const std::string& l) { return l.find("no whole chunk") != std::string::npos; }));
    for (const std::string& icon : icons) {
        EXPECT_EQ(Call(14, icon).lines, (Lines{"128", "128"})) << icon;
        const Answer header = Call(2, icon);
        EXPECT_TRUE(header.ok && Has(header.lines, "Pixel depth: 32")) << icon;
    }
    const Answer jpeg = Call(14, test::CorpusFile("jos-scanner/dm.jpg"));
    EXPECT_TRUE(jpeg.ok);
    EXPECT_EQ(jpeg.lines.size(), 2u);
}

}  // namespace
}  // namespace kelvarn
