// Start-up: alias registration, log purge and the upgrade of the contract table.
#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "common/fixture.h"
#include "db/installer.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/tables/session.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {
const QString ctrFile = QStringLiteral("C:\\ZQ\\REN\\TABELAS\\Ctr.db");

// Replaces Ctr by the layout before version 1.2.1 (no description), with one contract.
void oldContractTable(const fixture::Prefix &prefix)
{
    QFile::remove(prefix.host(ctrFile));
    tables::Session::instance().reset();
    zqdb::createTableFile(zqdb::TablesFolder, QStringLiteral("Ctr"),
                          {QStringLiteral("CREATE TABLE Ctr (CtrAgencia SMALLINT NOT NULL, CtrContrato INTEGER NOT NULL, "
                                          "CtrServico VARCHAR(2) NOT NULL, CtrDirRemessa VARCHAR(255), CtrDirRetorno VARCHAR(255), "
                                          "PRIMARY KEY (CtrAgencia, CtrContrato, CtrServico))"),
                           QStringLiteral("INSERT INTO Ctr VALUES (1, 17, '66', 'C:\\R', 'C:\\T')")});
}

bool hasDescription()
{
    const auto rows = fixture::rows(QStringLiteral("Ctr"));
    return !rows.isEmpty() && rows.first().contains(QStringLiteral("CtrDescricao"));
}

void addLogRow(const QDate &dataOper)
{
    fixture::exec(QStringLiteral("insert into Arq (ArqCtrAgencia, ArqDataOper, ArqNomeOrigem) values (1, '%1', '%2')")
                      .arg(dataOper.toString(Qt::ISODate), dataOper.toString(Qt::ISODate)));
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        InitApplication();
        setClock([] { return QDateTime(QDate(2026, 12, 8), QTime(10, 15, 0)); });
    }

    void firstStartRegistersTheAliasAndUpgrades()
    {
        fixture::Prefix prefix(false);
        zqdb::installTables();
        oldContractTable(prefix);
        fixture::Boxes boxes;
        {
            TfrmPrincipal w;
            QCOMPARE(w.windowTitle(), QStringLiteral("Renomeia Arquivos ZQ - v1.2.1"));
            QCOMPARE(w.objectName(), QStringLiteral("frmPrincipal"));
        }
        QCOMPARE(boxes.count(), 0);
        QFile cfg(prefix.path() + QStringLiteral("/engine.cfg"));
        QVERIFY(cfg.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(cfg.readAll());
        QVERIFY(text.contains(QStringLiteral("[ZqRen417]\nDriver=PARADOX\nPATH=C:\\ZQ\\REN\\TABELAS\n")));
        QVERIFY(hasDescription());
        QCOMPARE(fixture::rows(QStringLiteral("Ctr")).first().value(QStringLiteral("CtrDirRetorno")).toString(), QStringLiteral("C:\\T"));
        // The next start finds the field and the alias and changes nothing.
        tables::Session::instance().reset();
        const QByteArray before = fixture::readFile(ctrFile);
        { TfrmPrincipal w; }
        QCOMPARE(fixture::readFile(ctrFile), before);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(applicationTitle(), QStringLiteral("Renomeia Arquivos ZQ"));
        QCOMPARE(applicationHelpFile(), QStringLiteral("C:\\ZQ\\RenomeiaArqs\\Fontes\\Zqren417.hlp"));
    }

    void anAliasThatCannotBeSavedIsReportedAndStartGoesOn()
    {
        fixture::Prefix prefix(false);
        zqdb::installTables();
        QDir().mkpath(prefix.path() + QStringLiteral("/engine.cfg"));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        QVERIFY2(boxes.count() >= 1, qPrintable(boxes.dump()));
        const BoxRecord &alias = boxes.shown().first();
        QCOMPARE(alias.text, QStringLiteral("Erro Cannot write the engine configuration file %1 ao criar Alias \"ZqRen417\".")
                                 .arg(winfs::windowsPath(prefix.path() + QStringLiteral("/engine.cfg"))));
        QCOMPARE(alias.title, QStringLiteral("Renomeia Arquivos ZQ"));
        QCOMPARE(alias.style, MsgStyle::Plain);
        // The alias was added for this run, so the purge and upgrade still reach the tables.
        QCOMPARE(boxes.count(), 1);
        QVERIFY(w.ClientArea);
    }

    void theLogKeepsThirtyDays()
    {
        fixture::Prefix prefix;
        const QDate today(2026, 12, 8);
        addLogRow(today.addDays(-31));
        addLogRow(today.addDays(-30));
        addLogRow(today);
        addLogRow(today.addDays(5));
        fixture::Boxes boxes;
        { TfrmPrincipal w; }
        QStringList left;
        for (const auto &r : fixture::rows(QStringLiteral("Arq"), QStringLiteral("ArqDataOper")))
            left << r.value(QStringLiteral("ArqNomeOrigem")).toString();
        QCOMPARE(left, (QStringList{"2026-11-08", "2026-12-08", "2026-12-13"}));
        QCOMPARE(boxes.count(), 0);
    }

    void anUnreadableContractTableStopsOnlyTheUpgrade()
    {
        fixture::Prefix prefix;
        fixture::writeFile(ctrFile, QByteArray("isto nao e uma tabela").repeated(100));
        addLogRow(QDate(2026, 1, 1));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("Ocorreu um erro na conversão para a versão 1.2.1 - Cannot open table "
                                                   "C:\\ZQ\\REN\\TABELAS\\Ctr.DB.\rfile is not a database"));
        QCOMPARE(boxes.last().title, QStringLiteral("Informação"));
        QCOMPARE(boxes.last().style, MsgStyle::Exclamation);
        QVERIFY(fixture::rows(QStringLiteral("Arq")).isEmpty()); // the purge ran before
    }

    void aLockedContractTableIsReportedWithTheEnginesText()
    {
        fixture::Prefix prefix;
        oldContractTable(prefix);
        {
            fixture::OtherProgram other(QStringLiteral("Ctr"));
            QVERIFY(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            fixture::Boxes boxes;
            TfrmPrincipal w;
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().text, QStringLiteral("Ocorreu um erro na conversão para a versão 1.2.1 - Table is busy.\r"
                                                       "Table: C:\\ZQ\\REN\\TABELAS\\Ctr.DB"));
            QCOMPARE(boxes.last().style, MsgStyle::Exclamation);
            other.exec(QStringLiteral("ROLLBACK"));
        }
        tables::Session::instance().reset();
        QVERIFY(!hasDescription()); // started without the field
    }

    void aMissingLogTableSkipsTheRemainingStepsButTheWindowOpens()
    {
        fixture::Prefix prefix;
        oldContractTable(prefix);
        QFile::remove(prefix.host(QStringLiteral("C:\\ZQ\\REN\\TABELAS\\Arq.db")));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        w.show();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("Table does not exist.\rTable: C:\\ZQ\\REN\\TABELAS\\Arq.DB."));
        QCOMPARE(boxes.last().title, QStringLiteral("Renomeia Arquivos ZQ"));
        QCOMPARE(boxes.last().style, MsgStyle::Error);
        QVERIFY(w.isVisible());
        QVERIFY(!hasDescription()); // the upgrade step did not run
        QCOMPARE(fixture::rows(QStringLiteral("Ctr")).size(), 1);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
