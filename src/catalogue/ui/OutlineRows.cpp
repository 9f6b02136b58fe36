#include "catalogue/ui/OutlineRows.h"

#include "catalogue/AssetHelpers.h"
#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/WikiHelp.h"
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
    // The checks of the asset folder's files, each reported to the day's log.
    d.RegisterCommand(1704, [&outline](const std::string&) { outline.VerifyMeshes(); });
    d.RegisterCommand(1705, [&outline](const std::string&) { outline.VerifyImages(); });
    d.RegisterCommand(1713, [&outline](const std::string&) { outline.VerifyTextures(); });
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

    // The helpers that work on the main window's outline.
    TDispatcher& d = main.Dispatcher();
    TOutlineDocument& document = outline.Document();
    d.RegisterCommand(1703, [&document](const std::string&) { ClearErrorMarks(document); });
    d.RegisterCommand(1715, [](const std::string&) { CmpErrorList(); });
    for (const auto& [number, mode] : {std::pair{2115, "Driver"}, std::pair{2116, "Surveyor"}, std::pair{2117, "Railyard"}})
        d.RegisterCommand(number, [&document, mode = std::string(mode)](const std::string&) {
            LaunchSimulator(document.State(), document, mode);
        });
    d.RegisterCallback(ccListDependencies,
                       [&document](const std::string&) { RefreshDependencyKuids(document.State(), document); });
    outline.HelpLink = [&document](TOutlineNode* node) {
        if (node) ExpandWikiMacro(document.State(), document, document.NodePath(node), "");
    };
    outline.OpenLink = [&document](TOutlineNode* node) {
        if (node) WikiLinkUrl(document.State(), document, document.NodePath(node));
    };
    outline.HasHelpLink = [&document](const TOutlineNode* node) { return HasHelpLink(document, node); };
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
    catalogue.HelpLink = [&outline](const std::string& path) {
        TOutlineDocument& document = outline.Document();
        ExpandWikiMacro(document.State(), document, path, "");
    };
    d.RegisterCommand(1102, [&main, &catalogue, &outline](const std::string&) {
        main.LeaveViewerMaximised();
        const TOutlineDocument& document = outline.Document();
        if (const TOutlineNode* kind = document.FindChildByName(document.Root(), "kind"))
            catalogue.ShowAvailableTags(TagValueUnquoted(kind->Text()));
    });
}

}  // namespace kelvarn
