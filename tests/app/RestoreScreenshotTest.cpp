// File > Backup File, Restore File and Restore Asset on a copy of a real asset with edits pending, as
// a new user would meet them, on a real display (Xvfb). Each question is shown as a message box and
// kept as a picture in the build tree, with the window after each step, for a person to look at.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

#include <deque>
#include <iostream>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/ui/AssetFrames.h"
#include "shell/Files.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {
namespace {

// Shows every message and question in a real message box, keeps its picture, and answers from a list.
class TPictureSink final : public IMessageSink {
public:
    std::deque<Answer> answers;
    std::vector<std::string> texts;

    void ShowMessage(std::string_view text, std::string_view, MessageKind) override { Show(text, QMessageBox::Ok); }
    bool AskYesNo(std::string_view text, std::string_view) override {
        Show(text, QMessageBox::Yes | QMessageBox::No);
        return Next() == Answer::Yes;
    }
    Answer AskYesNoCancel(std::string_view text, std::string_view) override {
        Show(text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return Next();
    }
    void Beep() override {}

private:
    Answer Next() {
        if (answers.empty()) return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void Show(std::string_view text, QMessageBox::StandardButtons buttons) {
        texts.emplace_back(text);
        QMessageBox box(QMessageBox::Question, "Kelvarn", QString::fromStdString(std::string(text)), buttons);
        box.show();
        QTest::qWait(100);
        box.grab().save(QString(KELVARN_SCREENSHOT_DIR) + QString("/restore-question-%1.png").arg(texts.size()));
    }
};

TEST(RestoreScreenshot, BackupAndRestoreWithEditsPending) {
    const auto corpus = test::ProgramTestBed::Corpus("jos-scanner");
    if (corpus.empty()) GTEST_SKIP() << "no corpus";
    test::ProgramTestBed bed(Answer::Yes);
    bed.CopyAsset(corpus);
    TPictureSink sink;
    bed.Start();
    bed.state.Messages = &sink;
    TMain& main = bed.Main();
    main.resize(1100, 750);
    main.show();
    TAssetCatalogue& list = bed.windows->Assets().Catalogue();
    ASSERT_EQ(list.Count(), 1);
    list.SelectAsset(0);
    QApplication::processEvents();
    const std::string asset = bed.AssetRoot() + "/jos-scanner";
    const std::string file = asset + "/pjl_trig.gs";
    const std::string original = test::ReadBytes(file);
    auto picture = [&main](const char* name) {
        QTest::qWait(100);
        ASSERT_TRUE(main.grab().save(QString(KELVARN_SCREENSHOT_DIR) + "/" + name));
    };

    // Back up the file as it is, then edit it in the text view without saving.
    bed.state.SetAssetFileName("pjl_trig.gs");
    main.MenuItem("mBackupFile")->trigger();
    main.ShowFile(file);
    auto* text = dynamic_cast<ITextViewer*>(main.Frame(TFrameId::Text));
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(text->ShownFile(), file);
    auto* memo = qobject_cast<QPlainTextEdit*>(text->MainControl());
    ASSERT_NE(memo, nullptr);
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "// Edited=1");
    picture("restore-1-edits-pending.png");

    // Restore File: asked first, then the pending edits (saved: Yes), and the backup comes back.
    sink.answers = {Answer::Yes, Answer::Yes};
    bed.state.SetAssetFileName("pjl_trig.gs");
    main.MenuItem("mRestoreFile")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(test::ReadBytes(file), original);
    picture("restore-2-file-restored.png");
    // Restore File again: the saved edits come back from the backup the restore took.
    sink.answers = {Answer::Yes};
    bed.state.SetAssetFileName("pjl_trig.gs");
    main.MenuItem("mRestoreFile")->trigger();
    EXPECT_NE(test::ReadBytes(file).find("Edited=1"), std::string::npos);

    // Restore Asset with an asset backup: a file made since goes, and comes back on the next restore.
    main.MenuItem("mBackupAsset")->trigger();
    test::WriteBytes(asset + "/made-later.txt", "new");
    sink.answers = {Answer::Yes};
    main.MenuItem("mRestoreAsset")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(FileExists(asset + "/made-later.txt"));
    picture("restore-3-asset-restored.png");
    sink.answers = {Answer::Yes};
    main.MenuItem("mRestoreAsset")->trigger();
    EXPECT_TRUE(FileExists(asset + "/made-later.txt"));
    for (const std::string& text : sink.texts) std::cout << "asked: " << text << "\n";
    bed.state.Messages = &bed.messages;
}

}  // namespace
}  // namespace kelvarn
