#include <gtest/gtest.h>

#include <QAction>
#include <filesystem>
#include <system_error>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QToolButton>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "shell/Files.h"
#include "shell/MainMenuTable.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::CallLog;

class MainWindow : public ::testing::Test {
protected:
    MainWindow() {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/";
        state.ProgramFile = dir / "kelvarn";
        state.Clock = &clock;
        state.Messages = &messages;
        clock.Set(2011, 3, 4, 10, 0);
    }
    ~MainWindow() override {
        main.reset();
        Globals().Messages = previous;
    }

    void Create(std::vector<std::string> arguments = {}, const std::string& ini = "", bool resize = true) {
        if (!ini.empty()) test::WriteBytes(dir / "kelvarn.ini", ini);
        state.OpenSettings(dir / "kelvarn.ini");
        const test::RecordingFrames made(log);
        frames = made.frames;
        assets = made.assets;
        files = made.files;
        outline = made.outline;
        text = made.text;
        image = made.image;
        descriptor = made.descriptor;
        lod = made.lod;
        main = std::make_unique<TMain>(state, frames, arguments);
        if (resize) main->resize(1000, 700);
    }
    void Show() {
        main->show();
        QApplication::processEvents();
    }
    std::vector<std::string> Calls(const std::string& what) { return log.Matching(what + " "); }

    test::TempDir dir;
    test::FakeClock clock;
    test::RecordingMessageSink messages;
    IMessageSink* previous = Globals().Messages;
    TProgramState state;
    CallLog log;
    TMainFrames frames;
    test::RecordingAssetList* assets = nullptr;
    test::Recording<TFrame<IFrame>>* files = nullptr;
    test::Recording<TFrame<IFrame>>* outline = nullptr;
    test::RecordingTextViewer* text = nullptr;
    test::RecordingViewerFrame* image = nullptr;
    test::RecordingViewerFrame* descriptor = nullptr;
    test::RecordingViewerFrame* lod = nullptr;
    std::unique_ptr<TMain> main;
};

const std::vector<std::string> kAllInInitOrder = {"AssetList", "FileList", "Outline", "Text", "Mesh", "Table",
                                                   "Image", "TagCatalogue", "TextureDescriptor", "LevelOfDetail"};

TEST_F(MainWindow, BuiltMenuIsTheTable) {
    Create();
    for (const TTopMenu& top : MainMenus()) {
        QMenu* menu = main->TopMenu(QString::fromUtf8(top.name.data(), qsizetype(top.name.size())));
        ASSERT_NE(menu, nullptr) << top.name;
        EXPECT_EQ(menu->property("tag").toInt(), top.tag);
        EXPECT_EQ(menu->menuAction()->isVisible(), !top.hidden) << top.name;
    }
    EXPECT_EQ(main->TopMenu("TrainzBuildMenu")->title(), "Trainz-Build 2.5");
    for (const TMenuRow& row : MainMenuRows()) {
        if (row.flags & mfSubMenu) continue;
        const QString name = QString::fromUtf8(row.name.data(), qsizetype(row.name.size()));
        QAction* action = main->MenuItem(name);
        ASSERT_NE(action, nullptr) << row.name;
        EXPECT_EQ(action->property("tag").toInt(), row.number) << row.name;
        EXPECT_EQ(action->text().toStdString(), row.caption);
        EXPECT_EQ(action->isVisible(), !(row.flags & mfHidden)) << row.name;
    }
    EXPECT_EQ(main->MenuItem("mRedTga")->data().toString(), "red.tga");
    EXPECT_EQ(main->MenuItem("mCallHelp")->shortcut(), QKeySequence(Qt::Key_F1));
    // Bar order: the first menus as a user reads them.
    QStringList titles;
    for (QAction* a : main->menuBar()->actions())
        if (a->isVisible()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Asset", "&Repair", "&Tools", "&Scripts", "&Diagnostics",
                                   "Trainz-Build 2.5", "&Options", "&Help"}));
}

TEST_F(MainWindow, MenusValidateTheirGroupAsTheyOpen) {
    Create();
    std::vector<int> groups;
    main->Dispatcher().AddMenuValidator([&](int g) { groups.push_back(g); });
    emit main->TopMenu("HelpMainMenu")->aboutToShow();
    emit main->TopMenu("OptionsMainMenu")->aboutToShow();
    EXPECT_EQ(groups, (std::vector<int>{1500, 1400}));
}

