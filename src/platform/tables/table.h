#pragma once
// A table object: the rows of one table in primary-key order (in the order
// of their writing when the table has no key).
#include <QHash>

#include "platform/tables/dataset.h"

namespace tables {

class Statement;

class Table : public DataSet {
    Q_OBJECT
public:
    explicit Table(QObject *parent = nullptr) : DataSet(parent) {}

    // File name of the table ("Ctr.DB"); the extension is ignored.
    QString tableName;

    // Searches by the values of all or the leading key fields, in key order.
    // Found: the cursor stands on the first match in key order. Not found: it stays.
    bool findKey(const QVariantList &keyValues);
    // Moves to the row with this identity (a row that a query over this table
    // found, so that it can be edited and posted here). Not found: it stays.
    bool findRowId(qint64 rowid);
    // Removes every row of the table at once (open or closed).
    void emptyTable();
    // Names of the key fields in key order.
    QStringList keyFields() const { return keyFields_; }

    QVariant lookup(const QString &keyField, const QVariant &key, const QString &resultField) const override;
    bool locate(const QString &fieldName, const QVariant &value) override;

protected:
    void doOpen(QList<FieldDef> &defs) override;
    QVector<Row> fetchRows(int start, int count) override;
    int countRows() override;
    int positionOf(const Row &row) override;
    Row doInsert(const QVector<QVariant> &values) override;
    Row doUpdate(const Row &old, const QVector<QVariant> &values) override;
    void doDelete(const Row &old) override;
    void invalidateRows() override;

private:
    QString baseName() const;
    QString qualified() const;
    QString selectList() const;
    QString orderBy() const;
    Row readRow(const Statement &q) const;
    // Moves to the first row the condition finds; binds values in order.
    bool seek(const QString &condition, const QVariantList &values);
    // Condition that finds a row only as it was read: every stored value the
    // same (and, without a key, the same identity).
    QString unchangedCondition(const Row &old, QVariantList &values) const;
    // After a write that found no row: the record was changed or removed meanwhile.
    [[noreturn]] void raiseStale(const Row &old) const;

    QStringList keyFields_;
    QString schema_;
    QList<FieldDef> defs_;
    mutable QHash<QString, QVariant> lookupCache_;
};

} // namespace tables
