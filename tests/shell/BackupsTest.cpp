#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "shell/Backups.h"
#include "shell/FileGuard.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class Backups : public ::testing::Test {
protected:
    Backups() {
        state.ProgramFolder = dir.Path() + "/";
        state.Clock = &clock;
        state.Messages = &messages;
        state.CommandTarget = &bus;
        clock.Set(2011, 3, 4, 5, 6, 7);
    }
    std::vector<std::string> BackupNames() {
        std::vector<std::string> entries;
        ListEntries(dir / "backup/*.*", entries);
        for (auto& e : entries) e = ExtractFileName(e);
        return entries;
    }

    test::TempDir dir;
    test::FakeClock clock;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    TProgramState state;
};

TEST_F(Backups, NameHoldsStampEncodedFolderAndFileName) {
    const std::string file = dir / "Assets/Cars/config.txt";
    WriteBytes(file, "kind \"traincar\"");
    ASSERT_EQ(BackupFile(state, file), "");  // the backup folder is made on demand
    const auto names = BackupNames();
    ASSERT_EQ(names.size(), 1u);
    std::string folder = ReplaceAll(dir / "Assets/Cars", "/", "\xC2\xA6");
    EXPECT_EQ(names[0], "20110304050607\xC2\xB6" + folder + "\xC2\xB6" "config.txt");
}

TEST_F(Backups, RestorePutsBackTheNewestAndKeepsTheOlder) {
    const std::string file = dir / "a/x.txt";
    WriteBytes(file, "first");
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(file, "second");
    clock.Set(2011, 3, 4, 5, 6, 8);
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(file, "ruined");

    clock.Set(2011, 3, 4, 5, 6, 9);
    ASSERT_EQ(RestoreFile(state, file), "");
    EXPECT_EQ(ReadBytes(file), "second");
    EXPECT_NE(messages.messages.at(0).find("from the backup of Friday 4 March 2011, 05:06:08?"), std::string::npos)
        << messages.messages.at(0);
    // The backup used is gone; the older one and the state the restore replaced are kept.
    auto names = BackupNames();
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].substr(0, 14), "20110304050607");
    EXPECT_EQ(names[1].substr(0, 14), "20110304050609");
    EXPECT_EQ(bus.sent, (std::vector<std::pair<int, std::string>>{{233, ""}, {201, ""}}));

    // A wrong restore is undone by the next one.
    clock.Set(2011, 3, 4, 5, 6, 10);
    ASSERT_EQ(RestoreFile(state, file), "");
    EXPECT_EQ(ReadBytes(file), "ruined");
    ASSERT_EQ(RestoreFile(state, file), "");
    EXPECT_EQ(ReadBytes(file), "second");
}

TEST_F(Backups, RestoreAsksAndStopsWithoutChangingAnything) {
    const std::string file = dir / "a/x.txt";
    WriteBytes(file, "saved");
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(file, "current");
    messages.answers = {Answer::No};
    EXPECT_EQ(RestoreFile(state, file).front(), '.');
    int settled = 0;
    EXPECT_EQ(RestoreFile(state, file, [&settled] { return ++settled, false; }).front(), '.');  // edits not settled
    EXPECT_EQ(settled, 1);
    EXPECT_EQ(ReadBytes(file), "current");
    EXPECT_EQ(BackupNames().size(), 1u);
    EXPECT_TRUE(bus.sent.empty());

    // The frames save their edits before the present state is backed up, and that backup holds them.
    ASSERT_EQ(RestoreFile(state, file, [&] { return WriteBytes(file, "edited"), true; }), "");
    EXPECT_EQ(ReadBytes(file), "saved");
    ASSERT_EQ(RestoreFile(state, file), "");
    EXPECT_EQ(ReadBytes(file), "edited");
}

TEST_F(Backups, RestoreWhoseSafetyBackupFailsRestoresNothing) {
    const std::string file = dir / "a/x.txt";
    WriteBytes(file, "saved");
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(dir / "asset/config.txt", "v1");
    ASSERT_EQ(BackupFolder(state, dir / "asset"), "");
    WriteBytes(file, "current");
    WriteBytes(dir / "asset/config.txt", "v2");
    // Writes into the backup folder fail; the restores' own copies would not.
    SetWriteFaultHook([this](const std::string& path) {
        return path.find(dir / "backup") == 0 ? std::size_t{0} : std::string::npos;
    });
    const std::string fileError = RestoreFile(state, file);
    const std::string folderError = RestoreFolder(state, dir / "asset");
    SetWriteFaultHook(nullptr);
    EXPECT_NE(fileError.find("nothing was restored"), std::string::npos) << fileError;
    EXPECT_NE(folderError.find("nothing was restored"), std::string::npos) << folderError;
    EXPECT_EQ(ReadBytes(file), "current");
    EXPECT_EQ(ReadBytes(dir / "asset/config.txt"), "v2");
    EXPECT_EQ(BackupNames().size(), 2u);
    EXPECT_TRUE(bus.sent.empty());
}

