// renomeia-zq-cli retornos and retorno: the return files waiting in the
// incoming folders, and their delivery, one file or every one.
#include "cli/comandos.h"
#include "cli/pendentes.h"
#include "cli/terminal.h"
#include "db/rules.h"
#include "platform/filesystem/winfs.h"
#include "return/PadraoNome.h"

namespace zqcli {

namespace {

const QString AjudaRetornos = QStringLiteral(
    "Uso: renomeia-zq-cli retornos\n"
    "Lista os arquivos retorno dos contratos cadastrados que estão à espera nas pastas de\n"
    "entrada, como a janela Renomeia Arquivo Retorno os encontra: um por linha, com arquivo,\n"
    "agência, contrato, sistema e data do arquivo.\n");

const QString AjudaRetorno = QStringLiteral(
    "Uso: renomeia-zq-cli retorno [--nome NOME] [--substituir] ARQUIVO\n"
    "     renomeia-zq-cli retorno --todos [--substituir]\n"
    "Identifica o arquivo retorno ARQUIVO (caminho Windows ou do sistema) pelo seu nome e o\n"
    "entrega na pasta de retorno do seu contrato, com o nome do padrão de C:\\ZQ\\REN\\ZQRen417.config,\n"
    "como a janela Renomeia Arquivo Retorno. Mostra o caminho do arquivo entregue.\n"
    "Com --todos, entrega assim cada arquivo que o comando retornos lista, do mais antigo ao mais\n"
    "novo (data do arquivo), uma vez só: um arquivo que os arquivos renomeados já mostram entregue\n"
    "é deixado de lado; um arquivo cujo nome de destino ainda está na pasta de retorno (o sistema\n"
    "ainda não retirou o anterior) aguarda a próxima vez, listado na saída de erros, e nunca o\n"
    "substitui. Um caminho entregue por linha. Saída 0 quando cada arquivo foi entregue, deixado de\n"
    "lado ou aguarda; 1 quando algum falhou.\n"
    "\n"
    "  --nome NOME      entrega com este nome em vez do nome do padrão\n"
    "  --substituir     substitui o arquivo de mesmo nome na pasta de retorno (sem ela, não)\n"
    "  --todos          todos os arquivos retorno à espera\n");

int umArquivo(const Opcoes &o, QTextStream &out, QTextStream &err)
{
    const QString arquivo = o.arquivo();
    const QString pasta = winfs::extractFileDir(arquivo);
    const QString nome = winfs::extractFileName(arquivo);

    TerminalRetorno terminal(err, o.tem(QStringLiteral("substituir")));
    retorno::RenomeiaRetorno renomeacao(terminal);
    int tamanho = 0;
    if (renomeacao.identificaNome(pasta, nome, tamanho) != retorno::Nome::Aceito)
        return Recusa;
    const PadraoNome padrao = LePadraoNome();
    retorno::Contrato c;
    if (renomeacao.identificaContrato(nome, tamanho, c) != retorno::ContratoDoArquivo::Identificado)
        return Recusa;
    const QString destino = o.tem(QStringLiteral("nome"))
        ? o.valor(QStringLiteral("nome"))
        : MontaNomeRetorno(padrao.nome.value_or(QString()), padrao.extensao.value_or(QString()));
    if (renomeacao.entrega(c, zqdb::incomingFolder(c.sistema), nome, tamanho, destino) != retorno::Resultado::Renomeado)
        return Recusa;
    out << renomeacao.entregue() << Qt::endl;
    return Sucesso;
}

} // namespace

int retornos(const QStringList &argumentos, QTextStream &out, QTextStream &err)
{
    Opcoes o(QStringLiteral("retornos"), {}, {});
    o.le(argumentos);
    if (o.ajuda()) {
        out << AjudaRetornos;
        return Sucesso;
    }
    o.semArgumentos();
    const QList<retorno::Encontrado> encontrados = retorno::retornosPendentes();
    if (encontrados.isEmpty())
        err << linhas(QStringLiteral("Não existem arquivos retorno dos contratos\rcadastrados a serem renomeados")) << Qt::endl;
    for (const retorno::Encontrado &e : encontrados) {
        const zqdb::ReturnFileName nome(e.nome);
        const QStringList colunas{e.pasta + QLatin1Char('\\') + e.nome, QString::number(e.agencia).rightJustified(4, QLatin1Char('0')),
                                  QString::number(e.contrato).rightJustified(9, QLatin1Char('0')), nome.system(), nome.dateText()};
        out << colunas.join(QStringLiteral("  ")) << '\n';
    }
    out.flush();
    return Sucesso;
}

int retorno(const QStringList &argumentos, QTextStream &out, QTextStream &err)
{
    Opcoes o(QStringLiteral("retorno"), {QStringLiteral("nome")}, {QStringLiteral("substituir"), QStringLiteral("todos")});
    o.le(argumentos);
    if (o.ajuda()) {
        out << AjudaRetorno;
        return Sucesso;
    }
    if (!o.tem(QStringLiteral("todos")))
        return umArquivo(o, out, err);
    o.exclusivas(QStringLiteral("todos"), QStringLiteral("nome"));
    o.semArgumentos();
    const Balanco b = retornosPendentes(o.tem(QStringLiteral("substituir")), relatoNoTerminal(out, err));
    return b.falhas == 0 ? Sucesso : Recusa;
}

} // namespace zqcli
