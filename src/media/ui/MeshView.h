// TMeshView: the frame that shows an indexed mesh (".im", ".pm") in 3D: textured, as a wireframe,
// with one texture highlighted, with its attachment points, or as bump shading only. The camera, the
// modes and the settings live in the core view state; the GL widget forwards input to it and draws it
// through the renderer. The buttons send their numbers to the main window, whose rows call back here.
#pragma once

#include <QOpenGLWidget>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "media/ExtraTextures.h"
#include "media/MeshViewState.h"
#include "media/ThumbnailWindow.h"
#include "media/ui/GlContext.h"
#include "media/ui/MeshRenderer.h"
#include "shell/ui/FramePanel.h"

class QToolButton;

namespace kelvarn {

class TMeshView;
class TProgramState;
class TSelector;

// The drawing surface (MeshImage): GL set-up, painting and input, nothing of its own.
class TMeshGlWidget final : public QOpenGLWidget {
public:
    TMeshGlWidget(TMeshView& owner, QWidget* parent);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TMeshView& owner_;
};

class TMeshView final : public TViewerFrame<IViewerFrame> {
public:
    explicit TMeshView(TProgramState& state, QWidget* parent = nullptr);
    ~TMeshView() override;

    // IFrame / IViewerFrame
    void Init(ICommandBus* target) override;
    void Close() override;
    QWidget* MainControl() override;
    std::string ShownFile() const override { return view_.FileName; }
    std::string LoadFile(const std::string& path, int mode) override;

    // Shows a file (a suspended view first returns to its mode); the alert says when it cannot.
    void ShowMesh(const std::string& fileName);
    // A file refused before it reached the view: the mesh shown before goes, the alert says why.
    void ClearMesh(const std::string& reason);

    // What the main window's rows call.
    void ImageInfoClick();
    // 2654 (bump shading) and 2692 (the selector's "Show All").
    void MeshButtonAction(int tag);
    void ColourClick();
    void Screenshot();
    // By the number of a preset button (2657-2662, and the selector's 2666).
    void PresetViewClick(int tag);
    bool GuidesShown() const { return view_.Guides; }
    void AdjustPointSize(int size);
    void AdjustLineWeight(int position);
    void RenderPoints(const std::string& name);
    void RenderTexture(const std::string& name);
    // Group 2600's one rule: bump shading is offered when the mesh has a bump texture and the GL can.
    void UpdateMenuState();

    void SetSelector(TSelector* selector) { selector_ = selector; }
    // The colour dialog: a colour from the start colour, or none when cancelled.
    std::function<std::optional<TColor>(const std::string& caption, TColor start)> PickColour;
    void SetThumbnailWindow(IThumbnailWindow* window) { thumbnails_ = window; }

    // The view drawn into a framebuffer of that size (rows from the top, 24-bit); empty when there is
    // no usable context.
    Image32 RenderToImage(int width, int height);

    TMeshViewState& ViewState() { return view_; }
    const TGlContext& Context() const { return context_; }
    TMeshRenderer& Renderer() { return renderer_; }
    bool GlReady() const { return glReady_; }
    TMeshGlWidget* MeshImage() const { return image_; }  // null without a usable GL
    QWidget* Header() const { return header_; }
    QToolButton* Button(const char* name) const;
    // Called inside every frame's drawing, where a failure is caught (tests make it throw).
    std::function<void()> BeforeDraw;

private:
    friend class TMeshGlWidget;

    void InitializeGl();
    void Paint();
    void Changed(bool changed);
    void Redraw();
    void ButtonClick(QToolButton* button);
    void ModeButtonClick(int tag);
    void OpenSelector(int tag, int mode);
    void HideSelector();
    void ShowModeButton();
    void SetPanelColour();
    TMarkerColours MarkerColours() const;
    std::string PlaceholderPath() const;
    void Send(int code, const std::string& text);

    TProgramState& state_;
    TMeshViewState view_;
    TGlContext context_;
    TMeshRenderer renderer_;
    TExtraTextures textures_;
    IThumbnailWindow* thumbnails_ = nullptr;
    TSelector* selector_ = nullptr;
    QWidget* header_;
    QWidget* background_;
    TMeshGlWidget* image_ = nullptr;  // null without a usable GL
    QWidget* surface_ = nullptr;      // the GL widget, or a plain stand-in
    QTimer mouseTimer_;
    QMetaObject::Connection contextGone_;
    std::map<std::string, QToolButton*> buttons_;
    bool glReady_ = false;
    bool closed_ = false;
    bool glRefusalShown_ = false;
};

}  // namespace kelvarn
