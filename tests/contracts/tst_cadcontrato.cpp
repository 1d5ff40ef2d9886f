// The contract registration window, driven the way a user drives it: opened
// from the main window's command, typed into, buttons clicked, boxes answered.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "contracts/TfrmCadContrato.h"
#include "platform/tables/session.h"
#include "platform/windowing/dbcontrols.h"
#include "platform/windowing/folderdialog.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

namespace {

const QString Rem = QStringLiteral("C:\\REM");
const QString Ret = QStringLiteral("C:\\RET");

QString box(const QString &title, const QString &text, const QString &style = QStringLiteral("error"))
{
    return title + QStringLiteral(" | ") + text + QStringLiteral(" | ") + style;
}

// A user's session: a fresh prefix, scripted boxes, the main window and the
// registration window opened through its command.
class Sessao {
public:
    Sessao()
    {
        fixture::makeDir(Rem);
        fixture::makeDir(Ret);
        fixture::addAgency(1, QStringLiteral("AGENCIA CENTRO"));
        fixture::addAgency(12, QStringLiteral("AGENCIA DOZE"));
        setApplicationTitle(QStringLiteral("Renomeia Arquivos ZQ"));
    }
    ~Sessao()
    {
        setFolderBrowser({});
        if (form)
            delete moldura();
    }

    TfrmCadContrato *abre()
    {
        principal = std::make_unique<TfrmPrincipal>();
        principal->show();
        QApplication::setActiveWindow(principal.get());
        principal->mnuCadContratoClick();
        form = qobject_cast<TfrmCadContrato *>(principal->frmCadContrato.data());
        if (!form)
            qFatal("registration window not open: %s", qPrintable(boxes.dump()));
        QApplication::setActiveWindow(form->window());
        return form;
    }
    // The window as the desktop shows it: its MDI child, or the form itself.
    QWidget *moldura() const
    {
        auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget());
        return sub ? static_cast<QWidget *>(sub) : form.data();
    }

    template <typename T = QWidget>
    T *w(const QString &name) const
    {
        T *c = form->findChild<T *>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    DBEdit *edit(const QString &name) const { return w<DBEdit>(name); }
    QString foco() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }
    QString status() const { return principal->pnlStatus->panelText(2); }

    // Puts the focus into a box and types text over what it holds.
    void digita(const QString &name, const QString &text)
    {
        DBEdit *e = edit(name);
        e->setFocus(Qt::TabFocusReason);
        e->selectAll();
        if (text.isEmpty())
            QTest::keyClick(e, Qt::Key_Backspace);
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(e, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, e, Qt::Key(ch.toUpper().unicode()), QString(ch), Qt::NoModifier);
        }
    }
    // Chooses a service with the arrow keys.
    void servico(const QString &code)
    {
        auto *c = w<DBLookupComboBox>(QStringLiteral("cmbServico"));
        c->setFocus(Qt::TabFocusReason);
        const int target = c->findText(code);
        QVERIFY2(target >= 0, qPrintable(code));
        while (c->currentIndex() != target)
            QTest::keyClick(c, c->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }
    void vaiPara(const QString &name) { w(name)->setFocus(Qt::TabFocusReason); }
    void clica(const QString &name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }

    // Fills a new contract box by box, in tab order.
    void novo(const QString &ag, const QString &ct, const QString &svc, const QString &rem = Rem, const QString &ret = Ret)
    {
        clica(QStringLiteral("btnNovo"));
        digita(QStringLiteral("dbeAgencia"), ag);
        digita(QStringLiteral("dbeContrato"), ct);
        servico(svc);
        digita(QStringLiteral("dbeDirArqRemessa"), rem);
        digita(QStringLiteral("dbeDirArqRetorno"), ret);
    }

    QStringList enabled() const
    {
        QStringList on;
        for (const char *n : {"btnPrimeiro", "btnAnterior", "btnPosterior", "btnUltimo", "btnNovo", "btnSalvar", "btnExcluir",
                              "btnDesfazer", "btnFechar", "dbeAgencia", "dbeContrato"})
            if (w(QString::fromLatin1(n))->isEnabled())
                on << QString::fromLatin1(n);
        return on;
    }

    fixture::Prefix prefix;
    fixture::Boxes boxes;
    std::unique_ptr<TfrmPrincipal> principal;
    QPointer<TfrmCadContrato> form;
};

