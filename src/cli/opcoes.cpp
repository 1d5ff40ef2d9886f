#include "cli/opcoes.h"

#include "platform/filesystem/winfs.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace zqcli {

Opcoes::Opcoes(const QString &comando, const QStringList &comValor, const QStringList &semValor) : comando_(comando), comValor_(comValor)
{
    // "-x" is no cluster of letters: options are words ("--teste").
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const QString &nome : comValor)
        parser_.addOption(QCommandLineOption(nome, QString(), QStringLiteral("valor")));
    for (const QString &nome : semValor + QStringList{QStringLiteral("help")})
        parser_.addOption(QCommandLineOption(nome));
}

void Opcoes::le(const QStringList &argumentos)
{
    if (parser_.parse(QStringList{QStringLiteral("renomeia-zq-cli")} + argumentos))
        return;
    // The parser's own texts are English: the usage errors are told in Portuguese.
    const QStringList desconhecidas = parser_.unknownOptionNames();
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString &a = argumentos[i];
        if (a == QLatin1String("--"))
            break;
        if (!a.startsWith(QLatin1Char('-')))
            continue;
        const QString nome = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
        const bool comIgual = a.contains(QLatin1Char('='));
        if (desconhecidas.contains(nome) || (comIgual && !comValor_.contains(nome)))
            throw ErroDeUso{QStringLiteral("Opção desconhecida do comando %1: %2").arg(comando_, a)};
        if (comValor_.contains(nome) && !comIgual && i + 1 == argumentos.size())
            throw ErroDeUso{QStringLiteral("A opção --%1 precisa de um valor.").arg(nome)};
    }
    throw ErroDeUso{parser_.errorText()};
}

int Opcoes::inteiro(const QString &nome, int maximo, int minimo) const
{
    bool ok = false;
    const int n = valor(nome).toInt(&ok);
    if (!ok || n < minimo || n > maximo)
        throw ErroDeUso{QStringLiteral("Valor inválido para --%1: %2").arg(nome, valor(nome))};
    return n;
}

QString Opcoes::arquivo() const
{
    const QStringList a = argumentos();
    if (a.size() != 1)
        throw ErroDeUso{a.isEmpty() ? QStringLiteral("Informe o ARQUIVO do comando %1.").arg(comando_)
                                    : QStringLiteral("O comando %1 trata um ARQUIVO só.").arg(comando_)};
    return caminhoWindows(a.first());
}

void Opcoes::exclusivas(const QString &uma, const QString &outra) const
{
    if (tem(uma) && tem(outra))
        throw ErroDeUso{QStringLiteral("Use --%1 ou --%2, não as duas.").arg(uma, outra)};
}

void Opcoes::obrigatorias(const QStringList &nomes) const
{
    for (const QString &nome : nomes)
        if (!tem(nome))
            throw ErroDeUso{QStringLiteral("Informe --%1 do comando %2.").arg(nome, comando_)};
}

void Opcoes::semArgumentos() const
{
    if (!argumentos().isEmpty())
        throw ErroDeUso{QStringLiteral("O comando %1 não tem argumentos: %2").arg(comando_, argumentos().first())};
}

QString caminhoWindows(const QString &argumento)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (argumento.contains(QLatin1Char('\\')) || drive.match(argumento).hasMatch())
        return winfs::expandFileName(argumento);
    return winfs::windowsPath(QFileInfo(argumento).absoluteFilePath());
}

QString linhas(const QString &texto)
{
    return QString(texto).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString contratoTexto(int agencia, int contrato)
{
    return QString::number(agencia).rightJustified(4, QLatin1Char('0')) + QLatin1Char('/')
        + QString::number(contrato).rightJustified(9, QLatin1Char('0'));
}

} // namespace zqcli
