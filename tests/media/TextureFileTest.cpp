// DXT block arithmetic (byte-exact vectors and random blocks against libsquish) and the ".texture"
// reader on FT2E and JIRF files built field by field.
#include <gtest/gtest.h>

#include <random>

#include <squish.h>

#include "ImageBuilders.h"
#include "media/DxtCodec.h"
#include "media/TextureFile.h"

namespace kelvarn {
namespace {

using test::AppendU16;
using test::AppendU32;
using test::Dxt1Block;

// Pixel (x, y) counted from the top of a decoded picture.
std::vector<int> At(const RawImage& img, int x, int y) {
    const std::uint8_t* p = img.Pixels.data() + (static_cast<std::size_t>(img.Height - 1 - y) * img.Width + x) * img.BytesPerPixel;
    return std::vector<int>(p, p + img.BytesPerPixel);
}

TEST(DxtDecoder, Dxt1Vectors) {
    RawImage img;
    // Four colours (first endpoint above the second): thirds rounded down term by term.
    const std::string four = Dxt1Block(0xF800, 0x001F, {0, 1, 2, 3});
    ASSERT_TRUE(DecodeDxt(DxtFormat::Dxt1, 4, 4, 0, AsBytes(four), img));
    EXPECT_EQ(img.BytesPerPixel, 3);
    EXPECT_EQ(At(img, 0, 0), (std::vector<int>{248, 0, 0}));
    EXPECT_EQ(At(img, 1, 0), (std::vector<int>{0, 0, 248}));
    EXPECT_EQ(At(img, 2, 0), (std::vector<int>{165, 0, 82}));
    EXPECT_EQ(At(img, 3, 0), (std::vector<int>{82, 0, 165}));
    EXPECT_EQ(At(img, 0, 3), (std::vector<int>{248, 0, 0}));
    // Three colours: the midpoint, and index 3 keeps it with alpha 0 under hint 2.
    const std::string three = Dxt1Block(0x07E0, 0xFFFF, {2, 3, 1, 0});
    ASSERT_TRUE(DecodeDxt(DxtFormat::Dxt1, 4, 4, 2, AsBytes(three), img));
    EXPECT_EQ(img.BytesPerPixel, 4);
    EXPECT_EQ(At(img, 0, 0), (std::vector<int>{124, 252, 124, 255}));
    EXPECT_EQ(At(img, 1, 0), (std::vector<int>{124, 252, 124, 0}));
    EXPECT_EQ(At(img, 2, 0), (std::vector<int>{248, 252, 248, 255}));
    EXPECT_EQ(At(img, 3, 0), (std::vector<int>{0, 252, 0, 255}));
    ASSERT_TRUE(DecodeDxt(DxtFormat::Dxt1, 4, 4, 1, AsBytes(three), img));
    EXPECT_EQ(At(img, 1, 0), (std::vector<int>{124, 252, 124}));
}

TEST(DxtDecoder, Dxt3AndDxt5Alpha) {
    RawImage img;
    // DXT3: nibble 14 gives 224, 15 gives 255; the colour block always has four colours.
    std::string dxt3 = test::Bytes({0xFE, 0x10, 0, 0, 0, 0, 0, 0});
    dxt3 += Dxt1Block(0x001F, 0xF800, {2, 0, 0, 0});
    ASSERT_TRUE(DecodeDxt(DxtFormat::Dxt3, 4, 4, 0, AsBytes(dxt3), img));
    EXPECT_EQ(At(img, 0, 0), (std::vector<int>{82, 0, 165, 224}));
    EXPECT_EQ(At(img, 1, 0), (std::vector<int>{0, 0, 248, 255}));
    EXPECT_EQ(At(img, 2, 0)[3], 0);
    EXPECT_EQ(At(img, 3, 0)[3], 16);

    // DXT5 with a1 < a0: sevenths; with a1 >= a0: fifths, then 0 and 255.
    auto dxt5 = [](int a0, int a1, std::uint64_t indices) {
        std::string s = test::Bytes({a0, a1});
        for (int i = 0; i < 6; ++i) s.push_back(static_cast<char>((indices >> (8 * i)) & 255));
        return s + Dxt1Block(0, 0, {});
    };
    const std::uint64_t ramp = 0 | (1 << 3) | (2 << 6) | (3 << 9) | (4 << 12) | (5 << 15) | (6 << 18) | (7 << 21);
    ASSERT_TRUE(DecodeDxt(DxtFormat::Dxt5, 4, 4, 0, AsBytes(dxt5(200, 100, ramp)), img));
    const int sevenths[8] = {200, 100, 185, 171, 157, 142, 128, 114};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(At(img, i % 4, i / 4)[3], sevenths[i]) << i;
    ASSERT_TRUE(DecodeDxt(DxtFormat::Dxt5, 4, 4, 0, AsBytes(dxt5(100, 200, ramp)), img));
    const int fifths[8] = {100, 200, 120, 140, 160, 180, 0, 255};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(At(img, i % 4, i / 4)[3], fifths[i]) << i;
}

TEST(DxtDecoder, SizesAreClippedToThePicture) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 5}, std::pair{5, 6}, std::pair{6, 2}}) {
        const int across = (w + 3) / 4, down = (h + 3) / 4;
        std::string data;
        for (int b = 0; b < across * down; ++b)
            data += Dxt1Block(static_cast<std::uint16_t>(0x0841 * (b + 1)), 0, std::vector<int>(16, 0));
        RawImage img;
        ASSERT_TRUE(DecodeDxt(DxtFormat::Dxt1, w, h, 0, AsBytes(data), img)) << w << "x" << h;
        ASSERT_EQ(img.Pixels.size(), static_cast<std::size_t>(w * h * 3));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int b = (y / 4) * across + x / 4 + 1;
                EXPECT_EQ(At(img, x, y)[0], (b & 31) * 8) << w << "x" << h << " at " << x << "," << y;
            }
        // More blocks than the picture holds, fewer, or a partial block, are refused.
        EXPECT_FALSE(DecodeDxt(DxtFormat::Dxt1, w, h, 0, AsBytes(data + Dxt1Block(0, 0, {})), img));
        EXPECT_FALSE(DecodeDxt(DxtFormat::Dxt1, w, h, 0, AsBytes(data.substr(0, data.size() - 1)), img));
        EXPECT_FALSE(DecodeDxt(DxtFormat::Dxt1, w, h, 0, AsBytes(data.substr(0, data.size() - 8)), img));
    }
    // A level holding fewer blocks than its picture is damaged, not a picture with black rows.
    RawImage img;
    EXPECT_FALSE(DecodeDxt(DxtFormat::Dxt1, 4, 8, 0, AsBytes(Dxt1Block(0xFFFF, 0, std::vector<int>(16, 0))), img));
}

