#include "contracts/TfrmCnsContrato.h"
#include "ui_TfrmCnsContrato.h"

#include "db/tables.h"
#include "platform/windowing/dbcontrols.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/guard.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

TfrmCnsContrato::TfrmCnsContrato(QWidget *parent) : QWidget(parent), ui(new Ui::TfrmCnsContrato)
{
    ui->setupUi(this);
    Panel2 = ui->Panel2;
    Panel1 = ui->Panel1;
    grdContrato = ui->grdContrato;
    btnOk = ui->btnOk;
    btnOk->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    resize(717, 357);

    zqdb::setupTable(tblContrato, QStringLiteral("Ctr.DB"));
    zqdb::setContractFormats(tblContrato);
    tblContrato.fieldOptions(QStringLiteral("CtrAgencia")).alignment = Qt::AlignLeft;
    tblContrato.fieldOptions(QStringLiteral("CtrContrato")).alignment = Qt::AlignLeft;
    zqdb::addSisCodLookup(tblContrato, &tblServico, QStringLiteral("SvcSisCod"));
    zqdb::setupTable(tblServico, QStringLiteral("Svc.DB"));
    dtsContrato.setDataSet(&tblContrato);

    // The column widths are those of the window's compact font.
    QFont fonte = grdContrato->font();
    fonte.setPixelSize(11);
    grdContrato->setFont(fonte);
    grdContrato->verticalHeader()->setFont(fonte);
    QFont titulos = fonte;
    titulos.setStretch(QFont::SemiCondensed);
    grdContrato->horizontalHeader()->setFont(titulos);

    const Qt::Alignment centro = Qt::AlignHCenter;
    const Qt::Alignment esquerda = Qt::AlignLeft;
    grdContrato->setColumns({
        {QStringLiteral("CtrAgencia"), QStringLiteral("Agência"), centro, esquerda, true, 0},
        {QStringLiteral("CtrContrato"), QStringLiteral("Cont/Conv"), centro, esquerda, true, 0},
        {QStringLiteral("SvcSisCod"), QStringLiteral("Sistema"), centro, esquerda, true, 47},
        {QStringLiteral("CtrServico"), QStringLiteral("Servico"), centro, esquerda, true, 46},
        {QStringLiteral("CtrDirRemessa"), QStringLiteral("Diretório Remessa"), esquerda, centro, true, 164},
        {QStringLiteral("CtrDirRetorno"), QStringLiteral("Diretório Retorno"), esquerda, centro, true, 215},
        {QStringLiteral("CtrDescricao"), QStringLiteral("Descrição"), esquerda, esquerda, false, 0},
    });
    grdContrato->setDataSource(&dtsContrato);

    connect(btnOk, &QPushButton::clicked, this, [this] { Guard([this] { btnOkClick(); }); });

    Guard([this] { FormCreate(); });
}

TfrmCnsContrato::~TfrmCnsContrato()
{
    // The controls outlive this part of the window while the base class deletes them.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
    delete ui;
}

void TfrmCnsContrato::FormCreate()
{
    tblContrato.open();
    tblContrato.first();
    tblServico.open();
}

void TfrmCnsContrato::FormClose()
{
    enableMainMenuEntry(QStringLiteral("mnuCnsContrato"));
    tblContrato.close();
    tblServico.close();
}

void TfrmCnsContrato::btnOkClick()
{
    closeForm(this);
}

void TfrmCnsContrato::closeEvent(QCloseEvent *event)
{
    Guard([this] { FormClose(); });
    event->accept();
}

void TfrmCnsContrato::keyPressEvent(QKeyEvent *event)
{
    // Ok is the default button: Enter presses it wherever the focus is.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && btnOk->isEnabled()) {
        btnOk->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
