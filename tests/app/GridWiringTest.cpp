// The table view as the program wires it: callback 224 shows CSV lines in the table pane and command
// 1012 saves them.
#include <QPlainTextEdit>

#include "app/ProgramTestBed.h"
#include "media/ui/GridView.h"
#include "media/ui/TextView.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {
namespace {

TEST(GridWiring, ShowTableFillsTheTablePaneAndSaveTableAsWritesIt) {
    test::ProgramTestBed bed;
    bed.Start();
    TMain& main = bed.Main();
    auto* grid = dynamic_cast<TGridView*>(main.Frame(TFrameId::Table));
    ASSERT_NE(grid, nullptr);

    main.Bus().SendCommand(ccShowTable, "name,value\r\na,1\r\nb,2");
    EXPECT_EQ(main.ActiveViewer(), TFrameId::Table);
    EXPECT_EQ(grid->Grid().RowCount(), 3);
    EXPECT_EQ(grid->Grid().KeptTable().size(), 3u);
    EXPECT_EQ(grid->Grid().Cell(GridModel::kFixedCols + 1, 2), "2");

    grid->ChooseSaveFile = [](const std::string&) { return std::string(); };
    main.Dispatcher().ReceiveCommand(1012, "Save Table As");
    EXPECT_FALSE(std::filesystem::exists(bed.dir / "t.csv"));
    grid->ChooseSaveFile = [&](const std::string&) { return bed.dir / "t.csv"; };
    main.Dispatcher().ReceiveCommand(1012, "Save Table As");
    EXPECT_EQ(test::ReadBytes(bed.dir / "t.csv"), "\"name\",\"value\",\"\"\r\n\"a\",\"1\",\"\"\r\n\"b\",\"2\",\"\"\r\n");
    EXPECT_TRUE(main.Dispatcher().HasCommand(2712));
}

// The table empties when the window really closes: a frame asked after it may still refuse.
TEST(GridWiring, ARefusedCloseKeepsTheTable) {
    test::ProgramTestBed bed(Answer::Cancel);
    bed.Start();
    TMain& main = bed.Main();
    auto* grid = dynamic_cast<TGridView*>(main.Frame(TFrameId::Table));
    auto* text = dynamic_cast<TTextView*>(main.Frame(TFrameId::Text));
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(text, nullptr);
    main.Bus().SendCommand(ccShowTable, "name,value\r\na,1");
    grid->Grid().SetModified(true);

    // Asked on its own, as the window asks it before later frames, the table says yes and keeps its rows.
    EXPECT_TRUE(grid->CloseQuery());
    EXPECT_EQ(grid->Grid().RowCount(), 2);

    test::WriteBytes(bed.dir / "notes.txt", "line\r\n");
    ASSERT_EQ(text->LoadFile(bed.dir / "notes.txt", 0), "");
    text->Memo()->insertPlainText("more ");
    ASSERT_TRUE(text->Modified());
    EXPECT_FALSE(main.FormCloseQuery());
    EXPECT_FALSE(main.Closing());
    EXPECT_EQ(grid->Grid().RowCount(), 2);
    EXPECT_EQ(grid->Grid().Cell(GridModel::kFixedCols + 1, 1), "1");
    EXPECT_TRUE(grid->Modified());
    EXPECT_EQ(grid->Grid().KeptTable().size(), 2u);
}

}  // namespace
}  // namespace kelvarn
