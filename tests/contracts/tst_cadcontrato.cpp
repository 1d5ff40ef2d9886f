// The contract registration window, driven the way a user drives it: opened
// from the main window's command, typed into, buttons clicked, boxes answered.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "contracts/TfrmCadContrato.h"
#include "platform/tables/session.h"
#include "platform/windowing/dbcontrols.h"
#include "platform/windowing/folderdialog.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Rem = u"C:\\REM"_s;
const QString Ret = u"C:\\RET"_s;

QString box(const QString &title, const QString &text, const QString &style = u"error"_s)
{
    return title + u" | "_s + text + u" | "_s + style;
}

// A user's session: a fresh prefix, scripted boxes, the main window and the
// registration window opened through its command.
class Sessao {
public:
    Sessao()
    {
        fixture::makeDir(Rem);
        fixture::makeDir(Ret);
        fixture::addAgency(1, u"AGENCIA CENTRO"_s);
        fixture::addAgency(12, u"AGENCIA DOZE"_s);
        setApplicationTitle(u"Renomeia Arquivos ZQ"_s);
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
        auto *c = w<DBLookupComboBox>(u"cmbServico"_s);
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
        clica(u"btnNovo"_s);
        digita(u"dbeAgencia"_s, ag);
        digita(u"dbeContrato"_s, ct);
        servico(svc);
        digita(u"dbeDirArqRemessa"_s, rem);
        digita(u"dbeDirArqRetorno"_s, ret);
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
    for (const QVariantMap &r : fixture::rows(u"Ctr"_s, u"CtrAgencia, CtrContrato, CtrServico"_s))
        out << u"%1/%2/%3 %4 %5 %6"_s
                   .arg(r.value(u"CtrAgencia"_s).toInt())
                   .arg(r.value(u"CtrContrato"_s).toInt())
                   .arg(r.value(u"CtrServico"_s).toString(), r.value(u"CtrDirRemessa"_s).toString(),
                        r.value(u"CtrDirRetorno"_s).toString(), r.value(u"CtrDescricao"_s).toString())
                   .trimmed();
    return out;
}

// Makes every write of a kind to Ctr fail inside the engine.
void falhaNaGravacao(const QString &operacao)
{
    const QString schema = tables::Session::instance().connection(u"ZqRen417"_s).schemaOf(u"Ctr"_s);
    fixture::exec(u"CREATE TEMP TRIGGER falha BEFORE %1 ON \"%2\".Ctr BEGIN SELECT RAISE(ABORT, 'disco cheio'); END"_s
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
    void pastaPadraoDoServico66();
    void seletoresDePasta();
    void fecharComAlteracoes();
    void leitorDeTela();
};

void TstCadContrato::abreComTabelaVaziaEInsere()
{
    Sessao s;
    TfrmCadContrato *f = s.abre();
    QCOMPARE(f->windowTitle(), u"Cadastro de Contratos/Convênios"_s);
    QCOMPARE(s.moldura()->size(), QSize(541, 359));
    QVERIFY(!s.principal->mnuCadContrato->isEnabled());
    QCOMPARE(s.enabled(), QStringList({"btnNovo", "btnFechar"}));
    QVERIFY(s.w(u"dbtAgeNome"_s)->isHidden());
    QVERIFY(s.w(u"dbtSisCod"_s)->isHidden());
    // Tab order: the button bar first, then the data panel.
    QStringList ordem;
    for (QWidget *w = f->nextInFocusChain(); w != f && f->isAncestorOf(w); w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            ordem << w->objectName();
    QCOMPARE(ordem, QStringList({"btnPrimeiro", "btnAnterior", "btnPosterior", "btnUltimo", "btnNovo", "btnSalvar", "btnExcluir",
                                 "btnDesfazer", "btnFechar", "dbeAgencia", "dbeContrato", "BDECtrDescricao", "cmbServico",
                                 "dbeDirArqRemessa", "btnDirArqRemessa", "dbeDirArqRetorno", "btnDirArqRetorno"}));

    s.clica(u"btnNovo"_s);
    QCOMPARE(s.status(), u"Inserindo Novo Registro..."_s);
    QCOMPARE(s.foco(), u"dbeAgencia"_s);
    QCOMPARE(s.enabled(), QStringList({"btnSalvar", "btnDesfazer", "dbeAgencia", "dbeContrato"}));

    // "+" and "-" become blanks in the agency box; the agency name shows when it is left.
    s.digita(u"dbeAgencia"_s, u"+1"_s);
    QCOMPARE(s.edit(u"dbeAgencia"_s)->text(), u" 1"_s);
    // The agency lookup while typing reads the blank alone as no number.
    QCOMPARE(s.boxes.dump(), box("Renomeia Arquivos ZQ", "' ' is not a valid integer value."));
    s.boxes.clear();
    s.digita(u"dbeContrato"_s, u"17"_s);
    QCOMPARE(s.edit(u"dbeAgencia"_s)->text(), u"0001"_s);
    QVERIFY(s.w(u"dbtAgeNome"_s)->isVisible());
    QCOMPARE(s.w<QLabel>(u"dbtAgeNome"_s)->text(), u"AGENCIA CENTRO"_s);
    s.digita(u"BDECtrDescricao"_s, u"conta de cobrança"_s);
    QCOMPARE(s.edit(u"BDECtrDescricao"_s)->text(), u"CONTA DE COBRANÇA"_s);
    s.servico(u"66"_s);
    // Leaving the remittance folder box fills an empty return folder box.
    s.digita(u"dbeDirArqRemessa"_s, u"c:\\rem\\"_s);
    s.vaiPara(u"dbeDirArqRetorno"_s);
    QCOMPARE(s.edit(u"dbeDirArqRetorno"_s)->text(), u"C:\\REM\\"_s);
    QVERIFY(s.w(u"dbtSisCod"_s)->isVisible());
    QCOMPARE(s.w<QLabel>(u"dbtSisCod"_s)->text(), u"COB"_s);
    s.digita(u"dbeDirArqRetorno"_s, u"C:\\"_s);

    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), QString());
    // Trailing backslashes go: a drive root is saved as "C:".
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C: CONTA DE COBRANÇA"}));
    QCOMPARE(s.status(), QString());
    QCOMPARE(s.edit(u"dbeDirArqRetorno"_s)->text(), u"C:"_s);
    QCOMPARE(s.edit(u"dbeContrato"_s)->text(), u"000000017"_s);
    QCOMPARE(s.enabled(), QStringList({"btnPrimeiro", "btnAnterior", "btnPosterior", "btnUltimo", "btnNovo", "btnExcluir", "btnFechar"}));

}

void TstCadContrato::criticasDoSalvar_data()
{
    QTest::addColumn<QString>("servico");
    QTest::addColumn<QString>("contrato");
    QTest::addColumn<QString>("remessa");
    QTest::addColumn<QString>("retorno");
    QTest::addColumn<QString>("caixa");
    QTest::addColumn<QString>("foco");
    const QString invalido = u"O caminho informado não é um Diretório válido\rRedigite!"_s;
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
    fixture::writeFile(u"C:\\REM\\A.TXT"_s, "x");
    s.abre();
    s.clica(u"btnNovo"_s);
    s.digita(u"dbeAgencia"_s, u"1"_s);
    s.digita(u"dbeContrato"_s, contrato);
    if (!servico.isEmpty())
        s.servico(servico);
    s.digita(u"dbeDirArqRemessa"_s, remessa);
    s.digita(u"dbeDirArqRetorno"_s, retorno);
    s.boxes.clear();
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), caixa);
    QCOMPARE(s.foco(), foco);
    // The save is abandoned: nothing written, the new record still on screen.
    QCOMPARE(contratos(), QStringList());
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Insert);
    QCOMPARE(s.edit(u"dbeDirArqRemessa"_s)->text(), remessa.toUpper());
    QCOMPARE(s.status(), u"Inserindo Novo Registro..."_s);
}