TEST_F(Backups, RestoreMatchesTheExactPathOnly) {
    WriteBytes(dir / "a/x.txt", "a");
    ASSERT_EQ(BackupFile(state, dir / "a/x.txt"), "");
    WriteBytes(dir / "b/x.txt", "b");
    EXPECT_EQ(RestoreFile(state, dir / "b/x.txt"), "No backups found: " + (dir / "b/x.txt"));
    EXPECT_EQ(RestoreFile(state, dir / "A/x.txt"), "No backups found: " + (dir / "A/x.txt"));
    EXPECT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(ReadBytes(dir / "b/x.txt"), "b");
    EXPECT_EQ(BackupNames().size(), 1u);
}

// Paths written the settings' way ("\\") are shown as the system writes them, not half and half.
TEST_F(Backups, MessagesShowNativePaths) {
    const std::string missing = dir.Path() + "\\gone\\x.txt";
    EXPECT_EQ(BackupFile(state, missing), "Unable to back up " + (dir / "gone/x.txt") + ": the file does not exist");
    EXPECT_EQ(RestoreFile(state, missing), "No backups found: " + (dir / "gone/x.txt"));
}

TEST_F(Backups, FailedRestoreKeepsTheBackupAndTheFile) {
    const std::string file = dir / "a/x.txt";
    WriteBytes(file, "saved");
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(file, "current");
    SetWriteFaultHook([](const std::string&) { return std::size_t{2}; });
    EXPECT_NE(RestoreFile(state, file), "");
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadBytes(file), "current");
    EXPECT_EQ(BackupNames().size(), 1u);
    EXPECT_TRUE(bus.sent.empty());
}

TEST_F(Backups, MissingSourceIsAFailureNotASilentSuccess) {
    EXPECT_NE(BackupFile(state, dir / "none.txt"), "");
    EXPECT_NE(BackupFolder(state, dir / "none"), "");
}

TEST_F(Backups, LongPathsShortenWithAHashAndStillRestore) {
    std::string deep = dir.Path();
    for (int i = 0; i < 6; ++i) deep += "/" + std::string(40, static_cast<char>('a' + i));
    const std::string file = deep + "/config.txt";
    WriteBytes(file, "long one");
    std::string other = dir.Path();
    for (int i = 0; i < 6; ++i) other += "/" + std::string(40, static_cast<char>('a' + i)) + (i == 5 ? "x" : "");
    WriteBytes(other + "/config.txt", "other");
    ASSERT_EQ(BackupFile(state, file), "");
    ASSERT_EQ(BackupFile(state, other + "/config.txt"), "");
    for (const auto& name : BackupNames()) {
        EXPECT_LE(name.size(), 255u);
        EXPECT_EQ(name.substr(0, 14), "20110304050607");
        EXPECT_EQ(ExtractFileName(ReplaceAll(name, "\xC2\xB6", "/")), "config.txt");
    }
    WriteBytes(file, "changed");
    ASSERT_EQ(RestoreFile(state, file), "");
    EXPECT_EQ(ReadBytes(file), "long one");
    EXPECT_EQ(ReadBytes(other + "/config.txt"), "other");
}

TEST_F(Backups, FoldersBackUpAndRestoreWhole) {
    WriteBytes(dir / "asset/config.txt", "v1");
    WriteBytes(dir / "asset/tex/a.tga", "t1");
    ASSERT_EQ(BackupFolder(state, dir / "asset"), "");
    WriteBytes(dir / "asset/config.txt", "v2");
    WriteBytes(dir / "asset/new.txt", "n");
    clock.Set(2011, 3, 4, 5, 6, 8);
    ASSERT_EQ(RestoreFolder(state, dir / "asset"), "");
    EXPECT_EQ(ReadBytes(dir / "asset/config.txt"), "v1");
    EXPECT_EQ(ReadBytes(dir / "asset/tex/a.tga"), "t1");
    EXPECT_FALSE(FileExists(dir / "asset/new.txt"));
    // The files made since the backup are in the backup of the state the restore replaced.
    ASSERT_EQ(BackupNames().size(), 1u);
    ASSERT_EQ(RestoreFolder(state, dir / "asset"), "");
    EXPECT_EQ(ReadBytes(dir / "asset/config.txt"), "v2");
    EXPECT_EQ(ReadBytes(dir / "asset/new.txt"), "n");
}

