#include "catalogue/AssetPages.h"

#include <filesystem>
#include <system_error>

#include "catalogue/AssetCatalogue.h"
#include "catalogue/UtilityRunner.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

bool IsInteger(std::string_view text, long long& value) {
    if (text.empty()) return false;
    const std::string_view digits = text.front() == '-' ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 18) return false;
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    return TryParseInt(text, value);
}

bool IsAbsoluteName(std::string_view name) {
    if (!name.empty() && IsPathSeparator(name.front())) return true;
    return name.size() >= 2 && name[1] == ':';  // a drive
}

// The path with links and "." or ".." resolved as far as it exists, for comparing two folders.
std::string Canonical(std::string_view path) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::weakly_canonical(FsPath(path), ec);
    return ec ? NativePath(path) : PathString(p);
}

// A KUID field's text goes into the new config as it stands: a KUID, and no byte that could end
// the line it is written on.
bool IsKuidField(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    long long number = 0;  // a number from 1 up, which OK completes into the user's KUID
    return ParseKuid(text).has_value() || (IsInteger(Trim(text), number) && number >= 1);
}

}  // namespace

std::string NewKuidExit(std::string_view text, std::string_view userId) {
    long long number = 0;
    const std::string trimmed = Trim(text);
    if (userId.empty() || !IsInteger(trimmed, number) || number < 1) return std::string(text);
    return "<kuid:" + std::string(userId) + ":" + std::to_string(number) + ">";
}

bool LocationValid(std::string_view location, std::string_view backupFolder) {
    if (Trim(location).empty() || !DirectoryExists(location)) return false;
    const std::string native = NativePath(location);
    if (ContainsText(location, "\\editing") || ContainsText(native, "/editing")) return false;
    const std::string backup = ExcludeTrailingSeparator(NativePath(backupFolder));
    if (!backup.empty() && ContainsText(native, backup)) return false;
    return FindFileIgnoreCase(location, "config.txt").empty();
}

std::string PageTarget(std::string_view location, std::string_view name) {
    std::string target(location);
    if (!target.empty() && !IsPathSeparator(target.back()))
        target += static_cast<char>(std::filesystem::path::preferred_separator);
    return target + std::string(name);
}

bool FolderNameValid(std::string_view location, std::string_view name, std::string_view source) {
    if (Trim(name).empty() || IsAbsoluteName(name)) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsPathSeparator(name[end])) ++end;
        const std::string part = Trim(name.substr(start, end - start));
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    const std::string target = PageTarget(location, name);
    if (PathExists(target)) return false;
    if (!source.empty() && PathBelow(Canonical(target), Canonical(source))) return false;
    return true;
}

TPageCheck NewPageCheck(const TNewAssetFields& fields, std::string_view backupFolder) {
    if (!IsKuidField(fields.kuid) || fields.kind.empty()) return {false, std::string(kNewIdentityReason)};
    if (!LocationValid(fields.location, backupFolder)) return {false, std::string(kLocationReason)};
    if (!FolderNameValid(fields.location, fields.folderName)) return {false, std::string(kFolderNameReason)};
    return {true, {}};
}

TPageCheck ClonePageCheck(const TCloneFields& fields, std::string_view backupFolder, std::string_view source) {
    if (!IsKuidField(fields.kuid) || Trim(fields.username).empty()) return {false, std::string(kCloneIdentityReason)};
    if (!LocationValid(fields.location, backupFolder)) return {false, std::string(kLocationReason)};
    if (!FolderNameValid(fields.location, fields.name, source)) return {false, std::string(kFolderNameReason)};
    return {true, {}};
}

}  // namespace kelvarn
