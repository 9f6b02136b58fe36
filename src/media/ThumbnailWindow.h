// What the mesh and image viewers need of the thumbnail window: it takes a rendered picture as its
// source, lets the user crop it and lay the watermark over it, and says whether the result is to be
// saved.
#pragma once

#include <string>

#include "shell/Image32.h"

namespace kelvarn {

class IThumbnailWindow {
public:
    virtual ~IThumbnailWindow() = default;
    // `picture` is the source on entry and the thumbnail to save on return. `watermarkFile` is empty
    // when there is no watermark to offer. False when the user cancelled.
    virtual bool MakeThumbnail(Image32& picture, const std::string& watermarkFile) = 0;
    // A picture file as source, cropped inside the border the user chooses, the watermark offered
    // unticked. False when the file does not load (`error` says why) or the user cancelled; else
    // `thumbnail` is the result.
    virtual bool MakeThumbnailFromFile(const std::string& file, Image32& thumbnail, std::string& error) = 0;
};

}  // namespace kelvarn
