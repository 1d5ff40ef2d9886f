#include "return/PadraoNome.h"

#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"

namespace {

// The value of line when the line's key is key.
std::optional<QString> leValor(const QString &line, const QString &key)
{
    const int p = int(line.indexOf(QLatin1Char('='))) + 1; // 1-based, 0 when none
    const QString lineKey = p > 1 ? UpperCase(line.left(p - 1)) : QString();
    if (lineKey != key)
        return std::nullopt;
    const int q = int(line.indexOf(QLatin1Char(';'))) + 1;
    const int length = q - p - 1;
    return length > 0 ? UpperCase(line.mid(p, length)) : QString();
}

} // namespace

PadraoNome LePadraoNome()
{
    if (!winfs::fileExists(ArquivoPadraoNome))
        GravaPadraoNome(QStringLiteral("retorno"), QStringLiteral("txt"));
    winfs::TextFileReader file(ArquivoPadraoNome);
    PadraoNome padrao;
    padrao.nome = leValor(file.readLine(), QStringLiteral("NOME"));
    padrao.extensao = leValor(file.readLine(), QStringLiteral("EXTENSAO"));
    file.close();
    return padrao;
}

void GravaPadraoNome(const QString &nome, const QString &extensao)
{
    winfs::TextFileWriter file(ArquivoPadraoNome);
    file.writeLine(QStringLiteral("Nome=") + nome + QLatin1Char(';'));
    file.writeLine(QStringLiteral("Extensao=") + extensao + QLatin1Char(';'));
    file.close();
}

QString MontaNomeRetorno(const QString &nome, const QString &extensao)
{
    if (!extensao.contains(QLatin1Char('.')))
        return nome + QLatin1Char('.') + extensao;
    return nome + extensao;
}
