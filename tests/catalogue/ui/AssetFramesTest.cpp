#include <gtest/gtest.h>

#include <QAction>
#include <algorithm>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QTest>
#include <filesystem>

#include "catalogue/AssetTestSupport.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/AssetList.h"
#include "catalogue/ui/FileView.h"
#include "catalogue/ui/FolderMonitor.h"
#include "shell/PathText.h"
#include "shell/ui/DesktopFiles.h"
#include "shell/ui/MainWindow.h"
#include "support/QtTestSupport.h"
#include "support/TrashLayout.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;

class AssetFramesTest : public ::testing::Test {
protected:
    AssetFramesTest() {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/program/";
        state.ProgramFile = dir / "program/kelvarn";
        state.Messages = &messages;
        state.Runner = &runner;
        state.Trash = &trash;
        state.Clipboard = &clipboard;
        state.Clock = &clock;
    }
    ~AssetFramesTest() override { main.reset(); }

    std::string Asset(const std::string& name, const std::string& kuid, const std::vector<std::string>& files = {}) {
        const std::string folder = dir / name;
        test::WriteBytes(folder + "/config.txt", "kind \"scenery\"\r\nkuid " + kuid + "\r\nname \"" + name + "\"\r\n");
        for (const std::string& f : files) test::WriteBytes(folder + "/" + f, "x");
        return folder;
    }

    void Start(std::vector<std::string> arguments = {}, const std::string& ini = "") {
        test::WriteBytes(dir / "program/kelvarn.ini", "[Options]\r\nProcessDelay=40\r\n" + ini);
        state.OpenSettings(dir / "program/kelvarn.ini");
        assets = std::make_unique<TAssetFrames>(state, kuids);
        assets->SetDialogs(dialogs);
        frames.assetList = assets->AssetList();
        frames.fileList = assets->FileView();
        frames.outline = new test::Recording<TFrame<IFrame>>(log, "Outline", true);
        frames.text = new test::RecordingTextViewer(log, "Text", true);
        auto viewer = [this](const char* name) { return new test::RecordingViewerFrame(log, name, true); };
        frames.mesh = viewer("Mesh");
        frames.table = viewer("Table");
        frames.image = viewer("Image");
        frames.tagCatalogue = viewer("TagCatalogue");
        frames.textureDescriptor = viewer("TextureDescriptor");
        frames.levelOfDetail = viewer("LevelOfDetail");
        main = std::make_unique<TMain>(state, frames, std::move(arguments));
        assets->Wire(*main);
        // The order of callbacks 201 and 221 as the main window runs them.
        TDispatcher& d = main->Dispatcher();
        d.RegisterCallback(ccSelectAsset, [this](const std::string& text) {
            order.push_back("201 " + text);
            assets->AssetSelected(*main);
        });
        d.RegisterCallback(ccShowPreview, [this](const std::string&) { order.push_back("221"); });
        main->resize(1000, 700);
        main->show();
        QApplication::processEvents();
    }

    TAssetList& List() { return *assets->AssetList(); }
    TFileView& Files() { return *assets->FileView(); }
    TAssetCatalogue& Catalogue() { return assets->Catalogue(); }
    QPoint Row(TCheckListView* view, int row, int x) {
        return QPoint(x, view->visualRect(view->model()->index(row, 0)).center().y());
    }
    std::vector<std::string> FileItems() {
        std::vector<std::string> out;
        for (const TFileItem& item : assets->Files().Items()) out.push_back(item.text);
        return out;
    }
    std::string Panel(int n) { return main->StatusPanel(n)->text().toStdString(); }

    test::TempDir dir;
    test::RecordingMessageSink messages;
    test::FakeRunner runner;
    test::FakeTrash trash;
    test::FakeClipboard clipboard;
    test::FakeClock clock;
    test::FakeDialogs dialogs;
    TProgramState state;
    TKuidMap kuids;
    test::CallLog log;
    TMainFrames frames;
    std::unique_ptr<TAssetFrames> assets;
    std::unique_ptr<TMain> main;
    std::vector<std::string> order;
};

