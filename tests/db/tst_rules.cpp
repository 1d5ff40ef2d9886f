// The rules of the contract data the windows share: list entries, transfer
// folders and return file names.
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
        const QString curta = contractEntry(7, u"CENTRO"_s, 123);
        QCOMPARE(curta, u"0007 - CENTRO                   000000123"_s);
        QCOMPARE(curta.size(), 41);
        // A long name is cut at 25: the contract still starts at 33; the service ends at 46.
        const QString longa = contractEntry(1234, u"AGENCIA DE NOME MUITO MAIS LONGO"_s, 999999999, u"C3"_s);
        QCOMPARE(longa, u"1234 - AGENCIA DE NOME MUITO MAI999999999   C3"_s);
        QCOMPARE(longa.size(), 46);
        QCOMPARE(entryAgency(longa), 1234);
        QCOMPARE(entryContract(longa), 999999999);
        QCOMPARE(entryService(longa), u"C3"_s);
        QCOMPARE(entryContract(curta), 123);
        QCOMPARE(entryService(curta), QString());
        // Text typed over an entry: the runtime's conversion error.
        QCOMPARE(fixture::errorOf([] { entryAgency(u"todos"_s); }), u"'todo' is not a valid integer value"_s);
        QCOMPARE(fixture::errorOf([] { entryContract(u"0001 - X"_s); }), u"'' is not a valid integer value"_s);
    }

    void transferFolders()
    {
        QCOMPARE(outgoingFolder(u"COB"_s), u"C:\\ZQ\\COB\\SAIDA\\"_s);
        QCOMPARE(outgoingFolder(u"PDZ"_s), u"C:\\ZQ\\PDZ\\SAIDA\\"_s);
        QCOMPARE(outgoingFolder(u"IPC"_s), u"C:\\ZQ\\PDZ\\SAIDA\\"_s);
        QCOMPARE(outgoingFolder(u"DEL"_s), u"C:\\ZQ\\CCC\\SAIDA\\"_s);
        QCOMPARE(incomingFolder(u"CCC"_s), u"C:\\ZQ\\CCC\\ENTRADA"_s);
        QCOMPARE(incomingFolder(u"IPC"_s), u"C:\\ZQ\\PDZ\\ENTRADA"_s);
        QCOMPARE(incomingFolder(u"DEL"_s), u"C:\\ZQ\\DEL\\ENTRADA"_s); // only IPC is mapped
        QCOMPARE(returnFileMask(incomingFolder(u"COB"_s), u"COB01"_s), u"C:\\ZQ\\COB\\ENTRADA\\????????COB01*.TXT"_s);
    }

    void returnFileNames()
    {
        const ReturnFileName nove(u"20050315COB01X0123000045678.TXT"_s);
        QCOMPARE(nove.system(), u"COB"_s);
        QCOMPARE(nove.identifier(), u"01"_s);
        QCOMPARE(nove.date(), QDate(2005, 3, 15));
        QCOMPARE(nove.agency(), 123);
        QCOMPARE(nove.contractDigitsByDot(0), 9);
        QCOMPARE(nove.contract(9), 45678);
        const ReturnFileName sete(u"20050315PDZ01X01230045678.TXT"_s);
        QCOMPARE(sete.contractDigitsByDot(0), 7);
        QCOMPARE(sete.contract(7), 45678);
        // No dot at 26 or 28: the previous length stays.
        QCOMPARE(ReturnFileName(u"20050315PDZ01X0123004567.TXT"_s).contractDigitsByDot(9), 9);
        QCOMPARE(ReturnFileName(u"20050315COB01.TXT"_s).contractDigitsByDot(0), 0);
        QCOMPARE(contractDigitsOfSystem(u"DEL"_s), 9);
        QCOMPARE(contractDigitsOfSystem(u"IPC"_s), 7);
        // Positions that hold no number, or lie past the end of the name.
        QCOMPARE(fixture::errorOf([] { ReturnFileName(u"20261208COB01 00A1000000017.TXT"_s).agency(); }),
                 u"'00A1' is not a valid integer value"_s);
        QCOMPARE(fixture::errorOf([] { ReturnFileName(u"20261208COB01.TXT"_s).agency(); }), u"'TXT' is not a valid integer value"_s);
        QCOMPARE(fixture::errorOf([] { ReturnFileName(u"20051315COB01X0123000045678.TXT"_s).date(); }),
                 u"'15/13/2005' is not a valid date"_s);
    }
};

QTEST_MAIN(TstRules)
#include "tst_rules.moc"
