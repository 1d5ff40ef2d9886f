#include "return/TfrmRnmArqRetorno.h"

#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/windowing/filedialog.h"
#include "platform/windowing/msgbox.h"
#include "return/Entrega.h"
#include "return/PadraoNome.h"
#include "support/FmxUtils.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QValidator>

namespace {

const QString TituloErro = QStringLiteral("Erro de Crítica - Nome Arquivo Retorno");
const QString TituloRenomeia = QStringLiteral("Renomeia Arquivos");

// Makes whatever is typed or pasted capitals; a text set by the program stays as it is.
class Maiusculas : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

// Caption of Label1 once a contract is matched: the second word stands over
// the contract number.
QString legendaAgencia(const QString &contrato)
{
    return QStringLiteral("Agência") + QString(62, QLatin1Char(' ')) + contrato;
}

// A name the file can be given inside the return folder: not empty, no
// folder part, none of the characters Windows refuses in a file name.
bool nomeArquivoValido(const QString &nome)
{
    if (nome.isEmpty() || nome == QLatin1String(".") || nome == QLatin1String(".."))
        return false;
    for (const QChar c : nome)
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    return true;
}

// The first eight characters of the name make a date.
bool dataValida(const zqdb::ReturnFileName &arquivo)
{
    try {
        arquivo.date();
        return true;
    } catch (const EConvertError &) {
        return false;
    }
}

void naoRenomeado()
{
    MessageBox(QStringLiteral("Arquivo NÃO foi Renomeado!!"), TituloRenomeia, MsgStyle::Information);
}

} // namespace

bool TOpenDialog::Execute()
{
    const QString escolhido = OpenFileDialog(InitialDir);
    if (escolhido.isEmpty())
        return false;
    FileName = escolhido;
    return true;
}

TfrmRnmArqRetorno::TfrmRnmArqRetorno(QWidget *parent) : TForm(parent)
{
    setupUi(this);
    for (QGroupBox *g : {GroupBox1, GroupBox2, GroupBox3, GroupBox4})
        setBoldTitle(g);
    resize(560, 420);
    // The agency box is as wide as "Agência" and its blanks, so that the
    // second word of Label1 stands over the contract number.
    const QFontMetrics medida(Label1->font());
    EdtAgencia->setFixedWidth(medida.horizontalAdvance(legendaAgencia(QString())) - layContrato->horizontalSpacing());
    Label1->raise();
    edtRetornoNome->setValidator(new Maiusculas(edtRetornoNome));
    edtRetornoExtensao->setValidator(new Maiusculas(edtRetornoExtensao));

    // Contracts with the name of their agency and the system and identifier
    // of their service; the log; the accepted return identifiers; the
    // contracts whose returns come through the COB and the PDZ folders.
    zqdb::setupTable(tblContrato, QStringLiteral("Ctr.DB"));
    zqdb::setContractFormats(tblContrato);
    zqdb::addAgeNomeLookup(tblContrato, &tblAgencia, 30);
    zqdb::addSisCodLookup(tblContrato, &tblServico);
    zqdb::addSvcIdLookup(tblContrato, &tblServico);
    zqdb::setupTable(tblAgencia, QStringLiteral("Age.DB"));
    zqdb::setupTable(tblServico, QStringLiteral("Svc.DB"));
    zqdb::setupTable(tblArquivos, QStringLiteral("Arq.DB"));
    zqdb::setupTable(tblRsi, QStringLiteral("Rsi.DB"));
    qryContratoCOB.databaseName = zqdb::AliasName;
    qryContratoCOB.setSQL(sql::ContratoCOB);
    QryContratoPDZ.databaseName = zqdb::AliasName;
    QryContratoPDZ.setSQL(sql::ContratoPDZ);
    dtsContrato.setDataSet(&tblContrato);
    dbtDirArqRetorno->setDataSource(&dtsContrato);
    DBEdit1->setDataSource(&dtsContrato);

    on(&dtsContrato, &tables::DataSource::dataChange, &TfrmRnmArqRetorno::dtsContratoDataChange);
    on(btnDirArqKELT, &QPushButton::clicked, &TfrmRnmArqRetorno::btnDirArqKELTClick);
    on(btnRnmArq, &QPushButton::clicked, &TfrmRnmArqRetorno::btnRnmArqClick);
    on(btnFechar, &QPushButton::clicked, &TfrmRnmArqRetorno::btnFecharClick);
    on(edtRetornoNome, &QLineEdit::textChanged, &TfrmRnmArqRetorno::edtRetornoNomeChange);
    on(edtRetornoExtensao, &QLineEdit::textChanged, &TfrmRnmArqRetorno::edtRetornoExtensaoChange);
    edtNomeArqKELT->installEventFilter(this);

    createForm();
}

