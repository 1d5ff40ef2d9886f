#pragma once
// What the line-fitting pass feeds the checks with as it reads, and the UTF-8
// rules that the checks and the conversion share. Inside src/remittance only.
#include "remittance/ConfereRemessa.h"

#include <array>

namespace remessa {

namespace utf8 {

// Length of the sequence a byte opens (2 to 4); 0 for a byte that opens none
// (ASCII, a continuation byte, 0xC0, 0xC1 and 0xF5 to 0xFF).
inline int comprimento(unsigned char inicial)
{
    if (inicial < 0xC2)
        return 0;
    return inicial <= 0xDF ? 2 : inicial <= 0xEF ? 3 : inicial <= 0xF4 ? 4 : 0;
}
// The bits of the character that the first byte of a sequence of n carries.
inline char32_t bitsIniciais(unsigned char inicial, int n)
{
    return inicial & (0x7F >> n);
}
inline bool continuacao(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}
// A character decoded from n bytes is valid: the shortest form, no surrogate,
// inside Unicode.
inline bool valido(char32_t c, int n)
{
    constexpr char32_t menor[5] = {0, 0, 0x80, 0x800, 0x10000};
    return c >= menor[n] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}
// The byte order mark that some editors put at the start of a UTF-8 file.
constexpr char32_t Bom = 0xFEFF;

} // namespace utf8

// The Windows-1252 byte of a character; -1 when it has none.
int byte1252(char32_t c);

// The checks while a pass runs: what it reads goes in line by line, the
// findings go into the Conferencia.
class Conferente {
public:
    Conferente(Conferencia &conferencia, int tamanhoRegistro);

    // A byte of a run of line ends (CR or LF): CR LF ends one line, any other
    // CR or LF one of its own.
    void fimDeLinha(unsigned char b)
    {
        fins_ += b == '\n' && depoisDeCR_ ? 0 : 1;
        depoisDeCR_ = b == '\r';
    }
    // The run of line ends is over: a line begins.
    void linhaComeca() { depoisDeCR_ = false; }
    // Bytes from 0x20 to 0x7E were added to the line.
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
    void fechaLinha(const char *registro, bool escrito, qint64 comprimento);
    // The pass is over with its status: 0 or end of file when the source was
    // read to its end (or to a byte 26).
    void termina(int status);

private:
    enum class Leiaute { Outro, Cnab400, Cnab240 };
    static constexpr int Captura = 160;     // bytes of a cut kept to show (40 characters of up to 4)
    static constexpr int CaracteresUtf8 = 10; // characters of a line in UTF-8 shown

    template <class Texto>
    void constata(qint64 linha, Texto texto);
    void completaSequencia(qint64 posicao);
    void quebraSequencia()
    {
        conferencia_.utf8Invalido_ = true;
        faltam_ = 0;
    }
    void confereRegistro(const char *registro, qint64 linha);

    Conferencia &conferencia_;
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
    std::array<unsigned char, Captura> corte_{};   // the first bytes cut
    qint64 ultimoCortado_ = 0;                     // offset after the last cut byte that is not blank

    // A UTF-8 sequence under way.
    int faltam_ = 0;
    int bytesSequencia_ = 0;
    char32_t caractere_ = 0;

    // The file.
    bool algumaLinha_ = false;  // a line with text
    bool todas240_ = true;      // every line with text is 240 long
    qint64 registros_ = 0;      // records written
    Leiaute leiaute_ = Leiaute::Outro;
    qint64 esperado_ = 1;       // CNAB 400: the next sequence number
    qint64 alternativo_ = -1;   // after a break, the number that says the broken record only had its number wrong
    std::array<char, 29> ultimo_{}; // the beginning of the last record
    qint64 linhaUltimo_ = 0;
};

} // namespace remessa
