// Conversions of the runtime: number pictures, upper case, dates as day numbers.
#include "platform/runtime/convert.h"

#include <QTest>

class TestRuntime : public QObject {
    Q_OBJECT
private slots:
    void formatFloatWithSeparators()
    {
        const QString kb = QStringLiteral("#,###,##0.00");
        QCOMPARE(FormatFloat(kb, 1234.56), QStringLiteral("1.234,56"));
        QCOMPARE(FormatFloat(kb, 0.5), QStringLiteral("0,50"));
        QCOMPARE(FormatFloat(kb, 1234567890.125), QStringLiteral("1.234.567.890,13"));
        QCOMPARE(FormatFloat(kb, 1.005), QStringLiteral("1,01")); // as written, not as stored
        QCOMPARE(FormatFloat(kb, 999.999), QStringLiteral("1.000,00"));
        QCOMPARE(FormatFloat(kb, -1234.5), QStringLiteral("-1.234,50"));
        QCOMPARE(FormatFloat(kb, -0.001), QStringLiteral("0,00"));
        QCOMPARE(FormatFloat(QStringLiteral("0.##"), 2.5), QStringLiteral("2,5"));
        QCOMPARE(FormatFloat(QStringLiteral("0.##"), 2), QStringLiteral("2"));
        QCOMPARE(FormatFloat(QStringLiteral("'R$ '#,##0.00;'('#,##0.00')';'zero'"), -5), QStringLiteral("(5,00)"));
        QCOMPARE(FormatFloat(QStringLiteral("'R$ '#,##0.00;'('#,##0.00')';'zero'"), 0), QStringLiteral("zero"));
        // Integer pictures (the log grid's codes show "0000" and "000000000").
        QCOMPARE(FormatFloat(QStringLiteral("00"), 123), QStringLiteral("123"));
        QCOMPARE(FormatFloat(QStringLiteral("#"), 0), QString());
        // The process's separators.
        FormatSettings saved = formatSettings();
        formatSettings().decimalSeparator = QLatin1Char('.');
        formatSettings().thousandSeparator = QLatin1Char(',');
        QCOMPARE(FormatFloat(kb, 1234.56), QStringLiteral("1,234.56"));
        formatSettings() = saved;
    }

    void upperCaseChangesOnlyAtoZ()
    {
        QCOMPARE(UpperCase(QStringLiteral("retorno-ção éà ñ 1;x=y")), QStringLiteral("RETORNO-çãO éà ñ 1;X=Y"));
    }

    void datesAsDayNumbers()
    {
        QCOMPARE(DateTimeToNumber(QDate(1899, 12, 30)), 0.0);
        QCOMPARE(DateTimeToNumber(QDate(2005, 3, 15), QTime(18, 0)), 38426.75);
        QCOMPARE(DateTimeToNumber(QDate(1899, 12, 29), QTime(6, 0)), -1.25);
        QCOMPARE(DateTimeToNumber(QDate(1, 1, 1)), NoDate + 1);
        QCOMPARE(DateTimeToNumber(QDate()), NoDate);
        QCOMPARE(NumberToDateTime(38426.75), QDateTime(QDate(2005, 3, 15), QTime(18, 0)));
        QCOMPARE(NumberToDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(NumberToDateTime(DateTimeToNumber(QDate(2026, 8, 31), QTime(23, 59, 59, 999))),
                 QDateTime(QDate(2026, 8, 31), QTime(23, 59, 59, 999)));
        QCOMPARE(NumberToDate(38426.99999999999), QDate(2005, 3, 16)); // rounds to the next midnight
        QCOMPARE(NumberToTime(38426.5), QTime(12, 0));
        QVERIFY(!NumberToDate(NoDate).isValid());
        QVERIFY(!NumberToTime(NoDate).isValid());
        QCOMPARE(NumberToDate(NoDate + 1), QDate(1, 1, 1));
        QVERIFY(!NumberToDate(2958466).isValid());
    }
};

QTEST_GUILESS_MAIN(TestRuntime)
#include "tst_runtime.moc"
