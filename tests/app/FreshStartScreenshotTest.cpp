// A new user's first minutes on a real display, at 1024 x 768: the first start, Verify Files' report
// and the maximised outline, saved as pictures to look at.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/ProgramTestBed.h"
#include "catalogue/FileList.h"
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

// The image and mesh views of a real asset at 1024 x 768, with the viewer panel as the window gives it
// and at 200 pixels: every header button shows whole, its text readable in the pictures.
TEST(FreshStartScreenshot, ViewerButtonsAt1024x768AndAt200Pixels) {
    const auto corpus = test::ProgramTestBed::Corpus("jos-scanner");
    if (corpus.empty()) GTEST_SKIP() << "../shared/corpus is absent";
    test::ProgramTestBed bed;
    bed.CopyAsset(corpus);
    bed.Start();
    bed.Main().setGeometry(QRect(0, 0, 1024, 768));
    bed.windows->Assets().Catalogue().SelectAsset(0);
    QApplication::processEvents();
    auto* right = bed.Main().findChild<QSplitter*>("RightPanel");
    ASSERT_NE(right, nullptr);
    TFileList& files = bed.windows->Assets().Files();
    auto shoot = [&](const char* file, TFrameId id, const std::string& name) {
        files.SetCurrentFile(files.IndexOf(file));
        files.ShowSelectedFile(true);
        QApplication::processEvents();
        ASSERT_EQ(bed.Main().ViewerInFront(), bed.Main().Frame(id)->Widget()) << file;
        QWidget* frame = bed.Main().Frame(id)->Widget();
        const QRect panel(bed.Main().findChild<QWidget*>("ViewerPanel")->mapToGlobal(QPoint(0, 0)),
                          bed.Main().findChild<QWidget*>("ViewerPanel")->size());
        for (QToolButton* b : frame->findChildren<QToolButton*>()) {
            if (!b->isVisibleTo(frame)) continue;
            const QSize asked = b->minimumSize() == b->maximumSize() ? b->minimumSize() : b->sizeHint();
            EXPECT_GE(b->width(), asked.width()) << name << " " << b->objectName().toStdString();
            EXPECT_GE(b->height(), asked.height()) << name << " " << b->objectName().toStdString();
            EXPECT_TRUE(panel.contains(QRect(b->mapToGlobal(QPoint(0, 0)), b->size())))
                << name << " " << b->objectName().toStdString();
        }
        ASSERT_TRUE(Screen(bed).save(QString::fromStdString(KELVARN_SCREENSHOT_DIR "/" + name + ".png")));
    };
    shoot("tmb.jpg", TFrameId::Image, "viewer-image-1024x768");
    shoot("trig.im", TFrameId::Mesh, "viewer-mesh-1024x768");
    right->setSizes({right->height() - 200, 200});
    QApplication::processEvents();
    ASSERT_NEAR(right->sizes().value(1), 200, 2);
    shoot("tmb.jpg", TFrameId::Image, "viewer-image-200px");
    shoot("trig.im", TFrameId::Mesh, "viewer-mesh-200px");
}

}  // namespace
}  // namespace kelvarn
