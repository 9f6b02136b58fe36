#include <gtest/gtest.h>

#include "media/ImageBuilders.h"

#include "media/ImageDialogRules.h"
#include "media/ThumbnailCore.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::Filled;

TEST(ThumbnailCrop, FourByThreeInsideTheBorder) {
    struct Case {
        int w, h, border;
        TCropRect crop;
    };
    for (const Case& c : {Case{400, 300, 0, {0, 0, 400, 300}}, Case{300, 300, 0, {0, 37, 300, 225}},
                          Case{800, 300, 0, {200, 0, 400, 300}}, Case{400, 300, 50, {67, 50, 266, 200}},
                          Case{1, 2, 0, {0, 0, 1, 1}}, Case{2, 1, 0, {0, 0, 1, 1}},
                          Case{90, 60, 99, {32, 20, 26, 20}}}) {
        EXPECT_EQ(ThumbnailCrop(c.w, c.h, c.border), c.crop) << c.w << "x" << c.h << " border " << c.border;
    }
    EXPECT_EQ(ThumbnailBorderMaximum(90, 60), 20);
    EXPECT_EQ(ThumbnailBorderMaximum(1, 2), 0);
}

TEST(ThumbnailCrop, ResultIs240By180FromTheCropOnly) {
    // A 300 x 300 source with red bands above and below the 4:3 middle: the crop drops them.
    Image32 source = Filled(300, 300, 0xFFFF0000u);
    for (int y = 37; y < 262; ++y)
        for (int x = 0; x < 300; ++x) source.At(x, y) = 0xFF00FF00u;
    const Image32 thumb = CropToThumbnail(source, 0);
    ASSERT_EQ(thumb.Width, 240);
    ASSERT_EQ(thumb.Height, 180);
    EXPECT_EQ(thumb.At(0, 0), 0xFF00FF00u);
    EXPECT_EQ(thumb.At(239, 179), 0xFF00FF00u);
    const Image32 tiny = CropToThumbnail(Filled(1, 2, 0xFF123456u), 0);
    EXPECT_EQ(tiny.Width, 240);
    EXPECT_EQ(tiny.At(120, 90), 0xFF123456u);
    EXPECT_TRUE(CropToThumbnail(Image32{}, 0).Empty());
}

TEST(ThumbnailWatermark, BlendsAtTheOriginClipped) {
    Image32 thumb = Filled(240, 180, 0xFF000000u);
    Image32 mark = Filled(300, 10, 0x80FFFFFFu);  // half-transparent white, wider than the thumbnail
    mark.At(0, 0) = 0x00FFFFFFu;
    mark.At(1, 0) = 0xFF0000FFu;
    BlendWatermark(thumb, mark);
    EXPECT_EQ(thumb.At(0, 0), 0xFF000000u);
    EXPECT_EQ(thumb.At(1, 0), 0xFF0000FFu);
    EXPECT_EQ(thumb.At(239, 9), 0xFF808080u);
    EXPECT_EQ(thumb.At(5, 10), 0xFF000000u);
    Image32 plain = Filled(240, 180, 0xFF102030u);
    BlendWatermark(plain, Image32{});  // an unreadable watermark draws nothing
    EXPECT_EQ(plain.At(0, 0), 0xFF102030u);
}

TEST(ThumbnailSplash, PremultipliedColours) {
    Image32 image = Filled(3, 1, 0x00FFFFFFu);  // fully transparent white becomes black
    image.At(1, 0) = 0x80FF8040u;
    image.At(2, 0) = 0xFFFF8040u;
    PremultiplyAlpha(image);
    EXPECT_EQ(image.At(0, 0), 0x00000000u);
    EXPECT_EQ(image.At(1, 0), 0x80804020u);  // 128 x 255 div 255, 128 x 128 div 255, 128 x 64 div 255
    EXPECT_EQ(image.At(2, 0), 0xFFFF8040u);
}

