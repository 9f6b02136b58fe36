// What a new user meets in the first hour, in the program as src/app/ wires it: message boxes that
// stay closed, a script's messages that outlast the run, hints that follow "Show Tooltips", a status
// bar that tells the truth after a batch, and feedback from the reloads and scans.
#include <QAction>
#include <QHelpEvent>
#include <QImage>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include "app/ProgramTestBed.h"
#include "catalogue/FileList.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/CheckList.h"
#include "catalogue/ui/FileView.h"
#include "catalogue/ui/OutlineView.h"
#include "media/ui/TextView.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptEngine.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

// A folder with one scenery asset holding the given files.
void WriteAsset(const std::string& folder, const std::string& kuid, const std::vector<std::string>& files) {
    test::WriteBytes(folder + "/config.txt", "kind \"scenery\"\r\nkuid " + kuid + "\r\nusername \"Shed\"\r\n");
    for (const std::string& f : files) test::WriteBytes(folder + "/" + f, "not really an image");
}

// Counts the key releases a control receives.
class TKeyReleases : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) ++count;
        return false;
    }
};

TEST(FirstHour, AKeyThatClosedAMessageBoxDoesNotMakeTheFileListActAgain) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/shed", "<kuid:1:1>", {"a.bmp", "b.jpg"});
    bed.Start();
    TFileView& files = *bed.windows->Assets().FileView();
    ASSERT_EQ(files.Files().Count(), 3);  // config.txt, a.bmp, b.jpg
    // Each shown file raises a real message box, which Enter closes as it goes down; its release
    // then reaches the list beneath.
    bed.Main().Dispatcher().RegisterCallback(ccShowFile, [&bed](const std::string& path) {
        bed.state.Messages->ShowMessage("Shown: " + ExtractFileName(path));
    });
    int boxes = 0;
    bed.messages.onShow = [&](const std::string& text) {
        if (++boxes > 3) return;  // a loop would go on for ever
        QMessageBox box(QMessageBox::Information, "Kelvarn", QString::fromStdString(text), QMessageBox::Ok, &bed.Main());
        QTimer::singleShot(0, &box, [&box] { QTest::keyPress(&box, Qt::Key_Return); });
        box.exec();
    };
    QApplication::setActiveWindow(&bed.Main());
    files.List()->setFocus();
    files.Files().SetCurrentFile(0);

    // The list is sorted: a.bmp, b.jpg, config.txt.
    QTest::keyPress(files.List(), Qt::Key_Down);
    QTest::keyRelease(files.List(), Qt::Key_Down);
    EXPECT_EQ(bed.state.AssetFileName(), "b.jpg");
    ASSERT_EQ(bed.messages.texts.size(), 1u);
    EXPECT_EQ(bed.messages.texts[0], "Shown: b.jpg");
    // The release of the Return that closed the box does not reach the list at all.
    TKeyReleases releases;
    files.List()->installEventFilter(&releases);
    QTest::keyRelease(files.List(), Qt::Key_Return);
    EXPECT_EQ(bed.messages.texts.size(), 1u);
    EXPECT_EQ(releases.count, 0);
    QTest::keyClick(files.List(), Qt::Key_Shift);
    EXPECT_EQ(releases.count, 1);  // a key pressed here comes up here
    // Keys that leave the selection where it is show nothing again.
    QTest::keyPress(files.List(), Qt::Key_Up);    // away ...
    QTest::keyPress(files.List(), Qt::Key_Down);  // ... and back before a key goes up
    QTest::keyRelease(files.List(), Qt::Key_Down);
    EXPECT_EQ(bed.messages.texts.size(), 1u);
    // Another file is a new selection: shown once.
    QTest::keyClick(files.List(), Qt::Key_Up);
    EXPECT_EQ(bed.state.AssetFileName(), "a.bmp");
    EXPECT_EQ(bed.messages.texts.size(), 2u);
    EXPECT_EQ(boxes, 2);
}

