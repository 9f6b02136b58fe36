// What the thumbnail window computes: the 4:3 crop inside a border, the 240 x 180 result, the
// watermark laid over it, and the premultiplied pixels a layered (splash) window shows.
#pragma once

#include "shell/Image32.h"

namespace kelvarn {

inline constexpr int kThumbnailWidth = 240;
inline constexpr int kThumbnailHeight = 180;

struct TCropRect {
    int X = 0, Y = 0, W = 0, H = 0;
    bool operator==(const TCropRect&) const = default;
};

// The largest border the crop allows: the smaller side div 3.
int ThumbnailBorderMaximum(int width, int height);
// The 4:3 rectangle inside a border of `border` pixels: wide sources lose their sides, tall ones top
// and bottom. Sides are at least 1 pixel, and the rectangle lies within the source.
TCropRect ThumbnailCrop(int width, int height, int border);
// The crop of the source scaled to 240 x 180 (the plain thumbnail); empty for an empty source.
Image32 CropToThumbnail(const Image32& source, int border);
// Lays the watermark over the thumbnail at (0, 0) with alpha blending, clipped to the thumbnail.
void BlendWatermark(Image32& thumbnail, const Image32& watermark);
// Colours multiplied by alpha: t[a][c] = a x c div 255.
void PremultiplyAlpha(Image32& image);

}  // namespace kelvarn
