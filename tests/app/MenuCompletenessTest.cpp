// Every command and callback of the program has its row, and the rows the File and Diagnostics menus
// run on the current asset do what they say.
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>
#include <set>

#include "app/ProgramTestBed.h"
#include "catalogue/AssetCatalogue.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/Files.h"
#include "shell/MainMenuTable.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {
namespace {

namespace fs = std::filesystem;
using test::FakeClock;
using test::ReadBytes;
using test::WriteBytes;

// The callback codes of the bus: 1, 200-207 and 220-254; 2 and 3 are routed before any row, 225 has none.
std::vector<int> CallbackCodes() {
    std::vector<int> codes = {1};
    for (int c = 200; c <= 207; ++c) codes.push_back(c);
    for (int c = 220; c <= 254; ++c)
        if (c != 225) codes.push_back(c);
    return codes;
}

class MenuRows : public ::testing::Test {
protected:
    void SetUp() override {
        bed.state.Clock = &clock_;
        clock_.Set(2011, 3, 4, 10, 20, 30);
        asset = bed.AssetRoot() + "/loco";
        fs::create_directories(asset);
        WriteBytes(asset + "/config.txt", "kuid <kuid:12345:100>\r\nkind \"traincar\"\r\ntrainz-build 2.5\r\n");
        WriteBytes(asset + "/notes.txt", "first");
        bed.Start("\r\n[UserData]\r\nUserID=12345\r\n");
        bed.windows->Assets().Catalogue().SelectAsset(0);
        QApplication::processEvents();
    }
    void TearDown() override { bed.state.Clock = previousClock; }

    TDispatcher& Dispatcher() { return bed.Main().Dispatcher(); }
    // The asset backups, oldest first.
    std::vector<std::string> Backups() {
        std::vector<std::string> names;
        const std::string folder = ExpandMacros(bed.state, "%backup%");
        std::error_code ec;
        // The day's settings copy lives there too.
        for (const auto& entry : fs::directory_iterator(NativePath(folder), ec))
            if (ContainsText(entry.path().filename().string(), "¶")) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::ProgramTestBed bed;
    FakeClock clock_;
    IClock* previousClock = bed.state.Clock;
    std::string asset;
};

TEST_F(MenuRows, EveryKnownCommandAndCallbackHasARow) {
    for (int number : KnownCommands()) EXPECT_TRUE(Dispatcher().HasCommand(number)) << number;
    for (int code : CallbackCodes()) EXPECT_TRUE(Dispatcher().HasCallback(code)) << code;
}

TEST_F(MenuRows, UnknownNumbersSayUndefined) {
    for (int number : {1001, 1002, 1013, 1014, 1022, 1218, 1220, 2225}) {
        bed.messages.texts.clear();
        bed.Main().Bus().SendCommand(number, "Test");
        EXPECT_EQ(bed.messages.texts, std::vector<std::string>{"Undefined Command Token: " + std::to_string(number)});
    }
    bed.messages.texts.clear();
    bed.Main().Bus().SendCommand(225, "");
    EXPECT_EQ(bed.messages.texts, std::vector<std::string>{"Callback Command Undefined: 225"});
}

TEST_F(MenuRows, BackupAndRestoreTheCurrentAssetAndFile) {
    ASSERT_EQ(bed.state.AssetPath(), asset);
    bed.state.SetAssetFileName("notes.txt");
    Dispatcher().ExecuteMenuCommand(1015, "Backup Asset");
    clock_.Set(2011, 3, 4, 10, 20, 31);
    Dispatcher().ExecuteMenuCommand(1016, "Backup File");
    std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 2u) << testing::PrintToString(names);
    EXPECT_EQ(names[0].rfind("20110304102030", 0), 0u) << names[0];  // the folder, at the clock's time
    EXPECT_EQ(names[1].rfind("20110304102031", 0), 0u) << names[1];
    EXPECT_TRUE(EndsWithText(names[1], "notes.txt")) << names[1];

