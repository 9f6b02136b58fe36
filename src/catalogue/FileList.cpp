#include "catalogue/FileList.h"

#include <algorithm>
#include <unordered_set>

#include "catalogue/AssetCatalogue.h"
#include "catalogue/EditorDialogs.h"
#include "catalogue/TaggedItems.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

const std::vector<std::string> kMaskEntries = {"*.*", "images", "meshes", "configs"};

std::string Backslashed(std::string_view path) { return ReplaceChar(path, '/', '\\'); }

bool ItemBefore(const TFileItem& a, const std::string& text) { return PathOrderBefore(a.text, text); }

}  // namespace

std::string TranslateMask(std::string_view entry) {
    if (entry == "images") return "*.bmp;*.jpg;*.tga";
    if (entry == "meshes") return "*.im;*.pm;*.lm.txt";
    if (entry == "configs") return "*config*";
    return std::string(entry);
}

bool FileMaskMatches(std::string_view name, std::string_view mask) {
    if (mask == "*.*") return true;
    for (const std::string& piece : SplitString(mask, ";")) {
        const std::string m = Trim(piece);
        if (!m.empty() && MaskMatches(m, name)) return true;
    }
    return false;
}

std::vector<std::string> FindMaskedFiles(const std::string& folder, std::string_view mask, bool recurse) {
    std::vector<std::string> found, files;
    FindFiles(JoinPath(folder, "*.*", '/'), "*.*", found, recurse);
    for (std::string& path : found)
        if (FileExists(path) && FileMaskMatches(ExtractFileName(path), mask)) files.push_back(std::move(path));
    return files;
}

std::string RelativeItemPath(std::string_view path, std::string_view folder) {
    const std::string base = ExcludeTrailingSeparator(folder);
    if (!base.empty() && path.size() > base.size() && SameText(path.substr(0, base.size()), base) &&
        IsPathSeparator(path[base.size()]))
        return Backslashed(path.substr(base.size() + 1));
    return Backslashed(path);
}

std::vector<std::string> FolderEntriesOf(const std::vector<std::string>& relativePaths) {
    std::vector<std::string> folders;
    for (const std::string& path : relativePaths) {
        std::size_t at = path.find('\\');
        while (at != std::string::npos) {
            folders.push_back(path.substr(0, at + 1));
            at = path.find('\\', at + 1);
        }
    }
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) { return PathOrderBefore(a, b); });
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

std::string FreeNameBeside(const std::string& path) {
    const std::string folder = ExtractFileDir(path);
    const std::string name = ExtractFileName(path);
    // "a.texture.txt" becomes "a (2).texture.txt": the number goes before the first dot of the name.
    const std::size_t dot = name.find('.', 1);
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string tail = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 2;; ++n) {
        const std::string candidate = JoinPath(folder, stem + " (" + std::to_string(n) + ")" + tail, '/');
        if (!EntryExists(candidate)) return candidate;
    }
}

std::string PasteFilesInto(const std::string& folder, const std::vector<std::string>& files) {
    std::string failures;
    for (const std::string& file : files) {
        if (!FileExists(file)) continue;  // folders and vanished files are not pasted
        std::string target = JoinPath(folder, ExtractFileName(NativePath(file)), '/');
        // A paste makes a new file and replaces nothing: a link in the asset folder, even one that
        // names nothing, keeps its name, and nothing is written through it.
        if (EntryExists(target)) target = FreeNameBeside(target);
        if (std::string error = CopyFileNoReplace(file, target); !error.empty()) failures += (failures.empty() ? "" : "\n") + error;
    }
    return failures;
}

TFileList::TFileList(TProgramState& state) : state_(state), masks_(kMaskEntries) {}

void TFileList::Events(const std::function<void(IFileListEvents&)>& call) {
    if (events_) call(*events_);
}

int TFileList::IndexOf(std::string_view text) const {
    for (int i = 0; i < Count(); ++i)
        if (Item(i).text == text) return i;
    return -1;
}

bool TFileList::HasCurrentFile() const { return !state_.AssetFileName().empty(); }

std::string TFileList::MaskText() const {
    if (maskIndex_ < 0 || maskIndex_ >= static_cast<int>(masks_.size())) return typedMask_;
    return masks_[static_cast<std::size_t>(maskIndex_)];
}

void TFileList::SelectMask(int index) {
    maskIndex_ = index >= 0 && index < static_cast<int>(masks_.size()) ? index : 0;
    typedMask_.clear();
    Events([](IFileListEvents& e) { e.CombosChanged(); });
}

void TFileList::SetTypedMask(const std::string& text) {
    const auto entry = std::find(masks_.begin(), masks_.end(), text);
    if (entry != masks_.end()) return SelectMask(static_cast<int>(entry - masks_.begin()));
    maskIndex_ = -1;
    typedMask_ = text;
    Events([](IFileListEvents& e) { e.CombosChanged(); });
}

