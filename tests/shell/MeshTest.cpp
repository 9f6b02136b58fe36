#include <gtest/gtest.h>

#include <filesystem>
#include <cmath>
#include <numbers>

#include "shell/ByteReader.h"
#include "shell/Mesh.h"
#include "shell/PathText.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::ByteWriter;
using test::kIdentity3;
using test::MeshFileBuilder;
using test::MeshPoint;
using test::TempDir;
using test::WriteBytes;

std::string Invalid(const std::string& name) { return "MESH001F file " + name + " is not a valid mesh"; }

// --- the container ---

TEST(MeshContainer, SplitsTopLevelChunksWithOffsetsAndData) {
    const std::string bytes = MeshFileBuilder().Info(101).Chunk("PMIN", "abc").Chunk("ATCH", "").Bytes();
    TMesh mesh("body.im");
    ASSERT_EQ(mesh.LoadBytes(bytes), "");
    EXPECT_TRUE(mesh.Active());
    EXPECT_EQ(mesh.Size(), bytes.size());
    ASSERT_EQ(mesh.Count(), 3);
    EXPECT_EQ(mesh.GetChunk(0).GetTag(), "INFO");
    EXPECT_EQ(mesh.GetChunk(0).Offset, 12u);
    EXPECT_EQ(mesh.GetChunk(0).GetSize(), 36u);
    EXPECT_EQ(mesh.GetChunk(1).GetTag(), "PMIN");
    EXPECT_EQ(mesh.GetChunk(1).Offset, 12u + 8 + 36);
    EXPECT_EQ(mesh.GetChunk(1).Data, "abc");
    EXPECT_EQ(mesh.GetChunk(2).GetSize(), 0u);
    EXPECT_THROW((void)mesh.GetChunk(3), std::out_of_range);
}

TEST(MeshContainer, NestedChunksAreNotSplit) {
    test::MeshGeometry g = test::GridGeometry(1, 1);
    const std::string bytes = MeshFileBuilder().Object(0, {}, g).Bytes();
    TMesh mesh("x.im");
    ASSERT_EQ(mesh.LoadBytes(bytes), "");
    ASSERT_EQ(mesh.Count(), 1);
    EXPECT_EQ(mesh.GetChunk(0).GetTag(), "CHNK");
}

TEST(MeshContainer, RefusesDamagedFilesAndHoldsNothing) {
    const MeshFileBuilder good = MeshFileBuilder().Info(102).Chunk("ATCH", std::string(8, '\0'));
    const std::string exact = good.Bytes();
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"length one short", good.Bytes(-1)},
        {"length one long", good.Bytes(+1)},
        {"root tag", good.Bytes(0, "JIRX")},
        {"form type", good.Bytes(0, "JIRF", "TMMF")},
        {"compressed root", good.Bytes(0, "CFIL")},
        {"shorter than a header", exact.substr(0, 11)},
        {"empty", ""},
        {"chunk past the end", MeshFileBuilder().Raw(std::string("INFO\x10\0\0\0abcd", 12)).Bytes()},
        {"half a chunk header", MeshFileBuilder().Raw("ATC").Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMesh mesh("C:\\assets\\body.im");
        ASSERT_EQ(mesh.LoadBytes(exact), "");
        EXPECT_EQ(mesh.LoadBytes(c.bytes), Invalid("C:\\assets\\body.im"));
        EXPECT_FALSE(mesh.Active());
        EXPECT_EQ(mesh.Count(), 0);
        EXPECT_EQ(mesh.Size(), 0u);
    }
}

TEST(MeshContainer, HeaderOnlyGivesNoChunks) {
    TMesh mesh("h.im");
    ASSERT_EQ(mesh.LoadBytes(MeshFileBuilder().Bytes()), "");
    EXPECT_EQ(mesh.Count(), 0);
    EXPECT_EQ(mesh.Size(), 12u);
}

TEST(MeshContainer, FileNameActiveStateAndReading) {
    TempDir dir;
    const std::string path = dir / "a.im";
    WriteBytes(path, MeshFileBuilder().Info(101).Bytes());
    TMesh mesh;
    mesh.SetFileName(path);
    EXPECT_EQ(mesh.SetActive(true), "");
    EXPECT_EQ(mesh.Count(), 1);
    mesh.SetFileName(path);  // the same name keeps the mesh
    EXPECT_TRUE(mesh.Active());
    mesh.SetFileName(dir / "b.im");  // another name drops it
    EXPECT_FALSE(mesh.Active());
    EXPECT_EQ(mesh.Size(), 0u);
    const std::string missing = mesh.SetActive(true);
    EXPECT_NE(missing.find("b.im"), std::string::npos) << missing;
    EXPECT_FALSE(mesh.Active());

    mesh.SetFileName(path);
    ASSERT_EQ(mesh.SetActive(true), "");
    EXPECT_EQ(mesh.SetActive(false), "");
    EXPECT_EQ(mesh.Count(), 0);
}

