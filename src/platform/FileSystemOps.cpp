#include "platform/FileSystemOps.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif
#if defined(__linux__) && __has_include(<linux/io_uring.h>)
#include <linux/io_uring.h>
#include <sys/mman.h>
#include <sys/uio.h>
// Kernel headers older than 5.19 lack the sparse slot table the queued read needs: there every file
// takes the ordinary way.
#if defined(IORING_RSRC_REGISTER_SPARSE) && defined(RWF_NOWAIT) && defined(__NR_io_uring_setup)
#define KELVARN_QUEUED_READS 1
#endif
#endif

namespace kelvarn::platform {

bool SyncFile(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool TruncateFile(std::FILE* file, std::uint64_t size) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return _chsize_s(_fileno(file), static_cast<__int64>(size)) == 0;
#else
    return ::ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
#endif
}

namespace {

// The portable way: through a buffer no larger than the data it must hold.
bool CopyThroughBuffer(std::FILE* in, std::FILE* out, std::uint64_t limit, std::uint64_t& copied) {
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    std::size_t size = kChunk;
#ifndef _WIN32
    struct stat st;
    if (::fstat(fileno(in), &st) == 0 && st.st_size >= 0 && static_cast<std::uint64_t>(st.st_size) < kChunk)
        size = static_cast<std::size_t>(st.st_size) + 1;  // one more byte sees the end in one read
#endif
    const std::unique_ptr<char[]> buffer(new char[size]);
    for (;;) {
        const std::size_t n = std::fread(buffer.get(), 1, size, in);
        if (n == 0) return !std::ferror(in);
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(n, limit - copied));
        if (take > 0 && std::fwrite(buffer.get(), 1, take, out) != take) return false;
        copied += take;
        if (take < n) return false;
    }
}

}  // namespace

bool CopyFileBytes(std::FILE* in, std::FILE* out, std::uint64_t limit, std::uint64_t& copied) {
    copied = 0;
#if defined(__linux__)
    // The kernel copies without passing the bytes through this process. File systems or kernels that
    // refuse it leave both offsets where they were, and the buffered copy takes over.
    if (std::fflush(out) != 0) return false;
    const int from = fileno(in), to = fileno(out);
    for (;;) {
        const std::uint64_t left = limit - copied;
        if (left == 0) {
            char probe;
            return ::read(from, &probe, 1) == 0;  // at the end: the copy is whole, else the limit cut it
        }
        const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, std::uint64_t{1} << 30));
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, chunk, 0);
        if (n > 0) {
            copied += static_cast<std::uint64_t>(n);
            continue;
        }
        if (n == 0) return true;
        if (errno == EINTR) continue;
        if (copied == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                            errno == EBADF || errno == EPERM))
            break;
        return false;
    }
#endif
    return CopyThroughBuffer(in, out, limit, copied);
}

#ifdef KELVARN_QUEUED_READS
namespace {

// Opening, reading and closing a small file take four system calls, and on a kernel guarding against
// speculation each costs more than reading the file. Scans read thousands of configs. The kernel's
// submission queue takes the open, the read, the read that proves the end and the close in one call.
// Every read asks not to wait: a pipe with a writer, or bytes not yet in memory, give up at once and
// leave the file to the ordinary way, which refuses what is no regular file.
class TQueuedReader {
public:
    static constexpr std::size_t kBuffer = std::size_t{64} << 10;

    TQueuedReader() {
        io_uring_params params{};
        // Only this thread submits, and completions are gathered when it asks: the cheapest set-up,
        // on kernels that know it.
#if defined(IORING_SETUP_SINGLE_ISSUER) && defined(IORING_SETUP_DEFER_TASKRUN)
        params.flags = IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN;
        ring_ = static_cast<int>(::syscall(__NR_io_uring_setup, kSteps, &params));
        if (ring_ < 0 && errno == EINVAL) params = {};
#endif
        if (ring_ < 0) ring_ = static_cast<int>(::syscall(__NR_io_uring_setup, kSteps, &params));
        if (ring_ < 0) return;
        if (!Map(params) || !RegisterSlot()) {
            Release();
            return;
        }
        buffer_.reset(new char[kBuffer]());
    }
    ~TQueuedReader() { Release(); }
    TQueuedReader(const TQueuedReader&) = delete;
    TQueuedReader& operator=(const TQueuedReader&) = delete;

