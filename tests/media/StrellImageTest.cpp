// The image facade: commands by number, LoadImage over every reader and its fallbacks, the uniform
// flag, and the savers.
#include <gtest/gtest.h>

#include <Magick++.h>
#include <filesystem>

#include "CorpusSupport.h"
#include "ImageBuilders.h"
#include "media/JpegCodec.h"
#include "media/StrellImage.h"
#include "media/TgaCodec.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::ReadBytes;
using test::WriteBytes;

// A PNG written by ImageMagick from RGBA pixels, with the given type and PNG flavour.
std::string MagickPng(Magick::ImageType type, bool alpha, const char* format = "PNG") {
    Magick::InitializeMagick(nullptr);
    std::vector<std::uint8_t> rgba(4 * 4 * 4);
    for (int i = 0; i < 16; ++i) {
        rgba[i * 4] = static_cast<std::uint8_t>(i * 16);
        rgba[i * 4 + 1] = type == Magick::GrayscaleType ? rgba[i * 4] : static_cast<std::uint8_t>(255 - i * 8);
        rgba[i * 4 + 2] = type == Magick::GrayscaleType ? rgba[i * 4] : static_cast<std::uint8_t>(i % 3 * 100);
        rgba[i * 4 + 3] = alpha ? static_cast<std::uint8_t>(i * 16) : 255;
    }
    Magick::Image image(4, 4, "RGBA", Magick::CharPixel, rgba.data());
    image.matte(alpha);
    image.type(type);
    image.magick(format);
    Magick::Blob blob;
    image.write(&blob);
    return std::string(static_cast<const char*>(blob.data()), blob.length());
}

// An 8-bit run-length BMP (which our reader refuses): each row one run of index 1.
std::string Rle8Bmp(int w, int h) {
    test::BmpFields fields;
    fields.width = w;
    fields.height = h;
    fields.bits = 8;
    fields.colours = 16;
    fields.compression = 1;
    std::string data;
    for (int y = 0; y < h; ++y) data += test::Bytes({w, 1, 0, 0});  // a run of w pixels, end of line
    data += test::Bytes({0, 1});                                     // end of bitmap
    fields.pixels.assign(data.begin(), data.end());
    return test::MakeBmp(fields);
}

class StrellImageTest : public ::testing::Test {
protected:
    StrellImageTest() { state.Messages = &messages; }

    struct Loaded {
        bool ok;
        int alpha = -1, compression = -1, bits = -1;
        Image32 bitmap;
    };
    Loaded Load(const std::string& name) {
        Loaded r{};
        r.ok = facade.LoadImage(dir / name, r.bitmap, r.alpha, r.compression, r.bits);
        return r;
    }

    test::TempDir dir;
    test::RecordingMessageSink messages;
    TProgramState state;
    TTextures lib{state};
    TStrellImage facade{lib};
};

TEST_F(StrellImageTest, CommandsReportTheLastCode) {
    RawImage raw = test::TestRaw(2, 1, 4);
    raw.Pixels[3] = 0;
    raw.Pixels[7] = 1;
    WriteBytes(dir / "a.tga", EncodeTga(raw));
    TImageInfo info;
    ASSERT_TRUE(facade.TextureCommand(tcLoadImageFile, 0, dir / "a.tga", info));
    EXPECT_EQ(info.ErrorCode, -8);
    EXPECT_EQ(info.Width, 2);
    EXPECT_EQ(info.Size, 8);
    EXPECT_EQ(info.Pixels, lib.PixelBuffer().data());
    facade.TextureCommand(tcThresholdAlpha, 0, "", info);  // 0 acts as 1
    EXPECT_EQ(lib.PixelBuffer()[3], 0);
    EXPECT_EQ(lib.PixelBuffer()[7], 255);
    EXPECT_EQ(info.AlphaKind, 2);

    // A 3-byte image: ScanAlpha changes nothing and reports the earlier code.
    facade.TextureCommand(tcRemoveAlphaChannel, 0, "", info);
    lib.ImageError = 10010;
    facade.TextureCommand(tcScanAlpha, 0, "", info);
    EXPECT_EQ(info.ErrorCode, 10010);
    EXPECT_EQ(info.AlphaKind, 0);
    EXPECT_FALSE(facade.TextureCommand(tcColourKeyToAlpha, 0, "1,2", info));
    EXPECT_EQ(info.ErrorCode, 10017);
    EXPECT_FALSE(facade.TextureCommand(99, 0, "", info));
    EXPECT_EQ(info.ErrorCode, 10017);
    facade.TextureCommand(tcFreeImage, 0, "", info);
    EXPECT_EQ(info.Pixels, nullptr);
}