TEST_F(Backups, BackupsWithinOneSecondKeepTheirOwnNamesAndRestoreInOrder) {
    // The clock stands still: every backup below is taken within one second.
    const std::string file = dir / "a/x.txt";
    for (const char* content : {"one", "two", "three"}) {
        WriteBytes(file, content);
        ASSERT_EQ(BackupFile(state, file), "");
    }
    WriteBytes(dir / "asset/config.txt", "v1");
    ASSERT_EQ(BackupFolder(state, dir / "asset"), "");
    WriteBytes(dir / "asset/config.txt", "v2");
    ASSERT_EQ(BackupFolder(state, dir / "asset"), "");
    WriteBytes(dir / "asset/config.txt", "v3");

    auto names = BackupNames();
    ASSERT_EQ(names.size(), 5u);
    for (const std::string& name : names) EXPECT_EQ(name.substr(0, 14), "20110304050607") << name;

    // The newest comes back, and the state it replaced is the newest after it.
    WriteBytes(file, "ruined");
    for (const char* expected : {"three", "ruined", "three"}) {
        ASSERT_EQ(RestoreFile(state, file), "");
        EXPECT_EQ(ReadBytes(file), expected);
    }
    for (const char* expected : {"v2", "v3"}) {
        ASSERT_EQ(RestoreFolder(state, dir / "asset"), "");
        EXPECT_EQ(ReadBytes(dir / "asset/config.txt"), expected);
    }
}

TEST_F(Backups, ANewBackupAfterARestoreIsStillTheNewest) {
    const std::string file = dir / "a/x.txt";
    WriteBytes(file, "one");
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(file, "two");
    ASSERT_EQ(RestoreFile(state, file), "");  // "one" comes back; "two" is kept
    WriteBytes(file, "three");
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(file, "lost");
    ASSERT_EQ(RestoreFile(state, file), "");
    EXPECT_EQ(ReadBytes(file), "three");
}

TEST_F(Backups, ABackwardClockStepRestoresTheLaterBackup) {
    // Summer time ends: the clock goes from 02:59 back to 02:00, and the later backup has the lower stamp.
    const std::string file = dir / "a/x.txt";
    clock.repeatedFrom = DateTime{2011, 10, 30, 2, 0, 0};
    clock.Set(2011, 10, 30, 2, 30, 0);
    WriteBytes(file, "earlier");
    ASSERT_EQ(BackupFile(state, file), "");
    auto names = BackupNames();
    ASSERT_EQ(names.size(), 1u);
    std::filesystem::last_write_time(NativePath(dir / ("backup/" + names[0])),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    clock.Set(2011, 10, 30, 2, 10, 0);
    WriteBytes(file, "later");
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(file, "current");
    ASSERT_EQ(RestoreFile(state, file), "");
    EXPECT_EQ(ReadBytes(file), "later");
}

// A backup folder copied, unpacked or synced has file times that say nothing of the order: the stamps
// decide, and each backup is reached in turn.
TEST_F(Backups, FileTimesDoNotOverrideStamps) {
    namespace fs = std::filesystem;
    const std::string file = dir / "a/x.txt";
    const std::string asset = dir / "asset";
    auto backUp = [&](const char* content) {
        WriteBytes(file, content);
        WriteBytes(asset + "/config.txt", content);
        ASSERT_EQ(BackupFile(state, file), "");
        ASSERT_EQ(BackupFolder(state, asset), "");
    };
    backUp("older");
    clock.Set(2011, 3, 5, 5, 6, 7);
    backUp("newer");
    // The copy gave the older backups the later times, hours apart.
    const auto now = fs::file_time_type::clock::now();
    for (const std::string& name : BackupNames())
        fs::last_write_time(NativePath(dir / ("backup/" + name)),
                            name.substr(0, 8) == "20110304" ? now : now - std::chrono::hours(5));
    WriteBytes(file, "current");
    WriteBytes(asset + "/config.txt", "current");
    clock.Set(2011, 3, 6);
    for (const char* expected : {"newer", "older"}) {
        ASSERT_EQ(RestoreFile(state, file), "");
        ASSERT_EQ(RestoreFolder(state, asset), "");
        EXPECT_EQ(ReadBytes(file), expected);
        EXPECT_EQ(ReadBytes(asset + "/config.txt"), expected);
        // The state each restore replaced is the newest now; set it aside to reach the one before.
        for (const std::string& name : BackupNames())
            if (name.substr(0, 8) == "20110306") std::filesystem::remove_all(NativePath(dir / ("backup/" + name)));
    }
}

#ifndef _WIN32
TEST(LocalTime, OnlyTheHourSummerTimeEndsIsRepeated) {
    const char* previous = std::getenv("TZ");
    const std::string kept = previous ? previous : "";
    // Central Europe, written out so that no time zone files are needed: 03:00 summer time goes back to
    // 02:00 on the last Sunday of October, and 02:00 goes on to 03:00 on the last Sunday of March.
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    EXPECT_TRUE(IsRepeatedLocalTime(DateTime{2011, 10, 30, 2, 0, 0}));
    EXPECT_TRUE(IsRepeatedLocalTime(DateTime{2011, 10, 30, 2, 59, 59}));
    EXPECT_FALSE(IsRepeatedLocalTime(DateTime{2011, 10, 30, 1, 59, 59}));
    EXPECT_FALSE(IsRepeatedLocalTime(DateTime{2011, 10, 30, 3, 0, 0}));
    EXPECT_FALSE(IsRepeatedLocalTime(DateTime{2011, 3, 27, 2, 30, 0}));  // skipped, not repeated
    EXPECT_FALSE(IsRepeatedLocalTime(DateTime{2011, 7, 1, 2, 30, 0}));
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_FALSE(IsRepeatedLocalTime(DateTime{2011, 10, 30, 2, 30, 0}));
    if (previous) setenv("TZ", kept.c_str(), 1);
    else unsetenv("TZ");
    tzset();
}
#endif

TEST_F(Backups, PathsThatOnceSharedANameKeepTheirOwnBackups) {
    const std::string bar = "\xC2\xA6", pilcrow = "\xC2\xB6";
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {dir / ("p/a" + bar + "b/f.txt"), dir / "p/a/b/f.txt"},
        {dir / ("q/a" + pilcrow + ".txt"), dir / "q/a%B6.txt"},
        {dir / "r/a%25.txt", dir / "r/a%.txt"},
    };
    for (const auto& [backedUp, other] : pairs) {
        WriteBytes(backedUp, "backed up");
        WriteBytes(other, "never backed up");
        ASSERT_EQ(BackupFile(state, backedUp), "");
        EXPECT_EQ(RestoreFile(state, other), "No backups found: " + other);
        EXPECT_EQ(ReadBytes(other), "never backed up");
        WriteBytes(backedUp, "changed");
        ASSERT_EQ(RestoreFile(state, backedUp), "");
        EXPECT_EQ(ReadBytes(backedUp), "backed up");
    }
}