QStringList contratos()
{
    QStringList out;
    for (const QVariantMap &r : fixture::rows(QStringLiteral("Ctr"), QStringLiteral("CtrAgencia, CtrContrato, CtrServico")))
        out << QStringLiteral("%1/%2/%3 %4 %5 %6")
                   .arg(r.value(QStringLiteral("CtrAgencia")).toInt())
                   .arg(r.value(QStringLiteral("CtrContrato")).toInt())
                   .arg(r.value(QStringLiteral("CtrServico")).toString(), r.value(QStringLiteral("CtrDirRemessa")).toString(),
                        r.value(QStringLiteral("CtrDirRetorno")).toString(), r.value(QStringLiteral("CtrDescricao")).toString())
                   .trimmed();
    return out;
}

// Makes every write of a kind to Ctr fail inside the engine.
void falhaNaGravacao(const QString &operacao)
{
    const QString schema = tables::Session::instance().connection(QStringLiteral("ZqRen417")).schemaOf(QStringLiteral("Ctr"));
    fixture::exec(QStringLiteral("CREATE TEMP TRIGGER falha BEFORE %1 ON \"%2\".Ctr BEGIN SELECT RAISE(ABORT, 'disco cheio'); END")
                      .arg(operacao, schema));
}

} // namespace

class TstCadContrato : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The installed rows of Svc are a resource of a static library.
        Q_INIT_RESOURCE(installed_rows);
    }
    void abreComTabelaVaziaEInsere();
    void criticasDoSalvar_data();
    void criticasDoSalvar();
    void digitoVerificador();
    void chaveDuplicada();
    void errosDoBancoNaoSaoEngolidos();
    void editaNavegaEDesfaz();
    void excluiAteEsvaziar();
    void saidaDaAgencia();
    void desfazerSemCritica();
    void desfazerEmTabelaVazia();
    void pastaPadraoDoServico66();
    void seletoresDePasta();
    void fecharComAlteracoes();
};