TEST(DxtDecoder, WidthLimits) {
    RawImage img;
    const std::string row4096(static_cast<std::size_t>(4096 / 4) * 8, '\0');
    EXPECT_TRUE(DecodeDxt(DxtFormat::Dxt1, 4096, 4, 2, AsBytes(row4096), img));
    EXPECT_FALSE(DecodeDxt(DxtFormat::Dxt1, 4097, 4, 2, AsBytes(row4096 + std::string(8, '\0')), img));
    EXPECT_TRUE(DecodeDxt(DxtFormat::Dxt1, 5461, 4, 0, AsBytes(std::string(1366 * 8, '\0')), img));
    EXPECT_FALSE(DecodeDxt(DxtFormat::Dxt1, 5462, 4, 0, AsBytes(std::string(1366 * 8, '\0')), img));
    EXPECT_FALSE(DecodeDxt(DxtFormat::Dxt5, 4097, 4, 0, AsBytes(std::string(1025 * 16, '\0')), img));
    EXPECT_FALSE(DecodeDxt(DxtFormat::Dxt1, 0, 4, 0, AsBytes(std::string()), img));
}

TEST(DxtDecoder, RandomBlocksAgreeWithLibsquish) {
    std::mt19937 rng(42);
    for (DxtFormat format : {DxtFormat::Dxt1, DxtFormat::Dxt3, DxtFormat::Dxt5})
        for (int n = 0; n < 2000; ++n) {
            const std::size_t size = format == DxtFormat::Dxt1 ? 8 : 16;
            std::string block(size, '\0');
            for (char& c : block) c = static_cast<char>(rng());
            RawImage ours;
            ASSERT_TRUE(DecodeDxt(format, 4, 4, 2, AsBytes(block), ours));
            std::uint8_t theirs[64];
            const int flags = format == DxtFormat::Dxt1 ? squish::kDxt1 : format == DxtFormat::Dxt3 ? squish::kDxt3 : squish::kDxt5;
            squish::Decompress(theirs, block.data(), flags);
            const std::size_t colourAt = format == DxtFormat::Dxt1 ? 0 : 8;
            const bool threeColour = GetU16(reinterpret_cast<const std::uint8_t*>(block.data()) + colourAt + 2) >=
                                     GetU16(reinterpret_cast<const std::uint8_t*>(block.data()) + colourAt);
            const std::uint32_t indices = GetU32(reinterpret_cast<const std::uint8_t*>(block.data()) + colourAt + 4);
            for (int i = 0; i < 16; ++i) {
                const std::vector<int> p = At(ours, i % 4, i / 4);
                const bool transparentIndex = format == DxtFormat::Dxt1 && threeColour && ((indices >> (2 * i)) & 3) == 3;
                for (int c = 0; c < 3 && !transparentIndex; ++c)
                    ASSERT_LE(std::abs(p[c] - theirs[i * 4 + c]), 8) << n << " pixel " << i;
                const int alphaTolerance = format == DxtFormat::Dxt3 ? 15 : 0;
                ASSERT_LE(std::abs(p[3] - theirs[i * 4 + 3]), alphaTolerance) << n << " pixel " << i;
            }
        }
}

