// Verify Meshes, Verify Textures and Verify Images on made-up asset folders: the lines each gives,
// the duplicate ".pm" question, script mode and the log.
#include <gtest/gtest.h>

#include <filesystem>

#include "ImageBuilders.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineVerifications.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::MeshFileBuilder;
using test::MeshMaterial;
using Lines = std::vector<std::string>;

struct FolderBed {
    test::TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;
    test::FakeClock clock;
    TOutlineDocument doc{state};
    std::string asset;

    FolderBed() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.Clock = &clock;
        asset = dir / "asset";
        std::filesystem::create_directories(asset);
    }
    ~FolderBed() { SetWriteFaultHook(nullptr); }

    void File(const std::string& name, std::string_view bytes) { test::WriteBytes(asset + "/" + name, bytes); }
    bool Has(const std::string& name) const { return FileExists(asset + "/" + name); }
    TAssetCheck Check(bool scriptMode = false) { return TAssetCheck{state, doc, asset, scriptMode}; }
    std::string Log() {
        std::string bytes;
        ReadFileBytes(LogFileName(state), bytes);
        return bytes;
    }
    std::size_t BackupCount() const {
        const std::filesystem::path backups = dir.Path() + "/program/backup";
        if (!std::filesystem::exists(backups)) return 0;
        std::size_t n = 0;
        for (const auto& e : std::filesystem::recursive_directory_iterator(backups)) n += e.is_regular_file();
        return n;
    }
};

std::string Mesh(std::vector<test::MeshTexture> textures) {
    MeshMaterial material;
    material.Textures = std::move(textures);
    return MeshFileBuilder().Info(102).Object(0, material, test::GridGeometry(1, 1)).Bytes();
}

std::string Tga(int width, int height) {
    test::TgaFields f;
    f.width = width;
    f.height = height;
    return test::MakeTga(f);
}

TEST(VerifyMeshes, HeaderFaultsAndTextureLinesPerMesh) {
    FolderBed bed;
    bed.File("a.im", Mesh({{1, "C:\\work\\paint.texture", 1}, {2, "odd.tga", 1}}));
    bed.File("b.im", "JI");                                               // after a mesh with problems:
    bed.File("c.im", MeshFileBuilder().Info(102).Bytes(+1));              // none of them carried over
    bed.File("sub/d.pm", Mesh({{1, "d.texture", 1}}));
    bed.File("sub/d.texture.txt", "Primary=d.tga\r\n");
    bed.File("e.imx", "not a mesh by its name");
    const TFolderReport report = VerifyMeshes(bed.Check());
    EXPECT_EQ(report.Lines, (Lines{"\tInvalid Texture: a.im: paint.texture: file not found",
                                   "\tInvalid Texture: a.im: odd.tga: unsupported material slot 2",
                                   "\tInvalid Texture: a.im: odd.tga: file not found",
                                   "\tInvalid Mesh: b.im: *** File is empty ***",
                                   "\tInvalid Mesh: c.im: Mesh file is corrupt"}));
    EXPECT_TRUE(bed.messages.messages.empty());  // no duplicates: nothing asked
    const std::string log = bed.Log();
    EXPECT_NE(log.find("Verify Meshes"), std::string::npos);
    EXPECT_NE(log.find("\tInvalid Mesh: c.im: Mesh file is corrupt\r\n"), std::string::npos) << log;
}

TEST(VerifyMeshes, DuplicatePmMeshesByAnswer) {
    const std::string sound = Mesh({});
    const struct {
        const char* what;
        bool scriptMode;
        Answer answer;
        bool backupFails;
        Lines expected;
        bool kept;
    } cases[] = {
        {"Yes", false, Answer::Yes, false, {"Duplicate PM meshes deleted from asset", "\tsub\\x.pm"}, false},
        {"No", false, Answer::No, false, {"Duplicate PM meshes found", "\tsub\\x.pm"}, true},
        {"Yes, but the backup fails", false, Answer::Yes, true, {"Duplicate PM meshes found", "\tsub\\x.pm"}, true},
        {"script mode", true, Answer::Yes, false, {"Duplicate PM meshes found", "\tsub\\x.pm"}, true},
    };
    for (const auto& c : cases) {
        FolderBed bed;
        bed.File("sub/x.im", sound);
        bed.File("sub/x.pm", sound);
        bed.File("y.pm", sound);  // no twin: not a duplicate
        bed.messages.answers.push_back(c.answer);
        if (c.backupFails)
            SetWriteFaultHook([](const std::string& path) {
                return path.find("/backup/") != std::string::npos ? std::size_t{0} : std::string::npos;
            });
        const TFolderReport report = VerifyMeshes(bed.Check(c.scriptMode));
        SetWriteFaultHook(nullptr);
        EXPECT_EQ(report.Lines, c.expected) << c.what;
        EXPECT_EQ(bed.Has("sub/x.pm"), c.kept) << c.what;
        EXPECT_EQ(bed.BackupCount(), c.kept ? 0u : 1u) << c.what;
        EXPECT_EQ(bed.messages.messages, c.scriptMode ? Lines{} : Lines{"Delete duplicate '.pm' meshes?"}) << c.what;
        if (c.scriptMode) {
            EXPECT_EQ(report.Message, "\r\n\t\tDuplicate PM meshes found\r\n\t\t\tsub\\x.pm") << c.what;
            EXPECT_EQ(bed.Log(), "") << c.what;
        }
    }
}

