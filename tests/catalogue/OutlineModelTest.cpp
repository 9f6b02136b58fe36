#include <gtest/gtest.h>

#include <functional>

#include "catalogue/ConfigPath.h"
#include "catalogue/ConfigWriter.h"
#include "catalogue/OutlineDocument.h"
#include "ConfigTestSupport.h"
#include "shell/Files.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;
using test::Rows;
using test::TopLevel;

const char* const kSample =
    "kuid <kuid:604117:7>\n"
    "Kind traincar\n"
    "username \"Shunter\"\n"
    "MeshTable\n{\n  default\n  {\n    mesh \"a.im\"\n    auto-create 1\n  }\n}\n"
    "thumbnails\n{\n  0\n  {\n    image \"t.jpg\"\n  }\n}\n";

// Counts what the observer hears, and checks every change comes as a begin/end pair.
struct RecordingObserver : IOutlineObserver {
    std::vector<std::string> events;
    int open = 0;
    void BeginInsert(const TOutlineNode*, std::size_t index) override { Begin("insert@" + std::to_string(index)); }
    void EndInsert(const TOutlineNode*) override { --open; }
    void BeginRemove(const TOutlineNode* node) override { Begin("remove " + node->Text()); }
    void EndRemove(const TOutlineNode*, std::size_t) override { --open; }
    void BeginMove(const TOutlineNode* node, const TOutlineNode*, std::size_t to) override {
        Begin("move " + node->Text() + "@" + std::to_string(to));
    }
    void EndMove(const TOutlineNode*) override { --open; }
    void NodeChanged(const TOutlineNode*) override { ++changed; }
    void BeginReset() override { Begin("reset"); }
    void EndReset(TResetReason) override { --open; }
    void TrainzBuildDeleted() override { events.push_back("trainz-build"); }
    int changed = 0;

private:
    void Begin(std::string e) {
        EXPECT_EQ(open, 0) << "nested change " << e;
        ++open;
        events.push_back(std::move(e));
    }
};

struct RecordingHooks : IOutlineHooks {
    int reorders = 0, analyses = 0;
    void ReorderConfig(TOutlineDocument&) override { ++reorders; }
    void AnalyseKindAndLoadSpec(TOutlineDocument&) override { ++analyses; }
};

TEST(OutlineLoad, RefusalsLeaveTheOutlineEmpty) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    EXPECT_EQ(doc.LoadConfig(""), "No path specified");
    EXPECT_EQ(doc.LoadConfig(bed.dir / "gone"), "Asset Folder Deleted");
    ForceDirectories(bed.dir / "empty");
    EXPECT_EQ(doc.LoadConfig(bed.dir / "empty"), "Invalid asset or config.txt has been deleted");
    EXPECT_TRUE(doc.Empty());

    // A config that fails to load takes the previous asset's tree with it, so nothing of that one
    // can be saved over this one.
    LoadText(bed, doc, kSample);
    bed.state.CurrentKuid = "604117";
    const std::string error = doc.LoadConfig(bed.Asset("broken", "kind x\nd \"open\n"));
    EXPECT_TRUE(StartsWith(error, "Unclosed quote: ")) << error;
    EXPECT_TRUE(bed.Said(error));
    EXPECT_TRUE(doc.Empty());
    EXPECT_EQ(doc.ShownFolder(), "");
    EXPECT_EQ(bed.state.CurrentKuid, "");
    EXPECT_EQ(doc.SaveConfig(bed.dir / "broken/config.txt", false), "No config to save: " + (bed.dir / "broken/config.txt"));
    EXPECT_EQ(test::ReadBytes(bed.dir / "broken/config.txt"), "kind x\nd \"open\n");
}

