#include <gtest/gtest.h>

#include <filesystem>

#include "shell/DesktopFiles.h"
#include "shell/Files.h"
#include "shell/PrintLayout.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

TEST(PrintLayout, MeasuresCountInchesAndTwelfths) {
    const TPrintMeasures m = PrintMeasures(600, 12, 50);
    EXPECT_EQ(m.margin, 300);
    EXPECT_EQ(m.bottomReserve, 450);
    EXPECT_EQ(m.tabWidth, 600);
    EXPECT_EQ(m.lineHeight, 62);
    EXPECT_EQ(PrintMeasures(301, 5, -13).margin, 150);
    EXPECT_EQ(PrintMeasures(301, 5, -13).lineHeight, 16);
}

TEST(PrintLayout, TabsAdvanceToTheNextWholeStop) {
    struct Case {
        int width;
        int advance;
    };
    const Case cases[] = {{0, 100}, {1, 100}, {100, 100}, {150, 200}, {201, 300}};
    for (const Case& c : cases) EXPECT_EQ(TabAdvance(c.width, 100), c.advance) << c.width;
    // A first column one and a half tab widths wide puts the second at two.
    EXPECT_EQ(TabbedPiecePositions(10, {150, 30, 5}, 100), (std::vector<int>{10, 210, 310}));
}

TEST(PrintLayout, PagesBreakOnlyBeforeLinesWithText) {
    TPrintMeasures m;
    m.margin = 10;
    m.bottomReserve = 15;
    m.lineHeight = 10;
    // Page height 75: the first page's lines start at 30 (title, one empty line) and the break comes
    // once y reaches 60.
    const std::vector<TLinePlace> places = PlaceLines({false, false, false, true, true, false, false}, m, 75);
    std::vector<int> pages, ys;
    for (const TLinePlace& p : places) pages.push_back(p.page), ys.push_back(p.y);
    EXPECT_EQ(pages, (std::vector<int>{0, 0, 0, 0, 0, 1, 1}));
    EXPECT_EQ(ys, (std::vector<int>{30, 40, 50, 60, 70, 10, 20}));
    EXPECT_EQ(PageCount(places), 2);
    EXPECT_EQ(PageCount(PlaceLines({}, m, 75)), 1);
}

TEST(PrintLayout, JobTitleAndColumnScale) {
    EXPECT_EQ(PrintJobTitle(DateTime{2011, 3, 4, 9, 5, 7, 0}), "Kelvarn - Friday 04 March 2011 - 09:05:07");
    EXPECT_EQ(ScaleColumnWidths({64, 10}, 600, 96), (std::vector<int>{400, 62}));
}

TEST(ClipboardFiles, TrailingSeparatorsGo) {
    EXPECT_EQ(ClipboardFileList({"/a/b/", "C:\\x\\", "", "/c"}), (std::vector<std::string>{"/a/b", "C:\\x", "/c"}));
}

TEST(FileCopy, OntoItselfIsRefused) {
    test::TempDir dir;
    test::WriteBytes(dir / "a.txt", "keep");
    EXPECT_NE(StreamCopyFile(dir / "a.txt", dir / "a.txt"), "");
    EXPECT_NE(StreamCopyFile(dir / "a.txt", dir / "./a.txt"), "");
    EXPECT_EQ(test::ReadBytes(dir / "a.txt"), "keep");
    EXPECT_EQ(StreamCopyFile(dir / "a.txt", dir / "b.txt"), "");
    EXPECT_EQ(test::ReadBytes(dir / "b.txt"), "keep");
    EXPECT_NE(CopyFileToFolder(dir / "a.txt", dir / "missing\\"), "");
    std::filesystem::create_directories(dir / "sub");
    EXPECT_EQ(CopyFileToFolder(dir / "a.txt", dir / "sub\\"), "");
    EXPECT_EQ(test::ReadBytes(dir / "sub/a.txt"), "keep");
    EXPECT_NE(CopyFileToFolder(dir / "a.txt", dir.Path()), "");  // onto itself
}

}  // namespace
}  // namespace kelvarn
