#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/FileSystemOps.h"
#include "shell/FileCopy.h"
#include "shell/Files.h"
#include "shell/FolderNames.h"
#include "shell/PathText.h"
#include "shell/WarningsBitmap.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> Names(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const auto& p : paths) names.push_back(ExtractFileName(p));
    return names;
}

TEST(PatternList, PieceMustEndTheNameOrStopOneShort) {
    EXPECT_TRUE(MatchesPatternList("page.html", "*.htm*"));
    EXPECT_TRUE(MatchesPatternList("page.htm", "*.htm*"));
    EXPECT_TRUE(MatchesPatternList("body.im", "*.im"));
    EXPECT_TRUE(MatchesPatternList("body.imx", "*.im"));  // one character more is allowed
    EXPECT_FALSE(MatchesPatternList("body.imxx", "*.im"));
    // The last occurrence decides: ".im" early in the name does not hide a match at the end.
    EXPECT_TRUE(MatchesPatternList("x.im.backup.im", "*.im"));
    EXPECT_TRUE(MatchesPatternList("BODY.IM", "*.im"));
    EXPECT_TRUE(MatchesPatternList("body.im", "*.IM"));
    EXPECT_TRUE(MatchesPatternList("any", "*"));
    EXPECT_TRUE(MatchesPatternList("any", "*.*"));
    EXPECT_TRUE(MatchesPatternList("a.tga", "*.bmp;*.tga"));
    EXPECT_FALSE(MatchesPatternList("a.jpg", "*.bmp;*.tga"));
}

TEST(FolderSearch, RecursesSkipsDotNamesAndSortsByName) {
    TempDir dir;
    WriteBytes(dir / "b.im", "");
    WriteBytes(dir / "A.im", "");
    WriteBytes(dir / "sub/c.IM", "");
    WriteBytes(dir / "sub/d.tga", "");
    WriteBytes(dir / ".hidden/e.im", "");
    WriteBytes(dir / ".f.im", "");
    std::vector<std::string> found;
    FindFilesRecursive(dir / "*.*", "*.im", found);
    EXPECT_EQ(Names(found), (std::vector<std::string>{"A.im", "b.im", "c.IM"}));
    EXPECT_EQ(CountFiles(dir.Path(), "*.*"), 4);

    found.clear();
    FindFiles(dir / "*.*", "*", found, false);  // without recursion the sub-folder is listed itself
    EXPECT_EQ(Names(found), (std::vector<std::string>{"A.im", "b.im", "sub"}));
}

TEST(FolderSearch, BackslashMasksWork) {
    TempDir dir;
    WriteBytes(dir / "x/y.txt", "");
    std::vector<std::string> found;
    FindFilesRecursive(dir.Path() + "\\x\\*.*", "*.txt", found);
    EXPECT_EQ(Names(found), std::vector<std::string>{"y.txt"});
    std::vector<std::string> entries;
    ListEntriesOfKind(dir.Path() + "\\*.*", entries, true);
    EXPECT_EQ(Names(entries), std::vector<std::string>{"x"});
}

TEST(CaseInsensitiveLookup, FindsWindowsNamesOnACaseSensitiveDisk) {
    TempDir dir;
    WriteBytes(dir / "Asset/Config.txt", "kind \"scenery\"");
    WriteBytes(dir / "Asset/Textures/Body.TGA", "t");
    EXPECT_EQ(FindFileIgnoreCase(dir / "Asset", "config.txt"), dir / "Asset/Config.txt");
    EXPECT_EQ(FindFileIgnoreCase(dir / "Asset", "missing.txt"), "");
    EXPECT_EQ(ResolvePathIgnoreCase(dir.Path() + "/asset\\textures\\body.tga"), dir / "Asset/Textures/Body.TGA");
    EXPECT_EQ(ResolvePathIgnoreCase(dir / "asset/none/body.tga"), "");
}

