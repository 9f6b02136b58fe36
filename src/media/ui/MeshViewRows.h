// The mesh view's and the point selector's place in the main window: the ".im"/".pm" branch of showing
// a file (the header check first: a refused file's message goes to the file list's alert), callbacks
// 252 and 253, the rows of commands 2650-2666 and 2690-2694, and group 2600's menu state. src/app/
// calls this once the windows exist.
#pragma once

#include <string>

namespace kelvarn {

class TColourBox;
class TMain;
class TMeshView;
class TProgramState;
class TSelector;

void ConnectMeshView(TMain& main, TProgramState& state, TMeshView& view, TSelector& selector,
                     TColourBox* colourBox);

}  // namespace kelvarn
