#include <gtest/gtest.h>

#include "AssetToolsTestSupport.h"
#include "catalogue/AssetHelpers.h"
#include "shell/Files.h"

namespace kelvarn {
namespace {

using test::ToolsBed;
using Lines = std::vector<std::string>;

const char* kCorpus = KELVARN_SOURCE_DIR "/../shared/corpus";

TEST(ErrorMarks, ClearingKeepsTagsAndComments) {
    ToolsBed bed;
    bed.Load("kind \"scenery\"\r\nkuid <kuid:1:2>\r\nmesh-table\r\n{\r\n  default\r\n  {\r\n    mesh \"a.im\"\r\n  }\r\n}\r\n");
    TOutlineNode* kind = bed.doc.FindNodeByPath("kind");
    TOutlineNode* mesh = bed.doc.FindNodeByPath("mesh-table\\default\\mesh");
    bed.doc.SetNodeFlags(kind, nfError | nfTagged, 0);
    bed.doc.SetNodeFlags(mesh, nfDelete | nfComment, 0);
    ClearErrorMarks(bed.doc);
    EXPECT_EQ(kind->Flags(), int(nfTagged));
    EXPECT_EQ(mesh->Flags(), int(nfComment));
    EXPECT_EQ(bed.doc.DeleteCount(), 0);
}

TEST(Dependencies, KuidReferencesInRowOrderAndTheListIsReplacedPerRequest) {
    ToolsBed bed;
    bed.Load("kuid <kuid:1:2>\r\nkind \"scenery\"\r\nobsolete-table\r\n{\r\n  0 <kuid:1:1>\r\n}\r\n"
             "kuid-table\r\n{\r\n  0 <KUID2:9:8:7>\r\n  1 \"<kuid:5:6>\"\r\n  2 <kuid:9:8:7>\r\n}\r\n"
             "asset <kuid:3:3>\r\n-ifasset <kuid:4:4>\r\ndescription \"see (KUID2:1:2:3)\"\r\n"
             "description-de \"wie <kuid:7:7>\"\r\nstring-table\r\n{\r\n  hint \"use <kuid:8:8> here\"\r\n}\r\n"
             "list \"<kuid:10:1>, <kuid2:10:2:1>\"\r\n");
    Lines list{"earlier"};
    ListDependencies(bed.doc, list);
    // Texts that mention a KUID are no references; a list of KUIDs is.
    EXPECT_EQ(list, (Lines{"earlier", "<kuid2:9:8:7>", "<kuid:5:6>", "<kuid:9:8:7>", "<kuid:10:1>, <kuid2:10:2:1>"}));

    // Asked twice for the same asset, the shared list holds one set; an earlier asset's KUIDs go.
    bed.state.DependencyKuids = {"<kuid:77:77>"};
    RefreshDependencyKuids(bed.state, bed.doc);
    RefreshDependencyKuids(bed.state, bed.doc);
    EXPECT_EQ(bed.state.DependencyKuids, (Lines{"<kuid2:9:8:7>", "<kuid:5:6>", "<kuid:9:8:7>", "<kuid:10:1>, <kuid2:10:2:1>"}));
}

TEST(Dependencies, RealAssetsWithCapitalKuids) {
    struct Case {
        const char* asset;
        Lines kuids;
    };
    const std::vector<Case> cases = {
        {"NamedScheduleLabelJumpCommand", {"<kuid:520252:100131>", "<kuid:520252:100132>"}},
        {"ConditionalScheduleTrueLibrary", {"<kuid:520252:100161>"}},
        {"DisableRepeatCommand", {}},
    };
    for (const Case& c : cases) {
        ToolsBed bed;
        const std::string source = std::string(kCorpus) + "/schedule-commands/" + c.asset;
        ASSERT_EQ(CopyFolder(source, bed.asset, FolderLinks::Keep), "") << c.asset;
        ASSERT_EQ(bed.doc.LoadConfig(bed.asset), "") << c.asset;
        ASSERT_GT(bed.doc.LineCount(), 3u) << c.asset;
        Lines list;
        ListDependencies(bed.doc, list);
        EXPECT_EQ(list, c.kuids) << c.asset;
    }
}

TEST(Thumbnails, OnlyASingle240By180JpegIsTheThumbnail) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::pair<int, int>>> jpegs;
        std::string found;
    };
    const std::vector<Case> cases = {
        {"one", {{"art/thumb.jpg", {240, 180}}, {"big.jpg", {512, 512}}}, "art/thumb.jpg"},
        {"two of that size", {{"a.jpg", {240, 180}}, {"b.jpg", {240, 180}}}, ""},
        {"one pixel off", {{"a.jpg", {240, 181}}}, ""},
        {"none", {}, ""},
    };
    for (const Case& c : cases) {
        ToolsBed bed;
        for (const auto& [name, size] : c.jpegs) {
            bed.Put(name);
            bed.bus.sizes[std::filesystem::path(name).filename().string()] = size;
        }
        bed.Put("thumb.jpg.txt");
        EXPECT_EQ(FindThumbnailImage(bed.state, bed.asset), c.found) << c.what;
    }
}

