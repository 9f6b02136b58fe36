// The image library: loading with each reader's codes and messages, the in-place operations, the
// exports with their descriptor, and what each failure leaves behind.
#include <gtest/gtest.h>

#include "ImageBuilders.h"
#include "support/TestSupport.h"
#include "media/JpegCodec.h"
#include "media/Textures.h"
#include "media/TgaCodec.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"

namespace kelvarn {
namespace {

using namespace image_error;
using test::ReadBytes;
using test::WriteBytes;

class TexturesTest : public ::testing::Test {
protected:
    TexturesTest() { state.Messages = &messages; }

    // Loads a picture of the library layout through a TGA file (exact for 3 and 4 bytes).
    void Load(const RawImage& raw) {
        const std::string path = dir / "picture.tga";
        WriteBytes(path, EncodeTga(raw));
        ASSERT_TRUE(lib.LoadImageFile(path));
    }
    std::vector<std::uint8_t> Pixel(int x, int y) const {
        const int bpp = lib.BytesPerPixel();
        const std::uint8_t* p = lib.Info.Pixels + (static_cast<std::size_t>(y) * lib.Info.Width + x) * bpp;
        return std::vector<std::uint8_t>(p, p + bpp);
    }

    test::TempDir dir;
    test::RecordingMessageSink messages;
    TProgramState state;
    TTextures lib{state};
};

RawImage Picture(int w, int h, int bpp) { return test::TestRaw(w, h, bpp); }

TEST_F(TexturesTest, GeometryAtSmallSizes) {
    for (int bpp : {3, 4})
        for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{3, 2}}) {
            const RawImage raw = Picture(w, h, bpp);
            auto original = [&](int x, int y) {
                const std::uint8_t* p = raw.Pixels.data() + (static_cast<std::size_t>(y) * w + x) * bpp;
                return std::vector<std::uint8_t>(p, p + bpp);
            };
            Load(raw);
            lib.FlipImage();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) EXPECT_EQ(Pixel(x, y), original(x, h - 1 - y));
            Load(raw);
            lib.MirrorImage();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) EXPECT_EQ(Pixel(x, y), original(w - 1 - x, y));
            Load(raw);
            lib.RotateImage();
            ASSERT_EQ(lib.Info.Width, h);
            ASSERT_EQ(lib.Info.Height, w);
            EXPECT_EQ(lib.Info.Size, w * h * bpp);
            // Row x, column y of the result is row y, column w-1-x of the original.
            for (int x = 0; x < w; ++x)
                for (int y = 0; y < h; ++y) EXPECT_EQ(Pixel(y, x), original(w - 1 - x, y)) << w << "x" << h;
        }
    // [A B] rotates to one column with A on top: rows run bottom-up, so B is row 0.
    const RawImage ab = Picture(2, 1, 3);
    Load(ab);
    lib.RotateImage();
    EXPECT_EQ(Pixel(0, 1), (std::vector<std::uint8_t>{ab.Pixels[0], ab.Pixels[1], ab.Pixels[2]}));
    EXPECT_EQ(Pixel(0, 0), (std::vector<std::uint8_t>{ab.Pixels[3], ab.Pixels[4], ab.Pixels[5]}));
}

