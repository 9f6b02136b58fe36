#include <gtest/gtest.h>

#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/Walnut.h"
#include "ConfigTestSupport.h"
#include "shell/Files.h"
#include "shell/Text.h"
#include "shell/SettingsKeys.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;
using test::Rows;
using test::TopLevel;

// --- SortOrder.txt

struct SortCase {
    const char* name;
    std::vector<std::string> lines;
    const char* config;
    const char* expected;
};

TEST(ReorderConfig, SeparatorsAndGroups) {
    const SortCase cases[] = {
        {"no separator: every name to the top in file order", {"kind", "kuid"}, "a 1\nkuid 2\nb 3\nkind 4\n",
         "kind kuid a b"},
        {"'>' later: alphabetic first, then top and bottom groups", {"kuid", "kind", ">", "thumbnails", "b"},
         "zeta 1\nkind 2\nalpha 3\nthumbnails\n{\n}\nkuid 4\nb 5\n", "kuid kind alpha zeta thumbnails b"},
        {"'>' on the first line is no separator: '@' is, and nothing is sorted", {">", "kind", "@", "a"},
         "z 1\na 2\nkind 3\nm 4\n", "kind z m a"},
        {"'@': no sort", {"kind", "@", "z"}, "z 1\nb 2\nkind 3\na 4\n", "kind b a z"},
        {"absent names and empty lines are skipped", {"", "nothing", "kind", "  ", "@", "", "gone"},
         "b 1\nkind 2\n", "kind b"},
        {"names match ignoring case", {"MESH-TABLE", "Kind"}, "a 1\nkind 2\nMesh-Table\n{\n}\n", "Mesh-Table kind a"},
        {"a name twice in the file: its first line wins", {"b", "a", "b"}, "a 1\nb 2\nkind 3\n", "b a kind"},
    };
    for (const SortCase& c : cases) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        LoadText(bed, doc, c.config);
        ReorderConfig(doc, ParseSortOrder(c.lines));
        EXPECT_EQ(TopLevel(doc), c.expected) << c.name;
    }
}

TEST(ReorderConfig, FirstOfTwoSameNamedNodesMovesAndSubtreesTravel) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind 1\ngroup\n{\n  a 1\n}\ny 2\ngroup\n{\n  b 2\n}\n");
    doc.SetModified(false);
    EXPECT_TRUE(ReorderConfig(doc, ParseSortOrder({"@", "group"})));
    EXPECT_EQ(Rows(doc.Root()), (std::vector<std::string>{"0|config.txt", "1|kind 1", "1|y 2", "1|group", "2|b 2",
                                                           "1|group", "2|a 1"}));
    EXPECT_TRUE(doc.Modified());
    // An order that changes nothing leaves the document unmodified.
    doc.SetModified(false);
    EXPECT_FALSE(ReorderConfig(doc, ParseSortOrder({"kind"})));
    EXPECT_FALSE(doc.Modified());
}

TEST(ReorderConfig, FromTheProgramFolderAtEveryLoad) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    TWalnut walnut(bed.state);
    TOutlineCommandHooks hooks(bed.state, walnut);
    doc.SetHooks(&hooks);
    // No SortOrder.txt: the file order stays.
    LoadText(bed, doc, "b 1\nkind scenery\nkuid <kuid:1:2>\n");
    EXPECT_EQ(TopLevel(doc), "b kind kuid");
    test::WriteBytes(bed.dir / "program/bin/SortOrder.txt", "kuid\r\nkind\r\n@\r\nb\r\n");
    LoadText(bed, doc, "b 1\nkind scenery\nkuid <kuid:1:2>\n", "other");
    EXPECT_EQ(TopLevel(doc), "kuid kind b");
    EXPECT_FALSE(doc.Modified());
}

TEST(AlphaSort, ByTextIgnoringCaseStable) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind x\nlist\n{\n  b 2\n  Zed\n  {\n  }\n  B 2\n  a 9\n  c 0\n}\n");
    TOutlineNode* list = doc.FindNodeByPath("list");
    EXPECT_TRUE(AlphaSortChildren(doc, list));
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"1|list", "2|a 9", "2|b 2", "2|B 2", "2|c 0", "2|Zed"}));
    EXPECT_TRUE(doc.Modified());
    EXPECT_FALSE(AlphaSortChildren(doc, list));  // already sorted
}

// --- kind analysis

