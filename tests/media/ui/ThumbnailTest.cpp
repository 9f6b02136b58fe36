// The thumbnail window (crop, scale, watermark, from a file or a rendered picture), the splash
// window, and callback 221 that shows an asset's thumbnail after it is selected.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "ImageBuilders.h"
#include "media/JpegCodec.h"
#include "media/StrellImage.h"
#include "media/ThumbnailCore.h"
#include "media/ui/PreviewRow.h"
#include "media/ui/Splash.h"
#include "media/ui/Thumbnail.h"
#include "shell/MessageRouting.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::Filled;
using test::TempDir;

// Left half red, right half blue; the top `band` rows green.
Image32 Halves(int w, int h, int band = 0) {
    Image32 image = Filled(w, h, 0xFFFF0000u);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x) image.At(x, y) = 0xFF0000FFu;
    for (int y = 0; y < band; ++y)
        for (int x = 0; x < w; ++x) image.At(x, y) = 0xFF00FF00u;
    return image;
}

bool Same(const Image32& a, const Image32& b) {
    return a.Width == b.Width && a.Height == b.Height && a.Pixels == b.Pixels;
}

class ThumbnailWindow : public ::testing::Test {
protected:
    ThumbnailWindow() {
        test::TestApp();
        state.ProgramFolder = dir / "prog/";
        state.Messages = &messages;
    }
    std::string SaveTga(const std::string& name, Image32 image) {
        TTextures library(state);
        TStrellImage facade(library);
        std::filesystem::create_directories(ExtractFileDir(dir / name));
        EXPECT_TRUE(facade.SaveTGA(dir / name, image, 1));
        return dir / name;
    }
    // A 240 x 180 watermark: opaque white in its top-left 10 x 10, clear elsewhere.
    std::string Watermark() {
        Image32 mark = Filled(240, 180, 0x00000000u);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) mark.At(x, y) = 0xFFFFFFFFu;
        return SaveTga("prog/bin/watermark.tga", mark);
    }

    TempDir dir;
    test::RecordingMessageSink messages;
    TProgramState state;
};

// A file that does not load is refused before the window shows, with the reason.
TEST_F(ThumbnailWindow, AFileThatDoesNotLoadIsRefusedWithTheReason) {
    TThumbnail window(state);
    test::JirfFields f;
    f.chunks = {test::Dxt1Block(0xF800, 0x001F, std::vector<int>(16, 1))};
    const std::string texture = test::MakeJirf(f);
    test::WriteBytes(dir / "cut.texture", texture.substr(0, texture.size() - 4));
    test::WriteBytes(dir / "noise.jpg", std::string("\xFF\xD8\xFF\xE0") + std::string(200, '\x11'));
    test::WriteBytes(dir / "empty.tga", "");
    std::string error;
    Image32 thumbnail;
    EXPECT_FALSE(window.MakeThumbnailFromFile(dir / "cut.texture", thumbnail, error));
    EXPECT_EQ(error, "Cannot load " + dir / "cut.texture" + ": its picture data is cut short");
    EXPECT_FALSE(window.MakeThumbnailFromFile(dir / "noise.jpg", thumbnail, error));
    EXPECT_EQ(error.rfind("Cannot load " + dir / "noise.jpg" + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), ("Cannot load " + dir / "noise.jpg" + ": ").size());
    EXPECT_FALSE(window.MakeThumbnailFromFile(dir / "empty.tga", thumbnail, error));
    EXPECT_EQ(error, "Cannot load " + dir / "empty.tga" + ": it is empty or no picture that can be read");
    EXPECT_TRUE(thumbnail.Empty());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ThumbnailWindow, FilesAreCroppedToFourByThreeInsideTheBorder) {
    TThumbnail window(state);
    EXPECT_FALSE(window.LoadSource(dir / "missing.tga"));
    EXPECT_FALSE(window.WatermarkBox()->isEnabled());

    ASSERT_TRUE(window.LoadSource(SaveTga("wide.tga", Halves(400, 300))));
    EXPECT_FALSE(window.CropPanel()->isHidden());
    EXPECT_TRUE(window.WatermarkBox()->isEnabled());
    EXPECT_FALSE(window.WatermarkBox()->isChecked());
    EXPECT_EQ(window.BorderSize()->maximum(), 100);
    const Image32& p = window.Preview();
    ASSERT_EQ(p.Width, 240);
    ASSERT_EQ(p.Height, 180);
    EXPECT_EQ(p.At(0, 90) & 0xFFFFFFu, 0xFF0000u) << "a 4:3 source loses nothing";
    EXPECT_EQ(p.At(239, 90) & 0xFFFFFFu, 0x0000FFu);

    // 300 x 300: 300 x 225 from row 37, so the green top band of 30 rows is cut away.
    ASSERT_TRUE(window.LoadSource(SaveTga("square.tga", Halves(300, 300, 30))));
    EXPECT_EQ(window.Preview().At(120, 0) & 0xFF00u, 0u);
    ASSERT_TRUE(window.LoadSource(SaveTga("small.tga", Halves(90, 60))));
    EXPECT_EQ(window.BorderSize()->maximum(), 20);
    window.BorderSize()->setValue(20);
    EXPECT_EQ(window.Preview().Width, 240);
    EXPECT_TRUE(Same(window.Preview(), CropToThumbnail(Halves(90, 60), 20)));

    // A 1 x 2 picture still gives a thumbnail.
    ASSERT_TRUE(window.LoadSource(SaveTga("thin.tga", Filled(1, 2, 0xFF102030u))));
    EXPECT_EQ(window.Preview().Width, 240);
    EXPECT_EQ(window.Preview().At(100, 100) & 0xFFFFFFu, 0x102030u);
}

