// The main window's row of the file reference check: "Verify Files..." (1706) on the current asset.
#pragma once

#include <functional>

namespace kelvarn {

class TDispatcher;
class TOutlineDocument;
struct TAssetCheck;

// Runs a check on the current asset with the outline frame's gauge (the outline frame's
// RunAssetCheck; src/app/ wires it).
using TAssetCheckRunner = std::function<void(const std::function<void(const TAssetCheck& check)>& run)>;

void RegisterFileCheckRows(TDispatcher& dispatcher, TAssetCheckRunner runner);

}  // namespace kelvarn
