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
    const std::pair<TTrackBarPart, QStyle::SubControl> parts[] = {
        {tbpTicks, QStyle::SC_SliderTickmarks}, {tbpChannel, QStyle::SC_SliderGroove},
        {tbpThumb, QStyle::SC_SliderHandle}};
    for (const auto& [part, control] : parts) {
        bool defaultDraw = false;
        const QRect rect = style()->subControlRect(QStyle::CC_Slider, &option, control, this);
        OnCustomDraw(painter, part, defaultDraw, rect);
        if (!defaultDraw) option.subControls &= ~control;
    }
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

}  // namespace kelvarn
