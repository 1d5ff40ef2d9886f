#include "remittance/TfrmRnmArqRemessa.h"

#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/windowing/controls.h"
#include "platform/windowing/dbcontrols.h"
#include "platform/windowing/folderdialog.h"
#include "platform/windowing/msgbox.h"
#include "remittance/NomeRemessa.h"
#include "support/FmxUtils.h"

#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

const QString TituloRenomeia = QStringLiteral("Renomeia Arquivos");
const QString NaoRenomeado = QStringLiteral("Arquivo NÃO foi Renomeado!!");

// Paints of the status label and the bar during a pass: about 30 a second.
constexpr qint64 IntervaloPintura = 33;

TfrmRnmArqRemessa::CriaDestino &criaDestino()
{
    static TfrmRnmArqRemessa::CriaDestino cria;
    return cria;
}

} // namespace

void TfrmRnmArqRemessa::setCriaDestino(CriaDestino cria)
{
    criaDestino() = std::move(cria);
}

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
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    courier.setPointSize(font().pointSize() > 0 ? font().pointSize() : 9);
    cmbContrato->setFont(courier);
    cmbContrato->setMinimumContentsLength(46);

    // Data sets: contracts with agency name, system and service identifier;
    // the log; agencies and services for the lookups and the record length.
    zqdb::setupTable(tblContrato, QStringLiteral("Ctr.DB"));
    zqdb::setContractFormats(tblContrato);
    zqdb::addAgeNomeLookup(tblContrato, &tblAgencia, 25);
    zqdb::addSisCodLookup(tblContrato, &tblServico);
    zqdb::addSvcIdLookup(tblContrato, &tblServico);
    zqdb::setupTable(tblArquivos, QStringLiteral("Arq.db"));
    zqdb::setupTable(tblAgencia, QStringLiteral("Age.DB"));
    zqdb::setupTable(tblServico, QStringLiteral("Svc.DB"));
    for (tables::Query *q : {&qryRemArquivos, &qryArquivos})
        q->databaseName = zqdb::AliasName;
    qryRemArquivos.setSQL(sql::RemArquivos);
    qryArquivos.setSQL(sql::ArquivosRemessa);
    dtsContrato.setDataSet(&tblContrato);
    dtsArquivos.setDataSet(&tblArquivos);
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

    createForm();
}

// ---------------------------------------------------------------- opening and closing

