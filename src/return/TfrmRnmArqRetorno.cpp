#include "return/TfrmRnmArqRetorno.h"

#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/windowing/filedialog.h"
#include "platform/windowing/msgbox.h"
#include "return/PadraoNome.h"

#include <QFontMetrics>
#include <QSet>
#include <QMouseEvent>
#include <QValidator>

namespace {

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
    for (QLineEdit *e : {edtNomeArqKELT, edtNomeArqRetorno})
        connect(e, &QLineEdit::textChanged, this, &TfrmRnmArqRetorno::habilitaRenomear);
    edtNomeArqKELT->installEventFilter(this);
    btnRnmArq->setEnabled(false);

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
    tblRsi.open();
    tblRsi.first();
    edtNomeArqKELT->clear();

    // What interrupted deliveries left in the contracts' return folders.
    QString padrao;
    try {
        const PadraoNome lido = LePadraoNome();
        padrao = MontaNomeRetorno(lido.nome.value_or(QString()), lido.extensao.value_or(QString()));
    } catch (const std::exception &) {
    }
    QSet<QString> pastas;
    for (tblContrato.first(); !tblContrato.eof(); tblContrato.next())
        pastas.insert(winfs::excludeTrailingBackslash(tblContrato.fieldByName(QStringLiteral("CtrDirRetorno"))->asString()));
    for (const QString &pasta : pastas)
        retorno::RenomeiaRetorno::limpaPasta(pasta, padrao);

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
    const retorno::Busca busca = retorno::procuraRetornos(sistemaRetorno, true);
    if (!busca.pastaExiste)
        return false;
    mostraPasta(busca.pasta);
    if (busca.encontrados.isEmpty()) {
        edtNomeArqKELT->setText(busca.ultimoNome);
        return false;
    }
    const retorno::Encontrado &e = busca.encontrados.first();
    edtNomeArqKELT->setText(e.nome);
    return tblContrato.findKey({e.agencia, e.contrato});
}

void TfrmRnmArqRetorno::mostraPasta(const QString &pasta)
{
    lblDirArqKELT->setText(pasta);
}

bool TfrmRnmArqRetorno::substitui(const Mensagem &pergunta)
{
    return MessageBox(pergunta) == mrYes;
}

void TfrmRnmArqRetorno::mensagem(const Mensagem &m)
{
    MessageBox(m);
}

void TfrmRnmArqRetorno::voltaAoNome(bool esvazia)
{
    identificado_ = false;
    if (esvazia)
        edtNomeArqKELT->clear();
    edtNomeArqKELT->setFocus();
    habilitaRenomear();
}

void TfrmRnmArqRetorno::habilitaRenomear()
{
    btnRnmArq->setEnabled(identificado_ && !edtNomeArqKELT->text().isEmpty() && !edtNomeArqRetorno->text().isEmpty());
}

void TfrmRnmArqRetorno::lePadrao()
{
    const PadraoNome lido = LePadraoNome();
    if (lido.nome)
        edtRetornoNome->setText(*lido.nome);
    if (lido.extensao)
        edtRetornoExtensao->setText(*lido.extensao);
}

void TfrmRnmArqRetorno::edtNomeArqKELTClick()
{
    identificado_ = false;
    habilitaRenomear();
    switch (renomeacao.identificaNome(lblDirArqKELT->text(), edtNomeArqKELT->text(), TamContrato)) {
    case retorno::Nome::Vazio:
        fecha();
        return;
    case retorno::Nome::NaoNaPasta:
        voltaAoNome(false);
        return;
    case retorno::Nome::Invalido:
    case retorno::Nome::IdInvalido:
        voltaAoNome();
        return;
    case retorno::Nome::Aceito:
        break;
    }
    IdentificaContrato();
}

void TfrmRnmArqRetorno::IdentificaContrato()
{
    lePadrao();
    const QString nome = edtNomeArqKELT->text();
    if (nome.isEmpty())
        return;
    retorno::Contrato c;
    const retorno::ContratoDoArquivo r = renomeacao.identificaContrato(nome, TamContrato, c);
    if (r == retorno::ContratoDoArquivo::NaoCadastrado) {
        voltaAoNome();
        return;
    }
    const zqdb::ReturnFileName arquivo(nome);
    tblContrato.findKey({arquivo.agency(), arquivo.contract(TamContrato)});
    const QString contrato = c.sistema == QLatin1String("COB") ? QStringLiteral("Contrato") : QStringLiteral("Convênio");
    Label1->setText(legendaAgencia(contrato));
    // The word painted over the contract number is the caption of its field,
    // the one a screen reader announces it by.
    Label6->setText(contrato);
    edtNomeArqRetorno->setText(MontaNomeRetorno(edtRetornoNome->text(), edtRetornoExtensao->text()));
    if (r == retorno::ContratoDoArquivo::OutroSistema) {
        voltaAoNome();
        return;
    }
    contrato_ = c;
    DirEntrada = zqdb::incomingFolder(c.sistema);
    identificado_ = true;
    habilitaRenomear();
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
    // The contract of the last identification; the name as it stands.
    switch (renomeacao.entrega(contrato_, DirEntrada, edtNomeArqKELT->text(), TamContrato, edtNomeArqRetorno->text())) {
    case retorno::Resultado::SemOrigem:
        edtNomeArqKELT->setFocus();
        break;
    case retorno::Resultado::NomeInvalido:
        edtNomeArqRetorno->setFocus();
        break;
    case retorno::Resultado::Recusado:
    case retorno::Resultado::Falhou:
    case retorno::Resultado::JaEntregue: // only runs that deliver once see these two
    case retorno::Resultado::Aguardando:
        break;
    case retorno::Resultado::Renomeado:
        identificado_ = false;
        btnRnmArq->setEnabled(false);
        edtNomeArqKELT->setFocus();
        break;
    }
}
