#include "shell/ui/FramePanel.h"

#include <QEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/CommandBus.h"

namespace kelvarn {

TFramePanel::TFramePanel(const QString& objectName, const QString& caption, bool header, QWidget* parent)
    : QFrame(parent), borderColour_(palette().color(QPalette::Button)) {
    setObjectName(objectName);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    if (header) {
        auto* row = new QWidget(this);
        row->setObjectName("Header");
        headerLayout_ = new QHBoxLayout(row);
        headerLayout_->setContentsMargins(4, 1, 1, 1);
        headerLayout_->setSpacing(2);
        auto* label = new QLabel(caption, row);
        label->setObjectName("Caption");
        headerLayout_->addWidget(label);
        headerLayout_->addStretch();
        max_ = new QToolButton(row);
        max_->setObjectName("bMax");
        max_->setToolTip("Maximise / Restore");
        max_->setCheckable(true);
        max_->setAutoRaise(true);
        max_->setArrowType(Qt::UpArrow);
        max_->setFixedSize(20, 18);
        headerLayout_->addWidget(max_);
        layout->addWidget(row);
    }
    body_ = new QWidget(this);
    body_->setObjectName("Body");
    bodyLayout_ = new QVBoxLayout(body_);
    bodyLayout_->setContentsMargins(0, 0, 0, 0);
    bodyLayout_->setSpacing(0);
    layout->addWidget(body_, 1);
    alert_ = new TAlert(this);
    layout->addWidget(alert_);
    SetPanelBorder(1, borderColour_);
}

void TFramePanel::SetPanelBorder(int width, const QColor& colour) {
    borderWidth_ = std::max(width, 0);
    borderColour_ = colour;
    layout()->setContentsMargins(borderWidth_, borderWidth_, borderWidth_, borderWidth_);
    update();
}

void TFramePanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (borderWidth_ <= 0) return;
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(QRect(r.left(), r.top(), r.width(), borderWidth_), borderColour_);
    painter.fillRect(QRect(r.left(), r.bottom() - borderWidth_ + 1, r.width(), borderWidth_), borderColour_);
    painter.fillRect(QRect(r.left(), r.top(), borderWidth_, r.height()), borderColour_);
    painter.fillRect(QRect(r.right() - borderWidth_ + 1, r.top(), borderWidth_, r.height()), borderColour_);
}

void TFramePanel::enterEvent(QEnterEvent* event) {
    QFrame::enterEvent(event);
    if (!highlightName_.empty() && bus_) bus_->SendCommand(ccHighlight, highlightName_);
}

void ShowEmptyBody(TFramePanel& panel) {
    QWidget* body = panel.Body();
    body->setAutoFillBackground(true);
    body->setBackgroundRole(QPalette::Base);
}

}  // namespace kelvarn
