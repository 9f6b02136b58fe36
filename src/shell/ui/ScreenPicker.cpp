#include "shell/ui/ScreenPicker.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

namespace kelvarn {

bool PickScreenColour(const QPoint& global, QColor& colour) {
    QScreen* screen = QGuiApplication::screenAt(global);
    if (!screen) return false;
    const QPoint local = global - screen->geometry().topLeft();
    const QImage pixel = screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
    if (pixel.isNull()) return false;
    colour = pixel.pixelColor(0, 0);
    return true;
}

bool PickerAvailable() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen && !screen->grabWindow(0, 0, 0, 1, 1).isNull();
}

TScreenPicker::TScreenPicker(QFrame* panel, std::function<void(const QColor&)> picked, bool restoreColour)
    : QObject(panel), panel_(panel), picked_(std::move(picked)), restore_(restoreColour) {
    panel_->installEventFilter(this);
}

bool TScreenPicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched != panel_ || !panel_->isEnabled()) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            capturing_ = true;
            saved_ = panel_->palette().color(QPalette::Window);
            panel_->setFrameShadow(QFrame::Sunken);
            QApplication::setOverrideCursor(Qt::CrossCursor);
            panel_->grabMouse();
            return true;
        case QEvent::MouseMove:
            if (capturing_) {
                QColor colour;
                if (PickScreenColour(static_cast<QMouseEvent*>(event)->globalPosition().toPoint(), colour)) {
                    QPalette p = panel_->palette();
                    p.setColor(QPalette::Window, colour);
                    panel_->setPalette(p);
                }
            }
            return true;
        case QEvent::MouseButtonRelease: {
            if (!capturing_) return true;
            capturing_ = false;
            panel_->releaseMouse();
            QApplication::restoreOverrideCursor();
            panel_->setFrameShadow(QFrame::Raised);
            const QColor colour = panel_->palette().color(QPalette::Window);
            if (restore_) {
                QPalette p = panel_->palette();
                p.setColor(QPalette::Window, saved_);
                panel_->setPalette(p);
            }
            if (picked_) picked_(colour);
            return true;
        }
        default: return false;
    }
}

}  // namespace kelvarn
