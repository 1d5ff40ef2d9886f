#include "db/RegistroArq.h"

#include "db/installer.h"
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

// The fingerprints' table of the log's file exists (a drive laid out by an
// earlier version gets it at its first delivery).
bool haImpressoes(tables::Connection &c)
{
    const QString schema = c.schemaOf(QStringLiteral("Arq"));
    if (schema.isEmpty())
        return false;
    tables::Statement q(c, QStringLiteral("SELECT COUNT(*) FROM %1.sqlite_master WHERE type = 'table' AND name = 'ArqImp'").arg(schema));
    return q.step() && q.int64(0) > 0;
}

// Writes the row's fingerprint beside it, or removes one it no longer has.
void gravaImpressao(qint64 id, const std::optional<Impressao> &impressao)
{
    tables::Connection &c = conexao();
    if (!impressao) {
        if (haImpressoes(c)) {
            tables::Statement apaga(c, QStringLiteral("DELETE FROM ArqImp WHERE ImpArq = ?"));
            apaga.bind(1, id);
            apaga.exec();
        }
        return;
    }
    if (!haImpressoes(c))
        for (const QString &sql : impressaoStatements(c.schemaOf(QStringLiteral("Arq"))))
            tables::Statement(c, sql).exec();
    tables::Statement grava(c, QStringLiteral("INSERT OR REPLACE INTO ArqImp (ImpArq, ImpConteudo, ImpSequencia) VALUES (?, ?, ?)"));
    grava.bind(1, id);
    grava.bind(2, qint64(impressao->conteudo)); // the 64 bits as SQLite's signed integer
    grava.bind(3, impressao->sequencia ? QVariant(*impressao->sequencia) : QVariant());
    grava.exec();
}

// An earlier remittance found through its fingerprint.
std::optional<EntregaAnterior> anterior(const QString &condicao, const QVariantList &valores)
{
    tables::Connection &c = conexao();
    if (!haImpressoes(c))
        return std::nullopt;
    tables::Statement q(c, QStringLiteral("SELECT a.ArqNomeDestino, a.ArqDataOper, a.ArqHoraOper, i.ImpSequencia "
                                          "FROM ArqImp i JOIN Arq a ON a.rowid = i.ImpArq "
                                          "WHERE a.ArqRemessa = 1 AND a.ArqCtrAgencia = ? AND a.ArqCtrContrato = ? "
                                          "AND a.ArqCtrServico = ? AND a.rowid <> ? AND ")
                               + condicao + QStringLiteral(" ORDER BY a.ArqDataOper DESC, a.ArqHoraOper DESC, a.rowid DESC LIMIT 1"));
    for (int i = 0; i < valores.size(); ++i)
        q.bind(i + 1, tables::toStorage(valores[i]));
    if (!q.step())
        return std::nullopt;
    EntregaAnterior e;
    e.nomeDestino = q.value(0).toString();
    e.data = tables::fromStorage(q.value(1), tables::FieldType::Date).toDate();
    e.hora = tables::fromStorage(q.value(2), tables::FieldType::Time).toTime();
    if (!q.isNull(3))
        e.sequencia = int(q.int64(3));
    return e;
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
    if (registro.impressao)
        gravaImpressao(t.rowId(), registro.impressao);
    return t.rowId();
}

bool regravaRegistroArq(qint64 id, const RegistroArq &registro)
{
    TabelaArq t;
    if (!t.findRowId(id))
        return false;
    t.edit();
    posta(t, registro);
    gravaImpressao(id, registro.impressao);
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
    tables::Connection &c = conexao();
    if (haImpressoes(c)) {
        tables::Statement q(c, QStringLiteral("SELECT ImpConteudo, ImpSequencia FROM ArqImp WHERE ImpArq = ?"));
        q.bind(1, id);
        if (q.step())
            r.impressao = Impressao{quint64(q.int64(0)), q.isNull(1) ? std::nullopt : std::optional<int>(int(q.int64(1)))};
    }
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

std::optional<EntregaAnterior> entregaDeMesmoConteudo(int agencia, int contrato, const QString &servico, quint64 conteudo,
                                                      const QDate &desde, qint64 excluida)
{
    return anterior(QStringLiteral("i.ImpConteudo = ? AND a.ArqDataOper >= ?"),
                    {agencia, contrato, servico, excluida, qint64(conteudo), desde});
}

std::optional<EntregaAnterior> ultimaSequenciaCnab240(int agencia, int contrato, const QString &servico, qint64 excluida)
{
    return anterior(QStringLiteral("i.ImpSequencia IS NOT NULL"), {agencia, contrato, servico, excluida});
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