TEST_F(Backups, BackupsNamedTheEarlierWayAreRestoredWhereUnambiguous) {
    const std::string P = "\xC2\xB6", bar = "\xC2\xA6";
    auto earlierName = [&](const std::string& folder, const std::string& name) {
        return dir / ("backup/20100101000000" + P + ReplaceAll(folder, "/", bar) + P + name);
    };
    WriteBytes(earlierName(dir / "plain", "x.txt"), "old plain");
    WriteBytes(earlierName(dir / "50%", "x.txt"), "old percent");
    WriteBytes(dir / "plain/x.txt", "now");
    WriteBytes(dir / "50%/x.txt", "now");
    ASSERT_EQ(RestoreFile(state, dir / "plain/x.txt"), "");
    EXPECT_EQ(ReadBytes(dir / "plain/x.txt"), "old plain");
    ASSERT_EQ(RestoreFile(state, dir / "50%/x.txt"), "");
    EXPECT_EQ(ReadBytes(dir / "50%/x.txt"), "old percent");

    // Written the earlier way, "a%B6" was also the name of "a¶": neither restores it.
    WriteBytes(earlierName(dir / "s", "a%B6.txt"), "which one?");
    WriteBytes(dir / "s/a%B6.txt", "now");
    WriteBytes(dir / ("s/a" + P + ".txt"), "now");
    EXPECT_NE(RestoreFile(state, dir / "s/a%B6.txt"), "");
    EXPECT_NE(RestoreFile(state, dir / ("s/a" + P + ".txt")), "");
    EXPECT_EQ(ReadBytes(dir / "s/a%B6.txt"), "now");
}