TEST_F(TexturesTest, AlphaOperations) {
    RawImage raw = Picture(4, 1, 4);
    raw.Pixels[3] = 254;
    raw.Pixels[7] = 253;
    raw.Pixels[11] = 0;
    raw.Pixels[15] = 255;
    Load(raw);
    EXPECT_EQ(lib.Info.AlphaKind, 1);
    lib.ThresholdAlpha(300);  // acts as 254
    EXPECT_EQ(Pixel(0, 0)[3], 255);
    EXPECT_EQ(Pixel(1, 0)[3], 0);
    EXPECT_EQ(lib.Info.AlphaKind, 2);
    Load(raw);
    lib.ThresholdAlpha(0);  // acts as 1
    EXPECT_EQ(Pixel(2, 0)[3], 0);
    EXPECT_EQ(Pixel(1, 0)[3], 255);

    raw.Pixels[3] = 0;
    raw.Pixels[7] = 255;
    Load(raw);
    lib.ScanAlpha();
    EXPECT_EQ(lib.Info.AlphaKind, 2);
    raw.Pixels[7] = 128;
    Load(raw);
    lib.ScanAlpha();
    EXPECT_EQ(lib.Info.AlphaKind, 1);

    Load(Picture(2, 2, 3));
    lib.ScanAlpha();  // not 4 bytes: nothing
    lib.ThresholdAlpha(5);
    EXPECT_EQ(lib.Info.AlphaKind, 0);
    EXPECT_FALSE(lib.RemoveAlphaChannel());
    EXPECT_TRUE(lib.AddAlphaChannel());
    EXPECT_EQ(lib.BytesPerPixel(), 4);
    EXPECT_EQ(lib.Info.AlphaKind, 2);
    EXPECT_EQ(Pixel(1, 1)[3], 255);
    EXPECT_FALSE(lib.AddAlphaChannel());
    EXPECT_TRUE(lib.RemoveAlphaChannel());
    EXPECT_EQ(lib.Info.AlphaKind, 0);
    EXPECT_EQ(lib.Info.Size, 12);
}

TEST_F(TexturesTest, ColourKeyToAlpha) {
    RawImage raw;
    raw.Allocate(3, 1, 3);
    raw.Pixels = {10, 20, 30, 11, 20, 30, 40, 40, 40};
    Load(raw);
    lib.ImageError = 0;
    EXPECT_FALSE(lib.ColourKeyToAlpha("10,20,30"));
    EXPECT_EQ(lib.ImageError, kShortFile);
    lib.ImageError = 0;
    EXPECT_FALSE(lib.ColourKeyToAlpha("10,x,30,0"));
    EXPECT_EQ(lib.ImageError, kShortFile);
    EXPECT_FALSE(lib.ColourKeyToAlpha("10,20,30,"));
    EXPECT_EQ(lib.BytesPerPixel(), 3);  // nothing changed by the refusals

    EXPECT_TRUE(lib.ColourKeyToAlpha("10,20,30,0"));
    EXPECT_EQ(lib.BytesPerPixel(), 4);
    EXPECT_EQ(Pixel(0, 0)[3], 0);
    EXPECT_EQ(Pixel(1, 0)[3], 255);
    EXPECT_EQ(Pixel(2, 0)[3], 255);
    EXPECT_EQ(lib.Info.AlphaKind, 2);  // left as AddAlphaChannel set it
    EXPECT_TRUE(lib.ColourKeyToAlpha("10,20,30,1"));
    EXPECT_EQ(Pixel(1, 0)[3], 0);
    EXPECT_EQ(Pixel(2, 0)[3], 255);
    lib.FreeImage();
    EXPECT_FALSE(lib.ColourKeyToAlpha("10,20,30,1"));  // no image is no 4-byte image
    EXPECT_EQ(lib.ImageError, kNoAlphaChannel);
}