struct KindCase {
    const char* config;
    const char* kind;
    std::int32_t build;
    const char* expected;
};

TEST(AnalyseKind, Table) {
    const KindCase cases[] = {
        {"kind engine\nbogey <kuid:1:2>\n", "", 29, "traincar"},
        {"bogey-0 <kuid:1:2>\n", "", 29, "traincar"},
        {"bogey-1 <kuid:1:2>\n", "", 29, "traincar"},
        {"bogeys\n{\n}\n", "", 29, "traincar"},
        {"kind \"Engine\"\n", "", 29, "engine"},
        {"kind \"\"\nusername x\n", "", 29, "scenery"},
        {"kind scenery\ntrackside 2\n", "", 29, "scenery-trackside"},
        {"kind scenery\n", "", 29, "scenery"},
        {"kind \"\"\ntrackside 2\n", "", 29, "scenery-trackside"},  // no kind: scenery, then trackside
        {"kind bridge\nheight 5\n", "", 29, "tunnel"},
        {"kind bridge\nheight -3.5\n", "", 29, "bridge"},
        {"kind bridge\nheight 0\n", "", 29, "double-track"},
        {"kind bridge\n", "", 29, "double-track"},
        {"kind bridge\nheight high\n", "", 29, "double-track"},
        {"kind track\nmesh-table\n{\n}\n", "", 28, "track"},
        {"kind track\ntrack\n{\n}\n", "", 28, "track"},
        {"kind track\nchunky-info 1\n", "", 29, "chunky-track"},
        {"kind track\nchunky-mesh \"a.im\"\n", "", 29, "chunky-track"},
        {"kind track\nunit-mesh \"a.im\"\n", "", 29, "mesh-reducing-track"},
        {"kind track\n", "", 28, "itrack"},
        {"kind track\n", "", 29, "track"},
        // The caller's kind is taken over the config's, unquoted and in lower case.
        {"kind scenery\nheight 3\n", "\"Bridge\"", 29, "tunnel"},
    };
    for (const KindCase& c : cases) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        LoadText(bed, doc, c.config);
        EXPECT_EQ(AnalyseKind(doc, c.kind, c.build), c.expected) << c.config << " / " << c.kind;
    }
}

TEST(AnalyseKind, BuildFromTheConfigElseTheActiveBuild) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    bed.state.SetActiveBuild(35);
    LoadText(bed, doc, "kind track\ntrainz-build 2.8\n");
    EXPECT_EQ(KindAnalysisBuild(doc), 28);
    LoadText(bed, doc, "kind track\n", "b");
    EXPECT_EQ(KindAnalysisBuild(doc), 35);
    LoadText(bed, doc, "kind track\ntrainz-build \"new\"\n", "c");
    EXPECT_EQ(KindAnalysisBuild(doc), 35);
}

TEST(AnalyseKind, HookShowsTheKindInPanelFourAndLoadsItsTagDefinitions) {
    ConfigTestBed bed;
    test::WriteBytes(bed.dir / "program/bin/tags.xml",
                     "<TAGS><KIND><unknown/><tunnel inherit=\"BRIDGE\"/></KIND><USER-TAGS/><BASE-ASSET>"
                     "<kind format=\"string\"/></BASE-ASSET><BRIDGE><height format=\"float\"/></BRIDGE></TAGS>");
    TOutlineDocument doc(bed.state);
    TWalnut walnut(bed.state);
    TOutlineCommandHooks hooks(bed.state, walnut);
    doc.SetHooks(&hooks);
    LoadText(bed, doc, "kind bridge\nheight 4\n");
    EXPECT_EQ(hooks.AnalysedKind(), "tunnel");
    EXPECT_EQ(walnut.Kind(), "tunnel");
    EXPECT_EQ(bed.state.KindChain, "USER-TAGS,BASE-ASSET,BRIDGE");
    bool shown = false;
    for (const auto& s : bed.bus.sent) shown = shown || (s.first == ccStatusText && s.second == "4|tunnel");
    EXPECT_TRUE(shown);
    // The tag definitions now decide how values are written: height is a number of its own.
    bool found = false;
    doc.Hooks().FindSpecNode("config.txt\\height", found);
    EXPECT_TRUE(found);
}

// --- kind defaults

struct DefaultsCase {
    const char* chosen;
    const char* config;
    const char* stored;
    std::vector<std::string> rows;  // the top-level rows afterwards
};

