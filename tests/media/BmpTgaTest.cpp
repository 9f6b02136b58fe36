// The BMP reader and writer and both TGA readers and the writer, on files built field by field.
#include <gtest/gtest.h>

#include "ImageBuilders.h"
#include "media/BmpCodec.h"
#include "media/TgaCodec.h"

namespace kelvarn {
namespace {

using test::BmpFields;
using test::Bytes;
using test::MakeBmp;
using test::MakeTga;
using test::TgaFields;

std::vector<std::uint8_t> Rgb(const RawImage& img, int x, int y) {
    const std::uint8_t* p = img.Pixels.data() + (static_cast<std::size_t>(y) * img.Width + x) * img.BytesPerPixel;
    return std::vector<std::uint8_t>(p, p + img.BytesPerPixel);
}

TEST(BmpReader, ReadsPaddedRowsAtEveryWidth) {
    for (int bits : {8, 24})
        for (int width : {1, 2, 3, 5}) {
            BmpFields fields;
            fields.width = width;
            fields.height = 3;
            fields.bits = bits;
            fields.colours = bits == 8 ? 256 : 0;
            const std::string file = MakeBmp(fields);
            const BmpResult r = DecodeBmp(AsBytes(file));
            ASSERT_EQ(r.fault, BmpFault::None) << bits << " " << width;
            ASSERT_EQ(r.image.Width, width);
            ASSERT_EQ(r.image.Height, 3);
            const int stride = (width * bits / 8 + 3) / 4 * 4;
            const std::size_t data = file.size() - static_cast<std::size_t>(3 * stride);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x) {
                    const auto* row = reinterpret_cast<const std::uint8_t*>(file.data()) + data + y * stride;
                    std::vector<std::uint8_t> want;
                    if (bits == 24) want = {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
                    else {
                        const auto* e = reinterpret_cast<const std::uint8_t*>(file.data()) + 54 + row[x] * 4;
                        want = {e[2], e[1], e[0]};
                    }
                    EXPECT_EQ(Rgb(r.image, x, y), want) << bits << " width " << width << " at " << x << "," << y;
                }
        }
}

TEST(BmpReader, ColourTableRules) {
    // 256 colours with biClrUsed 0: the count follows from bfOffBits (1078 - 54) / 4.
    BmpFields full;
    full.bits = 8;
    full.colours = 256;
    full.clrUsed = 0;
    full.pixels = {255, 0, 1, 2};
    full.width = 4;
    full.height = 1;
    BmpResult r = DecodeBmp(AsBytes(MakeBmp(full)));
    ASSERT_EQ(r.fault, BmpFault::None);
    EXPECT_EQ(Rgb(r.image, 0, 0), (std::vector<std::uint8_t>{(255 * 5 + 1) & 255, 0, (255 * 3) & 255}));

    // No table: grey.
    BmpFields grey = full;
    grey.colours = 0;
    r = DecodeBmp(AsBytes(MakeBmp(grey)));
    ASSERT_EQ(r.fault, BmpFault::None);
    EXPECT_EQ(Rgb(r.image, 0, 0), (std::vector<std::uint8_t>{255, 255, 255}));
    EXPECT_EQ(Rgb(r.image, 3, 0), (std::vector<std::uint8_t>{2, 2, 2}));

    // Two colours and an index past them: black.
    BmpFields two = full;
    two.colours = 2;
    two.pixels = {1, 5, 0, 0};
    r = DecodeBmp(AsBytes(MakeBmp(two)));
    ASSERT_EQ(r.fault, BmpFault::None);
    EXPECT_EQ(Rgb(r.image, 0, 0), (std::vector<std::uint8_t>{6, 254, 3}));
    EXPECT_EQ(Rgb(r.image, 1, 0), (std::vector<std::uint8_t>{0, 0, 0}));

    // A V5 header: the table follows the 124-byte header.
    BmpFields v5 = two;
    v5.infoSize = 124;
    r = DecodeBmp(AsBytes(MakeBmp(v5)));
    ASSERT_EQ(r.fault, BmpFault::None);
    EXPECT_EQ(Rgb(r.image, 0, 0), (std::vector<std::uint8_t>{6, 254, 3}));
}

TEST(BmpReader, TopDownEqualsBottomUp) {
    BmpFields up;
    up.width = 3;
    up.height = 4;
    const std::string bottomUp = MakeBmp(up);
    // The same rows stored from the top.
    BmpFields down = up;
    down.height = -4;
    const int stride = 12;
    const std::string data = bottomUp.substr(54);
    for (int y = 3; y >= 0; --y) down.pixels.insert(down.pixels.end(), data.begin() + y * stride, data.begin() + (y + 1) * stride);
    const BmpResult a = DecodeBmp(AsBytes(bottomUp));
    const BmpResult b = DecodeBmp(AsBytes(MakeBmp(down)));
    ASSERT_EQ(a.fault, BmpFault::None);
    ASSERT_EQ(b.fault, BmpFault::None);
    EXPECT_EQ(a.image.Pixels, b.image.Pixels);
}

TEST(BmpReader, Refusals) {
    BmpFields clr3;
    clr3.bits = 8;
    clr3.colours = 3;
    BmpFields lowOff;
    lowOff.offBits = 40;
    lowOff.clrUsed = 0;
    BmpFields rle;
    rle.bits = 8;
    rle.colours = 16;
    rle.compression = 1;
    BmpFields bits32;
    bits32.bits = 32;
    BmpFields bits4;
    bits4.bits = 4;
    bits4.colours = 16;
    BmpFields zeroWidth;
    zeroWidth.width = 0;
    BmpFields negativeWidth;
    negativeWidth.width = -3;
    BmpFields huge;
    huge.width = 1 << 15;
    huge.height = 1 << 14;
    huge.pixels = {0};
    BmpFields coreHeader;
    coreHeader.infoSize = 12;
    std::string shortData = MakeBmp(BmpFields{});
    shortData.pop_back();
    std::string shortTable = MakeBmp(clr3).substr(0, 60);
    BmpFields two;
    two.bits = 8;
    two.colours = 2;
    struct Case {
        const char* name;
        std::string file;
        BmpFault fault;
    } cases[] = {
        {"three colours", MakeBmp(clr3), BmpFault::BadColourCount},
        {"bfOffBits below the header", MakeBmp(lowOff), BmpFault::BadColourCount},
        {"run-length", MakeBmp(rle), BmpFault::Unsupported},
        {"32-bit", MakeBmp(bits32), BmpFault::Unsupported},
        {"4-bit", MakeBmp(bits4), BmpFault::Unsupported},
        {"OS/2 header", MakeBmp(coreHeader), BmpFault::Unsupported},
        {"width 0", MakeBmp(zeroWidth), BmpFault::BadSize},
        {"negative width", MakeBmp(negativeWidth), BmpFault::BadSize},
        {"above the pixel cap", MakeBmp(huge), BmpFault::BadSize},
        {"short pixel data", shortData, BmpFault::ShortPixelData},
        {"short table", MakeBmp(two).substr(0, 58), BmpFault::ShortColourTable},
        {"short header", std::string("BM\0\0", 4), BmpFault::ShortPixelData},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeBmp(AsBytes(c.file)).fault, c.fault) << c.name;
}

TEST(BmpWriter, ReadsBackExactly) {
    for (int bpp : {3, 4})
        for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{3, 2}, std::pair{5, 3}}) {
            const RawImage raw = test::TestRaw(w, h, bpp);
            const std::string file = EncodeBmp24(raw);
            ASSERT_EQ(file.size(), 54u + static_cast<std::size_t>((w * 3 + 3) / 4 * 4 * h));
            const BmpResult r = DecodeBmp(AsBytes(file));
            ASSERT_EQ(r.fault, BmpFault::None);
            for (int i = 0; i < w * h; ++i)
                for (int c = 0; c < 3; ++c) EXPECT_EQ(r.image.Pixels[i * 3 + c], raw.Pixels[i * bpp + c]);
        }
    EXPECT_TRUE(EncodeBmp24(RawImage{}).empty());
}

