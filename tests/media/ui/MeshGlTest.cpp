// The mesh view drawn by Mesa under Xvfb: pixels of each display mode, textures and the cube map read
// back from GL, the thumbnail, and the failures of drawing and loading.
#include <gtest/gtest.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "media/JpegCodec.h"
#include "media/JpegDec.h"
#include "media/NormalMaps.h"
#include "media/ui/MeshViewRows.h"
#include "media/ui/Thumbnail.h"
#include "shell/Colours.h"
#include "shell/MemIni.h"
#include "shell/SettingsKeys.h"
#include "shell/ui/Alert.h"
#include "MeshGlSupport.h"

namespace kelvarn {
namespace {

using test::CountNear;
using test::Near;
using test::PixelAt;

constexpr int kW = 240, kH = 180;
// Inside quad A, inside quad B, and in the gap between them (see TwoQuadMesh), seen from the top.
constexpr int kAx = 54, kBx = 186, kGapX = 120, kMidY = 90;

class MeshGl : public ::testing::Test {
protected:
    MeshGl() {
        test::GlTestApp();
        state.ProgramFolder = asset.ProgramFolder();
        state.OpenSettings(asset.Path("prog/kelvarn.ini"));
        state.Messages = &messages;
        state.CommandTarget = &bus;
    }
    void Create(const std::string& background = "#808080") {
        WriteSetting(state.Settings(), keys::MeshView, background);
        view = std::make_unique<TMeshView>(state);
        view->Init(&bus);
        test::ShowAndWaitForGl(*view);
    }
    // The mesh shown and seen from the top (x to the right, y up), the box filling the width.
    void ShowQuads() {
        view->ShowMesh(asset.Mesh());
        ASSERT_TRUE(view->ViewState().Loaded);
        view->ViewState().Resize(kW, kH);
        view->PresetViewClick(2657);
    }
    Image32 Render() { return view->RenderToImage(kW, kH); }
    // A real mesh and its texture, copied: loading a texture may clear its read-only attribute, and
    // the real folders stay as they are. False without the corpus.
    bool CopyRealArrow() {
        const std::string corpus = std::string(KELVARN_SOURCE_DIR) + "/../shared/corpus/jos-scanner/";
        if (!FileExists(corpus + "arrow.im")) return false;
        for (const char* name : {"arrow.im", "dm.texture.txt", "dm.jpg"})
            test::WriteBytes(asset.Path(std::string("real/") + name), test::ReadBytes(corpus + name));
        return true;
    }

