#include "catalogue/ui/OutlineRows.h"

#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/ui/OutlineView.h"
#include "catalogue/ui/XMLView.h"
#include "shell/Dispatcher.h"
#include "shell/Strings.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

void RegisterOutlineCommands(TDispatcher& d, TOutlineView& outline) {
    auto row = [&](int number) { d.RegisterCommand(number, [&outline, number](const std::string&) { outline.ExecuteCommand(number); }); };
    for (int number : {ocExpand, ocCollapse, ocComment, ocDeleteMe, ocIncrementKuid, ocPromoteAll, ocSortTree,
                       ocInsertTag, ocAddChildTag, ocEditTag, ocDelete, ocDeleteTagged, ocRunScript, ocCopyNode,
                       ocCopyTaggedNodes, ocPasteNodes, ocFindReplace, ocFindText, ocHelpLink, ocOpenLink, ocOpenKuid,
                       ocAssetStatus, ocMoveToTop, ocMoveUp, ocPromote, ocDemote, ocMoveDown, ocMoveToBottom,
                       ocSortOrder, ocSaveConfig, ocUndo, ocUndoMark})
        row(number);
    // The hidden "Save Outline As" and Ctrl+S save where the asset is, without asking.
    d.RegisterCommand(1009, [&outline](const std::string&) { outline.SaveConfig(outline.AssetConfigFile(), true, true); });
    d.RegisterCommand(1101, [&outline](const std::string&) { outline.IncrementKuid(nullptr, false, true); });
    d.RegisterCallback(ccUndo, [&outline](const std::string&) { outline.UndoLastChange(); });
    d.AddMenuValidator([&outline](int group) {
        if (group == ocContextMenu) outline.ValidateMenu();
    });
}

void RegisterOutlineMainRows(TMain& main, TOutlineView& outline) {
    main.Dispatcher().RegisterCallback(ccConfigEdited, [&main, &outline](const std::string&) {
        TOutlineDocument& document = outline.Document();
        document.Hooks().AnalyseKindAndLoadSpec(document);
        if (main.RefreshTrainzBuild) main.RefreshTrainzBuild("");
    });
    main.SaveOutlineConfig = [&outline] { outline.SaveConfig(outline.AssetConfigFile(), true, true); };
    outline.RefreshTrainzBuild = [&main](const std::string& reason) {
        if (main.RefreshTrainzBuild) main.RefreshTrainzBuild(reason);
    };
}

void RegisterAssetPageRows(TDispatcher& d, TOutlineView& outline, IAssetPages& pages) {
    auto clone = [&outline, &pages](const std::string&) { outline.Document().CloneAsset(pages); };
    d.RegisterCommand(1112, clone);
    d.RegisterCommand(2103, clone);
    d.RegisterCommand(1113, [&outline, &pages](const std::string&) { outline.Document().NewAsset(pages); });
    d.RegisterCallback(ccFinishClone, [&outline](const std::string& folder) {
        outline.Document().FinishClone(folder, ProgramKuidMap());
    });
}

void RegisterCatalogueRows(TMain& main, TXMLView& catalogue, TOutlineView& outline) {
    TDispatcher& d = main.Dispatcher();
    d.RegisterCallback(ccShowTags, [&main, &catalogue](const std::string& kind) {
        for (TFrameId id : {TFrameId::Text, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail, TFrameId::Image})
            main.Frame(id)->QuerySave();
        catalogue.ShowAvailableTags(kind);
    });
    d.RegisterCallback(ccShowTagsKeep, [&catalogue](const std::string& kind) {
        if (catalogue.Catalogue().Loaded()) catalogue.ShowAvailableTags(kind);
    });
    d.RegisterCommand(1102, [&main, &catalogue, &outline](const std::string&) {
        main.LeaveViewerMaximised();
        const TOutlineDocument& document = outline.Document();
        if (const TOutlineNode* kind = document.FindChildByName(document.Root(), "kind"))
            catalogue.ShowAvailableTags(TagValueUnquoted(kind->Text()));
    });
}

}  // namespace kelvarn