TEST(FolderNames, AnswersIgnoringCaseForFilesAndFolders) {
    TempDir dir;
    WriteBytes(dir / "Asset/Body.TGA", "t");
    WriteBytes(dir / "Asset/wall.texture.txt", "t");
    WriteBytes(dir / "Asset/Sub/x", "t");
    TFolderNames names(dir / "Asset");
    EXPECT_TRUE(names.Holds("Body.TGA"));
    EXPECT_TRUE(names.Holds("body.tga"));
    EXPECT_TRUE(names.Holds("WALL.TEXTURE.TXT"));
    EXPECT_TRUE(names.Holds("sub"));
    EXPECT_FALSE(names.Holds("body.tg"));
    EXPECT_FALSE(names.Holds("wall.texture"));
    EXPECT_FALSE(names.Holds(""));
    EXPECT_FALSE(TFolderNames(dir / "missing").Holds("body.tga"));
    EXPECT_FALSE(TFolderNames(dir / "Asset/Body.TGA").Holds("body.tga"));
}

// A folder's names are kept between checks, so a change must always be seen by the next check: made
// at once after a listing, and made to a folder left alone long enough for its listing to be kept (a
// tenth of a second where the file system keeps fine times, three seconds where it may not). A check
// of one name asks for it as written; a check of a second name lists the folder.
TEST(FolderNames, ChangesAreSeenByTheNextCheck) {
    TempDir dir;
    const std::vector<std::pair<std::string, int>> folders = {{"fresh", 0}, {"soon", 150}, {"settled", 3200}};
    for (const auto& [name, wait] : folders) WriteBytes(dir / (name + "/a.tga"), "t");
    const auto one = [](const std::string& folder, std::string_view name) { return TFolderNames(folder).Holds(name); };
    const auto two = [](const std::string& folder, std::string_view name) {
        TFolderNames names(folder);
        names.Holds("a.tga");
        return names.Holds(name);
    };
    for (const auto& [name, wait] : folders) {
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        const std::string folder = dir / name;
        for (const auto& check : {std::function(one), std::function(two)}) {
            EXPECT_FALSE(check(folder, "b.tga")) << folder;
            EXPECT_FALSE(check(folder, "b.tga")) << folder;
        }
        WriteBytes(folder + "/B.TGA", "t");
        for (const auto& check : {std::function(one), std::function(two)}) EXPECT_TRUE(check(folder, "b.tga")) << folder;
        std::filesystem::rename(folder + "/B.TGA", folder + "/c.tga");
        for (const auto& check : {std::function(two), std::function(one)}) {
            EXPECT_FALSE(check(folder, "b.tga")) << folder;
            EXPECT_TRUE(check(folder, "C.tga")) << folder;
        }
        std::filesystem::remove(folder + "/a.tga");
        for (const auto& check : {std::function(two), std::function(one)}) EXPECT_FALSE(check(folder, "A.TGA")) << folder;
    }
}

// A time in whole hundredths of a second may come from a file system that keeps two-second times, and
// is trusted only three seconds later; a finer one after a tenth of a second.
TEST(FolderNames, CoarseTimesSettleLaterThanFineOnes) {
    constexpr std::int64_t second = platform::kFileTicksPerSecond;
    const std::int64_t fine = 1700000000 * second + 123457, coarse = 1700000000 * second, hundredths = coarse + 7 * second / 100;
    EXPECT_FALSE(platform::StampSettled(fine, fine + second / 20));
    EXPECT_TRUE(platform::StampSettled(fine, fine + second / 10 + 1));
    for (const std::int64_t time : {coarse, hundredths}) {
        EXPECT_FALSE(platform::StampSettled(time, time + 2 * second)) << time;
        EXPECT_TRUE(platform::StampSettled(time, time + 3 * second + 1)) << time;
    }
}

