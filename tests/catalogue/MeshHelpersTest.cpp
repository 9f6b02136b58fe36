#include <gtest/gtest.h>

#include <filesystem>

#include "AssetTestSupport.h"
#include "catalogue/MeshHelpers.h"
#include "shell/SettingsKeys.h"

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
        if (c.questions) EXPECT_EQ(bed.messages.messages[0], "Duplicate *.pm meshes found\rDelete these files?");
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

}  // namespace
}  // namespace kelvarn
