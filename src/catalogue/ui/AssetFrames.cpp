#include "catalogue/ui/AssetFrames.h"

#include <QApplication>

#include "catalogue/EditorDialogs.h"
#include "catalogue/KuidMap.h"
#include "catalogue/ListMenuRules.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ToolRunner.h"
#include "catalogue/ui/AssetList.h"
#include "catalogue/ui/FileView.h"
#include "catalogue/ui/Tzu.h"
#include "shell/Files.h"
#include "shell/Layout.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ViewerChoice.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

namespace {

// The frames keep this one; it passes each call to the editor window once it is in place (before,
// an input is cancelled and a text page shows nothing).
class TDialogsForwarder final : public IEditorDialogs {
public:
    explicit TDialogsForwarder(IEditorDialogs*& target) : target_(target) {}
    std::optional<std::string> InputLine(const std::string& caption, const std::string& prompt,
                                         const std::string& value, const std::string& shownPath) override {
        if (!target_) return std::nullopt;
        return target_->InputLine(caption, prompt, value, shownPath);
    }
    void ShowText(int size, int flags, const std::vector<std::string>& lines, const std::string& caption) override {
        if (target_) target_->ShowText(size, flags, lines, caption);
    }

private:
    IEditorDialogs*& target_;
};

// The simulator folders that the Asset menu's scan items open, by command number.
std::string SimulatorScanFolder(const TProgramState& state, int number) {
    switch (number) {
        case 1106: return ExpandMacros(state, "%2004%\\World\\Custom");
        case 1107: return ExpandMacros(state, "%2006%\\editing");
        case 1108: return ExpandMacros(state, "%TC%\\editing");
        case 1109:
            return DirectoryExists(ExpandMacros(state, "%2009%\\UserData")) ? ExpandMacros(state, "%2009%\\UserData\\editing")
                                                                            : ExpandMacros(state, "%2009%\\editing");
        case 1110: return ExpandMacros(state, "%2010%\\UserData\\editing");
        case 1111: return ExpandMacros(state, "%TS12%\\UserData\\editing");
        default: return {};
    }
}

std::string AssetCountText(int count) { return std::to_string(count) + (count == 1 ? " asset" : " assets"); }

int NumberOr0(const std::string& text) {
    long long value = 0;
    return TryParseInt(Trim(text), value) && value >= -1000000 && value <= 1000000 ? static_cast<int>(value) : 0;
}

}  // namespace

TAssetFrames::TAssetFrames(TProgramState& state, TKuidMap& kuidMap)
    : state_(state),
      catalogue_(state, kuidMap),
      homes_(state, catalogue_),
      files_(state),
      tzu_(std::make_unique<TTZU>(state)),
      ownConfig_(std::make_unique<TOutlineDocument>(state)),
      config_(ownConfig_.get()) {
    forwarder_ = std::make_unique<TDialogsForwarder>(dialogs_);
    catalogue_.IsConsoleOpen = [this] { return tzu_->IsConsoleOpen(); };
    catalogue_.UtilityRequest = [this](int job, const std::string& argument) { tzu_->TzuRequest(job, argument); };
    // Job 1: the folder the utility opened for editing is scanned in and its item selected.
    tzu_->Runner().OpenAssetFolder = [this](const std::string& folder) {
        if (catalogue_.AddDirectory(folder) == TScanResult::Cancelled) return false;
        const int index = catalogue_.IndexOf(ListFolder(folder));
        if (index < 0) return false;
        catalogue_.SelectAsset(index);
        return true;
    };
    assetList_ = new TAssetList(state, catalogue_, homes_, *forwarder_);
    fileView_ = new TFileView(state, files_, *forwarder_);
}

TAssetFrames::~TAssetFrames() = default;

void TAssetFrames::SetDialogs(IEditorDialogs& dialogs) { dialogs_ = &dialogs; }

std::vector<std::string> TAssetFrames::ListTaggedFolders(bool includeCurrent) const {
    return catalogue_.ListTaggedAssets(includeCurrent);
}

std::string TAssetFrames::FileListKeepText() const {
    return files_.Selected() >= 0 ? files_.Item(files_.Selected()).text : std::string();
}

