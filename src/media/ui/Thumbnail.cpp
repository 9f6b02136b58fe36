#include "media/ui/Thumbnail.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "media/StrellImage.h"
#include "media/ThumbnailCore.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"

namespace kelvarn {

namespace {

// Loads a picture through the facade; an empty image when it does not load, with the reason.
Image32 LoadPicture(TProgramState& state, const std::string& path, std::string* error = nullptr) {
    TTextures library(state);
    TStrellImage images(library);
    Image32 bitmap;
    int alphaKind = 0, compression = 0, bits = 0;
    const bool loaded = images.LoadImage(path, bitmap, alphaKind, compression, bits) && !bitmap.Empty();
    if (!loaded && error) {
        const std::string reason = ImageLoadReason(library);
        *error = "Cannot load " + path + ": " + (reason.empty() ? "it is empty or no picture that can be read" : reason);
    }
    images.TextureCommand(tcFreeImage, 0, "", library.Info);
    return loaded ? bitmap : Image32();
}

}  // namespace

QImage ToQImage(const Image32& image) { return ToQImage(image, image.Depth != 32); }

QImage ToQImage(const Image32& image, bool opaque) {
    if (image.Empty()) return {};
    QImage out(image.Width, image.Height, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    for (int y = 0; y < image.Height; ++y)
        std::copy_n(image.Pixels.data() + static_cast<std::size_t>(y) * image.Width, image.Width,
                    reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
    return out;
}

TThumbnail::TThumbnail(TProgramState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName("Thumbnail");
    setWindowTitle("Thumbnail");
    previewLabel_ = new QLabel(this);
    previewLabel_->setObjectName("Preview");
    previewLabel_->setFixedSize(kThumbnailWidth, kThumbnailHeight);
    previewLabel_->setFrameShape(QFrame::Box);
    cbWatermark_ = new QCheckBox("Add &Watermark", this);
    cbWatermark_->setObjectName("cbWatermark");
    cbWatermark_->setEnabled(false);
    cropPanel_ = new QWidget(this);
    cropPanel_->setObjectName("cropPanel");
    auto* crop = new QHBoxLayout(cropPanel_);
    crop->setContentsMargins(0, 0, 0, 0);
    crop->addWidget(new QLabel("Crop ", cropPanel_));
    borderSize_ = new QSpinBox(cropPanel_);
    borderSize_->setObjectName("BorderSize");
    borderSize_->setRange(0, 300);
    borderSize_->setContextMenuPolicy(Qt::NoContextMenu);
    crop->addWidget(borderSize_);
    crop->addStretch(1);
    cropPanel_->hide();
    bOK_ = new QPushButton("&Save", this);
    bOK_->setObjectName("bOK");
    bOK_->setDefault(true);
    bCancel_ = new QPushButton("Cancel", this);
    bCancel_->setObjectName("bCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbWatermark_);
    buttons->addStretch(1);
    buttons->addWidget(bOK_);
    buttons->addWidget(bCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(previewLabel_, 0, Qt::AlignHCenter);
    layout->addWidget(cropPanel_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    watermarkFile_ = NativePath(ExpandMacros(state, "%bin%\\watermark.tga"));
    plain_.Resize(kThumbnailWidth, kThumbnailHeight);
    preview_ = plain_;
    connect(borderSize_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!filling_) BorderSizeChange(value);
    });
    connect(cbWatermark_, &QCheckBox::clicked, this, [this] { WatermarkClick(); });
    connect(bOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel_, &QPushButton::clicked, this, &QDialog::reject);
    ShowPreview();
}

bool TThumbnail::LoadSource(const std::string& file, std::string* error) {
    Image32 picture = LoadPicture(state_, file, error);
    if (picture.Empty()) return false;
    source_ = std::move(picture);
    border_ = 0;
    filling_ = true;
    borderSize_->setMaximum(ThumbnailBorderMaximum(source_.Width, source_.Height));
    borderSize_->setValue(0);
    filling_ = false;
    cropPanel_->show();
    cbWatermark_->setEnabled(true);
    cbWatermark_->setChecked(false);
    Crop();
    WatermarkClick();
    return true;
}

void TThumbnail::LoadSource(const Image32& picture) {
    source_ = picture;
    border_ = 0;
    cropPanel_->hide();
    cbWatermark_->setEnabled(!picture.Empty());
    cbWatermark_->setChecked(false);
    Crop();
    WatermarkClick();
}

bool TThumbnail::MakeThumbnail(Image32& picture, const std::string& watermarkFile) {
    LoadSource(picture);
    if (!watermarkFile.empty()) {
        if (watermarkFile != watermarkFile_) {
            watermarkFile_ = watermarkFile;
            watermark_ = {};
        }
        cbWatermark_->setChecked(true);
        WatermarkClick();
    }
    if (exec() != QDialog::Accepted) return false;
    picture = preview_;
    return true;
}

bool TThumbnail::MakeThumbnailFromFile(const std::string& file, Image32& thumbnail, std::string& error) {
    error.clear();
    if (!LoadSource(file, &error) || exec() != QDialog::Accepted) return false;
    thumbnail = preview_;
    return true;
}

void TThumbnail::BorderSizeChange(int border) {
    border_ = border;
    Crop();
    WatermarkClick();
}

void TThumbnail::Crop() {
    plain_ = CropToThumbnail(source_, border_);
    if (plain_.Empty()) plain_.Resize(kThumbnailWidth, kThumbnailHeight);
}

void TThumbnail::WatermarkClick() {
    preview_ = plain_;
    if (cbWatermark_->isChecked()) {
        // Read once per file, not at every border step; an absent or unreadable one draws nothing and
        // is tried again the next time.
        if (watermark_.Empty()) watermark_ = LoadPicture(state_, watermarkFile_);
        if (!watermark_.Empty()) BlendWatermark(preview_, watermark_);
    }
    ShowPreview();
    if (!cropPanel_->isHidden()) borderSize_->setFocus();
}

void TThumbnail::ShowPreview() {
    Image32 shown = preview_;
    shown.SetDepth24();  // what is saved is a JPEG: no transparency
    previewLabel_->setPixmap(QPixmap::fromImage(ToQImage(shown)));
}

void TThumbnail::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!cropPanel_->isHidden()) borderSize_->setFocus();
}

}  // namespace kelvarn
