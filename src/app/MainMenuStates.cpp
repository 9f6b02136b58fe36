#include "app/MainMenuStates.h"

#include "catalogue/AssetCatalogue.h"
#include "catalogue/FileList.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/OutlineView.h"
#include "shell/Files.h"
#include "shell/FolderNames.h"
#include "shell/Macros.h"
#include "shell/MainMenuRules.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/SettingsKeys.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

namespace {

// What the rules read of the shown config.
struct TConfigFacts {
    const TOutlineDocument& document;
    bool Has(std::string_view tag) const {
        const TOutlineNode* root = document.Root();
        return root && document.FindChildByName(root, tag);
    }
    std::string Value(std::string_view tag) const { return document.GetValueByPath("config.txt\\" + std::string(tag)); }
};

TShownViewer ShownViewer(const TMain& main) {
    const std::optional<TFrameId> active = main.ActiveViewer();
    if (!active) return TShownViewer::None;
    switch (*active) {
        case TFrameId::Text: return TShownViewer::Text;
        case TFrameId::Image: return TShownViewer::Image;
        case TFrameId::Table: return TShownViewer::Table;
        default: return TShownViewer::Other;
    }
}

bool OnlyTaggedIsCurrent(const TAssetCatalogue& catalogue) {
    for (int i = 0; i < catalogue.Count(); ++i)
        if (catalogue.Entry(i).tagged) return catalogue.IsCurrent(i);
    return false;
}

std::vector<TMenuItemState> FileMenu(TMain& main, TProgramState& state, TAssetFrames& assets, TOutlineView& outline) {
    TAssetCatalogue& catalogue = assets.Catalogue();
    TFileList& files = assets.Files();
    TFileMainMenuFacts f;
    f.assetSelected = !state.AssetPath().empty();
    f.tagged = state.TaggedCount;
    f.count = catalogue.Count();
    f.onlyTaggedIsCurrent = f.tagged == 1 && OnlyTaggedIsCurrent(catalogue);
    f.assetEntrySelected = catalogue.Selected() >= 0;
    f.fileEntrySelected = files.Selected() >= 0;
    f.fileCount = files.Count();
    f.activeViewer = ShownViewer(main);
    if (auto* text = dynamic_cast<ITextViewer*>(main.Frame(TFrameId::Text))) f.textEmpty = text->Text().empty();
    f.outlineMarks = outline.Document().CountMarks();
    f.copyCount = static_cast<int>(outline.CopyList().Count());
    if (f.assetSelected) {
        TFolderNames present(state.AssetPath());  // one listing for all the names
        for (const std::string& name : NewImageFileNames())
            if (present.Holds(name)) f.presentImages.push_back(name);
    }
    f.clipboardFromFileList = state.Clipboard->HasFiles() && state.ClipboardSource == "FileView";
    if (auto* image = dynamic_cast<IViewerFrame*>(main.Frame(TFrameId::Image))) f.imageModified = image->Modified();
    f.layoutMode = main.Layout().mode;
    return FileMainMenuStates(f);
}

std::vector<TMenuItemState> AssetMenu(TProgramState& state, const TConfigFacts& config) {
    TAssetMainMenuFacts f;
    f.assetSelected = !state.AssetPath().empty();
    f.assetId = ExpandMacros(state, "%assetID%");
    f.userId = ExpandMacros(state, "%userID%");
    f.keptUserId = state.UserKuidId;
    f.hasKind = config.Has("kind");
    f.hasAuthor = config.Has("author");
    f.home1 = state.Settings().ReadString(sections::Home, "1", "");
    f.trs2004 = state.Paths.TRS2004;
    f.trs2006 = state.Paths.TRS2006;
    f.tc = state.Paths.TC;
    f.ts2009 = state.Paths.TS2009;
    f.ts2010 = state.Paths.TS2010;
    f.ts12 = state.Paths.TS12;
    std::vector<std::string> keys;
    state.Settings().ReadSection(sections::KuidRange, keys);
    f.kuidRangeKeys = static_cast<int>(keys.size());
    return AssetMainMenuStates(f);
}

std::vector<TMenuItemState> RepairMenu(TProgramState& state, TAssetFrames& assets, const TConfigFacts& config) {
    TRepairMainMenuFacts f;
    f.assetSelected = !state.AssetPath().empty();
    f.count = assets.Catalogue().Count();
    f.assetId = ExpandMacros(state, "%assetID%");
    f.userId = ExpandMacros(state, "%userID%");
    f.kind = config.Value("kind");
    f.hasMeshTable = config.Has("mesh-table");
    f.hasBogeys = config.Has("bogeys");
    f.hasName = config.Has("name");
    f.hasAssetFilename = config.Has("asset-filename");
    f.activeBuild = state.ActiveBuild();
    f.configBuild = ParseBuild(config.Value("trainz-build"));
    if (f.assetSelected) f.audioFiles = CountFiles(state.AssetPath(), "*.mp3;*.wav");
    return RepairMainMenuStates(f);
}

std::vector<TMenuItemState> ToolsMenu(TProgramState& state, const TConfigFacts& config) {
    TToolsMainMenuFacts f;
    f.assetSelected = !state.AssetPath().empty();
    f.kind = config.Value("kind");
    f.hasGroundplane = config.Has("groundplane");
    f.hasMeshTable = config.Has("mesh-table");
    return ToolsMainMenuStates(f);
}

}  // namespace

void ConnectMainMenuRules(TMain& main, TProgramState& state, TAssetFrames& assets, TOutlineView& outline) {
    main.Dispatcher().AddMenuValidator([&main, &state, &assets, &outline](int number) {
        const TConfigFacts config{outline.Document()};
        switch (MenuStateGroup(number)) {
            case 0:
                main.ApplyMenuStates(MainBarMenuStates({!state.AssetPath().empty(), main.Layout().mode}));
                break;
            case 1000: main.ApplyMenuStates(FileMenu(main, state, assets, outline)); break;
            case 1100: main.ApplyMenuStates(AssetMenu(state, config)); break;
            case 1200: main.ApplyMenuStates(RepairMenu(state, assets, config)); break;
            case 1300: main.ApplyMenuStates(ToolsMenu(state, config)); break;
            case 1500:
                main.ApplyMenuStates(HelpMainMenuStates(
                    {FileExists(ChangeFileExt(state.ProgramFile, ".chm")), main.HintsShown()}));
                break;
            case 1600: main.ApplyMenuStates(ScriptMainMenuStates({assets.Catalogue().CountTagged()})); break;
            case 1700:
                main.ApplyMenuStates(DiagnosticsMainMenuStates(
                    {!state.AssetPath().empty(), FormatBuild(state.ActiveBuild()), FileExists(LogFileName(state))}));
                break;
            default: break;
        }
    });
}

}  // namespace kelvarn
