// The size of a picture read from its header alone, for the checks that judge image sizes without
// decoding the pixels.
#pragma once

#include <optional>
#include <string_view>

namespace kelvarn {

struct TImageSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TImageSize&) const = default;
};

// The width and height a BMP, JPEG or TGA header gives. The kind is told by the bytes (BMP's "BM",
// JPEG's start-of-image marker, else a TGA header), not by the name, since assets carry pictures under
// the wrong extension. None when the header is missing, cut short or makes no sense.
std::optional<TImageSize> ImageSizeFromBytes(std::string_view bytes);
// The same for a file; none when it cannot be read.
std::optional<TImageSize> GetImageSize(std::string_view path);

}  // namespace kelvarn