TEST_F(MainWindow, UnknownAndUnbuiltCommandsSaySo) {
    Create();
    for (int n : {1001, 1002, 1013, 1014, 1022, 1218, 1220, 2225}) main->Dispatcher().ExecuteMenuCommand(n, "x");
    std::vector<std::string> expected;
    for (int n : {1001, 1002, 1013, 1014, 1022, 1218, 1220, 2225})
        expected.push_back("Undefined Command Token: " + std::to_string(n));
    EXPECT_EQ(messages.messages, expected);
    messages.messages.clear();
    for (int n : {2202, 2214, 1104, 2700}) main->Dispatcher().ExecuteMenuCommand(n, "x");  // known, do nothing
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(MainWindow, MenuItemsPassTheirCaptionWithoutAccelerators) {
    Create();
    std::string got;
    main->Dispatcher().RegisterCommand(1020, [&](const std::string& t) { got = t; });
    main->MenuItem("mRedTga")->trigger();
    EXPECT_EQ(got, "red.tga");
    EXPECT_EQ(main->Dispatcher().LastMenuCaption, "red.tga");
    main->MenuItem("mAddAssets")->trigger();  // not built yet: the dispatcher says so
    EXPECT_EQ(main->Dispatcher().LastMenuCaption, "Add Assets...");
    EXPECT_EQ(messages.messages.back(), "Undefined Command Token: 1003");
}

TEST_F(MainWindow, TooltipsToggleIsWrittenAndFlushed) {
    Create({}, "[Options]\r\nTooltips=1\r\n");
    QAction* tips = main->MenuItem("mTooltips");
    EXPECT_TRUE(tips->isChecked());
    tips->trigger();
    EXPECT_FALSE(tips->isChecked());
    EXPECT_NE(test::ReadBytes(dir / "kelvarn.ini").find("Tooltips=0"), std::string::npos);
    tips->trigger();
    EXPECT_NE(test::ReadBytes(dir / "kelvarn.ini").find("Tooltips=1"), std::string::npos);
}

TEST_F(MainWindow, LogAndReleaseNotesOpenInTheViewerWindow) {
    Create();
    test::RecordingTextViewer* viewerText = new test::RecordingTextViewer(log, "ViewerText", false);
    TViewer viewer(state, viewerText, main.get());
    main->SetReportViewer(&viewer);
    main->Dispatcher().ExecuteMenuCommand(1504, "Release Notes");
    EXPECT_EQ(viewer.windowTitle(), " Kelvarn Release Notes");
    EXPECT_EQ(viewerText->shown, dir.Path() + "/bin/Release Notes.txt");
    EXPECT_EQ(viewer.OkButton()->text(), "Close");
    EXPECT_FALSE(viewer.ClearButton()->isVisible());

    test::WriteBytes(dir / "log/Kelvarn(20110304).log", "old report\r\n");
    main->Dispatcher().ExecuteMenuCommand(1712, "View Log");
    EXPECT_EQ(viewer.windowTitle(), " Kelvarn Log: Kelvarn(20110304).log");
    EXPECT_EQ(viewer.ClearButton()->text(), "Clear");
    EXPECT_TRUE(viewer.ClearButton()->isVisible());
    main->Dispatcher().ExecuteMenuCommand(1714, "Clear Log");
    EXPECT_EQ(test::ReadBytes(dir / "log/Kelvarn(20110304).log"), "");
    viewer.close();
}

TEST_F(MainWindow, LifeCycleOrders) {
    Create();
    Show();
    EXPECT_EQ(Calls("Init"), kAllInInitOrder);
    EXPECT_EQ(Calls("Font"), kAllInInitOrder);
    EXPECT_EQ(state.CommandTarget, &main->Bus());
    main->Dispatcher().ExecuteMenuCommand(1008, "Exit");
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(Calls("CloseQuery"), (std::vector<std::string>{"Text", "Outline", "FileList", "Table", "AssetList",
                                                             "Image", "Mesh", "TagCatalogue", "TextureDescriptor",
                                                             "LevelOfDetail"}));
    EXPECT_EQ(Calls("Close"), (std::vector<std::string>{"Text", "Outline", "FileList", "AssetList", "Table", "Image",
                                                        "Mesh", "TagCatalogue", "TextureDescriptor", "LevelOfDetail"}));
    EXPECT_TRUE(main->Closing());
}

TEST_F(MainWindow, FirstRefusalStopsTheCloseQuery) {
    Create();
    Show();
    files->canClose = false;
    EXPECT_FALSE(main->close());
    EXPECT_EQ(Calls("CloseQuery"), (std::vector<std::string>{"Text", "Outline", "FileList"}));
    EXPECT_TRUE(Calls("Close").empty());
    EXPECT_FALSE(main->Closing());
    main->Bus().SendCommand(ccStatusText, "0|still here");
    EXPECT_EQ(main->StatusPanel(0)->text(), "still here");
    files->canClose = true;
    EXPECT_TRUE(main->close());
    main->Bus().SendCommand(ccStatusText, "0|closing");  // ignored once closing
    EXPECT_EQ(main->StatusPanel(0)->text(), "still here");
}

TEST_F(MainWindow, IntroductionShownOrSilentlySkipped) {
    test::WriteBytes(dir / "bin/introduction.txt", "Welcome\r\n");
    Create();
    Show();
    EXPECT_EQ(text->shown, dir.Path() + "/bin/introduction.txt");
    EXPECT_EQ(text->tabWidth, 3);
    EXPECT_EQ(main->ActiveViewer(), TFrameId::Text);

    main.reset();
    log.calls.clear();
    Create();
    assets->entries = 2;  // the asset list holds entries: no introduction
    Show();
    EXPECT_EQ(text->shown, "");

    main.reset();
    DeleteFilePath(dir / "bin/introduction.txt");
    Create();
    Show();
    EXPECT_EQ(text->shown, "");
    EXPECT_TRUE(messages.messages.empty());
}

// The folder a program is started in, for the time of a test.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder) { std::filesystem::current_path(folder); }
    ~WorkingFolder() { std::filesystem::current_path(was_); }

private:
    std::filesystem::path was_ = std::filesystem::current_path();
};