TEST(FirstHour, AScriptRunsMessagesStayAfterTheRunAndShowInTheCoveringViewer) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/shed", "<kuid:1:1>", {});
    bed.Start();
    TMain& main = bed.Main();
    TAlert& strip = *main.Frame(TFrameId::Outline)->Alert();
    TViewer& viewer = bed.windows->Viewer();

    main.MenuItem("mExecScript")->trigger();  // Execute Script Commands
    ASSERT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.OkButton()->text(), "Execute");
    auto* memo = viewer.TextView().MainControl()->findChild<QPlainTextEdit*>();
    if (!memo) memo = qobject_cast<QPlainTextEdit*>(viewer.TextView().MainControl());
    ASSERT_NE(memo, nullptr);
    memo->setPlainText("-exit|Finished here.");
    viewer.ButtonClick(viewer.OkButton());
    QApplication::processEvents();
    ASSERT_TRUE(strip.IsOpen());
    EXPECT_NE(strip.Text().find("Finished here."), std::string::npos) << strip.Text();
    // The viewer covers the strip: it says the same.
    EXPECT_TRUE(viewer.TextView().Alert()->IsOpen());
    EXPECT_EQ(viewer.TextView().Alert()->Text(), strip.Text());

    // Closing the viewer leaves the messages where they are until the user closes them.
    viewer.ButtonClick(viewer.ClearButton());  // "Close"
    EXPECT_FALSE(viewer.isVisible());
    EXPECT_TRUE(strip.IsOpen());
    EXPECT_NE(strip.Text().find("Finished here."), std::string::npos);
    QApplication::processEvents();
    EXPECT_TRUE(strip.IsOpen());
}

TEST(FirstHour, HintsFollowShowTooltips) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/shed", "<kuid:1:1>", {});
    bed.Start();
    TMain& main = bed.Main();
    QAction* tips = main.MenuItem("mTooltips");
    ASSERT_TRUE(tips->isChecked());
    auto* refresh = bed.windows->Assets().FileView()->findChild<QToolButton*>("bRefresh");
    ASSERT_NE(refresh, nullptr);
    QMenu* menu = main.TopMenu("HelpMainMenu");
    ASSERT_NE(menu, nullptr);

    auto hintOf = [&](QWidget* widget) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(widget, &help);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    };
    auto menuShowsHints = [&] {
        menu->popup(main.mapToGlobal(QPoint(10, 10)));
        const bool shown = menu->toolTipsVisible();
        menu->hide();
        return shown;
    };
    EXPECT_EQ(hintOf(refresh), "Refresh File List");
    EXPECT_TRUE(menuShowsHints());

    tips->trigger();
    EXPECT_FALSE(tips->isChecked());
    EXPECT_EQ(hintOf(refresh), "");
    EXPECT_FALSE(menuShowsHints());

    tips->trigger();
    EXPECT_EQ(hintOf(refresh), "Refresh File List");
    EXPECT_TRUE(menuShowsHints());
}

TEST(FirstHour, TheStatusBarIsClearedWhenABatchEnds) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/a", "<kuid:1:1>", {});
    WriteAsset(bed.AssetRoot() + "/b", "<kuid:1:2>", {});
    WriteAsset(bed.AssetRoot() + "/c", "<kuid:1:3>", {});
    bed.Start();
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 3);
    list.SelectAsset(0);
    list.SetTagged(1, true);
    list.SetTagged(2, true);
    // The last tagged asset has lost its config since it was listed: the batch cannot take it.
    fs::remove(list.Entry(2).folder + "/config.txt");
    const std::string script = bed.dir / "program/touch.kvm";
    test::WriteBytes(script, "-exit|Done\r\n");
    bed.windows->Scripts().Host().AskFileHook = [&](const std::string&, const std::string&, const std::string&) { return script; };

    bed.Main().MenuItem("mTaggedScript")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(bed.Panel(4).find("Processing"), std::string::npos) << bed.Panel(4);
}

