#include "catalogue/ListMenuRules.h"

#include "catalogue/AssetCatalogue.h"
#include "shell/ToolFields.h"
#include "shell/MemIni.h"
#include "shell/PathText.h"
#include "shell/Text.h"
#include "shell/ViewerChoice.h"

namespace kelvarn {

namespace {

TMenuItemState Enabled(const char* name, bool enabled) { return {name, std::nullopt, enabled, std::nullopt, std::nullopt}; }
TMenuItemState Visible(const char* name, bool visible) { return {name, visible, std::nullopt, std::nullopt, std::nullopt}; }

void AddTools(std::vector<TMenuItemState>& states, const char* prefix, bool currentFile,
              const std::vector<std::string>& tools) {
    for (int n = 1; n <= 6; ++n) {
        TMenuItemState item{prefix + std::to_string(n), currentFile && static_cast<int>(tools.size()) >= n,
                            std::nullopt, std::nullopt, std::nullopt};
        if (*item.visible) item.caption = ParseToolSpec(tools[static_cast<std::size_t>(n - 1)]).Caption();
        states.push_back(std::move(item));
    }
}

}  // namespace

std::vector<TMenuItemState> AssetListMenuStates(const TAssetMenuFacts& f) {
    const bool asset = !f.assetFolder.empty();
    const bool editing = f.entrySelected && InEditingFolder(f.assetFolder);
    const bool simulator = ContainsStr(f.assetFolder, ListFolder(f.trainzFolder)) && ContainsStr(f.assetFolder, "editing");
    std::vector<TMenuItemState> states = {
        Enabled("mClone", asset),
        Enabled("mCut", editing),
        Enabled("mDelete", editing),
        Enabled("mRename", editing),
        Enabled("mCopy", f.entrySelected),
        Visible("mCopyTagged", f.tagged > 0),
        {"mDeleteTagged", f.tagged > 0, editing, std::nullopt, std::nullopt},
        Enabled("mPaste", f.clipboardHasFiles),
        Visible("mDriver", simulator && SameText(f.kind, "profile")),
        Visible("mSurveyor", simulator && SameText(f.kind, "profile")),
        Visible("mRailyard", simulator && SameText(f.kind, "traincar")),
        Enabled("mPrintTagged", f.tagged > 0),
        Enabled("bClearTagged", f.tagged > 0),
        Enabled("bClearUnTagged", f.count > f.tagged),
        Enabled("bClearAll", f.count > 0),
        {"bSortAssets", std::nullopt, f.count > 0, std::nullopt,
         std::string(f.sortDown ? "Sort by Path" : "Sort by Asset Name")},
    };
    return states;
}

std::vector<TMenuItemState> FileListMenuStates(const TFileMenuFacts& f) {
    const std::string ext = LowerCase(ExtractFileExt(f.fileName));
    const bool chosen = f.currentFile && f.entrySelected;
    std::vector<TMenuItemState> states = {
        Enabled("bRefresh", f.assetSelected),
        Enabled("bPrint", f.assetSelected),
        Enabled("FolderMaskList", f.assetSelected),
        Enabled("FileMaskList", f.assetSelected),
        Visible("mPlay", f.currentFile && ExtensionOccursIn(ext, ".mp3.wav")),
        Enabled("mCut", chosen),
        Enabled("mCopy", chosen),
        Enabled("mDelete", chosen),
        Enabled("mRename", chosen),
        Visible("mCutTagged", f.taggedFiles > 1),
        Visible("mCopyTagged", f.taggedFiles > 0),
        Visible("mDeleteTagged", f.taggedFiles > 0),
        Enabled("mPaste", f.clipboardHasFiles && f.assetSelected),
    };
    TMenuItemState open{"mOpenDefault", f.currentFile && !f.associatedProgram.empty(), std::nullopt, std::nullopt, std::nullopt};
    if (*open.visible) open.caption = "Open (" + ExtractFileName(f.associatedProgram) + ")";
    states.push_back(std::move(open));
    AddTools(states, "mTool", f.currentFile, f.extensionTools);
    AddTools(states, "mAllFiles", f.currentFile, f.allFilesTools);
    return states;
}

std::string ExtensionToolSection(std::string_view extension) {
    std::string section(1, '*');
    section += LowerCase(extension);
    return section;
}

std::vector<std::string> ToolValues(const TMemIni& ini, const std::string& section) {
    std::vector<std::string> values;
    ReadValueList(ini, section, values);
    return values;
}

}  // namespace kelvarn