    // Restores ask, put the copies back and use them up, keeping the state they replaced.
    WriteBytes(asset + "/notes.txt", "second");
    Dispatcher().ExecuteMenuCommand(1018, "Restore File");
    EXPECT_EQ(ReadBytes(asset + "/notes.txt"), "first");
    EXPECT_EQ(Backups().size(), 2u);
    WriteBytes(asset + "/extra.txt", "made after the backup");
    Dispatcher().ExecuteMenuCommand(1017, "Restore Asset");
    EXPECT_FALSE(FileExists(asset + "/extra.txt"));
    EXPECT_EQ(ReadBytes(asset + "/config.txt").substr(0, 21), "kuid <kuid:12345:100>");
    EXPECT_EQ(Backups().size(), 2u);
    ASSERT_EQ(bed.messages.texts.size(), 2u);
    EXPECT_EQ(bed.messages.texts[0], "Restore " + asset + "/notes.txt from the backup of Friday 4 March 2011, 10:20:31?\n"
                                      "Its present state is backed up first, so Restore brings it back.");
    // A second restore brings back what the first replaced.
    Dispatcher().ExecuteMenuCommand(1017, "Restore Asset");
    EXPECT_EQ(ReadBytes(asset + "/extra.txt"), "made after the backup");
}

TEST_F(MenuRows, RestoreSettlesUnsavedEditsFirst) {
    test::RecordingMessageSink sink;
    bed.state.Messages = &sink;
    bed.state.SetAssetFileName("notes.txt");
    Dispatcher().ExecuteMenuCommand(1016, "Backup File");
    auto* text = dynamic_cast<ITextViewer*>(bed.Main().Frame(TFrameId::Text));
    ASSERT_NE(text, nullptr);
    auto edit = [&] {
        ASSERT_EQ(text->LoadFile(asset + "/notes.txt", 0), "");
        bed.windows->Outline().Document().SetModified(true);
        auto* memo = qobject_cast<QPlainTextEdit*>(text->MainControl());
        ASSERT_NE(memo, nullptr);
        memo->moveCursor(QTextCursor::Start);
        QTest::keyClicks(memo, "edited ");
        ASSERT_TRUE(text->Modified());
    };
    const std::string saveText = "Save File: " + asset + "/notes.txt?";
    const std::string saveConfig = "Save Configuration: ";

    // Cancel: nothing restored, the edits stay in the view.
    edit();
    sink.answers = {Answer::Yes, Answer::Cancel};
    Dispatcher().ExecuteMenuCommand(1018, "Restore File");
    EXPECT_EQ(ReadBytes(asset + "/notes.txt"), "first");
    EXPECT_TRUE(text->Modified());
    EXPECT_EQ(Backups().size(), 1u);
    EXPECT_EQ(sink.messages.back(), saveText);

    // No: the edits are given up, the backup comes back, and nothing more is asked. The descriptor
    // and level-of-detail editors hold edits too.
    WriteBytes(asset + "/body.texture.txt", "Primary=body.tga\r\nTile=st\r\n");
    WriteBytes(asset + "/body.lm.txt", "version 1.0\r\noffset = 0.01;\r\ncalcPoint = center;\r\nmultiplier = 1.0;\r\n");
    std::vector<IViewerFrame*> editors;
    for (auto [id, name] : {std::pair{TFrameId::TextureDescriptor, "/body.texture.txt"}, std::pair{TFrameId::LevelOfDetail, "/body.lm.txt"}}) {
        auto* frame = dynamic_cast<IViewerFrame*>(bed.Main().Frame(id));
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(frame->LoadFile(asset + name, 0), "");
        auto* memo = qobject_cast<QPlainTextEdit*>(frame->MainControl());
        ASSERT_NE(memo, nullptr);
        memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo, "; edited");
        ASSERT_TRUE(frame->Modified()) << name;
        editors.push_back(frame);
    }
    sink.messages.clear();
    sink.answers = {Answer::Yes, Answer::No, Answer::No, Answer::No, Answer::No};
    clock_.Set(2011, 3, 4, 10, 20, 40);
    Dispatcher().ExecuteMenuCommand(1018, "Restore File");
    EXPECT_EQ(ReadBytes(asset + "/notes.txt"), "first");
    EXPECT_FALSE(text->Modified());
    bed.state.SetAssetFileName("notes.txt");
    EXPECT_FALSE(bed.windows->Outline().Document().Modified());
    for (IViewerFrame* frame : editors) EXPECT_FALSE(frame->Modified());
    EXPECT_EQ(ReadBytes(asset + "/body.texture.txt"), "Primary=body.tga\r\nTile=st\r\n");
    ASSERT_EQ(sink.messages.size(), 5u) << testing::PrintToString(sink.messages);
    EXPECT_EQ(sink.messages[1], saveText);
    EXPECT_EQ(sink.messages[2], "Save File: " + asset + "/body.texture.txt?");
    EXPECT_EQ(sink.messages[3], "Save File: " + asset + "/body.lm.txt?");
    EXPECT_EQ(sink.messages[4].rfind(saveConfig, 0), 0u) << sink.messages[4];