void TstCadContrato::abreComTabelaVaziaEInsere()
{
    Sessao s;
    TfrmCadContrato *f = s.abre();
    QCOMPARE(f->windowTitle(), QStringLiteral("Cadastro de Contratos/Convênios"));
    QCOMPARE(s.moldura()->size(), QSize(541, 359));
    QVERIFY(!s.principal->mnuCadContrato->isEnabled());
    QCOMPARE(s.enabled(), QStringList({"btnNovo", "btnFechar"}));
    QVERIFY(s.w(QStringLiteral("dbtAgeNome"))->isHidden());
    QVERIFY(s.w(QStringLiteral("dbtSisCod"))->isHidden());
    // Tab order: the button bar first, then the data panel.
    QStringList ordem;
    QWidget *w = s.w(QStringLiteral("btnPrimeiro"));
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            ordem << w->objectName();
        w = w->nextInFocusChain();
    } while (w != s.w(QStringLiteral("btnPrimeiro")) && f->isAncestorOf(w));
    QCOMPARE(ordem, QStringList({"btnPrimeiro", "btnAnterior", "btnPosterior", "btnUltimo", "btnNovo", "btnSalvar", "btnExcluir",
                                 "btnDesfazer", "btnFechar", "dbeAgencia", "dbeContrato", "BDECtrDescricao", "cmbServico",
                                 "dbeDirArqRemessa", "btnDirArqRemessa", "dbeDirArqRetorno", "btnDirArqRetorno"}));

    s.clica(QStringLiteral("btnNovo"));
    QCOMPARE(s.status(), QStringLiteral("Inserindo Novo Registro..."));
    QCOMPARE(s.foco(), QStringLiteral("dbeAgencia"));
    QCOMPARE(s.enabled(), QStringList({"btnSalvar", "btnDesfazer", "dbeAgencia", "dbeContrato"}));

    // "+" and "-" become blanks in the agency box; the agency name shows when it is left.
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("+1"));
    QCOMPARE(s.edit(QStringLiteral("dbeAgencia"))->text(), QStringLiteral(" 1"));
    // The agency lookup while typing reads the blank alone as no number.
    QCOMPARE(s.boxes.dump(), box("Renomeia Arquivos ZQ", "' ' is not a valid integer value."));
    s.boxes.clear();
    s.digita(QStringLiteral("dbeContrato"), QStringLiteral("17"));
    QCOMPARE(s.edit(QStringLiteral("dbeAgencia"))->text(), QStringLiteral("0001"));
    QVERIFY(s.w(QStringLiteral("dbtAgeNome"))->isVisible());
    QCOMPARE(s.w<QLabel>(QStringLiteral("dbtAgeNome"))->text(), QStringLiteral("AGENCIA CENTRO"));
    s.digita(QStringLiteral("BDECtrDescricao"), QStringLiteral("conta de cobrança"));
    QCOMPARE(s.edit(QStringLiteral("BDECtrDescricao"))->text(), QStringLiteral("CONTA DE COBRANÇA"));
    s.servico(QStringLiteral("66"));
    // Leaving the remittance folder box fills an empty return folder box.
    s.digita(QStringLiteral("dbeDirArqRemessa"), QStringLiteral("c:\\rem\\"));
    s.vaiPara(QStringLiteral("dbeDirArqRetorno"));
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRetorno"))->text(), QStringLiteral("C:\\REM\\"));
    QVERIFY(s.w(QStringLiteral("dbtSisCod"))->isVisible());
    QCOMPARE(s.w<QLabel>(QStringLiteral("dbtSisCod"))->text(), QStringLiteral("COB"));
    s.digita(QStringLiteral("dbeDirArqRetorno"), QStringLiteral("C:\\"));

    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), QString());
    // Trailing backslashes go: a drive root is saved as "C:".
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C: CONTA DE COBRANÇA"}));
    QCOMPARE(s.status(), QString());
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRetorno"))->text(), QStringLiteral("C:"));
    QCOMPARE(s.edit(QStringLiteral("dbeContrato"))->text(), QStringLiteral("000000017"));
    QCOMPARE(s.enabled(), QStringList({"btnPrimeiro", "btnAnterior", "btnPosterior", "btnUltimo", "btnNovo", "btnExcluir", "btnFechar"}));

    // A second contract goes in beside the first.
    s.novo(QStringLiteral("12"), QStringLiteral("5"), QStringLiteral("O6"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C: CONTA DE COBRANÇA", "12/5/O6 C:\\REM C:\\RET"}));
}

void TstCadContrato::criticasDoSalvar_data()
{
    QTest::addColumn<QString>("servico");
    QTest::addColumn<QString>("contrato");
    QTest::addColumn<QString>("remessa");
    QTest::addColumn<QString>("retorno");
    QTest::addColumn<QString>("caixa");
    QTest::addColumn<QString>("foco");
    const QString invalido = QStringLiteral("O caminho informado não é um Diretório válido\rRedigite!");
    QTest::newRow("1 serviço") << "" << "17" << Rem << Ret
                               << box("Erro de Crítica - Código do Serviço", "O Código do Serviço deve ser selecionado\rRedigite!")
                               << "cmbServico";
    QTest::newRow("2 contrato") << "66" << "" << Rem << Ret
                                << box("Erro de Crítica - Número do Contrato", "O Número do Contrato deve ser informado\rRedigite!")
                                << "dbeContrato";
    QTest::newRow("3 dígito COB") << "C3" << "18" << Rem << Ret
                                  << box("Erro de Crítica - Código do Contrato", "O Código de Contrato informado não é válido\rRedigite!")
                                  << "dbeContrato";
    QTest::newRow("4 remessa vazia")
        << "66" << "17" << "" << Ret
        << box("Erro de Crítica - Diretório Remessa", "O Diretório dos Arquivos de Remessa deve ser informado\rRedigite!")
        << "dbeDirArqRemessa";
    QTest::newRow("5 remessa inexistente") << "66" << "17" << "C:\\NADA" << Ret << box("Erro de Crítica - Diretório Remessa", invalido)
                                           << "dbeDirArqRemessa";
    QTest::newRow("5 remessa é arquivo") << "66" << "17" << "C:\\REM\\A.TXT" << Ret
                                         << box("Erro de Crítica - Diretório Remessa", invalido) << "dbeDirArqRemessa";
    QTest::newRow("6 retorno vazio")
        << "66" << "17" << Rem << ""
        << box("Erro de Crítica - Diretório Retorno", "O Diretório dos Arquivos de Retorno deve ser informado\rRedigite!")
        << "dbeDirArqRetorno";
    QTest::newRow("7 retorno inexistente") << "66" << "17" << Rem << "C:\\REM\\NADA"
                                           << box("Erro de Crítica - Diretório Retorno", invalido) << "dbeDirArqRetorno";
}

void TstCadContrato::criticasDoSalvar()
{
    QFETCH(QString, servico);
    QFETCH(QString, contrato);
    QFETCH(QString, remessa);
    QFETCH(QString, retorno);
    QFETCH(QString, caixa);
    QFETCH(QString, foco);
    Sessao s;
    fixture::writeFile(QStringLiteral("C:\\REM\\A.TXT"), "x");
    s.abre();
    s.clica(QStringLiteral("btnNovo"));
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("1"));
    s.digita(QStringLiteral("dbeContrato"), contrato);
    if (!servico.isEmpty())
        s.servico(servico);
    s.digita(QStringLiteral("dbeDirArqRemessa"), remessa);
    s.digita(QStringLiteral("dbeDirArqRetorno"), retorno);
    s.boxes.clear();
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), caixa);
    QCOMPARE(s.foco(), foco);
    // The save is abandoned: nothing written, the new record still on screen.
    QCOMPARE(contratos(), QStringList());
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Insert);
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRemessa"))->text(), remessa.toUpper());
    QCOMPARE(s.status(), QStringLiteral("Inserindo Novo Registro..."));
}

