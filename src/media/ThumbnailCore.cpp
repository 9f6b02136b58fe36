#include "media/ThumbnailCore.h"

#include <algorithm>
#include <array>

#include "media/Resample.h"

namespace kelvarn {

int ThumbnailBorderMaximum(int width, int height) { return std::max(0, std::min(width, height) / 3); }

TCropRect ThumbnailCrop(int width, int height, int border) {
    if (width <= 0 || height <= 0) return {};
    border = std::clamp(border, 0, ThumbnailBorderMaximum(width, height));
    const long long wi = std::max(1, width - 2 * border), hi = std::max(1, height - 2 * border);
    TCropRect r;
    if (wi < hi * 4 / 3) {  // tall: top and bottom are cut
        r.W = static_cast<int>(wi);
        r.H = static_cast<int>(std::max(1LL, wi * 3 / 4));
        r.X = border;
        r.Y = static_cast<int>((hi - r.H) / 2 + border);
    } else {  // wide: the sides are cut
        r.W = static_cast<int>(std::max(1LL, hi * 4 / 3));
        r.H = static_cast<int>(hi);
        r.X = static_cast<int>((wi - r.W) / 2 + border);
        r.Y = border;
    }
    r.W = std::min(r.W, width - r.X);
    r.H = std::min(r.H, height - r.Y);
    return r;
}

Image32 CropToThumbnail(const Image32& source, int border) {
    if (source.Empty()) return {};
    const TCropRect r = ThumbnailCrop(source.Width, source.Height, border);
    Image32 crop;
    crop.Resize(r.W, r.H);
    crop.Depth = source.Depth;
    for (int y = 0; y < r.H; ++y)
        std::copy_n(source.Pixels.begin() + (static_cast<std::ptrdiff_t>(r.Y + y) * source.Width + r.X), r.W,
                    &crop.At(0, y));
    ResampleBitmap(crop, kThumbnailWidth, kThumbnailHeight);
    return crop;
}

void BlendWatermark(Image32& thumbnail, const Image32& watermark) {
    const int w = std::min(thumbnail.Width, watermark.Width), h = std::min(thumbnail.Height, watermark.Height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t s = watermark.At(x, y), d = thumbnail.At(x, y);
            const std::uint32_t a = s >> 24;
            std::uint32_t out = d & 0xFF000000u;
            for (int shift : {0, 8, 16}) {
                const std::uint32_t sc = (s >> shift) & 0xFFu, dc = (d >> shift) & 0xFFu;
                out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
            }
            thumbnail.At(x, y) = out;
        }
}

void PremultiplyAlpha(Image32& image) {
    static const auto table = [] {
        std::array<std::array<std::uint8_t, 256>, 256> t{};
        for (int a = 0; a < 256; ++a)
            for (int c = 0; c < 256; ++c) t[a][c] = static_cast<std::uint8_t>(a * c / 255);
        return t;
    }();
    for (std::uint32_t& p : image.Pixels) {
        const auto& row = table[p >> 24];
        p = (p & 0xFF000000u) | (std::uint32_t{row[(p >> 16) & 0xFFu]} << 16) |
            (std::uint32_t{row[(p >> 8) & 0xFFu]} << 8) | row[p & 0xFFu];
    }
}

}  // namespace kelvarn
