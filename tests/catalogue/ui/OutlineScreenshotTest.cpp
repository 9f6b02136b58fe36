// The main window as a user sees it, on a real display (Xvfb): a sample asset in the outline with
// tagged, comment, deletion and error nodes, Find & Replace open, the tag catalogue in front. The picture is kept in the build
// tree for a person to look at; the test checks the colours of two rows loosely.
#include <gtest/gtest.h>

#include <QPainter>
#include <QSplitter>
#include <QTest>
#include <QTreeView>

#include "OutlineTestBed.h"

namespace kelvarn {
namespace {

using test::MainBed;

// Pixels of the row's text (the icon left out) that are close to the colour.
int PixelsNear(const QImage& image, const QRect& row, QColor colour) {
    int n = 0;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = row.left(); x <= row.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40)
                ++n;
        }
    return n;
}

TEST(OutlineScreenshot, SampleAssetWithMarksAndFind) {
    MainBed bed;
    const std::string folder = bed.dir / "red-boxcar";
    test::WriteBytes(folder + "/config.txt",
                     test::ReadBytes(std::string(KELVARN_SOURCE_DIR) + "/resources/samples/red-boxcar/config.txt"));
    test::WriteBytes(bed.dir / "bin/tags.xml", test::ReadBytes(std::string(KELVARN_SOURCE_DIR) + "/resources/bin/tags.xml"));
    bed.state.SetAssetPath(folder);
    ASSERT_EQ(bed.outline->LoadConfig(folder), "");
    bed.outline->ExpandNode(bed.document.Root());
    bed.outline->ToggleMark(bed.Node("mesh-table"), tmTag, false);
    bed.document.ToggleMark(bed.Node("category-era"), tmComment, false);
    bed.document.ToggleMark(bed.Node("author"), tmDelete, false);
    bed.document.SetNodeFlags(bed.Node("description"), nfError, 0);
    bed.main->Bus().SendCommand(ccShowTags, "");  // the catalogue in front
    bed.outline->Select(bed.Node("mesh-table\\default\\mesh"));
    bed.outline->OpenFindReplace(true);
    // Room for the whole config above the viewer panel, and Find over the viewer panel.
    if (auto* right = bed.main->findChild<QSplitter*>("RightPanel")) right->setSizes({390, 370});
    QApplication::processEvents();
    bed.find->move(bed.main->mapToGlobal(QPoint(bed.main->width() - bed.find->width() - 30, bed.main->height() - 160)));
    QApplication::processEvents();
    QTest::qWait(100);

    QImage shot = bed.main->grab().toImage().convertToFormat(QImage::Format_RGB32);
    {
        // The Find window is a window of its own: drawn where it stands over the main window.
        QPainter painter(&shot);
        painter.drawPixmap(bed.main->mapFromGlobal(bed.find->frameGeometry().topLeft()), bed.find->grab());
    }
    ASSERT_TRUE(shot.save(KELVARN_SCREENSHOT));
    EXPECT_EQ(bed.main->ViewerInFront(), bed.xml);

    QTreeView* tree = bed.outline->Tree();
    auto textRect = [&](const char* path) {
        const TOutlineNode* node = bed.Node(path);
        QRect row = tree->visualRect(bed.outline->Model()->IndexOf(node));
        row.setLeft(bed.outline->StateIconRect(node).right() + 2);
        return QRect(tree->viewport()->mapTo(bed.main.get(), row.topLeft()), row.size());
    };
    EXPECT_GT(PixelsNear(shot, textRect("category-era"), QColor(0x80, 0, 0)), 10);
    EXPECT_GT(PixelsNear(shot, textRect("author"), QColor(0x80, 0, 0)), 10);
    EXPECT_GT(PixelsNear(shot, textRect("description"), QColor(0xFF, 0, 0)), 10);
    EXPECT_EQ(PixelsNear(shot, textRect("username"), QColor(0xFF, 0, 0)), 0);
    EXPECT_EQ(PixelsNear(shot, textRect("username"), QColor(0x80, 0, 0)), 0);
}

}  // namespace
}  // namespace kelvarn
