#include "app/TfrmPrincipal.h"
#include "ui_TfrmPrincipal.h"

#include "app/TWallPaper.h"
#include "app/TfrmSobre.h"
#include "app/icons.h"
#include "app/placeholders.h"
#include "app/startup.h"
#include "contracts/TfrmCadContrato.h"
#include "contracts/TfrmCnsContrato.h"
#include "log/TfrmCnsArqRenomeados.h"
#include "db/RegistroArq.h"
#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/os/os.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/tables/session.h"
#include "platform/windowing/guard.h"
#include "platform/windowing/msgbox.h"
#include "remittance/TfrmRnmArqRemessa.h"
#include "return/TfrmRnmArqRetorno.h"
#include "support/FmxUtils.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>

TfrmPrincipal *frmPrincipal = nullptr;

TfrmPrincipal::TfrmPrincipal(QWidget *parent) : QMainWindow(parent), ui(new Ui::TfrmPrincipal)
{
    ui->setupUi(this);
    frmPrincipal = this;
    setMainFrame(this);

    ClientArea = ui->ClientArea;
    MainMenu1 = ui->MainMenu1;
    mnuArquivo = ui->mnuArquivo;
    mnuEditar = ui->mnuEditar;
    mnuCadastro = ui->mnuCadastro;
    mnuConsulta = ui->mnuConsulta;
    mnuRenomeia = ui->mnuRenomeia;
    mnuAjuda = ui->mnuAjuda;
    GerarCpiadeSegurana1 = ui->GerarCpiadeSegurana1;
    RestaurarCpiadeSegurana1 = ui->RestaurarCpiadeSegurana1;
    N1 = ui->N1;
    mnuArqSair = ui->mnuArqSair;
    mnuEdtRecortar = ui->mnuEdtRecortar;
    mnuEdtCopiar = ui->mnuEdtCopiar;
    mnuEdtColar = ui->mnuEdtColar;
    mnuCadContrato = ui->mnuCadContrato;
    mnuCnsContrato = ui->mnuCnsContrato;
    mnuCnsArqRenomeados = ui->mnuCnsArqRenomeados;
    mnuRnmArqRemessa = ui->mnuRnmArqRemessa;
    N8 = ui->N8;
    mnuRnmArqRetorno = ui->mnuRnmArqRetorno;
    mnuAjudaConversao = ui->mnuAjudaConversao;
    mnuAjudaSobre = ui->mnuAjudaSobre;
    ToolBar1 = ui->ToolBar1;
    pnlStatus = ui->pnlStatus;
    N1->setSeparator(true);
    N8->setSeparator(true);
    ToolBar1->setFixedHeight(28);
    // Shortcuts of the edit entries belong to the focused edit; the entries only mirror them.
    for (QAction *a : {mnuEdtRecortar, mnuEdtCopiar, mnuEdtColar})
        a->setShortcutContext(Qt::WidgetShortcut);

    pnlStatus->setSizeGripEnabled(false);
    // The panels keep their fixed widths: a compact font lets the clock fit in the first.
    QFont statusFont = pnlStatus->font();
    statusFont.setPixelSize(11);
    pnlStatus->setFont(statusFont);
    pnlStatus->addPanel(120, Qt::AlignCenter);
    pnlStatus->addPanel(300);
    // The last panel reaches the right edge, so "Inserindo Novo Registro..." is read whole.
    pnlStatus->addPanel(50, Qt::AlignLeft | Qt::AlignVCenter, true);

    btnSair = addToolButton(QStringLiteral("btnSair"), QStringLiteral("Sair"), 0, &TfrmPrincipal::mnuArqSairClick);
    ToolBar1->addSeparator();
    btnRecortar = addToolButton(QStringLiteral("btnRecortar"), QStringLiteral("Recortar"), 1, &TfrmPrincipal::mnuEdtRecortarClick);
    btnCopiar = addToolButton(QStringLiteral("btnCopiar"), QStringLiteral("Copiar"), 2, &TfrmPrincipal::mnuEdtCopiarClick);
    btnColar = addToolButton(QStringLiteral("btnColar"), QStringLiteral("Colar"), 3, &TfrmPrincipal::mnuEdtColarClick);
    ToolBar1->addSeparator();
    btnCadContrato = addToolButton(QStringLiteral("btnCadContrato"), QStringLiteral("Cadastro de Contratos/Convênios"), 4,
                                   &TfrmPrincipal::mnuCadContratoClick);
    ToolBar1->addSeparator();
    btnCnsArqRenomeados = addToolButton(QStringLiteral("btnCnsArqRenomeados"), QStringLiteral("Consulta Arquivos Renomeados"), 5,
                                        &TfrmPrincipal::mnuCnsArqRenomeadosClick);
    ToolBar1->addSeparator();
    btnRnmArqRemessa = addToolButton(QStringLiteral("btnRnmArqRemessa"), QStringLiteral("Renomeia Arquivo Remessa"), 8,
                                     &TfrmPrincipal::mnuRnmArqRemessaClick);
    btnRnmArqRetorno = addToolButton(QStringLiteral("btnRnmArqRetorno"), QStringLiteral("Renomeia Arquivo Retorno"), 7,
                                     &TfrmPrincipal::mnuRnmArqRetornoClick);
    ToolBar1->addSeparator();
    btnAjudaConversao = addToolButton(QStringLiteral("btnAjudaConversao"), QStringLiteral("Ajuda do Renomeia Arquivos ZQ"), 6,
                                      &TfrmPrincipal::mnuAjudaConversaoClick);

    auto connectEntry = [this](QAction *a, void (TfrmPrincipal::*handler)()) {
        connect(a, &QAction::triggered, this, [this, handler] { Guard([&] { (this->*handler)(); }); });
    };
    connectEntry(GerarCpiadeSegurana1, &TfrmPrincipal::GerarCpiadeSegurana1Click);
    connectEntry(RestaurarCpiadeSegurana1, &TfrmPrincipal::RestaurarCpiadeSegurana1Click);
    connectEntry(mnuArqSair, &TfrmPrincipal::mnuArqSairClick);
    connectEntry(mnuEdtRecortar, &TfrmPrincipal::mnuEdtRecortarClick);
    connectEntry(mnuEdtCopiar, &TfrmPrincipal::mnuEdtCopiarClick);
    connectEntry(mnuEdtColar, &TfrmPrincipal::mnuEdtColarClick);
    connectEntry(mnuCadContrato, &TfrmPrincipal::mnuCadContratoClick);
    connectEntry(mnuCnsContrato, &TfrmPrincipal::mnuCnsContratoClick);
    connectEntry(mnuCnsArqRenomeados, &TfrmPrincipal::mnuCnsArqRenomeadosClick);
    connectEntry(mnuRnmArqRemessa, &TfrmPrincipal::mnuRnmArqRemessaClick);
    connectEntry(mnuRnmArqRetorno, &TfrmPrincipal::mnuRnmArqRetornoClick);
    connectEntry(mnuAjudaConversao, &TfrmPrincipal::mnuAjudaConversaoClick);
    connectEntry(mnuAjudaSobre, &TfrmPrincipal::mnuAjudaSobreClick);

    // Data sets of the window, all on the alias.
    zqdb::setupTable(tblContrato, QStringLiteral("Ctr.DB"));
    qryExcluiArq.databaseName = zqdb::AliasName;
    qryExcluiArq.setSQL(sql::ExcluiArqDesign);
    QryConversao.databaseName = zqdb::AliasName;
    zqdb::setupTable(TblAge, QStringLiteral("Age.DB"));
    qryAgenciaZQ.databaseName = zqdb::AliasName;

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    for (QTimer *t : {Timer1, Timer2, Timer3})
        t->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Guard([this] { Timer1Timer(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { Guard([this] { Timer2Timer(); }); });
    connect(Timer3, &QTimer::timeout, this, [this] { Guard([this] { Timer3Timer(); }); });

    WallPaper1 = new TWallPaper(this);
    WallPaper1->setObjectName(QStringLiteral("WallPaper1"));
    WallPaper1->setBitmap(TWallPaper::defaultPicture());

    // An error escaping a creation step skips the remaining steps; the window still opens.
    Guard([this] { FormCreate(); });

    Timer1Timer();
    Timer1->start();
    Timer2->start();
    Timer3->start();
}

TfrmPrincipal::~TfrmPrincipal()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (frmPrincipal == this)
        frmPrincipal = nullptr;
    if (mainFrame() == this)
        setMainFrame(nullptr);
    delete ui;
}

QToolButton *TfrmPrincipal::addToolButton(const QString &name, const QString &hint, int icon, void (TfrmPrincipal::*handler)())
{
    static const QList<QIcon> icons = ImageList1();
    auto *b = new QToolButton(ToolBar1);
    b->setObjectName(name);
    b->setIcon(icons.value(icon));
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setAccessibleName(hint);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    ToolBar1->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, handler] { Guard([&] { (this->*handler)(); }); });
    return b;
}

