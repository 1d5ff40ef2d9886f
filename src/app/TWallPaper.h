#pragma once
// Tiles a picture over the client area of its owner window (the MDI client
// area when the owner is an MDI frame).
//
// The component hooks the window it paints on with an event filter that
// stands in for the window's own background painting: while enabled and
// holding a picture it paints the tiles itself and the window's own
// background painting does not run; otherwise the window paints as usual.
// Child windows of the target are separate widgets and paint over the tiles.
#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>

class QWidget;

class TWallPaper : public QObject {
    Q_OBJECT
    Q_PROPERTY(QImage Bitmap READ bitmap WRITE setBitmap)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
public:
    // The owner also owns the component: it is destroyed with the owner.
    explicit TWallPaper(QWidget *owner);
    ~TWallPaper() override;

    QImage bitmap() const { return bitmap_; }
    // Keeps a copy of the picture and repaints the owner at once, every time.
    void setBitmap(const QImage &picture);
    bool enabled() const { return enabled_; }
    // Repaints the owner at once when the value really changes.
    void setEnabled(bool on);

    // Top left corners of the tiles for a client area: rows + 1 by columns + 1
    // copies, row by row from the top, left to right within a row.
    static QList<QPoint> tilePositions(const QSize &client, const QSize &picture);
    // The main window's picture: 600 x 400, 24 bits.
    static QImage defaultPicture();

    QWidget *owner() const { return owner_; }
    // The window painted on: the owner's MDI client area (its viewport) or
    // the owner itself; null once it is gone.
    QWidget *target() const { return target_; }
    // True while the hook is on the target.
    bool hooked() const { return hooked_ && target_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void repaint();
    void paintTiles(QWidget *on);

    QPointer<QWidget> owner_;
    QPointer<QWidget> target_;
    bool hooked_ = false;
    QImage bitmap_;
    QPixmap tile_; // bitmap_ ready for drawing
    bool enabled_ = true;
};
