// Our DXT block decoders against libsquish's DecompressImage on 2048 x 2048 pictures of random
// blocks (DXT1 decoded at 4 bytes per pixel, as a masked texture). Prints each ratio (our time /
// libsquish's).
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <squish.h>

#include "MediaBenchSupport.h"
#include "media/DxtCodec.h"

using namespace kelvarn;

int main() {
    constexpr int kSide = 2048;
    std::mt19937 rng(7);
    double worst = 0;
    for (DxtFormat format : {DxtFormat::Dxt1, DxtFormat::Dxt3, DxtFormat::Dxt5}) {
        const std::size_t blockBytes = format == DxtFormat::Dxt1 ? 8 : 16;
        std::vector<std::uint8_t> blocks(static_cast<std::size_t>(kSide / 4) * (kSide / 4) * blockBytes);
        for (auto& b : blocks) b = static_cast<std::uint8_t>(rng());
        const int flags = format == DxtFormat::Dxt1 ? squish::kDxt1 : format == DxtFormat::Dxt3 ? squish::kDxt3 : squish::kDxt5;
        RawImage ours;
        std::vector<std::uint8_t> theirs(static_cast<std::size_t>(kSide) * kSide * 4);
        const double a = bench::BestSeconds([&] { DecodeDxt(format, kSide, kSide, 2, ByteSpan(blocks), ours); });
        const double b = bench::BestSeconds([&] { squish::DecompressImage(theirs.data(), kSide, kSide, blocks.data(), flags); });
        std::printf("DXT%d 2048x2048: ours %7.2f ms  libsquish %7.2f ms  ratio %.2f\n", static_cast<int>(format), a * 1e3,
                    b * 1e3, a / b);
        worst = std::max(worst, a / b);
    }
    std::printf("dxt_decode: worst_ratio=%.2f\n", worst);
    return 0;
}