TEST_F(StrellImageTest, LoadsEveryKindThroughTheRightReader) {
    JpegEncodeOptions progressive;
    progressive.progressive = true;
    RawImage rgba = test::TestRaw(3, 2, 4);
    for (std::size_t i = 3; i < rgba.Pixels.size(); i += 4) rgba.Pixels[i] = 255;
    test::TgaFields rle;
    rle.type = 10;
    rle.pixels = test::RleEncode(std::string(18, '\x40'), 3);
    JpegEncodeOptions wideLuma;  // 4:1:1, which our decoder leaves to the library
    wideLuma.factors[0][0] = 4;
    wideLuma.factors[0][1] = 1;
    test::JirfFields dxt5;
    dxt5.format = 12;
    dxt5.chunks = {std::string(16, '\x21')};
    struct Case {
        const char* name;
        std::string bytes;
        int alpha, compression, bits, width;
    } cases[] = {
        {"a.bmp", test::MakeBmp(test::BmpFields{}), 0, 0, 24, 4},
        {"upper.JPG", test::MakeJpeg(20, 10), 0, 0, 24, 20},
        {"thin.jpg", test::MakeJpeg(1, 5), 0, 0, 24, 1},
        {"progressive.jpg", test::MakeJpeg(9, 9, progressive), 0, 0, 24, 9},
        {"thin progressive.jpg", test::MakeJpeg(1, 12, progressive), 0, 0, 24, 1},
        {"flat 411.jpg", test::MakeJpeg(40, 1, wideLuma), 0, 0, 24, 40},
        {"opaque32.tga", EncodeTga(rgba), 2, 0, 32, 3},
        {"packed.tga", test::MakeTga(rle), 0, 1, 24, 3},
        {"body.texture", test::MakeJirf(dxt5), 1, 5, 32, 4},
        {"rgb.png", MagickPng(Magick::TrueColorType, false, "PNG24"), 0, 0, 24, 4},
        {"alpha.png", MagickPng(Magick::TrueColorMatteType, true, "PNG32"), 2, 0, 32, 4},
        {"palette.png", MagickPng(Magick::PaletteType, false, "PNG8"), 0, 0, 8, 4},
        {"grey.png", MagickPng(Magick::GrayscaleType, false), 0, 0, 8, 4},
        {"noextension", MagickPng(Magick::TrueColorType, false, "PNG24"), 0, 0, 24, 4},
        {"rle8.bmp", Rle8Bmp(5, 3), 0, 0, 24, 5},
    };
    for (const Case& c : cases) {
        WriteBytes(dir / c.name, c.bytes);
        const Loaded r = Load(c.name);
        ASSERT_TRUE(r.ok) << c.name;
        EXPECT_EQ(r.alpha, c.alpha) << c.name;
        EXPECT_EQ(r.compression, c.compression) << c.name;
        EXPECT_EQ(r.bits, c.bits) << c.name;
        EXPECT_EQ(r.bitmap.Width, c.width) << c.name;
    }
    // A name whose case differs from the file's, as configs made on Windows have them.
    const Loaded mixed = Load("BODY.Texture");
    EXPECT_TRUE(mixed.ok);
    EXPECT_EQ(mixed.compression, 5);
    EXPECT_EQ(lib.SourceTexturePath, dir / "body.texture");
    // The run-length BMP came through the fallback: index 1 of the table everywhere.
    const Loaded rle8 = Load("rle8.bmp");
    EXPECT_EQ(rle8.bitmap.At(4, 2) & 0xFFFFFF, 0x06FE03u);
    EXPECT_EQ(lib.ImageError, 10004);
}

