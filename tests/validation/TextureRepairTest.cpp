#include <gtest/gtest.h>

#include "TextureRepairTestBed.h"
#include "media/JpegDec.h"
#include "media/TgaCodec.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

using test::RepairBed;
using test::SolidBmp;
using test::SolidJpeg;
using test::SolidTga;

const std::string kRed24 = test::Bytes({0, 0, 255});
const std::string kTab = "\r\n\t";

// A 4 x 4 texture: uncompressed with alpha values of its own, or an opaque DXT1 block.
std::string RgbaTexture(bool alpha) {
    test::Ft2eFields f;
    if (alpha) {
        f.format = "abgr";
        f.alphaMode = 3;
        std::string level;
        for (int i = 0; i < 16; ++i) level += test::Bytes({10 * i, 20, 30, 16 * i});
        f.levels = {level};
    } else {
        f.levels = {test::Dxt1Block(0xF800, 0x001F, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3})};
    }
    return test::MakeFt2e(f);
}

int TgaDepth(const std::string& bytes) { return bytes.size() > 16 ? static_cast<unsigned char>(bytes[16]) : -1; }
int TgaType(const std::string& bytes) { return bytes.size() > 2 ? static_cast<unsigned char>(bytes[2]) : -1; }

// --- the report

TEST(TextureRepairReport, JoinsLinesDropsEmptyOnesAndMarksItInformational) {
    struct Case {
        std::vector<std::string> lines;
        std::string report;
    } cases[] = {
        {{}, ""},
        {{"", "", ""}, ""},
        {{"a"}, ".a"},
        {{"", "a", "", "", "b", ""}, ".a" + kTab + "b"},
        {{"Unreferenced files: ", "- x.tga"}, ".Unreferenced files: " + kTab + "- x.tga"},
    };
    for (const Case& c : cases) EXPECT_EQ(JoinRepairReport(c.lines), c.report);
}

TEST(TextureRepairReport, ModeWordIgnoresCaseAndEmptyMeansAll) {
    RepairBed bed;
    bed.File("thumbnail.jpg", SolidJpeg(240, 180, 0x102030));
    bed.File("preview.jpg", SolidJpeg(240, 180, 0x102030));
    bed.File("odd.bmp", SolidBmp(6, 4, 1, 2, 3));
    const std::string all = bed.Run("all", true);
    EXPECT_EQ(all, ".Invalid size (6 x 4): " + bed.Full("odd.bmp") + kTab + "Asset has multiple thumbnails: " +
                       NativePath(bed.asset) + kTab + "Unreferenced files: " + kTab + "- odd.bmp" + kTab +
                       "- preview.jpg" + kTab + "- thumbnail.jpg");
    EXPECT_EQ(bed.Run("ALL", true), all);
    EXPECT_EQ(bed.Run("", true), all);
    EXPECT_EQ(bed.Run("uniform", true), "");
    // A word that is no mode runs nothing and says so, with the modes there are.
    const std::string modes = " (the modes are all, texture, size, alpha, uniform, missing, unreferenced, duplicate)";
    const std::string thumbnail = test::ReadBytes(bed.Full("thumbnail.jpg"));
    EXPECT_EQ(bed.Run("Sizes"), "Repair Textures: unknown mode Sizes" + modes);
    EXPECT_EQ(test::ReadBytes(bed.Full("thumbnail.jpg")), thumbnail) << "a uniform image the run would shrink";
    // The form with the fields named one by one runs the same check; without a config it does nothing.
    EXPECT_EQ(RepairTextures(TTextureRepairContext{bed.state, &bed.doc, bed.asset, false, true, {}}, "All"), all);
    EXPECT_EQ(RepairTextures(TTextureRepairContext{bed.state, nullptr, bed.asset, false, true, {}}, "All"), "");
}

// --- the uniform TGA rewrite

