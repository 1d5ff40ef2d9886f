#include "log/PesquisaLog.h"

#include "db/statements.h"
#include "platform/tables/query.h"

namespace zqlog {

Pesquisa montaPesquisa(const Filtros &f)
{
    Pesquisa p;
    p.linhas << sql::log::Select << sql::log::From;
    bool condicao = false;
    const auto conecta = [&] {
        p.linhas << (condicao ? sql::log::And : sql::log::Where);
        condicao = true;
    };
    if (f.agencia && f.contrato) {
        p.linhas << sql::log::Where << sql::log::Agencia << sql::log::And << sql::log::Contrato;
        condicao = true;
        p.valores << qMakePair(QStringLiteral("Agencia"), QVariant(*f.agencia))
                  << qMakePair(QStringLiteral("Contrato"), QVariant(*f.contrato));
    }
    if (f.remessa != f.retorno) {
        conecta();
        p.linhas << (f.remessa ? sql::log::Remessa : sql::log::Retorno);
    }
    if (f.data) {
        conecta();
        p.linhas << sql::log::DataArquivo;
        p.valores << qMakePair(QStringLiteral("DataArquivo"), QVariant(*f.data));
    }
    p.linhas << sql::log::OrderBy;
    return p;
}

void aplica(const Pesquisa &p, tables::Query &q)
{
    q.setSQL(tables::SqlText{p.linhas, sql::log::Params});
    for (const auto &[nome, valor] : p.valores)
        q.paramByName(nome).setValue(valor);
}

} // namespace zqlog