QAction *TfrmPrincipal::menuEntry(const QString &name)
{
    return findChild<QAction *>(name);
}

// ---------------------------------------------------------------- creation

void TfrmPrincipal::FormCreate()
{
    // 1. Hints reach the status bar.
    qApp->installEventFilter(this);
    // 2. Process-wide formats.
    SetProcessFormats();
    // 3. Database alias.
    CriaAlias();
    // 4. The log keeps 30 days: rows dated before today at 00:00 minus 30 days go.
    qryExcluiArq.close();
    qryExcluiArq.setSQL(sql::ExcluiArq);
    qryExcluiArq.paramByName(QStringLiteral("ParmData")).setAsDateTime(QDateTime(zqdb::inicioDoLog(Now().date()), QTime(0, 0)));
    qryExcluiArq.execSQL();
    // 5. Upgrade of the tables to the version in the caption.
    if (windowTitle().contains(AppVersion))
        ConverteVersao(AppVersion);
}

void TfrmPrincipal::ConverteVersao(const QString &versao)
{
    if (versao != QLatin1String("1.2.1"))
        return;
    QCoreApplication::processEvents();
    try {
        QryConversao.databaseName = QStringLiteral("ZQREN417");
        QryConversao.close();
        QryConversao.setSQL(sql::ProbeCtr);
        QryConversao.open();
        if (!QryConversao.findField(QStringLiteral("CtrDescricao"))) {
            QryConversao.close();
            QryConversao.setSQL(sql::AlterCtr);
            QryConversao.execSQL();
        }
        QryConversao.close();
    } catch (const Exception &e) {
        MessageBox(QStringLiteral("Ocorreu um erro na conversão para a versão 1.2.1 - ") + e.message(),
                   QStringLiteral("Informação"), MsgStyle::Exclamation);
        QryConversao.close();
    }
}

