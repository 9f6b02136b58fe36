// The program's windows and what they stand on, made and wired in their start-up order. main() makes
// one after the core services and the single-instance check; tests make one the same way, so what
// they walk through is the program as it starts.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvarn {

class IAudioPlayer;
class IAudioSink;
class ITextLibrary;
class TAssetFrames;
class TAudioForm;
class TAudioPlayer;
class TColourBox;
class TEditor;
class TEditorReview;
class TEditorTagHost;
class TFindForm;
class TImagePages;
class TMain;
class TOutlineWiring;
class TOutlineDocument;
class TOutlineView;
class TOptions;
class TProgramState;
class TScriptEngine;
class TSelector;
class TSplashPreview;
class TSplash;
class TThumbnail;
class TTrainzBuildState;
class TViewer;

class TProgramWindows {
public:
    // `state` has its settings, message sink, runner, clipboard and trash set; `arguments` is the
    // command line without the program.
    TProgramWindows(TProgramState& state, std::vector<std::string> arguments);
    ~TProgramWindows();
    TProgramWindows(const TProgramWindows&) = delete;
    TProgramWindows& operator=(const TProgramWindows&) = delete;

    TMain& Main() { return *main_; }
    TViewer& Viewer() { return *viewer_; }
    TOptions& Options() { return *options_; }
    TAssetFrames& Assets() { return *assets_; }
    TOutlineView& Outline() { return *outlineView_; }
    TEditor& Editor() { return *editor_; }
    TScriptEngine& Scripts() { return *scripts_; }
    TAudioPlayer& Audio() { return *audio_; }
    TAudioForm& AudioForm() { return *audioForm_; }

    // Makes the audio output; tests put a fake here before the windows are made. Unset: Qt's output.
    static std::function<std::unique_ptr<IAudioSink>()> MakeAudioSink;

private:
    TProgramState& state_;
    // The player outlives the windows, whose end timer and editor call it.
    std::unique_ptr<IAudioSink> audioSink_;
    std::unique_ptr<TAudioPlayer> audio_;
    IAudioPlayer* previousAudio_ = nullptr;
    // The text report library, installed before the main window unless one is there already.
    std::unique_ptr<ITextLibrary> textLibrary_;
    // Declared in the order they are made; they go in the reverse one. The asset frames outlive the
    // main window, which owns their widgets.
    std::unique_ptr<TAssetFrames> assets_;
    std::unique_ptr<TOutlineDocument> outline_;
    std::unique_ptr<TOutlineWiring> outlineWiring_;
    std::unique_ptr<TMain> main_;
    std::unique_ptr<TEditor> editor_;
    std::unique_ptr<TColourBox> colourBox_;
    std::unique_ptr<TViewer> viewer_;
    std::unique_ptr<TSelector> selector_;
    std::unique_ptr<TSplash> splash_;
    std::unique_ptr<TThumbnail> thumbnail_;
    std::unique_ptr<TSplashPreview> preview_;
    std::unique_ptr<TImagePages> imagePages_;
    std::unique_ptr<TFindForm> findForm_;
    std::unique_ptr<TTrainzBuildState> builds_;
    std::unique_ptr<TScriptEngine> scripts_;
    std::unique_ptr<TEditorReview> review_;
    std::unique_ptr<TEditorTagHost> tagHost_;
    std::unique_ptr<TOptions> options_;
    TOutlineView* outlineView_ = nullptr;
    TAudioForm* audioForm_ = nullptr;
};

}  // namespace kelvarn
