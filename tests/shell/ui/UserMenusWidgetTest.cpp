#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <filesystem>

#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/UserMenus.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

const std::string kBar(kBrokenBar);

std::string Tool(const std::string& caption, const std::string& command) {
    return caption + kBar + kBar + command + kBar + "1" + kBar + "0" + kBar + "0" + kBar + "0" + kBar;
}

// A main window with recording frames and the user menus; tool runs, script runs and messages are
// recorded.
class UserMenusTest : public ::testing::Test {
protected:
    UserMenusTest() {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/";
        state.Messages = &messages;
    }
    void Make(const std::string& ini) {
        test::WriteBytes(dir / "kelvarn.ini", ini);
        state.OpenSettings(dir / "kelvarn.ini");
        const test::RecordingFrames made(log);
        main = std::make_unique<TMain>(state, made.frames, std::vector<std::string>{});
        menus = &ConnectUserMenus(*main, state);
        menus->RunTool = [this](const std::string& caption, const std::string& line) {
            runs.push_back(caption + " -> " + line);
        };
        menus->EmbeddedScripts = [this] { return embedded; };
        for (int number : {1610, 1611, 1612})
            main->Dispatcher().RegisterCommand(number, [this, number](const std::string& text) {
                runs.push_back(std::to_string(number) + " " + text);
            });
    }
    // What a menu shows: "-" for a separator, "[caption]" for a sub-menu, hidden items left out.
    static std::vector<std::string> Shown(const QMenu* menu) {
        std::vector<std::string> out;
        for (const QAction* a : menu->actions()) {
            if (!a->isVisible()) continue;
            if (a->isSeparator())
                out.push_back("-");
            else
                out.push_back(a->menu() ? "[" + a->text().toStdString() + "]" : a->text().toStdString());
        }
        return out;
    }
    static QAction* Find(const QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    void OpenScripts() {
        main->Dispatcher().ValidateMenu(1600);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Rebuild() {
        main->Bus().SendCommand(ccRebuildMenus, "Script");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QMenu* Top(const char* name) { return main->TopMenu(name); }

    test::TempDir dir;
    test::CallLog log;
    test::RecordingMessageSink messages;
    TProgramState state;
    std::unique_ptr<TMain> main;
    TUserMenus* menus = nullptr;
    std::vector<std::string> embedded;
    std::vector<std::string> runs;
};

TEST_F(UserMenusTest, ToolsAndHelpItemsFollowTheDesignedOnesAndARebuildReplacesOnlyThem) {
    Make("[Tools-Menu]\r\n3=" + Tool("&Notepad", "np") + "\r\n7=-----\r\n9=" + Tool("Gimp", "gimp") +
         "\r\n12=" + Tool("&Explore Asset Folder", "dup") + "\r\n[Help]\r\n4=" + Tool("Forum", "forum") +
         "\r\n[Documents]\r\n1=" + Tool("Manual", "man") + "\r\n2=-----\r\n3=" + Tool("FAQ", "faq") + "\r\n");
    const std::vector<std::string> designedTools = Shown(Top("ToolsMainMenu"));
    const std::vector<std::string> designedHelp = Shown(Top("HelpMainMenu"));
    main->FormShow();

    std::vector<std::string> tools = designedTools;
    // A caption the menu already has is not added twice.
    for (const char* item : {"-", "&Notepad", "-", "Gimp"}) tools.push_back(item);
    EXPECT_EQ(Shown(Top("ToolsMainMenu")), tools);
    std::vector<std::string> help = designedHelp;
    for (const char* item : {"-", "[Documents]", "Forum"}) help.push_back(item);
    EXPECT_EQ(Shown(Top("HelpMainMenu")), help);
    const QMenu* documents = Find(Top("HelpMainMenu"), "Documents")->menu();
    EXPECT_EQ(Shown(documents), (std::vector<std::string>{"Manual", "-", "FAQ"}));

    // Each item runs its own value, whatever key it had before.
    Find(Top("ToolsMainMenu"), "Gimp")->trigger();
    Find(Top("HelpMainMenu"), "Forum")->trigger();
    Find(documents, "FAQ")->trigger();
    EXPECT_EQ(runs, (std::vector<std::string>{"Gimp -> " + Tool("Gimp", "gimp"), "Forum -> " + Tool("Forum", "forum"),
                                              "FAQ -> " + Tool("FAQ", "faq")}));

    // Callback 239 after the sections changed: the old user items go, the designed ones stay.
    state.Settings().EraseSection("Documents");
    state.Settings().EraseSection("Help");
    ClearSection(state.Settings(), "Tools-Menu");
    state.Settings().WriteString("Tools-Menu", "1", Tool("Paint", "paint"));
    Rebuild();
    tools = designedTools;
    tools.push_back("-");
    tools.push_back("Paint");
    EXPECT_EQ(Shown(Top("ToolsMainMenu")), tools);
    EXPECT_EQ(Shown(Top("HelpMainMenu")), designedHelp);
    Rebuild();
    EXPECT_EQ(Shown(Top("ToolsMainMenu")), tools);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(UserMenusTest, CustomMenusShowWithTheirCaptionAndRunTheValueOfTheirKey) {
    Make("[CustomA]\r\n1=My &Tools\r\n2=" + Tool("First", "one") + "\r\n3=" + Tool("Second", "two") +
         "\r\n[CustomB]\r\n5=Only a caption\r\n");
    main->FormShow();
    QMenu* a = Top("CustomA");
    QMenu* b = Top("CustomB");
    EXPECT_TRUE(a->menuAction()->isVisible());
    EXPECT_EQ(a->title(), "My &Tools");
    EXPECT_EQ(Shown(a), (std::vector<std::string>{"First", "Second"}));
    EXPECT_TRUE(b->menuAction()->isVisible());
    EXPECT_EQ(b->title(), "Only a caption");
    EXPECT_TRUE(Shown(b).empty());
    for (const char* hidden : {"CustomC", "CustomD", "CustomE"}) EXPECT_FALSE(Top(hidden)->menuAction()->isVisible());

    // Item one is key 2: it runs its own tool, not the menu's caption.
    EXPECT_EQ(Find(a, "First")->property("tag").toInt(), 2);
    Find(a, "First")->trigger();
    Find(a, "Second")->trigger();
    EXPECT_EQ(runs, (std::vector<std::string>{"First -> " + Tool("First", "one"), "Second -> " + Tool("Second", "two")}));

    state.Settings().EraseSection("CustomA");
    Rebuild();
    EXPECT_FALSE(a->menuAction()->isVisible());
    EXPECT_TRUE(Shown(a).empty());
}

TEST_F(UserMenusTest, LinksRunByTheirExactCaptionAndOthersDoNothing) {
    Make("[Links]\r\n1=" + Tool("Forum", "first") + "\r\n2=" + Tool("Forum", "second") + "\r\n");
    main->FormShow();
    for (const char* caption : {"Forum", "forum", "Nothing", ""}) main->Bus().SendCommand(ccOpenLink, caption);
    EXPECT_EQ(runs, (std::vector<std::string>{"Forum -> " + Tool("Forum", "first")}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(UserMenusTest, ScriptItemsAreRebuiltEachTimeTheMenuOpens) {
    Make("");
    for (const char* name : {"beta.kvm", "Alpha.kvm", "R&D.kvm", "autorun.kvm", "$$$.kvm", "Tools.kvm", "Tools/pack.kvm",
                             "Tools/Tools.kvm", "1abc/one.kvm", "sub/s.kvm", "lower/l.kvm", "a.b/x.kvm"})
        test::WriteBytes(dir / ("scripts/" + std::string(name)), "-msg x\r\n");
    QMenu* scripts = Top("ScriptMainMenu");
    const std::vector<std::string> designed = Shown(scripts);
    embedded = {"first", "second"};
    OpenScripts();

    std::vector<std::string> expected = designed;
    for (const char* item : {"-", "Alpha", "beta", "R&&D", "Tools", "-", "[1abc]", "[Tools]"}) expected.push_back(item);
    EXPECT_EQ(Shown(scripts), expected);
    QAction* tools = nullptr;
    for (QAction* a : scripts->actions())
        if (a->menu() && a->text() == "Tools") tools = a;
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(Shown(tools->menu()), (std::vector<std::string>{"pack", "Tools"}));
    QMenu* run = main->MenuItem("mRunEmbedded")->menu();
    ASSERT_NE(run, nullptr);
    EXPECT_TRUE(run->menuAction()->isVisible());
    EXPECT_EQ(Shown(run), (std::vector<std::string>{"first", "second"}));

    // Each item sends the name it keeps, "&" and all, through the dispatcher.
    Find(scripts, "R&&D")->trigger();
    Find(tools->menu(), "pack")->trigger();
    Find(scripts, "Tools")->trigger();  // a script named like a sub-folder runs after that sub-folder's
    Find(tools->menu(), "Tools")->trigger();
    Find(run, "second")->trigger();
    EXPECT_EQ(runs, (std::vector<std::string>{"1610 R&D", "1612 Tools\\pack", "1610 Tools", "1612 Tools\\Tools",
                                              "1611 second"}));
    EXPECT_EQ(main->Dispatcher().LastMenuCaption, "");  // script items do not pass as main-menu clicks

    // A deleted script and the last embedded script are gone when the menu opens again; command
    // 1600 rebuilds the same way.
    std::filesystem::remove(dir / "scripts/R&D.kvm");
    std::filesystem::remove_all(dir / "scripts/1abc");
    embedded.clear();
    main->Dispatcher().ExecuteMenuCommand(1600, "Scripts");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    expected = designed;
    for (const char* item : {"-", "Alpha", "beta", "Tools", "-", "[Tools]"}) expected.push_back(item);
    // mRunEmbedded is hidden now.
    expected.erase(std::find(expected.begin(), expected.end(), "[Run &Embedded Script]"));
    EXPECT_EQ(Shown(scripts), expected);
    EXPECT_TRUE(Shown(run).empty());
}

TEST_F(UserMenusTest, AScriptItemThatRebuildsItsOwnMenuStaysUntilItsClickEnds) {
    Make("");
    test::WriteBytes(dir / "scripts/again.kvm", "-msg x\r\n");
    OpenScripts();
    QAction* item = Find(Top("ScriptMainMenu"), "again");
    ASSERT_NE(item, nullptr);
    // The script's run opens the Scripts menu again (a rebuild) while its own click is on the stack.
    main->Dispatcher().RegisterCommand(1610, [this](const std::string& text) {
        OpenScripts();
        runs.push_back(text);
    });
    item->trigger();
    EXPECT_EQ(runs, (std::vector<std::string>{"again"}));
}

}  // namespace
}  // namespace kelvarn
