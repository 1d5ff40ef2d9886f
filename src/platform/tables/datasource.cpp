#include "platform/tables/datasource.h"

namespace tables {

void DataSource::setDataSet(DataSet *ds)
{
    if (dataSet_)
        disconnect(dataSet_, nullptr, this, nullptr);
    dataSet_ = ds;
    if (ds) {
        connect(ds, &DataSet::stateChanged, this, &DataSource::stateChange);
        connect(ds, &DataSet::dataChanged, this, &DataSource::dataChange);
        connect(ds, &DataSet::fieldChanged, this, &DataSource::fieldChange);
    }
    emit stateChange();
    emit dataChange();
}

} // namespace tables