TEST(Thumbnails, ArtIsFoundByKindOfFileInOrder) {
    ToolsBed bed;
    for (const char* f : {"art/art_icon.tga", "art/art_icon.texture.txt", "art_icon.bmp", "logo.jpg", "logo.bmp"}) bed.Put(f);
    EXPECT_EQ(FindArt(bed.state, bed.asset, "art_icon"), "art/art_icon.texture");
    EXPECT_EQ(FindArt(bed.state, bed.asset, "logo"), "logo.bmp");
    EXPECT_EQ(FindArt(bed.state, bed.asset, "missing"), "");
    EXPECT_EQ(FindArt(bed.state, "", "logo"), "");
    EXPECT_EQ(bed.messages.messages, (Lines{"Find Art called with null path"}));
}

TEST(Thumbnails, TableEntriesAreMatchedAndAdded) {
    ToolsBed bed;
    bed.Load("kind \"scenery\"\r\nthumbnails\r\n{\r\n  0\r\n  {\r\n    image \"a.jpg\"\r\n    width 240\r\n    height 180\r\n  }\r\n"
             "  1\r\n  {\r\n    width wide\r\n    height 0\r\n  }\r\n}\r\n");
    const TOutlineNode* table = bed.doc.FindNodeByPath("thumbnails");
    EXPECT_TRUE(HasThumbnailSize(bed.doc, table, 240, 180));
    EXPECT_TRUE(HasThumbnailSize(bed.doc, table, 0, 0));  // a width that is no number is 0
    EXPECT_FALSE(HasThumbnailSize(bed.doc, table, 512, 512));

    SetThumbnailTags(bed.doc, table, "art/a.tga", 512, 512, 0);
    EXPECT_EQ(bed.doc.GetValueByPath("thumbnails\\2\\image"), "art/a.tga");
    EXPECT_EQ(bed.doc.GetValueByPath("thumbnails\\2\\width"), "512");
    EXPECT_TRUE(HasThumbnailSize(bed.doc, bed.doc.FindNodeByPath("thumbnails"), 512, 512));

    // Counting from 1, entry 0 being free does not matter.
    ToolsBed second;
    second.Load("kind \"scenery\"\r\nthumbnails\r\n{\r\n  1\r\n  {\r\n    width 1\r\n  }\r\n}\r\n");
    SetThumbnailTags(second.doc, second.doc.FindNodeByPath("thumbnails"), "b.tga", 128, 64, 1);
    EXPECT_EQ(second.doc.GetValueByPath("thumbnails\\2\\height"), "64");
    EXPECT_EQ(second.doc.FindNodeByPath("thumbnails\\0"), nullptr);

    // Without a table one is made.
    ToolsBed third;
    third.Load("kind \"scenery\"\r\n");
    SetThumbnailTags(third.doc, nullptr, "c.jpg", 240, 180, 0);
    EXPECT_EQ(third.doc.GetValueByPath("thumbnails\\0\\width"), "240");
}

TEST(Simulator, ProgramByFolderAndOneArgumentStartedDirectly) {
    struct Case {
        const char* what;
        std::string trainz;  // relative to the temporary folder
        std::string kuid;
        std::string mode;
        std::string program;
        std::string argument;
    };
    const std::vector<Case> cases = {
        {"TRS2006", "trs2006", "<kuid:1:2>", "Driver", "trs2006/trs2006.exe", "-driver=<kuid:1:2>"},
        {"TC", "tc", "<kuid2:1:2:3>", "Surveyor", "tc/tc.exe", "-surveyor=<kuid2:1:2:3>"},
        {"any other, blank in the path", "Trainz 2010", "<kuid:1:2>", "Railyard", "Trainz 2010/trainz.exe",
         "-railyard=<kuid:1:2>"},
        {"quotes in the kuid are dropped", "Trainz 2010", "\"<kuid:1:\"2>\"", "Driver", "Trainz 2010/trainz.exe",
         "-driver=<kuid:1:2>"},
    };
    for (const Case& c : cases) {
        ToolsBed bed;
        bed.state.Paths.TRS2006 = bed.dir / "trs2006";
        bed.state.Paths.TC = bed.dir / "tc";
        bed.state.Paths.Trainz = bed.dir / c.trainz;
        bed.Load("kind \"scenery\"\r\nkuid " + c.kuid + "\r\n");
        LaunchSimulator(bed.state, bed.doc, c.mode);
        ASSERT_EQ(bed.runner.runs.size(), 1u) << c.what;
        const ProcessRequest& run = bed.runner.runs[0];
        EXPECT_EQ(run.program, bed.dir / c.program) << c.what;
        EXPECT_EQ(run.arguments, Lines{c.argument}) << c.what;
        EXPECT_EQ(run.workingFolder, "") << c.what;
        EXPECT_FALSE(run.captureOutput) << c.what;
    }
}

TEST(Simulator, AMissingProgramIsReportedAndNothingElseOpened) {
    ToolsBed bed;
    bed.state.Paths.Trainz = bed.dir / "none";
    bed.runner.start = false;
    bed.Load("kind \"scenery\"\r\n");
    LaunchSimulator(bed.state, bed.doc, "Driver");
    EXPECT_TRUE(bed.runner.opened.empty());
    ASSERT_EQ(bed.messages.messages.size(), 1u);
    EXPECT_NE(bed.messages.messages[0].find("trainz.exe -driver="), std::string::npos);
}

}  // namespace
}  // namespace kelvarn
