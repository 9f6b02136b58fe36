#include "catalogue/AssetCatalogue.h"

#include <algorithm>
#include <filesystem>

#include "catalogue/EditorDialogs.h"
#include "catalogue/KuidLine.h"
#include "catalogue/KuidMap.h"
#include "catalogue/TaggedItems.h"
#include "catalogue/UtilityRunner.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxScanDepth = 256;  // deeper trees are not asset libraries

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

std::string FolderName(std::string_view folder) { return ExtractFileName(ExcludeTrailingSeparator(folder)); }

struct TFolderItem {
    std::string name;
    bool folder = false;
};

// The entries of a folder in name order; folder links are not folders here, so a link back to a
// parent cannot send the scan round in circles.
std::vector<TFolderItem> FolderItems(const std::string& folder) {
    std::vector<TFolderItem> items;
    std::error_code ec;
    fs::directory_iterator it(FsPath(folder), fs::directory_options::skip_permission_denied, ec);
    if (ec) return items;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code kind;
        const bool link = it->is_symlink(kind);
        const bool dir = !link && it->is_directory(kind);
        items.push_back({PathString(it->path().filename()), dir});
    }
    std::sort(items.begin(), items.end(), [](const TFolderItem& a, const TFolderItem& b) { return PathOrderBefore(a.name, b.name); });
    return items;
}

}  // namespace

std::string ListFolder(std::string_view folder) {
    std::string native = NativePath(folder);
    while (native.size() > 1 && IsPathSeparator(native.back())) native.pop_back();
    return native;
}

std::string AssetConfigFile(std::string_view folder) {
    if (folder.empty()) return {};
    const std::string exact = JoinPath(folder, "config.txt", '/');
    if (FileExists(exact)) return exact;
    const std::string found = FindFileIgnoreCase(folder, "config.txt");
    return !found.empty() && FileExists(found) ? found : std::string();
}

bool PathOrderBefore(std::string_view a, std::string_view b) {
    // A separator sorts before every character, so that a folder's contents stay together ("sub\x"
    // before "sub2\y").
    auto key = [](std::string_view text) {
        std::string k = LowerCase(text);
        for (char& c : k)
            if (IsPathSeparator(c)) c = '\x01';
        return k;
    };
    const std::string ka = key(a), kb = key(b);
    return ka != kb ? ka < kb : a < b;
}

bool PathBelow(std::string_view path, std::string_view folder, bool ignoreCase) {
    while (folder.size() > 1 && IsPathSeparator(folder.back())) folder.remove_suffix(1);
    if (folder.empty() || path.size() < folder.size()) return false;
    const std::string_view head = path.substr(0, folder.size());
    if (ignoreCase ? !SameText(head, folder) : head != folder) return false;
    return path.size() == folder.size() || IsPathSeparator(path[folder.size()]) || IsPathSeparator(folder.back());
}

bool InEditingFolder(std::string_view folder) {
    return ContainsStr(folder, "\\editing") || ContainsStr(folder, "/editing");
}

int CompareFolderNames(std::string_view a, std::string_view b) { return Sign(FolderName(a).compare(FolderName(b))); }

int CompareNumericPrefix(std::string_view a, std::string_view b) {
    const std::string na = FolderName(a), nb = FolderName(b);
    auto prefixLength = [](const std::string& s) {
        std::size_t n = 0;
        while (n < s.size() && s[n] >= '0' && s[n] <= '9') ++n;
        return n;
    };
    const std::size_t pa = prefixLength(na), pb = prefixLength(nb);
    if (pa == 0 && pb == 0) return Sign(na.compare(nb));
    if (pa > 0 && pb > 0) return Sign(na.substr(0, pa).compare(nb.substr(0, pb)));
    return pa > 0 ? 1 : -1;
}

TAssetCatalogue::TAssetCatalogue(TProgramState& state, TKuidMap& kuidMap) : state_(state), kuidMap_(kuidMap) {}

void TAssetCatalogue::SetEvents(IAssetListEvents* events) { events_ = events; }

