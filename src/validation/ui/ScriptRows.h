// The menu rows that run the script engine's file and tool routines on the current asset: 1206
// Delete Obsolete Tags, 1223 Repair Audio, 1320 Meshwright and 1321 Texwright. Each takes an undo
// point of the config before it may change it and hands its message to the run's log (line 0).
#pragma once

namespace kelvarn {

class TDispatcher;
class TProgramState;
class TScriptEngine;

void RegisterScriptFileRows(TDispatcher& dispatcher, TProgramState& state, TScriptEngine& engine);

// The rows of the table builders and config repairs (Repair and Tools menus, Add User Tags and
// Mandatory Tags), the same way: an undo point, then the routine on the current asset, its message
// logged.
void RegisterBuilderRows(TDispatcher& dispatcher, TProgramState& state, TScriptEngine& engine);

}  // namespace kelvarn
