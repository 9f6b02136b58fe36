#include "media/ui/MeshViewRows.h"

#include <fstream>

#include "media/ui/ImageViewRows.h"
#include "media/ui/MeshView.h"
#include "media/ui/Selector.h"
#include "shell/PathText.h"
#include "shell/Mesh.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/TextLibrary.h"
#include "shell/ui/Alert.h"
#include "shell/ui/ColourBox.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

namespace {

// The selector's lists are the report library's answers on the file the view shows.
void FillSelector(TSelector& selector, const TMeshView& view, TProgramState& state, int op) {
    std::vector<std::string> lines;
    if (!CallTextLibrary(state, op, view.ShownFile(), lines)) lines.clear();
    selector.SetItems(lines);
}

bool IsCompressedMesh(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    char tag[4] = {};
    return in.read(tag, 4) && std::string_view(tag, 4) == "CFIL";
}

}  // namespace

void ConnectMeshView(TMain& main, TProgramState& state, TMeshView& view, TSelector& selector,
                     TColourBox* colourBox) {
    view.SetSelector(&selector);
    if (colourBox)
        view.PickColour = [colourBox](const std::string& caption, TColor start) -> std::optional<TColor> {
            colourBox->PrepareHtmlColour(caption, ColorToHex(start));
            colourBox->exec();
            if (!colourBox->Accepted()) return std::nullopt;
            return colourBox->GetColour(1, start);
        };

    main.RegisterViewerBranch(TViewerChoice::Mesh, [&main, &view](const std::string& path) {
        ClearPictureDescription(main);
        // The outline's header check: a file it refuses is not handed to the view.
        if (std::string message = CheckMeshFile(path); !message.empty()) {
            // The mesh reader names what it cannot do with a compressed file; the header check cannot.
            if (IsCompressedMesh(path)) {
                view.ShowMesh(path);
                return;
            }
            main.Frame(TFrameId::FileList)->Alert()->ShowAlert(message, true, 1);
            view.ClearMesh(message);
            return;
        }
        view.ShowMesh(path);
    });

    TDispatcher& d = main.Dispatcher();
    d.RegisterCallback(ccShowPoint, [&view](const std::string& text) { view.RenderPoints(text); });
    d.RegisterCallback(ccShowTexture, [&view](const std::string& text) { view.RenderTexture(text); });
    d.AddMenuValidator([&view](int group) {
        if (group == 2600) view.UpdateMenuState();
    });

    d.RegisterCommand(2650, [&view](const std::string&) { view.ImageInfoClick(); });
    d.RegisterCommand(2652, [&view, &selector, &state](const std::string&) {
        FillSelector(selector, view, state, toAttachmentNames);
    });
    d.RegisterCommand(2653, [&view, &selector, &state](const std::string&) {
        FillSelector(selector, view, state, toMeshTextures);
    });
    for (int tag : {2654, 2692}) d.RegisterCommand(tag, [&view, tag](const std::string&) { view.MeshButtonAction(tag); });
    d.RegisterCommand(2655, [&view](const std::string&) { view.ColourClick(); });
    d.RegisterCommand(2656, [&view](const std::string&) { view.Screenshot(); });
    for (int tag : {2657, 2658, 2659, 2660, 2661, 2662, 2666})
        d.RegisterCommand(tag, [&view, tag](const std::string&) { view.PresetViewClick(tag); });
    d.RegisterCommand(2663, [&view, &state](const std::string&) {
        WriteSettingBool(state.Settings(), keys::BoundingBox, view.GuidesShown());
        if (std::string error = state.Settings().UpdateFile(); !error.empty() && !state.Settings().FileName().empty())
            state.Messages->ShowMessage(error, "", MessageKind::Error);
    });
    for (int tag : {2690, 2691}) d.RegisterCommand(tag, [&selector](const std::string&) { selector.hide(); });
    d.RegisterCommand(2693, [&view, &selector](const std::string&) { view.AdjustPointSize(selector.PointSize()); });
    d.RegisterCommand(2694, [&view, &selector](const std::string&) { view.AdjustLineWeight(selector.LineColour()); });
}

}  // namespace kelvarn
