// Our JPEG decoder against libjpeg-turbo (accurate integer transform, plain up-sampling) on files
// encoded in the test, its buffer layout, and each way it refuses data.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "../../bench/DamagedVariants.h"
#include "CorpusSupport.h"
#include "ImageBuilders.h"
#include "media/JpegCodec.h"
#include "media/JpegDec.h"
#include "support/TestSupport.h"

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

// Where a file's entropy-coded data starts (after the scan header) and its end marker.
std::pair<std::size_t, std::size_t> ScanData(const std::string& jpeg) {
    const std::size_t sos = jpeg.find("\xFF\xDA");
    const std::size_t length = (static_cast<unsigned char>(jpeg[sos + 2]) << 8) | static_cast<unsigned char>(jpeg[sos + 3]);
    return {sos + 2 + length, jpeg.rfind("\xFF\xD9")};
}

// Data that stops before the scan's last block is missing, whatever marker comes there: the decoder
// must not fill the rest and call the picture whole.
TEST(JpegDecoder, DataEndingBeforeTheLastBlockIsMissingData) {
    JpegEncodeOptions restarts, grey;
    restarts.restartInterval = 2;
    grey.grey = true;
    for (const auto& [label, jpeg] : {std::pair{"plain", MakeJpeg(96, 64)}, std::pair{"restarts", MakeJpeg(96, 64, restarts)},
                                      std::pair{"grey", MakeJpeg(96, 64, grey)}}) {
        const auto [begin, end] = ScanData(jpeg);
        std::unique_ptr<TJpegImage> img;
        for (std::size_t cut : {begin + 1, (begin + end) / 2, end - 8}) {
            // The end marker, a restart marker, a comment.
            for (const std::string& marker : {test::Bytes({0xFF, 0xD9}), test::Bytes({0xFF, 0xD0}), test::Bytes({0xFF, 0xFE, 0, 2})}) {
                const std::string closed = jpeg.substr(0, cut) + marker + "\xFF\xD9";
                EXPECT_EQ(DecodeJpeg(AsBytes(closed), img), kJpegInputEnded) << label << " cut at " << cut << " " << int(marker[1] & 255);
                EXPECT_EQ(img, nullptr);
            }
        }
        if (std::string(label) != "restarts") continue;
        // A restart marker out of turn: the intervals between are missing, and the library calls it corrupt.
        const std::size_t first = jpeg.find("\xFF\xD0", begin);
        std::string outOfTurn = jpeg;
        outOfTurn[first + 1] = '\xD3';
        EXPECT_EQ(DecodeJpeg(AsBytes(outOfTurn), img), kJpegInputEnded);
        EXPECT_TRUE(bench::LibjpegComplains(outOfTurn));
        // Cut right at each restart marker and closed: every interval before it is whole.
        for (std::size_t at = jpeg.find("\xFF\xD0", begin); at < end; at = jpeg.find('\xFF', at + 2)) {
            if ((static_cast<unsigned char>(jpeg[at + 1]) & 0xF8) != 0xD0) continue;
            EXPECT_EQ(DecodeJpeg(AsBytes(jpeg.substr(0, at) + "\xFF\xD9"), img), kJpegInputEnded) << "at restart " << at;
            EXPECT_EQ(DecodeJpeg(AsBytes(jpeg.substr(0, at + 2) + "\xFF\xD9"), img), kJpegInputEnded) << "after restart " << at;
        }
    }
}

