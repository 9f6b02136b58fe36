#include "shell/Backups.h"

#include <algorithm>
#include <chrono>
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
// The characters the encoding gives a meaning: "%" starts an escape, "¦" stands for a separator and
// "¶" parts the name's pieces. Each is escaped where it stands in a path, so no two paths share a name.
// The escapes are lower case: the earlier encoding wrote "¶" as "%B6", and a name it gave is then never
// read as today's encoding of another path.
constexpr std::string_view kPercentEscape = "%25";
constexpr std::string_view kBrokenBarEscape = "%a6";
constexpr std::string_view kPilcrowEscape = "%b6";
constexpr std::string_view kPreviousPilcrowEscape = "%B6";
// The longest file-name piece kept whole: longer names are cut with a hash, leaving the folder room.
constexpr std::size_t kMaxNamePiece = 117;
// Where stamps cannot tell the order (the same stamp, or stamps in the hour that repeats when summer
// time ends), backups whose file times lie further apart than this are ordered by those times.
// Elsewhere the stamp decides: a copied, unpacked or synced backup folder has new file times.
constexpr std::int64_t kClockStepSeconds = 2;

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

// Keeps the start of a text for people reading the folder, and a hash of the whole of it so that two
// long texts never share a name.
std::string Shorten(std::string_view text, std::size_t room) {
    const std::string hash = "~" + Fnv1aHex(text);
    return CutUtf8(text, room > hash.size() ? room - hash.size() : 0) + hash;
}

