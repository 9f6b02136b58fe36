// Kelvarn's entry: the core services come up, the single-instance check hands a second start over to
// the running one, then the windows are created in their fixed order and the message loop runs until
// the main window closes.
#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>
#include <memory>

#include "app/SingleInstance.h"
#include "catalogue/KuidMap.h"
#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/Walnut.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/AssetList.h"
#include "catalogue/ui/FileView.h"
#include "catalogue/ui/FindForm.h"
#include "catalogue/ui/OutlineRows.h"
#include "catalogue/ui/OutlineView.h"
#include "catalogue/ui/XMLView.h"
#include "media/ui/GlContext.h"
#include "media/ui/MeshView.h"
#include "media/ui/MeshViewRows.h"
#include "media/ui/Selector.h"
#include "media/ui/TextView.h"
#include "platform/FileSystemOps.h"
#include "shell/Handover.h"
#include "shell/ProgramFolder.h"
#include "shell/ProgramState.h"
#include "shell/ui/ColourBox.h"
#include "shell/ui/DesktopFiles.h"
#include "shell/ui/FramePanel.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Printing.h"
#include "shell/ui/QtServices.h"
#include "shell/ui/TrainzBuildMenu.h"
#include "shell/ui/Viewer.h"
#include "validation/ScriptUnit.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptEngine.h"

namespace {

using namespace kelvarn;

// The asset list and the file list with what they stand on, which outlives the main window.
TAssetFrames& Assets(TProgramState& state) {
    static TAssetFrames assets(state, ProgramKuidMap());
    return assets;
}

// The panes. Parts not built yet are empty frames with a do-nothing protocol; their issues put the
// real frames here.
TMainFrames CreateFrames(TProgramState& state, TOutlineDocument& outline) {
    TMainFrames f;
    f.assetList = Assets(state).AssetList();
    f.fileList = Assets(state).FileView();
    f.outline = new TOutlineView(state, outline);
    f.text = new TTextView(state);
    f.mesh = new TMeshView(state);
    f.table = new TEmptyViewerFrame("GridView", "Table", true);
    f.image = new TEmptyViewerFrame("ImageView", "Image", true);
    f.tagCatalogue = new TXMLView(state, *static_cast<TOutlineView*>(f.outline));
    f.textureDescriptor = new TEmptyViewerFrame("TextureView", "Texture", true);
    f.levelOfDetail = new TEmptyViewerFrame("LODView", "Level of Detail", true);
    return f;
}

// The script engine works on the config the asset list loads, gets its tagged folders, and tells the
// file list when a run is on (its refresh waits for the end).
void WireScriptsToAssets(TScriptEngine& scripts, TAssetFrames& assets) {
    TScriptUnit& unit = scripts.Unit();
    scripts.Host().MainOutlineHook = [&assets] { return &assets.ConfigDocument(); };
    assets.TaggedFolders = [&unit](std::vector<std::string> folders) { unit.FolderList = std::move(folders); };
    TFileList& files = assets.Files();
    files.ScriptBusy = [&unit] { return unit.Running(); };
    files.ScriptMode = [&unit] { return unit.ScriptMode(); };
    files.SetPendingRefresh = [&unit](bool pending) { unit.RefreshAfterRun = pending; };
}

}  // namespace

int main(int argc, char* argv[]) {
    SetDefaultSurfaceFormat();  // every GL context is made with it, so before the application exists
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kelvarn");
    std::setlocale(LC_NUMERIC, "C");  // "." is the decimal separator whatever the locale

    TProgramState& state = Globals();
    std::string exe = platform::ExecutablePath();
    if (exe.empty()) exe = QCoreApplication::applicationFilePath().toStdString();
    InitProgramState(state, exe);

    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) arguments.push_back(all[i].toStdString());

    TSingleInstance instance(HandoverServerName(state.Environment));
    const THandoverMessage handover{ccInstance, HandoverText(arguments, QDir::currentPath().toStdString())};
    switch (instance.Claim(handover)) {
        case TSingleInstance::TOutcome::HandedOver:
            return 0;
        case TSingleInstance::TOutcome::NoAnswer:
            std::fprintf(stderr, "kelvarn: the running instance did not answer; nothing was handed over\n");
            return 1;
        case TSingleInstance::TOutcome::First:
            break;
    }
    WriteFirstStartSettings(state);

    TQtMessageSink messages;
    TQtProcessRunner runner;
    state.Messages = &messages;
    state.Runner = &runner;

    TQtFileClipboard clipboard;
    TQtTrash trash;
    state.Clipboard = &clipboard;
    state.Trash = &trash;
    TTextView::PrintLines = [&state](const std::vector<std::string>& lines, int tabWidth, bool fixedFont) {
        PrintLinesAfterDialog(nullptr, state, lines, tabWidth, fixedFont ? "Fixed" : "Proportional");
    };

    // The main window's config outline, which its frame shows and callback 201 loads.
    TWalnut walnut(state);
    TOutlineDocument outline(state);
    TOutlineCommandHooks outlineHooks(state, walnut);
    outline.SetHooks(&outlineHooks);

    // The windows, in their order; those of later parts join here.
    const TMainFrames frames = CreateFrames(state, outline);
    TMain main(state, frames, arguments);
    TColourBox colourBox(state, &main);
    TViewer viewer(state, new TTextView(state), &main);
    state.Viewer = &viewer;
    main.SetReportViewer(&viewer);
    TSelector selector(&main);
    ConnectMeshView(main, state, *static_cast<TMeshView*>(frames.mesh), selector, &colourBox);
    auto& outlineView = *static_cast<TOutlineView*>(frames.outline);
    TFindForm findForm(state, outlineView, &main);
    outlineView.SetFindForm(&findForm);
    RegisterOutlineCommands(main.Dispatcher(), outlineView);
    RegisterOutlineMainRows(main, outlineView);
    RegisterCatalogueRows(main, *static_cast<TXMLView*>(frames.tagCatalogue), outlineView);
    // The active build follows the Trainz-Build menu: the shown asset's own trainz-build, the default
    // build or one fixed build.
    TTrainzBuildState builds(state);
    ConnectTrainzBuildMenu(main, builds,
                           {[&outline] { return !outline.ShownFolder().empty(); },
                            [&outline] { return outline.GetValueByPath("config.txt\\trainz-build"); },
                            [&outlineView](const std::string& text) {
                                if (TAlert* alert = outlineView.Alert()) alert->ShowAlert(text);
                            }});
    Assets(state).SetConfigDocument(outline);
    Assets(state).LoadConfig = [&outlineView](const std::string& folder) { return outlineView.LoadConfig(folder); };
    // The script engine, on the config the asset list loads and its tagged folders. Still to plug in
    // as their parts land: Host().EditorOutlineHook and SetReview (editor window).
    TScriptEngine scripts(state, &main);
    scripts.Wire(main, &viewer);
    WireScriptsToAssets(scripts, Assets(state));
    scripts.SelectedEmbeddedScript = [&outlineView] {
        const TOutlineNode* node = outlineView.Selected();
        return node ? node->Name() : std::string();
    };

    instance.OnMessage = [&main](const THandoverMessage& message) {
        if (main.isMinimized()) main.showNormal();
        main.raise();
        main.activateWindow();
        main.Bus().SendCommand(message.code, message.text);
    };

    Assets(state).Wire(main);
    main.show();
    const int result = QApplication::exec();
    state.Viewer = nullptr;
    state.Clipboard = nullptr;
    state.Trash = nullptr;
    return result;
}
