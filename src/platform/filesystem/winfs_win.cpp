// Windows paths on Windows: the mapping is the identity, except that
// $RENOMEIA_ZQ_PREFIX, when set, puts drive C: in <prefix>\drive_c (every test
// has a drive of its own). The file system ignores case by itself; paths
// still take the disk's spelling, as on the emulated drives.
#include "platform/filesystem/sistema_win.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace winfs {

namespace {

// "\\?\C:\x": a host path as it stands, past the drive mapping.
const QString Verbatim = QStringLiteral("\\\\?\\");

QString prefixVariable()
{
    return qEnvironmentVariable("RENOMEIA_ZQ_PREFIX");
}

// The bits Windows and the program share (read-only, hidden, system,
// folder, archive). The program's own temporaries begin with a dot and
// count as hidden, as on the other hosts.
int attributes(DWORD attr, const QString &fileName)
{
    int out = int(attr) & (faReadOnly | faHidden | faSysFile | faDirectory | faArchive);
    if (fileName.startsWith(QLatin1Char('.')))
        out |= faHidden;
    return out;
}

// A handle for asking about a file or folder, without reading or writing it.
HANDLE openForQuery(const QString &windowsName)
{
    return CreateFileW(wide(native(windowsName)), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// root (a host folder) and below it the folders and file of rest, each
// existing one spelled as on disk; what does not exist keeps the spelling given.
QString onDisk(const QString &root, const QString &rest)
{
    QString out = root.endsWith(QLatin1Char('/')) ? root.chopped(1) : root;
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        WIN32_FIND_DATAW fd;
        // (A wildcard would find another name.)
        const HANDLE h = parts.at(i).contains(QLatin1Char('*')) || parts.at(i).contains(QLatin1Char('?'))
            ? INVALID_HANDLE_VALUE
            : FindFirstFileW(wide(QDir::toNativeSeparators(out + QLatin1Char('/') + parts.at(i))), &fd);
        if (h == INVALID_HANDLE_VALUE) {
            out += QLatin1Char('/') + parts.mid(i).join(QLatin1Char('/'));
            return out;
        }
        FindClose(h);
        out += QLatin1Char('/') + QString::fromWCharArray(fd.cFileName);
    }
    return out.size() == 2 ? out + QLatin1Char('/') : out;
}

int renameCode(DWORD err)
{
    return codigoDoSistema(err, ioAccessDenied);
}

// How long a rename waits for another program to let go of the file it
// would replace (a transfer program sending it, an editor holding it open).
constexpr int RenameWaitMs = 2000;
constexpr int RenameStepMs = 50;

} // namespace

QString host::userDataDir()
{
    // Without a drive of its own, the engine's configuration is the user's.
    const QString data = qEnvironmentVariable("LOCALAPPDATA");
    return data.isEmpty() ? QDir::homePath() + QStringLiteral("/AppData/Local") : QDir::fromNativeSeparators(data);
}

QString driveCDir()
{
    return prefixVariable().isEmpty() ? QStringLiteral("C:/") : prefixDir() + QStringLiteral("/drive_c");
}

QString hostPath(const QString &windowsName)
{
    const QString full = expandFileName(windowsName);
    if (full.startsWith(Verbatim))
        return QDir::fromNativeSeparators(full.mid(Verbatim.size()));
    if (!hasDrive(full))
        return QDir::fromNativeSeparators(full); // a network name
    // Each existing component as the disk spells it, as on the emulated drives:
    // names compare as the user typed them nowhere else.
    const QString rest = QDir::fromNativeSeparators(full.mid(3));
    const QString root = full.at(0).toUpper() == QLatin1Char('C') && !prefixVariable().isEmpty()
        ? driveCDir()
        : full.left(2).toUpper() + QLatin1Char('/');
    return onDisk(root, rest);
}

QString windowsPath(const QString &hostName)
{
    const QString host = QDir::cleanPath(QFileInfo(hostName).absoluteFilePath());
    if (!prefixVariable().isEmpty()) {
        const QString c = driveCDir();
        if (host.compare(c, Qt::CaseInsensitive) == 0)
            return QStringLiteral("C:\\");
        if (host.startsWith(c + QLatin1Char('/'), Qt::CaseInsensitive))
            return QStringLiteral("C:\\") + QDir::toNativeSeparators(host.mid(c.size() + 1));
        // The host's own C: outside the prefix's drive has no drive letter:
        // it is named in the system's verbatim form.
        if (host.startsWith(QLatin1String("C:/"), Qt::CaseInsensitive))
            return Verbatim + QDir::toNativeSeparators(host);
    }
    QString out = QDir::toNativeSeparators(host);
    if (hasDrive(out)) {
        out[0] = out.at(0).toUpper();
        if (out.size() == 2)
            out += BS;
    }
    return out;
}

QStringList driveRoots()
{
    QStringList roots{driveCDir()};
    for (const QFileInfo &drive : QDir::drives()) {
        const QString root = drive.absoluteFilePath();
        if (!root.startsWith(QLatin1Char('C'), Qt::CaseInsensitive))
            roots << root;
    }
    return roots;
}

QString computerFolder()
{
    return driveCDir();
}

int fileGetAttr(const QString &name)
{
    const DWORD attr = GetFileAttributesW(wide(native(name)));
    if (attr == INVALID_FILE_ATTRIBUTES)
        return -1;
    return attributes(attr, extractFileName(expandFileName(name)));
}

bool regularFileExists(const QString &name)
{
    const HANDLE h = openForQuery(name);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool regular = GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info)
        && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(h);
    return regular;
}