    test::MeshAsset asset;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    TProgramState state;
    std::unique_ptr<TMeshView> view;
};

TEST_F(MeshGl, ContextIsCompatibilityProfileWithTheBumpExtensions) {
    Create();
    const std::string extensions = view->Context().ExtensionText();
    EXPECT_TRUE(BumpMapSupport(extensions)) << extensions;
    EXPECT_TRUE(view->Context().BumpFlag());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(MeshGl, ACoreProfileContextIsRefusedWithTheMessage) {
    test::GlTestApp();
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    QOpenGLContext context;
    context.setFormat(format);
    ASSERT_TRUE(context.create());
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    ASSERT_TRUE(context.makeCurrent(&surface));
    TGlContext gl;
    EXPECT_FALSE(gl.CreateContext(&context, messages));
    EXPECT_FALSE(gl.CreateContext(nullptr, messages));
    context.doneCurrent();
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0], "Error setting pixel format.");
    EXPECT_EQ(messages.captions[0], "SetPixelFormat");
}

TEST_F(MeshGl, BackgroundColourClearsTheView) {
    for (const auto& [setting, r, g, b] : {std::tuple{"#808080", 128, 128, 128}, std::tuple{"#000000", 128, 128, 140},
                                           std::tuple{"#FF0000", 255, 0, 0}}) {
        Create(setting);
        view->ViewState().Resize(kW, kH);
        const Image32 image = Render();
        ASSERT_EQ(image.Width, kW);
        ASSERT_EQ(image.Height, kH);
        EXPECT_EQ(CountNear(image, r, g, b), kW * kH) << setting << " gives " << PixelAt(image, 0, 0);
    }
}

TEST_F(MeshGl, TexturedModeShowsEachTextureColour) {
    Create();
    ShowQuads();
    EXPECT_EQ(view->ViewState().DisplayMode, dmTextured);
    const Image32 image = Render();
    EXPECT_TRUE(Near(PixelAt(image, kAx, kMidY), 255, 0, 0)) << PixelAt(image, kAx, kMidY);
    // The bump pass adds a quarter of grey shading under three quarters of the blue texture.
    const test::Rgb b = PixelAt(image, kBx, kMidY);
    EXPECT_TRUE(b.b >= 240 && b.r == b.g && b.r > 20 && b.r < 90) << b;
    EXPECT_TRUE(Near(PixelAt(image, kGapX, kMidY), 128, 128, 128)) << PixelAt(image, kGapX, kMidY);
    EXPECT_EQ(view->ViewState().Polycount, 4);
}

// A real mesh: the arrow names "dm.texture", whose descriptor names a red and white JPEG checkerboard.
TEST_F(MeshGl, ARealMeshIsDrawnWithItsTexture) {
    if (!CopyRealArrow()) GTEST_SKIP() << "no ../shared/corpus here";
    Create();
    view->ShowMesh(asset.Path("real/arrow.im"));
    ASSERT_TRUE(view->ViewState().Loaded) << view->Alert()->Text();
    EXPECT_TRUE(view->ViewState().Model->HasTexturedMaterial());
    view->ViewState().Resize(kW, kH);
    view->PresetViewClick(2657);
    const Image32 image = Render();
    const int background = CountNear(image, 128, 128, 128);
    const int red = CountNear(image, 255, 0, 0, 0, -1, 40), white = CountNear(image, 240, 240, 240, 0, -1, 20);
    EXPECT_GT(kW * kH - background, kW * kH / 20) << "the arrow covers part of the view";
    EXPECT_GT(red, 200) << "the texture's red squares";
    EXPECT_GT(white, 200) << "the texture's white squares";
    EXPECT_EQ(view->ViewState().Polycount, 12);
}

// At the default colours (line level 0.5 on #808080) the wireframe must still show.
TEST_F(MeshGl, WireModeOnARealMeshIsVisibleAtTheDefaultColours) {
    if (!CopyRealArrow()) GTEST_SKIP() << "no ../shared/corpus here";
    Create();
    view->ShowMesh(asset.Path("real/arrow.im"));
    ASSERT_TRUE(view->ViewState().Loaded) << view->Alert()->Text();
    view->ViewState().Resize(kW, kH);
    view->PresetViewClick(2657);
    view->ViewState().SetDisplayMode(dmWireframe);
    const Image32 image = Render();
    EXPECT_GT(kW * kH - CountNear(image, 128, 128, 128, 0, -1, 40), 100) << "the lines differ from the background";
}

// The real basemap is one 500 m quad: the camera stands back further than any fixed far plane
// would reach. The widget's own frame, as the user sees it, must show the quad.
TEST_F(MeshGl, ARealFiveHundredMetreBasemapIsOnScreen) {
    const std::string corpus = std::string(KELVARN_SOURCE_DIR) + "/../shared/corpus/basemap-maker/Assets/";
    if (!FileExists(corpus + "basemap.im")) GTEST_SKIP() << "no ../shared/corpus here";
    for (const char* name : {"basemap.im", "basemap-basemap.texture.txt"})
        test::WriteBytes(asset.Path(std::string("real/") + name), test::ReadBytes(corpus + name));
    Create("#0000FF");
    view->ShowMesh(asset.Path("real/basemap.im"));
    ASSERT_TRUE(view->ViewState().Loaded) << view->Alert()->Text();
    EXPECT_GT(view->ViewState().Distance, 500.0f);
    for (const char* mode : {"bRender", "bWireframe"}) {
        view->Button(mode)->click();
        const QImage frame = view->MeshImage()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(frame.isNull());
        int mesh = 0;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) mesh += QColor(frame.pixel(x, y)) != QColor(0, 0, 255);
        EXPECT_GT(mesh, frame.width() * frame.height() / (mode[1] == 'R' ? 8 : 500)) << mode;
    }
    // Its corners, seen from the top: the whole quad fills the width between the near and far planes.
    view->ViewState().Resize(kW, kH);
    view->PresetViewClick(2657);
    const Image32 top = Render();
    EXPECT_FALSE(Near(PixelAt(top, kW / 2, kMidY), 0, 0, 255)) << PixelAt(top, kW / 2, kMidY);
    EXPECT_FALSE(Near(PixelAt(top, kW / 2 - 80, kMidY - 80), 0, 0, 255));
    EXPECT_FALSE(Near(PixelAt(top, kW / 2 + 80, kMidY + 80), 0, 0, 255));
}

