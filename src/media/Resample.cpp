#include "media/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "media/ImageBytes.h"

namespace kelvarn {
namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;
constexpr int kChannels = 4;

// Which source samples make each output sample, and their weights in 1/16384 summing to 16384.
struct Contributions {
    std::vector<int> Start, Count, Offset;
    std::vector<std::int32_t> Weights;
    int MaxTaps = 0;
};

Contributions Contribute(int from, int to) {
    Contributions c;
    const double scale = static_cast<double>(from) / to;
    const double support = std::max(1.0, scale);
    std::vector<double> w;
    c.Start.resize(static_cast<std::size_t>(to));
    c.Count.resize(static_cast<std::size_t>(to));
    c.Offset.resize(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const double centre = (i + 0.5) * scale;
        const int start = std::max(0, static_cast<int>(centre - support + 0.5));
        const int stop = std::min(from, static_cast<int>(centre + support + 0.5));
        w.clear();
        double total = 0;
        for (int j = start; j < stop; ++j) {
            const double weight = std::max(0.0, 1.0 - std::abs(j + 0.5 - centre) / support);
            w.push_back(weight);
            total += weight;
        }
        const std::size_t at = c.Weights.size();
        c.Start[i] = start;
        c.Offset[i] = static_cast<int>(at);
        if (total <= 0) {  // cannot happen for sane sizes; take the nearest sample
            c.Start[i] = std::clamp(static_cast<int>(centre), 0, from - 1);
            c.Count[i] = 1;
            c.Weights.push_back(kOne);
            c.MaxTaps = std::max(c.MaxTaps, 1);
            continue;
        }
        int sum = 0;
        std::size_t largest = at;
        for (double weight : w) {
            const int q = static_cast<int>(std::lround(weight / total * kOne));
            c.Weights.push_back(q);
            sum += q;
            if (q > c.Weights[largest]) largest = c.Weights.size() - 1;
        }
        c.Weights[largest] += kOne - sum;  // exactly one in total
        c.Count[i] = static_cast<int>(w.size());
        c.MaxTaps = std::max(c.MaxTaps, c.Count[i]);
    }
    return c;
}

// First pass: bytes in, 8.8 fixed point out. Second pass: 8.8 in, bytes out (rounded).
inline std::uint16_t FirstOut(std::int32_t sum) { return static_cast<std::uint16_t>((sum + 32) >> 6); }
inline std::uint8_t SecondOut(std::int32_t sum) {
    return static_cast<std::uint8_t>(std::min<std::int32_t>(255, (sum + (1 << 21)) >> 22));
}

template <class In, class Out, class Convert>
void Horizontal(const In* in, int inWidth, int rows, const Contributions& c, Out* out, Convert convert) {
    const int outWidth = static_cast<int>(c.Start.size());
    for (int y = 0; y < rows; ++y) {
        const In* row = in + static_cast<std::size_t>(y) * inWidth * kChannels;
        Out* dst = out + static_cast<std::size_t>(y) * outWidth * kChannels;
        for (int x = 0; x < outWidth; ++x) {
            const In* s = row + static_cast<std::size_t>(c.Start[x]) * kChannels;
            const std::int32_t* w = c.Weights.data() + c.Offset[x];
            std::int32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
            for (int t = 0; t < c.Count[x]; ++t, s += kChannels) {
                s0 += w[t] * s[0];
                s1 += w[t] * s[1];
                s2 += w[t] * s[2];
                s3 += w[t] * s[3];
            }
            dst[x * kChannels] = convert(s0);
            dst[x * kChannels + 1] = convert(s1);
            dst[x * kChannels + 2] = convert(s2);
            dst[x * kChannels + 3] = convert(s3);
        }
    }
}

template <class In, class Out, class Convert>
void Vertical(const In* in, int width, const Contributions& c, Out* out, Convert convert) {
    const std::size_t values = static_cast<std::size_t>(width) * kChannels;
    std::vector<std::int32_t> acc(values);
    const int outHeight = static_cast<int>(c.Start.size());
    for (int y = 0; y < outHeight; ++y) {
        std::fill(acc.begin(), acc.end(), 0);
        const std::int32_t* w = c.Weights.data() + c.Offset[y];
        for (int t = 0; t < c.Count[y]; ++t) {
            const In* row = in + static_cast<std::size_t>(c.Start[y] + t) * values;
            const std::int32_t weight = w[t];
            std::int32_t* a = acc.data();
            for (std::size_t k = 0; k < values; ++k) a[k] += weight * row[k];
        }
        Out* dst = out + static_cast<std::size_t>(y) * values;
        for (std::size_t k = 0; k < values; ++k) dst[k] = convert(acc[k]);
    }
}

}  // namespace

bool ResampleBitmap(Image32& bitmap, int width, int height) {
    if (bitmap.Empty() || !ImageSizeAllowed(width, height)) return false;
    if (width == bitmap.Width && height == bitmap.Height) return true;
    const int inW = bitmap.Width, inH = bitmap.Height;
    const Contributions cx = Contribute(inW, width), cy = Contribute(inH, height);
    // The pixels as bytes B, G, R, A; the output keeps that order.
    std::vector<std::uint8_t> src(bitmap.Pixels.size() * kChannels);
    for (std::size_t i = 0; i < bitmap.Pixels.size(); ++i) PutU32(&src[i * kChannels], bitmap.Pixels[i]);
    std::vector<std::uint8_t> dst(static_cast<std::size_t>(width) * height * kChannels);
    // The vertical pass runs over whole rows and is cheaper per sample; order the passes by work.
    const double horizontalFirst = 3.0 * inH * width * cx.MaxTaps + 1.0 * height * width * cy.MaxTaps;
    const double verticalFirst = 1.0 * height * inW * cy.MaxTaps + 3.0 * height * width * cx.MaxTaps;
    if (horizontalFirst <= verticalFirst) {
        std::vector<std::uint16_t> mid(static_cast<std::size_t>(width) * inH * kChannels);
        Horizontal(src.data(), inW, inH, cx, mid.data(), FirstOut);
        Vertical(mid.data(), width, cy, dst.data(), SecondOut);
    } else {
        std::vector<std::uint16_t> mid(static_cast<std::size_t>(inW) * height * kChannels);
        Vertical(src.data(), inW, cy, mid.data(), FirstOut);
        Horizontal(mid.data(), inW, height, cx, dst.data(), SecondOut);
    }
    bitmap.Width = width;
    bitmap.Height = height;
    bitmap.Pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < bitmap.Pixels.size(); ++i) bitmap.Pixels[i] = GetU32(&dst[i * kChannels]);
    return true;
}

}  // namespace kelvarn
