// The tag edits of scripts, run as script lines on the main outline: values, addresses with
// wildcards, renames and exchanges, replacing, marks, structure, clearing and category lists.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScriptTestSupport.h"
#include "catalogue/AssetTestSupport.h"
#include "catalogue/OutlineHooks.h"
#include "shell/Files.h"
#include "shell/MemIni.h"
#include "shell/Strings.h"

namespace kelvarn::test {
namespace {

using Lines = std::vector<std::string>;

// Logs the view requests, and names the value kinds of a few tags as tags.xml would.
class TViewRequests final : public IOutlineObserver, public IOutlineHooks {
public:
    explicit TViewRequests(TOutlineDocument& doc) : doc_(doc) {}
    Lines requests;
    void MakeVisible(const TOutlineNode* node) override { requests.push_back("reveal " + doc_.NodePath(node)); }
    void ExpandNode(const TOutlineNode* node, bool all) override {
        requests.push_back(std::string(all ? "expand all " : "expand ") + doc_.NodePath(node));
    }
    TTagSpec FindSpecNode(std::string_view path, bool& found) override {
        TTagSpec spec = DefaultTagSpec();
        const std::string name = path.substr(path.rfind('\\') + 1).data();
        found = name == "bare" || name == "quoted";
        spec.ValueKind = name == "bare" ? vkBare : vkQuoted;
        return spec;
    }

private:
    TOutlineDocument& doc_;
};

struct EditBed {
    explicit EditBed(std::string_view config = kTestConfig) {
        asset = bed.SelectAsset("asset", config);
        bed.main->SetObserver(&view);
        bed.main->SetHooks(&view);
    }
    ~EditBed() {
        bed.main->SetObserver(nullptr);
        bed.main->SetHooks(nullptr);
    }
    Lines Run(const std::string& script) {
        bed.host.log.clear();
        bed.Run(script);
        return Messages(bed.host);
    }
    std::string Value(std::string_view path) const { return bed.main->GetValueByPath(path); }
    TOutlineNode* Node(std::string_view path) const { return bed.main->FindNodeByPath(path); }
    std::string Text() const { return bed.main->ConfigFileText(); }

