// Backup names on any bytes taken as paths: a folder piece decodes to its folder unless it was
// shortened with a hash, no name passes the file-name limit, and two different files never share a
// backup name. The input holds two paths parted by a NUL byte.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "shell/Backups.h"
#include "shell/PathText.h"

namespace {

// The form a backup names: absolute, lexically normal, without trailing separator.
std::string Normal(const std::string& path) {
    std::error_code ec;
    return kelvarn::ExcludeTrailingSeparator(kelvarn::PathString(std::filesystem::absolute(kelvarn::FsPath(path), ec).lexically_normal()));
}

bool EndsInHash(std::string_view piece) {
    if (piece.size() < 17 || piece[piece.size() - 17] != '~') return false;
    return piece.substr(piece.size() - 16).find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

void CheckFolder(const std::string& folder) {
    const std::string piece = kelvarn::EncodeBackupFolder(folder, "config.txt");
    const auto decoded = kelvarn::DecodeBackupFolder(piece);
    if (!(decoded && *decoded == folder) && !EndsInHash(piece)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = bytes.find('\0');
    const std::string a = "/" + bytes.substr(0, nul);
    const std::string b = nul == std::string::npos ? "/" : "/" + bytes.substr(nul + 1, bytes.find('\0', nul + 1) - nul - 1);
    CheckFolder(a);
    CheckFolder(b);

    const kelvarn::DateTime stamp{2011, 3, 4, 5, 6, 7, 0};
    for (bool isFolder : {false, true}) {
        const std::string nameA = kelvarn::BackupName(stamp, a, isFolder);
        const std::string nameB = kelvarn::BackupName(stamp, b, isFolder);
        if (nameA.size() > kelvarn::kMaxBackupNameBytes || nameB.size() > kelvarn::kMaxBackupNameBytes) std::abort();
        if (nameA == nameB && Normal(a) != Normal(b)) std::abort();
    }
    return 0;
}
