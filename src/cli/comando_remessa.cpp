// renomeia-zq-cli remessa: one file named on the command line, or every file
// waiting in the contract's remittance folder.
#include "cli/comandos.h"
#include "cli/pendentes.h"
#include "cli/terminal.h"
#include "platform/filesystem/winfs.h"

namespace zqcli {

namespace {

const QString Ajuda = QStringLiteral(
    "Uso: renomeia-zq-cli remessa --agencia N --contrato N --servico COD [--teste]\n"
    "                             [--de-novo] [--substituir] [--mesmo-assim | --converter] ARQUIVO\n"
    "     renomeia-zq-cli remessa --pendentes --agencia N --contrato N --servico COD [--teste]\n"
    "                             [--estavel S] [--mesmo-assim | --converter]\n"
    "Renomeia ARQUIVO (caminho Windows, como C:\\REMESSA\\arquivo.txt, ou do sistema) para o\n"
    "nome padrão do banco, com o número de remessa do dia, ajusta cada linha ao tamanho do\n"
    "registro do serviço, entrega-o na pasta de saída do sistema do contrato e o registra nos\n"
    "arquivos renomeados, como a janela Renomeia Arquivo Remessa. Mostra o caminho do arquivo\n"
    "entregue. Um arquivo com falhas que fazem o banco recusá-lo (linhas cortadas ou com um\n"
    "caractere a menos, texto em UTF-8, caracteres de controle, registros de outro tamanho,\n"
    "sequência ou estrutura CNAB errada, o mesmo conteúdo de um arquivo já entregue ao contrato,\n"
    "um número de arquivo CNAB 240 que não passa o do último entregue) não é entregue: as falhas\n"
    "vão para a saída de erros.\n"
    "Com --pendentes, renomeia assim cada arquivo da pasta de remessa do contrato que ainda não\n"
    "foi renomeado (o mesmo nome e a mesma data de modificação nos arquivos renomeados), do mais\n"
    "antigo ao mais novo: um caminho entregue por linha; os retidos (falhas, limite de nove por\n"
    "dia) e os que aguardam, com o motivo, na saída de erros. Saída 0 quando nenhum foi retido\n"
    "nem falhou (também quando nada aguardava), 1 quando algum foi.\n"
    "\n"
    "  --agencia N      agência do contrato\n"
    "  --contrato N     número do contrato ou convênio\n"
    "  --servico COD    código do serviço (66, O6, ...)\n"
    "  --teste          ambiente de teste (letra T); sem ela, produção (P)\n"
    "  --de-novo        renomeia de novo um arquivo já renomeado (sem ela, não)\n"
    "  --substituir     substitui o arquivo de mesmo nome na pasta de saída (sem ela, não)\n"
    "  --mesmo-assim    entrega o arquivo com falhas assim mesmo\n"
    "  --converter      converte um arquivo em UTF-8 para Windows-1252 antes de ajustar as linhas\n"
    "  --pendentes      todos os arquivos da pasta de remessa do contrato ainda não renomeados\n"
    "  --estavel S      com --pendentes: deixa para depois o arquivo modificado há menos de S\n"
    "                   segundos, que ainda pode estar sendo gravado (padrão 30)\n");

// The source as the remittance window names it in the log: the contract's
// remittance folder as registered and the file's name as the folder holds
// it, so that a file renamed at the window is known here as renamed before.
QString origemComoAJanela(const remessa::Contrato &c, const QString &arquivo)
{
    const QString real = winfs::windowsPath(winfs::hostPath(arquivo));
    const QString pasta = winfs::excludeTrailingBackslash(c.dirRemessa);
    if (!pasta.isEmpty() && winfs::sameFile(winfs::extractFileDir(arquivo), pasta))
        return pasta + QLatin1Char('\\') + winfs::extractFileName(real);
    return real;
}

int umArquivo(const Opcoes &o, const remessa::Contrato &c, QTextStream &out, QTextStream &err)
{
    const QString arquivo = o.arquivo();
    if (!winfs::regularFileExists(arquivo)) {
        err << QStringLiteral("O arquivo %1 não existe.").arg(arquivo) << Qt::endl;
        return Recusa;
    }
    TerminalRemessa terminal(err, {o.tem(QStringLiteral("de-novo")), o.tem(QStringLiteral("substituir")),
                                   o.tem(QStringLiteral("mesmo-assim")), o.tem(QStringLiteral("converter")), false});
    remessa::RenomeiaRemessa renomeacao(terminal);
    remessa::Composicao composicao;
    switch (renomeacao.compoe(c, origemComoAJanela(c, arquivo), !o.tem(QStringLiteral("teste")), composicao)) {
    case remessa::Composto::SemOrigem:
        err << QStringLiteral("O arquivo %1 não pode ser lido: está em uso por outro programa ou não é um arquivo.").arg(arquivo)
            << Qt::endl;
        return Recusa;
    case remessa::Composto::Nome:
        break;
    default:
        return Recusa;
    }
    if (renomeacao.renomeia(c, remessa::pastaSaida(c), composicao) != remessa::Resultado::Renomeado)
        return Recusa;
    out << renomeacao.entregue() << Qt::endl;
    return Sucesso;
}

int pendentes(const Opcoes &o, const remessa::Contrato &c, QTextStream &out, QTextStream &err)
{
    o.semArgumentos();
    OpcoesPendentes opcoes;
    opcoes.producao = !o.tem(QStringLiteral("teste"));
    opcoes.mesmoAssim = o.tem(QStringLiteral("mesmo-assim"));
    opcoes.converte = o.tem(QStringLiteral("converter"));
    if (o.tem(QStringLiteral("estavel")))
        opcoes.estavel = o.inteiro(QStringLiteral("estavel"), 86400);
    const Balanco b = remessasPendentes(c, opcoes, relatoNoTerminal(out, err));
    return b.retidos + b.falhas == 0 ? Sucesso : Recusa;
}

} // namespace

int remessa(const QStringList &argumentos, QTextStream &out, QTextStream &err)
{
    Opcoes o(QStringLiteral("remessa"), {QStringLiteral("agencia"), QStringLiteral("contrato"), QStringLiteral("servico"), QStringLiteral("estavel")},
             {QStringLiteral("teste"), QStringLiteral("de-novo"), QStringLiteral("substituir"), QStringLiteral("mesmo-assim"),
              QStringLiteral("converter"), QStringLiteral("pendentes")});
    o.le(argumentos);
    if (o.ajuda()) {
        out << Ajuda;
        return Sucesso;
    }
    o.exclusivas(QStringLiteral("mesmo-assim"), QStringLiteral("converter"));
    const bool todos = o.tem(QStringLiteral("pendentes"));
    if (todos) {
        o.exclusivas(QStringLiteral("pendentes"), QStringLiteral("de-novo"));
        o.exclusivas(QStringLiteral("pendentes"), QStringLiteral("substituir"));
    } else if (o.tem(QStringLiteral("estavel"))) {
        throw ErroDeUso{QStringLiteral("A opção --estavel vale só com --pendentes.")};
    }
    o.obrigatorias({QStringLiteral("agencia"), QStringLiteral("contrato"), QStringLiteral("servico")});
    const int agencia = o.inteiro(QStringLiteral("agencia"), 9999);
    const int numero = o.inteiro(QStringLiteral("contrato"), 999999999);
    const QString servico = o.valor(QStringLiteral("servico"));
    if (!todos)
        o.arquivo(); // a usage error comes before the tables are read

    const std::optional<remessa::Contrato> c = remessa::leContrato(agencia, numero, servico);
    if (!c) {
        err << QStringLiteral("O contrato %1 do serviço %2 não está cadastrado.").arg(contratoTexto(agencia, numero), servico) << Qt::endl;
        return Recusa;
    }
    return todos ? pendentes(o, *c, out, err) : umArquivo(o, *c, out, err);
}

} // namespace zqcli
