#include "platform/AppIcon.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mapfeed {

namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // The map sheet.
    p.setPen(QPen(QColor(0x2e, 0x4a, 0x62), 2.5));
    p.setBrush(QColor(0xe8, 0xf1, 0xe4));
    p.drawRoundedRect(QRectF(6, 8, 44, 48), 4, 4);

    // A route across it.
    QPainterPath route;
    route.moveTo(12, 46);
    route.cubicTo(20, 30, 30, 44, 36, 24);
    route.lineTo(44, 16);
    p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(route);

    // The arrow that feeds it on.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x6f, 0xb2));
    QPolygonF arrow;
    arrow << QPointF(40, 36) << QPointF(52, 36) << QPointF(52, 30) << QPointF(62, 42) << QPointF(52, 54)
          << QPointF(52, 48) << QPointF(40, 48);
    p.drawPolygon(arrow);
    return pixmap;
}

QIcon& drawnIcon() {
    static QIcon icon;
    return icon;
}

}  // namespace

QIcon appIcon() {
    // Drawn once and shared: the program and every window it makes show the same icon, and
    // six antialiased drawings cost more at start than handing out a copy.
    QIcon& icon = drawnIcon();
    if (icon.isNull()) {
        for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(drawIcon(size));
        // Its pixmaps go with the application, not after it.
        qAddPostRoutine([] { drawnIcon() = QIcon(); });
    }
    return icon;
}

}  // namespace mapfeed
