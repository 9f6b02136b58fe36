#include <gtest/gtest.h>

#include <map>
#include <set>

#include "media/CorpusSupport.h"
#include "media/GridModel.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

constexpr int D = GridModel::kFixedCols;  // the first data column

std::vector<std::string> Column(const GridModel& g, int col) {
    std::vector<std::string> cells;
    for (int r = 1; r < g.RowCount(); ++r) cells.push_back(g.Cell(col, r));
    return cells;
}

GridModel Loaded(const std::vector<std::string>& lines) {
    GridModel g;
    EXPECT_EQ(g.LoadTable(lines), "");
    return g;
}

TEST(CsvLine, SplitsAtCommasOutsideQuotesAndRoundTrips) {
    EXPECT_EQ(SplitCsvLine(""), std::vector<std::string>{""});
    EXPECT_EQ(SplitCsvLine(" a , b,"), (std::vector<std::string>{" a ", " b", ""}));
    EXPECT_EQ(SplitCsvLine(R"("a,b","say ""hi""",c)"), (std::vector<std::string>{"a,b", "say \"hi\"", "c"}));
    EXPECT_EQ(SplitCsvLine(R"("x"tail,"open)"), (std::vector<std::string>{"xtail", "open"}));
    EXPECT_EQ(SplitCsvLine(R"(a"b,c)"), (std::vector<std::string>{"a\"b", "c"}));
    const std::vector<std::string> hard = {"", "a|b", "x,y", "\"q\"", " lead", "\"", ",,"};
    EXPECT_EQ(SplitCsvLine(JoinCsvLine(hard)), hard);
    EXPECT_EQ(JoinCsvLine({"a", "", "b"}, false), "\"a\",,\"b\"");
}

// One vector of fields serves line after line: each line gives its own fields, none of the last's.
TEST(CsvLine, FieldsReadLineAfterLineHoldOnlyTheirLine) {
    std::vector<std::string> fields{"left", "over", "from", "before"};
    const std::string lines[] = {R"("a long first field, with a comma",b)", "x", R"("say ""hi""",,"")", "p,q,r,s,t", ""};
    for (const std::string& line : lines) {
        ReadCsvFields(line, fields);
        EXPECT_EQ(fields, SplitCsvLine(line)) << line;
    }
    std::vector<std::string> appended{"kept"};
    AppendCsvFields("a,b", appended);
    EXPECT_EQ(appended, (std::vector<std::string>{"kept", "a", "b"}));
}

TEST(GridLoad, EveryLineIsARowAndTheWidestLineSetsTheColumns) {
    GridModel g = Loaded({"Tag,Value", "a,1", "b,2,extra", "c"});
    EXPECT_EQ(g.RowCount(), 4);  // the last line is kept
    EXPECT_EQ(g.ColCount(), 3 + D + 1);
    EXPECT_EQ(g.Cell(D + 2, 2), "extra");
    EXPECT_EQ(g.Cell(1, 3), "3");  // row numbers
    EXPECT_EQ(g.ColWidth(0), -1);
    EXPECT_EQ(g.ColWidth(g.ColCount() - 1), -1);
    EXPECT_FALSE(g.Modified());

    GridModel header = Loaded({"Tag,Value"});
    EXPECT_EQ(header.RowCount(), 2);
    EXPECT_EQ(header.Cell(D, 1), "");

    GridModel big;
    std::vector<std::string> lines(1001, std::string(999, ','));
    EXPECT_NE(big.LoadTable(lines), "");
    EXPECT_EQ(big.RowCount(), 0);
}

TEST(GridLoad, WidthsFollowTheTextAndTheTagKind) {
    const TTextWidth width = [](const std::string& t) { return int(t.size()) * 10; };
    GridModel g;
    g.LoadTable({"a,b", "abcdefghijkl,b"}, width);
    EXPECT_EQ(g.ColWidth(D), 140);
    EXPECT_EQ(g.ColWidth(D + 1), GridModel::kDefaultColWidth);
    EXPECT_EQ(g.FitColumnWidth(D, 0, width), 0);
    EXPECT_EQ(g.FitColumnWidth(D, 500, width), 500);

    g.ShowTagList({"a,b", "abcdefghijkl,b"}, 3, width);
    EXPECT_EQ(g.ColWidth(D), 140);  // at most 150
    g.ShowTagList({"a,b", std::string(30, 'x') + ",b"}, 3, width);
    EXPECT_EQ(g.ColWidth(D), 150);
    EXPECT_TRUE(g.Editing);
    EXPECT_EQ(g.FillChoices(), (std::vector<std::string>{"Template"}));
    g.ShowTagList({"a,b", "x,y"}, 4, width);
    EXPECT_EQ(g.ColWidth(D), 100);
    EXPECT_EQ(g.ColWidth(D + 1), 200);
    EXPECT_EQ(g.FillChoices(), (std::vector<std::string>{"Template", "Points"}));
    g.ShowTagList({"a,b", "x,y"}, 8, width);
    EXPECT_EQ(g.ColWidth(D), GridModel::kDefaultColWidth);
    EXPECT_EQ(g.FillChoices(), (std::vector<std::string>{"Template", "Sound Files"}));
}

TEST(GridSort, ModesFollowTheHeaderAndTheCells) {
    GridModel g = Loaded({"Width,name,kuid,mix,T,DTH,empty", "10,b,kuid:12:3,10,9,9,", "9,a,kuid:9:100,apple,10,10,",
                          "-1,B,<kuid:9:7>,-3,1,1,"});
    EXPECT_EQ(g.SortMode(D), 2);
    EXPECT_EQ(g.SortMode(D + 1), 1);
    EXPECT_EQ(g.SortMode(D + 2), 4);
    EXPECT_EQ(g.SortMode(D + 3), 3);
    EXPECT_EQ(g.SortMode(D + 6), 0);
    // A header that is only part of a size name is no size column: its cells decide.
    EXPECT_EQ(g.ColumnSortMode(D + 4), 2);
    g.SetCell(D + 4, 1, "x9");
    EXPECT_EQ(g.SortMode(D + 4), 3);

    g.SortColumn(D);
    EXPECT_EQ(Column(g, D), (std::vector<std::string>{"-1", "9", "10"}));
    // Rows move whole.
    EXPECT_EQ(Column(g, D + 1), (std::vector<std::string>{"B", "a", "b"}));
    EXPECT_EQ(g.Direction(D), 1);
    g.SortColumn(D);  // the second click reverses
    EXPECT_EQ(Column(g, D), (std::vector<std::string>{"10", "9", "-1"}));
    EXPECT_EQ(g.Direction(D), 2);

    g.SortColumnWay(D + 2, false);
    EXPECT_EQ(Column(g, D + 2), (std::vector<std::string>{"<kuid:9:7>", "kuid:9:100", "kuid:12:3"}));
    g.SortColumnWay(D + 3, false);
    EXPECT_EQ(Column(g, D + 3), (std::vector<std::string>{"apple", "-3", "10"}));

    g.SetCell(D + 5, 1, "edited");
    EXPECT_EQ(g.Direction(D + 3), 0);  // any edit resets the directions
}

TEST(GridSort, CaseAndEmptyColumnsAndShortTables) {
    GridModel g = Loaded({"name,e", "b,", "a,", "B,"});
    g.CaseSensitive = true;
    g.SortColumnWay(D, false);
    EXPECT_EQ(Column(g, D), (std::vector<std::string>{"B", "a", "b"}));
    g.CaseSensitive = false;
    g.SortColumnWay(D, false);
    EXPECT_EQ(Column(g, D)[0], "a");

    GridModel plain = Loaded({"name,e", "b,", "a,"});
    plain.SortColumn(D + 1);  // an empty column changes nothing
    EXPECT_FALSE(plain.Modified());
    EXPECT_EQ(plain.Direction(D + 1), 0);
    GridModel two = Loaded({"name", "b"});
    two.SortColumn(D);
    EXPECT_FALSE(two.Modified());
}

TEST(GridSave, CellsWithSeparatorsSurviveSortSaveAndReload) {
    GridModel g = Loaded({R"(name,value)", R"("b|x","a,b")", R"("a ""q""",plain)", R"(c,"|,""")"});
    g.SortColumnWay(D, false);
    EXPECT_EQ(Column(g, D), (std::vector<std::string>{"a \"q\"", "b|x", "c"}));
    EXPECT_EQ(Column(g, D + 1), (std::vector<std::string>{"plain", "a,b", "|,\""}));
    const std::string saved = g.SaveGridText();
    EXPECT_EQ(saved,
              "\"name\",\"value\",\"\"\r\n\"a \"\"q\"\"\",\"plain\",\"\"\r\n\"b|x\",\"a,b\",\"\"\r\n"
              "\"c\",\"|,\"\"\",\"\"\r\n");
    GridModel back = Loaded(SplitString(saved.substr(0, saved.size() - 2), "\r\n"));
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = D; c < g.ColCount() - 1; ++c) EXPECT_EQ(back.Cell(c, r), g.Cell(c, r)) << r << "," << c;
}

TEST(GridEdits, RandomiseNumbersClearAndRows) {
    GridModel g = Loaded({"point", "a", "", "b", " c", "d", ""});
    std::mt19937 random(7);
    g.RandomiseColumn(D, random);
    auto cells = Column(g, D);
    EXPECT_TRUE(g.Modified());
    std::multiset<std::string> first(cells.begin(), cells.begin() + 3);
    EXPECT_EQ(first, (std::multiset<std::string>{"a", "b", "d"}));
    std::multiset<std::string> rest(cells.begin() + 3, cells.end());
    EXPECT_EQ(rest, (std::multiset<std::string>{"", "", " c"}));

    g.SerialiseColumn(D);
    EXPECT_EQ(Column(g, D), (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
    g.InsertRow(2);
    EXPECT_EQ(g.RowCount(), 8);
    EXPECT_EQ(g.Cell(D, 2), "");
    EXPECT_EQ(g.Cell(D, 3), "1");
    EXPECT_EQ(g.Cell(1, 7), "7");
    g.DeleteRow(1);
    EXPECT_EQ(g.Cell(D, 1), "");
    g.AddRow();
    EXPECT_EQ(g.RowCount(), 8);
    g.Numbers = false;
    g.RefreshNumbers();
    EXPECT_EQ(g.Cell(1, 3), "");

    g.ClearCells(D, 1);
    EXPECT_EQ(g.Cell(D, 0), "point");
    EXPECT_EQ(Column(g, D), std::vector<std::string>(7));
    GridModel two = Loaded({"a", "b"});
    two.DeleteRow(1);  // the last data row stays
    EXPECT_EQ(two.RowCount(), 2);
}

TEST(GridFill, TemplatesAndEntriesFillDownAndGrow) {
    EXPECT_EQ(TemplateFillValues("$", 8, 10, true, "10"), (std::vector<std::string>{"08", "09", "10"}));
    EXPECT_TRUE(TemplateFillValues("$", 10, 8, true, "8").empty());
    EXPECT_EQ(TemplateFillValues("x", 1, 2, false, "2"), (std::vector<std::string>{"x", "x"}));
    EXPECT_EQ(TemplateFillValues("$-$", 100, 100, true, "9"), std::vector<std::string>{"100-100"});
    EXPECT_EQ(EntryFillValues({"body.im/a.light", "roof.pm/b", "", "sub\\m.im/p/q"}, true),
              (std::vector<std::string>{"a.light", "b", "p/q"}));
    EXPECT_EQ(EntryFillValues({"a;b.tga"}, false), std::vector<std::string>{"a;b.tga"});

    GridModel g = Loaded({"kuid", "a", "b", "c", "d", "e"});
    g.WriteFill(D, 5, TemplateFillValues("kuid:0:$", 1, 3, false, "3"));
    EXPECT_EQ(g.RowCount(), 8);
    EXPECT_EQ(Column(g, D), (std::vector<std::string>{"a", "b", "c", "d", "kuid:0:1", "kuid:0:2", "kuid:0:3"}));
    EXPECT_EQ(g.Cell(1, 7), "7");
    g.WriteFill(D, 10, {"far"});  // a start past the end grows the grid to it
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ(g.Cell(D, 10), "far");
    g.WriteFill(D, 0, {"top"});  // from the header: row 1
    EXPECT_EQ(g.Cell(D, 0), "kuid");
    EXPECT_EQ(g.Cell(D, 1), "top");
}

TEST(GridFill, EntriesFromTheAssetFolder) {
    test::TempDir dir;
    for (const char* name : {"body.lm.txt", "a;b.tga", "Sub/Paint.texture.txt", "sub/x.JPG", "s.wav", "notes.txt",
                             "paint.texture"})
        test::WriteBytes(dir / name, "x");
    test::MeshFileBuilder mesh;
    mesh.Info().Attachments({{"a.light:CULL"}, {"b.Point"}});
    test::WriteBytes(dir / "Sub/roof.pm", mesh.Bytes());
    test::WriteBytes(dir / "corrupt.im", "JIRF garbage");
    const std::string folder = dir.Path();
    EXPECT_EQ(FillFilterEntries("Meshes", folder, {}),
              (std::vector<std::string>{"body.lm", "corrupt.im", "Sub\\roof.pm"}));
    EXPECT_EQ(FillFilterEntries("Textures", folder, {}), std::vector<std::string>{"Sub\\Paint.texture"});
    EXPECT_EQ(FillFilterEntries("Images", folder, {}), (std::vector<std::string>{"a;b.tga", "sub\\x.JPG"}));
    EXPECT_EQ(FillFilterEntries("Sound Files", folder, {}), std::vector<std::string>{"s.wav"});
    EXPECT_EQ(FillFilterEntries("Points", folder, {}),
              (std::vector<std::string>{"Sub\\roof.pm/a.light", "Sub\\roof.pm/b.Point"}));
    EXPECT_EQ(FillFilterEntries("KUIDs", folder, {"kuid:2:1", "KUID:1:1"}),
              (std::vector<std::string>{"KUID:1:1", "kuid:2:1"}));
    EXPECT_TRUE(FillFilterEntries("Template", folder, {"kuid:1:1"}).empty());
}

TEST(GridFill, EntriesFromTheRealScannerAsset) {
    KELVARN_NEED_CORPUS();
    const std::string folder = test::CorpusFile("jos-scanner");
    const auto textures = FillFilterEntries("Textures", folder, {});
    EXPECT_EQ(textures, (std::vector<std::string>{"dm-dm.texture", "dm.texture"}));
    EXPECT_EQ(FillFilterEntries("Meshes", folder, {}), (std::vector<std::string>{"arrow.im", "trig.im"}));
    // Its meshes read cleanly and carry no attachment points.
    EXPECT_TRUE(FillFilterEntries("Points", folder, {}).empty());
}

std::map<std::string, bool> Enabled(const TGridMenuFacts& facts) {
    std::map<std::string, bool> byName;
    for (const TMenuItemState& s : GridMenuStates(facts)) byName[s.name] = s.enabled.value();
    return byName;
}

TEST(GridMenu, RulesReadTheClickedCell) {
    GridModel g = Loaded({"Tag,point name", "a,b", "c,d"});
    g.ClickedCol = D;
    g.ClickedRow = 0;
    auto on = Enabled(GridMenuFacts(g));
    EXPECT_TRUE(on["mSerialise"]);
    EXPECT_TRUE(on["mSort"]);
    EXPECT_FALSE(on["mRandomise"]);
    EXPECT_FALSE(on["mFill"]);
    EXPECT_FALSE(on["mClearRow"]);
    g.ClickedRow = 1;
    on = Enabled(GridMenuFacts(g));
    EXPECT_FALSE(on["mSerialise"]);  // a data cell never serialises
    EXPECT_TRUE(on["mFill"]);
    EXPECT_TRUE(on["mDelete"]);
    EXPECT_FALSE(on["mAddRow"]);
    g.ClickedCol = D + 1;
    g.ClickedRow = 2;
    on = Enabled(GridMenuFacts(g));
    EXPECT_TRUE(on["mRandomise"]);
    EXPECT_TRUE(on["mAddRow"]);
    g.ClickedCol = g.ColCount() - 1;  // the spare column
    EXPECT_FALSE(Enabled(GridMenuFacts(g))["mClearColumn"]);

    g.ClickedCol = D - 1;
    g.ClickedRow = 0;
    on = Enabled(GridMenuFacts(g));
    EXPECT_TRUE(on["mClearTable"]);
    EXPECT_FALSE(on["mReload"]);
    g.SetCell(D, 1, "x");
    EXPECT_TRUE(Enabled(GridMenuFacts(g))["mReload"]);

    GridModel two = Loaded({"Tag", "a"});
    two.ClickedCol = D;
    two.ClickedRow = 1;
    on = Enabled(GridMenuFacts(two));
    EXPECT_FALSE(on["mSort"]);
    EXPECT_FALSE(on["mReverseSort"]);
    EXPECT_FALSE(on["mDelete"]);
    TGridMenuFacts wide = GridMenuFacts(two);
    wide.colCount = 400;
    wide.clickedCol = 300;
    wide.rowCount = 5;
    EXPECT_FALSE(Enabled(wide)["mClearColumn"]);
}

}  // namespace
}  // namespace kelvarn
