// The main window: menus, toolbar, status bar, exit, the opening protocol and
// the checks made before a window opens.
#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "common/fixture.h"
#include "platform/filesystem/winfs.h"
#include "platform/os/os.h"
#include "platform/runtime/convert.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {
QDateTime fixedClock = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));

QStringList openChildren(TfrmPrincipal &w)
{
    QStringList names;
    for (QMdiSubWindow *s : w.ClientArea->subWindowList())
        if (s->widget())
            names << s->widget()->objectName();
    return names;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

const QString noReturn = QStringLiteral("Não existem arquivos retorno dos Contratos\rcadastrados a serem renomeados");
} // namespace

class TestPrincipal : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitApplication();
        setClock([] { return fixedClock; });
    }

    void menusToolbarAndStatusBarAreAsDefined()
    {
        fixture::Prefix prefix;
        TfrmPrincipal w;
        QCOMPARE(w.MainMenu1->objectName(), QStringLiteral("MainMenu1"));
        QStringList tops;
        for (QAction *a : w.MainMenu1->actions())
            tops << a->text();
        QCOMPARE(tops, (QStringList{"&Arquivo", "&Editar", "&Cadastro", "C&onsultas", "Renomeia", "A&juda"}));
        QStringList arquivo;
        for (QAction *a : w.mnuArquivo->actions())
            arquivo << a->objectName() + (a->isVisible() ? QString() : QStringLiteral("(hidden)"));
        QCOMPARE(arquivo, (QStringList{"GerarCpiadeSegurana1(hidden)", "RestaurarCpiadeSegurana1(hidden)", "N1(hidden)", "mnuArqSair"}));
        QCOMPARE(w.mnuArqSair->text(), QStringLiteral("&Sair"));
        QCOMPARE(w.mnuEdtRecortar->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
        QCOMPARE(w.mnuEdtCopiar->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
        QCOMPARE(w.mnuEdtColar->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
        QCOMPARE(w.mnuCadContrato->text(), QStringLiteral("&Contratos/Convênios"));
        QCOMPARE(w.mnuCnsContrato->text(), QStringLiteral("&Contratos/Convênios"));
        QCOMPARE(w.mnuCnsArqRenomeados->text(), QStringLiteral("Arquivos Renomeados"));
        QCOMPARE(w.mnuRnmArqRemessa->text(), QStringLiteral("Arquivo Re&messa"));
        QVERIFY(w.N8->isSeparator() && w.N8->isVisible());
        QCOMPARE(w.mnuRnmArqRetorno->text(), QStringLiteral("Arquivo Re&torno"));
        QCOMPARE(w.mnuAjudaConversao->text(), QStringLiteral("Aj&uda do Renomeia Arquivos ZQ "));
        QCOMPARE(w.mnuAjudaConversao->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(w.mnuAjudaSobre->text(), QStringLiteral("S&obre"));

        QStringList buttons;
        for (QAction *a : w.ToolBar1->actions()) {
            if (a->isSeparator()) {
                buttons << QStringLiteral("|");
                continue;
            }
            auto *b = qobject_cast<QToolButton *>(w.ToolBar1->widgetForAction(a));
            QVERIFY(b);
            QCOMPARE(b->iconSize(), QSize(16, 16));
            QVERIFY(!b->icon().isNull());
            buttons << b->objectName() + QLatin1Char('=') + b->toolTip();
        }
        QCOMPARE(buttons, (QStringList{"btnSair=Sair", "|", "btnRecortar=Recortar", "btnCopiar=Copiar", "btnColar=Colar", "|",
                                       "btnCadContrato=Cadastro de Contratos/Convênios", "|",
                                       "btnCnsArqRenomeados=Consulta Arquivos Renomeados", "|",
                                       "btnRnmArqRemessa=Renomeia Arquivo Remessa", "btnRnmArqRetorno=Renomeia Arquivo Retorno", "|",
                                       "btnAjudaConversao=Ajuda do Renomeia Arquivos ZQ"}));
        QCOMPARE(w.pnlStatus->objectName(), QStringLiteral("pnlStatus"));
        QCOMPARE(w.pnlStatus->panelCount(), 3);
        QCOMPARE(w.pnlStatus->panel(0)->width(), 120);
        QCOMPARE(w.pnlStatus->panel(1)->width(), 300);
        QCOMPARE(w.pnlStatus->panel(2)->minimumWidth(), 50);
        QCOMPARE(w.Timer1->interval(), 1000);
        QVERIFY(w.Timer1->isActive() && w.Timer2->isActive() && w.Timer3->isActive());
    }

    void theClockAndTheHints()
    {
        fixture::Prefix prefix;
        TfrmPrincipal w;
        w.Timer1Timer();
        QCOMPARE(w.pnlStatus->panelText(0), QStringLiteral("08/12/2026 14:05:09"));
        fixedClock = QDateTime(QDate(2026, 12, 9), QTime(0, 0));
        w.Timer1Timer();
        QCOMPARE(w.pnlStatus->panelText(0), QStringLiteral("09/12/2026"));
        fixedClock = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
        // Hovering a button shows its hint in the second panel; leaving clears it.
        QStatusTipEvent tip(w.btnCadContrato->statusTip());
        QApplication::sendEvent(w.btnCadContrato, &tip);
        QCOMPARE(w.pnlStatus->panelText(1), QStringLiteral("Cadastro de Contratos/Convênios"));
        QStatusTipEvent none{QString()};
        QApplication::sendEvent(w.btnCadContrato, &none);
        QCOMPARE(w.pnlStatus->panelText(1), QString());
    }

    void exitAsksFirst()
    {
        fixture::Prefix prefix;
        fixture::Boxes boxes;
        TfrmPrincipal w;
        w.show();
        w.mnuCadContratoClick();
        boxes.answer(mrNo);
        w.mnuArqSairClick();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("Deseja Sair da Aplicação?"));
        QCOMPARE(boxes.last().title, QStringLiteral("Confirmação"));
        QCOMPARE(boxes.last().style, MsgStyle::Question);
        QVERIFY(w.isVisible());
        QCOMPARE(openChildren(w), QStringList{QStringLiteral("frmCadContrato")});
        boxes.answer(mrYes);
        w.btnSair->click();
        QVERIFY(!w.isVisible());
    }

    void windowsNeedContractsExceptRegistrationAndLog()
    {
        fixture::Prefix prefix;
        fixture::Boxes boxes;
        TfrmPrincipal w;
        w.show();
        w.mnuCnsContratoClick();
        w.btnRnmArqRemessa->click();
        QCOMPARE(boxes.count(), 2);
        for (const BoxRecord &b : boxes.shown()) {
            QCOMPARE(b.text, QStringLiteral("Não há contratos cadastrados"));
            QCOMPARE(b.title, QStringLiteral("Informação"));
            QCOMPARE(b.style, MsgStyle::Error);
        }
        QVERIFY(openChildren(w).isEmpty());
        QVERIFY(w.mnuCnsContrato->isEnabled());
        w.mnuCadContratoClick();
        w.mnuCnsArqRenomeadosClick();
        QCOMPARE(openChildren(w), (QStringList{"frmCadContrato", "frmCnsArqRenomeados"}));
        QVERIFY(!w.mnuCadContrato->isEnabled());
        QVERIFY(!w.mnuCnsArqRenomeados->isEnabled());
        QCOMPARE(boxes.count(), 2);
    }

    void oneWindowPerKind()
    {
        fixture::Prefix prefix;
        fixture::addContract(1, 17, QStringLiteral("66"));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        w.show();
        w.mnuRnmArqRemessaClick();
        w.mnuCnsContratoClick();
        QVERIFY(!w.mnuRnmArqRemessa->isEnabled());
        QVERIFY(!w.mnuCnsContrato->isEnabled());
        QCOMPARE(w.ClientArea->activeSubWindow()->widget()->objectName(), QStringLiteral("frmCnsContrato"));
        // The toolbar button of an open window brings it to the front.
        w.btnRnmArqRemessa->click();
        QCOMPARE(openChildren(w).count(QStringLiteral("frmRnmArqRemessa")), 1);
        QCOMPARE(w.ClientArea->activeSubWindow()->widget()->objectName(), QStringLiteral("frmRnmArqRemessa"));
        QCOMPARE(w.frmRnmArqRemessa.data(), w.ClientArea->activeSubWindow()->widget());
        // Closing the child enables its entry again and forgets it.
        w.ClientArea->activeSubWindow()->close();
        settle();
        QVERIFY(w.mnuRnmArqRemessa->isEnabled());
        QVERIFY(w.frmRnmArqRemessa.isNull());
        w.mnuRnmArqRemessaClick();
        QCOMPARE(openChildren(w).count(QStringLiteral("frmRnmArqRemessa")), 1);
        QCOMPARE(boxes.count(), 0);
    }

    void pendingReturnFiles_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("error");
        // Names: 8 date digits, system, identifier, blank, agency at 15, contract at 19.
        QTest::newRow("no folders") << QStringList{} << false << QString();
        QTest::newRow("COB of a registered contract")
            << QStringList{"C:\\ZQ\\COB\\ENTRADA\\20261208COB01 0001000000017.TXT"} << true << QString();
        QTest::newRow("other service of the same agency and contract")
            << QStringList{"C:\\ZQ\\COB\\ENTRADA\\20261208COB01 0012000000500.TXT"} << true << QString();
        QTest::newRow("unregistered contract")
            << QStringList{"C:\\ZQ\\COB\\ENTRADA\\20261208COB01 0001000000018.TXT",
                           "C:\\ZQ\\PDZ\\ENTRADA\\20261208PDZ01 00010000018.TXT"}
            << false << QString();
        QTest::newRow("PDZ with seven digits")
            << QStringList{"C:\\ZQ\\PDZ\\ENTRADA\\20261208PDZ01 00030000009.TXT"} << true << QString();
        QTest::newRow("PDZ read with nine digits would not match")
            << QStringList{"C:\\ZQ\\PDZ\\ENTRADA\\20261208PDZ01 0003000000009.TXT"} << false << QString();
        // The return window looks in the DEL folder itself: the file it finds
        // there belongs to a PDZ contract, and it says so.
        QTest::newRow("DEL files lie in the CCC folder")
            << QStringList{"C:\\ZQ\\CCC\\ENTRADA\\20261208DEL01 0001000000017.TXT",
                           "C:\\ZQ\\DEL\\ENTRADA\\20261208DEL01 0003000000009.TXT"}
            << true
            << QStringLiteral("O arquivo 20261208DEL01 0003000000009.TXT\r não é do sistema cadastrado para o seu contrato\rVerifique!");
        QTest::newRow("other files are not looked at")
            << QStringList{"C:\\ZQ\\COB\\ENTRADA\\LEIAME.TXT", "C:\\ZQ\\COB\\ENTRADA\\20261208COB01 0001000000017.DOC"}
            << false << QString();
        QTest::newRow("letters where digits belong")
            << QStringList{"C:\\ZQ\\COB\\ENTRADA\\20261208COB01 00A1000000017.TXT"} << false
            << QStringLiteral("'00A1' is not a valid integer value.");
        QTest::newRow("name too short")
            << QStringList{"C:\\ZQ\\COB\\ENTRADA\\20261208COB01.TXT"} << false << QStringLiteral("'TXT' is not a valid integer value.");
        // The first CCC file is examined even after a hit elsewhere.
        QTest::newRow("first CCC file always examined")
            << QStringList{"C:\\ZQ\\COB\\ENTRADA\\20261208COB01 0001000000017.TXT", "C:\\ZQ\\CCC\\ENTRADA\\20261208CCC01 ABCD.TXT"}
            << false << QStringLiteral("'ABCD' is not a valid integer value.");
    }

    void pendingReturnFiles()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, opens);
        QFETCH(QString, error);
        fixture::Prefix prefix;
        fixture::addContract(1, 17, QStringLiteral("66"));
        fixture::addContract(12, 500, QStringLiteral("C3"));
        fixture::addContract(3, 9, QStringLiteral("O6"));
        for (const QString &f : files)
            fixture::writeFile(f, "x");
        fixture::Boxes boxes;
        TfrmPrincipal w;
        w.show();
        w.btnRnmArqRetorno->click();
        QCOMPARE(openChildren(w).contains(QStringLiteral("frmRnmArqRetorno")), opens);
        QCOMPARE(w.mnuRnmArqRetorno->isEnabled(), !opens);
        if (opens) {
            QCOMPARE(boxes.count(), error.isEmpty() ? 0 : 1);
            if (!error.isEmpty()) {
                QCOMPARE(boxes.last().text, error);
                QCOMPARE(boxes.last().title, QStringLiteral("Erro de Crítica - Nome Arquivo Retorno"));
            }
        } else {
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().text, error.isEmpty() ? noReturn : error);
            QCOMPARE(boxes.last().title, error.isEmpty() ? QStringLiteral("Informação") : QStringLiteral("Renomeia Arquivos ZQ"));
            QCOMPARE(boxes.last().style, MsgStyle::Error);
        }
    }

    void helpStartsTheViewerOnTheHelpFile()
    {
        fixture::Prefix prefix;
        QStringList started;
        os::setExecHook([&](const QString &line) {
            started << line;
            return 33;
        });
        TfrmPrincipal w;
        w.mnuAjudaConversaoClick();
        w.btnAjudaConversao->click();
        os::setExecHook({});
        QCOMPARE(started, (QStringList{"winhlp32.exe .\\ZQRen417.hlp", "winhlp32.exe .\\ZQRen417.hlp"}));
    }

    void editCommandsGoToTheFocusedEdit()
    {
        fixture::Prefix prefix;
        TfrmPrincipal w;
        w.show();
        auto *edit = new QLineEdit(QStringLiteral("C:\\ZQ\\COB"), &w);
        edit->show();
        edit->setFocus();
        QApplication::setActiveWindow(&w);
        if (QApplication::focusWidget() != edit)
            QSKIP("no keyboard focus on this platform");
        edit->selectAll();
        w.mnuEdtCopiarClick();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("C:\\ZQ\\COB"));
        w.btnRecortar->click();
        QCOMPARE(edit->text(), QString());
        w.mnuEdtColarClick();
        w.btnColar->click();
        QCOMPARE(edit->text(), QStringLiteral("C:\\ZQ\\COBC:\\ZQ\\COB"));
    }
};

QTEST_MAIN(TestPrincipal)
#include "tst_principal.moc"
