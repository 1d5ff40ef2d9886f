#pragma once
// The checks of a remittance file, made in the same reading as the
// line-fitting pass (VerificaArquivo): the faults that make a bank reject
// the file and that fitting every line to the record length would hide.
//   Any file:
//   - a line longer than the record whose cut part holds text;
//   - text in UTF-8 (a valid multi-byte sequence) where the bank reads one
//     byte per character, and a UTF-8 byte order mark;
//   - a control character (0-31 but CR and LF, 127) inside a written record;
//   - a file of another layout than the service's: a CNAB 240 file header
//     for a service of another record length, or mostly 240-column lines for
//     a service of 400 or 444.
//   CNAB 400 (first record "01REMESSA", record length 400) and CNAB 240
//   (record length 240, first record: bank code digits, lot "0000", record
//   type "0"), each with its rules in RegrasCnab.h:
//   - a record shorter than the record length that ends in a blank: a
//     character was lost inside it, and every later field moved.
// Windows-1252 accents, any line ends, blanks past the record, blank lines,
// a last line without an end and lines whose trailing blanks were stripped
// are normal. A byte order mark is skipped to recognise the layout.
//
// Line numbers are the source's lines from 1: CR LF ends one line, any other
// CR or LF one each. The first 100 findings are kept with their text, the
// rest only counted: nothing else grows with the file or with a line.
//
// Qt Core only.
#include "remittance/VerificaArquivo.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace remessa {

// One finding: the source line and what is wrong with it, without
// "Linha N: " (see textoConstatacao). Line 0 is the file as a whole.
struct Constatacao {
    qint64 linha = 0;
    QString texto;

    // The delivered bytes would equal those of a file delivered before for
    // the same contract: "conteúdo igual ao do arquivo <nome> entregue em
    // dd/MM/yyyy às hh:mm:ss", of the file as a whole.
    static Constatacao conteudoIgual(const QString &nomeEntregue, const QDateTime &entrega);
    // A CNAB 240 file sequence number (header columns 158-163) not greater
    // than the last one delivered for the contract, on the header's line.
    static Constatacao sequenciaNaoMaior(int sequencia, int ultima, qint64 linha = 1);
};

class Conferente;
class Constatador;

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

    // The fingerprint of the bytes the pass wrote (the fitted lines with
    // their CR LF, converted when it converted): see Impressao.h.
    quint64 impressao() const { return impressao_; }
    // A file recognised as CNAB 240 for a service of 240: the file sequence
    // number of its header (columns 158-163); none when it is not numeric.
    std::optional<int> sequenciaArquivo() const { return sequencia_; }
    // The line of that header.
    qint64 linhaDoHeader() const { return linhaHeader_; }

    // A finding made outside the pass (from the log), in its place in line
    // order and counted like the others.
    void acrescenta(const Constatacao &constatacao);

private:
    friend class Conferente;
    friend class Constatador;
    friend int ConfereArquivo(const QString &, int, Conferencia &, bool);
    // Keeps a finding already counted, when it is among the first Guardadas.
    void guarda(const Constatacao &c);
    bool dispensa(qint64 linha) const
    {
        return constatacoes_.size() == Guardadas && constatacoes_.last().linha <= linha;
    }

    QList<Constatacao> constatacoes_;
    qint64 total_ = 0;
    bool multibyte_ = false;    // a valid UTF-8 sequence of two or more bytes
    bool utf8Invalido_ = false; // a byte from 0x80 outside a valid sequence
    bool fora1252_ = false;     // a character of a sequence has no Windows-1252 byte
    int codigo_ = 0;            // how the pass ended: 0, or its file-error code
    quint64 impressao_ = 0;
    std::optional<int> sequencia_;
    qint64 linhaHeader_ = 0;
};

// "Linha 2: <texto>" (maiuscula, for the window) or "linha 2: <texto>"; a
// finding of the file as a whole is its text alone (with a capital for the
// window).
QString textoConstatacao(const Constatacao &c, bool maiuscula);

// Checks a file without delivering it: the pass, into a writer that keeps
// nothing. Gives 0, or the file-error code of the open or of a read (the
// findings are then those up to the failure); leaves no failure pending.
int ConfereArquivo(const QString &origem, int tamanhoRegistro, Conferencia &conferencia, bool converteUtf8 = false);

} // namespace remessa
