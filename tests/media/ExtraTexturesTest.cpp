// The mesh view's texture loader on real files: its messages, which differ from the image library's,
// the pixels it hands the renderer, and the pending alpha of texture descriptors.
#include <gtest/gtest.h>

#include "ImageBuilders.h"
#include "media/BmpCodec.h"
#include "media/ExtraTextures.h"
#include "media/TgaCodec.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::TempDir;
using test::WriteBytes;

class GlTextureLoader : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        WriteBytes(dir / name, bytes);
        return dir / name;
    }
    std::shared_ptr<TPreparedTexture> Load(const std::string& path, bool constant = false, int value = 0) {
        messages.clear();
        return loader.LoadTexture(path, constant, value, messages);
    }

    TempDir dir;
    TExtraTextures loader;
    TMessageList messages;
};

TEST_F(GlTextureLoader, RefusalsGiveTheLoadersOwnMessages) {
    auto tga = [](auto change) {
        test::TgaFields f;
        f.pixels = std::string(3 * 2 * 3, '\x10');
        change(f);
        return test::MakeTga(f);
    };
    auto bmp = [](auto change) {
        test::BmpFields f;
        change(f);
        return test::MakeBmp(f);
    };
    test::Ft2eFields mip;
    mip.version = 2;  // the header with 32-bit fields
    mip.mipSkip = 2;
    mip.levels = {std::string(64, '\0')};
    test::Ft2eFields cubes = mip;
    cubes.mipSkip = 0;
    cubes.slices = 6;
    test::JirfFields jirf;
    jirf.chunks = {test::Dxt1Block(0xF800, 0x001F, std::vector<int>(16, 1))};
    const std::string texture = test::MakeJirf(jirf);

    struct Case {
        const char* name;
        std::string bytes;  // nothing written when empty
        TMessageBoxText expected;
    };
    const Case cases[] = {
        {"gone.tga", "", {"File not found  - gone.tga", "TGA Texture"}},
        {"rle.tga", tga([](auto& f) { f.type = 10; }), {"Compressed TGAs not supported by Trainz \"rle.tga\".", "BMP Unit"}},
        {"grey.tga", tga([](auto& f) { f.type = 3; }),
         {"Couldn't load \"grey.tga\". Only 256 colour, 24 bit and 32bit TGA supported.", "TGA File Error"}},
        {"map.tga", tga([](auto& f) { f.mapType = 2; }),
         {"Couldn't load \"map.tga\". Colormapped TGA files not supported.", "TGA File Error"}},
        {"deep.tga", tga([](auto& f) { f.depth = 15; }),
         {"Couldn't load \"deep.tga\". Only 24 and 32 bit TGA files supported.", "TGA File Error"}},
        {"short.tga", tga([](auto& f) { f.pixels.resize(7); }), {"Couldn't read file \"short.tga\".", "TGA File Error"}},
        {"gone.bmp", "", {"Error opening gone.bmp", "BMP Unit"}},
        {"four.bmp", bmp([](auto& f) { f.bits = 4; f.colours = 16; }), {"four.bmp Bitmap format not supported", "Info"}},
        {"palette.bmp", bmp([](auto& f) { f.bits = 8; f.colours = 3; }), {"Error reading palette", "BMP Unit"}},
        {"cut.bmp", bmp([](auto&) {}).substr(0, 60), {"Error reading bitmap data", "BMP Unit"}},
        {"bad.jpg", "not a jpeg at all", {"Couldn't load JPG - \"bad.jpg\"", "Info"}},
        {"mip.texture", test::MakeFt2e(mip), {"Mip Skip: 2  NON ZERO value not supported in FT2E type texture", ""}},
        {"cubes.texture", test::MakeFt2e(cubes), {"texture cubes not supported", ""}},
        // Damaged files the image library knows only by a code: here the model is drawn without them.
        {"cut.texture", texture.substr(0, texture.size() - 4),
         {"Couldn't load texture \"cut.texture\": its picture data is cut short", "Info"}},
        {"tag.texture", "FT2X" + texture.substr(4),
         {"Couldn't load texture \"tag.texture\": it is no texture file (it begins neither with FT2E nor with JIRF)",
          "Info"}},
        {"gone.texture", "", {"Couldn't load texture \"gone.texture\": it cannot be read", "Info"}},
    };
    for (const Case& c : cases) {
        const std::string path = c.bytes.empty() ? dir / c.name : Write(c.name, c.bytes);
        EXPECT_EQ(Load(path), nullptr) << c.name;
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_EQ(messages[0], c.expected) << c.name;
    }
    EXPECT_EQ(Load(Write("photo.png", "x")), nullptr);  // no loader for it
    EXPECT_TRUE(messages.empty());
}

