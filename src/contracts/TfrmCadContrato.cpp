#include "contracts/TfrmCadContrato.h"

#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/windowing/dbcontrols.h"
#include "platform/windowing/folderdialog.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/msgbox.h"
#include "support/FmxUtils.h"

#include <QApplication>
#include <QStyle>

using tables::DataSetState;

namespace {

const QString TituloAgencia = QStringLiteral("Erro de Crítica - Código da Agência");
const QString TituloServico = QStringLiteral("Erro de Crítica - Código do Serviço");
const QString TituloRemessa = QStringLiteral("Erro de Crítica - Diretório Remessa");
const QString TituloRetorno = QStringLiteral("Erro de Crítica - Diretório Retorno");

// An existing folder, by both of the tests the program uses.
bool diretorioValido(const QString &pasta)
{
    return TestFileAttr(pasta, winfs::faDirectory) && winfs::directoryExists(pasta);
}

void erroCritica(const QString &texto, const QString &titulo)
{
    MessageBox(texto, titulo, MsgStyle::Error);
}

} // namespace

TfrmCadContrato::TfrmCadContrato(QWidget *parent) : TForm(parent)
{
    setupUi(this);
    setBoldTitle(GroupBox2);
    setBoldTitle(GroupBox1);
    btnPrimeiro->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
    btnAnterior->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    btnPosterior->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    btnUltimo->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
    resize(541, 359);

    // Data sets: contracts with the agency name and system of each, the
    // agencies and the services.
    zqdb::setupTable(tblContrato, QStringLiteral("Ctr.DB"));
    zqdb::setContractFormats(tblContrato);
    tblContrato.fieldOptions(QStringLiteral("CtrAgencia")).alignment = Qt::AlignLeft;
    tblContrato.fieldOptions(QStringLiteral("CtrContrato")).alignment = Qt::AlignLeft;
    zqdb::addAgeNomeLookup(tblContrato, &tblAgencia, 25);
    zqdb::addSisCodLookup(tblContrato, &tblServico);
    tblContrato.beforePost = [this](tables::DataSet &ds) { tblContratoBeforePost(ds); };
    zqdb::setupTable(tblAgencia, QStringLiteral("Age.DB"));
    tblAgencia.fieldOptions(QStringLiteral("AgeCod")).displayFormat = QStringLiteral("0000");
    zqdb::setupTable(tblServico, QStringLiteral("Svc.DB"));
    dtsContrato.setDataSet(&tblContrato);
    dtsAgencia.setDataSet(&tblAgencia);
    dtsServico.setDataSet(&tblServico);
    on(&dtsContrato, &tables::DataSource::stateChange, &TfrmCadContrato::dtsContratoStateChange);

    for (DBEdit *e : {dbeAgencia, dbeContrato, BDECtrDescricao, dbeDirArqRemessa, dbeDirArqRetorno})
        e->setDataSource(&dtsContrato);
    dbtAgeNome->setDataSource(&dtsContrato);
    dbtSisCod->setDataSource(&dtsContrato);
    cmbServico->setDataSource(&dtsContrato);
    cmbServico->setListSource(&dtsServico);

    on(btnPrimeiro, &QPushButton::clicked, &TfrmCadContrato::btnPrimeiroClick);
    on(btnAnterior, &QPushButton::clicked, &TfrmCadContrato::btnAnteriorClick);
    on(btnPosterior, &QPushButton::clicked, &TfrmCadContrato::btnPosteriorClick);
    on(btnUltimo, &QPushButton::clicked, &TfrmCadContrato::btnUltimoClick);
    on(btnNovo, &QPushButton::clicked, &TfrmCadContrato::btnNovoClick);
    on(btnSalvar, &QPushButton::clicked, &TfrmCadContrato::btnSalvarClick);
    on(btnExcluir, &QPushButton::clicked, &TfrmCadContrato::btnExcluirClick);
    on(btnDesfazer, &QPushButton::clicked, &TfrmCadContrato::btnDesfazerClick);
    on(btnFechar, &QPushButton::clicked, &TfrmCadContrato::btnFecharClick);
    on(btnDirArqRemessa, &QPushButton::clicked, &TfrmCadContrato::btnDirArqRemessaClick);
    on(btnDirArqRetorno, &QPushButton::clicked, &TfrmCadContrato::btnDirArqRetornoClick);

    on(dbeAgencia, &QLineEdit::textChanged, &TfrmCadContrato::dbeAgenciaChange);
    dbeAgencia->onKeyPress = [this](QChar &key) { dbeAgenciaKeyPress(key); };
    onExit(dbeAgencia, &TfrmCadContrato::dbeAgenciaExit);
    onExit(cmbServico, &TfrmCadContrato::cmbServicoExit);
    onExit(dbeDirArqRemessa, &TfrmCadContrato::dbeDirArqRemessaExit);

    createForm();
}

