// The texture repair's modes that resample, make stock images or skip pair halves, the failures that
// must leave every original as it was, and runs on copies of real assets.
#include <gtest/gtest.h>

#include <algorithm>

#include "TextureRepairTestBed.h"
#include "media/BmpCodec.h"
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

std::uint32_t BmpPixel(const std::string& bytes, int x, int y) {
    const BmpResult r = DecodeBmp(AsBytes(bytes));
    EXPECT_EQ(r.fault, BmpFault::None);
    return r.fault == BmpFault::None ? RawToImage32(r.image).At(x, y) : 0;
}

TEST(TextureRepairResampling, OnePixelImagesAreEnlargedEightfold) {
    RepairBed bed;
    bed.File("dot.bmp", SolidBmp(1, 1, 9, 8, 7));
    bed.File("bar.tga", SolidTga(1, 64, kRed24));
    EXPECT_EQ(bed.Run("size"), ".Invalid size (8 x 512): " + bed.Full("bar.tga"));
    const BmpResult dot = DecodeBmp(AsBytes(bed.Bytes("dot.bmp")));
    ASSERT_EQ(dot.fault, BmpFault::None);
    EXPECT_EQ(dot.image.Width, 8);
    EXPECT_EQ(dot.image.Height, 8);
    const TgaFullResult bar = DecodeTgaFull(AsBytes(bed.Bytes("bar.tga")));
    ASSERT_EQ(bar.fault, TgaFault::None);
    EXPECT_EQ(bar.image.Width, 8);
    EXPECT_EQ(bar.image.Height, 512);
}

TEST(TextureRepairResampling, OnlyTheFirstOfTwoOnePixelImagesFailsAndIsNamed) {
    RepairBed bed;
    bed.File("a.bmp", SolidBmp(1, 1, 1, 2, 3));
    bed.File("b.bmp", SolidBmp(1, 1, 1, 2, 3));
    SetWriteFaultHook([](const std::string& p) {
        return EndsWith(p, "/asset/a.bmp") ? std::size_t{0} : std::string::npos;
    });
    EXPECT_EQ(bed.Run("size"), ".Unable to process file: " + bed.Full("a.bmp") + kTab + "Invalid size (1 x 1): " +
                                   bed.Full("a.bmp"));
    EXPECT_EQ(bed.Bytes("a.bmp"), SolidBmp(1, 1, 1, 2, 3));
}

TEST(TextureRepairResampling, OnePixelTextureBecomesEightByEight) {
    RepairBed bed;
    test::Ft2eFields f;
    f.format = "abgr";
    f.width = f.height = 1;
    f.levels = {test::Bytes({1, 2, 3, 255})};
    bed.File("dot.texture", test::MakeFt2e(f));
    EXPECT_EQ(bed.Run("texture"), "");
    const TgaFullResult r = DecodeTgaFull(AsBytes(bed.Bytes("dot.tga")));
    ASSERT_EQ(r.fault, TgaFault::None);
    EXPECT_EQ(r.image.Width, 8);
    EXPECT_EQ(r.image.Height, 8);
}

TEST(TextureRepairResampling, UniformBmpAndJpegShrinkWithTheirGreenChanged) {
    RepairBed bed;
    bed.File("green.bmp", SolidBmp(64, 64, 0, 255, 0));
    bed.File("dark.jpg", SolidJpeg(64, 64, 0x800000));
    EXPECT_EQ(bed.Run("uniform"), "");
    EXPECT_EQ(BmpPixel(bed.Bytes("green.bmp"), 0, 0), 0xFF00FE00u);
    EXPECT_EQ(BmpPixel(bed.Bytes("green.bmp"), 1, 0), 0xFF00FF00u);
    Image32 jpeg;
    ASSERT_TRUE(DecodeJpegWithLibrary(AsBytes(bed.Bytes("dark.jpg")), jpeg));
    EXPECT_EQ(jpeg.Width, 8);
    EXPECT_EQ((jpeg.At(0, 0) >> 8) & 0xFF, 0u);
}

