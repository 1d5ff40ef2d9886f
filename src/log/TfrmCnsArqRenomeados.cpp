#include "log/TfrmCnsArqRenomeados.h"

#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
#include "log/PesquisaLog.h"
#include "platform/runtime/convert.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/dbcontrols.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString Todos = u"Todos"_s;
const QString SemData = u"00/00/0000"_s;

// The hourglass for as long as it lives, or until restored.
class Ampulheta {
public:
    Ampulheta() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Ampulheta() { restaura(); }
    void restaura()
    {
        if (ativa_)
            QApplication::restoreOverrideCursor();
        ativa_ = false;
    }

private:
    bool ativa_ = true;
};

} // namespace

// The header's blanks set "Contrato/Convênio" over the contract numbers of
// the entries; the list is wide enough for a whole entry and for the header.
void TfrmCnsArqRenomeados::alinhaCabecalho()
{
    alignCaptionOverColumn(Label1, cmbContrato, 32);
    QStyleOptionComboBox opcao;
    opcao.initFrom(cmbContrato);
    opcao.editable = true;
    opcao.rect = QRect(0, 0, 400, cmbContrato->sizeHint().height());
    const QRect campo = style()->subControlRect(QStyle::CC_ComboBox, &opcao, QStyle::SC_ComboBoxEditField, cmbContrato);
    const QFontMetricsF lista(cmbContrato->font());
    const int entrada = int(std::ceil(campo.x() + 4 + 41 * lista.horizontalAdvance(u'0'))) + (400 - campo.right());
    cmbContrato->setMinimumWidth(std::max(entrada, Label1->sizeHint().width()));
}

TfrmCnsArqRenomeados::TfrmCnsArqRenomeados(QWidget *parent) : TForm(parent)
{
    setupUi(this);
    btnOk->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    resize(790, 420);

    // The contract list is read in fixed columns: agency in 1-4, contract in 33-41.
    cmbContrato->setFont(courierFont(cmbContrato->font().pointSize()));
    // What is typed stays as typed: no entry completes it.
    cmbContrato->setCompleter(nullptr);
    alinhaCabecalho();

    // Data sets: the log as each search selects it, the contracts of the
    // list with the name of their agency.
    qryArquivos.databaseName = zqdb::AliasName;
    qryArquivos.setSQL(sql::ArquivosLogDesign);
    qryArquivos.declareParams(sql::log::Params);
    qryArquivos.fieldOptions(u"ArqCtrAgencia"_s).displayFormat = u"0000"_s;
    qryArquivos.fieldOptions(u"ArqCtrContrato"_s).displayFormat = u"000000000"_s;
    zqdb::setupTable(tblContrato, u"Ctr.DB"_s);
    zqdb::addAgeNomeLookup(tblContrato, &tblAgencia, 30);
    zqdb::setupTable(tblAgencia, u"Age.DB"_s);
    dtsArquivos.setDataSet(&qryArquivos);

    // The column widths are those of the window's compact font.
    QFont fonte = grdArquivo->font();
    fonte.setPixelSize(11);
    fonte.setStretch(QFont::Condensed);
    grdArquivo->setFont(fonte);
    grdArquivo->verticalHeader()->setFont(fonte);
    grdArquivo->horizontalHeader()->setFont(fonte);
    const Qt::Alignment centro = Qt::AlignHCenter;
    const Qt::Alignment esquerda = Qt::AlignLeft;
    grdArquivo->setColumns({
        {u"ArqCtrAgencia"_s, u"Agência"_s, centro, centro, true, 51},
        {u"ArqCtrContrato"_s, u"Cont/Conv"_s, centro, centro, true, 62},
        {u"ArqDataOper"_s, u"Data"_s, centro, centro, true, 63},
        {u"ArqHoraOper"_s, u"Hora"_s, esquerda, centro, true, 49},
        {u"ArqNomeOrigem"_s, u"Arquivo Origem"_s, esquerda, centro, true, 185},
        {u"ArqNomeDestino"_s, u"Nome Destino"_s, esquerda, centro, true, 175},
    });
    grdArquivo->setDataSource(&dtsArquivos);

    on(btnPesquisar, &QPushButton::clicked, &TfrmCnsArqRenomeados::btnPesquisarClick);
    on(btnOk, &QPushButton::clicked, &TfrmCnsArqRenomeados::btnOkClick);
    createForm();
}

void TfrmCnsArqRenomeados::FormCreate()
{
    radRemessa->setChecked(false);
    radRetorno->setChecked(false);
    edtDtaArquivo->setDateText(SemData);
    grdArquivo->setDataSource(nullptr);

    tblAgencia.open();
    tblContrato.open();
    {
        // Nothing shows the contracts while the list is filled.
        const QSignalBlocker semAvisos(&tblContrato);
        tblContrato.first();
        cmbContrato->clear();
        cmbContrato->addItem(Todos);
        const tables::Field *agencia = tblContrato.fieldByName(u"CtrAgencia"_s);
        const tables::Field *nome = tblContrato.fieldByName(u"AgeNome"_s);
        const tables::Field *contrato = tblContrato.fieldByName(u"CtrContrato"_s);
        while (!tblContrato.eof()) {
            cmbContrato->addItem(zqdb::contractEntry(agencia->asInteger(), nome->asString(), contrato->asInteger()));
            tblContrato.next();
        }
    }

    grdArquivo->setDataSource(&dtsArquivos);
    cmbContrato->setCurrentIndex(0);
    btnPesquisarClick();
}

void TfrmCnsArqRenomeados::btnPesquisarClick()
{
    Ampulheta ampulheta;
    // Taking the focus away from the control that holds it ends its entry
    // (the date box completes what was typed) before the filters are read.
    if (QWidget *comFoco = focusWidget(); comFoco && comFoco != this)
        setFocus(Qt::OtherFocusReason);
    grdArquivo->setDataSource(nullptr);
    qryArquivos.close();
    qryArquivos.clearSQL();

    zqlog::Filtros filtros;
    const QString contrato = cmbContrato->currentText();
    if (!contrato.isEmpty() && contrato != Todos) {
        filtros.agencia = zqdb::entryAgency(contrato);
        filtros.contrato = zqdb::entryContract(contrato);
    }
    filtros.remessa = radRemessa->isChecked();
    filtros.retorno = radRetorno->isChecked();
    if (edtDtaArquivo->dateText() != SemData)
        filtros.data = StrToDate(edtDtaArquivo->text());
    zqlog::aplica(zqlog::montaPesquisa(filtros), qryArquivos);
    qryArquivos.open();
    ampulheta.restaura();
    grdArquivo->setDataSource(&dtsArquivos);
}

bool TfrmCnsArqRenomeados::FormClose()
{
    enableMainMenuEntry(u"mnuCnsArqRenomeados"_s);
    tblContrato.close();
    tblAgencia.close();
    qryArquivos.close();
    return true;
}

void TfrmCnsArqRenomeados::btnOkClick()
{
    Close();
}