    bool Available() const { return ring_ >= 0; }

    bool Read(const std::string& path, std::string& bytes, std::uint64_t cap) {
        if (!Available()) return false;
        if (rest_ > 0) {
            --rest_;
            return false;
        }
        // One byte beyond the cap shows a file too large; a full buffer, a file larger than it.
        const std::size_t want = cap < kBuffer ? static_cast<std::size_t>(cap) + 1 : kBuffer;
        io_uring_sqe* open = Entry(0);
        open->opcode = IORING_OP_OPENAT;
        open->fd = AT_FDCWD;
        open->addr = reinterpret_cast<std::uintptr_t>(path.c_str());
        open->open_flags = O_RDONLY | O_NOCTTY | O_NONBLOCK;  // a slot of the ring, never inherited
        open->file_index = 1;                                 // slot 0
        io_uring_sqe* first = Entry(1);
        ReadEntry(first, buffer_.get(), static_cast<unsigned>(want));
        io_uring_sqe* end = Entry(2);
        ReadEntry(end, &probe_, 1);
        io_uring_sqe* close = Entry(3);
        close->opcode = IORING_OP_CLOSE;
        close->file_index = 1;
        // Hard links run each step whatever the one before gave, so the slot is always closed.
        open->flags = first->flags = end->flags = IOSQE_IO_HARDLINK;
        first->flags |= IOSQE_FIXED_FILE;
        end->flags |= IOSQE_FIXED_FILE;

        std::int32_t results[kSteps] = {-1, -1, -1, -1};
        if (!Run(results)) return false;
        if (results[0] > 0) {
            // A kernel that ignores the slot gives a descriptor of the process instead: it is closed, and
            // this thread reads the ordinary way.
            ::close(results[0]);
            Release();
            return false;
        }
        const std::int32_t got = results[1];
        // A file system that cannot read without waiting (tmpfs, many network and user-space ones)
        // refuses every such read, and a first scan of a library finds no file in memory. After a run
        // of such refusals the ordinary way is taken for a while, so that those reads pay next to
        // nothing for the attempts.
        if (got == -EOPNOTSUPP || got == -EAGAIN) {
            if (++refused_ >= kRefusalsBeforeRest) {
                refused_ = 0;
                rest_ = kRest;
            }
            return false;
        }
        refused_ = 0;
        if (results[0] < 0 || got <= 0 || static_cast<std::size_t>(got) >= want || results[2] != 0) return false;
        bytes.assign(buffer_.get(), static_cast<std::size_t>(got));
        return true;
    }

private:
    static constexpr unsigned kSteps = 4;  // and the queue's size
    static constexpr int kRefusalsBeforeRest = 4;
    static constexpr int kRest = 256;

