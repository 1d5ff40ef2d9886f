#pragma once
// Tiles a picture over the client area of its owner window (the MDI client
// area when the owner is an MDI frame).
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

class TWallPaper : public QObject {
    Q_OBJECT
public:
    explicit TWallPaper(QWidget *owner);
    ~TWallPaper() override;

    QImage bitmap() const { return bitmap_; }
    void setBitmap(const QImage &picture);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    // Top left corners of the tiles for a client area: rows + 1 by columns + 1
    // copies, row by row from the top, left to right within a row.
    static QList<QPoint> tilePositions(const QSize &client, const QSize &picture);
    // The main window's picture: 600 x 400, 24 bits.
    static QImage defaultPicture();

    QWidget *target() const { return target_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void repaint();
    QPointer<QWidget> owner_;
    QPointer<QWidget> target_;
    QImage bitmap_;
    bool enabled_ = true;
};
