// The Trainz-Build menu: a view of the trainz-build state (which build the checks judge an asset
// against, and where it comes from), rebuilt from that state after every change.
#pragma once

#include <functional>
#include <string>

#include "shell/TrainzBuild.h"

class QMenu;

namespace kelvarn {

class TMain;

struct TTrainzBuildSources {
    // Whether an asset is shown, and the value of its top-level trainz-build tag.
    std::function<bool()> AssetShown;
    std::function<std::string()> AssetTrainzBuild;
    // Where "Asset trainz-build tag is invalid" is shown (the outline's alert strip).
    std::function<void(const std::string&)> Alert;
};

// Fills the main window's Trainz-Build menu, answers its clicks and sets the window's
// RefreshTrainzBuild, which the start-up, asset loads and config edits call.
void ConnectTrainzBuildMenu(TMain& main, TTrainzBuildState& builds, TTrainzBuildSources sources);

}  // namespace kelvarn
