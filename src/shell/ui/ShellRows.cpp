#include "shell/ui/ShellRows.h"

#include "shell/Backups.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"
#include "shell/RunCommand.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

namespace {

void Report(TProgramState& state, const std::string& message) {
    if (!message.empty()) state.Messages->ShowMessage(message, "", MessageKind::Warning);
}

// The frames that may hold unsaved edits of the asset's files.
constexpr TFrameId kEditingFrames[] = {TFrameId::Text, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail, TFrameId::Image,
                                       TFrameId::Outline};

// Each frame with unsaved edits asks Yes/No/Cancel before the restore; then the frames are emptied, so
// that nothing given up is asked about (or written over the restored files) when the asset reloads.
bool SettleFrameEdits(TMain& main) {
    for (TFrameId id : kEditingFrames)
        if (!main.Frame(id)->CloseQuery()) return false;
    for (TFrameId id : kEditingFrames) main.Frame(id)->Clear();
    return true;
}

// Runs a restore; a restore that finds no backup has said so itself, and one the user stopped needs no
// word: only failures are left to show. Frames emptied for a restore that then failed show the asset
// again as it stands.
void RunRestore(TMain& main, TProgramState& state,
                const std::function<std::string(TProgramState&, std::string_view, const SettleEdits&)>& restore,
                const std::string& path) {
    bool settled = false;
    const std::string message = restore(state, path, [&main, &settled] { return settled = SettleFrameEdits(main); });
    if (message.rfind("Unable to ", 0) != 0) return;
    if (settled) state.SendCommand(ccSelectAsset, "");
    Report(state, message);
}

}  // namespace

void RegisterBackupRows(TMain& main, TProgramState& state) {
    TDispatcher& d = main.Dispatcher();
    // Without an asset (or a file) there is nothing to copy: an empty path would name the folder the
    // program runs in.
    d.RegisterCommand(1015, [&state](const std::string&) {
        if (!state.AssetPath().empty()) Report(state, BackupFolder(state, state.AssetPath()));
    });
    d.RegisterCommand(1016, [&state](const std::string&) {
        if (!state.AssetPath().empty() && !state.AssetFileName().empty())
            Report(state, BackupFile(state, state.AssetPathFile()));
    });
    d.RegisterCommand(1017, [&main, &state](const std::string&) {
        if (!state.AssetPath().empty()) RunRestore(main, state, RestoreFolder, state.AssetPath());
    });
    d.RegisterCommand(1018, [&main, &state](const std::string&) {
        if (!state.AssetPath().empty() && !state.AssetFileName().empty())
            RunRestore(main, state, RestoreFile, state.AssetPathFile());
    });
}

void RegisterUpdatesRow(TDispatcher& d, TProgramState& state) {
    d.RegisterCommand(1505, [&state](const std::string&) {
        const std::string link = Trim(ReadSetting(state.Settings(), keys::UpdateLink));
        if (link.empty()) {
            state.Messages->ShowMessage("No address to check for updates is set: it is the key UpdateLink of section "
                                        "Options in " + state.Settings().FileName() + ".",
                                        "Check for Updates", MessageKind::Information);
            return;
        }
        RunCommand(state, "", link, nullptr, 0, 1);
    });
}

}  // namespace kelvarn
