#include "remittance/TfrmRnmArqRemessa.h"

#include "db/rules.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/dbcontrols.h"
#include "platform/windowing/folderdialog.h"
#include "platform/windowing/msgbox.h"
#include "support/FmxUtils.h"

#include <QSet>

#include <algorithm>

#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

// Paints of the status label and the bar during a pass: about 30 a second,
// and never more than a twentieth of the pass's time, however slow painting
// is (a loaded machine, a slow display).
constexpr qint64 IntervaloPintura = 33'000'000; // ns
constexpr qint64 VezesOCustoDaPintura = 19;

} // namespace

TfrmRnmArqRemessa::TfrmRnmArqRemessa(QWidget *parent) : TForm(parent)
{
    setupUi(this);
    setBoldTitle(GroupBox3);
    setBoldTitle(GroupBox1);
    setBoldTitle(GroupBox2);
    setBoldTitle(RadGrpAmbiente);
    btnRnmArq->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    btnFechar->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    resize(539, 405);
    Label4->setText(QString(5, QLatin1Char(' ')));

    // The list entries are fixed columns: a fixed-pitch font lines them up.
    cmbContrato->setFont(courierFont(font().pointSize() > 0 ? font().pointSize() : 9));
    cmbContrato->setMinimumContentsLength(46);

    // Data sets: contracts with agency name, system and service identifier;
    // agencies and services for the lookups.
    zqdb::setupTable(tblContrato, QStringLiteral("Ctr.DB"));
    zqdb::setContractFormats(tblContrato);
    zqdb::addAgeNomeLookup(tblContrato, &tblAgencia, 25);
    zqdb::addSisCodLookup(tblContrato, &tblServico);
    zqdb::addSvcIdLookup(tblContrato, &tblServico);
    zqdb::setupTable(tblAgencia, QStringLiteral("Age.DB"));
    zqdb::setupTable(tblServico, QStringLiteral("Svc.DB"));
    dtsContrato.setDataSet(&tblContrato);
    dtsServico.setDataSet(&tblServico);
    dbtServico->setDataSource(&dtsContrato);
    dbtSisCod->setDataSource(&dtsContrato);
    DBText1->setDataSource(&dtsContrato);
    dbtDirArqRemessa->setDataSource(&dtsContrato);

    on(cmbContrato, &QComboBox::activated, &TfrmRnmArqRemessa::cmbContratoClick);
    onExit(cmbContrato, &TfrmRnmArqRemessa::cmbContratoExit);
    onExit(edtNomeArqRemessa, &TfrmRnmArqRemessa::edtNomeArqRemessaExit);
    on(flbNomeArqRemessa, &FileListBox::fileClicked, &TfrmRnmArqRemessa::flbNomeArqRemessaClick);
    on(RadGrpAmbiente, &RadioGroup::itemClicked, &TfrmRnmArqRemessa::RadGrpAmbienteClick);
    on(btnDirArqKELT, &QPushButton::clicked, &TfrmRnmArqRemessa::btnDirArqKELTClick);
    on(btnRnmArq, &QPushButton::clicked, &TfrmRnmArqRemessa::btnRnmArqClick);
    on(btnFechar, &QPushButton::clicked, &TfrmRnmArqRemessa::btnFecharClick);
    // No name, nothing to rename.
    connect(lblNomeArqKELT, &QLineEdit::textChanged, this, [this](const QString &nome) {
        if (nome.isEmpty())
            btnRnmArq->setEnabled(false);
    });
    btnRnmArq->setEnabled(false);

    createForm();
}

// ---------------------------------------------------------------- opening and closing

