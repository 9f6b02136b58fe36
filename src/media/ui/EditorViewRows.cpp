#include "media/ui/EditorViewRows.h"

#include "media/ui/ImageViewRows.h"
#include "media/ui/LODView.h"
#include "media/ui/TextureView.h"
#include "shell/Strings.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {

namespace {

// A load message that begins with "*" is meant for the file list's alert; the frame shows its others.
void ShowIn(TMain& main, IViewerFrame& frame, const std::string& path) {
    ClearPictureDescription(main);  // these editors show no picture
    const std::string message = frame.LoadFile(path, 0);
    if (!message.empty() && message.front() == '*')
        main.Frame(TFrameId::FileList)->Alert()->ShowAlert(message.substr(1), true, 1);
}

}  // namespace

void ConnectEditorViews(TMain& main, TTextureView& texture, TLODView& lod) {
    main.RegisterViewerBranch(TViewerChoice::TextureDescriptor,
                              [&main, &texture](const std::string& path) { ShowIn(main, texture, path); });
    main.RegisterViewerBranch(TViewerChoice::LevelOfDetail,
                              [&main, &lod](const std::string& path) { ShowIn(main, lod, path); });
}

}  // namespace kelvarn
