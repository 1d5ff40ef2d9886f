#include "remittance/RenomeiaRemessa.h"

#include "db/RegistroArq.h"
#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
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
QString jaRenomeado(const QString &nome)
{
    return QStringLiteral("O arquivo informado já foi renomeado\r") + nome + QLatin1Char('\r') + NaoRenomeado;
}
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

zqdb::RegistroArq registro(const Contrato &c, const Composicao &comp, const QDateTime &agora, const zqdb::Impressao &impressao)
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
    r.impressao = impressao;
    return r;
}

// Ensures a folder under C:\ZQ, raising "Não foi possível criar a pasta ..." when it cannot be made.
void criaPasta(const QString &pasta)
{
    // Another copy of the program may make it at the same moment.
    if (!winfs::forceDirectories(pasta))
        throw Exception(QStringLiteral("Não foi possível criar a pasta ") + pasta);
}

// The failure of a step, raised with its code for the message.
[[noreturn]] void falha(int codigo)
{
    IOResult();
    throw EInOutError(codigo);
}

// The log row of an earlier rename of the same file: the same contract,
// path and last-modification stamp.
struct Anterior {
    qint64 registro = 0;
    QString nome;
    int sequencia = 0;
};
std::optional<Anterior> renomeadoAntes(const Contrato &c, const Composicao &comp)
{
    zqdb::Consulta q(sql::ArquivosRemessa);
    q.paramByName(QStringLiteral("Agencia")).setAsSmallInt(c.agencia);
    q.paramByName(QStringLiteral("Contrato")).setAsInteger(c.contrato);
    q.paramByName(QStringLiteral("Servico")).setAsString(c.servico);
    q.paramByName(QStringLiteral("Nome")).setAsString(comp.origem);
    q.paramByName(QStringLiteral("Data")).setAsDate(comp.dataOrigem);
    q.paramByName(QStringLiteral("Hora")).setAsTime(comp.horaOrigem);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.first();
    return Anterior{q.rowId(), q.campo("ArqNomeDestino")->asString(), q.campo("ArqNumRemessa")->asInteger()};
}

// The remittance's row, decided again under the log's write lock: another
// copy of the program may have renamed this very file, or taken the number,
// since the name was composed.
class LancamentoRemessa : public entrega::Lancamento {
public:
    LancamentoRemessa(const Contrato &c, Composicao &comp, const QDateTime &agora, const zqdb::Impressao &impressao)
        : c_(c), comp_(comp), agora_(agora), impressao_(impressao)
    {
    }

    Resultado recusa = Resultado::Falhou;
    QString renomeadoComo; // with JaRenomeado: the name the other copy gave it

    bool registra(winfs::Entrega &temporario, entrega::Substituicao &politica) override
    {
        if (comp_.renomeiaNovamente) {
            regrava(comp_.registro, registro(c_, comp_, agora_, impressao_));
            return true;
        }
        if (const std::optional<Anterior> anterior = renomeadoAntes(c_, comp_)) {
            recusa = Resultado::JaRenomeado;
            renomeadoComo = anterior->nome;
            return false;
        }
        const int sequencia = proximaSequencia(c_, comp_.dataOrigem);
        if (sequencia > MaximoPorDia) {
            recusa = Resultado::LimiteDoDia;
            return false;
        }
        if (sequencia != comp_.sequencia) {
            comp_.sequencia = sequencia;
            comp_.nome = nomePadrao(dadosNome(c_, comp_));
            // The composed name's file was the one the user agreed to replace.
            politica = entrega::Substituicao::Recusa;
            if (!temporario.mudaNome(comp_.nome))
                throw EFCreateError(winfs::extractFilePath(temporario.destino()) + comp_.nome);
        }
        acrescenta(registro(c_, comp_, agora_, impressao_));
        return true;
    }

private:
    const Contrato &c_;
    Composicao &comp_;
    QDateTime agora_;
    zqdb::Impressao impressao_;
};

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