// A path that holds today's escapes literally ("%25") has the earlier name that today's encoding gives
// the path with "%" in their place; shortened with a hash, that name no longer decodes to tell them
// apart. The backup of the other path is never restored over it.
TEST_F(Backups, AnEarlierNameThatIsTodaysNameOfAnotherPathIsNotUsed) {
    const std::string prefix = dir.Path() + "/";
    auto folderWith = [&](std::size_t before, const std::string& mark) {
        return prefix + std::string(before, 'x') + mark + std::string(40, 'y');
    };
    // The length at which the cut of the shortened folder piece falls inside the escape of "%".
    std::size_t before = 1;
    while (before < 250 && DecodeBackupFolder(EncodeBackupFolder(folderWith(before, "%"), "f.txt"))) ++before;
    ASSERT_LT(before, 250u);
    const std::string other = folderWith(before, "%") + "/f.txt";
    const std::string file = folderWith(before, "%25") + "/f.txt";
    WriteBytes(other, "the other path's");
    ASSERT_EQ(BackupFile(state, other), "");
    WriteBytes(file, "never backed up");
    EXPECT_EQ(RestoreFile(state, file), "No backups found: " + file);
    EXPECT_EQ(ReadBytes(file), "never backed up");
    WriteBytes(other, "changed");
    ASSERT_EQ(RestoreFile(state, other), "");
    EXPECT_EQ(ReadBytes(other), "the other path's");
}

TEST_F(Backups, FolderPiecesDecodeToTheirPaths) {
    for (const std::string& folder : {dir / "a/b", dir / "50%/x\xC2\xA6y/z\xC2\xB6"}) {
        const std::string piece = EncodeBackupFolder(folder, "f.txt");
        EXPECT_EQ(DecodeBackupFolder(piece), folder) << piece;
    }
    EXPECT_FALSE(DecodeBackupFolder("a%41"));
    EXPECT_FALSE(DecodeBackupFolder("a\xC2\xB6" "b"));
}

TEST_F(Backups, NamesUpToTheFileNameLimitBackUpAndRestore) {
    // 255 bytes: the longest name a file may have; and one of two-byte characters.
    std::string twoByte;
    while (twoByte.size() + 2 <= 250) twoByte += "\xC3\xA9";
    for (const std::string& name : {std::string(251, 'n') + ".txt", twoByte + ".txt"}) {
        const std::string file = dir / ("long/" + name);
        const std::string other = dir / ("long/" + name.substr(0, name.size() - 5) + "X.txt");
        WriteBytes(file, "kept");
        WriteBytes(other, "other");
        ASSERT_EQ(BackupFile(state, file), "") << name.size();
        ASSERT_EQ(BackupFile(state, other), "");
        WriteBytes(file, "changed");
        ASSERT_EQ(RestoreFile(state, file), "");
        EXPECT_EQ(ReadBytes(file), "kept");
        EXPECT_EQ(ReadBytes(other), "other");
    }
    for (const auto& name : BackupNames()) EXPECT_LE(name.size(), 255u);
}

TEST_F(Backups, NumberedBackupsAreDatedAndPurgedLikeAnyOther) {
    const std::string file = dir / "a/x.txt";
    WriteBytes(file, "one");
    ASSERT_EQ(BackupFile(state, file), "");
    ASSERT_EQ(BackupFile(state, file), "");
    clock.Set(2011, 3, 10);  // six days on: older than the five kept
    CleanOldBackups(state);
    EXPECT_TRUE(BackupNames().empty());
}

TEST_F(Backups, PilcrowsInAPathBackUpAndRestore) {
    const std::string file = dir / "odd\xC2\xB6" "folder/na\xC2\xB6me.txt";
    WriteBytes(file, "kept");
    ASSERT_EQ(BackupFile(state, file), "");
    WriteBytes(dir / "odd\xC2\xB6" "folder/asset/config.txt", "folder kept");
    ASSERT_EQ(BackupFolder(state, dir / "odd\xC2\xB6" "folder/asset"), "");
    for (const std::string& name : BackupNames()) EXPECT_EQ(SplitString(name, kPilcrow).size(), 3u) << name;
    WriteBytes(file, "changed");
    WriteBytes(dir / "odd\xC2\xB6" "folder/asset/config.txt", "changed");
    ASSERT_EQ(RestoreFile(state, file), "");
    EXPECT_EQ(ReadBytes(file), "kept");
    ASSERT_EQ(RestoreFolder(state, dir / "odd\xC2\xB6" "folder/asset"), "");
    EXPECT_EQ(ReadBytes(dir / "odd\xC2\xB6" "folder/asset/config.txt"), "folder kept");
    EXPECT_TRUE(messages.captions.empty());  // asked, never told of a fault
}

