// The trainz-build state: the build every check of an asset is judged against (the active build) and
// where it comes from: the asset's own trainz-build tag ("Current Asset"), the default build from the
// settings ("Default Build"), or one fixed build from the list of known builds. The Trainz-Build menu
// is a view of this state: its items, their captions and which one is checked.
//
// The state stays below the catalogue: callers pass whether an asset is shown and the value of its
// top-level trainz-build tag. Callers skip Refresh while the main window is closing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class TMemIni;
class TProgramState;

inline constexpr std::string_view kInvalidAssetBuild = "Asset trainz-build tag is invalid";

// A build text is known when, read as a build (0 when it is none) and written "0.0", it is a key of
// section Builds; the text is then replaced by that form ("2.50" becomes "2.5").
bool IsKnownBuild(const TMemIni& ini, std::string& text);
// Is a key of `Builds` a build written in the "0.0" form? Other keys are no build to choose: a
// build is looked up by that form, so "1e1" or "2.50" could never be known.
bool ReadsAsBuild(std::string_view key);

// The default build the settings give (Paths, Build) as it is written there. A value that reads as no
// build (empty, a word, 0) would judge every asset at build 0.0: the first-start default stands in for
// it, and `problem` (when given) says so; it is left empty when the value reads.
std::string DefaultBuildText(const TMemIni& ini, std::string* problem = nullptr);
// The build the settings name for the settings dialog, the setup check and the macros: as
// DefaultBuildText, but empty when none is written, so that the setup check asks for one.
std::string ChosenBuildText(const TMemIni& ini);

struct TKnownBuild {
    std::string Caption;  // the key, a blank and its value: "2.9 2009"
    std::int32_t Build = 0;
};

class TTrainzBuildState {
public:
    // The menu's items besides the known builds, which count from 0.
    static constexpr int kCurrentAsset = -2;
    static constexpr int kDefaultBuild = -1;

    explicit TTrainzBuildState(TProgramState& state) : state_(state) {}

    // BuildTrainzBuildMenu: the known builds in the order of section Builds, the menu caption from
    // the default build as written, and Default Build checked.
    void BuildMenu();
    // TrainzBuildMenuSelect: checks the item (a known build becomes the active build) and refreshes.
    // Returns the alert to show, empty for none.
    std::string Select(int item, bool assetShown, std::string_view assetTrainzBuild);
    // RefreshTrainzBuild: "Init" at start-up; empty after an asset was loaded or its config changed
    // and after a menu choice; any other reason is a build text to use under Current Asset. Sets the
    // active build and the captions, and sends the window caption. Returns the alert to show
    // ("Asset trainz-build tag is invalid"), empty for none.
    std::string Refresh(std::string_view reason, bool assetShown, std::string_view assetTrainzBuild);

    const std::vector<TKnownBuild>& KnownBuilds() const { return known_; }
    int Checked() const { return checked_; }
    const std::string& MenuCaption() const { return menuCaption_; }
    const std::string& CurrentAssetCaption() const { return currentAssetCaption_; }
    const std::string& DefaultBuildCaption() const { return defaultBuildCaption_; }

private:
    // The build of a text when it is known, else the default build and the alert.
    std::string TakeBuild(std::string text);

    TProgramState& state_;
    std::vector<TKnownBuild> known_;
    int checked_ = kDefaultBuild;
    std::string menuCaption_;
    std::string currentAssetCaption_ = "Current Asset";
    std::string defaultBuildCaption_ = "Default Build";
};

}  // namespace kelvarn
