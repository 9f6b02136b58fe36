// A new user's first minutes on a real display, at 1024 x 768: the first start, Verify Files' report
// and the maximised outline, saved as pictures to look at.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/ProgramTestBed.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"

namespace kelvarn {
namespace {

// The main window with the report window drawn where it stands on the screen.
QImage Screen(test::ProgramTestBed& bed, QWidget* over = nullptr) {
    QApplication::processEvents();
    QTest::qWait(100);
    QImage shot = bed.Main().grab().toImage();
    if (over && over->isVisible()) {
        QPainter painter(&shot);
        painter.drawPixmap(over->mapToGlobal(QPoint(0, 0)) - bed.Main().mapToGlobal(QPoint(0, 0)), over->grab());
    }
    return shot;
}

TEST(FreshStartScreenshot, FirstStartVerifyFilesAndTheMaximisedOutline) {
    const auto corpus = test::ProgramTestBed::Corpus("jos-scanner");
    if (corpus.empty()) GTEST_SKIP() << "../shared/corpus is absent";
    test::ProgramTestBed bed(Answer::Yes);
    bed.CopyAsset(corpus);
    QTimer closer;  // the setup check's settings dialog
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    closer.start();
    // The setup check's dialog, opened modally over the window on this display, brings Qt down in
    // its backing store flush: the message is recorded as shown so the picture is of the window.
    test::WriteBytes(bed.dir / "program/kelvarn.ini", "[Options]\r\nSetupShown=1\r\n");
    bed.StartFresh({"-CMP", bed.AssetRoot()});
    bed.Main().setGeometry(QRect(0, 0, 1024, 768));
    bed.Main().FormActivate();
    ASSERT_TRUE(Screen(bed).save(KELVARN_SCREENSHOT_DIR "/fresh-start.png"));

    bed.windows->Assets().Catalogue().SelectAsset(0);
    bed.Main().MenuItem("mUnreferenced")->trigger();
    ASSERT_TRUE(bed.windows->Viewer().isVisible());
    ASSERT_TRUE(Screen(bed, &bed.windows->Viewer()).save(KELVARN_SCREENSHOT_DIR "/verify-files.png"));
    bed.windows->Viewer().hide();

    bed.windows->Outline().MaxButton()->click();
    bed.windows->Outline().ExpandNode(bed.windows->Outline().Document().Root());
    ASSERT_TRUE(Screen(bed).save(KELVARN_SCREENSHOT_DIR "/outline-maximised.png"));
}

}  // namespace
}  // namespace kelvarn
