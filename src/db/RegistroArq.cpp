#include "db/RegistroArq.h"

#include "db/statements.h"
#include "db/tables.h"
#include "platform/tables/session.h"
#include "platform/tables/statement.h"
#include "platform/tables/table.h"

namespace zqdb {

namespace {

tables::Connection &conexao()
{
    return tables::Session::instance().connection(AliasName);
}

struct TabelaArq : tables::Table {
    TabelaArq()
    {
        setupTable(*this, QStringLiteral("Arq.db"));
        open();
    }
    tables::Field *campo(const char *nome) const { return fieldByName(QLatin1String(nome)); }
};

void escreve(TabelaArq &t, const RegistroArq &r)
{
    t.campo("ArqCtrAgencia")->setAsInteger(r.agencia);
    t.campo("ArqCtrContrato")->setAsInteger(r.contrato);
    t.campo("ArqCtrServico")->setAsString(r.servico);
    t.campo("ArqDataOper")->setAsDate(r.dataOper);
    t.campo("ArqHoraOper")->setAsTime(r.horaOper);
    t.campo("ArqNomeOrigem")->setAsString(r.nomeOrigem);
    t.campo("ArqNomeDestino")->setAsString(r.nomeDestino);
    t.campo("ArqRemessa")->setAsBoolean(r.remessa);
    t.campo("ArqNumRemessa")->setAsInteger(r.numRemessa);
    t.campo("ArqDataOrigem")->setAsDate(r.dataOrigem);
    if (r.horaOrigem.isValid())
        t.campo("ArqHoraOrigem")->setAsTime(r.horaOrigem);
    else
        t.campo("ArqHoraOrigem")->clear();
}

// Writes the record being appended or edited and posts it.
void posta(TabelaArq &t, const RegistroArq &r)
{
    try {
        escreve(t, r);
        t.post();
    } catch (...) {
        t.cancel();
        throw;
    }
}

} // namespace

qint64 acrescentaRegistroArq(const RegistroArq &registro)
{
    TabelaArq t;
    t.append();
    posta(t, registro);
    return t.rowId();
}

bool regravaRegistroArq(qint64 id, const RegistroArq &registro)
{
    TabelaArq t;
    if (!t.findRowId(id))
        return false;
    t.edit();
    posta(t, registro);
    return true;
}

std::optional<RegistroArq> leRegistroArq(qint64 id)
{
    TabelaArq t;
    if (!t.findRowId(id))
        return std::nullopt;
    RegistroArq r;
    r.agencia = t.campo("ArqCtrAgencia")->asInteger();
    r.contrato = t.campo("ArqCtrContrato")->asInteger();
    r.servico = t.campo("ArqCtrServico")->asString();
    r.dataOper = t.campo("ArqDataOper")->asDate();
    r.horaOper = t.campo("ArqHoraOper")->asTime();
    r.nomeOrigem = t.campo("ArqNomeOrigem")->asString();
    r.nomeDestino = t.campo("ArqNomeDestino")->asString();
    r.remessa = t.campo("ArqRemessa")->asBoolean();
    r.numRemessa = t.campo("ArqNumRemessa")->asInteger();
    r.dataOrigem = t.campo("ArqDataOrigem")->asDate();
    r.horaOrigem = t.campo("ArqHoraOrigem")->isNull() ? QTime() : t.campo("ArqHoraOrigem")->asTime();
    return r;
}

void excluiRegistroArq(qint64 id)
{
    TabelaArq t;
    if (t.findRowId(id))
        t.deleteRecord();
}

bool entregaRegistrada(const QString &nomeDestino, const QDateTime &momento, bool remessa)
{
    Consulta q(sql::EntregaRegistrada);
    q.paramByName(QStringLiteral("Data")).setAsDate(momento.date());
    q.paramByName(QStringLiteral("Hora")).setAsTime(momento.time());
    q.paramByName(QStringLiteral("Remessa")).setAsBoolean(remessa);
    q.paramByName(QStringLiteral("Nome")).setAsString(nomeDestino);
    q.open();
    return q.fields().first()->asInteger() > 0;
}

TransacaoLog::TransacaoLog()
{
    tables::Connection &c = conexao();
    c.startTransaction();
    aberta_ = true;
    try {
        // A write that changes nothing takes the log's write lock now.
        tables::Statement(c, QStringLiteral("DELETE FROM Arq WHERE 0")).exec();
    } catch (...) {
        c.rollback();
        aberta_ = false;
        throw;
    }
}

TransacaoLog::~TransacaoLog()
{
    if (aberta_)
        conexao().rollback();
}

void TransacaoLog::commit()
{
    conexao().commit();
    aberta_ = false;
}

} // namespace zqdb
