#include <gtest/gtest.h>

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
        {"a name-only kuid row is refused", "kuid-list", {"\"0\",\"zero\"", "\"1\",\"one\"", "\"5\""},
         {"0 zero", "1 one"}, true},
        {"rows find their child ignoring case", "string-list", {"\"A\",\"x\"", "\"0\",\"zero\"", "\"1\",\"one\""},
         {"A \"x\"", "0 \"zero\"", "1 \"one\""}, true},
        {"empty rows are skipped", "string-list", {"\"\",\"\"", "\"0\",\"zero\"", ",,", "\"1\",\"one\"", "\"a\",\"1\""},
         {"0 \"zero\"", "1 \"one\"", "a \"1\""}, false},
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

TEST(Csv, RefusedTablesChangeNothing) {
    TagEditBed bed;
    bed.Load("kind \"x\"\nlist\n{\n  0 \"zero\"\n  1 \"one\"\n}\nmixed\n{\n  0 \"zero\"\n  inner\n  {\n    x 1\n  }\n}\n");
    const Lines before = Rows(bed.doc.Root());
    EXPECT_FALSE(CsvToContainer(bed.doc, bed.Node("config.txt\\list"), {"\"0\",\"zero\"", "\"\",\"orphan\""},
                                FormatSpec("string-list")));
    ASSERT_EQ(bed.messages.messages.size(), 1u);
    EXPECT_EQ(bed.messages.messages[0], "Row 2 has values but no name: \"\",\"orphan\"");

    EXPECT_FALSE(CsvToContainer(bed.doc, bed.Node("config.txt\\mixed"), {"\"0\",\"zero\""}, FormatSpec("string-list")));
    ASSERT_EQ(bed.messages.messages.size(), 2u);
    EXPECT_EQ(bed.messages.messages[1], "'inner' in 'mixed' is a container: the list cannot be edited as a table");
    EXPECT_EQ(Rows(bed.doc.Root()), before);
    EXPECT_FALSE(bed.doc.Modified());
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
