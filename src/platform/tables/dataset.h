#pragma once
// Data sets: a cursor over rows with states, typed fields and notifications.
//
// A data set does not hold its rows: it reads them from the engine in blocks
// as they are needed (a bounded number of blocks is kept) and converts a value
// only when a field is read. The current record is held on its own, so a data
// set that was searched or written knows its record without knowing its
// position; the position is counted by the engine when someone asks for it.
#include <QHash>
#include <QList>
#include <QObject>
#include <QVariant>
#include <QVector>
#include <functional>

#include "platform/tables/field.h"

namespace tables {

enum class DataSetState { Inactive, Browse, Edit, Insert };

class Connection;
class Session;

class DataSet : public QObject {
    Q_OBJECT
public:
    explicit DataSet(QObject *parent = nullptr);
    ~DataSet() override;

    // Alias the data set works on ("ZqRen417"; any case).
    QString databaseName;
    // Session whose connection the data set uses; null means the program's session.
    Session *session = nullptr;

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
    // Number of rows; counted by the engine the first time it is asked.
    int recordCount() const;
    // 0-based position of the current record, -1 when there is none.
    int recNo() const;
    void moveTo(int row);
    // Rows read from the engine since the data set was made (for diagnostics).
    qint64 rowsRead() const { return rowsRead_; }
    // Identity of the current record in its table (0 when the rows have none).
    qint64 rowId() const { return hasCurrent_ ? current_.rowid : 0; }

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
    virtual QVariant lookup(const QString &keyField, const QVariant &key, const QString &resultField) const;
    // Moves to the first row whose field equals the value.
    virtual bool locate(const QString &fieldName, const QVariant &value);

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
    // A row as stored: its identity in its table and its values in storage form.
    struct Row {
        qint64 rowid = 0;
        QVector<QVariant> values;
    };

    // What a kind of data set does with the engine.
    // Defines the fields and gets ready to read rows.
    virtual void doOpen(QList<FieldDef> &defs) = 0;
    virtual void doClose() {}
    // Up to count rows in order from position start (0-based).
    virtual QVector<Row> fetchRows(int start, int count) = 0;
    virtual int countRows() = 0;
    // Position of a row read by a search or a post; by default the rows are walked.
    virtual int positionOf(const Row &row);
    // Writes; each returns the row as stored afterwards.
    virtual Row doInsert(const QVector<QVariant> &values);
    virtual Row doUpdate(const Row &old, const QVector<QVariant> &values);
    virtual void doDelete(const Row &old);

    // Makes a row the current record; position -1 when it is not known.
    void setCurrent(const Row &row, int position);
    void clearCurrent();
    // Forgets the rows read and their count (after a write).
    virtual void invalidateRows();
    // Row at a position, read from the engine when needed; false past the end.
    bool rowAt(int position, Row &row) const;
    int dataFieldCount() const { return dataFieldCount_; }
    void setState(DataSetState s);
    Connection &connection() const;
    QVariant valueOf(const Row &row, int index) const;

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
    Row current_;
    bool hasCurrent_ = false;
    mutable int position_ = -1;
    Row beforeInsert_;
    bool hadBeforeInsert_ = false;
    int positionBeforeInsert_ = -1;
    QVector<QVariant> buffer_;   // record being edited or inserted
    int readRow_ = -1;
    QList<QPair<QObject *, std::function<void()>>> writers_;
    QList<Field *> fieldList_;
    int dataFieldCount_ = 0;
    QHash<QString, FieldOptions> options_;
    QList<LookupDecl> lookups_;

    // Rows read, by block; the blocks used last are kept.
    mutable QHash<int, QVector<Row>> blocks_;
    mutable QList<int> blockUse_;
    mutable int count_ = -1;
    mutable qint64 rowsRead_ = 0;
};

} // namespace tables
