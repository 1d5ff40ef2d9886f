#include "app/TWallPaper.h"

#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QPainter>
#include <QWidget>

TWallPaper::TWallPaper(QWidget *owner) : QObject(owner), owner_(owner)
{
    QWidget *target = owner;
    if (auto *mw = qobject_cast<QMainWindow *>(owner))
        if (auto *area = qobject_cast<QMdiArea *>(mw->centralWidget()))
            target = area->viewport();
    target_ = target;
    if (target_)
        target_->installEventFilter(this);
}

TWallPaper::~TWallPaper()
{
    if (target_)
        target_->removeEventFilter(this);
}

void TWallPaper::setBitmap(const QImage &picture)
{
    bitmap_ = picture;
    repaint();
}

void TWallPaper::setEnabled(bool on)
{
    if (enabled_ == on)
        return;
    enabled_ = on;
    repaint();
}

void TWallPaper::repaint()
{
    if (target_)
        target_->update();
}

QList<QPoint> TWallPaper::tilePositions(const QSize &client, const QSize &picture)
{
    QList<QPoint> out;
    if (picture.isEmpty())
        return out;
    const int rows = client.height() / picture.height();
    const int cols = client.width() / picture.width();
    for (int i = 0; i <= rows; ++i)
        for (int j = 0; j <= cols; ++j)
            out.append(QPoint(j * picture.width(), i * picture.height()));
    return out;
}

QImage TWallPaper::defaultPicture()
{
    return QImage();
}

bool TWallPaper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == target_ && event->type() == QEvent::Paint && enabled_ && !bitmap_.isNull()) {
        QPainter g(target_);
        for (const QPoint &p : tilePositions(target_->size(), bitmap_.size()))
            g.drawImage(p, bitmap_);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
