#include "about/program_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace tarnik {

QPixmap programPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    p.scale(s, s);
    // aerial
    p.setPen(QPen(QColor(60, 60, 60), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(44, 20), QPointF(50, 4));
    // case
    p.setPen(QPen(QColor(20, 60, 30), 2));
    p.setBrush(QColor(46, 139, 87));
    p.drawRoundedRect(QRectF(8, 18, 48, 40), 6, 6);
    // letter T
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(18, 26, 28, 6));
    p.drawRect(QRectF(29, 26, 6, 24));
    return pixmap;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(programPixmap(size));
    return icon;
}

}  // namespace tarnik