// ---------------------------------------------------------------- opening and closing

void TfrmCadContrato::FormCreate()
{
    tblAgencia.open();
    tblContrato.open();
    if (tblContrato.isEmpty()) {
        for (QPushButton *b : {btnPrimeiro, btnAnterior, btnPosterior, btnUltimo, btnExcluir})
            b->setEnabled(false);
        dbtAgeNome->hide();
        dbtSisCod->hide();
    } else {
        tblContrato.first();
    }
    tblServico.open();
}

bool TfrmCadContrato::FormClose()
{
    enableMainMenuEntry(QStringLiteral("mnuCadContrato"));
    if (tblContrato.state() == DataSetState::Edit || tblContrato.state() == DataSetState::Insert) {
        // A save that fails here keeps the window open with the record as it was.
        if (MessageBox(QStringLiteral("Deseja gravar as alterações ?"), QStringLiteral("Confirmação"), MsgStyle::Question) == mrYes)
            tblContrato.post();
        else
            tblContrato.cancel();
    }
    tblContrato.close();
    tblServico.close();
    tblAgencia.close();
    return true;
}

// ---------------------------------------------------------------- editing state

void TfrmCadContrato::dtsContratoStateChange()
{
    const QList<QPushButton *> navegacao{btnPrimeiro, btnAnterior, btnPosterior, btnUltimo};
    const QList<QPushButton *> comandos{btnNovo, btnExcluir, btnFechar};
    const QList<QPushButton *> gravacao{btnSalvar, btnDesfazer};
    auto habilita = [](const QList<QPushButton *> &buttons, bool on) {
        for (QPushButton *b : buttons)
            b->setEnabled(on);
    };

    switch (tblContrato.state()) {
    case DataSetState::Browse:
        habilita(navegacao, true);
        habilita(comandos, true);
        habilita(gravacao, false);
        dbtAgeNome->setEnabled(true);
        dbeAgencia->setEnabled(false);
        dbeContrato->setEnabled(false);
        setMainStatusPanel(2, QString());
        break;
    case DataSetState::Edit:
    case DataSetState::Insert: {
        const bool inserindo = tblContrato.state() == DataSetState::Insert;
        habilita(navegacao, false);
        habilita(comandos, false);
        habilita(gravacao, true);
        dbtAgeNome->setEnabled(false);
        dbeAgencia->setEnabled(inserindo);
        dbeContrato->setEnabled(inserindo);
        setMainStatusPanel(2, inserindo ? QStringLiteral("Inserindo Novo Registro...") : QStringLiteral("Editando Registro..."));
        break;
    }
    case DataSetState::Inactive:
        habilita(navegacao, false);
        habilita(comandos, false);
        habilita(gravacao, false);
        dbtAgeNome->setEnabled(false);
        dbeAgencia->setEnabled(false);
        dbeContrato->setEnabled(false);
        break;
    }
}

// ---------------------------------------------------------------- save check

void TfrmCadContrato::tblContratoBeforePost(tables::DataSet &)
{
    // 1. Service
    if (cmbServico->text().isEmpty()) {
        erroCritica(QStringLiteral("O Código do Serviço deve ser selecionado\rRedigite!"), TituloServico);
        cmbServico->setFocus();
        throw EAbort();
    }
    // 2. Contract number
    if (!CampoInformado(dbeContrato->text(), QStringLiteral("Erro de Crítica - Número do Contrato"),
                        QStringLiteral("O Número do Contrato deve ser informado\rRedigite!"))) {
        dbeContrato->setFocus();
        throw EAbort();
    }
    // 3. Check digit of the contracts of system COB
    if (tblContrato.fieldByName(QStringLiteral("SisCod"))->asString() == QLatin1String("COB") && !ValidaDigitoContrato()) {
        erroCritica(QStringLiteral("O Código de Contrato informado não é válido\rRedigite!"),
                    QStringLiteral("Erro de Crítica - Código do Contrato"));
        dbeContrato->setFocus();
        throw EAbort();
    }
    // 4, 5. Remittance folder; 6, 7. Return folder
    confereDiretorio(dbeDirArqRemessa, QStringLiteral("CtrDirRemessa"),
                     QStringLiteral("O Diretório dos Arquivos de Remessa deve ser informado\rRedigite!"), TituloRemessa);
    confereDiretorio(dbeDirArqRetorno, QStringLiteral("CtrDirRetorno"),
                     QStringLiteral("O Diretório dos Arquivos de Retorno deve ser informado\rRedigite!"), TituloRetorno);
}

