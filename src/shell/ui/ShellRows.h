// Main-menu rows the shell performs on its own services: the File menu's backups and restores of the
// current asset (1015-1018) and Help's "Check for Updates" (1505).
#pragma once

namespace kelvarn {

class TDispatcher;
class TMain;
class TProgramState;

// The restores first settle the frames' unsaved edits (each frame asks Yes/No/Cancel).
void RegisterBackupRows(TMain& main, TProgramState& state);
void RegisterUpdatesRow(TDispatcher& dispatcher, TProgramState& state);

}  // namespace kelvarn