TEST_F(TexturesTest, LoadRefusalsCodesAndMessages) {
    using test::BmpFields;
    using test::TgaFields;
    BmpFields clr3;
    clr3.bits = 8;
    clr3.colours = 3;
    BmpFields rle;
    rle.bits = 8;
    rle.colours = 16;
    rle.compression = 1;
    TgaFields tgaRle;
    tgaRle.type = 10;
    TgaFields grey;
    grey.type = 3;
    grey.depth = 8;
    TgaFields mapType;
    mapType.mapType = 7;
    TgaFields depth15;
    depth15.depth = 15;
    TgaFields shortTga;
    shortTga.pixels = "abc";
    test::Ft2eFields mip;
    mip.version = 2;
    mip.mipSkip = 3;
    mip.levels = {std::string(8, 'x')};
    test::Ft2eFields format;
    format.format = "8txd";
    format.levels = {std::string(8, 'x')};
    test::JirfFields form;
    form.form = "MMTXINFO";
    test::JirfFields badFormat;
    badFormat.format = 13;
    test::JirfFields level;
    level.chunks = {std::string(8, 'x')};
    std::string shortLevel = test::MakeJirf(level);
    shortLevel.resize(shortLevel.size() - 2);
    struct Case {
        const char* name;
        const char* file;
        std::string bytes;
        std::int32_t code;
        std::string message;
        std::string caption;
    } cases[] = {
        {"tiny", "a.bmp", "BM", kShortFile, "", ""},
        {"bmp colours", "a.bmp", test::MakeBmp(clr3), kBmpColours, "", ""},
        {"bmp run-length", "a.bmp", test::MakeBmp(rle), kBmpData, "Error reading bitmap data", "Textures Unit"},
        {"tga run-length", "dir/r.tga", test::MakeTga(tgaRle), kTgaRunLength, "Compressed TGAs not supported \"r.tga\".", ""},
        {"tga grey", "g.tga", test::MakeTga(grey), kTgaType,
         "Couldn't load \"g.tga\". Only 256 colour, 24 bit and 32bit TGA supported.", "TGA File Error"},
        {"tga map type", "m.tga", test::MakeTga(mapType), -1, "Colormapped TGA files not supported.", "TGA File Error"},
        {"tga depth", "d.tga", test::MakeTga(depth15), kTgaDepth, "", ""},
        {"tga short", "s.tga", test::MakeTga(shortTga), kTgaData, "", ""},
        {"texture tag", "t.texture", "RIFF0000", kTextureTag, "", ""},
        {"texture form", "t.texture", test::MakeJirf(form), kTextureHeader, "", ""},
        {"texture format", "t.texture", test::MakeJirf(badFormat), kTextureFormat, "", ""},
        {"texture level", "t.texture", shortLevel, kTextureLevel, "", ""},
        {"texture mip skip", "t.texture", test::MakeFt2e(mip), -1, "Mip Skip: 3 NON ZERO value not supported", ""},
        {"texture pixel format", "t.texture", test::MakeFt2e(format), -1, "\"8txd\" pixel format NOT supported", ""},
        {"jpeg", "j.jpg", "\xFF\xD8 not a picture", kJpegLoad, "", ""},
    };
    for (const Case& c : cases) {
        const std::string path = dir / c.file;
        WriteBytes(path, c.bytes);
        messages.messages.clear();
        messages.captions.clear();
        lib.ImageError = -1;
        EXPECT_FALSE(lib.LoadImageFile(path)) << c.name;
        EXPECT_EQ(lib.ImageError, c.code) << c.name;
        EXPECT_FALSE(lib.Loaded) << c.name;
        if (c.message.empty()) EXPECT_TRUE(messages.messages.empty()) << c.name;
        else {
            ASSERT_EQ(messages.messages.size(), 1u) << c.name;
            EXPECT_NE(messages.messages[0].find(c.message), std::string::npos) << c.name << ": " << messages.messages[0];
            EXPECT_EQ(messages.captions[0], c.caption) << c.name;
        }
    }
    // A file we cannot open leaves the current image untouched.
    Load(Picture(2, 2, 3));
    EXPECT_FALSE(lib.LoadImageFile(dir / "missing.tga"));
    EXPECT_EQ(lib.ImageError, kShortFile);
    EXPECT_TRUE(lib.Loaded);
    // An unknown extension frees the image and fails without a code.
    WriteBytes(dir / "a.png", "\x89PNG....");
    lib.ImageError = 0;
    EXPECT_FALSE(lib.LoadImageFile(dir / "a.png"));
    EXPECT_EQ(lib.ImageError, 0);
    EXPECT_FALSE(lib.Loaded);
    EXPECT_EQ(lib.Info.Pixels, nullptr);
    EXPECT_EQ(lib.Info.Width, 2);  // the description stays; only the pixels go
}

