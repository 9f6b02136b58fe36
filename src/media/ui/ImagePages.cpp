#include "media/ui/ImagePages.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "media/AlphaTools.h"
#include "media/ImageSize.h"
#include "media/Resample.h"
#include "media/StrellImage.h"
#include "media/ui/Thumbnail.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/EditorPages.h"
#include "shell/ui/ScreenPicker.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

namespace {

constexpr int kMaskPage = 1, kSizePage = 2, kListPage = 3;
constexpr int kPreviewSide = 256;

QColor ArgbColour(std::uint32_t argb) { return QColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

void PaintSwatch(QFrame* swatch, std::uint32_t argb) {
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, ArgbColour(argb));
    swatch->setPalette(p);
}

QFrame* Swatch(const QString& name, QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Sunken);
    f->setAutoFillBackground(true);
    f->setFixedSize(64, 24);
    return f;
}

QToolButton* SpinButton(const QString& name, Qt::ArrowType arrow, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setArrowType(arrow);
    b->setFixedSize(20, 12);
    return b;
}

// The side of a picture without its pixels where the header tells it, else by loading it quietly:
// a file that does not load is no candidate and must not stop the scan with a message.
bool QuietImageSize(TProgramState& state, const std::string& path, int& width, int& height) {
    const std::string ext = LowerCase(ExtractFileExt(path));
    if (ext == ".bmp" || ext == ".jpg" || ext == ".tga") {
        const std::optional<TImageSize> size = GetImageSize(path);
        if (!size) return false;
        width = size->Width;
        height = size->Height;
        return true;
    }
    SilentMessageSink silent;
    IMessageSink* saved = state.Messages;
    state.Messages = &silent;
    TTextures library(state);
    Image32 picture;
    int kind = 0, compression = 0, bits = 0;
    const bool loaded = TStrellImage(library).LoadImage(path, picture, kind, compression, bits);
    state.Messages = saved;
    width = picture.Width;
    height = picture.Height;
    return loaded && !picture.Empty();
}

}  // namespace

TImagePreview::TImagePreview(const QString& name, QWidget* parent) : QFrame(parent) {
    setObjectName(name);
    setFrameShape(QFrame::StyledPanel);
    setMinimumSize(64, 64);
    QImage tile(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) tile.setPixel(x, y, ((x / 8) + (y / 8)) % 2 ? 0xFFD8D8D8 : 0xFFFFFFFF);
    checker_ = QPixmap::fromImage(tile);
}

void TImagePreview::SetPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

void TImagePreview::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect inside = contentsRect();
    p.drawTiledPixmap(inside, checker_);
    if (!picture_.isNull()) {
        QSize size = picture_.size();
        size.scale(inside.size(), Qt::KeepAspectRatio);
        if (size.width() > picture_.width() && picture_.width() >= kPreviewSide) size = picture_.size();
        const QRect target(inside.x() + (inside.width() - size.width()) / 2,
                           inside.y() + (inside.height() - size.height()) / 2, size.width(), size.height());
        p.drawImage(target, picture_);
    }
    p.end();
    QFrame::paintEvent(event);
}

TImagePages::TImagePages(TProgramState& state, IEditorPageHost& editor) : state_(state), editor_(editor) {
    BuildMaskTab();
    BuildSizeTab();
    BuildListTab();
    editor_.SetSectionDPage(kMaskPage, ImageMaskTab);
    editor_.SetSectionDPage(kSizePage, ImageSizeTab);
    editor_.SetSectionDPage(kListPage, ImageListTab);
}

// --- resize

