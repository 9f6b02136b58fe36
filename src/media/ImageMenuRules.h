// The enabled states of the image view's commands (its buttons and context menu, group 2500), from
// what the view shows. The main menu's image items are the main-menu rules' (group 1000).
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
    bool Editable = false;      // a picture is shown, and not the program's placeholder
};
std::vector<TMenuItemState> ImageViewMenuStates(const TImageMenuFacts& facts);

}  // namespace kelvarn
