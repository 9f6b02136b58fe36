#include "media/AlphaTools.h"

#include <algorithm>
#include <vector>

#include "media/Resample.h"
#include "media/TextureDescriptor.h"

namespace kelvarn {
namespace {

void SetAlpha(std::uint32_t& p, std::uint32_t alpha) { p = (p & 0x00FFFFFFu) | (alpha << 24); }

// One running-sum box pass over `count` samples `stride` apart, all four channels.
void BoxLine(std::uint32_t* line, int count, std::ptrdiff_t stride, int radius, std::vector<std::uint32_t>& copy) {
    copy.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) copy[static_cast<std::size_t>(i)] = line[i * stride];
    const int width = 2 * radius + 1;
    const std::uint32_t reciprocal = (65536u + static_cast<std::uint32_t>(width) / 2) / static_cast<std::uint32_t>(width);
    auto at = [&](int i) { return copy[static_cast<std::size_t>(std::clamp(i, 0, count - 1))]; };
    std::uint32_t sum[4] = {0, 0, 0, 0};
    for (int i = -radius; i <= radius; ++i)
        for (int c = 0; c < 4; ++c) sum[c] += (at(i) >> (8 * c)) & 0xFFu;
    for (int i = 0; i < count; ++i) {
        std::uint32_t out = 0;
        for (int c = 0; c < 4; ++c) {
            const std::uint32_t v = std::min<std::uint32_t>(255, (sum[c] * reciprocal + 32768u) >> 16);
            out |= v << (8 * c);
        }
        line[i * stride] = out;
        const std::uint32_t leaving = at(i - radius), entering = at(i + radius + 1);
        for (int c = 0; c < 4; ++c) sum[c] += ((entering >> (8 * c)) & 0xFFu) - ((leaving >> (8 * c)) & 0xFFu);
    }
}

}  // namespace

int ViewerAlphaKind(int libraryAlphaKind, const Image32& image) {
    if (libraryAlphaKind == 0) return 0;
    return std::max(1, ClassifyAlpha(image));
}

Image32 AlphaAsGrey(const Image32& image) {
    Image32 grey;
    grey.Width = image.Width;
    grey.Height = image.Height;
    grey.Depth = 24;
    grey.Pixels.resize(image.Pixels.size());
    for (std::size_t i = 0; i < image.Pixels.size(); ++i) grey.Pixels[i] = GreyPixel(AlphaOf(image.Pixels[i]));
    return grey;
}

int AlphaFromGrey(Image32& image, const Image32& grey) {
    if (grey.Width != image.Width || grey.Height != image.Height) return ClassifyAlpha(image);
    for (std::size_t i = 0; i < image.Pixels.size(); ++i) SetAlpha(image.Pixels[i], Intensity(grey.Pixels[i]));
    image.Depth = 32;
    return ClassifyAlpha(image);
}

void InvertAlpha(Image32& image) {
    for (std::uint32_t& p : image.Pixels) p ^= 0xFF000000u;
}

void RemoveAlpha(Image32& image) {
    for (std::uint32_t& p : image.Pixels) p |= 0xFF000000u;
}

void BlendToMask(Image32& image, int threshold) {
    for (std::uint32_t& p : image.Pixels) SetAlpha(p, static_cast<int>(AlphaOf(p)) <= threshold ? 0u : 255u);
}

int MaskToBlend(Image32& image) {
    Image32 grey = AlphaAsGrey(image);
    BoxBlur(grey, 1, 3);
    AlphaFromGrey(image, grey);
    // Blended whatever the alpha now holds: an opaque picture must keep its channel (and 32 bits).
    return 2;
}

void BoxBlur(Image32& image, int radius, int passes) {
    if (image.Empty() || radius < 1) return;
    std::vector<std::uint32_t> copy;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < image.Height; ++y) BoxLine(&image.At(0, y), image.Width, 1, radius, copy);
        for (int x = 0; x < image.Width; ++x) BoxLine(&image.At(x, 0), image.Height, image.Width, radius, copy);
    }
}

Image32 MergeGrey(const Image32& other, bool otherHasAlpha, TMergeMode mode, bool invert) {
    const bool useAlpha = mode == TMergeMode::AlphaChannel || (mode == TMergeMode::ImageDefault && otherHasAlpha);
    Image32 grey = useAlpha ? AlphaAsGrey(other) : other;
    if (!useAlpha)
        for (std::uint32_t& p : grey.Pixels) p = GreyPixel(Intensity(p));
    grey.Depth = 24;
    if (invert)
        for (std::uint32_t& p : grey.Pixels) p = GreyPixel(static_cast<std::uint8_t>(255 - (p & 0xFFu)));
    return grey;
}

Image32 MakeToleranceMask(const Image32& image, bool invert, int tolerance, std::uint32_t keyColour) {
    Image32 mask;
    mask.Width = image.Width;
    mask.Height = image.Height;
    mask.Depth = 24;
    mask.Pixels.resize(image.Pixels.size());
    const std::uint32_t inside = GreyPixel(invert ? 255 : 0), outside = GreyPixel(invert ? 0 : 255);
    for (std::size_t i = 0; i < image.Pixels.size(); ++i) {
        bool within = true;
        for (int shift : {0, 8, 16}) {
            const int v = static_cast<int>((image.Pixels[i] >> shift) & 0xFFu);
            const int k = static_cast<int>((keyColour >> shift) & 0xFFu);
            within = within && v >= k - tolerance && v <= k + tolerance;
        }
        mask.Pixels[i] = within ? inside : outside;
    }
    return mask;
}

void MakePixelsNonUniform(Image32& image, bool survivesJpeg) {
    if (image.Empty()) return;
    const std::uint32_t first = image.At(0, 0);
    if (image.Width == 1 || image.Height == 1) ResampleBitmap(image, image.Width * 8, image.Height * 8);
    const std::uint32_t green = (first >> 8) & 0xFFu;
    if (survivesJpeg) {
        // One whole block moved well above the encoder's quantisation step at quality 90. A picture
        // no wider than a block would move as a whole and stay one colour: there the left half moves.
        const std::uint32_t moved = green > 127 ? green - 8 : green + 8;
        const int width = image.Width > 8 ? 8 : std::max(1, image.Width / 2);
        for (int y = 0; y < std::min(8, image.Height); ++y)
            for (int x = 0; x < width; ++x) image.At(x, y) = (image.At(x, y) & 0xFFFF00FFu) | (moved << 8);
        return;
    }
    const std::uint32_t raised = green == 255 ? 254 : green + 1;
    image.At(0, 0) = (first & 0xFFFF00FFu) | (raised << 8);
}

std::string NonUniformRefusal(std::string_view assetFolder, std::string_view path, bool interactive) {
    if (!IsInAlphaTexture(assetFolder, path)) return {};
    return interactive ? std::string(kAlphaTextureAlert) : "File is referenced in an alpha texture: " + std::string(path);
}

}  // namespace kelvarn
