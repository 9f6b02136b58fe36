#include "media/NormalMaps.h"

#include <algorithm>
#include <cmath>

#include "shell/Text.h"

namespace kelvarn {

bool BumpMapSupport(std::string_view extensionText) {
    return ContainsStr(extensionText, "GL_ARB_multitexture") && ContainsStr(extensionText, "GL_EXT_texture_cube_map") &&
           ContainsStr(extensionText, "GL_ARB_texture_env_combine") &&
           ContainsStr(extensionText, "GL_ARB_texture_env_dot3");
}

std::array<std::uint8_t, 3> PackNormal(const TVector3& unit) {
    std::array<std::uint8_t, 3> out{};
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<std::uint8_t>(255.0f * (unit[k] / 2 + 0.5f));
    return out;
}

std::array<std::vector<std::uint8_t>, 6> GenerateNormalisationCubeMap() {
    constexpr float kOffset = 0.5f;
    constexpr float kHalf = kCubeMapSize / 2.0f;
    std::array<std::vector<std::uint8_t>, 6> faces;
    for (int face = 0; face < 6; ++face) {
        std::vector<std::uint8_t>& buffer = faces[face];
        buffer.resize(kCubeFaceBytes);
        for (int j = 0; j < kCubeMapSize; ++j) {
            for (int i = 0; i < kCubeMapSize; ++i) {
                const float a = static_cast<float>(i) + kOffset - kHalf;
                const float b = static_cast<float>(j) + kOffset - kHalf;
                TVector3 v{};
                switch (face) {
                    case 0: v = {kHalf, -b, -a}; break;
                    case 1: v = {-kHalf, -b, a}; break;
                    case 2: v = {a, kHalf, b}; break;
                    case 3: v = {a, -kHalf, -b}; break;
                    case 4: v = {a, -b, kHalf}; break;
                    default: v = {-a, -b, -kHalf}; break;
                }
                NormaliseVector(v);
                const auto packed = PackNormal(v);
                const std::size_t at = (static_cast<std::size_t>(j) * kCubeMapSize + static_cast<std::size_t>(i)) * 3;
                buffer[at] = packed[0];
                buffer[at + 1] = packed[1];
                buffer[at + 2] = packed[2];
            }
        }
    }
    return faces;
}

std::uint8_t EncodeNormalByte(double v) {
    const double scaled = (v + 1) / 2 * 255;
    if (!(scaled > 0)) return 0;
    if (scaled >= 255) return 255;
    return static_cast<std::uint8_t>(std::lround(scaled));
}

namespace {

// One row of the map; the three source rows are the one above, the row itself and the one below
// (wrapped). Heights are summed as bytes, so the normal is (-gx, -gy, 255) scaled to unit length.
void NormalRow(int width, const std::uint32_t* above, const std::uint32_t* row, const std::uint32_t* below,
               std::uint32_t* out) {
    auto h = [](std::uint32_t p) { return static_cast<int>(p & 0xFFu); };
    auto pixel = [&](int x, int xm, int xp) {
        const int gy = h(above[xm]) + 2 * h(above[x]) + h(above[xp]) - h(below[xm]) - 2 * h(below[x]) - h(below[xp]);
        const int gx = h(above[xp]) + 2 * h(row[xp]) + h(below[xp]) - h(above[xm]) - 2 * h(row[xm]) - h(below[xm]);
        const double inv = 127.5 / std::sqrt(static_cast<double>(gx * gx + gy * gy + 255 * 255));
        // (v + 1) x 127.5 rounded half up; v lies in [-1, 1], so the sum is never negative.
        const auto encode = [](double half) { return static_cast<std::uint32_t>(half + 127.5 + 0.5); };
        const std::uint32_t r = encode(-gx * inv), g = encode(-gy * inv), b = encode(255 * inv);
        out[x] = (row[x] & 0xFF000000u) | (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(b, 255u);
    };
    if (width == 1) {
        pixel(0, 0, 0);
        return;
    }
    pixel(0, width - 1, 1);
    for (int x = 1; x < width - 1; ++x) pixel(x, x - 1, x + 1);
    pixel(width - 1, width - 2, 0);
}

}  // namespace

void GenerateNormalMap(int width, int height, const std::uint32_t* source, std::uint32_t* destination) {
    if (width <= 0 || height <= 0) return;
    const auto row = [&](int y) { return source + static_cast<std::size_t>(y) * width; };
    for (int y = 0; y < height; ++y)
        NormalRow(width, row((y + height - 1) % height), row(y), row((y + 1) % height),
                  destination + static_cast<std::size_t>(y) * width);
}

void MakeGreyscale(Image32& bitmap) {
    for (std::uint32_t& p : bitmap.Pixels) {
        const std::uint32_t grey = (((p >> 16) & 0xFFu) + ((p >> 8) & 0xFFu) + (p & 0xFFu)) / 3;
        p = (p & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
    }
    bitmap.Depth = 32;
}

void MakeNormalMap(Image32& bitmap) {
    if (bitmap.Empty()) return;
    std::vector<std::uint32_t> out(bitmap.Pixels.size());
    GenerateNormalMap(bitmap.Width, bitmap.Height, bitmap.Pixels.data(), out.data());
    bitmap.Pixels.swap(out);
    bitmap.Depth = 32;
}

void CreateNormalMap(Image32& bitmap) {
    MakeGreyscale(bitmap);
    MakeNormalMap(bitmap);
}

}  // namespace kelvarn
