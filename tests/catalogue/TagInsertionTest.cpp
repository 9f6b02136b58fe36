#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "catalogue/TagInsertion.h"
#include "catalogue/Walnut.h"
#include "catalogue/WalnutHooks.h"
#include "shell/SettingsKeys.h"
#include "TagEditTestSupport.h"

namespace kelvarn {
namespace {

using test::ConfigTestBed;
using test::LoadText;
using test::Rows;
using test::WriteBytes;

using Lines = std::vector<std::string>;

constexpr std::string_view kTags = R"(<TAGS>
  <KIND><scenery inherit="SCENERY"/></KIND>
  <BASE-ASSET>
    <kind format="enum" source="$KIND"/>
    <username format="string"/>
    <description format="string" translate="1" default="none"/>
    <bogey-N format="container" sequence="3"><reverse format="bool"/></bogey-N>
    <bogey-0-r format="container"><x format="int"/></bogey-0-r>
    <bogeys format="container"><b format="int"/></bogeys>
    <kuid-table format="kuid-list" captions="Tag,KUID"/>
    <string-table format="string-list" captions="Tag,Text" default="x"/>
    <mesh-table format="container">
      <mesh-id format="container" display="mesh name"><mesh format="file"/><auto-create format="bool"/></mesh-id>
    </mesh-table>
  </BASE-ASSET>
  <SCENERY><trackside format="float" quoted="0" default="0"/></SCENERY>
  <MESH-TABLE><shadow/><default-night/></MESH-TABLE>
</TAGS>)";

// The chooser as a script: records what it offered, picks a name and edits its record.
class FakeChooser : public ITagChooser {
public:
    TOutlineDocument* doc = nullptr;
    std::string pick;
    std::function<void(TTagSpec&, Lines&)> edit;
    bool ok = true;
    std::string caption;
    Lines offered;
    Lines table;  // the CSV list the chooser's table page opened with
    std::optional<std::string> name;  // the answer of the name input
    Lines proposals;                  // what the name input proposed

    std::optional<std::string> AskTagName(const std::string&, const std::string& proposal) override {
        proposals.push_back(proposal);
        return name;
    }

    bool ChooseTag(const std::string& c, const TOutlineNode* container, const Lines& names, TTagSpec& record,
                   Lines& csv) override {
        caption = c;
        offered = names;
        record = ChooserRecord(*doc, container, pick, csv);
        table = csv;
        csv.clear();
        if (edit) edit(record, csv);
        return ok;
    }
};

struct InsertBed : ConfigTestBed {
    TWalnut walnut{state};
    TWalnutHooks hooks{walnut};
    TOutlineDocument doc{state};
    FakeChooser chooser;

