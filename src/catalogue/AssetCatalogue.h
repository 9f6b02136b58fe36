// The asset list without its widget: the folders of the assets the user works on, their tags and
// edited marks, the selected item and the current asset, folder scans, the KUID index entries, and
// every operation of the list (remove, purge, sort, rename, delete). The Qt frame draws it and turns
// keys and clicks into these calls; the list tells the frame what changed through IAssetListEvents.
//
// Long scans call the events' Pump between folder entries (the frame processes pending input there)
// and stop when the user confirms "Cancel Folder Scan?" after Escape: a scan returns Cancelled as a
// value, and every operation that started it ends there. While a scan runs, operations that would
// pull the list from under it are refused with a beep.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace kelvarn {

class IEditorDialogs;
class TKuidMap;
class TProgramState;

struct TAssetEntry {
    std::string folder;  // the full folder path, native separators, no trailing separator
    bool tagged = false;
    bool edited = false;  // a file of the asset was saved in this run
};

enum class TScanResult { Done, Cancelled };
enum class TClearWhich { All, Tagged, Untagged };

// The command numbers and callbacks of the asset list.
inline constexpr int kAssetListGroup = 2100;
inline constexpr int kGaugeMaximum = 1000;

class IAssetListEvents {
public:
    virtual ~IAssetListEvents() = default;
    virtual void Reset() {}
    virtual void Inserted(int /*index*/) {}
    virtual void Removed(int /*index*/) {}
    // A check or edited mark changed; -1: any number of items.
    virtual void Changed(int /*index*/) {}
    virtual void SelectionChanged(int /*index*/) {}
    virtual void GaugeShown(bool /*shown*/) {}
    virtual void GaugeMoved(int /*position*/) {}
    virtual void Alert(const std::string& /*text*/, bool /*beep*/) {}
    virtual void CloseAlert() {}
    virtual void FocusList() {}
    // The folder monitors: a newly listed asset's parent folder joins them (the asset folder is
    // given); the whole set is rebuilt; the file monitor follows the current asset.
    virtual void MonitorFolderAdded(const std::string& /*folder*/) {}
    virtual void MonitorsRebuilt() {}
    virtual void WatchAssetFolder(const std::string& /*folder*/) {}
    // Lets the desktop process pending input during long work.
    virtual void Pump() {}
    // The outermost scan has ended (done or cancelled).
    virtual void ScanEnded() {}
};

class TAssetCatalogue {
public:
    TAssetCatalogue(TProgramState& state, TKuidMap& kuidMap);

    void SetEvents(IAssetListEvents* events);
    // Asks the viewers holding unsaved work on the current asset to save it (before another asset is
    // selected, a rename or a delete). False when a save failed: the work is still there, so the
    // current asset stays.
    std::function<bool()> AskSaveCurrent;
    // Can the simulator's utility be run (its content database is then taken as available)? Unset: no.
    std::function<bool()> IsConsoleOpen;
    // Queues a job of the simulator's utility with its argument; unset: nothing is queued.
    std::function<void(int job, const std::string& argument)> UtilityRequest;

    // --- items
    int Count() const { return static_cast<int>(entries_.size()); }
    const TAssetEntry& Entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    const std::vector<TAssetEntry>& Entries() const { return entries_; }
    int IndexOf(std::string_view folder) const;  // exact text; -1 when not listed
    bool Holds(std::string_view folder) const { return listed_.count(std::string(folder)) != 0; }
    int Selected() const { return selected_; }
    int CurrentIndex() const;  // the item of the current asset, -1 when none
    bool IsCurrent(int index) const;