TEST(MeshContainer, ChunkDataSurvivesMovingTheMesh) {
    // A small file sits inside the string object itself; the chunks must not point there.
    TMesh first("m.im");
    ASSERT_EQ(first.LoadBytes(MeshFileBuilder().Chunk("PMIN", "xy").Bytes()), "");
    TMesh moved = std::move(first);
    TMesh assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.GetChunk(0).Data, "xy");
}

// --- attachment points ---

TEST(AttachmentChunk, DecodesWholeEntriesOnly) {
    const std::vector<MeshPoint> points = {{"a.front", kIdentity3, {1, 2, 3}}, {"a.back", kIdentity3, {-1, 0, 0.5f}}};
    const std::string full = MeshFileBuilder::AttachmentData(points);
    struct Case {
        const char* what;
        std::string data;
        int count;
    };
    const Case cases[] = {
        {"both", full, 2},
        {"count 0", MeshFileBuilder::AttachmentData({}), 0},
        {"count 0 with data after it", MeshFileBuilder::AttachmentData(points, 0), 0},
        {"second cut short", full.substr(0, full.size() - 1), 1},
        {"huge count", MeshFileBuilder::AttachmentData(points, 0xFFFFFFFFu), 2},
        {"no count", full.substr(0, 6), 0},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TATCH atch(c.data);
        EXPECT_EQ(atch.Count(), c.count);
        EXPECT_EQ(atch.Entries().size(), static_cast<std::size_t>(c.count));
    }
    const TATCH atch(full);
    EXPECT_EQ(atch.GetEntry(0).Name, "a.front");
    EXPECT_EQ(atch.GetEntry(0).Z, 3.0f);
    EXPECT_EQ(atch.GetEntry(1).Name, "a.back");
    EXPECT_EQ(atch.GetEntry(1).Z, 0.5f);
    EXPECT_EQ(atch.GetEntry(1).Matrix, kIdentity3);
}

