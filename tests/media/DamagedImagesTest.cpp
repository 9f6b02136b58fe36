// Damaged variants of real pictures and of our own fixtures, through every door a picture comes in
// by: the image facade (the image view), the image library and the 3D view's texture loader. A cut
// file or one whose header claims a huge picture must fail; a flipped byte may load or fail, never
// crash.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "../../bench/DamagedVariants.h"
#include "CorpusSupport.h"
#include "ImageBuilders.h"
#include "media/ExtraTextures.h"
#include "media/JpegCodec.h"
#include "media/StrellImage.h"
#include "media/Textures.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::TempDir;
using bench::DamagedVariant;
using bench::DamagedVariants;

class DamagedImages : public ::testing::Test {
protected:
    DamagedImages() { state.Messages = &messages; }

    // Every reader on one variant: whether any of them took it.
    bool AnyLoads(const std::string& path) {
        TTextures library(state);
        TStrellImage facade(library);
        Image32 bitmap;
        int kind = 0, compression = 0, bits = 0;
        const bool viaFacade = facade.LoadImage(path, bitmap, kind, compression, bits) && !bitmap.Empty();
        TTextures plain(state);
        const bool viaLibrary = plain.LoadImageFile(path);
        TExtraTextures textures;
        TMessageList list;
        const bool viaTextures = textures.LoadTexture(path, false, 0, list) != nullptr;
        return viaFacade || viaLibrary || viaTextures;
    }

    void Check(const std::string& name, const std::string& bytes) {
        std::string ext = LowerCase(ExtractFileExt(name));
        if (ext == ".jpeg") ext = ".jpg";
        test::WriteBytes(dir / ("whole" + ext), bytes);
        EXPECT_TRUE(AnyLoads(dir / ("whole" + ext))) << name << " loads whole";
        for (const DamagedVariant& v : DamagedVariants(bytes, ext)) {
            const std::string path = dir / ("variant" + ext);
            test::WriteBytes(path, v.bytes);
            const auto start = std::chrono::steady_clock::now();
            const bool loaded = AnyLoads(path);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (v.mustFail) {
                EXPECT_FALSE(loaded) << name << ", " << v.name;
            }
            // Loose, for sanitizer builds on a busy machine: a header the readers believe decodes for
            // tens of seconds into gigabytes; refused or read to its end, a variant takes milliseconds.
            EXPECT_LT(seconds, 3.0) << name << ", " << v.name;
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
    EXPECT_EQ(checked, 7 * 7);
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