    bool Map(const io_uring_params& p) {
        sqBytes_ = p.sq_off.array + p.sq_entries * sizeof(unsigned);
        cqBytes_ = p.cq_off.cqes + p.cq_entries * sizeof(io_uring_cqe);
        const bool single = (p.features & IORING_FEAT_SINGLE_MMAP) != 0;
        if (single) sqBytes_ = cqBytes_ = std::max(sqBytes_, cqBytes_);
        sq_ = MapPart(sqBytes_, IORING_OFF_SQ_RING);
        if (!sq_) return false;
        cq_ = single ? sq_ : MapPart(cqBytes_, IORING_OFF_CQ_RING);
        if (!cq_) return false;
        sqeBytes_ = p.sq_entries * sizeof(io_uring_sqe);
        sqes_ = static_cast<io_uring_sqe*>(MapPart(sqeBytes_, IORING_OFF_SQES));
        if (!sqes_) return false;
        char* sq = static_cast<char*>(sq_);
        char* cq = static_cast<char*>(cq_);
        sqHead_ = reinterpret_cast<unsigned*>(sq + p.sq_off.head);
        sqTail_ = reinterpret_cast<unsigned*>(sq + p.sq_off.tail);
        sqMask_ = *reinterpret_cast<unsigned*>(sq + p.sq_off.ring_mask);
        sqArray_ = reinterpret_cast<unsigned*>(sq + p.sq_off.array);
        cqHead_ = reinterpret_cast<unsigned*>(cq + p.cq_off.head);
        cqTail_ = reinterpret_cast<unsigned*>(cq + p.cq_off.tail);
        cqMask_ = *reinterpret_cast<unsigned*>(cq + p.cq_off.ring_mask);
        cqes_ = reinterpret_cast<io_uring_cqe*>(cq + p.cq_off.cqes);
        return p.sq_entries >= kSteps && p.cq_entries >= kSteps;
    }

    void* MapPart(std::size_t size, off_t what) const {
        void* at = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, ring_, what);
        return at == MAP_FAILED ? nullptr : at;
    }

    // One slot for the file being read: it is never a descriptor of the process.
    bool RegisterSlot() const {
        io_uring_rsrc_register slots{};
        slots.nr = 1;
        slots.flags = IORING_RSRC_REGISTER_SPARSE;
        return ::syscall(__NR_io_uring_register, ring_, IORING_REGISTER_FILES2, &slots, sizeof slots) == 0;
    }

    void Release() {
        if (sqes_) ::munmap(sqes_, sqeBytes_);
        if (cq_ && cq_ != sq_) ::munmap(cq_, cqBytes_);
        if (sq_) ::munmap(sq_, sqBytes_);
        sqes_ = nullptr;
        sq_ = cq_ = nullptr;
        if (ring_ >= 0) ::close(ring_);
        ring_ = -1;
    }

    // The i-th step behind the queue's tail, empty.
    io_uring_sqe* Entry(unsigned i) {
        const unsigned at = (*sqTail_ + i) & sqMask_;
        io_uring_sqe* e = &sqes_[at];
        std::memset(e, 0, sizeof *e);
        sqArray_[at] = at;
        e->user_data = i;
        return e;
    }

    static void ReadEntry(io_uring_sqe* e, void* into, unsigned size) {
        e->opcode = IORING_OP_READ;
        e->fd = 0;                              // slot 0
        e->off = ~std::uint64_t{0};             // from where the last read stopped
        e->addr = reinterpret_cast<std::uintptr_t>(into);
        e->len = size;
        e->rw_flags = RWF_NOWAIT;
    }

    // Submits the steps and gathers their results by step. False, with the queue given up for this
    // thread, when the kernel took less than all of them.
    bool Run(std::int32_t (&results)[kSteps]) {
        const unsigned tail = *sqTail_;
        __atomic_store_n(sqTail_, tail + kSteps, __ATOMIC_RELEASE);
        long submitted;
        do {
            submitted = ::syscall(__NR_io_uring_enter, ring_, kSteps, kSteps, IORING_ENTER_GETEVENTS, nullptr, 0);
        } while (submitted < 0 && errno == EINTR && __atomic_load_n(sqHead_, __ATOMIC_ACQUIRE) == tail);
        const unsigned taken = __atomic_load_n(sqHead_, __ATOMIC_ACQUIRE) - tail;
        if (taken < kSteps) __atomic_store_n(sqTail_, tail + taken, __ATOMIC_RELEASE);  // withdraw the rest
        // Every step taken gives one result; all are gathered, so that none is left for the next file.
        unsigned seen = 0;
        bool whole = taken == kSteps;
        while (seen < taken) {
            unsigned head = *cqHead_;
            const unsigned ready = __atomic_load_n(cqTail_, __ATOMIC_ACQUIRE);
            for (; head != ready; ++head, ++seen) {
                const io_uring_cqe& c = cqes_[head & cqMask_];
                if (c.user_data < kSteps) results[c.user_data] = c.res;
            }
            __atomic_store_n(cqHead_, head, __ATOMIC_RELEASE);
            if (seen < taken &&
                ::syscall(__NR_io_uring_enter, ring_, 0, taken - seen, IORING_ENTER_GETEVENTS, nullptr, 0) < 0 &&
                errno != EINTR) {
                whole = false;
                break;
            }
        }
        if (!whole) Release();  // the ordinary way from now on
        return whole;
    }

