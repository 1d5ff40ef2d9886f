#include "platform/tables/session.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace tables {

// ---------------------------------------------------------------- storage

QVariant toStorage(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant(QMetaType(QMetaType::QString));
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::Bool: return value.toBool() ? 1 : 0;
    default: return value;
    }
}

QVariant fromStorage(const QVariant &stored, FieldType type)
{
    if (!stored.isValid() || stored.isNull())
        return QVariant();
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer: return stored.toInt();
    case FieldType::Float: return stored.toDouble();
    case FieldType::Boolean: return stored.toInt() != 0 || stored.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    case FieldType::Date: return QDate::fromString(stored.toString().left(10), QStringLiteral("yyyy-MM-dd"));
    case FieldType::Time: return QTime::fromString(stored.toString().right(8), QStringLiteral("HH:mm:ss"));
    case FieldType::DateTime: return QDateTime::fromString(stored.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case FieldType::String: return stored.toString();
    case FieldType::Unknown: break;
    }
    return stored;
}

// ---------------------------------------------------------------- errors

[[noreturn]] void raiseSqlError(const QSqlError &error, const Connection *conn)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (text.contains(QLatin1String("UNIQUE constraint failed")) || text.contains(QLatin1String("PRIMARY KEY")))
        throw EDBEngineError(ErrKeyViolation, QStringLiteral("Key violation."));
    if (text.startsWith(QLatin1String("no such table: ")) && conn) {
        QString table = text.mid(15);
        const qsizetype dot = table.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            table = table.mid(dot + 1);
        conn->raiseMissingTable(table);
    }
    if (text.contains(QLatin1String("database is locked")) || text.contains(QLatin1String("database table is locked")))
        throw EDBEngineError(ErrLocked, QStringLiteral("Table is busy.\r%1").arg(text));
    throw EDBEngineError(ErrGeneral, text);
}

// ---------------------------------------------------------------- connection

Connection::Connection(const QString &alias, const QString &folder)
    : alias_(alias), folder_(folder),
      connName_(QStringLiteral("zq-") + alias.toLower() + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connName_);
    db.setDatabaseName(QStringLiteral(":memory:"));
    if (!db.open())
        raiseSqlError(db.lastError());
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA busy_timeout=500"));
    refresh();
}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connName_);
}

QSqlDatabase Connection::db() const
{
    return QSqlDatabase::database(connName_, false);
}

void Connection::refresh()
{
    const QString host = winfs::hostPath(folder_);
    QDirIterator it(host, QDir::Files);
    QSqlDatabase database = db();
    while (it.hasNext()) {
        it.next();
        const QString file = it.fileName();
        if (!file.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
            continue;
        const QString table = file.chopped(3);
        const QString key = table.toLower();
        fileNames_.insert(key, table);
        if (schemas_.contains(key))
            continue;
        const QString schema = QStringLiteral("t_") + key;
        QSqlQuery q(database);
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS \"%1\"").arg(schema));
        q.addBindValue(it.filePath());
        if (!q.exec()) {
            attachError_.insert(key, q.lastError().databaseText());
            continue;
        }
        // The file must be a table store holding its table.
        QSqlQuery check(database);
        check.prepare(QStringLiteral("SELECT name FROM \"%1\".sqlite_master WHERE type='table' AND name=? COLLATE NOCASE").arg(schema));
        check.addBindValue(table);
        if (!check.exec() || !check.next()) {
            attachError_.insert(key, check.lastError().isValid() ? check.lastError().databaseText() : QString());
            check.finish();
            QSqlQuery(database).exec(QStringLiteral("DETACH DATABASE \"%1\"").arg(schema));
            continue;
        }
        check.finish();
        attachError_.remove(key);
        schemas_.insert(key, schema);
        QSqlQuery(database).exec(QStringLiteral("PRAGMA \"%1\".synchronous=FULL").arg(schema));
    }
}

QString Connection::schemaOf(const QString &table) const
{
    return schemas_.value(table.toLower());
}

void Connection::raiseMissingTable(const QString &table) const
{
    const QString key = table.toLower();
    const QString file = winfs::includeTrailingBackslash(folder_) + fileNames_.value(key, table) + QStringLiteral(".DB");
    const QString why = attachError_.value(key);
    if (why.contains(QLatin1String("locked")))
        throw EDBEngineError(ErrLocked, QStringLiteral("Table is busy.\rTable: %1").arg(file));
    if (!why.isEmpty())
        throw EDBEngineError(ErrGeneral, QStringLiteral("Cannot open table %1.\r%2").arg(file, why));
    throw EDBEngineError(ErrNoSuchTable, QStringLiteral("Table does not exist.\rTable: %1").arg(file));
}

