#include "return/RenomeiaRetorno.h"

#include "db/RegistroArq.h"
#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/tables/query.h"

#include <QByteArray>

namespace retorno {

namespace {

const QString TituloErro = QStringLiteral("Erro de Crítica - Nome Arquivo Retorno");
const QString Titulo = QStringLiteral("Renomeia Arquivos");
const QString NaoRenomeado = QStringLiteral("Arquivo NÃO foi Renomeado!!");
constexpr qint64 TamanhoBloco = 64 * 1024;

// A name the file can be given inside the return folder: not empty, no
// folder part, none of the characters Windows refuses in a file name.
bool nomeArquivoValido(const QString &nome)
{
    if (nome.isEmpty())
        return false;
    for (const QChar c : nome)
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    // CON, NUL.TXT, "NOME.", "." and "..": no file can take such a name on Windows.
    return !winfs::reservedName(nome);
}

// The first eight characters of the name make a date.
bool dataValida(const zqdb::ReturnFileName &arquivo)
{
    try {
        arquivo.date();
        return true;
    } catch (const EConvertError &) {
        return false;
    }
}

bool registrado(int agencia, int contrato)
{
    return leContrato(agencia, contrato).has_value();
}

// Copies the source into the delivery's temporary, with writes by others to
// the source denied while it is read. Gives the cause of a failure the user
// can act on (empty when every byte was written); an error the user cannot
// act on is raised.
QString copia(const QString &origem, winfs::Entrega &temporario)
{
    winfs::FileReader leitor;
    if (leitor.open(origem) != 0) {
        IOResult();
        throw EFOpenError(origem);
    }
    if (temporario.cria() != 0) {
        IOResult();
        throw EFCreateError(temporario.destino());
    }
    QByteArray bloco(TamanhoBloco, Qt::Uninitialized);
    for (;;) {
        qint64 lidos = 0;
        const int codigo = leitor.read(bloco.data(), TamanhoBloco, lidos);
        if (codigo == ioEndOfFile)
            break;
        if (codigo != 0) {
            IOResult();
            return entrega::causaDaFalha(codigo, origem, false);
        }
        if (const int escrita = temporario.escritor().write(bloco.constData(), lidos)) {
            IOResult();
            return entrega::causaDaFalha(escrita, temporario.destino(), true);
        }
    }
    leitor.close();
    return QString();
}

// A return file delivered before: the log has a return row with its name
// and its file date.
bool entregueAntes(const QString &nome, const QDate &data)
{
    zqdb::Consulta q(sql::RetornoEntregue);
    q.paramByName(QStringLiteral("Nome")).setAsString(nome);
    q.paramByName(QStringLiteral("Data")).setAsDate(data);
    q.open();
    return q.fields().first()->asInteger() > 0;
}

// The return's row, written under the log's write lock; with umaVez a file
// another run delivered meanwhile is refused.
class LancamentoRetorno : public entrega::Lancamento {
public:
    LancamentoRetorno(zqdb::RegistroArq &linha, bool umaVez) : linha_(linha), umaVez_(umaVez) {}
    bool jaEntregue = false;

