#pragma once
// The name pattern of delivered return files: a name and an extension kept
// in a small text file, so that every return file gets the same destination
// name from one run of the program to the next.
//
// The file holds two lines, "Nome=<name>;" and "Extensao=<extension>;", in
// 8-bit text with CR LF line ends. Failures to read or write it raise the
// runtime's EInOutError; the folder C:\ZQ\REN is never created here.
#include <QString>
#include <optional>

// Where the pattern lives; no setting changes it.
inline const QString ArquivoPadraoNome = QStringLiteral("C:\\ZQ\\REN\\ZQRen417.config");

// What the pattern file holds: each value when its line holds its key.
struct PadraoNome {
    std::optional<QString> nome;
    std::optional<QString> extensao;
};

// Reads the pattern: line 1 gives the name when its key (before the first
// "=", any letter case) is NOME, line 2 the extension when its key is
// EXTENSAO. A value runs up to the first ";" (none, or one before the "=",
// gives an empty value) and is upper-cased from a to z. A line that does not
// hold its key gives nothing (the window's field then keeps its text). A
// missing file is first written with the defaults "retorno" and "txt".
PadraoNome LePadraoNome();

// Replaces the file with the two lines of this name and extension, written
// as they are.
void GravaPadraoNome(const QString &nome, const QString &extensao);

// The destination name: name followed by the extension, with a "." put in
// front of an extension that holds none ("RETORNO" and "TXT" give
// "RETORNO.TXT"; an empty extension gives "RETORNO.").
QString MontaNomeRetorno(const QString &nome, const QString &extensao);