void TstCadContrato::digitoVerificador()
{
    Sessao s;
    TfrmCadContrato *f = s.abre();
    const QString erro = box("Erro de Crítica - Código do Contrato", "O Código de Contrato informado não é válido\rRedigite!");
    // COB: 0001 000000017 carries its digit, 000000018 does not.
    s.novo(QStringLiteral("1"), QStringLiteral("18"), QStringLiteral("66"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), erro);
    // The same agency and number under a service of another system are saved.
    s.boxes.clear();
    s.servico(QStringLiteral("A1"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), QString());
    s.novo(QStringLiteral("1"), QStringLiteral("17"), QStringLiteral("H9"));
    s.clica(QStringLiteral("btnSalvar"));
    // Remainders 0 and 1 ask for a final 0: 0001 000000130 (0) and 000000050 (1).
    s.novo(QStringLiteral("1"), QStringLiteral("131"), QStringLiteral("R1"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), erro);
    s.boxes.clear();
    s.digita(QStringLiteral("dbeContrato"), QStringLiteral("130"));
    s.clica(QStringLiteral("btnSalvar"));
    s.novo(QStringLiteral("1"), QStringLiteral("50"), QStringLiteral("R1"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"1/17/H9 C:\\REM C:\\RET", "1/18/A1 C:\\REM C:\\RET", "1/50/R1 C:\\REM C:\\RET",
                                       "1/130/R1 C:\\REM C:\\RET"}));

    // With the agency box emptied there are fewer than 13 digits: not valid.
    s.novo(QStringLiteral("1"), QStringLiteral("17"), QStringLiteral("C3"));
    f->dbeAgencia->setText(QString());
    QVERIFY(!f->ValidaDigitoContrato());
    f->dbeAgencia->setText(QStringLiteral("0001"));
    QVERIFY(f->ValidaDigitoContrato());
}