std::string EscapeMarks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            out += kPercentEscape;
        } else if (text.substr(i, kPilcrow.size()) == kPilcrow) {
            out += kPilcrowEscape;
            i += kPilcrow.size() - 1;
        } else if (text.substr(i, kBrokenBar.size()) == kBrokenBar) {
            out += kBrokenBarEscape;
            i += kBrokenBar.size() - 1;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool IsSeparatorInName(char c) {
#ifdef _WIN32
    return c == ':' || c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string SeparatorsToBars(std::string_view folder) {
    std::string out;
    for (char c : folder) {
        if (IsSeparatorInName(c))
            out += kBrokenBar;
        else
            out.push_back(c);
    }
    return out;
}

std::string RawEncode(std::string_view folder) { return SeparatorsToBars(EscapeMarks(folder)); }

// The encoding backups were named with before "%" and "¦" were escaped. Where a path holds none of
// "%", "¦" and "¶" it gives the same name as today's.
std::string PreviousEncode(std::string_view folder) {
    return SeparatorsToBars(ReplaceAll(folder, kPilcrow, kPreviousPilcrowEscape));
}

// The two pieces of a backup name that identify its source.
struct SourcePieces {
    std::string folder, name;
    bool operator==(const SourcePieces&) const = default;
};

// An encoded folder cut with a hash where a backup name holding it and `name` would be too long.
std::string FitFolder(std::string encoded, std::string_view name) {
    const std::size_t fixed = kStampLength + kSequenceLength + 2 * kPilcrow.size() + name.size();
    if (fixed + encoded.size() <= kMaxBackupNameBytes) return encoded;
    return Shorten(encoded, kMaxBackupNameBytes > fixed ? kMaxBackupNameBytes - fixed : 0);
}

SourcePieces EncodeSource(std::string_view folder, std::string_view fileName) {
    std::string name = EscapeMarks(fileName);
    if (name.size() > kMaxNamePiece) name = Shorten(name, kMaxNamePiece);
    std::string encoded = FitFolder(RawEncode(folder), name);
    return {std::move(encoded), std::move(name)};
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
    if (!ForceDirectories(folder)) return "Unable to create the backup folder " + ShownPath(folder);
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

// The text the escapes of a piece stand for; nothing for a piece no encoding gives ("%" without one
// of its escapes, or a bare "¶").
std::optional<std::string> DecodeMarks(std::string_view piece) {
    std::string out;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const std::string_view rest = piece.substr(i);
        if (rest.front() == '%') {
            const std::string_view escape = rest.substr(0, 3);
            if (escape == kPercentEscape) out += '%';
            else if (escape == kBrokenBarEscape) out += kBrokenBar;
            else if (escape == kPilcrowEscape) out += kPilcrow;
            else return std::nullopt;
            i += 2;
        } else if (StartsWith(rest, kPilcrow)) {
            return std::nullopt;
        } else {
            out.push_back(rest.front());
        }
    }
    return out;
}

bool Holds(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// Which backup names belong to a folder and file name: today's encoding, or the previous one where it
// cannot stand for another path: the path holds no "¦" or "¶" or "%B6" (the previous encoding gave
// such a path a name it shares with others), and none of today's escapes, so that the name is no
// encoding of some other path today (a name shortened with a hash cannot be decoded to tell).
class TBackupMatch {
public:
    TBackupMatch(const std::string& folder, const std::string& name)
        : folder_(folder), name_(name), now_(EncodeSource(folder, name)) {
        for (std::string_view mark :
             {kBrokenBar, kPilcrow, kPreviousPilcrowEscape, kPercentEscape, kBrokenBarEscape, kPilcrowEscape})
            if (Holds(folder, mark) || Holds(name, mark)) return;
        previous_ = SourcePieces{FitFolder(PreviousEncode(folder), name), name};
    }

    bool operator()(const Pieces& p) const {
        const SourcePieces pieces{p.folder, p.name};
        if (pieces == now_) return true;
        if (!previous_ || pieces != *previous_) return false;
        const auto decodedFolder = DecodeBackupFolder(p.folder);
        const auto decodedName = DecodeMarks(p.name);
        return (!decodedFolder || *decodedFolder == folder_) && (!decodedName || *decodedName == name_);
    }

private:
    std::string folder_, name_;
    SourcePieces now_;
    std::optional<SourcePieces> previous_;
};

struct Found {
    std::string path;
    DateTime stamp;
};

std::int64_t FileSeconds(const std::string& path) {
    std::error_code ec;
    const auto time = fs::last_write_time(FsPath(path), ec);
    if (ec) return 0;
    return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

DateTime StampTime(const StampKey& key) {
    const std::string& s = key.second;
    auto field = [&](std::size_t at, std::size_t n) {
        long long v = 0;
        TryParseInt(s.substr(std::min(at, s.size()), n), v);
        return static_cast<int>(v);
    };
    return DateTime{field(0, 4), field(4, 2), field(6, 2), field(8, 2), field(10, 2), field(12, 2), 0};
}

// The newest backup of the folder and name: by stamp. File times decide only where the stamps cannot:
// between equal stamps, and between two stamps of the hour a clock change repeats.
std::optional<Found> NewestBackup(const std::vector<std::string>& entries, const std::string& folder,
                                  const std::string& name, IClock& clock) {
    struct Candidate {
        std::string path;
        StampKey key;
        DateTime time;
        std::int64_t seconds;
    };
    auto sameRepeatedHour = [&clock](const Candidate& a, const Candidate& b) {
        return a.time.DayNumber() == b.time.DayNumber() && a.time.hour == b.time.hour && clock.IsRepeated(a.time) &&
               clock.IsRepeated(b.time);
    };
    std::optional<Candidate> best;
    const TBackupMatch belongs(folder, name);
    for (const std::string& entry : entries) {
        const Pieces p = SplitBackupName(ExtractFileName(entry));
        if (!p.ok || !belongs(p)) continue;
        const StampKey key = KeyOf(p.stamp);
        Candidate c{entry, key, StampTime(key), FileSeconds(entry)};
        if (!best) {
            best = std::move(c);
            continue;
        }
        bool newer = best->key < c.key;
        const bool equalStamps = !newer && !(c.key < best->key);
        if (equalStamps || sameRepeatedHour(c, *best)) {
            const std::int64_t apart = c.seconds - best->seconds;
            newer = apart > kClockStepSeconds || (apart >= -kClockStepSeconds && newer);
        }
        if (newer) best = std::move(c);
    }
    if (!best) return std::nullopt;
    return Found{best->path, best->time};
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
    if (!EntryExists(base)) return base;
    for (int n = 2;; ++n)
        if (std::string candidate = base + std::to_string(n); !EntryExists(candidate)) return candidate;
}

void AfterRestore(TProgramState& state) {
    state.SendCommand(ccReloadAsset, "");
    state.SendCommand(ccSelectAsset, "");
}

// Where the next backup of the file goes, or the message why there is none.
std::string FileBackupTarget(TProgramState& state, std::string_view path, const std::string& source, std::string& target) {
    std::string folder;
    if (std::string error = PrepareBackupFolder(state, folder); !error.empty())
        return "Unable to back up " + ShownPath(path) + ": " + error;
    const std::string name = FreeBackupName(folder, state.Clock->Now(), source, false);
    if (name.empty()) return "Unable to back up " + ShownPath(path) + ": too many backups within one second";
    if (name.size() > kMaxBackupNameBytes) return "Unable to back up " + ShownPath(path) + ": its name is too long";
    target = JoinPath(folder, name);
    return {};
}

}  // namespace

std::string EncodeBackupFolder(std::string_view folder, std::string_view fileName) {
    return EncodeSource(folder, fileName).folder;
}

std::optional<std::string> DecodeBackupFolder(std::string_view piece) {
#ifdef _WIN32
    if (Holds(piece, "\\") || Holds(piece, "/") || Holds(piece, ":")) return std::nullopt;
    std::string separated = ReplaceAll(piece, kBrokenBar, "\\");
    if (const std::size_t drive = separated.find("\\\\"); drive != std::string::npos) separated.replace(drive, 2, ":\\");
#else
    if (Holds(piece, "/")) return std::nullopt;
    const std::string separated = ReplaceAll(piece, kBrokenBar, "/");
#endif
    return DecodeMarks(separated);
}

std::string BackupName(const DateTime& stamp, std::string_view path, bool isFolder) {
    const std::string normal = NormalPath(path);
    const std::string name = isFolder ? std::string() : ExtractFileName(normal);
    const SourcePieces pieces = EncodeSource(isFolder ? normal : ExtractFileDir(normal), name);
    return FormatTimeStamp(stamp) + std::string(kPilcrow) + pieces.folder + std::string(kPilcrow) + pieces.name;
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

namespace {

// A backup of the file; `made` is the backup's path when it was made.
std::string MakeFileBackup(TProgramState& state, std::string_view path, std::string& made) {
    const std::string source = NormalPath(path);
    if (!FileExists(source)) return "Unable to back up " + ShownPath(path) + ": the file does not exist";
    std::string target;
    if (std::string error = FileBackupTarget(state, path, source, target); !error.empty()) return error;
    if (std::string error = CopyFileNoReplace(source, target); !error.empty())
        return "Unable to back up " + ShownPath(path) + ": " + error;
    made = target;
    return {};
}

// A backup of the folder, links kept as links; `made` is the backup's path when it was made.
std::string MakeFolderBackup(TProgramState& state, std::string_view path, std::string& made) {
    const std::string source = NormalPath(path);
    if (!DirectoryExists(source)) return "Unable to back up " + ShownPath(path) + ": the folder does not exist";
    std::string folder;
    if (std::string error = PrepareBackupFolder(state, folder); !error.empty())
        return "Unable to back up " + ShownPath(path) + ": " + error;
    const std::string backupRoot = NormalPath(folder);
    if (backupRoot == source || StartsWith(backupRoot, IncludeTrailingSeparator(source, fs::path::preferred_separator)))
        return "Unable to back up " + ShownPath(path) + ": the backup folder lies inside it";
    const std::string name = FreeBackupName(folder, state.Clock->Now(), source, true);
    if (name.empty()) return "Unable to back up " + ShownPath(path) + ": too many backups within one second";
    const std::string target = JoinPath(folder, name);
    const bool stood = PathExists(target);
    if (std::string error = CopyFolder(source, target, FolderLinks::Keep); !error.empty()) {
        // Only a copy this call began is removed: a folder that stood there belongs to another backup.
        if (!stood) DeleteFolderTree(target);
        return "Unable to back up " + ShownPath(path) + ": " + error;
    }
    made = target;
    return {};
}

}  // namespace

std::string BackupFileVersion(TProgramState& state, std::string_view path, std::string_view bytes) {
    const std::string source = NormalPath(path);
    std::string target;
    if (std::string error = FileBackupTarget(state, path, source, target); !error.empty()) return error;
    if (std::string error = WriteFileNoReplace(target, bytes); !error.empty())
        return "Unable to back up " + ShownPath(path) + ": " + error;
    return {};
}

std::string BackupFile(TProgramState& state, std::string_view path) {
    std::string made;
    return MakeFileBackup(state, path, made);
}

std::string BackupFolder(TProgramState& state, std::string_view path) {
    std::string made;
    return MakeFolderBackup(state, path, made);
}

namespace {

// What a restore does before it replaces anything: finds the newest backup, asks (naming the backup's
// time), lets the frames settle their unsaved edits, and backs up the current state so that another
// restore brings it back (`safety`, empty when there was nothing to back up). Empty `found` with an
// empty message: the user stopped it.
std::string PrepareRestore(TProgramState& state, std::string_view path, const std::string& target, bool isFolder,
                           const SettleEdits& settle, std::string& found, std::string& safety) {
    const std::string name = isFolder ? std::string() : ExtractFileName(target);
    std::vector<std::string> entries;
    ListEntriesOfKind(JoinPath(BackupFolderPath(state), isFolder ? "*" : "*.*"), entries, isFolder);
    const std::optional<Found> newest =
        NewestBackup(entries, isFolder ? target : ExtractFileDir(target), name, *state.Clock);
    if (!newest) {
        const std::string message = "No backups found: " + ShownPath(path);
        state.Messages->ShowMessage(message, "", MessageKind::Information);
        return message;
    }
    if (!state.Messages->AskYesNo("Restore " + target + " from the backup of " + FormatLongDateTime(newest->stamp) +
                                  "?\nIts present state is backed up first, so Restore brings it back."))
        return {};
    if (settle && !settle()) return {};
    const bool present = isFolder ? DirectoryExists(target) : FileExists(target);
    if (present) {
        if (std::string error = (isFolder ? MakeFolderBackup(state, target, safety) : MakeFileBackup(state, target, safety)); !error.empty())
            return "Unable to restore " + ShownPath(path) + ": nothing was restored, as its present state could not be backed up. " +
                   error;
    }
    found = newest->path;
    return {};
}

// A restore the user stopped is no failure, and nothing is left to say.
std::string Stopped(std::string_view path) { return ".Restore of " + ShownPath(path) + " stopped"; }

// A restore that replaced nothing takes back its backup of the present state: left, it would be the
// newest backup, and the next restore would bring back the present state instead of the one wanted.
std::string NothingRestored(std::string_view path, const std::string& safety, const std::string& error) {
    if (!safety.empty() && !(DirectoryExists(safety) ? ForceDeleteFolderTree(safety) : DeleteFilePath(safety)))
        return "Unable to restore " + ShownPath(path) + ": " + error + "\nNothing was restored; the backup of its present state stays as " +
               ShownPath(safety) + ", and the next restore brings that back.";
    return "Unable to restore " + ShownPath(path) + ": " + error;
}

}  // namespace

std::string RestoreFile(TProgramState& state, std::string_view path, const SettleEdits& settle) {
    const std::string target = NormalPath(path);
    std::string newest, safety;
    if (std::string message = PrepareRestore(state, path, target, false, settle, newest, safety); !message.empty())
        return message;
    if (newest.empty()) return Stopped(path);
    // The copy lands beside the target and replaces it in one step: a failed copy loses nothing.
    if (std::string error = StreamCopyFile(newest, target); !error.empty()) return NothingRestored(path, safety, error);
    DeleteFilePath(newest);
    AfterRestore(state);
    return {};
}

std::string RestoreFolder(TProgramState& state, std::string_view path, const SettleEdits& settle) {
    const std::string target = NormalPath(path);
    std::string newest, safety;
    if (std::string message = PrepareRestore(state, path, target, true, settle, newest, safety); !message.empty())
        return message;
    if (newest.empty()) return Stopped(path);
    // An asset folder that is a link is restored in the folder the link names, and the link stays (as a
    // file restored through a link is).
    const std::string place = FollowLinkPath(target);
    // Copy beside it first; only a complete copy takes its place. The working names are ones no entry
    // holds yet: a folder the user called so is not ours to delete.
    const std::string staging = FreeSibling(place + ".kvrestore");
    if (std::string error = CopyFolder(newest, staging, FolderLinks::Keep); !error.empty()) {
        DeleteFolderTree(staging);
        return NothingRestored(path, safety, error);
    }
    const std::string aside = FreeSibling(place + ".kvold");
    const bool present = DirectoryExists(place);
    if (present) {
        if (std::string error = RenameNoReplace(place, aside); !error.empty()) {
            DeleteFolderTree(staging);
            return NothingRestored(path, safety, error);
        }
    }
    if (std::string error = RenameNoReplace(staging, place); !error.empty()) {
        DeleteFolderTree(staging);
        if (!present || RenameNoReplace(aside, place).empty()) return NothingRestored(path, safety, error);
        return "Unable to restore " + ShownPath(path) + ": " + error + "\nIts present state was moved to " + ShownPath(aside) +
               "; rename it back to " + ShownPath(place) + ".";
    }
    ForceDeleteFolderTree(newest);
    AfterRestore(state);
    // Left beside the asset, the old tree would be listed as a second asset with the same KUID.
    if (present && !ForceDeleteFolderTree(aside))
        return "Unable to delete " + ShownPath(aside) + ", the state that the restore of " + ShownPath(path) +
               " replaced (it is also in the backup folder): delete it, or it is listed as a second asset with the same KUID.";
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
    if (!ForceDirectories(ExtractFileDir(target))) return "Unable to create the backup folder " + ShownPath(ExtractFileDir(target));
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
