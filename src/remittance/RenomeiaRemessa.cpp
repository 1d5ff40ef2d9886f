#include "remittance/RenomeiaRemessa.h"

#include "db/RegistroArq.h"
#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/tables/query.h"
#include "remittance/NomeRemessa.h"

#include <QRegularExpression>
#include <QSet>

namespace remessa {

namespace {

using Decisao = Interlocutor::Decisao;

const QString Titulo = QStringLiteral("Renomeia Arquivos");
const QString NaoRenomeado = QStringLiteral("Arquivo NÃO foi Renomeado!!");
const QString Limite = QStringLiteral("Só é permitida a remessa de 9(nove) arquivos\rem cada dia (dia de formatação)\r"
                                      "Arquivo NÃO pode ser Renomeado!!");
constexpr int MaximoPorDia = 9;

// The number the next remittance of the contract, service and file date
// gets: one more than the remittances logged for that date, passing over a
// number a logged file still holds (rows go with the purge by operation
// date); above nine when the day is full.
int proximaSequencia(const Contrato &c, const QDate &data)
{
    zqdb::Consulta q(sql::RemArquivos);
    q.paramByName(QStringLiteral("Agencia")).setAsSmallInt(c.agencia);
    q.paramByName(QStringLiteral("Contrato")).setAsInteger(c.contrato);
    q.paramByName(QStringLiteral("Servico")).setAsString(c.servico);
    q.paramByName(QStringLiteral("Data")).setAsDate(data);
    q.open();
    int anteriores = 0;
    QSet<int> tomados;
    for (q.first(); !q.eof(); q.next()) {
        ++anteriores;
        tomados.insert(q.campo("ArqNumRemessa")->asInteger());
    }
    if (anteriores >= MaximoPorDia)
        return MaximoPorDia + 1;
    int sequencia = anteriores + 1;
    while (tomados.contains(sequencia))
        ++sequencia;
    return sequencia;
}

DadosNome dadosNome(const Contrato &c, const Composicao &comp)
{
    DadosNome d;
    d.sistema = c.sistema;
    d.servicoId = QString::number(c.servicoId).rightJustified(2, QLatin1Char('0'));
    d.servico = c.servico;
    d.dia = FormatDateTime(QStringLiteral("dd"), comp.dataOrigem);
    d.sequencia = comp.sequencia;
    d.agencia = QString::number(c.agencia).rightJustified(4, QLatin1Char('0'));
    d.contrato = QString::number(c.contrato).rightJustified(9, QLatin1Char('0'));
    d.producao = comp.producao;
    return d;
}

zqdb::RegistroArq registro(const Contrato &c, const Composicao &comp, const QDateTime &agora)
{
    zqdb::RegistroArq r;
    r.agencia = c.agencia;
    r.contrato = c.contrato;
    r.servico = c.servico;
    r.dataOper = agora.date();
    r.horaOper = agora.time();
    r.nomeOrigem = comp.origem;
    r.nomeDestino = comp.nome;
    r.remessa = true;
    // The number stands in the 10th character of every standard name.
    r.numRemessa = StrToInt(comp.nome.mid(9, 1));
    r.dataOrigem = comp.dataOrigem;
    r.horaOrigem = comp.horaOrigem;
    return r;
}

// Ensures a folder under C:\ZQ, raising "Não foi possível criar a pasta ..." when it cannot be made.
void criaPasta(const QString &pasta)
{
    if (winfs::directoryExists(pasta))
        return;
    if (!winfs::createDir(pasta))
        throw Exception(QStringLiteral("Não foi possível criar a pasta ") + pasta);
}

// The failure of a step, raised with its code for the message.
[[noreturn]] void falha(int codigo)
{
    IOResult();
    throw EInOutError(codigo);
}

// The limit met when the log row was written (another copy took the last number).
struct DiaCompleto {};

} // namespace

std::optional<Contrato> leContrato(int agencia, int contrato, const QString &servico)
{
    zqdb::Consulta q(sql::ContratoComServico);
    q.paramByName(QStringLiteral("Agencia")).setAsSmallInt(agencia);
    q.paramByName(QStringLiteral("Contrato")).setAsInteger(contrato);
    q.open();
    for (q.first(); !q.eof(); q.next()) {
        if (q.campo("CtrServico")->asString() != servico)
            continue;
        Contrato c;
        c.agencia = agencia;
        c.contrato = contrato;
        c.servico = servico;
        c.dirRemessa = q.campo("CtrDirRemessa")->asString();
        c.servicoCadastrado = !q.campo("SvcCod")->isNull();
        c.sistema = q.campo("SisCod")->asString();
        c.servicoId = q.campo("SvcID")->asInteger();
        c.tamanhoRegistro = q.campo("SvcTam")->asInteger();
        return c;
    }
    return std::nullopt;
}

QString textoConferencia(const Conferencia &achados)
{
    constexpr int Mostradas = 10;
    QStringList linhas;
    for (const Constatacao &c : achados.constatacoes().mid(0, Mostradas))
        linhas << textoConstatacao(c, true);
    if (achados.total() > Mostradas)
        linhas << QStringLiteral("... e mais %1").arg(achados.total() - Mostradas);
    return linhas.join(QLatin1Char('\r')) + QStringLiteral("\r\rRenomear o arquivo assim mesmo?");
}

QString pastaSaida(const Contrato &contrato)
{
    return zqdb::outgoingFolder(contrato.sistema);
}

void RenomeiaRemessa::avisa(const QString &texto)
{
    quem_.mensagem({texto, Titulo, MsgStyle::Information});
}

Composto RenomeiaRemessa::compoe(const Contrato &c, const QString &origem, bool producao, Composicao &comp)
{
    QDateTime carimbo;
    {
        winfs::FileReader arquivo;
        if (arquivo.open(origem) != 0) {
            IOResult(); // nothing to report: no name is shown
            return Composto::SemOrigem;
        }
        carimbo = arquivo.fileAge();
    }
    comp = Composicao();
    comp.origem = origem;
    comp.producao = producao;
    comp.dataOrigem = carimbo.date();
    comp.horaOrigem = carimbo.time();

    // Without its service the name would lack system and identifier.
    if (!c.servicoCadastrado) {
        avisa(QStringLiteral("O serviço ") + c.servico + QStringLiteral(" do contrato não está cadastrado\rArquivo NÃO pode ser Renomeado!!"));
        return Composto::SemServico;
    }

    // A file renamed before: the same contract, path and stamp.
    {
        zqdb::Consulta q(sql::ArquivosRemessa);
        q.paramByName(QStringLiteral("Agencia")).setAsSmallInt(c.agencia);
        q.paramByName(QStringLiteral("Contrato")).setAsInteger(c.contrato);
        q.paramByName(QStringLiteral("Servico")).setAsString(c.servico);
        q.paramByName(QStringLiteral("Nome")).setAsString(origem);
        q.paramByName(QStringLiteral("Data")).setAsDate(comp.dataOrigem);
        q.paramByName(QStringLiteral("Hora")).setAsTime(comp.horaOrigem);
        q.open();
        if (!q.isEmpty()) {
            q.first();
            const QString anterior = q.campo("ArqNomeDestino")->asString();
            if (!quem_.pergunta(Interlocutor::Pergunta::RenomearNovamente,
                                {QStringLiteral("O arquivo informado já foi renomeado\r") + anterior
                                     + QStringLiteral("\rDeseja renomeá-lo novamente?"),
                                 QStringLiteral("Confirmação"), MsgStyle::Question}))
                return Composto::NaoRenomearNovamente;
            comp.renomeiaNovamente = true;
            comp.registro = q.rowId();
            comp.sequencia = q.campo("ArqNumRemessa")->asInteger();
            comp.nome = nomePadrao(dadosNome(c, comp));
            return Composto::Nome;
        }
    }

    // The day's earlier remittances of the contract and service, counted on the file's own date.
    const int sequencia = proximaSequencia(c, comp.dataOrigem);
    if (sequencia > MaximoPorDia) {
        avisa(Limite);
        return Composto::LimiteDoDia;
    }
    comp.sequencia = sequencia;
    comp.nome = nomePadrao(dadosNome(c, comp));
    return Composto::Nome;
}

void RenomeiaRemessa::limpaSaida(const QString &pasta)
{
    winfs::Sobras sobras;
    sobras.registrada = [](const QString &nome, const QDateTime &marca) { return zqdb::entregaRegistrada(nome, marca, true); };
    // Earlier versions wrote ".<standard name without .TXT>.parcial".
    sobras.temporarioAntigo = [](const QString &nome) {
        static const QRegularExpression antigo(QStringLiteral("^\\.[A-Z]{3}\\d{2}\\w{2}\\d{3}\\d{4}(\\d{7}|\\d{9})[PT]\\.parcial$"),
                                               QRegularExpression::CaseInsensitiveOption);
        return antigo.match(nome).hasMatch();
    };
    try {
        winfs::limpaSobras(pasta, sobras);
    } catch (const std::exception &) {
        // The log cannot be read now: the next cleanup tries again.
    }
}

Resultado RenomeiaRemessa::renomeia(const Contrato &c, const QString &pasta, Composicao &comp)
{
    IOResult(); // a code left by an earlier operation is not this rename's
    entregue_.clear();
    const QString &origem = comp.origem;
    if (!winfs::regularFileExists(origem)) {
        avisa(QStringLiteral("Não existem arquivos remessa dos contratos\rcadastrados a serem renomeados"));
        return Resultado::SemOrigem;
    }

    const QDateTime agora = Now();
    limpaSaida(pasta);
    QString destino = pasta + comp.nome;
    winfs::Substituicao politica = winfs::Substituicao::Recusa;
    if (!comp.nome.isEmpty() && winfs::fileExists(destino)) {
        // The file already stands under its standard name in the outgoing
        // folder: replacing it would destroy the source.
        if (winfs::sameFile(destino, origem)) {
            avisa(NaoRenomeado);
            return Resultado::Falhou;
        }
        if (!quem_.pergunta(Interlocutor::Pergunta::Substituir,
                            {QStringLiteral("Deseja substituir o arquivo") + destino + QLatin1Char('?'),
                             QStringLiteral("Confirmação"), MsgStyle::Question})) {
            avisa(NaoRenomeado);
            return Resultado::SubstituicaoRecusada;
        }
        politica = winfs::Substituicao::Substitui;
    }

    quem_.preparaPasse(winfs::fileSize(origem));
    bool renomeado = false;
    QString causa; // why the pass failed, when the user can act on it
    try {
        criaPasta(QStringLiteral("C:\\ZQ"));
        // A contract whose service is not registered has no system: no folder is named after it.
        if (!c.sistema.isEmpty()) {
            criaPasta(QStringLiteral("C:\\ZQ\\") + c.sistema);
            criaPasta(QStringLiteral("C:\\ZQ\\") + c.sistema + QStringLiteral("\\Saida"));
        }

        winfs::FileReader leitor;
        int abertura = leitor.open(origem);
        if (comp.nome.isEmpty() || winfs::directoryExists(destino))
            falha(ioAccessDenied); // a folder is never written over
        // Locked by another program since its name was composed: its own code.
        if (abertura != 0)
            falha(abertura);
        winfs::Entrega entrega(destino, agora, observador);
        if (winfs::sameFile(entrega.temporario(), origem))
            throw EFCreateError(entrega.temporario());
        if (const int criacao = entrega.cria())
            falha(criacao);

        const auto passa = [&](Conferencia &achados, bool converte) {
            const bool ok = VerificaArquivo(leitor, entrega.escritor(), c.tamanhoRegistro,
                                            [this](Etapa e, qint64 p) { quem_.progresso(e, p); }, &achados, converte);
            quem_.fimDoPasse();
            return ok;
        };
        Conferencia achados;
        bool passou = passa(achados, false);
        // The faults that make banks reject the file are told before it takes its name.
        bool convertido = false;
        while (passou && !achados.limpa() && entrega.escritor().error() == 0) {
            const Decisao d = quem_.conferencia(achados, {textoConferencia(achados), QStringLiteral("Conferência do Arquivo"),
                                                          MsgStyle::Question},
                                                !convertido && achados.convertivel());
            if (d == Decisao::Nao) {
                leitor.close();
                IOResult();
                return Resultado::NaoConferido;
            }
            if (d == Decisao::Sim)
                break;
            // The Windows-1252 text fitted instead; the source stays as it is.
            convertido = true;
            leitor.close();
            if ((abertura = leitor.open(origem)) != 0)
                falha(abertura);
            if (const int criacao = entrega.cria())
                falha(criacao);
            achados = Conferencia();
            passou = passa(achados, true);
        }
        const int leitura = passou ? 0 : IOResult();
        const int fechamentoOrigem = leitor.close();
        // Bytes that may not be on disk are no delivery: a full disk shows here at the latest.
        const int gravacao = passou ? entrega.conclui() : entrega.escritor().error();
        if (!passou || gravacao != 0) {
            causa = gravacao != 0 ? winfs::causaDaFalha(gravacao, destino, true) : winfs::causaDaFalha(leitura, origem, false);
            IOResult();
        } else {
            // The row first, then the final name: a delivered file always has its row.
            qint64 novo = 0;
            std::optional<zqdb::RegistroArq> antes;
            {
                zqdb::TransacaoLog transacao;
                if (comp.renomeiaNovamente) {
                    antes = zqdb::leRegistroArq(comp.registro);
                    if (!antes || !zqdb::regravaRegistroArq(comp.registro, registro(c, comp, agora)))
                        novo = zqdb::acrescentaRegistroArq(registro(c, comp, agora));
                } else {
                    // Another copy of the program may have taken the number meanwhile.
                    const int sequencia = proximaSequencia(c, comp.dataOrigem);
                    if (sequencia > MaximoPorDia)
                        throw DiaCompleto();
                    if (sequencia != comp.sequencia) {
                        comp.sequencia = sequencia;
                        comp.nome = nomePadrao(dadosNome(c, comp));
                        destino = pasta + comp.nome;
                        politica = winfs::Substituicao::Recusa;
                        if (!entrega.mudaNome(comp.nome))
                            throw EFCreateError(destino);
                    }
                    novo = zqdb::acrescentaRegistroArq(registro(c, comp, agora));
                }
                transacao.commit();
            }
            entrega.etapa(winfs::EtapaEntrega::Registrado);
            if (!entrega.colocaNoLugar(politica)) {
                // The row goes with the file; a row that cannot be undone keeps
                // the whole file for the next cleanup to complete.
                try {
                    if (novo != 0)
                        zqdb::excluiRegistroArq(novo);
                    else if (antes)
                        zqdb::regravaRegistroArq(comp.registro, *antes);
                } catch (const std::exception &) {
                    entrega.preserva();
                    throw;
                }
                throw EFCreateError(destino);
            }
            entregue_ = destino;
            renomeado = true;
        }
        if (fechamentoOrigem != 0)
            falha(fechamentoOrigem);
    } catch (const DiaCompleto &) {
        avisa(Limite);
    } catch (const std::exception &e) {
        const auto *erro = dynamic_cast<const Exception *>(&e);
        const auto *es = dynamic_cast<const EInOutError *>(&e);
        const int codigo = es ? es->errorCode : IOResult();
        avisa(QStringLiteral("Arquivo ") + origem + QStringLiteral("não foi Renomeado!!\rIOError <") + QString::number(codigo)
              + QStringLiteral("> - ") + (erro ? erro->message() : QString::fromUtf8(e.what())));
    }

    if (renomeado) {
        quem_.sucesso({QStringLiteral("Arquivo Renomeado com Sucesso!!"), Titulo, MsgStyle::Information});
        return Resultado::Renomeado;
    }
    avisa(causa.isEmpty() ? NaoRenomeado : causa + QLatin1Char('\r') + NaoRenomeado);
    return Resultado::Falhou;
}

} // namespace remessa
