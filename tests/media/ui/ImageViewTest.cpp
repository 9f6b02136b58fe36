// The image view inside the main window: files shown through callback 220, clicks in the hot zones,
// the commands its buttons and menu send round the bus, group 2500, saves and the questions before
// closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "media/AlphaTools.h"
#include "media/StrellImage.h"
#include "media/ui/ImageDialogs.h"
#include "media/ui/ImageView.h"
#include "media/ui/ImageViewRows.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "ImageBuilders.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

Image32 Filled(int w, int h, std::uint32_t argb) {
    Image32 image;
    image.Resize(w, h, argb);
    return image;
}

// An uncompressed TGA of the picture: 32-bit keeps its alpha, rows stored from the bottom.
std::string TgaBytes(const Image32& image, int depth) {
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = static_cast<char>(image.Width & 0xFF);
    out[13] = static_cast<char>(image.Width >> 8);
    out[14] = static_cast<char>(image.Height & 0xFF);
    out[15] = static_cast<char>(image.Height >> 8);
    out[16] = static_cast<char>(depth);
    for (int y = image.Height - 1; y >= 0; --y)
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t p = image.At(x, y);
            out += static_cast<char>(p & 0xFF);
            out += static_cast<char>((p >> 8) & 0xFF);
            out += static_cast<char>((p >> 16) & 0xFF);
            if (depth == 32) out += static_cast<char>(p >> 24);
        }
    return out;
}

// Left half opaque red, right half green at alpha 128: a blended picture.
Image32 Blended(int w, int h) {
    Image32 image;
    image.Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.At(x, y) = x < w / 2 ? 0xFFFF0000u : 0x8000FF00u;
    return image;
}

class FakeDialogs final : public IImageDialogs {
public:
    std::vector<std::string> asked;
    std::optional<TResizeChoice> resize;
    std::optional<Image32> grey;
    std::optional<TResizeChoice> ResizeDialog(int w, int h, bool masked) override {
        asked.push_back("resize " + std::to_string(w) + "x" + std::to_string(h) + (masked ? " masked" : ""));
        return resize;
    }
    std::optional<Image32> MergeImageDialog(const std::string&, int, int) override {
        asked.push_back("merge");
        return grey;
    }
    std::optional<Image32> AlphaFromImageDialog(const Image32&, std::uint32_t key) override {
        asked.push_back("key " + std::to_string(key));
        return grey;
    }
};

class FakePreview final : public IFloatingPreview {
public:
    bool visible = false;
    int shown = 0;
    void ShowPreview(const Image32&) override {
        visible = true;
        ++shown;
    }
    void HidePreview() override { visible = false; }
    bool PreviewVisible() const override { return visible; }
};

class FakeThumbnails final : public IThumbnailWindow {
public:
    bool answer = true;
    int pictures = 0;
    std::vector<std::string> files;
    bool MakeThumbnail(Image32&, const std::string&) override {
        ++pictures;
        return answer;
    }
    bool MakeThumbnailFromFile(const std::string& file, Image32& thumbnail, std::string& error) override {
        files.push_back(file);
        thumbnail.Resize(240, 180);
        error = failure;
        return answer && failure.empty();
    }
    std::string failure;  // the file "does not load" with this message
};

