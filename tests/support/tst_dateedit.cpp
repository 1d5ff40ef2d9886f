// The date edit driven by real keys, clicks and focus changes, with the
// clock fixed to chosen days.
#include "platform/runtime/convert.h"
#include "support/DateEdit.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

void fixToday(QDate day)
{
    setClock([day] { return QDateTime(day, QTime(10, 0)); });
}

double valueOf(QDate d)
{
    return d.isValid() ? double(QDate(1899, 12, 30).daysTo(d)) : NoDate;
}

struct Janela {
    Janela()
    {
        auto *layout = new QVBoxLayout(&form);
        layout->addWidget(de);
        layout->addWidget(other);
        layout->addWidget(button);
        de->setObjectName(u"edtDtaArquivo"_s);
        form.show();
        QApplication::setActiveWindow(&form);
        (void)QTest::qWaitForWindowActive(&form);
    }
    // Enters the box by Tab, types and leaves it for the other edit.
    void type(const QString &keys)
    {
        de->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(de, keys);
        other->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    QWidget form;
    TDateEdit *de = new TDateEdit(&form);
    QLineEdit *other = new QLineEdit(&form);
    QPushButton *button = new QPushButton(u"Ok"_s, &form);
};

} // namespace

class TstDateEdit : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setClock({}); }

    void normalizaTextoPeloAnoCorrente()
    {
        fixToday(QDate(2026, 3, 31));
        QCOMPARE(NormalizeDateText(u"7/1/7"_s), u"07/01/2027"_s);
        QCOMPARE(NormalizeDateText(u"x12/5/98"_s), u"12/05/2098"_s);
        QCOMPARE(NormalizeDateText(u"1/2/026/9"_s), u"01/02/2026"_s);
        QCOMPARE(NormalizeDateText(QString()), u"00/00/0000"_s);
    }

    void completaAoSair_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("century");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        const QDate jan31(2026, 1, 31);
        QTest::newRow("31/02 bissexto") << jan31 << true << u"31022024"_s << u"29/02/2024"_s << QDate(2024, 2, 29);
        QTest::newRow("31/02 comum") << jan31 << true << u"31022023"_s << u"28/02/2023"_s << QDate(2023, 2, 28);
        QTest::newRow("29/02/1900") << jan31 << true << u"29021900"_s << u"28/02/1900"_s << QDate(1900, 2, 28);
        QTest::newRow("29/02/2000") << QDate(2000, 2, 29) << true << u"29022000"_s << u"29/02/2000"_s << QDate(2000, 2, 29);
        QTest::newRow("mes 13") << jan31 << true << u"15132026"_s << u"15/12/2026"_s << QDate(2026, 12, 15);
        QTest::newRow("sem ano") << jan31 << true << u"12.05"_s << u"12/05/2026"_s << QDate(2026, 5, 12);
        QTest::newRow("so o dia") << jan31 << true << u"12"_s << u"12/01/2026"_s << QDate(2026, 1, 12);
        QTest::newRow("mes e ano no dia 31") << jan31 << true << u".042026"_s << u"30/04/2026"_s << QDate(2026, 4, 30);
        QTest::newRow("ano 98 em 2000") << QDate(2000, 2, 29) << true << u"12.5.98"_s << u"12/05/2098"_s << QDate(2098, 5, 12);
        QTest::newRow("ano 98 em 2099") << QDate(2099, 12, 31) << true << u"12.5.98"_s << u"12/05/2098"_s << QDate(2098, 5, 12);
        QTest::newRow("seculo falso") << jan31 << false << u"120526"_s << u"12/05/26"_s << QDate(2026, 5, 12);
        QTest::newRow("zeros") << jan31 << true << u"00000000"_s << u"00/00/0000"_s << QDate();
        QTest::newRow("vazio") << jan31 << true << u"\b"_s << u"00/00/0000"_s << QDate();
    }
    void completaAoSair()
    {
        QFETCH(QDate, today);
        fixToday(today);
        Janela j;
        QFETCH(bool, century);
        j.de->setCentury(century);
        j.de->setDateText(u"01/01/2001"_s); // typing replaces what was there
        QFETCH(QString, keys);
        j.type(keys);
        QVERIFY(j.other->hasFocus());
        QTEST(j.de->dateText(), "text");
        QFETCH(QDate, date);
        QCOMPARE(j.de->dateValue(), valueOf(date));
        QCOMPARE(j.de->text(), date.isValid() ? j.de->dateText() : QString());
    }

    void recusaMantemOFoco()
    {
        fixToday(QDate(2026, 3, 31));
        Janela j;
        j.de->setAssumeDefault(false);
        int errors = 0, exits = 0, clicks = 0;
        j.de->OnDateError = [&](TDateEdit *sender) { errors += sender == j.de; };
        connect(j.de, &TDateEdit::exited, [&] { ++exits; });
        connect(j.button, &QPushButton::clicked, [&] { ++clicks; });
        j.type(u"31022026"_s);
        QVERIFY(j.de->hasFocus());
        QTest::mouseClick(j.button, Qt::LeftButton);
        QTest::mouseClick(j.other, Qt::LeftButton);
        QApplication::processEvents();
        QVERIFY(j.de->hasFocus());
        QCOMPARE(errors, 3);
        QCOMPARE(clicks, 0);
        QCOMPARE(exits, 0);
        QCOMPARE(j.de->selectedText(), j.de->text());
        QCOMPARE(j.de->dateValue(), NoDate);

        j.de->setCursorPosition(0);
        QTest::keyClicks(j.de, u"28"_s);
        j.other->setFocus(Qt::TabFocusReason);
        QVERIFY(j.other->hasFocus());
        QCOMPARE(exits, 1);
        QCOMPARE(j.de->dateValue(), valueOf(QDate(2026, 2, 28)));
    }

    void seculoDoAnoDeDoisDigitosSeMantem()
    {
        fixToday(QDate(2026, 3, 31));
        Janela j;
        j.de->setCentury(false);
        j.de->setDateValue(valueOf(QDate(1998, 5, 12)) + 0.5);
        QCOMPARE(j.de->dateText(), u"12/05/98"_s);
        j.type(QString());
        j.de->setCentury(true);
        QCOMPARE(j.de->dateText(), u"12/05/1998"_s);
        QCOMPARE(j.de->dateValue(), valueOf(QDate(1998, 5, 12)) + 0.5);
    }

    // Without the focus and without a date nothing is painted, never the
    // mask; a click selects the whole date, and "." moves to the next field.
    void pinturaECliques()
    {
        Janela j;
        auto inkInside = [&] {
            const QImage img = j.de->grab().toImage();
            const QRgb base = j.de->palette().color(QPalette::Base).rgb();
            int ink = 0;
            for (int y = 3; y < img.height() - 3; ++y)
                for (int x = 3; x < img.width() - 3; ++x)
                    ink += img.pixel(x, y) != base;
            return ink;
        };
        j.type(QString());
        QVERIFY(!j.de->hasFocus() && j.de->inputMask().isEmpty());
        QCOMPARE(inkInside(), 0);
        j.de->setBaseChar(u' ');
        QCOMPARE(inkInside(), 0);
        j.de->setDateText(u"5/5/2026"_s);
        QCOMPARE(j.de->dateText(), u"05/05/2026"_s);
        QVERIFY(inkInside() > 0);
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(j.de);
        QCOMPARE(a->text(QAccessible::Name), u"Data (dd/mm/aaaa)"_s);
        QCOMPARE(a->text(QAccessible::Value), u"05/05/2026"_s);

        j.de->setBaseChar(u'_');
        QTest::mouseClick(j.de, Qt::LeftButton, {}, QPoint(4, j.de->height() / 2));
        QVERIFY(j.de->hasFocus());
        QCOMPARE(j.de->selectedText(), u"05/05/2026"_s);
        QTest::keyClicks(j.de, u"1.2."_s);
        QCOMPARE(j.de->displayText(), u"1_/2_/____"_s);
    }
};

QTEST_MAIN(TstDateEdit)
#include "tst_dateedit.moc"
