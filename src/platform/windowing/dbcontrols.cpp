#include "platform/windowing/dbcontrols.h"
#include "platform/windowing/exitwatch.h"
#include "platform/windowing/guard.h"
#include "platform/windowing/msgbox.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QValidator>
#include <optional>

using tables::DataSet;
using tables::DataSetState;
using tables::Field;

namespace {

// Makes typed letters capitals.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

// Reads a row of a data set for as long as it lives.
class ReadRow {
public:
    ReadRow(DataSet *ds, int row) : ds_(ds) { ds_->setReadRow(row); }
    ~ReadRow() { ds_->setReadRow(-1); }

private:
    DataSet *ds_;
};

} // namespace

// ---------------------------------------------------------------- FieldLink

void FieldLink::setDataSource(tables::DataSource *source)
{
    if (source_ == source)
        return;
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source) {
        connect(source, &tables::DataSource::dataChange, this, &FieldLink::onDataChange);
        connect(source, &tables::DataSource::stateChange, this, &FieldLink::onStateChange);
        connect(source, &tables::DataSource::fieldChange, this, &FieldLink::onFieldChange);
    }
    onStateChange();
}

void FieldLink::setFieldName(const QString &name)
{
    fieldName_ = name;
    onDataChange();
}

DataSet *FieldLink::dataSet() const
{
    return source_ ? source_->dataSet() : nullptr;
}

Field *FieldLink::field() const
{
    DataSet *ds = dataSet();
    if (!ds || !ds->active() || fieldName_.isEmpty())
        return nullptr;
    return ds->findField(fieldName_);
}

bool FieldLink::active() const
{
    DataSet *ds = dataSet();
    return ds && ds->active();
}

bool FieldLink::editing() const
{
    DataSet *ds = dataSet();
    return ds && (ds->state() == DataSetState::Edit || ds->state() == DataSetState::Insert);
}

void FieldLink::watchLookupSource()
{
    // A lookup field changes when the data set it reads from opens or closes.
    if (Field *f = field(); f && f->isLookup() && f->lookupDataSet)
        connect(f->lookupDataSet, &DataSet::stateChanged, this, &FieldLink::onDataChange, Qt::UniqueConnection);
}

void FieldLink::onDataChange()
{
    watchLookupSource();
    emit changed();
}

void FieldLink::onStateChange()
{
    watchLookupSource();
    emit stateChanged();
    emit changed();
}

void FieldLink::onFieldChange(tables::Field *changedField)
{
    Field *f = field();
    // A lookup follows its key field, so any change may concern it.
    if (!changedField || !f || f == changedField || f->isLookup())
        emit changed();
}

// ---------------------------------------------------------------- DBEdit

DBEdit::DBEdit(QWidget *parent) : QLineEdit(parent), link_(this)
{
    connect(&link_, &FieldLink::changed, this, &DBEdit::refresh);
    connect(this, &QLineEdit::textChanged, this, &DBEdit::onTextChanged);
    setReadOnly(true);
    // Leaving the edit writes its text into the field; a text the field
    // refuses is reported and the focus stays.
    ExitWatcher *exit = ExitWatcher::of(this);
    exit->canExit = [this] {
        if (Guard([this] { updateRecord(); }))
            return true;
        setFocus(Qt::OtherFocusReason);
        selectAll();
        return false;
    };
    connect(exit, &ExitWatcher::exited, this, &DBEdit::exited);
}

void DBEdit::setDataSource(tables::DataSource *source)
{
    link_.setDataSource(source);
}

void DBEdit::setUpperCase(bool on)
{
    upperCase_ = on;
    setValidator(on ? new UpperCaseValidator(this) : nullptr);
}

void DBEdit::onTextChanged()
{
    if (!updating_)
        pending_ = true;
}

void DBEdit::refresh()
{
    // The text is written by the data set's record writers before a post.
    if (DataSet *ds = link_.dataSet())
        ds->addRecordWriter(this, [this] { updateRecord(); });
    Field *f = link_.field();
    QString shown;
    if (f)
        shown = link_.editing() ? f->text() : f->displayText();
    updating_ = true;
    if (shown != text())
        setText(shown);
    updating_ = false;
    pending_ = false;
    setReadOnly(!f || f->isLookup());
    if (f && f->dataType() == tables::FieldType::String && f->size() > 0 && maxLength() == 32767)
        setMaxLength(f->size());
}

