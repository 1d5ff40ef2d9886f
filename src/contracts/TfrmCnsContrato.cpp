#include "contracts/TfrmCnsContrato.h"

#include "db/tables.h"
#include "platform/windowing/dbcontrols.h"

#include <QHeaderView>
#include <QStyle>

TfrmCnsContrato::TfrmCnsContrato(QWidget *parent) : TForm(parent)
{
    setupUi(this);
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

    on(btnOk, &QPushButton::clicked, &TfrmCnsContrato::btnOkClick);
    createForm();
}

void TfrmCnsContrato::FormCreate()
{
    tblContrato.open();
    tblContrato.first();
    tblServico.open();
}

bool TfrmCnsContrato::FormClose()
{
    enableMainMenuEntry(QStringLiteral("mnuCnsContrato"));
    tblContrato.close();
    tblServico.close();
    return true;
}

void TfrmCnsContrato::btnOkClick()
{
    Close();
}