void TstCadContrato::digitoVerificador()
{
    Sessao s;
    TfrmCadContrato *f = s.abre();
    const QString erro = box("Erro de Crítica - Código do Contrato", "O Código de Contrato informado não é válido\rRedigite!");
    // COB: 0001 000000017 carries its digit, 000000018 does not.
    s.novo(u"1"_s, u"18"_s, u"66"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), erro);
    // The same agency and number under a service of another system are saved.
    s.boxes.clear();
    s.servico(u"A1"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), QString());
    // Remainders 0 and 1 ask for a final 0: 0001 000000130 (0) and 000000050 (1).
    s.novo(u"1"_s, u"131"_s, u"R1"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), erro);
    s.boxes.clear();
    s.digita(u"dbeContrato"_s, u"130"_s);
    s.clica(u"btnSalvar"_s);
    s.novo(u"1"_s, u"50"_s, u"R1"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"1/18/A1 C:\\REM C:\\RET", "1/50/R1 C:\\REM C:\\RET",
                                       "1/130/R1 C:\\REM C:\\RET"}));

    // With the agency box emptied there are fewer than 13 digits: not valid.
    s.novo(u"1"_s, u"17"_s, u"C3"_s);
    f->dbeAgencia->setText(QString());
    QVERIFY(!f->ValidaDigitoContrato());
    f->dbeAgencia->setText(u"0001"_s);
    QVERIFY(f->ValidaDigitoContrato());
}

