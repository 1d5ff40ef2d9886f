#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap canvas()
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    return p;
}

void page(QPainter &g, int x, int y, int w, int h, const QColor &fill)
{
    g.setPen(QColor(60, 60, 60));
    g.setBrush(fill);
    g.drawRect(x, y, w, h);
}

QIcon exitIcon()
{
    QPixmap p = canvas();
    QPainter g(&p);
    page(g, 2, 1, 8, 13, QColor(170, 110, 60));          // door
    g.setBrush(QColor(250, 220, 90));
    g.drawEllipse(QPoint(8, 8), 1, 1);                    // knob
    g.setPen(QPen(QColor(200, 30, 30), 2));
    g.drawLine(10, 8, 15, 8);                             // arrow out
    g.drawLine(13, 5, 15, 8);
    g.drawLine(13, 11, 15, 8);
    return QIcon(p);
}

QIcon cutIcon()
{
    QPixmap p = canvas();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(90, 90, 90), 1.5));
    g.drawLine(4, 1, 10, 10);
    g.drawLine(12, 1, 6, 10);
    g.setPen(QPen(QColor(30, 60, 160), 1.5));
    g.setBrush(Qt::NoBrush);
    g.drawEllipse(QPointF(4.5, 12.5), 2.5, 2.5);
    g.drawEllipse(QPointF(11.5, 12.5), 2.5, 2.5);
    return QIcon(p);
}

QIcon copyIcon()
{
    QPixmap p = canvas();
    QPainter g(&p);
    page(g, 1, 1, 8, 10, Qt::white);
    page(g, 6, 5, 8, 10, QColor(235, 240, 255));
    g.setPen(QColor(120, 120, 200));
    for (int y = 8; y <= 12; y += 2)
        g.drawLine(8, y, 12, y);
    return QIcon(p);
}

QIcon pasteIcon()
{
    QPixmap p = canvas();
    QPainter g(&p);
    page(g, 2, 2, 10, 13, QColor(190, 140, 80));        // board
    page(g, 5, 1, 4, 2, QColor(160, 160, 160));         // clip
    page(g, 7, 6, 7, 9, Qt::white);                     // sheet
    g.setPen(QColor(120, 120, 200));
    g.drawLine(9, 9, 12, 9);
    g.drawLine(9, 11, 12, 11);
    return QIcon(p);
}

QIcon contractsIcon()
{
    QPixmap p = canvas();
    QPainter g(&p);
    page(g, 1, 3, 14, 10, QColor(255, 250, 220));       // card
    g.setPen(QColor(30, 90, 160));
    g.drawLine(7, 6, 13, 6);
    g.drawLine(7, 8, 13, 8);
    g.drawLine(7, 10, 11, 10);
    g.setBrush(QColor(30, 90, 160));
    g.drawEllipse(2, 5, 3, 3);                          // holder
    g.drawRect(2, 9, 3, 2);
    return QIcon(p);
}

QIcon queryIcon()
{
    QPixmap p = canvas();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    page(g, 1, 1, 10, 13, Qt::white);
    g.setPen(QColor(150, 150, 150));
    for (int y = 4; y <= 10; y += 2)
        g.drawLine(3, y, 8, y);
    g.setPen(QPen(QColor(20, 20, 20), 1.5));
    g.setBrush(QColor(180, 220, 250, 200));
    g.drawEllipse(QPointF(9.5, 9.5), 3.2, 3.2);
    g.setPen(QPen(QColor(20, 20, 20), 2));
    g.drawLine(QPointF(12, 12), QPointF(15, 15));
    return QIcon(p);
}

QIcon helpIcon()
{
    QPixmap p = canvas();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QColor(20, 60, 140));
    g.setBrush(QColor(40, 110, 210));
    g.drawEllipse(QPointF(8, 8), 7, 7);
    QFont f = g.font();
    f.setPixelSize(12);
    f.setBold(true);
    g.setFont(f);
    g.setPen(Qt::white);
    g.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(p);
}

// A sheet with an arrow coming in (return) or going out (remittance).
QIcon fileArrowIcon(bool outgoing)
{
    QPixmap p = canvas();
    QPainter g(&p);
    page(g, outgoing ? 1 : 6, 1, 9, 13, Qt::white);
    g.setPen(QColor(150, 150, 150));
    const int x0 = outgoing ? 3 : 8;
    for (int y = 4; y <= 11; y += 2)
        g.drawLine(x0, y, x0 + 4, y);
    const QColor c = outgoing ? QColor(20, 140, 40) : QColor(200, 100, 0);
    g.setPen(QPen(c, 2));
    if (outgoing) {
        g.drawLine(7, 10, 15, 10);
        g.drawLine(12, 7, 15, 10);
        g.drawLine(12, 13, 15, 10);
    } else {
        g.drawLine(0, 10, 9, 10);
        g.drawLine(6, 7, 9, 10);
        g.drawLine(6, 13, 9, 10);
    }
    return QIcon(p);
}

} // namespace

QList<QIcon> ImageList1()
{
    return {exitIcon(), cutIcon(), copyIcon(), pasteIcon(), contractsIcon(), queryIcon(), helpIcon(),
            fileArrowIcon(false), fileArrowIcon(true)};
}
