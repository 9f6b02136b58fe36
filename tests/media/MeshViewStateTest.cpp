#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ImageBuilders.h"
#include "media/ExtraTextures.h"
#include "media/GlContext.h"
#include "media/MeshViewState.h"
#include "shell/MemIni.h"
#include "shell/SettingsKeys.h"
#include "support/MeshFileBuilder.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

using test::kIdentity3;
using test::MeshFileBuilder;
using test::MeshGeometry;
using test::MeshMaterial;
using test::TempDir;
using test::WriteBytes;

const float kT = 2 * std::tan(22.5f * std::numbers::pi_v<float> / 180);  // 2 tan(fov / 2) at 45 degrees

// A mesh whose box is (0, 0, 0)-(2, 4, 6), two textured objects and two points.
std::string BoxMesh() {
    MeshGeometry a, b;
    a.Vertices = {{0, 0, 0, 0, 0}, {2, 0, 0, 1, 0}, {0, 4, 0, 0, 1}};
    a.Triangles = {{0, 1, 2}};
    b.Vertices = {{0, 0, 6, 0, 0}, {1, 1, 1, 1, 0}, {2, 4, 6, 0, 1}};
    b.Triangles = {{0, 1, 2}, {2, 1, 0}};
    MeshMaterial body, wheels;
    body.Name = "body m.onetex";
    body.Textures = {{1, "textures\\Body.tga", 1}};
    wheels.Name = "wheels m.onetex";
    wheels.Textures = {{1, "wheels.tga", 1}};
    return MeshFileBuilder()
        .Info(102)
        .Object(0, body, a)
        .Object(1, wheels, b)
        .Attachments({{"a.front", kIdentity3, {1, 2, 3}}, {"a.back", kIdentity3, {1, 1, 1}}})
        .Bytes();
}

class MeshView : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        WriteBytes(dir / name, bytes);
        return dir / name;
    }
    std::string Show(const std::string& path) {
        TMessageList messages;
        return view.ShowMesh(path, nullptr, messages);
    }

    TempDir dir;
    TMeshViewState view;
};

// --- loading ---

TEST_F(MeshView, ShowMeshSetsTheCameraAndExtents) {
    view.Resize(400, 300);
    EXPECT_EQ(Show(Write("box.im", BoxMesh())), "");
    EXPECT_TRUE(view.Loaded);
    EXPECT_TRUE(view.Shown);
    EXPECT_FALSE(view.MouseReady);
    EXPECT_EQ(view.Elevation, 22.5f);
    EXPECT_EQ(view.Azimuth, -45);
    EXPECT_EQ(view.MeshExtents.Max, (TVector3{2, 4, 6}));
    EXPECT_EQ(view.MeshExtents.Size, (TVector3{2, 4, 6}));
    EXPECT_EQ(view.MeshExtents.Centre, (TVector3{1, 2, 3}));
    EXPECT_EQ(view.ViewExtents.Centre, (TVector3{1, 2, 3}));
    EXPECT_FLOAT_EQ(view.Distance, std::sqrt(56.0f) / kT);
}

TEST_F(MeshView, FailuresThePreviousBoxAndAPointsOnlyMesh) {
    Show(Write("box.im", BoxMesh()));
    // A mesh without vertices is a failed load that says why; the box of the one before stays.
    EXPECT_EQ(Show(Write("info.im", MeshFileBuilder().Info(101).Bytes())),
              "Unable to open mesh\r\nthe mesh holds no geometry");
    EXPECT_FALSE(view.Loaded);
    EXPECT_EQ(view.MeshExtents.Max, (TVector3{2, 4, 6}));
    EXPECT_EQ(Show(dir / "missing.im"), "Unable to open mesh\r\nFile not found: " + (dir / "missing.im"));
    EXPECT_FALSE(view.Loaded);
    test::MeshMaterial newer;
    newer.Version = 104;
    EXPECT_EQ(Show(Write("newer.im", MeshFileBuilder().Info(104).Object(0, newer, test::GridGeometry(1, 1)).Bytes())),
              "Unable to open mesh\r\nMATL chunk version 104 is not supported");

    TMessageList messages;
    EXPECT_EQ(view.ShowMesh(Write("packed.im", MeshFileBuilder().Bytes(0, "CFIL")), nullptr, messages),
              "Unable to open mesh");
    EXPECT_EQ(messages, (TMessageList{{"Cannot decode compressed content", "Info"}}));

    // One vertex: a box of size 0 still gives a usable distance.
    MeshGeometry dot;
    dot.Vertices = {{5, 5, 5, 0, 0}};
    EXPECT_EQ(Show(Write("dot.im", MeshFileBuilder().Info(102).Object(0, {}, dot).Bytes())), "");
    EXPECT_EQ(view.Distance, 1);
    EXPECT_GT(view.MarkerSizes().Arrow, 0);
}

