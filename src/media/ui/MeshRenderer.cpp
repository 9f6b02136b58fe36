#include "media/ui/MeshRenderer.h"

#include <GL/glu.h>

#include <QOpenGLFunctions_1_1>
#include <algorithm>
#include <cmath>

#include "media/GlContext.h"
#include "media/NormalMaps.h"
#include "media/ui/GlContext.h"

namespace kelvarn {

namespace {

const float* Floats(const std::vector<TVector3>& v) { return v.empty() ? nullptr : v[0].data(); }
const float* Floats(const std::vector<TTexCoord>& v) { return v.empty() ? nullptr : v[0].data(); }

// The stroke letters of the markers, in units of the letter's half-height.
struct Stroke {
    float x0, y0, x1, y1;
};
constexpr Stroke kLetterX[] = {{-0.6f, -1, 0.6f, 1}, {-0.6f, 1, 0.6f, -1}};
constexpr Stroke kLetterY[] = {{-0.6f, 1, 0, 0}, {0.6f, 1, 0, 0}, {0, 0, 0, -1}};
constexpr Stroke kLetterZ[] = {{-0.6f, 1, 0.6f, 1}, {0.6f, 1, -0.6f, -1}, {-0.6f, -1, 0.6f, -1}};

// Lighting and blending off while guides and markers draw, as they were afterwards.
class PlainLines {
public:
    explicit PlainLines(QOpenGLFunctions_1_1& gl)
        : gl_(gl), lit_(gl.glIsEnabled(GL_LIGHTING)), blended_(gl.glIsEnabled(GL_BLEND)) {
        gl_.glDisable(GL_LIGHTING);
        gl_.glDisable(GL_BLEND);
    }
    ~PlainLines() {
        if (lit_) gl_.glEnable(GL_LIGHTING);
        if (blended_) gl_.glEnable(GL_BLEND);
    }
    PlainLines(const PlainLines&) = delete;
    PlainLines& operator=(const PlainLines&) = delete;

private:
    QOpenGLFunctions_1_1& gl_;
    GLboolean lit_, blended_;
};

}  // namespace

void TMeshRenderer::ClearFrame(const TMeshViewState& state) {
    gl_.SetClearColour(state.Background);
    gl_.ResizeView(state.ViewWidth, state.ViewHeight, state.FieldOfView, state.Distance,
                   ClipPlanes(state.Distance, state.SceneRadius()));
    gl_.ClearGL();
}

void TMeshRenderer::PlaceEye(const TMeshViewState& state) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    gl_.LookAt(state.PanX, state.PanY, state.Distance);
    gl.glRotatef(-90, 1, 0, 0);
    gl.glRotatef(state.Elevation, 1, 0, 0);
    gl.glRotatef(state.Azimuth, 0, 0, 1);
    const TVector3& c = state.ViewExtents.Centre;
    gl.glTranslatef(-c[0], -c[1], -c[2]);
}

void TMeshRenderer::RenderMesh(TMeshViewState& state, const TMarkerColours& colours) {
    ClearFrame(state);
    if (!state.Loaded || !state.Model || state.DisplayMode == dmSuspended) return;
    PlaceEye(state);
    switch (state.DisplayMode) {
        case dmWireframe: DrawWireframe(state); break;
        case dmTextureList: DrawTextureHighlight(state); break;
        case dmAttachmentPoints:
            DrawWireframe(state);
            DrawAttachments(state, colours);
            break;
        default: Draw(state); break;  // textured, and bumps only
    }
}

void TMeshRenderer::SetLighting(const T3DModel& model) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    // Textured models are drawn in their texture colours; others are lit.
    if (model.HasTexturedMaterial()) {
        gl.glDisable(GL_LIGHT0);
        gl.glDisable(GL_LIGHTING);
    } else {
        gl.glEnable(GL_LIGHT0);
        gl.glEnable(GL_LIGHTING);
    }
}

void TMeshRenderer::Draw(TMeshViewState& state) {
    drawn_ = 0;
    const T3DModel& model = *state.Model;
    SetLighting(model);
    // Objects with alpha after the opaque ones, so that what they let through is already there.
    for (bool alpha : {false, true})
        for (const T3DObject& o : model.Objects())
            if (o.Visible && o.AlphaFlag == alpha) DrawObject(o, state);
    state.Polycount = drawn_;
    if (state.Guides) DrawGuides(state);
}