void TstCadContrato::chaveDuplicada()
{
    Sessao s;
    fixture::addContract(1, 17, u"66"_s, Rem, Ret);
    s.abre();
    s.novo(u"1"_s, u"17"_s, u"66"_s);
    s.boxes.clear();
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), box("Salvando...", "Contrato já cadastrado.\rRedigite."));
    // The new record stays on screen for correction.
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Insert);
    QCOMPARE(s.edit(u"dbeContrato"_s)->text(), u"000000017"_s);
    QVERIFY(s.w(u"dbtSisCod"_s)->isVisible());
    // Saving it on the way out: the engine's own message, and the window stays.
    s.boxes.clear();
    s.moldura()->close();
    QCOMPARE(s.boxes.dump(), box("Confirmação", "Deseja gravar as alterações ?", "question") + QLatin1Char('\n') +
                                 box("Renomeia Arquivos ZQ", "Key violation."));
    QVERIFY(s.form && s.form->isVisible());
    s.boxes.clear();
    s.servico(u"C3"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET", "1/17/C3 C:\\REM C:\\RET"}));
}

void TstCadContrato::errosDoBancoNaoSaoEngolidos()
{
    Sessao s;
    fixture::addContract(1, 17, u"66"_s, Rem, Ret, u"ANTES"_s);
    s.abre();
    const QString erro = box(u"Renomeia Arquivos ZQ"_s, u"disco cheio."_s);

    falhaNaGravacao(u"UPDATE"_s);
    s.digita(u"BDECtrDescricao"_s, u"DEPOIS"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), erro);
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Edit);
    QCOMPARE(s.edit(u"BDECtrDescricao"_s)->text(), u"DEPOIS"_s);
    s.clica(u"btnDesfazer"_s);
    QCOMPARE(s.edit(u"BDECtrDescricao"_s)->text(), u"ANTES"_s);

    fixture::exec(u"DROP TRIGGER temp.falha"_s);
    falhaNaGravacao(u"DELETE"_s);
    s.boxes.clear();
    s.clica(u"btnExcluir"_s);
    QCOMPARE(s.boxes.dump(), box("Confirmação", "Deseja excluir ?", "question") + QLatin1Char('\n') + erro);
    QCOMPARE(s.edit(u"dbeContrato"_s)->text(), u"000000017"_s);
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET ANTES"}));
    QVERIFY(s.w(u"btnExcluir"_s)->isEnabled());
}

