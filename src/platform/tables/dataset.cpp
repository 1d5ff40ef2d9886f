#include "platform/tables/dataset.h"
#include "platform/tables/session.h"
#include "platform/runtime/errors.h"

namespace tables {

DataSet::DataSet(QObject *parent) : QObject(parent) {}

DataSet::~DataSet()
{
    clearFields();
}

Connection &DataSet::connection() const
{
    return Session::instance().connection(databaseName);
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

void DataSet::open()
{
    if (active())
        return;
    QList<FieldDef> defs;
    QVector<Row> rows;
    doOpen(defs, rows);
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
    rows_ = std::move(rows);
    invalidateIndex();
    cur_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
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
    rows_.clear();
    invalidateIndex();
    cur_ = -1;
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
    return rows_.isEmpty() && state_ != DataSetState::Insert;
}

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

void DataSet::moveTo(int row)
{
    if (rows_.isEmpty()) {
        cur_ = -1;
        eof_ = bof_ = true;
    } else {
        cur_ = std::clamp(row, 0, int(rows_.size()) - 1);
        eof_ = bof_ = false;
    }
    emit dataChanged();
}

void DataSet::first()
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    checkBrowseMode();
    cur_ = rows_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.isEmpty();
    emit dataChanged();
}

void DataSet::last()
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    checkBrowseMode();
    cur_ = int(rows_.size()) - 1;
    eof_ = true;
    bof_ = rows_.isEmpty();
    emit dataChanged();
}

void DataSet::next()
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    checkBrowseMode();
    if (cur_ + 1 < rows_.size()) {
        ++cur_;
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
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    checkBrowseMode();
    if (cur_ > 0) {
        --cur_;
        bof_ = false;
        eof_ = false;
        emit dataChanged();
    } else {
        bof_ = true;
    }
}

QVariant DataSet::currentValue(int index) const
{
    // Another row read by a grid; the row being edited reads its changes.
    if (readRow_ >= 0 && !(state_ == DataSetState::Edit && readRow_ == cur_))
        return readRow_ < rows_.size() ? rows_[readRow_].values.value(index) : QVariant();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return buffer_.value(index);
    if (cur_ < 0 || cur_ >= rows_.size())
        return QVariant();
    return rows_[cur_].values.value(index);
}

void DataSet::setCurrentValue(Field *field, const QVariant &value)
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw EDatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    buffer_[field->index()] = value;
    modified_ = true;
    emit fieldChanged(field);
}

void DataSet::insert()
{
    if (!active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    checkBrowseMode();
    buffer_ = QVector<QVariant>(dataFieldCount_);
    insertAt_ = cur_;
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
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (rows_.isEmpty()) {
        insert();
        return;
    }
    buffer_ = rows_[cur_].values;
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
    QList<Field *> data = fieldList_.mid(0, dataFieldCount_);
    qint64 rowid;
    if (state_ == DataSetState::Insert) {
        rowid = doInsert(data, buffer_);
    } else {
        rowid = rows_[cur_].rowid;
        doUpdate(rowid, data, buffer_);
    }
    const QVector<QVariant> written = buffer_;
    const bool inserted = state_ == DataSetState::Insert;
    buffer_.clear();
    modified_ = false;
    placeWritten(rowid, written, inserted);
    setState(DataSetState::Browse);
    emit dataChanged();
}

void DataSet::placeWritten(qint64 rowid, const QVector<QVariant> &, bool)
{
    reload(rowid);
}

void DataSet::cancel()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    buffer_.clear();
    modified_ = false;
    if (state_ == DataSetState::Insert)
        cur_ = rows_.isEmpty() ? -1 : std::clamp(insertAt_, 0, int(rows_.size()) - 1);
    eof_ = rows_.isEmpty();
    bof_ = rows_.isEmpty();
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
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (rows_.isEmpty())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (state_ == DataSetState::Edit)
        cancel();
    const int at = cur_;
    doDelete(rows_[at].rowid);
    rows_.removeAt(at);
    invalidateIndex();
    if (rows_.isEmpty()) {
        cur_ = -1;
        eof_ = bof_ = true;
    } else {
        cur_ = std::min(at, int(rows_.size()) - 1);
        eof_ = bof_ = false;
    }
    emit dataChanged();
}

qint64 DataSet::doInsert(const QList<Field *> &, const QVector<QVariant> &)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

void DataSet::doUpdate(qint64, const QList<Field *> &, const QVector<QVariant> &)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

void DataSet::doDelete(qint64)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

void DataSet::reload(qint64 positionOnRowid)
{
    QList<FieldDef> defs;
    QVector<Row> rows;
    doOpen(defs, rows);
    rows_ = std::move(rows);
    invalidateIndex();
    if (positionOnRowid >= 0) {
        for (int i = 0; i < rows_.size(); ++i)
            if (rows_[i].rowid == positionOnRowid) {
                cur_ = i;
                break;
            }
    }
    if (cur_ >= rows_.size())
        cur_ = int(rows_.size()) - 1;
    eof_ = bof_ = rows_.isEmpty();
}

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
    const Field *r = findField(resultField);
    if (!k || !r || k->isLookup() || r->isLookup())
        return QVariant();
    QHash<QString, int> &index = lookupIndex_[keyField.toLower()];
    if (index.isEmpty() && !rows_.isEmpty()) {
        for (int i = int(rows_.size()) - 1; i >= 0; --i)
            index.insert(keyText(rows_[i].values.value(k->index())), i);
    }
    const auto it = index.constFind(keyText(key));
    if (it == index.constEnd())
        return QVariant();
    return rows_[*it].values.value(r->index());
}

bool DataSet::locate(const QString &fieldName, const QVariant &value)
{
    checkBrowseMode();
    const Field *f = fieldByName(fieldName);
    const QString want = keyText(value);
    for (int i = 0; i < rows_.size(); ++i) {
        if (keyText(rows_[i].values.value(f->index())) == want) {
            cur_ = i;
            eof_ = bof_ = false;
            emit dataChanged();
            return true;
        }
    }
    return false;
}

} // namespace tables