TEST_F(ThumbnailWindow, TheWatermarkIsLaidOverAndStaysThroughBorderChanges) {
    TThumbnail window(state);
    ASSERT_TRUE(window.LoadSource(SaveTga("wide.tga", Halves(400, 300))));
    // No watermark file: ticking draws nothing new.
    window.WatermarkBox()->click();
    EXPECT_TRUE(Same(window.Preview(), window.PlainThumbnail()));

    Watermark();
    window.WatermarkBox()->click();
    window.WatermarkBox()->click();
    EXPECT_EQ(window.Preview().At(5, 5) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(window.Preview().At(5, 20), window.PlainThumbnail().At(5, 20));
    window.BorderSize()->setValue(10);
    EXPECT_TRUE(window.WatermarkBox()->isChecked());
    EXPECT_EQ(window.Preview().At(5, 5) & 0xFFFFFFu, 0xFFFFFFu) << "a border change keeps the watermark";
    EXPECT_TRUE(Same(window.PlainThumbnail(), CropToThumbnail(Halves(400, 300), 10)));
    window.WatermarkBox()->click();
    EXPECT_TRUE(Same(window.Preview(), window.PlainThumbnail()));
}

TEST_F(ThumbnailWindow, TheWatermarkIsReadOnceNotAtEveryBorderStep) {
    TThumbnail window(state);
    ASSERT_TRUE(window.LoadSource(SaveTga("wide.tga", Halves(400, 300))));
    const std::string mark = Watermark();
    window.WatermarkBox()->click();
    ASSERT_EQ(window.Preview().At(5, 5) & 0xFFFFFFu, 0xFFFFFFu);
    std::filesystem::remove(mark);
    window.BorderSize()->setValue(10);
    EXPECT_EQ(window.Preview().At(5, 5) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(ThumbnailWindow, ARenderedPictureIsTakenWholeAndOkReturnsThePreview) {
    TThumbnail window(state);
    const Image32 frame = Halves(240, 180);
    Image32 picture = frame;
    const std::string mark = Watermark();
    QTimer::singleShot(0, &window, [&window] {
        EXPECT_TRUE(window.isModal());
        EXPECT_TRUE(window.CropPanel()->isHidden());
        EXPECT_TRUE(window.WatermarkBox()->isChecked());
        window.OkButton()->click();
    });
    ASSERT_TRUE(window.MakeThumbnail(picture, mark));
    EXPECT_EQ(picture.At(5, 5) & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(picture.At(200, 100) & 0xFFFFFFu, 0x0000FFu);
    window.WatermarkBox()->click();
    EXPECT_TRUE(Same(window.Preview(), frame)) << "unticked gives the frame back";

    picture = frame;
    QTimer::singleShot(0, &window, [&window] { window.reject(); });
    EXPECT_FALSE(window.MakeThumbnail(picture, ""));
    EXPECT_TRUE(Same(picture, frame));
}

TEST(Splash, ShowsPremultipliedPixelsFramelessAndHidesOnAKey) {
    test::TestApp();
    TSplash splash;
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(splash.testAttribute(Qt::WA_TranslucentBackground));
    Image32 image = Filled(4, 2, 0x00FFFFFFu);  // fully transparent white
    image.At(1, 0) = 0x80FF8040u;
    image.At(2, 1) = 0xFF102030u;
    splash.ShowSplash(QPoint(30, 40), image);
    const QImage& shown = splash.Shown();
    EXPECT_EQ(shown.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(shown.pixel(0, 0), 0u) << "transparent becomes black with alpha 0";
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(shown.constScanLine(0))[1], 0x80804020u);
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(shown.constScanLine(1))[2], 0xFF102030u);
    EXPECT_EQ(splash.size(), QSize(4, 2));
    EXPECT_EQ(splash.pos(), QPoint(30, 40));
    EXPECT_TRUE(splash.isVisible());

    const QBitmap mask = SplashMask(shown);
    const QImage cut = mask.toImage();
    EXPECT_EQ(cut.pixelIndex(1, 0), cut.pixelIndex(2, 1)) << "pixels with alpha are kept alike";
    EXPECT_NE(cut.pixelIndex(0, 0), cut.pixelIndex(1, 0));

    QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&splash, &key);
    EXPECT_FALSE(splash.isVisible());
}

// Callback 221 in the main window.
class PreviewInMain : public ::testing::Test {
protected:
    class DescribingImage final : public test::RecordingViewerFrame {
    public:
        using RecordingViewerFrame::RecordingViewerFrame;
        std::string LoadFile(const std::string& path, int mode) override {
            RecordingViewerFrame::LoadFile(path, mode);
            return "JPG Image: 240 x 180";
        }
    };
    PreviewInMain() {
        test::TestApp();
        state.ProgramFolder = dir / "prog/";
        state.Messages = &messages;
        test::RecordingFrames recording(log);
        frames = recording.frames;
        delete recording.image;
        frames.image = image = new DescribingImage(log, "Image", true);
        main = std::make_unique<TMain>(state, frames, std::vector<std::string>{});
        main->FormShow();
        RegisterShowPreview(*main, state);
        state.SetAssetPath(dir / "asset");
    }
    void Jpeg(const std::string& name, int w, int h) { test::WriteBytes(dir / name, EncodeJpeg(Filled(w, h, 0xFF408060u))); }

    TempDir dir;
    test::RecordingMessageSink messages;
    TProgramState state;
    test::CallLog log;
    TMainFrames frames;
    DescribingImage* image = nullptr;
    std::unique_ptr<TMain> main;
};

TEST_F(PreviewInMain, TheThumbnailShowsInTheImageViewWithItsDescription) {
    Jpeg("asset/sub/tmb.jpg", 240, 180);
    Jpeg("asset/big.jpg", 241, 180);
    main->Bus().SendCommand(ccShowPreview, "");
    EXPECT_EQ(log.Matching("QuerySave "), (std::vector<std::string>{"Text", "TextureDescriptor", "LevelOfDetail", "Image"}));
    EXPECT_EQ(image->shown, dir / "asset/sub/tmb.jpg");
    EXPECT_EQ(main->ActiveViewer(), TFrameId::Image);
    EXPECT_EQ(main->StatusPanel(StatusPanelFor(stPanel2))->text(), "JPG Image: 240 x 180");
    EXPECT_EQ(image->Alert()->Text(), "");

    Jpeg("asset/thumbnail.jpg", 240, 180);
    main->Bus().SendCommand(ccShowPreview, "");
    EXPECT_EQ(image->shown, dir / "asset/thumbnail.jpg");
    EXPECT_EQ(image->Alert()->Text(), "Multiple thumbnail images found");
}

TEST_F(PreviewInMain, WithoutAThumbnailTheTextViewComesForward) {
    Jpeg("asset/big.jpg", 241, 180);
    main->Bus().SendCommand(ccShowPreview, "");
    EXPECT_EQ(log.Matching("Load "), std::vector<std::string>{});
    EXPECT_EQ(log.Matching("Clear "), std::vector<std::string>{"Image"});
    EXPECT_EQ(main->ActiveViewer(), TFrameId::Text);

    // The program's placeholder stands in when it is there.
    Jpeg("prog/bin/Kelvarn.jpg", 240, 180);
    main->Bus().SendCommand(ccShowPreview, "");
    EXPECT_EQ(image->shown, dir / "prog/bin/Kelvarn.jpg");
    EXPECT_EQ(main->ActiveViewer(), TFrameId::Image);
}

}  // namespace
}  // namespace kelvarn