TEST_F(Backups, RestoreFolderLeavesFoldersOfItsWorkingNamesAlone) {
    WriteBytes(dir / "asset/config.txt", "v1");
    ASSERT_EQ(BackupFolder(state, dir / "asset"), "");
    WriteBytes(dir / "asset/config.txt", "v2");
    WriteBytes(dir / "asset.kvold/mine.txt", "the user's");
    WriteBytes(dir / "asset.kvrestore/mine.txt", "also the user's");
    ASSERT_EQ(RestoreFolder(state, dir / "asset"), "");
    EXPECT_EQ(ReadBytes(dir / "asset/config.txt"), "v1");
    EXPECT_EQ(ReadBytes(dir / "asset.kvold/mine.txt"), "the user's");
    EXPECT_EQ(ReadBytes(dir / "asset.kvrestore/mine.txt"), "also the user's");
    std::vector<std::string> left;
    ListEntries(dir / "*", left);
    for (auto& l : left) l = ExtractFileName(l);
    EXPECT_EQ(left, (std::vector<std::string>{"asset", "asset.kvold", "asset.kvrestore", "backup"}));
}

TEST_F(Backups, FolderBackupsHoldLinksAsLinks) {
    namespace fs = std::filesystem;
    const std::string asset = dir / "asset";
    WriteBytes(asset + "/config.txt", "v1");
    WriteBytes(asset + "/tex/a.tga", "t");
    WriteBytes(dir / "outside/secret.txt", "not part of the asset");
    fs::create_symlink("config.txt", NativePath(asset + "/to-file"));
    fs::create_symlink("tex", NativePath(asset + "/to-folder"));
    fs::create_symlink("nothing-here", NativePath(asset + "/dangling"));
    fs::create_symlink("loop-b", NativePath(asset + "/loop-a"));
    fs::create_symlink("loop-a", NativePath(asset + "/loop-b"));
    fs::create_symlink("..", NativePath(asset + "/tex/up"));
    fs::create_symlink(NativePath(dir / "outside"), NativePath(asset + "/out"));
    ASSERT_EQ(BackupFolder(state, asset), "");

    fs::remove_all(NativePath(asset));
    WriteBytes(asset + "/config.txt", "v2");
    ASSERT_EQ(RestoreFolder(state, asset), "");
    const std::map<std::string, std::string> links = {{"to-file", "config.txt"}, {"to-folder", "tex"},
                                                      {"dangling", "nothing-here"}, {"loop-a", "loop-b"},
                                                      {"loop-b", "loop-a"}, {"tex/up", ".."},
                                                      {"out", NativePath(dir / "outside")}};
    for (const auto& [name, target] : links) {
        const fs::path link = NativePath(asset + "/" + name);
        ASSERT_TRUE(fs::is_symlink(link)) << name;
        EXPECT_EQ(fs::read_symlink(link).string(), target) << name;
    }
    EXPECT_EQ(ReadBytes(asset + "/config.txt"), "v1");
    EXPECT_EQ(ReadBytes(asset + "/to-file"), "v1");
    EXPECT_EQ(ReadBytes(dir / "outside/secret.txt"), "not part of the asset");
}

// Asset makers link their work folders into a folder the program lists: the restore lands in the
// folder the link names, and the link stays.
TEST_F(Backups, RestoreThroughALinkedAssetFolderKeepsTheLink) {
    namespace fs = std::filesystem;
    const std::string real = dir / "work/bridge";
    const std::string linked = dir / "assets/bridge";
    WriteBytes(real + "/config.txt", "v1");
    WriteBytes(real + "/tex/a.tga", "t1");
    fs::create_directories(NativePath(dir / "assets"));
    fs::create_symlink("../work/bridge", NativePath(linked));
    ASSERT_EQ(BackupFolder(state, linked), "");
    WriteBytes(linked + "/config.txt", "v2");
    WriteBytes(linked + "/new.txt", "n");
    clock.Set(2011, 3, 4, 5, 6, 8);

    ASSERT_EQ(RestoreFolder(state, linked), "");
    ASSERT_TRUE(fs::is_symlink(NativePath(linked)));
    EXPECT_EQ(fs::read_symlink(NativePath(linked)).string(), "../work/bridge");
    EXPECT_EQ(ReadBytes(real + "/config.txt"), "v1");
    EXPECT_EQ(ReadBytes(real + "/tex/a.tga"), "t1");
    EXPECT_FALSE(fs::exists(NativePath(real + "/new.txt")));
    std::vector<std::string> left;
    for (const std::string& folder : {dir / "work/*", dir / "assets/*"}) ListEntries(folder, left);
    for (auto& l : left) l = ExtractFileName(l);
    EXPECT_EQ(left, (std::vector<std::string>{"bridge", "bridge"}));
    // Later edits reach the real folder, and a second restore brings back what the first replaced.
    WriteBytes(linked + "/config.txt", "edited");
    EXPECT_EQ(ReadBytes(real + "/config.txt"), "edited");
    ASSERT_EQ(RestoreFolder(state, linked), "");
    EXPECT_TRUE(fs::is_symlink(NativePath(linked)));
    EXPECT_EQ(ReadBytes(real + "/config.txt"), "v2");
    EXPECT_EQ(ReadBytes(real + "/new.txt"), "n");
}

