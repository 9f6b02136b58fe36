// Callback 221, after an asset is selected: the asset's thumbnail shows in the image view, its
// description in status panel 2; an asset without one brings the text view to the front.
#pragma once

namespace kelvarn {

class TMain;
class TProgramState;

void RegisterShowPreview(TMain& main, TProgramState& state);

}  // namespace kelvarn
