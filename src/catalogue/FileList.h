// The file list without its widget: the files of the current asset folder filtered by a mask and a
// folder, their tags and edited marks, the current file, and the file operations (copy, paste, drop,
// delete, rename). Item texts are paths relative to the chosen folder with backslashes, like config
// paths, whatever the platform writes.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

class IEditorDialogs;
class TProgramState;

struct TFileItem {
    std::string text;
    bool tagged = false;
    bool edited = false;
};

inline constexpr int kFileListGroup = 2200;
inline constexpr std::string_view kAllFolders = "All Folders...";
inline constexpr std::string_view kRootFolder = "Root Folder...";

class IFileListEvents {
public:
    virtual ~IFileListEvents() = default;
    virtual void Reset() {}
    virtual void Inserted(int /*index*/) {}
    virtual void Removed(int /*index*/) {}
    virtual void Changed(int /*index*/) {}  // -1: any number of items
    virtual void SelectionChanged(int /*index*/) {}
    // The mask or folder entries or their choice changed.
    virtual void CombosChanged() {}
    virtual void Alert(const std::string& /*text*/, bool /*beep*/) {}
    virtual void CloseAlert() {}
};

// The mask a mask entry stands for: "images", "meshes" and "configs" are presets, anything else is a
// ";"-separated mask as typed.
std::string TranslateMask(std::string_view entry);
// Does a file name match a ";"-separated mask ("*" and "?" wildcards, ignoring case)? "*.*" takes
// every name.
bool FileMaskMatches(std::string_view name, std::string_view mask);
// The files below `folder` (all depths, or only its own with `recurse` off) matching `mask`, as full
// paths; folders are never listed.
std::vector<std::string> FindMaskedFiles(const std::string& folder, std::string_view mask, bool recurse);
// `path` relative to `folder` (compared ignoring case) with backslashes; the path itself when it
// lies elsewhere.
std::string RelativeItemPath(std::string_view path, std::string_view folder);
// The sub-folder entries of relative paths: every leading folder of each path with a trailing "\",
// sorted, no duplicates.
std::vector<std::string> FolderEntriesOf(const std::vector<std::string>& relativePaths);
// A name beside `path` that no file has: "name (2).ext", "name (3).ext", ...
std::string FreeNameBeside(const std::string& path);
// Copies the regular files into `folder`; a file whose name is taken there is copied under a free
// name beside it. Returns the failures' messages (one a line), empty when every file was copied.
std::string PasteFilesInto(const std::string& folder, const std::vector<std::string>& files);

class TFileList {
public:
    explicit TFileList(TProgramState& state);
    void SetEvents(IFileListEvents* events) { events_ = events; }

    // The script engine's part: script mode (a batch over tagged assets), its busy flag, and the flag
    // that makes it refresh the list when it ends. Until it exists: none, not busy.
    std::function<bool()> ScriptMode;
    std::function<bool()> ScriptBusy;
    std::function<void(bool)> SetPendingRefresh;
    // The viewers save their unsaved work before a shown file is renamed or deleted.
    std::function<bool()> AskToSave;

    // --- items
    int Count() const { return static_cast<int>(items_.size()); }
    const TFileItem& Item(int index) const { return items_[static_cast<std::size_t>(index)]; }
    const std::vector<TFileItem>& Items() const { return items_; }
    int IndexOf(std::string_view text) const;
    int Selected() const { return selected_; }
    bool HasCurrentFile() const;

    // --- the two combos
    const std::vector<std::string>& MaskEntries() const { return masks_; }
    int MaskIndex() const { return maskIndex_; }
    std::string MaskText() const;
    void SelectMask(int index);
    // A mask typed into the combo: an entry's text selects it, anything else is used as typed.
    void SetTypedMask(const std::string& text);
    const std::vector<std::string>& FolderEntries() const { return folders_; }
    int FolderIndex() const { return folderIndex_; }
    void SelectFolder(int index);
    std::string FolderEntry() const;
    bool AllFolders() const { return folderIndex_ <= 0; }

    // --- the operations of the list
    void InitFileView();
    void ClearFileView();
    void LoadFileList(const std::string& assetFolder);
    void LoadFolderList(const std::string& folderEntry, bool allFolders);
    std::string FileItemPath(std::string_view itemText) const;
    void FileMaskChange();
    void SetCurrentFile(int index);
    void ShowSelectedFile(bool show);
    int CountTaggedFiles();
    void ShowFileCount();
    void MarkFileEdited(std::string_view itemText);
    // Callback 235: the item whose relative path is `relative` ("/" or "\" separators).
    void MarkSavedFile(std::string_view relative);
    void AutoplayFile(const std::string& path);
    void OpenAudioEditor();
    void RefreshFileList(const std::string& keepText);
    void CopyFiles(bool tagged);
    void PasteFiles(const std::string& assetFolder);
    // Files dropped on the list: taken only while a current file is set.
    bool DropFiles(const std::vector<std::string>& files);
    void DeleteFiles(bool tagged);
    void RenameFile(IEditorDialogs& dialogs);
    void SaveFileMask();

    // --- tagging
    void SetTagged(int index, bool tagged);
    void ToggleTag(int index);
    void CheckAll(bool tagged);
    void InvertChecks();
    void SetAllOpposite(int index);
    int FindByFirstChar(char32_t c) const;

private:
    void Events(const std::function<void(IFileListEvents&)>& call);
    void InsertItem(TFileItem item);
    void RemoveAt(int index);
    std::string PasteFolder(const std::string& assetFolder) const;
    std::vector<std::string> ChosenPaths(bool tagged) const;

    TProgramState& state_;
    IFileListEvents* events_ = nullptr;
    std::vector<TFileItem> items_;
    int selected_ = -1;
    std::vector<std::string> masks_;
    int maskIndex_ = 0;
    std::string typedMask_;
    std::vector<std::string> folders_;
    int folderIndex_ = 0;
};

}  // namespace kelvarn
