// The Qt side of the script engine: the "Select Option" dialog, the stand-in review dialog, and the
// engine wired into a main window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>

#include "catalogue/OutlineDocument.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"
#include "validation/ScriptUnit.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptEngine.h"
#include "validation/ui/SelectOptionDialog.h"

namespace kelvarn {
namespace {

// Runs `act` on the dialog once its modal loop is running.
void WhenShown(QDialog& dialog, std::function<void()> act) {
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        if (!dialog.isVisible()) return;
        act();
    });
}

std::vector<std::string> Twelve() {
    std::vector<std::string> items;
    const char* names[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"};
    for (int i = 0; i < 12; ++i) items.push_back((i < 9 ? "&" : "") + std::to_string(i + 1) + ": " + names[i]);
    return items;
}

TEST(SelectOptionDialog, SingleChoice) {
    test::TestApp();
    TSelectOptionDialog dialog;
    WhenShown(dialog, [&] {
        EXPECT_EQ(dialog.windowTitle(), "Pick");
        EXPECT_EQ(dialog.OptionIndex(), 0);  // the first is preselected
        const auto radios = dialog.OptionList()->findChildren<QRadioButton*>();
        ASSERT_EQ(radios.size(), 12);
        EXPECT_EQ(radios[0]->text(), "&1: a");
        EXPECT_EQ(radios[11]->text(), "12: l");
        radios[10]->click();
        dialog.OkButton()->click();
    });
    EXPECT_EQ(dialog.ChooseOne("Pick", Twelve()), 10);

    WhenShown(dialog, [&] { dialog.CancelButton()->click(); });
    EXPECT_EQ(dialog.ChooseOne("Pick", {"&1: x", "&2: y"}), -1);
    EXPECT_EQ(dialog.OptionIndex(), -1);  // Cancel cleared the choice
    EXPECT_EQ(dialog.OptionList()->findChildren<QRadioButton*>().size(), 2);

    WhenShown(dialog, [&] { dialog.reject(); });  // Escape or the close button
    EXPECT_EQ(dialog.ChooseOne("Pick", {"&1: x"}), -1);
}

TEST(SelectOptionDialog, MultipleChoice) {
    test::TestApp();
    TSelectOptionDialog dialog;
    std::vector<bool> checked;
    WhenShown(dialog, [&] {
        QListWidget* list = dialog.SelectionList();
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
        EXPECT_EQ(list->currentRow(), -1);
        list->item(0)->setCheckState(Qt::Checked);
        list->item(2)->setCheckState(Qt::Checked);
        dialog.OkButton()->click();
    });
    EXPECT_TRUE(dialog.ChooseMany("Fix", {"Doors", "Windows", "Roof"}, checked));
    EXPECT_EQ(checked, (std::vector<bool>{true, false, true}));

    WhenShown(dialog, [&] {
        dialog.SelectionList()->item(1)->setCheckState(Qt::Checked);
        dialog.CancelButton()->click();
    });
    EXPECT_FALSE(dialog.ChooseMany("Fix", {"Doors", "Windows", "Roof"}, checked));
    EXPECT_EQ(checked, (std::vector<bool>{false, false, false}));
}

// The dialog with twelve options as a user sees it; KELVARN_SCREENSHOT names a PNG file to write.
TEST(SelectOptionDialog, TwelveOptionsScreenshot) {
    test::TestApp();
    TSelectOptionDialog dialog;
    QImage shot;
    WhenShown(dialog, [&] {
        QApplication::processEvents();
        shot = dialog.grab().toImage();
        dialog.OkButton()->click();
    });
    dialog.ChooseOne("Choose a livery", Twelve());
    ASSERT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), 300);
    if (const char* file = std::getenv("KELVARN_SCREENSHOT")) {
        EXPECT_TRUE(shot.save(file));
    }
}

class ScriptEngineWiring : public ::testing::Test {
protected:
    ScriptEngineWiring() {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/";
        state.ProgramFile = dir / "kelvarn";
        state.Clock = &clock;
        state.Messages = &messages;
        state.OpenSettings(dir / "kelvarn.ini");
        const test::RecordingFrames made(log);
        outline = made.outline;
        main = std::make_unique<TMain>(state, made.frames, std::vector<std::string>{});
        engine = new TScriptEngine(state, main.get());
        editorOutline = std::make_unique<TOutlineDocument>(state);
        engine->Host().EditorOutlineHook = [this] { return editorOutline.get(); };
        engine->Wire(*main, nullptr);
        main->FormShow();
    }
    ~ScriptEngineWiring() override { main.reset(); }

    std::string Alert() const { return outline->Alert()->Text(); }

    test::TempDir dir;
    test::FakeClock clock;
    test::RecordingMessageSink messages;
    TProgramState state;
    test::CallLog log;
    test::Recording<TFrame<IFrame>>* outline = nullptr;
    std::unique_ptr<TMain> main;
    std::unique_ptr<TOutlineDocument> editorOutline;  // the editor window's, which batches run in
    TScriptEngine* engine = nullptr;
};

