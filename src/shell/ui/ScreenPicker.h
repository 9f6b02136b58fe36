// Picking a colour off the screen: the colour selector's picker panel and the alpha-from-image page's
// both work this way. Pressing the panel lowers it, captures the mouse and shows the picking cursor;
// moving colours the panel with the screen pixel under the mouse; releasing hands that colour on.
#pragma once

#include <QColor>
#include <QObject>
#include <functional>

class QFrame;
class QPoint;

namespace kelvarn {

// The screen pixel at a global position; false where the desktop gives none (offscreen, Wayland).
bool PickScreenColour(const QPoint& global, QColor& colour);
// Whether the desktop hands out screen pixels at all.
bool PickerAvailable();

class TScreenPicker final : public QObject {
public:
    // Watches `panel`; `picked` gets the colour on release. With `restoreColour` the panel takes its
    // own colour back afterwards.
    TScreenPicker(QFrame* panel, std::function<void(const QColor&)> picked, bool restoreColour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* panel_;
    std::function<void(const QColor&)> picked_;
    bool restore_;
    bool capturing_ = false;
    QColor saved_;
};

}  // namespace kelvarn
