// Damaged variants of real pictures and of our own fixtures, through every door a picture comes in
// by: the image facade (the image view), the image library and the 3D view's texture loader. A cut
// file or one whose header claims a huge picture must fail; a flipped byte may load or fail, never
// crash.
#include <gtest/gtest.h>

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
        for (const DamagedVariant& v : DamagedVariants(bytes, ext)) {
            const std::string path = dir / ("variant" + ext);
            test::WriteBytes(path, v.bytes);
            const bool loaded = AnyLoads(path);
            if (v.mustFail) {
                EXPECT_FALSE(loaded) << name << ", " << v.name;
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
    JpegEncodeOptions progressive;
    progressive.progressive = true;
    Check("a.texture", test::MakeFt2e(ft2e));
    Check("a.bmp", test::MakeBmp(bmp));
    Check("a.tga", test::MakeTga(tga));
    Check("a.jpg", EncodeJpeg(picture));
    Check("b.jpg", EncodeJpeg(picture, progressive));
    EXPECT_EQ(checked, 5 * 7);
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