void TMeshRenderer::DrawWireframe(TMeshViewState& state) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    drawn_ = 0;
    SetLighting(*state.Model);
    const bool lit = gl.glIsEnabled(GL_LIGHTING);
    if (lit) {
        gl.glDisable(GL_LIGHTING);
        gl.glDisable(GL_LIGHT0);
    }
    for (const T3DObject& o : state.Model->Objects())
        if (o.Visible) DrawObjectWireframe(o, state.WireGrey());
    if (lit) {
        gl.glEnable(GL_LIGHTING);
        gl.glEnable(GL_LIGHT0);
    }
    state.Polycount = drawn_;
    if (state.Guides) DrawGuides(state);
}

void TMeshRenderer::DrawTextureHighlight(TMeshViewState& state) {
    drawn_ = 0;
    SetLighting(*state.Model);
    for (const T3DObject& o : state.Model->Objects()) {
        if (!o.Visible) continue;
        if (state.IsHighlighted(o))
            DrawObject(o, state);
        else
            DrawObjectWireframe(o, state.WireGrey());
    }
    state.Polycount = drawn_;
    if (state.Guides) DrawGuides(state);
}

TMeshRenderer::ObjectArrays& TMeshRenderer::ArraysOf(const T3DObject& o) {
    ObjectArrays& a = arrays_[&o];
    const std::size_t vertices = o.Positions.size();
    if (a.Positions != o.Positions.data() || a.VertexCount != vertices) {
        // A new object (or one whose arrays moved): check once that every corner names a vertex the
        // arrays hold, so that no draw reads past them.
        a = ObjectArrays{};
        a.Positions = o.Positions.data();
        a.VertexCount = vertices;
        a.Drawable = o.Normals.size() == vertices && o.TexCoords.size() == vertices;
        for (const TTriangle& t : o.Triangles)
            if (t[0] >= vertices || t[1] >= vertices || t[2] >= vertices) a.Drawable = false;
    }
    return a;
}

void TMeshRenderer::PushTransforms(const TTransformList& transforms) {
    if (!transforms.Active) return;
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    gl.glPushMatrix();
    for (const TTransform& t : transforms.Items) {
        if (!t.Enabled) continue;
        switch (t.Type) {
            case TTransform::Rotate: gl.glRotatef(t.Angle, t.X, t.Y, t.Z); break;
            case TTransform::Translate: gl.glTranslatef(t.X, t.Y, t.Z); break;
            case TTransform::Scale: gl.glScalef(t.X, t.Y, t.Z); break;
        }
    }
}

// One push holds every transform of the list, so one pop undoes them all.
void TMeshRenderer::PopTransforms(const TTransformList& transforms) {
    if (transforms.Active) gl_.Gl().glPopMatrix();
}

void TMeshRenderer::ApplyMaterial(const TMaterial& m) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    gl.glMaterialfv(GL_FRONT, GL_AMBIENT, m.Ambient.data());
    gl.glMaterialfv(GL_FRONT, GL_DIFFUSE, m.Diffuse.data());
    gl.glMaterialfv(GL_FRONT, GL_SPECULAR, m.Specular.data());
    gl.glMaterialfv(GL_FRONT, GL_EMISSION, m.Emission.data());
    // GL takes shininess from 0 to 128 only; a file's value outside would be dropped with an error.
    const float shininess = std::isfinite(m.Shininess) ? std::clamp(m.Shininess, 0.0f, 128.0f) : 0.0f;
    gl.glMaterialf(GL_FRONT, GL_SHININESS, shininess);
    for (const auto& [on, coordinate, capability] :
         {std::tuple{m.TexGenT, GL_T, GL_TEXTURE_GEN_T}, std::tuple{m.TexGenS, GL_S, GL_TEXTURE_GEN_S}}) {
        if (on) {
            gl.glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
            gl.glEnable(capability);
        } else {
            gl.glDisable(capability);
        }
    }
}

