// The enabled states of the image view's commands (its buttons and context menu, group 2500) and of
// the main menu's image items, from what the view shows.
#pragma once

#include <string>
#include <vector>

#include "shell/MenuItemState.h"

namespace kelvarn {

struct TImageMenuFacts {
    int AlphaKind = 0;          // the viewer's: 0 none, 1 masked, 2 blended
    bool Modified = false;
    bool Uniform = false;       // every pixel has the first one's colour
    std::string Extension;      // the current file's (the file list's), with its dot
    bool PreviewVisible = false;
};
std::vector<TMenuItemState> ImageViewMenuStates(const TImageMenuFacts& facts);

// The main menu's items that read the image view.
struct TImageMainMenuFacts {
    bool ImageViewActive = false;
    bool FileListEmpty = true;
    bool AssetSelected = false;
    bool ImageModified = false;
    bool OutlineMaximised = false;  // layout mode 1
    std::string AssetFolder;
};
// mSaveImageAs, mCreateNewImage with its seven stock items (named by their captions), mScreenshot.
std::vector<TMenuItemState> ImageMainMenuStates(const TImageMainMenuFacts& facts);

}  // namespace kelvarn
