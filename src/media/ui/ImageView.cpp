#include "media/ui/ImageView.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <algorithm>

#include "media/AlphaTools.h"
#include "media/ImageMenuRules.h"
#include "media/ImageViewRules.h"
#include "media/NormalMaps.h"
#include "media/Resample.h"
#include "media/StrellImage.h"
#include "media/TextViewDocument.h"
#include "media/ThumbnailCore.h"
#include "media/ui/ImageDialogs.h"
#include "media/ui/Thumbnail.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ViewerChoice.h"
#include "shell/ui/MenuParts.h"

namespace kelvarn {

namespace {

constexpr const char* kFrameName = "ImageView";
constexpr const char* kPlaceholderName = "Kelvarn.jpg";

constexpr THeaderButtonRow kButtons[] = {
    {"bSplash", "Float", "Floating Preview", 2501},
    {"bImageInfo", "Info", "Image Information", 2502},
    {"bMaskToBlend", "Blend", "Mask to Blend", 2503},
    {"bBlendToMask", "Mask", "Blend to Mask", 2504},
    {"bRemoveAlpha", "No Alpha", "Remove Alpha Channel", 2505},
    {"bInvertAlpha", "Invert", "Invert Alpha Channel", 2506},
    {"bImportAlpha", "Import", "Alpha from File", 2507},
    {"bMaskFromImage", "Key", "Alpha from Image", 2508},
    {"bResize", "Resize", "Resize Image", 2509},
    {"bSaveImage", "Save", "Save Image", 2510},
    {"bNormal", "Normal", "Create Normal Map", 2511},
    {"bUniform", "Uniform", "Make Non Uniform", 2513},
    {"bScreenshot", "Thumb", "Thumbnail from Image", 2515},
};
// The context menu; a null name is a separator.
constexpr TMenuItemRow kMenuItems[] = {
    {"mFloatPreview", "Floating Preview", 2501, false},
    {"mImageInfo", "Image Information...", 2502, false},
    {nullptr, nullptr, 0, false},
    {"mMasktoBlend", "Mask to Blend", 2503, false},
    {"mBlendToMask", "Blend to Mask", 2504, false},
    {"mRemoveAlpha", "Remove Alpha Channel", 2505, false},
    {"mInvertAlpha", "Invert Alpha Channel", 2506, false},
    {"mImportAlpha", "Alpha from File...", 2507, false},
    {"mMaskfromImage", "Alpha from Image...", 2508, false},
    {nullptr, nullptr, 0, false},
    {"mResize", "Resize Image...", 2509, false},
    {"mUniform", "Make Non Uniform", 2513, false},
    {nullptr, nullptr, 0, false},
    {"mSaveImage", "Save Image...", 2510, false},
    {"mRevert", "Revert to Original", 2512, false},
};

constexpr const char* kSaveFilter = "TGA Images (*.tga)|*.tga|JPEG Images (*.jpg)|*.jpg|BMP Images (*.bmp)|*.bmp";

// The three checkerboards (light, mid, dark): our own 16-pixel tiles of two greys.
QPixmap CheckerTile(int index) {
    static constexpr QRgb kTones[3][2] = {{0xFFFFFFFF, 0xFFD8D8D8}, {0xFF9A9A9A, 0xFF7A7A7A}, {0xFF303030, 0xFF181818}};
    QImage tile(16, 16, QImage::Format_RGB32);
    const auto& tones = kTones[std::clamp(index, 0, 2)];
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) tile.setPixel(x, y, ((x / 8) + (y / 8)) % 2 ? tones[1] : tones[0]);
    return QPixmap::fromImage(tile);
}

// The zone cursors: our own small drawings, black with a white outline, hot spot in the middle.
QCursor ZoneCursor(int number) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    switch (number) {
        case crMask: path.addEllipse(8, 8, 16, 16); path.addRect(12, 12, 8, 8); break;
        case crZoom: path.addEllipse(6, 6, 14, 14); path.moveTo(18, 18); path.lineTo(27, 27); break;
        case crBackground: path.addRect(6, 6, 10, 10); path.addRect(16, 16, 10, 10); break;
        case crRotateLeft: path.arcMoveTo(6, 6, 20, 20, 180); path.arcTo(6, 6, 20, 20, 180, -270); path.moveTo(6, 16); path.lineTo(3, 11); path.moveTo(6, 16); path.lineTo(11, 13); break;
        case crRotateRight: path.arcMoveTo(6, 6, 20, 20, 0); path.arcTo(6, 6, 20, 20, 0, 270); path.moveTo(26, 16); path.lineTo(29, 11); path.moveTo(26, 16); path.lineTo(21, 13); break;
        case crFlip: path.moveTo(16, 4); path.lineTo(16, 28); path.moveTo(11, 9); path.lineTo(16, 4); path.lineTo(21, 9); path.moveTo(11, 23); path.lineTo(16, 28); path.lineTo(21, 23); break;
        default: path.moveTo(4, 16); path.lineTo(28, 16); path.moveTo(9, 11); path.lineTo(4, 16); path.lineTo(9, 21); path.moveTo(23, 11); path.lineTo(28, 16); path.lineTo(23, 21); break;
    }
    p.strokePath(path, QPen(Qt::white, 4));
    p.strokePath(path, QPen(Qt::black, 2));
    return QCursor(pixmap, 16, 16);
}

