#include "shell/ui/TextReports.h"

#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/TextLibrary.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"

namespace kelvarn {

namespace {

// The text view's settings for program-made text: tabs of 3, the fixed font, no wrapping.
constexpr int kTabWidth = 3;

}  // namespace

void ShowTextReport(TMain& main, TProgramState& state, TViewer& viewer, int op, const std::string& caption) {
    std::vector<std::string> lines;
    if (!CallTextLibrary(state, op, state.AssetPathFile(), lines)) return;
    const TTextReportPlan plan = PlanTextReport(op, caption, lines);
    if (plan.inViewer) {
        viewer.ShowText(caption, lines, "Close");
        return;
    }
    IFrame* frame = main.Frame(plan.inImageView ? TFrameId::Image : TFrameId::Mesh);
    if (TAlert* alert = frame->Alert()) alert->ShowAlert(plan.alertText, false, 0);
}

bool ShowBinaryAsText(TProgramState& state, ITextViewer& text, const std::string& path) {
    std::vector<std::string> lines;
    if (!CallTextLibrary(state, toFileDump, path, lines)) return false;
    text.LoadStrings(lines, kTabWidth, true, false);
    return true;
}

void ConnectTextReports(TMain& main, TProgramState& state, TViewer& viewer) {
    TDispatcher& d = main.Dispatcher();
    d.RegisterCallback(ccImageSize, [&state](const std::string& text) { QueryImageSize(state, text); });
    d.RegisterCallback(ccMeshTextureProblems, [&state](const std::string& text) { QueryMeshTextureProblems(state, text); });
    d.RegisterCallback(ccTextCall, [&state](const std::string& text) { TextCallRequest(state, text); });
    main.RegisterViewerBranch(TViewerChoice::BinaryText, [&main, &state](const std::string& path) {
        if (auto* text = dynamic_cast<ITextViewer*>(main.Frame(TFrameId::Text))) ShowBinaryAsText(state, *text, path);
    });
    d.RegisterCommand(2651, [&main, &state, &viewer](const std::string&) {
        ShowTextReport(main, state, viewer, toFileDump, "Mesh File Data: " + state.AssetFileName());
    });
}

}  // namespace kelvarn
