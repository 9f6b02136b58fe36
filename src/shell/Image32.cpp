#include "shell/Image32.h"

#include <algorithm>

namespace kelvarn {

bool Image32::Resize(int width, int height, std::uint32_t fill) {
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxImagePixels) {
        Width = Height = 0;
        Pixels.clear();
        return false;
    }
    Width = width;
    Height = height;
    Pixels.assign(static_cast<std::size_t>(width) * height, fill);
    return true;
}

void Image32::SetDepth24() {
    for (std::uint32_t& p : Pixels) p |= 0xFF000000u;
    Depth = 24;
}

int ClassifyAlpha(const Image32& image) {
    int kind = 0;
    for (std::uint32_t p : image.Pixels) {
        const std::uint8_t a = AlphaOf(p);
        if (a == 255) continue;
        if (a != 0) return 2;
        kind = 1;
    }
    return kind;
}

bool TextureSizeProblem(int width, int height) {
    auto powerOfTwo = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
    if (width <= 1 || height <= 1) return true;
    if (!powerOfTwo(width) || !powerOfTwo(height)) return true;
    return std::max(width, height) / std::min(width, height) > 8;
}

}  // namespace kelvarn
