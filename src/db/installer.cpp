#include "db/installer.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"
#include "platform/tables/session.h"

#include <QFile>

#include <sqlite3.h>

// The installed rows are compiled into this static library.
static void loadInstalledRows()
{
    Q_INIT_RESOURCE(installed_rows);
}

namespace zqdb {

namespace {

const QStringList allTables{QStringLiteral("Ctr"), QStringLiteral("Age"), QStringLiteral("Svc"),
                            QStringLiteral("Arq"), QStringLiteral("Rsi")};

QStringList installedRows(const QString &table)
{
    QStringList out;
    loadInstalledRows();
    QFile f(QStringLiteral(":/data/%1.csv").arg(table));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList v = line.split(QLatin1Char(';'));
        if (table == QLatin1String("Svc") && v.size() == 4)
            out << QStringLiteral("INSERT INTO Svc (SvcCod, SisCod, SvcID, SvcTam) VALUES ('%1', '%2', %3, %4)")
                       .arg(v[0], v[1], QString::number(v[2].toInt()), QString::number(v[3].toInt()));
        else if (table == QLatin1String("Rsi") && v.size() == 2)
            out << QStringLiteral("INSERT INTO Rsi (IdSis, IdRet) VALUES ('%1', '%2')").arg(v[0], v[1]);
    }
    return out;
}

} // namespace

QStringList impressaoStatements(const QString &schema)
{
    const QString em = schema.isEmpty() ? QString() : schema + QLatin1Char('.');
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS %1ArqImp (ImpArq INTEGER PRIMARY KEY, ImpConteudo INTEGER NOT NULL, "
                           "ImpSequencia INTEGER)").arg(em),
            QStringLiteral("CREATE INDEX IF NOT EXISTS %1ArqImpConteudo ON ArqImp (ImpConteudo)").arg(em),
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1ArqImpComORegistro AFTER DELETE ON Arq "
                           "BEGIN DELETE FROM ArqImp WHERE ImpArq = old.rowid; END").arg(em)};
}

QStringList indexStatements(const QString &table)
{
    if (table != QLatin1String("Arq"))
        return {};
    // The remittance windows count a contract's files of a day and look one
    // file up; the log window lists by contract and operation time, or by file
    // date; the start-up purge goes by operation date.
    return QStringList{QStringLiteral("CREATE INDEX IF NOT EXISTS ArqContratoData ON Arq (ArqCtrAgencia, ArqCtrContrato, ArqDataOrigem)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS ArqRemessaDia ON Arq "
                           "(ArqCtrAgencia, ArqCtrContrato, ArqCtrServico, ArqDataOrigem, ArqNomeOrigem)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS ArqListagem ON Arq (ArqCtrAgencia, ArqCtrContrato, ArqDataOper, ArqHoraOper)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS ArqDataOrigemIdx ON Arq (ArqDataOrigem)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS ArqDataOperIdx ON Arq (ArqDataOper)")}
        + impressaoStatements();
}

QStringList createStatements(const QString &table)
{
    if (table == QLatin1String("Ctr"))
        return {QStringLiteral("CREATE TABLE Ctr (CtrAgencia SMALLINT NOT NULL, CtrContrato INTEGER NOT NULL, "
                               "CtrServico VARCHAR(2) NOT NULL, CtrDirRemessa VARCHAR(255), CtrDirRetorno VARCHAR(255), "
                               "CtrDescricao VARCHAR(200), PRIMARY KEY (CtrAgencia, CtrContrato, CtrServico))")};
    if (table == QLatin1String("Age"))
        return {QStringLiteral("CREATE TABLE Age (AgeCod SMALLINT NOT NULL PRIMARY KEY, AgeNome VARCHAR(30))")};
    if (table == QLatin1String("Svc"))
        return {QStringLiteral("CREATE TABLE Svc (SvcCod VARCHAR(2) NOT NULL PRIMARY KEY, SisCod VARCHAR(3), "
                               "SvcID INTEGER, SvcTam INTEGER)")};
    if (table == QLatin1String("Arq"))
        return QStringList{QStringLiteral("CREATE TABLE Arq (ArqCtrAgencia SMALLINT, ArqCtrContrato INTEGER, ArqCtrServico VARCHAR(2), "
                               "ArqDataOper DATE, ArqHoraOper TIME, ArqNomeOrigem VARCHAR(255), ArqNomeDestino VARCHAR(255), "
                               "ArqRemessa BOOLEAN, ArqNumRemessa SMALLINT, ArqDataOrigem DATE, ArqHoraOrigem TIME)")}
               + indexStatements(table);
    if (table == QLatin1String("Rsi"))
        return {QStringLiteral("CREATE TABLE Rsi (IdSis VARCHAR(3) NOT NULL, IdRet VARCHAR(2) NOT NULL, PRIMARY KEY (IdSis, IdRet))")};
    return {};
}

namespace {
// Runs statements on a table file in one transaction; the engine's text when one fails.
QString runOnFile(const QString &host, const QStringList &statements, bool create)
{
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(QFile::encodeName(host).constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return why;
    }
    sqlite3_busy_timeout(db, 500);
    QString error;
    const auto run = [&](const QString &sql) {
        char *err = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK)
            error = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        return error.isEmpty();
    };
    if (run(QStringLiteral("BEGIN"))) {
        for (const QString &s : statements)
            if (!run(s))
                break;
        if (error.isEmpty())
            run(QStringLiteral("COMMIT"));
        else
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
    return error;
}
} // namespace

void createTableFile(const QString &folder, const QString &table, const QStringList &statements)
{
    if (!winfs::forceDirectories(folder))
        throw EDBEngineError(tables::ErrGeneral, QStringLiteral("Cannot create the folder %1").arg(folder));
    const QString host = winfs::hostPath(winfs::includeTrailingBackslash(folder) + table + QStringLiteral(".db"));
    const QString error = runOnFile(host, statements, true);
    if (!error.isEmpty()) {
        QFile::remove(host);
        throw EDBEngineError(tables::ErrGeneral, QStringLiteral("Cannot create table %1: %2").arg(table, error));
    }
}

QStringList installTables(const QString &folder)
{
    QStringList created;
    for (const QString &t : allTables) {
        const QString file = winfs::includeTrailingBackslash(folder) + t + QStringLiteral(".db");
        if (winfs::fileExists(file)) {
            // Tables laid out by earlier versions get the indexes the program's
            // statements need; their rows are left as they are. A table that
            // cannot be reached now gets them at the next setup.
            if (!indexStatements(t).isEmpty())
                runOnFile(winfs::hostPath(file), indexStatements(t), false);
            continue;
        }
        createTableFile(folder, t, createStatements(t) + installedRows(t));
        created << t;
    }
    return created;
}

} // namespace zqdb