void TstCadContrato::chaveDuplicada()
{
    Sessao s;
    fixture::addContract(1, 17, QStringLiteral("66"), Rem, Ret);
    s.abre();
    s.novo(QStringLiteral("1"), QStringLiteral("17"), QStringLiteral("66"));
    s.boxes.clear();
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), box("Salvando...", "Contrato já cadastrado.\rRedigite."));
    // The new record stays on screen for correction.
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Insert);
    QCOMPARE(s.edit(QStringLiteral("dbeContrato"))->text(), QStringLiteral("000000017"));
    QVERIFY(s.w(QStringLiteral("dbtSisCod"))->isVisible());
    // Saving it on the way out: the engine's own message, and the window stays.
    s.boxes.clear();
    s.moldura()->close();
    QCOMPARE(s.boxes.dump(), box("Confirmação", "Deseja gravar as alterações ?", "question") + QLatin1Char('\n') +
                                 box("Renomeia Arquivos ZQ", "Key violation."));
    QVERIFY(s.form && s.form->isVisible());
    s.boxes.clear();
    s.servico(QStringLiteral("C3"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET", "1/17/C3 C:\\REM C:\\RET"}));
}

void TstCadContrato::errosDoBancoNaoSaoEngolidos()
{
    Sessao s;
    fixture::addContract(1, 17, QStringLiteral("66"), Rem, Ret, QStringLiteral("ANTES"));
    s.abre();
    const QString erro = box(QStringLiteral("Renomeia Arquivos ZQ"), QStringLiteral("disco cheio."));

    falhaNaGravacao(QStringLiteral("UPDATE"));
    s.digita(QStringLiteral("BDECtrDescricao"), QStringLiteral("DEPOIS"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), erro);
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Edit);
    QCOMPARE(s.edit(QStringLiteral("BDECtrDescricao"))->text(), QStringLiteral("DEPOIS"));
    s.clica(QStringLiteral("btnDesfazer"));
    QCOMPARE(s.edit(QStringLiteral("BDECtrDescricao"))->text(), QStringLiteral("ANTES"));

    fixture::exec(QStringLiteral("DROP TRIGGER temp.falha"));
    falhaNaGravacao(QStringLiteral("DELETE"));
    s.boxes.clear();
    s.clica(QStringLiteral("btnExcluir"));
    QCOMPARE(s.boxes.dump(), box("Confirmação", "Deseja excluir ?", "question") + QLatin1Char('\n') + erro);
    QCOMPARE(s.edit(QStringLiteral("dbeContrato"))->text(), QStringLiteral("000000017"));
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET ANTES"}));
    QVERIFY(s.w(QStringLiteral("btnExcluir"))->isEnabled());
}

