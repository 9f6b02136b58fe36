// Normal maps: GenerateNormalMap and CreateNormalMap (greyscale, then the map) against the definition
// transcribed as it reads (doubles, "%" for the wrap, std::sqrt per pixel) at 512, 2048 and 4096
// pixels a side, one thread. Prints each ratio (ours / reference) and the largest byte difference;
// the last line's ratio is the worst from 2048 on.
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "MediaBenchSupport.h"
#include "media/NormalMaps.h"

using namespace kelvarn;

namespace {

Image32 HeightField(int side) {
    Image32 image;
    image.Resize(side, side);
    std::mt19937 rng(11);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double h = 128 + 60 * std::sin(x * 0.02) * std::cos(y * 0.015) + static_cast<double>(rng() % 40) - 20;
            const auto b = static_cast<std::uint32_t>(std::clamp(h, 0.0, 255.0));
            const auto r = static_cast<std::uint32_t>(rng() & 0xFF);
            image.At(x, y) = (static_cast<std::uint32_t>(rng() & 0xFF) << 24) | (r << 16) | ((b ^ 0x33u) << 8) | b;
        }
    return image;
}

// The definition as written: p = first byte / 255, Sobel sums with wrapped neighbours, the unit normal
// of (-gx, -gy, 1), each component rounded to a byte; x red, y green, z blue, alpha kept.
void ReferenceMap(int w, int h, const std::uint32_t* src, std::uint32_t* dst) {
    auto p = [&](int x, int y) {
        const int xx = ((x % w) + w) % w, yy = ((y % h) + h) % h;
        return static_cast<double>(src[static_cast<std::size_t>(yy) * w + xx] & 0xFF) / 255.0;
    };
    auto encode = [](double v) { return static_cast<std::uint32_t>(std::lround((v + 1) / 2 * 255)); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double gy = p(x - 1, y - 1) + 2 * p(x, y - 1) + p(x + 1, y - 1) - p(x - 1, y + 1) -
                              2 * p(x, y + 1) - p(x + 1, y + 1);
            const double gx = p(x + 1, y - 1) + 2 * p(x + 1, y) + p(x + 1, y + 1) - p(x - 1, y - 1) -
                              2 * p(x - 1, y) - p(x - 1, y + 1);
            const double len = std::sqrt(gx * gx + gy * gy + 1);
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            dst[i] = (src[i] & 0xFF000000u) | (encode(-gx / len) << 16) | (encode(-gy / len) << 8) | encode(1 / len);
        }
}

void ReferenceGreyscale(Image32& image) {
    for (std::uint32_t& px : image.Pixels) {
        const std::uint32_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
        const std::uint32_t grey = (r + g + b) / 3;
        px = (px & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
    }
}

}  // namespace

int main() {
    double worst = 0;
    int maxDiff = 0;
    for (int side : {512, 2048, 4096}) {
        const Image32 source = HeightField(side);
        std::vector<std::uint32_t> ours(source.Pixels.size()), theirs(source.Pixels.size());
        const double g = bench::BestSeconds([&] { GenerateNormalMap(side, side, source.Pixels.data(), ours.data()); });
        const double gRef = bench::BestSeconds([&] { ReferenceMap(side, side, source.Pixels.data(), theirs.data()); });
        Image32 a = source, b = source;
        a.Pixels = ours;
        b.Pixels = theirs;
        maxDiff = std::max(maxDiff, bench::MaxDifference(a, b));

        Image32 work, workRef;
        const double c = bench::BestSeconds([&] {
            work = source;
            CreateNormalMap(work);
        });
        const double cRef = bench::BestSeconds([&] {
            workRef = source;
            ReferenceGreyscale(workRef);
            std::vector<std::uint32_t> out(workRef.Pixels.size());
            ReferenceMap(side, side, workRef.Pixels.data(), out.data());
            workRef.Pixels.swap(out);
        });
        maxDiff = std::max(maxDiff, bench::MaxDifference(work, workRef));
        std::printf("%4d x %-4d GenerateNormalMap %8.2f ms  reference %8.2f ms  ratio %.2f | "
                    "CreateNormalMap %8.2f ms  reference %8.2f ms  ratio %.2f\n",
                    side, side, g * 1e3, gRef * 1e3, g / gRef, c * 1e3, cRef * 1e3, c / cRef);
        if (side >= 2048) worst = std::max({worst, g / gRef, c / cRef});
    }
    std::printf("normal_map: ratio=%.2f maxdiff=%d\n", worst, maxDiff);
    return 0;
}