std::string Dxt1Level(int w, int h) {
    std::string s;
    for (int i = 0; i < ((w + 3) / 4) * ((h + 3) / 4); ++i) s += Dxt1Block(0xF800, 0x001F, std::vector<int>(16, i % 4));
    return s;
}

TEST(TextureReader, Ft2eHeadersAndDescriptors) {
    struct Case {
        const char* name;
        test::Ft2eFields fields;
        std::vector<std::string> lines;
    };
    test::Ft2eFields compact;
    compact.levels = {Dxt1Level(4, 4)};
    compact.alphaMode = 2;
    test::Ft2eFields full = compact;
    full.version = 1;
    test::Ft2eFields wrapS = compact;
    wrapS.alphaMode = 0;
    wrapS.wrapS = 3;
    test::Ft2eFields fullMode3 = full;
    fullMode3.alphaMode = 3;
    // The compact header stores 1 opaque, 2 masked, 3 transparent (an icon with smooth alpha stores 3).
    test::Ft2eFields compactMode1 = compact, compactMode3 = compact;
    compactMode1.alphaMode = 1;
    compactMode3.alphaMode = 3;
    Case cases[] = {
        {"compact mode 1", compactMode1, {"Primary=body.tga", "Alpha=body.tga", "Tile=none"}},
        {"compact mode 2", compact, {"Primary=body.tga", "Tile=none", "AlphaHint=masked"}},
        {"compact mode 3", compactMode3, {"Primary=body.tga", "Alpha=body.tga", "Tile=none", "AlphaHint=semitransparent"}},
        {"full mode 2", full, {"Primary=body.tga", "Tile=none", "AlphaHint=masked"}},
        {"full mode 3", fullMode3, {"Primary=body.tga", "Alpha=body.tga", "Tile=none", "AlphaHint=semitransparent"}},
        {"wrap S 3", wrapS, {"Primary=body.tga", "Alpha=body.tga", "Tile=s"}},
    };
    for (const Case& c : cases) {
        const TextureResult r = DecodeTexture(AsBytes(test::MakeFt2e(c.fields)));
        ASSERT_EQ(r.fault, TextureFault::None) << c.name;
        EXPECT_EQ(WriteTextureDescriptor("body.texture", r.info), c.lines) << c.name;
        EXPECT_EQ(r.info.compression, 1);
    }
    // The GL loader's own table maps the full header's mode 1 to semitransparent.
    TextureAlphaModes gl;
    gl.full = {0, 1, 2, 1};
    test::Ft2eFields mode1 = full;
    mode1.alphaMode = 1;
    EXPECT_EQ(DecodeTexture(AsBytes(test::MakeFt2e(mode1)), gl).info.alphaHint, 1);
    EXPECT_EQ(DecodeTexture(AsBytes(test::MakeFt2e(mode1))).info.alphaHint, 0);
}