void TFileList::SelectFolder(int index) {
    folderIndex_ = index >= 0 && index < static_cast<int>(folders_.size()) ? index : 0;
    Events([](IFileListEvents& e) { e.CombosChanged(); });
}

std::string TFileList::FolderEntry() const {
    if (folderIndex_ < 2 || folderIndex_ >= static_cast<int>(folders_.size())) return {};
    return folders_[static_cast<std::size_t>(folderIndex_)];
}

void TFileList::InsertItem(TFileItem item) {
    const auto at = std::lower_bound(items_.begin(), items_.end(), item.text, ItemBefore);
    const int index = static_cast<int>(at - items_.begin());
    items_.insert(at, std::move(item));
    if (selected_ >= index) ++selected_;
    Events([index](IFileListEvents& e) { e.Inserted(index); });
}

void TFileList::RemoveAt(int index) {
    items_.erase(items_.begin() + index);
    if (selected_ == index) selected_ = -1;
    else if (selected_ > index) --selected_;
    Events([index](IFileListEvents& e) { e.Removed(index); });
}

void TFileList::InitFileView() {
    SelectMask(static_cast<int>(ReadSettingInt(state_.Settings(), keys::FileMask)));
    state_.SetFileListMask(TranslateMask(MaskText()));
    state_.FileCount = 0;
    ClearFileView();
}

void TFileList::ClearFileView() {
    items_.clear();
    selected_ = -1;
    Events([](IFileListEvents& e) { e.Reset(); });
    state_.SetAssetFileName("");
    Events([](IFileListEvents& e) { e.CloseAlert(); });
    state_.FileCount = 0;
    state_.SendStatusText(stPanel1, "Files: 0");
    state_.SendCommand(kFileListGroup, "");
}

void TFileList::LoadFileList(const std::string& assetFolder) {
    const std::string folder = ListFolder(assetFolder);
    std::vector<std::string> all;
    if (!folder.empty() && DirectoryExists(folder)) FindFiles(JoinPath(folder, "*.*", '/'), "*.*", all, true);
    const auto configs = std::count_if(all.begin(), all.end(), [](const std::string& p) { return SameText(ExtractFileName(p), "config.txt"); });
    if (configs > 1)
        state_.Messages->ShowMessage(folder + "\n\nThis asset folder contains multiple config.txt \nfiles. This may signify that the folder being \nparsed is not a valid asset.  Please check.",
                                     "", MessageKind::Warning);
    const std::string mask = state_.FileListMask().empty() ? std::string("*.*") : state_.FileListMask();
    std::vector<std::string> relative;
    for (const std::string& path : all)
        if (FileExists(path) && FileMaskMatches(ExtractFileName(path), mask)) relative.push_back(RelativeItemPath(path, folder));

    items_.clear();
    for (std::string& text : relative) items_.push_back({std::move(text)});
    std::sort(items_.begin(), items_.end(), [](const TFileItem& a, const TFileItem& b) { return PathOrderBefore(a.text, b.text); });
    selected_ = -1;
    Events([](IFileListEvents& e) { e.Reset(); });
    folders_ = {std::string(kAllFolders), std::string(kRootFolder)};
    if (!(ScriptMode && ScriptMode())) {
        std::vector<std::string> texts;
        for (const TFileItem& item : items_) texts.push_back(item.text);
        for (std::string& entry : FolderEntriesOf(texts)) folders_.push_back(std::move(entry));
    }
    folderIndex_ = 0;
    Events([](IFileListEvents& e) { e.CombosChanged(); });
    // A folder without files has no current file: nothing of the previous asset stays named.
    state_.SetAssetFileName("");
    SetCurrentFile(0);
    state_.SendCommand(kFileListGroup, "");
    CountTaggedFiles();
    ShowFileCount();
}

void TFileList::LoadFolderList(const std::string& folderEntry, bool allFolders) {
    const std::string asset = ListFolder(state_.AssetPath());
    std::vector<std::string> found;
    const std::string base = folderEntry.empty() ? asset : JoinPath(asset, NativePath(folderEntry), '/');
    if (!asset.empty() && DirectoryExists(base)) {
        const std::string mask = state_.FileListMask().empty() ? std::string("*.*") : state_.FileListMask();
        for (const std::string& path : FindMaskedFiles(ListFolder(base), mask, allFolders))
            found.push_back(RelativeItemPath(path, ListFolder(base)));
    }
    const std::unordered_set<std::string> present(found.begin(), found.end());
    for (int i = Count() - 1; i >= 0; --i)
        if (!present.count(Item(i).text)) RemoveAt(i);
    std::unordered_set<std::string> listed;
    for (const TFileItem& item : items_) listed.insert(item.text);
    for (std::string& text : found)
        if (!listed.count(text)) InsertItem({std::move(text)});
    CountTaggedFiles();
    ShowFileCount();
}

