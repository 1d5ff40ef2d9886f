#pragma once
// Data sets: a cursor over rows with states, typed fields and notifications.
#include <QHash>
#include <QObject>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

#include "platform/tables/field.h"

namespace tables {

enum class DataSetState { Inactive, Browse, Edit, Insert };

class Connection;

class DataSet : public QObject {
    Q_OBJECT
public:
    explicit DataSet(QObject *parent = nullptr);
    ~DataSet() override;

    // Alias the data set works on ("ZqRen417"; any case).
    QString databaseName;

    void open();
    void close();
    bool active() const { return state_ != DataSetState::Inactive; }
    void setActive(bool on) { on ? open() : close(); }
    DataSetState state() const { return state_; }

    // Presentation of a field, kept across open and close.
    FieldOptions &fieldOptions(const QString &name);
    // Declares a lookup field (before open).
    void addLookupField(const QString &name, const QString &keyField, DataSet *lookupDataSet,
                        const QString &lookupKeyField, const QString &lookupResultField, int size);

    const QList<Field *> &fields() const { return fieldList_; }
    Field *findField(const QString &name) const;
    Field *fieldByName(const QString &name) const; // raises "Field '%s' not found"

    // Navigation. Leaving a record being edited or inserted posts it first.
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const;
    int recordCount() const { return int(rows_.size()); }
    int recNo() const { return cur_; }     // 0-based position, -1 when empty
    void moveTo(int row);

    // Editing.
    void insert();
    void append();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    bool modified() const { return modified_; }
    void checkBrowseMode(); // posts a modified record, cancels an untouched one

    // Search without moving: the result field of the first row whose key field equals key.
    QVariant lookup(const QString &keyField, const QVariant &key, const QString &resultField) const;
    // Moves to the first row whose field equals the value.
    bool locate(const QString &fieldName, const QVariant &value);

    // Before every post; raising EAbort abandons the post silently.
    std::function<void(DataSet &)> beforePost;

    // Controls that keep edited text apart from the record (data-aware edits)
    // register a writer that puts it into the record. Writers run when the
    // record is brought up to date: at the start of post() (before beforePost)
    // and of checkBrowseMode(). A writer that raises stops the post. A writer
    // goes away with its owner.
    void addRecordWriter(QObject *owner, std::function<void()> writer);
    void removeRecordWriter(QObject *owner);
    void updateRecord(); // runs the writers; only while editing or inserting

    // Lets a grid read the fields of any row without moving the cursor and
    // without notifications: while set, fields read row `row` (0-based); -1
    // goes back to the current record.
    void setReadRow(int row) { readRow_ = row; }

    // For fields: value of the current record.
    QVariant currentValue(int index) const;
    void setCurrentValue(Field *field, const QVariant &value);

signals:
    void stateChanged();
    void dataChanged();               // the current record changed (moved, reloaded)
    void fieldChanged(tables::Field *field);

protected:
    struct Row {
        qint64 rowid = 0;
        QVector<QVariant> values;
    };
    // Reads the rows and the field definitions; subclasses fill them.
    virtual void doOpen(QList<FieldDef> &defs, QVector<Row> &rows) = 0;
    virtual qint64 doInsert(const QList<Field *> &fields, const QVector<QVariant> &values);
    virtual void doUpdate(qint64 rowid, const QList<Field *> &fields, const QVector<QVariant> &values);
    virtual void doDelete(qint64 rowid);
    // Brings the rows in memory up to date after a write; by default re-reads them.
    virtual void placeWritten(qint64 rowid, const QVector<QVariant> &values, bool inserted);
    // Re-reads the rows after a change; keeps the fields.
    void reload(qint64 positionOnRowid);
    int dataFieldCount() const { return dataFieldCount_; }
    void setState(DataSetState s);
    Connection &connection() const;

    void invalidateIndex() { lookupIndex_.clear(); }
    void resetBounds() { eof_ = bof_ = rows_.isEmpty(); }

    QVector<Row> rows_;
    int cur_ = -1;

private:
    struct LookupDecl {
        QString name, keyField, lookupKeyField, lookupResultField;
        DataSet *lookupDataSet;
        int size;
    };
    void clearFields();

    DataSetState state_ = DataSetState::Inactive;
    bool eof_ = true;
    bool bof_ = true;
    bool modified_ = false;
    QVector<QVariant> buffer_;   // record being edited or inserted
    int readRow_ = -1;
    QList<QPair<QObject *, std::function<void()>>> writers_;
    int insertAt_ = -1;
    QList<Field *> fieldList_;
    int dataFieldCount_ = 0;
    QHash<QString, FieldOptions> options_;
    QList<LookupDecl> lookups_;
    mutable QHash<QString, QHash<QString, int>> lookupIndex_; // key field -> key text -> row
};

} // namespace tables
