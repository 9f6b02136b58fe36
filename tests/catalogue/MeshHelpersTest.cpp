#include <gtest/gtest.h>

#include <filesystem>

#include "AssetToolsTestSupport.h"
#include "catalogue/MeshHelpers.h"
#include "shell/Files.h"
#include "shell/SettingsKeys.h"
#include "support/MeshFileBuilder.h"

namespace kelvarn {
namespace {

using test::TempDir;
using test::WriteBytes;
using Lines = std::vector<std::string>;

struct MeshBed {
    TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;
    test::FakeTrash trash;
    MeshBed() {
        state.Messages = &messages;
        state.Trash = &trash;
    }
    std::string Put(const std::string& name, std::string_view bytes = "x") {
        WriteBytes(dir / name, bytes);
        return dir / name;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
    Lines Duplicates() {
        Lines list{"stale"};
        const int count = ListDuplicatePm(dir.Path(), list);
        EXPECT_EQ(count, int(list.size()));
        Lines names;
        for (const std::string& p : list) names.push_back(std::filesystem::path(p).lexically_relative(dir.Path()).generic_string());
        return names;
    }
};

TEST(DuplicatePm, OnlyTwinsInOneFolderWithRealMeshEndings) {
    struct Case {
        const char* what;
        Lines files;
        Lines duplicates;
    };
    const std::vector<Case> cases = {
        {"empty folder", {}, {}},
        {"twins in different folders", {"a/x.pm", "b/x.im"}, {}},
        {"case differs", {"X.PM", "x.im"}, {"X.PM"}},
        {"only .pm files", {"x.pm", "y.pm"}, {}},
        {"one more character is no mesh", {"x.pmx", "x.pm~", "x.im", "y.pm", "y.imx"}, {}},
        {"sub-folders and sorted", {"sub/z.pm", "sub/z.im", "b.pm", "b.im", "A.pm", "a.im", "c.pm"},
         {"A.pm", "b.pm", "sub/z.pm"}},
    };
    for (const Case& c : cases) {
        MeshBed bed;
        for (const std::string& f : c.files) bed.Put(f);
        EXPECT_EQ(bed.Duplicates(), c.duplicates) << c.what;
    }
}

TEST(DuplicatePm, FoldersNamedLikeMeshesAreNotFiles) {
    MeshBed bed;
    std::filesystem::create_directories(bed.dir / "x.im");
    bed.Put("x.pm");
    std::filesystem::create_directories(bed.dir / "y.pm");
    bed.Put("y.im");
    EXPECT_EQ(bed.Duplicates(), Lines{});
}

TEST(DuplicatePm, DeletionByModeAndAnswer) {
    struct Case {
        const char* what;
        bool autoDelete;
        bool scriptMode;
        std::deque<Answer> answers;
        std::string message;
        bool removed;
        int questions;
    };
    const std::vector<Case> cases = {
        {"setting deletes without asking", true, false, {}, "2pm mesh file(s) deleted", true, 0},
        {"setting wins over script mode", true, true, {}, "2pm mesh file(s) deleted", true, 0},
        {"script mode lists the names", false, true, {}, "x.pm\r\n\t\ty.pm", false, 0},
        {"the user says Yes", false, false, {Answer::Yes}, "2pm mesh file(s) deleted", true, 1},
        {"the user says No", false, false, {Answer::No}, "", false, 1},
    };
    for (const Case& c : cases) {
        MeshBed bed;
        for (const char* f : {"x.pm", "x.im", "y.pm", "y.im"}) bed.Put(f);
        WriteSettingBool(bed.state.Settings(), keys::AutoDeletePM, c.autoDelete);
        bed.messages.answers = c.answers;
        EXPECT_EQ(DeleteDuplicatePm(bed.state, bed.dir.Path(), c.scriptMode), c.message) << c.what;
        EXPECT_EQ(bed.Exists("x.pm"), !c.removed) << c.what;
        EXPECT_EQ(bed.Exists("y.pm"), !c.removed) << c.what;
        EXPECT_TRUE(bed.Exists("x.im") && bed.Exists("y.im")) << c.what;
        EXPECT_EQ(int(bed.messages.messages.size()), c.questions) << c.what;
        if (c.questions) {
            EXPECT_EQ(bed.messages.messages[0], "Duplicate *.pm meshes found\rDelete these files?");
        }
    }
}

TEST(DuplicatePm, CountsOnlyRealDeletionsAndNamesFailures) {
    MeshBed bed;
    for (const char* f : {"x.pm", "x.im", "y.pm", "y.im"}) bed.Put(f);
    bed.trash.refuse = bed.dir / "x.pm";
    WriteSettingBool(bed.state.Settings(), keys::AutoDeletePM, true);
    EXPECT_EQ(DeleteDuplicatePm(bed.state, bed.dir.Path(), false), "1pm mesh file(s) deleted\r\n\t\tNot deleted: x.pm");
    EXPECT_TRUE(bed.Exists("x.pm"));
    EXPECT_FALSE(bed.Exists("y.pm"));
}

TEST(DuplicatePm, NoDuplicatesAsksNothing) {
    MeshBed bed;
    bed.Put("x.pm");
    bed.Put("y.im");
    EXPECT_EQ(DeleteDuplicatePm(bed.state, bed.dir.Path(), false), "");
    EXPECT_TRUE(bed.messages.messages.empty());
}

// --- the points of one mesh and of the mesh-table ---

using test::MeshFileBuilder;
using test::MeshPoint;
using test::ToolsBed;

std::string TwoPointChunks() {
    return MeshFileBuilder()
        .Info()
        .Attachments({{"a.door:cull", test::kIdentity3, {1, 2, 3}}, {"body/b.light"}})
        .Attachments({{"later"}})
        .Bytes();
}

TEST(MeshPoints, EveryPointChunkInFileOrder) {
    ToolsBed bed;
    const std::string mesh = bed.Put("body.im", TwoPointChunks());
    Lines list{"stale"};
    EXPECT_EQ(ListMeshPoints(mesh, list), "");
    EXPECT_EQ(list, (Lines{"\"a.door:cull\",1.000,2.000,3.000,0.0,0.0,0.0", "\"body/b.light\",0.000,0.000,0.000,0.0,0.0,0.0",
                           "\"later\",0.000,0.000,0.000,0.0,0.0,0.0"}));
}

TEST(MeshPoints, LodFilesMissingFilesAndInvalidMeshes) {
    ToolsBed bed;
    bed.Put("lod/body_0.im", MeshFileBuilder().Info().Attachments({{"p"}}).Bytes());
    bed.Put("lod/car.lm.txt", "version 1.0\r\nmesh(\"10\") {\r\n  NAME=\"body_0.im\";\r\n}\r\nmesh(\"30\") {\r\n  name=\"body_1.im\";\r\n}\r\n");
    bed.Put("bad.im", "JIRF");
    Lines list;
    EXPECT_EQ(ListMeshPoints(bed.asset + "\\lod\\car.lm", list), "");
    EXPECT_EQ(list, (Lines{"\"p\",0.000,0.000,0.000,0.0,0.0,0.0"}));
    EXPECT_EQ(ListMeshPoints(bed.asset + "\\none.lm", list), "File not found: " + bed.asset + "\\none.lm.txt");
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(ListMeshPoints(bed.asset + "\\none.im", list), "File not found: " + bed.asset + "\\none.im");
    EXPECT_NE(ListMeshPoints(bed.asset + "\\bad.im", list), "");
}

const char* kMeshTable =
    "kind \"scenery\"\r\nmesh-table\r\n{\r\n"
    "  default\r\n  {\r\n    mesh \"body.im\"\r\n  }\r\n"
    "  lod\r\n  {\r\n    mesh \"lod\\car.lm\"\r\n  }\r\n"
    "  folder\r\n  {\r\n    mesh \"folder.im\"\r\n  }\r\n"
    "  broken\r\n  {\r\n    mesh \"Broken.im\"\r\n  }\r\n"
    "  missing\r\n  {\r\n    mesh \"missing.im\"\r\n  }\r\n"
    "  again\r\n  {\r\n    mesh \"BODY.im\"\r\n  }\r\n"
    "}\r\n";

TEST(MeshTable, PointsOfEveryMeshAndLodLevelOnceEach) {
    ToolsBed bed;
    bed.Load(kMeshTable);
    bed.Put("body.im", TwoPointChunks());
    bed.Put("lod/car_0.im", MeshFileBuilder().Info().Attachments({{"Front:CULL"}}).Bytes());
    bed.Put("lod/car_1.im", MeshFileBuilder().Info().Attachments({{"rear"}}).Bytes());
    bed.Put("lod/car.lm.txt", "mesh(\"10\") {\r\n  Name=\"car_0.im\";\r\n}\r\nmesh(\"20\") {\r\n  name=\"\";\r\n}\r\n"
                              "mesh(\"30\") {\r\n  NAME=\"car_1.im\";\r\n}\r\nmesh(\"40\") {\r\n  name=\"gone.im\";\r\n}\r\n");
    std::filesystem::create_directories(bed.asset + "/folder.im");
    bed.Put("broken.im", MeshFileBuilder().Info().Bytes(+1));

    Lines files;
    CollectMeshTableFiles(bed.doc, bed.asset, files);
    EXPECT_EQ(files, (Lines{bed.asset + "\\body.im", bed.asset + "\\lod\\car_0.im", bed.asset + "\\lod\\car_1.im",
                            bed.asset + "\\Broken.im", bed.asset + "\\BODY.im"}));

    bed.state.AttachmentPoints = {"kept=x.im"};
    const Lines refused = ListMeshTable(bed.state, bed.doc, bed.asset);
    EXPECT_EQ(bed.state.AttachmentPoints,
              (Lines{"a.door=body.im", "b.light=body.im", "front=lod/car_0.im", "kept=x.im", "rear=lod/car_1.im"}));
    EXPECT_EQ(refused, Lines{});  // a damaged header is left to the mesh checks
}

TEST(MeshTable, AReadableHeaderWithAnotherFormIsRefused) {
    ToolsBed bed;
    bed.Load("kind \"scenery\"\r\nmesh-table\r\n{\r\n  default\r\n  {\r\n    mesh \"x.im\"\r\n  }\r\n}\r\n");
    bed.Put("x.im", MeshFileBuilder().Attachments({{"p"}}).Bytes(0, "JIRF", "ABCD"));
    const Lines refused = ListMeshTable(bed.state, bed.doc, bed.asset);
    EXPECT_TRUE(bed.state.AttachmentPoints.empty());
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].find("is not a valid mesh"), std::string::npos);
}

TEST(MeshTable, RealAssetWithoutPointChunks) {
    ToolsBed bed;
    ASSERT_EQ(CopyFolder(KELVARN_SOURCE_DIR "/../shared/corpus/jos-scanner", bed.asset, FolderLinks::Keep), "");
    ASSERT_EQ(bed.doc.LoadConfig(bed.asset), "");
    Lines files;
    CollectMeshTableFiles(bed.doc, bed.asset, files);
    EXPECT_EQ(files.size(), 2u);  // both meshes are read
    EXPECT_TRUE(ListMeshTable(bed.state, bed.doc, bed.asset).empty());
    EXPECT_TRUE(bed.state.AttachmentPoints.empty());
}

}  // namespace
}  // namespace kelvarn
