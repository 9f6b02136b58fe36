#include <gtest/gtest.h>

#include <filesystem>

#include "CorpusSupport.h"
#include "support/TestSupport.h"
#include "media/AlphaTools.h"
#include "media/TextureDescriptor.h"
#include "shell/Files.h"

namespace kelvarn {
namespace {

using test::TempDir;

TEST(TextureDescriptorModel, ReadsKeysAnyCaseAndWritesThemInTableOrder) {
    const TextureDescriptor d = TextureDescriptor::Parse("Primary=a.tga\r\nalpha=b.tga\r\nTILE=ST\r\n");
    EXPECT_EQ(d.Primary, "a.tga");
    EXPECT_EQ(d.Alpha, "b.tga");
    EXPECT_EQ(d.Value(2), "st");
    EXPECT_EQ(d.Write(), "Primary=a.tga\r\nAlpha=b.tga\r\nTile=st\r\n");

    // Keys and values are trimmed; the order of the file does not matter.
    const TextureDescriptor spaced =
        TextureDescriptor::Parse("  MipFilter = None \nPrimary = a.tga\n\tAnisotropy=16\ncompression=DXT5");
    EXPECT_EQ(spaced.Primary, "a.tga");
    EXPECT_EQ(spaced.Write(), "Primary=a.tga\r\nCompression=dxt5\r\nAnisotropy=16\r\nMipFilter=none\r\n");
}

TEST(TextureDescriptorModel, UnknownValuesDropButUnknownKeysStay) {
    // A listed key with a value outside its list reads as not set, even over an earlier good line.
    const TextureDescriptor d =
        TextureDescriptor::Parse("Tile=s\nCompression=dxt9\nfoo = bar\nPrimary=a.tga\nTile=wrap\n; note\n");
    EXPECT_FALSE(d.IsSet(3));
    EXPECT_FALSE(d.IsSet(2));
    EXPECT_EQ(d.OtherLines, (std::vector<std::string>{"foo = bar", "; note"}));
    EXPECT_EQ(d.Write(), "Primary=a.tga\r\nfoo = bar\r\n; note\r\n");

    TextureDescriptor e;
    EXPECT_TRUE(e.SetValue(2, "ST"));
    EXPECT_EQ(e.Value(2), "st");
    EXPECT_FALSE(e.SetValue(2, "x"));
    EXPECT_EQ(e.Value(2), "st");
    e.ClearField(2);
    EXPECT_EQ(e.Write(), "");
}

TEST(TextureDescriptorModel, SaveRuleLooksAtTheFirstLinesKey) {
    struct Case {
        const char* text;
        bool canSave;
    };
    for (const Case& c : {Case{"Primary=a.tga\r\nAlpha=b.tga", true}, Case{"Primary = a.tga", true},
                          Case{"primary=", true}, Case{"PRIMARY=x.jpg\n", true},
                          Case{"Alpha=b.tga\r\nPrimary=a.tga", false}, Case{"", false},
                          Case{"\r\nPrimary=a.tga", false}, Case{"Primary", false}, Case{"Primaryx=a", false}})
        EXPECT_EQ(DescriptorCanSave(c.text), c.canSave) << c.text;
    EXPECT_EQ(TextureDescriptor::Parse("Primary = a.tga").Primary, "a.tga");
}

TEST(TextureDescriptorModel, HelpTextsFollowTheComboIndex) {
    EXPECT_EQ(DescriptorHelpTable().size(), 58u);
    EXPECT_EQ(DescriptorHelpText(2, -1), "Texture wrapping");
    EXPECT_EQ(DescriptorHelpText(2, 0), "Texture wrapping");
    EXPECT_EQ(DescriptorHelpText(2, 1), "Horizontal and vertical tiling.");
    EXPECT_EQ(DescriptorHelpText(2, 4), "No tiling");
    EXPECT_EQ(DescriptorHelpText(7, 3), "No alpha");
    EXPECT_EQ(DescriptorHelpText(8, 5), "Very High");
    EXPECT_EQ(DescriptorHelpText(12, 0), "Mip map texture sampling");
    EXPECT_EQ(DescriptorHelpText(12, 4), "Disable mipmapping (for user interface textures)");
    EXPECT_EQ(DescriptorHelpText(2, 5), "");
    EXPECT_EQ(DescriptorHelpText(0, 0), "");
}

TEST(TextureDescriptorFiles, DefaultImageIsTheFirstExistingOfTgaBmpJpgAsOnDisk) {
    TempDir dir;
    test::WriteBytes(dir / "Wood.TGA", "x");
    test::WriteBytes(dir / "wood.bmp", "x");
    test::WriteBytes(dir / "stone.jpg", "x");
    EXPECT_EQ(DescriptorDefaultImage(dir / "wood.texture.txt"), "Wood.TGA");
    EXPECT_EQ(DescriptorDefaultImage(dir / "Stone.Texture.txt"), "stone.jpg");
    EXPECT_EQ(DescriptorDefaultImage(dir / "glass.texture.txt"), "");
    EXPECT_EQ(DescriptorImageFiles(dir.Path()), (std::vector<std::string>{"stone.jpg", "wood.bmp", "Wood.TGA"}));
}

TEST(TextureDescriptorFiles, Windows1252TextComesBackByteForByte) {
    TempDir dir;
    const std::string bytes = "Primary=caf\xE9.tga\r\nAlpha=caf\xE9_a.tga\r\nTile=st\r\n";
    test::WriteBytes(dir / "cafe.texture.txt", bytes);
    TextureDescriptor d;
    DecodedText text;
    ASSERT_EQ(ReadTextureDescriptor(dir / "cafe.texture.txt", d, &text), "");
    EXPECT_EQ(text.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(d.Primary, "caf\xC3\xA9.tga");
    ASSERT_EQ(WriteTextFile(dir / "cafe.texture.txt", d.Write(), text.encoding), "");
    EXPECT_EQ(test::ReadBytes(dir / "cafe.texture.txt"), bytes);
    EXPECT_NE(ReadTextureDescriptor(dir / "missing.texture.txt", d), "");
}

TEST(TextureDescriptorFiles, AlphaTextureMembershipIgnoresCaseAndNeedsBothNames) {
    TempDir dir;
    test::WriteBytes(dir / "sub/Glass.texture.txt", "Primary=Glass.TGA\r\nAlpha=maps\\glass_a.tga\r\n");
    test::WriteBytes(dir / "wood.texture.txt", "Primary=wood.tga\r\n");
    EXPECT_TRUE(IsInAlphaTexture(dir.Path(), dir / "sub/glass.tga"));
    EXPECT_TRUE(IsInAlphaTexture(dir.Path(), dir / "sub/maps/GLASS_A.tga"));
    EXPECT_FALSE(IsInAlphaTexture(dir.Path(), dir / "glass.tga"));
    EXPECT_FALSE(IsInAlphaTexture(dir.Path(), dir / "wood.tga"));
}

TEST(TextureDescriptorCorpus, RealDescriptorsReadBackAsTheSameFieldsAfterAWrite) {
    KELVARN_NEED_CORPUS();
    std::vector<std::string> files;
    FindFilesRecursive(test::CorpusFolder() + "/*.*", "*.texture.txt", files);
    ASSERT_GE(files.size(), 10u);
    bool sawCrLf = false, sawLf = false;
    for (const std::string& path : files) {
        TextureDescriptor d;
        DecodedText text;
        ASSERT_EQ(ReadTextureDescriptor(path, d, &text), "") << path;
        EXPECT_FALSE(d.Primary.empty()) << path;  // a load that reads nothing fails
        EXPECT_TRUE(d.OtherLines.empty()) << path;
        (text.text.find("\r\n") != std::string::npos ? sawCrLf : sawLf) = true;
        EXPECT_EQ(TextureDescriptor::Parse(d.Write()), d) << path;
        EXPECT_TRUE(DescriptorCanSave(d.Write())) << path;
    }
    EXPECT_TRUE(sawCrLf && sawLf);
    const std::string icons = test::CorpusFolder() + "/schedule-commands/DisableRepeatCommand";
    EXPECT_TRUE(IsInAlphaTexture(icons, icons + "/icon.tga"));
    EXPECT_EQ(NonUniformRefusal(icons, icons + "/icon.tga", false),
              "File is referenced in an alpha texture: " + icons + "/icon.tga");
    const std::string jos = test::CorpusFolder() + "/jos-scanner";
    EXPECT_FALSE(IsInAlphaTexture(jos, jos + "/dm.jpg"));
}

}  // namespace
}  // namespace kelvarn
