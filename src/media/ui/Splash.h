// TSplash: a borderless, stay-on-top window that shows a 32-bit picture with per-pixel transparency.
// Dragged by any point; a key hides it.
#pragma once

#include <QBitmap>
#include <QImage>
#include <QWidget>

#include "shell/Image32.h"

namespace kelvarn {

// The window's shape without a compositor: the pixels whose alpha is above 0.
QBitmap SplashMask(const QImage& image);

class TSplash final : public QWidget {
public:
    explicit TSplash(QWidget* parent = nullptr);

    // Shows a copy of `graphic` at `point` (screen coordinates): the colours premultiplied by alpha,
    // the window sized to the picture.
    void ShowSplash(const QPoint& point, const Image32& graphic);

    const QImage& Shown() const { return shown_; }
    // Without a compositor per-pixel alpha cannot show: the window is cut to the pixels with alpha.
    static bool Composites();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage shown_;
    QPoint grab_;
};

}  // namespace kelvarn
