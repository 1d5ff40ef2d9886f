#pragma once
// A table object: all rows of one table in primary-key order.
#include "platform/tables/dataset.h"

namespace tables {

class Table : public DataSet {
    Q_OBJECT
public:
    explicit Table(QObject *parent = nullptr) : DataSet(parent) {}

    // File name of the table ("Ctr.DB"); the extension is ignored.
    QString tableName;

    // Searches by the values of all or the leading key fields, in key order.
    // Found: the cursor stands on the first match in key order. Not found: it stays.
    bool findKey(const QVariantList &keyValues);
    // Removes every row of the table at once (open or closed).
    void emptyTable();
    // Names of the key fields in key order.
    QStringList keyFields() const { return keyFields_; }

protected:
    void doOpen(QList<FieldDef> &defs, QVector<Row> &rows) override;
    qint64 doInsert(const QList<Field *> &fields, const QVector<QVariant> &values) override;
    void doUpdate(qint64 rowid, const QList<Field *> &fields, const QVector<QVariant> &values) override;
    void doDelete(qint64 rowid) override;
    void placeWritten(qint64 rowid, const QVector<QVariant> &values, bool inserted) override;

private:
    QString baseName() const;
    QString qualified() const;
    QStringList keyFields_;
    QString schema_;
};

} // namespace tables
