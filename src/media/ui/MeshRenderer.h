// The one mesh renderer: it draws a mesh view's state (the model, the display mode, the camera, the
// guides and the attachment markers) into whatever GL context is current. The mesh view's widget, the
// thumbnail's framebuffer, the tests and the benchmark all draw through it.
#pragma once

#include <qopengl.h>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "media/MeshViewState.h"
#include "shell/Strings.h"

namespace kelvarn {

class TGlContext;

// The marker colours (the background halves of the scheme colours 6 and 7).
struct TMarkerColours {
    TColor Point = 0x00FF00;
    TColor SelectedPoint = 0x00FFFF;
};

class TMeshRenderer {
public:
    explicit TMeshRenderer(TGlContext& context) : gl_(context) {}
    TMeshRenderer(const TMeshRenderer&) = delete;
    TMeshRenderer& operator=(const TMeshRenderer&) = delete;

    // One frame: clear, place the eye and turn the model, then the display mode's picture. A view
    // that is not loaded, or is suspended, shows the background only.
    void RenderMesh(TMeshViewState& state, const TMarkerColours& colours = {});
    // The first two steps of a frame: the background cleared and the projection set for the view's
    // size; then the eye placed and the model turned as the camera says.
    void ClearFrame(const TMeshViewState& state);
    void PlaceEye(const TMeshViewState& state);

    // The pictures of the display modes (the eye already placed). Each sets the state's polycount to
    // the triangles it drew.
    void Draw(TMeshViewState& state);
    void DrawWireframe(TMeshViewState& state);
    void DrawTextureHighlight(TMeshViewState& state);
    void DrawAttachments(const TMeshViewState& state, const TMarkerColours& colours);
    // The bounding box of the view extents (stippled) and the three axes.
    void DrawGuides(const TMeshViewState& state);

    // A texture's GL name, made on first use with this context. RGBA textures get every mipmap level;
    // RGB ones level 0. 0 when the texture cannot be made (larger than the GL takes).
    GLuint CreateTexture(const std::shared_ptr<const TPreparedTexture>& texture);
    // The normalisation cube map, made and uploaded once per context.
    GLuint CubeMap();

    // Drops the names and arrays made for the shown model (before another model replaces it).
    void ForgetModel();
    // Drops everything this renderer made in the context (before the context goes).
    void Release();

private:
    struct ObjectArrays {
        const TVector3* Positions = nullptr;  // the arrays these were made for
        std::size_t VertexCount = 0;
        bool Drawable = false;               // every corner names a vertex; per-vertex arrays complete
        std::vector<GLuint> Lines;           // each triangle as a-b, b-c, c-a
        std::vector<TVector3> LightVectors;  // per vertex: the unit vector to the light
        std::vector<TTexCoord> Reflection;   // per vertex: x and y of the light minus the normal
    };

    void DrawObject(const T3DObject& object, const TMeshViewState& state);
    void DrawObjectWireframe(const T3DObject& object, float grey);
    void BumpPass(const T3DObject& object, const TMeshViewState& state, GLuint bump);
    void BasePass(const T3DObject& object, bool afterBump);
    void ReflectionPass(const T3DObject& object, GLuint reflection);
    void DrawTriangles(const T3DObject& object);
    void SetCulling(const TMaterial& material);
    void ApplyMaterial(const TMaterial& material);
    void PushTransforms(const TTransformList& transforms);
    void PopTransforms(const TTransformList& transforms);
    void SetLighting(const T3DModel& model);
    void DrawBoundingBox(const TMeshViewState& state);
    void DrawAxes();
    void DrawMarker(const TAttachmentPoint& point, const TMarkerSizes& sizes, TColor colour);
    void DrawLetter(char letter, const TVector3& at, float halfHeight);
    void ClearModelViewRotation();
    ObjectArrays& ArraysOf(const T3DObject& object);

    TGlContext& gl_;
    int drawn_ = 0;  // triangles drawn in this frame
    GLuint cubeMap_ = 0;
    std::map<std::shared_ptr<const TPreparedTexture>, GLuint> textures_;
    std::unordered_map<const T3DObject*, ObjectArrays> arrays_;
};

}  // namespace kelvarn