TEST(OutlineLoad, PreparesTheTree) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    RecordingHooks hooks;
    doc.SetHooks(&hooks);
    const std::string folder = bed.Asset("Asset", "kuid <kuid:1:2>\nkind scenery\n;old 1\nlist\n{\n}\n", "Config.txt");
    ASSERT_EQ(doc.LoadConfig(folder), "");
    EXPECT_EQ(doc.ShownFolder(), folder);
    EXPECT_TRUE(EndsWith(doc.ConfigFile(), "Config.txt"));
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(bed.state.CurrentKuid, "1");
    const TOutlineNode* old = doc.FindNodeByPath("old");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->Text(), "old 1");
    EXPECT_TRUE(TOutlineDocument::IsComment(old));
    EXPECT_TRUE(doc.FindNodeByPath("list")->ChildMark());
    EXPECT_EQ(doc.ConfigStatusText(), "Config: 4 lines");
    EXPECT_EQ(hooks.reorders, 1);
    EXPECT_EQ(hooks.analyses, 1);
    EXPECT_GE(bed.Sent(kOutlineCommandStates), 1);
}

// Viewing a config changes nothing: without a kind it is told, not given one.
TEST(OutlineLoad, EmptyConfigIsToldNotGivenAKind) {
    const char* const alert =
        "Unable to validate this config: this will usually be due to an empty or corrupt config or an empty or "
        "missing asset 'kind'. \rPlease ensure that a 'kind' tag is correctly defined and then save and reload the "
        "asset";
    for (const bool script : {false, true}) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        RecordingHooks hooks;
        doc.SetHooks(&hooks);
        doc.ScriptMode = script;
        ASSERT_EQ(doc.LoadConfig(bed.Asset("a", "")), "");
        EXPECT_EQ(Rows(doc.Root()), (std::vector<std::string>{"0|config.txt"}));
        EXPECT_FALSE(doc.Modified());
        EXPECT_EQ(bed.Said(alert), !script);
        EXPECT_EQ(hooks.reorders, 1);
        EXPECT_EQ(bed.state.CurrentKuid, "");
    }
}

TEST(OutlinePaths, FindNodesByEverySpelling) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kSample);
    const TOutlineNode* kind = doc.FindNodeByPath("config.txt\\kind");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(doc.FindNodeByPath("\\kind"), kind);
    EXPECT_EQ(doc.FindNodeByPath("kind"), kind);
    EXPECT_EQ(doc.FindNodeByPath("Kind"), nullptr);  // tag names in paths are lower case
    EXPECT_NE(doc.FindNodeByPath("MeshTable\\default\\mesh"), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("meshtable\\default\\mesh"), nullptr);  // container names as written
    EXPECT_EQ(doc.FindNodeByPath("\\MeshTable\\"), doc.FindNodeByPath("MeshTable"));
    EXPECT_EQ(doc.FindNodeByPath(""), nullptr);
    EXPECT_EQ(doc.FindNodeByPath("config.txt"), doc.Root());
    EXPECT_EQ(doc.FindNodeByPath("\\"), doc.Root());
    EXPECT_EQ(doc.FindNodeByPath("kind\\\\x"), nullptr);

    EXPECT_EQ(doc.NodePath(doc.FindNodeByPath("MeshTable\\default")), "config.txt\\MeshTable\\default\\");
    EXPECT_EQ(doc.NodePath(doc.FindNodeByPath("MeshTable\\default\\mesh")), "config.txt\\MeshTable\\default\\mesh");
    EXPECT_EQ(doc.NodePath(doc.Root()), "config.txt\\");
    EXPECT_EQ(doc.RelativeNodePath(kind), "kind");
    EXPECT_EQ(doc.GetValueByPath("username"), "Shunter");
    EXPECT_EQ(doc.GetValueByPath("nothing"), "");
    std::vector<std::string> names{"stale"};
    doc.ListChildNames("\\", names);
    EXPECT_EQ(names, (std::vector<std::string>{"kuid", "kind", "username", "MeshTable", "thumbnails"}));
    EXPECT_EQ(doc.FindParentNodeByPath("thumbnails\\0\\image"), doc.FindNodeByPath("thumbnails\\0"));
    EXPECT_EQ(doc.FindParentNodeByPath("config.txt"), nullptr);
    EXPECT_EQ(doc.FindSiblingByName(kind, "username"), doc.FindNodeByPath("username"));
    EXPECT_EQ(LastPathElement("\\thumbnails\\0\\"), "0");
    EXPECT_TRUE(TOutlineDocument::IsTag(kind));
    EXPECT_TRUE(TOutlineDocument::IsContainer(doc.FindNodeByPath("thumbnails")));
    EXPECT_FALSE(TOutlineDocument::IsTag(doc.Root()) || TOutlineDocument::IsContainer(doc.Root()));
}