// A TGA picture as stored bottom-up: 3 x 2 pixels of `bytes` bytes each.
std::string StoredPixels(int bytes, int count = 6) {
    std::string s;
    for (int i = 0; i < count; ++i)
        for (int b = 0; b < bytes; ++b) s.push_back(static_cast<char>(i * 40 + b * 7 + 3));
    return s;
}

TEST(TgaStrictReader, OrientationAndDepths) {
    // Top-down storage of the same picture reads the same.
    TgaFields up;
    up.pixels = StoredPixels(3);
    TgaFields down = up;
    down.descriptor = 32;
    down.pixels = up.pixels.substr(9, 9) + up.pixels.substr(0, 9);
    const TgaResult a = DecodeTgaStrict(AsBytes(MakeTga(up)));
    const TgaResult b = DecodeTgaStrict(AsBytes(MakeTga(down)));
    ASSERT_EQ(a.fault, TgaFault::None);
    EXPECT_EQ(a.image.Pixels, b.image.Pixels);
    EXPECT_EQ(Rgb(a.image, 0, 0), (std::vector<std::uint8_t>{17, 10, 3}));  // B, G, R swapped

    // Right-to-left storage.
    TgaFields mirrored = up;
    mirrored.descriptor = 16;
    mirrored.pixels = up.pixels.substr(6, 3) + up.pixels.substr(3, 3) + up.pixels.substr(0, 3) +
                      up.pixels.substr(15, 3) + up.pixels.substr(12, 3) + up.pixels.substr(9, 3);
    EXPECT_EQ(DecodeTgaStrict(AsBytes(MakeTga(mirrored))).image.Pixels, a.image.Pixels);

    // 16-bit: 0x7FFF is (248, 248, 248); stored top-down it still comes out upright.
    TgaFields sixteen;
    sixteen.depth = 16;
    sixteen.width = 1;
    sixteen.height = 2;
    sixteen.descriptor = 32;
    sixteen.pixels = Bytes({0xFF, 0x7F, 0x1F, 0x00});  // top white, bottom blue
    const TgaResult s = DecodeTgaStrict(AsBytes(MakeTga(sixteen)));
    ASSERT_EQ(s.fault, TgaFault::None);
    EXPECT_EQ(s.depth, 16);
    EXPECT_EQ(Rgb(s.image, 0, 1), (std::vector<std::uint8_t>{248, 248, 248}));
    EXPECT_EQ(Rgb(s.image, 0, 0), (std::vector<std::uint8_t>{0, 0, 248}));

    TgaFields alpha;
    alpha.depth = 32;
    alpha.width = 1;
    alpha.height = 1;
    alpha.pixels = Bytes({1, 2, 3, 4});
    const TgaResult t = DecodeTgaStrict(AsBytes(MakeTga(alpha)));
    EXPECT_EQ(Rgb(t.image, 0, 0), (std::vector<std::uint8_t>{3, 2, 1, 4}));
}

