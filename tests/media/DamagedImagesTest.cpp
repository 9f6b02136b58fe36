// Damaged variants of real pictures and of our own fixtures, through every door a picture comes in
// by: the image facade (the image view), the image library, the 3D view's texture loader, and for a
// JPEG also our decoder, the library path, the one decode the readers share and the thumbnail
// finder's test. A cut file, one whose header claims a huge picture, or a JPEG the library itself
// calls corrupt must fail, quickly and without the memory the header claims; a flipped byte the library
// takes in its stride may load or fail, never crash.
#include <gtest/gtest.h>

#include <ctime>
#if defined(__unix__)
#include <sys/resource.h>
#endif
#include <filesystem>
#include <functional>

#include "../../bench/DamagedVariants.h"
#include "CorpusSupport.h"
#include "ImageBuilders.h"
#include "media/ExtraTextures.h"
#include "media/ImageViewRules.h"
#include "media/JpegCodec.h"
#include "media/JpegDec.h"
#include "media/StrellImage.h"
#include "media/Textures.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "support/AllocationWatch.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::TempDir;
using bench::DamagedVariant;
using bench::DamagedVariants;

// The processor time the process has spent in its own code: what a busy machine does to the clock,
// and the sanitizer runtime's calls into the system, are not a reader's.
double UserSeconds() {
#if defined(__unix__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
#else
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
#endif
}

// How one reader took a file: whether it loaded, the time it took (the best of a few tries when
// `timed`: a reader that is slow is slow every time), and the most memory it held at once.
struct Reading {
    bool loaded = false;
    double seconds = 1e9;
    std::int64_t peakBytes = 0;
};

Reading Read(const std::function<bool()>& load, bool timed) {
    Reading r;
    for (int attempt = 0; attempt < (timed ? 3 : 1) && r.seconds >= 0.1; ++attempt) {
        test::AllocationWatch watch;
        const double start = UserSeconds();
        r.loaded = load();
        r.seconds = std::min(r.seconds, UserSeconds() - start);
        r.peakBytes = std::max(r.peakBytes, watch.PeakBytes());
    }
    return r;
}

class DamagedImages : public ::testing::Test {
protected:
    DamagedImages() { state.Messages = &messages; }

    // Each reader that takes a picture file by its path, by name.
    std::vector<std::pair<std::string, std::function<bool()>>> Readers(const std::string& path) {
        return {
            {"image facade", [this, path] {
                 TTextures library(state);
                 TStrellImage facade(library);
                 Image32 bitmap;
                 int kind = 0, compression = 0, bits = 0;
                 return facade.LoadImage(path, bitmap, kind, compression, bits) && !bitmap.Empty();
             }},
            {"image library", [this, path] { return TTextures(state).LoadImageFile(path); }},
            {"3D view textures", [path] {
                 TExtraTextures textures;
                 TMessageList list;
                 return textures.LoadTexture(path, false, 0, list) != nullptr;
             }},
        };
    }

    // The JPEG readers that take bytes, and the thumbnail finder's test of a file.
    static std::vector<std::pair<std::string, std::function<bool()>>> JpegReaders(const std::string& path,
                                                                                  const std::string& bytes) {
        const ByteSpan data = AsBytes(bytes);
        return {
            {"our decoder", [data] {
                 std::unique_ptr<TJpegImage> image;
                 return DecodeJpeg(data, image) == kJpegDecoded;
             }},
            {"library path", [data] {
                 Image32 picture;
                 return DecodeJpegWithLibrary(data, picture);
             }},
            {"shared decode", [data] {
                 Image32 picture;
                 return DecodeJpegPicture(data, picture);
             }},
            {"thumbnail finder", [path] { return JpegLoads(path); }},
        };
    }

    bool AnyLoads(const std::string& path) {
        for (const auto& [name, load] : Readers(path))
            if (load()) return true;
        return false;
    }