    int ring_ = -1;
    void* sq_ = nullptr;
    void* cq_ = nullptr;
    io_uring_sqe* sqes_ = nullptr;
    std::size_t sqBytes_ = 0, cqBytes_ = 0, sqeBytes_ = 0;
    unsigned *sqHead_ = nullptr, *sqTail_ = nullptr, *sqArray_ = nullptr;
    unsigned *cqHead_ = nullptr, *cqTail_ = nullptr;
    unsigned sqMask_ = 0, cqMask_ = 0;
    io_uring_cqe* cqes_ = nullptr;
    char probe_ = 0;
    int refused_ = 0;  // reads refused in a row because they would wait
    int rest_ = 0;     // reads left to the ordinary way before the next attempt
    std::unique_ptr<char[]> buffer_;
};

TQueuedReader& ThreadQueuedReader() {
    thread_local TQueuedReader reader;
    return reader;
}

}  // namespace
#endif

bool QueuedReadsAvailable() {
#ifdef KELVARN_QUEUED_READS
    return ThreadQueuedReader().Available();
#else
    return false;
#endif
}

bool ReadWholeFileQueued(const std::string& path, std::string& bytes, std::uint64_t cap) {
    bytes.clear();
#ifdef KELVARN_QUEUED_READS
    return ThreadQueuedReader().Read(path, bytes, cap);
#else
    (void)path;
    (void)cap;
    return false;
#endif
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t cap) {
    if (ReadWholeFileQueued(path, bytes, cap)) return true;
    bytes.clear();
#if defined(__linux__)
    // Not blocking: a pipe or a device opened here is refused below, not waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
                 static_cast<std::uint64_t>(st.st_size) <= cap;
    if (whole) {
        // As much as the file held when it was opened; a file cut meanwhile gives what is left.
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n > 0) {
                got += static_cast<std::size_t>(n);
            } else if (n == 0) {
                break;
            } else if (errno != EINTR) {
                whole = false;
                break;
            }
        }
        bytes.resize(whole ? got : 0);
    }
    ::close(fd);
    return whole;
#else
    (void)path;
    (void)cap;
    return false;
#endif
}

std::string RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef _WIN32
    if (MoveFileExA(from.c_str(), to.c_str(), 0)) return {};
    if (GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS) return "target exists";
    return "rename failed";
#else
#ifdef SYS_renameat2
    constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
    if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), kNoReplace) == 0) return {};
    if (errno == EEXIST) return "target exists";
    if (errno != EINVAL && errno != ENOSYS) return std::strerror(errno);
#endif
    // File systems without the flag: a hard link refuses an existing target for files; folders fall
    // back to a checked rename.
    std::error_code ec;
    if (std::filesystem::is_directory(from, ec)) {
        if (std::filesystem::exists(to, ec)) return "target exists";
        if (::rename(from.c_str(), to.c_str()) == 0) return {};
        return std::strerror(errno);
    }
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return {};
    }
    if (errno == EEXIST) return "target exists";
    return std::strerror(errno);
#endif
}