TEST(TagDefaults, Table) {
    const DefaultsCase cases[] = {
        {"chunky-track", "kind track\nunit-mesh \"u.im\"\nchunky-mesh \"c.im\"\n", "track",
         {"kind track", "chunky-mesh \"c.im\"", "chunky-info \"0,2,1.2,0.2,0.85,0.3,0.7\""}},
        {"double-track", "kind track\nheight 4\n", "bridge", {"kind track", "height \"0.0\""}},
        {"itrack", "kind track\nunit-mesh \"u\"\nchunky-mesh \"c\"\nchunky-info 1\nx 1\n", "track", {"kind track", "x 1"}},
        {"obsolete-track", "kind track\nchunky-info 1\n", "track", {"kind track"}},
        {"mesh-reducing-track", "kind track\nchunky-mesh \"c\"\nchunky-info 1\n", "track",
         {"kind track", "unit-mesh \"*VALUE REQUIRED*\""}},
        {"mesh-reducing-track", "kind track\nunit-mesh \"u.im\"\n", "track", {"kind track", "unit-mesh \"u.im\""}},
        {"scenery-trackside", "kind scenery\n", "scenery", {"kind scenery", "trackside \"0.0\""}},
        {"scenery-trackside", "kind scenery\ntrackside 3\n", "scenery", {"kind scenery", "trackside 3"}},
        {"tunnel", "kind bridge\nheight -2\n", "bridge", {"kind bridge", "height \"8.0\""}},
        {"tunnel", "kind bridge\nheight 3\n", "bridge", {"kind bridge", "height 3"}},
        {"bridge", "kind bridge\nheight 3\n", "bridge", {"kind bridge", "height \"-8.0\""}},
        {"bridge", "kind bridge\nheight -1\n", "bridge", {"kind bridge", "height -1"}},
        {"scenery", "kind scenery\ntrackside 3\n", "scenery", {"kind scenery"}},
        {"traincar", "kind scenery\n", "traincar", {"kind scenery"}},
    };
    for (const DefaultsCase& c : cases) {
        ConfigTestBed bed;
        TOutlineDocument doc(bed.state);
        LoadText(bed, doc, c.config);
        EXPECT_EQ(TagDefaults(doc, c.chosen), c.stored) << c.chosen;
        std::vector<std::string> rows;
        for (std::size_t i = 0; i < doc.Root()->ChildCount(); ++i) rows.push_back(doc.Root()->Child(i)->Text());
        EXPECT_EQ(rows, c.rows) << c.chosen << " on " << c.config;
    }
}

TEST(TagDefaults, DeletionsCanBeUndoneAndSplineSaysSo) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind track\nunit-mesh \"u\"\nchunky-info 1\n");
    TagDefaults(doc, "itrack");
    EXPECT_EQ(doc.UndoStack().Depth(), 2);
    ASSERT_TRUE(doc.UndoLastChange());
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(TopLevel(doc), "kind unit-mesh chunky-info");

    EXPECT_EQ(TagDefaults(doc, "spline"), "spline");
    EXPECT_TRUE(bed.Said("spline"));
}

// --- KUID increment

struct KuidCase {
    const char* userId;  // nullptr: no setting
    const char* config;
    const char* message;
    const char* kuid;  // the kuid node's text afterwards
};

TEST(IncrementKuid, Table) {
    const KuidCase cases[] = {
        {"604117", "kuid <kuid:604117:1001>\n", "", "kuid <kuid2:604117:1001:1>"},
        {"604117", "kuid <kuid2:604117:1001:2>\n", "", "kuid <kuid2:604117:1001:3>"},
        {"604117", "kuid <KUID2:604117:1001:x>\n", "", "kuid <kuid2:604117:1001:1>"},
        {"604117", "kuid <kuid:999:1001>\n", "UserID does not match: You can only update your own assets",
         "kuid <kuid:999:1001>"},
        {"0", "kuid <kuid:604117:1001>\n",
         "Your UserID is unknown: Select 'Options/Preferences' to update programme configuration",
         "kuid <kuid:604117:1001>"},
        {nullptr, "kuid <kuid:604117:1001>\n",
         "Your UserID is unknown: Select 'Options/Preferences' to update programme configuration",
         "kuid <kuid:604117:1001>"},
        {"604117", "kuid 604117:1001\n", "Tag Format is invalid", "kuid 604117:1001"},
        {"604117", "kuid <kuid2:604117:1001:99999999999>\n", "Tag Format is invalid",
         "kuid <kuid2:604117:1001:99999999999>"},
        {"604117", "username \"x\"\n", "KUID tag not found", nullptr},
    };
    for (const KuidCase& c : cases) {
        ConfigTestBed bed;
        if (c.userId) WriteSetting(bed.state.Settings(), keys::UserID, c.userId);
        TOutlineDocument doc(bed.state);
        LoadText(bed, doc, std::string("kind scenery\n") + c.config);
        EXPECT_EQ(IncrementKuid(doc, nullptr, true), c.message) << c.config;
        if (c.kuid) {
            EXPECT_EQ(doc.FindNodeByPath("kuid")->Text(), c.kuid) << c.config;
        }
        EXPECT_EQ(doc.Modified(), *c.message == 0) << c.config;
        EXPECT_EQ(doc.UndoStack().Depth(), *c.message == 0 ? 1 : 0) << c.config;
    }
}