TEST(OutlinePaths, PathsStopAtTwentyFiveParts) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    std::string path = "config.txt";
    for (int i = 1; i <= 25; ++i) path += "\\c" + std::to_string(i);
    ASSERT_NE(doc.SetTagByPath(path + "\\", ""), nullptr);  // only 24 containers are made
    EXPECT_EQ(doc.LineCount(), 24u);
    const TOutlineNode* deepest = doc.FindNodeByPath(path);  // the 26th part is dropped
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(deepest->Text(), "c24");
    EXPECT_EQ(deepest->Level(), 24);
}

TEST(OutlineFlags, ImageIndexEncoding) {
    const std::pair<int, int> cases[] = {
        {0, 1}, {nfModified, 2}, {nfTagged, 3}, {nfTagged | nfModified, 4}, {nfComment, 5},
        {nfDelete, 9}, {nfError, 17}, {kAllNodeFlags, 32},
    };
    for (const auto& [flags, index] : cases) {
        EXPECT_EQ(FlagsToImageIndex(flags), index) << flags;
        EXPECT_EQ(ImageIndexToFlags(index), flags) << index;
    }
    for (int none : {-1, 0, 1}) EXPECT_EQ(ImageIndexToFlags(none), 0) << none;
}

TEST(OutlineFlags, TagMarksSpreadAndStayWhileASiblingIsTagged) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kSample);
    TOutlineNode* mesh = doc.FindNodeByPath("MeshTable\\default\\mesh");
    TOutlineNode* autoCreate = doc.FindNodeByPath("MeshTable\\default\\auto-create");
    TOutlineNode* table = doc.FindNodeByPath("MeshTable");
    doc.ToggleMark(mesh, tmTag, false);
    doc.ToggleMark(autoCreate, tmTag, false);
    EXPECT_TRUE(table->HasFlag(nfTagged) && doc.Root()->HasFlag(nfTagged));
    EXPECT_EQ(doc.TaggedCount(), 5);

    doc.ToggleMark(mesh, tmTag, false);  // its sibling is still tagged
    EXPECT_FALSE(mesh->HasFlag(nfTagged));
    EXPECT_TRUE(table->HasFlag(nfTagged));
    doc.ToggleMark(autoCreate, tmTag, false);
    EXPECT_FALSE(table->HasFlag(nfTagged) || doc.Root()->HasFlag(nfTagged));
    EXPECT_EQ(doc.TaggedCount(), 0);

    doc.ToggleMark(table, tmTag, false);  // children and parents
    EXPECT_TRUE(mesh->HasFlag(nfTagged) && doc.Root()->HasFlag(nfTagged));
    doc.ToggleMark(table, tmTag, true);  // the node alone
    EXPECT_FALSE(table->HasFlag(nfTagged));
    EXPECT_TRUE(mesh->HasFlag(nfTagged));
    EXPECT_EQ(doc.CountMarks(), doc.TaggedCount());
    EXPECT_FALSE(doc.Modified());  // tag marks are no change of the config
}