    void Check(const std::string& name, const std::string& bytes) {
        std::string ext = LowerCase(ExtractFileExt(name));
        if (ext == ".jpeg") ext = ".jpg";
        test::WriteBytes(dir / ("whole" + ext), bytes);
        EXPECT_TRUE(AnyLoads(dir / ("whole" + ext))) << name << " loads whole";
        for (const DamagedVariant& v : DamagedVariants(bytes, ext)) {
            const std::string path = dir / ("variant" + ext);
            test::WriteBytes(path, v.bytes);
            auto readers = Readers(path);
            if (ext == ".jpg")
                for (auto& reader : JpegReaders(path, v.bytes)) readers.push_back(std::move(reader));
            for (const auto& [reader, load] : readers) {
                const Reading r = Read(load, v.mustFail && ext == ".jpg");
                if (v.mustFail) {
                    EXPECT_FALSE(r.loaded) << name << ", " << v.name << ": " << reader;
                }
                if (!v.mustFail || ext != ".jpg") {
                    // Loose, for sanitizer builds: a header the readers believe decodes for tens of
                    // seconds into gigabytes.
                    EXPECT_LT(r.seconds, 3.0) << name << ", " << v.name << ": " << reader;
                    continue;
                }
                // A damaged JPEG is refused at once, before it takes a quarter of the memory of the
                // picture it claims.
                EXPECT_LT(r.seconds, 0.1) << name << ", " << v.name << ": " << reader;
                if (v.claimedPixels && test::AllocationWatch::Available()) {
                    EXPECT_LT(r.peakBytes, static_cast<std::int64_t>(v.claimedPixels))
                        << name << ", " << v.name << ": " << reader;
                }
            }
            ++checked;
        }
    }

    TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;
    int checked = 0;
};

TEST_F(DamagedImages, FixturesOfEveryFormat) {
    test::Ft2eFields ft2e;
    ft2e.width = ft2e.height = 64;
    ft2e.levels = {std::string(16 * 16 * 8, '\x35')};
    test::BmpFields bmp;
    bmp.width = 64;
    bmp.height = 48;
    test::TgaFields tga;
    tga.width = 64;
    tga.height = 48;
    tga.pixels = std::string(64 * 48 * 3, '\x42');
    Image32 picture = test::TestPicture(96, 64);
    JpegEncodeOptions progressive, arithmetic, arithmeticProgressive;
    progressive.progressive = arithmeticProgressive.progressive = true;
    arithmetic.arithmetic = arithmeticProgressive.arithmetic = true;
    Check("a.texture", test::MakeFt2e(ft2e));
    Check("a.bmp", test::MakeBmp(bmp));
    Check("a.tga", test::MakeTga(tga));
    Check("a.jpg", EncodeJpeg(picture));
    Check("b.jpg", EncodeJpeg(picture, progressive));
    Check("c.jpg", EncodeJpeg(picture, arithmetic));
    Check("d.jpg", EncodeJpeg(picture, arithmeticProgressive));
    // Three cuts, two claimed sizes, two flips; a JPEG also cut and closed, three more claimed sizes
    // (two for an arithmetic-coded one) and eight bytes of its data flipped.
    EXPECT_EQ(checked, 3 * 7 + 2 * 19 + 2 * 18);
}

// Arithmetic coding gives no lower bound on the data a picture needs (the library reads zeros past the
// end of the data, as that coding allows), so a lying header is caught by size alone: a small file
// claiming a large picture is refused before anything is decoded, while whole files, even a flat one
// of a few hundred bytes, load.
TEST(ArithmeticJpeg, WholeFilesLoadAndSmallFilesClaimingLargePicturesAreRefusedUnread) {
    JpegEncodeOptions sequential, progressive;
    sequential.arithmetic = progressive.arithmetic = progressive.progressive = true;
    Image32 flat;
    flat.Width = flat.Height = 2048;
    flat.Pixels.assign(std::size_t{2048} * 2048, 0xFF336699u);
    for (const JpegEncodeOptions& options : {sequential, progressive}) {
        Image32 out;
        EXPECT_TRUE(DecodeJpegPicture(AsBytes(EncodeJpeg(test::TestPicture(512, 384), options)), out));
        EXPECT_EQ(out.Width, 512);
        const std::string flatJpeg = EncodeJpeg(flat, options);
        EXPECT_TRUE(DecodeJpegPicture(AsBytes(flatJpeg), out)) << flatJpeg.size() << " bytes";
        EXPECT_EQ(out.Height, 2048);

        std::string lying = EncodeJpeg(test::TestPicture(64, 48), options);
        ASSERT_TRUE(bench::SetClaimedSize(lying, ".jpg", 4000, 4000));
        EXPECT_FALSE(JpegHeaderFits(AsBytes(lying)));
        EXPECT_FALSE(DecodeJpegPicture(AsBytes(lying), out));
    }
}

TEST_F(DamagedImages, EveryPictureOfTheCorpus) {
    KELVARN_NEED_CORPUS();
    std::vector<std::string> files;
    FindFiles(test::CorpusFolder() + "\\*.*", "*.bmp;*.tga;*.jpg;*.jpeg;*.texture", files, true);
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        std::string bytes;
        ASSERT_EQ(ReadFileBytes(file, bytes), "") << file;
        ASSERT_TRUE(AnyLoads(file)) << file << " loads whole";
        Check(file, bytes);
    }
}

}  // namespace
}  // namespace kelvarn