// ---------------------------------------------------------------- frame

void TfrmPrincipal::closeEvent(QCloseEvent *event)
{
    if (MessageBox(QStringLiteral("Deseja Sair da Aplicação?"), QStringLiteral("Confirmação"), MsgStyle::Question) == mrYes)
        event->accept();
    else
        event->ignore();
}

bool TfrmPrincipal::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true; // the status bar keeps its panels
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmPrincipal::ShowHint(const QString &hint)
{
    pnlStatus->setPanelText(1, hint);
}

void TfrmPrincipal::Timer1Timer()
{
    const QDateTime now = Now();
    QString text = DateToStr(now.date());
    if (now.time() != QTime(0, 0))
        text += QLatin1Char(' ') + TimeToStr(now.time());
    pnlStatus->setPanelText(0, text);
}

void TfrmPrincipal::mnuArqSairClick()
{
    close();
}

namespace {
void sendEditCommand(const char *command)
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        return;
    if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->lineEdit())
        w = combo->lineEdit();
    if (w->metaObject()->indexOfMethod(QByteArray(command) + "()") >= 0)
        QMetaObject::invokeMethod(w, command);
}
} // namespace

void TfrmPrincipal::mnuEdtRecortarClick() { sendEditCommand("cut"); }
void TfrmPrincipal::mnuEdtCopiarClick() { sendEditCommand("copy"); }
void TfrmPrincipal::mnuEdtColarClick() { sendEditCommand("paste"); }

// ---------------------------------------------------------------- windows

bool TfrmPrincipal::trazJanela(const QPointer<QWidget> &ref)
{
    if (!ref)
        return false;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(ref->parentWidget())) {
        ClientArea->setActiveSubWindow(sub);
        sub->raise();
    } else {
        ref->raise();
        ref->activateWindow();
    }
    return true;
}

void TfrmPrincipal::abreJanela(QPointer<QWidget> &ref, QAction *entry, const std::function<QWidget *()> &create, bool mdiChild)
{
    entry->setEnabled(false);
    QWidget *w = create();
    ref = w;
    if (mdiChild) {
        showMdiChild(w, w->size());
    } else {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    }
}

bool TfrmPrincipal::existeContrato()
{
    tblContrato.open();
    const bool any = !tblContrato.isEmpty();
    if (!any)
        MessageBox(QStringLiteral("Não há contratos cadastrados"), QStringLiteral("Informação"), MsgStyle::Error);
    tblContrato.close();
    return any;
}

void TfrmPrincipal::mnuCadContratoClick()
{
    if (trazJanela(frmCadContrato))
        return;
    abreJanela(frmCadContrato, mnuCadContrato, [this] { return new TfrmCadContrato(this); });
}

void TfrmPrincipal::mnuCnsContratoClick()
{
    if (trazJanela(frmCnsContrato))
        return;
    if (existeContrato())
        abreJanela(frmCnsContrato, mnuCnsContrato, [this] { return new TfrmCnsContrato(this); });
}

