#include <gtest/gtest.h>

#include "media/ImageBuilders.h"

#include <cmath>

#include "MagickResize.h"
#include "support/TestSupport.h"
#include "media/AlphaTools.h"
#include "media/ImageBytes.h"
#include "media/NormalMaps.h"
#include "media/Resample.h"
#include "media/StockImages.h"
#include "media/TgaCodec.h"
#include "shell/Files.h"

namespace kelvarn {
namespace {

using test::Filled;

// A smooth opaque picture with detail in every channel.
Image32 Landscape(int w, int h) {
    Image32 image = Filled(w, h, 0xFF000000u);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto r = static_cast<std::uint32_t>(127.5 + 127.5 * std::sin(x * 0.05) * std::cos(y * 0.03));
            const auto g = static_cast<std::uint32_t>(x * 255 / std::max(1, w - 1));
            const auto b = static_cast<std::uint32_t>(((x / 7 + y / 5) % 2) * 200 + 20);
            image.At(x, y) = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    return image;
}

int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFFu); }

TEST(Resampler, SameSizeCopiesAndBadSizesRefuse) {
    Image32 image = Landscape(17, 9);
    const Image32 before = image;
    EXPECT_TRUE(ResampleBitmap(image, 17, 9));
    EXPECT_EQ(image.Pixels, before.Pixels);
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, -1}, std::pair{1 << 20, 1 << 20}}) {
        EXPECT_FALSE(ResampleBitmap(image, w, h));
        EXPECT_EQ(image.Pixels, before.Pixels);
    }
    Image32 empty;
    EXPECT_FALSE(ResampleBitmap(empty, 4, 4));
}

TEST(Resampler, UniformStaysUniformAndChannelsStayApart) {
    struct Size {
        int w, h, tw, th;
    };
    for (const Size& s : {Size{1, 1, 8, 8}, Size{1, 256, 8, 2048}, Size{1920, 1440, 240, 180}, Size{7, 13, 3, 29},
                          Size{256, 256, 255, 1}, Size{3, 3, 1000, 2}}) {
        // Colour under alpha 0 is kept: the channels are filtered one by one.
        Image32 image = Filled(s.w, s.h, 0x00C81E5Au);
        image.Depth = 24;
        ASSERT_TRUE(ResampleBitmap(image, s.tw, s.th));
        EXPECT_EQ(image.Width, s.tw);
        EXPECT_EQ(image.Height, s.th);
        EXPECT_EQ(image.Depth, 24);
        for (std::uint32_t p : image.Pixels) ASSERT_EQ(p, 0x00C81E5Au) << s.w << "x" << s.h << " to " << s.tw;
    }
}

TEST(Resampler, ReducingAveragesEverySourcePixel) {
    // A one-pixel checkerboard halves to mid grey: a filter that skipped samples would alias.
    Image32 board = Filled(64, 64, 0xFF000000u);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if ((x + y) % 2) board.At(x, y) = 0xFFFFFFFFu;
    ASSERT_TRUE(ResampleBitmap(board, 8, 8));
    for (std::uint32_t p : board.Pixels) EXPECT_NEAR(Channel(p, 8), 128, 2);
}

TEST(Resampler, MatchesImageMagicksTriangleFilterOnOpaquePictures) {
    struct Size {
        int w, h, tw, th;
    };
    for (const Size& s : {Size{400, 300, 240, 180}, Size{1000, 700, 240, 180}, Size{64, 64, 512, 512},
                          Size{120, 90, 240, 180}}) {
        const Image32 source = Landscape(s.w, s.h);
        Image32 ours = source;
        ASSERT_TRUE(ResampleBitmap(ours, s.tw, s.th));
        const Image32 theirs = test::MagickResized(source, s.tw, s.th);
        EXPECT_LE(test::MeanColourDifference(ours, theirs), 1.0) << s.w << "x" << s.h << " to " << s.tw;
    }
}

TEST(NormalMap, EncodingRoundsToNearest) {
    EXPECT_EQ(EncodeNormalByte(0.0), 128);
    EXPECT_EQ(EncodeNormalByte(1.0), 255);
    EXPECT_EQ(EncodeNormalByte(-1.0), 0);
    EXPECT_EQ(EncodeNormalByte(0.5), 191);   // 191.25
    EXPECT_EQ(EncodeNormalByte(-0.5), 64);   // 63.75: rounds up, where truncation gives 63
    EXPECT_EQ(EncodeNormalByte(2.0), 255);
    EXPECT_EQ(EncodeNormalByte(std::nan("")), 0);
}

TEST(NormalMap, FlatGreyGivesStraightUpNormalsAndKeepsAlpha) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{1, 7}}) {
        Image32 image = Filled(w, h, 0x40808080u);
        image.At(0, 0) = 0x90808080u;
        CreateNormalMap(image);
        EXPECT_EQ(image.Depth, 32);
        for (std::uint32_t p : image.Pixels) EXPECT_EQ(p & 0x00FFFFFFu, 0x008080FFu);
        EXPECT_EQ(AlphaOf(image.At(0, 0)), 0x90);
        EXPECT_EQ(AlphaOf(image.Pixels.back()), w * h > 1 ? 0x40 : 0x90);
    }
}

// The expected pixel for gradient sums gx, gy, worked out in doubles as the definition reads.
std::uint32_t Expected(double gx, double gy) {
    const double len = std::sqrt(gx * gx / 65025 + gy * gy / 65025 + 1);
    return (static_cast<std::uint32_t>(EncodeNormalByte(-gx / 255 / len)) << 16) |
           (static_cast<std::uint32_t>(EncodeNormalByte(-gy / 255 / len)) << 8) | EncodeNormalByte(1 / len);
}