void TMeshRenderer::SetCulling(const TMaterial& material) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    if (material.Sides == 1)
        gl.glDisable(GL_CULL_FACE);
    else
        gl.glEnable(GL_CULL_FACE);
}

void TMeshRenderer::DrawTriangles(const T3DObject& o) {
    const GLenum primitive = o.DrawMode == T3DObject::dmLines    ? GL_LINES
                             : o.DrawMode == T3DObject::dmPoints ? GL_POINTS
                                                                 : GL_TRIANGLES;
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    gl.glVertexPointer(3, GL_FLOAT, 0, Floats(o.Positions));
    gl.glDrawElements(primitive, static_cast<GLsizei>(o.Triangles.size() * 3), GL_UNSIGNED_INT, o.Triangles.data());
}

void TMeshRenderer::DrawObject(const T3DObject& o, const TMeshViewState& state) {
    if (!ArraysOf(o).Drawable) return;
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    const TMaterial& m = o.Material;
    PushTransforms(o.Transforms);
    ApplyMaterial(m);
    gl.glPushName(static_cast<GLuint>(o.PickIndex));
    drawn_ += static_cast<int>(o.Triangles.size());
    gl.glEnableClientState(GL_VERTEX_ARRAY);

    bool bumped = false;
    if (m.BumpTexture && gl_.BumpFlag()) {
        if (const GLuint bump = CreateTexture(m.BumpTexture)) {
            BumpPass(o, state, bump);
            bumped = true;
        }
    }
    if (!state.BumpOnlyFlag) BasePass(o, bumped);
    if (m.ReflectionTexture)
        if (const GLuint reflection = CreateTexture(m.ReflectionTexture)) ReflectionPass(o, reflection);

    gl.glDisableClientState(GL_VERTEX_ARRAY);
    gl.glPopName();
    PopTransforms(o.Transforms);
}

void TMeshRenderer::BumpPass(const T3DObject& o, const TMeshViewState& state, GLuint bump) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    ObjectArrays& a = ArraysOf(o);
    if (a.LightVectors.size() != o.Positions.size()) {
        a.LightVectors.resize(o.Positions.size());
        for (std::size_t i = 0; i < o.Positions.size(); ++i) {
            a.LightVectors[i] = SubtractVectors(kLightPosition, o.Positions[i]);
            NormaliseVector(a.LightVectors[i]);
        }
    }
    const GLuint cube = CubeMap();
    // Unit 0 turns the light direction into a colour through the cube map; unit 1 takes its dot
    // product with the bump texture's normals.
    auto combine = [&](GLenum unit, GLenum target, GLuint texture, GLenum rgb, GLenum source0, GLenum source1) {
        gl_.glActiveTextureARB(unit);
        gl.glEnable(target);
        gl.glBindTexture(target, texture);
        gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
        gl.glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, rgb);
        gl.glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, source0);
        gl.glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, source1);
    };
    combine(GL_TEXTURE0_ARB, GL_TEXTURE_CUBE_MAP_ARB, cube, GL_REPLACE, GL_TEXTURE, GL_PREVIOUS_ARB);
    combine(GL_TEXTURE1_ARB, GL_TEXTURE_2D, bump, GL_DOT3_RGB_ARB, GL_PREVIOUS_ARB, GL_TEXTURE);
    gl.glColor4f(1, 1, 1, state.BumpOnlyFlag ? 1.0f : 0.25f);
    gl.glEnable(GL_BLEND);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    SetCulling(o.Material);

    gl_.glClientActiveTextureARB(GL_TEXTURE0_ARB);
    gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.glTexCoordPointer(3, GL_FLOAT, 0, Floats(a.LightVectors));
    gl_.glClientActiveTextureARB(GL_TEXTURE1_ARB);
    gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.glTexCoordPointer(2, GL_FLOAT, 0, Floats(o.TexCoords));
    DrawTriangles(o);
    gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    gl_.glClientActiveTextureARB(GL_TEXTURE0_ARB);
    gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);

    gl.glDisable(GL_CULL_FACE);
    gl.glDisable(GL_TEXTURE_2D);  // unit 1
    gl_.glActiveTextureARB(GL_TEXTURE0_ARB);
    gl.glDisable(GL_TEXTURE_CUBE_MAP_ARB);
}

