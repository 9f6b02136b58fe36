// While long work lets events in, the windows keep painting but take none of the user's input but
// Escape, which asks the work to stop: a click could otherwise change what the work is walking.
#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <QObject>

namespace kelvarn {

// Installed on the application for as long as the work lets events in.
class TEscapeFilter final : public QObject {
public:
    bool escaped = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) escaped = true;
                return true;
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::Close:
                return true;
            default:
                return false;
        }
    }
};

}  // namespace kelvarn