void TAssetCatalogue::Events(const std::function<void(IAssetListEvents&)>& call) {
    if (events_) call(*events_);
}

int TAssetCatalogue::IndexOf(std::string_view folder) const {
    if (!listed_.count(std::string(folder))) return -1;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].folder == folder) return static_cast<int>(i);
    return -1;
}

int TAssetCatalogue::CurrentIndex() const { return state_.AssetPath().empty() ? -1 : IndexOf(state_.AssetPath()); }

bool TAssetCatalogue::IsCurrent(int index) const {
    return index >= 0 && index < Count() && !state_.AssetPath().empty() && Entry(index).folder == state_.AssetPath();
}

int TAssetCatalogue::InsertPosition(const std::string& folder) const {
    if (sortDown_) return Count();
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), folder,
                                     [](const TAssetEntry& e, const std::string& f) { return PathOrderBefore(e.folder, f); });
    return static_cast<int>(at - entries_.begin());
}

void TAssetCatalogue::InsertEntry(TAssetEntry entry) {
    const int at = InsertPosition(entry.folder);
    listed_.insert(entry.folder);
    entries_.insert(entries_.begin() + at, std::move(entry));
    if (selected_ >= at) ++selected_;
    Events([at](IAssetListEvents& e) { e.Inserted(at); });
}

void TAssetCatalogue::RemoveAt(int index) {
    listed_.erase(entries_[static_cast<std::size_t>(index)].folder);
    entries_.erase(entries_.begin() + index);
    if (selected_ == index) selected_ = -1;
    else if (selected_ > index) --selected_;
    Events([index](IAssetListEvents& e) { e.Removed(index); });
}

bool TAssetCatalogue::RefuseWhileScanning() {
    if (!Scanning()) return false;
    state_.Messages->Beep();
    return true;
}

void TAssetCatalogue::RequestScanCancel() {
    if (Scanning()) scanCancel_ = true;
}

void TAssetCatalogue::ClearAssetList() {
    entries_.clear();
    listed_.clear();
    selected_ = -1;
    Events([](IAssetListEvents& e) { e.Reset(); });
    sortDown_ = false;
    Events([](IAssetListEvents& e) { e.MonitorsRebuilt(); });
    state_.SetAssetPath("");
    state_.TaggedCount = 0;
    scanCancel_ = false;
    state_.SendCommand(ccNoAsset, "");
    Events([](IAssetListEvents& e) { e.CloseAlert(); });
    state_.SendStatusText(stPanel0, "");
}

void TAssetCatalogue::AdvanceGauge() {
    gauge_ = (gauge_ + 1) % kGaugeMaximum;
    Events([this](IAssetListEvents& e) { e.GaugeMoved(gauge_); });
}

std::string TAssetCatalogue::BackupFolder() const { return ListFolder(BackupFolderPath(state_)); }

TScanResult TAssetCatalogue::AddDirectory(std::string_view folder) {
    if (RefuseWhileScanning()) return TScanResult::Cancelled;
    gauge_ = 1;
    Events([](IAssetListEvents& e) { e.GaugeShown(true); });
    if (ScanFolder(folder) == TScanResult::Cancelled) return TScanResult::Cancelled;
    Events([](IAssetListEvents& e) { e.GaugeShown(false); });
    if (selected_ < 0 && !entries_.empty()) SelectAsset(0);
    ShowAssetCount();
    state_.SendCommand(kAssetListGroup, "");
    return TScanResult::Done;
}

void TAssetCatalogue::QueueDirectory(std::string_view folder) {
    if (Scanning()) {
        queued_.emplace_back(folder);
        return;
    }
    AddDirectory(folder);
}

