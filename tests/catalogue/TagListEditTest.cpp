#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/OutlineWiring.h"
#include "catalogue/TagEditing.h"
#include "catalogue/TagEditorPages.h"
#include "media/GridModel.h"
#include "shell/Strings.h"
#include "TagEditTestSupport.h"

namespace kelvarn {
namespace {

using test::FormatSpec;
using test::Rows;
using test::TagEditBed;

using Lines = std::vector<std::string>;

TEST(Csv, CodecTable) {
    const struct {
        const char* line;
        Lines cells;
    } cases[] = {
        {"\"a\",\"b\"", {"a", "b"}},
        {"\"a,b\",\"c\"", {"a,b", "c"}},
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"\"a\",\"\",\"c\"", {"a", "", "c"}},
        {",,", {"", "", ""}},
        {"", {""}},
        {"\" a \", b ", {" a ", " b "}},
        {"bare,\"quoted\"", {"bare", "quoted"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitCsvLine(c.line), c.cells) << c.line;
        EXPECT_EQ(SplitCsvLine(JoinCsvLine(c.cells)), c.cells) << c.line;
    }
    EXPECT_EQ(JoinCsvLine({"a\"b", "", "c,d"}), "\"a\"\"b\",\"\",\"c,d\"");
}

TEST(Csv, ContainerRowsOutAndBack) {
    TagEditBed bed;
    bed.Load("kind \"x\"\nstrings\n{\n  0 \"zero, or none\"\n  1 \"one\"\n}\n"
             "cameras\n{\n  near 1,2,3\n}\n");
    const TTagSpec strings = FormatSpec("string-list", "Tag,Text");
    Lines csv;
    ContainerToCsv(bed.Node("config.txt\\strings"), strings, csv);
    EXPECT_EQ(csv, (Lines{"\"Tag\",\"Text\"", "\"0\",\"zero, or none\"", "\"1\",\"one\""}));

    const TTagSpec cameras = FormatSpec("camera-list", "Name,X,Y,Z");
    ContainerToCsv(bed.Node("config.txt\\cameras"), cameras, csv);
    EXPECT_EQ(csv, (Lines{"\"Name\",\"X\",\"Y\",\"Z\"", "\"near\",\"1\",\"2\",\"3\""}));
    // Written back the four cells make one bare value again.
    EXPECT_TRUE(CsvToContainer(bed.doc, bed.Node("config.txt\\cameras"), {"\"near\",\"1\",\"2\",\"4\""}, cameras));
    EXPECT_EQ(bed.Node("config.txt\\cameras\\near")->Text(), "near 1,2,4");

    ContainerToCsv(nullptr, FormatSpec("kuid-list", ""), csv);
    EXPECT_EQ(csv, (Lines{"\"\""}));  // no captions: one empty caption
    TTagSpec many = FormatSpec("kuid-list");
    for (int i = 0; i < 30; ++i) many.Captions += (i ? "," : "") + std::to_string(i);
    ContainerToCsv(nullptr, many, csv);
    EXPECT_EQ(SplitCsvLine(csv[0]).size(), 25u);
}

TEST(Csv, RowsRebuildTheContainer) {
    const struct {
        const char* what;
        const char* format;
        Lines rows;
        Lines children;  // the container's children afterwards
        bool changed;
    } cases[] = {
        {"remove row 1, add row 2, order follows", "string-list", {"\"2\",\"two\"", "\"0\",\"zero\""},
         {"2 \"two\"", "0 \"zero\""}, true},
        {"a name-only row gives an empty string", "string-list", {"\"0\",\"zero\"", "\"1\",\"one\"", "\"5\""},
         {"0 \"zero\"", "1 \"one\"", "5 \"\""}, true},
        {"kuid rows that are no KUIDs refuse the whole edit", "kuid-list", {"\"0\",\"zero\"", "\"1\",\"<kuid:1:2>\""},
         {"0 \"zero\"", "1 \"one\"", "a \"1\""}, false},
        {"a kuid row named with a quote refuses the whole edit", "kuid-list", {"\"0\"\"\",\"<kuid:1:2>\""},
         {"0 \"zero\"", "1 \"one\"", "a \"1\""}, false},
        {"kuid rows", "kuid-list", {"\"0\",\"<kuid:1:2>\"", "\"Rule\",\"<kuid2:3:4:5>\""},
         {"0 <kuid:1:2>", "Rule <kuid2:3:4:5>"}, true},
        {"a line break in a cell is refused, the other rows go through", "string-list",
         {"\"0\",\"zero\"", "\"1\",\"x\nsecond-tag\"", "\"b\rc\",\"y\""}, {"0 \"zero\"", "1 \"x\xC2\xB6second-tag\""}, true},
        {"rows find their child ignoring case", "string-list", {"\"A\",\"x\"", "\"0\",\"zero\"", "\"1\",\"one\""},
         {"A \"x\"", "0 \"zero\"", "1 \"one\""}, true},
        {"empty rows are skipped", "string-list", {"\"\",\"\"", "\"0\",\"zero\"", ",,", "\"1\",\"one\"", "\"a\",\"1\""},
         {"0 \"zero\"", "1 \"one\"", "a \"1\""}, false},
        {"an = in a name would split it, a ; in front would comment it out", "string-list",
         {"\"a=b\",\"v\"", "\";c\",\"w\""}, {"a_b \"v\""}, true},
        {"an empty table empties the container", "string-list", {}, {}, true},
    };
    for (const auto& c : cases) {
        TagEditBed bed;
        bed.Load("kind \"x\"\nlist\n{\n  0 \"zero\"\n  1 \"one\"\n  a \"1\"\n}\n");
        TOutlineNode* list = bed.Node("config.txt\\list");
        EXPECT_EQ(CsvToContainer(bed.doc, list, c.rows, FormatSpec(c.format)), c.changed) << c.what;
        Lines children;
        for (std::size_t i = 0; i < list->ChildCount(); ++i) children.push_back(list->Child(i)->Text());
        EXPECT_EQ(children, c.children) << c.what;
        EXPECT_TRUE(list->HasChildren()) << "the container keeps its mark: " << c.what;
    }
}

// Rows of one name each take a child of their own: a row given the text that an earlier child of its
// name holds is still written to its own child, not taken as unchanged.
TEST(Csv, RowsOfOneNameEachChangeTheirOwnChild) {
    TagEditBed bed;
    bed.Load("kind \"x\"\nlist\n{\n  a \"1\"\n  a \"2\"\n  b \"3\"\n}\n");
    TOutlineNode* list = bed.Node("config.txt\\list");
    EXPECT_TRUE(CsvToContainer(bed.doc, list, {"\"a\",\"1\"", "\"a\",\"1\"", "\"b\",\"3\""}, FormatSpec("string-list")));
    Lines children;
    for (std::size_t i = 0; i < list->ChildCount(); ++i) children.push_back(list->Child(i)->Text());
    EXPECT_EQ(children, (Lines{"a \"1\"", "a \"1\"", "b \"3\""}));
    EXPECT_TRUE(list->Child(1)->HasFlag(nfModified));
    EXPECT_FALSE(list->Child(2)->HasFlag(nfModified));
}

// A long table keeps every row's name and value, however much text the rows hold together.
TEST(Csv, EveryRowOfALongTableKeepsItsText) {
    TagEditBed bed;
    bed.Load("kind \"x\"\nlist\n{\n  0 \"zero\"\n}\n");
    TOutlineNode* list = bed.Node("config.txt\\list");
    Lines rows, children;
    for (int i = 0; i < 300; ++i) {
        const std::string name = "row" + std::to_string(i), value = std::string(static_cast<std::size_t>(i % 40), 'v') + "," + std::to_string(i);
        rows.push_back("\"" + name + "\",\"" + value + "\"");
        children.push_back(name + " \"" + value + "\"");
    }
    EXPECT_TRUE(CsvToContainer(bed.doc, list, rows, FormatSpec("string-list")));
    Lines written;
    for (std::size_t i = 0; i < list->ChildCount(); ++i) written.push_back(list->Child(i)->Text());
    EXPECT_EQ(written, children);
}

// Rows read where they stand in their lines and rows whose cells reading changes, mixed in a table long
// enough that the rebuilt ones' text moves while it grows: each keeps its own name and value.
TEST(Csv, RowsAsWrittenAndRowsRebuiltKeepTheirText) {
    const struct {
        const char* line;  // %d stands for the row's number
        const char* text;  // the child it gives
    } forms[] = {
        {"\"n%d\",\"v\"", "n%d \"v\""},
        {"n%d,plain", "n%d \"plain\""},
        {"\"  n%d \",\"v\"", "n%d \"v\""},
        {"\"n%d\"x,\"v\"", "n%dx \"v\""},               // text after a closing quote is kept
        {"\"n%d\",\"v\"w", "n%d \"vw\""},
        {"\"n%d\",\"open", "n%d \"open\""},               // a quote never closed runs to the end
        {"\"n%d\",\"say \"\"hi\"\"\"", "n%d \"say hi\""},
        {"\"n%d\",\" padded \"", "n%d \"padded\""},
        {"\"n%d\",\"1\",\"2\",\"3\"", "n%d \"1,2,3\""},
        {"\"n%d\",\"\"", "n%d \"\""},
        {"\"n%d\"", "n%d \"\""},
        {"\"\",\"\"", nullptr},                                // an empty row is skipped
    };
    const auto fill = [](const char* form, int i) {
        std::string out(form);
        out.replace(out.find("%d"), 2, std::to_string(i));
        return out;
    };
    Lines rows, children;
    for (int i = 0; i < 600; ++i) {
        const auto& form = forms[static_cast<std::size_t>(i) % std::size(forms)];
        if (!form.text) {
            rows.push_back(form.line);
            continue;
        }
        rows.push_back(fill(form.line, i));
        children.push_back(fill(form.text, i));
    }
    TagEditBed bed;
    bed.Load("kind \"x\"\nlist\n{\n  0 \"zero\"\n}\n");
    TOutlineNode* list = bed.Node("config.txt\\list");
    EXPECT_TRUE(CsvToContainer(bed.doc, list, rows, FormatSpec("string-list")));
    Lines written;
    for (std::size_t i = 0; i < list->ChildCount(); ++i) written.push_back(list->Child(i)->Text());
    EXPECT_EQ(written, children);
    EXPECT_TRUE(bed.messages.messages.empty());
}

// Rows as written back are what the container shows again: a second write-back changes nothing. Blanks
// beside a value's quotes, quoted or padded camera cells and a tab inside a name once came out
// differently each time.
TEST(Csv, ASecondWriteBackChangesNothing) {
    const struct {
        const char* what;
        const char* format;
        Lines rows;
        Lines children;  // after the first write-back
    } cases[] = {
        {"blanks beside quotes", "string-list", {"\"0\",\"say \"\"hi\"\" \"", "\"1\",\" \"\"x\"\"\""},
         {"0 \"say hi\"", "1 \"x\""}},
        {"a tab inside a name", "string-list", {"\"a\tb\",\"v\""}, {"a_b \"v\""}},
        {"padded camera cells", "camera-list", {"\"near\",\" 1\",\"2 \",\"\"\"3\"\"\""}, {"near 1,2,3"}},
        {"a bare value beside quotes", "kuid-list", {"\"0\",\"<kuid:1:2> \"\"\""}, {"0 <kuid:1:2>"}},
        {"a long name cut beside control characters", "string-list",
         {"\"" + std::string(254, 'n') + "\x01\x01\x01z\",\"v\""}, {std::string(254, 'n') + " \"v\""}},
    };
    for (const auto& c : cases) {
        TagEditBed bed;
        bed.Load("kind \"x\"\nlist\n{\n  old \" 1 \"\n  cam 1, 2\n}\n");
        TOutlineNode* list = bed.Node("config.txt\\list");
        const TTagSpec spec = FormatSpec(c.format, "Tag,Value");
        ASSERT_TRUE(CsvToContainer(bed.doc, list, c.rows, spec)) << c.what;
        Lines children;
        for (std::size_t i = 0; i < list->ChildCount(); ++i) children.push_back(list->Child(i)->Text());
        EXPECT_EQ(children, c.children) << c.what;
        Lines shown, again;
        ContainerToCsv(list, spec, shown);
        EXPECT_FALSE(CsvToContainer(bed.doc, list, Lines(shown.begin() + 1, shown.end()), spec)) << c.what;
        ContainerToCsv(list, spec, again);
        EXPECT_EQ(again, shown) << c.what;
    }
    // Shown rows already look as they will be written: no quotes, no blanks at the ends.
    TagEditBed bed;
    bed.Load("kind \"x\"\nlist\n{\n  old \" 1 \"\n}\ncams\n{\n  cam 1, 2\n}\n");
    Lines shown;
    ContainerToCsv(bed.Node("config.txt\\list"), FormatSpec("string-list", "Tag,Value"), shown);
    EXPECT_EQ(shown.back(), "\"old\",\"1\"");
    ContainerToCsv(bed.Node("config.txt\\cams"), FormatSpec("camera-list", "Tag,X,Y"), shown);
    EXPECT_EQ(shown.back(), "\"cam\",\"1\",\"2\"");
}

// Rows written back as their nodes stand are left alone; a row changed by one character, its length
// kept, is written.
TEST(Csv, RowsWrittenBackAsTheyStandAreLeftAlone) {
    TagEditBed bed;
    bed.Load("kind \"x\"\nkuid-table\n{\n  0 <kuid:1:2>\n  1 <kuid2:3:4:5>\n  Two <kuid:6:7>\n}\n");
    TOutlineNode* list = bed.Node("config.txt\\kuid-table");
    const TTagSpec spec = FormatSpec("kuid-list", "Tag,KUID");
    Lines shown;
    ContainerToCsv(list, spec, shown);
    Lines rows(shown.begin() + 1, shown.end());
    EXPECT_FALSE(CsvToContainer(bed.doc, list, rows, spec));
    EXPECT_FALSE(bed.doc.Modified());

    TOutlineNode* first = list->Child(0);
    TOutlineNode* last = list->Child(2);
    rows[1] = "\"1\",\"<kuid2:3:4:6>\"";
    EXPECT_TRUE(CsvToContainer(bed.doc, list, rows, spec));
    EXPECT_EQ(Rows(list), (Lines{"1|kuid-table", "2|0 <kuid:1:2>", "2|1 <kuid2:3:4:6>", "2|Two <kuid:6:7>"}));
    EXPECT_EQ(list->Child(0), first);
    EXPECT_EQ(list->Child(2), last);
    EXPECT_FALSE(first->HasFlag(nfModified));
    EXPECT_FALSE(last->HasFlag(nfModified));
    EXPECT_TRUE(list->Child(1)->HasFlag(nfModified));
}

TEST(Csv, RefusedTablesChangeNothing) {
    TagEditBed bed;
    bed.Load("kind \"x\"\nlist\n{\n  0 \"zero\"\n  1 \"one\"\n}\nmixed\n{\n  0 \"zero\"\n  inner\n  {\n    x 1\n  }\n}\n"
             "kuid-table \"x\"\nempty\n{\n}\n");
    const Lines before = Rows(bed.doc.Root());
    EXPECT_FALSE(CsvToContainer(bed.doc, bed.Node("config.txt\\list"), {"\"0\",\"zero\"", "\"\",\"orphan\""},
                                FormatSpec("string-list")));
    ASSERT_EQ(bed.messages.messages.size(), 1u);
    EXPECT_EQ(bed.messages.messages[0], "Row 2 has values but no name: \"\",\"orphan\"");

    EXPECT_FALSE(CsvToContainer(bed.doc, bed.Node("config.txt\\mixed"), {"\"0\",\"zero\""}, FormatSpec("string-list")));
    ASSERT_EQ(bed.messages.messages.size(), 2u);
    EXPECT_EQ(bed.messages.messages[1], "'inner' in 'mixed' is a container: the list cannot be edited as a table");
    // A list tag that holds a value is no container: rows would be written as braces after its value.
    EXPECT_FALSE(CsvToContainer(bed.doc, bed.Node("config.txt\\kuid-table"), {"\"0\",\"<kuid:1:2>\""},
                                FormatSpec("kuid-list")));
    ASSERT_EQ(bed.messages.messages.size(), 3u);
    EXPECT_EQ(bed.messages.messages[2], "'kuid-table \"x\"' is not a container: the list cannot be edited as a table");
    EXPECT_EQ(Rows(bed.doc.Root()), before);
    EXPECT_FALSE(bed.doc.Modified());
    // An empty container still takes rows.
    EXPECT_TRUE(CsvToContainer(bed.doc, bed.Node("config.txt\\empty"), {"\"0\",\"zero\""}, FormatSpec("string-list")));
    EXPECT_EQ(bed.Node("config.txt\\empty")->ChildCount(), 1u);
}

TEST(Csv, GaugeFollowsTheRowsWithoutOtherWork) {
    TagEditBed bed;
    bed.Load("kind \"x\"\nlist\n{\n}\n");
    Lines rows;
    for (int i = 0; i < 600; ++i) rows.push_back("\"" + std::to_string(i) + "\",\"v\"");
    std::vector<std::size_t> seen;
    TOutlineNode* list = bed.Node("config.txt\\list");
    bed.doc.Progress = [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 600u);
        // Each report follows a finished row: the tree is whole whenever the gauge repaints.
        EXPECT_EQ(list->ChildCount(), done);
        seen.push_back(done);
        return true;
    };
    EXPECT_TRUE(CsvToContainer(bed.doc, bed.Node("config.txt\\list"), rows, FormatSpec("string-list")));
    ASSERT_EQ(seen.size(), 600u);
    EXPECT_EQ(seen.front(), 1u);
    EXPECT_EQ(seen.back(), 600u);
    EXPECT_EQ(bed.Node("config.txt\\list")->ChildCount(), 600u);
}

// The table page round trip: the outline's rows into the real grid, cells edited, the grid's rows back.
TEST(Csv, ThroughTheGridEveryRowAndCellStays) {
    const struct {
        const char* what;
        const char* format;
        const char* config;
        const char* captions;
        int col, row;       // the cell edited (grid coordinates), or col 0 for none
        const char* text;
        Lines children;
    } cases[] = {
        {"kuid-list", "kuid-list", "kind \"x\"\nlist\n{\n  0 <kuid:1:2>\n  1 <kuid2:3:4:5>\n  2 <kuid:6:7>\n}\n",
         "Tag,Kuid", 3, 2, "<kuid:9:9>", {"0 <kuid:1:2>", "1 <kuid:9:9>", "2 <kuid:6:7>"}},
        {"string-list", "string-list", "kind \"x\"\nlist\n{\n  0 \"a, b\"\n  1 \"say\"\n  2 \"\"\n}\n", "Tag,Text", 3, 3,
         "filled", {"0 \"a, b\"", "1 \"say\"", "2 \"filled\""}},
        {"camera-list wider than its captions", "camera-list",
         "kind \"x\"\nlist\n{\n  c0 1,2,3,4,5\n  c1 6,7,8,9,10\n}\n", "Name,X", 5, 1, "33",
         {"c0 1,2,33,4,5", "c1 6,7,8,9,10"}},
        {"unchanged", "string-list", "kind \"x\"\nlist\n{\n  0 \"a\"\n  1 \"b\"\n}\n", "Tag,Text", 0, 0, "",
         {"0 \"a\"", "1 \"b\""}},
    };
    for (const auto& c : cases) {
        TagEditBed bed;
        bed.Load(c.config);
        TOutlineNode* list = bed.Node("config.txt\\list");
        const TTagSpec record = FormatSpec(c.format, c.captions);
        Lines csv;
        ContainerToCsv(list, record, csv);
        GridModel grid;
        ASSERT_EQ(grid.ShowTagList(csv, TagTypeOf(record)), "") << c.what;
        if (c.col) grid.SetCell(c.col, c.row, c.text);
        TTagSpec edited = record;
        TPageFields fields;
        fields.IDCombo = "list";
        fields.GridModified = grid.Modified();
        fields.Grid = &grid;
        Lines rows;
        bOKClick(edited, fields, "", "", "", rows);
        if (c.col == 0) {
            EXPECT_TRUE(rows.empty()) << c.what;
        } else {
            EXPECT_TRUE(CsvToContainer(bed.doc, list, rows, record)) << c.what;
        }
        Lines children;
        for (std::size_t i = 0; i < list->ChildCount(); ++i) children.push_back(list->Child(i)->Text());
        EXPECT_EQ(children, c.children) << c.what;
    }
}

}  // namespace
}  // namespace kelvarn