TEST_F(MeshView, DrawFailureFallsBackToThePlaceholderOnce) {
    const std::string placeholder = Write("bin/invisible.im", MeshFileBuilder().Info(101).Bytes());
    Show(Write("broken.im", BoxMesh()));
    TDrawFailure f = view.DrawFailed(placeholder);
    EXPECT_TRUE(f.ShowPlaceholder);
    EXPECT_EQ(f.Alert, "Cannot display due to mesh corruption: broken.im");
    Show(placeholder);
    f = view.DrawFailed(placeholder);
    EXPECT_FALSE(f.ShowPlaceholder);
    EXPECT_FALSE(view.Loaded);  // nothing more is drawn
}

// --- input ---

// A mesh whose texture file is damaged still shows, untextured, and the user is told why.
TEST_F(MeshView, ADamagedTextureIsNamedWithItsReason) {
    MeshGeometry quad;
    quad.Vertices = {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}};
    quad.Triangles = {{0, 1, 2}};
    MeshMaterial wood;
    wood.Name = "wood m.onetex";
    wood.Textures = {{1, "Wood.texture", 1}};
    test::JirfFields f;
    f.chunks = {test::Dxt1Block(0xF800, 0x001F, std::vector<int>(16, 1))};
    const std::string texture = test::MakeJirf(f);
    Write("wood.texture", texture.substr(0, texture.size() - 4));
    TExtraTextures textures;
    TMessageList messages;
    EXPECT_EQ(view.ShowMesh(Write("q.im", MeshFileBuilder().Info(102).Object(0, wood, quad).Bytes()), &textures, messages), "");
    EXPECT_TRUE(view.Loaded);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text, "Couldn't load texture \"wood.texture\": its picture data is cut short");
}

// The depth range follows the camera: a 500 m box seen from its fitting distance lies wholly between
// the planes, and an eye inside what it draws keeps a near plane the depth buffer can work with.
TEST(MeshViewClipPlanes, HoldWhatIsDrawnAtAnyDistance) {
    TMeshViewState view;
    view.ViewExtents = TExtents::FromBox({-250, -250, 0}, {250, 250, 0.4f});
    view.Distance = view.Get3dExtents(500, 500, 0.4f);
    ASSERT_GT(view.Distance, 500.0f);
    const float radius = view.SceneRadius();
    EXPECT_NEAR(radius, std::sqrt(500.0f * 500 * 2 + 0.16f) / 2, 0.01f);
    TClipPlanes planes = ClipPlanes(view.Distance, radius);
    EXPECT_LE(planes.Near, view.Distance - radius);
    EXPECT_GE(planes.Far, view.Distance + radius);
    EXPECT_GT(planes.Near, 0.0f);

    // The markers reach beyond the points, the axes 500 units from the model's origin.
    view.DisplayMode = dmAttachmentPoints;
    EXPECT_GT(view.SceneRadius(), radius + view.MarkerSizes().LetterOffset);
    view.DisplayMode = dmTextured;
    view.ViewExtents = TExtents::FromBox({10, 0, 0}, {12, 2, 2});
    view.Guides = true;
    EXPECT_GE(view.SceneRadius(), 500.0f + 11.0f);

    for (float distance : {0.0f, 0.001f, 3.0f, 1e6f}) {
        planes = ClipPlanes(distance, 5);
        EXPECT_GT(planes.Near, 0.0f) << distance;
        EXPECT_GT(planes.Far, planes.Near) << distance;
        EXPECT_GE(planes.Far, distance + 5) << distance;
        EXPECT_LE(planes.Far / planes.Near, 10001.0f) << distance;
    }
    planes = ClipPlanes(0, 0);
    EXPECT_GT(planes.Far, planes.Near);
    EXPECT_GT(planes.Near, 0.0f);
}