qint64 fileSize(const QString &name)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide(native(name)), GetFileExInfoStandard, &data)
        || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (qint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool sameFile(const QString &a, const QString &b)
{
    BY_HANDLE_FILE_INFORMATION ia, ib;
    const auto info = [](const QString &name, BY_HANDLE_FILE_INFORMATION &i) {
        const HANDLE h = openForQuery(name);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        const bool ok = GetFileInformationByHandle(h, &i);
        CloseHandle(h);
        return ok;
    };
    return info(a, ia) && info(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber
        && ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool renameFile(const QString &oldName, const QString &newName)
{
    // Refused when the new name exists, unless it is the same file in
    // another letter case.
    const DWORD flags = directoryExists(oldName) ? 0 : MOVEFILE_COPY_ALLOWED;
    if (MoveFileExW(wide(native(oldName)), wide(native(newName)), flags))
        return true;
    SetInOutRes(renameCode(GetLastError()));
    return false;
}

bool replaceFile(const QString &oldName, const QString &newName)
{
    const QString from = native(oldName);
    const QString to = native(newName);
    const DWORD target = GetFileAttributesW(wide(to));
    if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_DIRECTORY)) {
        SetInOutRes(ioAccessDenied);
        return false;
    }
    // The new name holds the old file until the rename replaces it in one step.
    for (int waited = 0;; waited += RenameStepMs) {
        if (MoveFileExW(wide(from), wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD err = GetLastError();
        // Another program holding the old file open refuses the rename
        // (sharing violation, or access denied to a file that is not read-only).
        const DWORD now = GetFileAttributesW(wide(to));
        const bool held = err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION
            || (err == ERROR_ACCESS_DENIED && now != INVALID_FILE_ATTRIBUTES && !(now & FILE_ATTRIBUTE_READONLY)
                && GetFileAttributesW(wide(from)) != INVALID_FILE_ATTRIBUTES);
        if (!held || waited >= RenameWaitMs) {
            SetInOutRes(held ? ioSharingViolation : renameCode(err));
            return false;
        }
        QThread::msleep(RenameStepMs);
    }
}

bool renameNoReplace(const QString &oldName, const QString &newName)
{
    const QString to = native(newName);
    // Windows renames over another spelling of the same name: that name is taken.
    if (GetFileAttributesW(wide(to)) != INVALID_FILE_ATTRIBUTES) {
        SetInOutRes(ioAccessDenied);
        return false;
    }
    if (MoveFileExW(wide(native(oldName)), wide(to), MOVEFILE_WRITE_THROUGH))
        return true;
    SetInOutRes(renameCode(GetLastError()));
    return false;
}

bool syncFile(const QString &name)
{
    const HANDLE h = CreateFileW(wide(native(name)), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = FlushFileBuffers(h);
    CloseHandle(h);
    return ok;
}

void syncFolder(const QString &)
{
    // Renames are written through (MOVEFILE_WRITE_THROUGH): a folder needs no flush.
}

QList<SearchRec> findFiles(const QString &pattern, int attrMask)
{
    QList<SearchRec> out;
    const QString full = expandFileName(pattern);
    const QString mask = extractFileName(full);
    const QString dir = native(extractFilePath(full));
    WIN32_FIND_DATAW fd;
    // Every entry, matched by the program's own wildcards: the system's would
    // also take the short 8.3 names ("*.TXT" finds "a.txtx" by "A~1.TXT").
    const QString all = dir.endsWith(BS) ? dir + QLatin1Char('*') : dir + BS + QLatin1Char('*');
    const HANDLE h = FindFirstFileExW(wide(all), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    do {
        const QString name = QString::fromWCharArray(fd.cFileName);
        if (name == QLatin1String(".") || name == QLatin1String("..") || !matchesMask(name, mask))
            continue;
        const int attr = attributes(fd.dwFileAttributes, name);
        const int special = attr & (faHidden | faSysFile | faDirectory);
        if ((special & ~attrMask) != 0)
            continue;
        out.append({name, attr, (qint64(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow, localStamp(fd.ftLastWriteTime)});
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return out;
}

} // namespace winfs
