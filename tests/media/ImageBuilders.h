// Builders of image files for the media tests, fuzz seeds and benchmarks: every fixture is made here
// from its fields, so each test states exactly what it feeds the readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/ImageBytes.h"
#include "media/JpegCodec.h"

namespace kelvarn::test {

std::string Bytes(std::initializer_list<int> values);
void AppendU16(std::string& s, std::uint32_t v);
void AppendU32(std::string& s, std::uint32_t v);

// A picture of one colour.
inline Image32 Filled(int w, int h, std::uint32_t argb) {
    Image32 image;
    image.Resize(w, h, argb);
    return image;
}

// A picture with smooth gradients and some detail, the same for the same arguments.
Image32 TestPicture(int width, int height, int seed = 1);
// Library layout (bottom-up) with a recognisable value per pixel: R = x, G = y, B = seed, A = x + y.
RawImage TestRaw(int width, int height, int bytesPerPixel, int seed = 7);

struct BmpFields {
    int width = 4;
    int height = 2;        // negative: top-down
    int bits = 24;         // 8 or 24 (others for refusals)
    int infoSize = 40;     // 124 for a V5 header
    int colours = 0;       // table entries written
    int clrUsed = -1;      // -1: written as `colours`
    int compression = 0;
    int offBits = -1;      // -1: right after the table
    bool pad = true;       // rows padded to 4 bytes
    std::vector<std::uint8_t> table;   // B, G, R, 0 per entry; made up when empty
    std::vector<std::uint8_t> pixels;  // rows as stored; made up when empty
};
std::string MakeBmp(const BmpFields& fields);

struct TgaFields {
    int type = 2;
    int depth = 24;
    int width = 3;
    int height = 2;
    int descriptor = 0;
    int idLength = 0;
    int mapType = 0;
    int firstEntry = 0;
    int mapLength = 0;
    int entryBits = 0;
    std::string map;     // colour-map bytes
    std::string pixels;  // pixel data as stored (run-length packets for types 9-11)
};
std::string MakeTga(const TgaFields& fields);
// Run-length packets over pixels of `bytes` bytes each, runs allowed to cross rows.
std::string RleEncode(const std::string& pixels, int bytes);

struct Ft2eFields {
    std::uint32_t version = 7;
    std::uint32_t width = 4;
    std::uint32_t height = 4;
    int mipSkip = 0;
    int alphaMode = 0;
    int type = 0;
    int slices = 1;
    int wrapS = 0;
    int wrapT = 0;
    std::string format = "1txd";  // as the bytes stand in the file
    std::vector<std::string> levels;  // level 0 first
    std::int64_t level0SizeOverride = -1;
};
std::string MakeFt2e(const Ft2eFields& fields);

struct JirfFields {
    std::uint32_t version = 0x107;
    std::uint32_t countA = 1;
    std::uint32_t countB = 1;
    std::uint32_t format = 10;
    std::uint32_t width = 4;
    std::uint32_t height = 4;
    std::uint32_t dynamic = 0;
    std::uint32_t wrapS = 0;
    std::uint32_t wrapT = 0;
    std::uint32_t alphaHint = 0;
    std::uint32_t normalMap = 0;
    std::int64_t infoSizeOverride = -1;
    std::string form = "MMTFINFO";
    std::string chunkTag = "MMAP";
    std::vector<std::string> chunks;  // data of each MMAP chunk; the last is decoded
};
std::string MakeJirf(const JirfFields& fields);

// One DXT1 colour block: endpoints as 5:6:5 values and 16 two-bit indices (pixel 0 first).
std::string Dxt1Block(std::uint16_t c0, std::uint16_t c1, const std::vector<int>& indices);

// A JPEG of the test picture through libjpeg-turbo.
std::string MakeJpeg(int width, int height, const JpegEncodeOptions& options = {}, int seed = 1);

}  // namespace kelvarn::test
