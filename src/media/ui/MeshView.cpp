#include "media/ui/MeshView.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_1_1>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "media/StrellImage.h"
#include "media/Textures.h"
#include "media/ui/Selector.h"
#include "shell/Colours.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ViewerChoice.h"
#include "shell/ui/MenuParts.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

namespace {

constexpr int kMouseReadyMs = 500;
constexpr int kThumbnailWidth = 240;
constexpr int kThumbnailHeight = 180;
constexpr const char* kFrameName = "MeshView";
constexpr const char* kScreenshotName = "$screenshot$.jpg";

// In the header's order; the five display modes form one group.
constexpr THeaderButtonRow kButtons[] = {
    {"bRender", "Render", "Rendered View", 2664},
    {"bWireframe", "Wire", "Wireframe View", 2665},
    {"bTextureList", "Textures", "Texture List", 2653},
    {"bAttachmentList", "Points", "Attachment Points", 2652},
    {"bBumps", "Bumps", "Bump Mapping", 2654},
    {"bBounds", "Guides", "Show Guides", 2663},
    {"bTopView", "Top", "Top View", 2657},
    {"bLeftView", "Left", "Left View", 2658},
    {"bRightView", "Right", "Right View", 2659},
    {"bFrontView", "Front", "Front View", 2660},
    {"bBackView", "Back", "Back View", 2661},
    {"bZoomBounds", "Zoom", "Zoom to Bounds", 2662},
    {"bColour", "Colour", "Background Colour", 2655},
    {"bImageInfo", "Info", "Mesh Information", 2650},
    {"bViewAsText", "Text", "View as Text", 2651},
    {"bScreenshot", "Thumb", "Make Thumbnail", 2656},
};

constexpr int kRenderTag = 2664, kWireframeTag = 2665, kTextureListTag = 2653, kAttachmentListTag = 2652,
              kBumpsTag = 2654, kBoundsTag = 2663, kShowAllTag = 2692;

// The preset buttons by number; the view is chosen by the second letter of the name.
const std::map<int, std::string_view> kPresetButtons = {{2657, "bTopView"},    {2658, "bLeftView"},
                                                         {2659, "bRightView"},  {2660, "bFrontView"},
                                                         {2661, "bBackView"},   {2662, "bZoomBounds"},
                                                         {2666, "bPointBounds"}};

TViewKey ViewKey(int key) {
    switch (key) {
        case Qt::Key_PageUp: return TViewKey::PageUp;
        case Qt::Key_PageDown: return TViewKey::PageDown;
        case Qt::Key_Left: return TViewKey::Left;
        case Qt::Key_Right: return TViewKey::Right;
        case Qt::Key_Up: return TViewKey::Up;
        case Qt::Key_Down: return TViewKey::Down;
        default: return TViewKey::Other;
    }
}

}  // namespace

TMeshGlWidget::TMeshGlWidget(TMeshView& owner, QWidget* parent) : QOpenGLWidget(parent), owner_(owner) {
    setObjectName("MeshImage");
    setFocusPolicy(Qt::StrongFocus);
}

void TMeshGlWidget::initializeGL() { owner_.InitializeGl(); }

void TMeshGlWidget::resizeGL(int, int) {
    const qreal ratio = devicePixelRatioF();
    owner_.view_.Resize(static_cast<int>(std::lround(width() * ratio)), static_cast<int>(std::lround(height() * ratio)));
}

void TMeshGlWidget::paintGL() { owner_.Paint(); }

void TMeshGlWidget::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers m = event->modifiers();
    const TKeyModifiers modifiers{(m & Qt::ShiftModifier) != 0, (m & Qt::ControlModifier) != 0,
                                  (m & Qt::AltModifier) != 0};
    if (owner_.view_.KeyDown(ViewKey(event->key()), modifiers)) {
        update();
        return;
    }
    QOpenGLWidget::keyPressEvent(event);
}

void TMeshGlWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    owner_.view_.MouseDown(static_cast<float>(event->position().x()), static_cast<float>(event->position().y()));
}

void TMeshGlWidget::mouseMoveEvent(QMouseEvent* event) {
    const Qt::MouseButtons b = event->buttons();
    owner_.Changed(owner_.view_.MouseMove(b & Qt::LeftButton, b & Qt::RightButton,
                                          static_cast<float>(event->position().x()),
                                          static_cast<float>(event->position().y())));
}

void TMeshGlWidget::wheelEvent(QWheelEvent* event) {
    owner_.Changed(owner_.view_.MouseWheel(event->angleDelta().y()));
    event->accept();
}

