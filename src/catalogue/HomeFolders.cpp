#include "catalogue/HomeFolders.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kInstalledSection = "Installed";

std::int64_t LocalSeconds(const DateTime& t) {
    const std::int64_t ms = t.TotalMilliseconds();
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

bool FolderLess(const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); }

}  // namespace

std::string HomeFolderOf(const TMemIni& ini, int key) {
    return ini.ReadString(sections::Home, std::to_string(key), "");
}

bool HomeIsOff(const TMemIni& ini, int key) { return ini.ReadBool(sections::HomeState, std::to_string(key), false); }

std::vector<THomeEntry> ReadHomeEntries(const TMemIni& ini) {
    std::vector<THomeEntry> entries;
    for (int key = 1;; ++key) {
        std::string folder = HomeFolderOf(ini, key);
        if (folder.empty()) break;
        entries.push_back({key, std::move(folder), HomeIsOff(ini, key)});
    }
    return entries;
}

THomeLook HomePanelLook(const TMemIni& ini, int key) {
    if (HomeFolderOf(ini, key).empty()) return THomeLook::Hidden;
    return HomeIsOff(ini, key) ? THomeLook::Off : THomeLook::On;
}

std::string FormatInstalled(const DateTime& time) { return FormatDateTime("yyyy-mm-dd hh:nn:ss", time); }

std::optional<std::int64_t> ParseInstalled(std::string_view value) {
    const std::string text = Trim(value);
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    auto number = [&text](std::size_t at, std::size_t length, int& out) {
        long long v = 0;
        for (std::size_t i = at; i < at + length; ++i)
            if (text[i] < '0' || text[i] > '9') return false;
        if (!TryParseInt(text.substr(at, length), v)) return false;
        out = static_cast<int>(v);
        return true;
    };
    DateTime t;
    if (!number(0, 4, t.year) || !number(5, 2, t.month) || !number(8, 2, t.day) || !number(11, 2, t.hour) ||
        !number(14, 2, t.minute) || !number(17, 2, t.second) || !t.IsValid())
        return std::nullopt;
    return LocalSeconds(t);
}

std::int64_t NewestFileAge(const std::string& folder) {
    std::vector<std::string> files;
    FindFilesRecursive(JoinPath(folder, "*.*", '/'), "*.*", files);
    std::int64_t newest = 0;
    for (const std::string& file : files) {
        std::error_code ec;
        const auto written = fs::last_write_time(FsPath(file), ec);
        if (ec) continue;
        const auto system = std::chrono::file_clock::to_sys(written);
        const std::int64_t unix = std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
        newest = std::max(newest, LocalSeconds(LocalTimeFromUnix(unix)));
    }
    return newest;
}

TInstallLog::TInstallLog(std::string file) : file_(std::move(file)) {}

std::int64_t InstalledIn(const TMemIni& log, const std::string& folder) {
    return ParseInstalled(log.ReadString(kInstalledSection, folder, "")).value_or(0);
}

std::vector<std::string> SelectInstallCandidates(const TMemIni& log, const std::vector<std::string>& folders,
                                                 const std::function<std::int64_t(const std::string&)>& newestFileAge) {
    std::vector<std::string> candidates;
    for (const std::string& folder : folders)
        if (newestFileAge(folder) > InstalledIn(log, folder)) candidates.push_back(folder);
    return candidates;
}

TMemIni TInstallLog::Read() const { return TMemIni(NativePath(file_)); }

std::string TInstallLog::RecordInstalled(const std::vector<std::string>& folders, const DateTime& now) {
    ForceDirectories(ExtractFileDir(NativePath(file_)));
    TMemIni log(NativePath(file_));
    // A log that could not be read is not written over (the store would lose what it holds).
    if (log.FileProtected()) return log.LoadError();
    const std::string stamp = FormatInstalled(now);
    for (const std::string& folder : folders) {
        log.WriteString(kInstalledSection, folder, stamp);
        if (std::string error = log.UpdateFile(); !error.empty()) return error;
    }
    return {};
}

TAssetMonitorModel::TAssetMonitorModel(TProgramState& state, const TAssetCatalogue& catalogue)
    : state_(state), catalogue_(catalogue) {}

bool TAssetMonitorModel::Insert(const std::string& folder) {
    if (folder.empty()) return false;
    const auto at = std::lower_bound(folders_.begin(), folders_.end(), folder, FolderLess);
    if (at != folders_.end() && SameText(*at, folder)) return false;
    folders_.insert(at, folder);
    return true;
}

bool TAssetMonitorModel::Rebuild() {
    const std::vector<std::string> before = folders_;
    folders_.clear();
    for (const THomeEntry& home : ReadHomeEntries(state_.Settings()))
        if (!home.off) Insert(ListFolder(home.folder));
    for (const TAssetEntry& entry : catalogue_.Entries()) Insert(ExtractFileDir(entry.folder));
    return folders_ != before;
}

bool TAssetMonitorModel::AddParentOf(std::string_view folder) { return Insert(ExtractFileDir(ListFolder(folder))); }

std::vector<TAssetMonitorModel::TWatch> TAssetMonitorModel::WatchSet() const {
    std::vector<TWatch> set;
    for (const std::string& folder : folders_)
        if (DirectoryExists(folder)) set.push_back({folder, folder});
    for (const THomeEntry& home : ReadHomeEntries(state_.Settings())) {
        if (home.off) continue;
        const std::string root = ListFolder(home.folder);
        std::vector<std::string> subFolders;
        ListEntriesOfKind(JoinPath(root, "*", '/'), subFolders, true);
        for (const std::string& sub : subFolders)
            if (AssetConfigFile(sub).empty()) set.push_back({sub, root});
    }
    return set;
}