TEST_F(AssetFramesTest, AFolderOnTheCommandLineIsListedAndItsFirstAssetLoaded) {
    const std::string first = Asset("lib/alpha", "<kuid:11:22>", {"body.im", "tex/skin.tga"});
    Asset("lib/beta", "<kuid:11:23>");
    Start({"-CMP", dir / "lib"});
    EXPECT_EQ(Catalogue().Count(), 2);
    EXPECT_EQ(state.AssetPath(), first);
    EXPECT_EQ(order, (std::vector<std::string>{"201 " + first, "221"}));
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"body.im", "config.txt", "tex\\skin.tga"}));
    // The config model holds the config, and its kuid is the context's.
    EXPECT_EQ(assets->ConfigDocument().GetValueByPath("config.txt\\name"), "lib/alpha");
    EXPECT_EQ(state.AssetKuid(), "<kuid:11:22>");
    EXPECT_EQ(state.CurrentKuid, "11");
    EXPECT_EQ(Panel(0), "Assets: 0/2");
    EXPECT_EQ(Panel(1), "Files: 0/3");
    // A saved file marks the asset and the file as edited.
    main->Bus().SendCommand(ccFileSaved, "tex/skin.tga");
    EXPECT_TRUE(Catalogue().Entry(0).edited);
    EXPECT_TRUE(assets->Files().Item(2).edited);
    EXPECT_FALSE(assets->Files().Item(0).edited);
    main->Bus().SendCommand(ccFileSaved, dir / "lib/beta/config.txt");  // another asset's file
    EXPECT_TRUE(Catalogue().Entry(1).edited);
    EXPECT_FALSE(assets->Files().Item(1).edited);
    // The viewers were asked to save and cleared before the load.
    EXPECT_FALSE(log.Matching("QuerySave ").empty());
    EXPECT_FALSE(log.Matching("Clear ").empty());
}

TEST_F(AssetFramesTest, ClearingTheListEmptiesTheFilesAndTheConfig) {
    Asset("lib/a", "<kuid:1:1>", {"x.tga"});
    Start({dir / "lib"});
    ASSERT_FALSE(assets->ConfigDocument().Empty());
    main->Dispatcher().DoMenuCommand(1006, "Clear &All Assets");
    EXPECT_EQ(Catalogue().Count(), 0);
    EXPECT_TRUE(assets->ConfigDocument().Empty());
    EXPECT_EQ(assets->Files().Count(), 0);
    EXPECT_EQ(state.AssetPath(), "");
    EXPECT_EQ(Panel(1), "Files: 0");
    EXPECT_EQ(Panel(0), "Assets: 0/0");
}

TEST_F(AssetFramesTest, AddAssetsTakesTheChosenFolder) {
    const std::string one = Asset("chosen/one", "<kuid:1:1>");
    Start();
    List().ChooseFolder = [this](const std::string& title) {
        EXPECT_EQ(title, "Content Location");
        return dir / "chosen";
    };
    main->Dispatcher().DoMenuCommand(1003, "&Add Assets...");
    EXPECT_EQ(Catalogue().Count(), 1);
    EXPECT_EQ(state.AssetPath(), one);
    EXPECT_EQ(order, (std::vector<std::string>{"201 " + one, "221"}));
    EXPECT_EQ(assets->ConfigDocument().GetValueByPath("config.txt\\kuid"), "<kuid:1:1>");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(AssetFramesTest, ChecksFollowTheCheckColumnAndTheRightButton) {
    for (const char* name : {"lib/a", "lib/b", "lib/c"}) Asset(name, "<kuid:1:1>");
    Start({dir / "lib"});
    Catalogue().MarkAssetEdited(dir / "lib/c");
    TCheckListView* view = List().List();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Row(view, 1, 8));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Row(view, 2, 8));  // an edited item toggles too
    EXPECT_EQ(state.TaggedCount, 2);
    EXPECT_EQ(state.AssetPath(), dir / "lib/a") << "the box tags; the current asset stays";
    EXPECT_EQ(Panel(0), "Assets: 2/3");
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, Row(view, 0, 8));
    EXPECT_EQ(state.TaggedCount, 1);  // inverted
    QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::ControlModifier, Row(view, 0, 8));
    EXPECT_EQ(state.TaggedCount, 0);  // the opposite of item 0's check, which was set
    // A left click on the text selects without tagging.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Row(view, 0, 60));
    EXPECT_EQ(state.AssetPath(), dir / "lib/a");
    EXPECT_EQ(state.TaggedCount, 0);
}