TEST(OutlineFlags, CommentAndDeletionMarksExcludeEachOther) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kSample);
    TOutlineNode* table = doc.FindNodeByPath("MeshTable");
    TOutlineNode* mesh = doc.FindNodeByPath("MeshTable\\default\\mesh");

    doc.ToggleMark(table, tmDelete, false);
    EXPECT_TRUE(TOutlineDocument::IsDeleteMarked(mesh));
    EXPECT_EQ(doc.DeleteCount(), 4);
    EXPECT_FALSE(doc.Modified());
    doc.ToggleMark(table, tmComment, false);  // comment clears the deletion mark
    EXPECT_TRUE(TOutlineDocument::IsComment(mesh));
    EXPECT_FALSE(TOutlineDocument::IsDeleteMarked(mesh));
    EXPECT_EQ(doc.DeleteCount(), 0);
    EXPECT_TRUE(doc.Modified());
    doc.ToggleMark(table, tmDelete, false);  // and back
    EXPECT_TRUE(TOutlineDocument::IsDeleteMarked(mesh));
    EXPECT_FALSE(TOutlineDocument::IsComment(mesh));
    doc.ToggleMark(table, tmDelete, false);
    EXPECT_EQ(mesh->Flags(), 0);
    doc.ToggleMark(mesh, tmNone, false);
    EXPECT_EQ(mesh->Flags(), 0);
}

TEST(OutlineFlags, LongWalksReportProgressAndStop) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    std::string text = "kind x\nbig\n{\n";
    for (int i = 0; i < 300; ++i) text += "t" + std::to_string(i) + " 1\n";
    LoadText(bed, doc, text + "}\n");
    std::size_t calls = 0, total = 0;
    doc.Progress = [&](std::size_t done, std::size_t all) {
        total = all;
        return ++calls < 100 && done > 0;
    };
    doc.ToggleMark(doc.FindNodeByPath("big"), tmTag, false);
    EXPECT_EQ(total, 300u);
    EXPECT_EQ(calls, 100u);
    EXPECT_EQ(doc.TaggedCount(), 1 + 100 + 1);  // the node, the children before Escape, the root
}

TEST(OutlineStructure, DeleteNodeAsksFirst) {
    const struct {
        const char* path;
        const char* question;
    } cases[] = {
        {"username", "Delete Tag?"},
        {"MeshTable", "Delete Container && Contents?"},
        {"empty", "Delete Empty Container?"},
    };
    for (const auto& c : cases) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        LoadText(bed, doc, std::string(kSample) + "empty\n{\n}\n");
        bed.messages.answers = {Answer::No, Answer::Yes};
        EXPECT_FALSE(doc.DeleteNode(doc.FindNodeByPath(c.path), true));
        EXPECT_NE(doc.FindNodeByPath(c.path), nullptr);
        EXPECT_FALSE(doc.Modified());
        EXPECT_TRUE(doc.DeleteNode(doc.FindNodeByPath(c.path), true));
        EXPECT_EQ(doc.FindNodeByPath(c.path), nullptr) << c.path;
        EXPECT_EQ(bed.messages.messages, (std::vector<std::string>{c.question, c.question}));
        EXPECT_TRUE(doc.Modified());
        EXPECT_TRUE(doc.Root()->HasFlag(nfModified));
        EXPECT_TRUE(doc.CanUndo());
    }
}

TEST(OutlineStructure, DeletingTheLastChildKeepsTheBraces) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\nlist\n{\n  only 1\n}\n");
    ASSERT_TRUE(doc.DeleteByPath("list\\only", false));
    EXPECT_EQ(doc.NodePath(doc.FindNodeByPath("list")), "config.txt\\list\\");
    EXPECT_EQ(doc.ConfigFileText(), "kind" + std::string(38, ' ') + "x\r\nlist {\r\n}\r\n");
}

TEST(OutlineStructure, DeletionCallbacks) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    RecordingObserver observer;
    doc.SetObserver(&observer);
    LoadText(bed, doc, "kind x\ntrainz-build 2.9\nbridge 1\nplain 1\n");
    doc.DeleteByPath("plain", false);
    EXPECT_EQ(bed.Sent(ccConfigEdited), 0);
    doc.DeleteByPath("bridge", false);
    EXPECT_EQ(bed.Sent(ccConfigEdited), 1);  // a track-type tag re-classifies the asset
    doc.DeleteByPath("trainz-build", false);
    EXPECT_EQ(observer.events.back(), "trainz-build");
    EXPECT_EQ(observer.open, 0);
}

