// The table engine: aliases, key order, typed fields, lookups, queries and errors.
#include "common/fixture.h"
#include "db/installer.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"
#include "platform/tables/query.h"
#include "platform/tables/session.h"
#include "platform/tables/table.h"

#include "db/statements.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace tables;
using namespace Qt::StringLiterals;

using fixture::errorOf;

class TestTables : public QObject {
    Q_OBJECT
private slots:
    void aliasesLiveInTheEngineConfiguration()
    {
        fixture::Prefix prefix(false);
        Session &s = Session::instance();
        QVERIFY(s.aliasNames().isEmpty());
        s.addAlias(QStringLiteral("ZqRen417"), QStringLiteral("PARADOX"), {QStringLiteral("PATH=C:\\ZQ\\REN\\TABELAS")});
        s.saveConfig();
        QFile f(prefix.path() + QStringLiteral("/engine.cfg"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString cfg = QString::fromUtf8(f.readAll());
        QVERIFY(cfg.contains(QStringLiteral("[ZqRen417]")));
        QVERIFY(cfg.contains(QStringLiteral("PATH=C:\\ZQ\\REN\\TABELAS")));
        s.reset();
        QVERIFY(s.aliasExists(QStringLiteral("ZQREN417")));
        QVERIFY(!errorOf([&] { s.addAlias(QStringLiteral("zqren417"), QStringLiteral("PARADOX"), {}); }).isEmpty());
        QCOMPARE(errorOf([&] { s.connection(QStringLiteral("Outro")); }), QStringLiteral("Unknown database: Outro"));
    }

    void aConfigurationThatCannotBeWrittenRaises()
    {
        fixture::Prefix prefix(false);
        // The configuration's place is taken by a folder.
        QDir().mkpath(prefix.path() + QStringLiteral("/engine.cfg"));
        Session &s = Session::instance();
        s.addAlias(QStringLiteral("ZqRen417"), QStringLiteral("PARADOX"), {QStringLiteral("PATH=C:\\ZQ\\REN\\TABELAS")});
        try {
            s.saveConfig();
            QFAIL("saved");
        } catch (const EDBEngineError &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Cannot write the engine configuration file")));
        }
    }

    void tablesReadInKeyOrderAndSearchByLeadingKeys()
    {
        fixture::Prefix prefix;
        fixture::addContract(12, 500, QStringLiteral("C3"));
        fixture::addContract(1, 17, QStringLiteral("R1"));
        fixture::addContract(12, 500, QStringLiteral("66"));
        fixture::addContract(3, 9, QStringLiteral("66"));
        Table t;
        zqdb::setupTable(t, QStringLiteral("ctr.db"));
        t.open();
        QCOMPARE(t.keyFields(), (QStringList{QStringLiteral("CtrAgencia"), QStringLiteral("CtrContrato"), QStringLiteral("CtrServico")}));
        QStringList seen;
        for (t.first(); !t.eof(); t.next())
            seen << t.fieldByName(QStringLiteral("CtrAgencia"))->asString() + QLatin1Char('/')
                    + t.fieldByName(QStringLiteral("CtrServico"))->asString();
        QCOMPARE(seen, (QStringList{"1/R1", "3/66", "12/66", "12/C3"}));
        // Two leading fields: the first match in key order, whatever its service.
        t.first();
        QVERIFY(t.findKey({12, 500}));
        QCOMPARE(t.fieldByName(QStringLiteral("CtrServico"))->asString(), QStringLiteral("66"));
        QVERIFY(t.findKey({12, 500, QStringLiteral("C3")}));
        QCOMPARE(t.recNo(), 3);
        // Not found: the cursor stays.
        QVERIFY(!t.findKey({12, 501}));
        QCOMPARE(t.recNo(), 3);
        t.first();
        QVERIFY(t.bof());
        t.prior();
        QVERIFY(t.bof());
        t.last();
        QVERIFY(t.eof());
        QCOMPARE(t.recNo(), 3);
    }

    void editingStatesAndNotifications()
    {
        fixture::Prefix prefix;
        Table t;
        zqdb::setupTable(t, QStringLiteral("Ctr.DB"));
        QSignalSpy states(&t, &DataSet::stateChanged);
        t.open();
        QVERIFY(t.isEmpty());
        t.insert();
        QCOMPARE(t.state(), DataSetState::Insert);
        t.fieldByName(QStringLiteral("CtrAgencia"))->setAsString(QStringLiteral("7"));
        t.fieldByName(QStringLiteral("CtrContrato"))->setAsInteger(123);
        t.fieldByName(QStringLiteral("CtrServico"))->setAsString(QStringLiteral("C3X")); // cut to 2
        t.fieldByName(QStringLiteral("CtrDirRemessa"))->setAsString(QStringLiteral("C:\\R"));
        t.post();
        QCOMPARE(t.state(), DataSetState::Browse);
        QCOMPARE(states.count(), 3); // browse, insert, browse
        t.edit();
        t.fieldByName(QStringLiteral("CtrDirRemessa"))->setAsString(QStringLiteral("C:\\S"));
        t.cancel();
        QCOMPARE(t.fieldByName(QStringLiteral("CtrDirRemessa"))->asString(), QStringLiteral("C:\\R"));
        t.edit();
        t.fieldByName(QStringLiteral("CtrDescricao"))->setAsString(QStringLiteral("CONTA"));
        t.post();
        const auto rows = fixture::rows(QStringLiteral("Ctr"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].value(QStringLiteral("CtrServico")).toString(), QStringLiteral("C3"));
        QCOMPARE(rows[0].value(QStringLiteral("CtrDescricao")).toString(), QStringLiteral("CONTA"));
        QCOMPARE(rows[0].value(QStringLiteral("CtrAgencia")).toInt(), 7);
        // Display formats.
        zqdb::setContractFormats(t);
        QCOMPARE(t.fieldByName(QStringLiteral("CtrAgencia"))->displayText(), QStringLiteral("0007"));
        QCOMPARE(t.fieldByName(QStringLiteral("CtrContrato"))->displayText(), QStringLiteral("000000123"));
        QCOMPARE(t.fieldByName(QStringLiteral("CtrDescricao"))->displayName(), QStringLiteral("Descrição"));
        t.deleteRecord();
        QVERIFY(t.isEmpty());
        QVERIFY(fixture::rows(QStringLiteral("Ctr")).isEmpty());
    }

    void fieldInputIsCheckedWithTheDataLayersMessages()
    {
        fixture::Prefix prefix;
        Table t;
        zqdb::setupTable(t, QStringLiteral("Ctr.DB"));
        zqdb::setContractFormats(t);
        t.open();
        t.insert();
        Field *ag = t.fieldByName(QStringLiteral("CtrAgencia"));
        Field *ct = t.fieldByName(QStringLiteral("CtrContrato"));
        QCOMPARE(errorOf([&] { ag->setAsString(QStringLiteral("12a")); }),
                 QStringLiteral("'12a' is not a valid integer value for field 'CtrAgencia'"));
        QCOMPARE(errorOf([&] { ag->setAsString(QStringLiteral("40000")); }),
                 QStringLiteral("40000 is not a valid value for field 'CtrAgencia'. The allowed range is -32768 to 32767"));
        QCOMPARE(errorOf([&] { ct->setAsString(QStringLiteral("-5")); }),
                 QStringLiteral("-5 is not a valid value for field 'CtrContrato'. The allowed range is 0 to 999999999"));
        QCOMPARE(errorOf([&] { ct->setAsString(QStringLiteral("1000000000")); }),
                 QStringLiteral("1000000000 is not a valid value for field 'CtrContrato'. The allowed range is 0 to 999999999"));
        ct->setAsString(QStringLiteral("999999999"));
        QCOMPARE(ct->asInteger(), 999999999);
        ag->setAsString(QString());
        QVERIFY(ag->isNull());
        QCOMPARE(ag->text(), QString());
    }

    void keyViolationCarriesItsCode()
    {
        fixture::Prefix prefix;
        fixture::addContract(1, 17, QStringLiteral("66"));
        Table t;
        zqdb::setupTable(t, QStringLiteral("Ctr.DB"));
        t.open();
        t.insert();
        t.fieldByName(QStringLiteral("CtrAgencia"))->setAsInteger(1);
        t.fieldByName(QStringLiteral("CtrContrato"))->setAsInteger(17);
        t.fieldByName(QStringLiteral("CtrServico"))->setAsString(QStringLiteral("66"));
        try {
            t.post();
            QFAIL("posted a duplicate key");
        } catch (const EDBEngineError &e) {
            QCOMPARE(e.errors(0).errorCode, DBIERR_KEYVIOL);
        }
        // The record stays being inserted, for correction.
        QCOMPARE(t.state(), DataSetState::Insert);
        QCOMPARE(t.fieldByName(QStringLiteral("CtrContrato"))->asInteger(), 17);
        t.fieldByName(QStringLiteral("CtrContrato"))->setAsInteger(18);
        t.post();
        QCOMPARE(fixture::rows(QStringLiteral("Ctr")).size(), 2);
    }

    void aSilentAbortBeforePostKeepsTheRecord()
    {
        fixture::Prefix prefix;
        Table t;
        zqdb::setupTable(t, QStringLiteral("Age.DB"));
        int calls = 0;
        t.beforePost = [&](DataSet &) {
            ++calls;
            throw EAbort();
        };
        t.open();
        t.insert();
        t.fieldByName(QStringLiteral("AgeCod"))->setAsInteger(1);
        QVERIFY_THROWS_EXCEPTION(EAbort, t.post());
        QCOMPARE(calls, 1);
        QCOMPARE(t.state(), DataSetState::Insert);
        QVERIFY(fixture::rows(QStringLiteral("Age")).isEmpty());
    }

    void lookupsShowTheOtherTablesValue()
    {
        fixture::Prefix prefix;
        fixture::addAgency(1, QStringLiteral("AGENCIA CENTRO"));
        fixture::addContract(1, 17, QStringLiteral("C3"));
        fixture::addContract(2, 5, QStringLiteral("ZZ"));
        Table age, svc, ctr;
        zqdb::setupTable(age, QStringLiteral("Age.DB"));
        zqdb::setupTable(svc, QStringLiteral("Svc.DB"));
        zqdb::setupTable(ctr, QStringLiteral("Ctr.DB"));
        zqdb::addAgeNomeLookup(ctr, &age, 25);
        zqdb::addSisCodLookup(ctr, &svc);
        zqdb::addSvcIdLookup(ctr, &svc);
        age.open();
        svc.open();
        ctr.open();
        QCOMPARE(ctr.fieldByName(QStringLiteral("AgeNome"))->displayText(), QStringLiteral("AGENCIA CENTRO"));
        QCOMPARE(ctr.fieldByName(QStringLiteral("SisCod"))->displayText(), QStringLiteral("COB"));
        QCOMPARE(ctr.fieldByName(QStringLiteral("SvcId"))->displayText(), QStringLiteral("02"));
        ctr.next();
        QCOMPARE(ctr.fieldByName(QStringLiteral("AgeNome"))->displayText(), QString());
        QCOMPARE(ctr.fieldByName(QStringLiteral("SisCod"))->displayText(), QString());
        QCOMPARE(ctr.fieldByName(QStringLiteral("SvcId"))->displayText(), QString());
        QVERIFY(svc.locate(QStringLiteral("SvcCod"), QStringLiteral("V6")));
        QCOMPARE(svc.fieldByName(QStringLiteral("SisCod"))->asString(), QStringLiteral("PDZ"));
    }

    void queriesBindTypedNamedParameters()
    {
        fixture::Prefix prefix;
        fixture::exec(QStringLiteral("insert into Arq (ArqCtrAgencia, ArqCtrContrato, ArqCtrServico, ArqDataOper, ArqHoraOper, "
                                     "ArqNomeOrigem, ArqRemessa, ArqNumRemessa, ArqDataOrigem) values "
                                     "(1, 17, '66', '2026-11-08', '10:00:00', 'C:\\R\\a.txt', 1, 3, '2026-11-07')"));
        Query q;
        q.databaseName = QStringLiteral("ZQREN417");
        q.setSQL({QStringLiteral("select * from arq"), QStringLiteral("where ArqDataOper = :Dia and ArqRemessa = true"),
                  QStringLiteral("and ArqNomeOrigem <> ':Nada'")});
        QCOMPARE(q.paramCount(), 1);
        q.declareParam(QStringLiteral("Dia"), FieldType::Date);
        // A date-time at midnight compares equal to the day.
        q.paramByName(QStringLiteral("Dia")).setAsDateTime(QDateTime(QDate(2026, 11, 8), QTime(0, 0)));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldByName(QStringLiteral("ArqDataOrigem"))->asString(), QStringLiteral("07/11/2026"));
        QCOMPARE(q.fieldByName(QStringLiteral("ArqHoraOper"))->asTime(), QTime(10, 0));
        QCOMPARE(q.fieldByName(QStringLiteral("ArqRemessa"))->asBoolean(), true);
        QCOMPARE(q.fieldByName(QStringLiteral("ArqNumRemessa"))->asInteger(), 3);
        q.close();
        q.paramByName(QStringLiteral("Dia")).setAsDate(QDate(2026, 11, 9));
        q.open();
        QVERIFY(q.isEmpty());
        q.close();
        q.setSQL({QStringLiteral("select * from Arq where ArqCtrAgencia = :Agencia")});
        QCOMPARE(errorOf([&] { q.open(); }), QStringLiteral("No value for parameter 'Agencia'"));
        QCOMPARE(errorOf([&] { q.paramByName(QStringLiteral("Outro")); }), QStringLiteral("Parameter 'Outro' not found"));
    }

    void aMissingTableFileIsAMissingTable()
    {
        fixture::Prefix prefix;
        QVERIFY(QFile::remove(prefix.host(QStringLiteral("C:\\ZQ\\REN\\TABELAS\\Arq.db"))));
        Query q;
        q.databaseName = zqdb::AliasName;
        q.setSQL({QStringLiteral("delete from arq")});
        QCOMPARE(errorOf([&] { q.execSQL(); }), QStringLiteral("Table does not exist.\rTable: C:\\ZQ\\REN\\TABELAS\\arq.DB"));
        Table t;
        zqdb::setupTable(t, QStringLiteral("Arq.DB"));
        QCOMPARE(errorOf([&] { t.open(); }), QStringLiteral("Table does not exist.\rTable: C:\\ZQ\\REN\\TABELAS\\Arq.DB"));
        // The other tables are untouched.
        QCOMPARE(fixture::rows(QStringLiteral("Svc")).size(), 10);
    }

    void installerNeverTouchesAnExistingTable()
    {
        fixture::Prefix prefix;
        fixture::addContract(1, 17, QStringLiteral("66"));
        QVERIFY(zqdb::installTables().isEmpty());
        QCOMPARE(fixture::rows(QStringLiteral("Ctr")).size(), 1);
        tables::Session::instance().reset(); // Windows removes no table file held open
        QVERIFY(QFile::remove(prefix.host(QStringLiteral("C:\\ZQ\\REN\\TABELAS\\Rsi.db"))));
        QCOMPARE(zqdb::installTables(), QStringList{QStringLiteral("Rsi")});
        QCOMPARE(fixture::rows(QStringLiteral("Ctr")).size(), 1);
        // Every system has its services and return identifiers.
        QStringList systems;
        for (const auto &r : fixture::rows(QStringLiteral("Svc")))
            systems << r.value(QStringLiteral("SisCod")).toString();
        for (const char *s : {"COB", "PDZ", "CCC", "DEL", "IPC"})
            QVERIFY(systems.contains(QLatin1String(s)));
        QCOMPARE(fixture::rows(QStringLiteral("Rsi")).size(), 8);
    }

    void cursorsReadOnlyTheRowsTheyReach()
    {
        fixture::Prefix prefix;
        fixture::fillLog(20000);
        Table t;
        zqdb::setupTable(t, u"Arq.db"_s);
        t.open();
        const auto origem = [&] { return t.fieldByName(u"ArqNomeOrigem"_s)->asString(); };
        QCOMPARE(origem(), u"20260COB01X.TXT"_s);
        QVERIFY(t.rowsRead() <= 256);
        // Appending reads nothing more of the table.
        const qint64 before = t.rowsRead();
        t.append();
        t.fieldByName(u"ArqNomeOrigem"_s)->setAsString(u"NOVO"_s);
        t.post();
        QVERIFY(t.rowsRead() == before && t.recNo() == 20000);
        // A walk reaches every row in order, a jump lands where asked.
        t.moveTo(19998);
        t.next();
        QCOMPARE(origem(), u"C:\\REMESSA\\ARQ19999.TXT"_s);
        t.next();
        QCOMPARE(origem(), u"NOVO"_s);
        t.next();
        QVERIFY(t.eof());
        int n = 0;
        for (t.first(); !t.eof(); t.next())
            ++n;
        QVERIFY(n == 20001 && t.recordCount() == 20001);
        // A query lists through the same cursor; its count skips the sort.
        Query q;
        q.databaseName = zqdb::AliasName;
        q.setSQL(QStringList{sql::log::Select, sql::log::From, sql::log::OrderBy});
        q.open();
        QCOMPARE(q.fieldByName(u"ArqCtrAgencia"_s)->asInteger(), 0);
        QVERIFY(q.rowsRead() <= 256 && q.recordCount() == 20001);
    }

    void twoCopiesOfTheProgramNeverOverwriteEachOther()
    {
        fixture::Prefix prefix;
        fixture::addContract(1, 20, u"66"_s, u"C:\\A"_s);
        Session other; // a second copy of the program on the same tables
        Table a, b;
        zqdb::setupTable(a, u"Ctr.DB"_s);
        zqdb::setupTable(b, u"Ctr.DB"_s);
        b.session = &other;
        a.open();
        b.open();
        auto set = [](Table &t, const char *name, const QVariant &v) { t.fieldByName(QLatin1String(name))->setValue(v); };
        auto store = [&](Table &t, int contrato, const QString &pasta) {
            t.insert();
            set(t, "CtrAgencia", 1);
            set(t, "CtrContrato", contrato);
            set(t, "CtrServico", u"66"_s);
            set(t, "CtrDirRemessa", pasta);
            t.post();
        };
        const QString changed = u"Couldn't perform the edit because another user changed the record."_s;
        // B removes contract 20 and stores 30 in its place; A, still showing 20, saves an edit.
        QVERIFY(b.findKey({1, 20}));
        b.deleteRecord();
        store(b, 30, u"C:\\B"_s);
        a.edit();
        set(a, "CtrDirRemessa", u"C:\\EDITADO"_s);
        QCOMPARE(errorOf([&] { a.post(); }), u"Record/Key deleted."_s);
        a.cancel();
        // A stores a key that B stored meanwhile: the engine's key violation.
        try {
            store(a, 30, u"C:\\A"_s);
            QFAIL("stored a key that exists");
        } catch (const EDBEngineError &e) {
            QCOMPARE(e.errors(0).errorCode, DBIERR_KEYVIOL);
        }
        a.cancel();
        // A edits or deletes a row that B changed since A read it.
        QVERIFY(a.findKey({1, 30}) && b.findKey({1, 30}));
        b.edit();
        set(b, "CtrDescricao", u"DE B"_s);
        b.post();
        a.edit();
        set(a, "CtrDescricao", u"DE A"_s);
        QCOMPARE(errorOf([&] { a.post(); }), changed);
        a.cancel();
        QCOMPARE(errorOf([&] { a.deleteRecord(); }), changed);
        QCOMPARE(fixture::rowTexts(u"Ctr"_s), QStringList{u"1|30|66|C:\\B||DE B"_s});
    }

    void parametersAndColumnsCarryTheirTypes()
    {
        fixture::Prefix prefix;
        fixture::fillLog(600);
        Query q;
        q.databaseName = zqdb::AliasName;
        q.setSQL(sql::RemArquivos);
        // A date-time bound to the file date keeps only its day, whatever its time.
        q.paramByName(u"Agencia"_s).setAsSmallInt(7);
        q.paramByName(u"Contrato"_s).setAsInteger(7);
        q.paramByName(u"Servico"_s).setAsString(u"66"_s);
        q.paramByName(u"Data"_s).setAsDateTime(QDateTime(QDate(2026, 1, 8), QTime(14, 30, 5)));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldByName(u"ArqDataOrigem"_s)->dataType(), FieldType::Date);
        q.close();
        // A text bound to a number converts with the runtime's rules.
        QCOMPARE(errorOf([&] { q.paramByName(u"Agencia"_s).setAsString(u"x7"_s); }), u"'x7' is not a valid integer value"_s);
        // A parameter without a declared type cannot be bound.
        q.setSQL(QStringList{u"select * from Arq where ArqCtrServico = :Outro"_s});
        QCOMPARE(errorOf([&] { q.paramByName(u"Outro"_s).setAsString(u"66"_s); }), u"Parameter 'Outro' has no declared type"_s);
        // Result columns: the declared type of their column; an expression by its value.
        q.setSQL(QStringList{u"select count(*) as Total, max(ArqHoraOper) as Hora, ArqCtrAgencia from Arq"_s});
        q.open();
        QCOMPARE(q.fieldByName(u"Total"_s)->dataType(), FieldType::Integer);
        QCOMPARE(q.fieldByName(u"Total"_s)->asInteger(), 600);
        QCOMPARE(q.fieldByName(u"ArqCtrAgencia"_s)->dataType(), FieldType::SmallInt);
    }