void DBEdit::updateRecord()
{
    if (!pending_ || !link_.editing())
        return;
    Field *f = link_.field();
    if (!f)
        return;
    const QString t = text();
    pending_ = false;
    try {
        f->setAsString(t);
    } catch (...) {
        pending_ = true;
        throw;
    }
}

void DBEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    std::optional<QKeyEvent> replaced;
    QKeyEvent *ev = event;
    if (printable && typed.size() == 1 && onKeyPress) {
        QChar key = typed.at(0);
        if (!Guard([&] { onKeyPress(key); }) || key.isNull()) {
            event->accept();
            return;
        }
        if (key != typed.at(0)) {
            replaced.emplace(QEvent::KeyPress, int(key.toUpper().unicode()),
                             event->modifiers() & ~Qt::KeypadModifier, QString(key));
            ev = &*replaced;
        }
    }
    const bool changesText = printable || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
                             event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut);
    if (changesText && !isReadOnly()) {
        DataSet *ds = link_.dataSet();
        if (ds && ds->state() == DataSetState::Browse) {
            if (!Guard([ds] { ds->edit(); }) || !isEnabled() || isReadOnly()) {
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(ev);
    event->setAccepted(ev->isAccepted());
}

// ---------------------------------------------------------------- DBText

DBText::DBText(QWidget *parent) : QLabel(parent), link_(this)
{
    setTextFormat(Qt::PlainText);
    connect(&link_, &FieldLink::changed, this, &DBText::refresh);
}

void DBText::refresh()
{
    Field *f = link_.field();
    setText(f ? f->displayText() : QString());
}

// ---------------------------------------------------------------- DBLookupComboBox

DBLookupComboBox::DBLookupComboBox(QWidget *parent) : QComboBox(parent), link_(this), list_(this)
{
    setEditable(false);
    connect(&link_, &FieldLink::changed, this, &DBLookupComboBox::refresh);
    connect(&list_, &FieldLink::stateChanged, this, &DBLookupComboBox::rebuild);
    connect(&list_, &FieldLink::changed, this, [this] {
        DataSet *ds = list_.dataSet();
        const int rows = ds && ds->active() ? ds->recordCount() : 0;
        if (rows != count())
            rebuild();
    });
    connect(this, &QComboBox::activated, this, &DBLookupComboBox::choose);
    connect(ExitWatcher::of(this), &ExitWatcher::exited, this, &DBLookupComboBox::exited);
}

void DBLookupComboBox::setKeyField(const QString &name)
{
    keyField_ = name;
    rebuild();
}

void DBLookupComboBox::setListField(const QString &name)
{
    listField_ = name;
    rebuild();
}

void DBLookupComboBox::rebuild()
{
    updating_ = true;
    clear();
    DataSet *ds = list_.dataSet();
    if (ds && ds->active()) {
        Field *key = ds->findField(keyField_);
        Field *shown = ds->findField(listField_.isEmpty() ? keyField_ : listField_);
        if (key && shown) {
            for (int row = 0; row < ds->recordCount(); ++row) {
                ReadRow at(ds, row);
                addItem(shown->displayText(), key->asString());
            }
        }
    }
    updating_ = false;
    refresh();
}

void DBLookupComboBox::refresh()
{
    Field *f = link_.field();
    const int index = f && !f->isNull() ? findData(f->asString()) : -1;
    updating_ = true;
    setCurrentIndex(index);
    updating_ = false;
}

void DBLookupComboBox::choose(int index)
{
    if (updating_)
        return;
    const bool ok = Guard([&] {
        DataSet *ds = link_.dataSet();
        Field *f = link_.field();
        if (!ds || !f || index < 0)
            return;
        if (ds->state() == DataSetState::Browse)
            ds->edit();
        f->setAsString(itemData(index).toString());
    });
    if (!ok)
        refresh();
}

// ---------------------------------------------------------------- DBGrid

class DataSetTableModel : public QAbstractTableModel {
public:
    explicit DataSetTableModel(DBGrid *grid) : QAbstractTableModel(grid), grid_(grid) {}

    DataSet *dataSet() const
    {
        tables::DataSource *s = grid_->dataSource();
        DataSet *ds = s ? s->dataSet() : nullptr;
        return ds && ds->active() ? ds : nullptr;
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        DataSet *ds = dataSet();
        return parent.isValid() || !ds ? 0 : ds->recordCount();
    }

    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(grid_->columns().size());
    }

    QString text(int row, int column) const
    {
        DataSet *ds = dataSet();
        if (!ds || row < 0 || row >= ds->recordCount() || column < 0 || column >= grid_->columns().size())
            return QString();
        Field *f = ds->findField(grid_->columns().at(column).fieldName);
        if (!f)
            return QString();
        ReadRow at(ds, row);
        return f->displayText();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        if (role == Qt::DisplayRole)
            return text(index.row(), index.column());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(grid_->columns().at(index.column()).alignment | Qt::AlignVCenter);
        return QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical) {
            // The row indicator marks the current record.
            if (role == Qt::DisplayRole) {
                DataSet *ds = dataSet();
                return ds && ds->recNo() == section ? QStringLiteral("\u25B6") : QString();
            }
            if (role == Qt::TextAlignmentRole)
                return QVariant::fromValue(Qt::AlignCenter);
            return QVariant();
        }
        if (section < 0 || section >= grid_->columns().size())
            return QVariant();
        const DBGridColumn &c = grid_->columns().at(section);
        switch (role) {
        case Qt::DisplayRole:
            return c.title;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(c.titleAlignment | Qt::AlignVCenter);
        case Qt::FontRole:
            if (c.titleBold) {
                QFont font = grid_->horizontalHeader()->font();
                font.setBold(true);
                return font;
            }
            return QVariant();
        default:
            return QVariant();
        }
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void resetAll()
    {
        beginResetModel();
        endResetModel();
        shownRows = rowCount();
    }

    // Tells the view that the rows it shows changed. Rows out of view are
    // read when they come into it, so a large data set costs no more than a
    // small one.
    void refreshAll()
    {
        const int rows = rowCount(), cols = columnCount();
        if (rows <= 0)
            return;
        // Rows have one fixed height.
        const int first = std::max(0, grid_->rowAt(0));
        const int shown = grid_->viewport()->height() / std::max(1, grid_->verticalHeader()->defaultSectionSize()) + 1;
        const int last = std::min(rows - 1, first + shown);
        if (cols > 0)
            emit dataChanged(index(first, 0), index(last, cols - 1));
        emit headerDataChanged(Qt::Vertical, first, last);
    }

    int shownRows = 0;

private:
    DBGrid *grid_;
};

DBGrid::DBGrid(QWidget *parent) : QTableView(parent), model_(new DataSetTableModel(this))
{
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
}

void DBGrid::setDataSource(tables::DataSource *source)
{
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source) {
        connect(source, &tables::DataSource::stateChange, this, [this] { syncFromDataSet(true); });
        connect(source, &tables::DataSource::dataChange, this, [this] { syncFromDataSet(false); });
        connect(source, &tables::DataSource::fieldChange, this, [this] { model_->refreshAll(); });
    }
    syncFromDataSet(true);
}

