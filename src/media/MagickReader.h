// The further picture formats (PNG, GIF, TIFF, PSD, and BMP and JPEG files our own readers refuse)
// through ImageMagick's Magick++. The content decides the format against an allow-list and the
// coder is named explicitly, so ImageMagick never picks one itself: a vector or script coder (MVG,
// MSL, SVG, PS) can never run on an asset's file. Its resource limits are our caps.
#pragma once

#include "media/ImageBytes.h"

namespace kelvarn {

enum class ImageSignature { Unknown, Png, Gif, Tiff, Psd, Psp, Bmp, Jpeg };

ImageSignature DetectImageSignature(ByteSpan data);

struct GraphicProperties {
    int bits = 0;           // 32 with alpha, 8 for palette or grey pictures, 24 otherwise
    bool hasAlpha = false;
    int compression = 0;
};

// Reads PNG, GIF, TIFF, PSD, BMP or JPEG data of the given signature (its first picture). False
// for any other signature (PSP has no reader) or data ImageMagick refuses.
bool ReadWithMagick(ByteSpan data, ImageSignature signature, Image32& out, GraphicProperties& properties);

}  // namespace kelvarn
