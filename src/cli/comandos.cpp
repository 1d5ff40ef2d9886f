#include "cli/comandos.h"

#include "cli/terminal.h"
#include "db/tables.h"
#include "platform/tables/session.h"

#include <QMap>
#include <QTextStream>

namespace zqcli {

namespace {

const QString AjudaGeral = QStringLiteral(
    "Uso: renomeia-zq-cli COMANDO [OPÇÕES]\n"
    "Renomeia e entrega os arquivos trocados com o banco, como o Renomeia Arquivos ZQ,\n"
    "sem janelas: na mesma unidade C: (RENOMEIA_ZQ_PREFIX) e nas mesmas tabelas.\n"
    "\n"
    "Comandos:\n"
    "  remessa   renomeia um arquivo remessa (ou todos os que aguardam) e o entrega na pasta de saída\n"
    "  verifica  confere um arquivo remessa sem renomeá-lo\n"
    "  retornos  lista os arquivos retorno à espera nas pastas de entrada\n"
    "  retorno   entrega um arquivo retorno (ou todos os que aguardam) na pasta do seu contrato\n"
    "  log       lista os arquivos renomeados\n"
    "  vigia     fica em execução e entrega os arquivos à medida que chegam\n"
    "\n"
    "renomeia-zq-cli COMANDO --help mostra as opções de cada comando.\n"
    "Saída: 0 feito; 1 o arquivo não foi renomeado ou entregue (o motivo na saída de erros);\n"
    "2 erro de uso.\n");

// The alias of the tables, registered as the window program does at its start.
void registraAlias()
{
    tables::Session &s = tables::Session::instance();
    if (s.aliasExists(zqdb::AliasName))
        return;
    s.addAlias(zqdb::AliasName, zqdb::AliasDriver, {QStringLiteral("PATH=") + zqdb::TablesFolder});
    s.saveConfig();
}

} // namespace

int executa(const QStringList &argumentos, QTextStream &out, QTextStream &err)
{
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const QString comando = argumentos.value(0);
    const QStringList resto = argumentos.mid(1);
    try {
        if (comando == QLatin1String("--help") || comando == QLatin1String("-h") || comando == QLatin1String("ajuda")) {
            out << AjudaGeral;
            return Sucesso;
        }
        using Comando = int (*)(const QStringList &, QTextStream &, QTextStream &);
        static const QMap<QString, Comando> comandos{{QStringLiteral("remessa"), remessa},   {QStringLiteral("verifica"), verifica},
                                                     {QStringLiteral("retornos"), retornos}, {QStringLiteral("retorno"), retorno},
                                                     {QStringLiteral("log"), log},           {QStringLiteral("vigia"), vigia}};
        const auto it = comandos.find(comando);
        if (it == comandos.end())
            throw ErroDeUso{comando.isEmpty() ? QStringLiteral("Informe um comando.")
                                              : QStringLiteral("Comando desconhecido: %1").arg(comando)};
        // A task is not failed because the window program or another task
        // held a table for a moment.
        tables::Session::instance().setBusyTimeout(EsperaPorTabela);
        if (!resto.contains(QStringLiteral("--help")))
            registraAlias();
        return it.value()(resto, out, err);
    } catch (const ErroDeUso &e) {
        err << QStringLiteral("renomeia-zq-cli: ") << e.texto << '\n'
            << QStringLiteral("Use renomeia-zq-cli --help para ver os comandos e renomeia-zq-cli COMANDO --help para as opções.")
            << Qt::endl;
        return Uso;
    } catch (const Exception &e) {
        err << linhas(textoDoErro(e)) << Qt::endl;
        return Recusa;
    }
}

} // namespace zqcli
