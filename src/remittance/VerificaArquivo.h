#pragma once
// The line-fitting pass that turns a remittance file into the file delivered
// to the transfer program: the source is split into lines (any run of CR and
// LF is one line end, a byte 26 ends the text), every line is cut or padded
// with blanks to the service's record length, lines left blank are dropped and
// every written line ends with CR LF. Bytes are kept as they are (Windows-1252,
// NUL): the pass never decodes text, unless it is asked to convert UTF-8.
//
// The pass holds one fitted line (record-length bytes) and counters, whatever
// the input: a line without end, however long, costs no memory. It reads
// through the reader's block buffer and writes through the buffered writer.
#include <QString>
#include <functional>

namespace winfs {
class FileReader;
class FileWriter;
} // namespace winfs

namespace remessa {

class Conferencia; // remittance/ConfereRemessa.h

// What the pass reports to whoever shows its progress.
enum class Etapa {
    Inicio,       // before the first read; the bar goes to 1
    Linha,        // a line end was reached; the bar goes to the counter
    Fim,          // the pass is over, whatever its outcome
    FimDaLeitura, // the reading reached the end of the source; the bar goes to counter + 100
};
// The step and the bar position it brings (the counter, for Fim).
using Progresso = std::function<void(Etapa etapa, qint64 posicao)>;

// Status text of a step: "Verificando arquivo...", "Verificando arquivo...   "
// + the counter in KB ("1.234,56") + "KB lidos", "Arquivo OK"; a null text for
// FimDaLeitura, which moves only the bar.
QString textoEtapa(Etapa etapa, qint64 contador);

// Runs the pass from origem into destino with the given record length (0 or
// less: every line becomes empty and nothing is written). True when the
// source was read to its end (or to a byte 26) and every write succeeded;
// false on a read or write error (a reader that is not open fails on its
// first read). Never raises; the writer is left open for the caller to close.
//
// With a conferencia, the pass also makes the checks of ConfereRemessa.h on
// what it reads (the earlier findings of that conferencia are forgotten);
// without one it runs as fast as it ever did. With converteUtf8, the bytes
// read are converted from UTF-8 to Windows-1252 before they are fitted (and
// checked): a BOM at the start goes, every valid sequence of a character that
// Windows-1252 has becomes its one byte, anything else stays as it was read;
// the progress counter then counts the bytes converted.
bool VerificaArquivo(winfs::FileReader &origem, winfs::FileWriter &destino, int tamanhoRegistro,
                     const Progresso &progresso = {}, Conferencia *conferencia = nullptr, bool converteUtf8 = false);

} // namespace remessa