void TstCadContrato::editaNavegaEDesfaz()
{
    Sessao s;
    fixture::addContract(12, 5, QStringLiteral("O6"), Rem, Ret);
    fixture::addContract(1, 17, QStringLiteral("66"), Rem, Ret);
    fixture::addContract(1, 17, QStringLiteral("C3"), Rem, Ret);
    s.abre();
    auto atual = [&] { return s.edit(QStringLiteral("dbeAgencia"))->text() + QLatin1Char('/') + s.edit(QStringLiteral("dbeContrato"))->text() + QLatin1Char('/') + s.w<DBLookupComboBox>(QStringLiteral("cmbServico"))->text(); };
    const QStringList nav{"btnPrimeiro", "btnAnterior", "btnPosterior", "btnUltimo"};
    auto navOn = [&] {
        QStringList on = s.enabled();
        on.removeIf([&](const QString &n) { return !nav.contains(n); });
        return on;
    };
    // Key order; the first contract is shown with its agency name and system.
    QCOMPARE(atual(), QStringLiteral("0001/000000017/66"));
    QCOMPARE(s.w<QLabel>(QStringLiteral("dbtAgeNome"))->text(), QStringLiteral("AGENCIA CENTRO"));
    QCOMPARE(s.w<QLabel>(QStringLiteral("dbtSisCod"))->text(), QStringLiteral("COB"));
    s.clica(QStringLiteral("btnUltimo"));
    QCOMPARE(atual(), QStringLiteral("0012/000000005/O6"));
    QCOMPARE(navOn(), QStringList({"btnPrimeiro", "btnAnterior"}));
    s.clica(QStringLiteral("btnAnterior"));
    s.clica(QStringLiteral("btnAnterior"));
    QCOMPARE(atual(), QStringLiteral("0001/000000017/66"));
    QCOMPARE(navOn(), nav); // the beginning is found by one more step back
    s.clica(QStringLiteral("btnAnterior"));
    QCOMPARE(navOn(), QStringList({"btnPosterior", "btnUltimo"}));
    s.clica(QStringLiteral("btnPosterior"));
    s.clica(QStringLiteral("btnPosterior"));
    s.clica(QStringLiteral("btnPosterior"));
    QCOMPARE(atual(), QStringLiteral("0012/000000005/O6"));
    QCOMPARE(navOn(), QStringList({"btnPrimeiro", "btnAnterior"}));
    s.clica(QStringLiteral("btnPrimeiro"));
    QCOMPARE(navOn(), QStringList({"btnPosterior", "btnUltimo"}));
    s.clica(QStringLiteral("btnPosterior"));
    QCOMPARE(atual(), QStringLiteral("0001/000000017/C3"));

    // Typing into a box of a contract being browsed edits it; agency and number stay closed.
    s.digita(QStringLiteral("BDECtrDescricao"), QStringLiteral("nova"));
    QCOMPARE(s.status(), QStringLiteral("Editando Registro..."));
    QCOMPARE(s.enabled(), QStringList({"btnSalvar", "btnDesfazer"}));
    QVERIFY(!s.w(QStringLiteral("dbtAgeNome"))->isEnabled());
    s.clica(QStringLiteral("btnDesfazer"));
    QCOMPARE(s.edit(QStringLiteral("BDECtrDescricao"))->text(), QString());
    QCOMPARE(s.status(), QString());
    QVERIFY(s.w(QStringLiteral("dbtAgeNome"))->isEnabled());

    // Changing the service and a folder of an existing contract.
    s.servico(QStringLiteral("H9"));
    QCOMPARE(s.status(), QStringLiteral("Editando Registro..."));
    s.digita(QStringLiteral("dbeDirArqRetorno"), QStringLiteral("C:\\REM\\"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET", "1/17/H9 C:\\REM C:\\REM", "12/5/O6 C:\\REM C:\\RET"}));
    QCOMPARE(atual(), QStringLiteral("0001/000000017/H9"));
}

void TstCadContrato::excluiAteEsvaziar()
{
    Sessao s;
    fixture::addContract(1, 17, QStringLiteral("66"), Rem, Ret);
    fixture::addContract(12, 5, QStringLiteral("O6"), Rem, Ret);
    s.abre();
    s.boxes.answer(mrNo);
    s.clica(QStringLiteral("btnExcluir"));
    QCOMPARE(s.boxes.dump(), box("Confirmação", "Deseja excluir ?", "question"));
    QCOMPARE(contratos().size(), 2);
    s.clica(QStringLiteral("btnExcluir"));
    QCOMPARE(contratos(), QStringList({"12/5/O6 C:\\REM C:\\RET"}));
    QCOMPARE(s.edit(QStringLiteral("dbeAgencia"))->text(), QStringLiteral("0012"));
    s.clica(QStringLiteral("btnExcluir"));
    QCOMPARE(contratos(), QStringList());
    QCOMPARE(s.enabled(), QStringList({"btnNovo", "btnFechar"}));
    QVERIFY(s.w(QStringLiteral("dbtAgeNome"))->isHidden());
    QVERIFY(s.w(QStringLiteral("dbtSisCod"))->isHidden());
    QCOMPARE(s.edit(QStringLiteral("dbeAgencia"))->text(), QString());
}

void TstCadContrato::saidaDaAgencia()
{
    Sessao s;
    s.abre();
    const QString titulo = QStringLiteral("Erro de Crítica - Código da Agência");
    s.clica(QStringLiteral("btnNovo"));

    s.vaiPara(QStringLiteral("dbeContrato"));
    QCOMPARE(s.boxes.dump(), box(titulo, "O Código da Agência deve ser informado\rRedigite!"));
    QCOMPARE(s.foco(), QStringLiteral("dbeAgencia"));

    s.boxes.clear();
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("99"));
    s.vaiPara(QStringLiteral("dbeContrato"));
    QCOMPARE(s.boxes.dump(), box(titulo, "Código da Agência inválido\rRedigite!"));
    QCOMPARE(s.foco(), QStringLiteral("dbeAgencia"));
    QVERIFY(s.w(QStringLiteral("dbtAgeNome"))->isHidden());

    // Letters: the lookup while typing complains, and the field refuses the text on leaving.
    s.boxes.clear();
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("ab"));
    s.vaiPara(QStringLiteral("dbeContrato"));
    QCOMPARE(s.boxes.dump(), QStringList({box("Renomeia Arquivos ZQ", "'a' is not a valid integer value."),
                                          box("Renomeia Arquivos ZQ", "'ab' is not a valid integer value."),
                                          box("Renomeia Arquivos ZQ", "'ab' is not a valid integer value for field 'CtrAgencia'")})
                                 .join(QLatin1Char('\n')));
    QCOMPARE(s.foco(), QStringLiteral("dbeAgencia"));
    QCOMPARE(s.edit(QStringLiteral("dbeAgencia"))->text(), QStringLiteral("ab"));

    // A click elsewhere refused by the exit check does not press the button clicked.
    s.boxes.clear();
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("99"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), box(titulo, "Código da Agência inválido\rRedigite!"));
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Insert);

    // A negative contract number is out of the field's range.
    s.boxes.clear();
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("12"));
    s.digita(QStringLiteral("dbeContrato"), QStringLiteral("-5"));
    s.vaiPara(QStringLiteral("BDECtrDescricao"));
    QCOMPARE(s.boxes.dump(), box("Renomeia Arquivos ZQ",
                                 "-5 is not a valid value for field 'CtrContrato'. The allowed range is 0 to 999999999."));
    QCOMPARE(s.foco(), QStringLiteral("dbeContrato"));
    QVERIFY(s.w(QStringLiteral("dbtAgeNome"))->isVisible());
    QCOMPARE(s.w<QLabel>(QStringLiteral("dbtAgeNome"))->text(), QStringLiteral("AGENCIA DOZE"));
}

