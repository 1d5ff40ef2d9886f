// renomeia-zq-cli vigia: a process that keeps running and delivers what
// arrives, with nobody at the screen.
#include "cli/comandos.h"
#include "cli/vigia.h"
#include "platform/os/parada.h"
#include "remittance/RenomeiaRemessa.h"

#include <QCoreApplication>
#include <QRegularExpression>

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

    Vigia vigia(out, intervalo, estavel, contratos);
    os::tratePedidoDeParada([] { QCoreApplication::quit(); });
    vigia.rodada();
    // From here on a change in a watched folder is seen.
    err << QStringLiteral("Vigiando as pastas (rodada a cada %1 segundos); SIGTERM ou Ctrl+C termina.").arg(intervalo) << Qt::endl;
    if (!os::paradaPedida())
        QCoreApplication::exec();
    err << QStringLiteral("Vigia terminado.") << Qt::endl;
    return Sucesso;
}

} // namespace zqcli