TEST(UniformTgaRewrite, GivesAnEightByEightPictureWithOneByteChanged) {
    struct Case {
        std::string pixel;
        int depth;
        char first;
    } cases[] = {
        {test::Bytes({0, 0, 255}), 24, 1},
        {test::Bytes({255, 9, 8, 7}), 32, static_cast<char>(254)},
        {test::Bytes({254, 1, 2}), 24, static_cast<char>(255)},
    };
    for (const Case& c : cases)
        for (int side : {256, 8}) {
            const auto out = RewriteUniformTga(SolidTga(side, side, c.pixel));
            ASSERT_TRUE(out);
            ASSERT_EQ(out->size(), 18 + 64 * c.pixel.size());
            EXPECT_EQ(TgaDepth(*out), c.depth);
            EXPECT_EQ((*out)[18], c.first);
            EXPECT_EQ(out->substr(19, c.pixel.size() - 1), c.pixel.substr(1));
            EXPECT_EQ(out->substr(18 + c.pixel.size()), [&] {
                std::string rest;
                for (int i = 1; i < 64; ++i) rest += c.pixel;
                return rest;
            }());
            const TgaFullResult r = DecodeTgaFull(AsBytes(*out));
            ASSERT_EQ(r.fault, TgaFault::None);
            EXPECT_EQ(r.image.Width, 8);
            EXPECT_EQ(r.image.Height, 8);
        }
}

TEST(UniformTgaRewrite, LeavesFilesWithoutAFittingHeaderAlone) {
    test::TgaFields mapped;
    mapped.type = 1;
    mapped.mapType = 1;
    mapped.depth = 8;
    mapped.mapLength = 1;
    mapped.entryBits = 24;
    mapped.map = kRed24;
    mapped.pixels = std::string(16, '\0');
    test::TgaFields withId;
    withId.idLength = 3;
    withId.pixels = std::string(18, 'x');
    const std::string cases[] = {
        SolidTga(4, 4, kRed24, 10),            // run-length
        test::MakeTga(mapped),                 // colour-mapped
        test::MakeTga(withId),                 // an image ID before the pixels
        SolidTga(4, 4, test::Bytes({1, 2})),   // 16-bit
        SolidTga(4, 4, kRed24).substr(0, 20),  // shorter than a header and a pixel
        "",
    };
    for (const std::string& bytes : cases) EXPECT_FALSE(RewriteUniformTga(bytes));
}

// --- the alpha mode's descriptor rewrite

TEST(DescriptorRewrite, ReplacesTheFirstNameInThePrimaryAndAlphaLinesOnly) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"Primary=Wood.bmp\r\nAlpha=wood_a.bmp\r\nTile=st\r\n", "Primary=wood.tga\r\nAlpha=wood.tga\r\nTile=st\r\n"},
        {"PRIMARY = sub\\WOOD.BMP\nalpha=wood_a.bmp", "PRIMARY = sub\\wood.tga\nalpha=wood.tga"},
        {"primary=wood.bmp;wood.bmp\r\nnote=wood.bmp\r\n", "primary=wood.tga;wood.bmp\r\nnote=wood.bmp\r\n"},
        {"Tile=st\r\n", "Tile=st\r\n"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(RewriteDescriptorNames(c.in, "wood.bmp", "wood_a.bmp", "wood.tga"), c.out);
}

// --- per mode

TEST(TextureRepairModes, TextureBecomesTgaAndDescriptorAndGoes) {
    RepairBed bed;
    bed.File("plain.texture", RgbaTexture(false));
    bed.File("sub/glass.texture", RgbaTexture(true));
    bed.File("sub/Glass.TGA", "an older picture");
    EXPECT_EQ(bed.Run("texture"), "");
    EXPECT_FALSE(bed.Has("plain.texture"));
    EXPECT_FALSE(bed.Has("sub/glass.texture"));
    EXPECT_EQ(TgaDepth(bed.Bytes("plain.tga")), 24);
    EXPECT_EQ(TgaType(bed.Bytes("plain.tga")), 2);
    // A file there in another case is the file written, and it was backed up first.
    EXPECT_FALSE(bed.Has("sub/glass.tga"));
    EXPECT_EQ(TgaDepth(bed.Bytes("sub/Glass.TGA")), 32);
    EXPECT_TRUE(StartsWith(bed.Bytes("plain.texture.txt"), "Primary=plain.tga\r\n"));
    EXPECT_TRUE(StartsWith(bed.Bytes("sub/glass.texture.txt"), "Primary=glass.tga\r\n"));
    int older = 0;
    for (const std::string& b : bed.Backups()) older += test::ReadBytes(b) == "an older picture";
    EXPECT_EQ(older, 1);
}