TEST(IncrementKuid, AGivenNodeAndNoSnapshot) {
    ConfigTestBed bed;
    WriteSetting(bed.state.Settings(), keys::UserID, "12");
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kuid <kuid:12:1>\nkuid-table\n{\n  0 <kuid:12:5>\n}\n");
    TOutlineNode* entry = doc.FindNodeByPath("kuid-table\\0");
    EXPECT_EQ(IncrementKuid(doc, entry, false), "");
    EXPECT_EQ(entry->Text(), "kuid <kuid2:12:5:1>");
    EXPECT_TRUE(entry->HasFlag(nfModified));
    EXPECT_EQ(doc.UndoStack().Depth(), 0);
}

// --- copy and paste

const char* const kCopyConfig =
    "kind traincar\n"
    "mesh-table\n{\n"
    "  default\n  {\n    mesh \"a.im\"\n    auto-create 1\n    effects\n    {\n    }\n    anim\n  }\n"
    "}\n"
    "thumbnails\n{\n  0\n  {\n    image \"t.jpg\"\n  }\n}\n"
    "username \"Box\"\n";

TEST(CopyPaste, ACopiedContainerHoldsItsOwnSubtreeOnly) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kCopyConfig);
    TCopyList list;
    CopyNode(doc, doc.FindNodeByPath("mesh-table\\default"), list);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{
                                "*Con:2", "config.txt\\mesh-table\\default\\=", "config.txt\\mesh-table\\default\\mesh=\"a.im\"",
                                "config.txt\\mesh-table\\default\\auto-create=1",
                                "config.txt\\mesh-table\\default\\effects\\=", "config.txt\\mesh-table\\default\\anim=\"\""}));
    CopyNode(doc, doc.FindNodeByPath("username"), list);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"*Tag:1", "config.txt\\username=\"Box\""}));
    CopyNode(doc, doc.Root(), list);
    EXPECT_TRUE(list.Empty());
}

TEST(CopyPaste, ContainerBesideASameNamedSiblingPastedTwice) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, kCopyConfig);
    TCopyList list;
    CopyNode(doc, doc.FindNodeByPath("mesh-table\\default"), list);
    TOutlineNode* anchor = doc.FindNodeByPath("mesh-table\\default");
    ASSERT_TRUE(PasteNodes(doc, anchor, list));
    ASSERT_TRUE(PasteNodes(doc, anchor, list));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.UndoStack().Depth(), 2);
    const std::string block =
        "  default {\r\n"
        "    mesh                                  \"a.im\"\r\n"
        "    auto-create                           1\r\n"
        "    effects {\r\n"
        "    }\r\n"
        "    anim                                  \"\"\r\n"
        "  }\r\n";
    EXPECT_EQ(doc.ConfigFileText(), "kind                                      traincar\r\n"
                                    "mesh-table {\r\n" +
                                        block + block + block +
                                        "}\r\n"
                                        "thumbnails {\r\n"
                                        "  0 {\r\n"
                                        "    image                                 \"t.jpg\"\r\n"
                                        "  }\r\n"
                                        "}\r\n"
                                        "username                                  \"Box\"\r\n");
    // Every pasted node is marked modified; the original is not.
    EXPECT_TRUE(doc.Root()->Child(1)->Child(0)->HasFlag(nfModified));
    EXPECT_TRUE(doc.Root()->Child(1)->Child(1)->Child(3)->HasFlag(nfModified));
    EXPECT_FALSE(anchor->HasFlag(nfModified));
    // Undo takes one paste back.
    ASSERT_TRUE(doc.UndoLastChange());
    EXPECT_EQ(doc.FindNodeByPath("mesh-table")->ChildCount(), 2u);
}