void TstCadContrato::editaNavegaEDesfaz()
{
    Sessao s;
    fixture::addContract(12, 5, u"O6"_s, Rem, Ret);
    fixture::addContract(1, 17, u"66"_s, Rem, Ret);
    fixture::addContract(1, 17, u"C3"_s, Rem, Ret);
    s.abre();
    auto atual = [&] {
        return s.edit(u"dbeAgencia"_s)->text() + u'/' + s.edit(u"dbeContrato"_s)->text() + u'/' +
               s.w<DBLookupComboBox>(u"cmbServico"_s)->text();
    };
    const QStringList nav{"btnPrimeiro", "btnAnterior", "btnPosterior", "btnUltimo"};
    auto navOn = [&] {
        QStringList on = s.enabled();
        on.removeIf([&](const QString &n) { return !nav.contains(n); });
        return on;
    };
    // Key order; the first contract is shown with its agency name and system.
    QCOMPARE(atual(), u"0001/000000017/66"_s);
    QCOMPARE(s.w<QLabel>(u"dbtAgeNome"_s)->text(), u"AGENCIA CENTRO"_s);
    QCOMPARE(s.w<QLabel>(u"dbtSisCod"_s)->text(), u"COB"_s);
    s.clica(u"btnUltimo"_s);
    QCOMPARE(atual(), u"0012/000000005/O6"_s);
    QCOMPARE(navOn(), QStringList({"btnPrimeiro", "btnAnterior"}));
    s.clica(u"btnAnterior"_s);
    s.clica(u"btnAnterior"_s);
    QCOMPARE(atual(), u"0001/000000017/66"_s);
    QCOMPARE(navOn(), nav); // the beginning is found by one more step back
    s.clica(u"btnAnterior"_s);
    QCOMPARE(navOn(), QStringList({"btnPosterior", "btnUltimo"}));
    s.clica(u"btnPosterior"_s);
    QCOMPARE(atual(), u"0001/000000017/C3"_s);
    QCOMPARE(navOn(), nav);

    // Typing into a box of a contract being browsed edits it; agency and number stay closed.
    s.digita(u"BDECtrDescricao"_s, u"nova"_s);
    QCOMPARE(s.status(), u"Editando Registro..."_s);
    QCOMPARE(s.enabled(), QStringList({"btnSalvar", "btnDesfazer"}));
    QVERIFY(!s.w(u"dbtAgeNome"_s)->isEnabled());
    s.clica(u"btnDesfazer"_s);
    QCOMPARE(s.edit(u"BDECtrDescricao"_s)->text(), QString());
    QCOMPARE(s.status(), QString());
    QVERIFY(s.w(u"dbtAgeNome"_s)->isEnabled());

    // Changing the service and a folder of an existing contract.
    s.servico(u"H9"_s);
    QCOMPARE(s.status(), u"Editando Registro..."_s);
    s.digita(u"dbeDirArqRetorno"_s, u"C:\\REM\\"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET", "1/17/H9 C:\\REM C:\\REM", "12/5/O6 C:\\REM C:\\RET"}));
    QCOMPARE(atual(), u"0001/000000017/H9"_s);
}

void TstCadContrato::excluiAteEsvaziar()
{
    Sessao s;
    fixture::addContract(1, 17, u"66"_s, Rem, Ret);
    fixture::addContract(12, 5, u"O6"_s, Rem, Ret);
    s.abre();
    s.boxes.answer(mrNo);
    s.clica(u"btnExcluir"_s);
    QCOMPARE(s.boxes.dump(), box("Confirmação", "Deseja excluir ?", "question"));
    QCOMPARE(contratos().size(), 2);
    s.clica(u"btnExcluir"_s);
    QCOMPARE(contratos(), QStringList({"12/5/O6 C:\\REM C:\\RET"}));
    QCOMPARE(s.edit(u"dbeAgencia"_s)->text(), u"0012"_s);
    s.clica(u"btnExcluir"_s);
    QCOMPARE(contratos(), QStringList());
    QCOMPARE(s.enabled(), QStringList({"btnNovo", "btnFechar"}));
    QVERIFY(s.w(u"dbtAgeNome"_s)->isHidden());
    QVERIFY(s.w(u"dbtSisCod"_s)->isHidden());
    QCOMPARE(s.edit(u"dbeAgencia"_s)->text(), QString());
    // Undoing a new record of the empty table hides them again.
    s.clica(u"btnNovo"_s);
    s.digita(u"dbeAgencia"_s, u"1"_s);
    s.vaiPara(u"dbeContrato"_s);
    QVERIFY(s.w(u"dbtAgeNome"_s)->isVisible());
    s.clica(u"btnDesfazer"_s);
    QVERIFY(s.w(u"dbtAgeNome"_s)->isHidden());
    QVERIFY(s.w(u"dbtSisCod"_s)->isHidden());
}

void TstCadContrato::saidaDaAgencia()
{
    Sessao s;
    s.abre();
    const QString titulo = u"Erro de Crítica - Código da Agência"_s;
    s.clica(u"btnNovo"_s);

    s.vaiPara(u"dbeContrato"_s);
    QCOMPARE(s.boxes.dump(), box(titulo, "O Código da Agência deve ser informado\rRedigite!"));
    QCOMPARE(s.foco(), u"dbeAgencia"_s);

    s.boxes.clear();
    s.digita(u"dbeAgencia"_s, u"99"_s);
    s.vaiPara(u"dbeContrato"_s);
    QCOMPARE(s.boxes.dump(), box(titulo, "Código da Agência inválido\rRedigite!"));
    QCOMPARE(s.foco(), u"dbeAgencia"_s);
    QVERIFY(s.w(u"dbtAgeNome"_s)->isHidden());

    // Letters: the lookup while typing complains, and the field refuses the text on leaving.
    s.boxes.clear();
    s.digita(u"dbeAgencia"_s, u"ab"_s);
    s.vaiPara(u"dbeContrato"_s);
    QCOMPARE(s.boxes.dump(), QStringList({box("Renomeia Arquivos ZQ", "'a' is not a valid integer value."),
                                          box("Renomeia Arquivos ZQ", "'ab' is not a valid integer value."),
                                          box("Renomeia Arquivos ZQ", "'ab' is not a valid integer value for field 'CtrAgencia'")})
                                 .join(QLatin1Char('\n')));
    QCOMPARE(s.foco(), u"dbeAgencia"_s);
    QCOMPARE(s.edit(u"dbeAgencia"_s)->text(), u"ab"_s);

    // A click elsewhere refused by the exit check does not press the button clicked.
    s.boxes.clear();
    s.digita(u"dbeAgencia"_s, u"99"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), box(titulo, "Código da Agência inválido\rRedigite!"));
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Insert);

    // A negative contract number is out of the field's range.
    s.boxes.clear();
    s.digita(u"dbeAgencia"_s, u"12"_s);
    s.digita(u"dbeContrato"_s, u"-5"_s);
    s.vaiPara(u"BDECtrDescricao"_s);
    QCOMPARE(s.boxes.dump(), box("Renomeia Arquivos ZQ",
                                 "-5 is not a valid value for field 'CtrContrato'. The allowed range is 0 to 999999999."));
    QCOMPARE(s.foco(), u"dbeContrato"_s);
    QVERIFY(s.w(u"dbtAgeNome"_s)->isVisible());
    QCOMPARE(s.w<QLabel>(u"dbtAgeNome"_s)->text(), u"AGENCIA DOZE"_s);
}