TEST_F(TexturesTest, SixteenBitTgaWarnsAndConverts) {
    test::TgaFields fields;
    fields.depth = 16;
    fields.width = 1;
    fields.height = 1;
    fields.pixels = test::Bytes({0xFF, 0x7F});
    WriteBytes(dir / "s.tga", test::MakeTga(fields));
    ASSERT_TRUE(lib.LoadImageFile(dir / "s.tga"));
    EXPECT_EQ(messages.beeps, 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0],
              "*** 16 bit colour TGA auto-converted to 24 bit ***\r\r *** Save file if possible to make 24 bit version ***");
    EXPECT_EQ(Pixel(0, 0), (std::vector<std::uint8_t>{248, 248, 248}));
    EXPECT_EQ(lib.Info.AlphaKind, 0);
}

TEST_F(TexturesTest, LoadsEachFormat) {
    // 32-bit TGA: masked when alpha holds only 0 and 255.
    RawImage raw = Picture(2, 1, 4);
    raw.Pixels[3] = 0;
    raw.Pixels[7] = 255;
    Load(raw);
    EXPECT_EQ(lib.Info.AlphaKind, 2);
    raw.Pixels[3] = 1;
    Load(raw);
    EXPECT_EQ(lib.Info.AlphaKind, 1);

    // A JPEG gets an opaque alpha channel; progressive ones load through libjpeg-turbo.
    for (bool progressive : {false, true}) {
        JpegEncodeOptions o;
        o.progressive = progressive;
        WriteBytes(dir / "p.JPG", test::MakeJpeg(20, 10, o));
        ASSERT_TRUE(lib.LoadImageFile(dir / "p.JPG")) << progressive;
        EXPECT_EQ(lib.BytesPerPixel(), 4);
        EXPECT_EQ(lib.Info.AlphaKind, 2);
        EXPECT_EQ(lib.Info.Compression, 0);
        EXPECT_EQ(Pixel(5, 5)[3], 255);
    }

    test::JirfFields jirf;
    jirf.format = 12;
    jirf.chunks = {std::string(16, '\x40')};
    WriteBytes(dir / "t.texture", test::MakeJirf(jirf));
    ASSERT_TRUE(lib.LoadImageFile(dir / "t.texture"));
    EXPECT_EQ(lib.Info.Compression, 5);
    EXPECT_EQ(lib.Info.AlphaKind, 1);
    EXPECT_TRUE(lib.HasDescriptor);
    EXPECT_EQ(lib.SourceTexturePath, dir / "t.texture");
}

TEST_F(TexturesTest, ExportsAndReloads) {
    for (int bpp : {3, 4}) {
        const RawImage raw = Picture(5, 3, bpp);
        Load(raw);
        // TGA: exact, B G R (A) on disk.
        ASSERT_TRUE(lib.ExportImage(dir / "out.tga"));
        const std::string tga = ReadBytes(dir / "out.tga");
        EXPECT_EQ(tga[16], bpp * 8);
        EXPECT_EQ(tga[17], bpp == 4 ? 8 : 0);
        EXPECT_EQ(static_cast<std::uint8_t>(tga[18]), raw.Pixels[2]);
        EXPECT_EQ(static_cast<std::uint8_t>(tga[20]), raw.Pixels[0]);
        ASSERT_TRUE(lib.LoadImageFile(dir / "out.tga"));
        EXPECT_EQ(lib.PixelBuffer(), raw.Pixels);
        // BMP: exact in colour, always 24-bit.
        Load(raw);
        ASSERT_TRUE(lib.ExportImage(dir / "out.bmp"));
        EXPECT_EQ(ReadBytes(dir / "out.bmp")[28], 24);
        ASSERT_TRUE(lib.LoadImageFile(dir / "out.bmp"));
        for (int i = 0; i < 15; ++i)
            for (int c = 0; c < 3; ++c) EXPECT_EQ(lib.PixelBuffer()[i * 3 + c], raw.Pixels[i * bpp + c]);
        // JPEG: baseline, and close.
        RawImage smooth;
        smooth.Allocate(32, 16, 3);
        for (int i = 0; i < 32 * 16; ++i) {
            smooth.Pixels[i * 3] = static_cast<std::uint8_t>((i % 32) * 6);
            smooth.Pixels[i * 3 + 1] = static_cast<std::uint8_t>((i / 32) * 12);
            smooth.Pixels[i * 3 + 2] = 128;
        }
        Load(smooth);
        const PixelBytes before = lib.PixelBuffer();
        ASSERT_TRUE(lib.ExportImage(dir / "out.jpg"));
        EXPECT_FALSE(JpegHasMultipleScans(AsBytes(ReadBytes(dir / "out.jpg"))));
        ASSERT_TRUE(lib.LoadImageFile(dir / "out.jpg"));
        double sum = 0;
        int worst = 0;
        for (int i = 0; i < 32 * 16; ++i)
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(lib.PixelBuffer()[i * 4 + c] - before[i * 3 + c]);
                sum += d;
                worst = std::max(worst, d);
            }
        EXPECT_LT(sum / (32 * 16 * 3), 4.0);  // steep gradients under 4:2:0 chroma
        EXPECT_LE(worst, 12);
    }
    EXPECT_FALSE(lib.ExportImage(dir / "out.png"));
    EXPECT_FALSE(FileExists(dir / "out.png"));
    lib.FreeImage();
    EXPECT_FALSE(lib.ExportImage(dir / "none.tga"));
    EXPECT_FALSE(FileExists(dir / "none.tga"));
}

