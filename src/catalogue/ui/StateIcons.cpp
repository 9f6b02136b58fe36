#include "catalogue/ui/StateIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace kelvarn {

namespace {

// A check box whose parts show the flags: a tick for tagged, a green fill for modified, a dark red
// frame for comment, a red cross for deletion, a red dot for an error.
QIcon DrawStateIcon(int code) {
    QPixmap pixmap(kStateIconSize, kStateIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(2.5, 2.5, 11, 11);
    const bool modified = code & 1, tagged = code & 2, comment = code & 4, deletion = code & 8, error = code & 16;
    p.setPen(QPen(comment ? QColor(0x80, 0, 0) : QColor(0x70, 0x70, 0x70), comment ? 1.6 : 1.0));
    p.setBrush(modified ? QColor(0xCB, 0xE9, 0xCB) : QColor(Qt::white));
    p.drawRect(box);
    if (tagged) {
        QPainterPath tick;
        tick.moveTo(4.5, 8.0);
        tick.lineTo(7.0, 10.8);
        tick.lineTo(11.8, 4.8);
        p.setPen(QPen(Qt::black, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    if (deletion) {
        p.setPen(QPen(QColor(0xC0, 0, 0), 1.4));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    if (error) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::red);
        p.drawEllipse(QRectF(10, 10, 6, 6));
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace

const QIcon& StateIcon(int code) {
    static const std::array<QIcon, kStateIconCount> icons = [] {
        std::array<QIcon, kStateIconCount> all;
        for (int i = 0; i < kStateIconCount; ++i) all[static_cast<std::size_t>(i)] = DrawStateIcon(i);
        return all;
    }();
    return icons[static_cast<std::size_t>(code >= 0 && code < kStateIconCount ? code : 0)];
}

}  // namespace kelvarn