TScanResult TAssetCatalogue::ScanFolder(std::string_view folder) {
    if (scanDepth_ == 0) {
        backupCache_ = BackupFolder();
        abortScan_ = false;
        cancelReported_ = false;
    }
    ++scanDepth_;
    const TScanResult result = ScanTree(ListFolder(folder), 0);
    --scanDepth_;
    if (scanDepth_ == 0) {
        abortScan_ = false;
        scanCancel_ = false;
        // The "Scanning: " text ends with the scan (a cancel has cleared it already), before an asset
        // the caller selects shows its own text there.
        if (!cancelReported_) state_.SendStatusText(stPanel2, "");
        Events([](IAssetListEvents& e) { e.ScanEnded(); });
        // Folders handed over during the scan, in the order they came.
        std::vector<std::string> waiting;
        waiting.swap(queued_);
        if (dropQueued_) waiting.clear();
        dropQueued_ = false;
        for (const std::string& next : waiting) AddDirectory(next);
    }
    return result;
}

TScanResult TAssetCatalogue::ScanTree(const std::string& folder, int depth) {
    AdvanceGauge();
    state_.SendStatusText(stPanel0, "Assets: " + std::to_string(Count()));
    state_.SendStatusText(stPanel2, "Scanning: " + folder);
    if (!AssetConfigFile(folder).empty()) {
        AddAsset(folder);
        return TScanResult::Done;
    }
    if (depth >= kMaxScanDepth) return TScanResult::Done;
    for (const TFolderItem& item : FolderItems(folder)) {
        Events([](IAssetListEvents& e) { e.Pump(); });
        if (ScanCancelled()) return TScanResult::Cancelled;
        if (!item.folder) continue;
        if (ScanTree(JoinPath(folder, item.name, '/'), depth + 1) == TScanResult::Cancelled) return TScanResult::Cancelled;
    }
    scanCancel_ = false;
    return TScanResult::Done;
}

bool TAssetCatalogue::ScanCancelled() {
    if (!abortScan_ && scanCancel_) {
        scanCancel_ = false;
        if (state_.Messages->AskYesNo("Cancel Folder Scan?", "")) abortScan_ = true;
    }
    if (!abortScan_) return false;
    // Every level of the scan unwinds from here; the caption, the status and the gauge are reset once.
    if (!cancelReported_) {
        cancelReported_ = true;
        state_.SendStatusText(stPanel2, "");
        state_.SendStatusText(stCaption, state_.AssetPath());
        Events([](IAssetListEvents& e) { e.GaugeShown(false); });
    }
    return true;
}

bool TAssetCatalogue::AddAsset(std::string_view folderText) {
    const std::string folder = ListFolder(folderText);
    if (folder.empty()) return false;
    const std::string backup = Scanning() ? backupCache_ : BackupFolder();
    if (!backup.empty() && PathBelow(folder, backup, true)) return false;
    if (Holds(folder)) return false;
    const std::string config = AssetConfigFile(folder);
    if (config.empty()) return false;
    AdvanceGauge();
    kuidMap_.Add(ReadKuidText(config), folder);
    InsertEntry({folder});
    Events([&folder](IAssetListEvents& e) { e.MonitorFolderAdded(folder); });
    Events([](IAssetListEvents& e) { e.Pump(); });
    return true;
}

void TAssetCatalogue::InsertScanned(const std::string& folderText) {
    const std::string folder = ListFolder(folderText);
    if (folder.empty() || Holds(folder)) return;
    InsertEntry({folder});
    kuidMap_.Add(ReadKuidText(AssetConfigFile(folder)), folder);
}

void TAssetCatalogue::AddNewAsset(std::string_view folderText) {
    const std::string folder = ListFolder(folderText);
    if (folder.empty()) return;
    // Listed already (a folder made again under its old name): it is selected, not listed twice.
    if (!Holds(folder)) InsertEntry({folder});
    SelectAsset(IndexOf(folder));
    Events([&folder](IAssetListEvents& e) { e.MonitorFolderAdded(folder); });
    CountTagged();
    ShowAssetCount();
}

void TAssetCatalogue::AddClonedAsset(std::string_view folder) {
    AddNewAsset(folder);
    state_.SendCommand(ccFinishClone, ListFolder(folder));
}

