// The mesh view's GL ground on Qt: the program's default surface format, the check that a context can
// draw with the fixed-function pipeline, the fixed state, the projection and the eye, and the
// extension text with the multitexture entry points the bump pass needs. It draws into whatever
// context is current: the view's widget, the thumbnail's framebuffer, a test's.
#pragma once

#include <qopengl.h>

#include <string>
#include <string_view>

#include "media/GlContext.h"
#include "shell/Strings.h"

class QOpenGLContext;
class QOpenGLFunctions_1_1;

namespace kelvarn {

class IMessageSink;

// Compatibility profile 2.1, double buffer, depth 24. Must be set before the QApplication exists, so
// that every GL widget and context of the program gets it.
void SetDefaultSurfaceFormat();

// Can this desktop give the program a context that draws with the fixed-function calls? Asked once;
// a GL widget on a desktop without one would fail in Qt's own painting.
bool OpenGLAvailable();

inline constexpr std::string_view kPixelFormatError = "Error setting pixel format.";
inline constexpr std::string_view kPixelFormatCaption = "SetPixelFormat";

class TGlContext {
public:
    using ActiveTextureProc = void(QOPENGLF_APIENTRYP)(GLenum texture);

    // Takes the current context. A context that is not valid desktop GL with the fixed-function calls
    // (a core profile, GLES) shows "Error setting pixel format." and gives false; nothing is drawn then.
    bool CreateContext(QOpenGLContext* context, IMessageSink& messages);
    bool Valid() const { return gl_ != nullptr; }
    QOpenGLFunctions_1_1& Gl() const { return *gl_; }

    // Clear colour from the background, smooth shading, depth and alpha tests, rows unpacked byte by
    // byte, and the extensions.
    void InitGL(TColor background);
    void SetClearColour(TColor background);
    // Viewport, perspective projection for the view's aspect between the planes, and the eye at
    // (0, 0, distance).
    void ResizeView(int width, int height, float fieldOfView, float distance, TClipPlanes planes);
    // The eye at (x, y, distance) looking down -z.
    void LookAt(float x, float y, float distance);
    void ClearGL();
    // Forgets the context; the renderer has freed its names before.
    void ReleaseContext();

    // GL's extension text (there are no window-system extensions to add here).
    const std::string& ExtensionText() const { return extensions_; }
    bool BumpFlag() const { return bump_; }
    std::string RendererName() const;
    // An entry point by name, from the context.
    void* GetGlProc(const char* name) const;

    ActiveTextureProc glActiveTextureARB = nullptr;
    ActiveTextureProc glClientActiveTextureARB = nullptr;

private:
    void SetUpExtensions();

    QOpenGLContext* context_ = nullptr;
    QOpenGLFunctions_1_1* gl_ = nullptr;
    std::string extensions_;
    bool bump_ = false;
};

}  // namespace kelvarn