TMeshView::TMeshView(TProgramState& state, QWidget* parent)
    : TViewerFrame<IViewerFrame>(kFrameName, "Mesh", true, parent), state_(state), renderer_(context_) {
    auto* row = new QWidget(Body());
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(0);
    BodyLayout()->addWidget(row, 1);

    header_ = new QWidget(row);
    header_->setObjectName("Header");
    auto* headerLayout = new TButtonColumns(header_, kHeaderColumns);
    headerLayout->setContentsMargins(2, 2, 2, 2);
    headerLayout->setSpacing(1);
    auto* modes = new QButtonGroup(this);
    modes->setExclusive(true);
    for (const THeaderButtonRow& def : kButtons) {
        QToolButton* b = AddHeaderButton(header_, headerLayout, def);
        const bool mode = def.tag == kRenderTag || def.tag == kWireframeTag || def.tag == kTextureListTag ||
                          def.tag == kAttachmentListTag || def.tag == kBumpsTag;
        b->setCheckable(mode || def.tag == kBoundsTag);
        if (mode) modes->addButton(b);
        buttons_[def.name] = b;
        connect(b, &QToolButton::clicked, this, [this, b] { ButtonClick(b); });
    }
    rowLayout->addWidget(header_);

    background_ = new QWidget(row);
    background_->setObjectName("Background");
    background_->setAutoFillBackground(true);
    auto* backgroundLayout = new QVBoxLayout(background_);
    backgroundLayout->setContentsMargins(0, 0, 0, 0);
    // Without a GL that can draw (a remote desktop, the offscreen platform) a GL widget would take the
    // whole window down: the view then keeps a plain surface and says why when asked for a mesh.
    if (OpenGLAvailable()) {
        image_ = new TMeshGlWidget(*this, background_);
        surface_ = image_;
    } else {
        surface_ = new QWidget(background_);
        surface_->setObjectName("MeshImage");
    }
    backgroundLayout->addWidget(surface_);
    rowLayout->addWidget(background_, 1);

    Button("bBumps")->setEnabled(false);  // until a mesh with a bump texture is shown
    Button("bScreenshot")->setEnabled(false);  // until a mesh is shown
    mouseTimer_.setSingleShot(true);
    mouseTimer_.setInterval(kMouseReadyMs);
    connect(&mouseTimer_, &QTimer::timeout, this, [this] { view_.MouseReady = true; });
}

TMeshView::~TMeshView() {
    // The context goes with the widget after this object's members: nothing may reach them then.
    QObject::disconnect(contextGone_);
}

QToolButton* TMeshView::Button(const char* name) const {
    const auto b = buttons_.find(name);
    return b == buttons_.end() ? nullptr : b->second;
}

QWidget* TMeshView::MainControl() { return surface_; }

void TMeshView::Redraw() { surface_->update(); }

void TMeshView::Init(ICommandBus* target) {
    TViewerFrame::Init(target);
    // Until the context is made, bump shading counts as possible; the context takes it back if not.
    view_.ReadSettings(state_.Settings(), !glReady_ || context_.BumpFlag());
    Button("bBounds")->setChecked(view_.Guides);
    ShowModeButton();
    SetPanelColour();
}

void TMeshView::InitializeGl() {
    glReady_ = !closed_ && context_.CreateContext(image_->context(), *state_.Messages);
    if (!glReady_) return;
    context_.InitGL(view_.Background);
    QObject::disconnect(contextGone_);
    contextGone_ = connect(image_->context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        image_->makeCurrent();
        renderer_.Release();
        context_.ReleaseContext();
        glReady_ = false;
        image_->doneCurrent();
    });
    if (view_.DisplayMode == dmBumps && !context_.BumpFlag()) {
        view_.SetDisplayMode(dmTextured);
        ShowModeButton();
    }
    UpdateMenuState();
}

void TMeshView::Paint() {
    if (!glReady_) return;
    try {
        if (BeforeDraw) BeforeDraw();
        renderer_.RenderMesh(view_, MarkerColours());
    } catch (...) {
        // Whatever went wrong inside a frame, the view shows the placeholder instead and says why;
        // the placeholder failing in turn leaves the view empty.
        const TDrawFailure failure = view_.DrawFailed(PlaceholderPath());
        auto report = [this, alert = failure.Alert] {
            Alert()->ShowAlert(alert, true, 1);
            header_->hide();
            UpdateMenuState();
        };
        if (failure.ShowPlaceholder)
            QTimer::singleShot(0, this, [this, report] {
                ShowMesh(PlaceholderPath());
                report();
            });
        else
            report();
    }
}

void TMeshView::Changed(bool changed) {
    if (changed) Redraw();
}

std::string TMeshView::PlaceholderPath() const { return NativePath(ExpandMacros(state_, "%bin%\\invisible.im")); }