// A file refused before the view reads it leaves nothing of the mesh shown before.
TEST_F(MeshGl, ARefusedFileClearsTheView) {
    Create();
    ShowQuads();
    ASSERT_LT(CountNear(Render(), 128, 128, 128), kW * kH);
    view->ClearMesh("Mesh file is corrupt");
    EXPECT_FALSE(view->ViewState().Loaded);
    EXPECT_EQ(view->ShownFile(), "");
    EXPECT_EQ(view->Alert()->Text(), "Mesh file is corrupt");
    EXPECT_EQ(CountNear(Render(), 128, 128, 128), kW * kH);
}

TEST_F(MeshGl, AnUntexturedModelIsLitByItsNormals) {
    Create();
    auto quad = [](float x0, float x1, float nz) {
        test::MeshGeometry g;
        g.Vertices = {{x0, -1, 0, 0, 0}, {x1, -1, 0, 1, 0}, {x1, 1, 0, 1, 1}, {x0, 1, 0, 0, 1}};
        g.Triangles = {{0, 1, 2}, {0, 2, 3}};
        g.Normals.assign(4, {0, 0, nz});
        return g;
    };
    test::MeshMaterial plain;
    plain.Name = "plain m.notex";
    test::WriteBytes(asset.Path("asset/lit.im"),
                     test::MeshFileBuilder().Info(102).Object(0, plain, quad(-2, -0.2f, 1)).Object(1, plain, quad(0.2f, 2, -1)).Bytes());
    view->ShowMesh(asset.Path("asset/lit.im"));
    view->ViewState().Resize(kW, kH);
    view->PresetViewClick(2657);
    const Image32 image = Render();
    const test::Rgb facing = PixelAt(image, kAx, kMidY), away = PixelAt(image, kBx, kMidY);
    EXPECT_GT(facing.r, 200) << facing;  // GL's own light 0 shines down the view
    EXPECT_LT(away.r, 80) << away;       // ambient only
}

TEST_F(MeshGl, WireframeLeavesTheInteriorsAsBackground) {
    Create();
    ShowQuads();
    view->AdjustLineWeight(100);  // white lines on the grey
    view->ViewState().SetDisplayMode(dmWireframe);
    const Image32 image = Render();
    EXPECT_TRUE(Near(PixelAt(image, kAx, kMidY - 20), 128, 128, 128)) << PixelAt(image, kAx, kMidY - 20);
    EXPECT_TRUE(Near(PixelAt(image, kBx, kMidY + 20), 128, 128, 128)) << PixelAt(image, kBx, kMidY + 20);
    EXPECT_GT(CountNear(image, 255, 255, 255, 0, kW, 40), 100);
    EXPECT_EQ(CountNear(image, 255, 0, 0), 0);
}

TEST_F(MeshGl, TextureListTexturesOnlyTheChosenQuad) {
    Create();
    ShowQuads();
    view->RenderTexture("RED.tga");
    EXPECT_EQ(view->ViewState().DisplayMode, dmTextureList);
    EXPECT_TRUE(view->Button("bTextureList")->isChecked());
    const Image32 image = Render();
    EXPECT_TRUE(Near(PixelAt(image, kAx, kMidY), 255, 0, 0)) << PixelAt(image, kAx, kMidY);
    EXPECT_TRUE(Near(PixelAt(image, kBx, kMidY - 20), 128, 128, 128)) << PixelAt(image, kBx, kMidY - 20);

    view->RenderTexture("rust.tga");  // unknown: the mode stays, the alert says so
    EXPECT_EQ(view->Alert()->Text(), "Cannot display texture: rust.tga");
    EXPECT_EQ(view->ViewState().DisplayMode, dmTextureList);
}