void TAssetCatalogue::SelectAsset(int index) {
    Events([](IAssetListEvents& e) { e.CloseAlert(); });
    if (index >= 0 && index < Count() && Entry(index).folder != state_.AssetPath() && !state_.AssetPath().empty() &&
        AskSaveCurrent && !AskSaveCurrent()) {
        // The edit could not be saved: leaving now would lose it.
        selected_ = IndexOf(state_.AssetPath());
        Events([this](IAssetListEvents& e) { e.SelectionChanged(selected_); });
        return;
    }
    selected_ = index >= 0 && index < Count() ? index : -1;
    Events([this](IAssetListEvents& e) { e.SelectionChanged(selected_); });
    if (selected_ >= 0 && Entry(selected_).folder == state_.AssetPath()) return;
    if (selected_ >= 0) {
        const std::string folder = Entry(selected_).folder;
        state_.SetAssetPath(folder);
        state_.SendCommand(ccSelectAsset, folder);
    }
    Events([](IAssetListEvents& e) { e.FocusList(); });
    state_.SendStatusText(stCaption, state_.AssetPath());
    const std::string current = state_.AssetPath();
    Events([&current](IAssetListEvents& e) { e.WatchAssetFolder(current); });
}

int TAssetCatalogue::CountTagged() {
    state_.TaggedCount = CountTags(entries_);
    return state_.TaggedCount;
}

void TAssetCatalogue::ShowAssetCount() {
    // Status target 2 is not cleared here: this runs after every click in the list, and the text there
    // is then the selected asset's thumbnail description or another frame's message.
    state_.SendStatusText(stPanel0, "Assets: " + std::to_string(state_.TaggedCount) + "/" + std::to_string(Count()));
}

std::vector<std::string> TAssetCatalogue::ListTaggedAssets(bool includeCurrent) const {
    std::vector<std::string> list;
    for (int i = 0; i < Count(); ++i)
        if (Entry(i).tagged && (includeCurrent || !IsCurrent(i))) list.push_back(Entry(i).folder);
    return list;
}

void TAssetCatalogue::MarkAssetEdited(std::string_view folder) {
    const int index = IndexOf(folder);
    if (index < 0) return;
    entries_[static_cast<std::size_t>(index)].edited = true;
    Events([index](IAssetListEvents& e) { e.Changed(index); });
}

void TAssetCatalogue::ClearAssets(TClearWhich which) {
    if (RefuseWhileScanning()) return;
    if (which == TClearWhich::All) {
        ClearAssetList();
    } else {
        const int before = Count();
        const bool wantTagged = which == TClearWhich::Tagged;
        for (int i = Count() - 1; i >= 0; --i) {
            if (Entry(i).tagged != wantTagged) continue;
            if (IsCurrent(i))
                Events([](IAssetListEvents& e) { e.Alert("Cannot remove current asset", true); });
            else
                RemoveAt(i);
        }
        if (Count() != before) Events([](IAssetListEvents& e) { e.MonitorsRebuilt(); });
    }
    CountTagged();
    ShowAssetCount();
}

void TAssetCatalogue::PurgeAssets() {
    if (RefuseWhileScanning()) return;
    const int before = Count();
    selected_ = -1;
    Events([](IAssetListEvents& e) { e.SelectionChanged(-1); });
    RemoveVanished();
    SettleCurrent();
    if (Count() != before) Events([](IAssetListEvents& e) { e.MonitorsRebuilt(); });
    CountTagged();
    ShowAssetCount();
}

int TAssetCatalogue::RemoveVanished() {
    int removed = 0;
    for (int i = Count() - 1; i >= 0; --i)
        if (!DirectoryExists(Entry(i).folder)) {
            RemoveAt(i);
            ++removed;
        }
    return removed;
}

void TAssetCatalogue::SettleCurrent() {
    const std::string current = state_.AssetPath();
    if (!current.empty() && DirectoryExists(current)) {
        SelectAsset(IndexOf(current));
    } else if (!entries_.empty()) {
        state_.SetAssetPath("");
        SelectAsset(0);
    } else {
        ClearAssetList();
    }
}

void TAssetCatalogue::Pump() {
    Events([](IAssetListEvents& e) { e.Pump(); });
}