TEST_F(ScriptEngineWiring, CallbackRunsScriptTextIntoTheAlertStrip) {
    main->Bus().SendCommand(ccRunScript, "-bogus\" \"-other");
    EXPECT_EQ(Alert(), "RunKVM\\001: Invalid Script Call: -bogus\nRunKVM\\003: Invalid Script Call: -other");
    main->Bus().SendCommand(ccRunScript, "/no/such/script.kvm");
    EXPECT_TRUE(EndsWith(Alert(), "\nScript not found: /no/such/script.kvm"));
}

TEST_F(ScriptEngineWiring, TaggedFoldersComeThroughTheCallbacks) {
    // The asset list's rows hand the folders over.
    std::vector<bool> asked;
    for (int code : {ccListTagged, ccListTaggedOthers})
        main->Dispatcher().RegisterCallback(code, [&, code](const std::string&) {
            asked.push_back(code == ccListTaggedOthers);
            engine->Unit().FolderList = {"/a", "/b"};
        });
    EXPECT_EQ(engine->Host().TaggedFolders(false), (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(engine->Host().TaggedFolders(true).size(), 2u);
    EXPECT_EQ(asked, (std::vector<bool>{false, true}));
}

TEST_F(ScriptEngineWiring, ActivationRunsTheStartUpScripts) {
    test::WriteBytes(dir / "scripts/autorun.kvm", "-bogus");
    main->FormActivate();
    EXPECT_EQ(Alert(), "autorun\\001: Invalid Script Call: -bogus");
}

TEST_F(ScriptEngineWiring, EscapeStopsTheRunAndCloseWaitsForItsEnd) {
    main->show();
    QApplication::processEvents();
    int ran = 0;
    engine->Unit().Commands().Register(17, [&](ScriptCall&) {
        ++ran;
        main->close();  // the user closes the window meanwhile
        EXPECT_TRUE(main->isVisible());
        main->HandleKey(Qt::Key_Escape, Qt::NoModifier, nullptr);
        return std::string();
    });
    main->Bus().SendCommand(ccRunScript, "-expand\"-expand");
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(engine->Unit().Running());
    for (int i = 0; i < 5 && main->isVisible(); ++i) QApplication::processEvents();
    EXPECT_FALSE(main->isVisible());
}

TEST_F(ScriptEngineWiring, EscapeEndsAnEndlessNestedLoop) {
    main->show();
    QApplication::processEvents();
    // "loop" calls "work" and jumps back to its first line for ever; only Escape ends it.
    test::WriteBytes(dir / "scripts/loop.kvm", "-callscript|work\n-expand\n");
    test::WriteBytes(dir / "scripts/work.kvm", "-if|\n-endif\n-if|\n-endif\n");
    long passes = 0;
    bool escaped = false;
    engine->Unit().Commands().Register(17, [&](ScriptCall& c) {
        c.vars.LineIndex = -1;
        if (++passes == 2000000) engine->Unit().Stop();  // a safety net, so that a fault fails rather than hangs
        return std::string();
    });
    QTimer::singleShot(100, main.get(), [&] {
        escaped = true;
        main->HandleKey(Qt::Key_Escape, Qt::NoModifier, nullptr);
    });
    main->Bus().SendCommand(ccRunScript, (dir / "scripts/loop.kvm"));
    EXPECT_TRUE(escaped);
    EXPECT_GT(passes, 0);
    EXPECT_LT(passes, 2000000);
    EXPECT_FALSE(engine->Unit().Running());
    EXPECT_FALSE(engine->Unit().StopRequested());
}

TEST_F(ScriptEngineWiring, FileAndToolRowsTakeAnUndoPointAndLogTheirMessage) {
    TOutlineDocument config(state);
    engine->Host().MainOutlineHook = [&] { return &config; };
    const std::string asset = dir / "asset";
    test::WriteBytes(asset + "/config.txt", "kind \"scenery\"\r\nbogus \"x\"\r\n");
    test::WriteBytes(asset + "/broken.wav", "RIFF");
    state.SetAssetPath(asset);
    ASSERT_EQ(config.LoadConfig(asset), "");
    struct Row {
        int number;
        std::string said;
        bool undo;
    };
    const std::vector<Row> rows = {
        {1206, "File not found: " + dir / "bin/tags.xml", true},  // no tag definitions: nothing deleted
        {1223, "broken.wav", false},
        {1320, "Tool not found: Meshwright", true},
        {1321, "Tool not found: Texwright", true},
    };
    for (const Row& row : rows) {
        config.ClearUndo();
        outline->Alert()->ShowAlert("");
        main->Dispatcher().ExecuteMenuCommand(row.number, "menu");
        EXPECT_TRUE(ContainsStr(Alert(), row.said)) << row.number << ": " << Alert();
        EXPECT_EQ(config.CanUndo(), row.undo) << row.number;
    }
    EXPECT_NE(config.FindNodeByPath("config.txt\\bogus"), nullptr);
}

TEST_F(ScriptEngineWiring, BuilderRowsTakeAnUndoPointAndLogTheirMessage) {
    TOutlineDocument config(state);
    engine->Host().MainOutlineHook = [&] { return &config; };
    const std::string asset = dir / "asset";
    test::WriteBytes(asset + "/config.txt", "kind \"scenery\"\r\nempty \"\"\r\nkeep \"x\"\r\n");
    state.SetAssetPath(asset);
    ASSERT_EQ(config.LoadConfig(asset), "");
    const std::string noTags = "File not found: " + dir / "bin/tags.xml";
    const std::vector<std::pair<int, std::string>> rows = {
        {1103, ""},
        {1205, ""},
        {1208, "Not applicable to scenery assets"},
        {1209, "Not applicable to non traincar assets"},
        {1210, "File not found: category-era.txt (no folder of the setting Paths/TETData"},  // not "/category-era.txt"
        {1211, "File not found: category-region.txt (no folder of the setting Paths/TETData"},
        {1212, ""},
        {1213, ""},
        {1214, ""},
        {1215, ""},  // the active build, which the item's caption names
        {1216, "No preview image found"},
        {1217, "asset-filename tag not present"},
        {1219, noTags},
        {1221, "Update camera not applicable to this asset kind"},
        {1224, "Not applicable to scenery assets"},
        {1307, "Asset must be a traincar"},
        {1308, "Not applicable to scenery assets"},
        {1717, ""},
    };
    state.SetActiveBuild(35);
    for (const auto& [number, said] : rows) {
        config.ClearUndo();
        outline->Alert()->ShowAlert("");
        main->Dispatcher().ExecuteMenuCommand(number, "menu");
        if (said.empty()) EXPECT_EQ(Alert(), "") << number;
        else EXPECT_TRUE(ContainsStr(Alert(), said)) << number << ": " << Alert();
        EXPECT_TRUE(config.CanUndo()) << number;
    }
    // Delete Empty Tags took the empty tag; the undo point gives it back.
    EXPECT_EQ(config.FindNodeByPath("config.txt\\empty"), nullptr);
    EXPECT_NE(config.FindNodeByPath("config.txt\\keep"), nullptr);
    EXPECT_EQ(config.GetValueByPath("config.txt\\trainz-build"), "3.5");
}

TEST_F(ScriptEngineWiring, NoRunStartsInsideARunAndARunBeepsOnce) {
    outline->Alert()->SetBeepSink(&messages);
    int inner = 0, listed = 0;
    std::function<void()> during = [&] { main->Bus().SendCommand(ccRunScript, "-expand"); };  // a callback, a hand-over
    engine->Unit().Commands().Register(17, [&](ScriptCall&) {
        ++inner;
        during();
        return std::string();
    });
    main->Dispatcher().RegisterCallback(ccListTaggedOthers, [&](const std::string&) { ++listed; });
    main->Bus().SendCommand(ccRunScript, "-bogus\"-expand\"-other");
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(Alert(), "RunKVM\\001: Invalid Script Call: -bogus\n"
                       "A script is running: wait for its end or press Escape\n"
                       "RunKVM\\003: Invalid Script Call: -other");
    // The run's first message beeped and the refusal beeped; the run's later message did not.
    EXPECT_EQ(messages.beeps, 2);

    // A menu item or its shortcut: the batch does not start.
    during = [&] { main->Dispatcher().ExecuteMenuCommand(1606, ""); };
    main->Bus().SendCommand(ccRunScript, "-expand\"-bogus");
    EXPECT_EQ(inner, 2);
    EXPECT_EQ(listed, 0);
    EXPECT_EQ(messages.beeps, 3);
    EXPECT_FALSE(engine->Unit().ScriptMode());
    // Once the run is over, a new run beeps again, once.
    main->Bus().SendCommand(ccRunScript, "-bogus\"-bogus\"-bogus");
    EXPECT_EQ(messages.beeps, 4);
}

TEST_F(ScriptEngineWiring, TreeFreezeNests) {
    QWidget* tree = outline->Widget();
    TQtScriptHost& host = engine->Host();
    host.BeginTreeUpdate();
    host.BeginTreeUpdate();
    host.EndTreeUpdate();
    EXPECT_FALSE(tree->updatesEnabled());
    host.EndTreeUpdate();
    EXPECT_TRUE(tree->updatesEnabled());
    host.EndTreeUpdate();  // one end too many changes nothing
    EXPECT_TRUE(tree->updatesEnabled());
}

}  // namespace
}  // namespace kelvarn
