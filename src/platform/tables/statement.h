#pragma once
// A prepared SQLite statement of a connection. Failures raise the engine's
// errors, naming the table the statement concerns.
#include <QStringList>
#include <QVariant>

struct sqlite3_stmt;

namespace tables {

class Connection;

class Statement {
public:
    Statement(Connection &conn, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Binds a value in storage form to the 1-based position.
    void bind(int position, const QVariant &stored);
    int parameterCount() const;
    // Steps to the next row: true while there is one. Raises on failure.
    bool step();
    // Runs a statement that returns no rows; the number of rows changed.
    int exec();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    // Declared type of the column a result column comes from; empty for an expression.
    QString declaredType(int column) const;
    // SQLite type of the value in the current row (SQLITE_INTEGER ... SQLITE_NULL).
    int valueType(int column) const;
    bool isNull(int column) const;
    // Value of the current row in storage form: integer, real, text or null.
    QVariant value(int column) const;
    qint64 int64(int column) const;

    // Tables the statement reads and writes, as the engine names them.
    const QStringList &tablesRead() const { return read_; }
    const QStringList &tablesWritten() const { return written_; }

private:
    [[noreturn]] void fail(int rc) const;
    Connection &conn_;
    sqlite3_stmt *stmt_ = nullptr;
    QStringList read_, written_;
};

} // namespace tables
