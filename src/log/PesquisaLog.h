#pragma once
// The search of the rename log: the statement built from the filters that
// are set, line by line, the way the log window runs it and the command line
// lists it. No widgets here.
#include <QDate>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace tables {
class Query;
}

namespace zqlog {

struct Filtros {
    // A contract (agency and number), or every one.
    std::optional<int> agencia;
    std::optional<int> contrato;
    // Only remittances or only returns; both or neither: every row.
    bool remessa = false;
    bool retorno = false;
    // The file's own date (not the day of the rename).
    std::optional<QDate> data;
};

// A statement and the values of its parameters.
struct Pesquisa {
    QStringList linhas;
    QList<QPair<QString, QVariant>> valores;
};

// "SELECT ... FROM Arq", the conditions of the filters joined by "WHERE" and
// "and", "ORDER BY ArqCtrAgencia, ArqCtrContrato, ArqDataOper,ArqHoraOper".
Pesquisa montaPesquisa(const Filtros &filtros);

// Puts the search into a closed query: its lines, the types of its
// parameters and their values.
void aplica(const Pesquisa &pesquisa, tables::Query &consulta);

} // namespace zqlog