TEST_F(AssetFramesTest, CtrlKeysTagAndAnEmptyListCountsZero) {
    Start();
    TCheckListView* view = List().List();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(Panel(0), "Assets: 0/0");
    for (const char* name : {"lib/a", "lib/b"}) Asset(name, "<kuid:1:1>");
    List().AddDirectory(dir / "lib");
    QTest::keyClick(view, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(Panel(0), "Assets: 2/2");
    QTest::keyClick(view, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(state.TaggedCount, 0);
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_EQ(Panel(0), "Assets: 1/2");
    QTest::keyClick(view, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(state.TaggedCount, 0);
    QTest::keyClick(view, Qt::Key_B);
    EXPECT_EQ(state.AssetPath(), dir / "lib/b");
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(state.AssetPath(), dir / "lib/a");
}

TEST_F(AssetFramesTest, AHomePanelClickSwitchesItsFolder) {
    Asset("home/a", "<kuid:1:1>");
    Asset("other/b", "<kuid:1:2>");
    Start({dir / "other"}, "[Home]\r\n1=" + dir / "home" + "\r\n");
    EXPECT_EQ(Catalogue().Count(), 2);
    THomePanel* panel = List().HomePanel(1);
    EXPECT_TRUE(panel->isVisibleTo(&List()));
    EXPECT_FALSE(List().HomePanel(2)->isVisibleTo(&List()));
    EXPECT_EQ(panel->toolTip().toStdString(), dir / "home");
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_EQ(state.Settings().ReadString("HomeState", "1", ""), "1");
    EXPECT_TRUE(panel->Lowered());
    EXPECT_EQ(Catalogue().Count(), 1);
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_EQ(Catalogue().Count(), 2);
    EXPECT_FALSE(panel->Lowered());
}

TEST_F(AssetFramesTest, TheMaskComboFiltersTheFiles) {
    Asset("lib/a", "<kuid:1:1>", {"m.im", "t.tga", "b.bmp"});
    Start({dir / "lib"});
    ASSERT_EQ(FileItems().size(), 4u);
    emit Files().MaskCombo()->activated(1);  // images
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"b.bmp", "t.tga"}));
    EXPECT_EQ(state.FileListMask(), "*.bmp;*.jpg;*.tga");
    EXPECT_EQ(state.AssetFileName(), "b.bmp");
    Files().MaskCombo()->setEditText("*.im");
    emit Files().MaskCombo()->lineEdit()->editingFinished();
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"m.im"}));
}

TEST_F(AssetFramesTest, OpenDefaultHandsTheRunnerTheExpandedFile) {
    Asset("lib/a", "<kuid:1:1>", {"a b.tga"});
    Start({dir / "lib"});
    Files().Files().SetCurrentFile(0);
    ASSERT_EQ(state.AssetFileName(), "a b.tga");
    Files().Action("mOpenDefault")->trigger();
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(runner.runs[0].program, dir / "lib/a/a b.tga");
    EXPECT_TRUE(runner.runs[0].arguments.empty());
    // A tool of the file's extension and the menu's rules.
    state.Settings().WriteString("*.tga", "1", "Paint\xC2\xA6\xC2\xA6paint \"%pfe%\"\xC2\xA6" "1\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6" "0\xC2\xA6");
    Files().ContextMenuValidate();
    EXPECT_TRUE(Files().Action("mTool1")->isVisible());
    EXPECT_EQ(Files().Action("mTool1")->text(), "Paint");
    EXPECT_FALSE(Files().Action("mTool2")->isVisible());
    Files().Action("mTool1")->trigger();
    ASSERT_EQ(runner.runs.size(), 2u);
    EXPECT_EQ(runner.runs[1].program, "paint");
}