TEST_F(MeshView, KeysZoomPanAndTurn) {
    struct Case {
        const char* what;
        TViewKey key;
        TKeyModifiers mods;
        float distance;  // before
        bool changed;
        float expectDistance, panX, panY, elevation, azimuth;
        int preset;
    };
    const TKeyModifiers none, shift{true, false, false}, ctrl{false, true, false}, alt{false, false, true};
    const TKeyModifiers ctrlShift{true, true, false};
    const Case cases[] = {
        {"page up", TViewKey::PageUp, none, 10, true, 9.75f, 0, 0, 0, 0, 3},
        {"page down", TViewKey::PageDown, none, 10, true, 10.25f, 0, 0, 0, 0, 3},
        {"page up stops at 0.1", TViewKey::PageUp, none, 0.1f, true, 0.1f, 0, 0, 0, 0, 3},
        {"page up below 0.1", TViewKey::PageUp, none, 0.05f, true, 0.05f, 0, 0, 0, 0, 3},
        {"shift up", TViewKey::Up, shift, 10, true, 9.75f, 0, 0, 0, 0, 3},
        {"shift down", TViewKey::Down, shift, 10, true, 10.25f, 0, 0, 0, 0, 3},
        {"shift down from 0", TViewKey::Down, shift, 0, true, 0.001f, 0, 0, 0, 0, 3},
        {"shift left", TViewKey::Left, shift, 10, false, 10, 0, 0, 0, 0, 3},
        {"ctrl left", TViewKey::Left, ctrl, 10, true, 10, 0.1f, 0, 0, 0, 0},
        {"ctrl right", TViewKey::Right, ctrl, 10, true, 10, -0.1f, 0, 0, 0, 0},
        {"ctrl up", TViewKey::Up, ctrl, 10, true, 10, 0, -0.1f, 0, 0, 0},
        {"ctrl down", TViewKey::Down, ctrl, 10, true, 10, 0, 0.1f, 0, 0, 0},
        {"left", TViewKey::Left, none, 10, true, 10, 0, 0, 0, -1, 0},
        {"right", TViewKey::Right, none, 10, true, 10, 0, 0, 0, 1, 0},
        {"up", TViewKey::Up, none, 10, true, 10, 0, 0, -1, 0, 0},
        {"down", TViewKey::Down, none, 10, true, 10, 0, 0, 1, 0, 0},
        {"ctrl shift left", TViewKey::Left, ctrlShift, 10, false, 10, 0, 0, 0, 0, 3},
        {"alt left", TViewKey::Left, alt, 10, false, 10, 0, 0, 0, 0, 3},
        {"another key", TViewKey::Other, none, 10, false, 10, 0, 0, 0, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMeshViewState v;
        v.Distance = c.distance;
        v.Preset = pvRight;
        EXPECT_EQ(v.KeyDown(c.key, c.mods), c.changed);
        EXPECT_EQ(v.NeedsRedraw, c.changed);
        EXPECT_FLOAT_EQ(v.Distance, c.expectDistance);
        EXPECT_FLOAT_EQ(v.PanX, c.panX);
        EXPECT_FLOAT_EQ(v.PanY, c.panY);
        EXPECT_EQ(v.Elevation, c.elevation);
        EXPECT_EQ(v.Azimuth, c.azimuth);
        EXPECT_EQ(v.Preset, c.preset);
    }
    TMeshViewState v;
    v.Distance = 10;
    for (int i = 0; i < 3; ++i)
        v.KeyDown(TViewKey::Down, shift);  // keeps growing by 2.5 % a press
    EXPECT_FLOAT_EQ(v.Distance, 10 * 1.025f * 1.025f * 1.025f);
}

TEST_F(MeshView, MouseDragAndWheel) {
    TMeshViewState v;
    v.Distance = 10;
    v.Preset = pvTop;
    // Before the mouse is ready nothing moves.
    v.MouseDown(10, 10);
    EXPECT_FALSE(v.MouseMove(true, false, 50, 50));
    EXPECT_EQ(v.Preset, pvTop);
    v.MouseReady = true;
    v.MouseDown(10, 10);
    EXPECT_EQ(v.Preset, pvFree);
    EXPECT_TRUE(v.MouseMove(true, false, 20, 15));
    EXPECT_FLOAT_EQ(v.Elevation, 1);
    EXPECT_FLOAT_EQ(v.Azimuth, 2);
    EXPECT_TRUE(v.MouseMove(false, true, 30, 25));  // from the last position, not the press
    EXPECT_FLOAT_EQ(v.PanX, -0.1f);
    EXPECT_FLOAT_EQ(v.PanY, 0.1f);
    EXPECT_FALSE(v.MouseMove(false, false, 90, 90));

    const std::pair<int, float> wheels[] = {{120, 9.94f}, {-120, 10.06f}, {0, 10}, {100000, 0.01f}, {20001, 0.01f}};
    for (const auto& [delta, distance] : wheels) {
        SCOPED_TRACE(delta);
        v.Distance = 10;
        v.MouseWheel(delta);
        EXPECT_FLOAT_EQ(v.Distance, distance);
    }
}

// --- camera distances and presets ---

float Elevation(float depth, float height, float width, float aspect) {
    return std::max(height / kT, width / (kT * aspect)) + depth / 2;
}

TEST_F(MeshView, PresetViewsWithWideAndTallViews) {
    Show(Write("box.im", BoxMesh()));  // S = (2, 4, 6)
    for (const auto& [w, h] : {std::pair{400, 200}, std::pair{200, 400}}) {
        const float aspect = static_cast<float>(w) / static_cast<float>(h);
        SCOPED_TRACE(aspect);
        view.Resize(w, h);
        struct Row {
            char letter;
            int preset;
            float elevation, azimuth, distance;
        };
        const Row rows[] = {
            {'T', pvTop, 90, 0, Elevation(6, 4, 2, aspect)},   {'L', pvLeft, 0, -90, Elevation(2, 6, 4, aspect)},
            {'R', pvRight, 0, 90, Elevation(2, 6, 4, aspect)}, {'F', pvFront, 0, 0, Elevation(4, 6, 2, aspect)},
            {'B', pvBack, 0, 180, Elevation(4, 6, 2, aspect)},
        };
        for (const Row& r : rows) {
            SCOPED_TRACE(r.letter);
            view.PanX = view.PanY = 3;
            view.PresetViewClick(r.letter);
            EXPECT_EQ(view.Preset, r.preset);
            EXPECT_EQ(view.Elevation, r.elevation);
            EXPECT_EQ(view.Azimuth, r.azimuth);
            EXPECT_FLOAT_EQ(view.Distance, r.distance);
            EXPECT_EQ(view.PanX, 0);
            EXPECT_EQ(view.PanY, 0);
            // Zoom to bounds after moving keeps the preset's distance rule.
            view.Distance = 99;
            view.PresetViewClick('Z');
            EXPECT_FLOAT_EQ(view.Distance, r.distance);
        }
        const float free3d = std::sqrt(56.0f) / kT / std::min(aspect, 1.0f);
        view.Preset = pvFree;
        view.PresetViewClick('Z');
        EXPECT_FLOAT_EQ(view.Distance, free3d);
        EXPECT_FLOAT_EQ(view.Get3dExtents(2, 4, 6), free3d);
        view.Preset = 7;  // not a view: nothing but a redraw
        view.Distance = 5;
        view.PresetViewClick('Z');
        EXPECT_EQ(view.Distance, 5);
        // The selector's point bounds only sets the distance.
        view.Preset = pvLeft;
        view.PanX = 2;
        view.PresetViewClick('P');
        EXPECT_FLOAT_EQ(view.Distance, free3d);
        EXPECT_EQ(view.Preset, pvLeft);
        EXPECT_EQ(view.PanX, 2);
    }
    EXPECT_EQ(view.GetElevationExtents(0, 0, 0), 1);  // a box of size 0
}

// --- modes, points and textures ---

TEST_F(MeshView, DisplayModesAndSuspending) {
    Show(Write("box.im", BoxMesh()));
    view.SetDisplayMode(dmTextureList);
    EXPECT_TRUE(view.TextureListFlag);
    view.SetDisplayMode(dmBumps);
    EXPECT_FALSE(view.TextureListFlag);
    EXPECT_TRUE(view.BumpOnlyFlag);
    view.SetDisplayMode(dmWireframe);
    EXPECT_FALSE(view.BumpOnlyFlag);
    view.SetDisplayMode(dmSuspended);
    view.SetDisplayMode(dmSuspended);  // suspending twice keeps the mode to return to
    EXPECT_EQ(view.DisplayMode, dmSuspended);
    EXPECT_EQ(view.SuspendedMode, dmWireframe);
    Show(dir / "box.im");
    EXPECT_EQ(view.DisplayMode, dmWireframe);
}

TEST_F(MeshView, PointBoundsAndThePointsInsideFlag) {
    Show(Write("box.im", BoxMesh()));
    view.SetDisplayMode(dmAttachmentPoints);
    EXPECT_TRUE(view.PointsInside);
    EXPECT_EQ(view.ViewExtents.Centre, view.MeshExtents.Centre);

    Show(Write("out.im", MeshFileBuilder()
                             .Info(102)
                             .Object(0, {}, test::GridGeometry(2, 4))
                             .Attachments({{"a.far", kIdentity3, {10, -1, 3}}})
                             .Bytes()));
    view.SetDisplayMode(dmAttachmentPoints);
    EXPECT_FALSE(view.PointsInside);
    EXPECT_EQ(view.PointExtents.Min, (TVector3{0, -1, 0}));
    EXPECT_EQ(view.PointExtents.Max, (TVector3{10, 4, 3}));
    EXPECT_EQ(view.PointExtents.Size, (TVector3{10, 5, 3}));
    EXPECT_EQ(view.ViewExtents.Centre, (TVector3{5, 1.5f, 1.5f}));
    // The camera steps back far enough to hold the points, not only the geometry.
    EXPECT_GE(view.Distance, view.Get3dExtents(10, 5, 3));
    view.SetDisplayMode(dmTextured);
    EXPECT_EQ(view.ViewExtents.Centre, view.MeshExtents.Centre);
}

TEST_F(MeshView, TextureAndPointLookups) {
    Show(Write("box.im", BoxMesh()));
    const auto& objects = view.Model->Objects();
    struct Case {
        const char* name;
        std::string alert;
        bool bodyHighlighted, wheelsHighlighted;
    };
    const Case cases[] = {
        {"Body.TGA", "", true, false},
        {"C:\\work\\textures\\wheels.tga", "", false, true},
        {"none.tga", "Cannot display texture: none.tga", false, true},
        {"", "Cannot display texture: ", false, true},
    };
    view.SetDisplayMode(dmWireframe);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(view.RenderTexture(c.name), c.alert);
        EXPECT_EQ(view.IsHighlighted(objects[0]), c.bodyHighlighted);
        EXPECT_EQ(view.IsHighlighted(objects[1]), c.wheelsHighlighted);
    }
    EXPECT_EQ(view.DisplayMode, dmTextureList);

    view.SetDisplayMode(dmWireframe);
    view.RenderPoints("a.back");
    EXPECT_EQ(view.DisplayMode, dmAttachmentPoints);
    EXPECT_EQ(view.SelectedPoint, 1);
    EXPECT_EQ(view.MarkedPoints(), (std::vector<int>{1}));
    view.ShowAll = true;
    EXPECT_EQ(view.MarkedPoints(), (std::vector<int>{0, 1}));
    view.ShowAll = false;
    view.RenderPoints("A.BACK");  // names compare exactly; an unknown one selects no point
    EXPECT_EQ(view.SelectedPoint, -1);
    EXPECT_TRUE(view.MarkedPoints().empty());
}