TEST(TextureRepairResampling, UniformSparesHalvesOfADescriptorPair) {
    RepairBed bed;
    const std::string primary = SolidTga(64, 64, kRed24), alpha = SolidTga(64, 64, test::Bytes({255, 255, 255}));
    bed.File("pair/p.tga", primary);
    bed.File("pair/P_a.tga", alpha);
    bed.File("pair/p.texture.txt", "Primary=p.tga\r\nAlpha=p_a.tga\r\n");
    bed.File("alone.tga", primary);
    EXPECT_EQ(bed.Run("uniform"), "");
    EXPECT_EQ(bed.Bytes("pair/p.tga"), primary);
    EXPECT_EQ(bed.Bytes("pair/P_a.tga"), alpha);
    EXPECT_NE(bed.Bytes("alone.tga"), primary);
}

TEST(TextureRepairResampling, MissingMakesOnlyStockImages) {
    RepairBed bed;
    bed.Config("kind \"scenery\"\r\na \"red.tga\"\r\nb \"sub/Blue.tga\"\r\nc \"own.tga\"\r\nd \"white.bmp\"\r\n");
    bed.File("sub/keep.txt", "");
    bed.File("d.texture.txt", "Primary=yellow.tga\r\nAlpha=gone.tga\r\n");
    EXPECT_EQ(bed.Run("missing"), ".Missing Files:" + kTab + "- " + bed.Full("gone.tga") + kTab + "- " +
                                      bed.Full("own.tga") + kTab + "- " + bed.Full("white.bmp"));
    for (const char* made : {"red.tga", "sub/Blue.tga", "yellow.tga"}) {
        const TgaFullResult r = DecodeTgaFull(AsBytes(bed.Bytes(made)));
        EXPECT_EQ(r.fault, TgaFault::None) << made;
        EXPECT_EQ(r.image.Width, 8) << made;
    }
    EXPECT_FALSE(bed.Has("own.tga"));
    EXPECT_FALSE(bed.Has("white.bmp"));
}

// --- a failed repair leaves the original

struct FaultCase {
    const char* what;
    const char* mode;
    std::vector<std::pair<std::string, std::string>> files;  // the asset before the run
    std::string config;                                     // empty: none naming images
    const char* faulty;   // the written path ending in this fails ("backup" for the backup copies)
    const char* named;    // a report line holds this
};

std::vector<FaultCase> FaultCases() {
    const std::string red = SolidTga(64, 64, kRed24);
    test::Ft2eFields tex;
    tex.levels = {test::Dxt1Block(0xF800, 0x001F, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3})};
    test::TgaFields sixteen;
    sixteen.depth = 16;
    sixteen.width = sixteen.height = 2;
    sixteen.pixels = std::string(8, '\x11');
    const std::pair<std::string, std::string> pair[] = {
        {"wood.bmp", SolidBmp(8, 8, 10, 20, 30)},
        {"wood_a.bmp", SolidBmp(8, 8, 1, 1, 1)},
        {"wood.texture.txt", "Primary=wood.bmp\r\nAlpha=wood_a.bmp\r\n"}};
    return {
        {"conversion", "texture", {{"t.texture", test::MakeFt2e(tex)}}, "", "t.tga", "t.texture"},
        {"conversion backup", "texture", {{"t.texture", test::MakeFt2e(tex)}, {"t.tga", "older"}}, "", "backup", "t.tga"},
        {"depth", "size", {{"s.tga", test::MakeTga(sixteen)}}, "", "s.tga", "s.tga"},
        {"decompression", "size", {{"r.tga", SolidTga(4, 4, kRed24, 10)}}, "", "r.tga", "r.tga"},
        {"enlargement backup", "size", {{"dot.bmp", SolidBmp(1, 1, 1, 2, 3)}}, "", "backup", "dot.bmp"},
        {"merge", "alpha", {pair[0], pair[1], pair[2]}, "", "wood.tga", "wood.tga"},
        {"merge descriptor", "alpha", {pair[0], pair[1], pair[2]}, "", "wood.texture.txt", "wood.texture.txt"},
        {"uniform", "uniform", {{"red.tga", red}, {"red.bak", "a user's own"}}, "", "red.tga", "red.tga"},
        {"uniform backup", "uniform", {{"red.tga", red}}, "", "backup", "red.tga"},
        {"stock image", "missing", {}, "kind \"scenery\"\r\nicon \"black.tga\"\r\n", "black.tga", "black.tga"},
        {"deletion", "unreferenced", {{"spare.jpg", SolidJpeg(8, 8, 0)}}, "", "backup", "spare.jpg"},
    };
}

