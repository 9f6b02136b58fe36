#include "app/ProgramWindows.h"

#include "app/EditorReview.h"
#include "app/MainMenuStates.h"
#include "app/SplashPreview.h"

#include "catalogue/AssetPages.h"
#include "catalogue/KuidMap.h"
#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/OutlineWiring.h"
#include "catalogue/ui/AssetFrames.h"
#include "catalogue/ui/AssetList.h"
#include "catalogue/ui/Editor.h"
#include "catalogue/ui/EditorTagHost.h"
#include "catalogue/ui/FileView.h"
#include "catalogue/ui/FindForm.h"
#include "catalogue/ui/OutlineRows.h"
#include "catalogue/ui/OutlineView.h"
#include "catalogue/ui/Tzu.h"
#include "catalogue/ui/TagEditRows.h"
#include "catalogue/ui/XMLView.h"
#include "catalogue/WikiHelp.h"
#include "media/AudioPlayer.h"
#include "media/ui/AudioForm.h"
#include "media/ui/EditorViewRows.h"
#include "media/ui/GridView.h"
#include "media/ui/GridViewRows.h"
#include "media/ui/LODView.h"
#include "media/ui/ImagePages.h"
#include "media/ui/ImageView.h"
#include "media/ui/ImageViewRows.h"
#include "media/ui/MeshView.h"
#include "media/ui/MeshViewRows.h"
#include "media/ui/PreviewRow.h"
#include "media/ui/QtAudioSink.h"
#include "media/ui/Selector.h"
#include "media/ui/Splash.h"
#include "media/ui/TextView.h"
#include "media/ui/TextureView.h"
#include "media/ui/Thumbnail.h"
#include "media/TextReportLibrary.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "shell/TrainzBuild.h"
#include "shell/ui/Alert.h"
#include "shell/ui/ColourBox.h"
#include "shell/ui/FramePanel.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Options.h"
#include "shell/ui/ShellRows.h"
#include "shell/ui/Printing.h"
#include "shell/ui/TextReports.h"
#include "shell/ui/TrainzBuildMenu.h"
#include "shell/ui/UserMenus.h"
#include "shell/ui/Viewer.h"
#include "validation/ScriptUnit.h"
#include "validation/ui/FileCheckRows.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptEngine.h"
#include "validation/ui/ValidationRows.h"

