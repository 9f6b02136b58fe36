#include "shell/ui/ShellRows.h"

#include "shell/Backups.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"
#include "shell/RunCommand.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

void Report(TProgramState& state, const std::string& message) {
    if (!message.empty()) state.Messages->ShowMessage(message, "", MessageKind::Warning);
}

// A restore that finds no backup has said so itself; only its failures are left to show.
void ReportRestore(TProgramState& state, const std::string& message) {
    if (message.rfind("Unable to ", 0) == 0) Report(state, message);
}

}  // namespace

void RegisterBackupRows(TDispatcher& d, TProgramState& state) {
    // Without an asset (or a file) there is nothing to copy: an empty path would name the folder the
    // program runs in.
    d.RegisterCommand(1015, [&state](const std::string&) {
        if (!state.AssetPath().empty()) Report(state, BackupFolder(state, state.AssetPath()));
    });
    d.RegisterCommand(1016, [&state](const std::string&) {
        if (!state.AssetPath().empty() && !state.AssetFileName().empty())
            Report(state, BackupFile(state, state.AssetPathFile()));
    });
    d.RegisterCommand(1017, [&state](const std::string&) {
        if (!state.AssetPath().empty()) ReportRestore(state, RestoreFolder(state, state.AssetPath()));
    });
    d.RegisterCommand(1018, [&state](const std::string&) {
        if (!state.AssetPath().empty() && !state.AssetFileName().empty())
            ReportRestore(state, RestoreFile(state, state.AssetPathFile()));
    });
}

void RegisterUpdatesRow(TDispatcher& d, TProgramState& state) {
    d.RegisterCommand(1505, [&state](const std::string&) {
        const std::string link = Trim(ReadSetting(state.Settings(), keys::UpdateLink));
        if (!link.empty()) RunCommand(state, "", link, nullptr, 0, 1);
    });
}

}  // namespace kelvarn