TEST(TextureRepairFaults, FailedWriteOrBackupLeavesEveryOriginalAndNamesTheFile) {
    for (const FaultCase& c : FaultCases()) {
        SCOPED_TRACE(c.what);
        RepairBed bed;
        if (!c.config.empty()) bed.Config(c.config);
        for (const auto& [name, bytes] : c.files) bed.File(name, bytes);
        const auto before = RepairBed::Snapshot(bed.asset);
        const std::string faulty = c.faulty;
        SetWriteFaultHook([faulty](const std::string& p) {
            const bool backup = ContainsText(p, "/backup/");
            const bool hit = faulty == "backup" ? backup : !backup && EndsWith(p, faulty);
            return hit ? std::size_t{0} : std::string::npos;
        });
        bed.messages.answers = {Answer::Yes};
        const std::string report = bed.Run(c.mode);
        SetWriteFaultHook(nullptr);
        EXPECT_NE(report.find(c.named), std::string::npos) << report;
        for (const auto& [path, bytes] : before) EXPECT_EQ(test::ReadBytes(path), bytes) << path;
    }
}

// --- real assets

TEST(TextureRepairCorpus, ReportOnlyReadsRealAssetsAndChangesNothing) {
    const std::string corpus = std::string(KELVARN_SOURCE_DIR) + "/../shared/corpus";
    for (const char* name : {"jos-scanner", "basemap-maker/Assets", "schedule-commands/PermitManagerRule"}) {
        SCOPED_TRACE(name);
        RepairBed bed;
        ASSERT_EQ(CopyFolder(corpus + "/" + name, bed.dir / "real", FolderLinks::Keep), "");
        bed.asset = bed.dir / "real";
        const auto before = RepairBed::Snapshot(bed.asset);
        ASSERT_FALSE(before.empty());
        const std::string report = bed.Run("all", true);
        EXPECT_EQ(RepairBed::Snapshot(bed.asset), before);
        EXPECT_TRUE(bed.messages.messages.empty());
        if (std::string(name) == "basemap-maker/Assets") {
            EXPECT_NE(report.find("Missing Files:" + kTab + "- " + bed.Full("basemap.jpg")), std::string::npos) << report;
        }
        if (std::string(name) == "jos-scanner") {
            EXPECT_EQ(report.find("Missing Files:"), std::string::npos) << report;
        }
    }
}

TEST(TextureRepairCorpus, RealRunOnACopyKeepsEveryFileItDoesNotRepair) {
    const std::string corpus = std::string(KELVARN_SOURCE_DIR) + "/../shared/corpus";
    RepairBed bed;
    ASSERT_EQ(CopyFolder(corpus + "/jos-scanner", bed.dir / "real", FolderLinks::Keep), "");
    bed.asset = bed.dir / "real";
    const auto before = RepairBed::Snapshot(bed.asset);
    bed.messages.answers = {Answer::No};
    bed.Run("all");
    const auto after = RepairBed::Snapshot(bed.asset);
    // Every file is still there; whatever changed has its original in the backups.
    std::vector<std::string> backups;
    for (const std::string& b : bed.Backups()) backups.push_back(test::ReadBytes(b));
    for (const auto& [path, bytes] : before) {
        ASSERT_TRUE(after.count(path)) << path;
        if (after.at(path) != bytes) {
            EXPECT_NE(std::find(backups.begin(), backups.end(), bytes), backups.end()) << path;
        }
    }
}

}  // namespace
}  // namespace kelvarn