TEST(TextureRepairModes, TextureThatCannotBeLoadedIsReportedAndKept) {
    RepairBed bed;
    bed.File("bad.texture", "FT2Enonsense");
    EXPECT_EQ(bed.Run("texture"), ".Texture could not be loaded: " + bed.Full("bad.texture"));
    EXPECT_EQ(bed.Bytes("bad.texture"), "FT2Enonsense");
    EXPECT_FALSE(bed.Has("bad.tga"));
}

TEST(TextureRepairModes, SizeRewritesLowDepthAndRunLengthTgaUncompressed) {
    RepairBed bed;
    // 16-bit pixels with the attribute bit set on some: the alpha must survive.
    test::TgaFields sixteen;
    sixteen.depth = 16;
    sixteen.width = sixteen.height = 2;
    sixteen.descriptor = 1;
    sixteen.pixels = test::Bytes({0x1F, 0x80, 0x1F, 0x00, 0xE0, 0x83, 0xE0, 0x03});
    bed.File("sixteen.tga", test::MakeTga(sixteen));
    bed.File("rle24.tga", SolidTga(4, 4, kRed24, 10));
    bed.File("rle32.tga", SolidTga(4, 4, test::Bytes({1, 2, 3, 128}), 10));
    test::TgaFields mapped;
    mapped.type = 1;
    mapped.mapType = 1;
    mapped.depth = 8;
    mapped.width = mapped.height = 2;
    mapped.mapLength = 2;
    mapped.entryBits = 24;
    mapped.map = kRed24 + test::Bytes({0, 255, 0});
    mapped.pixels = test::Bytes({0, 1, 1, 0});
    bed.File("mapped.tga", test::MakeTga(mapped));
    const std::string plain = SolidTga(4, 4, kRed24);
    bed.File("plain.tga", plain);

    EXPECT_EQ(bed.Run("size"), "");
    struct Want {
        const char* name;
        int depth;
    } wants[] = {{"sixteen.tga", 32}, {"rle24.tga", 24}, {"rle32.tga", 32}, {"mapped.tga", 24}};
    for (const Want& w : wants) {
        const std::string bytes = bed.Bytes(w.name);
        EXPECT_EQ(TgaType(bytes), 2) << w.name;
        EXPECT_EQ(TgaDepth(bytes), w.depth) << w.name;
    }
    const TgaFullResult sixteenNow = DecodeTgaFull(AsBytes(bed.Bytes("sixteen.tga")));
    ASSERT_EQ(sixteenNow.fault, TgaFault::None);
    int transparent = 0;
    for (std::uint32_t p : sixteenNow.image.Pixels) transparent += AlphaOf(p) == 0;
    EXPECT_EQ(transparent, 2);
    EXPECT_EQ(bed.Bytes("plain.tga"), plain);  // nothing to do
    EXPECT_EQ(bed.Backups().size(), 4u);
}

TEST(TextureRepairModes, SizeReportsThumbnailsBadSizesAndDescriptorPairs) {
    RepairBed bed;
    bed.File("thumbnail.jpg", SolidJpeg(240, 180, 0x808080));
    bed.File("second.jpg", SolidJpeg(240, 180, 0x808080));
    bed.File("third.jpg", SolidJpeg(240, 180, 0x808080));
    bed.File("wide.bmp", SolidBmp(256, 16, 0, 0, 0));
    bed.File("ok.bmp", SolidBmp(64, 8, 0, 0, 0));
    bed.File("broken.tga", "not a picture");
    bed.File("pair/a.bmp", SolidBmp(8, 8, 0, 0, 0));
    bed.File("pair/b.bmp", SolidBmp(16, 8, 0, 0, 0));
    bed.File("pair/x.texture.txt", "Primary=a.bmp\r\nAlpha=b.bmp\r\n");
    bed.File("gone/y.texture.txt", "Primary=y.bmp\r\nAlpha=y_a.bmp\r\n");
    bed.File("gone/y.bmp", SolidBmp(8, 8, 0, 0, 0));
    EXPECT_EQ(bed.Run("size"), ".Alpha and primary images are not the same size: pair\\x.texture.txt" + kTab +
                                   "Invalid size (-1 x -1): " + bed.Full("broken.tga") + kTab +
                                   "Asset has multiple thumbnails: " + NativePath(bed.asset) + kTab +
                                   "Asset has multiple thumbnails: " + NativePath(bed.asset) + kTab +
                                   "Invalid size (256 x 16): " + bed.Full("wide.bmp") + kTab + "Missing Files:" +
                                   kTab + "- " + bed.Full("gone/y_a.bmp"));
}