void TfrmRnmArqRemessa::FormCreate()
{
    // The lookups read from these.
    tblAgencia.open();
    tblServico.open();
    tblContrato.open();
    QSet<QString> saidas;
    for (tblContrato.first(); !tblContrato.eof(); tblContrato.next()) {
        cmbContrato->addItem(zqdb::contractEntry(tblContrato.fieldByName(QStringLiteral("CtrAgencia"))->asInteger(),
                                                 tblContrato.fieldByName(QStringLiteral("AgeNome"))->asString(),
                                                 tblContrato.fieldByName(QStringLiteral("CtrContrato"))->asInteger(),
                                                 tblContrato.fieldByName(QStringLiteral("CtrServico"))->asString()));
        saidas.insert(zqdb::outgoingFolder(sistema()));
    }
    // What interrupted deliveries left in the outgoing folders.
    for (const QString &pasta : saidas)
        remessa::RenomeiaRemessa::limpaSaida(pasta);
    cmbContrato->setCurrentIndex(0);
    if (!localizaContrato())
        return;
    mostraContrato();
    edtNomeArqRemessa->clear();
    mostraSaida();
    lblNomeArqKELT->clear();
}

bool TfrmRnmArqRemessa::FormClose()
{
    tblContrato.close();
    tblServico.close();
    tblAgencia.close();
    enableMainMenuEntry(QStringLiteral("mnuRnmArqRemessa"));
    return true;
}

// ---------------------------------------------------------------- contract and folders

bool TfrmRnmArqRemessa::localizaContrato()
{
    const QString entrada = cmbContrato->currentText();
    if (entrada.isEmpty())
        return false;
    return tblContrato.findKey({zqdb::entryAgency(entrada), zqdb::entryContract(entrada), zqdb::entryService(entrada)});
}

QString TfrmRnmArqRemessa::sistema() const
{
    return tblContrato.fieldByName(QStringLiteral("SisCod"))->asString();
}

// Caption over the list, the source folder and the file list of the current
// contract. A remittance folder that is gone leaves no file or name of the
// contract shown before.
void TfrmRnmArqRemessa::mostraContrato()
{
    Label1->setText(QStringLiteral("Agência") + ReplicateText(QStringLiteral(" "), 73)
                    + (sistema() == QLatin1String("COB") ? QStringLiteral("Contrato") : QStringLiteral("Convênio")));
    // "Contrato" or "Convênio" stands over the contract numbers of the entries.
    alignCaptionOverColumn(Label1, cmbContrato, 32);
    const QString pasta = tblContrato.fieldByName(QStringLiteral("CtrDirRemessa"))->asString();
    DirRemessa = pasta.endsWith(QLatin1Char('\\')) ? pasta.chopped(1) : pasta;
    try {
        apontaPasta(pasta);
    } catch (...) {
        edtNomeArqRemessa->clear();
        lblNomeArqKELT->clear();
        mostraSaida();
        throw;
    }
}

void TfrmRnmArqRemessa::apontaPasta(const QString &pasta)
{
    try {
        flbNomeArqRemessa->setDirectory(pasta);
    } catch (...) {
        flbNomeArqRemessa->clearSelection();
        flbNomeArqRemessa->setEnabled(false);
        throw;
    }
    flbNomeArqRemessa->setEnabled(true);
}

void TfrmRnmArqRemessa::mostraSaida()
{
    DirSaida = zqdb::outgoingFolder(sistema());
    lblDirArqKELT->setText(DirSaida.chopped(1));
}

void TfrmRnmArqRemessa::cmbContratoClick()
{
    if (!localizaContrato())
        return;
    mostraContrato();
    // The first ordinary file of the folder, in name order.
    const QString primeiro = flbNomeArqRemessa->items().value(0);
    edtNomeArqRemessa->setText(primeiro);
    flbNomeArqRemessa->setFileName(primeiro);
    mostraSaida();
    MontaNomeArqDestino();
}

void TfrmRnmArqRemessa::cmbContratoExit()
{
    habilitaRenomear();
}

void TfrmRnmArqRemessa::habilitaRenomear()
{
    btnRnmArq->setEnabled(!lblNomeArqKELT->text().isEmpty());
}

