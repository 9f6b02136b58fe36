// What the GL tests of the mesh view share: the application made with the program's surface format, a
// small asset (two one-colour textured quads side by side, the right one with a bump texture, two
// attachment points) and pixel checks.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <iostream>
#include <memory>
#include <string>

#include "media/TgaCodec.h"
#include "media/ui/GlContext.h"
#include "media/ui/MeshView.h"
#include "shell/Files.h"
#include "shell/ProgramState.h"
#include "support/MeshFileBuilder.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn::test {

inline QApplication& GlTestApp() {
    static bool formatSet = false;
    if (!formatSet) {
        SetDefaultSurfaceFormat();
        formatSet = true;
    }
    return TestApp();
}

struct Rgb {
    int r = 0, g = 0, b = 0;
};
inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}
inline Rgb PixelAt(const Image32& image, int x, int y) {
    const std::uint32_t p = image.At(x, y);
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF)};
}
inline bool Near(const Rgb& c, int r, int g, int b, int tolerance = 8) {
    return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance && std::abs(c.b - b) <= tolerance;
}
// Pixels of the image within the tolerance of a colour, in the columns [x0, x1).
inline int CountNear(const Image32& image, int r, int g, int b, int x0 = 0, int x1 = -1, int tolerance = 8) {
    if (x1 < 0) x1 = image.Width;
    int n = 0;
    for (int y = 0; y < image.Height; ++y)
        for (int x = x0; x < x1; ++x) n += Near(PixelAt(image, x, y), r, g, b, tolerance);
    return n;
}

// An 8 x 8 TGA of one colour.
inline std::string SolidTga(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    RawImage raw;
    raw.Allocate(8, 8, 3);
    for (std::size_t i = 0; i < raw.Pixels.size(); i += 3) {
        raw.Pixels[i] = r;
        raw.Pixels[i + 1] = g;
        raw.Pixels[i + 2] = b;
    }
    return EncodeTga(raw);
}

// Quad A (red) spans x -2..-0.2, quad B (blue, bump mapped) 0.2..2, both y -1..1 at z 0, facing +z.
inline std::string TwoQuadMesh() {
    auto quad = [](float x0, float x1) {
        MeshGeometry g;
        g.Vertices = {{x0, -1, 0, 0, 0}, {x1, -1, 0, 1, 0}, {x1, 1, 0, 1, 1}, {x0, 1, 0, 0, 1}};
        g.Triangles = {{0, 1, 2}, {0, 2, 3}};
        return g;
    };
    MeshMaterial red, blue;
    red.Name = "red m.onetex";
    red.Textures = {{1, "red.tga", 1}};
    blue.Name = "blue m.tbumptex";
    blue.Textures = {{1, "Blue.TGA", 1}, {8, "bump.tga", 1}};
    return MeshFileBuilder()
        .Info(102)
        .Object(0, red, quad(-2, -0.2f))
        .Object(1, blue, quad(0.2f, 2))
        .Attachments({{"a.one", kIdentity3, {-1.1f, 0, 0.5f}}, {"a.two", kIdentity3, {1.1f, 0, 0.5f}}})
        .Bytes();
}

// The program folder (with the placeholder mesh in "bin") and the asset folder of the two quads.
class MeshAsset {
public:
    MeshAsset() {
        WriteBytes(dir / "prog/bin/invisible.im", ReadBytes(std::string(KELVARN_SOURCE_DIR) + "/resources/bin/invisible.im"));
        WriteBytes(dir / "asset/red.tga", SolidTga(255, 0, 0));
        WriteBytes(dir / "asset/blue.tga", SolidTga(0, 0, 255));
        WriteBytes(dir / "asset/bump.tga", SolidTga(128, 128, 255));  // every normal straight up
        WriteBytes(dir / "asset/two.im", TwoQuadMesh());
    }
    std::string Mesh() const { return dir / "asset/two.im"; }
    std::string Asset() const { return dir / "asset"; }
    std::string ProgramFolder() const { return dir / "prog/"; }
    std::string Path(std::string_view name) const { return dir / name; }

private:
    TempDir dir;
};

// Shows the frame and waits for its context; a test cannot go on without one.
inline void ShowAndWaitForGl(TMeshView& view) {
    view.resize(480, 360);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    for (int i = 0; i < 100 && !view.GlReady(); ++i) QTest::qWait(10);
    ASSERT_TRUE(view.GlReady()) << "no compatibility-profile GL context (Xvfb with Mesa is needed)";
    static bool logged = false;
    if (!logged) {
        logged = true;
        std::cout << "GL_RENDERER: " << view.Context().RendererName() << std::endl;
    }
}

}  // namespace kelvarn::test