TEST(OutlineStructure, DeleteTaggedKeepsIdentityAndMarkedNodes) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    RecordingHooks hooks;
    doc.SetHooks(&hooks);
    LoadText(bed, doc, std::string(kSample) + "commented 1\ndoomed 1\nkeep 1\n");
    doc.ToggleMark(doc.FindNodeByPath("commented"), tmComment, false);
    for (TOutlineNode* n = doc.Root(); n; n = n->NextRow())
        if (n->Name() != "keep") doc.SetNodeFlags(n, nfTagged, 0);
    bed.messages.answers = {Answer::No};
    EXPECT_FALSE(doc.DeleteTagged(false));
    EXPECT_EQ(doc.LineCount(), 13u);
    EXPECT_TRUE(doc.DeleteTagged(false));
    std::vector<std::string> names;
    doc.ListChildNames("\\", names);
    EXPECT_EQ(names, (std::vector<std::string>{"kuid", "kind", "username", "commented", "keep"}));
    EXPECT_FALSE(doc.Root()->HasFlag(nfTagged));
    EXPECT_EQ(hooks.analyses, 2);
    EXPECT_EQ(bed.messages.messages.back(), "Delete Tagged Items?");
}

TEST(OutlineStructure, MoveNodeAtTheEdges) {
    const struct {
        const char* what;
        const char* node;
        int mode;
        const char* order;   // top-level names after the move
        const char* select;  // text of the node to select, "" for none
    } cases[] = {
        {"top of the first", "a", mmTop, "a b c box", "a 1"},
        {"top", "c", mmTop, "c a b box", "c 3"},
        {"up from the second", "b", mmUp, "b a c box", "b 2"},
        {"up from the first", "a", mmUp, "a b c box", "a 1"},
        {"down from the last but one", "c", mmDown, "a b box c", "c 3"},
        {"down from the last", "box", mmDown, "a b c box", "box"},
        {"bottom", "a", mmBottom, "b c box a", "a 1"},
        {"demote into the container below", "c", mmDemote, "a b box", "b 2"},
        {"demote onto a tag", "a", mmDemote, "a b c box", ""},
        {"demote the last", "box", mmDemote, "a b c box", ""},
        {"promote a top-level tag", "a", mmPromote, "a b c box", ""},
        {"promote from the container", "box\\in1", mmPromote, "a b c in1 box", "in2 2"},
    };
    for (const auto& c : cases) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        LoadText(bed, doc, "a 1\nb 2\nc 3\nbox\n{\n  in1 1\n  in2 2\n}\nkind x\n");
        doc.DeleteByPath("kind", false);
        doc.SetModified(false);
        TOutlineNode* selected = doc.MoveNode(doc.FindNodeByPath(c.node), c.mode);
        EXPECT_EQ(TopLevel(doc), c.order) << c.what;
        EXPECT_EQ(selected ? selected->Text() : "", c.select) << c.what;
        EXPECT_EQ(doc.Modified(), selected != nullptr) << c.what;
    }
}

TEST(OutlineStructure, PromoteAndEmptyKeepContainers) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    RecordingObserver observer;
    doc.SetObserver(&observer);
    LoadText(bed, doc, "kind x\nbox\n{\n  in1 1\n  in2 2\n}\nother\n{\n  x 1\n}\n");
    doc.PromoteContents(doc.FindNodeByPath("box"));
    EXPECT_EQ(TopLevel(doc), "kind in1 in2 box other");
    EXPECT_TRUE(doc.FindNodeByPath("box")->HasChildren());
    EXPECT_TRUE(doc.FindNodeByPath("in1")->HasFlag(nfModified));

    doc.EmptyContainer(doc.FindNodeByPath("other"));
    EXPECT_EQ(doc.FindNodeByPath("other")->ChildCount(), 0u);
    EXPECT_EQ(doc.NodePath(doc.FindNodeByPath("other")), "config.txt\\other\\");
    EXPECT_TRUE(doc.FindNodeByPath("other")->HasFlag(nfModified));
    EXPECT_EQ(observer.open, 0);
    EXPECT_EQ(observer.events.back(), "remove x 1");
}