void TstCadContrato::desfazerSemCritica()
{
    Sessao s;
    fixture::addContract(1, 17, QStringLiteral("66"), Rem, Ret);
    s.abre();
    // From an empty agency box.
    s.clica(QStringLiteral("btnNovo"));
    s.clica(QStringLiteral("btnDesfazer"));
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Browse);
    QCOMPARE(s.edit(QStringLiteral("dbeAgencia"))->text(), QStringLiteral("0001"));
    // From an empty service box.
    s.clica(QStringLiteral("btnNovo"));
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("1"));
    s.digita(QStringLiteral("dbeContrato"), QStringLiteral("50"));
    s.vaiPara(QStringLiteral("cmbServico"));
    s.clica(QStringLiteral("btnDesfazer"));
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Browse);
    QCOMPARE(contratos().size(), 1);
    // Leaving the empty service box for another box is refused.
    s.clica(QStringLiteral("btnNovo"));
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("1"));
    s.vaiPara(QStringLiteral("cmbServico"));
    s.vaiPara(QStringLiteral("dbeDirArqRemessa"));
    QCOMPARE(s.boxes.dump(), box("Erro de Crítica - Código do Serviço", "O Código do Serviço deve ser selecionado\rRedigite!"));
    QCOMPARE(s.foco(), QStringLiteral("cmbServico"));
}

void TstCadContrato::desfazerEmTabelaVazia()
{
    // Undoing the only new record of an empty table hides the name labels.
    Sessao vazia;
    vazia.abre();
    vazia.clica(QStringLiteral("btnNovo"));
    vazia.digita(QStringLiteral("dbeAgencia"), QStringLiteral("1"));
    vazia.vaiPara(QStringLiteral("dbeContrato"));
    QVERIFY(vazia.w(QStringLiteral("dbtAgeNome"))->isVisible());
    vazia.clica(QStringLiteral("btnDesfazer"));
    QVERIFY(vazia.w(QStringLiteral("dbtAgeNome"))->isHidden());
    QVERIFY(vazia.w(QStringLiteral("dbtSisCod"))->isHidden());
}

void TstCadContrato::pastaPadraoDoServico66()
{
    Sessao s;
    fixture::makeDir(QStringLiteral("C:\\KRV\\0012\\000003453"));
    s.abre();
    // The default folder exists: leaving the service box overwrites both folders.
    s.novo(QStringLiteral("12"), QStringLiteral("3453"), QStringLiteral("C3"));
    s.servico(QStringLiteral("66"));
    s.vaiPara(QStringLiteral("dbeDirArqRemessa"));
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRemessa"))->text(), QStringLiteral("C:\\KRV\\0012\\000003453"));
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRetorno"))->text(), QStringLiteral("C:\\KRV\\0012\\000003453"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"12/3453/66 C:\\KRV\\0012\\000003453 C:\\KRV\\0012\\000003453"}));
    // Another contract has no such folder: what was typed stays.
    s.novo(QStringLiteral("12"), QStringLiteral("3461"), QStringLiteral("C3"));
    s.servico(QStringLiteral("66"));
    s.vaiPara(QStringLiteral("dbeDirArqRemessa"));
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRemessa"))->text(), Rem);
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRetorno"))->text(), Ret);
}