std::string TFileList::FileItemPath(std::string_view itemText) const {
    if (folderIndex_ < 2) return std::string(itemText);
    return FolderEntry() + std::string(itemText);
}

void TFileList::FileMaskChange() {
    state_.SetFileListMask(TranslateMask(MaskText()));
    TMemIni& ini = state_.Settings();
    WriteSettingInt(ini, keys::FileMask, ReadSettingBool(ini, keys::SaveMask) && maskIndex_ >= 0 ? maskIndex_ : 0);
    if (std::string error = ini.UpdateFile(); !error.empty() && !ini.FileName().empty())
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
    LoadFolderList(FolderEntry(), AllFolders());
    if (items_.empty()) {
        selected_ = -1;
        state_.SetAssetFileName("");
        Events([](IFileListEvents& e) { e.SelectionChanged(-1); });
    }
    SetCurrentFile(0);
    ShowFileCount();
}

void TFileList::SetCurrentFile(int index) {
    Events([](IFileListEvents& e) { e.CloseAlert(); });
    if (items_.empty() || index < 0 || index >= Count()) return;
    state_.SetAssetFileName(FileItemPath(Item(index).text));
    selected_ = index;
    Events([index](IFileListEvents& e) { e.SelectionChanged(index); });
}

void TFileList::ShowSelectedFile(bool show) {
    if (show) state_.SendCommand(ccShowFile, state_.AssetPathFile());
}

int TFileList::CountTaggedFiles() {
    state_.FileCount = CountTags(items_);
    return state_.FileCount;
}

void TFileList::ShowFileCount() {
    state_.SendStatusText(stPanel1, items_.empty() ? std::string()
                                                   : "Files: " + std::to_string(state_.FileCount) + "/" + std::to_string(Count()));
}

void TFileList::MarkFileEdited(std::string_view itemText) {
    const int index = IndexOf(itemText);
    if (index < 0) return;
    items_[static_cast<std::size_t>(index)].edited = true;
    Events([index](IFileListEvents& e) { e.Changed(index); });
}

void TFileList::MarkSavedFile(std::string_view relative) {
    const std::string wanted = Backslashed(relative);
    for (int i = 0; i < Count(); ++i)
        if (SameText(FileItemPath(Item(i).text), wanted)) {
            items_[static_cast<std::size_t>(i)].edited = true;
            Events([i](IFileListEvents& e) { e.Changed(i); });
        }
}

void TFileList::AutoplayFile(const std::string& path) {
    IAudioPlayer& audio = *state_.Audio;
    if (audio.Playing()) {
        Events([](IFileListEvents& e) { e.Alert("Audio Player in use", true); });
        return;
    }
    if (!audio.Ready()) return;
    if (std::string error = audio.Play(path); !error.empty()) Events([&error](IFileListEvents& e) { e.Alert(error, true); });
}

void TFileList::OpenAudioEditor() {
    state_.Audio->Stop();
    state_.Audio->OpenEditor();
}

void TFileList::RefreshFileList(const std::string& keepText) {
    if (state_.Audio->Playing()) state_.Audio->Stop();
    if (ScriptBusy && ScriptBusy()) {
        if (SetPendingRefresh) SetPendingRefresh(true);
        return;
    }
    LoadFolderList(FolderEntry(), AllFolders());
    if (items_.empty()) {
        selected_ = -1;
        state_.SetAssetFileName("");
        Events([](IFileListEvents& e) { e.SelectionChanged(-1); });
    } else {
        const int index = IndexOf(keepText);
        SetCurrentFile(index >= 0 ? index : 0);
    }
    if (SetPendingRefresh) SetPendingRefresh(false);
    ShowFileCount();
}

std::vector<std::string> TFileList::ChosenPaths(bool tagged) const {
    std::vector<std::string> paths;
    const std::string asset = ListFolder(state_.AssetPath());
    for (int i = 0; i < Count(); ++i)
        if (tagged ? Item(i).tagged : i == selected_) paths.push_back(JoinPath(asset, NativePath(FileItemPath(Item(i).text)), '/'));
    return paths;
}

void TFileList::CopyFiles(bool tagged) {
    const std::vector<std::string> paths = ChosenPaths(tagged);
    if (paths.empty()) return;
    if (state_.Clipboard->CopyFiles(ClipboardFileList(paths))) state_.ClipboardSource = "FileView";
}

std::string TFileList::PasteFolder(const std::string& assetFolder) const {
    const std::string asset = ListFolder(assetFolder);
    return folderIndex_ < 2 ? asset : JoinPath(asset, NativePath(ExcludeTrailingSeparator(FolderEntry())), '/');
}

