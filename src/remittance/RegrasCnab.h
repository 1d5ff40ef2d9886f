#pragma once
// The rules of the two CNAB layouts, record by record, as the checks of a
// remittance file apply them (Conferente.h) once the first record has shown
// the layout. Each rule names the line of the record it concerns. Inside
// src/remittance only.
#include <QtGlobal>

#include <array>
#include <optional>

namespace remessa {

class Constatador;

// CNAB 400: the header starts "01REMESSA"; the records are numbered 000001,
// 000002, ... in columns 395-400; the last record is a trailer "9".
class RegrasCnab400 {
public:
    static constexpr int Tamanho = 400;
    static bool reconhece(const char *header);
    void registro(const char *r, qint64 linha, Constatador &constata);
    void termina(Constatador &constata) const;

private:
    qint64 esperado_ = 1;     // the next sequence number
    qint64 alternativo_ = -1; // after a break, the number that says the broken record only had its number wrong
    char tipoUltimo_ = 0;
    qint64 linhaUltimo_ = 0;
};

// CNAB 240 (FEBRABAN): a file header (lot "0000", type "0", the remittance
// code in column 143, the date DDMMAAAA in 144-151, the file sequence number
// in 158-163); lots numbered 0001, 0002, ... in columns 4-7, each a lot
// header (type "1"), its records (types "2" to "4", segments "3") and a lot
// trailer (type "5") that counts them, itself and the header included, in
// columns 18-23; last, the file trailer (lot "9999", type "9") with the
// number of lots in 18-23 and of records in 24-29.
class RegrasCnab240 {
public:
    static constexpr int Tamanho = 240;
    // Bank code digits in columns 1-3, lot "0000", record type "0".
    static bool reconhece(const char *header);
    void registro(const char *r, qint64 linha, Constatador &constata);
    void termina(Constatador &constata);

    // The file sequence number of the header; none when it is not numeric.
    std::optional<int> sequenciaArquivo() const;
    qint64 linhaHeader() const { return linhaHeader_; }

private:
    void header(const char *r, qint64 linha, Constatador &constata);
    void abreLote(const char *r, qint64 linha, Constatador &constata);
    void noLote(const char *r, qint64 linha, Constatador &constata);
    void fechaLote(const char *r, qint64 linha, Constatador &constata);
    void trailer(const char *r, qint64 linha, Constatador &constata);
    void semTrailerDeLote(qint64 linha, Constatador &constata);
    void foraDeLote(char tipo, qint64 linha, Constatador &constata);

    qint64 registros_ = 0;
    qint64 linhaUltimo_ = 0;
    qint64 linhaHeader_ = 0;
    qint64 sequencia_ = -1;
    qint64 lotes_ = 0;          // lot headers
    qint64 esperado_ = 1;       // the number of the next lot
    bool emLote_ = false;
    std::array<char, 4> lote_{}; // the open lot's number as it stands
    qint64 registrosLote_ = 0;  // records of the open lot so far
    bool loteAvisado_ = false;  // a record of the open lot with another lot number was reported
    bool foraAvisado_ = false;  // a record outside any lot was reported since the last lot
    bool fimDoArquivo_ = false; // the file trailer was read
    bool depoisAvisado_ = false;
};

} // namespace remessa