TEST(CopyPaste, TaggedBlocksAndValueKinds) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc,
             "kind scenery\nsmoke0\n{\n  rate 12\n  colour 255,0,0\n  texture \"s.tga\"\n  note hello\n  kuid <kuid:1:2>\n  "
             "empty\n}\nsmoke1\n{\n  rate 3\n}\nusername \"x\"\n");
    TOutlineNode* smoke0 = doc.FindNodeByPath("smoke0");
    TOutlineNode* smoke1 = doc.FindNodeByPath("smoke1");
    doc.ToggleMark(smoke0, tmTag, true);
    doc.ToggleMark(doc.FindNodeByPath("username"), tmTag, true);
    doc.ToggleMark(smoke0->Child(0), tmTag, true);  // a deeper level is not copied
    TCopyList list;
    CopyTaggedNodes(doc, smoke1, list, [](const TOutlineNode*) { return true; });
    ASSERT_EQ(list.Count(), 2u);
    ASSERT_TRUE(PasteNodes(doc, doc.FindNodeByPath("kind"), list));
    // Inside a pasted container values take the automatic kind (numbers and KUIDs bare, texts quoted);
    // a copied tag keeps its text.
    EXPECT_EQ(Rows(doc.Root()), (std::vector<std::string>{
                                    "0|config.txt", "1|smoke0", "2|rate 12", "2|colour 255,0,0", "2|texture \"s.tga\"",
                                    "2|note \"hello\"", "2|kuid <kuid:1:2>", "2|empty \"\"", "1|username \"x\"",
                                    "1|kind scenery", "1|smoke0", "2|rate 12", "2|colour 255,0,0",
                                    "2|texture \"s.tga\"", "2|note hello", "2|kuid <kuid:1:2>", "2|empty \"\"",
                                    "1|smoke1", "2|rate 3", "1|username \"x\""}));
    // Only visible rows are copied.
    CopyTaggedNodes(doc, smoke1, list, [&](const TOutlineNode* n) { return n->Text() != "username \"x\""; });
    EXPECT_EQ(list.Count(), 1u);
}

TEST(CopyPaste, NamesAsWrittenAndCommentMarksSurvive) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind scenery\nkuid-table\n{\n  PermitManagerRule <kuid:1:2>\n;Old <kuid:3:4>\n}\n;Hidden \"x\"\n");
    TCopyList list;
    CopyNode(doc, doc.FindNodeByPath("kuid-table"), list);
    ASSERT_TRUE(PasteNodes(doc, doc.FindNodeByPath("kind"), list));
    CopyNode(doc, doc.Root()->LastChild(), list);
    ASSERT_TRUE(PasteNodes(doc, doc.FindNodeByPath("kind"), list));
    std::vector<std::string> rows;
    WalkRows(doc.Root(), [&](TOutlineNode* n, int level) {
        rows.push_back(std::to_string(level) + (n->HasFlag(nfComment) ? ";" : "|") + n->Text());
    });
    EXPECT_EQ(rows, (std::vector<std::string>{"0|config.txt", "1|kuid-table", "2|PermitManagerRule <kuid:1:2>",
                                              "2;Old <kuid:3:4>", "1;Hidden \"x\"", "1|kind scenery", "1|kuid-table",
                                              "2|PermitManagerRule <kuid:1:2>", "2;Old <kuid:3:4>", "1;Hidden \"x\""}));
}

TEST(CopyPaste, EmptyContainersAndEmptyTagsSurvive) {
    ConfigTestBed bed;
    TOutlineDocument doc(bed.state);
    LoadText(bed, doc, "kind scenery\n");
    TOutlineNode* root = doc.Root();
    TOutlineNode* group = doc.InsertNode(root, 1, "group", true);
    doc.InsertNode(group, 0, "bare", false);
    TOutlineNode* inner = doc.InsertNode(group, 1, "inner", true);
    doc.InsertNode(inner, 0, "deep 1", false);
    doc.InsertNode(group, 2, "hollow", true);
    TCopyList list;
    CopyNode(doc, group, list);
    ASSERT_TRUE(PasteNodes(doc, doc.FindNodeByPath("kind"), list));
    EXPECT_EQ(Rows(doc.Root()->Child(0)),
              (std::vector<std::string>{"1|group", "2|bare", "2|inner", "3|deep 1", "2|hollow"}));
    EXPECT_TRUE(doc.Root()->Child(0)->Child(2)->ChildMark());
    EXPECT_FALSE(doc.Root()->Child(0)->Child(0)->ChildMark());
    // Nothing to paste, or nowhere to put it.
    TCopyList none;
    EXPECT_FALSE(PasteNodes(doc, doc.FindNodeByPath("kind"), none));
    EXPECT_FALSE(PasteNodes(doc, doc.Root(), list));
}