bool TfrmRnmArqRetorno::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the file name identifies it.
    if (watched == edtNomeArqKELT && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && edtNomeArqKELT->rect().contains(mouse->position().toPoint()))
            runHandler([this] { edtNomeArqKELTClick(); });
    }
    return TForm::eventFilter(watched, event);
}

// ---------------------------------------------------------------- opening and closing

void TfrmRnmArqRetorno::FormCreate()
{
    tblAgencia.open();
    tblServico.open();
    tblContrato.open();
    tblArquivos.open();
    tblRsi.open();
    tblRsi.first();
    edtNomeArqKELT->clear();

    // The first file of a registered contract, by return identifier in key order.
    bool achou = false;
    while (!achou && !tblRsi.eof()) {
        achou = ProcuraArqRetorno(tblRsi.fieldByName(QStringLiteral("IdSis"))->asString()
                                  + tblRsi.fieldByName(QStringLiteral("IdRet"))->asString());
        if (!achou)
            tblRsi.next();
    }
    if (!achou) {
        mostraPasta(QString());
        edtNomeArqKELT->clear();
    }

    // The messages of the identification are shown; its errors are not.
    try {
        edtNomeArqKELTClick();
    } catch (const std::exception &) {
    }

    qryContratoCOB.open();
    QryContratoPDZ.open();
}

bool TfrmRnmArqRetorno::FormClose()
{
    tblContrato.close();
    tblArquivos.close();
    tblRsi.close();
    qryContratoCOB.close();
    QryContratoPDZ.close();
    tblAgencia.close();
    tblServico.close();
    enableMainMenuEntry(QStringLiteral("mnuRnmArqRetorno"));
    return true;
}

void TfrmRnmArqRetorno::btnFecharClick()
{
    Close();
}

