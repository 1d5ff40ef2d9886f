#pragma once
// renomeia-zq-cli: the jobs of the program from a command line, on the same
// drive and tables as the windows, for tasks that run without anyone at the
// screen. Every question a window asks is answered by an option.
//
//   renomeia-zq-cli remessa --agencia N --contrato N --servico COD [--teste] [--de-novo] [--substituir]
//                           [--mesmo-assim | --converter] ARQUIVO
//   renomeia-zq-cli remessa --pendentes --agencia N --contrato N --servico COD [--teste] [--estavel S]
//                           [--mesmo-assim | --converter]
//   renomeia-zq-cli verifica (--registro N | --agencia N --contrato N --servico COD) ARQUIVO
//   renomeia-zq-cli retornos
//   renomeia-zq-cli retorno [--nome NOME] [--substituir] ARQUIVO
//   renomeia-zq-cli retorno --todos [--substituir]
//   renomeia-zq-cli log [--contrato AGENCIA/CONTRATO] [--remessa | --retorno] [--data DD/MM/AAAA] [--csv]
//   renomeia-zq-cli vigia [--intervalo S] [--estavel S] [--remessas AGENCIA/CONTRATO/SERVICO]...
//
// Exit status: 0 done, 1 the job refused or failed (its message on stderr,
// the text of the window's box), 2 a usage error.
#include <QStringList>

#include "cli/opcoes.h"

class QTextStream;

namespace zqcli {

// Runs a command line (without the program's name); what it prints goes to
// out (results) and err (messages).
int executa(const QStringList &argumentos, QTextStream &out, QTextStream &err);

// The commands, one unit each.
int remessa(const QStringList &argumentos, QTextStream &out, QTextStream &err);
int verifica(const QStringList &argumentos, QTextStream &out, QTextStream &err);
int retornos(const QStringList &argumentos, QTextStream &out, QTextStream &err);
int retorno(const QStringList &argumentos, QTextStream &out, QTextStream &err);
int log(const QStringList &argumentos, QTextStream &out, QTextStream &err);
int vigia(const QStringList &argumentos, QTextStream &out, QTextStream &err);

} // namespace zqcli
