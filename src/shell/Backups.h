// Backups: before the program or a tool changes an asset file or folder, a copy is kept in "%backup%"
// under a name made of a "yyyymmddhhnnss" stamp and the encoded source path, so the newest copy of a
// given file or folder can be found and put back. A start-up purge removes old backups and logs.
// Every operation returns an empty text on success, else the message; a caller never goes on with a
// destructive action when its backup failed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "shell/Clock.h"

namespace kelvarn {

class TProgramState;

inline constexpr std::size_t kMaxBackupNameBytes = 255;

// The source folder as it stands in a backup name: separators (and a drive's colon) become "¦".
// "%", "¦" and "¶" in the path are escaped first, so two paths never share an encoding. Names that
// would pass the file-name limit shorten a long file name, then the folder, with a hash of what was cut;
// the stamp stays whole.
std::string EncodeBackupFolder(std::string_view folder, std::string_view fileName);
// The folder an encoded folder piece stands for; nothing for a text that no path encodes to. A piece
// shortened with a hash decodes to its shortened text.
std::optional<std::string> DecodeBackupFolder(std::string_view piece);
// stamp "¶" encoded folder "¶" file name; for a folder the name after the second "¶" is empty.
std::string BackupName(const DateTime& stamp, std::string_view path, bool isFolder);

std::string TimeStamp(TProgramState& state);
std::string DateStamp(TProgramState& state);
// The date of a stamp of at least eight digits; `today` for anything else; nothing for a stamp that
// is digits but no valid date.
std::optional<DateTime> StampToDate(std::string_view stamp, const DateTime& today);

std::string BackupFile(TProgramState& state, std::string_view path);
// A backup of the file at `path` that holds `bytes` instead of what the file holds: a version that
// exists only in a pane (unsaved edits that another pane's save is about to replace). Restore File
// finds it as the file's newest backup.
std::string BackupFileVersion(TProgramState& state, std::string_view path, std::string_view bytes);
std::string BackupFolder(TProgramState& state, std::string_view path);
// Settles the unsaved edits of whatever shows the asset (each saved or given up) before a restore
// replaces its files; false (the user cancelled) stops the restore.
using SettleEdits = std::function<bool()>;
// Puts the newest backup back: asks first, naming the backup's time; settles the unsaved edits; backs up
// the present state (so that a second restore brings it back; when that fails nothing is restored);
// copies the backup back, deletes it and tells the main window to reload the asset. A restore the user
// stopped returns an informational text (beginning with ".").
std::string RestoreFile(TProgramState& state, std::string_view path, const SettleEdits& settle = {});
std::string RestoreFolder(TProgramState& state, std::string_view path, const SettleEdits& settle = {});
// A dated copy of the settings file, "%backup%\Kelvarn(" + the time in `format` + ").ini": when that
// copy does not exist yet, the settings are flushed and the file copied. One copy per distinct stamp
// ("yyyymmdd" at start-up: one a day).
std::string IniBackup(TProgramState& state, std::string_view format);
// The start-up purge of undo snapshots, old backups, old settings copies and old logs.
void CleanOldBackups(TProgramState& state);

}  // namespace kelvarn
