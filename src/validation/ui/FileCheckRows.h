// The main window's rows of the file checks and repairs on the current asset: "Verify Files..." (1706)
// and "Repair Textures" (1222).
#pragma once

#include <functional>

namespace kelvarn {

class TDispatcher;
class TOutlineDocument;
class TProgramState;
struct TAssetCheck;

// Runs a check on the current asset with the outline frame's gauge (the outline frame's
// RunAssetCheck; src/app/ wires it).
using TAssetCheckRunner = std::function<void(const std::function<void(const TAssetCheck& check)>& run)>;

void RegisterFileCheckRows(TDispatcher& dispatcher, TAssetCheckRunner runner);

// 1222 "Repair Textures": mode "all" on the current asset, its report logged.
void RegisterRepairTexturesRow(TDispatcher& dispatcher, TProgramState& state, TOutlineDocument& outline);

}  // namespace kelvarn