// The line count is kept as nodes come and go rather than counted: after every kind of change it is
// still the number of rows below the root.
TEST(OutlineStructure, TheLineCountFollowsEveryChange) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    const auto rows = [&doc] { return doc.Root() ? doc.Root()->SubtreeRows() - 1 : 0; };
    LoadText(bed, doc, std::string(kSample) + "box\n{\n  in1 1\n  in2 2\n}\ndoomed 1\n");
    EXPECT_EQ(doc.LineCount(), rows());
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"a tag and two containers made by path", [&] { doc.SetTagByPath("config.txt\\new\\deeper\\tag", "1"); }},
        {"a container deleted with its contents", [&] { doc.DeleteNodeNow(doc.FindNodeByPath("MeshTable"), true); }},
        {"the deletion undone", [&] { doc.UndoLastChange(); }},
        {"a tag moved into a container", [&] { doc.MoveNode(doc.FindNodeByPath("username"), mmBottom); }},
        {"contents promoted", [&] { doc.PromoteContents(doc.FindNodeByPath("box")); }},
        {"a container emptied", [&] { doc.EmptyContainer(doc.FindNodeByPath("thumbnails")); }},
        {"a tag deleted", [&] { doc.DeleteByPath("doomed", false); }},
        {"the tree copied from another", [&] {
             TOutlineDocument other(bed.state);
             LoadText(bed, other, "kind x\nbox\n{\n  a 1\n}\n", "other");
             doc.CopyTreeFrom(other);
         }},
        {"the outline cleared", [&] { doc.ClearOutline(); }},
    };
    for (const auto& [what, change] : changes) {
        change();
        EXPECT_EQ(doc.LineCount(), rows()) << what;
        EXPECT_EQ(doc.RowCount(), doc.Root() ? rows() + 1 : 0) << what;
    }
    EXPECT_EQ(doc.ConfigStatusText(), "");
}

TEST(OutlineStructure, ObserverHearsMovesInQtTerms) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    RecordingObserver observer;
    LoadText(bed, doc, "a 1\nb 2\nc 3\nkind x\n");
    doc.SetObserver(&observer);
    doc.MoveNode(doc.FindNodeByPath("a"), mmDown);    // rows 0 -> 1: Qt names the row after it
    doc.MoveNode(doc.FindNodeByPath("kind"), mmTop);  // rows 3 -> 0
    EXPECT_EQ(observer.events, (std::vector<std::string>{"move a 1@2", "move kind x@0"}));
}

TEST(OutlineStructure, InPlaceEditStoresTheTypedText) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\nname \"a\"\nbox\n{\n}\n");
    TOutlineNode* node = doc.FindNodeByPath("name");
    EXPECT_TRUE(doc.EditNodeText(node, "Name \"a {b}\""));
    EXPECT_EQ(node->Text(), "Name \"a (b)\"");
    EXPECT_TRUE(node->HasFlag(nfModified) && doc.Modified());
    EXPECT_FALSE(doc.EditNodeText(node, "  "));
    EXPECT_FALSE(doc.EditNodeText(doc.Root(), "x"));
    EXPECT_FALSE(doc.EditNodeText(doc.FindNodeByPath("box"), "box 1"));
    EXPECT_EQ(bed.messages.messages.back(), "Container value must be empty");
    EXPECT_TRUE(doc.EditNodeText(doc.FindNodeByPath("box"), "Box"));
    EXPECT_EQ(doc.ConfigFileText(), "kind" + std::string(38, ' ') + "x\r\nName" + std::string(38, ' ') +
                                         "\"a (b)\"\r\nBox {\r\n}\r\n");
}

}  // namespace
}  // namespace kelvarn