void conferenciaDoLog(const Contrato &c, qint64 excluida, Conferencia &achados)
{
    if (const std::optional<zqdb::EntregaAnterior> igual = zqdb::entregaDeMesmoConteudo(
            c.agencia, c.contrato, c.servico, achados.impressao(), zqdb::inicioDoLog(Now().date()), excluida))
        achados.acrescenta(Constatacao::conteudoIgual(igual->nomeDestino, QDateTime(igual->data, igual->hora)));
    // The bank refuses a CNAB 240 file whose number is not above the last one it received.
    const std::optional<int> sequencia = achados.sequenciaArquivo();
    if (!sequencia)
        return;
    const std::optional<zqdb::EntregaAnterior> ultima = zqdb::ultimaSequenciaCnab240(c.agencia, c.contrato, c.servico, excluida);
    if (ultima && ultima->sequencia && *sequencia <= *ultima->sequencia)
        achados.acrescenta(Constatacao::sequenciaNaoMaior(*sequencia, *ultima->sequencia, achados.linhaDoHeader()));
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
        if (const int codigo = arquivo.open(origem)) {
            IOResult();
            // A file another program is writing (the ERP, still at it) is
            // said; anything else that cannot be read shows no name.
            if (codigo == ioSharingViolation || codigo == ioLockViolation) {
                avisa(entrega::causaDaFalha(codigo, origem, false));
                return Composto::EmUso;
            }
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
    if (const std::optional<Anterior> anterior = renomeadoAntes(c, comp)) {
        if (!quem_.pergunta(Interlocutor::Pergunta::RenomearNovamente,
                            {QStringLiteral("O arquivo informado já foi renomeado\r") + anterior->nome
                                 + QStringLiteral("\rDeseja renomeá-lo novamente?"),
                             QStringLiteral("Confirmação"), MsgStyle::Question}))
            return Composto::NaoRenomearNovamente;
        comp.renomeiaNovamente = true;
        comp.registro = anterior->registro;
        comp.sequencia = anterior->sequencia;
        comp.nome = nomePadrao(dadosNome(c, comp));
        return Composto::Nome;
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
    // Earlier versions wrote ".<standard name without .TXT>.parcial".
    sobras.temporarioAntigo = [](const QString &nome) {
        static const QRegularExpression antigo(QStringLiteral("^\\.[A-Z]{3}\\d{2}\\w{2}\\d{3}\\d{4}(\\d{7}|\\d{9})[PT]\\.parcial$"),
                                               QRegularExpression::CaseInsensitiveOption);
        return antigo.match(nome).hasMatch();
    };
    entrega::limpaPasta(pasta, true, sobras);
}

bool RenomeiaRemessa::destinoLivre(const Contrato &c, const QString &pasta, Composicao &comp, const QString &origem,
                                   entrega::Substituicao &politica, Resultado &recusa)
{
    politica = entrega::Substituicao::Recusa;
    QString destino;
    for (;;) {
        destino = pasta + comp.nome;
        if (!winfs::fileExists(destino))
            return true; // a file that comes meanwhile is met under the log's lock
        // Another copy of the program that delivered meanwhile wrote its row
        // before its file took the name: the day's number has moved on with it.
        const int sequencia = comp.renomeiaNovamente ? 0 : proximaSequencia(c, comp.dataOrigem);
        if (sequencia <= comp.sequencia || sequencia > MaximoPorDia)
            break;
        comp.sequencia = sequencia;
        comp.nome = nomePadrao(dadosNome(c, comp));
    }
    // The file already stands under its standard name in the outgoing
    // folder: replacing it would destroy the source.
    if (winfs::sameFile(destino, origem)) {
        avisa(NaoRenomeado);
        recusa = Resultado::Falhou;
        return false;
    }
    if (!quem_.pergunta(Interlocutor::Pergunta::Substituir,
                        {QStringLiteral("Deseja substituir o arquivo") + destino + QLatin1Char('?'), QStringLiteral("Confirmação"),
                         MsgStyle::Question})) {
        avisa(NaoRenomeado);
        recusa = Resultado::SubstituicaoRecusada;
        return false;
    }
    politica = entrega::Substituicao::Substitui;
    return true;
}

RenomeiaRemessa::Passe RenomeiaRemessa::passa(const Contrato &c, const Composicao &comp, winfs::FileReader &leitor,
                                              winfs::Entrega &temporario, QString &causa, zqdb::Impressao &impressao)
{
    const QString &origem = comp.origem;
    const auto passe = [&](Conferencia &achados, bool converte) {
        const bool ok = VerificaArquivo(leitor, temporario.escritor(), c.tamanhoRegistro,
                                        [this](Etapa e, qint64 p) { quem_.progresso(e, p); }, &achados, converte);
        quem_.fimDoPasse();
        // A file renamed again is no copy of itself.
        if (ok)
            conferenciaDoLog(c, comp.renomeiaNovamente ? comp.registro : 0, achados);
        return ok;
    };
    Conferencia achados;
    bool passou = passe(achados, false);
    // Another run that took the same waiting file may have delivered it while
    // this one read it: its bytes would now look like a file sent twice.
    if (passou && !comp.renomeiaNovamente) {
        if (const std::optional<Anterior> anterior = renomeadoAntes(c, comp)) {
            causa = anterior->nome;
            return Passe::JaRenomeado;
        }
    }
    // The faults that make banks reject the file are told before it takes its name.
    bool convertido = false;
    while (passou && !achados.limpa() && temporario.escritor().error() == 0) {
        const Decisao d = quem_.conferencia(achados, {textoConferencia(achados), QStringLiteral("Conferência do Arquivo"), MsgStyle::Question},
                                            !convertido && achados.convertivel());
        if (d == Decisao::Nao)
            return Passe::NaoConferido;
        if (d == Decisao::Sim)
            break;
        // The Windows-1252 text fitted instead; the source stays as it is.
        convertido = true;
        leitor.close();
        if (const int abertura = leitor.open(origem))
            falha(abertura);
        if (const int criacao = temporario.cria())
            falha(criacao);
        achados = Conferencia();
        passou = passe(achados, true);
    }
    if (passou) {
        impressao = {achados.impressao(), achados.sequenciaArquivo()};
        return Passe::Pronto;
    }
    const int gravacao = temporario.escritor().error();
    causa = gravacao != 0 ? entrega::causaDaFalha(gravacao, temporario.destino(), true)
                          : entrega::causaDaFalha(IOResult(), origem, false);
    IOResult();
    return Passe::Falhou;
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
    entrega::Substituicao politica = entrega::Substituicao::Recusa;
    Resultado recusa;
    if (!comp.nome.isEmpty() && !destinoLivre(c, pasta, comp, origem, politica, recusa))
        return recusa;
    const QString destino = pasta + comp.nome;

    quem_.preparaPasse(winfs::fileSize(origem));
    Resultado resultado = Resultado::Falhou;
    QString causa; // why the pass or the flush failed, when the user can act on it
    try {
        criaPasta(QStringLiteral("C:\\ZQ"));
        // A contract whose service is not registered has no system: no folder is named after it.
        if (!c.sistema.isEmpty()) {
            criaPasta(QStringLiteral("C:\\ZQ\\") + c.sistema);
            criaPasta(QStringLiteral("C:\\ZQ\\") + c.sistema + QStringLiteral("\\Saida"));
        }
        winfs::FileReader leitor;
        const int abertura = leitor.open(origem);
        if (comp.nome.isEmpty() || winfs::directoryExists(destino))
            falha(ioAccessDenied); // a folder is never written over
        // Locked by another program since its name was composed: its own code.
        if (abertura != 0)
            falha(abertura);
        winfs::Entrega temporario(destino, agora, observador);
        if (winfs::sameFile(temporario.temporario(), origem))
            throw EFCreateError(temporario.temporario());
        if (const int criacao = temporario.cria())
            falha(criacao);

        zqdb::Impressao impressao;
        const Passe passe = passa(c, comp, leitor, temporario, causa, impressao);
        if (passe == Passe::NaoConferido) {
            leitor.close();
            IOResult();
            return Resultado::NaoConferido;
        }
        if (passe == Passe::JaRenomeado) {
            leitor.close();
            IOResult();
            avisa(jaRenomeado(causa));
            return Resultado::JaRenomeado;
        }
        const int fechamentoOrigem = leitor.close();
        if (passe == Passe::Pronto) {
            LancamentoRemessa lancamento(c, comp, agora, impressao);
            const entrega::Conclusao fim = entrega::conclui(temporario, politica, lancamento);
            switch (fim.desfecho) {
            case entrega::Desfecho::Entregue:
                entregue_ = temporario.destino();
                resultado = Resultado::Renomeado;
                break;
            case entrega::Desfecho::Recusada:
                if (lancamento.recusa == Resultado::JaRenomeado) {
                    avisa(jaRenomeado(lancamento.renomeadoComo));
                    return Resultado::JaRenomeado;
                }
                avisa(Limite);
                resultado = Resultado::LimiteDoDia;
                break;
            case entrega::Desfecho::Incompleta:
                causa = fim.causa;
                break;
            case entrega::Desfecho::NomeOcupado:
            case entrega::Desfecho::SemNome:
                throw EFCreateError(temporario.destino());
            }
        }
        if (fechamentoOrigem != 0)
            falha(fechamentoOrigem);
    } catch (const std::exception &e) {
        const auto *erro = dynamic_cast<const Exception *>(&e);
        const auto *es = dynamic_cast<const EInOutError *>(&e);
        const int codigo = es ? es->errorCode : IOResult();
        avisa(QStringLiteral("Arquivo ") + origem + QStringLiteral("não foi Renomeado!!\rIOError <") + QString::number(codigo)
              + QStringLiteral("> - ") + (erro ? quem_.textoDoErro(*erro) : QString::fromUtf8(e.what())));
    }

    if (resultado == Resultado::Renomeado) {
        quem_.sucesso({QStringLiteral("Arquivo Renomeado com Sucesso!!"), Titulo, MsgStyle::Information});
        return resultado;
    }
    avisa(causa.isEmpty() ? NaoRenomeado : causa + QLatin1Char('\r') + NaoRenomeado);
    return resultado;
}

} // namespace remessa
