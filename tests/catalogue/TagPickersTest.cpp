#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/TagPickers.h"
#include "shell/CommandBus.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"
#include "TagEditTestSupport.h"

namespace kelvarn {
namespace {

using test::FormatSpec;
using test::MeshFileBuilder;
using test::MeshPoint;
using test::TagEditBed;
using test::WriteBytes;

using Lines = std::vector<std::string>;

std::string MeshWithPoints(const std::vector<MeshPoint>& points) {
    return MeshFileBuilder().Info().Attachments(points).Bytes();
}

struct PickerBed : TagEditBed {
    std::string asset;
    PickerBed() {
        asset = dir / "asset";
        state.SetAssetPath(asset);
    }
    void File(const std::string& name, std::string_view bytes = "x") { WriteBytes(asset + "/" + name, bytes); }
};

TEST(Pickers, RulesActInOrder) {
    PickerBed bed;
    bed.File("Body.Texture.txt");
    bed.File("body.im");
    bed.File("run.gs");
    bed.File("portaltunnel.gs");
    bed.File("Tree.LM.txt");
    bed.File("notes.txt");
    bed.state.Settings().WriteString("Regions", "AU", "Australia");
    TTagSpec region = FormatSpec("set");
    region.Source = "@Regions";
    region.Help = "Where the asset belongs@KIND_Scenery#$";  // the status shows the text, not the link
    bed.hooks.specs["config.txt\\category-region"] = region;
    bed.Load("kind \"scenery\"\ncategory-region \"AU\"\n");
    const std::string p = bed.asset + "\\";
    const struct {
        const char* name;
        const char* value;
        int rule, code;
        std::string text;  // for files: the path below the asset folder, "" for none
    } cases[] = {
        {"category-region", "AU", 1, 0, ""},
        {"texture", "\"body.texture\"", 2, ccShowFile, "Body.Texture.txt"},
        {"script", "\"missing\"", 3, ccShowFile, p + "missing.gs"},
        {"class", "run.gs", 3, ccShowFile, "run.gs"},
        {"script", "\"PortalTunnel\"", 3, ccShowFile, "portaltunnel.gs"},  // named on Windows
        {"effects", "", 4, ccShowFile, bed.state.ProgramFolder + "bin\\effect-kind.txt"},
        {"mesh", "\"body.im\"", 5, ccShowFile, "body.im"},
        {"mesh", "\"Tree.lm\"", 6, ccShowFile, "Tree.LM.txt"},
        {"mesh", "\"gone.im\"", 9, ccShowTags, "scenery"},   // a file that is not there: the next rules
        {"image", "\"IMG:Pic.tga\"", 7, ccShowFile, p + "Pic.tga"},  // not tested
        {"att", "x", 8, ccShowTable, ""},
        {"attachment", "a.door", 8, ccShowTable, ""},
        {"username", "\"me\"", 9, ccShowTags, "scenery"},
    };
    for (const auto& c : cases) {
        const TPickAction action = PickTagValue(bed.doc, bed.Node("config.txt\\category-region"), c.name, c.value, false);
        EXPECT_EQ(action.rule, c.rule) << c.name << " " << c.value;
        EXPECT_EQ(action.code, c.code) << c.name << " " << c.value;
        if (c.rule == 1) {
            EXPECT_EQ(action.lines, Lines{"AU=Australia"});
        } else if (c.rule == 8) {
            EXPECT_EQ(SplitLines(action.text).size(), 1u) << "no meshes with points: the header alone";
        } else if (c.code == ccShowFile && !StartsWith(c.text, bed.dir.Path()) && c.rule != 4) {
            EXPECT_EQ(std::filesystem::path(action.text), std::filesystem::path(bed.asset) / c.text) << c.name;
        } else {
            EXPECT_EQ(action.text, c.text) << c.name;
        }
    }
    EXPECT_EQ(bed.bus.sent.back(), (std::pair<int, std::string>{ccStatusText, "2|Where the asset belongs"}));

    const std::size_t sent = bed.bus.sent.size();
    const TPickAction maximised = PickTagValue(bed.doc, bed.Node("config.txt\\kind"), "kind", "scenery", true);
    EXPECT_EQ(maximised.rule, 0);
    ASSERT_EQ(bed.bus.sent.size(), sent + 1);
    EXPECT_EQ(bed.bus.sent.back().second, "2|config.txt\\kind");  // no help: the path
    SendPickAction(bed.state, maximised);
    EXPECT_EQ(bed.bus.sent.size(), sent + 1);
}

TEST(Pickers, AttachmentTable) {
    PickerBed bed;
    bed.File("b.im", MeshWithPoints({{"a.zeta", test::kIdentity3, {1, 2, 3}}, {"a.alpha"}}));
    bed.File("sub/A.IM", MeshWithPoints({{"a.mid"}}));
    bed.File("x.img", MeshWithPoints({{"a.image"}}));
    bed.File("broken.im", "JIRF not a mesh");
    bed.Load("kind \"scenery\"\n");
    const std::string table = ShowAttachmentTable(bed.doc);
    EXPECT_EQ(SplitLines(table),
              (Lines{"\"Mesh\",\"Point\",\"X\",\"Y\",\"Z\",\"x\xC2\xB0\",\"y\xC2\xB0\",\"z\xC2\xB0\"",
                     "\"A.IM\",\"a.mid\",0.000,0.000,0.000,0.0,0.0,0.0",
                     "\"b.im\",\"a.alpha\",0.000,0.000,0.000,0.0,0.0,0.0",
                     "\"b.im\",\"a.zeta\",1.000,2.000,3.000,0.0,0.0,0.0"}));
    ASSERT_EQ(bed.messages.messages.size(), 1u);
    EXPECT_TRUE(ContainsStr(bed.messages.messages[0], "broken.im")) << bed.messages.messages[0];
}

TEST(Pickers, AttachmentTableOnRealAssets) {
    const std::string corpus = std::string(KELVARN_SOURCE_DIR) + "/../shared/corpus";
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus";
    for (const char* folder : {"jos-scanner", "basemap-maker"}) {
        Lines failures;
        const Lines table = AttachmentTable(corpus + "/" + folder, failures);
        EXPECT_TRUE(failures.empty()) << folder << ": " << (failures.empty() ? "" : failures[0]);
        ASSERT_FALSE(table.empty());
        EXPECT_TRUE(StartsWith(table[0], "\"Mesh\",")) << folder;
        for (std::size_t i = 1; i < table.size(); ++i) EXPECT_EQ(SplitCsvLine(table[i]).size(), 8u) << table[i];
    }
}

TEST(Pickers, LodMeshNameRule) {
    const struct {
        const char* text;
        const char* name;
    } cases[] = {
        {"name=\"near.im\"\r\nname=\"far.im\";\r\n", "far.im"},  // the last naming line
        {"NAME=far.im\nother=1\n", "far.im"},
        {"  Name = x\n", ""},                // "name =" names nothing
        {"distance=10\n", ""},
        {"", ""},
        {"name=a;name=b\n", "aname=b"},      // ";" go first, then the first "name="
    };
    for (const auto& c : cases) EXPECT_EQ(LodMeshName(c.text), c.name) << c.text;
}

TEST(Pickers, GetMeshesPerLocation) {
    PickerBed bed;
    bed.File("lod/tree.lm.txt", "distance=1\nname=\"tree-near.im\"\n");
    bed.File("empty.lm.txt", "distance=1\n");
    bed.Load("kind \"scenery\"\n"
             "mesh-table\n{\n"
             "  default\n  {\n    mesh \"body.im\"\n    effects\n    {\n      e0\n      {\n        att \"a.x\"\n      }\n    }\n  }\n"
             "  door\n  {\n    mesh \"empty.lm\"\n    att-parent \"default\"\n    att \"a.door\"\n  }\n"
             "  tree\n  {\n    mesh \"lod\\tree.lm\"\n  }\n"
             "  bare\n  {\n    auto-create 1\n  }\n"
             "  copy\n  {\n    mesh \"body.im\"\n  }\n"
             "}\n"
             "att \"a.top\"\n");
    const std::string f = bed.asset;
    const auto meshes = [&](const char* path, const char* location) {
        Lines list;
        GetMeshes(bed.doc, bed.Node(path), f, location, list);
        return list;
    };
    EXPECT_EQ(meshes("config.txt\\att", ".att-parent"), Lines{f + "\\body.im"});
    EXPECT_EQ(meshes("config.txt\\mesh-table\\door\\att", ".att-parent"), Lines{f + "\\body.im"});
    EXPECT_EQ(meshes("config.txt\\mesh-table\\default\\effects\\e0\\att", ".effect-parent"), Lines{f + "\\body.im"});
    EXPECT_EQ(meshes("config.txt\\mesh-table\\door\\att", ".effect-parent"), Lines{});  // great-grandparent: the root
    EXPECT_EQ(meshes("config.txt\\att", ".effect-parent"), Lines{});                    // none so high
    // The LOD without a name is dropped and the next one still resolved, in its own folder.
    EXPECT_EQ(meshes("config.txt\\att", ".mesh-table"), (Lines{f + "\\body.im", f + "\\lod\\tree-near.im"}));
    EXPECT_EQ(meshes("config.txt\\att", ".default"), Lines{});
    EXPECT_EQ(bed.messages.messages, Lines{"Outline.GetMeshes.Default: NDF"});
    EXPECT_EQ(meshes("config.txt\\att", ".other"), Lines{});
}

TEST(Pickers, ListAttachmentPoints) {
    PickerBed bed;
    bed.File("body.im", MeshWithPoints({{"a.door"}, {"lights/a.light0"}, {"/a.root"}}));
    bed.Load("kind \"scenery\"\nmesh-table\n{\n  default\n  {\n    mesh \"body.im\"\n  }\n}\natt \"a.door\"\n");
    Lines points;
    ListAttachmentPoints(bed.doc, bed.Node("config.txt\\att"), PointFolder(bed.doc, bed.state), ".att-parent", points);
    EXPECT_EQ(points, (Lines{"body.im:a.door", "body.im:a.light0", "body.im:/a.root"}));

    // In script mode the editor's batch folder holds the meshes, not the current asset.
    TagEditBed batch;
    WriteBytes(batch.dir / "other/body.im", MeshWithPoints({{"a.batch"}}));
    WriteBytes(batch.dir / "other/config.txt", "kind \"scenery\"\nmesh-table\n{\n  default\n  {\n    mesh \"body.im\"\n  }\n}\natt 1\n");
    ASSERT_EQ(batch.doc.LoadConfig(batch.dir / "other"), "");
    batch.doc.ScriptMode = true;
    batch.state.SetAssetPath(bed.asset);
    ListAttachmentPoints(batch.doc, batch.Node("config.txt\\att"), PointFolder(batch.doc, batch.state), ".att-parent",
                         points);
    EXPECT_EQ(points, Lines{"body.im:a.batch"});
}

TEST(Pickers, TagSpecText) {
    TagEditBed bed;
    TTagSpec spec = FormatSpec("int");
    spec.Min = "0";
    bed.hooks.specs["config.txt\\count"] = spec;
    bed.Load("kind \"x\"\ncount 1\n");
    const Lines lines = GetTagSpecDataButtonClick(bed.doc, bed.Node("config.txt\\count"));
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines[0], "config.txt\\count");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\tformat=int"), lines.end());
    EXPECT_TRUE(GetTagSpecDataButtonClick(bed.doc, bed.doc.Root()).empty());
}

}  // namespace
}  // namespace kelvarn