namespace kelvarn {
namespace {

// Every list tag of the real assets, through the table page unedited but marked modified, comes back
// exactly as it was: the config's text does not change.
TEST(Csv, RealAssetsListTagsRoundTrip) {
    const std::filesystem::path corpus = std::filesystem::path(KELVARN_SOURCE_DIR) / ".." / "shared" / "corpus";
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus";
    int lists = 0, rows = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (entry.path().filename() != "config.txt") continue;
        test::ConfigTestBed bed;
        bed.state.ProgramFolder = std::string(KELVARN_SOURCE_DIR) + "/resources/";
        bed.state.SetActiveBuild(35);
        TOutlineDocument doc(bed.state);
        TOutlineWiring wiring(bed.state, doc, false);
        ASSERT_EQ(doc.LoadConfig(entry.path().parent_path().string()), "") << entry.path();
        ASSERT_GT(doc.LineCount(), 0u) << entry.path();
        const std::string before = doc.ConfigFileText();
        std::vector<TOutlineNode*> containers;
        WalkRows(doc.Root(), [&](TOutlineNode* n, int) {
            if (n != doc.Root() && n->HasChildren()) containers.push_back(n);
        });
        for (TOutlineNode* container : containers) {
            const TTagSpec record = TagRecordOf(doc, container);
            if (!IsListType(TagTypeOf(record)) || !TableEditRefusal(container).empty()) continue;
            ++lists;
            rows += int(container->ChildCount());
            Lines csv;
            ContainerToCsv(container, record, csv);
            GridModel grid;
            ASSERT_EQ(grid.ShowTagList(csv, TagTypeOf(record)), "");
            if (grid.RowCount() > 1) grid.SetCell(GridModel::kFixedCols, 1, grid.Cell(GridModel::kFixedCols, 1));
            TTagSpec edited = record;
            TPageFields fields;
            fields.GridModified = true;
            fields.Grid = &grid;
            Lines back;
            bOKClick(edited, fields, "", "", "", back);
            CsvToContainer(doc, container, back, record);
            EXPECT_EQ(doc.ConfigFileText(), before) << entry.path() << " " << container->Text();
        }
    }
    EXPECT_GT(lists, 5);
    EXPECT_GT(rows, 5);
}

}  // namespace
}  // namespace kelvarn