void TstCadContrato::desfazerSemCritica()
{
    Sessao s;
    fixture::addContract(1, 17, u"66"_s, Rem, Ret);
    s.abre();
    // From an empty agency box.
    s.clica(u"btnNovo"_s);
    s.clica(u"btnDesfazer"_s);
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Browse);
    QCOMPARE(s.edit(u"dbeAgencia"_s)->text(), u"0001"_s);
    // From an empty service box.
    s.clica(u"btnNovo"_s);
    s.digita(u"dbeAgencia"_s, u"1"_s);
    s.digita(u"dbeContrato"_s, u"50"_s);
    s.vaiPara(u"cmbServico"_s);
    s.clica(u"btnDesfazer"_s);
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Browse);
    QCOMPARE(contratos().size(), 1);
    // Leaving the empty service box for another box is refused.
    s.clica(u"btnNovo"_s);
    s.digita(u"dbeAgencia"_s, u"1"_s);
    s.vaiPara(u"cmbServico"_s);
    s.vaiPara(u"dbeDirArqRemessa"_s);
    QCOMPARE(s.boxes.dump(), box("Erro de Crítica - Código do Serviço", "O Código do Serviço deve ser selecionado\rRedigite!"));
    QCOMPARE(s.foco(), u"cmbServico"_s);
}