void TfrmCadContrato::confereDiretorio(DBEdit *edit, const QString &campo, const QString &textoVazio, const QString &titulo)
{
    // The folder must be given and exist; it is saved without a trailing backslash.
    const QString pasta = edit->text();
    if (pasta.isEmpty() || !diretorioValido(pasta)) {
        erroCritica(pasta.isEmpty() ? textoVazio : QStringLiteral("O caminho informado não é um Diretório válido\rRedigite!"),
                    titulo);
        edit->setFocus();
        throw EAbort();
    }
    if (pasta.endsWith(QLatin1Char('\\')))
        tblContrato.fieldByName(campo)->setAsString(pasta.chopped(1));
}

bool TfrmCadContrato::ValidaDigitoContrato()
{
    // Agency (4 digits) and contract (9 digits, the last one the check digit).
    const QString numero = (dbeAgencia->text() + dbeContrato->text()).left(13);
    if (numero.size() < 13)
        return false;
    int soma = 0;
    int peso = 2;
    for (int i = 11; i >= 0; --i) {
        const int digito = numero.at(i).digitValue();
        if (digito < 0)
            return false;
        soma += digito * peso;
        peso = peso == 9 ? 2 : peso + 1;
    }
    const int resto = soma % 11;
    const int dv = resto <= 1 ? 0 : 11 - resto;
    return numero.at(12).digitValue() == dv;
}

bool TfrmCadContrato::CampoInformado(const QString &valor, const QString &titulo, const QString &mensagem)
{
    if (!valor.isEmpty())
        return true;
    erroCritica(mensagem, titulo);
    return false;
}

// ---------------------------------------------------------------- navigation

void TfrmCadContrato::setNavegacao(bool inicio, bool fim)
{
    btnPrimeiro->setEnabled(!inicio);
    btnAnterior->setEnabled(!inicio);
    btnPosterior->setEnabled(!fim);
    btnUltimo->setEnabled(!fim);
}

void TfrmCadContrato::btnPrimeiroClick()
{
    tblContrato.first();
    setNavegacao(true, false);
}

void TfrmCadContrato::btnAnteriorClick()
{
    tblContrato.prior();
    setNavegacao(tblContrato.bof(), false);
}

void TfrmCadContrato::btnPosteriorClick()
{
    tblContrato.next();
    setNavegacao(false, tblContrato.eof());
}

void TfrmCadContrato::btnUltimoClick()
{
    tblContrato.last();
    setNavegacao(false, true);
}

// ---------------------------------------------------------------- commands

void TfrmCadContrato::btnNovoClick()
{
    tblContrato.insert();
    dbeAgencia->setFocus();
    dbtAgeNome->hide();
    dbtSisCod->hide();
}

void TfrmCadContrato::btnSalvarClick()
{
    try {
        tblContrato.post();
    } catch (const EDBEngineError &e) {
        dbtSisCod->show();
        if (e.errorCount() > 0 && e.errors(0).errorCode == DBIERR_KEYVIOL) {
            MessageBox(QStringLiteral("Contrato já cadastrado.\rRedigite."), QStringLiteral("Salvando..."), MsgStyle::Error);
            return;
        }
        // Any other refusal of the engine is the default handler's to show.
        throw;
    }
    dbtSisCod->show();
}

void TfrmCadContrato::btnExcluirClick()
{
    if (MessageBox(QStringLiteral("Deseja excluir ?"), QStringLiteral("Confirmação"), MsgStyle::Question) != mrYes)
        return;
    tblContrato.deleteRecord();
    if (tblContrato.isEmpty()) {
        for (QPushButton *b : {btnPrimeiro, btnAnterior, btnPosterior, btnUltimo, btnSalvar, btnExcluir, btnDesfazer})
            b->setEnabled(false);
        btnNovo->setEnabled(true);
        btnFechar->setEnabled(true);
        dbtAgeNome->hide();
        dbtSisCod->hide();
    }
}