void TMeshRenderer::BasePass(const T3DObject& o, bool afterBump) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    const TMaterial& m = o.Material;
    if (afterBump) {
        // Three quarters of the texture added to the quarter of bump shading already there.
        gl.glColor4f(1, 1, 1, 0.75f);
        gl.glEnable(GL_BLEND);
        gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    } else {
        gl.glColor4f(1, 1, 1, 1);
        gl.glEnable(GL_BLEND);
        gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const GLuint diffuse = m.DiffuseTexture ? CreateTexture(m.DiffuseTexture) : 0;
    if (diffuse) {
        gl.glBindTexture(GL_TEXTURE_2D, diffuse);
        gl.glEnable(GL_TEXTURE_2D);
    }
    SetCulling(m);
    // The normals shape the colour only under lighting or sphere mapping; unlit they would be
    // handed over for nothing, and they are a large part of what a frame sends.
    const bool normals = gl.glIsEnabled(GL_LIGHTING) || m.TexGenS || m.TexGenT;
    if (normals) {
        gl.glEnableClientState(GL_NORMAL_ARRAY);
        gl.glNormalPointer(GL_FLOAT, 0, Floats(o.Normals));
    }
    if (diffuse) {
        gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        gl.glTexCoordPointer(2, GL_FLOAT, 0, Floats(o.TexCoords));
    } else {
        gl.glColor3f(m.Diffuse[0], m.Diffuse[1], m.Diffuse[2]);
    }
    DrawTriangles(o);
    gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.glDisableClientState(GL_NORMAL_ARRAY);
    gl.glDisable(GL_CULL_FACE);
    gl.glDisable(GL_TEXTURE_2D);
}

void TMeshRenderer::ReflectionPass(const T3DObject& o, GLuint reflection) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    ObjectArrays& a = ArraysOf(o);
    if (a.Reflection.size() != o.Normals.size()) {
        a.Reflection.resize(o.Normals.size());
        for (std::size_t i = 0; i < o.Normals.size(); ++i) {
            const TVector3 d = SubtractVectors(kLightPosition, o.Normals[i]);
            a.Reflection[i] = {d[0], d[1]};
        }
    }
    gl.glBindTexture(GL_TEXTURE_2D, reflection);
    gl.glEnable(GL_TEXTURE_2D);
    gl.glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    gl.glEnable(GL_TEXTURE_GEN_S);
    const float r = o.Material.ReflectionAmount;
    const float alpha = r / (1 + r);
    gl.glColor4f(1, 1, 1, std::isfinite(alpha) ? alpha : 0.0f);
    gl.glEnable(GL_BLEND);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    SetCulling(o.Material);
    // The sphere map is made from the normals.
    gl.glEnableClientState(GL_NORMAL_ARRAY);
    gl.glNormalPointer(GL_FLOAT, 0, Floats(o.Normals));
    gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.glTexCoordPointer(2, GL_FLOAT, 0, Floats(a.Reflection));
    DrawTriangles(o);
    gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.glDisableClientState(GL_NORMAL_ARRAY);
    gl.glDisable(GL_CULL_FACE);
    gl.glDisable(GL_TEXTURE_2D);
    gl.glDisable(GL_TEXTURE_GEN_S);
}

void TMeshRenderer::DrawObjectWireframe(const T3DObject& o, float grey) {
    ObjectArrays& a = ArraysOf(o);
    if (!a.Drawable) return;
    if (a.Lines.size() != o.Triangles.size() * 6) {
        a.Lines.clear();
        a.Lines.reserve(o.Triangles.size() * 6);
        for (const TTriangle& t : o.Triangles) a.Lines.insert(a.Lines.end(), {t[0], t[1], t[1], t[2], t[2], t[0]});
    }
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    gl.glDisable(GL_BLEND);
    PushTransforms(o.Transforms);
    ApplyMaterial(o.Material);
    gl.glPushName(static_cast<GLuint>(o.PickIndex));
    drawn_ += static_cast<int>(o.Triangles.size());
    gl.glColor3f(grey, grey, grey);
    gl.glEnableClientState(GL_VERTEX_ARRAY);
    gl.glVertexPointer(3, GL_FLOAT, 0, Floats(o.Positions));
    gl.glDrawElements(GL_LINES, static_cast<GLsizei>(a.Lines.size()), GL_UNSIGNED_INT, a.Lines.data());
    gl.glDisableClientState(GL_VERTEX_ARRAY);
    gl.glDisable(GL_CULL_FACE);
    gl.glPopName();
    PopTransforms(o.Transforms);
}

