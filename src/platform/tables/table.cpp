#include "platform/tables/table.h"
#include "platform/tables/session.h"
#include "platform/tables/statement.h"
#include "platform/runtime/errors.h"

#include <sqlite3.h>

namespace tables {

namespace {
QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// A value as the table stores it for a field of the given type.
QVariant stored(const QVariant &value, FieldType type)
{
    return toStorage(fromStorage(toStorage(value), type));
}

QString marks(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral("?");
    return m.join(QLatin1Char(','));
}
} // namespace

QString Table::baseName() const
{
    QString n = tableName;
    const qsizetype dot = n.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        n.truncate(dot);
    return n;
}

QString Table::qualified() const
{
    return quoted(schema_) + QLatin1Char('.') + quoted(baseName());
}

QString Table::selectList() const
{
    QStringList cols{QStringLiteral("rowid")};
    for (const FieldDef &d : defs_)
        cols << quoted(d.name);
    return cols.join(QLatin1Char(','));
}

QString Table::orderBy() const
{
    QStringList order;
    for (const QString &k : keyFields_)
        order << quoted(k);
    order << QStringLiteral("rowid");
    return order.join(QLatin1Char(','));
}

DataSet::Row Table::readRow(const Statement &q) const
{
    Row r;
    r.rowid = q.int64(0);
    r.values.resize(defs_.size());
    for (int i = 0; i < defs_.size(); ++i)
        r.values[i] = q.value(i + 1);
    return r;
}

void Table::invalidateRows()
{
    DataSet::invalidateRows();
    lookupCache_.clear();
}

void Table::doOpen(QList<FieldDef> &defs)
{
    Connection &conn = connection();
    conn.refresh();
    schema_ = conn.schemaOf(baseName());
    if (schema_.isEmpty())
        conn.raiseMissingTable(baseName());
    defs_ = conn.fieldDefs(baseName());
    QList<FieldDef> keys;
    for (const FieldDef &d : defs_)
        if (d.keyPos > 0)
            keys.append(d);
    std::sort(keys.begin(), keys.end(), [](const FieldDef &a, const FieldDef &b) { return a.keyPos < b.keyPos; });
    keyFields_.clear();
    for (const FieldDef &k : keys)
        keyFields_ << k.name;
    defs = defs_;
}

QVector<DataSet::Row> Table::fetchRows(int start, int count)
{
    Statement q(connection(), QStringLiteral("SELECT %1 FROM %2 ORDER BY %3 LIMIT ? OFFSET ?").arg(selectList(), qualified(), orderBy()));
    q.bind(1, count);
    q.bind(2, start);
    QVector<Row> rows;
    while (q.step())
        rows.append(readRow(q));
    return rows;
}

int Table::countRows()
{
    Statement q(connection(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(qualified()));
    return q.step() ? int(q.int64(0)) : 0;
}

int Table::positionOf(const Row &row)
{
    // Rows before this one in the table's order.
    QStringList cols;
    QVariantList values;
    for (const QString &k : keyFields_) {
        cols << quoted(k);
        values << row.values.value(fieldByName(k)->index());
    }
    cols << QStringLiteral("rowid");
    values << row.rowid;
    const QString sql = cols.size() == 1
                            ? QStringLiteral("SELECT COUNT(*) FROM %1 WHERE rowid < ?").arg(qualified())
                            : QStringLiteral("SELECT COUNT(*) FROM %1 WHERE (%2) < (%3)")
                                  .arg(qualified(), cols.join(QLatin1Char(',')), marks(int(cols.size())));
    Statement q(connection(), sql);
    for (int i = 0; i < values.size(); ++i)
        q.bind(i + 1, values[i]);
    return q.step() ? int(q.int64(0)) : -1;
}

bool Table::seek(const QString &condition, const QVariantList &values)
{
    Statement q(connection(),
                QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4 LIMIT 1").arg(selectList(), qualified(), condition, orderBy()));
    for (int i = 0; i < values.size(); ++i)
        q.bind(i + 1, values[i]);
    if (!q.step())
        return false;
    setCurrent(readRow(q), -1);
    return true;
}

bool Table::findKey(const QVariantList &keyValues)
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    checkBrowseMode();
    if (keyValues.size() > keyFields_.size())
        throw EDatabaseError(QStringLiteral("Too many key fields"));
    QStringList conditions;
    QVariantList values;
    for (int i = 0; i < keyValues.size(); ++i) {
        const Field *f = fieldByName(keyFields_[i]);
        conditions << quoted(f->fieldName()) + QStringLiteral(" = ?");
        values << stored(keyValues[i], f->dataType());
    }
    if (conditions.isEmpty())
        conditions << QStringLiteral("1");
    if (!seek(conditions.join(QStringLiteral(" AND ")), values))
        return false;
    emit dataChanged();
    return true;
}

bool Table::findRowId(qint64 rowid)
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    checkBrowseMode();
    if (!seek(QStringLiteral("rowid = ?"), {rowid}))
        return false;
    emit dataChanged();
    return true;
}

bool Table::locate(const QString &fieldName, const QVariant &value)
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    checkBrowseMode();
    const Field *f = fieldByName(fieldName);
    if (f->isLookup())
        return DataSet::locate(fieldName, value);
    const QVariant v = stored(value, f->dataType());
    const bool found = v.isValid() ? seek(quoted(f->fieldName()) + QStringLiteral(" = ?"), {v})
                                   : seek(quoted(f->fieldName()) + QStringLiteral(" IS NULL"), {});
    if (found)
        emit dataChanged();
    return found;
}

