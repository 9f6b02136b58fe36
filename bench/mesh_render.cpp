// Drawing a textured mesh of 100k triangles (16 objects) at 800 x 600 through the mesh renderer, each
// frame finished with glFinish, against the plainest drawing of the same arrays in the same context:
// one glDrawElements per object, textured, without blending. Goal: mode 0 (textured) within 2x of it.
// The same mesh with bump maps on every material is drawn in modes 0, 1 (wireframe) and 4 (bump
// shading); its mode 0 draws each object twice (the bump pass, then the texture), so it is shown but
// not held to the goal. Needs a display (scripts/bench runs it under Xvfb).
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_1_1>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

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

// 16 grids one behind the other, each with its own 256 x 256 diffuse texture, and with `bump` a shared
// bump map on every material.
std::string WriteMesh(const std::filesystem::path& dir, bool bump) {
    std::filesystem::create_directories(dir);
    test::MeshFileBuilder b;
    b.Info(102);
    const int quads = kTriangles / kObjects / 2;
    const int cellsX = 125, cellsY = quads / cellsX;
    for (int i = 0; i < kObjects; ++i) {
        const std::string texture = "body" + std::to_string(i) + ".tga";
        WriteFileAtomic((dir / texture).string(), Tga(256, static_cast<std::uint8_t>(40 + 12 * i), 90, 160));
        test::MeshMaterial m;
        m.Name = "body" + std::to_string(i) + (bump ? " m.tbumptex" : " m.onetex");
        m.Textures = {{1, texture, 1}};
        if (bump) m.Textures.push_back({8, "bump.tga", 1});
        test::MeshGeometry g = test::GridGeometry(cellsX, cellsY, static_cast<float>(i) * 2, 201);
        for (auto& v : g.Vertices) v.X *= 0.2f;  // about as wide as deep
        b.Object(static_cast<std::uint32_t>(i), m, g);
    }
    WriteFileAtomic((dir / "bump.tga").string(), Tga(256, 128, 128, 255));
    const std::string path = (dir / (bump ? "bumped.im" : "textured.im")).string();
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
    TMeshViewState state, bumped;
    TExtraTextures loader;
    TMessageList messages;
    for (auto [view, bump] : {std::pair{&state, false}, std::pair{&bumped, true}}) {
        view->Resize(kWidth, kHeight);
        if (!view->ShowMesh(WriteMesh(dir, bump), &loader, messages).empty()) return 1;
    }
    TMeshRenderer renderer(gl);
    QOpenGLFunctions_1_1& f = gl.Gl();

    auto draw = [&](TMeshViewState& view, int mode) {
        view.SetDisplayMode(mode);
        renderer.RenderMesh(view);
    };
    // The same arrays straight to GL: the cost of the vertices and texels alone.
    auto reference = [&] {
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
    };
    // Each kind of frame in turn, round after round, the best of each kept: a machine busy with other
    // work slows them all alike.
    const std::vector<std::pair<const char*, std::function<void()>>> kinds = {
        {"reference", reference},
        {"mode 0 (textured)", [&] { draw(state, dmTextured); }},
        {"bump-mapped mode 0 (textured)", [&] { draw(bumped, dmTextured); }},
        {"bump-mapped mode 1 (wireframe)", [&] { draw(bumped, dmWireframe); }},
        {"bump-mapped mode 4 (bumps)", [&] { draw(bumped, dmBumps); }},
    };
    std::vector<double> best(kinds.size(), 1e30);
    for (int round = 0; round < 30; ++round)
        for (std::size_t k = 0; k < kinds.size(); ++k)
            best[k] = std::min(best[k], bench::BestSeconds(
                                            [&] {
                                                kinds[k].second();
                                                f.glFinish();
                                            },
                                            1, 0));
    std::printf("mesh_render: reference (one glDrawElements per object) %.2f ms\n", best[0] * 1e3);
    for (std::size_t k = 1; k < kinds.size(); ++k)
        std::printf("mesh_render: %s %.2f ms, ratio to the reference %.2f%s\n", kinds[k].first, best[k] * 1e3,
                    best[k] / best[0], k == 1 ? " (goal <= 2)" : "");
    target.release();
    renderer.Release();
    context.doneCurrent();
    std::filesystem::remove_all(dir);
    return 0;
}