// After a batch over tagged assets the line count is the shown config's again, not the last
// asset's of the batch.
TEST(FirstHour, TheLineCountAfterABatchIsTheShownConfigs) {
    test::ProgramTestBed bed;
    std::string longer = "kind \"scenery\"\r\nkuid <kuid:1:1>\r\nusername \"Shed\"\r\n";
    for (int i = 0; i < 30; ++i) longer += "category-era-" + std::to_string(i) + " \"1960s\"\r\n";
    test::WriteBytes(bed.AssetRoot() + "/a/config.txt", longer);
    WriteAsset(bed.AssetRoot() + "/b", "<kuid:1:2>", {});
    bed.Start();
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 2);
    list.SelectAsset(0);
    list.SetTagged(0, true);
    list.SetTagged(1, true);
    const std::string shown = bed.windows->Outline().Document().ConfigStatusText();
    ASSERT_EQ(shown, "Config: 33 lines");
    const std::string script = bed.dir / "program/touch.kvm";
    test::WriteBytes(script, "-update|config.txt\\username|Hut\r\n");
    bed.windows->Scripts().Host().AskFileHook = [&](const std::string&, const std::string&, const std::string&) { return script; };
    bed.Main().MenuItem("mTaggedScript")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(bed.Panel(2), shown);
}

// A click on an asset's tag box tags it and nothing else: the asset being edited stays current, no
// question about its edits comes up, and the count shows the tag at once.
TEST(FirstHour, TheTagBoxTagsWithoutSelecting) {
    test::ProgramTestBed bed(Answer::No);
    WriteAsset(bed.AssetRoot() + "/a", "<kuid:1:1>", {});
    WriteAsset(bed.AssetRoot() + "/b", "<kuid:1:2>", {});
    WriteAsset(bed.AssetRoot() + "/c", "<kuid:1:3>", {});
    bed.Start();
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    list.SelectAsset(0);
    const std::string current = bed.state.AssetPath();
    TOutlineDocument& outline = bed.windows->Outline().Document();
    outline.SetTagByPath("\\username", "\"Cabin\"");
    outline.SetModified(true);
    bed.messages.texts.clear();

    auto* view = bed.Main().Frame(TFrameId::AssetList)->Widget()->findChild<QListView*>("Assets");
    ASSERT_NE(view, nullptr);
    const QRect row = view->visualRect(view->model()->index(1, 0));
    const QPoint box(kCheckColumnWidth / 2, row.center().y());
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(bed.Panel(0), "Assets: 1/3");
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, box);
    EXPECT_TRUE(list.Entry(1).tagged);
    EXPECT_EQ(bed.state.AssetPath(), current);
    EXPECT_TRUE(bed.messages.texts.empty()) << bed.messages.texts.front();
    EXPECT_TRUE(outline.Modified());
    EXPECT_EQ(bed.Panel(0), "Assets: 1/3");
}

// Deleting the picture on show takes it off the screen, and its description off the status bar.
TEST(FirstHour, ADeletedPictureLeavesTheViewer) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/a", "<kuid:1:1>", {});
    const std::string thumb = bed.AssetRoot() + "/a/thumb.jpg";
    QImage picture(240, 180, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(QString::fromStdString(thumb), "JPG"));
    bed.Start();
    bed.windows->Assets().Catalogue().SelectAsset(0);
    TFileList& files = bed.windows->Assets().Files();
    const int index = files.IndexOf("thumb.jpg");
    ASSERT_GE(index, 0);
    files.SetCurrentFile(index);
    files.ShowSelectedFile(true);
    QApplication::processEvents();
    auto* image = static_cast<IViewerFrame*>(bed.Main().Frame(TFrameId::Image));
    ASSERT_EQ(NativePath(image->ShownFile()), NativePath(thumb));
    ASSERT_EQ(bed.Panel(4).rfind("JPG Image: 240 x 180", 0), 0u) << bed.Panel(4);

    bed.Main().Dispatcher().ExecuteMenuCommand(2220, "FileView");
    QApplication::processEvents();
    ASSERT_FALSE(FileExists(thumb));
    EXPECT_NE(NativePath(image->ShownFile()), NativePath(thumb));
    EXPECT_EQ(bed.Panel(4).find("240 x 180"), std::string::npos) << bed.Panel(4);
}