void TfrmPrincipal::mnuRnmArqRemessaClick()
{
    if (trazJanela(frmRnmArqRemessa))
        return;
    if (existeContrato())
        abreJanela(frmRnmArqRemessa, mnuRnmArqRemessa, [this] { return new TfrmRnmArqRemessa(this); });
}

void TfrmPrincipal::mnuCnsArqRenomeadosClick()
{
    if (trazJanela(frmCnsArqRenomeados))
        return;
    abreJanela(frmCnsArqRenomeados, mnuCnsArqRenomeados, [this] { return new TfrmCnsArqRenomeados(this); });
}

void TfrmPrincipal::mnuAjudaSobreClick()
{
    if (trazJanela(frmSobre))
        return;
    abreJanela(frmSobre, mnuAjudaSobre, [this] { return new TfrmSobre(this); }, false);
}

namespace {
// Scans the return files of a system in a folder: the first file is always
// examined; the scan stops at the first file whose agency and contract are
// registered.
bool procuraRetorno(tables::Table &ctr, const QString &folder, const QString &system, bool found)
{
    const int contractDigits = zqdb::contractDigitsOfSystem(system);
    const QList<winfs::SearchRec> files = winfs::findFiles(zqdb::returnFileMask(folder, system), winfs::faAnyFile);
    for (int i = 0; i < files.size(); ++i) {
        if (i > 0 && found)
            break;
        const zqdb::ReturnFileName name(files[i].name);
        const int agencia = name.agency();
        const int contrato = name.contract(contractDigits);
        if (ctr.findKey({agencia, contrato}))
            found = true;
    }
    return found;
}

bool pastaEntrada(const QString &folder)
{
    return TestFileAttr(folder, winfs::faDirectory) && winfs::directoryExists(folder);
}
} // namespace

void TfrmPrincipal::mnuRnmArqRetornoClick()
{
    if (trazJanela(frmRnmArqRetorno))
        return;
    const QString cob = zqdb::incomingFolder(QStringLiteral("COB"));
    const QString pdz = zqdb::incomingFolder(QStringLiteral("PDZ"));
    const QString ccc = zqdb::incomingFolder(QStringLiteral("CCC"));
    tblContrato.open();
    bool found = false;
    try {
        if (pastaEntrada(cob))
            found = procuraRetorno(tblContrato, cob, QStringLiteral("COB"), found);
        if (!found && pastaEntrada(pdz))
            found = procuraRetorno(tblContrato, pdz, QStringLiteral("PDZ"), found);
        // The DEL files are looked for in the CCC folder.
        if (pastaEntrada(ccc)) {
            found = procuraRetorno(tblContrato, ccc, QStringLiteral("CCC"), found);
            found = procuraRetorno(tblContrato, ccc, QStringLiteral("DEL"), found);
        }
    } catch (...) {
        tblContrato.close();
        throw;
    }
    tblContrato.close();
    if (found)
        abreJanela(frmRnmArqRetorno, mnuRnmArqRetorno, [this] { return new TfrmRnmArqRetorno(this); });
    else
        MessageBox(QStringLiteral("Não existem arquivos retorno dos Contratos\rcadastrados a serem renomeados"),
                   QStringLiteral("Informação"), MsgStyle::Error);
}

// ---------------------------------------------------------------- help

void TfrmPrincipal::mnuAjudaConversaoClick()
{
    ChamaAjuda(QStringLiteral("ZQRen417.hlp"));
}

void TfrmPrincipal::ChamaAjuda(const QString &arquivo)
{
    os::OSVersionInfo info;
    if (!os::GetVersionEx(info))
        return;
    if (info.platformId == os::VER_PLATFORM_WIN32_WINDOWS)
        os::WinExec(QStringLiteral("winhelp.exe .\\") + arquivo, os::SW_SHOWNORMAL);
    else if (info.platformId == os::VER_PLATFORM_WIN32_NT)
        os::WinExec(QStringLiteral("winhlp32.exe .\\") + arquivo, os::SW_SHOWNORMAL);
}

// ---------------------------------------------------------------- agencies

namespace {
std::function<bool(const QString &)> &agencyListRemover()
{
    static std::function<bool(const QString &)> remover;
    return remover;
}

// Deletes a loaded list; false when it is still there.
bool apagaListaAgencias(const QString &arquivo)
{
    return agencyListRemover() ? agencyListRemover()(arquivo) : winfs::deleteFile(arquivo);
}

// Second part of the notice shown when a loaded list could not be deleted:
// without it the list would be loaded again at every start with no reason given.
QString listaNaoApagada(const QString &arquivo)
{
    return QStringLiteral("o arquivo ") + arquivo
        + QStringLiteral(" não pôde ser apagado.\rEle será carregado de novo a cada início do programa até ser removido.");
}

// True when some line holds more than blanks and control characters.
bool temAgencia(const QStringList &linhas)
{
    for (const QString &l : linhas)
        if (!Trim(l).isEmpty())
            return true;
    return false;
}
} // namespace