TEST_F(TexturesTest, FailedExportsLeaveTheOldFile) {
    Load(Picture(4, 4, 4));
    for (auto [name, code] : {std::pair{"keep.bmp", kExportBmp}, std::pair{"keep.jpg", kExportJpeg},
                              std::pair{"keep.tga", kExportTgaCreate}}) {
        WriteBytes(dir / name, "original");
        SetWriteFaultHook([](const std::string&) { return std::size_t{10}; });
        EXPECT_FALSE(lib.ExportImage(dir / name)) << name;
        SetWriteFaultHook(nullptr);
        EXPECT_EQ(lib.ImageError, code) << name;
        EXPECT_EQ(ReadBytes(dir / name), "original") << name;
    }
}

class DescriptorTest : public TexturesTest {
protected:
    void LoadTexture() {
        test::JirfFields fields;
        fields.format = 11;
        fields.wrapS = 2;
        fields.alphaHint = 1;
        fields.chunks = {std::string(16, '\x40')};
        WriteBytes(dir / "body.texture", test::MakeJirf(fields));
        ASSERT_TRUE(lib.LoadImageFile(dir / "body.texture"));
    }
};

TEST_F(DescriptorTest, SameNameRenamedAndOtherFolder) {
    LoadTexture();
    ASSERT_TRUE(lib.ExportImage(dir / "body.tga"));
    EXPECT_EQ(ReadBytes(dir / "body.texture.txt"),
              "Primary=body.tga\r\nAlpha=body.tga\r\nTile=s\r\nAlphaHint=semitransparent\r\n");
    ASSERT_TRUE(lib.ExportImage(dir / "skin.tga"));
    EXPECT_EQ(ReadBytes(dir / "body.texture.txt"),
              "Primary=skin.tga\r\nAlpha=skin.tga\r\nTile=s\r\nAlphaHint=semitransparent\r\n");
    ForceDirectories(dir / "other");
    ASSERT_TRUE(lib.ExportImage(dir / "other/body.tga"));
    EXPECT_EQ(ReadBytes(dir / "other/body.texture.txt"),
              "Primary=body.tga\r\nAlpha=body.tga\r\nTile=s\r\nAlphaHint=semitransparent\r\n");
    EXPECT_EQ(ReadBytes(dir / "body.texture.txt"),
              "Primary=skin.tga\r\nAlpha=skin.tga\r\nTile=s\r\nAlphaHint=semitransparent\r\n");
    // No descriptor after a plain TGA load.
    Load(Picture(2, 2, 3));
    ASSERT_TRUE(lib.ExportImage(dir / "plain.tga"));
    EXPECT_FALSE(FileExists(dir / "plain.tga.txt"));
}

