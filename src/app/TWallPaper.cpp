#include "app/TWallPaper.h"
#include "app/artwork.h"

#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QPainter>
#include <QWidget>

namespace {
// The window whose background the component takes over.
QWidget *paintTarget(QWidget *owner)
{
    if (auto *frame = qobject_cast<QMainWindow *>(owner))
        if (auto *client = qobject_cast<QMdiArea *>(frame->centralWidget()))
            return client->viewport();
    return owner;
}
} // namespace

TWallPaper::TWallPaper(QWidget *owner) : QObject(owner), owner_(owner)
{
    target_ = paintTarget(owner);
    if (target_) {
        // Installed last, the filter sees the target's events before the
        // area's own handling of its viewport.
        target_->installEventFilter(this);
        hooked_ = true;
    }
}

TWallPaper::~TWallPaper()
{
    // The owner may already have destroyed the target (its children go
    // before the component): the guarded pointer is null then.
    if (target_ && hooked_)
        target_->removeEventFilter(this);
    hooked_ = false;
}

void TWallPaper::setBitmap(const QImage &picture)
{
    bitmap_ = picture;
    tile_ = picture.isNull() ? QPixmap() : QPixmap::fromImage(picture);
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
    // Invalidate and paint now.
    if (target_)
        target_->repaint();
}

QList<QPoint> TWallPaper::tilePositions(const QSize &client, const QSize &picture)
{
    QList<QPoint> out;
    if (picture.isEmpty())
        return out;
    const int rows = client.height() / picture.height();
    const int cols = client.width() / picture.width();
    out.reserve((rows + 1) * (cols + 1));
    for (int i = 0; i <= rows; ++i)
        for (int j = 0; j <= cols; ++j)
            out.append(QPoint(j * picture.width(), i * picture.height()));
    return out;
}

QImage TWallPaper::defaultPicture()
{
    QImage picture(artwork::wallpaperPicture(), "BMP");
    if (picture.isNull())
        return picture;
    return picture.convertToFormat(QImage::Format_RGB888);
}

void TWallPaper::paintTiles(QWidget *on)
{
    QPainter canvas(on);
    for (const QPoint &p : tilePositions(on->size(), tile_.size()))
        canvas.drawPixmap(p, tile_);
}

bool TWallPaper::eventFilter(QObject *watched, QEvent *event)
{
    // The background of the target is painted in its paint event: with tiles
    // to show, the tiles take its place and the target's own painting is
    // skipped; everything else goes on to the target.
    if (watched == target_ && event->type() == QEvent::Paint && enabled_ && !tile_.isNull()) {
        paintTiles(target_);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
