#include "app/TfrmSobre.h"

#include "app/artwork.h"
#include "app/jpegimage.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
// Glyph of the Ok button: a green check mark.
QIcon glyphOk()
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QPainterPath check;
    check.moveTo(2.5, 8.5);
    check.lineTo(6.5, 12.5);
    check.lineTo(13.5, 3.5);
    g.setPen(QPen(QColor(20, 90, 20), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawPath(check);
    g.setPen(QPen(QColor(60, 170, 50), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawPath(check);
    return QIcon(p);
}
} // namespace

TfrmSobre::TfrmSobre(QWidget *parent) : TForm(parent, Qt::Window)
{
    setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(516, 358);

    // The picture sizes its control.
    const QImage picture = loadJpeg(artwork::aboutPicture());
    if (!picture.isNull()) {
        imgSobre->setPixmap(QPixmap::fromImage(picture));
        imgSobre->resize(picture.size());
    }

    btnOk->setIcon(glyphOk());
    btnOk->setFocus();
    on(btnOk, &QPushButton::clicked, &TfrmSobre::btnOkClick);

    // Shown centred over the window that opens it.
    if (parent) {
        const QRect over = parent->window()->frameGeometry();
        move(over.center() - rect().center());
    }
    createForm();
}

void TfrmSobre::btnOkClick()
{
    Close();
}

bool TfrmSobre::FormClose()
{
    enableMainMenuEntry(QStringLiteral("mnuAjudaSobre"));
    return true;
}