void TMeshRenderer::DrawGuides(const TMeshViewState& state) {
    DrawBoundingBox(state);
    DrawAxes();
}

void TMeshRenderer::DrawBoundingBox(const TMeshViewState& state) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    PlainLines plain(gl);
    gl.glEnable(GL_LINE_STIPPLE);
    gl.glLineStipple(1, 0x8888);
    const TVector3 colour = state.GuideColour();
    gl.glColor3f(colour[0], colour[1], colour[2]);
    const TVector3& lo = state.ViewExtents.Min;
    const TVector3& hi = state.ViewExtents.Max;
    auto corner = [&](int i) { return TVector3{i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1], i & 4 ? hi[2] : lo[2]}; };
    gl.glBegin(GL_LINES);
    // The twelve edges join corners that differ in one coordinate.
    for (int i = 0; i < 8; ++i)
        for (int bit : {1, 2, 4})
            if (!(i & bit)) {
                const TVector3 a = corner(i), b = corner(i | bit);
                gl.glVertex3f(a[0], a[1], a[2]);
                gl.glVertex3f(b[0], b[1], b[2]);
            }
    gl.glEnd();
    gl.glDisable(GL_LINE_STIPPLE);
}

void TMeshRenderer::DrawAxes() {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    PlainLines plain(gl);
    gl.glBegin(GL_LINES);
    for (int axis = 0; axis < 3; ++axis) {
        TVector3 end{0, 0, 0};
        end[axis] = kAxisLength;
        gl.glColor3f(axis == 0, axis == 1, axis == 2);
        gl.glVertex3f(0, 0, 0);
        gl.glVertex3f(end[0], end[1], end[2]);
    }
    gl.glEnd();
}

void TMeshRenderer::DrawAttachments(const TMeshViewState& state, const TMarkerColours& colours) {
    if (!state.Model) return;
    const auto& points = state.Model->Attachments();
    const TMarkerSizes sizes = state.MarkerSizes();
    for (int i : state.MarkedPoints())
        DrawMarker(points[static_cast<std::size_t>(i)], sizes,
                   i == state.SelectedPoint ? colours.SelectedPoint : colours.Point);
}

void TMeshRenderer::DrawMarker(const TAttachmentPoint& p, const TMarkerSizes& s, TColor colour) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    PlainLines plain(gl);
    gl.glColor3ub(static_cast<GLubyte>(colour & 0xFF), static_cast<GLubyte>((colour >> 8) & 0xFF),
                  static_cast<GLubyte>((colour >> 16) & 0xFF));
    gl.glPushMatrix();
    gl.glTranslatef(p.X, p.Y, p.Z);
    gl.glRotatef(-p.AngleZ, 0, 0, 1);
    gl.glRotatef(-p.AngleY, 0, 1, 0);
    gl.glRotatef(-p.AngleX, 1, 0, 0);
    for (int axis = 0; axis < 3; ++axis) {
        // Along `axis`, with the other two axes as the head's sides.
        auto at = [axis](float along, float side1, float side2) {
            TVector3 v{};
            v[axis] = along;
            v[(axis + 1) % 3] = side1;
            v[(axis + 2) % 3] = side2;
            return v;
        };
        auto vertex = [&gl](const TVector3& v) { gl.glVertex3f(v[0], v[1], v[2]); };
        gl.glBegin(GL_LINES);
        vertex(at(0, 0, 0));
        vertex(at(s.Arrow, 0, 0));
        gl.glEnd();
        const float w = s.HeadHalfWidth;
        const TVector3 base[4] = {at(s.HeadBase, -w, -w), at(s.HeadBase, w, -w), at(s.HeadBase, w, w),
                                  at(s.HeadBase, -w, w)};
        gl.glBegin(GL_TRIANGLES);
        for (int k = 0; k < 4; ++k) {
            vertex(at(s.Arrow, 0, 0));
            vertex(base[k]);
            vertex(base[(k + 1) % 4]);
        }
        gl.glEnd();
    }
    gl.glLineWidth(2);
    for (int axis = 0; axis < 3; ++axis) {
        TVector3 where{0, 0, 0};
        where[axis] = s.LetterOffset;
        DrawLetter("XYZ"[axis], where, s.LetterHalfHeight);
    }
    gl.glLineWidth(1);
    gl.glPopMatrix();
}

