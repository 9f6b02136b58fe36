// Our JPEG decoder against libjpeg-turbo (accurate integer transform, plain up-sampling) on files
// encoded in the test, its buffer layout, and each way it refuses data.
#include <gtest/gtest.h>

#include <cmath>

#include "ImageBuilders.h"
#include "media/JpegCodec.h"
#include "media/JpegDec.h"

namespace kelvarn {
namespace {

using test::MakeJpeg;

struct Difference {
    int max = 0;
    double mean = 0;
};

Difference Compare(const Image32& a, const Image32& b) {
    Difference d;
    if (a.Width != b.Width || a.Height != b.Height) return {999, 999};
    double sum = 0;
    for (std::size_t i = 0; i < a.Pixels.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8) {
            const int diff = std::abs(static_cast<int>((a.Pixels[i] >> shift) & 255) - static_cast<int>((b.Pixels[i] >> shift) & 255));
            d.max = std::max(d.max, diff);
            sum += diff;
        }
    d.mean = sum / (3.0 * static_cast<double>(a.Pixels.size()));
    return d;
}

// Decodes with both and checks the agreed tolerance: every channel within 3, mean at most 1.0.
void ExpectMatchesLibrary(const std::string& jpeg, const std::string& label) {
    ASSERT_FALSE(jpeg.empty()) << label;
    std::unique_ptr<TJpegImage> ours;
    ASSERT_EQ(DecodeJpeg(AsBytes(jpeg), ours), kJpegDecoded) << label;
    Image32 reference;
    ASSERT_TRUE(DecodeJpegWithLibrary(AsBytes(jpeg), reference)) << label;
    const Difference d = Compare(JpegImageToBitmap(ours.get()), reference);
    EXPECT_LE(d.max, 3) << label;
    EXPECT_LE(d.mean, 1.0) << label;
}

JpegEncodeOptions Sampling(int yh, int yv, int ch, int cv) {
    JpegEncodeOptions o;
    o.factors[0][0] = yh;
    o.factors[0][1] = yv;
    o.factors[1][0] = o.factors[2][0] = ch;
    o.factors[1][1] = o.factors[2][1] = cv;
    return o;
}

TEST(JpegDecoder, MatchesLibraryForEverySampling) {
    struct Case {
        const char* name;
        JpegEncodeOptions options;
    } cases[] = {
        {"4:4:4", Sampling(1, 1, 1, 1)},  {"4:2:2", Sampling(2, 1, 1, 1)}, {"4:4:0", Sampling(1, 2, 1, 1)},
        {"4:2:0", Sampling(2, 2, 1, 1)},  {"chroma denser", Sampling(1, 1, 2, 2)},
        {"chroma wider", Sampling(1, 2, 2, 2)},
    };
    for (const Case& c : cases)
        for (int restart : {0, 3}) {
            JpegEncodeOptions o = c.options;
            o.restartInterval = restart;
            for (auto [w, h] : {std::pair{240, 180}, std::pair{17, 9}, std::pair{37, 1}})
                ExpectMatchesLibrary(MakeJpeg(w, h, o), std::string(c.name) + " restart " + std::to_string(restart) +
                                                            " " + std::to_string(w) + "x" + std::to_string(h));
        }
}

TEST(JpegDecoder, MatchesLibraryForGreyQualitiesAndSizes) {
    for (int factor : {1, 2})
        for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 2}, std::pair{33, 17}})
            for (int restart : {0, 1}) {
                JpegEncodeOptions o = Sampling(factor, factor, 1, 1);
                o.grey = true;
                o.restartInterval = restart;
                ExpectMatchesLibrary(MakeJpeg(w, h, o), "grey " + std::to_string(factor) + " " + std::to_string(w));
            }
    for (int quality : {5, 75, 100}) {
        JpegEncodeOptions o;
        o.quality = quality;
        o.forceBaseline = false;  // quality 5 needs 16-bit tables in an SOF1 frame
        ExpectMatchesLibrary(MakeJpeg(64, 48, o), "quality " + std::to_string(quality));
    }
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 37}, std::pair{37, 1}, std::pair{17, 9}, std::pair{1023, 767}})
        ExpectMatchesLibrary(MakeJpeg(w, h), "size " + std::to_string(w) + "x" + std::to_string(h));
}