void TfrmCadContrato::btnDesfazerClick()
{
    tblContrato.cancel();
    if (tblContrato.isEmpty()) {
        dbtSisCod->hide();
        dbtAgeNome->hide();
    }
}

void TfrmCadContrato::btnFecharClick()
{
    Close();
}

// ---------------------------------------------------------------- field handlers

void TfrmCadContrato::dbeAgenciaKeyPress(QChar &key)
{
    if (key == QLatin1Char('+') || key == QLatin1Char('-'))
        key = QLatin1Char(' ');
}

void TfrmCadContrato::dbeAgenciaChange()
{
    const QString texto = dbeAgencia->text();
    if (!texto.isEmpty())
        tblAgencia.findKey({StrToInt(texto)});
}

void TfrmCadContrato::dbeAgenciaExit()
{
    dbtAgeNome->hide();
    if (QApplication::focusWidget() == btnDesfazer)
        return;
    const QString texto = dbeAgencia->text();
    if (texto.isEmpty()) {
        erroCritica(QStringLiteral("O Código da Agência deve ser informado\rRedigite!"), TituloAgencia);
        dbeAgencia->setFocus();
        return;
    }
    if (texto.compare(QLatin1String("9999")) > 0) {
        erroCritica(QStringLiteral("Código da Agência deve ser numérico\rRedigite!"), TituloAgencia);
        dbeAgencia->setFocus();
        return;
    }
    if (tblAgencia.findKey({StrToInt(texto)})) {
        dbtAgeNome->show();
    } else {
        erroCritica(QStringLiteral("Código da Agência inválido\rRedigite!"), TituloAgencia);
        dbeAgencia->setFocus();
    }
}

QString TfrmCadContrato::diretorioPadrao() const
{
    if (cmbServico->text() != QLatin1String("66"))
        return QString();
    const QString pasta = QStringLiteral("C:\\KRV\\") + dbeAgencia->text() + QLatin1Char('\\') + dbeContrato->text();
    return winfs::directoryExists(pasta) ? pasta : QString();
}

void TfrmCadContrato::cmbServicoExit()
{
    if (QApplication::focusWidget() == btnDesfazer)
        return;
    if (cmbServico->text().isEmpty()) {
        erroCritica(QStringLiteral("O Código do Serviço deve ser selecionado\rRedigite!"), TituloServico);
        cmbServico->setFocus();
        return;
    }
    dbtSisCod->show();
    const QString pasta = diretorioPadrao();
    if (pasta.isEmpty())
        return;
    tables::Field *remessa = tblContrato.fieldByName(QStringLiteral("CtrDirRemessa"));
    tables::Field *retorno = tblContrato.fieldByName(QStringLiteral("CtrDirRetorno"));
    if (tblContrato.state() == DataSetState::Browse) {
        // Only a contract whose folders differ is taken into editing.
        if (remessa->asString() == pasta && retorno->asString() == pasta)
            return;
        tblContrato.edit();
    }
    remessa->setAsString(pasta);
    retorno->setAsString(pasta);
}

void TfrmCadContrato::dbeDirArqRemessaExit()
{
    if (dbeDirArqRetorno->text().isEmpty())
        dbeDirArqRetorno->setText(dbeDirArqRemessa->text());
}

void TfrmCadContrato::btnDirArqRemessaClick()
{
    const QString padrao = diretorioPadrao();
    const QString pasta = BrowseForFolder(QStringLiteral("Diretório Arquivo Remessa"), padrao.isEmpty() ? MyComputerRoot : padrao);
    if (pasta.isEmpty())
        return;
    switch (tblContrato.state()) {
    case DataSetState::Insert:
        dbeDirArqRemessa->setText(pasta);
        dbeDirArqRetorno->setText(pasta);
        break;
    case DataSetState::Browse:
        tblContrato.edit();
        dbeDirArqRemessa->setText(pasta);
        break;
    case DataSetState::Edit:
        dbeDirArqRemessa->setText(pasta);
        break;
    case DataSetState::Inactive:
        break;
    }
}

void TfrmCadContrato::btnDirArqRetornoClick()
{
    const QString padrao = diretorioPadrao();
    const QString pasta = BrowseForFolder(QStringLiteral("Diretório Arquivo Retorno"), padrao.isEmpty() ? MyComputerRoot : padrao);
    if (pasta.isEmpty())
        return;
    if (tblContrato.state() == DataSetState::Browse)
        tblContrato.edit();
    dbeDirArqRetorno->setText(pasta);
}