QList<FieldDef> Connection::fieldDefs(const QString &table) const
{
    QList<FieldDef> defs;
    const QString schema = schemaOf(table);
    if (schema.isEmpty())
        raiseMissingTable(table);
    QSqlQuery q(db());
    if (!q.exec(QStringLiteral("PRAGMA \"%1\".table_info(\"%2\")").arg(schema, table)))
        raiseSqlError(q.lastError(), this);
    while (q.next()) {
        FieldDef d;
        d.name = q.value(1).toString();
        d.type = fieldTypeFromDecl(q.value(2).toString(), &d.size);
        d.keyPos = q.value(5).toInt();
        defs.append(d);
    }
    if (defs.isEmpty())
        raiseMissingTable(table);
    return defs;
}

bool Connection::findColumn(const QString &column, FieldDef &def) const
{
    for (auto it = schemas_.constBegin(); it != schemas_.constEnd(); ++it) {
        QSqlQuery q(db());
        if (!q.exec(QStringLiteral("PRAGMA \"%1\".table_info(\"%2\")").arg(it.value(), it.key())))
            continue;
        while (q.next()) {
            if (q.value(1).toString().compare(column, Qt::CaseInsensitive) == 0) {
                def.name = q.value(1).toString();
                def.type = fieldTypeFromDecl(q.value(2).toString(), &def.size);
                return true;
            }
        }
    }
    return false;
}

void Connection::startTransaction()
{
    if (inTransaction_)
        throw EDBEngineError(ErrGeneral, QStringLiteral("A transaction is already active"));
    QSqlQuery q(db());
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        raiseSqlError(q.lastError(), this);
    inTransaction_ = true;
}

void Connection::commit()
{
    QSqlQuery q(db());
    if (!q.exec(QStringLiteral("COMMIT")))
        raiseSqlError(q.lastError(), this);
    inTransaction_ = false;
}

void Connection::rollback()
{
    if (!inTransaction_)
        return;
    QSqlQuery q(db());
    q.exec(QStringLiteral("ROLLBACK"));
    inTransaction_ = false;
}

// ---------------------------------------------------------------- session

Session &Session::instance()
{
    static Session session;
    return session;
}

QString Session::configFile() const
{
    return winfs::prefixDir() + QStringLiteral("/engine.cfg");
}

void Session::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    aliases_.clear();
    QFile f(configFile());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    AliasDef *cur = nullptr;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            aliases_.append({line.mid(1, line.size() - 2), QString(), {}});
            cur = &aliases_.last();
            continue;
        }
        if (!cur)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (key.compare(QLatin1String("Driver"), Qt::CaseInsensitive) == 0)
            cur->driver = line.mid(eq + 1).trimmed();
        else
            cur->params << key + QLatin1Char('=') + line.mid(eq + 1).trimmed();
    }
}

QStringList Session::aliasNames()
{
    load();
    QStringList names;
    for (const AliasDef &a : aliases_)
        names << a.name;
    return names;
}

bool Session::aliasExists(const QString &name)
{
    return aliasNames().contains(name, Qt::CaseInsensitive);
}

void Session::addAlias(const QString &name, const QString &driver, const QStringList &params)
{
    if (aliasExists(name))
        throw EDBEngineError(ErrGeneral, QStringLiteral("Name conflict: alias %1 already exists").arg(name));
    aliases_.append({name, driver, params});
}

void Session::saveConfig()
{
    load();
    QString text;
    for (const AliasDef &a : aliases_) {
        text += QLatin1Char('[') + a.name + QStringLiteral("]\n");
        text += QStringLiteral("Driver=") + a.driver + QLatin1Char('\n');
        for (const QString &p : a.params)
            text += p + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    QSaveFile f(configFile());
    QDir().mkpath(winfs::prefixDir());
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
        throw EDBEngineError(ErrConfigWrite, QStringLiteral("Cannot write the engine configuration file %1")
                                                 .arg(winfs::windowsPath(configFile())));
}

Connection &Session::connection(const QString &alias)
{
    const QString key = alias.toLower();
    if (Connection *c = connections_.value(key))
        return *c;
    load();
    for (const AliasDef &a : aliases_) {
        if (a.name.compare(alias, Qt::CaseInsensitive) != 0)
            continue;
        QString path;
        for (const QString &p : a.params)
            if (p.startsWith(QLatin1String("PATH="), Qt::CaseInsensitive))
                path = p.mid(5);
        auto *c = new Connection(a.name, path);
        connections_.insert(key, c);
        return *c;
    }
    throw EDBEngineError(ErrUnknownAlias, QStringLiteral("Unknown database: %1").arg(alias));
}

void Session::reset()
{
    qDeleteAll(connections_);
    connections_.clear();
    loaded_ = false;
    aliases_.clear();
}

} // namespace tables
