#pragma once
// The standard name under which the bank expects a remittance file.
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

} // namespace remessa