const QCursor& CursorFor(int number) {
    static std::map<int, QCursor> cursors;
    auto found = cursors.find(number);
    if (found == cursors.end()) found = cursors.emplace(number, ZoneCursor(number)).first;
    return found->second;
}

bool AllPixelsEqual(const Image32& image) {
    return !image.Pixels.empty() && std::all_of(image.Pixels.begin(), image.Pixels.end(),
                                                [&](std::uint32_t p) { return p == image.Pixels.front(); });
}

// "A|*.a|B|*.b" as Qt's ";;" filter list.
QStringList QtFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i];
    return out;
}

}  // namespace

// --- the layers

TImageLayer::TImageLayer(TImageView& owner, const QString& name, QWidget* parent) : QWidget(parent), owner_(owner) {
    setObjectName(name);
    setMouseTracking(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    hint_ = new QLabel(this);
    hint_->setObjectName(name == "ImageA" ? "HintA" : "HintB");
    hint_->setAutoFillBackground(true);
    hint_->setMargin(2);
    hint_->hide();
}

QRect TImageLayer::PictureRect() const {
    if (picture_.isNull()) return {};
    if (owner_.Placeholder()) return rect();
    const double scale = DisplayScale(owner_.Scale(), picture_.width(), picture_.height(), width(), height());
    const int w = std::max(1, static_cast<int>(picture_.width() * scale));
    const int h = std::max(1, static_cast<int>(picture_.height() * scale));
    return QRect((width() - w) / 2, (height() - h) / 2, w, h);
}

void TImageLayer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawTiledPixmap(rect(), owner_.Checkerboard());
    if (picture_.isNull()) return;
    const QRect target = PictureRect();
    // Enlarged pictures keep their pixels sharp; reduced ones are smoothed.
    p.setRenderHint(QPainter::SmoothPixmapTransform, target.width() < picture_.width());
    p.drawImage(target, picture_);
}

void TImageLayer::mouseMoveEvent(QMouseEvent* event) { owner_.LayerMouseMove(this, event->position().toPoint()); }

void TImageLayer::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) owner_.LayerMouseUp(this, event->position().toPoint());
}

void TImageLayer::leaveEvent(QEvent*) { owner_.LayerLeave(this); }

// --- the frame

