// ImageMagick's resize with the triangle filter on one thread: the reference the program's resampler
// is measured against in tests and benchmarks.
#pragma once

#include <Magick++.h>

#include <mutex>

#include "shell/Image32.h"

namespace kelvarn::test {

inline void InitMagickOneThread() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        Magick::ResourceLimits::thread(1);
    });
}

// The picture as an ImageMagick image (pixels loaded, ready to resize).
inline Magick::Image ToMagick(const Image32& image) {
    InitMagickOneThread();
    Magick::Image m(static_cast<std::size_t>(image.Width), static_cast<std::size_t>(image.Height), "BGRA",
                    Magick::CharPixel, image.Pixels.data());
    m.filterType(Magick::TriangleFilter);
    return m;
}

inline void MagickResize(Magick::Image& m, int width, int height) {
    Magick::Geometry size(static_cast<std::size_t>(width), static_cast<std::size_t>(height));
    size.aspect(true);
    m.resize(size);
}

inline Image32 FromMagick(Magick::Image& m) {
    Image32 out;
    out.Resize(static_cast<int>(m.columns()), static_cast<int>(m.rows()));
    m.write(0, 0, m.columns(), m.rows(), "BGRA", Magick::CharPixel, out.Pixels.data());
    return out;
}

inline Image32 MagickResized(const Image32& image, int width, int height) {
    Magick::Image m = ToMagick(image);
    MagickResize(m, width, height);
    return FromMagick(m);
}

// Mean absolute difference over the colour channels of two pictures of one size.
inline double MeanColourDifference(const Image32& a, const Image32& b) {
    double total = 0;
    for (std::size_t i = 0; i < a.Pixels.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int x = static_cast<int>((a.Pixels[i] >> shift) & 0xFFu);
            const int y = static_cast<int>((b.Pixels[i] >> shift) & 0xFFu);
            total += x > y ? x - y : y - x;
        }
    return total / (3.0 * static_cast<double>(a.Pixels.size()));
}

}  // namespace kelvarn::test