THomeFolders::THomeFolders(TProgramState& state, TAssetCatalogue& catalogue) : state_(state), catalogue_(catalogue) {}

TScanResult THomeFolders::LoadHomeFolders(int n) {
    if (catalogue_.RefuseWhileScanning()) return TScanResult::Cancelled;
    const TMemIni& ini = state_.Settings();
    TScanResult result = TScanResult::Done;
    if (n == 0) {
        const std::vector<THomeEntry> homes = ReadHomeEntries(ini);
        for (const THomeEntry& home : homes) {
            if (home.off || !DirectoryExists(home.folder)) continue;
            if (catalogue_.AddDirectory(home.folder) == TScanResult::Cancelled) return TScanResult::Cancelled;
        }
        homeCount_ = static_cast<int>(homes.size());
        if (ShowHomePanel) ShowHomePanel();
    } else if (n > 0) {
        const std::string folder = HomeFolderOf(ini, n);
        if (!folder.empty() && DirectoryExists(folder) && !HomeIsOff(ini, n)) {
            result = catalogue_.AddDirectory(folder);
            if (result == TScanResult::Cancelled) return result;
            ++homeCount_;
        }
    } else {
        const std::string folder = HomeFolderOf(ini, -n);
        if (!folder.empty()) catalogue_.RemoveBelow(folder);
        if (homeCount_ > 0) --homeCount_;
        if (catalogue_.Count() == 0)
            catalogue_.ClearAssetList();
        else if (catalogue_.Selected() < 0)
            catalogue_.SelectAsset(0);
    }
    catalogue_.CountTagged();
    catalogue_.ShowAssetCount();
    return result;
}

void THomeFolders::HomeClick(int key) {
    if (catalogue_.RefuseWhileScanning()) return;
    TMemIni& ini = state_.Settings();
    if (HomeFolderOf(ini, key).empty()) return;
    const bool off = !HomeIsOff(ini, key);
    ini.WriteBool(sections::HomeState, std::to_string(key), off);
    if (ShowHomePanel) ShowHomePanel();
    LoadHomeFolders(off ? -key : key);
}

std::string THomeFolders::InstallLogFile() const { return ExpandMacros(state_, "%bin%\\Install.Log"); }

std::vector<std::string> THomeFolders::InstallCandidates(int key, std::string& alert) const {
    alert.clear();
    const TMemIni& ini = state_.Settings();
    const std::string home = HomeFolderOf(ini, key);
    if (home.empty() || HomeIsOff(ini, key)) return {};
    if (ContainsStr(home, "editing")) {
        alert = "Cannot drag from this folder";
        return {};
    }
    const std::string root = ListFolder(home);
    std::vector<std::string> below;
    for (int i = catalogue_.Count() - 1; i >= 0; --i)
        if (PathBelow(catalogue_.Entry(i).folder, root)) below.push_back(catalogue_.Entry(i).folder);
    const std::vector<std::string> folders = SelectInstallCandidates(TInstallLog(InstallLogFile()).Read(), below, NewestFileAge);
    if (folders.empty()) alert = "Nothing to install";
    return folders;
}

void THomeFolders::AssetsDropped(const std::vector<std::string>& folders, bool copied) {
    if (!copied || folders.empty()) return;
    TInstallLog log(InstallLogFile());
    if (std::string error = log.RecordInstalled(folders, state_.Clock->Now()); !error.empty())
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
}

bool THomeFolders::AssetMonitorNotify(const std::string& changedFolder) {
    if (catalogue_.Scanning()) return false;
    const std::string current = state_.AssetPath();
    int changes = catalogue_.RemoveVanished();
    if (changes > 0 && !current.empty() && !DirectoryExists(current)) catalogue_.SettleCurrent();
    const std::string changed = ListFolder(changedFolder);
    for (const THomeEntry& home : ReadHomeEntries(state_.Settings()))
        if (SameText(ListFolder(home.folder), changed)) changes += AutoscanHomeFolder(home.folder);
    // Items went and came: the watched set follows the list (also when the count stayed the same).
    if (changes > 0) {
        catalogue_.RebuildMonitors();
        catalogue_.CountTagged();
        catalogue_.ShowAssetCount();
    }
    return true;
}

int THomeFolders::AutoscanHomeFolder(const std::string& home) {
    if (!ReadSettingBool(state_.Settings(), keys::Autoscan) || autoscanBusy_) return 0;
    autoscanBusy_ = true;
    state_.SendStatusText(stPanel0, "Assets: " + std::to_string(catalogue_.Count()));
    int added = 0;
    std::vector<std::string> subFolders;
    ListEntriesOfKind(JoinPath(ListFolder(home), "*", '/'), subFolders, true);
    for (const std::string& sub : subFolders) {
        catalogue_.Pump();
        const std::string folder = ListFolder(sub);
        if (catalogue_.Holds(folder) || AssetConfigFile(folder).empty()) continue;
        if (ContainsStr(ExtractFileName(folder), "copytemp")) continue;
        catalogue_.InsertScanned(folder);
        ++added;
        state_.SendStatusText(stPanel0, "Assets: " + std::to_string(catalogue_.Count()));
    }
    autoscanBusy_ = false;
    return added;
}

}  // namespace kelvarn