void TAssetFrames::Wire(TMain& main) {
    RegisterCallbacks(main);
    RegisterCommands(main);
    RegisterMenuRules(main);
    main.LoadHomeFolders = [this] {
        homes_.LoadHomeFolders(0);
        return homes_.HomeCount();
    };
    main.PlayFile = [this](const std::string& path) { fileView_->PlayShownFile(path); };
    catalogue_.AskSaveCurrent = [&main] {
        for (TFrameId id : {TFrameId::Text, TFrameId::Image, TFrameId::Outline, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail})
            if (!main.Frame(id)->QuerySave()) return false;
        return true;
    };
    files_.AskToSave = [&main] {
        for (TFrameId id : {TFrameId::Text, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail, TFrameId::Image})
            if (!main.Frame(id)->QuerySave()) return false;
        return true;
    };
}

void TAssetFrames::AssetSelected(TMain& main) {
    // The list is not repainted in between: the selection lands once everything has loaded.
    assetList_->List()->setUpdatesEnabled(false);
    for (TFrameId id : {TFrameId::Text, TFrameId::Image, TFrameId::Outline, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail})
        main.Frame(id)->QuerySave();
    for (TFrameId id : {TFrameId::Outline, TFrameId::Text, TFrameId::Image, TFrameId::Table, TFrameId::Mesh,
                        TFrameId::TagCatalogue, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail})
        main.Frame(id)->Clear();
    files_.LoadFileList(state_.AssetPath());
    LoadAssetConfig(main);
    assetList_->List()->setUpdatesEnabled(true);
    main.Dispatcher().DispatchCallback(ccShowPreview, "");
}

void TAssetFrames::LoadAssetConfig(TMain& main) {
    const std::string folder = state_.AssetPath();
    if (LoadConfig)
        LoadConfig(folder);
    else
        config_->LoadConfig(folder);
    if (main.RefreshTrainzBuild) main.RefreshTrainzBuild("");
    state_.SetAssetKuid(config_->GetValueByPath("config.txt\\kuid"));
}

void TAssetFrames::ConfigSavedAsText(TMain& main) {
    // A text view settles the outline's edits before it writes (TTextView::BeforeWrite); edits still
    // pending here came from another writer and are asked about, as on any reload.
    const bool outlineEdits = config_->Modified();
    if (!main.Frame(TFrameId::Outline)->QuerySave()) return;
    LoadAssetConfig(main);
    // A Yes wrote the outline's tree over the text just saved: the text view shows the file as it is
    // now, so that its next save cannot put the older text back.
    if (outlineEdits) {
        const std::string shown = static_cast<IViewerFrame*>(main.Frame(TFrameId::Text))->ShownFile();
        if (!shown.empty()) main.Bus().SendCommand(ccShowFile, shown);
    }
}

