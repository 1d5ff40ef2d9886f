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
    if (nome.isEmpty() || nome == QLatin1String(".") || nome == QLatin1String(".."))
        return false;
    for (const QChar c : nome)
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    // CON, NUL.TXT, "NOME.": no file can take such a name on Windows.
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
// can act on (empty when the copy is whole on disk); an error the user
// cannot act on is raised.
QString copia(const QString &origem, winfs::Entrega &entrega)
{
    winfs::FileReader leitor;
    if (leitor.open(origem) != 0) {
        IOResult();
        throw EFOpenError(origem);
    }
    if (entrega.cria() != 0) {
        IOResult();
        throw EFCreateError(entrega.destino());
    }
    QByteArray bloco(TamanhoBloco, Qt::Uninitialized);
    for (;;) {
        qint64 lidos = 0;
        const int codigo = leitor.read(bloco.data(), TamanhoBloco, lidos);
        if (codigo == ioEndOfFile)
            break;
        if (codigo != 0) {
            IOResult();
            return winfs::causaDaFalha(codigo, origem, false);
        }
        if (const int escrita = entrega.escritor().write(bloco.constData(), lidos)) {
            IOResult();
            return winfs::causaDaFalha(escrita, entrega.destino(), true);
        }
    }
    leitor.close();
    if (const int conclusao = entrega.conclui()) {
        IOResult();
        return winfs::causaDaFalha(conclusao, entrega.destino(), true);
    }
    return QString();
}

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
    sobras.registrada = [](const QString &nome, const QDateTime &marca) { return zqdb::entregaRegistrada(nome, marca, false); };
    if (nomeArquivoValido(nomeDestino)) {
        const QString antigo = QLatin1Char('.') + nomeDestino + QStringLiteral(".tmp");
        sobras.temporarioAntigo = [antigo](const QString &nome) { return nome.compare(antigo, Qt::CaseInsensitive) == 0; };
        sobras.finaisAntigos = {nomeDestino};
    }
    try {
        winfs::limpaSobras(pasta, sobras);
    } catch (const std::exception &) {
        // The log cannot be read now: the next cleanup tries again.
    }
}

Resultado RenomeiaRetorno::entrega(const Contrato &contrato, const QString &dirEntrada, const QString &nome, int tamContrato,
                                   const QString &nomeDestino)
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

    const QString destino = pasta + QLatin1Char('\\') + nomeDestino;
    // The return file itself, or a folder, is never replaced.
    if (winfs::sameFile(destino, origem) || winfs::directoryExists(destino)) {
        avisa(NaoRenomeado);
        return Resultado::Recusado;
    }
    limpaPasta(pasta, nomeDestino);
    winfs::Substituicao politica = winfs::Substituicao::Recusa;
    if (winfs::fileExists(destino)) {
        if (!quem_.substitui({QStringLiteral("Deseja substituir o arquivo ") + destino + QLatin1Char('?'), QStringLiteral("Confirmação"),
                              MsgStyle::Question})) {
            avisa(NaoRenomeado);
            return Resultado::Recusado;
        }
        politica = winfs::Substituicao::Substitui;
    }

    // Letter case does not tell folders apart: a return folder that is the
    // incoming folder gets the file renamed where it lies.
    const bool mesmaPasta = QString::compare(winfs::expandFileName(pasta), winfs::expandFileName(dirEntrada), Qt::CaseInsensitive) == 0
        || winfs::sameFile(pasta, dirEntrada);
    // A read-only return file is not moved out of the incoming folder.
    if (!mesmaPasta && (winfs::fileGetAttr(origem) & winfs::faReadOnly))
        throw EFCantMove(QStringLiteral("Cannot move file %1").arg(origem));

    const QDateTime agora = Now();
    winfs::Entrega entrega(destino, agora, observador);
    // The copy stays whole on disk before anything else happens: the return
    // file is given up only once the delivery is complete.
    const QString causa = copia(origem, entrega);
    if (!causa.isEmpty()) {
        avisa(causa + QLatin1Char('\r') + NaoRenomeado);
        return Resultado::Falhou;
    }
    linha.servico = contrato.servico;
    linha.dataOper = agora.date();
    linha.horaOper = agora.time();
    // The delivered file keeps the stamp of its copy.
    linha.horaOrigem = winfs::fileAge(entrega.completo()).time();
    linha.nomeOrigem = nome;
    linha.nomeDestino = nomeDestino;
    linha.remessa = false;
    linha.numRemessa = 0;
    // The row first, then the final name: a delivered file always has its row.
    const qint64 id = zqdb::acrescentaRegistroArq(linha);
    entrega.etapa(winfs::EtapaEntrega::Registrado);
    if (!entrega.colocaNoLugar(politica)) {
        try {
            zqdb::excluiRegistroArq(id);
        } catch (const std::exception &) {
            entrega.preserva();
            throw;
        }
        avisa(NaoRenomeado);
        return Resultado::Falhou;
    }
    if (mesmaPasta)
        winfs::deleteFile(origem);
    entregue_ = destino;
    quem_.sucesso({QStringLiteral("Arquivo Renomeado com Sucesso!!"), Titulo, MsgStyle::Information});
    return Resultado::Renomeado;
}

} // namespace retorno
