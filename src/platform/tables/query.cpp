#include "platform/tables/query.h"
#include "platform/tables/session.h"
#include "platform/tables/statement.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace tables {

// ---------------------------------------------------------------- parameters

void Param::setValue(const QVariant &v)
{
    if (dataType == FieldType::Unknown)
        throw EDatabaseError(QStringLiteral("Parameter '%1' has no declared type").arg(name));
    QVariant out;
    if (v.isValid() && !v.isNull()) {
        const bool isText = v.typeId() == QMetaType::QString;
        switch (dataType) {
        case FieldType::SmallInt:
        case FieldType::Integer:
            out = isText ? StrToInt(v.toString()) : int(v.toLongLong());
            break;
        case FieldType::Float:
            out = v.toDouble();
            break;
        case FieldType::Boolean:
            out = v.toBool();
            break;
        case FieldType::Date:
            if (isText)
                out = StrToDate(v.toString());
            else
                out = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
            break;
        case FieldType::Time:
            if (isText)
                out = StrToTime(v.toString());
            else
                out = v.typeId() == QMetaType::QDateTime ? v.toDateTime().time() : v.toTime();
            break;
        case FieldType::DateTime:
            out = v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
            break;
        case FieldType::String:
            out = v.toString();
            break;
        case FieldType::Unknown:
            break;
        }
    }
    value = out;
    bound = true;
}

QVariant Param::storageValue() const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
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

// ---------------------------------------------------------------- text

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

void Query::setSQL(const SqlText &statement)
{
    declareParams(statement.params);
    setSQL(statement.lines);
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

// Position of the last ORDER BY outside quotes and parentheses, -1 when none.
qsizetype lastOrderBy(const QString &text)
{
    static const QRegularExpression orderBy(QStringLiteral("^order\\s+by\\b"), QRegularExpression::CaseInsensitiveOption);
    qsizetype found = -1;
    int depth = 0;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quote = c;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        else if (depth == 0 && (c == QLatin1Char('o') || c == QLatin1Char('O')) && (i == 0 || !text.at(i - 1).isLetterOrNumber())
                 && orderBy.match(QStringView(text).mid(i)).hasMatch())
            found = i;
    }
    return found;
}

// A plain select from one table gets the row identity as its first column,
// so that a row it finds can be edited through a table.
bool withRowId(QString &statement)
{
    static const QRegularExpression single(
        QStringLiteral("^(\\s*select\\s+)(?!distinct\\b)([^()]*?)(\\s+from\\s+)([A-Za-z_][A-Za-z0-9_]*)(\\s*|\\s+(?:where|order)\\b.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = single.match(statement);
    if (!m.hasMatch())
        return false;
    statement = m.captured(1) + m.captured(4) + QStringLiteral(".rowid, ") + m.captured(2) + m.captured(3) + m.captured(4)
                + m.captured(5);
    return true;
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
            p->dataType = types_.value(name.toLower(), FieldType::Unknown);
        }
        params_.append(p);
        return QString();
    });
    qDeleteAll(old);
}

void Query::declareParam(const QString &name, FieldType type)
{
    types_.insert(name.toLower(), type);
    for (Param *p : params_)
        if (p->name.compare(name, Qt::CaseInsensitive) == 0 && p->dataType != type) {
            p->dataType = type;
            if (p->bound)
                p->setValue(p->value);
        }
}

void Query::declareParams(const QList<ParamDecl> &params)
{
    for (const ParamDecl &d : params)
        declareParam(d.name, d.type);
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

void Query::bindAll(Statement &q, const QList<Param *> &order, int from) const
{
    for (int i = 0; i < order.size(); ++i)
        q.bind(from + i, order[i]->storageValue());
}

// ---------------------------------------------------------------- running

void Query::execSQL()
{
    if (active())
        close();
    Connection &conn = connection();
    conn.refresh();
    QList<Param *> order;
    Statement q(conn, prepared(order));
    bindAll(q, order);
    const int changed = q.exec();
    rowsAffected_ = q.columnCount() == 0 ? changed : 0;
}

void Query::doOpen(QList<FieldDef> &defs)
{
    Connection &conn = connection();
    conn.refresh();
    order_.clear();
    select_ = prepared(order_);
    hasRowId_ = withRowId(select_);
    Statement q(conn, select_);
    bindAll(q, order_);
    const int first = hasRowId_ ? 1 : 0;
    bool stepped = false, hasRow = false;
    for (int i = first; i < q.columnCount(); ++i) {
        FieldDef d;
        d.name = q.columnName(i);
        d.type = fieldTypeFromDecl(q.declaredType(i), &d.size);
        if (d.type == FieldType::Unknown) {
            // An expression takes the type of its value.
            if (!stepped) {
                hasRow = q.step();
                stepped = true;
            }
            switch (hasRow ? q.valueType(i) : SQLITE_NULL) {
            case SQLITE_INTEGER: d.type = FieldType::Integer; break;
            case SQLITE_FLOAT: d.type = FieldType::Float; break;
            default: d.type = FieldType::String; d.size = 255; break;
            }
        }
        defs.append(d);
    }
}

QVector<DataSet::Row> Query::fetchRows(int start, int count)
{
    static const QRegularExpression limit(QStringLiteral("\\blimit\\b"), QRegularExpression::CaseInsensitiveOption);
    const QString sql = limit.match(select_).hasMatch()
                            ? QStringLiteral("SELECT * FROM (%1) LIMIT ? OFFSET ?").arg(select_)
                            : select_ + QStringLiteral("\nLIMIT ? OFFSET ?");
    Statement q(connection(), sql);
    bindAll(q, order_);
    q.bind(int(order_.size()) + 1, count);
    q.bind(int(order_.size()) + 2, start);
    QVector<Row> rows;
    const int first = hasRowId_ ? 1 : 0;
    const int columns = q.columnCount() - first;
    while (q.step()) {
        Row r;
        r.rowid = hasRowId_ ? q.int64(0) : 0;
        r.values.resize(columns);
        for (int i = 0; i < columns; ++i)
            r.values[i] = q.value(first + i);
        rows.append(std::move(r));
    }
    return rows;
}

void Query::forEachRow(const std::function<void()> &visit)
{
    if (!active())
        open();
    constexpr int Bloco = 8192;
    for (int start = 0;; start += Bloco) {
        const QVector<Row> rows = fetchRows(start, Bloco);
        for (int i = 0; i < rows.size(); ++i) {
            setCurrent(rows[i], start + i);
            visit();
        }
        if (rows.size() < Bloco)
            break;
    }
    first();
}

int Query::countRows()
{
    // The order does not change the count: the engine is spared the sort.
    QString body = select_;
    const qsizetype order = lastOrderBy(body);
    if (order >= 0 && !body.mid(order).contains(QLatin1Char('?')))
        body.truncate(order);
    Statement q(connection(), QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(body));
    bindAll(q, order_);
    return q.step() ? int(q.int64(0)) : 0;
}

} // namespace tables
