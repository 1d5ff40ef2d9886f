#include "app/TfrmSobre.h"
#include "ui_TfrmSobre.h"

#include "app/artwork.h"
#include "app/jpegimage.h"
#include "platform/windowing/forms.h"

#include <QCloseEvent>
#include <QKeyEvent>
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

TfrmSobre::TfrmSobre(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TfrmSobre)
{
    ui->setupUi(this);
    pnlSobre = ui->pnlSobre;
    imgSobre = ui->imgSobre;
    pnlSobre1 = ui->pnlSobre1;
    btnOk = ui->btnOk;
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
    connect(btnOk, &QPushButton::clicked, this, &TfrmSobre::btnOkClick);

    // Shown centred over the window that opens it.
    if (parent) {
        const QRect over = parent->window()->frameGeometry();
        move(over.center() - rect().center());
    }
}

TfrmSobre::~TfrmSobre()
{
    delete ui;
}

void TfrmSobre::btnOkClick()
{
    close();
}

void TfrmSobre::FormClose()
{
    enableMainMenuEntry(QStringLiteral("mnuAjudaSobre"));
}

void TfrmSobre::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TfrmSobre::keyPressEvent(QKeyEvent *event)
{
    // Ok is the default button: Enter presses it wherever the focus is.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btnOk->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