void TMeshRenderer::DrawLetter(char letter, const TVector3& at, float h) {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    gl.glPushMatrix();
    gl.glTranslatef(at[0], at[1], at[2]);
    ClearModelViewRotation();  // the letter faces the viewer however the point is turned
    const Stroke* first = letter == 'X' ? kLetterX : letter == 'Y' ? kLetterY : kLetterZ;
    const std::size_t count = letter == 'X' ? std::size(kLetterX) : letter == 'Y' ? std::size(kLetterY) : std::size(kLetterZ);
    gl.glBegin(GL_LINES);
    for (std::size_t i = 0; i < count; ++i) {
        gl.glVertex3f(first[i].x0 * h, first[i].y0 * h, 0);
        gl.glVertex3f(first[i].x1 * h, first[i].y1 * h, 0);
    }
    gl.glEnd();
    gl.glPopMatrix();
}

void TMeshRenderer::ClearModelViewRotation() {
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    GLfloat m[16];
    gl.glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) m[column * 4 + row] = column == row ? 1.0f : 0.0f;
    gl.glLoadMatrixf(m);
}

GLuint TMeshRenderer::CreateTexture(const std::shared_ptr<const TPreparedTexture>& texture) {
    if (!texture) return 0;
    if (const auto known = textures_.find(texture); known != textures_.end()) return known->second;
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    GLuint name = 0;
    const std::size_t stride = texture->HasAlpha ? 4 : 3;
    const std::size_t bytes =
        static_cast<std::size_t>(std::max(texture->Width, 0)) * static_cast<std::size_t>(std::max(texture->Height, 0)) * stride;
    GLint maxSize = 0;
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    // The mipmap builder scales a picture down to what GL takes; a single level cannot be.
    const bool fits = texture->HasAlpha || (texture->Width <= maxSize && texture->Height <= maxSize);
    if (bytes > 0 && texture->Pixels.size() == bytes && fits) {
        gl.glGenTextures(1, &name);
        gl.glBindTexture(GL_TEXTURE_2D, name);
        gl.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        if (texture->HasAlpha)
            gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, texture->Width, texture->Height, GL_RGBA, GL_UNSIGNED_BYTE,
                              texture->Pixels.data());
        else
            gl.glTexImage2D(GL_TEXTURE_2D, 0, 3, texture->Width, texture->Height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                            texture->Pixels.data());
    }
    textures_.emplace(texture, name);  // 0 too: a texture that cannot be made is not tried every frame
    return name;
}

GLuint TMeshRenderer::CubeMap() {
    if (cubeMap_) return cubeMap_;
    QOpenGLFunctions_1_1& gl = gl_.Gl();
    gl.glGenTextures(1, &cubeMap_);
    gl.glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMap_);
    const auto faces = GenerateNormalisationCubeMap();
    for (std::size_t face = 0; face < faces.size(); ++face)
        gl.glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face), 0, GL_RGB8, kCubeMapSize,
                        kCubeMapSize, 0, GL_RGB, GL_UNSIGNED_BYTE, faces[face].data());
    gl.glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl.glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    return cubeMap_;
}

void TMeshRenderer::ForgetModel() {
    if (gl_.Valid())
        for (const auto& [texture, name] : textures_)
            if (name) gl_.Gl().glDeleteTextures(1, &name);
    textures_.clear();
    arrays_.clear();
}

void TMeshRenderer::Release() {
    ForgetModel();
    if (cubeMap_ && gl_.Valid()) gl_.Gl().glDeleteTextures(1, &cubeMap_);
    cubeMap_ = 0;
}

}  // namespace kelvarn