void TstCadContrato::pastaPadraoDoServico66()
{
    Sessao s;
    fixture::makeDir(u"C:\\KRV\\0012\\000003453"_s);
    s.abre();
    // The default folder exists: leaving the service box overwrites both folders.
    s.novo(u"12"_s, u"3453"_s, u"C3"_s);
    s.servico(u"66"_s);
    s.vaiPara(u"dbeDirArqRemessa"_s);
    QCOMPARE(s.edit(u"dbeDirArqRemessa"_s)->text(), u"C:\\KRV\\0012\\000003453"_s);
    QCOMPARE(s.edit(u"dbeDirArqRetorno"_s)->text(), u"C:\\KRV\\0012\\000003453"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos(), QStringList({"12/3453/66 C:\\KRV\\0012\\000003453 C:\\KRV\\0012\\000003453"}));
    // Another contract has no such folder: what was typed stays.
    s.novo(u"12"_s, u"3461"_s, u"C3"_s);
    s.servico(u"66"_s);
    s.vaiPara(u"dbeDirArqRemessa"_s);
    QCOMPARE(s.edit(u"dbeDirArqRemessa"_s)->text(), Rem);
    QCOMPARE(s.edit(u"dbeDirArqRetorno"_s)->text(), Ret);
}

void TstCadContrato::seletoresDePasta()
{
    Sessao s;
    fixture::makeDir(u"C:\\KRV\\0001\\000000017"_s);
    fixture::addContract(1, 17, u"66"_s, Rem, Ret);
    fixture::addContract(1, 17, u"C3"_s, Rem, Ret);
    QStringList pedidos;
    QString resposta;
    setFolderBrowser([&](const QString &title, const QString &root) {
        pedidos << title + u" @ "_s + root;
        return resposta;
    });
    s.abre();
    // Service 66 with its folder: the pickers open there. Cancelling changes nothing.
    s.clica(u"btnDirArqRemessa"_s);
    s.clica(u"btnDirArqRetorno"_s);
    QCOMPARE(pedidos, QStringList({"Diretório Arquivo Remessa @ C:\\KRV\\0001\\000000017",
                                   "Diretório Arquivo Retorno @ C:\\KRV\\0001\\000000017"}));
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Browse);
    // Browsing: the remittance picker edits the contract and fills its box only.
    resposta = u"C:\\RET"_s;
    s.clica(u"btnDirArqRemessa"_s);
    QCOMPARE(s.status(), u"Editando Registro..."_s);
    QCOMPARE(s.edit(u"dbeDirArqRemessa"_s)->text(), Ret);
    QCOMPARE(s.edit(u"dbeDirArqRetorno"_s)->text(), Ret);
    s.clica(u"btnDesfazer"_s);
    // Another service: the pickers start at the top of the computer.
    s.clica(u"btnPosterior"_s);
    pedidos.clear();
    resposta = u"C:\\REM"_s;
    s.clica(u"btnDirArqRetorno"_s);
    QCOMPARE(pedidos, QStringList({"Diretório Arquivo Retorno @ Meu Computador"}));
    QCOMPARE(s.edit(u"dbeDirArqRetorno"_s)->text(), Rem);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET", "1/17/C3 C:\\REM C:\\REM"}));
    // Inserting: the remittance picker fills both boxes.
    s.clica(u"btnNovo"_s);
    s.digita(u"dbeAgencia"_s, u"1"_s);
    s.digita(u"dbeContrato"_s, u"50"_s);
    s.servico(u"O6"_s);
    resposta = u"C:\\RET"_s;
    s.clica(u"btnDirArqRemessa"_s);
    s.clica(u"btnSalvar"_s);
    QCOMPARE(s.boxes.dump(), QString());
    QCOMPARE(contratos().last(), u"1/50/O6 C:\\RET C:\\RET"_s);
}