// The descriptor editor shows no picture: the status bar does not go on describing the last one.
TEST(FirstHour, TheDescriptorEditorTakesThePicturesSizeOffTheStatusBar) {
    test::ProgramTestBed bed;
    WriteAsset(bed.AssetRoot() + "/a", "<kuid:1:1>", {});
    QImage picture(240, 180, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(QString::fromStdString(bed.AssetRoot() + "/a/thumb.jpg"), "JPG"));
    test::WriteBytes(bed.AssetRoot() + "/a/wall.texture.txt", "Primary=wall.tga\r\nTile=st\r\n");
    test::WriteBytes(bed.AssetRoot() + "/a/roof.texture.txt", "Primary=roof.tga\r\nTile=st\r\n");
    bed.Start();
    bed.windows->Assets().Catalogue().SelectAsset(0);
    QApplication::processEvents();
    ASSERT_EQ(bed.Panel(4).rfind("JPG Image: 240 x 180", 0), 0u) << bed.Panel(4);
    TFileList& files = bed.windows->Assets().Files();
    files.SetCurrentFile(files.IndexOf("wall.texture.txt"));
    files.ShowSelectedFile(true);
    QApplication::processEvents();
    ASSERT_EQ(bed.Main().ViewerInFront(), bed.Main().Frame(TFrameId::TextureDescriptor)->Widget());
    EXPECT_EQ(bed.Panel(4).find("240 x 180"), std::string::npos) << bed.Panel(4);
    // Another text there (a tag's help, as the value picker puts it before it opens the file) stays.
    files.SetCurrentFile(files.IndexOf("roof.texture.txt"));
    bed.state.SendStatusText(stPanel2, "Primary texture of the asset");
    bed.Main().Bus().SendCommand(ccShowFile, bed.AssetRoot() + "/a/roof.texture.txt");
    QApplication::processEvents();
    ASSERT_EQ(NativePath(static_cast<IViewerFrame*>(bed.Main().Frame(TFrameId::TextureDescriptor))->ShownFile()),
              NativePath(bed.AssetRoot() + "/a/roof.texture.txt"));
    EXPECT_EQ(bed.Panel(4), "Primary texture of the asset");
}

TEST(FirstHour, ReloadAndScanSayWhatTheyDid) {
    {
        test::ProgramTestBed bed;
        WriteAsset(bed.AssetRoot() + "/a", "<kuid:1:1>", {});
        WriteAsset(bed.AssetRoot() + "/b", "<kuid:1:2>", {});
        bed.Start();
        bed.Main().MenuItem("mReloadHome")->trigger();
        EXPECT_EQ(bed.Panel(4), "Home folders reloaded: 0 assets added, 2 assets listed");
        bed.windows->Assets().Catalogue().ClearAssets(TClearWhich::All);
        bed.Main().MenuItem("mReloadHome")->trigger();
        EXPECT_EQ(bed.Panel(4), "Home folders reloaded: 2 assets added, 2 assets listed");
        // No simulator folder is set up here.
        bed.Main().MenuItem("m2010Editing")->trigger();
        EXPECT_EQ(bed.Panel(4).rfind("Folder not found: ", 0), 0u) << bed.Panel(4);
    }
    {
        test::ProgramTestBed bed;
        bed.Start("", false);
        bed.Main().MenuItem("mReloadHome")->trigger();
        EXPECT_EQ(bed.Panel(4), "No home folders");
        // A simulator folder that is there is scanned and counted.
        WriteAsset(bed.dir / "trs/UserData/editing/shed", "<kuid:1:9>", {});
        bed.state.Paths.TS12 = bed.dir / "trs";
        bed.Main().MenuItem("mTS12Editing")->trigger();
        EXPECT_EQ(bed.Panel(4), "Scanned " + (bed.dir / "trs") + "\\UserData\\editing: 1 asset added") << bed.Panel(4);
    }
}

}  // namespace
}  // namespace kelvarn
