// The mesh view inside the main window: showing ".im" files, the selector's round trips over the bus,
// the frame's command rows, group 2600, and a close that another pane refuses.
#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "MeshGlSupport.h"
#include "media/ui/MeshViewRows.h"
#include "media/ui/Selector.h"
#include "media/ui/Thumbnail.h"
#include "media/TextReportLibrary.h"
#include "shell/MemIni.h"
#include "shell/SettingsKeys.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"

namespace kelvarn {
namespace {

class MeshInMain : public ::testing::Test {
protected:
    MeshInMain() {
        test::GlTestApp();
        state.ProgramFolder = asset.ProgramFolder();
        state.ProgramFile = asset.Path("prog/kelvarn");
        state.OpenSettings(asset.Path("prog/kelvarn.ini"));
        state.Messages = &messages;
        state.TextLibrary = &library;
        state.SetAssetPath(asset.Asset());
        auto frame = [this](const char* name) { return new test::RecordingViewerFrame(log, name, true); };
        frames.assetList = new test::RecordingAssetList(log, "AssetList", false);
        frames.fileList = files = new test::Recording<TFrame<IFrame>>(log, "FileList", false);
        frames.outline = outline = new test::Recording<TFrame<IFrame>>(log, "Outline", true);
        frames.text = new test::RecordingTextViewer(log, "Text", true);
        frames.mesh = view = new TMeshView(state);
        frames.table = frame("Table");
        frames.image = frame("Image");
        frames.tagCatalogue = frame("TagCatalogue");
        frames.textureDescriptor = frame("TextureDescriptor");
        frames.levelOfDetail = frame("LevelOfDetail");
        main = std::make_unique<TMain>(state, frames, std::vector<std::string>{});
        selector = std::make_unique<TSelector>(main.get());
        ConnectMeshView(*main, state, *view, *selector, nullptr);
        main->resize(900, 700);
        main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    ~MeshInMain() override {
        selector.reset();
        main.reset();
    }
    // Shows the mesh through callback 220 and waits for the view's context.
    void ShowQuads() {
        main->Bus().SendCommand(ccShowFile, asset.Mesh());
        for (int i = 0; i < 100 && !view->GlReady(); ++i) QTest::qWait(10);
        ASSERT_TRUE(view->GlReady()) << "no compatibility-profile GL context";
    }
    void Send(int code, const std::string& text) { main->Bus().SendCommand(code, text); }
    bool LeftPanesEnabled() const { return files->isEnabled() && outline->isEnabled(); }

    test::MeshAsset asset;
    test::RecordingMessageSink messages;
    TProgramState state;
    TextReportLibrary library;
    test::CallLog log;
    TMainFrames frames;
    test::Recording<TFrame<IFrame>>* files = nullptr;
    test::Recording<TFrame<IFrame>>* outline = nullptr;
    TMeshView* view = nullptr;
    std::unique_ptr<TMain> main;
    std::unique_ptr<TSelector> selector;
};

TEST_F(MeshInMain, ShowingAMeshBringsTheViewForwardAndRefusesDamagedFiles) {
    ShowQuads();
    EXPECT_EQ(main->ActiveViewer(), TFrameId::Mesh);
    EXPECT_EQ(main->ViewerInFront(), view);
    EXPECT_EQ(view->ShownFile(), asset.Mesh());
    EXPECT_TRUE(view->Button("bBumps")->isEnabled()) << "group 2600 after the show: a bump texture, and GL can";

    test::WriteBytes(asset.Path("asset/cut.im"), test::ReadBytes(asset.Mesh()).substr(0, 40));
    Send(ccShowFile, asset.Path("asset/cut.im"));
    EXPECT_EQ(files->Alert()->Text(), "Mesh file is corrupt");
    EXPECT_EQ(view->ShownFile(), "") << "nothing of the mesh before stays";
    EXPECT_FALSE(view->ViewState().Loaded);
    EXPECT_EQ(view->Alert()->Text(), "Mesh file is corrupt");
    test::WriteBytes(asset.Path("asset/tiny.pm"), "JI");
    Send(ccShowFile, asset.Path("asset/tiny.pm"));
    EXPECT_EQ(files->Alert()->Text(), "*** File is empty ***");
    EXPECT_EQ(view->Alert()->Text(), "*** File is empty ***");
    // A compressed mesh reaches the reader, which says what it cannot do.
    test::WriteBytes(asset.Path("asset/packed.im"), std::string("CFIL") + std::string(12, '\x01'));
    Send(ccShowFile, asset.Path("asset/packed.im"));
    EXPECT_NE(std::find(messages.messages.begin(), messages.messages.end(), "Cannot decode compressed content"),
              messages.messages.end());
    EXPECT_FALSE(view->ViewState().Loaded);

    test::WriteBytes(asset.Path("asset/plain.im"), test::MeshFileBuilder().Info(102).Bytes());
    Send(ccShowFile, asset.Path("asset/plain.im"));
    EXPECT_EQ(view->ShownFile(), asset.Path("asset/plain.im"));
    EXPECT_FALSE(view->Button("bBumps")->isEnabled());
}

TEST_F(MeshInMain, CallbacksSelectAPointOrATexture) {
    ShowQuads();
    Send(ccShowPoint, "a.two");
    EXPECT_EQ(view->ViewState().DisplayMode, dmAttachmentPoints);
    EXPECT_EQ(view->ViewState().SelectedPoint, 1);
    Send(ccShowPoint, "a.none");
    EXPECT_EQ(view->ViewState().SelectedPoint, -1);
    Send(ccShowTexture, "blue.tga");
    EXPECT_EQ(view->ViewState().DisplayMode, dmTextureList);
    EXPECT_EQ(view->ViewState().HighlightTexture, "blue.tga");
    Send(ccShowTexture, "bump.tga");  // no object shows it
    EXPECT_EQ(view->Alert()->Text(), "Cannot display texture: bump.tga");
}

TEST_F(MeshInMain, AttachmentButtonOpensTheSelectorOnThePoints) {
    ShowQuads();
    view->Button("bAttachmentList")->click();
    ASSERT_TRUE(selector->isVisible());
    EXPECT_EQ(selector->windowTitle(), " Attachment Points");
    ASSERT_EQ(selector->ListBox()->count(), 2);
    EXPECT_EQ(selector->ListBox()->item(1)->text(), "a.two");
    EXPECT_EQ(view->ViewState().SelectedPoint, 0) << "the first entry chosen as it opened";
    EXPECT_FALSE(LeftPanesEnabled());

    selector->ListBox()->setCurrentRow(1);  // by the keys
    EXPECT_EQ(view->ViewState().SelectedPoint, 1);
    selector->PointSizer()->setValue(12);
    EXPECT_EQ(view->ViewState().PointSize, 12);
    selector->LineColourBar()->setValue(80);
    EXPECT_FLOAT_EQ(view->ViewState().LineLevel, 0.8f);
    selector->ShowAllBox()->click();
    EXPECT_TRUE(view->ViewState().ShowAll);
    view->ViewState().Distance = 1;
    selector->PointBoundsButton()->click();
    const TVector3& s = view->ViewState().ViewExtents.Size;
    EXPECT_FLOAT_EQ(view->ViewState().Distance, view->ViewState().Get3dExtents(s[0], s[1], s[2]));

    selector->CloseButton()->click();
    EXPECT_FALSE(selector->isVisible());
    EXPECT_TRUE(LeftPanesEnabled());
}

TEST_F(MeshInMain, TextureButtonListsEveryTextureAndModeButtonsHideTheSelector) {
    ShowQuads();
    view->Button("bTextureList")->click();
    ASSERT_TRUE(selector->isVisible());
    EXPECT_EQ(selector->windowTitle(), " Texture List");
    ASSERT_EQ(selector->ListBox()->count(), 3) << "the bump texture is listed too";
    EXPECT_EQ(selector->ListBox()->item(0)->text(), "Blue.TGA");
    EXPECT_EQ(view->ViewState().HighlightTexture, "blue.tga");
    EXPECT_TRUE(view->Button("bTextureList")->isChecked());

    view->Button("bWireframe")->click();
    EXPECT_FALSE(selector->isVisible());
    EXPECT_TRUE(LeftPanesEnabled());
    EXPECT_EQ(view->ViewState().DisplayMode, dmWireframe);
    view->Button("bBumps")->click();
    EXPECT_EQ(view->ViewState().DisplayMode, dmBumps);
    view->Button("bRender")->click();
    EXPECT_EQ(view->ViewState().DisplayMode, dmTextured);
}

TEST_F(MeshInMain, ButtonsReachTheViewThroughTheirRows) {
    ShowQuads();
    view->ViewState().Resize(400, 300);
    view->Button("bFrontView")->click();
    EXPECT_EQ(view->ViewState().Preset, pvFront);
    EXPECT_EQ(view->ViewState().Elevation, 0);
    view->Button("bBackView")->click();
    EXPECT_EQ(view->ViewState().Azimuth, 180);
    view->Button("bImageInfo")->click();
    EXPECT_EQ(view->Alert()->Text().rfind("Mesh Dimensions (metres): " + asset.Mesh(), 0), 0u);

    view->Button("bBounds")->click();
    EXPECT_NE(test::ReadBytes(asset.Path("prog/kelvarn.ini")).find("BoundingBox=1"), std::string::npos)
        << "written and flushed at once";

    view->PickColour = [](const std::string& caption, TColor start) -> std::optional<TColor> {
        EXPECT_EQ(caption, "Select Background Colour");
        EXPECT_EQ(start, 0x808080u);
        return 0x0000FFu;
    };
    view->Button("bColour")->click();
    EXPECT_EQ(ReadSetting(state.Settings(), keys::MeshView), "#FF0000");
    view->ViewState().Resize(240, 180);
    EXPECT_TRUE(test::Near(test::PixelAt(view->RenderToImage(240, 180), 120, 5), 255, 0, 0));

    TThumbnail window(state);
    view->SetThumbnailWindow(&window);
    QTimer::singleShot(0, &window, [&window] { window.OkButton()->click(); });
    view->Button("bScreenshot")->click();
    EXPECT_TRUE(FileExists(asset.Path("asset/$screenshot$.jpg")));
}

TEST_F(MeshInMain, AViewWhoseCloseWasRefusedStillDraws) {
    ShowQuads();
    outline->canClose = false;
    EXPECT_FALSE(main->close());
    view->ViewState().Resize(240, 180);
    view->PresetViewClick(2657);
    const Image32 image = view->RenderToImage(240, 180);
    EXPECT_TRUE(test::Near(test::PixelAt(image, 54, 90), 255, 0, 0)) << test::PixelAt(image, 54, 90);

    outline->canClose = true;
    view->Button("bWireframe")->click();
    EXPECT_TRUE(main->close());
    EXPECT_TRUE(view->RenderToImage(240, 180).Empty());
    EXPECT_NE(test::ReadBytes(asset.Path("prog/kelvarn.ini")).find("DisplayMode=1"), std::string::npos)
        << "the options reach the disk with the main window's flush";
}

}  // namespace
}  // namespace kelvarn
