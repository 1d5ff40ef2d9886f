#include "cli/vigia.h"

#include "cli/terminal.h"
#include "db/RegistroArq.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/os/parada.h"
#include "platform/runtime/convert.h"
#include "platform/tables/session.h"

namespace zqcli {

namespace {
// A change in a folder is taken this soon, after the writes it belongs to have settled a little.
constexpr int EsperaDaMudanca = 500;
} // namespace

Vigia::Vigia(QTextStream &out, int intervalo, int estavel, QList<Chave> contratos)
    : out_(out), intervalo_(intervalo), estavel_(estavel), contratos_(std::move(contratos))
{
    proxima_.setSingleShot(true);
    connect(&proxima_, &QTimer::timeout, this, &Vigia::rodada);
    connect(&observador_, &QFileSystemWatcher::directoryChanged, this, &Vigia::mudou);
}

void Vigia::rodada()
{
    purgaUmaVezPorDia();
    ronda_.clear();
    Balanco b;
    QStringList pastas; // watched for the next round
    const Relato relato = [this](const Ocorrencia &o) { conta(o); };
    try {
        b.soma(retornosPendentes(false, relato, os::paradaPedida));
        for (const Chave &k : std::as_const(contratos_)) {
            if (os::paradaPedida())
                break;
            const std::optional<remessa::Contrato> c = remessa::leContrato(k.agencia, k.contrato, k.servico);
            if (!c) {
                conta({Ocorrencia::Tipo::Falhou, contratoTexto(k.agencia, k.contrato) + QLatin1Char('/') + k.servico,
                       QStringLiteral("o contrato não está cadastrado"), QString()});
                continue;
            }
            pastas << c->dirRemessa;
            OpcoesPendentes opcoes;
            opcoes.estavel = estavel_;
            b.soma(remessasPendentes(*c, opcoes, relato, os::paradaPedida));
        }
        acompanha(pastas + b.pastasEsperadas);
    } catch (const Exception &e) {
        linha(QStringLiteral("falhou"), QStringLiteral("rodada"), textoDoErro(e));
    }
    // What is no longer seen may be told again when it comes back.
    for (auto it = ditos_.begin(); it != ditos_.end();)
        it = ronda_.contains(it.key()) ? std::next(it) : ditos_.erase(it);
    // No table stays open between rounds.
    tables::Session::instance().closeConnections();
    out_.flush();
    agenda(b.proximaVez);
}

void Vigia::mudou()
{
    if (!proxima_.isActive() || proxima_.remainingTime() > EsperaDaMudanca)
        proxima_.start(EsperaDaMudanca);
}

// The next round: after the interval, or when a file left waiting for being
// too fresh is settled, whichever comes first.
void Vigia::agenda(const QDateTime &assentado)
{
    qint64 ms = qint64(intervalo_) * 1000;
    if (assentado.isValid())
        ms = std::clamp(Now().msecsTo(assentado) + 100, qint64(EsperaDaMudanca), ms);
    proxima_.start(int(ms));
}

// The folders whose change may bring work: the incoming folders, and those
// the round names (the named contracts' remittance folders, the return
// folders holding a file that the next program has yet to take).
void Vigia::acompanha(const QStringList &daRodada)
{
    const QStringList pastas = pastasDeEntrada() + daRodada;
    QSet<QString> hospedeiras;
    for (const QString &p : std::as_const(pastas))
        if (winfs::directoryExists(p))
            hospedeiras.insert(winfs::hostPath(winfs::excludeTrailingBackslash(p)));
    const QStringList atuais = observador_.directories();
    for (const QString &p : atuais)
        if (!hospedeiras.contains(p))
            observador_.removePath(p);
    for (const QString &p : std::as_const(hospedeiras))
        if (!atuais.contains(p))
            observador_.addPath(p);
}

// One line per file: what was delivered, and what is held back, waits or
// failed when that is news since the last round.
void Vigia::conta(const Ocorrencia &o)
{
    static const QString Tipos[] = {QStringLiteral("entregue"), QStringLiteral("retido"), QStringLiteral("aguardando"),
                                    QStringLiteral("falhou")};
    const QString tipo = Tipos[int(o.tipo)];
    if (o.tipo == Ocorrencia::Tipo::Entregue) {
        ditos_.remove(o.origem);
        linha(tipo, o.arquivo, QStringLiteral("de ") + o.origem);
        return;
    }
    ronda_.insert(o.arquivo);
    const QString dito = tipo + o.motivo;
    if (ditos_.value(o.arquivo) == dito)
        return;
    ditos_.insert(o.arquivo, dito);
    linha(tipo, o.arquivo, o.motivo);
}

void Vigia::linha(const QString &tipo, const QString &arquivo, const QString &motivo)
{
    out_ << Now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) << ' ' << tipo << ' ' << arquivo;
    if (!motivo.isEmpty())
        out_ << QStringLiteral(": ") << QString(motivo).replace(QLatin1Char('\n'), QStringLiteral(" / "));
    out_ << Qt::endl;
}

// The log keeps 30 days, as at the window program's start.
void Vigia::purgaUmaVezPorDia()
{
    const QDate hoje = Now().date();
    if (purgado_ == hoje)
        return;
    try {
        zqdb::Consulta purga(sql::ExcluiArq);
        purga.paramByName(QStringLiteral("ParmData")).setAsDateTime(QDateTime(zqdb::inicioDoLog(hoje), QTime(0, 0)));
        purga.execSQL();
        purgado_ = hoje;
    } catch (const Exception &) {
        // The log is busy: the next round purges it.
    }
}

} // namespace zqcli
