#pragma once
// Data-aware controls: edits, labels, lookup lists and grids that show the
// fields of a data set through a data source and write what the user enters
// back into the record.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QTableView>
#include <functional>

#include "platform/tables/datasource.h"

// Ties a control to one field of a data source's data set. The field is found
// by name whenever it is needed, since a data set makes its fields anew at
// every open.
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QObject *parent = nullptr) : QObject(parent) {}

    tables::DataSource *dataSource() const { return source_; }
    void setDataSource(tables::DataSource *source);
    const QString &fieldName() const { return fieldName_; }
    void setFieldName(const QString &name);

    tables::DataSet *dataSet() const;
    tables::Field *field() const; // null while closed or when the name is unknown
    bool active() const;          // the data set is open
    bool editing() const;         // the data set is in the edit or insert state

signals:
    // What the control shows may have changed: another record, the field,
    // the state, or the data set a lookup field reads from.
    void changed();
    void stateChanged();

private slots:
    void onDataChange();
    void onStateChange();
    void onFieldChange(tables::Field *field);

private:
    void watchLookupSource();
    QPointer<tables::DataSource> source_;
    QString fieldName_;
};

// A data-aware edit. Shows the field's edit text while the data set is being
// edited or inserted and its display text otherwise. Typing while the data
// set browses puts it into the edit state. The text reaches the field when
// the focus leaves the edit for another control of the same window and when
// the record is posted; a text the field refuses is reported and the focus
// stays in the edit.
//
// Leaving a data-aware control for another control of its window emits
// exited() (the control's ExitWatcher). When the focus ends up back in the
// control (the text was refused, or an exit handler put it back), the mouse
// press that moved it is dropped, so the button clicked is not pressed.
class DBEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)
    Q_PROPERTY(bool upperCase READ upperCase WRITE setUpperCase)
public:
    explicit DBEdit(QWidget *parent = nullptr);

    tables::DataSource *dataSource() const { return link_.dataSource(); }
    void setDataSource(tables::DataSource *source);
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString &name) { link_.setFieldName(name); }
    tables::Field *field() const { return link_.field(); }

    // Letters typed are made capitals.
    bool upperCase() const { return upperCase_; }
    void setUpperCase(bool on);

    // The text differs from the field and has not been written yet.
    bool textPending() const { return pending_; }
    // Writes a pending text into the field; raises the field's error.
    void updateRecord();

    // Sees each typed character first; may replace it, or drop it by making it null.
    std::function<void(QChar &key)> onKeyPress;

signals:
    // The focus left for another control of the same window and the field
    // took the text.
    void exited();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void refresh();
    void onTextChanged();

    FieldLink link_;
    bool upperCase_ = false;
    bool pending_ = false;
    bool updating_ = false;
};

// A data-aware label: the field's display text. A screen reader announces it
// by its accessible name (what the label holds) and reads the text as its
// value (accessibility.h).
class DBText : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)
public:
    explicit DBText(QWidget *parent = nullptr);

    tables::DataSource *dataSource() const { return link_.dataSource(); }
    void setDataSource(tables::DataSource *source) { link_.setDataSource(source); }
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString &name) { link_.setFieldName(name); }

private:
    void refresh();
    FieldLink link_;
};

// A data-aware drop-down list of the rows of a list data set: each entry
// stands for the row's key field and shows its list field. Choosing an entry
// puts the data set into the edit state and sets the data field to the key.
class DBLookupComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)
    Q_PROPERTY(QString keyField READ keyField WRITE setKeyField)
    Q_PROPERTY(QString listField READ listField WRITE setListField)
public:
    explicit DBLookupComboBox(QWidget *parent = nullptr);

    tables::DataSource *dataSource() const { return link_.dataSource(); }
    void setDataSource(tables::DataSource *source) { link_.setDataSource(source); }
    QString dataField() const { return link_.fieldName(); }
    void setDataField(const QString &name) { link_.setFieldName(name); }

    tables::DataSource *listSource() const { return list_.dataSource(); }
    void setListSource(tables::DataSource *source) { list_.setDataSource(source); }
    const QString &keyField() const { return keyField_; }
    void setKeyField(const QString &name);
    const QString &listField() const { return listField_; }
    void setListField(const QString &name);

    // Shown text of the chosen entry; empty when none is chosen.
    QString text() const { return currentIndex() < 0 ? QString() : currentText(); }

signals:
    // The focus left for another control of the same window.
    void exited();

private:
    void rebuild();
    void refresh();
    void choose(int index);

    FieldLink link_;
    FieldLink list_;
    QString keyField_;
    QString listField_;
    bool updating_ = false;
};

// A column of a data grid.
struct DBGridColumn {
    QString fieldName;
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft;      // of the cells
    Qt::Alignment titleAlignment = Qt::AlignLeft;
    bool titleBold = false;
    int width = 0; // in pixels; 0 leaves the toolkit's default
};

class DataSetTableModel;

// A data grid: one row per record, the current record marked in the row
// indicator, whole rows selected, no editing in place, Tab moving between
// columns. Selecting a row moves the data set to it; Ctrl+Delete deletes the
// current record after the confirmation "Delete record?".
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget *parent = nullptr);

    tables::DataSource *dataSource() const { return source_; }
    void setDataSource(tables::DataSource *source);
    const QList<DBGridColumn> &columns() const { return columns_; }
    void setColumns(const QList<DBGridColumn> &columns);

    // What a cell shows, by row and column.
    QString cellText(int row, int column) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void syncFromDataSet(bool reset);
    void applyWidths();

    QPointer<tables::DataSource> source_;
    QList<DBGridColumn> columns_;
    DataSetTableModel *model_;
    bool syncing_ = false;
};
