// The image view's place in the main window: the image branch of showing a file (a load message
// beginning "*" goes to the file list's alert), the rows of commands 1010, 1020, 1021, 2501-2513 and
// 2515 and group 2500's menu state. src/app/ calls this once the windows exist.
#pragma once

#include <functional>
#include <string>

namespace kelvarn {

class TImageView;
class TMain;
class TProgramState;

struct TImageViewHooks {
    // A ".texture" file's descriptor text as a report (command 2502); unset: the file header instead.
    std::function<void(const std::string& path)> ShowTextureText;
};

void ConnectImageView(TMain& main, TProgramState& state, TImageView& view, TImageViewHooks hooks);

// Another viewer comes to the front: the status bar stops describing the picture, unless another
// text (a tag's help, say) has taken its place since.
void ClearPictureDescription(TMain& main);

}  // namespace kelvarn
