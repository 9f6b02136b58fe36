// What the image view asks of the image pages (resize, merge, alpha from image): each page chooses,
// the view does the image work with what comes back. Nothing comes back when the user cancels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "shell/Image32.h"

namespace kelvarn {

struct TResizeChoice {
    int Width = 0;
    int Height = 0;
    bool Mask = false;  // "Retain Alpha as Mask" ticked
};

class IImageDialogs {
public:
    virtual ~IImageDialogs() = default;
    // The mask box is shown and ticked only for a masked image.
    virtual std::optional<TResizeChoice> ResizeDialog(int width, int height, bool masked) = 0;
    // Another picture of the asset of the same size, as the grey picture that becomes the alpha.
    virtual std::optional<Image32> MergeImageDialog(const std::string& shownFile, int width, int height) = 0;
    // The mask made from the image by the key colour (ARGB), the tolerance and the invert box.
    virtual std::optional<Image32> AlphaFromImageDialog(const Image32& image, std::uint32_t keyColour) = 0;
};

}  // namespace kelvarn