// Rows of 24-bit pixels are turned from B, G, R into R, G, B in blocks of sixteen, four and one pixel:
// every width up to three blocks and some, every byte distinct, must come out exact.
TEST(TgaStrictReader, TwentyFourBitRowsAtEveryWidth) {
    for (int width = 1; width <= 53; ++width) {
        TgaFields fields;
        fields.width = width;
        fields.height = 2;
        fields.pixels.resize(static_cast<std::size_t>(width) * 2 * 3);
        for (std::size_t i = 0; i < fields.pixels.size(); ++i) fields.pixels[i] = static_cast<char>(i * 7 + 1);
        const TgaResult r = DecodeTgaStrict(AsBytes(MakeTga(fields)));
        ASSERT_EQ(r.fault, TgaFault::None) << width;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x) {
                const auto* s = reinterpret_cast<const std::uint8_t*>(fields.pixels.data()) + (y * width + x) * 3;
                ASSERT_EQ(Rgb(r.image, x, y), (std::vector<std::uint8_t>{s[2], s[1], s[0]}))
                    << "width " << width << " at " << x << "," << y;
            }
    }
}

TEST(TgaStrictReader, ColourMaps) {
    // First entry 2: the map holds entries 2, 3, 4; index 2 takes its first stored entry.
    TgaFields mapped;
    mapped.type = 1;
    mapped.depth = 8;
    mapped.mapType = 1;
    mapped.firstEntry = 2;
    mapped.mapLength = 3;
    mapped.entryBits = 24;
    mapped.idLength = 5;
    mapped.map = Bytes({10, 11, 12, 20, 21, 22, 30, 31, 32});
    mapped.pixels = Bytes({2, 3, 4, 0, 5, 200});
    const TgaResult r = DecodeTgaStrict(AsBytes(MakeTga(mapped)));
    ASSERT_EQ(r.fault, TgaFault::None);
    EXPECT_EQ(Rgb(r.image, 0, 0), (std::vector<std::uint8_t>{12, 11, 10}));
    EXPECT_EQ(Rgb(r.image, 2, 0), (std::vector<std::uint8_t>{32, 31, 30}));
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Rgb(r.image, x, 1), (std::vector<std::uint8_t>{0, 0, 0})) << x;

    // A true-colour file that carries a map keeps its pixels after the map.
    TgaFields trueWithMap;
    trueWithMap.mapType = 1;
    trueWithMap.mapLength = 2;
    trueWithMap.entryBits = 24;
    trueWithMap.map = std::string(6, '\x55');
    trueWithMap.pixels = StoredPixels(3);
    TgaFields plain;
    plain.pixels = StoredPixels(3);
    EXPECT_EQ(DecodeTgaStrict(AsBytes(MakeTga(trueWithMap))).image.Pixels,
              DecodeTgaStrict(AsBytes(MakeTga(plain))).image.Pixels);
}

