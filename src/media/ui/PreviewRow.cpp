#include "media/ui/PreviewRow.h"

#include "media/ImageViewRules.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

void RegisterShowPreview(TMain& main, TProgramState& state) {
    main.Dispatcher().RegisterCallback(ccShowPreview, [&main, &state](const std::string&) {
        for (TFrameId id : {TFrameId::Text, TFrameId::TextureDescriptor, TFrameId::LevelOfDetail, TFrameId::Image})
            main.Frame(id)->QuerySave();
        auto* image = static_cast<IViewerFrame*>(main.Frame(TFrameId::Image));
        const TThumbnailChoice choice =
            state.AssetPath().empty()
                ? TThumbnailChoice()
                : FindThumbnail(state.AssetPath(), NativePath(ExpandMacros(state, "%bin%\\Kelvarn.jpg")));
        if (choice.Path.empty()) {
            image->Clear();
            main.SetActiveViewer(TFrameId::Text);
            return;
        }
        // The image view describes what it shows, or says why it could not.
        const std::string message = image->LoadFile(choice.Path, 0);
        main.SetActiveViewer(TFrameId::Image);
        if (choice.Multiple) image->Alert()->ShowAlert("Multiple thumbnail images found", true, 0);
        state.SendStatusText(stPanel2, message);
    });
}

}  // namespace kelvarn