// --- a text view saving the config while the outline holds unsaved edits of it

struct TextSaveBed {
    ConfigTestBed bed;
    TOutlineDocument doc{bed.state};
    const std::string disc = "kuid <kuid:1:2>\r\nkind \"scenery\"\r\n";
    const std::string text = disc + "author \"Text\"\r\n";
    std::string file;
    TextSaveBed() {
        LoadText(bed, doc, disc);
        file = doc.ConfigFile();
    }
    std::vector<std::string> Backups() const {
        std::vector<std::string> found;
        FindFiles(bed.dir / "program/backup/*", "*config.txt*", found, false);
        return found;
    }
};

TEST(SettleTextSave, AsksOnlyAboutThisConfigsPendingEdits) {
    TextSaveBed t;
    EXPECT_TRUE(t.doc.SettleTextSave(t.file, t.text).write);
    t.doc.SetTagByPath("author", "Outline");
    EXPECT_TRUE(t.doc.SettleTextSave(t.bed.Asset("other", t.disc) + "/config.txt", t.text).write);
    EXPECT_TRUE(t.bed.messages.messages.empty());
    EXPECT_TRUE(t.Backups().empty());
    EXPECT_TRUE(t.doc.Modified());
}

// Whichever version takes the file, the other is the file's newest backup.
TEST(SettleTextSave, EitherAnswerKeepsBothVersions) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
        TextSaveBed t;
        t.doc.SetTagByPath("author", "Outline");
        const std::string outline = t.doc.ConfigFileBytes();
        t.bed.messages.answers = {answer};
        const TTextSaveVerdict verdict = t.doc.SettleTextSave(t.file, t.text);
        ASSERT_EQ(t.bed.messages.messages.size(), 1u);
        EXPECT_TRUE(StartsWith(t.bed.messages.messages[0], "The outline holds unsaved edits of " + t.file))
            << t.bed.messages.messages[0];
        EXPECT_EQ(verdict.error, "");
        const std::vector<std::string> backups = t.Backups();
        ASSERT_EQ(backups.size(), 1u);
        EXPECT_FALSE(t.doc.Modified());
        if (answer == Answer::Yes) {
            EXPECT_TRUE(verdict.write);
            EXPECT_EQ(test::ReadBytes(backups[0]), outline);
            EXPECT_EQ(test::ReadBytes(t.file), t.disc);  // the text view writes it next
            // Should that write fail, the outline's edits are pending again.
            ASSERT_TRUE(verdict.writeFailed);
            verdict.writeFailed();
            EXPECT_TRUE(t.doc.Modified());
        } else {
            EXPECT_FALSE(verdict.write);
            EXPECT_EQ(test::ReadBytes(backups[0]), t.text);
            EXPECT_EQ(test::ReadBytes(t.file), outline);
        }
    }
}

TEST(SettleTextSave, NoVersionIsWrittenWithoutTheOthersBackup) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
        TextSaveBed t;
        t.doc.SetTagByPath("author", "Outline");
        t.bed.messages.answers = {answer};
        const std::string backups = t.bed.dir / "program/backup";
        SetWriteFaultHook([&](const std::string& path) { return StartsWith(path, backups) ? std::size_t{0} : std::string::npos; });
        const TTextSaveVerdict verdict = t.doc.SettleTextSave(t.file, t.text);
        SetWriteFaultHook(nullptr);
        EXPECT_FALSE(verdict.write);
        EXPECT_TRUE(StartsWith(verdict.error, "Unable to back up")) << verdict.error;
        EXPECT_EQ(test::ReadBytes(t.file), t.disc);
        EXPECT_TRUE(t.doc.Modified());
    }
}

}  // namespace
}  // namespace kelvarn