TEST_F(MainWindow, CommandLineFolders) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> folders;
        std::string said;
    };
    const std::string folder = dir / "assets";
    std::filesystem::create_directories(folder);
    // Started in the temporary folder: a relative folder is that folder's, and opens as its full path
    // (which the asset paths and every tool's "%p%" follow).
    const WorkingFolder started(dir.Path());
    const std::string here = std::filesystem::current_path().string();
    const Case cases[] = {
        {{"-CMP", folder}, {folder}, ""},
        {{folder}, {folder}, ""},
        {{"assets"}, {here + "/assets"}, ""},
        {{"-CMP", "assets"}, {here + "/assets"}, ""},
        {{"-CMP", "./gone/../assets/"}, {here + "/assets/"}, ""},
        {{"-CMP"}, {}, ""},
        {{"-CMP", " "}, {}, ""},
        {{"-cmp", folder}, {}, "Folder not found: " + here + "/-cmp"},  // not the switch: taken as a folder
        {{"-CMP", dir / "gone"}, {}, "Folder not found: " + dir / "gone"},
        {{}, {}, ""},
    };
    for (const Case& c : cases) {
        main.reset();
        messages.messages.clear();
        Create(c.args);
        Show();
        EXPECT_EQ(assets->folders, c.folders);
        EXPECT_EQ(messages.messages, c.said.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.said});
    }
    // Handed over by a second start: the same.
    main->Bus().SendCommand(ccInstance, "-CMP " + dir / "elsewhere");
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Folder not found: " + dir / "elsewhere"});
    main->Bus().SendCommand(ccInstance, "-CMP " + folder);
    EXPECT_EQ(assets->folders, std::vector<std::string>{folder});
}

