// The table view's place in the main window: callback 224 (show CSV lines), command 1012 (save the
// grid), the context menu's commands 2701-2712 and group 2700's menu state. Commands act on the grid
// whose menu opened last, never on another one. src/app/ calls this once the windows exist.
#pragma once

namespace kelvarn {

class TGridView;
class TMain;

void ConnectGridView(TMain& main, TGridView& view);

}  // namespace kelvarn