TImageView::TImageView(TProgramState& state, QWidget* parent)
    : TViewerFrame<IViewerFrame>(kFrameName, "Image", true, parent), state_(state) {
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
    for (const THeaderButtonRow& def : kButtons) {
        QToolButton* b = AddHeaderButton(header_, headerLayout, def);
        buttons_[def.name] = b;
        connect(b, &QToolButton::clicked, this, [this, tag = def.tag] { Send(tag, kFrameName); });
    }
    rowLayout->addWidget(header_);

    imagePanel_ = new QWidget(row);
    imagePanel_->setObjectName("ImagePanel");
    imagePanel_->setFocusPolicy(Qt::StrongFocus);
    imagePanel_->installEventFilter(this);
    layerA_ = new TImageLayer(*this, "ImageA", imagePanel_);
    layerB_ = new TImageLayer(*this, "ImageB", imagePanel_);
    rowLayout->addWidget(imagePanel_, 1);

    menu_ = new QMenu(this);
    menu_->setObjectName("ContextMenu");
    menu_->setProperty("tag", 2500);
    for (const TMenuItemRow& def : kMenuItems) {
        if (!def.name) {
            menu_->addSeparator();
            continue;
        }
        QAction* a = menu_->addAction(def.caption);
        a->setObjectName(def.name);
        a->setProperty("tag", def.tag);
        a->setCheckable(def.tag == 2501);
        actions_[def.name] = a;
        connect(a, &QAction::triggered, this, [this, tag = def.tag] { Send(tag, kFrameName); });
    }
    for (TImageLayer* layer : {layerA_, layerB_})
        connect(layer, &QWidget::customContextMenuRequested, this,
                [this, layer](const QPoint& at) { OpenContextMenu(layer->mapToGlobal(at)); });

    ChooseSaveFile = [this](const std::string& caption, const std::string& folder, const std::string& filter,
                            int filterIndex) {
        QFileDialog dialog(this, QString::fromStdString(caption), QString::fromStdString(NativePath(folder)));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        const QStringList filters = QtFilters(filter);
        dialog.setNameFilters(filters);
        if (filterIndex >= 0 && filterIndex < filters.size()) dialog.selectNameFilter(filters[filterIndex]);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
        return dialog.selectedFiles().front().toStdString();
    };
    ChooseOpenFile = [this](const std::string& caption, const std::string& folder, const std::string& filter) {
        return QFileDialog::getOpenFileName(this, QString::fromStdString(caption), QString::fromStdString(NativePath(folder)),
                                            QtFilters(filter).join(";;"))
            .toStdString();
    };
    SetBackground();
    ClearView();
}

QToolButton* TImageView::Button(const char* name) const {
    const auto b = buttons_.find(name);
    return b == buttons_.end() ? nullptr : b->second;
}

QAction* TImageView::MenuAction(const char* name) const {
    const auto a = actions_.find(name);
    return a == actions_.end() ? nullptr : a->second;
}

void TImageView::Init(ICommandBus* target) {
    TViewerFrame::Init(target);
    cursorFlag_ = ReadSettingBool(state_.Settings(), keys::ImageCursor);
    ClearView();
}

void TImageView::Send(int code, const std::string& text) {
    if (Bus()) Bus()->SendCommand(code, text);
}

void TImageView::Validate() { Send(2500, ""); }

void TImageView::OpenContextMenu(const QPoint& global) {
    // The menu takes the mouse: the layer never sees it leave, so its hint would stay.
    for (TImageLayer* layer : {layerA_, layerB_}) LayerLeave(layer);
    Validate();
    menu_->popup(global);
}

std::string TImageView::AssetFolder() const { return NativePath(state_.AssetPath()); }

bool TImageView::Uniform() const { return AllPixelsEqual(image_); }

void TImageView::Describe(const std::string& text) {
    described_ = text;
    state_.SendStatusText(stPanel2, text);
}

void TImageView::ClearView() {
    TImageInfo info;
    ImageFacade().TextureCommand(tcFreeImage, 0, "", info);
    image_ = {};
    thumbnail_ = {};
    path_.clear();
    alphaKind_ = compression_ = bits_ = 0;
    layout_ = 0;
    fit_ = maskView_ = modified_ = screenshot_ = placeholder_ = false;
    scale_ = 1.0;
    if (Alert()) Alert()->Close();
    // The floating preview never goes on showing a picture the view no longer holds.
    if (preview_ && preview_->PreviewVisible()) preview_->HidePreview();
    layerA_->SetPicture({});
    layerB_->SetPicture({});
    ArrangeLayers();
    Describe("");
    Validate();  // the commands of the picture go with it
}

std::string TImageView::LoadFile(const std::string& path, int) { return LoadImageFile(path); }

