#pragma once
// What the line-fitting pass feeds the checks with as it reads. The pass
// takes its checks as a type: SemConferencia, which does nothing, for the
// plain pass; Conferente, which makes every check of ConfereRemessa.h and
// takes the fingerprint of what is written. Inside src/remittance only.
#include "platform/filesystem/varredura.h"
#include "remittance/ConfereRemessa.h"
#include "remittance/Impressao.h"
#include "remittance/RegrasCnab.h"

#include <array>
#include <vector>

namespace remessa {

// The plain pass: no checks, and a search for line ends only.
struct SemConferencia {
    const unsigned char *procura(const unsigned char *p, const unsigned char *fim, bool) const
    {
        return varredura::procuraFim(p, fim);
    }
    void fimDeLinha(unsigned char) {}
    void linhaComeca() {}
    void comuns() {}
    void raro(unsigned char, qint64) {}
    void cortados(const unsigned char *, qint64, qint64) {}
    void fechaLinha(const char *, bool, qint64) {}
    void entregue(const char *) {}
    void termina(int) {}
};

// Adds findings to a Conferencia in line order. The text, given as a
// function, is made only for a finding that is kept.
class Constatador {
public:
    explicit Constatador(Conferencia &conferencia) : conferencia_(conferencia) {}
    template <class Texto>
    void operator()(qint64 linha, Texto texto)
    {
        ++conferencia_.total_;
        if (!conferencia_.dispensa(linha))
            conferencia_.guarda(Constatacao{linha, texto()});
    }

private:
    Conferencia &conferencia_;
};

// Bytes as the user should read them: a valid UTF-8 sequence as its
// character, any other byte as Windows-1252, a control character as a blank.
QString legivel(const unsigned char *p, qint64 n);
// A number of n digits; -1 when a byte is not a digit.
qint64 numero(const char *p, int n);
// A numeric field as it stands in the record, in quotes when it is not all digits.
QString campo(const char *p, int n);
// A number with leading zeros to n digits.
QString digitos(qint64 v, int n);

// The checks while a pass runs: what it reads goes in line by line, the
// findings go into the Conferencia.
class Conferente {
public:
    Conferente(Conferencia &conferencia, int tamanhoRegistro);

    // The next byte the pass hands over one by one: one that is not plain
    // text, or, past the record, where only line ends and UTF-8 matter to the
    // checks, a line end or a byte from 0x80.
    const unsigned char *procura(const unsigned char *p, const unsigned char *fim, bool alemDoRegistro) const
    {
        return alemDoRegistro ? varredura::procuraFim<true>(p, fim) : varredura::procuraRaro(p, fim);
    }
    // A byte of a run of line ends (CR or LF): CR LF ends one line, any other
    // CR or LF one of its own.
    void fimDeLinha(unsigned char b)
    {
        fins_ += b == '\n' && depoisDeCR_ ? 0 : 1;
        depoisDeCR_ = b == '\r';
    }
    // The run of line ends is over: a line begins.
    void linhaComeca() { depoisDeCR_ = false; }
    // Plain text (0x20 to 0x7E; past the record, anything below 0x80) was
    // added to the line.
    void comuns()
    {
        if (faltam_)
            quebraSequencia();
    }
    // A byte below 0x20 (but CR, LF and 26), 127, or from 0x80 was added to
    // the line at this position (from 1).
    void raro(unsigned char b, qint64 posicao);
    // n bytes of the line beyond the record length, the first at this offset
    // of what is cut (from 0).
    void cortados(const unsigned char *p, qint64 n, qint64 inicio);
    // The line is over: its fitted record (record-length bytes), whether it
    // is written (not blank), and its length as read.
    void fechaLinha(const char *registro, bool escrito, qint64 comprimento)
    {
        // Most lines have nothing to report, and most records no rules to
        // meet but those of the file: they cost a few tests.
        if (faltam_ || bom_ || quantosUtf8_ || ultimoCortado_ || controles_ || leiaute_ != Leiaute::Outro || registros_ == 0) {
            fechaLinhaInteira(registro, escrito, comprimento);
            return;
        }
        if (escrito) {
            ++registros_;
            ++linhasComTexto_;
            linhas240_ += comprimento == 240;
        }
    }
    // A fitted line written to the destination, with its CR LF.
    void entregue(const char *linha) { impressao_.linha(linha); }
    // The pass is over with its status: 0 or end of file when the source was
    // read to its end (or to a byte 26).
    void termina(int status);

private:
    enum class Leiaute { Outro, Cnab400, Cnab240 };
    static constexpr int Captura = 160;       // bytes of a cut kept to show (40 characters of up to 4)
    static constexpr int CaracteresUtf8 = 10; // characters of a line in UTF-8 shown
    static constexpr int Bom = 3;             // bytes of a UTF-8 byte order mark

    void completaSequencia(qint64 posicao);
    void quebraSequencia()
    {
        conferencia_.utf8Invalido_ = true;
        faltam_ = 0;
    }
    QString textoDoCorte() const;
    void fechaLinhaInteira(const char *registro, bool escrito, qint64 comprimento);
    void confereRegistro(const char *registro, qint64 linha, qint64 comprimento);
    void reconhece(const char *registro, qint64 linha, qint64 comprimento);

    Conferencia &conferencia_;
    Constatador constata_;
    const int tamanho_;

    // Lines.
    qint64 fins_ = 0; // line ends before the current line
    bool depoisDeCR_ = false;

    // The current line.
    bool bom_ = false;                             // it opens the file with a byte order mark
    std::array<char32_t, CaracteresUtf8> utf8_{};  // characters of more than one byte, each once
    int quantosUtf8_ = 0;
    qint64 controles_ = 0;                         // control characters inside the record
    qint64 posicaoControle_ = 0;                   // and the first of them
    unsigned char codigoControle_ = 0;
    std::array<unsigned char, Captura> corte_{};   // what is cut, from its first byte of text
    qint64 textoCortado_ = -1;                     // offset of that byte in what is cut
    qint64 ultimoCortado_ = 0;                     // offset after the last cut byte of text
    std::array<char, Bom> inicioDoCorte_{};        // the first bytes cut, as they are

    // A UTF-8 sequence under way.
    int faltam_ = 0;
    int bytesSequencia_ = 0;
    char32_t caractere_ = 0;

    // The file.
    qint64 linhasComTexto_ = 0;
    qint64 linhas240_ = 0;       // of them, 240 characters long
    qint64 primeiraLinha_ = 0;   // the first with text
    qint64 registros_ = 0;       // records written
    Leiaute leiaute_ = Leiaute::Outro;
    bool outroLeiaute_ = false;  // reported as a layout of another record length
    std::vector<char> semBom_;   // the first record without its byte order mark
    RegrasCnab400 cnab400_;
    RegrasCnab240 cnab240_;
    Impressao impressao_;
};

} // namespace remessa