void TAssetFrames::RegisterCallbacks(TMain& main) {
    TDispatcher& d = main.Dispatcher();
    d.RegisterCallback(ccSelectAsset, [this, &main](const std::string&) { AssetSelected(main); });
    // The main window's row for "no asset", with the config model emptied too: without an outline
    // view nothing else would, and scripts and menu rules would read the previous asset's config.
    d.RegisterCallback(ccNoAsset, [this, &main](const std::string&) {
        for (TFrameId id : {TFrameId::Text, TFrameId::Image, TFrameId::Outline}) main.Frame(id)->QuerySave();
        for (TFrameId id : kClearAllOrder) main.Frame(id)->Clear();
        config_->ClearOutline();
    });
    d.RegisterCallback(ccHomeFolders, [this](const std::string& text) {
        assetList_->List()->setUpdatesEnabled(false);
        homes_.LoadHomeFolders(NumberOr0(text));
        assetList_->List()->setUpdatesEnabled(true);
    });
    auto tagged = [this](bool includeCurrent) {
        lastTagged_ = catalogue_.ListTaggedAssets(includeCurrent);
        if (TaggedFolders) TaggedFolders(lastTagged_);
    };
    d.RegisterCallback(ccListTagged, [tagged](const std::string&) { tagged(false); });
    d.RegisterCallback(ccListTaggedOthers, [tagged](const std::string&) { tagged(true); });
    d.RegisterCallback(ccReloadAsset, [this, &main](const std::string&) {
        for (TFrameId id : {TFrameId::Text, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail, TFrameId::Image, TFrameId::Outline})
            main.Frame(id)->QuerySave();
        files_.LoadFileList(state_.AssetPath());
    });
    d.RegisterCallback(ccMarkAssetEdited, [this](const std::string& text) { catalogue_.MarkAssetEdited(ListFolder(text)); });
    d.RegisterCallback(ccFileSaved, [this, &main](const std::string& text) {
        const TSavedFile saved = FileSavedTarget(text, state_.AssetPath());
        const std::string folder = ListFolder(saved.assetFolder);
        catalogue_.MarkAssetEdited(folder);
        // The file list shows the current asset only.
        if (folder.empty() || folder != ListFolder(state_.AssetPath())) return;
        files_.MarkSavedFile(saved.file);
        // The outline's own save needs no reload (it holds that tree, with its selection); the asset's
        // config saved from a viewer frame does.
        if (saved.byViewer && SameText(saved.file, "config.txt")) ConfigSavedAsText(main);
    });
    d.RegisterCallback(ccRefreshFiles, [this](const std::string&) { files_.RefreshFileList(FileListKeepText()); });
    d.RegisterCallback(ccReloadFiles, [this](const std::string&) { files_.LoadFileList(state_.AssetPath()); });
    d.RegisterCallback(ccAddClonedAsset, [this](const std::string& text) { catalogue_.AddClonedAsset(text); });
    d.RegisterCallback(ccAddNewAsset, [this](const std::string& text) { catalogue_.AddNewAsset(text); });
    d.RegisterCallback(ccDragState, [this](const std::string& text) { fileView_->SetAcceptsDrops(text == "false"); });
}

void TAssetFrames::RegisterCommands(TMain& main) {
    TDispatcher& d = main.Dispatcher();
    auto row = [&d](int number, std::function<void()> action) {
        d.RegisterCommand(number, [action = std::move(action)](const std::string&) { action(); });
    };
    // File and Asset menus.
    row(1003, [this] { assetList_->OpenFolder(); });
    row(1004, [this] { catalogue_.ClearAssets(TClearWhich::Tagged); });
    row(1005, [this] { catalogue_.ClearAssets(TClearWhich::Untagged); });
    row(1006, [this] { catalogue_.ClearAssets(TClearWhich::All); });
    row(1019, [this] {
        const std::vector<std::string> clipboard = state_.Clipboard->PasteFiles();
        std::string failures;
        for (const std::string& folder : catalogue_.ListTaggedAssets(false)) {
            std::string error = PasteFilesInto(folder, clipboard);
            if (!error.empty()) failures += (failures.empty() ? "" : "\n") + error;
        }
        if (!failures.empty()) state_.Messages->ShowMessage(failures, "Paste", MessageKind::Error);
        files_.FileMaskChange();
    });
    row(1105, [this] { ReloadHomeFolders(); });
    for (int number = 1106; number <= 1111; ++number)
        row(number, [this, number] { ScanSimulatorFolder(SimulatorScanFolder(state_, number)); });
    row(1322, [this] { fileView_->RunTool("", ReadSetting(state_.Settings(), keys::Explorer)); });
    // The asset list.
    row(2107, [this] { catalogue_.CopyAssets(false); });
    row(2108, [this] { catalogue_.CopyAssets(true); });
    row(2109, [this] { catalogue_.PasteAssets(); });
    row(2110, [this] { catalogue_.DeleteAssetFolders(false); });
    row(2111, [this] { catalogue_.DeleteAssetFolders(true); });
    row(2112, [this] { assetList_->RenameAssetFolder(); });
    row(2118, [this] { assetList_->PrintTaggedAssets(); });
    row(2150, [this] { assetList_->OpenFolder(); });
    row(2151, [this] { catalogue_.ClearAssets(TClearWhich::Tagged); });
    row(2152, [this] { catalogue_.ClearAssets(TClearWhich::Untagged); });
    row(2153, [this] { catalogue_.ClearAssets(TClearWhich::All); });
    row(2154, [this] { catalogue_.SortAssets(); });
    row(2155, [this] { assetList_->PrintAssetList(); });
    row(2156, [this] { ReloadHomeFolders(); });
    // The simulator's utility.
    row(1114, [this] { tzu_->TzuRequest(tjGenerateKuids, ""); });
    row(2157, [this] { tzu_->TzuRequest(tjCommit, config_->GetValueByPath("config.txt\\kuid")); });
    row(2159, [this] { tzu_->TzuRequest(tjRevert, config_->GetValueByPath("config.txt\\kuid")); });
    // The file list.
    row(2201, [this] { files_.OpenAudioEditor(); });
    for (auto [number, text] : {std::pair{2215, "Cut: To be implemented"}, std::pair{2216, "Cut Tagged: To be implemented"},
                                std::pair{2223, "New Folder: To be implemented"}, std::pair{2224, "Backup File: To be implemented"}})
        row(number, [this, text] { fileView_->AlertStrip()->ShowAlert(text, true, 1); });
    row(2217, [this] { files_.CopyFiles(false); });
    row(2218, [this] { files_.CopyFiles(true); });
    row(2219, [this] { files_.PasteFiles(state_.AssetPath()); });
    row(2220, [this] { files_.DeleteFiles(false); });
    row(2221, [this] { files_.DeleteFiles(true); });
    row(2222, [this] { fileView_->RenameFile(); });
    row(2250, [this] { files_.RefreshFileList(FileListKeepText()); });
    row(2251, [this] { fileView_->PrintFileList(); });
}