#ifndef _WIN32
// A folder that is there but may not be read would load nothing: the user is told, also when a folder
// above it is what shuts them out (where a umask of 077 leaves the temporary folder).
TEST_F(MainWindow, AFolderTheUserMayNotReadIsReported) {
    namespace fs = std::filesystem;
    const fs::perms open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir.Path(), open);
    const std::string locked = dir / "locked";
    const std::string closed = dir / "closed";
    const std::string behind = closed + "/folder";
    fs::create_directories(locked + "/asset");
    fs::create_directories(behind + "/asset");
    fs::permissions(locked, fs::perms::none);
    fs::permissions(behind, open);
    fs::permissions(closed, fs::perms::none);
    Create();
    Show();
    messages.messages.clear();
    {
        // Root reads every folder: the hand-over is taken as a user who may not (nobody).
        const bool root = ::geteuid() == 0;
        if (root) {
            ASSERT_EQ(::seteuid(65534), 0);
        }
        main->Bus().SendCommand(ccInstance, "-CMP " + locked);
        main->Bus().SendCommand(ccInstance, "-CMP " + behind);
        if (root) {
            ASSERT_EQ(::seteuid(0), 0);
        }
    }
    fs::permissions(locked, fs::perms::owner_all);
    fs::permissions(closed, fs::perms::owner_all);
    EXPECT_TRUE(assets->folders.empty());
    ASSERT_EQ(messages.messages.size(), 2u);
    // The reason is the system's own text, in the user's language.
    const std::string denied = std::make_error_code(std::errc::permission_denied).message();
    EXPECT_EQ(messages.messages[0], "Unable to read the folder " + locked + ": " + denied);
    EXPECT_EQ(messages.messages[1], "Unable to read the folder " + behind + ": " + denied);
}
#endif

TEST_F(MainWindow, RestoreOffStoresNoPositionButFlushes) {
    Create({}, "[Position]\r\nRestore=0\r\n");
    Show();
    state.Settings().WriteString("ColoursMRU", "1", "#123456");  // a writer that does not flush
    EXPECT_TRUE(main->close());
    const std::string ini = test::ReadBytes(dir / "kelvarn.ini");
    EXPECT_NE(ini.find("#123456"), std::string::npos);
    EXPECT_EQ(ini.find("MaxMode"), std::string::npos);
    EXPECT_EQ(ini.find("AssetWidth"), std::string::npos);
}

TEST_F(MainWindow, RestoreOnStoresTheLayout) {
    Create({}, "[Position]\r\nRestore=1\r\nLeft=10\r\nTop=20\r\nWidth=900\r\nHeight=650\r\nAssetWidth=100\r\n"
               "MaxMode=2\r\n");
    Show();
    EXPECT_EQ(main->Layout().mode, 2);
    EXPECT_TRUE(text->MaxButton()->isChecked());
    EXPECT_TRUE(image->MaxButton()->isChecked());  // every viewer shares the text view's state
    EXPECT_FALSE(outline->MaxButton()->isChecked());
    EXPECT_TRUE(main->close());
    TMemIni saved(dir / "kelvarn.ini");
    EXPECT_EQ(saved.ReadInteger("Position", "MaxMode", -1), 2);
    EXPECT_GE(saved.ReadInteger("Position", "AssetWidth", -1), 297);
    EXPECT_TRUE(FileExists(dir / "backup/Kelvarn(20110304).ini"));  // the day's settings copy
}

// The offscreen screen is 800 x 600: every stored size is larger.
TEST_F(MainWindow, RestoredBoundsFitTheScreen) {
    for (const char* bounds : {"Left=0\r\nTop=0\r\nWidth=100000\r\nHeight=100000", "Left=0\r\nTop=0\r\nWidth=3840\r\nHeight=2160",
                               "Left=5000\r\nTop=-300\r\nWidth=640\r\nHeight=480"}) {
        Create({}, std::string("[Position]\r\nRestore=1\r\n") + bounds + "\r\n", false);
        Show();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect g = main->geometry();
        const QSize least = main->minimumSizeHint();
        EXPECT_TRUE(area.contains(g)) << bounds << " " << g.x() << "," << g.y() << " " << g.width() << "x" << g.height()
                                      << " least " << least.width() << "x" << least.height();
        const QWidget* status = main->StatusPanel(0);
        EXPECT_TRUE(area.contains(QRect(status->mapToGlobal(QPoint(0, 0)), status->size()))) << bounds;
        main.reset();
    }
}

TEST_F(MainWindow, SetupDialogOncePerRun) {
    Create();
    int checks = 0, dialogs = 0, scripts = 0;
    main->CheckSetup = [&] { return ++checks, false; };
    main->ShowSetupDialog = [&] {
        ++dialogs;
        main->FormActivate();  // the dialog closing re-activates the window
    };
    main->ActivateHooks.push_back([&] { ++scripts; });
    main->FormActivate();  // before FormShow: nothing yet
    EXPECT_EQ(scripts, 0);
    Show();
    main->FormActivate();
    main->FormActivate();
    EXPECT_EQ(dialogs, 1);
    EXPECT_GE(scripts, 2);  // the start-up scripts run on every activation
}

