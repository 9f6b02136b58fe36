// TImageView: the frame that shows a picture (".tga", ".bmp", ".jpg", ".texture" and the further
// formats) beside or below its alpha channel as grey levels, over a tiled checkerboard. Clicks in the
// 5 x 5 hot zones of a layer turn, flip, mirror, zoom, toggle the mask view or change the background;
// the header buttons and the context menu send their numbers to the main window, whose rows call the
// operations back here. It also finds the asset's thumbnail and saves pictures.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "media/ThumbnailWindow.h"
#include "shell/Image32.h"
#include "shell/ui/FramePanel.h"

class QLabel;
class QMenu;
class QToolButton;

namespace kelvarn {

class IImageDialogs;
class TImageView;
class TProgramState;

// The floating preview (a layered window of the picture with its alpha), toggled by command 2501.
class IFloatingPreview {
public:
    virtual ~IFloatingPreview() = default;
    virtual void ShowPreview(const Image32& image) = 0;
    virtual void HidePreview() = 0;
    virtual bool PreviewVisible() const = 0;
};

// One layer (ImageA the colour, ImageB the alpha): the checkerboard behind, the picture scaled on top,
// the hint label following the mouse.
class TImageLayer final : public QWidget {
public:
    TImageLayer(TImageView& owner, const QString& name, QWidget* parent);
    void SetPicture(QImage picture) { picture_ = std::move(picture); update(); }
    const QImage& Picture() const { return picture_; }
    QLabel* Hint() const { return hint_; }
    // Where the picture is drawn inside the layer.
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    TImageView& owner_;
    QImage picture_;
    QLabel* hint_;
};

class TImageView final : public TViewerFrame<IViewerFrame> {
public:
    explicit TImageView(TProgramState& state, QWidget* parent = nullptr);

    // IFrame / IViewerFrame
    void Init(ICommandBus* target) override;
    void Clear() override { ClearView(); }
    bool CloseQuery() override;
    bool QuerySave() override;
    QWidget* MainControl() override { return imagePanel_; }
    std::string ShownFile() const override { return path_; }
    std::string LoadFile(const std::string& path, int mode) override;
    // Ctrl+S: the quick save; returns an error to show (none: the view says what went wrong itself).
    std::string SaveFile(const std::string& path) override;
    bool Modified() const override { return modified_; }

    void ClearView();
    // The description of the picture the view last put in the status bar; empty when none.
    const std::string& Described() const { return described_; }
    // Shows a picture; the message is its description, or why it is not shown.
    std::string LoadImageFile(const std::string& path);
    void RevertToOriginal();
    // The asset's thumbnail (or the placeholder); the description, or nothing when there is none.
    std::string FindThumbnail();
    void QuickSave();
    void SaveImage();
    void EditThumbnail();
    void Zoom();
    void SetBackground();
    void SetMaskView(bool on);
    void TransformImage(int action);  // a THotAction: mirror, flip or a rotation

    // The alpha tools.
    void InvertAlpha();
    void RemoveAlpha();
    void BlendToMask();
    void MaskToBlend();
    void ImportAlpha();
    void MaskFromImage();
    void ImageResize();
    void CreateNormalMap();
    // Empty when done or refused interactively (the alert says so), else the refusal.
    std::string MakeNonUniform(bool interactive);
    void FloatingPreview();
    void ImageInfo();

    // Group 2500's states on the buttons and the context menu.
    void UpdateMenuState();

    // What the program supplies.
    void SetDialogs(IImageDialogs* dialogs) { dialogs_ = dialogs; }
    // The thumbnail editor; without one the thumbnail commands do nothing.
    void SetThumbnailWindow(IThumbnailWindow* window) { thumbnails_ = window; }
    void SetFloatingPreview(IFloatingPreview* preview) { preview_ = preview; }
    // The file header as text (the editor's); unset: nothing is shown.
    std::function<void(const std::string& path)> ShowFileHeader;
    // Save and open dialogs: the chosen file, empty when cancelled. `filterIndex` is 0-based.
    std::function<std::string(const std::string& caption, const std::string& folder, const std::string& filter,
                              int filterIndex)>
        ChooseSaveFile;
    std::function<std::string(const std::string& caption, const std::string& folder, const std::string& filter)>
        ChooseOpenFile;

    // What tests and the rows read.
    const Image32& Bitmap() const { return image_; }
    int AlphaKind() const { return alphaKind_; }
    int Layout() const { return layout_; }
    bool MaskView() const { return maskView_; }
    bool FitZoom() const { return fit_; }
    double Scale() const { return scale_; }
    int Background() const { return background_; }
    bool Screenshot() const { return screenshot_; }
    bool Uniform() const;
    bool Placeholder() const { return placeholder_; }
    // A picture is loaded and it is not the program's placeholder.
    bool Editable() const;
    TImageLayer* LayerA() const { return layerA_; }
    TImageLayer* LayerB() const { return layerB_; }
    QWidget* Header() const { return header_; }
    QMenu* ContextMenu() const { return menu_; }
    QToolButton* Button(const char* name) const;
    QAction* MenuAction(const char* name) const;
    // The hot zones, as the layers call them.
    void LayerMouseMove(TImageLayer* layer, const QPoint& at);
    void LayerMouseUp(TImageLayer* layer, const QPoint& at);
    void LayerLeave(TImageLayer* layer);
    const QPixmap& Checkerboard() const { return checker_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPictures();
    void ArrangeLayers();
    // After every edit: the alpha layer again, modified, the preview refreshed, the states asked for.
    void Changed(bool chooseLayout);
    void Validate();
    // Puts the picture's description (or nothing) in the status bar, and remembers it.
    void Describe(const std::string& text);
    void Send(int code, const std::string& text);
    void SendSaved(const std::string& path);
    bool SaveTo(const std::string& path, int kind);
    std::string AssetFolder() const;
    void OpenContextMenu(const QPoint& global);
    void RunBusy(const std::function<void()>& work);

    TProgramState& state_;
    std::string described_;
    QWidget* header_;
    QWidget* imagePanel_;
    TImageLayer* layerA_;
    TImageLayer* layerB_;
    QMenu* menu_;
    std::map<std::string, QToolButton*> buttons_;
    std::map<std::string, QAction*> actions_;
    IThumbnailWindow* thumbnails_ = nullptr;
    IImageDialogs* dialogs_ = nullptr;
    IFloatingPreview* preview_ = nullptr;
    QPixmap checker_;

    std::string path_;
    Image32 image_;
    Image32 thumbnail_;  // the thumbnail editor's result, saved by the next quick save
    int alphaKind_ = 0;
    int compression_ = 0;
    int bits_ = 0;
    int layout_ = 0;
    bool fit_ = false;
    double scale_ = 1.0;
    bool maskView_ = false;
    bool modified_ = false;
    bool screenshot_ = false;
    bool placeholder_ = false;
    bool cursorFlag_ = true;
    int background_ = -1;
};

}  // namespace kelvarn