std::string TImageView::LoadImageFile(const std::string& path) {
    const bool previewShown = preview_ && preview_->PreviewVisible();
    ClearView();
    path_ = path;
    if (!FileExists(path)) return "File not found: " + path;
    Image32 bitmap;
    int kind = 0;
    bool loaded = false;
    try {
        loaded = ImageFacade().LoadImage(path, bitmap, kind, compression_, bits_);
    } catch (...) {
        Activated();
        return "Cannot load file: " + path;
    }
    if (!loaded || bitmap.Empty()) {
        // In front and empty: no picture shown before may stand for the one refused.
        Activated();
        const std::string reason = ImageLoadReason(ImageFacade().Library());
        return reason.empty() ? "*** possible empty file ***" : "*** Cannot load " + path + ": " + reason;
    }
    image_ = std::move(bitmap);
    alphaKind_ = ViewerAlphaKind(kind, image_);
    if (alphaKind_ > 0) image_.Depth = 32;
    placeholder_ = SameText(ExtractFileName(path), kPlaceholderName);
    maskView_ = alphaKind_ > 0;
    fit_ = false;
    scale_ = ZoomScale(image_.Width, false);
    ShowPictures();
    ArrangeLayers();
    if (previewShown) preview_->ShowPreview(image_);
    Activated();
    const std::string description = DescribeImage(path, image_, bits_);
    Describe(description);
    Validate();
    return description;
}

void TImageView::RevertToOriginal() {
    const std::string path = path_;
    if (!path.empty()) LoadImageFile(path);
}

std::string TImageView::FindThumbnail() {
    const std::string placeholder = NativePath(ExpandMacros(state_, "%bin%\\Kelvarn.jpg"));
    const TThumbnailChoice choice = kelvarn::FindThumbnail(AssetFolder(), placeholder);
    if (choice.Path.empty()) {
        ClearView();
        return {};
    }
    std::string message = LoadImageFile(choice.Path);
    if (choice.Multiple) Alert()->ShowAlert("Multiple thumbnail images found", true, 1);
    return message;
}

void TImageView::ShowPictures() {
    layerA_->SetPicture(ToQImage(image_, !maskView_));
    layerB_->SetPicture(alphaKind_ > 0 ? ToQImage(AlphaAsGrey(image_), true) : QImage());
}

void TImageView::ArrangeLayers() {
    const int w = imagePanel_->width(), h = imagePanel_->height();
    layout_ = image_.Empty() ? 0 : ChooseLayout(alphaKind_ > 0, image_.Width, image_.Height, w, h);
    switch (layout_) {
        case 1: {
            const int a = std::max(0, (width() - header_->width()) / 2 - 1);
            layerA_->setGeometry(0, 0, std::min(a, w), h);
            layerB_->setGeometry(std::min(a, w), 0, std::max(0, w - a), h);
            layerB_->show();
            break;
        }
        case 2: {
            const int a = std::max(0, h / 2 - 1);
            layerA_->setGeometry(0, 0, w, a);
            layerB_->setGeometry(0, a, w, std::max(0, h - a));
            layerB_->show();
            break;
        }
        default:
            layerA_->setGeometry(0, 0, w, h);
            layerB_->setGeometry(w, 0, 0, h);
            layerB_->hide();
            break;
    }
    layerA_->update();
    layerB_->update();
}

void TImageView::resizeEvent(QResizeEvent* event) {
    TViewerFrame::resizeEvent(event);
    ArrangeLayers();
}

bool TImageView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imagePanel_ && event->type() == QEvent::Resize) ArrangeLayers();
    return TViewerFrame::eventFilter(watched, event);
}

void TImageView::Changed(bool chooseLayout) {
    modified_ = true;
    ShowPictures();
    if (chooseLayout) ArrangeLayers();
    if (preview_ && preview_->PreviewVisible()) preview_->ShowPreview(image_);
    Validate();
}

bool TImageView::Editable() const { return !image_.Empty() && !placeholder_; }

void TImageView::RunBusy(const std::function<void()>& work) {
    if (!Editable()) return;
    if (cursorFlag_) QApplication::setOverrideCursor(Qt::WaitCursor);
    work();
    if (cursorFlag_) QApplication::restoreOverrideCursor();
}

// --- the mouse

void TImageView::LayerMouseMove(TImageLayer* layer, const QPoint& at) {
    const THotZone zone = !Editable() ? THotZone{} : HotZone(at.x(), at.y(), layer->width(), layer->height(), alphaKind_ > 0);
    QLabel* hint = layer->Hint();
    if (zone.Action == THotAction::None) {
        hint->hide();
        layer->unsetCursor();
        return;
    }
    hint->setText(QString::fromUtf8(zone.Hint.data(), static_cast<qsizetype>(zone.Hint.size())));
    hint->adjustSize();
    hint->move(at.x() + 16, at.y() - 6);
    hint->show();
    hint->raise();
    if (cursorFlag_) layer->setCursor(CursorFor(zone.Cursor));
}