TEST_F(MainWindow, LayoutSwitchesFromTheButtons) {
    Create();
    Show();
    const int split = main->Layout().outlineHeight;
    ASSERT_GT(split, 0);
    std::vector<int> groups;
    main->Dispatcher().AddMenuValidator([&](int g) { groups.push_back(g); });
    text->MaxButton()->click();
    EXPECT_EQ(main->Layout().mode, 2);
    EXPECT_EQ(main->findChild<QSplitter*>("RightPanel")->sizes().value(0), 0);
    EXPECT_TRUE(image->MaxButton()->isChecked());
    outline->MaxButton()->click();  // back to the remembered split, not to a full outline
    EXPECT_EQ(main->Layout().mode, 0);
    EXPECT_EQ(main->Layout().outlineHeight, split);
    outline->MaxButton()->click();
    EXPECT_EQ(main->Layout().mode, 1);
    EXPECT_TRUE(outline->MaxButton()->isChecked());
    EXPECT_FALSE(text->MaxButton()->isChecked());
    EXPECT_EQ(groups, (std::vector<int>{0, 0, 0}));
}

TEST_F(MainWindow, RowsThatNeedTheOutlineLeaveTheViewerMaximised) {
    Create();
    Show();
    text->MaxButton()->click();
    ASSERT_EQ(main->Layout().mode, 2);
    main->Dispatcher().ExecuteMenuCommand(1701, "Validate Tags");  // no row yet: the layout stays
    EXPECT_EQ(main->Layout().mode, 2);
    bool ran = false;
    main->Dispatcher().RegisterCommand(1701, [&](const std::string&) { ran = main->Layout().mode == 0; });
    main->Dispatcher().ExecuteMenuCommand(1701, "Validate Tags");
    EXPECT_TRUE(ran);
}

TEST_F(MainWindow, FocusKeysFollowTheMode) {
    Create();
    Show();
    QWidget* focus = nullptr;
    EXPECT_TRUE(main->HandleKey(Qt::Key_F7, {}, focus));
    text->MaxButton()->click();  // mode 2
    EXPECT_FALSE(main->HandleKey(Qt::Key_F7, {}, focus));
    EXPECT_TRUE(main->HandleKey(Qt::Key_F8, {}, focus));
    outline->MaxButton()->click();
    outline->MaxButton()->click();  // mode 1
    ASSERT_EQ(main->Layout().mode, 1);
    EXPECT_FALSE(main->HandleKey(Qt::Key_F8, {}, focus));
    EXPECT_TRUE(main->HandleKey(Qt::Key_F5, {}, focus));
    EXPECT_TRUE(main->HandleKey(Qt::Key_F6, {}, focus));
}

TEST_F(MainWindow, EscapeCancelsTheBusiestAndAbortsScripts) {
    Create();
    Show();
    int aborts = 0;
    bool editorBusy = true;
    main->EditorBusy = [&] { return editorBusy; };
    main->AbortScripts = [&] { ++aborts; };
    outline->busy = true;
    main->HandleKey(Qt::Key_Escape, {}, nullptr);
    EXPECT_TRUE(state.AbortRequested);
    EXPECT_TRUE(Calls("Cancel").empty());
    editorBusy = false;
    main->HandleKey(Qt::Key_Escape, {}, nullptr);
    EXPECT_EQ(Calls("Cancel"), std::vector<std::string>{"Outline"});
    outline->busy = false;
    main->HandleKey(Qt::Key_Escape, {}, nullptr);
    EXPECT_EQ(Calls("Cancel"), (std::vector<std::string>{"Outline", "AssetList"}));
    EXPECT_EQ(aborts, 3);
}