TEST(JpegDecoder, QualityFiveWritesSixteenBitTables) {
    JpegEncodeOptions o;
    o.quality = 5;
    o.forceBaseline = false;
    const std::string jpeg = MakeJpeg(16, 16, o);
    EXPECT_NE(jpeg.find("\xFF\xC1"), std::string::npos);  // extended sequential frame
}

TEST(JpegDecoder, BufferRowsAreWholeMcus) {
    std::unique_ptr<TJpegImage> img;
    ASSERT_EQ(DecodeJpeg(AsBytes(MakeJpeg(17, 9, Sampling(2, 2, 1, 1))), img), kJpegDecoded);
    EXPECT_EQ(img->Width, 17u);
    EXPECT_EQ(img->Height, 9u);
    EXPECT_EQ(img->RowWidth, 32u);
    EXPECT_EQ(img->BufferHeight, 16u);
    EXPECT_EQ(img->BitCount, 32u);
    EXPECT_EQ(img->ComponentCount, 3u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(img->Pixels) % 16, 0u);
    const Image32 bitmap = JpegImageToBitmap(img.get());
    EXPECT_EQ(bitmap.Width, 17);
    EXPECT_EQ(bitmap.Height, 9);
    EXPECT_EQ(bitmap.Depth, 24);
    EXPECT_TRUE(JpegImageToBitmap(nullptr).Empty());
}

TEST(JpegDecoder, DrawStretchesNearestNeighbour) {
    std::unique_ptr<TJpegImage> img;
    ASSERT_EQ(DecodeJpeg(AsBytes(MakeJpeg(1, 3, Sampling(1, 1, 1, 1))), img), kJpegDecoded);
    const Image32 small = JpegImageToBitmap(img.get());
    Image32 canvas;
    canvas.Resize(10, 30, 0);
    DrawJpegImage(img.get(), canvas, 2, 0, 10, 24);  // eightfold, as the image repair enlarges
    for (int y = 0; y < 24; ++y) {
        EXPECT_EQ(canvas.At(1, y), 0u);
        EXPECT_EQ(canvas.At(2, y), small.At(0, y / 8)) << y;
        EXPECT_EQ(canvas.At(9, y), small.At(0, y / 8)) << y;
    }
    EXPECT_EQ(canvas.At(5, 24), 0u);
    DrawJpegImage(nullptr, canvas, 0, 0, 10, 30);  // nothing happens
}

TEST(JpegDecoder, ReadsSizeOfAnyFrame) {
    JpegEncodeOptions progressive;
    progressive.progressive = true;
    int w = 0, h = 0;
    ASSERT_TRUE(ReadJpegSize(AsBytes(MakeJpeg(31, 7, progressive)), w, h));
    EXPECT_EQ(w, 31);
    EXPECT_EQ(h, 7);
    EXPECT_FALSE(ReadJpegSize(AsBytes(std::string("\xFF\xD8\xFF\xD9", 4)), w, h));
    EXPECT_FALSE(ReadJpegSize(AsBytes(std::string("GIF89a")), w, h));
}