void TFileList::PasteFiles(const std::string& assetFolder) {
    if (assetFolder.empty()) return;
    if (std::string failures = PasteFilesInto(PasteFolder(assetFolder), state_.Clipboard->PasteFiles()); !failures.empty())
        state_.Messages->ShowMessage(failures, "Paste", MessageKind::Error);
    FileMaskChange();
}

bool TFileList::DropFiles(const std::vector<std::string>& files) {
    if (!HasCurrentFile() || state_.AssetPath().empty()) return false;
    const std::string keep = selected_ >= 0 ? Item(selected_).text : std::string();
    if (std::string failures = PasteFilesInto(PasteFolder(state_.AssetPath()), files); !failures.empty())
        state_.Messages->ShowMessage(failures, "Paste", MessageKind::Error);
    RefreshFileList(keep);
    return true;
}

void TFileList::DeleteFiles(bool tagged) {
    const std::vector<std::string> paths = ChosenPaths(tagged);
    if (paths.empty()) return;
    if (AskToSave && !AskToSave()) return;
    std::string question = paths.size() == 1 ? "Delete the file (it goes to the trash)?\n"
                                             : "Delete these " + std::to_string(paths.size()) + " files (they go to the trash)?\n";
    for (const std::string& p : paths) question += "\n" + p;
    if (!state_.Messages->AskYesNo(question, "Delete")) return;
    const std::string keep = selected_ >= 0 ? Item(selected_).text : std::string();
    selected_ = -1;
    // No file is current now: the viewer showing the file about to go takes the placeholder.
    state_.SetAssetFileName("");
    Events([](IFileListEvents& e) { e.SelectionChanged(-1); });
    // The placeholder first, so that no viewer holds a file as it goes.
    state_.SendCommand(ccShowFile, ExpandMacros(state_, "%bin%\\Kelvarn.jpg"));
    std::string failures;
    for (const std::string& p : paths)
        if (std::string error = state_.Trash->MoveToTrash(p); !error.empty()) failures += "\n" + error;
    if (!failures.empty()) state_.Messages->ShowMessage("Not deleted (kept where it is):" + failures, "Delete", MessageKind::Error);
    RefreshFileList(keep);
}

void TFileList::RenameFile(IEditorDialogs& dialogs) {
    if (selected_ < 0 || !HasCurrentFile()) return;
    if (AskToSave && !AskToSave()) return;
    const std::string file = NativePath(state_.AssetPathFile());
    const std::string name = ExtractFileName(file);
    const std::optional<std::string> typed = dialogs.InputLine("Rename File", "New Name:", name, ShortenedPath(file));
    if (!typed || *typed == name) return;
    if (std::string refused = CheckNewName(*typed); !refused.empty()) {
        state_.Messages->ShowMessage(refused, "Rename File", MessageKind::Warning);
        return;
    }
    if (std::string error = RenameNoReplace(file, JoinPath(ExtractFileDir(file), *typed, '/')); !error.empty()) {
        state_.Messages->ShowMessage(error, "Rename File", MessageKind::Error);
        return;
    }
    const std::string old = Item(selected_).text;
    const std::size_t slash = old.rfind('\\');
    const std::string renamed = (AllFolders() && slash != std::string::npos ? old.substr(0, slash + 1) : std::string()) + *typed;
    TFileItem item = Item(selected_);
    item.text = renamed;
    RemoveAt(selected_);
    InsertItem(std::move(item));
    // The renamed file stays the current file.
    SetCurrentFile(IndexOf(renamed));
}

void TFileList::SaveFileMask() {
    TMemIni& ini = state_.Settings();
    WriteSettingInt(ini, keys::FileMask, ReadSettingBool(ini, keys::SaveMask) && maskIndex_ >= 0 ? maskIndex_ : 0);
}

void TFileList::SetTagged(int index, bool tagged) {
    if (index < 0 || index >= Count()) return;
    items_[static_cast<std::size_t>(index)].tagged = tagged;
    Events([index](IFileListEvents& e) { e.Changed(index); });
}

void TFileList::ToggleTag(int index) {
    if (index >= 0 && index < Count()) SetTagged(index, !Item(index).tagged);
}

void TFileList::CheckAll(bool tagged) {
    SetAllTags(items_, tagged);
    Events([](IFileListEvents& e) { e.Changed(-1); });
}

void TFileList::InvertChecks() {
    InvertTags(items_);
    Events([](IFileListEvents& e) { e.Changed(-1); });
}

void TFileList::SetAllOpposite(int index) {
    if (index >= 0 && index < Count()) CheckAll(!Item(index).tagged);
}

int TFileList::FindByFirstChar(char32_t c) const {
    return FindItemByFirstChar(items_, selected_, c, [](const TFileItem& item) { return ExtractFileName(item.text); });
}

}  // namespace kelvarn