// What the library calls corrupt data, ours refuses with status 5 (the shared decode then asks the
// library, which refuses it too).
TEST(JpegDecoder, DataTheLibraryCallsCorruptIsRefused) {
    JpegEncodeOptions restarts;
    restarts.restartInterval = 2;
    const std::string good = MakeJpeg(64, 48), withRestarts = MakeJpeg(64, 48, restarts);
    const auto [begin, end] = ScanData(good);
    const auto [rBegin, rEnd] = ScanData(withRestarts);
    const std::size_t firstRestart = withRestarts.find("\xFF\xD0", rBegin);
    ASSERT_LT(firstRestart, rEnd);
    auto with = [](std::string s, std::size_t at, const std::string& bytes) { return s.insert(at, bytes); };
    auto replaced = [](std::string s, std::size_t at, char c) {
        s[at] = c;
        return s;
    };
    const std::size_t sof = good.find("\xFF\xC0"), sos = good.find("\xFF\xDA"), dht = good.find("\xFF\xC4");
    const struct {
        const char* name;
        std::string data;
    } cases[] = {
        {"bytes before the end marker", with(good, end, std::string(8, '\0'))},
        {"bytes before a restart marker", with(withRestarts, firstRestart, "\x12\x34")},
        {"bytes between two header segments", with(good, dht, std::string(2, '\0'))},
        {"bytes before the start of image", std::string(1, '\0') + good},
        {"a marker code the library does not know", with(good, dht, test::Bytes({0xFF, 0xF3, 0, 2}))},
        {"a second frame header", with(good, sof, good.substr(sof, 19))},
        {"spectral selection of a progressive scan", replaced(good, sos + 2 + 10, 5)},
        {"scan component ids not the frame's", replaced(good, sos + 5, 9)},
        {"a DC table value above 15", replaced(good, dht + 5 + 16 + 11, 16)},
    };
    std::unique_ptr<TJpegImage> img;
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeJpeg(AsBytes(c.data), img), kJpegUnsupported) << c.name;
        Image32 picture;
        EXPECT_FALSE(DecodeJpegPicture(AsBytes(c.data), picture)) << c.name;
        EXPECT_TRUE(bench::LibjpegComplains(c.data)) << c.name << ": the library takes it after all";
    }
    // A byte or two the library has read ahead with the last block it lets pass; so does the decode
    // the readers share, which leaves such a file to the library.
    const std::string oneByte = with(good, end, std::string(1, '\0'));
    EXPECT_EQ(DecodeJpeg(AsBytes(oneByte), img), kJpegUnsupported);
    Image32 picture;
    EXPECT_EQ(DecodeJpegPicture(AsBytes(oneByte), picture), !bench::LibjpegComplains(oneByte));
}

// Complete data without its end marker is a whole picture for the readers, though the decoder alone
// reports the missing marker; a few bytes after the end marker are nobody's business.
TEST(JpegDecoder, WholeDataWithoutEndMarkerOrWithTrailingBytesLoads) {
    JpegEncodeOptions progressive;
    progressive.progressive = true;
    const std::string good = MakeJpeg(64, 48);
    const std::string noEnd = good.substr(0, good.size() - 2);
    std::unique_ptr<TJpegImage> img;
    EXPECT_EQ(DecodeJpeg(AsBytes(noEnd), img), kJpegInputEnded);
    ASSERT_EQ(DecodeJpeg(AsBytes(noEnd), img, JpegLimits{kMaxImagePixels, true}), kJpegDecoded);
    Image32 whole, picture, library;
    ASSERT_TRUE(DecodeJpegPicture(AsBytes(good), whole));
    ASSERT_TRUE(DecodeJpegPicture(AsBytes(noEnd), picture));
    EXPECT_EQ(picture.Pixels, whole.Pixels);
    EXPECT_EQ(JpegImageToBitmap(img.get()).Pixels, whole.Pixels);
    for (const std::string& jpeg : {noEnd, MakeJpeg(64, 48, progressive).substr(0, MakeJpeg(64, 48, progressive).size() - 2),
                                    good + "\r\n\x00garbage"})
        EXPECT_TRUE(DecodeJpegWithLibrary(AsBytes(jpeg), library));
    EXPECT_TRUE(DecodeJpegPicture(AsBytes(good + "\r\n\x00garbage"), picture));
}

// A progressive file cut between two scans and closed again reads without a word from the library,
// but leaves coefficients unrefined: the picture is missing data.
TEST(JpegDecoder, ProgressiveFileMissingScansIsRefused) {
    JpegEncodeOptions progressive;
    progressive.progressive = true;
    const std::string jpeg = MakeJpeg(64, 48, progressive);
    const std::size_t lastScan = jpeg.rfind("\xFF\xDA");
    const std::string cut = jpeg.substr(0, lastScan) + "\xFF\xD9";
    EXPECT_FALSE(bench::LibjpegComplains(cut));
    Image32 picture;
    EXPECT_FALSE(DecodeJpegWithLibrary(AsBytes(cut), picture));
    EXPECT_FALSE(DecodeJpegPicture(AsBytes(cut), picture));
    EXPECT_TRUE(DecodeJpegPicture(AsBytes(jpeg), picture));
}

// Real thumbnails and photos: none is corrupt to the library, and ours decodes each within 3 levels of
// it, as do the readers' shared decode and the library path with corruption warnings as failures.
TEST(JpegDecoder, EveryCorpusJpegIsCleanAndMatchesLibrary) {
    KELVARN_NEED_CORPUS();
    int decoded = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusFolder())) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".jpg" && ext != ".JPG" && ext != ".jpeg")) continue;
        const std::string path = entry.path().string();
        const std::string jpeg = test::ReadBytes(path);
        EXPECT_FALSE(bench::LibjpegComplains(jpeg)) << path;
        ExpectMatchesLibrary(jpeg, path);
        Image32 picture;
        EXPECT_TRUE(DecodeJpegPicture(AsBytes(jpeg), picture)) << path;
        ++decoded;
    }
    EXPECT_GE(decoded, 13);
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
