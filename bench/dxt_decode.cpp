// Our DXT block decoders against libsquish's DecompressImage on 2048 x 2048 pictures of random
// blocks (DXT1 decoded at 4 bytes per pixel, as a masked texture). Prints each ratio (our time /
// libsquish's). libsquish spreads an image over OpenMP threads: the ratio that compares the same
// work holds it to one thread, as our decoder runs; the ratio against its threaded run is printed too.
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <squish.h>

#include "MediaBenchSupport.h"
#include "media/DxtCodec.h"

using namespace kelvarn;

// libsquish's OpenMP runtime.
extern "C" void omp_set_num_threads(int threads);
extern "C" int omp_get_num_procs();

int main() {
    constexpr int kSide = 2048;
    std::mt19937 rng(7);
    double worst = 0, worstThreaded = 0;
    for (DxtFormat format : {DxtFormat::Dxt1, DxtFormat::Dxt3, DxtFormat::Dxt5}) {
        const std::size_t blockBytes = format == DxtFormat::Dxt1 ? 8 : 16;
        std::vector<std::uint8_t> blocks(static_cast<std::size_t>(kSide / 4) * (kSide / 4) * blockBytes);
        for (auto& b : blocks) b = static_cast<std::uint8_t>(rng());
        const int flags = format == DxtFormat::Dxt1 ? squish::kDxt1 : format == DxtFormat::Dxt3 ? squish::kDxt3 : squish::kDxt5;
        RawImage ours;
        std::vector<std::uint8_t> theirs(static_cast<std::size_t>(kSide) * kSide * 4);
        const double a = bench::BestSeconds([&] { DecodeDxt(format, kSide, kSide, 2, ByteSpan(blocks), ours); });
        auto squishRun = [&] { squish::DecompressImage(theirs.data(), kSide, kSide, blocks.data(), flags); };
        omp_set_num_threads(omp_get_num_procs());
        const double threaded = bench::BestSeconds(squishRun);
        omp_set_num_threads(1);
        const double single = bench::BestSeconds(squishRun);
        std::printf("DXT%d 2048x2048: ours %7.2f ms  libsquish %7.2f ms (one thread), %7.2f ms (threaded)  ratio %.2f, %.2f\n",
                    static_cast<int>(format), a * 1e3, single * 1e3, threaded * 1e3, a / single, a / threaded);
        worst = std::max(worst, a / single);
        worstThreaded = std::max(worstThreaded, a / threaded);
    }
    std::printf("dxt_decode: worst_ratio=%.2f worst_ratio_threaded=%.2f\n", worst, worstThreaded);
    return 0;
}