TEST(TextureRepairModes, OnePixelJpegIsEnlargedOrReportedWhenTheDecoderRefusesIt) {
    RepairBed bed;
    bed.File("line.jpg", SolidJpeg(1, 8, 0x00FF00));
    // A header that says 1 x 4 over data the decoder refuses.
    std::string refused = SolidJpeg(1, 4, 0x00FF00);
    refused.resize(refused.size() / 2);
    bed.File("refused.jpg", refused);
    EXPECT_EQ(bed.Run("size"), ".Unable to process file: " + bed.Full("refused.jpg") + kTab +
                                   "Invalid size (1 x 4): " + bed.Full("refused.jpg"));
    EXPECT_EQ(bed.Bytes("refused.jpg"), refused);
    int width = 0, height = 0;
    ASSERT_TRUE(ReadJpegSize(AsBytes(bed.Bytes("line.jpg")), width, height));
    EXPECT_EQ(width, 8);
    EXPECT_EQ(height, 64);
}

TEST(TextureRepairModes, AlphaMergesAPairIntoOneTgaNamedTwice) {
    RepairBed bed;
    bed.File("Wood.bmp", SolidBmp(8, 8, 10, 20, 30));
    bed.File("wood_a.bmp", SolidBmp(8, 8, 255, 255, 255));
    bed.File("wood.texture.txt", "Primary=Wood.bmp\r\nAlpha=wood_a.bmp\r\nTile=st\r\n");
    bed.File("odd.bmp", SolidBmp(8, 8, 0, 0, 0));
    bed.File("odd_a.bmp", SolidBmp(16, 8, 0, 0, 0));
    bed.File("odd.texture.txt", "Primary=odd.bmp\r\nAlpha=odd_a.bmp\r\n");
    bed.File("lost.texture.txt", "Primary=lost.bmp\r\nAlpha=lost_a.bmp\r\n");
    bed.File("lost.bmp", SolidBmp(8, 8, 0, 0, 0));
    EXPECT_EQ(bed.Run("alpha"), ".Alpha and primary images are not the same size: odd.bmp, odd_a.bmp" + kTab +
                                    "Missing Files:" + kTab + "- " + bed.Full("lost_a.bmp"));
    EXPECT_EQ(bed.Bytes("wood.texture.txt"), "Primary=wood.tga\r\nAlpha=wood.tga\r\nTile=st\r\n");
    const TgaFullResult merged = DecodeTgaFull(AsBytes(bed.Bytes("wood.tga")));
    ASSERT_EQ(merged.fault, TgaFault::None);
    EXPECT_EQ(merged.bits, 32);
    EXPECT_EQ(merged.image.At(3, 3), 0xFF1E140Au);  // colour kept, alpha from the intensity of white
    EXPECT_EQ(bed.Bytes("lost.texture.txt"), "Primary=lost.bmp\r\nAlpha=lost_a.bmp\r\n");
    EXPECT_TRUE(bed.Has("Wood.bmp"));
}

TEST(TextureRepairModes, UniformShrinksTgaAndLeavesOthersByteIdentical) {
    RepairBed bed;
    bed.File("red.tga", SolidTga(256, 256, kRed24));
    bed.File("small.tga", SolidTga(8, 8, kRed24));
    const std::string rle = SolidTga(16, 16, kRed24, 10);
    const std::string sixteen = SolidTga(16, 16, test::Bytes({0x1F, 0x7C}));
    const std::string varied = [] {
        std::string s = SolidTga(16, 16, kRed24);
        s[30] = 1;
        return s;
    }();
    bed.File("rle.tga", rle);
    bed.File("sixteen.tga", sixteen);
    bed.File("varied.tga", varied);
    EXPECT_EQ(bed.Run("uniform"), "");
    for (const char* name : {"red.tga", "small.tga"}) {
        const std::string bytes = bed.Bytes(name);
        ASSERT_EQ(bytes.size(), 18u + 64 * 3) << name;
        EXPECT_EQ(bytes.substr(18, 3), test::Bytes({1, 0, 255})) << name;
        EXPECT_EQ(bytes.substr(21, 3), kRed24) << name;
    }
    EXPECT_EQ(bed.Bytes("rle.tga"), rle);
    EXPECT_EQ(bed.Bytes("sixteen.tga"), sixteen);
    EXPECT_EQ(bed.Bytes("varied.tga"), varied);
}