void TstCadContrato::seletoresDePasta()
{
    Sessao s;
    fixture::makeDir(QStringLiteral("C:\\KRV\\0001\\000000017"));
    fixture::addContract(1, 17, QStringLiteral("66"), Rem, Ret);
    fixture::addContract(1, 17, QStringLiteral("C3"), Rem, Ret);
    QStringList pedidos;
    QString resposta;
    setFolderBrowser([&](const QString &title, const QString &root) {
        pedidos << title + QStringLiteral(" @ ") + root;
        return resposta;
    });
    s.abre();
    // Service 66 with its folder: the pickers open there. Cancelling changes nothing.
    s.clica(QStringLiteral("btnDirArqRemessa"));
    s.clica(QStringLiteral("btnDirArqRetorno"));
    QCOMPARE(pedidos, QStringList({"Diretório Arquivo Remessa @ C:\\KRV\\0001\\000000017",
                                   "Diretório Arquivo Retorno @ C:\\KRV\\0001\\000000017"}));
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Browse);
    // Browsing: the remittance picker edits the contract and fills its box only.
    resposta = QStringLiteral("C:\\RET");
    s.clica(QStringLiteral("btnDirArqRemessa"));
    QCOMPARE(s.status(), QStringLiteral("Editando Registro..."));
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRemessa"))->text(), Ret);
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRetorno"))->text(), Ret);
    s.clica(QStringLiteral("btnDesfazer"));
    // Another service: the pickers start at the top of the computer.
    s.clica(QStringLiteral("btnPosterior"));
    pedidos.clear();
    resposta = QStringLiteral("C:\\REM");
    s.clica(QStringLiteral("btnDirArqRetorno"));
    QCOMPARE(pedidos, QStringList({"Diretório Arquivo Retorno @ Meu Computador"}));
    QCOMPARE(s.edit(QStringLiteral("dbeDirArqRetorno"))->text(), Rem);
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET", "1/17/C3 C:\\REM C:\\REM"}));
    // Inserting: the remittance picker fills both boxes.
    s.clica(QStringLiteral("btnNovo"));
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("1"));
    s.digita(QStringLiteral("dbeContrato"), QStringLiteral("50"));
    s.servico(QStringLiteral("O6"));
    resposta = QStringLiteral("C:\\RET");
    s.clica(QStringLiteral("btnDirArqRemessa"));
    s.clica(QStringLiteral("btnSalvar"));
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos().last(), QStringLiteral("1/50/O6 C:\\RET C:\\RET"));
}

void TstCadContrato::fecharComAlteracoes()
{
    Sessao s;
    fixture::addContract(1, 17, QStringLiteral("66"), Rem, Ret);
    s.abre();
    const QString pergunta = box("Confirmação", "Deseja gravar as alterações ?", "question");
    // Inserting with a service but no number, answering Yes: the save check stops the closing.
    s.clica(QStringLiteral("btnNovo"));
    s.digita(QStringLiteral("dbeAgencia"), QStringLiteral("1"));
    s.servico(QStringLiteral("66"));
    s.boxes.clear();
    s.form->btnFecharClick();
    QCOMPARE(s.boxes.dump(), pergunta + QLatin1Char('\n') +
                                 box("Erro de Crítica - Número do Contrato", "O Número do Contrato deve ser informado\rRedigite!"));
    QVERIFY(s.form);
    QVERIFY(s.form->isVisible());
    QVERIFY(s.principal->mnuCadContrato->isEnabled());
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Insert);
    // The menu brings the open window back instead of opening another.
    s.principal->mnuCadContratoClick();
    int abertas = 0;
    for (QWidget *w : QApplication::allWidgets())
        if (qobject_cast<TfrmCadContrato *>(w))
            ++abertas;
    QCOMPARE(abertas, 1);

    // Answering No drops the new record and closes.
    s.boxes.clear();
    s.boxes.answer(mrNo);
    s.clica(QStringLiteral("btnDesfazer"));
    s.digita(QStringLiteral("BDECtrDescricao"), QStringLiteral("x"));
    s.form->btnFecharClick();
    QCOMPARE(s.boxes.dump(), pergunta);
    QTRY_VERIFY(!s.form);
    QVERIFY(s.principal->mnuCadContrato->isEnabled());
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET"}));

    // Yes with a valid record saves it on the way out.
    s.abre();
    s.digita(QStringLiteral("BDECtrDescricao"), QStringLiteral("fim"));
    s.boxes.clear();
    s.clica(QStringLiteral("btnFechar"));
    QCOMPARE(s.boxes.dump(), QString()); // Fechar is disabled while editing
    s.moldura()->close();
    QCOMPARE(s.boxes.dump(), pergunta);
    QTRY_VERIFY(!s.form);
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET FIM"}));
}

QTEST_MAIN(TstCadContrato)
#include "tst_cadcontrato.moc"
