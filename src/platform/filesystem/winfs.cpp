#include "platform/filesystem/winfs.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace winfs {

namespace {

const QChar BS = QLatin1Char('\\');

bool isDriveLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool hasDrive(const QString &p)
{
    return p.size() >= 2 && isDriveLetter(p.at(0)) && p.at(1) == QLatin1Char(':');
}

// Host folder standing for a drive letter.
QString driveRoot(QChar letter)
{
    const QChar l = letter.toUpper();
    if (l == QLatin1Char('Z'))
        return QStringLiteral("/");
    if (l == QLatin1Char('C'))
        return driveCDir();
    return prefixDir() + QStringLiteral("/drive_") + l.toLower();
}

QString joinHost(const QString &dir, const QString &name)
{
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

// Canonical and plain spellings of the drive C: folder, for reverse mapping.
bool underDriveC(const QString &host, QString &rest)
{
    QStringList roots{QDir::cleanPath(driveCDir())};
    const QString canon = QFileInfo(driveCDir()).canonicalFilePath();
    if (!canon.isEmpty() && canon != roots.first())
        roots << canon;
    for (const QString &root : roots) {
        if (host == root) {
            rest.clear();
            return true;
        }
        if (host.startsWith(root + QLatin1Char('/'))) {
            rest = host.mid(root.size() + 1);
            return true;
        }
    }
    return false;
}

} // namespace

QString prefixDir()
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString prefix = env.value(QStringLiteral("RENOMEIA_ZQ_PREFIX"));
    if (prefix.isEmpty()) {
        QString data = env.value(QStringLiteral("XDG_DATA_HOME"));
        if (data.isEmpty())
            data = QDir::homePath() + QStringLiteral("/.local/share");
        prefix = data + QStringLiteral("/renomeia-zq");
    }
    return QDir::cleanPath(QDir(prefix).absolutePath());
}

QString driveCDir()
{
    return prefixDir() + QStringLiteral("/drive_c");
}

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
        drive = currentDir().left(2);
        rest = p;
    } else {
        const QString cur = currentDir();
        drive = cur.left(2);
        rest = cur.mid(2) + BS + p;
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

QString hostPath(const QString &windowsName)
{
    const QString full = expandFileName(windowsName);
    if (!hasDrive(full))
        return full;
    QString cur = driveRoot(full.at(0));
    bool resolving = true;
    for (const QString &part : full.mid(3).split(BS, Qt::SkipEmptyParts)) {
        if (resolving) {
            const QString exact = joinHost(cur, part);
            QFileInfo fi(exact);
            if (fi.exists() || fi.isSymLink()) {
                cur = exact;
                continue;
            }
            QString match;
            QDirIterator it(cur, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            while (it.hasNext()) {
                it.next();
                if (it.fileName().compare(part, Qt::CaseInsensitive) == 0) {
                    match = it.fileName();
                    break;
                }
            }
            if (!match.isEmpty()) {
                cur = joinHost(cur, match);
                continue;
            }
            resolving = false;
        }
        cur = joinHost(cur, part);
    }
    return cur;
}

QString windowsPath(const QString &hostName)
{
    const QString host = QDir::cleanPath(QFileInfo(hostName).absoluteFilePath());
    QString rest;
    if (underDriveC(host, rest)) {
        rest.replace(QLatin1Char('/'), BS);
        return QStringLiteral("C:\\") + rest;
    }
    QString z = host.mid(1);
    z.replace(QLatin1Char('/'), BS);
    return QStringLiteral("Z:\\") + z;
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
    return windowsPath(QCoreApplication::applicationDirPath());
}

int fileGetAttr(const QString &name)
{
    const QFileInfo fi(hostPath(name));
    if (!fi.exists())
        return -1;
    int attr = fi.isDir() ? faDirectory : faArchive;
    if (!(fi.permissions() & QFileDevice::WriteOwner))
        attr |= faReadOnly;
    if (fi.fileName().startsWith(QLatin1Char('.')))
        attr |= faHidden;
    return attr;
}

bool fileExists(const QString &name)
{
    const QFileInfo fi(hostPath(name));
    return fi.exists() && !fi.isDir();
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
    return QDir().mkpath(host);
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

bool renameFile(const QString &oldName, const QString &newName)
{
    const QString from = hostPath(oldName);
    const QString to = hostPath(newName);
    const QFileInfo src(from);
    if (!src.exists())
        return false;
    // A different spelling of the same name only changes the letter case.
    if (from != to && QFileInfo::exists(to))
        return false;
    if (src.isDir())
        return QDir().rename(from, to);
    return QFile::rename(from, to);
}

QDateTime fileAge(const QString &name)
{
    const QFileInfo fi(hostPath(name));
    if (!fi.exists())
        return {};
    QDateTime t = fi.lastModified();
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()));
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

QList<SearchRec> findFiles(const QString &pattern, int attrMask)
{
    QList<SearchRec> out;
    const QString full = expandFileName(pattern);
    const QString mask = extractFileName(full);
    const QString dir = hostPath(extractFilePath(full));
    if (!QFileInfo(dir).isDir())
        return out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString fname = it.fileName();
        if (!matchesMask(fname, mask))
            continue;
        const QFileInfo fi = it.fileInfo();
        int attr = fi.isDir() ? faDirectory : faArchive;
        if (!(fi.permissions() & QFileDevice::WriteOwner))
            attr |= faReadOnly;
        if (fname.startsWith(QLatin1Char('.')))
            attr |= faHidden;
        const int special = attr & (faHidden | faSysFile | faDirectory);
        if ((special & ~attrMask) != 0)
            continue;
        const QDateTime t = fi.lastModified();
        out.append({fname, attr, fi.size(),
                    QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()))});
    }
    return out;
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

namespace {
// Windows-1252 differs from Latin-1 only in 0x80-0x9F.
const char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

QString fromWindows1252(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        out[i] = (b >= 0x80 && b <= 0x9F) ? QChar(cp1252High[b - 0x80]) : QChar(b);
    }
    return out;
}

QByteArray toWindows1252(const QString &text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            b = char(c);
        } else {
            for (int k = 0; k < 32; ++k)
                if (cp1252High[k] == c) {
                    b = char(0x80 + k);
                    break;
                }
        }
        out[i] = b;
    }
    return out;
}

} // namespace winfs