// Whole files come in one read; whatever is no regular file, too large or unreadable is refused with
// the reason, and a pipe is refused at once rather than waited on.
TEST(FileBytes, ReadWholeOrRefusedWithTheReason) {
    TempDir dir;
    std::string big(200000, 'x');
    big[123456] = '\0';
    WriteBytes(dir / "big.bin", big);
    WriteBytes(dir / "empty", "");
    std::string bytes = "left over";
    EXPECT_EQ(ReadFileBytes(dir / "big.bin", bytes), "");
    EXPECT_EQ(bytes, big);
    EXPECT_EQ(ReadFileBytes(dir / "empty", bytes), "");
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadFileBytes(dir / "big.bin", bytes, 1000),
              "File too large: " + (dir / "big.bin") + " (200000 bytes, at most 1000)");
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(ReadFileBytes(dir / "missing", bytes), "File not found: " + (dir / "missing"));
    EXPECT_EQ(ReadFileBytes(dir.Path(), bytes), "File not found: " + dir.Path());
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReadFileBytes(dir / "pipe", bytes), "File not found: " + (dir / "pipe"));
    if (::geteuid() != 0) {  // root reads whatever the permissions say
        WriteBytes(dir / "locked", "secret");
        std::filesystem::permissions(dir / "locked", std::filesystem::perms::none);
        EXPECT_EQ(ReadFileBytes(dir / "locked", bytes), "Unable to open " + (dir / "locked"));
    }
#endif
}