// The reload and the scans say in the status bar what they did, which the list alone may not show.
void TAssetFrames::ReloadHomeFolders() {
    bool any = false;
    for (const THomeEntry& home : ReadHomeEntries(state_.Settings()))
        if (!home.off && DirectoryExists(home.folder)) any = true;
    const int before = catalogue_.Count();
    if (homes_.LoadHomeFolders(0) == TScanResult::Cancelled) return;
    state_.SendStatusText(stPanel2, any ? "Home folders reloaded: " + AssetCountText(catalogue_.Count() - before) + " added, " +
                                              AssetCountText(catalogue_.Count()) + " listed"
                                        : std::string("No home folders"));
}

void TAssetFrames::ScanSimulatorFolder(const std::string& folder) {
    if (!DirectoryExists(folder)) {
        state_.SendStatusText(stPanel2, "Folder not found: " + folder);
        return;
    }
    const int before = catalogue_.Count();
    if (catalogue_.AddDirectory(folder) == TScanResult::Cancelled) return;
    state_.SendStatusText(stPanel2, "Scanned " + folder + ": " + AssetCountText(catalogue_.Count() - before) + " added");
}

void TAssetFrames::RegisterMenuRules(TMain& main) {
    main.Dispatcher().AddMenuValidator([this](int group) {
        if (group == kAssetListGroup) {
            TAssetMenuFacts facts;
            facts.assetFolder = state_.AssetPath();
            facts.entrySelected = catalogue_.Selected() >= 0;
            facts.tagged = state_.TaggedCount;
            facts.count = catalogue_.Count();
            facts.clipboardHasFiles = state_.Clipboard->HasFiles();
            facts.trainzFolder = ExpandMacros(state_, "%trainz%");
            facts.kind = config_->GetValueByPath("config.txt\\kind");
            facts.sortDown = catalogue_.SortButtonDown();
            assetList_->ApplyStates(AssetListMenuStates(facts));
        } else if (group == kFileListGroup) {
            TFileMenuFacts facts;
            facts.assetSelected = !state_.AssetPath().empty();
            facts.currentFile = files_.HasCurrentFile();
            facts.entrySelected = files_.Selected() >= 0;
            facts.fileName = state_.AssetFileName();
            facts.associatedProgram =
                facts.currentFile && state_.AssociatedProgram ? state_.AssociatedProgram(state_.AssetPathFile()) : std::string();
            facts.taggedFiles = state_.FileCount;
            facts.clipboardHasFiles = state_.Clipboard->HasFiles();
            facts.extensionTools = ToolValues(state_.Settings(), ExtensionToolSection(state_.AssetFileExt()));
            facts.allFilesTools = ToolValues(state_.Settings(), std::string(sections::AllFiles));
            fileView_->ApplyStates(FileListMenuStates(facts));
        }
    });
}

}  // namespace kelvarn
