// The main menu's state rules as the program applies them: each group's facts gathered from the
// frames, the settings and the files, the states applied to the menu by object name.
#pragma once

namespace kelvarn {

class TAssetFrames;
class TMain;
class TOutlineView;
class TProgramState;

void ConnectMainMenuRules(TMain& main, TProgramState& state, TAssetFrames& assets, TOutlineView& outline);

}  // namespace kelvarn