    // --- the operations of the list
    void ClearAssetList();
    TScanResult AddDirectory(std::string_view folder);
    // AddDirectory for a request from outside (a second start's "-CMP folder"): while a scan runs the
    // folder waits, in order, and is added when the scan ends, unless the window closes first.
    void QueueDirectory(std::string_view folder);
    std::size_t QueuedDirectories() const { return queued_.size(); }
    TScanResult ScanFolder(std::string_view folder);
    // Adds one asset folder; true when it was added.
    bool AddAsset(std::string_view folder);
    void AddNewAsset(std::string_view folder);
    void AddClonedAsset(std::string_view folder);
    void SelectAsset(int index);
    int CountTagged();
    void ShowAssetCount();
    // The tagged folders; the current asset only with `includeCurrent`.
    std::vector<std::string> ListTaggedAssets(bool includeCurrent) const;
    void MarkAssetEdited(std::string_view folder);
    void ClearAssets(TClearWhich which);
    void PurgeAssets();
    void RenameAssetFolder(IEditorDialogs& dialogs);
    void DeleteAssetFolders(bool tagged);
    void SortAssets();
    void OpenDependency(std::string_view kuid);
    // With the utility available, queues its asset details of the KUID; otherwise does nothing.
    void RequestAssetDetails(std::string_view kuid);
    // The clipboard's file list: the tagged folders or the current asset go on it; its folders are
    // scanned in. A drop scans what was dropped (a dropped "config.txt" stands for its folder). Both
    // say in the alert strip how many assets were added.
    void CopyAssets(bool tagged);
    TScanResult PasteAssets();
    TScanResult DropAssets(const std::vector<std::string>& paths);
    // Removes every item whose folder begins with `prefix` at a separator (or is it); returns the
    // number removed.
    int RemoveBelow(std::string_view prefix);
    // Removes the items whose folder no longer exists; returns how many.
    int RemoveVanished();
    // After items went: a current asset whose folder is gone gives way to item 0 (callback 201), or
    // the list is cleared when empty (callback 200); a current asset still there is selected again.
    void SettleCurrent();
    // Lets the desktop process pending input (long work outside a scan).
    void Pump();
    // The folder monitors are rebuilt from the list.
    void RebuildMonitors();
    // The autoscan's add: no gauge, no checks beyond the listed test; the KUID index gets the entry.
    void InsertScanned(const std::string& folder);

    // --- sorting
    bool SortButtonDown() const { return sortDown_; }
    void SetSortButtonDown(bool down) { sortDown_ = down; }

    // --- tagging
    void SetTagged(int index, bool tagged);
    void ToggleTag(int index);
    void CheckAll(bool tagged);
    void InvertChecks();
    // Every item takes the opposite of the clicked item's check.
    void SetAllOpposite(int index);
    // The first item after the selected one whose folder name begins with `c` (ignoring case); -1 when
    // none (no wrap-around).
    int FindByFirstChar(char32_t c) const;

    // --- scans
    bool Scanning() const { return scanDepth_ > 0; }
    // Escape: the running scan asks whether to stop.
    void RequestScanCancel();
    // Ends the running scan without asking (the window closes); queued folders are dropped.
    void AbortScan() {
        abortScan_ = true;
        dropQueued_ = true;
    }
    // Beeps and answers true when a scan runs: the caller refuses its list-changing work.
    bool RefuseWhileScanning();
    // The gauge.
    int GaugePosition() const { return gauge_; }

private:
    void AdvanceGauge();
    bool ScanCancelled();
    void InsertEntry(TAssetEntry entry);
    void RemoveAt(int index);
    int InsertPosition(const std::string& folder) const;
    void Events(const std::function<void(IAssetListEvents&)>& call);
    TScanResult ScanTree(const std::string& folder, int depth);
    TScanResult ScanDropped(const std::vector<std::string>& paths, bool configToFolder);
    // The tagged folders, or the current asset's.
    std::vector<std::string> ChosenFolders(bool tagged) const;
    std::string BackupFolder() const;

    TProgramState& state_;
    TKuidMap& kuidMap_;
    IAssetListEvents* events_ = nullptr;
    std::vector<TAssetEntry> entries_;
    std::unordered_set<std::string> listed_;
    int selected_ = -1;
    bool sortDown_ = false;
    int gauge_ = 0;
    int scanDepth_ = 0;
    bool scanCancel_ = false;
    bool abortScan_ = false;
    bool cancelReported_ = false;
    std::string backupCache_;
    std::vector<std::string> queued_;
    bool dropQueued_ = false;
};

// The sort comparisons of SortAssets, over full folder paths (each compares the last components).
int CompareFolderNames(std::string_view a, std::string_view b);
int CompareNumericPrefix(std::string_view a, std::string_view b);
// The list's own order: full path ignoring case, then by case.
bool PathOrderBefore(std::string_view a, std::string_view b);
// Does `path` lie in `folder` (or is it)? The prefix must end at a separator or at the path's end.
bool PathBelow(std::string_view path, std::string_view folder, bool ignoreCase = false);
// Does the folder lie in an "editing" folder ("editing" after either separator)?
bool InEditingFolder(std::string_view folder);
// The asset's config.txt, found ignoring case; empty when there is none.
std::string AssetConfigFile(std::string_view folder);
// A folder as the list holds it: native separators, no trailing separator.
std::string ListFolder(std::string_view folder);

}  // namespace kelvarn
