// renomeia-zq-cli vigia: a process that keeps running and delivers what
// arrives, with nobody at the screen.
#include "cli/comandos.h"
#include "cli/pendentes.h"
#include "cli/terminal.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/os/parada.h"
#include "platform/runtime/convert.h"
#include "platform/tables/session.h"

#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

namespace zqcli {

namespace {

const QString Ajuda = QStringLiteral(
    "Uso: renomeia-zq-cli vigia [--intervalo S] [--estavel S] [--remessas AGENCIA/CONTRATO/SERVICO]...\n"
    "Fica em execução e entrega sem ninguém à tela: os arquivos retorno de todos os contratos, como\n"
    "retorno --todos, e os arquivos remessa de cada contrato de --remessas, como remessa --pendentes\n"
    "(produção; um arquivo com falhas é retido). Faz uma rodada ao começar, a cada --intervalo\n"
    "segundos e logo depois de uma mudança nas pastas que acompanha (as pastas de entrada, as pastas\n"
    "de remessa dos contratos de --remessas e as pastas de retorno que ainda têm o arquivo anterior).\n"
    "Escreve uma linha por arquivo entregue, retido ou aguardando, com data e hora. Não deixa tabela\n"
    "aberta entre as rodadas: a janela do programa e outras tarefas trabalham ao lado. Termina\n"
    "(saída 0) com SIGTERM ou Ctrl+C, depois de acabar o arquivo em mãos.\n"
    "\n"
    "  --intervalo S    segundos entre as rodadas (padrão 60)\n"
    "  --estavel S      deixa para depois o arquivo remessa modificado há menos de S segundos (padrão 30)\n"
    "  --remessas A/C/S renomeia os arquivos remessa do contrato C da agência A, serviço S\n"
    "                   (por exemplo 1/1234569/66); pode ser repetida\n");

// A contract named by --remessas.
struct Chave {
    int agencia = 0;
    int contrato = 0;
    QString servico;
};

// A change in a folder is taken this soon, after the writes it belongs to have settled a little.
constexpr int EsperaDaMudanca = 500;

class Vigia : public QObject {
public:
    Vigia(QTextStream &out, QTextStream &err, int intervalo, int estavel, QList<Chave> contratos)
        : out_(out), err_(err), intervalo_(intervalo), estavel_(estavel), contratos_(std::move(contratos))
    {
        proxima_.setSingleShot(true);
        connect(&proxima_, &QTimer::timeout, this, &Vigia::rodada);
        connect(&observador_, &QFileSystemWatcher::directoryChanged, this, &Vigia::mudou);
    }

