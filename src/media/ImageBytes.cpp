#include "media/ImageBytes.h"

#include <algorithm>

namespace kelvarn {

void MirrorPixelRows(std::uint8_t* pixels, int width, int height, int bpp) {
    const std::size_t row = static_cast<std::size_t>(width) * bpp;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* r = pixels + y * row;
        for (int x = 0; x < width / 2; ++x) std::swap_ranges(r + x * bpp, r + (x + 1) * bpp, r + (width - 1 - x) * bpp);
    }
}

Image32 RawToImage32(const RawImage& raw) {
    Image32 image;
    if (raw.BytesPerPixel < 3 || !image.Resize(raw.Width, raw.Height)) return image;
    image.Depth = raw.BytesPerPixel == 4 ? 32 : 24;
    const int bpp = raw.BytesPerPixel;
    for (int y = 0; y < raw.Height; ++y) {
        const std::uint8_t* src = raw.Pixels.data() + static_cast<std::size_t>(raw.Height - 1 - y) * raw.RowBytes();
        std::uint32_t* dst = &image.At(0, y);
        for (int x = 0; x < raw.Width; ++x, src += bpp) {
            const std::uint32_t a = bpp == 4 ? src[3] : 255u;
            dst[x] = (a << 24) | (static_cast<std::uint32_t>(src[0]) << 16) |
                     (static_cast<std::uint32_t>(src[1]) << 8) | src[2];
        }
    }
    return image;
}

RawImage Image32ToRaw(const Image32& image, int bytesPerPixel) {
    RawImage raw;
    if (image.Empty()) return raw;
    raw.Allocate(image.Width, image.Height, bytesPerPixel, false);
    for (int y = 0; y < image.Height; ++y) {
        std::uint8_t* dst = raw.Pixels.data() + static_cast<std::size_t>(image.Height - 1 - y) * raw.RowBytes();
        const std::uint32_t* src = image.Pixels.data() + static_cast<std::size_t>(y) * image.Width;
        for (int x = 0; x < image.Width; ++x, dst += bytesPerPixel) {
            const std::uint32_t p = src[x];
            dst[0] = static_cast<std::uint8_t>(p >> 16);
            dst[1] = static_cast<std::uint8_t>(p >> 8);
            dst[2] = static_cast<std::uint8_t>(p);
            if (bytesPerPixel == 4) dst[3] = static_cast<std::uint8_t>(p >> 24);
        }
    }
    return raw;
}

}  // namespace kelvarn
