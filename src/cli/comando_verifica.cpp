// renomeia-zq-cli verifica: the checks of a remittance file, without delivering it.
#include "cli/comandos.h"
#include "cli/terminal.h"

namespace zqcli {

namespace {

const QString Ajuda = QStringLiteral(
    "Uso: renomeia-zq-cli verifica (--registro N | --agencia N --contrato N --servico COD) ARQUIVO\n"
    "Confere ARQUIVO como a renomeação o conferiria, sem entregá-lo: mostra uma falha por linha,\n"
    "cada uma começando por \"linha N: \" (a linha do arquivo, a partir de 1). Com o contrato,\n"
    "também o que os arquivos renomeados dizem: o mesmo conteúdo de um arquivo já entregue ao\n"
    "contrato nos últimos 30 dias, e o número sequencial de um arquivo CNAB 240 que não passa o\n"
    "do último entregue.\n"
    "Saída: 0 sem falhas; 1 com falhas; 2 erro de uso ou de leitura.\n"
    "\n"
    "  --registro N     tamanho do registro (240, 400, 444)\n"
    "  --agencia N --contrato N --servico COD\n"
    "                   o tamanho do registro do serviço do contrato\n");

} // namespace

int verifica(const QStringList &argumentos, QTextStream &out, QTextStream &err)
{
    Opcoes o(QStringLiteral("verifica"),
             {QStringLiteral("registro"), QStringLiteral("agencia"), QStringLiteral("contrato"), QStringLiteral("servico")}, {});
    o.le(argumentos);
    if (o.ajuda()) {
        out << Ajuda;
        return Sucesso;
    }
    const bool doContrato = o.tem(QStringLiteral("agencia")) || o.tem(QStringLiteral("contrato")) || o.tem(QStringLiteral("servico"));
    if (o.tem(QStringLiteral("registro")) == doContrato)
        throw ErroDeUso{QStringLiteral("Informe --registro N ou --agencia, --contrato e --servico do comando verifica.")};
    int tamanho = 0;
    std::optional<remessa::Contrato> contrato;
    if (doContrato) {
        o.obrigatorias({QStringLiteral("agencia"), QStringLiteral("contrato"), QStringLiteral("servico")});
        const int agencia = o.inteiro(QStringLiteral("agencia"), 9999);
        const int numero = o.inteiro(QStringLiteral("contrato"), 999999999);
        const QString servico = o.valor(QStringLiteral("servico"));
        const std::optional<remessa::Contrato> c = remessa::leContrato(agencia, numero, servico);
        if (!c)
            throw ErroDeUso{QStringLiteral("O contrato %1 do serviço %2 não está cadastrado.").arg(contratoTexto(agencia, numero), servico)};
        if (!c->servicoCadastrado)
            throw ErroDeUso{QStringLiteral("O serviço %1 do contrato não está cadastrado.").arg(servico)};
        tamanho = c->tamanhoRegistro;
        contrato = c;
    } else {
        tamanho = o.inteiro(QStringLiteral("registro"), 100000);
    }
    const QString arquivo = o.arquivo();
    remessa::Conferencia achados;
    if (const int codigo = remessa::ConfereArquivo(arquivo, tamanho, achados)) {
        err << entrega::causaDaFalha(codigo, arquivo, false) << Qt::endl;
        return Uso;
    }
    // Of a contract, also what its log tells: the same file sent before, a CNAB 240 number gone back.
    if (contrato)
        remessa::conferenciaDoLog(*contrato, 0, achados);
    escreveAchados(out, achados);
    out.flush();
    if (achados.omitidas() > 0)
        err << QStringLiteral("... e mais %1").arg(achados.omitidas()) << '\n';
    if (achados.convertivel())
        err << QStringLiteral("O arquivo está em UTF-8 e pode ser convertido para Windows-1252 (opção --converter do comando remessa).")
            << '\n';
    err.flush();
    return achados.limpa() ? Sucesso : Recusa;
}

} // namespace zqcli
