// The few file-system calls the standard library does not offer portably.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace kelvarn::platform {

// Flushes the file's data to the disk; false on failure.
bool SyncFile(std::FILE* file);

// Cuts the file (flushed first) to `size` bytes; false on failure.
bool TruncateFile(std::FILE* file, std::uint64_t size);

// Copies up to `limit` bytes from `in` (read from its start) to the end of `out`, neither having been
// read or written through its stream yet; in the kernel where it can. `copied` counts the bytes
// written. False on a read or write failure.
bool CopyFileBytes(std::FILE* in, std::FILE* out, std::uint64_t limit, std::uint64_t& copied);

// Reads the whole of a regular file of at most `cap` bytes into `bytes`, in as few system calls as the
// system allows: no status call by name before the file is opened. False, with `bytes` empty, when it
// did not (no such regular file, larger than `cap`, a failed read, or no quick way on this system): the
// caller then takes the portable way, which also tells why.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t cap);
// The quickest part of it: open, read, the read that proves the end and close in one call, for a file
// already in memory that fits a 64 KiB buffer. False whenever it did not read the file whole.
bool ReadWholeFileQueued(const std::string& path, std::string& bytes, std::uint64_t cap);
// Whether this system lets the calling thread read the quickest way.
bool QueuedReadsAvailable();

// Renames `from` to `to` only when `to` does not exist, in one step where the file system allows it.
// Returns an empty text on success, else the reason.
std::string RenameNoReplace(const std::string& from, const std::string& to);

// Whether a file or folder is at `path` (a native path; a link is followed), asked in one call.
bool PathExists(const std::string& path);

// Size and modification time (in the file system's own ticks) of a regular file, read in one call;
// false when there is no such file.
bool FileStamp(const std::string& path, std::uint64_t& size, std::int64_t& modified);

// What changes whenever an entry of a folder is added, removed or renamed: the folder's identity and
// its modification and change times (in FileStamp's ticks).
struct FolderStamp {
    std::uint64_t device = 0, inode = 0;
    std::int64_t modified = 0, changed = 0;
    bool operator==(const FolderStamp&) const = default;
};

// The stamp of a folder, read in one call; false when `path` is not a folder.
bool ReadFolderStamp(const std::string& path, FolderStamp& stamp);

#ifdef _WIN32
inline constexpr std::int64_t kFileTicksPerSecond = 10'000'000;
#else
inline constexpr std::int64_t kFileTicksPerSecond = 1'000'000'000;
#endif

// The system clock now, in FileStamp's ticks.
std::int64_t FileClockNow();

// Whether a stamp read at `clock` of something last changed at `changed` shows every later change: a
// change within one tick of the file system's clock of an earlier one may leave the time as it was.
// A time that is no whole number of hundredths of a second was kept by a file system with fine times,
// whose tick is the system's clock tick (10 ms at most): a tenth of a second covers it. Any other may
// come from a coarse one (FAT keeps times to two seconds; three leave room).
inline bool StampSettled(std::int64_t changed, std::int64_t clock) {
    const bool fine = changed % (kFileTicksPerSecond / 100) != 0;
    return clock - changed > (fine ? kFileTicksPerSecond / 10 : 3 * kFileTicksPerSecond);
}

// Calls `visit` with the name of each entry of `folder` ("." and ".." left out), reading the folder
// with as few calls as the system allows. False when the folder cannot be read.
bool ListFolderNames(const std::string& folder, const std::function<void(std::string_view)>& visit);

// Whether the user this program runs as may write the existing file at `path` (its permissions,
// also those granted to others than the owner). True when there is no such file or the system cannot
// tell: the write then meets the refusal itself.
bool MayWriteFile(const std::string& path);

// An advisory lock, for the processes that write one file in turn: each takes it on a lock file beside
// that file, so that no two of them read, merge and replace the file at once. Held from construction
// until destruction; other takers wait for it. The lock file is made when missing and removed again
// by the holder as it lets go (where the system allows that safely; elsewhere it stays).
class TFileLock {
public:
    // Waits up to `waitMs` milliseconds for the lock.
    TFileLock(const std::string& lockFile, int waitMs);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    bool Held() const { return held_; }
    // Another holder kept the lock for the whole wait. (A lock file that cannot be opened, or a file
    // system without locks, gives no lock and no wait.)
    bool TimedOut() const { return timedOut_; }

private:
    std::string path_;
    std::intptr_t handle_ = -1;
    bool held_ = false;
    bool timedOut_ = false;
};

// The running program's own path (UTF-8), empty when unknown.
std::string ExecutablePath();

}  // namespace kelvarn::platform