TEST_F(DescriptorTest, AlphaExportsLeaveTheImageAsItWas) {
    LoadTexture();
    const PixelBytes pixels = lib.PixelBuffer();
    const std::vector<std::string> lines = lib.PendingDescriptor;
    ASSERT_TRUE(lib.ExportWithoutAlpha(dir / "rgb.tga"));
    EXPECT_EQ(ReadBytes(dir / "rgb.tga")[16], 24);
    EXPECT_EQ(lib.PixelBuffer(), pixels);
    EXPECT_EQ(lib.Info.AlphaKind, 1);
    EXPECT_EQ(lib.PendingDescriptor, lines);
    ASSERT_TRUE(lib.ExportAlphaAsGrey(dir / "grey.bmp"));
    EXPECT_EQ(lib.PixelBuffer(), pixels);
    EXPECT_EQ(lib.Info.Pixels, lib.PixelBuffer().data());
    ASSERT_TRUE(lib.LoadImageFile(dir / "grey.bmp"));
    EXPECT_EQ(lib.PixelBuffer()[0], pixels[3]);
    EXPECT_EQ(lib.PixelBuffer()[1], pixels[3]);
    Load(Picture(2, 2, 3));
    EXPECT_FALSE(lib.ExportAlphaAsGrey(dir / "none.bmp"));
}

TEST_F(DescriptorTest, MergeAlphaImage) {
    // The alpha source: red of each pixel becomes the alpha.
    RawImage source = Picture(4, 4, 3);
    for (std::size_t i = 0; i < source.Pixels.size(); i += 3) source.Pixels[i] = i % 2 ? 0 : 255;
    WriteBytes(dir / "alpha.tga", EncodeTga(source));
    RawImage small = Picture(2, 2, 3);
    WriteBytes(dir / "small.tga", EncodeTga(small));

    // A failed merge keeps a real alpha channel, the pixels and the descriptor list.
    LoadTexture();
    const PixelBytes pixels = lib.PixelBuffer();
    const std::vector<std::string> lines = lib.PendingDescriptor;
    EXPECT_FALSE(lib.MergeAlphaImage(dir / "small.tga"));
    EXPECT_EQ(lib.ImageError, kMergeSize);
    EXPECT_EQ(messages.messages.back(), "Images not the same size");
    EXPECT_EQ(lib.PixelBuffer(), pixels);
    EXPECT_EQ(lib.PendingDescriptor, lines);
    EXPECT_EQ(lib.SourceTexturePath, dir / "body.texture");
    EXPECT_FALSE(lib.MergeAlphaImage(dir / "missing.tga"));
    EXPECT_EQ(lib.PixelBuffer(), pixels);

    // A 3-byte image whose merge fails drops the channel the merge added.
    Load(Picture(4, 4, 3));
    const PixelBytes rgb = lib.PixelBuffer();
    EXPECT_FALSE(lib.MergeAlphaImage(dir / "small.tga"));
    EXPECT_EQ(lib.PixelBuffer(), rgb);

    ASSERT_TRUE(lib.MergeAlphaImage(dir / "alpha.tga"));
    EXPECT_EQ(lib.BytesPerPixel(), 4);
    EXPECT_EQ(lib.Info.AlphaKind, 2);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(lib.PixelBuffer()[i * 4 + 3], source.Pixels[i * 3]);
        EXPECT_EQ(lib.PixelBuffer()[i * 4], rgb[i * 3]);
    }
    lib.FreeImage();
    EXPECT_FALSE(lib.MergeAlphaImage(dir / "alpha.tga"));
}

TEST_F(TexturesTest, FreeImageAndSwap) {
    Load(Picture(3, 1, 3));
    lib.FreeImage();
    EXPECT_FALSE(lib.Loaded);
    EXPECT_EQ(lib.Info.Pixels, nullptr);
    EXPECT_EQ(lib.Info.Width, 3);
    lib.FlipImage();
    lib.MirrorImage();
    lib.RotateImage();  // no image: nothing happens
    EXPECT_TRUE(lib.FillExportBitmap().Empty());
    std::uint8_t px[6] = {1, 2, 3, 4, 5, 6};
    TTextures::SwapRedBlue(px, 2);
    EXPECT_EQ(std::vector<std::uint8_t>(px, px + 6), (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4}));
}

}  // namespace
}  // namespace kelvarn