std::optional<remessa::Contrato> TfrmRnmArqRemessa::contrato() const
{
    const QString entrada = cmbContrato->currentText();
    if (entrada.isEmpty())
        return std::nullopt;
    return remessa::leContrato(zqdb::entryAgency(entrada), zqdb::entryContract(entrada), zqdb::entryService(entrada));
}

void TfrmRnmArqRemessa::btnDirArqKELTClick()
{
    const QString pasta = BrowseForFolder(QStringLiteral("Diretório Arquivo Remessa"), MyComputerRoot);
    if (pasta.isEmpty())
        return;
    apontaPasta(pasta);
    DirRemessa = flbNomeArqRemessa->directory();
    if (DirRemessa.endsWith(QLatin1Char('\\')))
        DirRemessa.chop(1);
}

void TfrmRnmArqRemessa::btnFecharClick()
{
    Close();
}

// ---------------------------------------------------------------- source file

void TfrmRnmArqRemessa::edtNomeArqRemessaExit()
{
    const QString nome = edtNomeArqRemessa->text();
    if (nome.isEmpty())
        return;
    if (winfs::regularFileExists(DirRemessa + QLatin1Char('\\') + nome)) {
        MontaNomeArqDestino();
        return;
    }
    MessageBox(QStringLiteral("O arquivo ") + nome + QStringLiteral(" não existe\rRedigite!"),
               QStringLiteral("Erro de Crítica - Nome Arquivo Remessa"), MsgStyle::Error);
    edtNomeArqRemessa->clear();
    edtNomeArqRemessa->setFocus();
}

void TfrmRnmArqRemessa::flbNomeArqRemessaClick()
{
    edtNomeArqRemessa->setText(flbNomeArqRemessa->fileName());
    repaint();
    edtNomeArqRemessaExit();
}

void TfrmRnmArqRemessa::RadGrpAmbienteClick()
{
    edtNomeArqRemessaExit();
}

// ---------------------------------------------------------------- standard name

void TfrmRnmArqRemessa::MontaNomeArqDestino()
{
    const std::optional<remessa::Contrato> c = contrato();
    if (!c) {
        lblNomeArqKELT->clear();
        return;
    }
    remessa::Composicao composta;
    const remessa::Composto r = renomeacao.compoe(*c, DirRemessa + QLatin1Char('\\') + edtNomeArqRemessa->text(),
                                                 RadGrpAmbiente->itemIndex() == 0, composta);
    // A file another program is writing was said; no name either way.
    if (r == remessa::Composto::SemOrigem || r == remessa::Composto::EmUso) {
        lblNomeArqKELT->clear();
        return;
    }
    composicao_ = composta;
    DataOrigem = composta.dataOrigem;
    HoraOrigem = composta.horaOrigem;
    RenomeiaNovamente = composta.renomeiaNovamente;
    switch (r) {
    case remessa::Composto::Nome:
        lblNomeArqKELT->setText(composta.nome);
        btnRnmArq->setEnabled(true);
        break;
    case remessa::Composto::NaoRenomearNovamente:
        edtNomeArqRemessa->clear();
        lblNomeArqKELT->clear();
        edtNomeArqRemessa->setFocus();
        break;
    case remessa::Composto::LimiteDoDia:
        lblNomeArqKELT->clear();
        edtNomeArqRemessa->setFocus();
        break;
    default:
        lblNomeArqKELT->clear();
        break;
    }
}

// ---------------------------------------------------------------- renaming

bool TfrmRnmArqRemessa::pergunta(Pergunta, const Mensagem &m)
{
    return MessageBox(m) == mrYes;
}

remessa::Interlocutor::Decisao TfrmRnmArqRemessa::conferencia(const remessa::Conferencia &, const Mensagem &caixa, bool podeConverter)
{
    // No is the default: a file the bank would reject goes on only when asked to.
    const int r = MessageBox(caixa.texto, caixa.titulo, caixa.estilo,
                             podeConverter ? QStringList{QStringLiteral("Converter")} : QStringList(), mrNo);
    if (r == mrYes)
        return Decisao::Sim;
    return r == mrExtra && podeConverter ? Decisao::Converter : Decisao::Nao;
}

