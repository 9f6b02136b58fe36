// The asset checks as the program wires them: rows 1704, 1705, 1706 and 1713 on the selected asset,
// each logging its block, with canned answers to the duplicate question.
#include "app/ProgramTestBed.h"
#include "catalogue/ui/AssetFrames.h"
#include "ImageBuilders.h"
#include "shell/Files.h"
#include "shell/ReportLog.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"
#include "support/MeshFileBuilder.h"

namespace kelvarn {
namespace {

bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct CheckRowsBed {
    test::ProgramTestBed bed;
    explicit CheckRowsBed(Answer answer) : bed(answer) {
        const std::string asset = bed.AssetRoot() + "/checks/";
        const std::string mesh = test::MeshFileBuilder().Info(102).Bytes();
        test::WriteBytes(asset + "config.txt", "kind \"scenery\"\r\nmesh-table\r\n{\r\n  default\r\n  {\r\n"
                                               "    mesh \"x.im\"\r\n  }\r\n}\r\nthumbnail \"thumb.jpg\"\r\n");
        test::WriteBytes(asset + "x.im", mesh);
        test::WriteBytes(asset + "x.pm", mesh);
        test::WriteBytes(asset + "broken.im", "JIRF\x10");
        test::WriteBytes(asset + "thumb.jpg", test::MakeJpeg(240, 181));
        test::WriteBytes(asset + "lone.texture", "FT2E");
        bed.Start("DailyLog=1\r\n");
        auto& catalogue = bed.windows->Assets().Catalogue();
        for (int i = 0; i < catalogue.Count(); ++i)
            if (ContainsText(catalogue.Entry(i).folder, "checks")) catalogue.SelectAsset(i);
        QApplication::processEvents();
    }
    std::string Run(int row) {
        bed.Main().Dispatcher().ReceiveCommand(row, "Diagnostics");
        std::string log;
        ReadFileBytes(LogFileName(bed.state), log);
        return log;
    }
    std::string Asset(const std::string& name) const { return bed.AssetRoot() + "/checks/" + name; }
};

TEST(CheckRows, EachRowLogsItsBlockForTheSelectedAsset) {
    CheckRowsBed rows(Answer::No);
    ASSERT_TRUE(Holds(rows.bed.state.AssetPath(), "checks"));

    const std::string files = rows.Run(1706);
    EXPECT_TRUE(Holds(files, "Verify Files (Build ")) << files;
    EXPECT_FALSE(Holds(files, "\tMissing Files"));  // the mesh and the thumbnail are there
    EXPECT_TRUE(Holds(files, "*This asset contains compressed texture files")) << files;
    EXPECT_TRUE(Holds(files, "\tUnreferenced Files (3)\r\n\t\tbroken.im\r\n\t\tlone.texture\r\n\t\tx.pm\r\n")) << files;

    const std::string meshes = rows.Run(1704);
    EXPECT_TRUE(Holds(meshes, "Verify Meshes")) << meshes;
    EXPECT_TRUE(Holds(meshes, "Duplicate PM meshes found\r\n\tx.pm\r\n")) << meshes;
    EXPECT_TRUE(Holds(meshes, "\tInvalid Mesh: broken.im: Mesh file is corrupt\r\n")) << meshes;
    EXPECT_TRUE(FileExists(rows.Asset("x.pm"))) << "answered No";
    EXPECT_EQ(rows.bed.messages.texts, std::vector<std::string>{"Delete duplicate '.pm' meshes?"});

    const std::string textures = rows.Run(1713);
    EXPECT_TRUE(Holds(textures, "Verify Textures")) << textures;
    EXPECT_TRUE(Holds(textures, "\t[lone.texture]\r\n\t\tFile exists as binary texture only\r\n")) << textures;

    const std::string images = rows.Run(1705);
    EXPECT_TRUE(Holds(images, "Verify Images")) << images;
    EXPECT_TRUE(Holds(images, "\tthumb.jpg: Image Size (240 x 181)\r\n")) << images;
}

TEST(CheckRows, ShowingACorruptMeshAlertsInTheFileList) {
    CheckRowsBed rows(Answer::No);
    TMain& main = rows.bed.Main();
    main.Bus().SendCommand(ccShowFile, rows.Asset("broken.im"));
    EXPECT_EQ(main.Frame(TFrameId::FileList)->Alert()->Text(), "Mesh file is corrupt");
    EXPECT_NE(main.ActiveViewer(), TFrameId::Mesh);
}

TEST(CheckRows, YesDeletesTheDuplicateAfterItsBackup) {
    CheckRowsBed rows(Answer::Yes);
    const std::string original = test::ReadBytes(rows.Asset("x.pm"));
    const std::string meshes = rows.Run(1704);
    EXPECT_TRUE(Holds(meshes, "Duplicate PM meshes deleted from asset\r\n\tx.pm\r\n")) << meshes;
    EXPECT_FALSE(FileExists(rows.Asset("x.pm")));
    bool backedUp = false;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(rows.bed.dir / "program"))
        if (entry.is_regular_file() && EndsWithText(entry.path().string(), "x.pm"))
            backedUp = test::ReadBytes(entry.path().string()) == original;
    EXPECT_TRUE(backedUp);
}

}  // namespace
}  // namespace kelvarn