void TImagePages::BuildSizeTab() {
    ImageSizeTab = new QWidget;
    ImageSizeTab->setObjectName("ImageSizeTab");
    auto* grid = new QGridLayout(ImageSizeTab);
    // Whole numbers only: a letter typed into a size is refused as it is typed.
    auto* width = new TXEdit(ImageSizeTab);
    width->SetCharType(ctInteger);
    eiWidth = width;
    eiWidth->setObjectName("eiWidth");
    auto* height = new TXEdit(ImageSizeTab);
    height->SetCharType(ctInteger);
    eiHeight = height;
    eiHeight->setObjectName("eiHeight");
    sbiWidthUp = SpinButton("sbiWidthUp", Qt::UpArrow, ImageSizeTab);
    sbiWidthDown = SpinButton("sbiWidthDown", Qt::DownArrow, ImageSizeTab);
    sbiHeightUp = SpinButton("sbiHeightUp", Qt::UpArrow, ImageSizeTab);
    sbiHeightDown = SpinButton("sbiHeightDown", Qt::DownArrow, ImageSizeTab);
    cbThumbnail = new QCheckBox("&Thumbnail 240 x 180", ImageSizeTab);
    cbThumbnail->setObjectName("cbThumbnail");
    cbRetainAlpha = new QCheckBox("&Retain Alpha as Mask", ImageSizeTab);
    cbRetainAlpha->setObjectName("cbRetainAlpha");
    auto spin = [this](QToolButton* up, QToolButton* down) {
        auto* box = new QWidget(ImageSizeTab);
        auto* v = new QVBoxLayout(box);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        v->addWidget(up);
        v->addWidget(down);
        return box;
    };
    grid->addWidget(new QLabel("Width", ImageSizeTab), 0, 0);
    grid->addWidget(eiWidth, 0, 1);
    grid->addWidget(spin(sbiWidthUp, sbiWidthDown), 0, 2);
    grid->addWidget(cbThumbnail, 0, 3);
    grid->addWidget(new QLabel("Height", ImageSizeTab), 1, 0);
    grid->addWidget(eiHeight, 1, 1);
    grid->addWidget(spin(sbiHeightUp, sbiHeightDown), 1, 2);
    grid->addWidget(cbRetainAlpha, 1, 3);
    grid->setColumnStretch(3, 1);

    for (QLineEdit* e : {eiWidth, eiHeight}) QObject::connect(e, &QLineEdit::textChanged, [this] { SizeChange(); });
    QObject::connect(sbiWidthUp, &QToolButton::clicked, [this] { StepImageSize(true, true); });
    QObject::connect(sbiWidthDown, &QToolButton::clicked, [this] { StepImageSize(true, false); });
    QObject::connect(sbiHeightUp, &QToolButton::clicked, [this] { StepImageSize(false, true); });
    QObject::connect(sbiHeightDown, &QToolButton::clicked, [this] { StepImageSize(false, false); });
    QObject::connect(cbThumbnail, &QCheckBox::clicked, [this] { cbThumbnailClick(); });
}

std::optional<TResizeChoice> TImagePages::ResizeDialog(int width, int height, bool masked) {
    imageWidth_ = width;
    imageHeight_ = height;
    editor_.OpenSectionDPage(kSizePage, 400120,
                             "Resize Image (" + std::to_string(width) + " x " + std::to_string(height) + ")", eiWidth);
    filling_ = true;
    eiWidth->setText(QString::number(width));
    eiHeight->setText(QString::number(height));
    cbThumbnail->setChecked(width == 240 && height == 180);
    cbRetainAlpha->setVisible(masked);
    cbRetainAlpha->setChecked(masked);
    filling_ = false;
    editor_.OKButton()->setEnabled(false);  // until the size changes
    const int result = editor_.ShowModal();
    editor_.OKButton()->setEnabled(true);   // the other tasks' OK
    if (result != 1) return std::nullopt;
    const TSizeState state = kelvarn::SizeChange(eiWidth->text().toStdString(), eiHeight->text().toStdString(),
                                                 imageWidth_, imageHeight_);
    if (!state.OkEnabled) return std::nullopt;
    return TResizeChoice{ParseImageSide(eiWidth->text().toStdString()), ParseImageSide(eiHeight->text().toStdString()),
                         masked && cbRetainAlpha->isChecked()};
}

void TImagePages::SizeChange() {
    if (filling_) return;
    const TSizeState state = kelvarn::SizeChange(eiWidth->text().toStdString(), eiHeight->text().toStdString(),
                                                 imageWidth_, imageHeight_);
    cbThumbnail->setChecked(state.Thumbnail);
    editor_.OKButton()->setEnabled(state.OkEnabled);
    editor_.HelpText()->setText(QString::fromStdString(state.Help));
}

void TImagePages::StepImageSize(bool width, bool up) {
    QLineEdit* field = width ? eiWidth : eiHeight;
    const int value = ParseImageSide(field->text().toStdString());
    const int other = ParseImageSide((width ? eiHeight : eiWidth)->text().toStdString());
    const TSizeStep step = up ? IncImageSize(value, other, width) : DecImageSize(value, other, width);
    if (step.Beep) state_.Messages->Beep();
    if (!step.Help.empty()) editor_.HelpText()->setText(QString::fromStdString(step.Help));
    if (step.Beep) return;
    field->setText(QString::number(step.Value));
    if (step.ClearThumbnail) cbThumbnail->setChecked(false);
}

void TImagePages::cbThumbnailClick() {
    if (!cbThumbnail->isChecked()) return;
    eiWidth->setText("240");
    eiHeight->setText("180");
}