bool PathExists(const std::string& path) {
#ifdef _WIN32
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
#endif
}

bool FileStamp(const std::string& path, std::uint64_t& size, std::int64_t& modified) {
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    modified = static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                         data.ftLastWriteTime.dwLowDateTime);
    return true;
#else
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = static_cast<std::uint64_t>(st.st_size);
    modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
#endif
}

bool ReadFolderStamp(const std::string& path, FolderStamp& stamp) {
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    stamp = {};
    stamp.modified = static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                               data.ftLastWriteTime.dwLowDateTime);
    stamp.changed = stamp.modified;
    return true;
#else
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    stamp.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
    return true;
#endif
}

std::int64_t FileClockNow() {
#ifdef _WIN32
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return static_cast<std::int64_t>((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
#else
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
#endif
}

bool ListFolderNames(const std::string& folder, const std::function<void(std::string_view)>& visit) {
#if defined(__linux__)
    // Straight from the kernel: a directory stream would add a status call and two descriptor calls to
    // every listing, which for a small folder cost as much as the listing itself.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    alignas(8) char buffer[32768];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::getdents64(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
            at += entry->d_reclen;
            const std::string_view name(entry->d_name);
            if (name != "." && name != "..") visit(name);
        }
    }
    ::close(fd);
    return ok;
#else
    std::error_code ec;
    std::filesystem::directory_iterator it(std::filesystem::path(std::u8string(folder.begin(), folder.end())), ec), end;
    if (ec) return false;
    for (; it != end; it.increment(ec)) {
        const auto name = it->path().filename().u8string();
        visit(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
    }
    return !ec;
#endif
}

bool MayWriteFile(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    if (attributes & FILE_ATTRIBUTE_READONLY) return false;
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return true;
    }
    return GetLastError() != ERROR_ACCESS_DENIED;
#else
    // As the effective user, with access control lists where the system has them.
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) return true;
    return errno != EACCES && errno != EPERM && errno != EROFS;
#endif
}

TFileLock::TFileLock(const std::string& lockFile, int waitMs) : path_(lockFile) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    const auto wait = [&] {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return true;
    };
#ifdef _WIN32
    const HANDLE h = CreateFileA(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    for (;;) {
        OVERLAPPED at = {};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            held_ = true;
            return;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) return;
        if (!wait()) {
            timedOut_ = true;
            return;
        }
    }
#else
    for (;;) {
        // A lock file another user made may be one this user can only read: such a descriptor locks too.
        int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        // flock, not fcntl: its lock belongs to this descriptor, so two writers in one process exclude
        // each other too.
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR) continue;
            const bool busy = errno == EWOULDBLOCK;
            if (!busy || !wait()) {
                timedOut_ = busy;
                ::close(fd);
                return;
            }
        }
        // The holder before removes the lock file as it lets go: a lock on that file holds nobody off.
        struct stat locked, named;
        if (::fstat(fd, &locked) == 0 && ::stat(lockFile.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
            locked.st_ino == named.st_ino) {
            handle_ = fd;
            held_ = true;
            return;
        }
        ::close(fd);
    }
#endif
}

TFileLock::~TFileLock() {
    if (handle_ == -1) return;
#ifdef _WIN32
    const HANDLE h = reinterpret_cast<HANDLE>(handle_);
    if (held_) {
        OVERLAPPED at = {};
        UnlockFileEx(h, 0, 1, 0, &at);
    }
    CloseHandle(h);
#else
    // Removed while still held, so that no lock file stays behind; whoever waits on it then sees that
    // it is gone and takes a new one.
    ::unlink(path_.c_str());
    ::close(static_cast<int>(handle_));
#endif
}

std::string ExecutablePath() {
#ifdef _WIN32
    char buf[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return std::string(buf, n);
#else
    std::error_code ec;
    const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const auto s = p.u8string();
    return std::string(s.begin(), s.end());
#endif
}

}  // namespace kelvarn::platform