TEST_F(MainWindow, CtrlSSavesByFocusThenActiveViewer) {
    Create();
    Show();
    int outlineSaves = 0;
    main->SaveOutlineConfig = [&] { ++outlineSaves; };
    text->shown = "/a/t.txt";
    descriptor->shown = "/a/b.texture.txt";
    EXPECT_TRUE(main->HandleKey(Qt::Key_S, Qt::ControlModifier, text->MainControl()));
    EXPECT_EQ(Calls("Save /a/t.txt"), std::vector<std::string>{"Text"});
    main->SetActiveViewer(TFrameId::TextureDescriptor);
    EXPECT_TRUE(main->HandleKey(Qt::Key_S, Qt::ControlModifier, outline->MainControl()));
    EXPECT_EQ(Calls("Save /a/b.texture.txt"), std::vector<std::string>{"TextureDescriptor"});
    main->SetActiveViewer(TFrameId::Image);
    EXPECT_TRUE(main->HandleKey(Qt::Key_S, Qt::ControlModifier, outline->MainControl()));
    EXPECT_EQ(outlineSaves, 1);
    // Focus in the asset list with the image view in front: nothing.
    EXPECT_FALSE(main->HandleKey(Qt::Key_S, Qt::ControlModifier, assets->MainControl()));
    EXPECT_TRUE(main->HandleKey(Qt::Key_S, Qt::ControlModifier, image->MainControl()));
    EXPECT_EQ(Calls("Save "), std::vector<std::string>{"Image"});  // its quick save, of no file yet
}

TEST_F(MainWindow, SaveCurrentFileByName) {
    Create();
    Show();
    lod->shown = "/a/m.lm.txt";
    // The text view saves only its own file, and only with changes: no text of one file into another.
    main->Bus().SendCommand(ccSaveFile, "/a/readme.txt");  // nothing shown
    text->shown = "/a/other.txt";
    text->modified = true;
    main->Bus().SendCommand(ccSaveFile, "/a/readme.txt");  // another file shown
    text->shown = "/a/readme.txt";
    text->modified = false;
    main->Bus().SendCommand(ccSaveFile, "/a/readme.txt");  // no changes
    EXPECT_TRUE(Calls("Save /a/readme.txt").empty());
    EXPECT_TRUE(Calls("Save /a/other.txt").empty());
    text->modified = true;
    main->Bus().SendCommand(ccSaveFile, "/a/readme.txt");
    main->Bus().SendCommand(ccSaveFile, "/a/m.lm.txt");
    main->Bus().SendCommand(ccSaveFile, "/a/page.htm");
    EXPECT_EQ(Calls("Save /a/readme.txt"), std::vector<std::string>{"Text"});
    EXPECT_EQ(Calls("Save /a/m.lm.txt"), std::vector<std::string>{"LevelOfDetail"});
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Cannot Save this File: /a/page.htm"});
}

TEST_F(MainWindow, LockDisablesOnlyOnTheExactWord) {
    Create();
    Show();
    main->Bus().SendCommand(ccLock, "Lock");
    EXPECT_FALSE(assets->isEnabled());
    EXPECT_FALSE(files->isEnabled());
    EXPECT_FALSE(outline->isEnabled());
    EXPECT_TRUE(text->isEnabled());
    main->Bus().SendCommand(ccLock, "lock");
    EXPECT_TRUE(assets->isEnabled());
    EXPECT_TRUE(outline->isEnabled());
}

TEST_F(MainWindow, StatusPanelsFitTheirText) {
    Create();
    Show();
    EXPECT_EQ(main->StatusPanel(3)->width(), 300);
    main->Bus().SendCommand(ccStatusText, "3|a rather long description of the shown mesh");
    QLabel* panel = main->StatusPanel(2);
    EXPECT_EQ(panel->text(), "a rather long description of the shown mesh");
    EXPECT_EQ(panel->width(), panel->fontMetrics().horizontalAdvance(panel->text()) + 10);
    EXPECT_EQ(main->StatusPanel(0)->width(), 50);  // empty panels shrink to 50
    main->Bus().SendCommand(ccStatusText, "-1|");
    EXPECT_TRUE(main->windowTitle().startsWith(" Kelvarn  [Version: "));
}