    InsertBed() {
        WriteBytes(dir / "program/bin/tags.xml", kTags);
        state.SetActiveBuild(35);
        doc.SetHooks(&hooks);
        chooser.doc = &doc;
    }
    void Load(std::string_view text) { LoadText(*this, doc, text); }
    TOutlineNode* Node(std::string_view path) const { return doc.FindNodeByPath(path); }
    Lines Offered(std::string_view containerPath) {
        TOutlineNode* container = Node(containerPath);
        Lines allowed;
        walnut.ListAllowedTags(doc.NodePath(container), allowed);
        return FilterAvailableTags(doc, walnut, container, allowed);
    }
};

TEST(Insertion, OfferedNames) {
    const struct {
        const char* what;
        const char* config;
        const char* container;
        Lines names;
    } cases[] = {
        {"used names are absent; bogey-0 is never offered", "kind \"scenery\"\nusername \"u\"\n", "config.txt",
         {"description", "bogeys", "kuid-table", "string-table", "mesh-table", "trackside"}},
        {"bogey-0 used gives bogey-1", "kind \"scenery\"\nbogey-0\n{\n}\n", "config.txt",
         {"username", "description", "bogey-1", "bogeys", "kuid-table", "string-table", "mesh-table", "trackside"}},
        {"every bogey number used gives none",
         "kind \"scenery\"\nbogey-0\n{\n}\nbogey-1\n{\n}\nbogey-2\n{\n}\nbogey-3\n{\n}\n", "config.txt",
         {"username", "description", "bogeys", "kuid-table", "string-table", "mesh-table", "trackside"}},
        {"a bogeys container takes every bogey name", "kind \"scenery\"\nbogeys\n{\n}\n", "config.txt",
         {"username", "description", "kuid-table", "string-table", "mesh-table", "trackside"}},
        {"\"*\" shows its display text", "kind \"scenery\"\nmesh-table\n{\n}\n", "config.txt\\mesh-table",
         {"mesh name"}},
        {"a mesh-table entry gets the entry names", "kind \"scenery\"\nmesh-table\n{\n  body\n  {\n    mesh \"b.im\"\n  }\n}\n",
         "config.txt\\mesh-table\\body", {"auto-create", "shadow", "default-night"}},
    };
    for (const auto& c : cases) {
        InsertBed bed;
        bed.Load(c.config);
        Lines offered = bed.Offered(c.container);
        EXPECT_EQ(offered, c.names) << c.what;
    }
}

TEST(Insertion, PlacesAndDefaults) {
    const struct {
        const char* what;
        const char* config;
        const char* node;
        int mode;
        const char* pick;
        std::function<void(TTagSpec&, Lines&)> edit;
        Lines rows;
        const char* selected;
    } cases[] = {
        {"Insert puts the tag before the node", "kind \"scenery\"\nusername \"u\"\n", "config.txt\\username", imInsert,
         "trackside", nullptr, {"1|kind \"scenery\"", "1|trackside 0", "1|username \"u\""}, "trackside 0"},
        {"Add to Container makes the last child", "kind \"scenery\"\nmesh-table\n{\n  body\n  {\n    mesh \"b.im\"\n  }\n}\n",
         "config.txt\\mesh-table\\body", imAddToContainer, "auto-create",
         [](TTagSpec& r, Lines&) { r.Value = "1"; },
         {"1|kind \"scenery\"", "1|mesh-table", "2|body", "3|mesh \"b.im\"", "3|auto-create 1"}, "auto-create 1"},
        {"a list tag with a default is created empty", "kind \"scenery\"\n", "config.txt\\kind", imInsert,
         "string-table", nullptr, {"1|string-table", "1|kind \"scenery\""}, "string-table"},
        {"a list tag filled from the table", "kind \"scenery\"\n", "config.txt\\kind", imInsert, "kuid-table",
         [](TTagSpec&, Lines& csv) { csv = {"\"0\",\"<kuid:1:2>\"", "\"1\",\"<kuid:3:4>\""}; },
         {"1|kuid-table", "2|0 <kuid:1:2>", "2|1 <kuid:3:4>", "1|kind \"scenery\""}, "kuid-table"},
        {"the chosen kind passes the kind choice", "username \"u\"\n", "config.txt\\username", imInsert, "kind",
         [](TTagSpec& r, Lines&) { r.Value = "scenery-trackside"; },
         {"1|kind \"scenery\"", "1|username \"u\"", "1|trackside \"0.0\""}, "kind \"scenery\""},
        {"a translated value makes its companion before the node too", "kind \"scenery\"\n", "config.txt\\kind", imInsert,
         "description", [](TTagSpec& r, Lines&) {
             r.Value = "hello";
             r.CompanionValue = "hallo";
         },
         {"1|description \"hello\"", "1|description-de \"hallo\"", "1|kind \"scenery\""}, "description \"hello\""},
    };
    for (const auto& c : cases) {
        InsertBed bed;
        WriteSetting(bed.state.Settings(), keys::Language, "de");
        bed.Load(c.config);
        bed.chooser.pick = c.pick;
        bed.chooser.edit = c.edit;
        TOutlineNode* added = InsertTag(bed.doc, bed.walnut, bed.Node(c.node), c.mode, bed.chooser);
        Lines rows = Rows(bed.doc.Root());
        rows.erase(rows.begin());
        EXPECT_EQ(rows, c.rows) << c.what;
        ASSERT_NE(added, nullptr) << c.what;
        EXPECT_EQ(added->Text(), c.selected) << c.what;
        EXPECT_EQ(bed.doc.UndoStack().Depth(), 1) << c.what;
        EXPECT_EQ(bed.chooser.caption, c.mode == imInsert ? "Insert Tag" : "Add Tag to Container") << c.what;
    }
}

TEST(Insertion, AnyNameEntriesAreNamedByTheUser) {
    InsertBed bed;
    bed.Load("kind \"scenery\"\nmesh-table\n{\n  0\n  {\n  }\n  2\n  {\n  }\n}\n");
    TOutlineNode* table = bed.Node("config.txt\\mesh-table");
    bed.chooser.pick = "mesh name";
    bed.chooser.name = "Body";
    TOutlineNode* added = InsertTag(bed.doc, bed.walnut, table, imAddToContainer, bed.chooser);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Text(), "Body");
    EXPECT_TRUE(added->ChildMark());
    EXPECT_EQ(bed.chooser.proposals, Lines{"1"});  // numbered entries: the first free number
    // The same name again is refused; a cancelled name adds nothing.
    EXPECT_EQ(InsertTag(bed.doc, bed.walnut, table, imAddToContainer, bed.chooser), nullptr);
    EXPECT_TRUE(bed.Said("Tag already exists: Body"));
    bed.chooser.name = "BODY";
    EXPECT_EQ(InsertTag(bed.doc, bed.walnut, table, imAddToContainer, bed.chooser), nullptr);
    EXPECT_TRUE(bed.Said("Tag already exists: BODY")) << "in any case";
    bed.chooser.name = "a\\b";
    EXPECT_EQ(InsertTag(bed.doc, bed.walnut, table, imAddToContainer, bed.chooser), nullptr);
    EXPECT_TRUE(bed.Said("Tag names cannot hold \"\\\": a\\b"));
    bed.chooser.name.reset();
    EXPECT_EQ(InsertTag(bed.doc, bed.walnut, table, imAddToContainer, bed.chooser), nullptr);
    EXPECT_EQ(table->ChildCount(), 3u);
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 1);
}

