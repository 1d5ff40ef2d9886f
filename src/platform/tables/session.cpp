#include "platform/tables/session.h"
#include "platform/tables/statement.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <unistd.h>

namespace tables {

// ---------------------------------------------------------------- storage

QVariant toStorage(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::Bool: return value.toBool() ? 1 : 0;
    default: return value;
    }
}

namespace {
// The number written in n digits of text from position at, -1 when they are not all digits.
int digits(const QString &text, qsizetype at, int n)
{
    if (at < 0 || at + n > text.size())
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// 'YYYY-MM-DD' and 'HH:MM:SS' read without the toolkit's general parser:
// a log listing converts hundreds of thousands of them.
QDate storedDate(const QString &t)
{
    if (t.size() >= 10 && t.at(4) == QLatin1Char('-') && t.at(7) == QLatin1Char('-')) {
        const int y = digits(t, 0, 4), m = digits(t, 5, 2), d = digits(t, 8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d);
    }
    return QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
}

QTime storedTime(const QString &t)
{
    const qsizetype at = t.size() - 8;
    if (at >= 0 && t.at(at + 2) == QLatin1Char(':') && t.at(at + 5) == QLatin1Char(':')) {
        const int h = digits(t, at, 2), m = digits(t, at + 3, 2), s = digits(t, at + 6, 2);
        if (h >= 0 && m >= 0 && s >= 0)
            return QTime(h, m, s);
    }
    return QTime::fromString(t.right(8), QStringLiteral("HH:mm:ss"));
}
} // namespace

QVariant fromStorage(const QVariant &stored, FieldType type)
{
    if (!stored.isValid() || stored.isNull())
        return QVariant();
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer: return stored.toInt();
    case FieldType::Float: return stored.toDouble();
    case FieldType::Boolean: return stored.toInt() != 0 || stored.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    case FieldType::Date: return storedDate(stored.toString());
    case FieldType::Time: return storedTime(stored.toString());
    case FieldType::DateTime: return QDateTime::fromString(stored.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case FieldType::String: return stored.toString();
    case FieldType::Unknown: break;
    }
    return stored;
}

// ---------------------------------------------------------------- connection

namespace {
QString quotedName(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}
} // namespace

Connection::Connection(const QString &alias, const QString &folder, int busyTimeout) : alias_(alias), folder_(folder)
{
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_close(db_);
        db_ = nullptr;
        throw EDBEngineError(ErrGeneral, why);
    }
    sqlite3_extended_result_codes(db_, 1);
    setBusyTimeout(busyTimeout);
    refresh();
}

void Connection::setBusyTimeout(int milliseconds)
{
    // Another program holding a table gets this long before the engine says it is busy.
    sqlite3_busy_timeout(db_, milliseconds);
}

Connection::~Connection()
{
    sqlite3_close_v2(db_);
}

void Connection::execSimple(const QString &sql, const QStringList &tables)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
    const QString message = QString::fromUtf8(err ? err : "");
    sqlite3_free(err);
    if (rc != SQLITE_OK)
        raiseError(sqlite3_extended_errcode(db_), tables, message);
}

