#include "return/Entrega.h"

#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "support/FmxUtils.h"

#include <QByteArray>

namespace {

constexpr qint64 TamanhoBloco = 64 * 1024;

// The file handles leave the code of a failure pending; a delivery reports
// its failures by raising, so it reads them.
struct DescartaCodigo {
    ~DescartaCodigo() { IOResult(); }
};

QString ocultoNaPasta(const QString &destino, const QString &fim)
{
    return winfs::extractFilePath(destino) + QLatin1Char('.') + winfs::extractFileName(destino) + fim;
}

} // namespace

QString NomeTemporario(const QString &destino)
{
    return ocultoNaPasta(destino, QStringLiteral(".tmp"));
}

QString CopiaTemporaria(const QString &origem, const QString &destino)
{
    const QString temporario = NomeTemporario(destino);
    DescartaCodigo descarta;
    winfs::FileReader leitor;
    if (leitor.open(origem) != 0)
        throw EFOpenError(origem);
    // The temporary is never the source nor a folder: it is emptied on creation.
    if (winfs::sameFile(temporario, origem) || winfs::directoryExists(temporario))
        throw EFCreateError(destino);
    winfs::FileWriter escritor;
    if (escritor.create(temporario) != 0)
        throw EFCreateError(destino);

    auto falha = [&](auto erro) {
        escritor.close();
        winfs::deleteFile(temporario);
        throw erro;
    };
    QByteArray bloco(TamanhoBloco, Qt::Uninitialized);
    for (;;) {
        qint64 lidos = 0;
        const int codigo = leitor.read(bloco.data(), TamanhoBloco, lidos);
        if (codigo == ioEndOfFile)
            break;
        if (codigo != 0)
            falha(EReadError(QStringLiteral("Cannot read file %1").arg(origem)));
        if (escritor.write(bloco.constData(), lidos) != 0)
            falha(EWriteError(QStringLiteral("Cannot write file %1").arg(destino)));
    }
    leitor.close();
    if (escritor.close() != 0)
        falha(EWriteError(QStringLiteral("Cannot write file %1").arg(destino)));
    return temporario;
}

bool ColocaNoLugar(const QString &arquivo, const QString &destino)
{
    // A folder is never moved aside, nor the file itself.
    if (winfs::directoryExists(destino) || winfs::sameFile(arquivo, destino))
        return false;
    QString aparte;
    if (winfs::fileGetAttr(destino) >= 0) {
        aparte = ocultoNaPasta(destino, QStringLiteral(".old"));
        for (int n = 1; winfs::fileGetAttr(aparte) >= 0; ++n)
            aparte = ocultoNaPasta(destino, QStringLiteral(".%1.old").arg(n));
        if (!winfs::renameFile(destino, aparte))
            return false;
    }
    if (!winfs::renameFile(arquivo, destino)) {
        if (!aparte.isEmpty())
            winfs::renameFile(aparte, destino);
        return false;
    }
    if (!aparte.isEmpty())
        winfs::deleteFile(aparte);
    return true;
}