    void rodada()
    {
        purgaUmaVezPorDia();
        ronda_.clear();
        Balanco b;
        try {
            b.soma(retornosPendentes(false, [this](const Ocorrencia &o) { conta(o); }, os::paradaPedida));
            for (const Chave &k : std::as_const(contratos_)) {
                if (os::paradaPedida())
                    break;
                const std::optional<remessa::Contrato> c = remessa::leContrato(k.agencia, k.contrato, k.servico);
                if (!c) {
                    conta({Ocorrencia::Tipo::Falhou, contratoTexto(k.agencia, k.contrato) + QLatin1Char('/') + k.servico,
                           QStringLiteral("o contrato não está cadastrado"), QString()});
                    continue;
                }
                OpcoesPendentes opcoes;
                opcoes.estavel = estavel_;
                b.soma(remessasPendentes(*c, opcoes, [this](const Ocorrencia &o) { conta(o); }, os::paradaPedida));
            }
            acompanha(b.pastasEsperadas);
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

private:
    void mudou()
    {
        if (!proxima_.isActive() || proxima_.remainingTime() > EsperaDaMudanca)
            proxima_.start(EsperaDaMudanca);
    }

    // The next round: after the interval, or when a file left waiting for
    // being too fresh is settled, whichever comes first.
    void agenda(const QDateTime &assentado)
    {
        qint64 ms = qint64(intervalo_) * 1000;
        if (assentado.isValid())
            ms = std::clamp(Now().msecsTo(assentado) + 100, qint64(EsperaDaMudanca), ms);
        proxima_.start(int(ms));
    }

    // The folders whose change may bring work: the incoming folders, the
    // named contracts' remittance folders, and the return folders holding a
    // file that the next program has yet to take.
    void acompanha(const QStringList &esperadas)
    {
        QStringList pastas = pastasDeEntrada() + esperadas;
        for (const Chave &k : std::as_const(contratos_))
            if (const std::optional<remessa::Contrato> c = remessa::leContrato(k.agencia, k.contrato, k.servico))
                pastas << c->dirRemessa;
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
    void conta(const Ocorrencia &o)
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

    void linha(const QString &tipo, const QString &arquivo, const QString &motivo)
    {
        out_ << Now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) << ' ' << tipo << ' ' << arquivo;
        if (!motivo.isEmpty())
            out_ << QStringLiteral(": ") << QString(motivo).replace(QLatin1Char('\n'), QStringLiteral(" / "));
        out_ << Qt::endl;
    }

    // The log keeps 30 days, as at the window program's start.
    void purgaUmaVezPorDia()
    {
        const QDate hoje = Now().date();
        if (purgado_ == hoje)
            return;
        try {
            zqdb::Consulta purga(sql::ExcluiArq);
            purga.paramByName(QStringLiteral("ParmData")).setAsDateTime(QDateTime(hoje.addDays(-30), QTime(0, 0)));
            purga.execSQL();
            purgado_ = hoje;
        } catch (const Exception &) {
            // The log is busy: the next round purges it.
        }
    }

    QTextStream &out_;
    QTextStream &err_;
    int intervalo_;
    int estavel_;
    QList<Chave> contratos_;
    QTimer proxima_;
    QFileSystemWatcher observador_;
    QHash<QString, QString> ditos_; // file -> what was last told of it
    QSet<QString> ronda_;           // files told of in this round
    QDate purgado_;
};

} // namespace

int vigia(const QStringList &argumentos, QTextStream &out, QTextStream &err)
{
    Opcoes o(QStringLiteral("vigia"), {QStringLiteral("intervalo"), QStringLiteral("estavel"), QStringLiteral("remessas")}, {});
    o.le(argumentos);
    if (o.ajuda()) {
        out << Ajuda;
        return Sucesso;
    }
    o.semArgumentos();
    const int intervalo = o.tem(QStringLiteral("intervalo")) ? o.inteiro(QStringLiteral("intervalo"), 86400, 1) : 60;
    const int estavel = o.tem(QStringLiteral("estavel")) ? o.inteiro(QStringLiteral("estavel"), 86400) : 30;
    QList<Chave> contratos;
    static const QRegularExpression formato(QStringLiteral("^(\\d{1,4})/(\\d{1,9})/(\\w{1,2})$"));
    for (const QString &valor : o.valores(QStringLiteral("remessas"))) {
        const QRegularExpressionMatch m = formato.match(valor);
        if (!m.hasMatch())
            throw ErroDeUso{QStringLiteral("Valor inválido para --remessas: %1 (use AGENCIA/CONTRATO/SERVICO, por exemplo 1/1234569/66)")
                                .arg(valor)};
        const Chave k{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3)};
        if (!remessa::leContrato(k.agencia, k.contrato, k.servico)) {
            err << QStringLiteral("O contrato %1 do serviço %2 não está cadastrado.").arg(contratoTexto(k.agencia, k.contrato), k.servico)
                << Qt::endl;
            return Recusa;
        }
        contratos << k;
    }

    Vigia vigia(out, err, intervalo, estavel, contratos);
    os::tratePedidoDeParada([] { QCoreApplication::quit(); });
    err << QStringLiteral("Vigiando as pastas (rodada a cada %1 segundos); SIGTERM ou Ctrl+C termina.").arg(intervalo) << Qt::endl;
    vigia.rodada();
    if (!os::paradaPedida())
        QCoreApplication::exec();
    err << QStringLiteral("Vigia terminado.") << Qt::endl;
    return Sucesso;
}

} // namespace zqcli
