#include "platform/FileSystemOps.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
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