TEST(CountedName, DecodesLengthFlagNulsLimitTrimAndEncoding) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string name;
    };
    const Case cases[] = {
        {"plain", ByteWriter().Name("a.front").Take(), "a.front"},
        {"length flag", ByteWriter().Name("hello", 0x40000000u).Take(), "hello"},
        {"NULs dropped", ByteWriter().Name(std::string("a\0b\0", 4)).Take(), "ab"},
        {"padding dropped", ByteWriter().Name(std::string("dm.texture\0\0\0", 13)).Take(), "dm.texture"},
        {"padding after 300", ByteWriter().Name(std::string(300, 'q') + std::string(4, '\0')).Take(), std::string(255, 'q')},
        {"text behind padding", ByteWriter().Name(std::string("a\0\0\0b", 5)).Take(), "ab"},
        {"trimmed", ByteWriter().Name("  a.x \t").Take(), "a.x"},
        {"at most 255 kept", ByteWriter().Name(std::string(300, 'q')).Take(), std::string(255, 'q')},
        {"Windows-1252", ByteWriter().Name("caf\xE9").Take(), "caf\xC3\xA9"},
        {"255 kept, then decoded", ByteWriter().Name(std::string(300, '\x80')).Take(), [] {
             std::string euros;
             for (int i = 0; i < 255; ++i) euros += "\xE2\x82\xAC";  // three bytes each in UTF-8
             return euros;
         }()},
        {"UTF-8 kept", ByteWriter().Name("caf\xC3\xA9").Take(), "caf\xC3\xA9"},
        {"empty", ByteWriter().Name("").Take(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ByteReader reader(c.bytes);
        std::string name = "stale";
        ASSERT_TRUE(ReadCountedName(reader, name));
        EXPECT_EQ(name, c.name);
        EXPECT_TRUE(reader.AtEnd());
    }
    // A length beyond the data reads nothing and leaves the reader where it was.
    const std::string cut = ByteWriter().Name("abcdef").Take().substr(0, 8);
    for (const std::string& bytes : {cut, std::string("\x01\x00", 2), ByteWriter().U32(0x7FFFFFFF).Take()}) {
        ByteReader reader(bytes);
        std::string name = "kept";
        EXPECT_FALSE(ReadCountedName(reader, name));
        EXPECT_EQ(name, "kept");
    }
}

// --- angles and formatting ---

// The orientation of rotations about x, then y, then z (degrees), as Rx * Ry * Rz by rows.
std::array<float, 9> Orientation(double x, double y, double z) {
    const double r = std::numbers::pi / 180;
    const double sx = std::sin(x * r), cx = std::cos(x * r), sy = std::sin(y * r), cy = std::cos(y * r);
    const double sz = std::sin(z * r), cz = std::cos(z * r);
    const double m[9] = {cy * cz,
                         -cy * sz,
                         sy,
                         sx * sy * cz + cx * sz,
                         -sx * sy * sz + cx * cz,
                         -sx * cy,
                         -cx * sy * cz + sx * sz,
                         cx * sy * sz + sx * cz,
                         cx * cy};
    std::array<float, 9> out{};
    for (int i = 0; i < 9; ++i)
        out[i] = static_cast<float>(m[i]);
    return out;
}

TEST(AttachmentAngles, RecoverRotationsPerAxisAtThePolesAndOnTheSeam) {
    struct Case {
        double x, y, z;     // built from
        double ex, ey, ez;  // expected
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0},      {90, 0, 0, 90, 0, 0},       {-90, 0, 0, -90, 0, 0},
        {0, 45, 0, 0, 45, 0},    {0, -45, 0, 0, -45, 0},     {0, 0, 90, 0, 0, 90},
        {0, 0, -90, 0, 0, -90},  {30, 40, 50, 30, 40, 50},   {-170, 20, 135, -170, 20, 135},
        {0, 90, 0, 0, 90, 0},  // a pole: x is 0 and z takes the whole turn
        {30, 90, 20, 0, 90, 50}, {30, -90, 20, 0, -90, -10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << "," << c.z);
        const auto a = AttachmentEulerAngles(Orientation(c.x, c.y, c.z));
        EXPECT_NEAR(a[0], c.ex, 2e-3);
        EXPECT_NEAR(a[1], c.ey, 2e-3);
        EXPECT_NEAR(a[2], c.ez, 2e-3);
    }
    // A half turn about z whose off-diagonal is -0: atan2 gives exactly 180, which stays 180.
    const auto half = AttachmentEulerAngles({-1, -0.0f, 0, 0, -1, 0, 0, 0, 1});
    EXPECT_EQ(half[2], 180.0);
    // An arcsine argument a rounding step above 1 is a pole, not NaN.
    const auto pole = AttachmentEulerAngles({0, 0, 1.0000001f, 0, 1, 0, -1, 0, 0});
    EXPECT_EQ(pole[1], 90.0);
    EXPECT_FALSE(std::isnan(pole[0]) || std::isnan(pole[2]));
}

TEST(AttachmentText, CoordsAndCsvFormatting) {
    TATCHE e;
    e.Name = "a.light";
    e.Matrix = kIdentity3;
    e.X = 1, e.Y = 2, e.Z = 3;
    EXPECT_EQ(AttachmentCoords(e), "1.000,2.000,3.000,0.0,0.0,0.0");
    EXPECT_EQ(AttachmentToCsv(e), "\"a.light\",1.000,2.000,3.000,0.0,0.0,0.0");
    e.X = -0.0004f, e.Y = -12.3456f, e.Z = 1234.5f;
    e.Matrix = Orientation(-90, 0, 0);
    EXPECT_EQ(AttachmentCoords(e), "0.000,-12.346,1234.500,-90.0,0.0,0.0");
}

// --- finding a point in an asset ---

TEST(FindAttachment, SearchesEveryImFileAndEveryAtchChunk) {
    TempDir dir;
    auto atch = [](const std::string& name, float x) {
        return MeshFileBuilder::AttachmentData({{name, kIdentity3, {x, 0, 0}}});
    };
    WriteBytes(dir / "a.im", MeshFileBuilder().Chunk("ATCH", atch("a.one", 1)).Chunk("ATCH", atch("a.two", 2)).Bytes());
    WriteBytes(dir / "b.im", "not a mesh");
    WriteBytes(dir / "sub/c.im",
               MeshFileBuilder().Chunk("ATCH", atch("a.three", 3)).Chunk("ATCH", atch("a.two", 9)).Bytes());
    WriteBytes(dir / "d.pm", MeshFileBuilder().Chunk("ATCH", atch("a.pm", 4)).Bytes());

    EXPECT_EQ(FindAttachmentInMesh(dir / "a.im", "a.two"), "2.000,0.000,0.000,0.0,0.0,0.0,a.two");
    EXPECT_EQ(FindAttachmentInMesh(dir / "a.im", "A.TWO"), "");  // the name compares exactly
    EXPECT_EQ(FindAttachmentInMesh(dir / "b.im", "a.two"), "");
    EXPECT_EQ(FindAttachmentInMesh(dir / "missing.im", "a.two"), "");

    EXPECT_EQ(FindAttachment(dir.Path(), "a.two"), "2.000,0.000,0.000,0.0,0.0,0.0,a.two");      // a.im comes first
    EXPECT_EQ(FindAttachment(dir.Path(), "a.three"), "3.000,0.000,0.000,0.0,0.0,0.0,a.three");  // past b.im
    EXPECT_EQ(FindAttachment(dir.Path(), "a.pm"), "");  // only ".im" files are searched
    EXPECT_EQ(FindAttachment(dir.Path(), ""), "");
}

