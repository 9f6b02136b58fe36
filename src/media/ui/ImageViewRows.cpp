#include "media/ui/ImageViewRows.h"

#include <QLabel>

#include "media/StockImages.h"
#include "media/ui/ImageView.h"
#include "shell/CommandBus.h"
#include "shell/Macros.h"
#include "shell/MessageRouting.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

void ClearPictureDescription(TMain& main) {
    const auto* image = dynamic_cast<const TImageView*>(main.Frame(TFrameId::Image));
    if (!image || image->Described().empty()) return;
    const QLabel* panel = main.StatusPanel(StatusPanelFor(stPanel2));
    if (panel && panel->text().toStdString() == StatusPanelText(stPanel2, image->Described()))
        main.Bus().SendCommand(ccStatusText, FormatStatusText(stPanel2, ""));
}

void ConnectImageView(TMain& main, TProgramState& state, TImageView& view, TImageViewHooks hooks) {
    main.RegisterViewerBranch(TViewerChoice::Image, [&main, &view](const std::string& path) {
        const std::string message = view.LoadImageFile(path);
        if (StartsWith(message, "*")) main.Frame(TFrameId::FileList)->Alert()->ShowAlert(message, true, 1);
    });

    TDispatcher& d = main.Dispatcher();
    d.AddMenuValidator([&view](int group) {
        if (group == 2500) view.UpdateMenuState();
    });

    d.RegisterCommand(1010, [&view](const std::string&) { view.SaveImage(); });
    d.RegisterCommand(1020, [&state, &view](const std::string& text) {
        // The row's text is the item's caption: the stock image's file name.
        std::string name = text;
        std::erase(name, '&');
        std::string message;
        if (MakeStockTga(NativePath(state.AssetPath()), name, message)) {
            state.SendCommand(ccFileSaved, name);
            return;
        }
        if (StartsWith(message, ".")) view.Alert()->ShowAlert(message.substr(1), true, 0);
        else state.Messages->ShowMessage(message, "", MessageKind::Error);
    });
    d.RegisterCommand(1021, [&view](const std::string&) { view.EditThumbnail(); });
    d.RegisterCommand(2501, [&view](const std::string&) { view.FloatingPreview(); });
    d.RegisterCommand(2502, [&state, &view, hooks](const std::string&) {
        if (hooks.ShowTextureText && SameText(state.AssetFileExt(), ".texture"))
            hooks.ShowTextureText(ExpandMacros(state, "%pfe%"));
        else
            view.ImageInfo();
    });
    d.RegisterCommand(2503, [&view](const std::string&) { view.MaskToBlend(); });
    d.RegisterCommand(2504, [&view](const std::string&) { view.BlendToMask(); });
    d.RegisterCommand(2505, [&view](const std::string&) { view.RemoveAlpha(); });
    d.RegisterCommand(2506, [&view](const std::string&) { view.InvertAlpha(); });
    d.RegisterCommand(2507, [&view](const std::string&) { view.ImportAlpha(); });
    d.RegisterCommand(2508, [&view](const std::string&) { view.MaskFromImage(); });
    d.RegisterCommand(2509, [&view](const std::string&) { view.ImageResize(); });
    d.RegisterCommand(2510, [&view](const std::string&) { view.QuickSave(); });
    d.RegisterCommand(2511, [&view](const std::string&) { view.CreateNormalMap(); });
    d.RegisterCommand(2512, [&view](const std::string&) { view.RevertToOriginal(); });
    d.RegisterCommand(2513, [&view](const std::string&) { view.MakeNonUniform(true); });
    d.RegisterCommand(2515, [&view](const std::string&) { view.EditThumbnail(); });
}

}  // namespace kelvarn