void TImageView::LayerLeave(TImageLayer* layer) {
    layer->Hint()->hide();
    layer->unsetCursor();
}

void TImageView::LayerMouseUp(TImageLayer* layer, const QPoint& at) {
    // The program's placeholder picture is shown, never changed: every asset without a thumbnail shows it.
    if (!Editable()) return;
    const THotZone zone = HotZone(at.x(), at.y(), layer->width(), layer->height(), alphaKind_ > 0);
    switch (zone.Action) {
        case THotAction::RotateLeft:
        case THotAction::RotateRight:
        case THotAction::Flip:
        case THotAction::Mirror: TransformImage(static_cast<int>(zone.Action)); break;
        case THotAction::Mask: SetMaskView(!maskView_); break;
        case THotAction::Zoom: Zoom(); break;
        case THotAction::Background: SetBackground(); break;
        case THotAction::None: break;
    }
}

void TImageView::Zoom() {
    fit_ = !fit_;
    scale_ = ZoomScale(image_.Width, fit_);
    layerA_->update();
    layerB_->update();
    Validate();
}

void TImageView::SetBackground() {
    background_ = (background_ + 1) % 3;
    checker_ = CheckerTile(background_);
    static constexpr QRgb kLabel[3] = {0xFFFFFF, 0x808080, 0x000000};
    const QColor text = background_ == 0 ? Qt::black : Qt::white;
    for (TImageLayer* layer : {layerA_, layerB_}) {
        QPalette p = layer->Hint()->palette();
        p.setColor(QPalette::Window, QColor(kLabel[background_]));
        p.setColor(QPalette::WindowText, text);
        layer->Hint()->setPalette(p);
        layer->update();
    }
}

void TImageView::SetMaskView(bool on) {
    maskView_ = on;
    layerA_->SetPicture(ToQImage(image_, !maskView_));
    Validate();
}

void TImageView::TransformImage(int action) {
    const auto a = static_cast<THotAction>(action);
    if (!Editable()) return;
    if (a == THotAction::Mirror) MirrorImage(image_);
    else if (a == THotAction::Flip) FlipImage(image_);
    else if (a == THotAction::RotateLeft || a == THotAction::RotateRight) RotateImage(image_, a == THotAction::RotateRight);
    else return;
    Changed(a == THotAction::RotateLeft || a == THotAction::RotateRight);
}

// --- the alpha tools

void TImageView::InvertAlpha() {
    RunBusy([this] {
        kelvarn::InvertAlpha(image_);
        Changed(false);
    });
}

void TImageView::RemoveAlpha() {
    RunBusy([this] {
        kelvarn::RemoveAlpha(image_);
        alphaKind_ = 0;
        maskView_ = false;
        Changed(true);
    });
}

void TImageView::BlendToMask() {
    RunBusy([this] {
        kelvarn::BlendToMask(image_);
        alphaKind_ = 1;
        Changed(false);
    });
}

void TImageView::MaskToBlend() {
    RunBusy([this] {
        alphaKind_ = kelvarn::MaskToBlend(image_);
        Changed(false);
    });
}

void TImageView::ImportAlpha() {
    if (!Editable() || !dialogs_) return;
    const std::optional<Image32> grey = dialogs_->MergeImageDialog(path_, image_.Width, image_.Height);
    if (!grey) return;
    RunBusy([this, &grey] {
        image_.Depth = 32;
        alphaKind_ = AlphaFromGrey(image_, *grey);
        maskView_ = alphaKind_ > 0;
        Changed(true);
    });
}

void TImageView::MaskFromImage() {
    if (!Editable() || !dialogs_) return;
    const std::optional<Image32> mask = dialogs_->AlphaFromImageDialog(image_, image_.At(0, 0));
    if (!mask) return;
    RunBusy([this, &mask] {
        image_.Depth = 32;
        AlphaFromGrey(image_, *mask);
        alphaKind_ = 1;
        maskView_ = true;
        Changed(true);
    });
}