// --- merge

void TImagePages::BuildListTab() {
    ImageListTab = new QWidget;
    ImageListTab->setObjectName("ImageListTab");
    auto* row = new QHBoxLayout(ImageListTab);
    auto* left = new QVBoxLayout;
    MergeImageList = new QComboBox(ImageListTab);
    MergeImageList->setObjectName("MergeImageList");
    MergeImageList->setToolTip("Select Image");
    MergeImageList->setMinimumWidth(220);
    rbAlpha = new QRadioButton("&Alpha Channel", ImageListTab);
    rbAlpha->setObjectName("rbAlpha");
    rbRBG = new QRadioButton("&RGB Intensity", ImageListTab);
    rbRBG->setObjectName("rbRBG");
    rbDefault = new QRadioButton("Image &Default", ImageListTab);
    rbDefault->setObjectName("rbDefault");
    rbDefault->setChecked(true);
    auto* modes = new QButtonGroup(ImageListTab);
    for (QRadioButton* r : {rbAlpha, rbRBG, rbDefault}) modes->addButton(r);
    cbMergeInvert = new QCheckBox("&Invert", ImageListTab);
    cbMergeInvert->setObjectName("cbMergeInvert");
    left->addWidget(MergeImageList);
    left->addWidget(rbAlpha);
    left->addWidget(rbRBG);
    left->addWidget(rbDefault);
    left->addWidget(cbMergeInvert);
    left->addStretch(1);
    MergePreview = new TImagePreview("MergePreview", ImageListTab);
    row->addLayout(left);
    row->addWidget(MergePreview, 1);

    QObject::connect(MergeImageList, &QComboBox::currentIndexChanged, [this] { MergeImageListChange(); });
    for (QRadioButton* r : {rbAlpha, rbRBG, rbDefault})
        QObject::connect(r, &QRadioButton::toggled, [this](bool on) {
            if (on) MergeImageListChange();
        });
    QObject::connect(cbMergeInvert, &QCheckBox::toggled, [this] { MergeImageListChange(); });
}

TMergeMode TImagePages::MergeMode() const {
    return rbAlpha->isChecked() ? TMergeMode::AlphaChannel : rbRBG->isChecked() ? TMergeMode::RgbIntensity : TMergeMode::ImageDefault;
}

Image32 TImagePages::MergeChoice() const {
    const int index = MergeImageList->currentIndex();
    if (index < 0 || index >= static_cast<int>(candidates_.size())) return {};
    TTextures library(state_);
    Image32 picture;
    int kind = 0, compression = 0, bits = 0;
    if (!TStrellImage(library).LoadImage(candidates_[static_cast<std::size_t>(index)].Path, picture, kind, compression, bits))
        return {};
    return MergeGrey(picture, kind != 0, MergeMode(), cbMergeInvert->isChecked());
}

void TImagePages::MergeImageListChange() {
    if (filling_) return;
    MergePreview->SetPicture(ToQImage(MergeChoice(), true));
}

std::optional<Image32> TImagePages::MergeImageDialog(const std::string& shownFile, int width, int height) {
    candidates_ = ListMergeCandidates(NativePath(state_.AssetPath()), shownFile, width, height,
                                      [this](const std::string& path, int& w, int& h) {
                                          return QuietImageSize(state_, path, w, h);
                                      });
    if (candidates_.empty()) {
        state_.Messages->ShowMessage(kNoMergeFiles);
        return std::nullopt;
    }
    filling_ = true;
    MergeImageList->clear();
    for (const TMergeCandidate& c : candidates_) MergeImageList->addItem(QString::fromStdString(c.Relative));
    MergeImageList->setCurrentIndex(0);
    cbMergeInvert->setChecked(false);
    filling_ = false;
    editor_.OpenSectionDPage(kListPage, 600385,
                             "Select Image to Merge (" + std::to_string(width) + " x " + std::to_string(height) + ")",
                             MergeImageList);
    MergeImageListChange();
    if (editor_.ShowModal() != 1) return std::nullopt;
    Image32 grey = MergeChoice();
    if (grey.Empty()) return std::nullopt;
    return grey;
}

// --- alpha from image

