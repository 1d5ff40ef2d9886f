#pragma once
// A query: SQL lines joined with line breaks, named parameters (":Name")
// with declared types, open for rows, execSQL for none.
#include <QHash>
#include <QStringList>

#include "platform/tables/dataset.h"

namespace tables {

// A parameter of a statement and the type its values take.
struct ParamDecl {
    QString name;
    FieldType type;
};

// A statement of the program: its lines and the types of its parameters.
struct SqlText {
    QStringList lines;
    QList<ParamDecl> params;
};

class Param {
public:
    QString name;
    FieldType dataType = FieldType::Unknown;
    QVariant value;
    bool bound = false;

    // Each setter converts the value to the parameter's declared type; a
    // parameter without a declared type cannot be bound.
    void setAsSmallInt(int v) { setValue(v); }
    void setAsInteger(int v) { setValue(v); }
    void setAsString(const QString &v) { setValue(v); }
    void setAsDate(const QDate &v) { setValue(v); }
    void setAsTime(const QTime &v) { setValue(v); }
    void setAsDateTime(const QDateTime &v) { setValue(v); }
    void setAsBoolean(bool v) { setValue(v); }
    void setValue(const QVariant &v);
    void clear() { value = QVariant(); bound = false; }

    // The value as bound to the statement.
    QVariant storageValue() const;
};

class Query : public DataSet {
    Q_OBJECT
public:
    explicit Query(QObject *parent = nullptr) : DataSet(parent) {}
    ~Query() override;

    const QStringList &sql() const { return sql_; }
    void setSQL(const QStringList &lines);
    // The statement's lines, with the types of its parameters.
    void setSQL(const SqlText &statement);
    void clearSQL() { setSQL(QStringList{}); }
    void addSQL(const QString &line);
    QString text() const { return sql_.join(QLatin1Char('\n')); }

    // Declares the type of a parameter, of the text or of lines still to come.
    void declareParam(const QString &name, FieldType type);
    void declareParams(const QList<ParamDecl> &params);
    Param &paramByName(const QString &name);  // raises "Parameter '%s' not found"
    int paramCount() const { return int(params_.size()); }

    void execSQL();
    int rowsAffected() const { return rowsAffected_; }

    // Walks every row of the open query once, in order: each is the current
    // record while visit runs (no notifications, no rows kept). Rows are read
    // in large blocks, each by a statement of its own, so that a table is
    // never held between two blocks.
    void forEachRow(const std::function<void()> &visit);

protected:
    void doOpen(QList<FieldDef> &defs) override;
    QVector<Row> fetchRows(int start, int count) override;
    int countRows() override;

private:
    void parseParams();
    // The text with "?" for each parameter, and the parameters in their order.
    QString prepared(QList<Param *> &order) const;
    void bindAll(class Statement &q, const QList<Param *> &order, int from = 1) const;

    QStringList sql_;
    QList<Param *> params_;
    QHash<QString, FieldType> types_; // lower name -> declared type
    int rowsAffected_ = 0;
    // The open statement.
    QString select_;
    QList<Param *> order_;
    bool hasRowId_ = false;
};

} // namespace tables
