// Message boxes, the default error handler and the handler guard.
#include "common/fixture.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/guard.h"
#include "platform/windowing/msgbox.h"

#include <QApplication>
#include <QTest>

class TestWindowing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setApplicationTitle(QStringLiteral("Renomeia Arquivos ZQ")); }

    void theDefaultHandlerShowsTheMessageWithAFullStop()
    {
        fixture::Boxes boxes;
        ShowException(EConvertError(QStringLiteral("'12a' is not a valid integer value")));
        ShowException(EDatabaseError(QStringLiteral("Key violation.")));
        ShowException(EDatabaseError(QStringLiteral("Falhou!")));   // "!" comes before "."
        ShowException(EDatabaseError(QStringLiteral("Tabela: Arq.DB")));
        ShowException(EAbort());                                      // silent
        QCOMPARE(boxes.count(), 4);
        QCOMPARE(boxes.shown()[0].text, QStringLiteral("'12a' is not a valid integer value."));
        QCOMPARE(boxes.shown()[1].text, QStringLiteral("Key violation."));
        QCOMPARE(boxes.shown()[2].text, QStringLiteral("Falhou!"));
        QCOMPARE(boxes.shown()[3].text, QStringLiteral("Tabela: Arq.DB."));
        for (const BoxRecord &b : boxes.shown()) {
            QCOMPARE(b.title, QStringLiteral("Renomeia Arquivos ZQ"));
            QCOMPARE(b.style, MsgStyle::Error);
        }
    }

    void theGuardStopsEveryError()
    {
        fixture::Boxes boxes;
        QVERIFY(Guard([] {}));
        QVERIFY(!Guard([] { StrToInt(QStringLiteral("x1")); }));
        QVERIFY(!Guard([] { throw std::runtime_error("falha"); }));
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.shown()[0].text, QStringLiteral("'x1' is not a valid integer value."));
        QCOMPARE(boxes.shown()[1].text, QStringLiteral("falha."));
    }

    void boxesWithoutTitleTakeTheApplicationTitle()
    {
        fixture::Boxes boxes;
        boxes.answer(mrNo);
        QCOMPARE(MessageBox(QStringLiteral("Deseja?"), QStringLiteral("Confirmação"), MsgStyle::Question), int(mrNo));
        QCOMPARE(MessageBox(QStringLiteral("Pronto"), QString(), MsgStyle::Plain), int(mrOk));
        QCOMPARE(boxes.last().title, QStringLiteral("Renomeia Arquivos ZQ"));
    }

    void conversionsFollowTheRuntimesRules()
    {
        QCOMPARE(StrToInt(QStringLiteral(" 0012")), 12);
        QCOMPARE(StrToInt(QStringLiteral("-7")), -7);
        QCOMPARE(StrToInt(QStringLiteral("$1F")), 31);
        for (const char *bad : {"", "12 ", "1a", "2147483648", " "}) {
            bool raised = false;
            try {
                StrToInt(QLatin1String(bad));
            } catch (const EConvertError &e) {
                raised = e.message() == QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(bad));
            }
            QVERIFY2(raised, bad);
        }
        QCOMPARE(Trim(QStringLiteral("\t AGENCIA CENTRO  \r")), QStringLiteral("AGENCIA CENTRO"));
        QCOMPARE(FormatFloat(QStringLiteral("0000"), 7), QStringLiteral("0007"));
        QCOMPARE(FormatFloat(QStringLiteral("000000000"), 123), QStringLiteral("000000123"));
        QCOMPARE(DateToStr(QDate(2026, 3, 5)), QStringLiteral("05/03/2026"));
        QCOMPARE(TimeToStr(QTime(9, 5, 7)), QStringLiteral("09:05:07"));
        QCOMPARE(StrToDate(QStringLiteral("5/3/2026")), QDate(2026, 3, 5));
    }

    void statusPanelsKeepTheirTexts()
    {
        StatusPanels bar;
        bar.addPanel(120, Qt::AlignCenter);
        bar.addPanel(300);
        bar.setPanelText(1, QStringLiteral("Sair"));
        QCOMPARE(bar.panelText(1), QStringLiteral("Sair"));
        QCOMPARE(bar.panel(0)->width(), 120);
        QCOMPARE(bar.panelText(5), QString());
    }
};

QTEST_MAIN(TestWindowing)
#include "tst_windowing.moc"
