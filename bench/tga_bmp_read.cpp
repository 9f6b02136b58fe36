// Our BMP and TGA readers against stb_image (stbi_load_from_memory) on 2048 x 2048 files: TGA at 24
// and 32 bits in both orientations, run-length (through the full reader) and 8-bit mapped; BMP at 24
// and 8 bits. Prints each ratio (our time / stb's) and whether the pixels are equal.
#include <cstdio>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "MediaBenchSupport.h"
#include "ImageBuilders.h"
#include "media/BmpCodec.h"
#include "media/TgaCodec.h"

using namespace kelvarn;

namespace {

constexpr int kSide = 2048;

// Our result as RGBA rows from the top, the layout stb returns.
std::vector<std::uint8_t> FromRaw(const RawImage& raw) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(raw.Width) * raw.Height * 4);
    for (int y = 0; y < raw.Height; ++y)
        for (int x = 0; x < raw.Width; ++x) {
            const std::uint8_t* s = raw.Pixels.data() + (static_cast<std::size_t>(raw.Height - 1 - y) * raw.Width + x) * raw.BytesPerPixel;
            std::uint8_t* d = out.data() + (static_cast<std::size_t>(y) * raw.Width + x) * 4;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = raw.BytesPerPixel == 4 ? s[3] : 255;
        }
    return out;
}

std::vector<std::uint8_t> FromImage(const Image32& img) {
    std::vector<std::uint8_t> out(img.Pixels.size() * 4);
    for (std::size_t i = 0; i < img.Pixels.size(); ++i) {
        const std::uint32_t p = img.Pixels[i];
        out[i * 4] = static_cast<std::uint8_t>(p >> 16);
        out[i * 4 + 1] = static_cast<std::uint8_t>(p >> 8);
        out[i * 4 + 2] = static_cast<std::uint8_t>(p);
        out[i * 4 + 3] = static_cast<std::uint8_t>(p >> 24);
    }
    return out;
}

enum class Reader { Bmp, TgaStrict, TgaFull };

double worst = 0;
bool allEqual = true;

void Measure(const char* label, const std::string& file, Reader reader) {
    const ByteSpan data = AsBytes(file);
    std::vector<std::uint8_t> ours;
    if (reader == Reader::Bmp) ours = FromRaw(DecodeBmp(data).image);
    else if (reader == Reader::TgaStrict) ours = FromRaw(DecodeTgaStrict(data).image);
    else ours = FromImage(DecodeTgaFull(data).image);
    int w = 0, h = 0, n = 0;
    stbi_uc* ref = stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &w, &h, &n, 4);
    const bool equal = ref && ours.size() == static_cast<std::size_t>(w) * h * 4 &&
                       std::equal(ours.begin(), ours.end(), ref);
    stbi_image_free(ref);
    const double a = bench::BestSeconds([&] {
        if (reader == Reader::Bmp) DecodeBmp(data);
        else if (reader == Reader::TgaStrict) DecodeTgaStrict(data);
        else DecodeTgaFull(data);
    });
    const double b = bench::BestSeconds([&] {
        int ww, hh, nn;
        stbi_image_free(stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &ww, &hh, &nn, 0));
    });
    std::printf("%-28s ours %7.2f ms  stb %7.2f ms  ratio %.2f  pixels %s\n", label, a * 1e3, b * 1e3, a / b,
                equal ? "equal" : "DIFFER");
    worst = std::max(worst, a / b);
    allEqual = allEqual && equal;
}

std::string Tga(int depth, int descriptor, int type = 2) {
    test::TgaFields s;
    s.type = type;
    s.depth = depth;
    s.width = s.height = kSide;
    s.descriptor = descriptor;
    const Image32 picture = test::TestPicture(kSide, kSide);
    std::string px;
    px.reserve(static_cast<std::size_t>(kSide) * kSide * 4);
    for (std::uint32_t p : picture.Pixels) {
        // Flat runs so that run-length packets occur.
        p &= 0xFFF0F0F0u;
        px.push_back(static_cast<char>(p));
        px.push_back(static_cast<char>(p >> 8));
        px.push_back(static_cast<char>(p >> 16));
        if (depth == 32) px.push_back(static_cast<char>((p >> 9) & 255));
    }
    if (type == 1) {
        s.mapType = 1;
        s.mapLength = 256;
        s.entryBits = 24;
        for (int i = 0; i < 256; ++i) s.map += test::Bytes({i, 255 - i, i / 2});
        std::string idx(static_cast<std::size_t>(kSide) * kSide, '\0');
        for (std::size_t i = 0; i < idx.size(); ++i) idx[i] = px[i * 3];
        px = idx;
    }
    s.pixels = type >= 9 ? test::RleEncode(px, depth / 8) : px;
    return test::MakeTga(s);
}

std::string Bmp(int bits) {
    test::BmpFields s;
    s.width = s.height = kSide;
    s.bits = bits;
    s.colours = bits == 8 ? 256 : 0;
    return test::MakeBmp(s);
}

}  // namespace

int main() {
    Measure("TGA 24 bottom-up", Tga(24, 0), Reader::TgaStrict);
    Measure("TGA 24 top-down", Tga(24, 32), Reader::TgaStrict);
    Measure("TGA 32 bottom-up", Tga(32, 8), Reader::TgaStrict);
    Measure("TGA 32 top-down", Tga(32, 8 | 32), Reader::TgaStrict);
    Measure("TGA 24 run-length", Tga(24, 0, 10), Reader::TgaFull);
    Measure("TGA 32 run-length", Tga(32, 8, 10), Reader::TgaFull);
    Measure("TGA 8 mapped", Tga(8, 0, 1), Reader::TgaStrict);
    Measure("BMP 24", Bmp(24), Reader::Bmp);
    Measure("BMP 8", Bmp(8), Reader::Bmp);
    std::printf("tga_bmp_read: worst_ratio=%.2f pixels=%s\n", worst, allEqual ? "equal" : "differ");
    return 0;
}