TEST_F(MeshView, MeshInformationText) {
    const std::string path = Write("box.im", BoxMesh());
    Show(path);
    view.Polycount = 3;
    const std::string dashes = "\r\n------------------------------------------";
    EXPECT_EQ(view.ImageInfoText(), "Mesh Dimensions (metres): " + path + dashes +
                                        "\r\nBounding Box\t    X\t    Y\t    Z" + dashes +
                                        "\r\nMinimum\t\t0.000\t0.000\t0.000"
                                        "\r\nMaximum\t\t2.000\t4.000\t6.000"
                                        "\r\nSize\t\t2.000\t4.000\t6.000" +
                                        dashes + "\r\nPolycount: \t3");
}

// --- settings, colours, markers ---

TEST(MeshViewSettings, ReadClampedAndSavedRounded) {
    struct Case {
        const char* mode;
        const char* pointSize;
        const char* lineWeight;
        bool bump;
        int expectMode, expectSize, expectWeight;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, false, 0, 7, 50},
        {"3", "15", "29", false, 3, 15, 29},
        {"9", "1", "150", false, 0, 3, 100},
        {"-1", "100", "-5", false, 0, 15, 0},
        {"4", "7", "50", true, 4, 7, 50},
        {"4", "7", "50", false, 0, 7, 50},
        {"5", "3", "1", false, 5, 3, 1},
        {"1", "7", "57", false, 1, 7, 57},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.mode ? c.mode : "-") << " " << (c.lineWeight ? c.lineWeight : "-"));
        TMemIni ini;
        if (c.mode) ini.WriteString("Options", "DisplayMode", c.mode);
        if (c.pointSize) ini.WriteString("Options", "PointSize", c.pointSize);
        if (c.lineWeight) ini.WriteString("Options", "LineWeight", c.lineWeight);
        TMeshViewState v;
        v.ReadSettings(ini, c.bump);
        EXPECT_EQ(v.DisplayMode, c.expectMode);
        EXPECT_EQ(v.PointSize, c.expectSize);
        EXPECT_FLOAT_EQ(v.LineLevel, c.expectWeight / 100.0f);
        TMemIni saved;
        v.SaveOptions(saved);
        EXPECT_EQ(saved.ReadInteger("Options", "DisplayMode", -9), c.expectMode);
        EXPECT_EQ(saved.ReadInteger("Options", "PointSize", -9), c.expectSize);
        EXPECT_EQ(saved.ReadInteger("Options", "LineWeight", -9), c.expectWeight);
    }
    // Every weight the selector can set survives a save and a read.
    for (int weight = 0; weight <= 100; ++weight) {
        TMeshViewState v;
        v.LineLevel = static_cast<float>(weight) * 0.01f;
        TMemIni ini;
        v.SaveOptions(ini);
        EXPECT_EQ(ini.ReadInteger("Options", "LineWeight", -1), weight);
    }
}

