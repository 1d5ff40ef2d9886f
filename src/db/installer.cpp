#include "db/installer.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"
#include "platform/tables/session.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

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
        return {QStringLiteral("CREATE TABLE Arq (ArqCtrAgencia SMALLINT, ArqCtrContrato INTEGER, ArqCtrServico VARCHAR(2), "
                               "ArqDataOper DATE, ArqHoraOper TIME, ArqNomeOrigem VARCHAR(255), ArqNomeDestino VARCHAR(255), "
                               "ArqRemessa BOOLEAN, ArqNumRemessa SMALLINT, ArqDataOrigem DATE, ArqHoraOrigem TIME)"),
                // The log queries look rows up by contract and file date, and the purge by operation date.
                QStringLiteral("CREATE INDEX ArqContratoData ON Arq (ArqCtrAgencia, ArqCtrContrato, ArqDataOrigem)"),
                QStringLiteral("CREATE INDEX ArqDataOperIdx ON Arq (ArqDataOper)")};
    if (table == QLatin1String("Rsi"))
        return {QStringLiteral("CREATE TABLE Rsi (IdSis VARCHAR(3) NOT NULL, IdRet VARCHAR(2) NOT NULL, PRIMARY KEY (IdSis, IdRet))")};
    return {};
}

void createTableFile(const QString &folder, const QString &table, const QStringList &statements)
{
    if (!winfs::forceDirectories(folder))
        throw EDBEngineError(tables::ErrGeneral, QStringLiteral("Cannot create the folder %1").arg(folder));
    const QString host = winfs::hostPath(winfs::includeTrailingBackslash(folder) + table + QStringLiteral(".db"));
    const QString conn = QStringLiteral("zq-install-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(host);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            db.transaction();
            for (const QString &s : statements) {
                if (!q.exec(s)) {
                    error = q.lastError().databaseText();
                    break;
                }
            }
            if (error.isEmpty())
                db.commit();
            else
                db.rollback();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
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
        if (winfs::fileExists(file))
            continue;
        createTableFile(folder, t, createStatements(t) + installedRows(t));
        created << t;
    }
    return created;
}

} // namespace zqdb