// Delete in the file list, with the desktop's own trash, of a file on another file system than the
// home folder: it ends in that file system's trash, or the user is told it stayed where it was.
TEST_F(AssetFramesTest, DeleteOnAnotherFileSystemUsesItsTrashOrSaysWhy) {
    test::TrashOnAnotherDrive layout(dir);
    if (!layout.Usable()) GTEST_SKIP() << layout.Why();
    TQtTrash desktopTrash;
    state.Trash = &desktopTrash;
    const std::string name = layout.Name("skin", ".tga");
    const std::string asset = layout.Folder() + "/lib/a";
    test::WriteBytes(asset + "/config.txt", "kind \"scenery\"\r\nkuid <kuid:1:1>\r\n");
    test::WriteBytes(asset + "/" + name, "pixels");
    Start({layout.Folder() + "/lib"});
    const auto items = FileItems();
    const auto at = std::find(items.begin(), items.end(), name);
    ASSERT_NE(at, items.end());
    Files().Files().SetCurrentFile(static_cast<int>(at - items.begin()));
    messages.answers = {Answer::Yes};
    Files().Action("mDelete")->trigger();
    if (!FileExists(asset + "/" + name)) {
        EXPECT_EQ(test::ReadBytes(layout.Trashed(name)), "pixels") << "not in the trash of " << layout.Folder();
        const auto left = FileItems();
        EXPECT_EQ(std::count(left.begin(), left.end(), name), 0);
    } else {
        ASSERT_FALSE(messages.messages.empty());
        EXPECT_NE(messages.messages.back().find("Not deleted (kept where it is):"), std::string::npos);
        EXPECT_NE(messages.messages.back().find(name), std::string::npos);
    }
}

TEST_F(AssetFramesTest, TheAssetMenuFollowsItsRules) {
    Asset("lib/editing/a", "<kuid:1:1>");
    Asset("lib/installed/b", "<kuid:1:2>");
    Start({dir / "lib"});
    List().ContextMenuValidate();
    EXPECT_TRUE(List().Action("mDelete")->isEnabled());
    EXPECT_FALSE(List().Action("mCopyTagged")->isVisible());
    EXPECT_FALSE(List().Action("mPaste")->isEnabled());
    Catalogue().SelectAsset(1);
    Catalogue().SetTagged(0, true);
    Catalogue().CountTagged();
    clipboard.files = {"/x"};
    List().ContextMenuValidate();
    EXPECT_FALSE(List().Action("mDelete")->isEnabled());
    EXPECT_FALSE(List().Action("mDeleteTagged")->isEnabled());
    EXPECT_TRUE(List().Action("mCopyTagged")->isVisible());
    EXPECT_TRUE(List().Action("mPaste")->isEnabled());
    EXPECT_FALSE(List().Action("mInstall")->isVisible());
    // The Delete key obeys the rule: nothing is asked here.
    List().List()->setFocus();
    QTest::keyClick(List().List(), Qt::Key_Delete);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(AssetFramesTest, ANewAssetUnderAHomeAppears) {
    Asset("home/a", "<kuid:1:1>");
    Start({}, "[Home]\r\n1=" + dir / "home" + "\r\n");
    ASSERT_EQ(Catalogue().Count(), 1);
    Asset("home/b", "<kuid:1:2>");
    EXPECT_TRUE(QTest::qWaitFor([this] { return Catalogue().Count() == 2; }, 5000));
    // A folder that gets its config.txt later is found too.
    fs::create_directories(dir / "home/c");
    QTest::qWait(200);
    test::WriteBytes(dir / "home/c/config.txt", "kuid <kuid:1:3>\r\n");
    EXPECT_TRUE(QTest::qWaitFor([this] { return Catalogue().Count() == 3; }, 5000));
}

TEST_F(AssetFramesTest, ANewFileInASubFolderRefreshesTheFileList) {
    Asset("lib/a", "<kuid:1:1>", {"sub/old.tga"});
    Start({dir / "lib"});
    int refreshes = 0;
    main->Dispatcher().RegisterCallback(ccRefreshFiles, [this, &refreshes](const std::string&) {
        ++refreshes;
        assets->Files().RefreshFileList("");
    });
    test::WriteBytes(dir / "lib/a/sub/new.tga", "x");
    EXPECT_TRUE(QTest::qWaitFor([&refreshes] { return refreshes > 0; }, 5000));
    EXPECT_EQ(FileItems(), (std::vector<std::string>{"config.txt", "sub\\new.tga", "sub\\old.tga"}));
    // A sub-folder made later is watched as well.
    fs::create_directories(dir / "lib/a/sub/later");
    QTest::qWait(200);
    const int before = refreshes;
    test::WriteBytes(dir / "lib/a/sub/later/x.bmp", "x");
    EXPECT_TRUE(QTest::qWaitFor([&] { return refreshes > before; }, 5000));
}

}  // namespace
}  // namespace kelvarn