TEST(NormalMap, RampsSlopeAndWrapAtTheEdges) {
    // Heights rise by 10 per column in the blue byte only: red and green are ignored.
    Image32 ramp = Filled(6, 4, 0xFF000000u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) ramp.At(x, y) = 0xFF000000u | 0x00330000u | static_cast<std::uint32_t>(x * 10);
    Image32 map = ramp;
    MakeNormalMap(map);
    // Inside: gx = 4 x (30 - 10); at the left edge the left neighbour wraps to 50: gx = 4 x (10 - 50).
    EXPECT_EQ(map.At(2, 1) & 0xFFFFFFu, Expected(80, 0));
    EXPECT_EQ(map.At(0, 0) & 0xFFFFFFu, Expected(-160, 0));
    EXPECT_EQ(map.At(5, 3) & 0xFFFFFFu, Expected(4 * (0 - 40), 0));

    // A vertical ramp: gy = above - below.
    Image32 rows = Filled(3, 5, 0xFF000000u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) rows.At(x, y) = 0xFF000000u | static_cast<std::uint32_t>(y * 20);
    MakeNormalMap(rows);
    EXPECT_EQ(rows.At(1, 2) & 0xFFFFFFu, Expected(0, 4 * (20 - 60)));
    EXPECT_EQ(rows.At(1, 0) & 0xFFFFFFu, Expected(0, 4 * (80 - 20)));
    EXPECT_EQ(rows.At(0, 4) & 0xFFFFFFu, Expected(0, 4 * (60 - 0)));
}

TEST(NormalMap, InPlaceMapEqualsTheTwoBufferMap) {
    std::uint32_t seed = 1;
    for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 1}, std::pair{1, 3}, std::pair{2, 2}, std::pair{7, 5}}) {
        Image32 image = Filled(w, h, 0);
        for (std::uint32_t& p : image.Pixels) p = seed = seed * 1103515245u + 12345u;
        std::vector<std::uint32_t> expected(image.Pixels.size());
        GenerateNormalMap(w, h, image.Pixels.data(), expected.data());
        MakeNormalMap(image);
        EXPECT_EQ(image.Pixels, expected) << w << "x" << h;
    }
}

TEST(NormalMap, GreyscaleAveragesTheColours) {
    Image32 image = Filled(2, 1, 0x7F0A141Eu);  // (10 + 20 + 30) div 3 = 20
    image.At(1, 0) = 0xFFFFFF00u;               // 510 div 3 = 170
    image.Depth = 24;
    MakeGreyscale(image);
    EXPECT_EQ(image.At(0, 0), 0x7F141414u);
    EXPECT_EQ(image.At(1, 0), 0xFFAAAAAAu);
    EXPECT_EQ(image.Depth, 32);
    EXPECT_EQ(Intensity(0xFFFFFFFFu), 255);
    EXPECT_EQ(Intensity(0x00FF0000u), 60);
    EXPECT_EQ(Intensity(0x0000FF00u), 173);
    EXPECT_EQ(Intensity(0x000000FFu), 20);
}

TEST(StockImages, SevenFilesByteForByte) {
    struct Stock {
        const char* name;
        std::uint8_t b, g, r;
        int depth;
    };
    test::TempDir dir;
    for (const Stock& s : {Stock{"blank.tga", 255, 255, 255, 32}, Stock{"black.tga", 0, 0, 0, 24},
                           Stock{"white.tga", 255, 255, 255, 24}, Stock{"red.tga", 0, 0, 255, 24},
                           Stock{"green.tga", 0, 255, 0, 24}, Stock{"blue.tga", 255, 0, 0, 24},
                           Stock{"yellow.tga", 0, 255, 255, 24}}) {
        std::string expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, static_cast<char>(s.depth), 0};
        for (int p = 0; p < 64; ++p) {
            expected += static_cast<char>(p ? s.b : (s.b == 255 ? 254 : s.b + 1));
            expected += static_cast<char>(s.g);
            expected += static_cast<char>(s.r);
            if (s.depth == 32) expected += '\0';
        }
        std::string message;
        ASSERT_TRUE(MakeStockTga(dir.Path(), s.name, message)) << message;
        EXPECT_EQ(message, "");
        EXPECT_EQ(test::ReadBytes(dir / s.name), expected) << s.name;
        EXPECT_EQ(DecodeTgaStrict(AsBytes(expected)).fault, TgaFault::None);
    }
}

TEST(StockImages, RefusesOtherNamesMissingFoldersAndExistingFiles) {
    test::TempDir dir;
    std::string message;
    EXPECT_FALSE(MakeStockTga(dir.Path(), "pink.tga", message));
    EXPECT_EQ(message, "Invalid Filename: pink.tga");
    EXPECT_FALSE(MakeStockTga(dir / "nowhere", "red.tga", message));
    EXPECT_EQ(message, "Path does not exist: " + (dir / "nowhere"));
    test::WriteBytes(dir / "RED.TGA", "mine");
    EXPECT_FALSE(MakeStockTga(dir.Path(), "red.tga", message));
    EXPECT_EQ(message, ".File already exists: red.tga");
    EXPECT_EQ(test::ReadBytes(dir / "RED.TGA"), "mine");
    EXPECT_FALSE(FileExists(dir / "red.tga"));
    // A name in another case is still a stock name, written as given.
    EXPECT_TRUE(MakeStockTga(dir.Path(), "Blue.TGA", message));
    EXPECT_EQ(test::ReadBytes(dir / "Blue.TGA").size(), 18u + 64 * 3);
}

}  // namespace
}  // namespace kelvarn