    void addingAnAliasKeepsTheConfigurationAndFailsWhole()
    {
        fixture::Prefix prefix(false);
        const QString cfg = winfs::windowsPath(prefix.path() + u"/engine.cfg"_s);
        const QByteArray before = "; aliases of other programs\n[Outro]\nDriver=PARADOX\nPATH=C:\\OUTRO\n";
        fixture::writeFile(cfg, before);
        Session &s = Session::instance();
        s.addAlias(u"ZqRen417"_s, u"PARADOX"_s, {u"PATH=C:\\ZQ\\REN\\TABELAS"_s});
        // A write that fails (a full disk) leaves the old file exactly as it was.
        Session::setConfigWriter([](QIODevice &, const QByteArray &) { return false; });
        QVERIFY(errorOf([&] { s.saveConfig(); }).startsWith(u"Cannot write the engine configuration file"_s));
        Session::setConfigWriter({});
        QCOMPARE(fixture::readFile(cfg), before);
        s.saveConfig();
        QCOMPARE(fixture::readFile(cfg), before + "\n[ZqRen417]\nDriver=PARADOX\nPATH=C:\\ZQ\\REN\\TABELAS\n");
        QCOMPARE(QDir(prefix.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"engine.cfg"_s});
    }

    void aKilledWriterLeavesNoTornRow()
    {
        // A child process appends log rows until it is killed; every row that
        // made it to the table must be whole.
        fixture::Prefix prefix;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZQ_WRITER_CHILD"), prefix.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("writerChild")});
        QVERIFY(child.waitForStarted());
        // Let it write a good number of rows, then kill it in the middle of its work.
        auto written = [] {
            try {
                return fixture::rows(QStringLiteral("Arq")).size();
            } catch (const EDBEngineError &) {
                return qsizetype(0); // the writer holds the table at this moment
            }
        };
        for (int i = 0; i < 100 && written() < 20; ++i)
            QTest::qWait(100);
        child.kill();
        child.waitForFinished();
        Session::instance().reset();
        const auto rows = fixture::rows(QStringLiteral("Arq"));
        QVERIFY(!rows.isEmpty());
        for (const auto &r : rows) {
            QCOMPARE(r.value(QStringLiteral("ArqNomeOrigem")).toString(), QStringLiteral("C:\\REMESSA\\ARQUIVO.TXT"));
            QCOMPARE(r.value(QStringLiteral("ArqNomeDestino")).toString(), QStringLiteral("CB150301.REM"));
        }
    }

    void writerChild()
    {
        const QString prefixPath = qEnvironmentVariable("ZQ_WRITER_CHILD");
        if (prefixPath.isEmpty())
            QSKIP("runs only as the child of aKilledWriterLeavesNoTornRow");
        qputenv("RENOMEIA_ZQ_PREFIX", prefixPath.toLocal8Bit());
        Session::instance().reset();
        Table t;
        zqdb::setupTable(t, QStringLiteral("Arq.DB"));
        t.open();
        for (;;) {
            t.append();
            t.fieldByName(QStringLiteral("ArqNomeOrigem"))->setAsString(QStringLiteral("C:\\REMESSA\\ARQUIVO.TXT"));
            t.fieldByName(QStringLiteral("ArqNomeDestino"))->setAsString(QStringLiteral("CB150301.REM"));
            t.post();
        }
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestTables t;
    // The writer child runs only its own function.
    if (qEnvironmentVariableIsSet("ZQ_WRITER_CHILD")) {
        char *args[] = {argv[0], const_cast<char *>("writerChild")};
        return QTest::qExec(&t, 2, args);
    }
    return QTest::qExec(&t, argc, argv);
}
#include "tst_tables.moc"
