// Home folders, the install log and the asset monitor's folder set, without widgets: what keeps the
// asset list filled and in step with the disc.
//
// Home folders are settings section "Home" (keys "1", "2", ... up to the first empty one) and
// "HomeState" ("1" = switched off). The install log "%bin%\Install.Log" records, per asset folder,
// when it was last dragged out for installing; a drag takes only the assets changed since.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/AssetCatalogue.h"
#include "shell/Clock.h"

namespace kelvarn {

class TMemIni;
class TProgramState;

inline constexpr int kHomePanels = 5;

struct THomeEntry {
    int key = 0;
    std::string folder;  // as written in the settings
    bool off = false;
};
// The home entries from key 1 up to the first empty one.
std::vector<THomeEntry> ReadHomeEntries(const TMemIni& ini);
std::string HomeFolderOf(const TMemIni& ini, int key);
bool HomeIsOff(const TMemIni& ini, int key);

// How a home panel looks: hidden without a folder, else on or off (the folder is its hint).
enum class THomeLook { Hidden, On, Off };
THomeLook HomePanelLook(const TMemIni& ini, int key);

// "Installed" values: "yyyy-mm-dd hh:nn:ss", whatever the desktop's locale. Times are compared as
// whole seconds of local time; an unreadable value counts as never installed.
std::string FormatInstalled(const DateTime& time);
std::optional<std::int64_t> ParseInstalled(std::string_view value);
// The newest last-write time (whole seconds of local time) of the files below the folder; 0 when
// there are none.
std::int64_t NewestFileAge(const std::string& folder);

// When a folder was last installed by the log's "Installed" section; 0 when never (or unreadable).
std::int64_t InstalledIn(const TMemIni& log, const std::string& folder);
// The folders (in the order given) whose newest file is later than their last install.
std::vector<std::string> SelectInstallCandidates(const TMemIni& log, const std::vector<std::string>& folders,
                                                 const std::function<std::int64_t(const std::string&)>& newestFileAge);

class TInstallLog {
public:
    explicit TInstallLog(std::string file);
    // The log as it is on the disc now.
    TMemIni Read() const;
    // Writes "Installed" = `now` for each folder, each write flushed to the disc at once. Returns the
    // first failure's message, empty on success.
    std::string RecordInstalled(const std::vector<std::string>& folders, const DateTime& now);
    const std::string& File() const { return file_; }

private:
    std::string file_;
};

// The asset monitor's folder list: the active home folders and the parent folder of every listed
// asset, sorted, without duplicates (compared ignoring case), each kept as it is on disc.
class TAssetMonitorModel {
public:
    TAssetMonitorModel(TProgramState& state, const TAssetCatalogue& catalogue);
    // Rebuilds the list; true when it changed.
    bool Rebuild();
    // Adds a folder's parent; true when it was not in the list yet.
    bool AddParentOf(std::string_view folder);
    const std::vector<std::string>& Folders() const { return folders_; }

    // What the monitor watches: every folder of the list, and the first-level sub-folders of active
    // home folders that still lack a config.txt (a copy into a home fills them later). An event in a
    // watched path counts as a change of its root.
    struct TWatch {
        std::string path;
        std::string root;
    };
    std::vector<TWatch> WatchSet() const;

private:
    bool Insert(const std::string& folder);

    TProgramState& state_;
    const TAssetCatalogue& catalogue_;
    std::vector<std::string> folders_;
};

class THomeFolders {
public:
    THomeFolders(TProgramState& state, TAssetCatalogue& catalogue);

    // The panels' looks changed (the frame repaints them and rebuilds the monitors).
    std::function<void()> ShowHomePanel;

    int HomeCount() const { return homeCount_; }
    // 0: load every active home folder; n > 0: switch home folder n on; n < 0: switch -n off.
    TScanResult LoadHomeFolders(int n);
    // A click on panel `key`: switches its home folder on or off.
    void HomeClick(int key);

    // The install drag: the listed assets below home folder `key` changed since their last install.
    // Empty with `alert` set when nothing is dragged.
    std::vector<std::string> InstallCandidates(int key, std::string& alert) const;
    // After a drag: a copy records the install time of every dragged folder; any other end writes
    // nothing.
    void AssetsDropped(const std::vector<std::string>& folders, bool copied);
    std::string InstallLogFile() const;

    // A change reported by the asset monitor for `changedFolder` (a watched root). False when a scan
    // runs: the caller tries again later.
    bool AssetMonitorNotify(const std::string& changedFolder);
    // Adds the new asset folders one level below a home folder; returns how many.
    int AutoscanHomeFolder(const std::string& home);
    bool AutoscanBusy() const { return autoscanBusy_; }

private:
    TProgramState& state_;
    TAssetCatalogue& catalogue_;
    int homeCount_ = 0;
    bool autoscanBusy_ = false;
};

}  // namespace kelvarn
