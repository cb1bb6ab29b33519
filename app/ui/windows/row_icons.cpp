#include "ui/windows/row_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace {

void PaintSheet(QPainter& p, qreal s) {
    QPainterPath sheet;
    sheet.moveTo(0.2 * s, 0.08 * s);
    sheet.lineTo(0.62 * s, 0.08 * s);
    sheet.lineTo(0.8 * s, 0.26 * s);
    sheet.lineTo(0.8 * s, 0.92 * s);
    sheet.lineTo(0.2 * s, 0.92 * s);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), s / 16.0));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setPen(QPen(QColor(120, 120, 160), s / 16.0));
    for (qreal y : {0.4, 0.55, 0.7})
        p.drawLine(QPointF(0.3 * s, y * s), QPointF(0.7 * s, y * s));
}

void PaintClock(QPainter& p, qreal s) {
    const QRectF face(0.45 * s, 0.45 * s, 0.52 * s, 0.52 * s);
    p.setPen(QPen(QColor(20, 40, 120), s / 16.0));
    p.setBrush(QColor(255, 240, 150));
    p.drawEllipse(face);
    const QPointF c = face.center();
    p.drawLine(c, QPointF(c.x(), face.top() + 0.08 * s));
    p.drawLine(c, QPointF(face.right() - 0.1 * s, c.y()));
}

void PaintCross(QPainter& p, qreal s) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 20, 20));
    p.drawEllipse(QRectF(0.45 * s, 0.45 * s, 0.52 * s, 0.52 * s));
    p.setPen(QPen(Qt::white, s / 10.0));
    p.drawLine(QPointF(0.58 * s, 0.58 * s), QPointF(0.84 * s, 0.84 * s));
    p.drawLine(QPointF(0.84 * s, 0.58 * s), QPointF(0.58 * s, 0.84 * s));
}

void PaintCheck(QPainter& p, qreal s) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 150, 40));
    p.drawEllipse(QRectF(0.45 * s, 0.45 * s, 0.52 * s, 0.52 * s));
    p.setPen(QPen(Qt::white, s / 10.0));
    p.drawPolyline(
        QPolygonF({QPointF(0.56 * s, 0.72 * s), QPointF(0.67 * s, 0.84 * s), QPointF(0.86 * s, 0.6 * s)}));
}

QPixmap Paint(RowImage image, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    PaintSheet(p, s);
    switch (image) {
        case RowImage::Page:
            break;
        case RowImage::Timed:
            PaintClock(p, s);
            break;
        case RowImage::Failed:
        case RowImage::LogError:
            PaintCross(p, s);
            break;
        case RowImage::LogOk:
            PaintCheck(p, s);
            break;
    }
    return pixmap;
}

}  // namespace

const QIcon& RowIcon(RowImage image) {
    static std::array<QIcon, 5> icons;
    QIcon& icon = icons[static_cast<size_t>(image)];
    if (icon.isNull()) {
        icon.addPixmap(Paint(image, 16));
        icon.addPixmap(Paint(image, 32));
    }
    return icon;
}
