#include "shell/TrainzBuild.h"

#include "shell/CommandBus.h"
#include "shell/MainMenuTable.h"
#include "shell/MemIni.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"

namespace kelvarn {

bool IsKnownBuild(const TMemIni& ini, std::string& text) {
    const std::string build = FormatBuild(ParseBuild(text));
    if (!ini.ValueExists(sections::Builds, build)) return false;
    text = build;
    return true;
}

bool ReadsAsBuild(std::string_view key) {
    // Only a key in the "0.0" form can be known: "1e1" or "2.50" would be looked up as "10.0" or "2.5".
    const std::int32_t build = ParseBuild(key);
    return build > 0 && FormatBuild(build) == key;
}

std::string DefaultBuildText(const TMemIni& ini, std::string* problem) {
    const std::string stored = ReadSetting(ini, keys::Build);
    // The stored default is read as a number ("3.50" is 3.5), unlike a key of Builds, which must be
    // written as it is looked up.
    double number = 0;
    if (TryParseDouble(Trim(RemoveChars(stored, "&")), number) && ParseBuild(stored) > 0) return stored;
    const std::string fallback(keys::Build.def);
    if (problem)
        *problem = (Trim(stored).empty() ? std::string("No default build is set")
                                         : "The default build \"" + stored + "\" is not a build number") +
                   " (" + std::string(keys::Build.key) + " in section " + std::string(keys::Build.section) + "): " +
                   fallback + " is used";
    return fallback;
}

std::string ChosenBuildText(const TMemIni& ini) {
    const std::string stored = ReadSetting(ini, keys::Build);
    return Trim(stored).empty() ? stored : DefaultBuildText(ini);
}

void TTrainzBuildState::BuildMenu() {
    const TMemIni& ini = state_.Settings();
    std::vector<std::string> lines;
    ini.ReadSectionValues(sections::Builds, lines);
    known_.clear();
    for (const std::string& line : lines) {
        const std::size_t eq = line.find('=');
        if (!ReadsAsBuild(line.substr(0, eq))) continue;
        const std::string caption = line.substr(0, eq) + " " + (eq == std::string::npos ? "" : line.substr(eq + 1));
        known_.push_back({caption, ParseBuild(caption.substr(0, caption.find(' ') + 1))});
    }
    menuCaption_ = TrainzBuildMenuCaption(ReadSetting(ini, keys::Build));
    checked_ = kDefaultBuild;
}

std::string TTrainzBuildState::Select(int item, bool assetShown, std::string_view assetTrainzBuild) {
    if (item != kCurrentAsset && item != kDefaultBuild && (item < 0 || item >= static_cast<int>(known_.size())))
        return {};
    checked_ = item;
    if (item >= 0) state_.SetActiveBuild(known_[static_cast<std::size_t>(item)].Build);
    return Refresh("", assetShown, assetTrainzBuild);
}

std::string TTrainzBuildState::TakeBuild(std::string text) {
    if (IsKnownBuild(state_.Settings(), text)) {
        state_.SetActiveBuild(ParseBuild(text));
        return {};
    }
    state_.SetActiveBuild(state_.DefaultBuild());
    return std::string(kInvalidAssetBuild);
}

std::string TTrainzBuildState::Refresh(std::string_view reason, bool assetShown, std::string_view assetTrainzBuild) {
    const bool init = reason == "Init";
    std::string unreadable;
    if (init) {
        const TMemIni& ini = state_.Settings();
        state_.SetDefaultBuild(ParseBuild(DefaultBuildText(ini, &unreadable)));
        defaultBuildCaption_ = "Default Build (" + FormatBuild(state_.DefaultBuild()) + ")";
        checked_ = ReadSettingBool(ini, keys::AssetBuild) ? kCurrentAsset : kDefaultBuild;
    }
    std::string alert;
    if (checked_ == kDefaultBuild) {
        state_.SetActiveBuild(state_.DefaultBuild());
    } else if (checked_ == kCurrentAsset && !init && !reason.empty()) {
        alert = TakeBuild(std::string(reason));
    } else if (checked_ == kCurrentAsset) {
        if (assetShown)
            alert = TakeBuild(std::string(assetTrainzBuild));
        else
            state_.SetActiveBuild(state_.DefaultBuild());
        currentAssetCaption_ = "Current Asset (" + FormatBuild(state_.ActiveBuild()) + ")";
    }
    menuCaption_ = TrainzBuildMenuCaption(FormatBuild(state_.ActiveBuild()));
    state_.SendStatusText(stCaption, state_.AssetPath());
    if (!unreadable.empty()) alert = alert.empty() ? unreadable : unreadable + "\n" + alert;
    return alert;
}

}  // namespace kelvarn