    ScriptBed bed{false};
    TViewRequests view{*bed.main};
    std::string asset;
};

TEST(ScriptUpdate, ValuesFromTheRestOfTheLine) {
    EditBed e;
    EXPECT_EQ(e.Run("-update|one|a|b\n-update|two|a||b\n-update|Kind|x\n-update|config.txt\\|x\n-update|mesh-table\\|x"),
              (Lines{"Cannot update node: config.txt\\", "Containers cannot have a value: x"}));
    EXPECT_EQ(e.Value("one"), "a|b");
    EXPECT_EQ(e.Value("two"), "a");
    EXPECT_EQ(e.Value("kind"), "x");
    EXPECT_EQ(e.Node("Kind"), nullptr);  // no tag was created with the capital
    EXPECT_EQ(e.view.requests, (Lines{"reveal config.txt\\one", "reveal config.txt\\two", "reveal config.txt\\kind"}));
}

TEST(ScriptUpdate, LiteralLinesTakeEveryField) {
    EditBed e;
    e.bed.unit->ExecuteScriptLines("replicate", {"-update|note|a||b| c"}, false, true);
    EXPECT_EQ(e.Value("note"), "a||b| c");
}

TEST(ScriptUpdate, WildcardsSetWhereFoundElseCreateInEveryContainer) {
    EditBed e;
    EXPECT_EQ(e.Run("-update|mesh-table\\*\\auto-create|0"), Lines{});
    EXPECT_EQ(e.Value("mesh-table\\default\\auto-create"), "0");
    EXPECT_EQ(e.Node("mesh-table\\lod\\auto-create"), nullptr);  // set where present only

    EXPECT_EQ(e.Run("-update|mesh-table\\*\\Fade|1\n-update|mesh-table\\*\\x*|1\n-update|nothing\\*\\x|1"),
              (Lines{"Unable to create node(s): mesh-table\\*\\x*", "Unable to create node(s): nothing\\*\\x"}));
    EXPECT_EQ(e.Value("mesh-table\\default\\fade"), "1");
    EXPECT_EQ(e.Value("mesh-table\\lod\\fade"), "1");
    EXPECT_EQ(e.Text().find("x*"), std::string::npos);
}

TEST(ScriptDelete, PatternsAndTheRoot) {
    EditBed e;
    EXPECT_EQ(e.Run("-delete|config.txt\\\n-delete|mesh-table\\*\\mesh\n-delete|th*\n-delete|nothing"),
              Lines{"Cannot delete node: config.txt\\"});
    EXPECT_EQ(e.Node("mesh-table\\default\\mesh"), nullptr);
    EXPECT_EQ(e.Node("mesh-table\\lod\\mesh"), nullptr);
    EXPECT_NE(e.Node("thumbnails"), nullptr);  // a tag pattern leaves containers alone
    EXPECT_EQ(e.Run("-delete|th*\\"), Lines{});
    EXPECT_EQ(e.Node("thumbnails"), nullptr);
}

TEST(ScriptRename, Containers) {
    EditBed e;
    EXPECT_EQ(e.Run("-rename|mesh-table\\lod|default\n-rename|mesh-table\\lod|a\\b\n-rename|mesh-table\\lod|\n"
                    "-rename|\\|x\n-rename|config.txt\\|x\n-rename|nothing|x\n-rename|mesh-table\\lod|far away\\"),
              (Lines{"Target already exists: config.txt\\mesh-table\\default", "Cannot rename target: a\\b",
                     "Cannot rename target: ", "Cannot rename target: x", "Cannot rename target: x",
                     "Source target not found: config.txt\\nothing"}));
    EXPECT_NE(e.Node("mesh-table\\far_away\\mesh"), nullptr);
    EXPECT_EQ(e.view.requests, Lines{"expand config.txt\\mesh-table\\far_away\\"});
    EXPECT_EQ(e.bed.main->Root()->Text(), "config.txt");
}

TEST(ScriptRename, TagsMove) {
    EditBed e;
    EXPECT_EQ(e.Run("-rename|username|kind\n-rename|username|new\\name\n-rename|description|kind\\x"),
              (Lines{"Rename target already exists: kind", "Unable to rename tag: description"}));
    EXPECT_EQ(e.Value("new\\name"), "Water Tower");
    EXPECT_EQ(e.Node("username"), nullptr);
    EXPECT_EQ(e.Value("description"), "abc");  // a failed creation keeps the source
}

TEST(ScriptExchange, Cases) {
    EditBed e;
    EXPECT_EQ(e.Run("-exchange|mesh-table x|kind y\n-exchange|kind other|x y\n-exchange|kind scenery|username y\n"
                    "-exchange|nothing a|x y\n-exchange|kind \"scenery\"|type \"a b\""),
              (Lines{"Source cannot be a container", "Node value not found", "Target tag already exists"}));
    EXPECT_EQ(e.Node("kind"), nullptr);
    EXPECT_EQ(e.Value("type"), "a b");
}

TEST(ScriptReplace, FirstOccurrenceAndTheCaseSwitch) {
    EditBed e("description \"banana\"\nname \"\xC3\x84pfel \xC3\xA4pfel\"\nt \"ABab\"\n");
    EXPECT_EQ(e.Run("-replace|description|a|b\n-ignorecase\n-replace|t|b|x\n-replace|t|A|y"), Lines{});
    EXPECT_EQ(e.Value("description"), "bbnana");
    EXPECT_EQ(e.Value("t"), "yxab");  // only the first -replace ignored case
    EXPECT_EQ(e.Run("-replace|name|\xC3\xA4|o"), Lines{});
    EXPECT_EQ(e.Value("name"), "\xC3\x84pfel opfel");
}

TEST(ScriptReplace, Refusals) {
    EditBed e;
    EXPECT_EQ(e.Run("-replace||a|b\n-replace|kind||b\n-replace|nothing|a|b\n-replace|mesh-table\\|a|b\n"
                    "-replace|config.txt\\|a|b\n-replaceall||x"),
              (Lines{"Parameter missing: |a|b", "Parameter missing: kind||b", "Address not found: nothing",
                     "Address must be a tag: mesh-table\\", "Address must be a tag: config.txt\\", "Parameter missing"}));
    // A failing -replace clears the switch too.
    EXPECT_EQ(e.Run("-ignorecase\n-replace|nothing|a|b\n-replace|kind|S|x"), Lines{"Address not found: nothing"});
    EXPECT_EQ(e.Value("kind"), "scenery");
}

TEST(ScriptReplaceAll, EverySameNamedSibling) {
    EditBed e("a {\n  mesh \"x.im\"\n  mesh \"y.im\"\n}\nkind \"scenery\"\n");
    EXPECT_EQ(e.Run("-replaceall|.im|.pm"), Lines{});
    EXPECT_NE(e.Text().find("\"x.pm\""), std::string::npos);
    EXPECT_NE(e.Text().find("\"y.pm\""), std::string::npos);
}

TEST(ScriptReplaceAll, ValueEditsKeepNamesAsWritten) {
    EditBed e("kind \"scenery\"\nstring-table {\n  PermitManagerRule \"x.im\"\n}\nMesh \"y.im\"\n");
    EXPECT_EQ(e.Run("-replaceall|.im|.pm\n-replace|string-table\\permitmanagerrule|x|z\n-update|mesh|w.im"), Lines{});
    EXPECT_NE(e.Text().find("PermitManagerRule                       \"z.pm\""), std::string::npos) << e.Text();
    EXPECT_NE(e.Text().find("Mesh                                      \"w.im\""), std::string::npos) << e.Text();
}

TEST(ScriptMarks, SubtreesAndNoSpellingOfTheRoot) {
    EditBed e;
    EXPECT_EQ(e.Run("-comment|config.txt\\\n-comment|\\\n-tagfordeletion|config.txt\n-tagfordeletion|nothing"),
              Lines{});
    EXPECT_EQ(e.bed.main->Root()->Flags() & (nfComment | nfDelete), 0);
    EXPECT_EQ(e.Node("kind")->Flags() & (nfComment | nfDelete), 0);
    // Outside a batch the main config keeps the marked tags until a batch removes them: the run says so.
    EXPECT_EQ(e.Run("-tagfordeletion|mesh-table\\\n-comment|mesh-table\\lod\\"),
              Lines{"Tagged for deletion, removed when a batch over the tagged assets completes: mesh-table\\"});
    EXPECT_TRUE(e.Node("mesh-table")->HasFlag(nfDelete));
    EXPECT_TRUE(e.Node("mesh-table\\default\\mesh")->HasFlag(nfDelete));
    EXPECT_TRUE(e.Node("mesh-table\\lod\\mesh")->HasFlag(nfComment));
    EXPECT_FALSE(e.Node("mesh-table\\lod\\mesh")->HasFlag(nfDelete));
}

TEST(ScriptPromote, Levels) {
    EditBed e;
    EXPECT_EQ(e.Run("-promote|config.txt\\\n-promote|kind\n-promote|nothing\n-promote|mesh-table\\lod\\"),
              (Lines{"Cannot promote from this address: config.txt\\", "Cannot promote from this address: kind",
                     "Invalid address: nothing"}));
    EXPECT_NE(e.Node("lod"), nullptr);
    EXPECT_EQ(e.Node("mesh-table\\lod"), nullptr);
}

TEST(ScriptStructure, ExpandSortKuidAndSave) {
    EditBed e;
    EXPECT_EQ(e.Run("-expand|mesh-table\\\n-expand|nothing"), Lines{});
    EXPECT_EQ(e.view.requests, Lines{"expand all config.txt\\mesh-table\\"});
    EXPECT_EQ(e.Run("-update|kind|x\n-saveconfig"), Lines{});
    EXPECT_NE(ReadBytes(e.asset + "/config.txt").find("\"x\""), std::string::npos);
    EXPECT_FALSE(e.bed.main->Modified());
}

TEST(ScriptSaveConfig, FailureIsReported) {
    EditBed e;
    std::filesystem::remove_all(e.asset);
    WriteBytes(e.asset, "a file where the folder was");
    const Lines said = e.Run("-update|kind|x\n-saveconfig");
    ASSERT_EQ(said.size(), 1u);
}

TEST(ScriptSaveConfig, NothingWithoutAnAsset) {
    ScriptBed bed(false);
    bed.Run("-update|kind|x\n-saveconfig");
    EXPECT_TRUE(bed.main->Empty());  // no tree is created either
    EXPECT_EQ(Messages(bed.host), Lines{});
}

TEST(ScriptClear, PassesInOrderAndTheRootStays) {
    EditBed e("a {\n  b {\n  }\n}\nbare\nquoted \"\"\nother \"\"\nc {\n}\n");
    EXPECT_EQ(e.Run("-clear|nullcontainer,nulldata"), Lines{});
    EXPECT_EQ(e.Node("a\\b"), nullptr);
    EXPECT_NE(e.Node("a"), nullptr);  // emptied by the pass: not visited again
    EXPECT_EQ(e.Node("c"), nullptr);
    EXPECT_EQ(e.Node("bare"), nullptr);
    EXPECT_NE(e.Node("quoted"), nullptr);
    EXPECT_EQ(e.Run("-clear|nullstring,nullcontainer,nullcontainer"), Lines{});
    EXPECT_EQ(e.Node("quoted"), nullptr);
    EXPECT_NE(e.Node("other"), nullptr);  // no definition: kept
    EXPECT_EQ(e.Node("a"), nullptr);

    EditBed empty("a {\n}\n");
    EXPECT_EQ(empty.Run("-clear|nullcontainer"), Lines{});
    ASSERT_NE(empty.bed.main->Root(), nullptr);
}

TEST(ScriptClear, MessagesJoined) {
    EditBed e;
    EXPECT_EQ(e.Run("-clear|x,nullcontainer,Y"), Lines{"Invalid parameter to -Clear: x\r\n\t.Invalid parameter to -Clear: y"});
}

// Duplicate ".pm" meshes go only where the setting or the user says so, and only from the asset.
TEST(ScriptClear, DuplicatePmMeshes) {
    EditBed e;
    FakeTrash trash;
    e.bed.state.Trash = &trash;
    for (const char* name : {"tower.im", "tower.pm", "lone.pm", "sub/a.IM", "sub/a.pm"})
        WriteBytes(e.asset + "/" + name, "x");

    e.bed.messages.answers = {Answer::No};
    EXPECT_EQ(e.Run("-clear|pmmeshes"), Lines{});
    EXPECT_TRUE(trash.moved.empty());
    EXPECT_EQ(e.bed.messages.messages, Lines{"Duplicate *.pm meshes found\rDelete these files?"});

    e.bed.state.Settings().WriteString("Options", "AutoDeletePM", "1");
    EXPECT_EQ(e.Run("-clear|PMmeshes,nullcontainer"), Lines{"2pm mesh file(s) deleted"});
    EXPECT_FALSE(std::filesystem::exists(e.asset + "/tower.pm"));
    EXPECT_FALSE(std::filesystem::exists(e.asset + "/sub/a.pm"));
    EXPECT_TRUE(std::filesystem::exists(e.asset + "/lone.pm"));
    EXPECT_EQ(e.Node("thumbnails"), nullptr);  // the next word still runs

    // Without an asset folder nothing is walked, whatever the setting.
    ScriptBed none(false);
    none.state.Trash = &trash;
    none.state.Settings().WriteString("Options", "AutoDeletePM", "1");
    trash.moved.clear();
    none.Run("-clear|pmmeshes");
    EXPECT_EQ(Messages(none.host), Lines{});
    EXPECT_TRUE(trash.moved.empty());
}

// In a batch nobody is asked: the duplicates are named and stay.
TEST(ScriptClear, DuplicatePmMeshesInABatchAreOnlyNamed) {
    ScriptBed bed(false);
    FakeTrash trash;
    bed.state.Trash = &trash;
    const std::string asset = bed.Asset("a1", kTestConfig);
    for (const char* name : {"x.im", "x.pm", "y.im", "y.pm"}) WriteBytes(asset + "/" + name, "x");
    bed.host.tagged = {asset};
    bed.unit->FolderList = {asset};
    bed.host.answers = {"accept"};
    bed.unit->RunOnTaggedAssets("Fix", {"-clear|pmmeshes"});
    EXPECT_TRUE(trash.moved.empty());
    EXPECT_TRUE(bed.messages.messages.empty());
    std::string output;
    for (const std::string& line : bed.unit->OutputList) output += line + "\n";
    EXPECT_NE(output.find("x.pm\r\n\t\ty.pm"), std::string::npos) << output;
}

class ScriptCategory : public ::testing::Test {
protected:
    ScriptCategory() {
        TMemIni& ini = e.bed.state.Settings();
        ini.WriteString("Paths", "TETData", "data");
        e.bed.state.Paths.Trainz = e.bed.dir / "trainz";
        WriteBytes(e.bed.dir / "trainz/data/Category-Region.txt", "00\r\nAU\r\n GB \r\n\r\nUS\r\n");
    }
    EditBed e;
};

TEST_F(ScriptCategory, RegionListsFromTheFile) {
    EXPECT_EQ(e.Run("-category|category-region|gb,au;XX"), Lines{});
    EXPECT_EQ(e.Value("category-region"), "AU;GB");
    EXPECT_EQ(e.Run("-category|category-region|00;GB"), Lines{});
    EXPECT_EQ(e.Value("category-region"), "00");
    EXPECT_EQ(e.Run("-category|category-region||00"), Lines{});
    EXPECT_EQ(e.Node("category-region"), nullptr);  // an empty list deletes the tag
}

TEST_F(ScriptCategory, KeywordsSortedWithoutDuplicates) {
    EXPECT_EQ(e.Run("-category|category-keyword|beta, Alpha;alpha;;gamma|gamma"), Lines{});
    EXPECT_EQ(e.Value("category-keyword"), "Alpha;beta");
}

TEST_F(ScriptCategory, Refusals) {
    EXPECT_EQ(e.Run("-category|era|x\n-category|category|x\n-category|category-era|1950s"),
              (Lines{"Cannot use -Category on this tag: era", "Cannot use -Category on this tag: category",
                     "Unable to find source file: <tmp>/trainz/data/category-era.txt"}));
    EXPECT_EQ(e.Node("era"), nullptr);
    EXPECT_EQ(e.Node("category-era"), nullptr);
}

}  // namespace
}  // namespace kelvarn::test