// A restore that fails before it replaces anything (no room for its copy, a folder it may not write)
// takes back the backup it made of the present state, so a retry restores the backup the user wanted.
TEST_F(Backups, AFailedRestoreLeavesTheWantedBackupTheNewest) {
    const std::string file = dir / "a/x.txt";
    const std::string asset = dir / "asset";
    WriteBytes(file, "wanted");
    WriteBytes(asset + "/config.txt", "wanted");
    ASSERT_EQ(BackupFile(state, file), "");
    ASSERT_EQ(BackupFolder(state, asset), "");
    WriteBytes(file, "current");
    WriteBytes(asset + "/config.txt", "current");
    clock.Set(2011, 3, 4, 5, 6, 8);
    // No room left on the disk of the asset; the backup folder lies on another.
    SetWriteFaultHook([this](const std::string& path) {
        return path.find(dir / "backup") == 0 ? std::string::npos : std::size_t{0};
    });
    const std::string fileError = RestoreFile(state, file);
    const std::string folderError = RestoreFolder(state, asset);
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(fileError.rfind("Unable to restore " + file + ": ", 0), 0u) << fileError;
    EXPECT_EQ(folderError.rfind("Unable to restore " + asset + ": ", 0), 0u) << folderError;
    EXPECT_EQ(BackupNames().size(), 2u);
    EXPECT_EQ(ReadBytes(file), "current");
    EXPECT_EQ(ReadBytes(asset + "/config.txt"), "current");
    EXPECT_TRUE(bus.sent.empty());

    // With room again.
    clock.Set(2011, 3, 4, 5, 6, 9);
    ASSERT_EQ(RestoreFile(state, file), "");
    ASSERT_EQ(RestoreFolder(state, asset), "");
    EXPECT_EQ(ReadBytes(file), "wanted");
    EXPECT_EQ(ReadBytes(asset + "/config.txt"), "wanted");
}

#ifndef _WIN32
// Runs `scenario` as a user whom permission bits bind (they do not stop root): directly for an
// ordinary user; for root in a child process that has become "nobody" and owns `tree`. Returns what
// the scenario found wrong (empty: nothing), or nothing when the machine gives no such user.
std::optional<std::string> AsOrdinaryUser(const std::string& tree, const std::function<std::string()>& scenario) {
    if (geteuid() != 0) return scenario();
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || nobody->pw_uid == 0) return std::nullopt;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    namespace fs = std::filesystem;
    if (lchown(tree.c_str(), uid, gid) != 0) return std::nullopt;
    for (const auto& e : fs::recursive_directory_iterator(tree))
        if (lchown(e.path().c_str(), uid, gid) != 0) return std::nullopt;
    int channel[2];
    if (pipe(channel) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        close(channel[0]);
        std::string found = "\x01";  // no such user here
        if (setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0 && access(tree.c_str(), W_OK | X_OK) == 0)
            found = scenario();
        if (write(channel[1], found.data(), found.size()) < 0) _exit(2);
        _exit(0);
    }
    close(channel[1]);
    std::string found;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) found.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the scenario's process failed";
    if (found == "\x01") return std::nullopt;
    return found;
}