namespace kelvarn {

namespace {

// The panes. Parts not built yet are empty frames with a do-nothing protocol; their issues put the
// real frames here.
TMainFrames CreateFrames(TProgramState& state, TAssetFrames& assets, TOutlineDocument& outline) {
    TMainFrames f;
    f.assetList = assets.AssetList();
    f.fileList = assets.FileView();
    f.outline = new TOutlineView(state, outline);
    f.text = new TTextView(state);
    f.mesh = new TMeshView(state);
    f.table = new TGridView(state);
    f.image = new TImageView(state);
    f.tagCatalogue = new TXMLView(state, *static_cast<TOutlineView*>(f.outline));
    auto* texture = new TTextureView(state);
    texture->OpenHelpPage = [&state](const std::string& page) { OpenWikiPage(state, page); };
    f.textureDescriptor = texture;
    auto* lod = new TLODView(state);
    lod->OpenHelpPage = [&state](const std::string& page) { OpenWikiPage(state, page); };
    f.levelOfDetail = lod;
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

// The outline's Asset Details, F12 search and menu states go to the simulator's utility.
void WireUtility(TOutlineView& outline, TAssetFrames& assets) {
    TTZU& tzu = assets.Tzu();
    TAssetCatalogue& catalogue = assets.Catalogue();
    outline.IsConsoleOpen = [&tzu] { return tzu.IsConsoleOpen(); };
    outline.AssetStatus = [&catalogue](TOutlineNode* node) {
        if (node) catalogue.RequestAssetDetails(Trim(TagValueUnquoted(node->Text())));
    };
    outline.OpenKuid = [&catalogue](TOutlineNode* node) {
        if (node) catalogue.OpenDependency(Trim(TagValueUnquoted(node->Text())));
    };
    outline.ConsoleSearch = [&tzu](const std::string& search) { tzu.TzuRequest(tjCategorySearch, search); };
    outline.KeptSearch = [&tzu] { return tzu.Runner().SearchString(); };
}

// The editor window with its own text view and table view; its frames take the main window as
// command target and the form font when the main window shows.
std::unique_ptr<TEditor> CreateEditor(TProgramState& state, TMain& main) {
    auto* text = new TTextView(state);
    auto* table = new TGridView(state);
    auto editor = std::make_unique<TEditor>(state, *text, *table, &main);
    TEditor& e = *editor;
    main.ShowHooks.push_back([&e, &main] {
        e.TextView().Init(&main.Bus());
        e.TableView().Init(&main.Bus());
        e.OutlineView().Init(&main.Bus());
    });
    main.FontHooks.push_back([&e](const QFont& font) { e.setFont(font); });
    return editor;
}

// Batches run in the editor window: its outline, its review and its batch mode; its script mode is
// the script unit's.
void WireScriptsToEditor(TScriptEngine& scripts, TEditor& editor, TEditorReview& review) {
    scripts.Host().EditorOutlineHook = [&editor] { return &editor.Outline(); };
    scripts.Host().BatchModeHook = [&editor](bool on) { editor.BatchMode(on); };
    scripts.SetReview(&review);
    TScriptUnit& unit = scripts.Unit();
    editor.ScriptMode = [&unit] { return unit.ScriptMode(); };
}

// The audio editor reaches the asset, the file list and the main config through hooks.
void WireAudioForm(TAudioForm& form, TProgramState& state, TAssetFrames& assets, TOutlineDocument& outline) {
    form.AssetFolder = [&state] { return state.AssetPath(); };
    form.CurrentFile = [&state] { return state.AssetFileName(); };
    form.SaveTag = [&outline](const std::string& path, const std::string& value) {
        // An undo point first, kept only when the tag changed.
        outline.EditWithUndo([&] { return outline.SetTagByPath(path, value); });
        return std::string();
    };
    form.FilesChanged = [&state, &assets] { assets.Files().RefreshFileList(state.AssetFileName()); };
}

}  // namespace

std::function<std::unique_ptr<IAudioSink>()> TProgramWindows::MakeAudioSink;

TProgramWindows::TProgramWindows(TProgramState& state, std::vector<std::string> arguments) : state_(state) {
    // The one audio player, which the file list, the tool runner and the audio editor share.
    audioSink_ = MakeAudioSink ? MakeAudioSink() : std::make_unique<QtAudioSink>();
    audio_ = std::make_unique<TAudioPlayer>(*audioSink_, state);
    previousAudio_ = state.Audio;
    state.Audio = audio_.get();
    // What the settings dialog's settings mean at start-up, whether or not it ever opens: the default
    // tool, the built-in builds (before the Trainz-Build menu reads them), the simulator folders and
    // the user's KUID number, which the new and clone pages complete KUIDs with.
    LoadOptionSettings(state);
    // The asset list and the file list with what they stand on.
    assets_ = std::make_unique<TAssetFrames>(state, ProgramKuidMap());
    TTextView::PrintLines = [&state](const std::vector<std::string>& lines, int tabWidth, bool fixedFont) {
        PrintLinesAfterDialog(nullptr, state, lines, tabWidth, fixedFont ? "Fixed" : "Proportional");
    };

    // The main window's config outline, which its frame shows and callback 201 loads.
    outline_ = std::make_unique<TOutlineDocument>(state);
    outlineWiring_ = std::make_unique<TOutlineWiring>(state, *outline_, true);

    // The text report library, which the windows' reports and queries call.
    if (!state.TextLibrary) {
        textLibrary_ = std::make_unique<TextReportLibrary>();
        state.TextLibrary = textLibrary_.get();
    }
    // The windows, in their order; those of later parts join here.
    const TMainFrames frames = CreateFrames(state, *assets_, *outline_);
    main_ = std::make_unique<TMain>(state, frames, std::move(arguments));
    TMain& main = *main_;
    editor_ = CreateEditor(state, main);
    assets_->SetDialogs(*editor_);
    colourBox_ = std::make_unique<TColourBox>(state, &main);
    editor_->ColourBox = colourBox_.get();
    auto* reportText = new TTextView(state);
    ApplyAlertScheme(*reportText->Alert(), state.Settings());
    viewer_ = std::make_unique<TViewer>(state, reportText, &main);
    state.Viewer = viewer_.get();
    main.SetReportViewer(viewer_.get());
    editor_->ReportViewer = viewer_.get();
    ConnectTextReports(main, state, *viewer_);
    selector_ = std::make_unique<TSelector>(&main);
    options_ = std::make_unique<TOptions>(state, colourBox_.get(), &main);
    ConnectOptions(main, *options_, viewer_.get());
    splash_ = std::make_unique<TSplash>(&main);
    thumbnail_ = std::make_unique<TThumbnail>(state, &main);
    static_cast<TMeshView*>(frames.mesh)->SetThumbnailWindow(thumbnail_.get());
    ConnectMeshView(main, state, *static_cast<TMeshView*>(frames.mesh), *selector_, colourBox_.get());
    audioForm_ = new TAudioForm(state, *audio_, &main);
    ConnectAudio(main, *audio_, *audioForm_);
    ConnectGridView(main, *static_cast<TGridView*>(frames.table));
    ConnectEditorViews(main, *static_cast<TTextureView*>(frames.textureDescriptor),
                       *static_cast<TLODView*>(frames.levelOfDetail));
    RegisterShowPreview(main, state);
    // The image view with its pages in the editor window.
    imagePages_ = std::make_unique<TImagePages>(state, *editor_);
    auto& imageView = *static_cast<TImageView*>(frames.image);
    imageView.SetDialogs(imagePages_.get());
    imageView.SetThumbnailWindow(thumbnail_.get());
    preview_ = std::make_unique<TSplashPreview>(*splash_, main);
    imageView.SetFloatingPreview(preview_.get());
    imageView.ShowFileHeader = [this](const std::string& path) { editor_->ShowFileHeader(path); };
    ConnectImageView(main, state, imageView, {[this, &main, &state](const std::string&) {
                         ShowTextReport(main, state, *viewer_, 12, "Texture.txt Contents");
                     }});
    outlineView_ = static_cast<TOutlineView*>(frames.outline);
    TOutlineView& outlineView = *outlineView_;
    findForm_ = std::make_unique<TFindForm>(state, outlineView, &main);
    outlineView.SetFindForm(findForm_.get());
    RegisterOutlineCommands(main.Dispatcher(), outlineView);
    RegisterOutlineMainRows(main, outlineView);
    RegisterCatalogueRows(main, *static_cast<TXMLView*>(frames.tagCatalogue), outlineView);
    RegisterFileCheckRows(main.Dispatcher(), [&outlineView](const std::function<void(const TAssetCheck&)>& run) {
        outlineView.RunAssetCheck(run);
    });
    RegisterRepairTexturesRow(main.Dispatcher(), state, *outline_);
    RegisterValidationRows(main.Dispatcher(), outlineWiring_->Walnut(),
                           [&outlineView](const std::function<void(const TAssetCheck&)>& run) { outlineView.RunAssetCheck(run); });
    RegisterBackupRows(main, state);
    RegisterUpdatesRow(main.Dispatcher(), state);
    RegisterAssetPageRows(main.Dispatcher(), outlineView, *editor_);
    // Tag edits of the main outline go through the editor window.
    tagHost_ = std::make_unique<TEditorTagHost>(state, *editor_, *outline_);
    RegisterTagEditRows(main, outlineView, *editor_, *tagHost_, outlineWiring_->Walnut());
    static_cast<TXMLView*>(frames.tagCatalogue)->AskTagName = [this](const std::string&, const std::string& proposal) {
        return editor_->InputLine("Add to Config", "Tag Name:", proposal, "");
    };
    // The active build follows the Trainz-Build menu: the shown asset's own trainz-build, the default
    // build or one fixed build.
    builds_ = std::make_unique<TTrainzBuildState>(state);
    TOutlineDocument& outline = *outline_;
    ConnectTrainzBuildMenu(main, *builds_,
                           {[&outline] { return !outline.ShownFolder().empty(); },
                            [&outline] { return outline.GetValueByPath("config.txt\\trainz-build"); },
                            [&outlineView](const std::string& text) {
                                if (TAlert* alert = outlineView.Alert()) alert->ShowAlert(text);
                            }});
    assets_->SetConfigDocument(outline);
    // A text view that saves the config while the outline holds edits of it asks first.
    TTextView::BeforeWrite = [&outline](const std::string& path, const std::string& bytes) {
        return outline.SettleTextSave(path, bytes);
    };
    assets_->LoadConfig = [&outlineView](const std::string& folder) { return outlineView.LoadConfig(folder); };
    // The script engine, on the config the asset list loads and its tagged folders; its batches run
    // in the editor window.
    scripts_ = std::make_unique<TScriptEngine>(state, &main);
    scripts_->Wire(main, viewer_.get());
    WireScriptsToAssets(*scripts_, *assets_);
    review_ = std::make_unique<TEditorReview>(*editor_);
    WireScriptsToEditor(*scripts_, *editor_, *review_);
    scripts_->Host().Dialogs = &assets_->Dialogs();
    scripts_->SelectedEmbeddedScript = [&outlineView] {
        const TOutlineNode* node = outlineView.Selected();
        return node ? node->Name() : std::string();
    };

    // User items and links run through the file list's tool runner; the Scripts menu lists the
    // scripts embedded in the shown config.
    TUserMenus& userMenus = ConnectUserMenus(main, state);
    userMenus.RunTool = [&assets = *assets_](const std::string& caption, const std::string& toolLine) {
        assets.FileView()->RunTool(caption, toolLine);
    };
    userMenus.EmbeddedScripts = [&outline] {
        std::vector<std::string> names;
        outline.ListChildNames(kEmbeddedScripts, names);
        return names;
    };
    options_->RebuildUserMenus = [&userMenus] { userMenus.BuildUserMenus(); };

    assets_->Wire(main);
    WireUtility(outlineView, *assets_);
    WireAudioForm(*audioForm_, state, *assets_, outline);
    ConnectMainMenuRules(main, state, *assets_, outlineView);
}

TProgramWindows::~TProgramWindows() {
    audio_->Stop();
    audio_->SetEndTimer = nullptr;
    audio_->ShowEditor = nullptr;
    audio_->StateChanged = nullptr;
    audio_->PlaybackOver = nullptr;
    if (state_.Audio == audio_.get()) state_.Audio = previousAudio_;
    if (state_.Viewer == viewer_.get()) state_.Viewer = nullptr;
    if (textLibrary_ && state_.TextLibrary == textLibrary_.get()) state_.TextLibrary = nullptr;
    TTextView::PrintLines = nullptr;
    TTextView::BeforeWrite = nullptr;
}

}  // namespace kelvarn
