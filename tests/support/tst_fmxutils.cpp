// File routines: attribute test, text repetition.
#include "common/fixture.h"
#include "platform/filesystem/winfs.h"
#include "support/FmxUtils.h"

#include <QTest>

using fixture::writeFile;

class TestFmxUtils : public QObject {
    Q_OBJECT
private slots:
    void attributeTestAndRepetition()
    {
        fixture::Prefix prefix(false);
        writeFile(QStringLiteral("C:\\E\\a.txt"), "a");
        QVERIFY(TestFileAttr(QStringLiteral("C:\\E"), 16));
        QVERIFY(TestFileAttr(QStringLiteral("c:\\e\\"), 16));
        QVERIFY(!TestFileAttr(QStringLiteral("C:\\E\\a.txt"), 16));
        QVERIFY(!TestFileAttr(QStringLiteral("C:\\E\\nada"), 16));
        QVERIFY(!TestFileAttr(QStringLiteral("C:\\E\\nada"), 1));
        QVERIFY(TestFileAttr(QStringLiteral("C:\\E\\nada"), 0));
        QCOMPARE(ReplicateText(QStringLiteral(" "), 73).size(), 73);
        QCOMPARE(ReplicateText(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
        QCOMPARE(ReplicateText(QStringLiteral("ab"), 0), QString());
        QCOMPARE(ReplicateText(QStringLiteral("ab"), -1), QString());
    }
};

QTEST_GUILESS_MAIN(TestFmxUtils)
#include "tst_fmxutils.moc"
