#include "platform/tables/table.h"
#include "platform/tables/session.h"
#include "platform/runtime/errors.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace tables {

namespace {
QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
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

void Table::doOpen(QList<FieldDef> &defs, QVector<Row> &rows)
{
    Connection &conn = connection();
    conn.refresh();
    schema_ = conn.schemaOf(baseName());
    if (schema_.isEmpty())
        conn.raiseMissingTable(baseName());
    defs = conn.fieldDefs(baseName());
    QList<FieldDef> keys;
    for (const FieldDef &d : defs)
        if (d.keyPos > 0)
            keys.append(d);
    std::sort(keys.begin(), keys.end(), [](const FieldDef &a, const FieldDef &b) { return a.keyPos < b.keyPos; });
    keyFields_.clear();
    QStringList order;
    for (const FieldDef &k : keys) {
        keyFields_ << k.name;
        order << quoted(k.name);
    }
    order << QStringLiteral("rowid");
    QStringList cols;
    for (const FieldDef &d : defs)
        cols << quoted(d.name);
    QSqlQuery q(conn.db());
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY %3").arg(cols.join(QLatin1Char(',')), qualified(), order.join(QLatin1Char(',')));
    if (!q.exec(sql))
        raiseSqlError(q.lastError(), &conn);
    while (q.next()) {
        Row r;
        r.rowid = q.value(0).toLongLong();
        r.values.resize(defs.size());
        for (int i = 0; i < defs.size(); ++i)
            r.values[i] = fromStorage(q.value(i + 1), defs[i].type);
        rows.append(std::move(r));
    }
}

qint64 Table::doInsert(const QList<Field *> &fields, const QVector<QVariant> &values)
{
    Connection &conn = connection();
    QStringList cols, marks;
    for (Field *f : fields) {
        cols << quoted(f->fieldName());
        marks << QStringLiteral("?");
    }
    QSqlQuery q(conn.db());
    if (!q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(qualified(), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))))
        raiseSqlError(q.lastError(), &conn);
    for (int i = 0; i < fields.size(); ++i)
        q.addBindValue(toStorage(values.value(i)));
    if (!q.exec())
        raiseSqlError(q.lastError(), &conn);
    return q.lastInsertId().toLongLong();
}

void Table::doUpdate(qint64 rowid, const QList<Field *> &fields, const QVector<QVariant> &values)
{
    Connection &conn = connection();
    QStringList sets;
    for (Field *f : fields)
        sets << quoted(f->fieldName()) + QStringLiteral("=?");
    QSqlQuery q(conn.db());
    if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(qualified(), sets.join(QLatin1Char(',')))))
        raiseSqlError(q.lastError(), &conn);
    for (int i = 0; i < fields.size(); ++i)
        q.addBindValue(toStorage(values.value(i)));
    q.addBindValue(rowid);
    if (!q.exec())
        raiseSqlError(q.lastError(), &conn);
}

void Table::doDelete(qint64 rowid)
{
    Connection &conn = connection();
    QSqlQuery q(conn.db());
    if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(qualified())))
        raiseSqlError(q.lastError(), &conn);
    q.addBindValue(rowid);
    if (!q.exec())
        raiseSqlError(q.lastError(), &conn);
}

void Table::emptyTable()
{
    Connection &conn = connection();
    conn.refresh();
    schema_ = conn.schemaOf(baseName());
    if (schema_.isEmpty())
        conn.raiseMissingTable(baseName());
    QSqlQuery q(conn.db());
    if (!q.exec(QStringLiteral("DELETE FROM %1").arg(qualified())))
        raiseSqlError(q.lastError(), &conn);
    if (active()) {
        if (state() != DataSetState::Browse)
            cancel();
        reload(-1);
        cur_ = -1;
        emit dataChanged();
    }
}

namespace {
int compareValues(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid() || a.isNull(), bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    switch (a.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Bool: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default:
        // Stored texts (dates and times included) compare as their stored forms.
        const QString x = toStorage(a).toString(), y = toStorage(b).toString();
        return x.compare(y);
    }
}
} // namespace

void Table::placeWritten(qint64 rowid, const QVector<QVariant> &values, bool inserted)
{
    // The row as stored: values go through their storage form and back.
    Row row;
    row.rowid = rowid;
    row.values.resize(values.size());
    for (int i = 0; i < values.size(); ++i)
        row.values[i] = fromStorage(toStorage(values[i]), fields().at(i)->dataType());
    if (!inserted) {
        for (int i = 0; i < rows_.size(); ++i)
            if (rows_[i].rowid == rowid) {
                rows_.removeAt(i);
                break;
            }
    }
    QList<int> keyIdx;
    for (const QString &k : keyFields_)
        keyIdx << fieldByName(k)->index();
    auto less = [&](const Row &a, const Row &b) {
        for (int k : keyIdx) {
            const int c = compareValues(a.values.value(k), b.values.value(k));
            if (c != 0)
                return c < 0;
        }
        return a.rowid < b.rowid;
    };
    const auto pos = std::lower_bound(rows_.begin(), rows_.end(), row, less);
    cur_ = int(pos - rows_.begin());
    rows_.insert(pos, std::move(row));
    invalidateIndex();
    resetBounds();
}

bool Table::findKey(const QVariantList &keyValues)
{
    checkBrowseMode();
    if (keyValues.size() > keyFields_.size())
        throw EDatabaseError(QStringLiteral("Too many key fields"));
    QList<int> idx;
    QList<QVariant> want;
    for (int i = 0; i < keyValues.size(); ++i) {
        const Field *f = fieldByName(keyFields_[i]);
        idx << f->index();
        want << fromStorage(toStorage(keyValues[i]), f->dataType());
    }
    for (int r = 0; r < rows_.size(); ++r) {
        bool match = true;
        for (int i = 0; i < idx.size() && match; ++i)
            match = rows_[r].values.value(idx[i]) == want[i];
        if (match) {
            moveTo(r);
            return true;
        }
    }
    return false;
}

} // namespace tables
