// The text report library's reports on screen, and the command-bus rows that ask it: the mesh view's
// "View as Text", a ".kin" file shown as text, the image-size and texture-problem queries and the
// report call of scripts. Connected once from src/app/.
#pragma once

#include <string>

namespace kelvarn {

class ITextViewer;
class TMain;
class TProgramState;
class TViewer;

// Runs report `op` on the current asset file. More than 20 lines show in the viewer window under the
// caption with a "Close" button; fewer in the alert strip of the image view (12, 14) or of the mesh
// view (the others), under the upper-cased caption. A report that fails shows nothing.
void ShowTextReport(TMain& main, TProgramState& state, TViewer& viewer, int op, const std::string& caption);

// Shows the file's chunk dump in the text view; false, leaving the view as it was, when there is none.
bool ShowBinaryAsText(TProgramState& state, ITextViewer& text, const std::string& path);

// Registers callbacks 237, 238 and 247, the ".kin" branch of callback 220 and command 2651.
void ConnectTextReports(TMain& main, TProgramState& state, TViewer& viewer);

}  // namespace kelvarn
