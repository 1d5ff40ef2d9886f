#include "platform/tables/dataset.h"
#include "platform/tables/session.h"
#include "platform/runtime/errors.h"

namespace tables {

namespace {
// Rows are read from the engine in blocks of this size; a bounded number of
// blocks is kept, so memory does not grow with the table.
constexpr int BlockSize = 256;
constexpr int KeptBlocks = 32;

[[noreturn]] void closedDataSet()
{
    throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}
} // namespace

DataSet::DataSet(QObject *parent) : QObject(parent) {}

DataSet::~DataSet()
{
    clearFields();
}

Connection &DataSet::connection() const
{
    return (session ? *session : Session::instance()).connection(databaseName);
}

void DataSet::clearFields()
{
    qDeleteAll(fieldList_);
    fieldList_.clear();
    dataFieldCount_ = 0;
}

FieldOptions &DataSet::fieldOptions(const QString &name)
{
    FieldOptions &o = options_[name.toLower()];
    if (Field *f = findField(name))
        return f->options;
    return o;
}

void DataSet::addLookupField(const QString &name, const QString &keyField, DataSet *lookupDataSet,
                             const QString &lookupKeyField, const QString &lookupResultField, int size)
{
    lookups_.append({name, keyField, lookupKeyField, lookupResultField, lookupDataSet, size});
}

// ---------------------------------------------------------------- rows

void DataSet::invalidateRows()
{
    blocks_.clear();
    blockUse_.clear();
    count_ = -1;
}

bool DataSet::rowAt(int position, Row &row) const
{
    if (position < 0 || (count_ >= 0 && position >= count_))
        return false;
    const int block = position / BlockSize;
    auto it = blocks_.find(block);
    if (it == blocks_.end()) {
        QVector<Row> rows = const_cast<DataSet *>(this)->fetchRows(block * BlockSize, BlockSize);
        rowsRead_ += rows.size();
        if (rows.size() < BlockSize)
            count_ = block * BlockSize + int(rows.size());
        // Room is made first: removing from the hash moves its entries.
        while (blockUse_.size() >= KeptBlocks)
            blocks_.remove(blockUse_.takeFirst());
        it = blocks_.insert(block, std::move(rows));
        blockUse_.append(block);
    } else if (blockUse_.last() != block) {
        blockUse_.removeOne(block);
        blockUse_.append(block);
    }
    const int at = position % BlockSize;
    if (at >= it->size())
        return false;
    row = it->at(at);
    return true;
}

int DataSet::recordCount() const
{
    if (!active())
        return 0;
    if (count_ < 0)
        count_ = const_cast<DataSet *>(this)->countRows();
    return count_;
}

int DataSet::positionOf(const Row &row)
{
    Row r;
    for (int i = 0; rowAt(i, r); ++i)
        if (r.rowid == row.rowid && r.values == row.values)
            return i;
    return -1;
}

int DataSet::recNo() const
{
    if (!hasCurrent_)
        return -1;
    if (position_ < 0)
        position_ = const_cast<DataSet *>(this)->positionOf(current_);
    return position_;
}

void DataSet::setCurrent(const Row &row, int position)
{
    current_ = row;
    hasCurrent_ = true;
    position_ = position;
    eof_ = bof_ = false;
}

void DataSet::clearCurrent()
{
    current_ = Row();
    hasCurrent_ = false;
    position_ = -1;
}

QVariant DataSet::valueOf(const Row &row, int index) const
{
    if (index < 0 || index >= row.values.size() || index >= fieldList_.size())
        return QVariant();
    return fromStorage(row.values.at(index), fieldList_.at(index)->dataType());
}

// ---------------------------------------------------------------- opening

void DataSet::open()
{
    if (active())
        return;
    QList<FieldDef> defs;
    invalidateRows();
    doOpen(defs);
    clearFields();
    for (const FieldDef &d : defs) {
        auto *f = new Field(this, d, int(fieldList_.size()));
        f->options = options_.value(d.name.toLower());
        fieldList_.append(f);
    }
    dataFieldCount_ = int(fieldList_.size());
    for (const LookupDecl &l : lookups_) {
        FieldDef d{l.name, FieldType::String, l.size, 0};
        auto *f = new Field(this, d, int(fieldList_.size()), FieldKind::Lookup);
        f->options = options_.value(l.name.toLower());
        f->keyField = l.keyField;
        f->lookupDataSet = l.lookupDataSet;
        f->lookupKeyField = l.lookupKeyField;
        f->lookupResultField = l.lookupResultField;
        fieldList_.append(f);
    }
    Row r;
    clearCurrent();
    if (rowAt(0, r))
        setCurrent(r, 0);
    bof_ = true;
    eof_ = !hasCurrent_;
    setState(DataSetState::Browse);
    emit dataChanged();
}

void DataSet::close()
{
    if (!active())
        return;
    buffer_.clear();
    modified_ = false;
    // Keep what the windows set on the fields for the next open.
    for (Field *f : fieldList_)
        options_[f->fieldName().toLower()] = f->options;
    doClose();
    invalidateRows();
    clearCurrent();
    eof_ = bof_ = true;
    setState(DataSetState::Inactive);
    clearFields();
    emit dataChanged();
}

void DataSet::setState(DataSetState s)
{
    if (state_ == s)
        return;
    state_ = s;
    emit stateChanged();
}

Field *DataSet::findField(const QString &name) const
{
    for (Field *f : fieldList_)
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

Field *DataSet::fieldByName(const QString &name) const
{
    Field *f = findField(name);
    if (!f)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

bool DataSet::isEmpty() const
{
    if (state_ == DataSetState::Insert)
        return false;
    Row r;
    return !active() || !rowAt(0, r);
}

// ---------------------------------------------------------------- record writers

void DataSet::addRecordWriter(QObject *owner, std::function<void()> writer)
{
    for (auto &w : writers_)
        if (w.first == owner) {
            w.second = std::move(writer);
            return;
        }
    writers_.append({owner, std::move(writer)});
    connect(owner, &QObject::destroyed, this, [this, owner] { removeRecordWriter(owner); });
}

void DataSet::removeRecordWriter(QObject *owner)
{
    for (qsizetype i = writers_.size() - 1; i >= 0; --i)
        if (writers_[i].first == owner) {
            writers_.removeAt(i);
            disconnect(owner, &QObject::destroyed, this, nullptr);
        }
}

void DataSet::updateRecord()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    const auto writers = writers_; // a writer may add or remove writers
    for (const auto &w : writers)
        w.second();
}

void DataSet::checkBrowseMode()
{
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        updateRecord();
        if (modified_)
            post();
        else
            cancel();
    }
}

// ---------------------------------------------------------------- navigation

void DataSet::moveTo(int row)
{
    if (!active())
        closedDataSet();
    const int n = recordCount();
    Row r;
    if (n > 0 && rowAt(std::clamp(row, 0, n - 1), r)) {
        setCurrent(r, std::clamp(row, 0, n - 1));
        eof_ = bof_ = false;
    } else {
        clearCurrent();
        eof_ = bof_ = true;
    }
    emit dataChanged();
}

void DataSet::first()
{
    if (!active())
        closedDataSet();
    checkBrowseMode();
    Row r;
    if (rowAt(0, r))
        setCurrent(r, 0);
    else
        clearCurrent();
    bof_ = true;
    eof_ = !hasCurrent_;
    emit dataChanged();
}

void DataSet::last()
{
    if (!active())
        closedDataSet();
    checkBrowseMode();
    Row r;
    int n = recordCount();
    if (n > 0 && !rowAt(n - 1, r)) {
        // The table shrank since it was counted.
        invalidateRows();
        n = recordCount();
    }
    if (n > 0 && rowAt(n - 1, r))
        setCurrent(r, n - 1);
    else
        clearCurrent();
    eof_ = true;
    bof_ = !hasCurrent_;
    emit dataChanged();
}

void DataSet::next()
{
    if (!active())
        closedDataSet();
    checkBrowseMode();
    Row r;
    const int at = recNo();
    if (hasCurrent_ && at >= 0 && rowAt(at + 1, r)) {
        setCurrent(r, at + 1);
        bof_ = false;
        eof_ = false;
        emit dataChanged();
    } else {
        eof_ = true;
    }
}

void DataSet::prior()
{
    if (!active())
        closedDataSet();
    checkBrowseMode();
    Row r;
    const int at = recNo();
    if (hasCurrent_ && at > 0 && rowAt(at - 1, r)) {
        setCurrent(r, at - 1);
        bof_ = false;
        eof_ = false;
        emit dataChanged();
    } else {
        bof_ = true;
    }
}

// ---------------------------------------------------------------- values

QVariant DataSet::currentValue(int index) const
{
    const bool editing = state_ == DataSetState::Edit || state_ == DataSetState::Insert;
    // Another row read by a grid; the row being edited reads its changes.
    if (readRow_ >= 0 && !(state_ == DataSetState::Edit && readRow_ == recNo())) {
        Row r;
        return rowAt(readRow_, r) ? valueOf(r, index) : QVariant();
    }
    if (editing)
        return buffer_.value(index);
    return hasCurrent_ ? valueOf(current_, index) : QVariant();
}

void DataSet::setCurrentValue(Field *field, const QVariant &value)
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    buffer_[field->index()] = value;
    modified_ = true;
    emit fieldChanged(field);
}