TMarkerColours TMeshView::MarkerColours() const {
    return {SchemeColour(&state_.Settings(), kPointColourKind, false),
            SchemeColour(&state_.Settings(), kSelectedPointColourKind, false)};
}

void TMeshView::Send(int code, const std::string& text) {
    if (Bus()) Bus()->SendCommand(code, text);
}

std::string TMeshView::LoadFile(const std::string& path, int) {
    ShowMesh(path);
    return {};
}

void TMeshView::ShowMesh(const std::string& fileName) {
    if (closed_) return;
    if (!image_ && !glRefusalShown_) {
        glRefusalShown_ = true;
        state_.Messages->ShowMessage(kPixelFormatError, kPixelFormatCaption, MessageKind::Error);
    }
    header_->show();
    Alert()->Close();
    mouseTimer_.stop();
    if (glReady_) {
        image_->makeCurrent();
        renderer_.ForgetModel();
        image_->doneCurrent();
    }
    TMessageList messages;
    const std::string alert = view_.ShowMesh(fileName, &textures_, messages);
    for (const TMessageBoxText& m : messages) state_.Messages->ShowMessage(m.Text, m.Caption, MessageKind::Information);
    if (!alert.empty()) Alert()->ShowAlert(alert, true, 1);
    const qreal ratio = surface_->devicePixelRatioF();
    view_.Resize(static_cast<int>(std::lround(surface_->width() * ratio)),
                 static_cast<int>(std::lround(surface_->height() * ratio)));
    ShowModeButton();
    UpdateMenuState();
    Send(2600, "");
    Activated();  // in front first: a hidden surface cannot take the focus
    surface_->setFocus();
    if (selector_) {
        selector_->SetPointSize(view_.PointSize);
        selector_->SetLineColour(static_cast<int>(std::lround(view_.LineLevel * 100)));
        selector_->Model().ResetKept();
    }
    if (view_.Loaded && !view_.MouseReady) mouseTimer_.start();
    Redraw();
}

void TMeshView::ClearMesh(const std::string& reason) {
    if (closed_) return;
    mouseTimer_.stop();
    if (glReady_) {
        image_->makeCurrent();
        renderer_.ForgetModel();
        image_->doneCurrent();
    }
    view_.ClearMesh();
    if (reason.empty()) Alert()->Close();
    else Alert()->ShowAlert(reason, true, 1);
    UpdateMenuState();
    Send(2600, "");
    Redraw();
}

void TMeshView::ButtonClick(QToolButton* button) {
    const int tag = button->property("tag").toInt();
    switch (tag) {
        case kRenderTag:
        case kWireframeTag:
            HideSelector();
            view_.SetDisplayMode(tag == kRenderTag ? dmTextured : dmWireframe);
            Redraw();
            Send(tag, kFrameName);
            break;
        case kAttachmentListTag: OpenSelector(tag, smPoints); break;
        case kTextureListTag: OpenSelector(tag, smTextures); break;
        case kBumpsTag:
            HideSelector();
            Send(tag, kFrameName);
            break;
        case kBoundsTag:
            view_.Guides = button->isChecked();
            Redraw();
            Send(tag, kFrameName);
            break;
        default: Send(tag, kFrameName); break;
    }
}

void TMeshView::OpenSelector(int tag, int mode) {
    HideSelector();
    Send(tag, kFrameName);  // the main window fills the selector's list
    view_.SetDisplayMode(mode == smPoints ? dmAttachmentPoints : dmTextureList);
    ShowModeButton();
    Redraw();
    if (!selector_) return;
    selector_->SetCommandTarget(Bus());
    selector_->SetOpener(mode == smPoints ? "bAttachmentList" : "bTextureList");
    selector_->setWindowTitle(mode == smPoints ? " Attachment Points" : " Texture List");
    selector_->SetMode(mode);
    selector_->show();
    selector_->raise();
}

void TMeshView::HideSelector() {
    if (selector_ && selector_->isVisible()) selector_->hide();
}

void TMeshView::ShowModeButton() {
    const char* name = nullptr;
    switch (view_.DisplayMode) {
        case dmWireframe: name = "bWireframe"; break;
        case dmTextureList: name = "bTextureList"; break;
        case dmAttachmentPoints: name = "bAttachmentList"; break;
        case dmBumps: name = "bBumps"; break;
        case dmSuspended: return;
        default: name = "bRender"; break;
    }
    Button(name)->setChecked(true);
}

void TMeshView::SetPanelColour() {
    QPalette palette = background_->palette();
    palette.setColor(QPalette::Window, ToQColor(view_.Background));
    background_->setPalette(palette);
}

void TMeshView::ImageInfoClick() { Alert()->ShowAlert(view_.ImageInfoText(), false, 0); }