void TAssetCatalogue::RebuildMonitors() {
    Events([](IAssetListEvents& e) { e.MonitorsRebuilt(); });
}

int TAssetCatalogue::RemoveBelow(std::string_view prefix) {
    const std::string folder = ListFolder(prefix);
    int removed = 0;
    for (int i = Count() - 1; i >= 0; --i)
        if (PathBelow(Entry(i).folder, folder)) {
            RemoveAt(i);
            ++removed;
        }
    return removed;
}

void TAssetCatalogue::RenameAssetFolder(IEditorDialogs& dialogs) {
    if (RefuseWhileScanning()) return;
    const std::string folder = state_.AssetPath();
    const int index = IndexOf(folder);
    if (folder.empty() || index < 0) return;
    if (AskSaveCurrent && !AskSaveCurrent()) return;
    const std::string name = FolderName(folder);
    const std::optional<std::string> typed = dialogs.InputLine("Rename Asset Folder", "New Name:", name, ShortenedPath(folder));
    if (!typed || *typed == name) return;
    if (std::string refused = CheckNewName(*typed); !refused.empty()) {
        state_.Messages->ShowMessage(refused, "Rename Asset Folder", MessageKind::Warning);
        return;
    }
    const std::string renamed = JoinPath(ExtractFileDir(folder), *typed, '/');
    if (std::string error = RenameNoReplace(folder, renamed); !error.empty()) {
        state_.Messages->ShowMessage(error, "Rename Asset Folder", MessageKind::Error);
        return;
    }
    // The asset keeps its KUID under its new name, so lookups still find it.
    kuidMap_.Add(ReadKuidText(AssetConfigFile(renamed)), renamed);
    const TAssetEntry entry{renamed, Entry(index).tagged, Entry(index).edited};
    RemoveAt(index);
    InsertEntry(entry);
    SelectAsset(IndexOf(renamed));
}

std::vector<std::string> TAssetCatalogue::ChosenFolders(bool tagged) const {
    if (!tagged) return state_.AssetPath().empty() ? std::vector<std::string>() : std::vector<std::string>{state_.AssetPath()};
    std::vector<std::string> folders;
    for (const TAssetEntry& e : entries_)
        if (e.tagged) folders.push_back(e.folder);
    return folders;
}

void TAssetCatalogue::DeleteAssetFolders(bool tagged) {
    if (RefuseWhileScanning()) return;
    const std::vector<std::string> folders = ChosenFolders(tagged);
    if (folders.empty()) return;
    std::vector<std::string> allowed, refused;
    for (const std::string& f : folders) (InEditingFolder(f) ? allowed : refused).push_back(f);
    if (!refused.empty()) {
        std::string text = "Only asset folders inside an editing folder can be deleted. These stay:";
        for (const std::string& f : refused) text += "\n" + f;
        state_.Messages->ShowMessage(text, "Delete", MessageKind::Warning);
    }
    if (allowed.empty()) return;
    if (AskSaveCurrent && std::find(allowed.begin(), allowed.end(), state_.AssetPath()) != allowed.end() &&
        !AskSaveCurrent())
        return;
    std::string question = allowed.size() == 1 ? "Delete the asset folder (it goes to the trash)?\n"
                                               : "Delete these " + std::to_string(allowed.size()) +
                                                     " asset folders (they go to the trash)?\n";
    for (const std::string& f : allowed) question += "\n" + f;
    if (!state_.Messages->AskYesNo(question, "Delete")) return;
    std::string failures;
    for (const std::string& f : allowed)
        if (std::string error = state_.Trash->MoveToTrash(f); !error.empty()) failures += "\n" + error;
    if (!failures.empty())
        state_.Messages->ShowMessage("Not deleted (kept where it is):" + failures, "Delete", MessageKind::Error);
    PurgeAssets();
}