TEST(TextureRepairModes, UnreferencedSparesConfigNamesIgnoringCaseAndSeparator) {
    RepairBed bed;
    bed.Config("kind \"scenery\"\r\ntextures {\r\n  0 \"Wood.TGA\"\r\n  1 \"sub/wood.tga\"\r\n}\r\n");
    bed.File("wood.tga", SolidTga(8, 8, kRed24));
    bed.File("Sub/Wood.tga", SolidTga(8, 8, kRed24));
    bed.File("pair/p.bmp", SolidBmp(8, 8, 1, 2, 3));
    bed.File("pair/p.texture.txt", "Primary=P.BMP\r\n");
    bed.File("spare.jpg", SolidJpeg(8, 8, 0));
    bed.File("sub/spare.bmp", SolidBmp(8, 8, 1, 2, 3));
    bed.messages.answers = {Answer::No};
    const std::string report = ".Unreferenced files: " + kTab + "- spare.jpg" + kTab + "- sub\\spare.bmp";
    EXPECT_EQ(bed.Run("unreferenced"), report);
    ASSERT_EQ(bed.messages.messages.size(), 1u);
    EXPECT_EQ(bed.messages.messages[0], "Delete Unreferenced Files?\r\n- spare.jpg\r\n- sub\\spare.bmp");
    EXPECT_TRUE(bed.Has("spare.jpg"));
    EXPECT_TRUE(bed.Has("sub/spare.bmp"));

    // In a batch nobody is asked and nothing goes; with a script beside, the note shows.
    bed.File("script.gs", "");
    EXPECT_EQ(bed.Run("unreferenced", false, true), report + kTab + "Images may be referenced by script or html files");
    EXPECT_EQ(bed.messages.messages.size(), 1u);

    bed.messages.answers = {Answer::Yes};
    EXPECT_EQ(bed.Run("unreferenced"), report + kTab + "Images may be referenced by script or html files");
    EXPECT_FALSE(bed.Has("spare.jpg"));
    EXPECT_FALSE(bed.Has("sub/spare.bmp"));
    EXPECT_TRUE(bed.Has("wood.tga"));
    EXPECT_TRUE(bed.Has("Sub/Wood.tga"));
    EXPECT_TRUE(bed.Has("pair/p.bmp"));
    EXPECT_EQ(bed.Backups().size(), 2u);
}

TEST(TextureRepairModes, DuplicatePointsValuesAtDescriptorsAndUndoTakesItBack) {
    RepairBed bed;
    bed.Config("kind \"scenery\"\r\ntextures {\r\n  0 \"Sub/Wood.tga\"\r\n  1 \"plain.bmp\"\r\n}\r\n");
    bed.File("sub/wood.texture.txt", "Primary=wood.tga\r\n");
    bed.File("plain.texture.txt", "Primary=other.tga\r\n");
    bed.File("plain.bmp", SolidBmp(8, 8, 1, 2, 3));
    EXPECT_EQ(bed.Run("duplicate", true), "");
    EXPECT_FALSE(bed.doc.Modified());
    ASSERT_EQ(bed.doc.PushUndo(), "");
    EXPECT_EQ(bed.Run("duplicate"), "");
    EXPECT_TRUE(bed.doc.Modified());
    EXPECT_EQ(bed.doc.GetValueByPath("config.txt\\textures\\0"), "Sub/Wood.texture");
    EXPECT_EQ(bed.doc.GetValueByPath("config.txt\\textures\\1"), "plain.texture");
    EXPECT_NE(bed.doc.ConfigFileText().find("\"Sub/Wood.texture\""), std::string::npos);  // still quoted
    EXPECT_EQ(bed.Bytes("config.txt").find("texture\""), std::string::npos);  // nothing saved
    ASSERT_TRUE(bed.doc.UndoLastChange());
    EXPECT_EQ(bed.doc.GetValueByPath("config.txt\\textures\\0"), "Sub/Wood.tga");
}