// A BMP our reader cannot take goes to the further readers without a word; only when they fail too
// does "Error reading bitmap data" stand.
TEST_F(StrellImageTest, BitmapDataErrorOnlyWhenNoReaderTakesTheFile) {
    WriteBytes(dir / "rle8.bmp", Rle8Bmp(5, 3));
    ASSERT_TRUE(Load("rle8.bmp").ok);
    EXPECT_EQ(lib.ImageError, 10004);
    EXPECT_TRUE(messages.messages.empty()) << messages.messages.front();

    // Run-length data that ends before its first row: no reader makes a picture of it.
    test::BmpFields fields;
    fields.bits = 8;
    fields.colours = 16;
    fields.compression = 1;
    fields.width = fields.height = 64;
    fields.pixels = {0};
    WriteBytes(dir / "cut.bmp", test::MakeBmp(fields));
    EXPECT_FALSE(Load("cut.bmp").ok);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Error reading bitmap data"});

    // The library alone still says it at once.
    messages.messages.clear();
    EXPECT_FALSE(lib.LoadImageFile(dir / "rle8.bmp"));
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Error reading bitmap data"});
}

// ".jpeg" is ".jpg" spelt out: both the library and our own decoder's one-pixel path take it.
TEST_F(StrellImageTest, JpegFilesOfEitherSpelling) {
    WriteBytes(dir / "photo.jpeg", test::MakeJpeg(20, 10));
    WriteBytes(dir / "thin.JPEG", test::MakeJpeg(1, 5));
    const Loaded photo = Load("photo.jpeg");
    ASSERT_TRUE(photo.ok);
    EXPECT_EQ(photo.bitmap.Width, 20);
    EXPECT_EQ(photo.bits, 24);
    EXPECT_EQ(photo.alpha, 0);
    const Loaded thin = Load("thin.JPEG");
    ASSERT_TRUE(thin.ok);
    EXPECT_EQ(thin.bitmap.Height, 5);
    EXPECT_TRUE(messages.messages.empty());
}

// Every picture in the real asset folders opens as a user opens it, without a message.
TEST_F(StrellImageTest, EveryRealPictureOpens) {
    KELVARN_NEED_CORPUS();
    int opened = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusFolder())) {
        const std::string path = PathString(entry.path());
        const std::string ext = LowerCase(ExtractFileExt(path));
        const bool picture = ext == ".jpg" || ext == ".jpeg" || ext == ".tga" || ext == ".bmp" || ext == ".texture";
        if (!entry.is_regular_file() || !picture) continue;
        Image32 bitmap;
        int alpha = -1, compression = -1, bits = -1;
        ASSERT_TRUE(facade.LoadImage(path, bitmap, alpha, compression, bits)) << path;
        EXPECT_GT(bitmap.Width, 0) << path;
        EXPECT_TRUE(bits == 24 || bits == 32) << path << " " << bits;
        ++opened;
    }
    EXPECT_GE(opened, 20);
    EXPECT_TRUE(messages.messages.empty()) << messages.messages.front();
}

TEST_F(StrellImageTest, RefusesWithoutStalePixels) {
    WriteBytes(dir / "good.bmp", test::MakeBmp(test::BmpFields{}));
    WriteBytes(dir / "short.png", "\x89PN");
    WriteBytes(dir / "image.psp", std::string("Paint Shop Pro Image File\n\x1a\0\0\0\0\0", 32) + std::string(40, '\0'));
    WriteBytes(dir / "unknown.xyz", "nothing we know of at all");
    WriteBytes(dir / "drawing.png", "viewbox 0 0 10 10\nfill red\nrectangle 0,0 5,5\n");
    WriteBytes(dir / "vector.png", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\"><rect width=\"8\" height=\"8\"/></svg>");
    WriteBytes(dir / "broken.png", "\x89PNG\r\n\x1a\nthen nothing that decodes");
    for (const char* name : {"short.png", "image.psp", "unknown.xyz", "drawing.png", "vector.png", "broken.png"}) {
        ASSERT_TRUE(Load("good.bmp").ok);
        const Loaded r = Load(name);
        EXPECT_FALSE(r.ok) << name;
        EXPECT_TRUE(r.bitmap.Empty()) << name;
        if (std::string(name) == "short.png") {
            EXPECT_EQ(lib.ImageError, 1017);  // refused before the library is asked
            continue;
        }
        EXPECT_FALSE(lib.Loaded) << name;
        EXPECT_EQ(lib.Info.Pixels, nullptr) << name;
    }
}