void TMeshView::MeshButtonAction(int tag) {
    if (tag == kBumpsTag) {
        view_.SetDisplayMode(dmBumps);
    } else if (tag == kShowAllTag) {
        if (selector_) view_.ShowAll = selector_->ShowAllChecked();
        view_.SetDisplayMode(dmAttachmentPoints);
    }
    ShowModeButton();
    Redraw();
}

void TMeshView::ColourClick() {
    if (!PickColour) return;
    const std::optional<TColor> colour = PickColour("Select Background Colour", view_.Background);
    if (!colour) return;
    view_.SetBackgroundColour(state_.Settings(), *colour);
    SetPanelColour();
    Redraw();
}

void TMeshView::PresetViewClick(int tag) {
    const auto button = kPresetButtons.find(tag);
    if (button == kPresetButtons.end()) return;
    view_.PresetViewClick(button->second[1]);
    Redraw();
}

void TMeshView::AdjustPointSize(int size) {
    view_.PointSize = std::clamp(size, 3, 15);
    Redraw();
}

void TMeshView::AdjustLineWeight(int position) {
    view_.LineLevel = static_cast<float>(std::clamp(position, 0, 100)) * 0.01f;
    Redraw();
}

void TMeshView::RenderPoints(const std::string& name) {
    Alert()->Close();
    if (selector_) view_.ShowAll = selector_->ShowAllChecked();
    view_.RenderPoints(name);
    ShowModeButton();
    Redraw();
}

void TMeshView::RenderTexture(const std::string& name) {
    Alert()->Close();
    if (const std::string alert = view_.RenderTexture(name); !alert.empty()) Alert()->ShowAlert(alert, true, 1);
    ShowModeButton();
    Redraw();
}

void TMeshView::UpdateMenuState() {
    Button("bBumps")->setEnabled(view_.Model && view_.Model->BumpTexturePresent() && glReady_ &&
                                 context_.BumpFlag());
    // A thumbnail of an empty view would be a picture of nothing.
    Button("bScreenshot")->setEnabled(view_.Loaded && glReady_);
}

Image32 TMeshView::RenderToImage(int width, int height) {
    Image32 picture;
    if (!glReady_ || width <= 0 || height <= 0) return picture;
    image_->makeCurrent();
    QOpenGLFramebufferObject target(width, height, QOpenGLFramebufferObject::Depth);
    if (target.bind()) {
        const int savedWidth = view_.ViewWidth, savedHeight = view_.ViewHeight;
        view_.Resize(width, height);
        bool drawn = true;
        try {
            renderer_.RenderMesh(view_, MarkerColours());
        } catch (...) {
            drawn = false;  // the widget's own next frame reports it
        }
        view_.Resize(savedWidth, savedHeight);
        if (drawn) {
            // Read as RGB: the clear colour's alpha is 0, which must not make the picture transparent.
            std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
            context_.Gl().glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
            picture.Depth = 24;
            picture.Resize(width, height);
            for (int y = 0; y < height; ++y) {
                const std::uint8_t* p = rgb.data() + static_cast<std::size_t>(height - 1 - y) * width * 3;
                for (int x = 0; x < width; ++x, p += 3)
                    picture.At(x, y) = 0xFF000000u | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
            }
        }
        target.release();
    }
    image_->doneCurrent();
    Redraw();
    return picture;
}

void TMeshView::Screenshot() {
    if (!thumbnails_ || !view_.Loaded) return;
    Image32 picture = RenderToImage(kThumbnailWidth, kThumbnailHeight);
    if (picture.Empty()) return;
    const std::string watermark = NativePath(ExpandMacros(state_, "%bin%\\watermark.tga"));
    if (!thumbnails_->MakeThumbnail(picture, FileExists(watermark) ? watermark : std::string())) return;
    // In the asset folder; a mesh shown from outside any asset keeps its thumbnail beside it.
    const bool inAsset = !state_.AssetPath().empty();
    const std::string folder = inAsset ? NativePath(state_.AssetPath()) : ExtractFileDir(view_.FileName);
    const std::string path = JoinPath(folder, kScreenshotName);
    TTextures library(state_);
    if (!TStrellImage(library).SaveJPEG(path, picture)) {
        Alert()->ShowAlert("Unable to save " + path, true, 1);
        return;
    }
    Send(ccFileSaved, inAsset ? std::string(kScreenshotName) : path);
}

void TMeshView::Close() {
    if (glReady_) {
        image_->makeCurrent();
        renderer_.Release();
        context_.ReleaseContext();
        image_->doneCurrent();
    }
    glReady_ = false;
    closed_ = true;
    mouseTimer_.stop();
    view_.Model.reset();
    view_.Loaded = false;
    view_.SaveOptions(state_.Settings());
}

}  // namespace kelvarn