void setAgencyListRemover(std::function<bool(const QString &)> remover)
{
    agencyListRemover() = std::move(remover);
}

void ImportaAgencias(tables::Table &tblAge)
{
    const QString arquivo = winfs::includeTrailingBackslash(winfs::exeDir()) + QStringLiteral("Agencias.Txt");
    // Only a regular file is a list: a FIFO or a folder of that name is left alone.
    if (!winfs::regularFileExists(arquivo))
        return;
    const QStringList linhas = winfs::readTextFile(arquivo);
    // A list without any agency (a transfer that delivered nothing) must not
    // empty the table.
    if (!temAgencia(linhas))
        throw Exception(QStringLiteral("O arquivo ") + arquivo
                        + QStringLiteral(" não contém nenhuma agência; a tabela de agências não foi alterada"));
    // The table is replaced as a whole or not at all: a failing line leaves it as it was.
    tables::Connection &conn = tables::Session::instance().connection(tblAge.databaseName);
    conn.startTransaction();
    try {
        tblAge.emptyTable();
        tblAge.open();
        int contador = 0;
        for (const QString &linha : linhas) {
            tblAge.insert();
            tblAge.fieldByName(QStringLiteral("AgeCod"))->setAsInteger(StrToInt(Trim(linha.left(10))));
            tblAge.fieldByName(QStringLiteral("AgeNome"))->setAsString(Trim(linha.mid(11, linha.size() - 12)));
            tblAge.post();
            ++contador;
            setMainStatusPanel(1, QString::number(contador) + QStringLiteral(" Registros Processados"));
        }
        conn.commit();
    } catch (...) {
        conn.rollback();
        tblAge.close();
        throw;
    }
    tblAge.close();
    setMainStatusPanel(1, QString());
    const bool apagado = apagaListaAgencias(arquivo);
    MessageBox(QStringLiteral("Atualização da tabela de agências executada com sucesso"), applicationTitle(), MsgStyle::Plain);
    if (!apagado)
        MessageBox(QStringLiteral("A tabela de agências foi atualizada, mas ") + listaNaoApagada(arquivo), applicationTitle(),
                   MsgStyle::Plain);
}

void TfrmPrincipal::Timer2Timer()
{
    Timer2->stop();
    ImportaAgencias(TblAge);
}

bool TfrmPrincipal::CarregaAgenciaZQ()
{
    tables::Connection *conn = nullptr;
    try {
        winfs::TextFileReader lista(winfs::includeTrailingBackslash(winfs::currentDir()) + QStringLiteral("agencias.zq"));
        QString linha = lista.readLine();
        // Loading stops at the first empty line: a list that starts with one
        // holds no agency and leaves the table as it is.
        if (linha.isEmpty())
            return false;
        conn = &tables::Session::instance().connection(qryAgenciaZQ.databaseName);
        conn->startTransaction();
        qryAgenciaZQ.setSQL(sql::DeleteAge);
        qryAgenciaZQ.execSQL();
        while (!linha.isEmpty()) {
            qryAgenciaZQ.setSQL(sql::InsertAge);
            qryAgenciaZQ.paramByName(QStringLiteral("AgeCod")).setAsSmallInt(StrToInt(Trim(linha.left(3))));
            qryAgenciaZQ.paramByName(QStringLiteral("AgeNome")).setAsString(linha.mid(3, 30));
            qryAgenciaZQ.execSQL();
            linha = lista.readLine();
        }
        conn->commit();
        return true;
    } catch (const std::exception &) {
        if (conn)
            conn->rollback();
        return false;
    }
}

void TfrmPrincipal::Timer3Timer()
{
    Timer3->stop();
    const QString arquivo = winfs::includeTrailingBackslash(winfs::currentDir()) + QStringLiteral("agencias.zq");
    if (winfs::regularFileExists(arquivo) && CarregaAgenciaZQ()) {
        MessageBox(QStringLiteral("Cadastro de Agências ZQ atualizado com sucesso."), QStringLiteral("Informação"),
                   MsgStyle::Exclamation);
        if (!apagaListaAgencias(arquivo))
            MessageBox(QStringLiteral("O cadastro de agências ZQ foi atualizado, mas ") + listaNaoApagada(arquivo),
                       QStringLiteral("Informação"), MsgStyle::Exclamation);
    }
}