namespace kelvarn::test {
namespace {

TEST(ScriptStructure, IncrementKuidAndSortReport) {
    EditBed e;
    const Lines said = e.Run("-sort\n-incrementkuid");
    // The KUID is not the user's own (no user id is set): the refusal is reported, nothing changes.
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(e.Value("kuid"), "<kuid:1234:5678>");
}

// A real asset (CR LF, byte-order mark), copied before anything is saved.
TEST(ScriptRealFiles, EditsSaveInTheFilesOwnEncoding) {
    const std::filesystem::path corpus = std::filesystem::path(KELVARN_SOURCE_DIR) / ".." / "shared" / "corpus" / "jos-scanner";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    ScriptBed bed(false);
    const std::string asset = bed.dir / "jos";
    test::CopyWritable(corpus.string(), asset);
    bed.state.SetAssetPath(asset);
    ASSERT_EQ(bed.main->LoadConfig(asset), "");
    ASSERT_NE(bed.main->FindNodeByPath("kuid-table"), nullptr);
    bed.Run("-update|mesh-table\\*\\auto-create|0\n-clear|nullcontainer\n-category|category-keyword|Scanner,jos|PJL\n"
            "-saveconfig");
    EXPECT_EQ(Messages(bed.host), Lines{});
    const std::string bytes = ReadBytes(asset + "/config.txt");
    EXPECT_TRUE(StartsWith(bytes, "\xEF\xBB\xBF"));
    EXPECT_EQ(ReplaceAll(bytes, "\r\n", "").find('\n'), std::string::npos);  // every line ends in CR LF
    TOutlineDocument reread(bed.state);
    ASSERT_EQ(reread.LoadConfig(asset), "");
    EXPECT_EQ(reread.GetValueByPath("mesh-table\\default\\auto-create"), "0");
    EXPECT_EQ(reread.GetValueByPath("mesh-table\\arrow\\auto-create"), "0");
    EXPECT_EQ(reread.FindNodeByPath("kuid-table"), nullptr);
    EXPECT_EQ(reread.GetValueByPath("category-keyword"), "ATLS;JOS;Perlintasan;Scanner");
}

}  // namespace
}  // namespace kelvarn::test