void DBGrid::setColumns(const QList<DBGridColumn> &columns)
{
    columns_ = columns;
    syncFromDataSet(true);
}

QString DBGrid::cellText(int row, int column) const
{
    return model_->text(row, column);
}

void DBGrid::applyWidths()
{
    for (int i = 0; i < columns_.size(); ++i)
        setColumnWidth(i, columns_[i].width > 0 ? columns_[i].width : horizontalHeader()->defaultSectionSize());
}

void DBGrid::syncFromDataSet(bool reset)
{
    syncing_ = true;
    if (reset || model_->rowCount() != model_->shownRows) {
        model_->resetAll();
        applyWidths();
    } else {
        model_->refreshAll();
    }
    DataSet *ds = model_->dataSet();
    const int row = ds ? ds->recNo() : -1;
    if (row >= 0 && row < model_->rowCount() && model_->columnCount() > 0) {
        if (currentIndex().row() != row || !selectionModel()->isRowSelected(row, QModelIndex())) {
            const QModelIndex at = model_->index(row, std::max(0, currentIndex().column()));
            selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            scrollTo(at);
        }
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid())
        return;
    DataSet *ds = model_->dataSet();
    if (!ds || current.row() == ds->recNo())
        return;
    const bool ok = Guard([&] {
        ds->checkBrowseMode();
        ds->moveTo(current.row());
    });
    if (!ok)
        syncFromDataSet(false);
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        Guard([this] {
            DataSet *ds = model_->dataSet();
            if (!ds || ds->isEmpty())
                return;
            if (ConfirmOkCancel(QStringLiteral("Delete record?")) != mrCancel)
                ds->deleteRecord();
        });
        return;
    }
    QTableView::keyPressEvent(event);
}