TEST(VerifyTextures, BinaryTexturesSlotsAndDescriptorImages) {
    FolderBed bed;
    bed.File("a.texture", "FT2E");
    bed.File("a.texture.txt", "Primary=a.tga\r\n");
    bed.File("sub/b.texture", "FT2E");
    bed.File("a.tga", Tga(64, 64));
    bed.File("car.im", Mesh({{1, "a.texture", 1}, {4, "chrome.tga", 1}}));
    bed.File("gone.texture.txt", "Primary=gone.tga\r\nAlpha=\r\n");
    bed.File("pair.texture.txt", "Primary=pair.tga\r\nAlpha=Pair_A.tga\r\n");
    bed.File("pair.tga", Tga(256, 256));
    bed.File("pair_a.tga", Tga(128, 128));
    bed.File("odd.texture.txt", "Primary=odd.tga\r\nAlpha=broken.bmp\r\n");
    bed.File("odd.tga", Tga(100, 64));
    bed.File("broken.bmp", "BM");
    const TFolderReport report = VerifyTextures(bed.Check());
    EXPECT_EQ(report.Lines, (Lines{"\t[a.texture]", "\t\tFile exists in binary and text formats",
                                   "\t[sub\\b.texture]", "\t\tFile exists as binary texture only",
                                   "\t[car.im] Unsupported material slot: 4 (chrome.tga)",
                                   "\t[gone.texture.txt]", "\t\tPrimary=gone.tga, image file is missing",
                                   "\t[odd.texture.txt]", "\t\tPrimary=odd.tga, texture size invalid (100 x 64)",
                                   "\t\tAlpha=broken.bmp, texture size invalid (0 x 0)",
                                   "\t\tAlpha and primary texture sizes differ",
                                   "\t[pair.texture.txt]", "\t\tAlpha and primary texture sizes differ"}));
}

TEST(VerifyImages, SizesTheSimulatorRefuses) {
    FolderBed bed;
    bed.File("thumb.jpg", test::MakeJpeg(240, 180));
    bed.File("tall.jpg", test::MakeJpeg(240, 181));
    bed.File("square.JPG", test::MakeJpeg(256, 256));
    bed.File("sub/strip.tga", Tga(1024, 64));
    bed.File("fine.bmp", test::MakeBmp({}));  // 4 x 2
    bed.File("bad.tga", "no header");
    bed.File("ignored.png", "");
    const TFolderReport report = VerifyImages(bed.Check());
    EXPECT_EQ(report.Lines, (Lines{"\tbad.tga: Image Size (0 x 0)", "\tsub\\strip.tga: Image Size (1024 x 64)",
                                   "\ttall.jpg: Image Size (240 x 181)"}));
}

TEST(FolderChecks, NothingFoundSaysSoInTheLogOrTheMessage) {
    FolderBed bed;
    bed.File("fine.tga", Tga(64, 32));
    for (auto check : {VerifyMeshes, VerifyTextures, VerifyImages}) {
        const TFolderReport logged = check(bed.Check(false));
        EXPECT_EQ(logged.Lines, Lines{"\tNo problems found"});
        EXPECT_EQ(logged.LogError, "");
        EXPECT_NE(bed.Log().find("\tNo problems found"), std::string::npos);
        EXPECT_EQ(check(bed.Check(true)).Message, "\r\n\t\t\tNo problems found");
    }
}

}  // namespace
}  // namespace kelvarn