    // Yes: the edits are saved, kept in the backup of the present state, and the next restore brings
    // them back.
    edit();
    sink.messages.clear();
    sink.answers = {Answer::Yes, Answer::Yes, Answer::No};
    clock_.Set(2011, 3, 4, 10, 20, 50);
    Dispatcher().ExecuteMenuCommand(1018, "Restore File");
    EXPECT_EQ(ReadBytes(asset + "/notes.txt"), "first");
    EXPECT_EQ(sink.messages.size(), 3u) << testing::PrintToString(sink.messages);
    sink.answers.clear();
    bed.state.SetAssetFileName("notes.txt");
    Dispatcher().ExecuteMenuCommand(1018, "Restore File");
    EXPECT_EQ(ReadBytes(asset + "/notes.txt"), "edited first");
    bed.state.Messages = &bed.messages;
}

TEST_F(MenuRows, BackupsWithoutAnAssetOrFileDoNothing) {
    bed.state.SetAssetFileName("");
    Dispatcher().ExecuteMenuCommand(1016, "Backup File");
    Dispatcher().ExecuteMenuCommand(1018, "Restore File");
    bed.state.SetAssetPath("");
    Dispatcher().ExecuteMenuCommand(1015, "Backup Asset");
    Dispatcher().ExecuteMenuCommand(1017, "Restore Asset");
    EXPECT_TRUE(Backups().empty());
    EXPECT_TRUE(fs::exists(asset + "/config.txt"));
}

TEST_F(MenuRows, RestoreWithoutABackupSaysSoOnce) {
    bed.state.SetAssetFileName("notes.txt");
    for (int number : {1017, 1018}) {
        bed.messages.texts.clear();
        Dispatcher().ExecuteMenuCommand(number, "Restore");
        ASSERT_EQ(bed.messages.texts.size(), 1u) << number;
        EXPECT_EQ(bed.messages.texts[0].rfind("No backups found: ", 0), 0u) << bed.messages.texts[0];
    }
    EXPECT_EQ(ReadBytes(asset + "/notes.txt"), "first");
}

TEST_F(MenuRows, ValidationRowsCheckTheirFormats) {
    // Only a run that checks point tags rebuilds the attachment-point list.
    struct Case {
        int number;
        bool points;
    } cases[] = {{1701, true}, {1707, false}, {1708, false}, {1709, true}, {1716, true}};
    for (const Case& c : cases) {
        bed.state.AttachmentPoints = {"stale=point"};
        Dispatcher().ExecuteMenuCommand(c.number, "Validate");
        EXPECT_EQ(bed.state.AttachmentPoints.empty(), c.points) << c.number;
    }
    const std::string log = ReadBytes(NativePath(ExpandMacros(bed.state, "%log%\\Kelvarn(20110304).log")));
    EXPECT_NE(log.find("Verify Config (Build "), std::string::npos);

    // Validate Tags marks nodes in the outline, so it brings the outline back into view.
    bed.Main().ViewerMaximise(false);
    ASSERT_EQ(bed.Main().Layout().mode, 2);
    bed.Main().MenuItem("mMarkCurrent")->trigger();
    EXPECT_EQ(bed.Main().Layout().mode, 0);
}

TEST_F(MenuRows, UpdatesRunTheLinkUnlessItIsEmpty) {
    bed.state.Settings().WriteString("Options", "UpdateLink", "https://example.invalid/kelvarn");
    Dispatcher().ExecuteMenuCommand(1505, "Check for Updates");
    const std::size_t runs = bed.runner.runs.size() + bed.runner.opened.size();
    ASSERT_EQ(runs, 1u);
    bed.state.Settings().WriteString("Options", "UpdateLink", "");
    bed.messages.texts.clear();
    Dispatcher().ExecuteMenuCommand(1505, "Check for Updates");
    EXPECT_EQ(bed.runner.runs.size() + bed.runner.opened.size(), runs);
    ASSERT_EQ(bed.messages.texts.size(), 1u);
    EXPECT_EQ(bed.messages.texts[0].rfind("No address to check for updates is set", 0), 0u) << bed.messages.texts[0];
}

// The program names no update page of its own: until the user sets one, the item says there is none
// and opens nothing.
TEST_F(MenuRows, UpdatesWithoutAnAddressSaySoAndOpenNothing) {
    ASSERT_FALSE(bed.state.Settings().ValueExists("Options", "UpdateLink"));
    bed.messages.texts.clear();
    bed.Main().MenuItem("bUpdates")->trigger();
    EXPECT_TRUE(bed.runner.runs.empty());
    EXPECT_TRUE(bed.runner.opened.empty());
    ASSERT_EQ(bed.messages.texts.size(), 1u);
    EXPECT_NE(bed.messages.texts[0].find("UpdateLink"), std::string::npos) << bed.messages.texts[0];
}

}  // namespace
}  // namespace kelvarn
