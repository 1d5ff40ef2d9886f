#include "platform/tables/query.h"
#include "platform/tables/session.h"
#include "platform/runtime/errors.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tables {

void Param::setValue(const QVariant &v)
{
    value = v;
    bound = true;
}

QVariant Param::storageValue() const
{
    if (!value.isValid() || value.isNull())
        return QVariant(QMetaType(QMetaType::QString));
    switch (dataType) {
    case FieldType::SmallInt:
    case FieldType::Integer:
        return value.toLongLong();
    case FieldType::Float:
        return value.toDouble();
    case FieldType::Boolean:
        return value.toBool() ? 1 : 0;
    case FieldType::Date:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case FieldType::Time:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case FieldType::DateTime: {
        const QDateTime dt = value.toDateTime();
        // A date-time at midnight compares equal to a date column of that day.
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
        return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case FieldType::String:
        return value.toString();
    case FieldType::Unknown:
        break;
    }
    return toStorage(value);
}

Query::~Query()
{
    qDeleteAll(params_);
}

void Query::setSQL(const QStringList &lines)
{
    if (active())
        close();
    sql_ = lines;
    parseParams();
}

void Query::addSQL(const QString &line)
{
    QStringList l = sql_;
    l << line;
    setSQL(l);
}

namespace {
// Walks the text outside quotes, calling back on each ":Name".
template <typename F>
QString scanParams(const QString &text, F onParam)
{
    QString out;
    const int n = int(text.size());
    QChar quote;
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < n && (text.at(i + 1).isLetter() || text.at(i + 1) == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < n && (text.at(j).isLetterOrNumber() || text.at(j) == QLatin1Char('_')))
                ++j;
            out += onParam(text.mid(i + 1, j - i - 1));
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}
} // namespace

void Query::parseParams()
{
    QList<Param *> old = params_;
    params_.clear();
    scanParams(text(), [&](const QString &name) {
        for (Param *p : params_)
            if (p->name.compare(name, Qt::CaseInsensitive) == 0)
                return QString();
        Param *p = nullptr;
        for (int i = 0; i < old.size(); ++i)
            if (old[i]->name.compare(name, Qt::CaseInsensitive) == 0) {
                p = old.takeAt(i);
                break;
            }
        if (!p) {
            p = new Param;
            p->name = name;
        }
        params_.append(p);
        return QString();
    });
    qDeleteAll(old);
}

void Query::declareParam(const QString &name, FieldType type)
{
    paramByName(name).dataType = type;
}

Param &Query::paramByName(const QString &name)
{
    for (Param *p : params_)
        if (p->name.compare(name, Qt::CaseInsensitive) == 0)
            return *p;
    throw EDatabaseError(QStringLiteral("Parameter '%1' not found").arg(name));
}

QString Query::prepared(QList<Param *> &order) const
{
    return scanParams(text(), [&](const QString &name) {
        for (Param *p : params_)
            if (p->name.compare(name, Qt::CaseInsensitive) == 0) {
                if (!p->bound)
                    throw EDatabaseError(QStringLiteral("No value for parameter '%1'").arg(p->name));
                order << p;
            }
        return QStringLiteral("?");
    });
}

void Query::run(QSqlQuery &q, Connection &conn) const
{
    conn.refresh();
    QList<Param *> order;
    const QString statement = prepared(order);
    q.setForwardOnly(true);
    if (!q.prepare(statement))
        raiseSqlError(q.lastError(), &conn);
    for (Param *p : order)
        q.addBindValue(p->storageValue());
    if (!q.exec())
        raiseSqlError(q.lastError(), &conn);
}

void Query::execSQL()
{
    if (active())
        close();
    Connection &conn = connection();
    QSqlQuery q(conn.db());
    run(q, conn);
    rowsAffected_ = q.numRowsAffected();
}

void Query::doOpen(QList<FieldDef> &defs, QVector<Row> &rows)
{
    Connection &conn = connection();
    QSqlQuery q(conn.db());
    run(q, conn);
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i) {
        FieldDef d;
        if (!conn.findColumn(rec.fieldName(i), d)) {
            d.name = rec.fieldName(i);
            d.type = FieldType::String;
            d.size = 255;
        }
        d.name = rec.fieldName(i);
        d.keyPos = 0;
        defs.append(d);
    }
    qint64 n = 0;
    while (q.next()) {
        Row r;
        r.rowid = n++;
        r.values.resize(defs.size());
        for (int i = 0; i < defs.size(); ++i)
            r.values[i] = fromStorage(q.value(i), defs[i].type);
        rows.append(std::move(r));
    }
}

} // namespace tables