// A table whose rows are refused is not inserted without them: nothing is.
TEST(Insertion, RefusedRowsInsertNothing) {
    InsertBed bed;
    bed.Load("kind \"scenery\"\n");
    const std::string before = bed.doc.ConfigFileText();
    bed.chooser.pick = "kuid-table";
    bed.chooser.edit = [](TTagSpec&, Lines& csv) { csv = {"\"0\",\"<kuid:1:2>\"", "\"MyRule\",\"zero\""}; };
    EXPECT_EQ(InsertTag(bed.doc, bed.walnut, bed.Node("config.txt\\kind"), imInsert, bed.chooser), nullptr);
    EXPECT_TRUE(bed.Said("Row 2 (MyRule) is not a KUID: zero"));
    EXPECT_EQ(bed.Node("config.txt\\kuid-table"), nullptr);
    EXPECT_EQ(bed.doc.ConfigFileText(), before);
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 0);
    // The placeholder KUID a new entry starts with is a row the table takes.
    bed.chooser.edit = [](TTagSpec&, Lines& csv) { csv = {"\"0\",\"<kuid:1:2>\"", "\"MyRule\",\"<nullkuid>\""}; };
    ASSERT_NE(InsertTag(bed.doc, bed.walnut, bed.Node("config.txt\\kind"), imInsert, bed.chooser), nullptr);
    Lines rows = Rows(bed.doc.Root());
    rows.erase(rows.begin());
    EXPECT_EQ(rows, (Lines{"1|kuid-table", "2|0 <kuid:1:2>", "2|MyRule <nullkuid>", "1|kind \"scenery\""}));
}

// With our tags.xml: a string-table entry added with a translation has it in string-table-<language>.
TEST(Insertion, AStringTableEntryTakesItsTranslationIntoItsLanguageTable) {
    InsertBed bed;
    WriteBytes(bed.dir / "program/bin/tags.xml", test::ReadBytes(std::string(KELVARN_SOURCE_DIR) + "/resources/bin/tags.xml"));
    WriteSetting(bed.state.Settings(), keys::Language, "de");
    bed.Load("kind \"behavior\"\nstring-table\n{\n  Hello \"Hi\"\n}\nstring-table-de\n{\n  Hello \"Hallo\"\n}\n");
    bed.chooser.pick = "string-id";
    bed.chooser.name = "Bye";
    bed.chooser.edit = [](TTagSpec& r, Lines&) {
        r.Value = "Bye";
        r.CompanionValue = "Tschuess";
    };
    TOutlineNode* added = InsertTag(bed.doc, bed.walnut, bed.Node("config.txt\\string-table"), imAddToContainer, bed.chooser);
    ASSERT_NE(added, nullptr);
    Lines rows = Rows(bed.doc.Root());
    rows.erase(rows.begin());
    EXPECT_EQ(rows, (Lines{"1|kind \"behavior\"", "1|string-table", "2|Hello \"Hi\"", "2|Bye \"Bye\"", "1|string-table-de",
                           "2|Hello \"Hallo\"", "2|Bye \"Tschuess\""}));
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 1);
}

TEST(Insertion, ChooserRecordAndRefusals) {
    InsertBed bed;
    bed.Load("kind \"scenery\"\n");
    Lines csv;
    const TTagSpec record = ChooserRecord(bed.doc, bed.doc.Root(), "kuid-table", csv);
    EXPECT_EQ(record.Path, "config.txt\\kuid-table\\");
    EXPECT_EQ(record.Value, "");
    EXPECT_EQ(csv, Lines{"\"Tag\",\"KUID\""});
    const TTagSpec described = ChooserRecord(bed.doc, bed.doc.Root(), "description", csv);
    EXPECT_EQ(described.Value, "none");
    EXPECT_TRUE(csv.empty());

    // Cancel adds nothing and takes no snapshot.
    bed.chooser.pick = "username";
    bed.chooser.ok = false;
    EXPECT_EQ(InsertTag(bed.doc, bed.walnut, bed.Node("config.txt\\kind"), imInsert, bed.chooser), nullptr);
    EXPECT_EQ(bed.doc.UndoStack().Depth(), 0);

    // Nothing left to offer.
    InsertBed full;
    full.Load("kind \"scenery\"\nbogeys\n{\n  b 1\n}\n");
    EXPECT_EQ(InsertTag(full.doc, full.walnut, full.Node("config.txt\\bogeys\\b"), imInsert, full.chooser),
              nullptr);
    EXPECT_EQ(full.messages.messages, Lines{"No Available Tags"});
}

}  // namespace
}  // namespace kelvarn
