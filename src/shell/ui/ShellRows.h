// Main-menu rows the shell performs on its own services: the File menu's backups and restores of the
// current asset (1015-1018) and Help's "Check for Updates" (1505).
#pragma once

namespace kelvarn {

class TDispatcher;
class TProgramState;

void RegisterBackupRows(TDispatcher& dispatcher, TProgramState& state);
void RegisterUpdatesRow(TDispatcher& dispatcher, TProgramState& state);

}  // namespace kelvarn