    bool registra(winfs::Entrega &temporario, entrega::Substituicao &) override
    {
        if (umaVez_ && entregueAntes(linha_.nomeOrigem, linha_.dataOrigem)) {
            jaEntregue = true;
            return false;
        }
        // The delivered file keeps the stamp of its copy.
        linha_.horaOrigem = winfs::fileAge(temporario.completo()).time();
        acrescenta(linha_);
        return true;
    }

private:
    zqdb::RegistroArq &linha_;
    bool umaVez_;
};

} // namespace

std::optional<Contrato> leContrato(int agencia, int contrato)
{
    zqdb::Consulta q(sql::ContratoComServico);
    q.paramByName(QStringLiteral("Agencia")).setAsSmallInt(agencia);
    q.paramByName(QStringLiteral("Contrato")).setAsInteger(contrato);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    q.first();
    Contrato c;
    c.agencia = agencia;
    c.contrato = contrato;
    c.servico = q.campo("CtrServico")->asString();
    c.sistema = q.campo("SisCod")->asString();
    c.dirRetorno = q.campo("CtrDirRetorno")->asString();
    return c;
}

Busca procuraRetornos(const QString &sistemaRetorno, bool soOPrimeiro)
{
    Busca busca;
    const QString sistema = sistemaRetorno.left(3);
    busca.pasta = QStringLiteral("C:\\ZQ\\") + sistema + QStringLiteral("\\ENTRADA");
    if (!winfs::directoryExists(busca.pasta))
        return busca;
    busca.pastaExiste = true;
    const int digitos = zqdb::contractDigitsOfSystem(sistema);
    const QList<winfs::SearchRec> arquivos
        = winfs::findFiles(zqdb::returnFileMask(busca.pasta, sistemaRetorno), winfs::faAnyFile & ~winfs::faDirectory);
    for (const winfs::SearchRec &r : arquivos) {
        busca.ultimoNome = UpperCase(r.name);
        const zqdb::ReturnFileName arquivo(busca.ultimoNome);
        Encontrado e{busca.pasta, busca.ultimoNome};
        // A name whose agency or contract is no number belongs to no contract.
        try {
            e.agencia = arquivo.agency();
            e.contrato = arquivo.contract(digitos);
        } catch (const EConvertError &) {
            continue;
        }
        if (!registrado(e.agencia, e.contrato))
            continue;
        busca.encontrados.append(e);
        if (soOPrimeiro)
            break;
    }
    return busca;
}

QList<Encontrado> retornosPendentes()
{
    QList<Encontrado> todos;
    QStringList pares;
    {
        zqdb::Consulta rsi(sql::RetornosAceitos);
        rsi.open();
        for (rsi.first(); !rsi.eof(); rsi.next())
            pares << rsi.campo("IdSis")->asString() + rsi.campo("IdRet")->asString();
    }
    for (const QString &par : pares)
        todos += procuraRetornos(par, false).encontrados;
    return todos;
}

void RenomeiaRetorno::erro(const QString &texto)
{
    quem_.mensagem({texto, TituloErro, MsgStyle::Error});
}

void RenomeiaRetorno::avisa(const QString &texto)
{
    quem_.mensagem({texto, Titulo, MsgStyle::Information});
}

Nome RenomeiaRetorno::identificaNome(const QString &pasta, const QString &nome, int &tamContrato)
{
    if (nome.isEmpty()) {
        erro(QStringLiteral("Não existem arquivos retorno dos contratos\rcadastrados a serem renomeados"));
        return Nome::Vazio;
    }
    if (!winfs::fileExists(winfs::includeTrailingBackslash(pasta) + nome)) {
        erro(QStringLiteral("O arquivo informado não está na pasta\r") + pasta + QStringLiteral("\rRedigite!"));
        return Nome::NaoNaPasta;
    }
    const zqdb::ReturnFileName arquivo(nome);
    tamContrato = arquivo.contractDigitsByDot(tamContrato);
    // A name that carries no date would be delivered and then fail to be logged.
    if (nome.size() < 19 || tamContrato == 0 || !dataValida(arquivo)) {
        erro(QStringLiteral("O nome de arquivo informado não é válido\rRedigite!"));
        return Nome::Invalido;
    }
    zqdb::Consulta rsi(sql::RetornoAceito);
    rsi.paramByName(QStringLiteral("IdSis")).setAsString(arquivo.system());
    rsi.paramByName(QStringLiteral("IdRet")).setAsString(arquivo.identifier());
    rsi.open();
    if (rsi.fields().first()->asInteger() == 0) {
        erro(QStringLiteral("O id ") + arquivo.identifier() + QStringLiteral(" não é arquivo Retorno do sistema ") + arquivo.system()
             + QStringLiteral("\rRedigite!"));
        return Nome::IdInvalido;
    }
    return Nome::Aceito;
}

ContratoDoArquivo RenomeiaRetorno::identificaContrato(const QString &nome, int tamContrato, Contrato &contrato)
{
    const zqdb::ReturnFileName arquivo(nome);
    const std::optional<Contrato> c = leContrato(arquivo.agency(), arquivo.contract(tamContrato));
    if (!c) {
        erro(QStringLiteral("O Contrato do arquivo \r") + nome + QStringLiteral("\r não está cadastrado. Redigite!"));
        return ContratoDoArquivo::NaoCadastrado;
    }
    contrato = *c;
    const QString doArquivo = arquivo.system();
    if (doArquivo != c->sistema && !(c->sistema == QLatin1String("IPC") && doArquivo == QLatin1String("PDZ"))) {
        erro(QStringLiteral("O arquivo ") + nome + QStringLiteral("\r não é do sistema cadastrado para o seu contrato\rVerifique!"));
        return ContratoDoArquivo::OutroSistema;
    }
    return ContratoDoArquivo::Identificado;
}

void RenomeiaRetorno::limpaPasta(const QString &pasta, const QString &nomeDestino)
{
    winfs::Sobras sobras;
    if (nomeArquivoValido(nomeDestino)) {
        const QString antigo = QLatin1Char('.') + nomeDestino + QStringLiteral(".tmp");
        sobras.temporarioAntigo = [antigo](const QString &nome) { return nome.compare(antigo, Qt::CaseInsensitive) == 0; };
        sobras.finaisAntigos = {nomeDestino};
    }
    entrega::limpaPasta(pasta, false, sobras);
}

Resultado RenomeiaRetorno::entrega(const Contrato &contrato, const QString &dirEntrada, const QString &nome, int tamContrato,
                                   const QString &nomeDestino, Criterios criterios)
{
    entregue_.clear();
    const QString origem = dirEntrada + QLatin1Char('\\') + nome;
    if (!winfs::fileExists(origem)) {
        avisa(QStringLiteral("O arquivo ") + origem + QStringLiteral(" NÃO foi encontrado!!"));
        return Resultado::SemOrigem;
    }
    QString pasta = contrato.dirRetorno;
    if (pasta.endsWith(QLatin1Char('\\')))
        pasta.chop(1);
    if (!nomeArquivoValido(nomeDestino)) {
        erro(QStringLiteral("O nome do arquivo renomeado não é válido\rRedigite!"));
        return Resultado::NomeInvalido;
    }
    // The log row is read from the name: a name edited since its
    // identification that does not decode stops here, before anything moves.
    const zqdb::ReturnFileName arquivo(nome);
    zqdb::RegistroArq linha;
    linha.agencia = arquivo.agency();
    linha.contrato = arquivo.contract(tamContrato);
    linha.dataOrigem = arquivo.date();
    linha.servico = contrato.servico;
    linha.nomeOrigem = nome;
    linha.nomeDestino = nomeDestino;
    if (criterios.umaVez && entregueAntes(nome, linha.dataOrigem))
        return Resultado::JaEntregue;

    const QString destino = pasta + QLatin1Char('\\') + nomeDestino;
    // The return file itself, or a folder, is never replaced.
    if (winfs::sameFile(destino, origem) || winfs::directoryExists(destino)) {
        avisa(NaoRenomeado);
        return Resultado::Recusado;
    }
    limpaPasta(pasta, nomeDestino);
    entrega::Substituicao politica = entrega::Substituicao::Recusa;
    if (winfs::fileExists(destino)) {
        // The program that takes the files has not taken the previous one yet.
        if (criterios.aguardaNome)
            return Resultado::Aguardando;
        if (!quem_.substitui({QStringLiteral("Deseja substituir o arquivo ") + destino + QLatin1Char('?'), QStringLiteral("Confirmação"),
                              MsgStyle::Question})) {
            avisa(NaoRenomeado);
            return Resultado::Recusado;
        }
        politica = entrega::Substituicao::Substitui;
    }

    // Letter case does not tell folders apart: a return folder that is the
    // incoming folder gets the file renamed where it lies.
    const bool mesmaPasta = QString::compare(winfs::expandFileName(pasta), winfs::expandFileName(dirEntrada), Qt::CaseInsensitive) == 0
        || winfs::sameFile(pasta, dirEntrada);
    // A read-only return file is not moved out of the incoming folder.
    if (!mesmaPasta && (winfs::fileGetAttr(origem) & winfs::faReadOnly))
        throw EFCantMove(QStringLiteral("Cannot move file %1").arg(origem));

    const QDateTime agora = Now();
    linha.dataOper = agora.date();
    linha.horaOper = agora.time();
    linha.remessa = false;
    linha.numRemessa = 0;
    winfs::Entrega temporario(destino, agora, observador);
    // The copy stays whole on disk before anything else happens: the return
    // file is given up only once the delivery is complete.
    QString causa = copia(origem, temporario);
    if (causa.isEmpty()) {
        LancamentoRetorno lancamento(linha, criterios.umaVez);
        const entrega::Conclusao fim = entrega::conclui(temporario, politica, lancamento);
        switch (fim.desfecho) {
        case entrega::Desfecho::Entregue:
            if (mesmaPasta)
                winfs::deleteFile(origem);
            entregue_ = destino;
            quem_.sucesso({QStringLiteral("Arquivo Renomeado com Sucesso!!"), Titulo, MsgStyle::Information});
            return Resultado::Renomeado;
        case entrega::Desfecho::Recusada:
            return Resultado::JaEntregue;
        case entrega::Desfecho::NomeOcupado:
            if (criterios.aguardaNome)
                return Resultado::Aguardando;
            break;
        case entrega::Desfecho::Incompleta:
            causa = fim.causa;
            break;
        case entrega::Desfecho::SemNome:
            break;
        }
    }
    avisa(causa.isEmpty() ? NaoRenomeado : causa + QLatin1Char('\r') + NaoRenomeado);
    return Resultado::Falhou;
}

} // namespace retorno