TEST_F(MeshGl, AttachmentModeMarksThePointsInTheSchemeColours) {
    Create();
    ShowQuads();
    view->RenderPoints("a.two");
    const Image32 selectedOnly = Render();
    view->ViewState().ShowAll = true;
    const Image32 all = Render();
    const TColor point = SchemeColour(&state.Settings(), skPoint, false);
    const TColor selected = SchemeColour(&state.Settings(), skSelectedPoint, false);
    ASSERT_EQ(point, 0x00FF00u);  // green
    ASSERT_EQ(selected, 0x00FFFFu);  // yellow
    EXPECT_GT(CountNear(selectedOnly, 255, 255, 0), 20);
    EXPECT_EQ(CountNear(selectedOnly, 0, 255, 0), 0);
    EXPECT_GT(CountNear(all, 0, 255, 0, 0, kGapX), 20);  // a.one, left
    EXPECT_GT(CountNear(all, 255, 255, 0, kGapX), 20);   // a.two, right
    EXPECT_EQ(CountNear(all, 255, 255, 0, 0, kGapX), 0);
}

TEST_F(MeshGl, BumpModeDrawsOnlyTheBumpShading) {
    Create();
    ShowQuads();
    view->UpdateMenuState();
    EXPECT_TRUE(view->Button("bBumps")->isEnabled());
    const Image32 textured = Render();
    view->MeshButtonAction(2654);
    EXPECT_TRUE(view->ViewState().BumpOnlyFlag);
    const Image32 bumps = Render();
    const test::Rgb b = PixelAt(bumps, kBx, kMidY);
    EXPECT_FALSE(Near(b, 0, 0, 255, 40)) << b;
    EXPECT_TRUE(b.r == b.g && b.g == b.b && b.r > 150) << b;  // the light's dot product with straight-up normals
    EXPECT_TRUE(Near(PixelAt(bumps, kAx, kMidY), 128, 128, 128)) << "quad A has no bump texture";
    EXPECT_NE(PixelAt(textured, kBx, kMidY).b, b.b);
}

TEST_F(MeshGl, SuspendedModeShowsOnlyTheBackground) {
    Create();
    ShowQuads();
    view->ViewState().SetDisplayMode(dmSuspended);
    EXPECT_EQ(CountNear(Render(), 128, 128, 128), kW * kH);
    view->ShowMesh(asset.Mesh());  // showing a mesh returns to the mode before
    EXPECT_EQ(view->ViewState().DisplayMode, dmTextured);
}

TEST_F(MeshGl, GuidesAddTheAxesAndTheBox) {
    Create();
    ShowQuads();
    const Image32 plain = Render();
    view->Button("bBounds")->click();
    EXPECT_TRUE(view->GuidesShown());
    EXPECT_EQ(bus.sent.back(), (std::pair<int, std::string>{2663, "MeshView"}));
    const Image32 guides = Render();
    EXPECT_EQ(CountNear(plain, 255, 0, 0, kGapX), 0);
    EXPECT_GT(CountNear(guides, 255, 0, 0, kGapX), 50);  // the x axis across quad B
    EXPECT_GT(CountNear(guides, 0, 0, 0), CountNear(plain, 0, 0, 0) + 20);  // the box, black on grey
}