TEST(ImageDialogsSize, SpinStepsToPowersOfTwo) {
    struct Case {
        bool up;
        int value, other;
        int result;
        bool beep;
    };
    for (const Case& c : {Case{true, 1, 4, 2, false}, Case{true, 2, 4, 4, false}, Case{true, 3, 4, 4, false},
                          Case{true, 2047, 1024, 2048, false}, Case{true, 2048, 1024, 2048, true},
                          Case{true, 5000, 1024, 5000, true}, Case{false, 3, 4, 2, false},
                          Case{false, 4, 4, 2, false}, Case{false, 9, 8, 8, false},
                          Case{false, 2048, 1024, 1024, false}, Case{false, 5000, 1024, 2048, false},
                          Case{false, 2, 2, 2, true}, Case{false, 0, 2, 0, true}}) {
        const TSizeStep s = c.up ? IncImageSize(c.value, c.other, true) : DecImageSize(c.value, c.other, true);
        EXPECT_EQ(s.Value, c.result) << c.up << " " << c.value;
        EXPECT_EQ(s.Beep, c.beep) << c.up << " " << c.value;
        EXPECT_EQ(s.ClearThumbnail, !c.beep);
    }
}

TEST(ImageDialogsSize, RatioRefusalBothWays) {
    const TSizeStep wide = IncImageSize(256, 32, true);  // 512 > 8 x 32
    EXPECT_TRUE(wide.Beep);
    EXPECT_EQ(wide.Value, 256);
    EXPECT_EQ(wide.Help, "Max image size ratio 8:1");
    const TSizeStep low = DecImageSize(32, 256, false);  // height 16: 256 > 8 x 16
    EXPECT_TRUE(low.Beep);
    EXPECT_EQ(low.Value, 32);
    EXPECT_FALSE(IncImageSize(128, 32, true).Beep);  // 256 = 8 x 32 is allowed
}

TEST(ImageDialogsSize, OkHintAndThumbnailBox) {
    const TSizeState thumb = SizeChange("240", "180", 256, 256);
    EXPECT_TRUE(thumb.Thumbnail);
    EXPECT_TRUE(thumb.OkEnabled);
    EXPECT_EQ(thumb.Help, "Valid as Thumbnail only");
    EXPECT_EQ(SizeChange("300", "256", 256, 256).Help, "Invalid as texture size");
    EXPECT_EQ(SizeChange("512", "256", 256, 256).Help, "");
    EXPECT_FALSE(SizeChange("256", "256", 256, 256).OkEnabled);  // unchanged
    for (const char* bad : {"", "0", "-5", "1.5", "abc", "99999999999", "300000"})
        EXPECT_FALSE(SizeChange(bad, "300000", 256, 256).OkEnabled) << bad;
    EXPECT_FALSE(SizeChange("20000", "20000", 256, 256).OkEnabled);  // over the pixel cap
    EXPECT_TRUE(SizeChange(" 16", "8", 256, 256).OkEnabled);
}

TEST(ImageDialogsMask, ToleranceSwatchesClamp) {
    const TToleranceView v = ShowTolerance(0x0010F080u, 32);
    EXPECT_EQ(v.Label, "Tolerance: 32");
    EXPECT_EQ(v.Minimum, 0xFF00D060u);
    EXPECT_EQ(v.Maximum, 0xFF30FFA0u);
    EXPECT_EQ(ShowTolerance(0x00102030u, 0).Minimum, 0xFF102030u);
}

TEST(ImageDialogsMerge, SameSizedPicturesOfTheAssetExceptTheShownOne) {
    test::TempDir dir;
    for (const char* name : {"shown.tga", "b.BMP", "sub/a.png", "odd.jpg", "c.texture", "c.texture.txt",
                             "notes.txt", "x.psp"})
        test::WriteBytes(dir / name, "x");
    const auto sizeOf = [](const std::string& path, int& w, int& h) {
        if (EndsWith(path, "x.psp")) return false;  // does not load
        w = EndsWith(path, "odd.jpg") ? 64 : 128;
        h = 128;
        return true;
    };
    const std::vector<TMergeCandidate> list = ListMergeCandidates(dir.Path(), dir / "shown.tga", 128, 128, sizeOf);
    std::vector<std::string> names;
    for (const TMergeCandidate& c : list) names.push_back(c.Relative);
    EXPECT_EQ(names, (std::vector<std::string>{"b.BMP", "c.texture", "sub/a.png"}));
    EXPECT_TRUE(ListMergeCandidates(dir.Path(), dir / "shown.tga", 512, 512, sizeOf).empty());
}

}  // namespace
}  // namespace kelvarn
