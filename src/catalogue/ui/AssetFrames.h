// The asset list and the file list with everything they stand on (the asset catalogue, home folders,
// the file list core, the editor's small dialogs), and their wiring into the main window: the
// callbacks and commands they perform and the states of their menus.
//
// In src/app/, the object outlives the main window (it is made before it); its frames go into the
// window's panes, and Wire(main) runs before the window is shown.
//
// For the other parts:
//   - the outline: callback 201 loads the selected asset's config.txt into ConfigDocument() (a
//     document of our own until SetConfigDocument points it at the outline view's), through
//     LoadConfig when that is set (a view that prepares itself around the load);
//   - the script engine: callbacks 230 and 245 hand the tagged folders to TaggedFolders (by default
//     they are kept in LastTaggedFolders()); ListTaggedFolders() gives them directly; the file list
//     asks ScriptBusy/SetPendingRefresh/ScriptMode through Files(); RunCommand (shell/RunCommand.h)
//     and FindAssetByKuid (catalogue/KuidMap.h) are free functions.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/AssetCatalogue.h"
#include "catalogue/FileList.h"
#include "catalogue/HomeFolders.h"

namespace kelvarn {

class IEditorDialogs;
class TAssetList;
class TFileView;
class TKuidMap;
class TMain;
class TOutlineDocument;
class TProgramState;
class TTZU;

class TAssetFrames {
public:
    TAssetFrames(TProgramState& state, TKuidMap& kuidMap);
    ~TAssetFrames();
    TAssetFrames(const TAssetFrames&) = delete;
    TAssetFrames& operator=(const TAssetFrames&) = delete;

    // The two frames; the main window becomes their parent (and owner).
    TAssetList* AssetList() const { return assetList_; }
    TFileView* FileView() const { return fileView_; }

    // Registers the callbacks, commands, menu rules and start-up hooks on the main window.
    void Wire(TMain& main);

    // The config that callback 201 fills.
    TOutlineDocument& ConfigDocument() { return *config_; }
    void SetConfigDocument(TOutlineDocument& document) { config_ = &document; }
    std::function<std::string(const std::string& folder)> LoadConfig;

    // The script engine's folder list (callbacks 230 and 245).
    std::function<void(std::vector<std::string> folders)> TaggedFolders;
    const std::vector<std::string>& LastTaggedFolders() const { return lastTagged_; }
    std::vector<std::string> ListTaggedFolders(bool includeCurrent) const;

    // The editor window, which gives the one-line input and the text page.
    void SetDialogs(IEditorDialogs& dialogs);
    // Whichever of them is in place when used (the script engine's tools show their output there).
    IEditorDialogs& Dialogs() { return *forwarder_; }

    TAssetCatalogue& Catalogue() { return catalogue_; }
    // The simulator's utility: the asset list queues its jobs there, and job 1 scans into the list.
    TTZU& Tzu() { return *tzu_; }
    THomeFolders& Homes() { return homes_; }
    TFileList& Files() { return files_; }

    // Callback 201, as the main window runs it.
    void AssetSelected(TMain& main);

private:
    // The current asset's config.txt into the outline, with the trainz-build state and the KUID.
    void LoadAssetConfig(TMain& main);
    // The asset's config.txt was saved from the text view: the outline takes the saved text.
    void ConfigSavedAsText(TMain& main);
    void RegisterCallbacks(TMain& main);
    void RegisterCommands(TMain& main);
    void RegisterMenuRules(TMain& main);
    std::string FileListKeepText() const;
    void ReloadHomeFolders();
    void ScanSimulatorFolder(const std::string& folder);

    TProgramState& state_;
    TAssetCatalogue catalogue_;
    THomeFolders homes_;
    TFileList files_;
    IEditorDialogs* dialogs_ = nullptr;  // the editor window
    std::unique_ptr<IEditorDialogs> forwarder_;
    std::unique_ptr<TTZU> tzu_;
    std::unique_ptr<TOutlineDocument> ownConfig_;
    TOutlineDocument* config_;
    TAssetList* assetList_;
    TFileView* fileView_;
    std::vector<std::string> lastTagged_;
};

}  // namespace kelvarn