void TAssetCatalogue::SortAssets() {
    if (RefuseWhileScanning()) return;
    if (sortDown_) {
        const bool numeric = ReadSettingBool(state_.Settings(), keys::CMPSort);
        std::stable_sort(entries_.begin(), entries_.end(), [numeric](const TAssetEntry& a, const TAssetEntry& b) {
            return (numeric ? CompareNumericPrefix(a.folder, b.folder) : CompareFolderNames(a.folder, b.folder)) < 0;
        });
    } else {
        std::stable_sort(entries_.begin(), entries_.end(),
                         [](const TAssetEntry& a, const TAssetEntry& b) { return PathOrderBefore(a.folder, b.folder); });
    }
    selected_ = -1;
    Events([](IAssetListEvents& e) { e.Reset(); });
    CountTagged();
    SelectAsset(CurrentIndex());
}

void TAssetCatalogue::OpenDependency(std::string_view kuid) {
    std::string folder;
    if (FindAssetByKuid(kuidMap_, kuid, folder)) {
        const int index = IndexOf(folder);
        if (index >= 0) {
            SelectAsset(index);
            return;
        }
    }
    if (IsConsoleOpen && IsConsoleOpen()) {
        // The utility finds the asset's folder, opens it for editing and the list scans it in.
        if (UtilityRequest) UtilityRequest(tjOpenForEditing, std::string(kuid));
        return;
    }
    state_.SendCommand(ccAlert, "Asset not currently available");
}

void TAssetCatalogue::RequestAssetDetails(std::string_view kuid) {
    if (IsConsoleOpen && IsConsoleOpen() && UtilityRequest) UtilityRequest(tjAssetDetails, std::string(kuid));
}

void TAssetCatalogue::CopyAssets(bool tagged) {
    const std::vector<std::string> folders = ChosenFolders(tagged);
    if (!folders.empty() && state_.Clipboard->CopyFiles(ClipboardFileList(folders))) state_.ClipboardSource = "AssetList";
}

TScanResult TAssetCatalogue::PasteAssets() { return ScanDropped(state_.Clipboard->PasteFiles(), false); }

TScanResult TAssetCatalogue::DropAssets(const std::vector<std::string>& paths) { return ScanDropped(paths, true); }

TScanResult TAssetCatalogue::ScanDropped(const std::vector<std::string>& paths, bool configToFolder) {
    if (RefuseWhileScanning()) return TScanResult::Cancelled;
    const int before = Count();
    Events([](IAssetListEvents& e) { e.GaugeShown(true); });
    for (const std::string& dropped : paths) {
        const std::string path = configToFolder && ExtractFileName(dropped) == "config.txt" ? ExtractFileDir(dropped) : dropped;
        if (ScanFolder(path) == TScanResult::Cancelled) return TScanResult::Cancelled;
    }
    Events([](IAssetListEvents& e) { e.GaugeShown(false); });
    SortAssets();
    ShowAssetCount();
    const int added = Count() - before;
    const std::string text = added > 0 ? std::to_string(added) + " new asset(s) loaded" : "No new assets";
    Events([&text](IAssetListEvents& e) { e.Alert(text, false); });
    return TScanResult::Done;
}

void TAssetCatalogue::SetTagged(int index, bool tagged) {
    if (index < 0 || index >= Count()) return;
    entries_[static_cast<std::size_t>(index)].tagged = tagged;
    Events([index](IAssetListEvents& e) { e.Changed(index); });
}

void TAssetCatalogue::ToggleTag(int index) {
    if (index >= 0 && index < Count()) SetTagged(index, !Entry(index).tagged);
}

void TAssetCatalogue::CheckAll(bool tagged) {
    SetAllTags(entries_, tagged);
    Events([](IAssetListEvents& e) { e.Changed(-1); });
}

void TAssetCatalogue::InvertChecks() {
    InvertTags(entries_);
    Events([](IAssetListEvents& e) { e.Changed(-1); });
}

void TAssetCatalogue::SetAllOpposite(int index) {
    if (index < 0 || index >= Count()) return;
    CheckAll(!Entry(index).tagged);
}

int TAssetCatalogue::FindByFirstChar(char32_t c) const {
    return FindItemByFirstChar(entries_, selected_, c, [](const TAssetEntry& e) { return FolderName(e.folder); });
}

}  // namespace kelvarn