void TfrmRnmArqRetorno::fecha()
{
    // A window still being created closes as soon as it has been shown.
    if (isVisible())
        Close();
    else
        QMetaObject::invokeMethod(this, [this] { Close(); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------- finding and identifying the file

bool TfrmRnmArqRetorno::ProcuraArqRetorno(const QString &sistemaRetorno)
{
    const QString sistema = sistemaRetorno.left(3);
    const QString pasta = QStringLiteral("C:\\ZQ\\") + sistema + QStringLiteral("\\ENTRADA");
    if (!winfs::directoryExists(pasta))
        return false;
    mostraPasta(pasta);
    const int digitos = zqdb::contractDigitsOfSystem(sistema);
    const QList<winfs::SearchRec> arquivos
        = winfs::findFiles(zqdb::returnFileMask(pasta, sistemaRetorno), winfs::faAnyFile & ~winfs::faDirectory);
    for (const winfs::SearchRec &encontrado : arquivos) {
        edtNomeArqKELT->setText(UpperCase(encontrado.name));
        const zqdb::ReturnFileName arquivo(edtNomeArqKELT->text());
        int agencia = 0;
        int contrato = 0;
        // A name whose agency or contract is no number belongs to no contract.
        try {
            agencia = arquivo.agency();
            contrato = arquivo.contract(digitos);
        } catch (const EConvertError &) {
            continue;
        }
        if (tblContrato.findKey({agencia, contrato}))
            return true;
    }
    return false;
}

void TfrmRnmArqRetorno::mostraPasta(const QString &pasta)
{
    lblDirArqKELT->setText(pasta);
}

void TfrmRnmArqRetorno::erroNome(const QString &texto, bool esvazia)
{
    MessageBox(texto, TituloErro, MsgStyle::Error);
    if (esvazia)
        edtNomeArqKELT->clear();
    edtNomeArqKELT->setFocus();
}

void TfrmRnmArqRetorno::edtNomeArqKELTClick()
{
    const QString nome = edtNomeArqKELT->text();
    if (nome.isEmpty()) {
        MessageBox(QStringLiteral("Não existem arquivos retorno dos contratos\rcadastrados a serem renomeados"), TituloErro,
                   MsgStyle::Error);
        fecha();
        return;
    }
    if (!winfs::fileExists(winfs::includeTrailingBackslash(lblDirArqKELT->text()) + nome)) {
        erroNome(QStringLiteral("O arquivo informado não está na pasta\r") + lblDirArqKELT->text() + QStringLiteral("\rRedigite!"),
                 false);
        return;
    }
    const zqdb::ReturnFileName arquivo(nome);
    TamContrato = arquivo.contractDigitsByDot(TamContrato);
    // A name that carries no date would be delivered and then fail to be logged.
    if (nome.size() < 19 || TamContrato == 0 || !dataValida(arquivo)) {
        erroNome(QStringLiteral("O nome de arquivo informado não é válido\rRedigite!"));
        return;
    }
    if (!tblRsi.findKey({arquivo.system(), arquivo.identifier()})) {
        erroNome(QStringLiteral("O id ") + arquivo.identifier() + QStringLiteral(" não é arquivo Retorno do sistema ")
                 + arquivo.system() + QStringLiteral("\rRedigite!"));
        return;
    }
    IdentificaContrato();
    btnRnmArq->setEnabled(true);
}

void TfrmRnmArqRetorno::IdentificaContrato()
{
    LePadraoNome(edtRetornoNome, edtRetornoExtensao);
    const QString nome = edtNomeArqKELT->text();
    if (nome.isEmpty())
        return;
    const zqdb::ReturnFileName arquivo(nome);
    if (!tblContrato.findKey({arquivo.agency(), arquivo.contract(TamContrato)})) {
        erroNome(QStringLiteral("O Contrato do arquivo \r") + nome + QStringLiteral("\r não está cadastrado. Redigite!"));
        return;
    }
    const QString sistema = tblContrato.fieldByName(QStringLiteral("SisCod"))->asString();
    const QString contrato = sistema == QLatin1String("COB") ? QStringLiteral("Contrato") : QStringLiteral("Convênio");
    Label1->setText(legendaAgencia(contrato));
    edtNomeArqRetorno->setText(MontaNomeRetorno(edtRetornoNome->text(), edtRetornoExtensao->text()));
    const QString doArquivo = arquivo.system();
    if (doArquivo != sistema && !(sistema == QLatin1String("IPC") && doArquivo == QLatin1String("PDZ"))) {
        erroNome(QStringLiteral("O arquivo ") + nome + QStringLiteral("\r não é do sistema cadastrado para o seu contrato\rVerifique!"));
        return;
    }
    DirEntrada = zqdb::incomingFolder(sistema);
}

void TfrmRnmArqRetorno::btnDirArqKELTClick()
{
    const bool cob = qryContratoCOB.active() && !qryContratoCOB.isEmpty();
    const bool pdz = QryContratoPDZ.active() && !QryContratoPDZ.isEmpty();
    if (cob && !pdz)
        opdNomeArqKELT.InitialDir = QStringLiteral("C:\\ZQ\\COB\\ENTRADA\\");
    else if (pdz && !cob)
        opdNomeArqKELT.InitialDir = QStringLiteral("C:\\ZQ\\PDZ\\ENTRADA\\");
    else
        opdNomeArqKELT.InitialDir = QStringLiteral("C:\\ZQ\\");
    if (opdNomeArqKELT.Execute()) {
        mostraPasta(winfs::extractFileDir(opdNomeArqKELT.FileName));
        edtNomeArqKELT->setText(winfs::extractFileName(opdNomeArqKELT.FileName));
    }
    edtNomeArqKELTClick();
}

// ---------------------------------------------------------------- contract panel and pattern

void TfrmRnmArqRetorno::dtsContratoDataChange()
{
    if (!tblContrato.active() || tblContrato.isEmpty()) {
        EdtAgencia->clear();
        EdtContrato->clear();
        lblCrtDescricao->clear();
    } else {
        EdtAgencia->setText(QString::asprintf("%4.4d", tblContrato.fieldByName(QStringLiteral("CtrAgencia"))->asInteger())
                            + QStringLiteral(" - ") + Trim(tblContrato.fieldByName(QStringLiteral("AgeNome"))->asString()));
        EdtContrato->setText(QString::asprintf("%9.9d", tblContrato.fieldByName(QStringLiteral("CtrContrato"))->asInteger()));
        lblCrtDescricao->setText(tblContrato.fieldByName(QStringLiteral("CtrDescricao"))->asString());
    }
}

void TfrmRnmArqRetorno::edtRetornoNomeChange()
{
    edtNomeArqRetorno->setText(MontaNomeRetorno(edtRetornoNome->text(), edtRetornoExtensao->text()));
}

void TfrmRnmArqRetorno::edtRetornoExtensaoChange()
{
    edtNomeArqRetorno->setText(MontaNomeRetorno(edtRetornoNome->text(), edtRetornoExtensao->text()));
}

// ---------------------------------------------------------------- rename

void TfrmRnmArqRetorno::btnRnmArqClick()
{
    GravaPadraoNome(edtRetornoNome->text(), edtRetornoExtensao->text());

    const QString nome = edtNomeArqKELT->text();
    const QString origem = DirEntrada + QLatin1Char('\\') + nome;
    if (!winfs::fileExists(origem)) {
        MessageBox(QStringLiteral("O arquivo ") + origem + QStringLiteral(" NÃO foi encontrado!!"), TituloRenomeia,
                   MsgStyle::Information);
        edtNomeArqKELT->setFocus();
        return;
    }
    QString pasta = tblContrato.fieldByName(QStringLiteral("CtrDirRetorno"))->asString();
    if (pasta.endsWith(QLatin1Char('\\')))
        pasta.chop(1);
    const QString nomeDestino = edtNomeArqRetorno->text();
    if (!nomeArquivoValido(nomeDestino)) {
        MessageBox(QStringLiteral("O nome do arquivo renomeado não é válido\rRedigite!"), TituloErro, MsgStyle::Error);
        edtNomeArqRetorno->setFocus();
        return;
    }
    // The log record is read from the name: a name edited since its
    // identification that does not decode stops here, before anything moves.
    const zqdb::ReturnFileName arquivo(nome);
    const int agencia = arquivo.agency();
    const int contrato = arquivo.contract(TamContrato);
    const QDate dataOrigem = arquivo.date();

    const QString destino = pasta + QLatin1Char('\\') + nomeDestino;
    // The return file itself, or a folder, is never replaced.
    if (winfs::sameFile(destino, origem) || winfs::directoryExists(destino)) {
        naoRenomeado();
        return;
    }
    if (winfs::fileExists(destino)
        && MessageBox(QStringLiteral("Deseja substituir o arquivo ") + destino + QLatin1Char('?'), QStringLiteral("Confirmação"),
                      MsgStyle::Question)
               != mrYes) {
        naoRenomeado();
        return;
    }

    // Letter case does not tell folders apart: a return folder that is the
    // incoming folder gets the file renamed where it lies.
    const bool mesmaPasta = QString::compare(winfs::expandFileName(pasta), winfs::expandFileName(DirEntrada), Qt::CaseInsensitive) == 0
                            || winfs::sameFile(pasta, DirEntrada);
    if (mesmaPasta) {
        if (!ColocaNoLugar(origem, destino)) {
            naoRenomeado();
            return;
        }
    } else {
        // The file is copied in and stays in the incoming folder; a read-only one is not moved.
        if (TestFileAttr(origem, winfs::faReadOnly))
            throw EFCantMove(QStringLiteral("Cannot move file %1").arg(origem));
        const QString temporario = CopiaTemporaria(origem, destino);
        if (!ColocaNoLugar(temporario, destino)) {
            winfs::deleteFile(temporario);
            naoRenomeado();
            return;
        }
    }

    tblArquivos.append();
    try {
        auto campo = [this](const char *nomeCampo) { return tblArquivos.fieldByName(QLatin1String(nomeCampo)); };
        const QDateTime agora = Now();
        campo("ArqCtrAgencia")->setAsInteger(agencia);
        campo("ArqCtrContrato")->setAsInteger(contrato);
        campo("ArqCtrServico")->setAsString(tblContrato.fieldByName(QStringLiteral("CtrServico"))->asString());
        campo("ArqDataOper")->setAsDate(agora.date());
        campo("ArqHoraOper")->setAsTime(agora.time());
        campo("ArqDataOrigem")->setAsDate(dataOrigem);
        // The stamp of the delivered file, read while nobody may write it.
        winfs::FileReader entregue;
        if (entregue.open(destino) == 0) {
            campo("ArqHoraOrigem")->setAsTime(entregue.fileAge().time());
            entregue.close();
        } else {
            IOResult();
        }
        campo("ArqNomeOrigem")->setAsString(nome);
        campo("ArqNomeDestino")->setAsString(nomeDestino);
        campo("ArqRemessa")->setAsBoolean(false);
        campo("ArqNumRemessa")->setAsInteger(0);
        tblArquivos.post();
    } catch (...) {
        tblArquivos.cancel();
        throw;
    }

    MessageBox(QStringLiteral("Arquivo Renomeado com Sucesso!!"), TituloRenomeia, MsgStyle::Information);
    btnRnmArq->setEnabled(false);
    edtNomeArqKELT->setFocus();
}