void TImagePages::BuildMaskTab() {
    ImageMaskTab = new QWidget;
    ImageMaskTab->setObjectName("ImageMaskTab");
    auto* row = new QHBoxLayout(ImageMaskTab);
    auto* bar = new QVBoxLayout;
    tbTolerance = new QSlider(Qt::Vertical, ImageMaskTab);
    tbTolerance->setObjectName("tbTolerance");
    tbTolerance->setRange(0, 255);
    tbTolerance->setPageStep(16);
    tbTolerance->setInvertedAppearance(true);
    lTolerance = new QLabel(ImageMaskTab);
    lTolerance->setObjectName("lTolerance");
    bar->addWidget(tbTolerance, 1, Qt::AlignHCenter);
    bar->addWidget(lTolerance);
    RGBPreview = new TImagePreview("RGBPreview", ImageMaskTab);
    MaskPreview = new TImagePreview("MaskPreview", ImageMaskTab);
    auto* side = new QVBoxLayout;
    pMaximum = Swatch("pMaximum", ImageMaskTab);
    pSelection = Swatch("pSelection", ImageMaskTab);
    pMinimum = Swatch("pMinimum", ImageMaskTab);
    cbInvert = new QCheckBox("Invert", ImageMaskTab);
    cbInvert->setObjectName("cbInvert");
    ColourPicker = new QFrame(ImageMaskTab);
    ColourPicker->setObjectName("ColourPicker");
    ColourPicker->setFrameShape(QFrame::Panel);
    ColourPicker->setFrameShadow(QFrame::Raised);
    ColourPicker->setAutoFillBackground(true);
    ColourPicker->setFixedSize(90, 44);
    auto* pickerText = new QLabel("Colour Picker", ColourPicker);
    pickerText->setWordWrap(true);
    pickerText->setAlignment(Qt::AlignCenter);
    pickerText->setAttribute(Qt::WA_TransparentForMouseEvents);
    (new QVBoxLayout(ColourPicker))->addWidget(pickerText);
    side->addWidget(pMaximum);
    side->addWidget(pSelection);
    side->addWidget(pMinimum);
    side->addWidget(cbInvert);
    side->addStretch(1);
    side->addWidget(ColourPicker);
    row->addLayout(bar);
    row->addWidget(RGBPreview, 1);
    row->addWidget(MaskPreview, 1);
    row->addLayout(side);

    auto changed = [this] {
        if (filling_) return;
        ShowTolerance();
        RefreshToleranceMask();
    };
    QObject::connect(tbTolerance, &QSlider::valueChanged, changed);
    QObject::connect(cbInvert, &QCheckBox::toggled, changed);
    new TScreenPicker(ColourPicker,
                      [this](const QColor& c) {
                          SetKeyColour(0xFF000000u | (static_cast<std::uint32_t>(c.red()) << 16) |
                                       (static_cast<std::uint32_t>(c.green()) << 8) | static_cast<std::uint32_t>(c.blue()));
                      },
                      true);
}

void TImagePages::ShowTolerance() {
    const TToleranceView view = kelvarn::ShowTolerance(key_, tbTolerance->value());
    lTolerance->setText(QString::fromStdString(view.Label));
    PaintSwatch(pMinimum, view.Minimum);
    PaintSwatch(pSelection, key_);
    PaintSwatch(pMaximum, view.Maximum);
}

void TImagePages::RefreshToleranceMask() {
    MaskPreview->SetPicture(ToQImage(MakeToleranceMask(maskSource_, cbInvert->isChecked(), tbTolerance->value(), key_), true));
}

void TImagePages::SetKeyColour(std::uint32_t colour) {
    key_ = colour;
    ShowTolerance();
    RefreshToleranceMask();
}

std::optional<Image32> TImagePages::AlphaFromImageDialog(const Image32& image, std::uint32_t keyColour) {
    if (image.Empty()) return std::nullopt;
    // The previews work on a copy no larger than 256 a side; the mask itself is made full size.
    maskSource_ = image;
    const int longest = std::max(image.Width, image.Height);
    if (longest > kPreviewSide)
        ResampleBitmap(maskSource_, std::max(1, image.Width * kPreviewSide / longest),
                       std::max(1, image.Height * kPreviewSide / longest));
    key_ = keyColour;
    editor_.OpenSectionDPage(kMaskPage, 600350, "Alpha Mask from Image", tbTolerance);
    filling_ = true;
    tbTolerance->setValue(lastTolerance_);
    cbInvert->setChecked(lastInvert_);
    filling_ = false;
    RGBPreview->SetPicture(ToQImage(maskSource_, true));
    ShowTolerance();
    RefreshToleranceMask();
    const int result = editor_.ShowModal();
    lastTolerance_ = tbTolerance->value();
    lastInvert_ = cbInvert->isChecked();
    if (result != 1) return std::nullopt;
    return MakeToleranceMask(image, lastInvert_, lastTolerance_, key_);
}

}  // namespace kelvarn
