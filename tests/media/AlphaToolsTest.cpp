#include <gtest/gtest.h>

#include "media/ImageBuilders.h"

#include "support/TestSupport.h"
#include "media/AlphaTools.h"

namespace kelvarn {
namespace {

using test::Filled;

std::vector<int> Alphas(const Image32& image) {
    std::vector<int> out;
    for (std::uint32_t p : image.Pixels) out.push_back(AlphaOf(p));
    return out;
}

TEST(AlphaKinds, ViewerKindFromTheLoaderAndThePixels) {
    Image32 opaque = Filled(2, 2, 0xFF102030u);
    Image32 masked = opaque;
    masked.At(1, 1) = 0x00102030u;
    Image32 blended = masked;
    blended.At(0, 1) = 0x80102030u;
    // The library says 2 (masked) for every 32-bit TGA and for a blended ".texture": the pixels decide.
    EXPECT_EQ(ViewerAlphaKind(2, blended), 2);
    EXPECT_EQ(ViewerAlphaKind(1, masked), 1);
    EXPECT_EQ(ViewerAlphaKind(2, opaque), 1);  // an opaque 32-bit file stays 32-bit
    EXPECT_EQ(ViewerAlphaKind(0, blended), 0);  // a JPEG has none
}

TEST(AlphaEdits, InvertRemoveAndThreshold) {
    Image32 image = Filled(4, 1, 0x00ABCDEFu);
    image.At(1, 0) = 0x7FABCDEFu;
    image.At(2, 0) = 0x80ABCDEFu;
    image.At(3, 0) = 0xFFABCDEFu;
    Image32 inverted = image;
    InvertAlpha(inverted);
    EXPECT_EQ(Alphas(inverted), (std::vector<int>{255, 128, 127, 0}));
    EXPECT_EQ(inverted.At(0, 0) & 0xFFFFFFu, 0xABCDEFu);

    Image32 masked = image;
    BlendToMask(masked);
    EXPECT_EQ(Alphas(masked), (std::vector<int>{0, 0, 255, 255}));  // 127 -> 0, 128 -> 255
    EXPECT_EQ(ClassifyAlpha(masked), 1);

    RemoveAlpha(image);
    EXPECT_EQ(Alphas(image), (std::vector<int>(4, 255)));
    EXPECT_EQ(image.At(1, 0), 0xFFABCDEFu);
}

TEST(AlphaEdits, MaskToBlendSoftensOnlyNearTheEdge) {
    // Left half opaque, right half clear; a hard vertical edge between columns 9 and 10.
    Image32 image = Filled(20, 12, 0xFF336699u);
    for (int y = 0; y < 12; ++y)
        for (int x = 10; x < 20; ++x) image.At(x, y) = 0x00336699u;
    EXPECT_EQ(MaskToBlend(image), 2);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            const int a = AlphaOf(image.At(x, y));
            if (x <= 6) {
                EXPECT_EQ(a, 255) << x;
            } else if (x >= 13) {
                EXPECT_EQ(a, 0) << x;
            }
            EXPECT_EQ(image.At(x, y) & 0xFFFFFFu, 0x336699u);
        }
    EXPECT_GT(AlphaOf(image.At(9, 5)), 0);
    EXPECT_LT(AlphaOf(image.At(9, 5)), 255);
    EXPECT_GT(AlphaOf(image.At(10, 5)), 0);
}

TEST(AlphaEdits, BoxBlurKeepsAUniformImageAndTheInterior) {
    for (std::uint32_t colour : {0xFFFFFFFFu, 0x01020304u, 0x80FF7F00u}) {
        Image32 image = Filled(9, 5, colour);
        BoxBlur(image, 1, 3);
        for (std::uint32_t p : image.Pixels) ASSERT_EQ(p, colour);
        BoxBlur(image, 4, 2);
        for (std::uint32_t p : image.Pixels) ASSERT_EQ(p, colour);
    }
    Image32 one = Filled(1, 1, 0x12345678u);
    BoxBlur(one, 1, 3);
    EXPECT_EQ(one.At(0, 0), 0x12345678u);
    // One bright pixel spreads to its 3 x 3 neighbourhood as a ninth after one pass.
    Image32 dot = Filled(7, 7, 0xFF000000u);
    dot.At(3, 3) = 0xFF000000u | 0x00000090u;
    BoxBlur(dot, 1, 1);
    EXPECT_EQ(dot.At(2, 2) & 0xFFu, 0x10u);
    EXPECT_EQ(dot.At(4, 3) & 0xFFu, 0x10u);
    EXPECT_EQ(dot.At(1, 3) & 0xFFu, 0u);
}

TEST(AlphaImport, EachMergeModeInvertedOrNot) {
    Image32 target = Filled(2, 1, 0xFF112233u);
    Image32 other = Filled(2, 1, 0x40FFFFFFu);  // white with alpha 0x40
    other.At(1, 0) = 0xC0000000u;               // black with alpha 0xC0
    struct Case {
        TMergeMode mode;
        bool hasAlpha, invert;
        std::vector<int> alphas;
        int kind;
    };
    for (const Case& c : {Case{TMergeMode::AlphaChannel, true, false, {0x40, 0xC0}, 2},
                          Case{TMergeMode::AlphaChannel, true, true, {0xBF, 0x3F}, 2},
                          Case{TMergeMode::RgbIntensity, true, false, {255, 0}, 1},
                          Case{TMergeMode::RgbIntensity, true, true, {0, 255}, 1},
                          Case{TMergeMode::ImageDefault, true, false, {0x40, 0xC0}, 2},
                          Case{TMergeMode::ImageDefault, false, false, {255, 0}, 1},
                          Case{TMergeMode::ImageDefault, false, true, {0, 255}, 1}}) {
        Image32 image = target;
        EXPECT_EQ(AlphaFromGrey(image, MergeGrey(other, c.hasAlpha, c.mode, c.invert)), c.kind);
        EXPECT_EQ(Alphas(image), c.alphas);
        EXPECT_EQ(image.At(0, 0) & 0xFFFFFFu, 0x112233u);
    }
    // All 255: no alpha at all.
    Image32 image = target;
    EXPECT_EQ(AlphaFromGrey(image, Filled(2, 1, 0xFFFFFFFFu)), 0);
    // Another size changes nothing.
    EXPECT_EQ(AlphaFromGrey(image, Filled(3, 1, 0xFF000000u)), 0);
    EXPECT_EQ(Alphas(image), (std::vector<int>{255, 255}));
}

TEST(AlphaFromImage, ToleranceMaskAroundTheKeyColour) {
    Image32 image = Filled(4, 1, 0xFF102030u);
    image.At(1, 0) = 0xFF112030u;  // one step off in red
    image.At(2, 0) = 0xFF102035u;  // five steps off in blue
    image.At(3, 0) = 0x00102030u;  // the key colour under alpha 0 still counts
    auto levels = [](const Image32& mask) {
        std::vector<int> out;
        for (std::uint32_t p : mask.Pixels) out.push_back(static_cast<int>(p & 0xFFu));
        return out;
    };
    EXPECT_EQ(levels(MakeToleranceMask(image, false, 0, 0x102030u)), (std::vector<int>{0, 255, 255, 0}));
    EXPECT_EQ(levels(MakeToleranceMask(image, false, 1, 0x102030u)), (std::vector<int>{0, 0, 255, 0}));
    EXPECT_EQ(levels(MakeToleranceMask(image, true, 5, 0x102030u)), (std::vector<int>{255, 255, 255, 255}));
    EXPECT_EQ(levels(MakeToleranceMask(image, true, 4, 0x102030u)), (std::vector<int>{255, 255, 0, 255}));
    Image32 keyed = image;
    EXPECT_EQ(AlphaFromGrey(keyed, MakeToleranceMask(image, false, 0, 0x102030u)), 1);
    EXPECT_EQ(Alphas(keyed), (std::vector<int>{0, 255, 255, 0}));
}

TEST(NonUniform, ThinImagesGrowAndTheFirstPixelChanges) {
    Image32 column = Filled(1, 256, 0xFF20FF40u);
    MakePixelsNonUniform(column);
    EXPECT_EQ(column.Width, 8);
    EXPECT_EQ(column.Height, 2048);
    EXPECT_EQ(column.At(0, 0), 0xFF20FE40u);  // green 255 becomes 254
    EXPECT_EQ(column.At(1, 0), 0xFF20FF40u);

    Image32 square = Filled(4, 4, 0x80102030u);
    MakePixelsNonUniform(square);
    EXPECT_EQ(square.Width, 4);
    EXPECT_EQ(square.At(0, 0), 0x80102130u);
    EXPECT_EQ(square.At(3, 3), 0x80102030u);
}

TEST(NonUniform, RefusedForImagesOfAnAlphaTexture) {
    test::TempDir dir;
    test::WriteBytes(dir / "glass.texture.txt", "Primary=glass.tga\r\nAlpha=glass_a.tga\r\n");
    test::WriteBytes(dir / "wood.texture.txt", "Primary=wood.tga\r\n");
    EXPECT_EQ(NonUniformRefusal(dir.Path(), dir / "Glass.tga", true), kAlphaTextureAlert);
    EXPECT_EQ(NonUniformRefusal(dir.Path(), dir / "glass_a.tga", false),
              "File is referenced in an alpha texture: " + (dir / "glass_a.tga"));
    EXPECT_EQ(NonUniformRefusal(dir.Path(), dir / "wood.tga", false), "");
}

}  // namespace
}  // namespace kelvarn
