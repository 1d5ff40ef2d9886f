#pragma once
// A data source links data-aware controls to a data set and relays its state changes.
#include <QObject>
#include <QPointer>

#include "platform/tables/dataset.h"

namespace tables {

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr) : QObject(parent) {}
    DataSet *dataSet() const { return dataSet_; }
    void setDataSet(DataSet *ds);
    DataSetState state() const { return dataSet_ ? dataSet_->state() : DataSetState::Inactive; }

signals:
    void stateChange();
    void dataChange();
    void fieldChange(tables::Field *field);

private:
    QPointer<DataSet> dataSet_;
};

} // namespace tables
