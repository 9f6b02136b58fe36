#include "shell/Backups.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kStampLength = 14;
// A second backup of one path within one second gets a three-digit number after the stamp, so that
// no backup takes another's name and the stamps still order them.
constexpr std::size_t kSequenceLength = 3;
constexpr int kMaxSequence = 999;
// A "¶" inside a path would split the name into more pieces than three.
constexpr std::string_view kPilcrowEscape = "%B6";

// The absolute, lexically normal native form of a path, without trailing separator: the form whose
// encoding names its backups.
std::string NormalPath(std::string_view path) {
    std::error_code ec;
    fs::path p = fs::absolute(FsPath(path), ec);
    if (ec) p = FsPath(path);
    return ExcludeTrailingSeparator(PathString(p.lexically_normal()));
}

std::string Fnv1aHex(std::string_view text) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

// Cuts a UTF-8 text to at most `bytes` bytes without splitting a character.
std::string CutUtf8(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return std::string(text);
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
    return std::string(text.substr(0, bytes));
}

std::string EscapePilcrow(std::string_view text) { return ReplaceAll(text, kPilcrow, kPilcrowEscape); }

std::string RawEncode(std::string_view folder) {
    std::string out;
    for (char c : EscapePilcrow(folder)) {
#ifdef _WIN32
        if (c == ':' || c == '\\' || c == '/') {
#else
        if (c == '/') {
#endif
            out += kBrokenBar;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

struct Pieces {
    std::string stamp, folder, name;
    bool ok = false;
};

Pieces SplitBackupName(std::string_view name) {
    Pieces p;
    const auto parts = SplitString(name, kPilcrow);
    if (parts.size() != 3) return p;
    p.stamp = parts[0], p.folder = parts[1], p.name = parts[2];
    p.ok = true;
    return p;
}

std::string PrepareBackupFolder(TProgramState& state, std::string& folder) {
    folder = BackupFolderPath(state);
    if (folder.empty()) return "No backup folder is set";
    if (!ForceDirectories(folder)) return "Unable to create the backup folder " + folder;
    return {};
}

// The order of backups of one path: the second of the stamp, then the number after it (none: 0).
struct StampKey {
    std::string second;
    int sequence = 0;
    bool operator<(const StampKey& o) const { return second != o.second ? second < o.second : sequence < o.sequence; }
};

StampKey KeyOf(const std::string& stamp) {
    StampKey key{stamp.substr(0, std::min(stamp.size(), kStampLength)), 0};
    if (stamp.size() == kStampLength + kSequenceLength) {
        long long n = 0;
        if (TryParseInt(stamp.substr(kStampLength), n)) key.sequence = static_cast<int>(n);
    }
    return key;
}

// The newest backup (by its leading stamp) whose encoded folder and name match exactly.
std::string NewestBackup(const std::vector<std::string>& entries, const std::string& encoded,
                         const std::string& name) {
    std::string best;
    StampKey bestKey;
    for (const std::string& entry : entries) {
        const Pieces p = SplitBackupName(ExtractFileName(entry));
        if (!p.ok || p.folder != encoded || p.name != name) continue;
        const StampKey key = KeyOf(p.stamp);
        if (best.empty() || bestKey < key) best = entry, bestKey = key;
    }
    return best;
}

// The name of a new backup in `folder`: the plain stamp, or, when a backup of the same path was taken
// within that second, the stamp followed by a number above every number taken. Empty when a thousand
// backups of one path share the second.
std::string FreeBackupName(const std::string& folder, const DateTime& now, const std::string& path, bool isFolder) {
    const std::string plain = BackupName(now, path, isFolder);
    const Pieces wanted = SplitBackupName(plain);
    std::vector<std::string> entries;
    ListEntries(JoinPath(folder, wanted.stamp + "*"), entries);
    int highest = -1;
    for (const std::string& entry : entries) {
        const Pieces p = SplitBackupName(ExtractFileName(entry));
        if (!p.ok || p.folder != wanted.folder || p.name != wanted.name) continue;
        const StampKey key = KeyOf(p.stamp);
        if (key.second == wanted.stamp) highest = std::max(highest, key.sequence);
    }
    for (int sequence = highest + 1; sequence <= kMaxSequence; ++sequence) {
        std::string name = plain;
        if (sequence > 0) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%03d", sequence);
            name.insert(kStampLength, digits);
        }
        if (!PathExists(JoinPath(folder, name))) return name;
    }
    return {};
}

// A sibling of `base` that does not exist yet: `base`, then `base` with 2, 3, ... after it.
std::string FreeSibling(const std::string& base) {
    if (!PathExists(base)) return base;
    for (int n = 2;; ++n)
        if (std::string candidate = base + std::to_string(n); !PathExists(candidate)) return candidate;
}

void AfterRestore(TProgramState& state) {
    state.SendCommand(ccReloadAsset, "");
    state.SendCommand(ccSelectAsset, "");
}

}  // namespace

std::string EncodeBackupFolder(std::string_view folder, std::string_view fileName) {
    const std::string encoded = RawEncode(folder);
    const std::size_t fixed = kStampLength + kSequenceLength + 2 * kPilcrow.size() + EscapePilcrow(fileName).size();
    if (fixed + encoded.size() <= kMaxBackupNameBytes) return encoded;
    // Too long: keep the start of the path for people reading the folder, and a hash of the whole of
    // it so that two long paths never share a name.
    const std::string hash = "~" + Fnv1aHex(encoded);
    const std::size_t room = kMaxBackupNameBytes > fixed + hash.size() ? kMaxBackupNameBytes - fixed - hash.size() : 0;
    return CutUtf8(encoded, room) + hash;
}

std::string BackupName(const DateTime& stamp, std::string_view path, bool isFolder) {
    const std::string normal = NormalPath(path);
    const std::string name = isFolder ? std::string() : ExtractFileName(normal);
    const std::string folder = isFolder ? normal : ExtractFileDir(normal);
    return FormatTimeStamp(stamp) + std::string(kPilcrow) + EncodeBackupFolder(folder, name) +
           std::string(kPilcrow) + EscapePilcrow(name);
}

std::string TimeStamp(TProgramState& state) { return FormatTimeStamp(state.Clock->Now()); }
std::string DateStamp(TProgramState& state) { return FormatDateStamp(state.Clock->Now()); }

std::optional<DateTime> StampToDate(std::string_view stamp, const DateTime& today) {
    const bool digits = stamp.size() >= 8 && std::all_of(stamp.begin(), stamp.end(), [](char c) {
                            return c >= '0' && c <= '9';
                        });
    long long whole = 0;
    if (!digits || !TryParseInt(stamp, whole)) return DateTime::FromDate(today.year, today.month, today.day);
    auto field = [&](std::size_t at, std::size_t n) {
        long long v = 0;
        TryParseInt(stamp.substr(at, n), v);
        return static_cast<int>(v);
    };
    const DateTime date = DateTime::FromDate(field(0, 4), field(4, 2), field(6, 2));
    if (!date.IsValid()) return std::nullopt;
    return date;
}

std::string BackupFile(TProgramState& state, std::string_view path) {
    const std::string source = NormalPath(path);
    if (!FileExists(source)) return "Unable to back up " + std::string(path) + ": the file does not exist";
    std::string folder;
    if (std::string error = PrepareBackupFolder(state, folder); !error.empty())
        return "Unable to back up " + std::string(path) + ": " + error;
    const std::string name = FreeBackupName(folder, state.Clock->Now(), source, false);
    if (name.empty()) return "Unable to back up " + std::string(path) + ": too many backups within one second";
    if (name.size() > kMaxBackupNameBytes) return "Unable to back up " + std::string(path) + ": its name is too long";
    if (std::string error = CopyFileNoReplace(source, JoinPath(folder, name)); !error.empty())
        return "Unable to back up " + std::string(path) + ": " + error;
    return {};
}

std::string BackupFolder(TProgramState& state, std::string_view path) {
    const std::string source = NormalPath(path);
    if (!DirectoryExists(source)) return "Unable to back up " + std::string(path) + ": the folder does not exist";
    std::string folder;
    if (std::string error = PrepareBackupFolder(state, folder); !error.empty())
        return "Unable to back up " + std::string(path) + ": " + error;
    const std::string backupRoot = NormalPath(folder);
    if (backupRoot == source || StartsWith(backupRoot, IncludeTrailingSeparator(source, fs::path::preferred_separator)))
        return "Unable to back up " + std::string(path) + ": the backup folder lies inside it";
    const std::string name = FreeBackupName(folder, state.Clock->Now(), source, true);
    if (name.empty()) return "Unable to back up " + std::string(path) + ": too many backups within one second";
    const std::string target = JoinPath(folder, name);
    const bool stood = PathExists(target);
    if (std::string error = CopyFolder(source, target); !error.empty()) {
        // Only a copy this call began is removed: a folder that stood there belongs to another backup.
        if (!stood) DeleteFolderTree(target);
        return "Unable to back up " + std::string(path) + ": " + error;
    }
    return {};
}

std::string RestoreFile(TProgramState& state, std::string_view path) {
    const std::string target = NormalPath(path);
    const std::string name = ExtractFileName(target);
    const std::string encoded = EncodeBackupFolder(ExtractFileDir(target), name);
    std::vector<std::string> entries;
    ListEntriesOfKind(JoinPath(BackupFolderPath(state), "*.*"), entries, false);
    const std::string newest = NewestBackup(entries, encoded, EscapePilcrow(name));
    if (newest.empty()) {
        const std::string message = "No backups found: " + std::string(path);
        state.Messages->ShowMessage(message, "", MessageKind::Information);
        return message;
    }
    // The copy lands beside the target and replaces it in one step: a failed copy loses nothing.
    if (std::string error = StreamCopyFile(newest, target); !error.empty())
        return "Unable to restore " + std::string(path) + ": " + error;
    DeleteFilePath(newest);
    AfterRestore(state);
    return {};
}

std::string RestoreFolder(TProgramState& state, std::string_view path) {
    const std::string target = NormalPath(path);
    const std::string encoded = EncodeBackupFolder(target, "");
    std::vector<std::string> entries;
    ListEntriesOfKind(JoinPath(BackupFolderPath(state), "*"), entries, true);
    const std::string newest = NewestBackup(entries, encoded, "");
    if (newest.empty()) {
        const std::string message = "No backups found: " + std::string(path);
        state.Messages->ShowMessage(message, "", MessageKind::Information);
        return message;
    }
    // Copy beside the target first; only a complete copy takes the target's place. The working names
    // are ones no folder holds yet: a folder the user called so is not ours to delete.
    const std::string staging = FreeSibling(target + ".kvrestore");
    if (std::string error = CopyFolder(newest, staging); !error.empty()) {
        DeleteFolderTree(staging);
        return "Unable to restore " + std::string(path) + ": " + error;
    }
    const std::string aside = FreeSibling(target + ".kvold");
    if (DirectoryExists(target)) {
        if (std::string error = RenameNoReplace(target, aside); !error.empty()) {
            DeleteFolderTree(staging);
            return "Unable to restore " + std::string(path) + ": " + error;
        }
    }
    if (std::string error = RenameNoReplace(staging, target); !error.empty()) {
        RenameNoReplace(aside, target);
        DeleteFolderTree(staging);
        return "Unable to restore " + std::string(path) + ": " + error;
    }
    DeleteFolderTree(aside);
    DeleteFolderTree(newest);
    AfterRestore(state);
    return {};
}

std::string IniBackup(TProgramState& state, std::string_view format) {
    const std::string target =
        JoinPath(BackupFolderPath(state), "Kelvarn(" + FormatDateTime(format, state.Clock->Now()) + ").ini");
    if (FileExists(target)) return {};
    TMemIni& settings = state.Settings();
    // A settings file that could not be read is left alone: no flush, and no copy of it.
    if (settings.FileName().empty() || settings.FileProtected()) return {};
    if (std::string error = settings.UpdateFile(); !error.empty()) return error;
    if (!ForceDirectories(ExtractFileDir(target))) return "Unable to create the backup folder " + ExtractFileDir(target);
    return StreamCopyFile(settings.FileName(), target);
}

void CleanOldBackups(TProgramState& state) {
    const long long keep = ReadSettingInt(state.Settings(), keys::KeepBackups);
    const DateTime now = state.Clock->Now();
    auto older = [&](const std::optional<DateTime>& date) {
        return date && WholeDaysBetween(*date, now) > keep;
    };
    auto remove = [](const std::string& entry) {
        if (DirectoryExists(entry))
            DeleteFolderTree(entry);
        else
            DeleteFilePath(entry);
    };

    std::vector<std::string> entries;
    ListEntries(JoinPath(BackupFolderPath(state), "*.*"), entries);
    for (const std::string& entry : entries) {
        const std::string name = ExtractFileName(entry);  // bare names only: the folder may hold "¶" too
        if (ExtractFileExt(name) == ".kv$") {
            remove(entry);
            continue;
        }
        if (keep <= 0) continue;
        const std::string stamp = SplitString(name, kPilcrow).front();
        if (older(StampToDate(stamp, now))) {
            remove(entry);
            continue;
        }
        if (ContainsStr(name, "Kelvarn(")) {
            TTokens tokens;
            SplitByCharSet(name, tokens, "()\xC2\xB6");
            if (older(StampToDate(tokens[1], now))) remove(entry);
        }
    }

    entries.clear();
    ListEntriesOfKind(JoinPath(ExpandMacros(state, "%log%"), "*.*"), entries, false);
    for (const std::string& entry : entries) {
        const std::string name = ExtractFileName(entry);
        if (!EndsWithText(name, ".log")) continue;
        if (!ContainsStr(name, "Kelvarn(")) {
            DeleteFilePath(entry);
            continue;
        }
        TTokens tokens;
        SplitByCharSet(name, tokens, "()\xC2\xB6");
        const auto date = StampToDate(tokens[1], now);
        if (date && WholeDaysBetween(*date, now) > std::max(keep, 0LL)) DeleteFilePath(entry);
    }
}

}  // namespace kelvarn