void Connection::refresh()
{
    // Files cannot be attached while a transaction runs; they are taken at the next refresh.
    if (inTransaction_)
        return;
    const QString host = winfs::hostPath(folder_);
    QDirIterator it(host, QDir::Files);
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
        const QByteArray attach = QStringLiteral("ATTACH DATABASE ? AS %1").arg(quotedName(schema)).toUtf8();
        sqlite3_stmt *st = nullptr;
        int rc = sqlite3_prepare_v2(db_, attach.constData(), -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            const QByteArray path = it.filePath().toUtf8();
            sqlite3_bind_text(st, 1, path.constData(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(st);
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) {
            attachError_.insert(key, QString::fromUtf8(sqlite3_errmsg(db_)));
            continue;
        }
        // The file must be a table store holding its table.
        const QByteArray check =
            QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type='table' AND name=? COLLATE NOCASE").arg(quotedName(schema)).toUtf8();
        st = nullptr;
        rc = sqlite3_prepare_v2(db_, check.constData(), -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            const QByteArray name = table.toUtf8();
            sqlite3_bind_text(st, 1, name.constData(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(st);
        }
        const QString why = rc == SQLITE_ROW || rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_finalize(st);
        if (rc != SQLITE_ROW) {
            attachError_.insert(key, why);
            sqlite3_exec(db_, QStringLiteral("DETACH DATABASE %1").arg(quotedName(schema)).toUtf8().constData(), nullptr, nullptr, nullptr);
            continue;
        }
        attachError_.remove(key);
        schemas_.insert(key, schema);
        sqlite3_exec(db_, QStringLiteral("PRAGMA %1.synchronous=FULL").arg(quotedName(schema)).toUtf8().constData(), nullptr, nullptr, nullptr);
        // Pages are read through a mapping of the file instead of a system
        // call each: a listing in log order jumps from page to page.
        sqlite3_exec(db_, QStringLiteral("PRAGMA %1.mmap_size=268435456").arg(quotedName(schema)).toUtf8().constData(), nullptr, nullptr, nullptr);
    }
}

QString Connection::schemaOf(const QString &table) const
{
    return schemas_.value(table.toLower());
}

QString Connection::tableOfSchema(const QString &schema) const
{
    if (!schema.startsWith(QLatin1String("t_")))
        return QString();
    const QString key = schema.mid(2);
    return schemas_.contains(key) ? fileNames_.value(key, key) : QString();
}

QString Connection::tableFile(const QString &table) const
{
    return winfs::includeTrailingBackslash(folder_) + fileNames_.value(table.toLower(), table) + QStringLiteral(".DB");
}

void Connection::raiseMissingTable(const QString &table) const
{
    const QString key = table.toLower();
    const QString file = tableFile(table);
    const QString why = attachError_.value(key);
    if (why.contains(QLatin1String("locked")))
        throw EDBEngineError(ErrLocked, QStringLiteral("Table is busy.\rTable: %1").arg(file));
    if (!why.isEmpty())
        throw EDBEngineError(ErrGeneral, QStringLiteral("Cannot open table %1.\r%2").arg(file, why));
    throw EDBEngineError(ErrNoSuchTable, QStringLiteral("Table does not exist.\rTable: %1").arg(file));
}

void Connection::raiseError(int rc, const QStringList &tables, const QString &message) const
{
    const QString text = message.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(db_)) : message;
    if (rc == SQLITE_CONSTRAINT_PRIMARYKEY || rc == SQLITE_CONSTRAINT_UNIQUE)
        throw EDBEngineError(ErrKeyViolation, QStringLiteral("Key violation."));
    if (text.startsWith(QLatin1String("no such table: "))) {
        QString table = text.mid(15);
        const qsizetype dot = table.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            table = table.mid(dot + 1);
        raiseMissingTable(table);
    }
    const int primary = rc & 0xFF;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        if (!tables.isEmpty())
            throw EDBEngineError(ErrLocked, QStringLiteral("Table is busy.\rTable: %1").arg(tableFile(tables.first())));
        throw EDBEngineError(ErrLocked, QStringLiteral("Table is busy.\r%1").arg(text));
    }
    throw EDBEngineError(ErrGeneral, text);
}

QList<FieldDef> Connection::fieldDefs(const QString &table) const
{
    QList<FieldDef> defs;
    const QString schema = schemaOf(table);
    if (schema.isEmpty())
        raiseMissingTable(table);
    Statement q(const_cast<Connection &>(*this),
                QStringLiteral("PRAGMA %1.table_info(%2)").arg(quotedName(schema), quotedName(table)));
    while (q.step()) {
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

void Connection::startTransaction()
{
    if (inTransaction_)
        throw EDBEngineError(ErrGeneral, QStringLiteral("A transaction is already active"));
    refresh();
    execSimple(QStringLiteral("BEGIN"));
    inTransaction_ = true;
}

void Connection::commit()
{
    execSimple(QStringLiteral("COMMIT"));
    inTransaction_ = false;
}

void Connection::rollback()
{
    if (!inTransaction_)
        return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = false;
}

// ---------------------------------------------------------------- session

Session &Session::instance()
{
    static Session session;
    return session;
}

Session::~Session()
{
    qDeleteAll(connections_);
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
    added_.clear();
    lines_.clear();
    QFile f(configFile());
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(f.readAll());
    lines_ = text.split(QLatin1Char('\n'));
    if (!lines_.isEmpty() && lines_.last().isEmpty())
        lines_.removeLast();
    AliasDef *cur = nullptr;
    for (QString line : lines_) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
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
    added_.append({name, driver, params});
}

namespace {
Session::ConfigWriter &configWriter()
{
    static Session::ConfigWriter writer;
    return writer;
}

bool writeBytes(QIODevice &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size();
}
} // namespace

void Session::setConfigWriter(ConfigWriter writer)
{
    configWriter() = std::move(writer);
}

void Session::saveConfig()
{
    QList<AliasDef> novos = added_;
    // What another copy of the program wrote meanwhile is kept.
    loaded_ = false;
    load();
    QStringList lines = lines_;
    for (const AliasDef &a : std::as_const(novos)) {
        if (aliasExists(a.name))
            continue;
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + a.name + QLatin1Char(']');
        lines << QStringLiteral("Driver=") + a.driver;
        lines << a.params;
        aliases_.append(a);
    }
    QByteArray bytes = lines.join(QLatin1Char('\n')).toUtf8();
    if (!bytes.isEmpty())
        bytes += '\n';

    // The new configuration is written whole under a temporary name of this
    // process and flushed to disk before it takes the place of the old one.
    const auto fail = [this, &novos] {
        added_ = novos; // still to be written
        throw EDBEngineError(ErrConfigWrite, QStringLiteral("Cannot write the engine configuration file %1")
                                                 .arg(winfs::windowsPath(configFile())));
    };
    const QString target = configFile();
    if (QFileInfo(target).isDir())
        fail();
    QDir().mkpath(winfs::prefixDir());
    const QString temp = winfs::prefixDir() + QStringLiteral("/.engine.cfg.%1.tmp").arg(QCoreApplication::applicationPid());
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail();
    const ConfigWriter &writer = configWriter();
    bool ok = writer ? writer(out, bytes) : writeBytes(out, bytes);
    ok = ok && out.flush() && ::fsync(out.handle()) == 0;
    out.close();
    ok = ok && out.error() == QFileDevice::NoError;
    if (!ok || ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temp);
        fail();
    }
    lines_ = lines;
    added_.clear();
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
        auto *c = new Connection(a.name, path, busyTimeout_);
        connections_.insert(key, c);
        return *c;
    }
    throw EDBEngineError(ErrUnknownAlias, QStringLiteral("Unknown database: %1").arg(alias));
}

void Session::closeConnections()
{
    qDeleteAll(connections_);
    connections_.clear();
}

void Session::setBusyTimeout(int milliseconds)
{
    busyTimeout_ = milliseconds;
    for (Connection *c : std::as_const(connections_))
        c->setBusyTimeout(milliseconds);
}

void Session::reset()
{
    qDeleteAll(connections_);
    connections_.clear();
    loaded_ = false;
    aliases_.clear();
    added_.clear();
    lines_.clear();
}

} // namespace tables
