// The menu rows that run the script engine's file and tool routines on the current asset: 1206
// Delete Obsolete Tags, 1223 Repair Audio, 1320 Meshwright and 1321 Texwright. Each takes an undo
// point of the config before it may change it and hands its message to the run's log (line 0).
#pragma once

namespace kelvarn {

class TDispatcher;
class TProgramState;
class TScriptEngine;

void RegisterScriptFileRows(TDispatcher& dispatcher, TProgramState& state, TScriptEngine& engine);

}  // namespace kelvarn
