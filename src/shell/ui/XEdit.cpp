#include "shell/ui/XEdit.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionSlider>

#include "shell/ProgramState.h"

namespace kelvarn {

TXEdit::TXEdit(QWidget* parent) : QLineEdit(parent) { ColorOnEnter = palette().color(QPalette::Base); }

void TXEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && TabOnEnter && parentWidget()) {
        focusNextPrevChild(!(event->modifiers() & Qt::ShiftModifier));
        event->accept();
        return;
    }
    // Only typed characters are filtered: editing keys, paste and short cuts pass.
    const QString text = event->text();
    if (!text.isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        for (const QChar ch : text) {
            if (!CharAllowed(charType_, ch.unicode())) {
                if (CharErrorBeep) (beepSink_ ? beepSink_ : Globals().Messages)->Beep();
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TXEdit::focusInEvent(QFocusEvent* event) {
    savedColour_ = palette().color(QPalette::Base);
    QPalette p = palette();
    p.setColor(QPalette::Base, ColorOnEnter);
    setPalette(p);
    QLineEdit::focusInEvent(event);
}

void TXEdit::focusOutEvent(QFocusEvent* event) {
    if (savedColour_.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::Base, savedColour_);
        setPalette(p);
    }
    QLineEdit::focusOutEvent(event);
}

void TXTrackBar::paintEvent(QPaintEvent* event) {
    if (!OnCustomDraw) {
        QSlider::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    auto rectOf = [&](QStyle::SubControl control) {
        return style()->subControlRect(QStyle::CC_Slider, &option, control, this);
    };
    // The owner decides on the tick marks and the thumb first; the style then draws the slider, and
    // the owner paints its channel over the style's, around the thumb.
    bool ticks = false, thumb = false, channel = false;
    OnCustomDraw(painter, tbpTicks, ticks, rectOf(QStyle::SC_SliderTickmarks));
    OnCustomDraw(painter, tbpThumb, thumb, rectOf(QStyle::SC_SliderHandle));
    option.subControls = QStyle::SC_SliderGroove;
    if (thumb) option.subControls |= QStyle::SC_SliderHandle;
    if (ticks && tickPosition() != NoTicks) option.subControls |= QStyle::SC_SliderTickmarks;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    if (thumb) painter.setClipRegion(QRegion(rect()).subtracted(QRegion(rectOf(QStyle::SC_SliderHandle))));
    OnCustomDraw(painter, tbpChannel, channel, rectOf(QStyle::SC_SliderGroove));
}

}  // namespace kelvarn