TEST_F(StrellImageTest, UniformColourComparesRgbOnly) {
    RawImage flat;
    flat.Allocate(3, 3, 4);
    for (std::size_t i = 0; i < flat.Pixels.size(); i += 4) {
        flat.Pixels[i] = 10;
        flat.Pixels[i + 1] = 20;
        flat.Pixels[i + 2] = 30;
        flat.Pixels[i + 3] = static_cast<std::uint8_t>(i);  // alpha differs: still one colour
    }
    WriteBytes(dir / "flat.tga", EncodeTga(flat));
    test::JirfFields flatTexture;
    flatTexture.format = 0;
    flatTexture.width = flatTexture.height = 2;
    flatTexture.chunks = {std::string("\x01\x02\x03\x10\x01\x02\x03\x20\x01\x02\x03\x30\x01\x02\x03\x40", 16)};
    WriteBytes(dir / "flat.texture", test::MakeJirf(flatTexture));
    RawImage spot = flat;
    spot.Pixels[20] = 11;
    WriteBytes(dir / "spot.tga", EncodeTga(spot));
    flatTexture.chunks[0][12] = '\x09';
    WriteBytes(dir / "spot.texture", test::MakeJirf(flatTexture));
    struct Case {
        const char* name;
        bool uniform;
    } cases[] = {{"flat.tga", true}, {"flat.texture", true}, {"spot.tga", false}, {"spot.texture", false}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(c.name).ok) << c.name;
        EXPECT_EQ(facade.UniformColour, c.uniform) << c.name;
    }
}

TEST_F(StrellImageTest, SaversWriteAtomically) {
    Image32 picture = test::TestPicture(12, 8);
    picture.At(0, 0) = 0x80112233u;
    Image32 copy = picture;
    ASSERT_TRUE(facade.SaveJPEG(dir / "p.jpg", copy));
    EXPECT_EQ(copy.Depth, 24);
    EXPECT_TRUE(JpegHasMultipleScans(AsBytes(ReadBytes(dir / "p.jpg"))));

    copy = picture;
    ASSERT_TRUE(facade.SaveBMP(dir / "p.bmp", copy));
    Loaded back = Load("p.bmp");
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.bitmap.Pixels, copy.Pixels);

    copy = picture;
    ASSERT_TRUE(facade.SaveTGA(dir / "keep.tga", copy, 2));
    EXPECT_EQ(ReadBytes(dir / "keep.tga")[16], 32);
    back = Load("keep.tga");
    EXPECT_EQ(back.bitmap.Pixels, picture.Pixels);
    copy = picture;
    ASSERT_TRUE(facade.SaveTGA(dir / "drop.tga", copy, 0));
    EXPECT_EQ(ReadBytes(dir / "drop.tga")[16], 24);

    WriteBytes(dir / "old.bmp", "old");
    SetWriteFaultHook([](const std::string&) { return std::size_t{5}; });
    EXPECT_FALSE(facade.SaveBMP(dir / "old.bmp", copy));
    EXPECT_FALSE(facade.SaveJPEG(dir / "old.bmp", copy));
    EXPECT_FALSE(facade.SaveTGA(dir / "old.bmp", copy, 0));
    SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadBytes(dir / "old.bmp"), "old");
    Image32 empty;
    EXPECT_FALSE(facade.SaveTGA(dir / "empty.tga", empty, 0));
    EXPECT_FALSE(FileExists(dir / "empty.tga"));
}

}  // namespace
}  // namespace kelvarn