// --- the selector's lists ---

TEST(SelectorLists, PointsOfEveryAtchChunkAndDiffuseTexturesOnce) {
    test::MeshMaterial body, wheels, top, cut, otherVersion;
    otherVersion.Version = 104;  // a layout this reader does not know: read nothing from it
    otherVersion.Textures = {{1, "other.tga", 1}};
    body.Textures = {{1, "C:\\Work\\Body.TGA", 1}, {8, "bump.tga", 1}, {9, "env.tga", 0.5f}};
    wheels.Textures = {{1, "textures/body.tga", 1}, {1, "wheels.tga", 1}};
    top.Textures = {{1, "top.tga", 1}};
    cut.Textures = {{1, "cut.tga", 1}, {1, "never.tga", 1}};
    cut.TextureCount = 0x7FFFFFFF;  // more entries than the chunk holds
    const std::string cutBody = MeshFileBuilder::MaterialBody(cut);
    const std::string bytes = MeshFileBuilder()
                                  .Info(102)
                                  .Attachments({{"a.front", kIdentity3, {0, 0, 0}}})
                                  .Object(0, body, test::GridGeometry(1, 1))
                                  .Object(1, wheels, test::GridGeometry(1, 1))
                                  .Object(3, otherVersion, test::GridGeometry(1, 1))
                                  .Chunk("MATL", MeshFileBuilder::MaterialBody(top))
                                  .MaterialOnly(2, {}, "GEOM")
                                  .Chunk("MATL", cutBody.substr(0, cutBody.size() - 4))
                                  .Attachments({{"a.back", kIdentity3, {0, 0, 0}}, {"a.coupler", kIdentity3, {0, 0, 0}}})
                                  .Bytes();
    TMesh mesh("lists.im");
    ASSERT_EQ(mesh.LoadBytes(bytes), "");
    EXPECT_EQ(MeshAttachmentNames(mesh), (std::vector<std::string>{"a.front", "a.back", "a.coupler"}));
    EXPECT_EQ(MeshTextureNames(mesh), (std::vector<std::string>{"Body.TGA", "wheels.tga", "top.tga", "cut.tga"}));

    TMesh inactive("nothing.im");
    EXPECT_TRUE(MeshAttachmentNames(inactive).empty());
    EXPECT_TRUE(MeshTextureNames(inactive).empty());
}

}  // namespace
}  // namespace kelvarn

namespace kelvarn {
namespace {

// --- the header check run before a mesh is read ---

TEST(CheckMeshFile, JudgesTheHeaderOfEachFile) {
    using test::MeshFileBuilder;
    test::TempDir dir;
    const std::string sound = MeshFileBuilder().Info().Attachments({{"a"}}).Bytes();
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"zero.im", "", "*** File is empty ***"},
        {"two.im", "JI", "*** File is empty ***"},
        {"four.im", "JIRF", "Mesh file is corrupt"},
        {"seven.im", std::string("JIRF\x00\x00\x00", 7), "Mesh file is corrupt"},
        {"magic.im", "RIFF" + sound.substr(4), "Not a valid mesh file"},
        {"short.im", MeshFileBuilder().Info().Bytes(-1), "Mesh file is corrupt"},
        {"long.im", MeshFileBuilder().Info().Bytes(1), "Mesh file is corrupt"},
        {"empty-body.im", std::string("JIRF\x00\x00\x00\x00", 8), ""},
        {"sound.pm", sound, ""},
    };
    for (const Case& c : cases) {
        test::WriteBytes(dir / c.name, c.bytes);
        EXPECT_EQ(CheckMeshFile(dir / c.name), c.message) << c.name;
    }
    // Nothing to judge: a missing file, and a folder named like a mesh.
    EXPECT_EQ(CheckMeshFile(dir / "missing.im"), "");
    std::filesystem::create_directories(dir / "folder.im");
    EXPECT_EQ(CheckMeshFile(dir / "folder.im"), "");
}

}  // namespace
}  // namespace kelvarn