TEST(TextureReader, Ft2eLevelsFormatsAndRefusals) {
    // Three levels: only level 0, stored after levels 1 and 2, is read.
    test::Ft2eFields three;
    three.levels = {Dxt1Level(8, 8), std::string(8, '\x55'), std::string(8, '\x77')};
    three.width = three.height = 8;
    TextureResult r = DecodeTexture(AsBytes(test::MakeFt2e(three)));
    ASSERT_EQ(r.fault, TextureFault::None);
    EXPECT_EQ(At(r.image, 0, 0), (std::vector<int>{248, 0, 0}));
    EXPECT_EQ(At(r.image, 4, 0), (std::vector<int>{0, 0, 248}));
    // Both byte orders of the format code.
    for (const char* code : {"1txd", "dxt1"}) {
        test::Ft2eFields s = three;
        s.format = code;
        EXPECT_EQ(DecodeTexture(AsBytes(test::MakeFt2e(s))).fault, TextureFault::None) << code;
    }
    // "rgba" is taken as it stands.
    test::Ft2eFields rgba;
    rgba.format = "abgr";
    rgba.width = 2;
    rgba.height = 1;
    rgba.levels = {test::Bytes({1, 2, 3, 4, 5, 6, 7, 8})};
    r = DecodeTexture(AsBytes(test::MakeFt2e(rgba)));
    ASSERT_EQ(r.fault, TextureFault::None);
    EXPECT_EQ(r.image.Pixels, (PixelBytes{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(r.info.alphaKind, 1);

    auto with = [](auto change) {
        test::Ft2eFields s;
        s.levels = {Dxt1Level(4, 4)};
        change(s);
        return DecodeTexture(AsBytes(test::MakeFt2e(s)));
    };
    struct Case {
        const char* name;
        TextureResult result;
        TextureFault fault;
        std::uint32_t value;
    } cases[] = {
        {"compact mip skip", with([](auto& s) { s.mipSkip = 1; }), TextureFault::CompactRefused, 0},
        {"compact cube", with([](auto& s) { s.slices = 6; }), TextureFault::CompactRefused, 0},
        {"compact type 1", with([](auto& s) { s.type = 1; }), TextureFault::CompactRefused, 0},
        {"full mip skip", with([](auto& s) { s.version = 2; s.mipSkip = 3; }), TextureFault::MipSkip, 3},
        {"full type 5", with([](auto& s) { s.version = 2; s.type = 5; }), TextureFault::TextureType, 5},
        {"full cube", with([](auto& s) { s.version = 2; s.slices = 6; }), TextureFault::Cubes, 0},
        {"full slices 2", with([](auto& s) { s.version = 2; s.slices = 2; }), TextureFault::Slices, 2},
        {"pixel format", with([](auto& s) { s.format = "8txd"; }), TextureFault::PixelFormat, 0},
        {"rgba size", with([](auto& s) { s.format = "rgba"; }), TextureFault::LevelSizeMismatch, 0},
        {"short level", with([](auto& s) { s.level0SizeOverride = 64; }), TextureFault::ShortLevel, 0},
        {"too wide for DXT", with([](auto& s) { s.width = 8192; s.height = 4; s.levels = {Dxt1Level(8192, 4)}; }),
         TextureFault::DxtFailed, 0},
        {"fewer blocks than the picture", with([](auto& s) { s.width = s.height = 4096; }), TextureFault::DxtFailed, 0},
        {"height 0", with([](auto& s) { s.height = 0; }), TextureFault::ShortHeader, 0},
        {"truncated", TextureResult{}, TextureFault::ShortHeader, 0},
    };
    cases[13].result = DecodeTexture(AsBytes(test::MakeFt2e(three).substr(0, 30)));
    for (const Case& c : cases) {
        EXPECT_EQ(c.result.fault, c.fault) << c.name;
        EXPECT_EQ(c.result.value, c.value) << c.name;
        EXPECT_TRUE(c.result.image.Pixels.empty()) << c.name;
    }
    EXPECT_EQ(cases[7].result.fourCC, "8txd");
    EXPECT_EQ(DecodeTexture(AsBytes(std::string("PNG\x89xxxxxxxx"))).fault, TextureFault::BadTag);
    // A huge level count is checked against the file before anything is read.
    std::string manyLevels = test::MakeFt2e(three);
    manyLevels[17] = static_cast<char>(255);
    EXPECT_EQ(DecodeTexture(AsBytes(manyLevels)).fault, TextureFault::ShortHeader);
}

std::string Bgra(int w, int h, int alpha) {
    std::string s;
    for (int i = 0; i < w * h; ++i) s += test::Bytes({i, 100, 200, alpha});
    return s;
}

TEST(TextureReader, JirfFormatsAndVersions) {
    test::JirfFields f0;
    f0.format = 0;
    f0.width = 2;
    f0.height = 2;
    f0.chunks = {Bgra(2, 2, 255)};
    TextureResult r = DecodeTexture(AsBytes(test::MakeJirf(f0)));
    ASSERT_EQ(r.fault, TextureFault::None);
    EXPECT_EQ(r.image.BytesPerPixel, 4);
    EXPECT_EQ(r.info.alphaKind, 2);
    EXPECT_EQ(At(r.image, 1, 0), (std::vector<int>{200, 100, 1, 255}));  // rows from the top, B G R A
    EXPECT_EQ(At(r.image, 0, 1), (std::vector<int>{200, 100, 2, 255}));

    f0.chunks = {Bgra(2, 2, 128)};
    EXPECT_EQ(DecodeTexture(AsBytes(test::MakeJirf(f0))).info.alphaKind, 1);

    test::JirfFields f3 = f0;
    f3.format = 3;
    r = DecodeTexture(AsBytes(test::MakeJirf(f3)));
    ASSERT_EQ(r.fault, TextureFault::None);
    EXPECT_EQ(r.image.BytesPerPixel, 3);
    EXPECT_EQ(r.info.alphaKind, 0);
    EXPECT_EQ(WriteTextureDescriptor("a.texture", r.info), (std::vector<std::string>{"Primary=a.tga", "Tile=none"}));

    struct Dxt {
        std::uint32_t format, hint;
        int bpp, alphaKind, compression;
    } dxts[] = {{10, 0, 3, 0, 1}, {10, 2, 4, 2, 1}, {11, 0, 4, 1, 3}, {12, 1, 4, 1, 5}};
    for (const Dxt& d : dxts) {
        test::JirfFields s;
        s.format = d.format;
        s.alphaHint = d.hint;
        s.chunks = {std::string(d.format == 10 ? 8 : 16, '\x11'), std::string(d.format == 10 ? 8 : 16, '\x22')};
        s.countA = 2;
        r = DecodeTexture(AsBytes(test::MakeJirf(s)));
        ASSERT_EQ(r.fault, TextureFault::None) << d.format;
        EXPECT_EQ(r.image.BytesPerPixel, d.bpp) << d.format;
        EXPECT_EQ(r.info.alphaKind, d.alphaKind) << d.format;
        EXPECT_EQ(r.info.compression, d.compression) << d.format;
    }

    for (std::uint32_t version : {0x100u, 0x103u, 0x105u, 0x107u}) {
        test::JirfFields s;
        s.version = version;
        s.format = 11;
        s.chunks = {std::string(16, '\x33')};
        s.wrapS = s.wrapT = 2;
        s.dynamic = 1;
        s.alphaHint = 1;
        s.normalMap = 1;
        r = DecodeTexture(AsBytes(test::MakeJirf(s)));
        ASSERT_EQ(r.fault, TextureFault::None) << version;
        std::vector<std::string> want = {"Primary=n.tga", "Alpha=n.tga", "Tile=st", "Hint=dynamic", "AlphaHint=semitransparent"};
        if (version > 0x106) want.push_back("NormalMapHint=normalmap");
        EXPECT_EQ(WriteTextureDescriptor("n.texture", r.info), want) << version;
    }
}

TEST(TextureReader, JirfRefusals) {
    auto with = [](auto change) {
        test::JirfFields s;
        s.chunks = {std::string(8, '\x11')};
        change(s);
        return DecodeTexture(AsBytes(test::MakeJirf(s)));
    };
    struct Case {
        const char* name;
        TextureResult result;
        TextureFault fault;
        bool infoRead;
    } cases[] = {
        {"no chunks", with([](auto& s) { s.countB = 0; }), TextureFault::NoChunks, true},
        {"bad chunk tag", with([](auto& s) { s.chunkTag = "MMAQ"; }), TextureFault::BadChunkTag, true},
        {"size mismatch", with([](auto& s) { s.format = 0; }), TextureFault::LevelSizeMismatch, true},
        {"format 13", with([](auto& s) { s.format = 13; }), TextureFault::BadFormat, false},
        {"form", with([](auto& s) { s.form = "MMTXINFO"; }), TextureFault::NotMmtfInfo, false},
        {"INFO smaller than its fields", with([](auto& s) { s.infoSizeOverride = 40; }), TextureFault::ShortHeader, false},
        {"counts past the file", with([](auto& s) { s.countA = s.countB = 0xFFFF; }), TextureFault::ShortHeader, true},
        {"chunk past the file", with([](auto& s) { s.chunks = {std::string(8, 'x'), std::string(8, 'x')}; s.countA = 3; }),
         TextureFault::ShortHeader, true},
        {"width 0", with([](auto& s) { s.width = 0; }), TextureFault::ShortHeader, true},
        {"above the cap", with([](auto& s) { s.width = s.height = 1u << 15; }), TextureFault::ShortHeader, true},
        {"partial DXT block", with([](auto& s) { s.chunks = {std::string(7, 'x')}; }), TextureFault::DxtFailed, true},
        {"fewer blocks than the picture", with([](auto& s) { s.width = s.height = 8; }), TextureFault::DxtFailed, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result.fault, c.fault) << c.name;
        EXPECT_EQ(c.result.infoRead, c.infoRead) << c.name;
        EXPECT_TRUE(c.result.image.Pixels.empty()) << c.name;
    }
    test::JirfFields capped;
    capped.width = capped.height = 8;
    capped.chunks = {std::string(32, 'x')};
    EXPECT_EQ(DecodeTexture(AsBytes(test::MakeJirf(capped)), {}, 63).fault, TextureFault::ShortHeader);
    EXPECT_EQ(DecodeTexture(AsBytes(test::MakeJirf(capped)), {}, 64).fault, TextureFault::None);
    std::string cut = test::MakeJirf(test::JirfFields{.chunks = {std::string(8, 'x')}});
    EXPECT_EQ(DecodeTexture(AsBytes(cut.substr(0, cut.size() - 3))).fault, TextureFault::ShortLevel);
}

}  // namespace
}  // namespace kelvarn
