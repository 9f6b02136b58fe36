// Writes the fuzz targets' seeds from the builders when KELVARN_WRITE_FUZZ_SEEDS names the corpus
// folder; otherwise checks that every seed still loads as it did when it was written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "ImageBuilders.h"
#include "media/BmpCodec.h"
#include "media/JpegCodec.h"
#include "media/JpegDec.h"
#include "media/TextureFile.h"
#include "media/TgaCodec.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using Seeds = std::map<std::string, std::string>;

Seeds MediaSeeds(const std::string& target) {
    Seeds s;
    if (target == "media_bmp") {
        test::BmpFields b24;
        b24.width = 5;
        b24.height = 3;
        test::BmpFields b8 = b24;
        b8.bits = 8;
        b8.colours = 16;
        b8.height = -3;
        test::BmpFields v5 = b8;
        v5.infoSize = 124;
        v5.colours = 2;
        s["24-bit.bmp"] = test::MakeBmp(b24);
        s["8-bit-top-down.bmp"] = test::MakeBmp(b8);
        s["v5-two-colours.bmp"] = test::MakeBmp(v5);
    } else if (target == "media_tga" || target == "media_tga_full") {
        test::TgaFields t24;
        t24.pixels = std::string(18, '\x41');
        test::TgaFields t32 = t24;
        t32.depth = 32;
        t32.descriptor = 8 | 32;
        t32.pixels = std::string(24, '\x42');
        test::TgaFields mapped;
        mapped.type = 1;
        mapped.depth = 8;
        mapped.mapType = 1;
        mapped.firstEntry = 1;
        mapped.mapLength = 3;
        mapped.entryBits = 24;
        mapped.map = "abcdefghi";
        mapped.pixels = test::Bytes({1, 2, 3, 0, 4, 1});
        test::TgaFields t16 = t24;
        t16.depth = 16;
        t16.descriptor = 16 | 1;
        t16.pixels = std::string(12, '\x7F');
        s["24-bit.tga"] = test::MakeTga(t24);
        s["32-bit-top-down.tga"] = test::MakeTga(t32);
        s["mapped.tga"] = test::MakeTga(mapped);
        s["16-bit-mirrored.tga"] = test::MakeTga(t16);
        if (target == "media_tga_full") {
            test::TgaFields rle = t32;
            rle.type = 10;
            rle.pixels = test::RleEncode(std::string(12, '\x10') + std::string(12, '\x20'), 4);
            test::TgaFields grey = t24;
            grey.type = 11;
            grey.depth = 8;
            grey.pixels = test::RleEncode("aabbbc", 1);
            s["rle-32.tga"] = test::MakeTga(rle);
            s["rle-grey.tga"] = test::MakeTga(grey);
        }
    } else if (target == "media_texture") {
        test::Ft2eFields compact;
        compact.levels = {test::Dxt1Block(0xF800, 0x001F, {0, 1, 2, 3}), std::string(8, '\x01')};
        compact.alphaMode = 2;
        compact.wrapS = 2;
        test::Ft2eFields full;
        full.version = 3;
        full.format = "abgr";
        full.width = 2;
        full.height = 2;
        full.levels = {std::string(16, '\x80')};
        test::JirfFields jirf;
        jirf.format = 12;
        jirf.countA = 2;
        jirf.chunks = {std::string(16, '\x11'), std::string(16, '\x22')};
        test::JirfFields raw;
        raw.version = 0x104;
        raw.format = 0;
        raw.width = raw.height = 2;
        raw.chunks = {std::string(16, '\x33')};
        s["ft2e-compact-dxt1.texture"] = test::MakeFt2e(compact);
        s["ft2e-full-rgba.texture"] = test::MakeFt2e(full);
        s["jirf-dxt5.texture"] = test::MakeJirf(jirf);
        s["jirf-bgra.texture"] = test::MakeJirf(raw);
    } else if (target == "media_dxt") {
        s["dxt1-8x4"] = test::Bytes({0, 8, 0, 4, 2}) + test::Dxt1Block(0x001F, 0xF800, {3, 2, 1, 0}) +
                        test::Dxt1Block(0xF800, 0x001F, {0, 1, 2, 3});
        s["dxt3-5x3"] = test::Bytes({1, 5, 0, 3, 0}) + std::string(32, '\x5A');
        s["dxt5-4x4"] = test::Bytes({2, 4, 0, 4, 1}) + test::Bytes({200, 100, 1, 2, 3, 4, 5, 6}) + std::string(8, '\x77');
    } else if (target == "media_jpeg") {
        JpegEncodeOptions o;
        o.quality = 50;
        s["420.jpg"] = test::MakeJpeg(24, 16, o);
        o.factors[0][0] = 1;
        o.factors[0][1] = 1;
        o.restartInterval = 1;
        s["444-restarts.jpg"] = test::MakeJpeg(16, 8, o);
        JpegEncodeOptions grey;
        grey.grey = true;
        grey.quality = 30;
        s["grey.jpg"] = test::MakeJpeg(9, 9, grey);
        JpegEncodeOptions q5;
        q5.quality = 5;
        q5.forceBaseline = false;
        s["sixteen-bit-tables.jpg"] = test::MakeJpeg(8, 8, q5);
        // Left to libjpeg-turbo, which decodes past the end of arithmetic-coded data without a word.
        JpegEncodeOptions arithmetic;
        arithmetic.arithmetic = true;
        s["arithmetic.jpg"] = test::MakeJpeg(24, 16, arithmetic);
        arithmetic.progressive = true;
        s["arithmetic-progressive.jpg"] = test::MakeJpeg(24, 16, arithmetic);
    }
    return s;
}

const char* const kTargets[] = {"media_bmp", "media_tga", "media_tga_full", "media_texture", "media_dxt", "media_jpeg"};

// Each seed must be one that its reader takes, so that fuzzing starts from the accepting paths.
bool Accepted(const std::string& target, const std::string& bytes) {
    const ByteSpan data = AsBytes(bytes);
    if (target == "media_bmp") return DecodeBmp(data).fault == BmpFault::None;
    if (target == "media_tga") return DecodeTgaStrict(data).fault == TgaFault::None;
    if (target == "media_tga_full") return DecodeTgaFull(data).fault == TgaFault::None;
    if (target == "media_texture") return DecodeTexture(data).fault == TextureFault::None;
    if (target == "media_jpeg") {
        std::unique_ptr<TJpegImage> img;
        const std::uint8_t status = DecodeJpeg(data, img);
        Image32 picture;
        return status == kJpegDecoded || (status == kJpegUnsupported && DecodeJpegPicture(data, picture));
    }
    return true;
}

TEST(FuzzSeeds, BuildersMakeAcceptedSeeds) {
    const char* out = std::getenv("KELVARN_WRITE_FUZZ_SEEDS");
    for (const char* target : kTargets)
        for (const auto& [name, bytes] : MediaSeeds(target)) {
            EXPECT_TRUE(Accepted(target, bytes)) << target << "/" << name;
            EXPECT_LT(bytes.size(), 4096u) << target << "/" << name;
            if (out) test::WriteBytes((std::filesystem::path(out) / target / name).string(), bytes);
        }
}

}  // namespace
}  // namespace kelvarn
