#include "media/ui/Splash.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include "media/ThumbnailCore.h"

namespace kelvarn {

TSplash::TSplash(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("Splash");
    setWindowTitle("Splash");
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    move(0, 0);
}

QBitmap SplashMask(const QImage& image) {
    QImage cut(image.size(), QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        auto* out = reinterpret_cast<std::uint32_t*>(cut.scanLine(y));
        for (int x = 0; x < image.width(); ++x) out[x] = (in[x] >> 24) > 0 ? 0xFF000000u : 0u;
    }
    return QBitmap::fromImage(cut.createAlphaMask(Qt::ThresholdDither | Qt::ThresholdAlphaDither));
}

bool TSplash::Composites() {
    // X11 without a compositing manager, and the offscreen platform, draw no per-pixel alpha; the
    // other platforms always compose.
    const QString platform = QGuiApplication::platformName();
    return platform != "xcb" && platform != "offscreen" && platform != "minimal";
}

void TSplash::ShowSplash(const QPoint& point, const Image32& graphic) {
    if (graphic.Empty()) return;
    Image32 bitmap = graphic;  // a 24-bit picture has alpha 255 everywhere: it shows opaque
    bitmap.Depth = 32;
    PremultiplyAlpha(bitmap);
    shown_ = QImage(bitmap.Width, bitmap.Height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < bitmap.Height; ++y)
        std::copy_n(&bitmap.At(0, y), bitmap.Width, reinterpret_cast<std::uint32_t*>(shown_.scanLine(y)));
    setFixedSize(bitmap.Width, bitmap.Height);
    if (Composites())
        clearMask();
    else
        setMask(SplashMask(shown_));
    move(point);
    show();
    raise();
    update();
}

void TSplash::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, shown_);
}

void TSplash::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) grab_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TSplash::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - grab_);
}

void TSplash::keyPressEvent(QKeyEvent*) { hide(); }

}  // namespace kelvarn