// Textures and the cube map as GL holds them.
class MeshGlTextures : public MeshGl {
protected:
    // Level 0 at the size GL holds it.
    std::vector<std::uint8_t> ReadBack(GLenum target, GLenum format) {
        QOpenGLFunctions_1_1& gl = view->Context().Gl();
        GLint w = 0, h = 0;
        gl.glGetTexLevelParameteriv(target, 0, GL_TEXTURE_WIDTH, &w);
        gl.glGetTexLevelParameteriv(target, 0, GL_TEXTURE_HEIGHT, &h);
        std::vector<std::uint8_t> out(static_cast<std::size_t>(w * h * (format == GL_RGBA ? 4 : 3)), 0xEE);
        gl.glGetTexImage(target, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
};

TEST_F(MeshGlTextures, UploadsReadBackByteForByte) {
    Create();
    view->MeshImage()->makeCurrent();
    QOpenGLFunctions_1_1& gl = view->Context().Gl();
    // RGB rows of 6 and 9 bytes; RGBA goes through the mipmap builder, which keeps a power-of-two size.
    for (const auto& [w, h, alpha] : {std::tuple{2, 2, false}, std::tuple{3, 3, false}, std::tuple{4, 2, true}}) {
        auto texture = std::make_shared<TPreparedTexture>();
        texture->Width = w;
        texture->Height = h;
        texture->HasAlpha = alpha;
        const int bytes = w * h * (alpha ? 4 : 3);
        for (int i = 0; i < bytes; ++i) texture->Pixels.push_back(static_cast<std::uint8_t>(i * 7 + 1));
        const GLuint name = view->Renderer().CreateTexture(texture);
        ASSERT_NE(name, 0u);
        EXPECT_EQ(view->Renderer().CreateTexture(texture), name) << "one name per texture";
        gl.glBindTexture(GL_TEXTURE_2D, name);
        EXPECT_EQ(ReadBack(GL_TEXTURE_2D, alpha ? GL_RGBA : GL_RGB), texture->Pixels) << w << "x" << h;
    }
    const GLuint cube = view->Renderer().CubeMap();
    ASSERT_NE(cube, 0u);
    EXPECT_EQ(view->Renderer().CubeMap(), cube) << "made once per context";
    gl.glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cube);
    const auto faces = GenerateNormalisationCubeMap();
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(ReadBack(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + f, GL_RGB), faces[f]) << f;
    view->MeshImage()->doneCurrent();
}

TEST_F(MeshGl, CubeMapSurvivesLoadsAndTexturesAreFreedWithTheModel) {
    Create();
    ShowQuads();
    Render();
    view->MeshImage()->makeCurrent();
    const GLuint cube = view->Renderer().CubeMap();
    view->MeshImage()->doneCurrent();
    for (int i = 0; i < 3; ++i) {
        view->ShowMesh(asset.Mesh());
        view->ViewState().Resize(kW, kH);
        Render();
    }
    view->MeshImage()->makeCurrent();
    EXPECT_EQ(view->Renderer().CubeMap(), cube);
    EXPECT_TRUE(view->Context().Gl().glIsTexture(cube));
    view->MeshImage()->doneCurrent();
}

TEST_F(MeshGl, ThumbnailIsA240By180JpegInTheAssetFolder) {
    Create();
    state.SetAssetPath(asset.Asset());
    ShowQuads();
    view->Screenshot();
    EXPECT_FALSE(FileExists(asset.Path("asset/$screenshot$.jpg"))) << "no thumbnail window, no thumbnail";
    TThumbnail window(state);
    view->SetThumbnailWindow(&window);
    QTimer::singleShot(0, &window, [&window] { window.OkButton()->click(); });
    view->Screenshot();
    const std::string jpeg = asset.Path("asset/$screenshot$.jpg");
    ASSERT_TRUE(FileExists(jpeg));
    const std::string bytes = test::ReadBytes(jpeg);
    int w = 0, h = 0;
    ASSERT_TRUE(ReadJpegSize(AsBytes(bytes), w, h));
    EXPECT_EQ(w, 240);
    EXPECT_EQ(h, 180);
    Image32 decoded;
    ASSERT_TRUE(DecodeJpegWithLibrary(AsBytes(bytes), decoded));  // written progressive
    EXPECT_TRUE(Near(PixelAt(decoded, kAx, kMidY), 255, 0, 0, 24)) << PixelAt(decoded, kAx, kMidY);
    EXPECT_EQ(bus.sent.back(), (std::pair<int, std::string>{ccFileSaved, "$screenshot$.jpg"}));
}

// With no mesh to picture (none yet, a refused file, one that does not load) there is no Thumb, and
// nothing is written however it is asked for.
TEST_F(MeshGl, NoMeshNoThumbnail) {
    Create();
    state.SetAssetPath(asset.Asset());
    TThumbnail window(state);
    view->SetThumbnailWindow(&window);
    int shown = 0;
    auto accept = [&] {
        QTimer::singleShot(0, &window, [&] {
            if (!window.isVisible()) return;
            ++shown;
            window.OkButton()->click();
        });
    };
    const std::string jpeg = asset.Path("asset/$screenshot$.jpg");
    EXPECT_FALSE(view->Button("bScreenshot")->isEnabled());
    ShowQuads();
    EXPECT_TRUE(view->Button("bScreenshot")->isEnabled());
    view->ClearMesh("Mesh file is corrupt");
    EXPECT_FALSE(view->Button("bScreenshot")->isEnabled());
    accept();
    view->Screenshot();
    QTest::qWait(10);
    test::WriteBytes(asset.Path("asset/bad.im"), test::MeshFileBuilder().Info(102).Bytes(0, "JIRF", "XXXX"));
    view->ShowMesh(asset.Path("asset/bad.im"));
    EXPECT_FALSE(view->Button("bScreenshot")->isEnabled());
    accept();
    view->Screenshot();
    QTest::qWait(10);
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(FileExists(jpeg));
    EXPECT_TRUE(bus.sent.empty() || bus.sent.back().first != ccFileSaved);
}

class CancellingThumbnail final : public IThumbnailWindow {
public:
    bool MakeThumbnail(Image32& picture, const std::string& watermark) override {
        width = picture.Width;
        this->watermark = watermark;
        return false;
    }
    bool MakeThumbnailFromFile(const std::string&, Image32&, std::string&) override { return false; }
    int width = 0;
    std::string watermark = "unset";
};

TEST_F(MeshGl, ThumbnailWindowGetsTheWatermarkAndMayCancel) {
    Create();
    state.SetAssetPath(asset.Asset());
    ShowQuads();
    CancellingThumbnail window;
    view->SetThumbnailWindow(&window);
    view->Screenshot();
    EXPECT_EQ(window.width, 240);
    EXPECT_EQ(window.watermark, "");  // none in %bin%
    test::WriteBytes(asset.Path("prog/bin/watermark.tga"), test::SolidTga(1, 2, 3));
    view->Screenshot();
    EXPECT_EQ(window.watermark, asset.Path("prog/bin/watermark.tga"));
    EXPECT_FALSE(FileExists(asset.Path("asset/$screenshot$.jpg")));
}

TEST_F(MeshGl, ADrawErrorShowsThePlaceholderOnce) {
    Create();
    ShowQuads();
    int failures = 0, failing = 1;
    view->BeforeDraw = [&] {
        ++failures;
        if (failing-- > 0) throw std::runtime_error("injected");
    };
    view->MeshImage()->grabFramebuffer();
    QTest::qWait(20);  // the placeholder is shown from the event loop
    EXPECT_EQ(view->ShownFile(), asset.Path("prog/bin/invisible.im"));
    EXPECT_FALSE(view->ViewState().Loaded);  // the placeholder holds nothing to draw
    EXPECT_EQ(view->Alert()->Text(), "Cannot display due to mesh corruption: two.im");
    EXPECT_TRUE(view->Header()->isHidden());
    // The placeholder failing too ends it: no second fallback, nothing more drawn.
    failing = 1000;
    view->MeshImage()->grabFramebuffer();
    QTest::qWait(20);
    EXPECT_EQ(view->Alert()->Text(), "Cannot display due to mesh corruption: invisible.im");
    EXPECT_FALSE(view->ViewState().Loaded);
    view->MeshImage()->grabFramebuffer();
    QTest::qWait(20);
    EXPECT_EQ(view->ShownFile(), asset.Path("prog/bin/invisible.im"));
    EXPECT_FALSE(view->ViewState().Loaded);
    EXPECT_GE(failures, 3);

    view->BeforeDraw = nullptr;
    ShowQuads();  // a good mesh brings the header back
    EXPECT_FALSE(view->Header()->isHidden());
    EXPECT_EQ(view->Alert()->Text(), "");
}

TEST_F(MeshGl, ACorruptFileCannotBeOpened) {
    Create();
    test::WriteBytes(asset.Path("asset/bad.im"), test::MeshFileBuilder().Info(102).Bytes(0, "JIRF", "XXXX"));
    view->ShowMesh(asset.Path("asset/bad.im"));
    EXPECT_FALSE(view->ViewState().Loaded);
    EXPECT_EQ(view->Alert()->Text(), "Unable to open mesh\nnot an indexed mesh");
    view->ViewState().Resize(kW, kH);
    EXPECT_EQ(CountNear(Render(), 128, 128, 128), kW * kH);
}

TEST_F(MeshGl, CloseFreesTheModelAndSavesTheOptions) {
    Create();
    ShowQuads();
    view->AdjustLineWeight(29);
    view->AdjustPointSize(9);
    view->Button("bWireframe")->click();
    EXPECT_TRUE(view->CloseQuery());
    EXPECT_TRUE(view->ViewState().Loaded) << "a close query alone keeps the view";
    EXPECT_TRUE(Near(PixelAt(Render(), kAx, kMidY - 20), 128, 128, 128));
    view->Close();
    EXPECT_FALSE(view->ViewState().Model);
    EXPECT_TRUE(Render().Empty());
    EXPECT_EQ(ReadSetting(state.Settings(), keys::LineWeight), "29");
    EXPECT_EQ(ReadSetting(state.Settings(), keys::PointSize), "9");
    EXPECT_EQ(ReadSetting(state.Settings(), keys::DisplayMode), "1");
}

}  // namespace
}  // namespace kelvarn
