#pragma once
// A query: SQL lines joined with line breaks, named parameters (":Name")
// with declared types, open for rows, execSQL for none.
#include <QStringList>

class QSqlQuery;

#include "platform/tables/dataset.h"

namespace tables {

class Param {
public:
    QString name;
    FieldType dataType = FieldType::Unknown;
    QVariant value;
    bool bound = false;

    void setAsSmallInt(int v) { set(FieldType::SmallInt, v); }
    void setAsInteger(int v) { set(FieldType::Integer, v); }
    void setAsString(const QString &v) { set(FieldType::String, v); }
    void setAsDate(const QDate &v) { set(FieldType::Date, v); }
    void setAsTime(const QTime &v) { set(FieldType::Time, v); }
    void setAsDateTime(const QDateTime &v) { set(FieldType::DateTime, v); }
    void setAsBoolean(bool v) { set(FieldType::Boolean, v); }
    // Keeps the declared type, converting the value to it.
    void setValue(const QVariant &v);
    void clear() { value = QVariant(); bound = false; }

    // The value as bound to the statement.
    QVariant storageValue() const;

private:
    void set(FieldType t, const QVariant &v)
    {
        if (dataType == FieldType::Unknown)
            dataType = t;
        setValue(v);
    }
};

class Query : public DataSet {
    Q_OBJECT
public:
    explicit Query(QObject *parent = nullptr) : DataSet(parent) {}
    ~Query() override;

    const QStringList &sql() const { return sql_; }
    void setSQL(const QStringList &lines);
    void clearSQL() { setSQL({}); }
    void addSQL(const QString &line);
    QString text() const { return sql_.join(QLatin1Char('\n')); }

    // Declares a parameter's type ahead of binding.
    void declareParam(const QString &name, FieldType type);
    Param &paramByName(const QString &name);  // raises "Parameter '%s' not found"
    int paramCount() const { return int(params_.size()); }

    void execSQL();
    int rowsAffected() const { return rowsAffected_; }

protected:
    void doOpen(QList<FieldDef> &defs, QVector<Row> &rows) override;

private:
    void parseParams();
    QString prepared(QList<Param *> &order) const;
    // Prepares the statement, binds the parameters in order of appearance and runs it.
    void run(QSqlQuery &q, Connection &conn) const;
    QStringList sql_;
    QList<Param *> params_;
    int rowsAffected_ = 0;
};

} // namespace tables