// ---------------------------------------------------------------- editing

void DataSet::insert()
{
    if (!active())
        closedDataSet();
    checkBrowseMode();
    buffer_ = QVector<QVariant>(dataFieldCount_);
    beforeInsert_ = current_;
    hadBeforeInsert_ = hasCurrent_;
    positionBeforeInsert_ = hasCurrent_ ? position_ : -1;
    modified_ = false;
    eof_ = bof_ = false;
    setState(DataSetState::Insert);
    emit dataChanged();
}

void DataSet::append()
{
    insert();
}

void DataSet::edit()
{
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return;
    if (!active())
        closedDataSet();
    if (!hasCurrent_) {
        insert();
        return;
    }
    buffer_.resize(dataFieldCount_);
    for (int i = 0; i < dataFieldCount_; ++i)
        buffer_[i] = valueOf(current_, i);
    modified_ = false;
    setState(DataSetState::Edit);
}

void DataSet::post()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    updateRecord();
    if (beforePost)
        beforePost(*this);
    const Row written = state_ == DataSetState::Insert ? doInsert(buffer_) : doUpdate(current_, buffer_);
    invalidateRows();
    buffer_.clear();
    modified_ = false;
    // Where the row stands in the order is counted only when someone asks.
    setCurrent(written, -1);
    eof_ = bof_ = false;
    setState(DataSetState::Browse);
    emit dataChanged();
}