QVariant Table::lookup(const QString &keyField, const QVariant &key, const QString &resultField) const
{
    const Field *k = findField(keyField);
    const Field *res = findField(resultField);
    if (!k || !res || k->isLookup() || res->isLookup() || !active())
        return QVariant();
    const QVariant v = stored(key, k->dataType());
    if (!v.isValid())
        return QVariant();
    const QString cacheKey = k->fieldName() + QLatin1Char('\x1f') + res->fieldName() + QLatin1Char('\x1f') + v.toString();
    const auto it = lookupCache_.constFind(cacheKey);
    if (it != lookupCache_.constEnd())
        return *it;
    Statement q(const_cast<Table *>(this)->connection(),
                QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %4 LIMIT 1")
                    .arg(quoted(res->fieldName()), qualified(), quoted(k->fieldName()), orderBy()));
    q.bind(1, v);
    const QVariant found = q.step() ? fromStorage(q.value(0), res->dataType()) : QVariant();
    lookupCache_.insert(cacheKey, found);
    return found;
}

DataSet::Row Table::doInsert(const QVector<QVariant> &values)
{
    Connection &conn = connection();
    QStringList cols;
    for (const FieldDef &d : defs_)
        cols << quoted(d.name);
    Statement q(conn, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(qualified(), cols.join(QLatin1Char(',')), marks(int(cols.size()))));
    for (int i = 0; i < defs_.size(); ++i)
        q.bind(i + 1, toStorage(values.value(i)));
    q.exec();
    const qint64 rowid = sqlite3_last_insert_rowid(conn.handle());
    Statement back(conn, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(selectList(), qualified()));
    back.bind(1, rowid);
    if (back.step())
        return readRow(back);
    Row r;
    r.rowid = rowid;
    for (int i = 0; i < defs_.size(); ++i)
        r.values << toStorage(values.value(i));
    return r;
}

QString Table::unchangedCondition(const Row &old, QVariantList &values) const
{
    QStringList conditions;
    if (keyFields_.isEmpty()) {
        conditions << QStringLiteral("rowid = ?");
        values << old.rowid;
    }
    for (int i = 0; i < defs_.size(); ++i) {
        conditions << quoted(defs_[i].name) + QStringLiteral(" IS ?");
        values << old.values.value(i);
    }
    return conditions.join(QStringLiteral(" AND "));
}

void Table::raiseStale(const Row &old) const
{
    // Still there under the same key (or identity): someone else changed it.
    QStringList conditions;
    QVariantList values;
    if (keyFields_.isEmpty()) {
        conditions << QStringLiteral("rowid = ?");
        values << old.rowid;
    }
    for (const QString &k : keyFields_) {
        conditions << quoted(k) + QStringLiteral(" IS ?");
        values << old.values.value(fieldByName(k)->index());
    }
    Statement q(const_cast<Table *>(this)->connection(),
                QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(qualified(), conditions.join(QStringLiteral(" AND "))));
    for (int i = 0; i < values.size(); ++i)
        q.bind(i + 1, values[i]);
    if (q.step())
        throw EDBEngineError(ErrRecordChanged, QStringLiteral("Couldn't perform the edit because another user changed the record."));
    throw EDBEngineError(ErrRecordDeleted, QStringLiteral("Record/Key deleted."));
}

DataSet::Row Table::doUpdate(const Row &old, const QVector<QVariant> &values)
{
    // The row is addressed by the values it had when it was read: a row that
    // another program changed or removed meanwhile is never overwritten.
    Connection &conn = connection();
    QStringList sets;
    for (const FieldDef &d : defs_)
        sets << quoted(d.name) + QStringLiteral(" = ?");
    QVariantList where;
    const QString condition = unchangedCondition(old, where);
    Statement q(conn, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(qualified(), sets.join(QLatin1Char(',')), condition));
    int at = 1;
    for (int i = 0; i < defs_.size(); ++i)
        q.bind(at++, toStorage(values.value(i)));
    for (const QVariant &v : where)
        q.bind(at++, v);
    if (q.exec() == 0)
        raiseStale(old);
    Statement back(conn, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(selectList(), qualified()));
    back.bind(1, old.rowid);
    if (back.step())
        return readRow(back);
    Row r;
    r.rowid = old.rowid;
    for (int i = 0; i < defs_.size(); ++i)
        r.values << toStorage(values.value(i));
    return r;
}

void Table::doDelete(const Row &old)
{
    QVariantList where;
    const QString condition = unchangedCondition(old, where);
    Statement q(connection(), QStringLiteral("DELETE FROM %1 WHERE %2").arg(qualified(), condition));
    for (int i = 0; i < where.size(); ++i)
        q.bind(i + 1, where[i]);
    if (q.exec() == 0)
        raiseStale(old);
}

void Table::emptyTable()
{
    Connection &conn = connection();
    conn.refresh();
    schema_ = conn.schemaOf(baseName());
    if (schema_.isEmpty())
        conn.raiseMissingTable(baseName());
    Statement q(conn, QStringLiteral("DELETE FROM %1").arg(qualified()));
    q.exec();
    if (active()) {
        if (state() != DataSetState::Browse)
            cancel();
        invalidateRows();
        clearCurrent();
        first();
    }
}

} // namespace tables
