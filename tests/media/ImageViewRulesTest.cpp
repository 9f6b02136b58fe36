#include <gtest/gtest.h>

#include "media/ImageBuilders.h"

#include "CorpusSupport.h"
#include "support/TestSupport.h"
#include "media/ImageViewRules.h"
#include "media/JpegCodec.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {
namespace {

using test::Filled;

TEST(ViewerZoom, ZoomRuleAndFittingThePanel) {
    EXPECT_EQ(ZoomScale(16, false), 2.0);
    EXPECT_EQ(ZoomScale(10, false), 3.0);
    EXPECT_EQ(ZoomScale(40, false), 1.0);
    EXPECT_EQ(ZoomScale(2048, true), 1.0);
    EXPECT_EQ(ZoomScale(640, true), 2.0);
    EXPECT_EQ(ZoomScale(0, true), 1.0);
    EXPECT_EQ(DisplayScale(2.0, 16, 16, 800, 600), 2.0);
    EXPECT_EQ(DisplayScale(1.0, 2048, 1024, 512, 600), 0.25);
    EXPECT_EQ(DisplayScale(1.0, 2048, 1024, 0, 0), 1.0);
}

TEST(ViewerZones, AllTwentyFiveZones) {
    using A = THotAction;
    // Rows top to bottom, columns left to right, for an image with alpha.
    const A expected[5][5] = {
        {A::RotateLeft, A::Flip, A::Flip, A::Flip, A::RotateRight},
        {A::Mirror, A::Mask, A::Mask, A::Mask, A::Mirror},
        {A::Mirror, A::Mask, A::Mask, A::Mask, A::Mirror},
        {A::Mirror, A::Zoom, A::Zoom, A::Zoom, A::Mirror},
        {A::Background, A::Flip, A::Flip, A::Flip, A::Background},
    };
    for (int zy = 0; zy < 5; ++zy)
        for (int zx = 0; zx < 5; ++zx) {
            const THotZone z = HotZone(zx * 40 + 39, zy * 30, 200, 150, true);
            EXPECT_EQ(z.Action, expected[zy][zx]) << zx << "," << zy;
        }
    EXPECT_EQ(HotZone(100, 75, 200, 150, true).Hint, "Mask");
    EXPECT_EQ(HotZone(100, 75, 200, 150, true).Cursor, crMask);
    EXPECT_EQ(HotZone(100, 75, 200, 150, false).Action, A::Zoom);
    EXPECT_EQ(HotZone(100, 75, 200, 150, false).Cursor, crZoom);
    EXPECT_EQ(HotZone(0, 0, 200, 150, false).Cursor, crRotateLeft);
    EXPECT_EQ(HotZone(199, 0, 200, 150, false).Cursor, crRotateRight);
    EXPECT_EQ(HotZone(0, 149, 200, 150, false).Hint, "Background");
    EXPECT_EQ(HotZone(0, 60, 200, 150, false).Hint, "Mirror");
    EXPECT_EQ(HotZone(0, 0, 0, 150, true).Action, A::None);
    EXPECT_EQ(HotZone(5, 5, 200, 0, true).Action, A::None);
    EXPECT_EQ(HotZone(200, 5, 200, 150, true).Action, A::None);
}

TEST(ViewerLayout, SingleSideBySideOrStacked) {
    EXPECT_EQ(ChooseLayout(false, 1000, 100, 800, 600), 0);
    EXPECT_EQ(ChooseLayout(true, 1000, 100, 800, 600), 2);  // a wide strip shows wider stacked
    EXPECT_EQ(ChooseLayout(true, 100, 100, 800, 600), 1);
    EXPECT_EQ(ChooseLayout(true, 100, 1000, 800, 600), 1);
    EXPECT_EQ(ChooseLayout(true, 256, 256, 300, 900), 2);
}

TEST(ViewerDescription, EveryForm) {
    Image32 blended = Filled(256, 256, 0xFF000000u);
    blended.At(1, 0) = 0x80FFFFFFu;
    Image32 masked = blended;
    masked.At(1, 0) = 0x00FFFFFFu;
    const Image32 uniform = Filled(240, 180, 0xFF123456u);
    EXPECT_EQ(DescribeImage("a/x.tga", blended, 32), "TGA Image: 256 x 256 x 32 bit, Blended Alpha");
    EXPECT_EQ(DescribeImage("a/x.TGA", masked, 32), "TGA Image: 256 x 256 x 32 bit, Masked Alpha");
    EXPECT_EQ(DescribeImage("a/x.tga", Filled(256, 256, 0xFF000000u), 32),
              "TGA Image: 256 x 256 x 32 bit, Masked Alpha, UNIFORM COLOUR");
    EXPECT_EQ(DescribeImage("x.tga", masked, 24), "TGA Image: 256 x 256 x 24 bit, No Alpha");
    EXPECT_EQ(DescribeImage("x.jpg", uniform, 24), "JPG Image: 240 x 180, UNIFORM COLOUR  [NOT VALID AS TEXTURE]");
    EXPECT_EQ(DescribeImage("x.bmp", masked, 24), "BMP Image: 256 x 256");
    EXPECT_EQ(DescribeImage("bin/kelvarn.JPG", uniform, 24), "Asset has no thumbnail");
}

TEST(ViewerTurns, MirrorFlipAndRotate) {
    // 3 x 2:  1 2 3 / 4 5 6
    Image32 image = Filled(3, 2, 0);
    for (int i = 0; i < 6; ++i) image.Pixels[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(i + 1);
    Image32 m = image;
    MirrorImage(m);
    EXPECT_EQ(m.Pixels, (std::vector<std::uint32_t>{3, 2, 1, 6, 5, 4}));
    Image32 f = image;
    FlipImage(f);
    EXPECT_EQ(f.Pixels, (std::vector<std::uint32_t>{4, 5, 6, 1, 2, 3}));
    Image32 ccw = image;
    RotateImage(ccw, false);  // 3 6 / 2 5 / 1 4
    EXPECT_EQ(ccw.Width, 2);
    EXPECT_EQ(ccw.Pixels, (std::vector<std::uint32_t>{3, 6, 2, 5, 1, 4}));
    Image32 cw = image;
    RotateImage(cw, true);  // 4 1 / 5 2 / 6 3
    EXPECT_EQ(cw.Pixels, (std::vector<std::uint32_t>{4, 1, 5, 2, 6, 3}));
    RotateImage(cw, false);
    EXPECT_EQ(cw.Pixels, image.Pixels);
}

TEST(ViewerQuickSave, RouteByFlagAndExtension) {
    test::TempDir dir;
    const TQuickSaveRoute shot = QuickSaveRoute(dir / "a.tga", dir.Path(), true, false);
    EXPECT_EQ(shot.Kind, TQuickSaveKind::Screenshot);
    EXPECT_EQ(NativePath(shot.Target), NativePath(dir / "$screenshot$.jpg"));
    EXPECT_FALSE(shot.AskName);
    test::WriteBytes(dir / "$screenshot$.jpg", "x");
    EXPECT_TRUE(QuickSaveRoute(dir / "a.tga", dir.Path(), true, false).AskName);
    EXPECT_EQ(QuickSaveRoute(dir / "a.tga", dir.Path(), false, false).Kind, TQuickSaveKind::Nothing);
    EXPECT_EQ(QuickSaveRoute(dir / "a.JPG", dir.Path(), false, true).Kind, TQuickSaveKind::Jpeg);
    EXPECT_EQ(QuickSaveRoute(dir / "a.bmp", dir.Path(), false, true).Kind, TQuickSaveKind::Bmp);
    EXPECT_EQ(QuickSaveRoute(dir / "a.tga", dir.Path(), false, true).Kind, TQuickSaveKind::Tga);
    EXPECT_EQ(QuickSaveRoute(dir / "a.texture", dir.Path(), false, true).Kind, TQuickSaveKind::SaveAs);
}

class ThumbnailChoice : public ::testing::Test {
protected:
    void Jpeg(const std::string& name, int w = 240, int h = 180) {
        test::WriteBytes(dir / name, EncodeJpeg(Filled(w, h, 0xFF408060u)));
    }
    std::string Chosen(const TThumbnailChoice& c) {
        return c.Path.empty() ? std::string() : ExtractFileName(c.Path);
    }
    test::TempDir dir;
};

TEST_F(ThumbnailChoice, PriorityNamesBeatOtherPicturesAndSeveralRaiseTheAlert) {
    Jpeg("asset/a.jpg");
    Jpeg("asset/preview.jpg");
    Jpeg("asset/thumbnail.jpg");
    TThumbnailChoice c = FindThumbnail(dir / "asset", "");
    EXPECT_EQ(Chosen(c), "thumbnail.jpg");
    EXPECT_TRUE(c.Multiple);
    Jpeg("asset/screenshot.jpg");
    EXPECT_EQ(Chosen(FindThumbnail(dir / "asset", "")), "screenshot.jpg");
    Jpeg("asset/$screenshot$.jpg");
    EXPECT_EQ(Chosen(FindThumbnail(dir / "asset", "")), "$screenshot$.jpg");
}

TEST_F(ThumbnailChoice, OnlyLoadable240By180PicturesCount) {
    Jpeg("asset/big.jpg", 241, 180);
    std::string corrupt = EncodeJpeg(Filled(240, 180, 0xFF000000u));
    corrupt.resize(corrupt.find("\xFF\xDA"));  // the header says 240 x 180; no scan follows
    test::WriteBytes(dir / "asset/broken.jpg", corrupt);
    Jpeg("asset/sub/Thumbnail.JPG");
    const TThumbnailChoice c = FindThumbnail(dir / "asset", "");
    EXPECT_EQ(Chosen(c), "Thumbnail.JPG");  // in a sub-folder, so not by its name: the only one
    EXPECT_FALSE(c.Multiple);
    Jpeg("asset/Thumbnail.JPG");
    EXPECT_EQ(NativePath(FindThumbnail(dir / "asset", "").Path), NativePath(dir / "asset/Thumbnail.JPG"));
}

TEST_F(ThumbnailChoice, FirstByRelativePathThenPlaceholderThenNothing) {
    Jpeg("asset/b.jpg");
    Jpeg("asset/A/z.jpg");
    EXPECT_EQ(Chosen(FindThumbnail(dir / "asset", "")), "z.jpg");  // "a/z.jpg" sorts before "b.jpg"
    test::TempDir empty;
    EXPECT_EQ(FindThumbnail(empty.Path(), dir / "bin/Kelvarn.jpg").Path, "");
    Jpeg("bin/Kelvarn.jpg", 100, 100);
    const TThumbnailChoice p = FindThumbnail(empty.Path(), dir / "bin/Kelvarn.jpg");
    EXPECT_TRUE(p.Placeholder);
    EXPECT_EQ(Chosen(p), "Kelvarn.jpg");
    // A picture the loader refuses does not count.
    EXPECT_EQ(FindThumbnail(dir / "asset", "", [](const std::string& path) { return !EndsWith(path, "z.jpg"); }).Path,
              dir / "asset/b.jpg");
}

TEST(ThumbnailCorpus, RealAssetsShowTheirThumbnails) {
    KELVARN_NEED_CORPUS();
    EXPECT_EQ(ExtractFileName(FindThumbnail(test::CorpusFile("jos-scanner"), "").Path), "tmb.jpg");
    EXPECT_EQ(ExtractFileName(FindThumbnail(test::CorpusFile("schedule-commands/DisableRepeatCommand"), "").Path),
              "thumbnail.jpg");
}

}  // namespace
}  // namespace kelvarn