void TfrmRnmArqRemessa::mensagem(const Mensagem &m)
{
    MessageBox(m);
}

void TfrmRnmArqRemessa::preparaPasse(qint64 tamanhoOrigem)
{
    ProgressBar1->setPosition(0);
    ProgressBar1->setMax(tamanhoOrigem);
    ProgressBar1->setMin(1);
}

void TfrmRnmArqRemessa::progresso(remessa::Etapa etapa, qint64 posicao)
{
    // Most lines come between two looks at the clock: the bar's position is
    // kept, nothing else is done.
    if (etapa == remessa::Etapa::Linha && --linhasSemRelogio_ > 0 && posicao < posicaoDoRelogio_) {
        posicaoBarra_ = posicao;
        return;
    }
    mostraEtapa(etapa, posicao);
}

void TfrmRnmArqRemessa::fimDoPasse()
{
    pintaProgresso();
}

void TfrmRnmArqRemessa::mostraEtapa(remessa::Etapa etapa, qint64 posicao)
{
    using remessa::Etapa;
    // The clock is read every few dozen lines or every MiB.
    const auto proximoRelogio = [&] {
        linhasSemRelogio_ = 64;
        posicaoDoRelogio_ = posicao + (1 << 20);
    };
    switch (etapa) {
    case Etapa::Linha:
        posicaoBarra_ = posicao;
        proximoRelogio();
        if (ultimaPintura_.nsecsElapsed() < intervaloPintura_)
            return;
        Label4->setText(remessa::textoEtapa(etapa, posicao));
        break;
    case Etapa::Inicio:
        posicaoBarra_ = posicao;
        proximoRelogio();
        Label4->setText(remessa::textoEtapa(etapa, posicao));
        break;
    case Etapa::Fim:
        // The last state is painted once the pass has returned.
        Label4->setText(remessa::textoEtapa(etapa, posicao));
        return;
    case Etapa::FimDaLeitura:
        posicaoBarra_ = posicao;
        return;
    }
    pintaProgresso();
}

void TfrmRnmArqRemessa::pintaProgresso()
{
    QElapsedTimer custo;
    custo.start();
    // The bar repaints itself when what it shows changes; the label is
    // painted when its text did.
    ProgressBar1->setPosition(posicaoBarra_);
    if (Label4->text() != textoPintado_) {
        textoPintado_ = Label4->text();
        Label4->repaint();
    }
    intervaloPintura_ = std::max(IntervaloPintura, VezesOCustoDaPintura * custo.nsecsElapsed());
    ultimaPintura_.start();
}

void TfrmRnmArqRemessa::btnRnmArqClick()
{
    const std::optional<remessa::Contrato> c = contrato();
    if (!c)
        return;
    // The names as they stand in the window.
    composicao_.origem = DirRemessa + QLatin1Char('\\') + edtNomeArqRemessa->text();
    composicao_.nome = lblNomeArqKELT->text();
    composicao_.renomeiaNovamente = RenomeiaNovamente;
    switch (renomeacao.renomeia(*c, DirSaida, composicao_)) {
    case remessa::Resultado::SemOrigem:
        edtNomeArqRemessa->setFocus();
        break;
    case remessa::Resultado::SubstituicaoRecusada:
        break;
    case remessa::Resultado::Falhou:
    case remessa::Resultado::NaoConferido:
    case remessa::Resultado::JaRenomeado:
    case remessa::Resultado::LimiteDoDia:
        Label4->setText(QStringLiteral("Arquivo NÃO foi Renomeado!!"));
        ProgressBar1->setPosition(0);
        repaint();
        break;
    case remessa::Resultado::Renomeado:
        // Another copy of the program may have taken the number shown.
        lblNomeArqKELT->setText(composicao_.nome);
        btnRnmArq->setEnabled(false);
        cmbContrato->setFocus();
        Label4->clear();
        ProgressBar1->setPosition(0);
        repaint();
        break;
    }
}
