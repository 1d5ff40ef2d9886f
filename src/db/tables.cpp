#include "db/tables.h"

namespace zqdb {

void setupTable(tables::Table &table, const QString &fileName)
{
    table.databaseName = AliasName;
    table.tableName = fileName;
}

void setContractFormats(tables::DataSet &ctr)
{
    ctr.fieldOptions(QStringLiteral("CtrAgencia")).displayFormat = QStringLiteral("0000");
    ctr.fieldOptions(QStringLiteral("CtrAgencia")).editFormat = QStringLiteral("0000");
    auto &contrato = ctr.fieldOptions(QStringLiteral("CtrContrato"));
    contrato.displayFormat = QStringLiteral("000000000");
    contrato.maxValue = 999999999;
    ctr.fieldOptions(QStringLiteral("CtrDescricao")).displayLabel = QStringLiteral("Descrição");
}

void addAgeNomeLookup(tables::DataSet &ctr, tables::DataSet *age, int size, const QString &name)
{
    ctr.addLookupField(name, QStringLiteral("CtrAgencia"), age, QStringLiteral("AgeCod"), QStringLiteral("AgeNome"), size);
}

void addSisCodLookup(tables::DataSet &ctr, tables::DataSet *svc, const QString &name)
{
    ctr.addLookupField(name, QStringLiteral("CtrServico"), svc, QStringLiteral("SvcCod"), QStringLiteral("SisCod"), 3);
}

void addSvcIdLookup(tables::DataSet &ctr, tables::DataSet *svc)
{
    ctr.addLookupField(QStringLiteral("SvcId"), QStringLiteral("CtrServico"), svc, QStringLiteral("SvcCod"), QStringLiteral("SvcID"), 2);
    ctr.fieldOptions(QStringLiteral("SvcId")).displayFormat = QStringLiteral("00");
}

Consulta::Consulta(const tables::SqlText &statement)
{
    databaseName = AliasName;
    setSQL(statement);
}

Consulta::Consulta(const QStringList &lines)
{
    databaseName = AliasName;
    setSQL(lines);
}

Consulta::~Consulta()
{
    close();
}

} // namespace zqdb
