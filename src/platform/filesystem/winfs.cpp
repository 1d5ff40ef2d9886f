#include "platform/filesystem/winfs.h"
#include "platform/filesystem/winfs_host.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

// What every host shares: Windows path arithmetic, wildcards, 8-bit text,
// folders and stamps through the toolkit. The host's own pieces (where a
// drive lies, attributes, renames, flushes, the wildcard search) are in
// winfs_posix.cpp and winfs_win.cpp.
namespace winfs {

bool isDriveLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool hasDrive(const QString &p)
{
    return p.size() >= 2 && isDriveLetter(p.at(0)) && p.at(1) == QLatin1Char(':');
}

QDateTime wholeSeconds(const QDateTime &t)
{
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()));
}

QString prefixDir()
{
    QString prefix = qEnvironmentVariable("RENOMEIA_ZQ_PREFIX");
    if (prefix.isEmpty())
        prefix = host::userDataDir() + QStringLiteral("/renomeia-zq");
    return QDir::cleanPath(QDir(QDir::fromNativeSeparators(prefix)).absolutePath());
}

namespace {

// What ".." never climbs past in a full path: "C:", "\\?\C:" (a host path
// past the drive mapping) or "\\server\share".
QString raiz(const QString &cheio)
{
    if (!cheio.startsWith(QStringLiteral("\\\\")))
        return cheio.left(2);
    if (cheio.startsWith(QStringLiteral("\\\\?\\")) && hasDrive(cheio.mid(4)))
        return cheio.left(6);
    const qsizetype compartilhamento = cheio.indexOf(BS, 2);
    const qsizetype fim = compartilhamento < 0 ? -1 : cheio.indexOf(BS, compartilhamento + 1);
    return fim < 0 ? cheio : cheio.left(fim);
}

} // namespace

QString expandFileName(const QString &name)
{
    QString p = name;
    p.replace(QLatin1Char('/'), BS);
    if (p.isEmpty())
        return currentDir();
    QString drive;
    QString rest;
    if (p.startsWith(QStringLiteral("\\\\")))
        return p; // network names are left as they are
    if (hasDrive(p)) {
        drive = p.left(2).toUpper();
        rest = p.mid(2);
        if (!rest.startsWith(BS))
            rest.prepend(BS);
    } else if (p.startsWith(BS)) {
        drive = raiz(currentDir());
        rest = p;
    } else {
        // On Windows the current folder may be a host path past the drive
        // mapping or a network folder.
        const QString cur = currentDir();
        drive = raiz(cur);
        rest = cur.mid(drive.size()) + BS + p;
    }
    const bool trailing = rest.size() > 1 && rest.endsWith(BS);
    QStringList out;
    for (const QString &part : rest.split(BS, Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out << part;
    }
    QString result = drive + BS + out.join(BS);
    if (trailing && !out.isEmpty())
        result += BS;
    return result;
}

QString currentDir()
{
    return windowsPath(QDir::currentPath());
}

bool setCurrentDir(const QString &windowsName)
{
    return QDir::setCurrent(hostPath(windowsName));
}

QString exeDir()
{
    return programDir(QCoreApplication::applicationDirPath());
}

QString programDir(const QString &hostDir)
{
    const QDir dir(hostDir);
    if (dir.dirName() == QLatin1String("bin") && QFileInfo(dir.filePath(QStringLiteral("../share/renomeia-zq"))).isDir())
        return QStringLiteral("C:\\ZQ\\REN");
    return windowsPath(hostDir);
}

bool fileExists(const QString &name)
{
    const int attr = fileGetAttr(name);
    return attr >= 0 && !(attr & faDirectory);
}

bool directoryExists(const QString &name)
{
    return QFileInfo(hostPath(name)).isDir();
}

bool createDir(const QString &name)
{
    const QString host = hostPath(name);
    return !QFileInfo::exists(host) && QDir().mkdir(host);
}

bool forceDirectories(const QString &name)
{
    const QString host = hostPath(name);
    // Another program making the same folders at the same moment makes the
    // toolkit give up on Windows: each try goes further.
    for (int i = 0; i < 3; ++i)
        if (QDir().mkpath(host))
            return true;
    return QFileInfo(host).isDir();
}

bool deleteFile(const QString &name)
{
    const QString host = hostPath(name);
    return !QFileInfo(host).isDir() && QFile::remove(host);
}

bool removeDir(const QString &name)
{
    return QDir().rmdir(hostPath(name));
}

QDateTime fileAge(const QString &name)
{
    const QFileInfo fi(hostPath(name));
    if (!fi.exists())
        return {};
    return wholeSeconds(fi.lastModified());
}

bool setFileAge(const QString &name, const QDateTime &stamp)
{
    QFile f(hostPath(name));
    if (!f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    return f.setFileTime(stamp, QFileDevice::FileModificationTime);
}

bool setReadOnly(const QString &name, bool readOnly)
{
    const QString host = hostPath(name);
    QFile::Permissions p = QFile::permissions(host);
    if (readOnly)
        p &= ~(QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther);
    else
        p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    return QFile::setPermissions(host, p);
}

namespace {
bool wildMatch(QStringView name, QStringView mask)
{
    // Iterative matcher with backtracking on the last "*".
    qsizetype n = 0, m = 0, starM = -1, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == QLatin1Char('?') || mask[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starM = m++;
            starN = n;
        } else if (starM >= 0) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}
} // namespace

bool matchesMask(const QString &name, const QString &mask)
{
    if (wildMatch(name, mask))
        return true;
    // "x.*" also takes names without any extension.
    return mask.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.'))
        && wildMatch(name, QStringView(mask).chopped(2));
}

bool reservedName(const QString &fileName)
{
    if (fileName.endsWith(QLatin1Char('.')) || fileName.endsWith(QLatin1Char(' ')))
        return true;
    // A device name stays a device with any extension ("CON.TXT").
    const QString base = fileName.left(fileName.indexOf(QLatin1Char('.'))).trimmed().toUpper();
    static const QStringList devices{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (devices.contains(base))
        return true;
    return base.size() == 4 && (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT")))
        && base.at(3) >= QLatin1Char('1') && base.at(3) <= QLatin1Char('9');
}

QString extractFileName(const QString &path)
{
    const qsizetype i = std::max(path.lastIndexOf(BS), path.lastIndexOf(QLatin1Char(':')));
    return path.mid(i + 1);
}

QString extractFilePath(const QString &path)
{
    const qsizetype i = std::max(path.lastIndexOf(BS), path.lastIndexOf(QLatin1Char(':')));
    return path.left(i + 1);
}

QString extractFileDir(const QString &path)
{
    QString p = extractFilePath(path);
    if (p.size() > 1 && p.endsWith(BS) && !(p.size() == 3 && hasDrive(p)))
        p.chop(1);
    return p;
}

QString extractFileExt(const QString &path)
{
    const QString name = extractFileName(path);
    const qsizetype i = name.lastIndexOf(QLatin1Char('.'));
    return i < 0 ? QString() : name.mid(i);
}

QString includeTrailingBackslash(const QString &path)
{
    return path.endsWith(BS) ? path : path + BS;
}

QString excludeTrailingBackslash(const QString &path)
{
    return path.endsWith(BS) ? path.chopped(1) : path;
}

} // namespace winfs