// A hand-made single-block greyscale file: all quantisation values 1, DC codes 0..15 all four bits
// long (so code = size), AC codes 00 end-of-block, 01 sixteen zeros, 10 run 15 size 1, 11 size 1.
std::string HandJpeg(int precision, const std::string& bitString, bool withFrame = true) {
    std::string s = test::Bytes({0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0});
    s.append(64, '\x01');
    if (withFrame) s += test::Bytes({0xFF, 0xC1, 0, 11, precision, 0, 8, 0, 8, 1, 1, 0x11, 0});
    s += test::Bytes({0xFF, 0xC4, 0, 19 + 16, 0x00, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 16; ++i) s.push_back(static_cast<char>(i));
    s += test::Bytes({0xFF, 0xC4, 0, 19 + 4, 0x10, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0xF0, 0xF1, 0x01});
    s += test::Bytes({0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 63, 0});
    std::string bits = bitString;
    while (bits.size() % 8) bits.push_back('1');
    for (std::size_t i = 0; i < bits.size(); i += 8) {
        const int byte = std::stoi(bits.substr(i, 8), nullptr, 2);
        s.push_back(static_cast<char>(byte));
        if (byte == 0xFF) s.push_back('\0');
    }
    return s + test::Bytes({0xFF, 0xD9});
}

std::string Binary(int value, int bits) {
    std::string s;
    for (int i = bits - 1; i >= 0; --i) s.push_back((value >> i) & 1 ? '1' : '0');
    return s;
}

TEST(JpegDecoder, TwelveBitSamplesShiftDownToEight) {
    // A flat block of sample 3000: DC = 8 x (3000 - 2048) = 7616, a 13-bit magnitude.
    std::unique_ptr<TJpegImage> img;
    ASSERT_EQ(DecodeJpeg(AsBytes(HandJpeg(12, Binary(13, 4) + Binary(7616, 13) + "00")), img), kJpegDecoded);
    const Image32 bitmap = JpegImageToBitmap(img.get());
    ASSERT_EQ(bitmap.Width, 8);
    for (std::uint32_t p : bitmap.Pixels) EXPECT_EQ(p, 0xFFBBBBBBu);  // 3000 >> 4 = 187
    // The same block at 8 bits: DC 8 x (200 - 128) = 576, a 10-bit magnitude.
    ASSERT_EQ(DecodeJpeg(AsBytes(HandJpeg(8, Binary(10, 4) + Binary(576, 10) + "00")), img), kJpegDecoded);
    EXPECT_EQ(JpegImageToBitmap(img.get()).At(3, 5), 0xFFC8C8C8u);
}

TEST(JpegDecoder, RefusesWithTheRightStatus) {
    const std::string dcZero = Binary(0, 4);
    JpegEncodeOptions progressive, arithmetic;
    progressive.progressive = true;
    arithmetic.arithmetic = true;
    const std::string good = MakeJpeg(40, 24);
    std::string noStart = good;
    noStart[1] = static_cast<char>(0xD9);
    std::string badDht = good;
    const std::size_t dht = badDht.find("\xFF\xC4");
    badDht[dht + 5 + 1] = static_cast<char>(3);  // three codes of length 2 plus the rest: over-subscribed
    std::string undefinedTable = good;
    const std::size_t sos = undefinedTable.find("\xFF\xDA");
    undefinedTable[sos + 6] = static_cast<char>(0x33);
    struct Case {
        const char* name;
        std::string data;
        std::uint8_t status;
    } cases[] = {
        {"progressive", MakeJpeg(16, 16, progressive), kJpegUnsupported},
        {"arithmetic", MakeJpeg(16, 16, arithmetic), kJpegUnsupported},
        {"first marker not start of image", noStart, kJpegUnsupported},
        {"luma factor 4 over chroma 1", MakeJpeg(16, 16, Sampling(4, 1, 1, 1)), kJpegUnsupported},
        {"over-subscribed Huffman table", badDht, kJpegUnsupported},
        {"scan names an undefined table", undefinedTable, kJpegUnsupported},
        {"scan before the frame", HandJpeg(8, dcZero + "00", false), kJpegUnsupported},
        {"precision 16", HandJpeg(16, dcZero + "00"), kJpegUnsupported},
        {"run past position 63", HandJpeg(8, dcZero + "01" "01" "01" "10" "1"), kJpegUnsupported},
        {"DC size beyond 8-bit precision", HandJpeg(8, Binary(12, 4) + Binary(2048, 12) + "00"), kJpegUnsupported},
        {"empty", std::string(), kJpegInputEnded},
        {"cut before end of image", good.substr(0, good.size() - 2), kJpegInputEnded},
        {"segment past the end", good.substr(0, 30), kJpegInputEnded},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TJpegImage> img;
        EXPECT_EQ(DecodeJpeg(AsBytes(c.data), img), c.status) << c.name;
        EXPECT_EQ(img, nullptr) << c.name;
    }
    // Fifteen coefficients, 32 zeros, then a run of 15 that lands on position 63: the last legal place.
    std::string legal = dcZero;
    for (int i = 0; i < 15; ++i) legal += "111";
    std::unique_ptr<TJpegImage> img;
    EXPECT_EQ(DecodeJpeg(AsBytes(HandJpeg(8, legal + "01" "01" "10" "1")), img), kJpegDecoded);
}

// Three components are R, G, B where libjpeg-turbo says so: an Adobe marker with transform 0 (and no
// JFIF marker), or, without either marker, the component ids 'R', 'G', 'B'. Read as YCbCr, such a
// file comes out in wrong colours.
TEST(JpegDecoder, ColourSpaceFromTheAdobeMarkerAndTheComponentIds) {
    JpegEncodeOptions o = Sampling(1, 1, 1, 1);
    o.rgb = true;
    const std::string adobe = MakeJpeg(48, 32, o);
    const std::size_t app14 = adobe.find("\xFF\xEE");
    ASSERT_NE(app14, std::string::npos);
    ASSERT_EQ(adobe.substr(app14 + 4, 5), "Adobe");
    ASSERT_EQ(adobe[app14 + 4 + 11], '\0') << "transform 0: RGB";
    ASSERT_EQ(adobe.find("JFIF"), std::string::npos);

    // The ids 1, 2, 3 in the frame and the scan: only the Adobe marker says RGB.
    std::string numberedIds = adobe;
    const std::size_t sof = numberedIds.find("\xFF\xC0"), sos = numberedIds.find("\xFF\xDA");
    for (int i = 0; i < 3; ++i) {
        numberedIds[sof + 10 + 3 * i] = static_cast<char>(1 + i);
        numberedIds[sos + 5 + 2 * i] = static_cast<char>(1 + i);
    }
    std::string transformOne = numberedIds;
    transformOne[app14 + 4 + 11] = 1;  // YCbCr after all
    std::string idsOnly = adobe;
    idsOnly.erase(app14, 2 + ((static_cast<unsigned char>(adobe[app14 + 2]) << 8) | static_cast<unsigned char>(adobe[app14 + 3])));
    ASSERT_EQ(idsOnly.find("Adobe"), std::string::npos);

    for (const auto& [name, jpeg] : {std::pair{"adobe transform 0", adobe}, std::pair{"adobe, ids 1 2 3", numberedIds},
                                     std::pair{"adobe transform 1", transformOne}, std::pair{"ids R G B", idsOnly}})
        ExpectMatchesLibrary(jpeg, name);

    // The picture is the test picture itself, not its colours turned through YCbCr.
    std::unique_ptr<TJpegImage> ours;
    ASSERT_EQ(DecodeJpeg(AsBytes(adobe), ours), kJpegDecoded);
    EXPECT_LE(Compare(JpegImageToBitmap(ours.get()), test::TestPicture(48, 32)).mean, 3.0);
}

TEST(JpegDecoder, FrameAboveThePixelCapGivesStatusOne) {
    std::unique_ptr<TJpegImage> img;
    const std::string jpeg = MakeJpeg(64, 64);
    EXPECT_EQ(DecodeJpeg(AsBytes(jpeg), img, JpegLimits{64 * 64 - 1}), kJpegNoMemory);
    EXPECT_EQ(DecodeJpeg(AsBytes(jpeg), img, JpegLimits{64 * 64}), kJpegDecoded);
}

TEST(JpegDecoder, FileCutAtEveryByteGivesZeroOrFive) {
    JpegEncodeOptions o;
    o.restartInterval = 2;
    for (const std::string& jpeg : {MakeJpeg(24, 16), MakeJpeg(24, 16, o)})
        for (std::size_t n = 0; n + 1 < jpeg.size(); ++n) {
            std::unique_ptr<TJpegImage> img;
            const std::uint8_t status = DecodeJpeg(AsBytes(std::string_view(jpeg).substr(0, n)), img);
            EXPECT_TRUE(status == kJpegInputEnded || status == kJpegUnsupported) << n << " gives " << int(status);
        }
}

}  // namespace
}  // namespace kelvarn
