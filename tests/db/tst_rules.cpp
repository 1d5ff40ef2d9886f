// The contract list entry at its edges; folders and return file names are
// checked through the windows that use them.
#include "common/fixture.h"

#include "db/rules.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zqdb;

class TstRules : public QObject {
    Q_OBJECT
private slots:
    void contractEntries()
    {
        // A long name is cut at 25: the contract still starts at 33; the service ends at 46.
        const QString longa = contractEntry(1234, u"AGENCIA DE NOME MUITO MAIS LONGO"_s, 999999999, u"C3"_s);
        QCOMPARE(longa, u"1234 - AGENCIA DE NOME MUITO MAI999999999   C3"_s);
        QVERIFY(entryAgency(longa) == 1234 && entryContract(longa) == 999999999 && entryService(longa) == u"C3"_s);
        const QString curta = contractEntry(7, u"CENTRO"_s, 123);
        QVERIFY(curta.size() == 41 && entryContract(curta) == 123 && entryService(curta).isEmpty());
    }
};

QTEST_MAIN(TstRules)
#include "tst_rules.moc"