// Wireframe lines must differ from the background, the defaults' (0.5 on #808080) included.
TEST(MeshViewSettings, WireLinesContrastWithTheBackground) {
    TMemIni ini;
    TMeshViewState v;
    v.ReadSettings(ini, false);
    EXPECT_GE(std::fabs(v.WireGrey() - v.Brightness()), 0.2f);
    ini.WriteString("Colours", "MeshView", "#000000");
    v.ReadSettings(ini, false);
    EXPECT_FLOAT_EQ(v.WireGrey(), 0.5f);  // a line level that shows is the user's
    ini.WriteString("Colours", "MeshView", "#202020");
    WriteSettingInt(ini, keys::LineWeight, 10);
    v.ReadSettings(ini, false);
    EXPECT_FLOAT_EQ(v.WireGrey(), 1.0f);
}

TEST(MeshViewSettings, BackgroundGuidesAndMarkers) {
    struct Case {
        const char* colour;
        TColor background;
        float brightness;
        TVector3 guide;
    };
    const Case cases[] = {
        {"#808080", 0x808080, 384 / 765.0f, {0, 0, 0}},  // 0.502: black guides
        {"#000000", 0, 0, {1, 1, 1}},
        {"#FFFFFF", 0xFFFFFF, 1, {0, 0, 0}},
        {"#7F7F7F", 0x7F7F7F, 381 / 765.0f, {1, 1, 1}},
        {"#FF0000", 0x0000FF, 255 / 765.0f, {1, 1, 1}},
        {"not a colour", 0x808080, 384 / 765.0f, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour);
        TMemIni ini;
        ini.WriteString("Colours", "MeshView", c.colour);
        TMeshViewState v;
        v.ReadSettings(ini, false);
        EXPECT_EQ(v.Background, c.background);
        EXPECT_FLOAT_EQ(v.Brightness(), c.brightness);
        EXPECT_EQ(v.GuideColour(), c.guide);
    }
    TMemIni ini;
    TMeshViewState v;
    v.SetBackgroundColour(ini, 0x0000FF);
    EXPECT_EQ(ReadSetting(ini, keys::MeshView), "#FF0000");

    v.Distance = 10;
    v.PointSize = 7;
    const TMarkerSizes m = v.MarkerSizes();
    EXPECT_FLOAT_EQ(m.Arrow, 0.7f);
    EXPECT_FLOAT_EQ(m.LetterOffset, 0.84f);
    EXPECT_FLOAT_EQ(m.HeadBase, 0.56f);
    EXPECT_FLOAT_EQ(m.HeadHalfWidth, 0.042f);
    EXPECT_FLOAT_EQ(m.LetterHalfHeight, 0.056f);
}

}  // namespace
}  // namespace kelvarn