TEST(TgaStrictReader, Refusals) {
    TgaFields rle;
    rle.type = 10;
    TgaFields grey;
    grey.type = 3;
    grey.depth = 8;
    TgaFields mapType2;
    mapType2.mapType = 2;
    TgaFields depth15;
    depth15.depth = 15;
    TgaFields mapped16;
    mapped16.type = 1;
    mapped16.depth = 16;
    mapped16.mapType = 1;
    mapped16.entryBits = 24;
    TgaFields map32;
    map32.type = 1;
    map32.depth = 8;
    map32.mapType = 1;
    map32.entryBits = 32;
    TgaFields true8;
    true8.depth = 8;
    TgaFields zero;
    zero.width = 0;
    TgaFields shortMap;
    shortMap.type = 1;
    shortMap.depth = 8;
    shortMap.mapType = 1;
    shortMap.mapLength = 100;
    shortMap.entryBits = 24;
    shortMap.map = std::string(30, 'm');
    TgaFields shortData;
    shortData.pixels = StoredPixels(3, 5);
    struct Case {
        const char* name;
        std::string file;
        TgaFault fault;
    } cases[] = {
        {"17 bytes", std::string(17, '\0'), TgaFault::ShortHeader},
        {"run-length", MakeTga(rle), TgaFault::RunLength},
        {"grey", MakeTga(grey), TgaFault::BadType},
        {"colour-map type 2", MakeTga(mapType2), TgaFault::BadColourMapType},
        {"depth 15", MakeTga(depth15), TgaFault::BadDepth},
        {"mapped 16-bit indexes", MakeTga(mapped16), TgaFault::Unsupported},
        {"32-bit map entries", MakeTga(map32), TgaFault::Unsupported},
        {"true colour at 8 bits", MakeTga(true8), TgaFault::Unsupported},
        {"width 0", MakeTga(zero), TgaFault::BadSize},
        {"short map", MakeTga(shortMap), TgaFault::ShortData},
        {"short pixel data", MakeTga(shortData), TgaFault::ShortData},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeTgaStrict(AsBytes(c.file)).fault, c.fault) << c.name;
}

TEST(TgaFullReader, RunLengthTypesEqualTheirUncompressedTwins) {
    struct Case {
        int type, depth, entryBits;
    } cases[] = {{2, 15, 0}, {2, 16, 0}, {2, 24, 0}, {2, 32, 0}, {3, 8, 0}, {1, 8, 24}, {1, 8, 32}, {1, 8, 16}};
    for (const Case& c : cases)
        for (int descriptor : {0, 32, 16 | 32, 1}) {
            TgaFields plain;
            plain.type = c.type;
            plain.depth = c.depth;
            plain.width = 5;
            plain.height = 3;
            plain.descriptor = descriptor;
            const int bytes = (c.depth + 7) / 8;
            if (c.type == 1) {
                plain.mapType = 1;
                plain.mapLength = 4;
                plain.entryBits = c.entryBits;
                plain.map = StoredPixels((c.entryBits + 7) / 8, 4);
            }
            // Runs of equal pixels that cross rows, and literal stretches.
            std::string px;
            for (int i = 0; i < 15; ++i) px += StoredPixels(bytes, 4).substr(static_cast<std::size_t>((i < 7 ? 1 : i % 4) * bytes), bytes);
            if (c.type == 1) for (char& ch : px) ch = static_cast<char>(static_cast<unsigned char>(ch) % 4);
            plain.pixels = px;
            TgaFields packed = plain;
            packed.type = c.type + 8;
            packed.pixels = test::RleEncode(px, bytes);
            const TgaFullResult a = DecodeTgaFull(AsBytes(MakeTga(plain)));
            const TgaFullResult b = DecodeTgaFull(AsBytes(MakeTga(packed)));
            ASSERT_EQ(a.fault, TgaFault::None) << c.type << "/" << c.depth;
            ASSERT_EQ(b.fault, TgaFault::None) << c.type << "/" << c.depth;
            EXPECT_EQ(a.image.Pixels, b.image.Pixels) << c.type << "/" << c.depth << " descriptor " << descriptor;
            EXPECT_EQ(a.compression, 0);
            EXPECT_EQ(b.compression, 1);
            EXPECT_EQ(b.bits, c.depth);
            const bool alpha = c.depth == 32 || c.entryBits == 32 || ((c.depth == 16 || c.entryBits == 16) && (descriptor & 15));
            EXPECT_EQ(b.hasAlpha, alpha) << c.type << "/" << c.depth << " descriptor " << descriptor;
        }
}