void TstCadContrato::fecharComAlteracoes()
{
    Sessao s;
    fixture::addContract(1, 17, u"66"_s, Rem, Ret);
    s.abre();
    const QString pergunta = box("Confirmação", "Deseja gravar as alterações ?", "question");
    // Inserting with a service but no number, answering Yes: the save check stops the closing.
    s.clica(u"btnNovo"_s);
    s.digita(u"dbeAgencia"_s, u"1"_s);
    s.servico(u"66"_s);
    s.boxes.clear();
    s.form->btnFecharClick();
    QCOMPARE(s.boxes.dump(), pergunta + QLatin1Char('\n') +
                                 box("Erro de Crítica - Número do Contrato", "O Número do Contrato deve ser informado\rRedigite!"));
    QVERIFY(s.form);
    QVERIFY(s.form->isVisible());
    QVERIFY(s.principal->mnuCadContrato->isEnabled());
    QCOMPARE(s.form->tblContrato.state(), tables::DataSetState::Insert);

    // Answering No drops the new record and closes.
    s.boxes.clear();
    s.boxes.answer(mrNo);
    s.clica(u"btnDesfazer"_s);
    s.digita(u"BDECtrDescricao"_s, u"x"_s);
    s.form->btnFecharClick();
    QCOMPARE(s.boxes.dump(), pergunta);
    QTRY_VERIFY(!s.form);
    QVERIFY(s.principal->mnuCadContrato->isEnabled());
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET"}));

    // Yes with a valid record saves it on the way out.
    s.abre();
    s.digita(u"BDECtrDescricao"_s, u"fim"_s);
    s.boxes.clear();
    s.clica(u"btnFechar"_s);
    QCOMPARE(s.boxes.dump(), QString()); // Fechar is disabled while editing
    s.moldura()->close();
    QCOMPARE(s.boxes.dump(), pergunta);
    QTRY_VERIFY(!s.form);
    QCOMPARE(contratos(), QStringList({"1/17/66 C:\\REM C:\\RET FIM"}));
}

void TstCadContrato::leitorDeTela()
{
    Sessao s;
    fixture::addContract(1, 17, u"66"_s, Rem, Ret);
    s.abre();
    auto acessivel = [&](const QString &name) { return QAccessible::queryAccessibleInterface(s.w(name)); };
    // Each group is announced by its own caption, with its controls under it.
    for (const auto &[grupo, titulo] : {std::pair{"GroupBox2", "Dados do Contrato"}, std::pair{"GroupBox1", "Dados do Aplicativo"},
                                        std::pair{"GroupBox3", "Diretórios"}})
        QCOMPARE(acessivel(QLatin1String(grupo))->text(QAccessible::Name).trimmed(), QString::fromUtf8(titulo));
    QCOMPARE(acessivel(u"dbeDirArqRemessa"_s)->parent()->object()->objectName(), u"GroupBox3"_s);
    // A data-bound label tells what it shows, and follows the record.
    QAccessibleInterface *nome = acessivel(u"dbtAgeNome"_s);
    QCOMPARE(nome->text(QAccessible::Name), u"Nome da Agência"_s);
    QCOMPARE(nome->text(QAccessible::Value), u"AGENCIA CENTRO"_s);
    QCOMPARE(acessivel(u"dbtSisCod"_s)->text(QAccessible::Value), u"COB"_s);
    s.clica(u"btnNovo"_s);
    QCOMPARE(nome->text(QAccessible::Value), QString());
}

QTEST_MAIN(TstCadContrato)
#include "tst_cadcontrato.moc"