class ImageInMain : public ::testing::Test {
protected:
    ImageInMain() : frames(log) {
        std::filesystem::create_directories(dir / "prog");
        std::filesystem::create_directories(dir / "asset");
        state.ProgramFolder = dir.Path() + "/prog/";
        state.OpenSettings(dir / "prog/kelvarn.ini");
        state.Messages = &messages;
        state.SetAssetPath(dir / "asset");
        frames.frames.image = view = new TImageView(state);
        main = std::make_unique<TMain>(state, frames.frames, std::vector<std::string>{});
        state.CommandTarget = &main->Bus();
        view->SetDialogs(&dialogs);
        view->SetFloatingPreview(&preview);
        view->SetThumbnailWindow(&thumbnails);
        view->ChooseSaveFile = [this](const std::string& caption, const std::string&, const std::string&, int) {
            asked.push_back(caption);
            return saveAs;
        };
        view->ShowFileHeader = [this](const std::string& path) { headers.push_back(path); };
        ConnectImageView(*main, state, *view, {[this](const std::string& path) { textureTexts.push_back(path); }});
        main->Dispatcher().RegisterCallback(ccFileSaved, [this](const std::string& text) { saved.push_back(text); });
        main->resize(900, 700);
        main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    std::string Write(const std::string& name, const Image32& image, int depth) {
        const std::string path = dir / ("asset/" + name);
        test::WriteBytes(path, TgaBytes(image, depth));
        return path;
    }
    // Callback 220 on a file of the asset, as the file list sends it.
    void Show(const std::string& path) {
        state.SetAssetFileName(ExtractFileName(path));
        main->Bus().SendCommand(ccShowFile, path);
        QApplication::processEvents();
    }
    void Click(TImageLayer* layer, QPoint at) {
        QTest::mouseMove(layer, at);
        QTest::mouseRelease(layer, Qt::LeftButton, {}, at);
    }
    bool Enabled(const char* name) const {
        if (QToolButton* b = view->Button(name)) return b->isEnabled();
        return view->MenuAction(name)->isEnabled();
    }
    Image32 Reload(const std::string& path) {
        TTextures library(state);
        Image32 image;
        int kind = 0, compression = 0, bits = 0;
        EXPECT_TRUE(TStrellImage(library).LoadImage(path, image, kind, compression, bits));
        return image;
    }

    bool app = (test::TestApp(), true);  // before any widget
    test::TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;
    test::CallLog log;
    test::RecordingFrames frames;
    TImageView* view;
    std::unique_ptr<TMain> main;
    FakeDialogs dialogs;
    FakePreview preview;
    FakeThumbnails thumbnails;
    std::vector<std::string> saved, asked, headers, textureTexts;
    std::string saveAs;
};

TEST_F(ImageInMain, A32BitTgaFillsBothLayersAndDescribesItself) {
    Show(Write("blend.tga", Blended(8, 4), 32));
    EXPECT_EQ(view->AlphaKind(), 2);
    EXPECT_NE(view->Layout(), 0);
    EXPECT_TRUE(view->LayerB()->isVisible());
    const QImage alpha = view->LayerB()->Picture();
    ASSERT_EQ(alpha.size(), QSize(8, 4));
    EXPECT_EQ(qGray(alpha.pixel(0, 0)), 255);
    EXPECT_EQ(qGray(alpha.pixel(7, 3)), 128);
    EXPECT_TRUE(view->MaskView());
    EXPECT_EQ(main->StatusPanel(4)->text().toStdString(), "TGA Image: 8 x 4 x 32 bit, Blended Alpha");
    EXPECT_EQ(main->ActiveViewer(), TFrameId::Image);
}

TEST_F(ImageInMain, AnOpaque32BitTgaKeepsItsAlphaLayerAndA24BitOneHasNone) {
    Show(Write("opaque.tga", Filled(4, 4, 0xFF102030), 32));
    EXPECT_EQ(view->AlphaKind(), 1);
    EXPECT_NE(view->Layout(), 0);
    // Mask to Blend keeps the channel: the saved file stays 32-bit.
    view->MaskToBlend();
    EXPECT_EQ(view->AlphaKind(), 2);
    view->QuickSave();
    TTextures library(state);
    Image32 image;
    int kind = 0, compression = 0, bits = 0;
    ASSERT_TRUE(TStrellImage(library).LoadImage(dir / "asset/opaque.tga", image, kind, compression, bits));
    EXPECT_EQ(bits, 32);
    Show(Write("plain.tga", Filled(4, 4, 0xFF102030), 24));
    EXPECT_EQ(view->AlphaKind(), 0);
    EXPECT_EQ(view->Layout(), 0);
    EXPECT_FALSE(view->LayerB()->isVisible());
}

TEST_F(ImageInMain, TheCentreTogglesTheMaskViewWithAlphaAndZoomsWithout) {
    Show(Write("blend.tga", Blended(8, 4), 32));
    TImageLayer* a = view->LayerA();
    Click(a, a->rect().center());
    EXPECT_FALSE(view->MaskView());
    EXPECT_FALSE(view->FitZoom());
    Click(a, a->rect().center());
    EXPECT_TRUE(view->MaskView());

    Show(Write("plain.tga", Filled(16, 16, 0xFF102030), 24));
    EXPECT_DOUBLE_EQ(view->Scale(), 2.0);  // 32 div 16
    Click(view->LayerA(), view->LayerA()->rect().center());
    EXPECT_TRUE(view->FitZoom());
    EXPECT_DOUBLE_EQ(view->Scale(), 80.0);
    EXPECT_FALSE(view->Modified());
}

TEST_F(ImageInMain, TheCornersTurnTheEdgesFlipAndTheFootChangesTheBackground) {
    Image32 two;
    two.Resize(2, 1);
    two.At(0, 0) = 0xFFFF0000u;
    two.At(1, 0) = 0xFF00FF00u;
    Show(Write("two.tga", two, 24));
    TImageLayer* a = view->LayerA();
    Click(a, {1, 1});  // top-left: a quarter turn counter-clockwise puts the right pixel on top
    ASSERT_EQ(view->Bitmap().Width, 1);
    EXPECT_EQ(view->Bitmap().At(0, 0), 0xFF00FF00u);
    EXPECT_TRUE(view->Modified());
    EXPECT_TRUE(Enabled("bSaveImage"));  // group 2500 ran after the change
    EXPECT_FALSE(Enabled("bScreenshot"));
    Click(a, {a->width() - 2, 1});  // top-right turns it back
    EXPECT_EQ(view->Bitmap().At(0, 0), 0xFFFF0000u);
    Click(a, {1, a->height() / 2});  // left edge mirrors
    EXPECT_EQ(view->Bitmap().At(0, 0), 0xFF00FF00u);
    const int background = view->Background();
    Click(a, {1, a->height() - 2});
    EXPECT_EQ(view->Background(), (background + 1) % 3);
    EXPECT_EQ(view->LayerA()->Hint()->text(), "Background");
}

TEST_F(ImageInMain, EachContextItemRunsItsRowThroughTheBus) {
    const std::string path = Write("blend.tga", Blended(8, 4), 32);
    struct Row {
        const char* item;
        std::function<void()> check;
    };
    const std::vector<Row> rows = {
        {"mInvertAlpha", [&] { EXPECT_EQ(AlphaOf(view->Bitmap().At(0, 0)), 0); }},
        {"mBlendToMask", [&] { EXPECT_EQ(view->AlphaKind(), 1); EXPECT_EQ(AlphaOf(view->Bitmap().At(7, 0)), 255); }},
        {"mMasktoBlend", [&] { EXPECT_EQ(view->AlphaKind(), 2); }},
        {"mRemoveAlpha", [&] { EXPECT_EQ(view->AlphaKind(), 0); EXPECT_EQ(view->Layout(), 0); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.item);
        Show(path);
        view->MenuAction(row.item)->trigger();
        row.check();
        EXPECT_TRUE(view->Modified());
        view->MenuAction("mRevert")->trigger();
        EXPECT_FALSE(view->Modified());
        EXPECT_EQ(view->AlphaKind(), 2);
    }
}

TEST_F(ImageInMain, Group2500FollowsTheAlphaKindTheExtensionAndTheModifiedFlag) {
    Show(Write("blend.tga", Blended(8, 4), 32));
    EXPECT_TRUE(Enabled("bBlendToMask"));
    EXPECT_TRUE(Enabled("mImportAlpha"));
    EXPECT_FALSE(Enabled("bNormal"));
    EXPECT_FALSE(Enabled("mSaveImage"));
    EXPECT_FALSE(Enabled("mRevert"));
    EXPECT_FALSE(Enabled("bUniform"));
    view->Button("bRemoveAlpha")->click();
    EXPECT_TRUE(Enabled("bNormal"));
    EXPECT_FALSE(Enabled("bInvertAlpha"));
    EXPECT_TRUE(Enabled("mRevert"));
    Show(Write("flat.tga", Filled(4, 4, 0xFF808080), 24));
    EXPECT_TRUE(Enabled("bUniform"));
    EXPECT_FALSE(Enabled("bSplash"));
}

// Resize needs a picture to change: not the placeholder, not a file that did not load.
TEST_F(ImageInMain, ResizeOnlyWithAPictureToChange) {
    Show(Write("blend.tga", Blended(8, 4), 32));
    EXPECT_TRUE(Enabled("bResize"));
    EXPECT_TRUE(Enabled("mResize"));
    const std::string empty = dir / "asset/empty.tga";
    test::WriteBytes(empty, "");
    Show(empty);
    EXPECT_FALSE(Enabled("bResize"));
    EXPECT_FALSE(Enabled("mResize"));

    TTextures library(state);
    Image32 picture = Filled(240, 180, 0xFF808080);
    std::filesystem::create_directories(ExpandMacros(state, "%bin%"));
    ASSERT_TRUE(TStrellImage(library).SaveJPEG(ExpandMacros(state, "%bin%") + "/Kelvarn.jpg", picture));
    ASSERT_EQ(view->FindThumbnail().rfind("Asset has no thumbnail", 0), 0u);
    EXPECT_FALSE(Enabled("bResize"));
    EXPECT_FALSE(Enabled("mResize"));
}

// No to "may have changed" gives the edit up: a second question in the same change of asset does
// not come.
TEST_F(ImageInMain, NoToMayHaveChangedIsAskedOnce) {
    const std::string path = Write("blend.tga", Blended(8, 4), 32);
    Show(path);
    view->Button("bInvertAlpha")->click();
    ASSERT_TRUE(view->Modified());
    messages.answers = {Answer::No, Answer::No};
    EXPECT_TRUE(view->QuerySave());
    EXPECT_TRUE(view->QuerySave());
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_FALSE(view->Modified());
    EXPECT_EQ(AlphaOf(Reload(path).At(0, 0)), 255);  // nothing written
}

TEST_F(ImageInMain, ImageInformationShowsADescriptorsTextForATextureElseTheFileHeader) {
    Show(Write("blend.tga", Blended(8, 4), 32));
    view->Button("bImageInfo")->click();
    EXPECT_EQ(headers, std::vector<std::string>{ExpandMacros(state, "%pfe%")});
    state.SetAssetFileName("wood.texture");
    view->MenuAction("mImageInfo")->trigger();
    EXPECT_EQ(textureTexts, std::vector<std::string>{ExpandMacros(state, "%pfe%")});
    EXPECT_EQ(headers.size(), 1u);
}

TEST_F(ImageInMain, TheFloatingPreviewTogglesAndFollowsEdits) {
    Show(Write("blend.tga", Blended(8, 4), 32));
    view->Button("bSplash")->click();
    EXPECT_TRUE(preview.visible);
    EXPECT_TRUE(view->MenuAction("mFloatPreview")->isChecked());
    view->Button("bInvertAlpha")->click();
    EXPECT_EQ(preview.shown, 2);
    // Another file shows in the preview; one that does not load takes the preview away.
    Show(Write("other.tga", Filled(4, 4, 0xFF102030), 24));
    EXPECT_TRUE(preview.visible);
    EXPECT_EQ(preview.shown, 3);
    test::WriteBytes(dir / "asset/broken.tga", "not a picture");
    Show(dir / "asset/broken.tga");
    EXPECT_FALSE(preview.visible);
    Show(Write("blend.tga", Blended(8, 4), 32));
    view->Button("bSplash")->click();
    view->MenuAction("mFloatPreview")->trigger();
    EXPECT_FALSE(preview.visible);
    EXPECT_FALSE(view->MenuAction("mFloatPreview")->isChecked());
}

TEST_F(ImageInMain, TheImagePagesAnswersReachThePicture) {
    Show(Write("blend.tga", Blended(8, 4), 32));
    dialogs.resize = TResizeChoice{4, 2, true};
    view->Button("bResize")->click();
    EXPECT_EQ(dialogs.asked.back(), "resize 8x4");
    EXPECT_EQ(view->Bitmap().Width, 4);
    EXPECT_EQ(view->AlphaKind(), 1);

    Show(Write("plain.tga", Filled(4, 4, 0xFF102030), 24));
    dialogs.grey = Filled(4, 4, 0xFF000000);
    view->Button("bMaskFromImage")->click();
    EXPECT_EQ(dialogs.asked.back(), "key " + std::to_string(0xFF102030u));
    EXPECT_EQ(view->AlphaKind(), 1);
    EXPECT_TRUE(view->MaskView());
    EXPECT_EQ(AlphaOf(view->Bitmap().At(0, 0)), 0);
    dialogs.grey.reset();  // cancelled: nothing changes
    view->Button("bImportAlpha")->click();
    EXPECT_EQ(dialogs.asked.back(), "merge");
    EXPECT_EQ(AlphaOf(view->Bitmap().At(0, 0)), 0);
}

TEST_F(ImageInMain, QuickSaveWritesTheFileAndReportsItRelativeToTheAsset) {
    const std::string path = Write("sub/blend.tga", Blended(8, 4), 32);
    Show(path);
    view->Button("bInvertAlpha")->click();
    view->Button("bSaveImage")->click();
    EXPECT_FALSE(view->Modified());
    EXPECT_EQ(saved, std::vector<std::string>{"sub/blend.tga"});
    EXPECT_EQ(AlphaOf(Reload(path).At(0, 0)), 0);
    EXPECT_EQ(AlphaOf(view->Bitmap().At(0, 0)), 0);  // the view keeps its alpha
    view->Button("bSaveImage")->click();             // nothing changed since: nothing written
    EXPECT_EQ(saved.size(), 1u);
}

TEST_F(ImageInMain, SaveImageWarnsWhatItLosesAndRefusesOtherTypes) {
    Show(Write("blend.tga", Blended(8, 4), 32));
    saveAs = dir / "asset/copy.png";
    main->Dispatcher().ExecuteMenuCommand(1010, "Save Image As");
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Cannot save to that type"});
    EXPECT_TRUE(saved.empty());
    saveAs = dir / "asset/copy.bmp";
    main->Dispatcher().ExecuteMenuCommand(1010, "Save Image As");
    EXPECT_EQ(messages.messages.back(), "Alpha Channel will be lost");
    EXPECT_EQ(saved, std::vector<std::string>{"copy.bmp"});
    EXPECT_EQ(test::ReadBytes(saveAs)[28], 24);  // a 24-bit BMP
}

TEST_F(ImageInMain, CloseQueryAsksAndKeepsOrDropsTheEdit) {
    const std::string path = Write("blend.tga", Blended(8, 4), 32);
    Show(path);
    view->Button("bInvertAlpha")->click();
    messages.answers = {Answer::Cancel, Answer::No};
    EXPECT_FALSE(view->CloseQuery());
    EXPECT_EQ(messages.messages.back(), "Save File: " + path);
    EXPECT_TRUE(view->CloseQuery());
    EXPECT_EQ(AlphaOf(Reload(path).At(0, 0)), 255);  // No discards
    EXPECT_TRUE(saved.empty());
}

TEST_F(ImageInMain, AFileThatDoesNotLoadGoesToTheFileListsAlert) {
    const std::string path = dir / "asset/empty.tga";
    test::WriteBytes(path, "");
    Show(path);
    EXPECT_EQ(frames.files->Alert()->Text(), "*** possible empty file ***");
    EXPECT_TRUE(view->Bitmap().Empty());
}

// A damaged texture: the reason shows, and no picture shown before stays in front.
TEST_F(ImageInMain, ADamagedTextureSaysWhyAndLeavesNoPictureShown) {
    test::JirfFields f;  // one 4 x 4 DXT1 block
    f.chunks = {test::Dxt1Block(0xF800, 0x001F, std::vector<int>(16, 1))};
    const std::string whole = test::MakeJirf(f);
    const std::string path = dir / "asset/wood.texture";
    test::WriteBytes(path, whole);
    Show(path);
    ASSERT_FALSE(view->Bitmap().Empty());

    test::WriteBytes(path, whole.substr(0, whole.size() - 4));  // the picture data cut short
    for (TFrameId before : {TFrameId::Image, TFrameId::Text}) {
        Show(Write("good.tga", Filled(8, 8, 0xFF336699), 24));
        ASSERT_FALSE(view->Bitmap().Empty());
        main->SetActiveViewer(before);
        Show(path);
        EXPECT_EQ(frames.files->Alert()->Text(), "*** Cannot load " + path + ": its picture data is cut short");
        EXPECT_TRUE(view->Bitmap().Empty());
        EXPECT_TRUE(view->LayerA()->Picture().isNull());
        EXPECT_EQ(main->ActiveViewer(), TFrameId::Image) << "the view in front is the empty image view";
    }
    // A header that is no texture's says so too.
    test::WriteBytes(path, "FT2X" + whole.substr(4));
    Show(path);
    EXPECT_EQ(frames.files->Alert()->Text(),
              "*** Cannot load " + path + ": it is no texture file (it begins neither with FT2E nor with JIRF)");
}

TEST_F(ImageInMain, StockImagesAreMadeByTheirCaptionAndNeverOverwritten) {
    std::filesystem::create_directories(dir / "asset");
    main->Dispatcher().ExecuteMenuCommand(1020, "&red.tga");
    ASSERT_TRUE(FileExists(dir / "asset/red.tga"));
    EXPECT_EQ(saved, std::vector<std::string>{"red.tga"});
    const std::string before = test::ReadBytes(dir / "asset/red.tga");
    main->Dispatcher().ExecuteMenuCommand(1020, "red.tga");
    EXPECT_EQ(view->Alert()->Text(), "File already exists: red.tga");
    EXPECT_EQ(test::ReadBytes(dir / "asset/red.tga"), before);
    EXPECT_EQ(saved.size(), 1u);
}

TEST_F(ImageInMain, APrimaryOfAnAlphaTextureIsNotMadeNonUniformButOffersTheImport) {
    Show(Write("a.tga", Filled(4, 4, 0xFF808080), 24));
    test::WriteBytes(dir / "asset/wood.texture.txt", "Primary=a.tga\r\nAlpha=b.tga\r\n");
    view->Button("bUniform")->click();
    EXPECT_EQ(view->Alert()->Text(), "File is referenced in an alpha texture, use ImportAlpha before processing");
    EXPECT_EQ(dialogs.asked, std::vector<std::string>{"merge"});
    EXPECT_FALSE(view->Modified());
    EXPECT_EQ(view->MakeNonUniform(false), "File is referenced in an alpha texture: " + view->ShownFile());

    Show(Write("flat.tga", Filled(1, 4, 0xFF808080), 24));
    view->Button("bUniform")->click();
    EXPECT_EQ(view->Bitmap().Width, 8);
    EXPECT_EQ(view->Bitmap().Height, 32);
    EXPECT_FALSE(view->Uniform());
    EXPECT_EQ(main->StatusPanel(4)->text().toStdString(), "TGA Image: 8 x 32 x 24 bit, No Alpha");
}

TEST_F(ImageInMain, TheThumbnailEditorsResultIsSavedOnceAsTheScreenshot) {
    Show(Write("shot.tga", Filled(240, 180, 0xFF336699), 24));
    view->Button("bScreenshot")->click();
    EXPECT_TRUE(FileExists(dir / "asset/$screenshot$.jpg"));
    EXPECT_EQ(saved, std::vector<std::string>{"$screenshot$.jpg"});
    EXPECT_FALSE(view->Screenshot());
    view->QuickSave();  // a later save does not write the thumbnail again
    EXPECT_EQ(saved.size(), 1u);
    // Now the file exists: a name is asked for; cancelling writes nothing.
    saveAs.clear();
    view->Button("bScreenshot")->click();
    EXPECT_EQ(asked, std::vector<std::string>{"Thumbnail Filename?"});
    EXPECT_EQ(saved.size(), 1u);
    thumbnails.answer = false;
    view->Button("bScreenshot")->click();
    EXPECT_EQ(asked.size(), 1u);
}

TEST_F(ImageInMain, APictureOfAnotherSizeGoesToTheThumbnailWindowAsAFile) {
    Show(Write("big.tga", Filled(400, 300, 0xFF336699), 24));
    const std::string source = Write("photo.tga", Filled(640, 480, 0xFF996633), 24);
    view->ChooseOpenFile = [&](const std::string&, const std::string&, const std::string&) { return source; };
    view->Button("bScreenshot")->click();
    EXPECT_EQ(thumbnails.files, std::vector<std::string>{source});
    EXPECT_EQ(thumbnails.pictures, 0);
    EXPECT_EQ(saved, std::vector<std::string>{"$screenshot$.jpg"});
}

// Pictures no wider than one JPEG block: a change of the whole block would leave them one colour.
TEST_F(ImageInMain, SmallJpegsMadeNonUniformStaySoAfterTheirSave) {
    TTextures library(state);
    const std::uint32_t colours[] = {0xFF808080, 0xFF00FF00, 0xFF000000, 0xFFFFFFFF};
    const std::string path = dir / "asset/small.jpg";
    for (int w = 1; w <= 8; ++w)
        for (int h = 1; h <= 8; ++h) {
            Image32 flat = Filled(w, h, colours[(w + h) % 4]);
            ASSERT_TRUE(TStrellImage(library).SaveJPEG(path, flat));
            Show(path);
            ASSERT_TRUE(view->Uniform()) << w << "x" << h;
            view->MakeNonUniform(false);
            EXPECT_FALSE(view->Uniform()) << w << "x" << h;
            view->QuickSave();
            ASSERT_FALSE(view->Modified()) << w << "x" << h;
            const Image32 saved = Reload(path);
            EXPECT_FALSE(std::all_of(saved.Pixels.begin(), saved.Pixels.end(),
                                     [&](std::uint32_t p) { return p == saved.Pixels.front(); }))
                << w << "x" << h << " saved as " << saved.Width << "x" << saved.Height;
        }
}

// On an asset without a thumbnail the view shows the program's placeholder: Thumb then asks for a
// picture, and never turns the placeholder into the asset's thumbnail.
TEST_F(ImageInMain, ThumbOnThePlaceholderAsksForAPicture) {
    TTextures library(state);
    Image32 picture = Filled(240, 180, 0xFF808080);
    std::filesystem::create_directories(ExpandMacros(state, "%bin%"));
    ASSERT_TRUE(TStrellImage(library).SaveJPEG(ExpandMacros(state, "%bin%") + "/Kelvarn.jpg", picture));
    ASSERT_EQ(view->FindThumbnail().rfind("Asset has no thumbnail", 0), 0u);
    std::string chosen;
    view->ChooseOpenFile = [&](const std::string&, const std::string&, const std::string&) { return chosen; };
    view->Button("bScreenshot")->click();  // the chooser cancelled
    EXPECT_EQ(thumbnails.pictures, 0) << "the placeholder is not offered as the thumbnail";
    EXPECT_FALSE(FileExists(dir / "asset/$screenshot$.jpg"));
    chosen = Write("photo.tga", Filled(640, 480, 0xFF996633), 24);
    view->Button("bScreenshot")->click();
    EXPECT_EQ(thumbnails.pictures, 0);
    EXPECT_EQ(thumbnails.files, std::vector<std::string>{chosen});
    EXPECT_EQ(saved, std::vector<std::string>{"$screenshot$.jpg"});
}

// A chosen picture that does not load says why, and nothing is saved.
TEST_F(ImageInMain, ThumbFromAPictureThatDoesNotLoadSaysWhy) {
    Show(Write("big.tga", Filled(400, 300, 0xFF336699), 24));
    const std::string source = dir / "asset/broken.jpg";
    view->ChooseOpenFile = [&](const std::string&, const std::string&, const std::string&) { return source; };
    thumbnails.failure = "Cannot load " + source + ": its JPEG data is damaged";
    view->Button("bScreenshot")->click();
    EXPECT_EQ(view->Alert()->Text(), thumbnails.failure);
    EXPECT_TRUE(saved.empty());
    EXPECT_FALSE(FileExists(dir / "asset/$screenshot$.jpg"));
}

TEST_F(ImageInMain, AJpegMadeNonUniformStaysSoAfterItsSave) {
    TTextures library(state);
    Image32 grey = Filled(64, 48, 0xFF808080);
    const std::string path = dir / "asset/flat.jpg";
    ASSERT_TRUE(TStrellImage(library).SaveJPEG(path, grey));
    Show(path);
    ASSERT_TRUE(view->Uniform());
    view->MakeNonUniform(false);
    view->QuickSave();
    const Image32 saved = Reload(path);
    EXPECT_FALSE(std::all_of(saved.Pixels.begin(), saved.Pixels.end(),
                             [&](std::uint32_t p) { return p == saved.Pixels.front(); }));
}

// Every asset without a thumbnail shows the program's placeholder: it is never changed or saved.
TEST_F(ImageInMain, ThePlaceholderIsReadOnly) {
    TTextures library(state);
    Image32 picture = Filled(240, 180, 0xFF808080);
    const std::string placeholder = ExpandMacros(state, "%bin%") + "/Kelvarn.jpg";
    std::filesystem::create_directories(ExpandMacros(state, "%bin%"));
    ASSERT_TRUE(TStrellImage(library).SaveJPEG(placeholder, picture));
    const std::string before = test::ReadBytes(placeholder);
    ASSERT_EQ(view->FindThumbnail().rfind("Asset has no thumbnail", 0), 0u);
    ASSERT_TRUE(view->Placeholder());
    TImageLayer* a = view->LayerA();
    Click(a, {1, 1});  // the rotate corner
    view->InvertAlpha();
    view->MakeNonUniform(false);
    EXPECT_FALSE(view->Modified());
    view->QuickSave();
    view->QuerySave();
    EXPECT_TRUE(view->CloseQuery());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(saved.empty());
    EXPECT_TRUE(test::ReadBytes(placeholder) == before);
}

TEST_F(ImageInMain, MultipleThumbnailsShowTheAlertAndNoneClearsTheView) {
    EXPECT_EQ(view->FindThumbnail(), "");
    EXPECT_TRUE(view->Bitmap().Empty());
    TTextures library(state);
    Image32 a = Filled(240, 180, 0xFF336699), b = a;
    ASSERT_TRUE(TStrellImage(library).SaveJPEG(dir / "asset/thumbnail.jpg", a));
    ASSERT_TRUE(TStrellImage(library).SaveJPEG(dir / "asset/preview.jpg", b));
    EXPECT_EQ(view->FindThumbnail().rfind("JPG Image: 240 x 180", 0), 0u);
    EXPECT_EQ(ExtractFileName(view->ShownFile()), "thumbnail.jpg");
    EXPECT_EQ(view->Alert()->Text(), "Multiple thumbnail images found");
}

}  // namespace
}  // namespace kelvarn
