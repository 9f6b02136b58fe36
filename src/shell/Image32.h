// The program's 32-bit image: ARGB pixels ($AARRGGBB), rows from the top. The image codecs extend it;
// QImage appears only at the display edge.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvarn {

// No reader makes an image of more pixels than this.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 28;

struct Image32 {
    int Width = 0;
    int Height = 0;
    // 24 or 32: a 24-bit image keeps every alpha at 255, as a desktop bitmap without alpha would.
    int Depth = 32;
    std::vector<std::uint32_t> Pixels;

    bool Empty() const { return Width <= 0 || Height <= 0 || Pixels.empty(); }
    std::uint32_t& At(int x, int y) { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
    std::uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }

    // False (and an empty image) for a side <= 0 or more than kMaxImagePixels pixels.
    bool Resize(int width, int height, std::uint32_t fill = 0xFF000000u);
    // Drops the alpha channel: every alpha becomes 255 and the depth 24.
    void SetDepth24();
};

inline std::uint8_t AlphaOf(std::uint32_t argb) { return static_cast<std::uint8_t>(argb >> 24); }

// 0 when every alpha is 255, 1 when only 0 and 255 occur (masked), 2 when any other value occurs
// (blended).
int ClassifyAlpha(const Image32& image);

// The texture size rule: True when a side is 0 or 1, not a power of two, or one side divided by the
// other exceeds 8.
bool TextureSizeProblem(int width, int height);

}  // namespace kelvarn
