#include "support/FmxUtils.h"
#include "platform/filesystem/winfs.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

// Destination of a copy: a full path, inside the folder when it names one.
QString copyTarget(const QString &source, const QString &destination)
{
    QString dest = winfs::expandFileName(destination);
    if (TestFileAttr(dest, winfs::faDirectory))
        dest = winfs::includeTrailingBackslash(dest) + winfs::extractFileName(source);
    return dest;
}

} // namespace

void CopyFileData(const QString &source, const QString &destination)
{
    const QString dest = copyTarget(source, destination);
    const QString srcHost = winfs::hostPath(source);
    const QString destHost = winfs::hostPath(dest);

    std::unique_ptr<char[]> buffer(new char[CopyChunkSize]);
    QFile src(srcHost);
    if (QFileInfo(srcHost).isDir() || !src.open(QIODevice::ReadOnly))
        throw EFOpenError(source);
    // Copying a file onto itself would truncate it before reading: it is
    // already where it should be.
    if (winfs::sameFile(source, dest))
        return;
    QFile out(destHost);
    if (QFileInfo(destHost).isDir() || !out.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
        throw EFCreateError(dest);

    // An incomplete copy must not pass for a complete one: remove what was
    // written (never a device or anything but a regular file) and say why.
    auto fail = [&](auto error) {
        out.close();
        if (QFileInfo(destHost).isFile())
            QFile::remove(destHost);
        throw error;
    };
    for (;;) {
        const qint64 got = src.read(buffer.get(), CopyChunkSize);
        if (got < 0)
            fail(EReadError(QStringLiteral("Cannot read file %1").arg(source)));
        if (got > 0) {
            qint64 done = 0;
            while (done < got) {
                const qint64 w = out.write(buffer.get() + done, got - done);
                if (w <= 0)
                    fail(EWriteError(QStringLiteral("Cannot write file %1").arg(dest)));
                done += w;
            }
        }
        if (got < CopyChunkSize)
            break;
    }
    if (!out.flush())
        fail(EWriteError(QStringLiteral("Cannot write file %1").arg(dest)));
    out.close();
    if (out.error() != QFileDevice::NoError)
        fail(EWriteError(QStringLiteral("Cannot write file %1").arg(dest)));
}

void RelocateFile(const QString &source, const QString &destination)
{
    const QString dest = winfs::expandFileName(destination);
    if (winfs::renameFile(source, dest))
        return;
    if (TestFileAttr(source, winfs::faReadOnly))
        throw EFCantMove(QStringLiteral("Cannot move file %1").arg(source));
    CopyFileData(source, dest);
}

bool TestFileAttr(const QString &fileName, unsigned short mask)
{
    int attr = winfs::fileGetAttr(fileName);
    if (attr < 0)
        attr = 0;
    return (attr & mask) == mask;
}

QString ReplicateText(const QString &text, int count)
{
    return count <= 0 ? QString() : text.repeated(count);
}
