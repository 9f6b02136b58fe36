#include <gtest/gtest.h>

#include "media/ExtraTextures.h"
#include "media/TexturePlan.h"
#include "shell/PathText.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::TempDir;
using test::WriteBytes;

// An asset folder as people make them: names in mixed case, descriptors with CR LF.
class TextureFolder : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Body.TGA", "skin_rgb.bmp", "skin_a.bmp", "solid.bmp", "same.bmp", "glass.tga"})
            WriteBytes(dir / name, "x");
        WriteBytes(dir / "Skin.Texture.txt", "Primary=skin_rgb.bmp\r\nAlpha=skin_a.bmp\r\nTile=st\r\n");
        WriteBytes(dir / "solid.texture.txt", "Primary=solid.bmp\r\nTile=st\r\n");
        WriteBytes(dir / "same.texture.txt", "primary=same.bmp\nalpha=SAME.bmp\n");
        WriteBytes(dir / "lost.texture.txt", "Primary=nowhere.bmp\r\nAlpha=skin_a.bmp\r\n");
        WriteBytes(dir / "noalpha.texture.txt", "AlphaHint=masked\r\nPrimary=glass.tga\r\nAlpha=gone.tga\r\n");
        WriteBytes(dir / "folder.tga/inner", "a folder is no texture");
    }
    std::string At(const char* name) { return files.Find(name); }

    TempDir dir;
    TMeshFolderFiles files{dir.Path()};
};

TEST_F(TextureFolder, ResolverTakesTheFileNamePartIgnoringCase) {
    const std::string body = JoinPath(dir.Path(), "Body.TGA", '/');
    EXPECT_EQ(At("body.tga"), body);
    EXPECT_EQ(At("BODY.tga"), body);
    EXPECT_EQ(At("C:\\Trainz\\Work\\body.tga"), body);
    EXPECT_EQ(At("textures/Body.tga"), body);
    EXPECT_EQ(At("missing.tga"), "");
    EXPECT_EQ(At("folder.tga"), "");
    EXPECT_EQ(At(""), "");
    EXPECT_EQ(At("C:\\Trainz\\"), "");
    TNoTextureFiles none;
    EXPECT_EQ(none.Find("body.tga"), "");
}