void TfrmRnmArqRemessa::FormCreate()
{
    // The lookups read from these.
    tblAgencia.open();
    tblServico.open();
    tblContrato.open();
    for (tblContrato.first(); !tblContrato.eof(); tblContrato.next())
        cmbContrato->addItem(zqdb::contractEntry(tblContrato.fieldByName(QStringLiteral("CtrAgencia"))->asInteger(),
                                                 tblContrato.fieldByName(QStringLiteral("AgeNome"))->asString(),
                                                 tblContrato.fieldByName(QStringLiteral("CtrContrato"))->asInteger(),
                                                 tblContrato.fieldByName(QStringLiteral("CtrServico"))->asString()));
    cmbContrato->setCurrentIndex(0);
    tblArquivos.open();
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
    tblArquivos.close();
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
    btnRnmArq->setEnabled(true);
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

bool TfrmRnmArqRemessa::servicoCadastrado() const
{
    const QString servico = tblContrato.fieldByName(QStringLiteral("CtrServico"))->asString();
    return tblServico.lookup(QStringLiteral("SvcCod"), servico, QStringLiteral("SvcCod")).isValid();
}

void TfrmRnmArqRemessa::MontaNomeArqDestino()
{
    const QString origem = DirRemessa + QLatin1Char('\\') + edtNomeArqRemessa->text();
    QDateTime carimbo;
    {
        winfs::FileReader arquivo;
        if (arquivo.open(origem) != 0) {
            IOResult(); // nothing to report: no name is shown
            lblNomeArqKELT->clear();
            return;
        }
        carimbo = arquivo.fileAge();
    }
    const bool producao = RadGrpAmbiente->itemIndex() == 0;
    qryRemArquivos.paramByName(QStringLiteral("Data")).setAsDate(carimbo.date());
    DataOrigem = carimbo.date();
    HoraOrigem = carimbo.time();
    RenomeiaNovamente = false;

    const QString servico = tblContrato.fieldByName(QStringLiteral("CtrServico"))->asString();
    if (!servicoCadastrado()) {
        // Without its service the name would lack system and identifier.
        lblNomeArqKELT->clear();
        MessageBox(QStringLiteral("O serviço ") + servico
                       + QStringLiteral(" do contrato não está cadastrado\rArquivo NÃO pode ser Renomeado!!"),
                   TituloRenomeia, MsgStyle::Information);
        return;
    }

    const QString entrada = cmbContrato->currentText();
    const int agencia = zqdb::entryAgency(entrada);
    const int contrato = zqdb::entryContract(entrada);
    remessa::DadosNome dados;
    dados.sistema = sistema();
    dados.servicoId = tblContrato.fieldByName(QStringLiteral("SvcId"))->displayText();
    dados.servico = servico;
    dados.dia = FormatDateTime(QStringLiteral("dd"), carimbo.date());
    dados.agencia = tblContrato.fieldByName(QStringLiteral("CtrAgencia"))->displayText();
    dados.contrato = tblContrato.fieldByName(QStringLiteral("CtrContrato"))->displayText();
    dados.producao = producao;

    // A file renamed before: the same contract, path and stamp.
    qryArquivos.paramByName(QStringLiteral("Agencia")).setAsSmallInt(agencia);
    qryArquivos.paramByName(QStringLiteral("Contrato")).setAsInteger(contrato);
    qryArquivos.paramByName(QStringLiteral("Servico")).setAsString(servico);
    qryArquivos.paramByName(QStringLiteral("Nome")).setAsString(origem);
    qryArquivos.paramByName(QStringLiteral("Data")).setAsDate(DataOrigem);
    qryArquivos.paramByName(QStringLiteral("Hora")).setAsTime(HoraOrigem);
    qryArquivos.open();
    if (!qryArquivos.isEmpty()) {
        qryArquivos.first();
        const QString anterior = qryArquivos.fieldByName(QStringLiteral("ArqNomeDestino"))->asString();
        const int resposta = MessageBox(QStringLiteral("O arquivo informado já foi renomeado\r") + anterior
                                            + QStringLiteral("\rDeseja renomeá-lo novamente?"),
                                        QStringLiteral("Confirmação"), MsgStyle::Question);
        if (resposta == mrYes) {
            RenomeiaNovamente = true;
            registroEncontrado_ = qryArquivos.rowId();
            dados.sequencia = qryArquivos.fieldByName(QStringLiteral("ArqNumRemessa"))->asInteger();
            lblNomeArqKELT->setText(remessa::nomePadrao(dados));
            btnRnmArq->setEnabled(true);
        } else {
            edtNomeArqRemessa->clear();
            lblNomeArqKELT->clear();
            edtNomeArqRemessa->setFocus();
        }
        qryArquivos.close();
        return;
    }

    // The day's earlier remittances of the contract and service, counted on the file's own date.
    qryRemArquivos.paramByName(QStringLiteral("Agencia")).setAsSmallInt(agencia);
    qryRemArquivos.paramByName(QStringLiteral("Contrato")).setAsInteger(contrato);
    qryRemArquivos.paramByName(QStringLiteral("Servico")).setAsString(servico);
    qryRemArquivos.open();
    const int anteriores = qryRemArquivos.recordCount();
    if (anteriores >= 9) {
        MessageBox(QStringLiteral("Só é permitida a remessa de 9(nove) arquivos\rem cada dia (dia de formatação)\r")
                       + QStringLiteral("Arquivo NÃO pode ser Renomeado!!"),
                   TituloRenomeia, MsgStyle::Information);
        lblNomeArqKELT->clear();
        edtNomeArqRemessa->setFocus();
    } else {
        dados.sequencia = anteriores + 1;
        lblNomeArqKELT->setText(remessa::nomePadrao(dados));
        btnRnmArq->setEnabled(true);
    }
    qryRemArquivos.close();
    qryArquivos.close();
}

// ---------------------------------------------------------------- renaming

int TfrmRnmArqRemessa::tamanhoRegistro()
{
    const QString servico = tblContrato.fieldByName(QStringLiteral("CtrServico"))->asString();
    if (!tblServico.locate(QStringLiteral("SvcCod"), servico))
        return 0;
    return tblServico.fieldByName(QStringLiteral("SvcTam"))->asInteger();
}

void TfrmRnmArqRemessa::criaPasta(const QString &pasta)
{
    if (winfs::directoryExists(pasta))
        return;
    if (!winfs::createDir(pasta))
        throw Exception(QStringLiteral("Não foi possível criar a pasta ") + pasta);
}

void TfrmRnmArqRemessa::mostraEtapa(remessa::Etapa etapa, qint64 posicao)
{
    using remessa::Etapa;
    switch (etapa) {
    case Etapa::Linha:
        posicaoBarra_ = posicao;
        // The clock is read every few dozen lines or every MiB.
        if (++linhasSemRelogio_ < 64 && posicao - posicaoNoRelogio_ < (1 << 20))
            return;
        linhasSemRelogio_ = 0;
        posicaoNoRelogio_ = posicao;
        if (ultimaPintura_.elapsed() < IntervaloPintura)
            return;
        Label4->setText(remessa::textoEtapa(etapa, posicao));
        break;
    case Etapa::Inicio:
        posicaoBarra_ = posicaoNoRelogio_ = posicao;
        linhasSemRelogio_ = 0;
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
    ProgressBar1->setPosition(posicaoBarra_);
    Label4->repaint();
    ProgressBar1->repaint();
    ultimaPintura_.start();
}

void TfrmRnmArqRemessa::btnRnmArqClick()
{
    IOResult(); // a code left by an earlier operation is not this rename's
    const QString nomeOrigem = edtNomeArqRemessa->text();
    const QString origem = DirRemessa + QLatin1Char('\\') + nomeOrigem;
    if (!winfs::regularFileExists(origem)) {
        MessageBox(QStringLiteral("Não existem arquivos remessa dos contratos\rcadastrados a serem renomeados"), TituloRenomeia,
                   MsgStyle::Information);
        edtNomeArqRemessa->setFocus();
        return;
    }

    const QString nomeDestino = lblNomeArqKELT->text();
    const QString destino = DirSaida + nomeDestino;
    if (winfs::fileExists(destino)) {
        if (winfs::sameFile(destino, origem)) {
            // The file already stands under its standard name in the
            // outgoing folder: replacing it would destroy the source.
            naoRenomeado();
            return;
        }
        if (MessageBox(QStringLiteral("Deseja substituir o arquivo") + destino + QLatin1Char('?'), QStringLiteral("Confirmação"),
                       MsgStyle::Question) != mrYes) {
            MessageBox(NaoRenomeado, TituloRenomeia, MsgStyle::Information);
            return;
        }
        winfs::deleteFile(destino);
    }

    const int tamanho = tamanhoRegistro();
    ProgressBar1->setPosition(0);
    ProgressBar1->setMax(winfs::fileSize(origem));
    ProgressBar1->setMin(1);

    // The file is written under a name no transfer mask takes, flushed to
    // disk, and only then given its standard name.
    const QString temporario = remessa::nomeTemporario(destino);
    bool temporarioCriado = false;
    bool renomeado = false;
    try {
        const QString sis = dbtSisCod->text();
        criaPasta(QStringLiteral("C:\\ZQ"));
        // A contract whose service is not registered has no system: no folder is named after it.
        if (!sis.isEmpty()) {
            criaPasta(QStringLiteral("C:\\ZQ\\") + sis);
            criaPasta(QStringLiteral("C:\\ZQ\\") + sis + QStringLiteral("\\Saida"));
        }

        winfs::FileReader leitor;
        const int abertura = leitor.open(origem); // a failure shows in the pass and when the source is closed

        if (nomeDestino.isEmpty() || winfs::directoryExists(destino))
            throw EInOutError(ioAccessDenied); // a folder is never written over
        if (winfs::sameFile(temporario, origem))
            throw EFCreateError(temporario);
        winfs::FileWriter escritor;
        const int criacao = criaDestino() ? criaDestino()(escritor, temporario) : escritor.create(temporario);
        if (criacao != 0) {
            IOResult();
            throw EInOutError(criacao);
        }
        temporarioCriado = true;

        const bool passou = remessa::VerificaArquivo(leitor, escritor, tamanho,
                                                     [this](remessa::Etapa e, qint64 p) { mostraEtapa(e, p); });
        pintaProgresso();
        const int fechamentoDestino = escritor.close();
        const int fechamentoOrigem = leitor.isOpen() ? leitor.close() : abertura;
        // Bytes that may not be on disk are no delivery. (After a failed pass
        // the writer repeats the pass's own error, which is not reported again.)
        if (passou && fechamentoDestino != 0) {
            IOResult();
            throw EInOutError(fechamentoDestino);
        }
        if (passou) {
            if (!winfs::renameFile(temporario, destino))
                throw EFCreateError(destino);
            temporarioCriado = false;
            renomeado = true;
        }
        if (fechamentoOrigem != 0) {
            IOResult();
            throw EInOutError(fechamentoOrigem);
        }
    } catch (const std::exception &e) {
        const auto *erro = dynamic_cast<const Exception *>(&e);
        const QString mensagem = erro ? erro->message() : QString::fromUtf8(e.what());
        MessageBox(QStringLiteral("Arquivo ") + DirRemessa + QLatin1Char('\\') + nomeOrigem + QStringLiteral("não foi Renomeado!!\r")
                       + QStringLiteral("IOError <") + QString::number(IOResult()) + QStringLiteral("> - ") + mensagem,
                   TituloRenomeia, MsgStyle::Information);
    }

    if (renomeado) {
        gravaRegistro();
        MessageBox(QStringLiteral("Arquivo Renomeado com Sucesso!!"), TituloRenomeia, MsgStyle::Information);
        btnRnmArq->setEnabled(false);
        cmbContrato->setFocus();
        Label4->clear();
        ProgressBar1->setPosition(0);
        repaint();
        return;
    }
    // Only the file this rename wrote goes: never a folder, never the source.
    if (temporarioCriado && !winfs::sameFile(temporario, origem))
        winfs::deleteFile(temporario);
    naoRenomeado();
}

void TfrmRnmArqRemessa::naoRenomeado()
{
    MessageBox(NaoRenomeado, TituloRenomeia, MsgStyle::Information);
    Label4->setText(NaoRenomeado);
    ProgressBar1->setPosition(0);
    repaint();
}

void TfrmRnmArqRemessa::gravaRegistro()
{
    const QString entrada = cmbContrato->currentText();
    const QString nomeDestino = lblNomeArqKELT->text();
    // A file renamed again keeps its one record; should that record have gone
    // meanwhile, the file gets a new one.
    if (RenomeiaNovamente && tblArquivos.findRowId(registroEncontrado_))
        tblArquivos.edit();
    else
        tblArquivos.append();
    const QDateTime agora = Now();
    auto campo = [this](const char *nome) { return tblArquivos.fieldByName(QString::fromLatin1(nome)); };
    campo("ArqCtrAgencia")->setAsInteger(zqdb::entryAgency(entrada));
    campo("ArqCtrContrato")->setAsInteger(zqdb::entryContract(entrada));
    campo("ArqCtrServico")->setAsString(tblContrato.fieldByName(QStringLiteral("CtrServico"))->asString());
    campo("ArqDataOper")->setAsDate(agora.date());
    campo("ArqHoraOper")->setAsTime(agora.time());
    campo("ArqNomeOrigem")->setAsString(DirRemessa + QLatin1Char('\\') + edtNomeArqRemessa->text());
    campo("ArqNomeDestino")->setAsString(nomeDestino);
    campo("ArqRemessa")->setAsBoolean(true);
    campo("ArqNumRemessa")->setAsInteger(StrToInt(nomeDestino.mid(9, 1)));
    campo("ArqDataOrigem")->setAsDate(DataOrigem);
    campo("ArqHoraOrigem")->setAsTime(HoraOrigem);
    tblArquivos.post();
}