TEST(TgaFullReader, PacketsCrossRowsButNotThePicture) {
    TgaFields fields;
    fields.type = 10;
    fields.width = 3;
    fields.height = 2;
    fields.descriptor = 32;
    fields.pixels = Bytes({0x84, 1, 2, 3, 0x00, 9, 8, 7});  // five pixels over both rows, then one
    TgaFullResult r = DecodeTgaFull(AsBytes(MakeTga(fields)));
    ASSERT_EQ(r.fault, TgaFault::None);
    EXPECT_EQ(r.image.At(2, 0), 0xFF030201u);
    EXPECT_EQ(r.image.At(1, 1), 0xFF030201u);
    EXPECT_EQ(r.image.At(2, 1), 0xFF070809u);
    fields.pixels = Bytes({0x86, 1, 2, 3});  // seven pixels into six
    EXPECT_EQ(DecodeTgaFull(AsBytes(MakeTga(fields))).fault, TgaFault::Overrun);
    fields.pixels = Bytes({0x84, 1, 2, 3});
    EXPECT_EQ(DecodeTgaFull(AsBytes(MakeTga(fields))).fault, TgaFault::ShortData);
}

TEST(TgaFullReader, SixteenBitAttributeAndPlausibility) {
    TgaFields fields;
    fields.depth = 16;
    fields.width = 2;
    fields.height = 1;
    fields.descriptor = 1;  // one attribute bit
    fields.pixels = Bytes({0xFF, 0xFF, 0x1F, 0x00});
    const TgaFullResult r = DecodeTgaFull(AsBytes(MakeTga(fields)));
    ASSERT_EQ(r.fault, TgaFault::None);
    EXPECT_EQ(r.image.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(r.image.At(1, 0), 0x000000FFu);
    EXPECT_TRUE(r.hasAlpha);
    EXPECT_FALSE(LooksLikeTga(AsBytes(std::string("\x89PNG\r\n\x1a\n0000000000"))));
    TgaFields noWidth;
    noWidth.width = 0;
    EXPECT_FALSE(LooksLikeTga(AsBytes(MakeTga(noWidth))));
    EXPECT_TRUE(LooksLikeTga(AsBytes(MakeTga(TgaFields{}))));
}

TEST(TgaWriter, HeaderAndReadBack) {
    for (int bpp : {3, 4}) {
        const RawImage raw = test::TestRaw(3, 2, bpp);
        const std::string file = EncodeTga(raw);
        ASSERT_EQ(file.size(), 18u + 3 * 2 * bpp);
        EXPECT_EQ(file[2], 2);
        EXPECT_EQ(file[16], bpp * 8);
        EXPECT_EQ(file[17], bpp == 4 ? 8 : 0);
        EXPECT_EQ(static_cast<std::uint8_t>(file[18]), raw.Pixels[2]);  // B first
        const TgaResult back = DecodeTgaStrict(AsBytes(file));
        ASSERT_EQ(back.fault, TgaFault::None);
        EXPECT_EQ(back.image.Pixels, raw.Pixels);
    }
    RawImage wide;
    wide.Allocate(65536, 1, 3);
    EXPECT_TRUE(EncodeTga(wide).empty());
    EXPECT_TRUE(EncodeTga(RawImage{}).empty());
}

}  // namespace
}  // namespace kelvarn
