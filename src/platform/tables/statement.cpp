#include "platform/tables/statement.h"
#include "platform/tables/session.h"

#include <sqlite3.h>

namespace tables {

namespace {

struct Watch {
    Connection *conn;
    QStringList *read;
    QStringList *written;
};

void note(QStringList &list, const QString &table)
{
    if (!table.isEmpty() && !list.contains(table, Qt::CaseInsensitive))
        list << table;
}

// Sees, while a statement is prepared, which tables it reads and writes.
int authorize(void *data, int action, const char *a1, const char *, const char *a3, const char *)
{
    auto *w = static_cast<Watch *>(data);
    const QString schema = QString::fromUtf8(a3 ? a3 : "");
    const QString table = w->conn->tableOfSchema(schema);
    if (table.isEmpty() || !a1 || qstrnicmp(a1, "sqlite_", 7) == 0)
        return SQLITE_OK;
    switch (action) {
    case SQLITE_READ:
        note(*w->read, table);
        break;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        note(*w->written, table);
        break;
    default:
        break;
    }
    return SQLITE_OK;
}

} // namespace

Statement::Statement(Connection &conn, const QString &sql) : conn_(conn)
{
    Watch watch{&conn, &read_, &written_};
    sqlite3_set_authorizer(conn.handle(), authorize, &watch);
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(conn.handle(), text.constData(), int(text.size()), &stmt_, nullptr);
    sqlite3_set_authorizer(conn.handle(), nullptr, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        fail(rc);
    }
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

void Statement::fail(int rc) const
{
    QStringList tables = written_;
    for (const QString &t : read_)
        note(tables, t);
    conn_.raiseError(rc, tables);
}

int Statement::parameterCount() const
{
    return stmt_ ? sqlite3_bind_parameter_count(stmt_) : 0;
}

void Statement::bind(int position, const QVariant &v)
{
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(stmt_, position);
    } else {
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt_, position, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, position, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(stmt_, position, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, position, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(rc);
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The statement is reset so that it holds no lock while the error travels.
    const int code = sqlite3_extended_errcode(conn_.handle());
    const QString message = QString::fromUtf8(sqlite3_errmsg(conn_.handle()));
    sqlite3_reset(stmt_);
    QStringList tables = written_;
    for (const QString &t : read_)
        note(tables, t);
    conn_.raiseError(code ? code : rc, tables, message);
}

int Statement::exec()
{
    while (step()) {
    }
    return sqlite3_changes(conn_.handle());
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

QString Statement::declaredType(int column) const
{
    const char *t = sqlite3_column_decltype(stmt_, column);
    return t ? QString::fromUtf8(t) : QString();
}

int Statement::valueType(int column) const
{
    return sqlite3_column_type(stmt_, column);
}

bool Statement::isNull(int column) const
{
    return valueType(column) == SQLITE_NULL;
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_TEXT: {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(stmt_, column)));
    }
    case SQLITE_BLOB: {
        const auto *p = static_cast<const char *>(sqlite3_column_blob(stmt_, column));
        return QVariant(QByteArray(p, sqlite3_column_bytes(stmt_, column)));
    }
    default:
        return QVariant();
    }
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

} // namespace tables