TEST_F(MainWindow, ShowFileBranches) {
    Create();
    Show();
    test::WriteBytes(dir / "car/readme.txt", "x");
    test::WriteBytes(dir / "car/a.trainzmesh", "x");
    test::WriteBytes(dir / "car/a.doc", "x");
    test::WriteBytes(dir / "car/a.tga", "x");
    test::WriteBytes(dir / "car/horn.wav", "x");
    main->Bus().SendCommand(ccShowFile, dir / "car/readme.txt");
    EXPECT_EQ(text->shown, dir / "car/readme.txt");
    EXPECT_EQ(main->ActiveViewer(), TFrameId::Text);
    EXPECT_EQ(Calls("QuerySave"), (std::vector<std::string>{"Text", "TextureDescriptor", "LevelOfDetail", "Image"}));

    main->Bus().SendCommand(ccShowFile, dir / "car/a.trainzmesh");
    EXPECT_EQ(files->Alert()->Text(), "trainzmesh viewer not available yet");
    main->Bus().SendCommand(ccShowFile, dir / "car/a.doc");
    EXPECT_EQ(files->Alert()->Text(), "No viewer available");
    main->Bus().SendCommand(ccShowFile, dir / "car/gone.txt");
    EXPECT_EQ(outline->Alert()->Text(), "File not found: " + (dir / "car/gone.txt"));
    state.Settings().WriteString("Options", "Autoplay", "0");
    main->Bus().SendCommand(ccShowFile, dir / "car/horn.wav");
    EXPECT_TRUE(messages.messages.empty());
    main->Bus().SendCommand(ccShowFile, dir / "car/a.tga");  // the image view's branch is not built yet
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Callback Command Undefined: 220"});
    std::string shownImage;
    main->RegisterViewerBranch(TViewerChoice::Image, [&](const std::string& p) { shownImage = p; });
    main->Bus().SendCommand(ccShowFile, dir / "car/a.tga");
    EXPECT_EQ(shownImage, dir / "car/a.tga");

    state.Settings().WriteString("Options", "Autoplay", "1");  // autoplay is the file list's, not built yet
    messages.messages.clear();
    main->Bus().SendCommand(ccShowFile, dir / "car/horn.wav");
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Callback Command Undefined: 220"});
}

TEST_F(MainWindow, ShowTextClearsTheTextViewAndAlerts) {
    Create();
    Show();
    main->Bus().SendCommand(ccShowText, "A message for the text view");
    EXPECT_EQ(Calls("Clear"), std::vector<std::string>{"Text"});
    EXPECT_EQ(text->Alert()->Text(), "A message for the text view");
    EXPECT_FALSE(main->ActiveViewer().has_value());
    EXPECT_EQ(main->ViewerInFront(), text);
    main->Bus().SendCommand(ccShowText, "");
    EXPECT_FALSE(text->Alert()->IsOpen());

    log.calls.clear();
    main->Bus().SendCommand(ccNoAsset, "");
    EXPECT_EQ(Calls("QuerySave"), (std::vector<std::string>{"Text", "Image", "Outline"}));
    EXPECT_EQ(Calls("Clear"), (std::vector<std::string>{"FileList", "Outline", "Text", "Image", "Table", "Mesh",
                                                        "TagCatalogue", "TextureDescriptor", "LevelOfDetail"}));
    main->Bus().SendCommand(ccAlert, "outline says");
    EXPECT_EQ(outline->Alert()->Text(), "outline says");
    main->Bus().SendCommand(ccCloseAlert, "");
    EXPECT_FALSE(outline->Alert()->IsOpen());
}

TEST_F(MainWindow, HighlightFollowsTheNamedFrame) {
    Create({}, "[Colours]\r\nHighlight=#00FF00\r\n");
    Show();
    main->Bus().SendCommand(ccHighlight, "FileView");
    EXPECT_EQ(main->FrameBorderColour(TFrameId::FileList), QColor(0, 255, 0));
    EXPECT_NE(main->FrameBorderColour(TFrameId::AssetList), QColor(0, 255, 0));
    main->Bus().SendCommand(ccHighlight, "OutlineView");
    EXPECT_NE(main->FrameBorderColour(TFrameId::FileList), QColor(0, 255, 0));
    EXPECT_EQ(main->FrameBorderColour(TFrameId::Outline), QColor(0, 255, 0));
}

TEST_F(MainWindow, BackupCallbacks) {
    Create();
    Show();
    test::WriteBytes(dir / "car/config.txt", "kind scenery\r\n");
    main->Bus().SendCommand(ccBackupFile, dir / "car/config.txt");
    main->Bus().SendCommand(ccBackupAsset, dir / "car");
    std::vector<std::string> entries;
    ListEntries(dir / "backup/*.*", entries);
    EXPECT_GE(entries.size(), 3u);  // the file, the folder and the day's settings copy
    main->Bus().SendCommand(ccBackupFile, dir / "car/none.txt");
    EXPECT_EQ(messages.messages.size(), 1u);
}

}  // namespace
}  // namespace kelvarn