TEST(TextureRepairModes, NamesLeadingOutOfTheAssetAreNeverActedOn) {
    RepairBed bed;
    test::WriteBytes(bed.dir / "outside/x.bmp", SolidBmp(8, 8, 1, 2, 3));
    test::WriteBytes(bed.dir / "outside/x_a.bmp", SolidBmp(8, 8, 9, 9, 9));
    bed.File("x.texture.txt", "Primary=../outside/x.bmp\r\nAlpha=../outside/x_a.bmp\r\n");
    bed.Config("kind \"scenery\"\r\nicon \"../outside/red.tga\"\r\n");
    const auto before = RepairBed::Snapshot(bed.dir / "outside");
    const std::string report = bed.Run("all");
    EXPECT_NE(report.find("Unable to process file: ../outside/x.tga"), std::string::npos) << report;
    EXPECT_EQ(RepairBed::Snapshot(bed.dir / "outside"), before);
    EXPECT_EQ(bed.Bytes("x.texture.txt"), "Primary=../outside/x.bmp\r\nAlpha=../outside/x_a.bmp\r\n");
}

// --- a file changed by two modes, and report-only runs

TEST(TextureRepairRun, FileChangedByTwoModesKeepsItsOriginalInOneBackup) {
    RepairBed bed;
    const std::string rle = SolidTga(16, 16, kRed24, 10);
    bed.Config("kind \"scenery\"\r\nicon \"red.tga\"\r\n");
    bed.File("red.tga", rle);
    bed.Run("all");
    EXPECT_EQ(bed.Bytes("red.tga").size(), 18u + 64 * 3);  // decompressed, then shrunk
    const auto backups = bed.Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(test::ReadBytes(backups[0]), rle);
}

TEST(TextureRepairRun, ReportOnlyGivesARealRunsReportAndChangesNothing) {
    RepairBed bed;
    bed.Config("kind \"scenery\"\r\nicon \"red.tga\"\r\nthumb \"gone.jpg\"\r\n");
    bed.File("red.tga", SolidTga(16, 16, kRed24, 10));
    bed.File("thumbnail.jpg", SolidJpeg(240, 180, 0x112233));
    bed.File("preview.jpg", SolidJpeg(240, 180, 0x112233));
    bed.File("odd.bmp", SolidBmp(6, 4, 1, 2, 3));
    bed.File("line.jpg", SolidJpeg(1, 300, 0x445566));
    bed.File("bad.bmp", "BM" + std::string(10, '\x01'));  // the image library's complaints stay out of it
    RepairBed twin;
    const auto before = RepairBed::Snapshot(bed.asset);
    for (const auto& [path, bytes] : before) test::WriteBytes(twin.asset + path.substr(bed.asset.size()), bytes);
    twin.Config("kind \"scenery\"\r\nicon \"red.tga\"\r\nthumb \"gone.jpg\"\r\n");

    const std::string found = bed.Run("all", true);
    EXPECT_EQ(RepairBed::Snapshot(bed.asset), before);
    EXPECT_TRUE(bed.Backups().empty());
    EXPECT_TRUE(bed.messages.messages.empty());
    EXPECT_NE(found.find("Invalid size (8 x 2400): " + bed.Full("line.jpg")), std::string::npos) << found;
    EXPECT_NE(found.find("Missing Files:" + kTab + "- " + bed.Full("gone.jpg")), std::string::npos) << found;
    EXPECT_NE(found.find("Invalid size (-1 x -1): " + bed.Full("bad.bmp")), std::string::npos) << found;

    twin.messages.answers = {Answer::No};
    EXPECT_EQ(ReplaceAll(twin.Run("all"), twin.asset, bed.asset), found);
    EXPECT_EQ(twin.messages.messages.size(), 1u);  // only the deletion question
    EXPECT_NE(twin.Bytes("red.tga"), bed.Bytes("red.tga"));  // the real run did change it

    // Conversions and merges are found, not made.
    bed.File("plain.texture", RgbaTexture(false));
    bed.File("w.bmp", SolidBmp(8, 8, 10, 20, 30));
    bed.File("w_a.bmp", SolidBmp(8, 8, 1, 1, 1));
    bed.File("w.texture.txt", "Primary=w.bmp\r\nAlpha=w_a.bmp\r\n");
    const auto more = RepairBed::Snapshot(bed.asset);
    bed.Run("all", true);
    EXPECT_EQ(RepairBed::Snapshot(bed.asset), more);
}

}  // namespace
}  // namespace kelvarn
