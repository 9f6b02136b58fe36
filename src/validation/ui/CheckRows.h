// The dispatcher rows of the file, texture and image checks and repairs.
#pragma once

namespace kelvarn {

class TDispatcher;
class TOutlineDocument;
class TProgramState;

// 1222 "Repair Textures": mode "all" on the current asset, its report logged.
void RegisterRepairTexturesRow(TDispatcher& dispatcher, TProgramState& state, TOutlineDocument& outline);

}  // namespace kelvarn
