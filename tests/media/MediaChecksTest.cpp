// The header-only image size and the mesh texture queries the file and texture checks stand on.
#include <gtest/gtest.h>

#include "CorpusSupport.h"
#include "ImageBuilders.h"
#include "media/ImageSize.h"
#include "media/MeshTextures.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::MeshFileBuilder;
using test::MeshMaterial;
using test::TempDir;

std::string JpegWithFrame(int width, int height, int frameMarker) {
    std::string jpeg = test::MakeJpeg(width, height);
    const std::size_t sof = jpeg.find("\xFF\xC0");
    if (sof != std::string::npos) jpeg[sof + 1] = static_cast<char>(frameMarker);
    return jpeg;
}

TEST(ImageSize, ReadsEachHeaderKind) {
    test::BmpFields topDown;
    topDown.width = 5;
    topDown.height = -3;
    test::BmpFields v5;
    v5.width = 7;
    v5.height = 2;
    v5.infoSize = 124;
    test::TgaFields rle;
    rle.type = 10;
    rle.depth = 32;
    rle.width = 2;
    rle.height = 1;
    rle.pixels = test::RleEncode(std::string(8, '\x40'), 4);
    JpegEncodeOptions progressive;
    progressive.progressive = true;
    const struct {
        const char* what;
        std::string bytes;
        TImageSize size;
    } cases[] = {
        {"bottom-up BMP", test::MakeBmp({}), {4, 2}},
        {"top-down BMP", test::MakeBmp(topDown), {5, 3}},
        {"V5 BMP", test::MakeBmp(v5), {7, 2}},
        {"TGA", test::MakeTga({}), {3, 2}},
        {"run-length TGA", test::MakeTga(rle), {2, 1}},
        {"baseline JPEG (SOF0)", JpegWithFrame(240, 180, 0xC0), {240, 180}},
        {"extended JPEG (SOF1)", JpegWithFrame(31, 7, 0xC1), {31, 7}},
        {"progressive JPEG (SOF2)", test::MakeJpeg(17, 9, progressive), {17, 9}},
    };
    for (const auto& c : cases) {
        const auto size = ImageSizeFromBytes(c.bytes);
        ASSERT_TRUE(size.has_value()) << c.what;
        EXPECT_EQ(*size, c.size) << c.what;
    }
}

TEST(ImageSize, RefusesWhatIsNoImageHeader) {
    test::TgaFields unknownType;
    unknownType.type = 5;
    test::TgaFields noWidth;
    noWidth.width = 0;
    test::BmpFields noHeight;
    noHeight.height = 0;
    const std::string jpeg = test::MakeJpeg(8, 8);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"BMP cut inside its header", test::MakeBmp({}).substr(0, 20)},
        {"BMP with zero height", test::MakeBmp(noHeight)},
        {"TGA header cut short", test::MakeTga({}).substr(0, 17)},
        {"TGA of an unknown type", test::MakeTga(unknownType)},
        {"TGA without width", test::MakeTga(noWidth)},
        {"JPEG cut before its frame", jpeg.substr(0, jpeg.find("\xFF\xC0"))},
        {"JPEG start only", "\xFF\xD8"},
    };
    for (const auto& c : cases) EXPECT_FALSE(ImageSizeFromBytes(c.bytes).has_value()) << c.what;
}

TEST(ImageSize, ReadsFilesAndGivesNoneForMissingOnes) {
    TempDir dir;
    // The bytes decide, not the name: a BMP saved as ".tga" still has its size.
    test::WriteBytes(dir / "wrong.tga", test::MakeBmp({}));
    EXPECT_EQ(GetImageSize(dir / "wrong.tga"), (TImageSize{4, 2}));
    EXPECT_FALSE(GetImageSize(dir / "missing.jpg").has_value());
}

TEST(ImageSize, RealThumbnailsAndTextures) {
    KELVARN_NEED_CORPUS();
    EXPECT_EQ(GetImageSize(test::CorpusFile("jos-scanner/tmb.jpg")), (TImageSize{240, 180}));
    EXPECT_TRUE(GetImageSize(test::CorpusFile("jos-scanner/dm.jpg")).has_value());
}

std::string MeshWith(std::vector<MeshMaterial> materials) {
    MeshFileBuilder builder;
    builder.Info(102);
    std::uint32_t index = 0;
    for (const MeshMaterial& m : materials) builder.Object(index++, m, test::GridGeometry(1, 1));
    return builder.Bytes();
}

TEST(MeshTextures, EveryEntryOnceInMaterialOrder) {
    TempDir dir;
    MeshMaterial body, wheels;
    body.Textures = {{1, "C:\\work\\body.texture", 1}, {8, "bump.tga", 1}, {2, "odd.tga", 1}};
    wheels.Textures = {{9, "textures/env.tga", 0.5f}, {1, "BODY.texture", 1}, {1, "wheels.tga", 1}};
    test::WriteBytes(dir / "car.im", MeshWith({body, wheels}));
    EXPECT_EQ(GetMeshTextures(dir / "car.im"),
              (std::vector<std::string>{"body.texture", "bump.tga", "odd.tga", "env.tga", "wheels.tga"}));

    test::WriteBytes(dir / "broken.im", "JIRF");
    EXPECT_TRUE(GetMeshTextures(dir / "broken.im").empty());
    EXPECT_TRUE(GetMeshTextures(dir / "missing.im").empty());
}

TEST(MeshTextures, ProblemsNameUnsupportedSlotsAndMissingFiles) {
    TempDir dir;
    MeshMaterial body, second;
    body.Textures = {{1, "C:\\work\\body.texture", 1}, {8, "Bump.TGA", 1}, {2, "odd.tga", 1}, {9, "env.tga", 1}};
    second.Textures = {{2, "odd.tga", 1}};  // the same trouble again is said once
    test::WriteBytes(dir / "car.im", MeshWith({body, second}));
    test::WriteBytes(dir / "body.texture.txt", "Primary=body.tga\r\n");  // the descriptor stands in
    test::WriteBytes(dir / "bump.tga", test::MakeTga({}));                // found ignoring case
    const auto problems = GetMeshTextureProblems(dir / "car.im");
    ASSERT_TRUE(problems.has_value());
    EXPECT_EQ(*problems, (std::vector<std::string>{"odd.tga: unsupported material slot 2", "odd.tga: file not found",
                                                   "env.tga: file not found"}));

    test::WriteBytes(dir / "odd.tga", test::MakeTga({}));
    test::WriteBytes(dir / "env.tga", test::MakeTga({}));
    EXPECT_EQ(*GetMeshTextureProblems(dir / "car.im"), (std::vector<std::string>{"odd.tga: unsupported material slot 2"}));

    test::WriteBytes(dir / "short.im", "JIRF\x04\0\0\0IDXM");
    EXPECT_FALSE(GetMeshTextureProblems(dir / "short.im").has_value());
    EXPECT_FALSE(GetMeshTextureProblems(dir / "missing.im").has_value());
}

TEST(MeshTextures, RealMeshesNameTexturesTheAssetHolds) {
    KELVARN_NEED_CORPUS();
    for (const char* mesh : {"jos-scanner/arrow.im", "jos-scanner/trig.im"}) {
        EXPECT_FALSE(GetMeshTextures(test::CorpusFile(mesh)).empty()) << mesh;
        const auto problems = GetMeshTextureProblems(test::CorpusFile(mesh));
        ASSERT_TRUE(problems.has_value()) << mesh;
        EXPECT_TRUE(problems->empty()) << mesh << ": " << (problems->empty() ? "" : problems->front());
    }
}

}  // namespace
}  // namespace kelvarn
