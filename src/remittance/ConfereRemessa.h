#pragma once
// The checks of a remittance file, made in the same reading as the
// line-fitting pass (VerificaArquivo): the faults that make a bank reject
// the file and that fitting every line to the record length would hide.
//   - a line longer than the record whose cut part holds text;
//   - text in UTF-8 (a valid multi-byte sequence) where the bank reads one
//     byte per character;
//   - a control character (0-31 but CR and LF, 127) inside a written record;
//   - a file whose every line is 240 characters long, for a service of 400
//     or 444;
//   - CNAB 400 (first record "01REMESSA", record length 400): the sequence
//     000001, 000002, ... in columns 395-400 and a last record "9";
//   - CNAB 240 (record length 240, record type "0" in column 8 of the first
//     record and "9" in that of the last): the record count of the trailer
//     in columns 24-29.
// Windows-1252 accents, any line ends, blanks past the record, blank lines
// and a last line without an end are normal.
//
// Line numbers are the source's lines from 1: CR LF ends one line, any other
// CR or LF one each. The first 100 findings are kept with their text, the
// rest only counted: nothing else grows with the file or with a line.
//
// Qt Core only.
#include "remittance/VerificaArquivo.h"

#include <QList>
#include <QString>

namespace remessa {

// One finding: the source line and what is wrong with it, without
// "Linha N: " (see textoConstatacao).
struct Constatacao {
    qint64 linha = 0;
    QString texto;
};

class Conferente;

// What the checks found in one pass.
class Conferencia {
public:
    // Findings kept with their text: the first ones in line order.
    static constexpr int Guardadas = 100;

    // The first Guardadas findings, in line order.
    const QList<Constatacao> &constatacoes() const { return constatacoes_; }
    // Every finding, kept or not.
    qint64 total() const { return total_; }
    bool limpa() const { return total() == 0; }
    // Findings counted but not kept.
    qint64 omitidas() const { return total_ - constatacoes_.size(); }
    // The whole source is valid UTF-8, has at least one character of more
    // than one byte, and every character exists in Windows-1252: converted
    // (VerificaArquivo with converteUtf8), its records get their length.
    bool convertivel() const { return multibyte_ && !utf8Invalido_ && !fora1252_; }

private:
    friend class Conferente;
    friend int ConfereArquivo(const QString &, int, Conferencia &, bool);

    QList<Constatacao> constatacoes_;
    qint64 total_ = 0;
    bool multibyte_ = false;    // a valid UTF-8 sequence of two or more bytes
    bool utf8Invalido_ = false; // a byte from 0x80 outside a valid sequence
    bool fora1252_ = false;     // a character of a sequence has no Windows-1252 byte
    int codigo_ = 0;            // how the pass ended: 0, or its file-error code
};

// "Linha 2: <texto>" (maiuscula, for the window) or "linha 2: <texto>".
QString textoConstatacao(const Constatacao &c, bool maiuscula);

// Checks a file without delivering it: the pass, into a writer that keeps
// nothing. Gives 0, or the file-error code of the open or of a read (the
// findings are then those up to the failure); leaves no failure pending.
int ConfereArquivo(const QString &origem, int tamanhoRegistro, Conferencia &conferencia, bool converteUtf8 = false);

} // namespace remessa
