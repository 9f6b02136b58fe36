// TThumbnail: turns a picture into the 240 x 180 thumbnail an asset carries. The source is cropped to
// 4:3 inside an adjustable border (a file) or taken whole (a rendered picture), scaled, and the
// watermark may be laid over it. The caller shows it modally and saves the preview on OK.
#pragma once

#include <QDialog>
#include <string>

#include "media/ThumbnailWindow.h"
#include "shell/Image32.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kelvarn {

class TProgramState;

// The display copy of a program image, opaque or not as asked, or as its depth says.
QImage ToQImage(const Image32& image, bool opaque);
QImage ToQImage(const Image32& image);

class TThumbnail final : public QDialog, public IThumbnailWindow {
public:
    explicit TThumbnail(TProgramState& state, QWidget* parent = nullptr);

    // A picture file: cropped inside the border. False (nothing changed) when it does not load, with
    // the message that says why in `error`.
    bool LoadSource(const std::string& file, std::string* error = nullptr);
    // A picture already made (the mesh view's): taken whole, no crop.
    void LoadSource(const Image32& picture);

    // IThumbnailWindow: the picture as source, the watermark box ticked when a watermark is offered.
    bool MakeThumbnail(Image32& picture, const std::string& watermarkFile) override;
    bool MakeThumbnailFromFile(const std::string& file, Image32& thumbnail, std::string& error) override;

    void BorderSizeChange(int border);
    void WatermarkClick();

    const Image32& Preview() const { return preview_; }
    const Image32& PlainThumbnail() const { return plain_; }
    QLabel* PreviewLabel() const { return previewLabel_; }
    QCheckBox* WatermarkBox() const { return cbWatermark_; }
    QSpinBox* BorderSize() const { return borderSize_; }
    QWidget* CropPanel() const { return cropPanel_; }
    QPushButton* OkButton() const { return bOK_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Crop();
    void ShowPreview();

    TProgramState& state_;
    Image32 source_, plain_, watermark_, preview_;
    int border_ = 0;
    std::string watermarkFile_;  // watermark_ is its picture once read
    QLabel* previewLabel_;
    QCheckBox* cbWatermark_;
    QWidget* cropPanel_;
    QSpinBox* borderSize_;
    QPushButton* bOK_;
    QPushButton* bCancel_;
    bool filling_ = false;
};

}  // namespace kelvarn
