#pragma once
// The standard name under which the bank expects a remittance file, and the
// name under which it is written before it gets it.
#include <QString>

namespace remessa {

// What a standard name is made of, as the contract's data sets show it.
struct DadosNome {
    QString sistema;     // system code, "COB"
    QString servicoId;   // service identifier as shown, "01"
    QString servico;     // service code, "66"
    QString dia;         // day of month of the file's stamp, "05"
    int sequencia = 1;   // 1 to 9
    QString agencia;     // "0012"
    QString contrato;    // nine digits, "000345678"
    bool producao = true;
};

// System, service identifier, service, day, sequence digit, agency, contract
// (nine digits for COB, CCC and DEL, the last seven for any other system),
// "P" or "T", ".TXT": 28 or 26 characters, the sequence digit always the 10th.
QString nomePadrao(const DadosNome &dados);

// True when the system's names carry the nine contract digits.
bool contratoCompleto(const QString &sistema);

// The name a file is written under in its folder before it is renamed to
// destino: a leading dot and no ".TXT" ending, so that no transfer mask picks
// up a file still being written ("C:\ZQ\COB\SAIDA\.COB...P.TXT" gives
// "C:\ZQ\COB\SAIDA\.COB...P.parcial").
QString nomeTemporario(const QString &destino);

} // namespace remessa
