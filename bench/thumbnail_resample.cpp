// The resampler against ImageMagick's resize with the triangle filter on one thread (its pixels
// loaded before the clock starts): 1920 x 1440 and 4096 x 3072 reduced to 240 x 180, 256 x 256
// enlarged to 2048 x 2048, and a whole thumbnail (a 4:3 crop of 1920 x 1080, scaled to 240 x 180).
// Prints each ratio (ours / ImageMagick's) and the mean colour difference; the last line has the
// geometric mean of the ratios and the largest mean difference.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

#include "MagickResize.h"
#include "MediaBenchSupport.h"
#include "media/Resample.h"
#include "media/ThumbnailCore.h"

using namespace kelvarn;

namespace {

// Opaque and photo-like: smooth shapes, edges and grain.
Image32 Photo(int w, int h) {
    Image32 image;
    image.Resize(w, h);
    std::mt19937 rng(5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double fx = static_cast<double>(x) / w, fy = static_cast<double>(y) / h;
            const int grain = static_cast<int>(rng() % 17) - 8;
            const int r = std::clamp(static_cast<int>(128 + 100 * std::sin(fx * 9) * std::cos(fy * 7)) + grain, 0, 255);
            const int g = std::clamp(static_cast<int>(255 * fy) + grain, 0, 255);
            const int b = ((x / 37 + y / 29) % 2 ? 200 : 40) + grain / 2;
            image.At(x, y) = 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
                             static_cast<std::uint32_t>(b);
        }
    return image;
}

template <class Prepare, class Run>
double BestOf(Prepare&& prepare, Run&& run) {
    double best = 1e30, total = 0;
    for (int i = 0; i < 5 || (total < 1.0 && i < 100); ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        run();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = std::min(best, s);
        total += s;
    }
    return best;
}

}  // namespace

int main() {
    test::InitMagickOneThread();
    struct Case {
        const char* name;
        int w, h, tw, th;
    };
    double logSum = 0, worstDiff = 0;
    int count = 0;
    for (const Case& c : {Case{"1920x1440 -> 240x180", 1920, 1440, 240, 180},
                          Case{"4096x3072 -> 240x180", 4096, 3072, 240, 180},
                          Case{"256x256 -> 2048x2048", 256, 256, 2048, 2048}}) {
        const Image32 source = Photo(c.w, c.h);
        const Magick::Image base = test::ToMagick(source);
        Image32 ours;
        Magick::Image theirs;
        const double t = BestOf([&] { ours = source; }, [&] { ResampleBitmap(ours, c.tw, c.th); });
        const double m = BestOf(
            [&] {
                theirs = base;
                theirs.modifyImage();  // its own pixels, copied before the clock starts
            },
            [&] { test::MagickResize(theirs, c.tw, c.th); });
        const double diff = test::MeanColourDifference(ours, test::FromMagick(theirs));
        std::printf("%-22s ours %8.2f ms  ImageMagick %8.2f ms  ratio %.2f  mean difference %.3f\n", c.name, t * 1e3,
                    m * 1e3, t / m, diff);
        logSum += std::log(t / m);
        worstDiff = std::max(worstDiff, diff);
        ++count;
    }
    {
        // The whole thumbnail: the 4:3 crop of a 16:9 picture, scaled.
        const Image32 source = Photo(1920, 1080);
        const TCropRect r = ThumbnailCrop(source.Width, source.Height, 0);
        const Magick::Image base = test::ToMagick(source);
        Image32 ours;
        Magick::Image theirs;
        const double t = BestOf([] {}, [&] { ours = CropToThumbnail(source, 0); });
        const double m = BestOf(
            [&] {
                theirs = base;
                theirs.modifyImage();
            },
            [&] {
                theirs.crop(Magick::Geometry(static_cast<std::size_t>(r.W), static_cast<std::size_t>(r.H), r.X, r.Y));
                test::MagickResize(theirs, kThumbnailWidth, kThumbnailHeight);
            });
        const double diff = test::MeanColourDifference(ours, test::FromMagick(theirs));
        std::printf("%-22s ours %8.2f ms  ImageMagick %8.2f ms  ratio %.2f  mean difference %.3f\n",
                    "thumbnail 1920x1080", t * 1e3, m * 1e3, t / m, diff);
        logSum += std::log(t / m);
        worstDiff = std::max(worstDiff, diff);
        ++count;
    }
    std::printf("thumbnail_resample: geomean_ratio=%.2f meandiff=%.3f\n", std::exp(logSum / count), worstDiff);
    return 0;
}
