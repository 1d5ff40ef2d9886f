#pragma once
// The program's five tables: where they live, their fields and the lookups
// that windows add to their contract data sets.
#include <QString>

#include "platform/tables/dataset.h"
#include "platform/tables/query.h"
#include "platform/tables/table.h"

namespace zqdb {

inline const QString AliasName = QStringLiteral("ZqRen417");
inline const QString AliasDriver = QStringLiteral("PARADOX");
inline const QString TablesFolder = QStringLiteral("C:\\ZQ\\REN\\TABELAS");

// Opens-ready table object on the alias ("Ctr.DB").
void setupTable(tables::Table &table, const QString &fileName);

// Display formats of a contract data set: agency "0000", contract
// "000000000" (0 to 999999999), CtrDescricao labelled "Descrição".
void setContractFormats(tables::DataSet &ctr);

// Lookups of a contract data set (declared before it opens).
void addAgeNomeLookup(tables::DataSet &ctr, tables::DataSet *age, int size, const QString &name = QStringLiteral("AgeNome"));
void addSisCodLookup(tables::DataSet &ctr, tables::DataSet *svc, const QString &name = QStringLiteral("SisCod"));
void addSvcIdLookup(tables::DataSet &ctr, tables::DataSet *svc);

// A query of the program on the alias, closed when it goes.
class Consulta : public tables::Query {
public:
    explicit Consulta(const tables::SqlText &statement);
    explicit Consulta(const QStringList &lines);
    ~Consulta() override;
    tables::Field *campo(const char *nome) const { return fieldByName(QLatin1String(nome)); }
};

} // namespace zqdb