#ifdef __linux__
// The one-call read takes only a whole small file: everything else (too large for the cap or its
// buffer, empty, a pipe with a writer that has not closed) is left to the ordinary way, at once, and
// that way still reads or refuses it as before. File systems that cannot read without waiting (tmpfs
// among them) leave every file to the ordinary way; where the first small file is taken, all are.
// Each thread has its own queue.
TEST(FileBytes, TheOneCallReadTakesOnlyWholeSmallFiles) {
    if (!platform::QueuedReadsAvailable()) GTEST_SKIP() << "this system offers no submission queue";
    TempDir dir;
    WriteBytes(dir / "probe", "x");
    std::string bytes;
    const bool taken = platform::ReadWholeFileQueued(dir / "probe", bytes, 100);
    if (!taken) std::printf("the temporary folder's file system leaves every file to the ordinary way\n");
    // Never a wrong or partial file: taken whole, or left with nothing.
    const auto queued = [&bytes](const std::string& file, std::uint64_t cap, const std::string& whole) {
        bytes = "left over";
        const bool read = platform::ReadWholeFileQueued(file, bytes, cap);
        EXPECT_EQ(bytes, read ? whole : "") << file;
        return read;
    };
    const std::size_t buffer = std::size_t{64} << 10;
    for (const std::size_t size : {std::size_t{1}, std::size_t{1000}, buffer - 1, buffer, buffer + 1}) {
        std::string made(size, 'a');
        for (std::size_t i = 0; i < size; ++i) made[i] = static_cast<char>('a' + i % 23);
        const std::string file = dir / ("f" + std::to_string(size));
        WriteBytes(file, made);
        EXPECT_EQ(queued(file, 1u << 20, made), taken && size < buffer) << size;
        EXPECT_EQ(ReadFileBytes(file, bytes), "") << size;
        EXPECT_EQ(bytes, made) << size;
        // At the cap it is read; one byte beyond, refused with the reason.
        EXPECT_EQ(queued(file, size, made), taken && size < buffer) << size;
        EXPECT_FALSE(queued(file, size - 1, made)) << size;
        EXPECT_EQ(ReadFileBytes(file, bytes, size - 1),
                  "File too large: " + file + " (" + std::to_string(size) + " bytes, at most " + std::to_string(size - 1) + ")");
    }
    // A file no longer in memory is read the ordinary way, whole.
    const std::string evicted = dir / "evicted";
    WriteBytes(evicted, "bytes on the disk only");
    if (const int fd = ::open(evicted.c_str(), O_RDONLY); fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    queued(evicted, 100, "bytes on the disk only");
    EXPECT_EQ(ReadFileBytes(evicted, bytes), "");
    EXPECT_EQ(bytes, "bytes on the disk only");

    WriteBytes(dir / "empty", "");
    EXPECT_FALSE(queued(dir / "empty", 100, ""));
    EXPECT_FALSE(queued(dir / "missing", 100, ""));
    EXPECT_FALSE(queued(dir.Path(), 100, ""));

    // A pipe whose writer stays: neither way may wait for it, whether it holds bytes or not.
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int writer = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    EXPECT_FALSE(queued(pipe, 100, ""));
    ASSERT_EQ(::write(writer, "abc", 3), 3);
    EXPECT_FALSE(queued(pipe, 100, ""));
    EXPECT_EQ(ReadFileBytes(pipe, bytes), "File not found: " + pipe);
    ::close(writer);

    // Threads read at the same time, each through its own queue.
    std::vector<std::string> files;
    for (int i = 0; i < 20; ++i) {
        files.push_back(dir / ("t" + std::to_string(i)));
        WriteBytes(files.back(), std::string(100 + i * 37, static_cast<char>('A' + i)));
    }
    std::vector<int> wrong(4, 0), left(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&files, &wrong, &left, t] {
            std::string got;
            for (int round = 0; round < 50; ++round)
                for (std::size_t i = 0; i < files.size(); ++i) {
                    if (!platform::ReadWholeFileQueued(files[i], got, 1u << 20)) ++left[static_cast<std::size_t>(t)];
                    else if (got != std::string(100 + i * 37, static_cast<char>('A' + i))) ++wrong[static_cast<std::size_t>(t)];
                }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
    if (taken) {
        EXPECT_EQ(left, std::vector<int>(4, 0));
    }
}
#endif

TEST(FolderListing, EveryNameOnceWithoutDotEntries) {
    TempDir dir;
    std::vector<std::string> made;
    // More names than one read of the folder returns.
    for (int i = 0; i < 1500; ++i) made.push_back("file number " + std::to_string(i) + std::string(40, 'x') + ".tga");
    made.push_back(".hidden");
    made.push_back("caf\xC3\xA9 \xE2\x82\xAC.txt");
    for (const std::string& name : made) WriteBytes(dir / name, "");
    std::filesystem::create_directory(dir / "folder");
    made.push_back("folder");
    std::vector<std::string> listed;
    ASSERT_TRUE(platform::ListFolderNames(dir.Path(), [&listed](std::string_view name) { listed.emplace_back(name); }));
    std::sort(made.begin(), made.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, made);
    EXPECT_FALSE(platform::ListFolderNames(dir / "missing", [](std::string_view) {}));
    EXPECT_FALSE(platform::ListFolderNames(dir / ".hidden", [](std::string_view) {}));

    platform::FolderStamp before, after;
    ASSERT_TRUE(platform::ReadFolderStamp(dir.Path(), before));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // past the file-system clock's tick
    WriteBytes(dir / "one more", "");
    ASSERT_TRUE(platform::ReadFolderStamp(dir.Path(), after));
    EXPECT_NE(before, after);
    EXPECT_FALSE(platform::ReadFolderStamp(dir / "one more", after));
}

TEST(AtomicWrite, FaultPartWayLeavesTheOldFileAndNoLeftovers) {
    TempDir dir;
    const std::string file = dir / "config.txt";
    WriteBytes(file, "old bytes");
    SetWriteFaultHook([](const std::string&) { return std::size_t{3}; });
    EXPECT_NE(WriteFileAtomic(file, "new bytes that do not fit"), "");
    EXPECT_NE(StreamCopyFile(file, dir / "copy.txt"), "");
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadBytes(file), "old bytes");
    std::vector<std::string> entries;
    ListEntries(dir / "*.*", entries);
    EXPECT_EQ(Names(entries), std::vector<std::string>{"config.txt"});

    EXPECT_EQ(WriteFileAtomic(file, "new"), "");
    EXPECT_EQ(ReadBytes(file), "new");
}

TEST(AtomicWrite, NoReplaceWriteNeverTouchesAnExistingFile) {
    TempDir dir;
    const std::string file = dir / "red.tga";
    EXPECT_EQ(WriteFileNoReplace(file, "first"), "");
    EXPECT_EQ(ReadBytes(file), "first");
    EXPECT_NE(WriteFileNoReplace(file, "second"), "");
    EXPECT_EQ(ReadBytes(file), "first");
    SetWriteFaultHook([](const std::string&) { return std::size_t{2}; });
    EXPECT_NE(WriteFileNoReplace(dir / "blue.tga", "bytes"), "");
    SetWriteFaultHook(nullptr);
    std::vector<std::string> entries;
    ListEntries(dir / "*.*", entries);
    EXPECT_EQ(Names(entries), std::vector<std::string>{"red.tga"});
}

TEST(AtomicWrite, KeepsPermissionsAndWritesThroughALink) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string real = dir / "real/config.txt";
    WriteBytes(real, "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real/config.txt", dir / "link.txt");
    const std::string image = dir / "real/pic.tga";
    WriteBytes(image, "tga");
    fs::permissions(image, fs::perms::owner_all);

    // A save through the link, and a copy onto each (as a restore or an image save makes).
    ASSERT_EQ(WriteFileAtomic(dir / "link.txt", "new"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadBytes(real), "new");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteBytes(dir / "source.txt", "copied");
    ASSERT_EQ(StreamCopyFile(dir / "source.txt", dir / "link.txt"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadBytes(real), "copied");
    ASSERT_EQ(StreamCopyFile(dir / "source.txt", image), "");
    EXPECT_EQ(fs::status(image).permissions(), fs::perms::owner_all);
    std::vector<std::string> entries;
    ListEntries(dir / "real/*", entries);
    EXPECT_EQ(entries.size(), 2u);  // nothing left beside them
}

// Any file the user marked read-only (a config, a picture, the settings), named directly or through a
// link, is refused with a message naming it, and stays as it was with nothing left beside it.
TEST(AtomicWrite, AFileMarkedReadOnlyIsRefusedAndKept) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string config = dir / "asset/config.txt";
    WriteBytes(config, "kind \"scenery\"\r\n");
    fs::permissions(config, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_symlink("asset/config.txt", dir / "link.txt");
    for (const std::string& path : {config, std::string(dir / "link.txt")}) {
        const std::string error = WriteFileAtomic(path, "replaced");
        EXPECT_EQ(error, "Unable to save " + path + ": the file is read-only");
        EXPECT_NE(WriteTextFile(path, "replaced", TextEncoding::Utf8), "");
    }
    EXPECT_EQ(ReadBytes(config), "kind \"scenery\"\r\n");
    EXPECT_EQ(fs::status(config).permissions(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::vector<std::string> entries;
    ListEntries(dir / "asset/*", entries);
    EXPECT_EQ(entries.size(), 1u);
    // Writable again, it is saved as before.
    fs::permissions(config, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(WriteFileAtomic(config, "saved"), "");
    EXPECT_EQ(ReadBytes(config), "saved");
}

TEST(Copying, NoReplaceCopyKeepsAnExistingTarget) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "a");
    WriteBytes(dir / "b.txt", "b");
    EXPECT_NE(CopyFileNoReplace(dir / "a.txt", dir / "b.txt"), "");
    EXPECT_EQ(ReadBytes(dir / "b.txt"), "b");
    EXPECT_EQ(CopyFileNoReplace(dir / "a.txt", dir / "c.txt"), "");
    EXPECT_EQ(ReadBytes(dir / "c.txt"), "a");
    std::vector<std::string> entries;
    ListEntries(dir / "*", entries);
    EXPECT_EQ(entries.size(), 3u);
}

// Every size and flush choice gives the same bytes; a fault that cuts the data anywhere short of its
// end fails the copy and leaves neither a target nor a temporary file, one at the very end does not.
TEST(Copying, CopiesAreWholeOrAbsent) {
    TempDir dir;
    std::string big((std::size_t{1} << 20) + 3, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
    for (const std::string& bytes : {std::string(), std::string("x"), std::string(4096, 'q'), big}) {
        SCOPED_TRACE(bytes.size());
        WriteBytes(dir / "source.bin", bytes);
        EXPECT_EQ(CopyFileNoReplace(dir / "source.bin", dir / "new.bin", CopyFlush::WhenReplacing), "");
        EXPECT_EQ(ForceCopyFile(dir / "source.bin", dir / "sub/forced.bin", CopyFlush::WhenReplacing), "");
        EXPECT_EQ(StreamCopyFile(dir / "source.bin", dir / "new.bin"), "");  // over the first copy
        EXPECT_TRUE(ReadBytes(dir / "new.bin") == bytes);
        EXPECT_TRUE(ReadBytes(dir / "sub/forced.bin") == bytes);
        std::filesystem::remove(dir / "new.bin");
    }
    struct Case {
        std::size_t allowed;
        bool copied;
    };
    for (const Case& c : {Case{0, false}, Case{big.size() - 1, false}, Case{big.size(), true}}) {
        SCOPED_TRACE(c.allowed);
        SetWriteFaultHook([&](const std::string&) { return c.allowed; });
        const std::string error = CopyFileNoReplace(dir / "source.bin", dir / "cut.bin", CopyFlush::WhenReplacing);
        SetWriteFaultHook(nullptr);
        EXPECT_EQ(error.empty(), c.copied);
        EXPECT_EQ(FileExists(dir / "cut.bin"), c.copied);
        if (c.copied) EXPECT_TRUE(ReadBytes(dir / "cut.bin") == big);
        std::vector<std::string> entries;
        ListEntries(dir / "*", entries);
        EXPECT_EQ(Names(entries), (c.copied ? std::vector<std::string>{"cut.bin", "source.bin", "sub"}
                                            : std::vector<std::string>{"source.bin", "sub"}));
        std::filesystem::remove(dir / "cut.bin");
    }
}

#ifndef _WIN32
// A source the kernel cannot copy from in one step (a pipe) goes through the buffered copy, which
// keeps the same limit.
TEST(Copying, BufferedCopyKeepsTheLimit) {
    TempDir dir;
    for (const std::uint64_t limit : {std::uint64_t{100}, std::uint64_t{5}}) {
        SCOPED_TRACE(limit);
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        ASSERT_EQ(::write(ends[1], "0123456789", 10), 10);
        ::close(ends[1]);
        std::FILE* in = ::fdopen(ends[0], "rb");
        std::FILE* out = std::fopen((dir / "out.bin").c_str(), "wb");
        ASSERT_TRUE(in && out);
        std::uint64_t copied = 0;
        const bool ok = platform::CopyFileBytes(in, out, limit, copied);
        std::fclose(in);
        std::fclose(out);
        EXPECT_EQ(ok, limit >= 10);
        EXPECT_EQ(copied, std::min<std::uint64_t>(limit, 10));
        EXPECT_EQ(ReadBytes(dir / "out.bin"), std::string("0123456789").substr(0, static_cast<std::size_t>(copied)));
    }
}
#endif

// The report log's write: the file ends up holding exactly the new bytes, shorter or longer than the
// old, in the same file (no new one made); a refused write says so.
TEST(Overwrite, HoldsExactlyTheNewBytesInTheSameFile) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string file = dir / "Kelvarn(20260101).log";
    ASSERT_EQ(OverwriteFile(file, "a long first report"), "");
    const auto made = fs::status(file).permissions();
    fs::create_hard_link(file, dir / "same.log");  // sees whatever the first name's file holds
    for (const std::string bytes : {"short", "", "a report longer than the first one"}) {
        ASSERT_EQ(OverwriteFile(file, bytes), "");
        EXPECT_EQ(ReadBytes(file), bytes);
        EXPECT_EQ(ReadBytes(dir / "same.log"), bytes);
    }
    EXPECT_EQ(fs::status(file).permissions(), made);
    SetWriteFaultHook([](const std::string&) { return std::size_t{4}; });
    EXPECT_NE(OverwriteFile(file, "does not fit"), "");
    SetWriteFaultHook(nullptr);
    EXPECT_NE(OverwriteFile(dir / "missing/x.log", "x"), "");
}

TEST(ScratchWrite, AFailedWriteLeavesNoFile) {
    TempDir dir;
    const std::string file = dir / "undo0.kv$";
    SetWriteFaultHook([](const std::string&) { return std::size_t{3}; });
    EXPECT_NE(WriteScratchFile(file, "a snapshot that does not fit"), "");
    SetWriteFaultHook(nullptr);
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(WriteScratchFile(file, "snapshot"), "");
    EXPECT_EQ(ReadBytes(file), "snapshot");
    EXPECT_NE(WriteScratchFile(dir / "missing/undo0.kv$", "x"), "");
}

TEST(Copying, RefusesACopyOntoItselfAndForceCopyMakesFolders) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "payload");
    EXPECT_NE(StreamCopyFile(dir / "a.txt", dir.Path() + "/./a.txt"), "");
    EXPECT_EQ(ReadBytes(dir / "a.txt"), "payload");
    EXPECT_EQ(ForceCopyFile(dir / "a.txt", dir / "deep/er/b.txt"), "");
    EXPECT_EQ(ReadBytes(dir / "deep/er/b.txt"), "payload");
    EXPECT_NE(StreamCopyFile(dir / "missing", dir / "c.txt"), "");
}

TEST(Renaming, NoReplaceRenameRefusesAnExistingTarget) {
    TempDir dir;
    WriteBytes(dir / "a", "A");
    WriteBytes(dir / "b", "B");
    EXPECT_NE(RenameNoReplace(dir / "a", dir / "b"), "");
    EXPECT_EQ(ReadBytes(dir / "b"), "B");
    EXPECT_EQ(RenameNoReplace(dir / "a", dir / "c"), "");
    EXPECT_EQ(ReadBytes(dir / "c"), "A");
    EXPECT_FALSE(FileExists(dir / "a"));
}

TEST(TgaHeader, PixelDepthNeedsSeventeenBytes) {
    TempDir dir;
    std::string header(18, '\0');
    header[16] = 32;
    WriteBytes(dir / "a.tga", header);
    WriteBytes(dir / "short.tga", std::string(16, '\x20'));
    EXPECT_EQ(TgaPixelDepth(dir / "a.tga"), 32);
    EXPECT_EQ(TgaPixelDepth(dir / "short.tga"), 0);
    EXPECT_EQ(TgaPixelDepth(dir / "missing.tga"), 0);
}

TEST(StatusIcon, OnTwiceAndOffTwiceGiveTheOriginalBack) {
    TempDir dir;
    const std::string status = dir / "TS12/bin/CMPData/status";
    WriteBytes(status + "/warnings.bmp", "simulator original");

    EXPECT_EQ(ReplaceWarningsBitmap(dir / "TS12", true), "");
    EXPECT_EQ(ReadBytes(status + "/irritant.bmp"), "simulator original");
    EXPECT_EQ(ReadBytes(status + "/warnings.bmp"), std::string(WarningsBitmapBytes()));
    EXPECT_EQ(ReplaceWarningsBitmap(dir / "TS12", true), "");
    EXPECT_EQ(ReadBytes(status + "/irritant.bmp"), "simulator original");

    EXPECT_EQ(ReplaceWarningsBitmap(dir / "TS12", false), "");
    EXPECT_EQ(ReadBytes(status + "/warnings.bmp"), "simulator original");
    EXPECT_FALSE(FileExists(status + "/irritant.bmp"));
    EXPECT_EQ(ReplaceWarningsBitmap(dir / "TS12", false), "");
    EXPECT_EQ(ReadBytes(status + "/warnings.bmp"), "simulator original");

    EXPECT_EQ(ReplaceWarningsBitmap("", true), "");
    EXPECT_EQ(WarningsBitmapBytes().substr(0, 2), "BM");
}

TEST(StatusIcon, NeverOverwritesAnExistingKeptOriginal) {
    TempDir dir;
    const std::string status = dir / "T/bin/CMPData/status";
    WriteBytes(status + "/warnings.bmp", "new simulator icon");
    WriteBytes(status + "/irritant.bmp", "kept original");
    EXPECT_NE(ReplaceWarningsBitmap(dir / "T", true), "");
    EXPECT_EQ(ReadBytes(status + "/warnings.bmp"), "new simulator icon");
    EXPECT_EQ(ReadBytes(status + "/irritant.bmp"), "kept original");
}

}  // namespace
}  // namespace kelvarn
