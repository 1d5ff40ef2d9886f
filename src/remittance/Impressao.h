#pragma once
// The fingerprint of a delivered file: a 64-bit hash of its bytes, taken as
// the pass writes them at a small share of the pass's cost, and the same on
// every system and build (stored beside the log, it is compared later). It
// tells two files apart; it is no defence against a forger.
//
// A delivered file is lines of one length (the record and its CR LF). Each
// line goes in 32 bytes at a time, its last 32 bytes once more when its
// length is not a multiple of 32, over four lanes of 64 bits: each lane adds
// the product of the two halves of its eight bytes mixed with a key of the
// position in the line. The lanes are scrambled every 512 bytes of a line and
// at its end, and mixed into one value at the end of the file, with the
// length of the lines and their number.
#include <QByteArray>
#include <QtGlobal>

namespace remessa {

class Impressao {
public:
    // comprimento: the bytes of every line.
    explicit Impressao(int comprimento);
    // One line of comprimento bytes.
    void linha(const char *p)
    {
        ++linhas_;
        if (comprimento_ >= Faixa)
            calcula(estado_.acc, reinterpret_cast<const unsigned char *>(p), comprimento_);
        else
            curta(p);
    }
    // The fingerprint of the lines so far.
    quint64 valor() const;

    static constexpr int Faixa = 32;  // bytes taken at a time
    static constexpr int Chaves = 16; // stripes between two scrambles, each with its key

private:
    // The routine for this processor (AVX2, SSE2 or plain).
    using Calculo = void (*)(quint64 *acc, const unsigned char *p, qint64 n);
    static const Calculo calcula;
    void curta(const char *p);

    const int comprimento_;
    struct Estado {
        alignas(16) quint64 acc[4];
    } estado_;
    quint64 linhas_ = 0;
};

// The fingerprint of a delivered file's bytes, whose records have this length
// (every line is the record and its CR LF).
quint64 impressaoDe(const QByteArray &entregue, int tamanhoRegistro);

} // namespace remessa
