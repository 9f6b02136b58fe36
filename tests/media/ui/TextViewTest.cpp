#include <gtest/gtest.h>

#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

#include "media/ui/TextView.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "shell/ui/Viewer.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"
#include "support/TextCodecCases.h"

namespace kelvarn {
namespace {

class TextView : public ::testing::Test {
protected:
    TextView() {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/";
        state.OpenSettings(dir / "kelvarn.ini");
        state.Messages = &messages;
        state.CommandTarget = &bus;
        view = std::make_unique<TTextView>(state);
        view->Init(&bus);
        view->resize(500, 300);
        view->show();
    }
    test::TempDir dir;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    TProgramState state;
    std::unique_ptr<TTextView> view;
};

TEST_F(TextView, TabWidthStaysWithinTwoAndTwenty) {
    view->SetTabSize(3);
    for (int i = 0; i < 5; ++i) view->Button("bTabMinus")->click();
    EXPECT_EQ(view->TabSize(), 2);
    for (int i = 0; i < 30; ++i) view->Button("bTabPlus")->click();
    EXPECT_EQ(view->TabSize(), 20);
    const double average = QFontMetricsF(view->Memo()->font()).averageCharWidth();
    EXPECT_DOUBLE_EQ(view->Memo()->tabStopDistance(), 20 * average);
}

TEST_F(TextView, FindCyclesThroughTheOnlyMatch) {
    view->LoadStrings({"alpha beta", "Gamma"}, 3, true, false);
    EXPECT_TRUE(view->Find("gamma"));  // ignoring case
    EXPECT_EQ(view->Memo()->textCursor().selectedText(), "Gamma");
    EXPECT_FALSE(view->FindNext());
    EXPECT_EQ(view->Alert()->Text(), "No further matches");
    EXPECT_TRUE(view->FindNext());  // from the top again
    EXPECT_EQ(view->Memo()->textCursor().selectionStart(), 11);
    EXPECT_FALSE(view->Alert()->IsOpen()) << "a find that succeeds takes the miss away";
}

TEST_F(TextView, WrapDropsTheHorizontalBar) {
    view->LoadStrings({std::string(400, 'x')}, 3, true, false);
    EXPECT_EQ(view->Memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    view->Button("bWrap")->click();
    EXPECT_TRUE(view->WordWrap());
    EXPECT_EQ(view->Memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(view->Memo()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    view->Button("bWrap")->click();
    EXPECT_EQ(view->Memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

TEST_F(TextView, CtrlTypedCharactersAreDropped) {
    view->LoadStrings({""}, 3, true, false);
    QTest::keyClicks(view->Memo(), "ab");
    QTest::keyClick(view->Memo(), Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(view->Memo(), Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(view->Memo(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(view->Text(), "ab");
    EXPECT_TRUE(view->Modified());
    EXPECT_TRUE(view->Button("bSaveTextFile")->isEnabled());
    QTest::keyClick(view->Memo(), Qt::Key_A, Qt::ControlModifier);  // select all still works
    EXPECT_EQ(view->Memo()->textCursor().selectedText(), "ab");
    auto* mime = new QMimeData;
    mime->setHtml("<b>bold</b>");
    mime->setText("plain");
    QApplication::clipboard()->setMimeData(mime);
    QTest::keyClick(view->Memo(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view->Text(), "plain");
}

TEST_F(TextView, FilesRoundTripByteForByte) {
    const std::string cases[] = {
        "name \xA6 one\r\nsecond\xA0line\r\n",           // Windows-1252 with "¦" and a no-break space
        "\xEF\xBB\xBF" "kind \"scenery\"\r\nend\r\n",    // UTF-8 with its mark, CR LF
        "only\nline feeds\nno final end",
    };
    for (const std::string& bytes : cases) {
        const std::string path = dir / "file.txt";
        test::WriteBytes(path, bytes);
        ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
        EXPECT_FALSE(view->Modified());
        ASSERT_EQ(view->SaveFile(path), "");
        EXPECT_EQ(test::ReadBytes(path), bytes);
    }
    EXPECT_EQ(view->LoadTextFile(dir / "missing.txt", 3, true, false).rfind("Unable to load file: ", 0), 0u);
    EXPECT_EQ(view->Alert()->Text().rfind("Unable to load file: ", 0), 0u);
}

TEST_F(TextView, EveryEncodingShowsItsTextAndAnEditChangesOneLine) {
    const std::string path = dir / "file.txt";
    for (const test::TextCase& c : test::TextCases()) {
        SCOPED_TRACE(c.what);
        test::WriteBytes(path, c.bytes);
        ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
        EXPECT_EQ(view->Text(), c.shown);
        ASSERT_EQ(view->SaveFile(path), "");
        EXPECT_EQ(test::ReadBytes(path), c.bytes);
        QTextCursor cursor(view->Memo()->document()->firstBlock());
        cursor.movePosition(QTextCursor::EndOfBlock);
        view->Memo()->setTextCursor(cursor);
        QTest::keyClicks(view->Memo(), "!");
        ASSERT_EQ(view->SaveFile(path), "");
        EXPECT_EQ(test::ReadBytes(path), c.edited);
    }
}

TEST_F(TextView, AFileThatIsNoTextOpensReadOnlyAndIsNeverWritten) {
    const std::string path = dir / "data.txt";
    for (const std::string& bytes : test::NotTextCases()) {
        test::WriteBytes(path, bytes);
        ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
        EXPECT_TRUE(view->Memo()->isReadOnly());
        EXPECT_NE(view->Alert()->Text().find("is not a text file"), std::string::npos);
        view->SetModified(true);
        EXPECT_NE(view->SaveFile(path), "");
        EXPECT_EQ(test::ReadBytes(path), bytes);
    }
    test::WriteBytes(path, "text\r\n");
    ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
    EXPECT_FALSE(view->Memo()->isReadOnly());
}

// The files the program ships only to be shown cannot be changed from the view; a copy saved
// elsewhere is the user's own, and so is a file of such a name in an asset folder.
TEST_F(TextView, FilesShippedOnlyToBeShownOpenReadOnly) {
    for (const char* name : {"introduction.txt", "Release Notes.txt", "macros.txt", "effect-kind.txt"}) {
        const std::string path = dir / (std::string("bin/") + name);
        test::WriteBytes(path, "Welcome\r\n");
        ASSERT_EQ(view->LoadTextFile(path, 3, false, true), "");
        EXPECT_TRUE(view->Memo()->isReadOnly()) << name;
        const std::string shown = view->Text();
        QTest::keyClicks(view->Memo(), "typed");
        EXPECT_EQ(view->Text(), shown) << name;
        EXPECT_FALSE(view->Modified()) << name;
        view->Button("bSaveTextFile")->click();
        EXPECT_EQ(test::ReadBytes(path), "Welcome\r\n") << name;
    }
    ASSERT_EQ(view->SaveFile(dir / "mine.txt"), "");
    EXPECT_EQ(test::ReadBytes(dir / "mine.txt"), "Welcome\r\n");
    EXPECT_FALSE(view->Memo()->isReadOnly());
    test::WriteBytes(dir / "car/introduction.txt", "x\r\n");
    ASSERT_EQ(view->LoadTextFile(dir / "car/introduction.txt", 3, true, false), "");
    EXPECT_FALSE(view->Memo()->isReadOnly());
}

// Another pane that holds edits of the file settles them before the view writes: the view goes on,
// shows the file as the other pane wrote it, or writes nothing and keeps its edits.
TEST_F(TextView, AskedBeforeItWrites) {
    const std::string path = dir / "config.txt";
    struct Restore {
        ~Restore() { TTextView::BeforeWrite = nullptr; }
    } restore;
    for (int verdict = 0; verdict < 3; ++verdict) {
        test::WriteBytes(path, "kind \"scenery\"\r\n");
        ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
        QTest::keyClicks(view->Memo(), "x");
        std::string asked;
        TTextView::BeforeWrite = [&](const std::string& file, const std::string& bytes) {
            asked = file + "|" + bytes;
            if (verdict == 1) test::WriteBytes(path, "kind \"other\"\r\n");
            return verdict == 0 ? TTextSaveVerdict{} : TTextSaveVerdict{false, verdict == 2 ? "refused" : ""};
        };
        const std::string result = view->SaveFile(path);
        EXPECT_EQ(asked, path + "|xkind \"scenery\"\r\n") << verdict;
        EXPECT_EQ(result, verdict == 2 ? "refused" : "") << verdict;
        const char* onDisc[] = {"xkind \"scenery\"\r\n", "kind \"other\"\r\n", "kind \"scenery\"\r\n"};
        EXPECT_EQ(test::ReadBytes(path), onDisc[verdict]) << verdict;
        EXPECT_EQ(view->Modified(), verdict == 2) << verdict;
        if (verdict == 1) EXPECT_EQ(view->Text(), "kind \"other\"\n");
        view->SetModified(false);
    }
}

TEST_F(TextView, AWriteThatFailsAfterTheQuestionHandsTheEditsBack) {
    const std::string path = dir / "config.txt";
    struct Restore {
        ~Restore() { TTextView::BeforeWrite = nullptr; }
    } restore;
    test::WriteBytes(path, "kind \"scenery\"\r\n");
    ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
    QTest::keyClicks(view->Memo(), "x");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    bool handedBack = false;
    TTextView::BeforeWrite = [&](const std::string&, const std::string&) {
        TTextSaveVerdict verdict;
        verdict.writeFailed = [&] { handedBack = true; };
        return verdict;
    };
    EXPECT_NE(view->SaveFile(path), "");
    EXPECT_TRUE(handedBack);
    EXPECT_TRUE(view->Modified());
    EXPECT_EQ(test::ReadBytes(path), "kind \"scenery\"\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

TEST_F(TextView, TextTheProgramMadeIsNoFileToAskAbout) {
    view->LoadStrings({"mesh-table", "kind"}, 3, true, false);
    QTest::keyClicks(view->Memo(), "x");
    ASSERT_TRUE(view->Modified());
    view->QuerySave();
    EXPECT_TRUE(view->CloseQuery());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(TextView, QuestionsNameTheFileByItsNativePath) {
    test::WriteBytes(dir / "Jump/skip.txt", "x\r\n");
    ASSERT_EQ(view->LoadTextFile(dir.Path() + "/Jump\\skip.txt", 3, true, false), "");
    view->SetModified(true);
    messages.answers = {Answer::No};
    view->QuerySave();
    EXPECT_EQ(messages.messages, std::vector<std::string>{QuerySaveText(dir / "Jump/skip.txt")});
}

TEST_F(TextView, SavingInsideTheAssetFolderTellsTheMainWindow) {
    state.SetAssetPath(dir / "car");
    test::WriteBytes(dir / "car/sub/notes.txt", "x\r\n");
    test::WriteBytes(dir / "other/notes.txt", "x\r\n");
    ASSERT_EQ(view->LoadTextFile(dir / "car/sub/notes.txt", 3, true, false), "");
    ASSERT_EQ(view->SaveFile(dir / "car/sub/notes.txt"), "");
    ASSERT_EQ(view->LoadTextFile(dir / "other/notes.txt", 3, true, false), "");
    ASSERT_EQ(view->SaveFile(dir / "other/notes.txt"), "");
    ASSERT_EQ(bus.sent.size(), 1u);
    EXPECT_EQ(bus.sent[0], std::make_pair(int(ccFileSaved), std::string("sub/notes.txt")));
}

TEST_F(TextView, CloseQueryAnswers) {
    const std::string path = dir / "q.txt";
    test::WriteBytes(path, "old\r\n");
    struct Case {
        Answer answer;
        bool canClose;
        std::string onDisc;
    };
    const Case cases[] = {{Answer::Yes, true, "new\r\n"}, {Answer::No, true, "old\r\n"}, {Answer::Cancel, false, "old\r\n"}};
    for (const Case& c : cases) {
        test::WriteBytes(path, "old\r\n");
        ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
        view->Memo()->setPlainText("new\n");
        view->SetModified(true);
        messages.answers = {c.answer};
        messages.messages.clear();
        EXPECT_EQ(view->CloseQuery(), c.canClose);
        EXPECT_EQ(messages.messages, std::vector<std::string>{"Save File: " + path + "?"});
        EXPECT_EQ(test::ReadBytes(path), c.onDisc);
    }
    view->SetModified(true);
    messages.answers = {Answer::No};
    messages.messages.clear();
    view->QuerySave();
    EXPECT_EQ(messages.messages, std::vector<std::string>{"'" + path + "' may have changed.\n\nSave file to disc?"});
    EXPECT_FALSE(view->Modified());
    view->Clear();
    EXPECT_EQ(view->TabSize(), 3);
    EXPECT_TRUE(view->FixedFont());
    EXPECT_FALSE(view->WordWrap());
    EXPECT_TRUE(view->CloseQuery());
}

TEST_F(TextView, AFailedSaveKeepsTheEditsUntilSavedOrGivenUp) {
    const std::string path = dir / "q.txt";
    test::WriteBytes(path, "old\r\n");
    ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
    view->Memo()->setPlainText("edited\n");
    view->SetModified(true);
    SetWriteFaultHook([](const std::string&) { return std::size_t{0}; });
    messages.answers = {Answer::Yes};
    view->QuerySave();
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(messages.messages.size(), 2u);  // the question and the failure
    EXPECT_TRUE(view->Modified());
    EXPECT_EQ(test::ReadBytes(path), "old\r\n");

    // What the main window does next (clear, show another file) leaves the edits where they are.
    view->Clear();
    test::WriteBytes(dir / "other.txt", "other\r\n");
    EXPECT_NE(view->LoadTextFile(dir / "other.txt", 3, true, false), "");
    view->LoadStrings({"a list"}, 3, true, false);
    EXPECT_EQ(view->Text(), "edited\n");
    EXPECT_EQ(view->ShownFile(), path);

    // Asked again, the save now works; after that the view clears as usual.
    messages.answers = {Answer::Yes};
    view->QuerySave();
    EXPECT_EQ(test::ReadBytes(path), "edited\r\n");
    EXPECT_FALSE(view->Modified());
    view->Clear();
    EXPECT_EQ(view->Text(), "");

    // Or the user gives the edits up.
    ASSERT_EQ(view->LoadTextFile(path, 3, true, false), "");
    view->Memo()->setPlainText("doomed\n");
    view->SetModified(true);
    SetWriteFaultHook([](const std::string&) { return std::size_t{0}; });
    messages.answers = {Answer::Yes};
    view->QuerySave();
    SetWriteFaultHook(nullptr);
    messages.answers = {Answer::No};
    view->QuerySave();
    ASSERT_EQ(view->LoadTextFile(dir / "other.txt", 3, true, false), "");
    EXPECT_EQ(view->Text(), "other\n");
}

TEST_F(TextView, LoadingMakesTheViewActive) {
    int activated = 0;
    view->SetActivationHook([&] { ++activated; });
    view->LoadStrings({"a"}, 3, true, false);
    test::WriteBytes(dir / "a.txt", "a");
    view->LoadTextFile(dir / "a.txt", 3, true, false);
    EXPECT_EQ(activated, 2);
}

class ViewerWindow : public TextView {
protected:
    ViewerWindow() : text(new TTextView(state)), viewer(state, text, nullptr) { text->Init(&bus); }
    TTextView* text;
    TViewer viewer;
};

TEST_F(ViewerWindow, ButtonLayouts) {
    test::WriteBytes(dir / "f.txt", "text\r\n");
    viewer.ShowFile("Caption", "Close", dir / "f.txt");
    EXPECT_EQ(viewer.windowTitle(), " Caption");
    EXPECT_FALSE(viewer.ClearButton()->isVisible());
    EXPECT_FALSE(viewer.UndoButton()->isVisible());
    EXPECT_EQ(text->TabSize(), 5);
    viewer.ShowFile("Caption", "Execute", dir / "f.txt", "", "Close");
    EXPECT_TRUE(viewer.ClearButton()->isVisible());
    EXPECT_EQ(viewer.ClearButton()->x(), 94);
    viewer.ShowFile("Caption", "Execute", dir / "f.txt", "Undo", "Close");
    EXPECT_EQ(viewer.ClearButton()->x(), 184);
    EXPECT_EQ(viewer.UndoButton()->x(), 94);
    EXPECT_TRUE(viewer.UndoButton()->isVisible());
    EXPECT_FALSE(viewer.SaveMode());
    viewer.ShowFile("Edit", "Save", dir / "f.txt", "", "Cancel");
    EXPECT_TRUE(viewer.SaveMode());
    viewer.close();
    EXPECT_FALSE(viewer.SaveMode());
}

TEST_F(ViewerWindow, ClosingTheWindowInSaveModeAsksAboutTheEdits) {
    const std::string file = dir / "f.txt";
    struct Case {
        Answer answer;
        bool fault;
        std::string onDisc;
        bool open;
    };
    const Case cases[] = {{Answer::Yes, false, "edited\r\n", false},
                          {Answer::No, false, "text\r\n", false},
                          {Answer::Yes, true, "text\r\n", true}};
    for (const Case& c : cases) {
        test::WriteBytes(file, "text\r\n");
        viewer.ShowFile("Edit", "Save", file, "", "Cancel");
        text->Memo()->setPlainText("edited\n");
        text->SetModified(true);
        messages.messages.clear();
        messages.answers = {c.answer};
        if (c.fault) SetWriteFaultHook([](const std::string&) { return std::size_t{0}; });
        viewer.close();  // the frame's close button
        SetWriteFaultHook(nullptr);
        EXPECT_EQ(messages.messages.front(), "'" + file + "' may have changed.\n\nSave file to disc?");
        EXPECT_EQ(test::ReadBytes(file), c.onDisc);
        EXPECT_EQ(viewer.isVisible(), c.open);
        if (c.open) {
            EXPECT_EQ(text->Text(), "edited\n");
        }
        text->SetModified(false);
        viewer.close();
    }
    // The Cancel button asks once, as before.
    viewer.ShowFile("Edit", "Save", file, "", "Cancel");
    text->SetModified(true);
    messages.messages.clear();
    messages.answers = {Answer::No};
    viewer.ButtonClick(viewer.ClearButton());
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_FALSE(viewer.isVisible());
}

TEST_F(ViewerWindow, ExecuteSendsTheScriptUnlessEmpty) {
    viewer.ShowText("Script", {"   "}, "Execute", "", "Close");
    viewer.ButtonClick(viewer.OkButton());
    EXPECT_TRUE(bus.sent.empty());
    viewer.ShowText("Script", {"-message hello"}, "Execute", "", "Close");
    viewer.ButtonClick(viewer.OkButton());
    ASSERT_EQ(bus.sent.size(), 1u);
    EXPECT_EQ(bus.sent[0].first, ccRunScript);
    EXPECT_EQ(bus.sent[0].second, dir.Path() + "/scripts/$$$.kvm");
    EXPECT_EQ(test::ReadBytes(dir / "scripts/$$$.kvm"), "-message hello\r\n");
    EXPECT_TRUE(viewer.isVisible());  // stays open

    bus.sent.clear();
    viewer.ButtonClick(viewer.ClearButton());  // "Close": keep the text, and the run's messages in their strip
    EXPECT_TRUE(bus.sent.empty());
    EXPECT_FALSE(viewer.isVisible());

    bus.sent.clear();
    viewer.ShowText("Script", {"x"}, "Execute", "Undo", "Close");
    viewer.ButtonClick(viewer.UndoButton());
    EXPECT_EQ(bus.sent, (std::vector<std::pair<int, std::string>>{{ccCloseAlert, ""}, {ccUndo, ""}}));
}

TEST_F(ViewerWindow, ClearEmptiesTheLogAndCloses) {
    test::FakeClock clock;  // the day's log name follows the clock
    clock.Set(2011, 3, 4);
    state.Clock = &clock;
    test::WriteBytes(dir / "log/Kelvarn(20110304).log", "report\r\n");
    viewer.ShowFile("Log", "Close", dir / "log/Kelvarn(20110304).log", "", "Clear");
    viewer.ButtonClick(viewer.ClearButton());
    EXPECT_EQ(test::ReadBytes(dir / "log/Kelvarn(20110304).log"), "");
    EXPECT_FALSE(viewer.isVisible());
    state.Clock = Globals().Clock;
}

TEST_F(ViewerWindow, ShowLogPutsTheCaretOnTheNewestBlock) {
    const std::string old = "first report\r\nline two";
    const std::string block = "\r\n" + std::string(84, '-') + "\r\nnewest\r\n";
    test::WriteBytes(dir / "Kelvarn(20110304).log", old + block);
    viewer.ShowLog("Kelvarn Log", dir / "Kelvarn(20110304).log", 24);  // `old` and the line end before the block
    EXPECT_EQ(viewer.windowTitle(), "Kelvarn Log [Kelvarn(20110304).log]");
    EXPECT_EQ(text->TabSize(), 2);
    EXPECT_EQ(viewer.ClearButton()->text(), "Clear");
    const QTextCursor cursor = text->Memo()->textCursor();
    EXPECT_EQ(cursor.block().text(), QString(84, '-'));
    EXPECT_EQ(cursor.positionInBlock(), 0);
    EXPECT_FALSE(text->Modified());
}

}  // namespace
}  // namespace kelvarn
