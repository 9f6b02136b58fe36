// Drawing a textured, bump-mapped mesh of 100k triangles (16 objects) at 800 x 600 through the mesh
// renderer in modes 0 (textured), 1 (wireframe) and 4 (bump shading), each frame finished with
// glFinish, against the plainest drawing of the same arrays in the same context: one glDrawElements per
// object, textured, without blending. Goal: mode 0 within 2x of it. Needs a display (scripts/bench
// runs it under Xvfb).
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_1_1>
#include <cstdio>
#include <filesystem>

#include "MediaBenchSupport.h"
#include "media/ExtraTextures.h"
#include "media/MeshViewState.h"
#include "media/TgaCodec.h"
#include "media/ui/GlContext.h"
#include "media/ui/MeshRenderer.h"
#include "shell/Files.h"
#include "shell/MessageSink.h"
#include "support/MeshFileBuilder.h"

namespace {

using namespace kelvarn;

constexpr int kWidth = 800, kHeight = 600;
constexpr int kObjects = 16, kTriangles = 100'000;

std::string Tga(int size, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    RawImage raw;
    raw.Allocate(size, size, 3);
    for (std::size_t i = 0; i < raw.Pixels.size(); i += 3) {
        const std::size_t pixel = i / 3;
        const bool check = ((pixel % static_cast<std::size_t>(size)) / 16 + pixel / static_cast<std::size_t>(size) / 16) % 2;
        raw.Pixels[i] = check ? r : static_cast<std::uint8_t>(r / 2);
        raw.Pixels[i + 1] = g;
        raw.Pixels[i + 2] = b;
    }
    return EncodeTga(raw);
}

// 16 grids side by side in depth, each with its own 256 x 256 diffuse texture and a shared bump map.
std::string WriteMesh(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    test::MeshFileBuilder b;
    b.Info(102);
    const int quads = kTriangles / kObjects / 2;
    const int cellsX = 125, cellsY = quads / cellsX;
    for (int i = 0; i < kObjects; ++i) {
        const std::string texture = "body" + std::to_string(i) + ".tga";
        WriteFileAtomic((dir / texture).string(), Tga(256, static_cast<std::uint8_t>(40 + 12 * i), 90, 160));
        test::MeshMaterial m;
        m.Name = "body" + std::to_string(i) + " m.tbumptex";
        m.Textures = {{1, texture, 1}, {8, "bump.tga", 1}};
        test::MeshGeometry g = test::GridGeometry(cellsX, cellsY, static_cast<float>(i) * 2, 201);
        for (auto& v : g.Vertices) v.X *= 0.2f;  // about as wide as deep
        b.Object(static_cast<std::uint32_t>(i), m, g);
    }
    WriteFileAtomic((dir / "bump.tga").string(), Tga(256, 128, 128, 255));
    const std::string path = (dir / "render.im").string();
    WriteFileAtomic(path, b.Bytes());
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    SetDefaultSurfaceFormat();
    QGuiApplication app(argc, argv);
    QOpenGLContext context;
    QOffscreenSurface surface;
    if (!context.create()) {
        std::fprintf(stderr, "mesh_render: no GL context (run under xvfb-run)\n");
        return 1;
    }
    surface.setFormat(context.format());
    surface.create();
    if (!context.makeCurrent(&surface)) return 1;
    SilentMessageSink silent;
    TGlContext gl;
    if (!gl.CreateContext(&context, silent)) {
        std::fprintf(stderr, "mesh_render: the context has no fixed-function calls\n");
        return 1;
    }
    gl.InitGL(0x808080);
    std::printf("mesh_render: GL_RENDERER %s, bump flag %d\n", gl.RendererName().c_str(), gl.BumpFlag() ? 1 : 0);
    QOpenGLFramebufferObject target(kWidth, kHeight, QOpenGLFramebufferObject::Depth);
    target.bind();

    const auto dir = std::filesystem::temp_directory_path() / "kelvarn-bench-render";
    TMeshViewState state;
    state.Resize(kWidth, kHeight);
    TExtraTextures loader;
    TMessageList messages;
    if (!state.ShowMesh(WriteMesh(dir), &loader, messages).empty()) return 1;
    TMeshRenderer renderer(gl);
    QOpenGLFunctions_1_1& f = gl.Gl();

    auto frame = [&](int mode) {
        state.SetDisplayMode(mode);
        return bench::BestSeconds([&] {
            renderer.RenderMesh(state);
            f.glFinish();
        });
    };
    // The same arrays straight to GL: the cost of the vertices and texels alone.
    const double reference = bench::BestSeconds([&] {
        renderer.ClearFrame(state);
        renderer.PlaceEye(state);
        f.glDisable(GL_BLEND);
        f.glDisable(GL_LIGHTING);
        f.glColor4f(1, 1, 1, 1);
        f.glEnable(GL_TEXTURE_2D);
        f.glEnableClientState(GL_VERTEX_ARRAY);
        f.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        for (const T3DObject& o : state.Model->Objects()) {
            f.glBindTexture(GL_TEXTURE_2D, renderer.CreateTexture(o.Material.DiffuseTexture));
            f.glVertexPointer(3, GL_FLOAT, 0, o.Positions.data());
            f.glTexCoordPointer(2, GL_FLOAT, 0, o.TexCoords.data());
            f.glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(o.Triangles.size() * 3), GL_UNSIGNED_INT,
                             o.Triangles.data());
        }
        f.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        f.glDisableClientState(GL_VERTEX_ARRAY);
        f.glDisable(GL_TEXTURE_2D);
        f.glFinish();
    });
    std::printf("mesh_render: reference (one glDrawElements per object) %.2f ms\n", reference * 1e3);
    for (const auto& [mode, name] : {std::pair{dmTextured, "textured"}, std::pair{dmWireframe, "wireframe"},
                                      std::pair{dmBumps, "bumps"}}) {
        const double s = frame(mode);
        std::printf("mesh_render: mode %d (%s) %.2f ms for %d triangles, ratio to the reference %.2f%s\n", mode, name,
                    s * 1e3, state.Polycount, s / reference, mode == dmTextured ? " (goal <= 2)" : "");
    }
    target.release();
    renderer.Release();
    context.doneCurrent();
    std::filesystem::remove_all(dir);
    return 0;
}