TEST_F(GlTextureLoader, PixelsGoToTheRendererBottomRowFirst) {
    // The TGA and BMP readers give rows bottom-up already: the texture holds them as they are.
    const RawImage rgb = test::TestRaw(3, 2, 3);
    const RawImage rgba = test::TestRaw(3, 2, 4);
    for (const auto& [name, raw, alpha] : {std::tuple{"rgb.tga", &rgb, false}, std::tuple{"rgba.tga", &rgba, true}}) {
        const auto t = Load(Write(name, EncodeTga(*raw)));
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->HasAlpha, alpha) << name;
        EXPECT_EQ(t->Width, 3);
        EXPECT_EQ(t->Height, 2);
        EXPECT_EQ(t->Pixels, std::vector<std::uint8_t>(raw->Pixels.begin(), raw->Pixels.end())) << name;
    }
    const auto bmp = Load(Write("rgb.bmp", EncodeBmp24(rgb)));
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->Pixels, std::vector<std::uint8_t>(rgb.Pixels.begin(), rgb.Pixels.end()));

    // A JPEG is always RGBA, opaque, whatever constant the material asks for.
    const auto jpeg = Load(Write("photo.jpg", test::MakeJpeg(16, 8)), true, 40);
    ASSERT_NE(jpeg, nullptr);
    EXPECT_TRUE(jpeg->HasAlpha);
    EXPECT_EQ(jpeg->Pixels.size(), 16u * 8 * 4);
    for (std::size_t i = 3; i < jpeg->Pixels.size(); i += 4) ASSERT_EQ(jpeg->Pixels[i], 255);
}

TEST_F(GlTextureLoader, Dxt1IsRgbUnlessMaskedOrGivenAConstantAlpha) {
    auto dxt1 = [](int alphaMode) {
        test::Ft2eFields f;
        f.version = 2;
        f.alphaMode = alphaMode;
        f.format = "1txd";
        f.levels = {test::Dxt1Block(0xF800, 0x001F, std::vector<int>(16, 0))};
        return test::MakeFt2e(f);
    };
    const auto plain = Load(Write("plain.texture", dxt1(0)));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->HasAlpha);
    EXPECT_EQ(plain->Pixels.size(), 4u * 4 * 3);
    EXPECT_EQ(plain->Pixels[0], 0xF8);  // red, as the tools expand 5 bits

    const auto masked = Load(Write("masked.texture", dxt1(2)));
    ASSERT_NE(masked, nullptr);
    EXPECT_TRUE(masked->HasAlpha);

    const auto constant = Load(Write("plain.texture", dxt1(0)), true, 128);
    ASSERT_NE(constant, nullptr);
    ASSERT_TRUE(constant->HasAlpha);
    EXPECT_EQ(constant->Pixels[3], 128);
}

TEST_F(GlTextureLoader, DescriptorAlphaWaitsForTheNextTexture) {
    // The alpha image's red bytes become the texture's alpha, row for row.
    RawImage alpha = test::TestRaw(2, 2, 3);
    for (std::size_t i = 0; i < alpha.Pixels.size(); i += 3) alpha.Pixels[i] = static_cast<std::uint8_t>(10 + i);
    TTexturePlan plan;
    plan.Slot = tsDiffuse;
    plan.Path = Write("skin_rgb.tga", EncodeTga(test::TestRaw(2, 2, 3)));
    plan.AlphaPath = Write("skin_a.bmp", EncodeBmp24(alpha));
    plan.Value = 2;
    const auto t = loader.Prepare(plan, messages);
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(t->HasAlpha);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(t->Pixels[static_cast<std::size_t>(i) * 4 + 3], 10 + 3 * i) << i;
    EXPECT_FALSE(loader.AlphaPending()) << "used up";

    // The next texture without a descriptor keeps its own channels.
    const auto next = Load(plan.Path);
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(next->HasAlpha);

    // Only BMP and TGA can be alpha images; a failed one leaves nothing pending.
    EXPECT_FALSE(loader.LoadAlphaImage(Write("a.jpg", test::MakeJpeg(2, 2)), messages));
    EXPECT_FALSE(loader.AlphaPending());
    ASSERT_TRUE(loader.LoadAlphaImage(plan.AlphaPath, messages));
    messages.clear();
    EXPECT_FALSE(loader.LoadAlphaImage(dir / "gone.tga", messages));
    EXPECT_FALSE(loader.AlphaPending());
    EXPECT_EQ(messages.size(), 1u);

    // A texture that fails still uses the pending alpha up.
    ASSERT_TRUE(loader.LoadAlphaImage(plan.AlphaPath, messages));
    EXPECT_EQ(Load(dir / "gone.bmp"), nullptr);
    EXPECT_FALSE(loader.AlphaPending());
}

TEST_F(GlTextureLoader, PicturesAboveThePixelCapAreRefused) {
    TExtraTextures small(5);
    const std::string tga = Write("six.tga", EncodeTga(test::TestRaw(3, 2, 3)));
    EXPECT_EQ(small.LoadTexture(tga, false, 0, messages), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text, "Couldn't read file \"six.tga\".");
    messages.clear();
    EXPECT_EQ(small.LoadTexture(Write("six.bmp", EncodeBmp24(test::TestRaw(3, 2, 3))), false, 0, messages), nullptr);
    EXPECT_EQ(messages.at(0).Text, "Couldn't load bitmap");
    EXPECT_NE(TExtraTextures(6).LoadTexture(tga, false, 0, messages), nullptr);
}

}  // namespace
}  // namespace kelvarn
