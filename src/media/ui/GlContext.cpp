#include "media/ui/GlContext.h"

#include <GL/glu.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QSurfaceFormat>

#include "media/GlContext.h"
#include "media/NormalMaps.h"
#include "shell/MessageSink.h"

namespace kelvarn {

void SetDefaultSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}

namespace {

// The fixed-function calls of the current context, or null when it has none (GLES, a core profile).
QOpenGLFunctions_1_1* FixedFunctions(QOpenGLContext* context) {
    const bool usable = context && context->isValid() && !context->isOpenGLES() &&
                        context->format().profile() != QSurfaceFormat::CoreProfile;
    QOpenGLFunctions_1_1* gl = usable ? QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(context) : nullptr;
    return gl && gl->initializeOpenGLFunctions() ? gl : nullptr;
}

}  // namespace

bool OpenGLAvailable() {
    static const bool available = [] {
        QOpenGLContext context;
        if (!context.create()) return false;
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        if (!surface.isValid() || !context.makeCurrent(&surface)) return false;
        const bool fixed = FixedFunctions(&context) != nullptr;
        context.doneCurrent();
        return fixed;
    }();
    return available;
}

bool TGlContext::CreateContext(QOpenGLContext* context, IMessageSink& messages) {
    gl_ = nullptr;
    context_ = nullptr;
    QOpenGLFunctions_1_1* gl = FixedFunctions(context);
    if (!gl) {
        messages.ShowMessage(kPixelFormatError, kPixelFormatCaption, MessageKind::Error);
        return false;
    }
    context_ = context;
    gl_ = gl;
    return true;
}

void TGlContext::InitGL(TColor background) {
    QOpenGLFunctions_1_1& gl = Gl();
    SetClearColour(background);
    gl.glShadeModel(GL_SMOOTH);
    gl.glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    gl.glClearDepth(1.0);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(GL_LEQUAL);
    gl.glEnable(GL_ALPHA_TEST);
    gl.glAlphaFunc(GL_GREATER, 0.1f);
    // Texture rows are tightly packed: an RGB row whose width x 3 is no multiple of 4 would skew.
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    SetUpExtensions();
}

void TGlContext::SetClearColour(TColor background) {
    const auto c = ClearColour(background);
    Gl().glClearColor(c[0], c[1], c[2], c[3]);
}

void TGlContext::ResizeView(int width, int height, float fieldOfView, float distance, TClipPlanes planes) {
    QOpenGLFunctions_1_1& gl = Gl();
    gl.glViewport(0, 0, width, height);
    gl.glMatrixMode(GL_PROJECTION);
    gl.glLoadIdentity();
    gluPerspective(fieldOfView, ViewAspect(width, height), planes.Near, planes.Far);
    LookAt(0, 0, distance);
}

void TGlContext::LookAt(float x, float y, float distance) {
    QOpenGLFunctions_1_1& gl = Gl();
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glLoadIdentity();
    gluLookAt(x, y, distance, x, y, 0, 0, 1, 0);
}

void TGlContext::ClearGL() { Gl().glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

void TGlContext::ReleaseContext() {
    gl_ = nullptr;
    context_ = nullptr;
    glActiveTextureARB = glClientActiveTextureARB = nullptr;
    bump_ = false;
}

std::string TGlContext::RendererName() const {
    const GLubyte* name = Valid() ? Gl().glGetString(GL_RENDERER) : nullptr;
    return name ? reinterpret_cast<const char*>(name) : std::string();
}

void* TGlContext::GetGlProc(const char* name) const {
    return context_ ? reinterpret_cast<void*>(context_->getProcAddress(name)) : nullptr;
}

void TGlContext::SetUpExtensions() {
    const GLubyte* text = Gl().glGetString(GL_EXTENSIONS);
    extensions_ = text ? reinterpret_cast<const char*>(text) : "";
    glActiveTextureARB = glClientActiveTextureARB = nullptr;
    bump_ = false;
    if (extensions_.find("GL_ARB_multitexture") == std::string::npos) return;
    glActiveTextureARB = reinterpret_cast<ActiveTextureProc>(GetGlProc("glActiveTextureARB"));
    glClientActiveTextureARB = reinterpret_cast<ActiveTextureProc>(GetGlProc("glClientActiveTextureARB"));
    // Without the entry points the bump pass cannot bind its second unit.
    bump_ = BumpMapSupport(extensions_) && glActiveTextureARB && glClientActiveTextureARB;
}

}  // namespace kelvarn