TEST_F(TextureFolder, PlansPerSlotKindAndOpacity) {
    struct Case {
        const char* what;
        std::uint32_t slot;
        const char* name;
        int kind;
        float opacity;
        bool planned;
        const char* path;   // file name of the path
        const char* alpha;  // file name of the alpha path
        bool constant;
        int value;
    };
    const Case cases[] = {
        // the file itself
        {"diffuse", 1, "C:\\Work\\body.tga", 2, 1.0f, true, "Body.TGA", "", false, 2},
        {"diffuse, bump gloss", 1, "body.tga", 6, 1.0f, true, "Body.TGA", "", true, 255},
        {"diffuse, bump gloss, translucent", 1, "body.tga", 6, 0.25f, true, "Body.TGA", "", true, 255},
        {"diffuse, translucent", 1, "body.tga", 2, 0.25f, true, "Body.TGA", "", true, 128},
        {"diffuse, half", 1, "body.tga", 0, 0.5f, true, "Body.TGA", "", true, 180},
        {"diffuse, opacity past 1", 1, "body.tga", 2, 4.0f, true, "Body.TGA", "", true, 255},
        {"diffuse, negative opacity", 1, "body.tga", 2, -1.0f, true, "Body.TGA", "", true, 0},
        {"reflection", 9, "body.tga", 3, 0.25f, true, "Body.TGA", "", false, 3},
        {"bump", 8, "body.tga", 5, 1.0f, true, "Body.TGA", "", true, 255},
        {"bump of a plain kind", 8, "body.tga", 4, 1.0f, false, "", "", false, 0},
        {"other slot", 2, "body.tga", 2, 1.0f, false, "", "", false, 0},
        {"missing", 1, "nothing.tga", 2, 1.0f, false, "", "", false, 0},
        // the descriptor
        {"descriptor", 1, "skin.texture", 2, 1.0f, true, "skin_rgb.bmp", "skin_a.bmp", false, 2},
        {"descriptor, bump gloss", 1, "SKIN.texture", 6, 1.0f, true, "skin_rgb.bmp", "skin_a.bmp", true, 255},
        {"descriptor, translucent", 1, "skin.texture", 2, 0.25f, true, "skin_rgb.bmp", "skin_a.bmp", true, 64},
        {"descriptor, reflection", 9, "skin.texture", 3, 1.0f, true, "skin_rgb.bmp", "skin_a.bmp", false, 3},
        {"descriptor, bump", 8, "skin.texture", 7, 1.0f, true, "skin_rgb.bmp", "skin_a.bmp", true, 255},
        {"descriptor, bump of a plain kind", 8, "skin.texture", 2, 1.0f, false, "", "", false, 0},
        {"descriptor without alpha", 1, "solid.texture", 2, 1.0f, true, "solid.bmp", "", true, 255},
        {"alpha names the primary", 1, "same.texture", 2, 1.0f, true, "same.bmp", "", false, 2},
        {"primary missing", 1, "lost.texture", 2, 1.0f, false, "", "", false, 0},
        {"alpha missing", 1, "noalpha.texture", 2, 1.0f, true, "glass.tga", "", false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto plan = PlanTexture(c.slot, c.name, c.kind, c.opacity, files);
        ASSERT_EQ(plan.has_value(), c.planned);
        if (!plan) continue;
        EXPECT_EQ(plan->Slot, c.slot);
        EXPECT_EQ(plan->FileName, TextureFileName(c.name));
        EXPECT_EQ(ExtractFileName(plan->Path), c.path);
        EXPECT_EQ(ExtractFileName(plan->AlphaPath), c.alpha);
        EXPECT_EQ(plan->ConstantAlpha, c.constant);
        EXPECT_EQ(plan->Value, c.value);
    }
}

TEST(TextureDescriptor, FirstAlphaAndPrimaryLines) {
    struct Case {
        const char* text;
        const char* alpha;
        const char* primary;
    };
    const Case cases[] = {
        {"Primary=a.tga\r\nAlpha=b.tga\r\n", "b.tga", "a.tga"},
        {"ALPHA=b.tga\nPRIMARY=a.tga", "b.tga", "a.tga"},
        {"AlphaHint=masked\r\nPrimary=a.bmp", "", "a.bmp"},
        {"Alpha=first.bmp\r\nAlpha=second.bmp\r\nPrimary=p.bmp\r\nPrimary=q.bmp", "first.bmp", "p.bmp"},
        {"Primary= spaced name.tga \r\n", "", "spaced name.tga"},
        {"Primary=\r\n", "", ""},
        {"", "", ""},
        {"Tile=st", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string alpha = "stale", primary = "stale";
        ReadDescriptorNames(c.text, alpha, primary);
        EXPECT_EQ(alpha, c.alpha);
        EXPECT_EQ(primary, c.primary);
    }
}

// --- the alpha rules ---

TEST(TextureFormat, ByExtensionIgnoringCase) {
    const std::pair<const char*, std::optional<TTextureFormat>> cases[] = {
        {"a.bmp", TTextureFormat::Bmp},
        {"A.JPG", TTextureFormat::Jpeg},
        {"x.Tga", TTextureFormat::Tga},
        {"x.TEXTURE", TTextureFormat::Texture},
        {"x.jpeg", TTextureFormat::Jpeg},  // a mesh may name a texture so spelt
        {"x.png", std::nullopt},
        {"bmp", std::nullopt},
        {"x.texture.txt", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(TextureFormatOf(name), format) << name;
}

Image32 TwoByTwo() {
    Image32 image;
    image.Resize(2, 2);
    image.Pixels = {0x10112233, 0x20445566, 0x30778899, 0x40AABBCC};  // rows from the top
    return image;
}

Image32 Pending(int width, int height) {
    Image32 image;
    image.Resize(width, height);
    for (std::size_t i = 0; i < image.Pixels.size(); ++i)
        image.Pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(0xA0 + i) << 16 | 0x0101;
    return image;
}

TEST(TextureAlpha, RulesOneToFive) {
    const Image32 image = TwoByTwo();
    const Image32 pending = Pending(2, 2), other = Pending(3, 1), single = Pending(1, 1);
    const std::vector<std::uint8_t> rgb = {0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    auto rgba = [&](std::array<std::uint8_t, 4> alpha) {
        std::vector<std::uint8_t> out;
        for (int i = 0; i < 4; ++i) {
            out.insert(out.end(), rgb.begin() + i * 3, rgb.begin() + i * 3 + 3);
            out.push_back(alpha[static_cast<std::size_t>(i)]);
        }
        return out;
    };
    // Bottom row first, so the pending alphas (0xA0.. from the top) come in the order 2, 3, 0, 1.
    const auto fromPending = rgba({0xA2, 0xA3, 0xA0, 0xA1});
    struct Case {
        const char* what;
        TTextureFormat format;
        bool fileAlpha, constant;
        int value;
        const Image32* pending;
        std::vector<std::uint8_t> pixels;
    };
    const Case cases[] = {
        {"1: constant alpha", TTextureFormat::Tga, true, true, 100, &pending, rgba({100, 100, 100, 100})},
        {"1: constant alpha on a BMP", TTextureFormat::Bmp, false, true, 255, nullptr, rgba({255, 255, 255, 255})},
        {"2: pending alpha", TTextureFormat::Tga, true, false, 2, &pending, fromPending},
        {"2: pending alpha, BMP of a plain kind", TTextureFormat::Bmp, false, false, 3, &pending, fromPending},
        {"4: pending alpha, BMP of a gloss kind", TTextureFormat::Bmp, false, false, 4, &pending,
         rgba({255, 255, 255, 255})},
        {"4 is for BMP only", TTextureFormat::Texture, false, false, 4, &pending, fromPending},
        {"2: pending of another size dropped", TTextureFormat::Tga, false, false, 2, &other, rgb},
        {"3: own alpha", TTextureFormat::Tga, true, false, 2, nullptr, rgba({0x30, 0x40, 0x10, 0x20})},
        {"3: no alpha", TTextureFormat::Bmp, false, false, 2, nullptr, rgb},
        {"3: rgba texture", TTextureFormat::Texture, true, false, 0, nullptr, rgba({0x30, 0x40, 0x10, 0x20})},
        {"JPEG ignores the constant", TTextureFormat::Jpeg, false, true, 100, nullptr, rgba({255, 255, 255, 255})},
        {"JPEG takes a pending alpha", TTextureFormat::Jpeg, false, true, 100, &pending, fromPending},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMessageList messages;
        const auto t =
            ApplyAlphaRules(image, c.format, c.fileAlpha, c.constant, c.value, c.pending, "dir\\x.tga", messages);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->Width, 2);
        EXPECT_EQ(t->Height, 2);
        EXPECT_EQ(t->HasAlpha, c.pixels.size() == 16);  // 5: every RGBA texture says so
        EXPECT_EQ(t->Pixels, c.pixels);
        EXPECT_TRUE(messages.empty());
    }
}

TEST(TextureAlpha, AJpegWithAnAlphaOfAnotherSizeIsRefused) {
    TMessageList messages;
    const Image32 pending = Pending(1, 1);
    EXPECT_EQ(
        ApplyAlphaRules(TwoByTwo(), TTextureFormat::Jpeg, false, false, 2, &pending, "C:\\work\\Body.jpg", messages),
        nullptr);
    EXPECT_EQ(messages, (TMessageList{{"Body.jpg Texture ERROR.. Image and Alpha not the same size", "Info"}}));
    EXPECT_EQ(ApplyAlphaRules(Image32{}, TTextureFormat::Tga, false, false, 2, nullptr, "e.tga", messages), nullptr);
}

TEST(TextureAlpha, RowsOfOddWidthsArePacked) {
    Image32 image;
    image.Resize(3, 3, 0xFF010203);
    TMessageList messages;
    const auto t = ApplyAlphaRules(image, TTextureFormat::Bmp, false, false, 0, nullptr, "a.bmp", messages);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Pixels.size(), 27u);  // no row padding: the renderer uploads with alignment 1
    EXPECT_EQ(t->Pixels[26], 3);
}

}  // namespace
}  // namespace kelvarn
