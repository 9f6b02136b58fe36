// The image pages of the editor window (section D): 1 ImageMaskTab (alpha from image), 2 ImageSizeTab
// (resize) and 3 ImageListTab (merge). They choose and preview; the image view does the work with
// what they give back. src/app/ hands them to the editor window through IEditorPageHost.
#pragma once

#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <optional>
#include <string>
#include <vector>

#include "media/AlphaTools.h"
#include "media/ImageDialogRules.h"
#include "media/ui/ImageDialogs.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QToolButton;

namespace kelvarn {

class IEditorPageHost;
class TProgramState;
class TScreenPicker;

// A preview: the checkerboard behind, the picture scaled to fit on top.
class TImagePreview final : public QFrame {
public:
    explicit TImagePreview(const QString& name, QWidget* parent = nullptr);
    void SetPicture(QImage picture);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QPixmap checker_;
};

class TImagePages final : public IImageDialogs {
public:
    TImagePages(TProgramState& state, IEditorPageHost& editor);

    // IImageDialogs
    std::optional<TResizeChoice> ResizeDialog(int width, int height, bool masked) override;
    std::optional<Image32> MergeImageDialog(const std::string& shownFile, int width, int height) override;
    std::optional<Image32> AlphaFromImageDialog(const Image32& image, std::uint32_t keyColour) override;

    // The resize page.
    void SizeChange();
    // The width's or the height's spin arrow, up or down.
    void StepImageSize(bool width, bool up);
    void cbThumbnailClick();
    // The merge page.
    void MergeImageListChange();
    // The alpha-from-image page.
    void ShowTolerance();
    void RefreshToleranceMask();
    void SetKeyColour(std::uint32_t colour);

    QWidget *ImageMaskTab, *ImageSizeTab, *ImageListTab;
    // ImageSizeTab
    QLineEdit *eiWidth, *eiHeight;
    QToolButton *sbiWidthUp, *sbiWidthDown, *sbiHeightUp, *sbiHeightDown;
    QCheckBox *cbThumbnail, *cbRetainAlpha;
    // ImageListTab
    QComboBox* MergeImageList;
    TImagePreview* MergePreview;
    QRadioButton *rbAlpha, *rbRBG, *rbDefault;
    QCheckBox* cbMergeInvert;
    // ImageMaskTab
    QSlider* tbTolerance;
    QLabel* lTolerance;
    TImagePreview *RGBPreview, *MaskPreview;
    QFrame *pMinimum, *pSelection, *pMaximum;
    QCheckBox* cbInvert;
    QFrame* ColourPicker;

    // The grey picture of the chosen file in the chosen mode; empty when it does not load.
    Image32 MergeChoice() const;

private:
    void BuildSizeTab();
    void BuildListTab();
    void BuildMaskTab();
    TMergeMode MergeMode() const;

    TProgramState& state_;
    IEditorPageHost& editor_;
    int imageWidth_ = 0, imageHeight_ = 0;
    bool filling_ = false;
    std::vector<TMergeCandidate> candidates_;
    Image32 maskSource_;  // the alpha page's preview picture (at most 256 a side)
    std::uint32_t key_ = 0;
    // The run's last choices of the alpha page.
    int lastTolerance_ = 0;
    bool lastInvert_ = false;
};

}  // namespace kelvarn
