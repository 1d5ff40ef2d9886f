#pragma once
// The pieces every command of renomeia-zq-cli shares: its options read by
// Qt's parser with the usage errors in Portuguese, numbers and paths as the
// commands take them, and the texts of the jobs written line by line.
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class QTextStream;

namespace zqcli {

enum Saida { Sucesso = 0, Recusa = 1, Uso = 2 };

// A usage error: its text goes to stderr after the program's name, exit status 2.
struct ErroDeUso {
    QString texto;
};

// The options of one command: those that take a value, the marks, and the
// arguments; --help is every command's.
class Opcoes {
public:
    Opcoes(const QString &comando, const QStringList &comValor, const QStringList &semValor);
    // Reads a command line (after the command's name); raises ErroDeUso.
    void le(const QStringList &argumentos);

    bool tem(const QString &nome) const { return parser_.isSet(nome); }
    QString valor(const QString &nome) const { return parser_.value(nome); }
    QStringList valores(const QString &nome) const { return parser_.values(nome); }
    QStringList argumentos() const { return parser_.positionalArguments(); }
    bool ajuda() const { return tem(QStringLiteral("help")); }

    // The value of an option as a whole number from minimo to maximo.
    int inteiro(const QString &nome, int maximo, int minimo = 0) const;
    // The one file the command works on, as a Windows path.
    QString arquivo() const;
    // Neither option with the other.
    void exclusivas(const QString &uma, const QString &outra) const;
    // Every one of these options.
    void obrigatorias(const QStringList &nomes) const;
    // No arguments at all.
    void semArgumentos() const;

private:
    QString comando_;
    QStringList comValor_;
    QCommandLineParser parser_;
};

// A Windows path as given (a drive letter or a "\"), or a host path.
QString caminhoWindows(const QString &argumento);

// A job's text for a terminal: its "\r" line breaks as "\n".
QString linhas(const QString &texto);

// "0012/000345678".
QString contratoTexto(int agencia, int contrato);

} // namespace zqcli