void DataSet::cancel()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    buffer_.clear();
    modified_ = false;
    if (state_ == DataSetState::Insert) {
        if (hadBeforeInsert_) {
            setCurrent(beforeInsert_, positionBeforeInsert_);
        } else {
            Row r;
            if (rowAt(0, r))
                setCurrent(r, 0);
            else
                clearCurrent();
        }
    }
    eof_ = bof_ = !hasCurrent_;
    setState(DataSetState::Browse);
    emit dataChanged();
}

void DataSet::deleteRecord()
{
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    if (!active())
        closedDataSet();
    if (!hasCurrent_)
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (state_ == DataSetState::Edit)
        cancel();
    const int at = recNo();
    doDelete(current_);
    invalidateRows();
    Row r;
    if (at >= 0 && rowAt(at, r))
        setCurrent(r, at);
    else if (at > 0 && rowAt(at - 1, r))
        setCurrent(r, at - 1);
    else if (rowAt(0, r))
        setCurrent(r, 0);
    else
        clearCurrent();
    eof_ = bof_ = !hasCurrent_;
    emit dataChanged();
}

DataSet::Row DataSet::doInsert(const QVector<QVariant> &)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

DataSet::Row DataSet::doUpdate(const Row &, const QVector<QVariant> &)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

void DataSet::doDelete(const Row &)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

// ---------------------------------------------------------------- searches

namespace {
QString keyText(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    if (v.typeId() == QMetaType::Double && v.toDouble() == qint64(v.toDouble()))
        return QString::number(qint64(v.toDouble()));
    return v.toString();
}
} // namespace

QVariant DataSet::lookup(const QString &keyField, const QVariant &key, const QString &resultField) const
{
    const Field *k = findField(keyField);
    const Field *res = findField(resultField);
    if (!k || !res || k->isLookup() || res->isLookup())
        return QVariant();
    const QString want = keyText(key);
    Row r;
    for (int i = 0; rowAt(i, r); ++i)
        if (keyText(valueOf(r, k->index())) == want)
            return valueOf(r, res->index());
    return QVariant();
}

bool DataSet::locate(const QString &fieldName, const QVariant &value)
{
    checkBrowseMode();
    const Field *f = fieldByName(fieldName);
    const QString want = keyText(value);
    Row r;
    for (int i = 0; rowAt(i, r); ++i) {
        if (keyText(valueOf(r, f->index())) == want) {
            setCurrent(r, i);
            eof_ = bof_ = false;
            emit dataChanged();
            return true;
        }
    }
    return false;
}

} // namespace tables
