// Our JPEG decoder against libjpeg-turbo (same bytes, BGRX output, plain up-sampling) on pictures
// encoded in the run at every sampling and from 240x180 to 4096x4096, and on the ".jpg" files below
// an optional folder. Prints each ratio (our time / turbo's) and the largest channel difference.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "MediaBenchSupport.h"
#include "ImageBuilders.h"
#include "media/JpegCodec.h"
#include "media/JpegDec.h"
#include "shell/Files.h"
#include "shell/Text.h"

using namespace kelvarn;

namespace {

struct Totals {
    double logSum = 0;
    int count = 0;
    int maxDiff = 0;
};

void Measure(const std::string& label, const std::string& jpeg, Totals& totals) {
    std::unique_ptr<TJpegImage> img;
    const std::uint8_t status = DecodeJpeg(AsBytes(jpeg), img);
    Image32 reference;
    if (!DecodeJpegWithLibrary(AsBytes(jpeg), reference)) {
        std::printf("%-40s turbo refuses it (our status %d)\n", label.c_str(), status);
        return;
    }
    if (status != kJpegDecoded) {
        std::printf("%-40s our status %d (turbo decodes it)\n", label.c_str(), status);
        return;
    }
    const int diff = bench::MaxDifference(JpegImageToBitmap(img.get()), reference);
    img.reset();
    const double ours = bench::BestSeconds([&] {
        std::unique_ptr<TJpegImage> i;
        DecodeJpeg(AsBytes(jpeg), i);
    });
    const double turbo = bench::BestSeconds([&] {
        Image32 i;
        DecodeJpegWithLibrary(AsBytes(jpeg), i);
    });
    const double mp = static_cast<double>(reference.Width) * reference.Height / 1e6;
    const double ratio = ours / turbo;
    std::printf("%-40s %6.2f MP  ours %8.2f ms  turbo %8.2f ms  ratio %.2f  maxdiff %d\n", label.c_str(), mp,
                ours * 1e3, turbo * 1e3, ratio, diff);
    totals.maxDiff = std::max(totals.maxDiff, diff);
    if (mp >= 1.0) {
        totals.logSum += std::log(ratio);
        ++totals.count;
    }
}

}  // namespace

int main(int argc, char** argv) {
    struct Sampling {
        const char* name;
        int f[3][2];
        bool grey;
    } samplings[] = {
        {"4:4:4", {{1, 1}, {1, 1}, {1, 1}}, false}, {"4:2:2", {{2, 1}, {1, 1}, {1, 1}}, false},
        {"4:4:0", {{1, 2}, {1, 1}, {1, 1}}, false}, {"4:2:0", {{2, 2}, {1, 1}, {1, 1}}, false},
        {"grey", {{1, 1}, {1, 1}, {1, 1}}, true},
    };
    const std::pair<int, int> sizes[] = {{240, 180}, {1024, 1024}, {2048, 1536}, {4096, 4096}};
    Totals totals;
    for (const Sampling& s : samplings)
        for (auto [w, h] : sizes) {
            JpegEncodeOptions o;
            o.quality = 90;
            o.grey = s.grey;
            for (int c = 0; c < 3; ++c) {
                o.factors[c][0] = s.f[c][0];
                o.factors[c][1] = s.f[c][1];
            }
            Measure(std::string(s.name) + " " + std::to_string(w) + "x" + std::to_string(h),
                    test::MakeJpeg(w, h, o), totals);
        }
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind("--", 0) == 0) continue;  // options meant for other benchmarks
        std::vector<std::string> files;
        FindFiles(std::string(argv[i]) + "\\*.*", "*.jpg;*.jpeg", files, true);
        for (const std::string& f : files) {
            std::string bytes;
            if (ReadFileBytes(f, bytes).empty()) Measure(f, bytes, totals);
        }
    }
    const double geomean = totals.count ? std::exp(totals.logSum / totals.count) : 0.0;
    std::printf("jpeg_decode: geomean_ratio=%.2f maxdiff=%d\n", geomean, totals.maxDiff);
    return 0;
}