void TImageView::ImageResize() {
    if (!Editable() || !dialogs_) return;
    const std::optional<TResizeChoice> choice = dialogs_->ResizeDialog(image_.Width, image_.Height, alphaKind_ == 1);
    if (!choice) return;
    RunBusy([this, &choice] {
        if (!ResampleBitmap(image_, choice->Width, choice->Height)) return;
        if (choice->Mask) {
            kelvarn::BlendToMask(image_);
            alphaKind_ = 1;
        }
        scale_ = ZoomScale(image_.Width, fit_);
        Changed(true);
    });
}

void TImageView::CreateNormalMap() {
    RunBusy([this] {
        kelvarn::CreateNormalMap(image_);
        Changed(false);
    });
}

std::string TImageView::MakeNonUniform(bool interactive) {
    if (!Editable()) return {};
    if (std::string refusal = NonUniformRefusal(AssetFolder(), path_, interactive); !refusal.empty()) {
        if (!interactive) return refusal;
        Alert()->ShowAlert(refusal, true, 1);
        ImportAlpha();
        return {};
    }
    RunBusy([this] {
        const std::string ext = LowerCase(ExtractFileExt(path_));
        MakePixelsNonUniform(image_, ext == ".jpg" || ext == ".jpeg");
        fit_ = false;
        scale_ = ZoomScale(image_.Width, false);
        Changed(true);
    });
    Describe(DescribeImage(path_, image_, bits_));
    return {};
}

void TImageView::FloatingPreview() {
    if (!preview_) return;
    if (preview_->PreviewVisible()) preview_->HidePreview();
    else if (!image_.Empty()) preview_->ShowPreview(image_);
    Validate();
}

void TImageView::ImageInfo() {
    if (ShowFileHeader) ShowFileHeader(ExpandMacros(state_, "%pfe%"));
}

void TImageView::UpdateMenuState() {
    TImageMenuFacts facts;
    facts.AlphaKind = alphaKind_;
    facts.Modified = modified_;
    facts.Uniform = Uniform();
    facts.Extension = state_.AssetFileExt();
    facts.PreviewVisible = preview_ && preview_->PreviewVisible();
    facts.Editable = Editable();
    ApplyMenuStates(menu_, this, ImageViewMenuStates(facts));
}

// --- saving

void TImageView::SendSaved(const std::string& path) {
    const std::optional<std::string> relative = AssetRelativePath(path, AssetFolder());
    Send(ccFileSaved, relative ? *relative : path);
}

bool TImageView::SaveTo(const std::string& path, int kind) {
    // The savers make their bitmap 24-bit: they get a copy, the view keeps its alpha.
    Image32 copy = image_;
    TStrellImage& facade = ImageFacade();
    bool saved = false;
    switch (static_cast<TQuickSaveKind>(kind)) {
        case TQuickSaveKind::Jpeg: saved = facade.SaveJPEG(path, copy); break;
        case TQuickSaveKind::Bmp: saved = facade.SaveBMP(path, copy); break;
        case TQuickSaveKind::Tga: saved = facade.SaveTGA(path, copy, alphaKind_); break;
        default: return false;
    }
    if (!saved) Alert()->ShowAlert("Unable to save " + path, true, 1);
    return saved;
}

std::string TImageView::SaveFile(const std::string&) {
    QuickSave();
    return {};
}

void TImageView::QuickSave() {
    if (placeholder_ && !screenshot_) return;
    const TQuickSaveRoute route = QuickSaveRoute(path_, AssetFolder(), screenshot_, modified_);
    switch (route.Kind) {
        case TQuickSaveKind::Nothing: return;
        case TQuickSaveKind::Screenshot: {
            // The flag covers this one save only, whatever becomes of it.
            screenshot_ = false;
            std::string target = route.Target;
            if (route.AskName) {
                if (!ChooseSaveFile) return;
                target = ChooseSaveFile("Thumbnail Filename?", AssetFolder(), "JPG Image (*.jpg)|*.jpg", 0);
                if (target.empty()) return;
                if (ExtractFileExt(target).empty()) target += ".jpg";
            }
            Image32 copy = thumbnail_;
            if (copy.Empty()) return;
            if (!ImageFacade().SaveJPEG(target, copy)) {
                Alert()->ShowAlert("Unable to save " + target, true, 1);
                return;
            }
            SendSaved(target);
            return;
        }
        case TQuickSaveKind::SaveAs: SaveImage(); return;
        default:
            if (!SaveTo(route.Target, static_cast<int>(route.Kind))) return;
            modified_ = false;
            SendSaved(route.Target);
            Validate();
            return;
    }
}