// Copies of read-only media hold read-only folders: the state a restore replaces still goes, and no
// second asset with the same KUID is left beside the restored one.
TEST_F(Backups, ARestoreRemovesReplacedReadOnlyFolders) {
    namespace fs = std::filesystem;
    const std::string asset = dir / "asset";
    WriteBytes(asset + "/config.txt", "v1");
    WriteBytes(asset + "/cd/tex.tga", "t");
    ASSERT_EQ(BackupFolder(state, asset), "");
    WriteBytes(asset + "/config.txt", "v2");
    clock.Set(2011, 3, 4, 5, 6, 8);
    const auto found = AsOrdinaryUser(dir.Path(), [&]() -> std::string {
        fs::permissions(NativePath(asset + "/cd"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        if (std::string error = RestoreFolder(state, asset); !error.empty()) return error;
        if (ReadBytes(asset + "/config.txt") != "v1") return "not restored";
        std::vector<std::string> left;
        ListEntries(dir / "*", left);
        std::string names;
        for (const auto& l : left) names += ExtractFileName(l) + " ";
        return names == "asset backup " ? std::string() : "left beside it: " + names;
    });
    if (!found) GTEST_SKIP() << "no user here whom permission bits bind (running as root without \"nobody\")";
    EXPECT_EQ(*found, "");
}
#endif

// What still cannot go is named: the user must delete it, or the list shows a second asset.
TEST_F(Backups, AReplacedStateThatCannotGoIsNamed) {
    const std::string asset = dir / "asset";
    WriteBytes(asset + "/config.txt", "v1");
    ASSERT_EQ(BackupFolder(state, asset), "");
    WriteBytes(asset + "/config.txt", "v2");
    WriteBytes(asset + "/locked/tex.tga", "t");
    clock.Set(2011, 3, 4, 5, 6, 8);
    const std::string aside = dir / "asset.kvold";
    SetFileGuard([&aside](const std::string& path) { return path.rfind(aside + "/locked", 0) != 0; });
    const std::string message = RestoreFolder(state, asset);
    SetFileGuard(nullptr);
    EXPECT_EQ(message.rfind("Unable to delete " + aside + ", ", 0), 0u) << message;
    EXPECT_EQ(ReadBytes(asset + "/config.txt"), "v1");
    EXPECT_EQ(ReadBytes(aside + "/locked/tex.tga"), "t");
    EXPECT_EQ(bus.sent, (std::vector<std::pair<int, std::string>>{{233, ""}, {201, ""}}));
}

TEST_F(Backups, BackupFolderInsideTheSourceIsRefused) {
    WriteBytes(dir / "x.txt", "x");
    EXPECT_NE(BackupFolder(state, dir.Path()), "");
    EXPECT_FALSE(DirectoryExists(dir / "backup/x"));
}

TEST_F(Backups, StampsAreReadWithSixtyFourBits) {
    const DateTime today = DateTime::FromDate(2026, 12, 9);
    const auto d = StampToDate("20110304050607", today);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->year, 2011);
    EXPECT_EQ(d->month, 3);
    EXPECT_EQ(d->day, 4);
    EXPECT_EQ(StampToDate("Kelvarn", today)->year, 2026);  // no number: today
    EXPECT_FALSE(StampToDate("20111340", today));          // month 13: skipped, not fatal
}

TEST_F(Backups, PurgeRules) {
    clock.Set(2011, 3, 20, 12, 0, 0);
    const std::string b = dir / "backup/";
    const std::string P = "\xC2\xB6";
    WriteBytes(b + "undo0.kv$", "");
    WriteBytes(b + "20110301000000" + P + "x" + P + "old.txt", "");    // 19 days
    WriteBytes(b + "20110318000000" + P + "x" + P + "young.txt", "");  // 2 days
    WriteBytes(b + "20110301000000" + P + "x" + P + "/placeholder", "");
    ForceDirectories(b + "20110302000000" + P + "y" + P);  // an old folder backup
    WriteBytes(b + "Kelvarn(20110301).ini", "");
    WriteBytes(b + "Kelvarn(20110319).ini", "");
    WriteBytes(b + "notes.txt", "");  // no stamp: dated today, kept
    WriteBytes(dir / "log/Kelvarn.log", "");
    WriteBytes(dir / "log/other.log", "");
    WriteBytes(dir / "log/Kelvarn(20110301).log", "");
    WriteBytes(dir / "log/Kelvarn(20110320).log", "");
    WriteBytes(dir / "log/keep.txt", "");

    CleanOldBackups(state);

    std::vector<std::string> left = BackupNames();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"20110318000000" + P + "x" + P + "young.txt", "Kelvarn(20110319).ini",
                                              "notes.txt"}));
    std::vector<std::string> logs;
    ListEntries(dir / "log/*.*", logs);
    for (auto& l : logs) l = ExtractFileName(l);
    EXPECT_EQ(logs, (std::vector<std::string>{"keep.txt", "Kelvarn(20110320).log"}));
}

TEST_F(Backups, KeepZeroPurgesOnlySnapshotsAndDayOldLogs) {
    state.Settings().WriteString("Paths", "KeepBackups", "0");
    clock.Set(2011, 3, 20, 12, 0, 0);
    const std::string P = "\xC2\xB6";
    WriteBytes(dir / "backup/undo3.kv$", "");
    WriteBytes(dir / "backup/20100101000000" + P + "x" + P + "a.txt", "");
    WriteBytes(dir / "backup/Kelvarn(20100101).ini", "");
    WriteBytes(dir / "log/Kelvarn(20110319).log", "");
    WriteBytes(dir / "log/Kelvarn(20110320).log", "");
    CleanOldBackups(state);
    EXPECT_EQ(BackupNames().size(), 2u);
    EXPECT_FALSE(FileExists(dir / "backup/undo3.kv$"));
    EXPECT_FALSE(FileExists(dir / "log/Kelvarn(20110319).log"));
    EXPECT_TRUE(FileExists(dir / "log/Kelvarn(20110320).log"));
}

}  // namespace
}  // namespace kelvarn
