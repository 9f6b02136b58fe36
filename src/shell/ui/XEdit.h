// TXEdit: an edit box that takes only the characters of its kind (TCharType), can move the focus on
// Enter and changes colour while focused. TXTrackBar: a slider whose owner may draw its parts.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QSlider>
#include <functional>

#include "shell/Controls.h"

namespace kelvarn {

class IMessageSink;

class TXEdit : public QLineEdit {
public:
    explicit TXEdit(QWidget* parent = nullptr);

    TCharType CharType() const { return charType_; }
    void SetCharType(TCharType type) { charType_ = type; }
    void SetAlignment(Qt::Alignment alignment) { setAlignment(alignment); }
    QColor ColorOnEnter;       // the colour while focused; at creation the control's own
    bool TabOnEnter = false;   // Enter moves the focus on (Shift+Enter back) and inserts nothing
    bool CharErrorBeep = false;
    void SetBeepSink(IMessageSink* sink) { beepSink_ = sink; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TCharType charType_ = ctStandard;
    QColor savedColour_;
    IMessageSink* beepSink_ = nullptr;
};

// The parts of a track bar its owner may draw: 0 the tick marks, 1 the channel, 2 the thumb.
enum TTrackBarPart { tbpTicks = 0, tbpChannel = 1, tbpThumb = 2 };

class TXTrackBar : public QSlider {
public:
    using QSlider::QSlider;
    // Called for the tick marks and the thumb before the slider is drawn (leaving `defaultDraw` false
    // skips them), then for the channel after the style drew its own (the owner paints over it, the
    // thumb kept clear).
    std::function<void(QPainter& painter, TTrackBarPart part, bool& defaultDraw, const QRect& rect)> OnCustomDraw;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kelvarn