void TImageView::SaveImage() {
    if (!Editable() || !ChooseSaveFile) return;
    const std::string ext = LowerCase(ExtractFileExt(path_));
    const int filterIndex = ext == ".jpg" ? 1 : ext == ".bmp" ? 2 : 0;
    const std::string target = ChooseSaveFile("Save Image", ExpandMacros(state_, "%p%"), kSaveFilter, filterIndex);
    if (target.empty()) return;
    const std::string chosen = LowerCase(ExtractFileExt(target));
    const TQuickSaveKind kind = chosen == ".tga"   ? TQuickSaveKind::Tga
                                : chosen == ".jpg" ? TQuickSaveKind::Jpeg
                                : chosen == ".bmp" ? TQuickSaveKind::Bmp
                                                   : TQuickSaveKind::Nothing;
    if (kind == TQuickSaveKind::Nothing) {
        state_.Messages->ShowMessage("Cannot save to that type", "", MessageKind::Warning);
        return;
    }
    if (kind != TQuickSaveKind::Tga && alphaKind_ > 0)
        state_.Messages->ShowMessage("Alpha Channel will be lost", "", MessageKind::Warning);
    if (!SaveTo(target, static_cast<int>(kind))) return;
    if (SameText(NativePath(target), NativePath(path_))) {
        modified_ = false;
        Validate();
    }
    SendSaved(target);
}

void TImageView::EditThumbnail() {
    if (!thumbnails_) return;
    Image32 picture;
    // The program's placeholder is no picture of the asset: an asset without a thumbnail gets the
    // picture chooser.
    if (!placeholder_ && image_.Width == kThumbnailWidth && image_.Height == kThumbnailHeight) {
        picture = image_;
        const std::string watermark = NativePath(ExpandMacros(state_, "%bin%\\watermark.tga"));
        if (!thumbnails_->MakeThumbnail(picture, FileExists(watermark) ? watermark : std::string())) return;
    } else {
        if (!ChooseOpenFile) return;
        std::string folder = ReadSetting(state_.Settings(), keys::ScreenshotFolder);
        folder = folder.empty() ? ExpandMacros(state_, "%trainz%\\UserData\\Screenshots") : ExpandMacros(state_, folder);
        // Without the simulator's screenshots (no simulator folder set), the asset's own pictures.
        if (!DirectoryExists(NativePath(folder))) folder = AssetFolder();
        const std::string file = ChooseOpenFile("Open Picture", folder,
                                                "Pictures (*.jpg *.bmp *.tga *.png)|*.jpg;*.bmp;*.tga;*.png");
        if (file.empty()) return;
        // A picture of another size is cropped by the user, the watermark left for them to choose.
        std::string error;
        if (!thumbnails_->MakeThumbnailFromFile(file, picture, error)) {
            if (!error.empty()) Alert()->ShowAlert(error, true, 1);
            return;
        }
    }
    thumbnail_ = std::move(picture);
    screenshot_ = true;
    QuickSave();
}

bool TImageView::CloseQuery() {
    if (ContainsText(LowerCase(ExtractFileName(path_)), "kelvarn.jpg")) return true;
    if (modified_) {
        switch (state_.Messages->AskYesNoCancel("Save File: " + ShownPath(path_), "")) {
            case Answer::Yes: QuickSave(); break;
            case Answer::No: modified_ = false; break;
            case Answer::Cancel: break;
        }
    }
    return !modified_;
}

bool TImageView::QuerySave() {
    if (!modified_ || placeholder_) return true;
    if (!state_.Messages->AskYesNo(QuerySaveText(path_))) {
        // No gives the changes up, as the other viewers do: the same change of asset asks once.
        modified_ = false;
        Validate();
        return true;
    }
    QuickSave();
    return !modified_;
}

}  // namespace kelvarn
