// The emulated drives of a POSIX host: drive C: in <prefix>/drive_c, Z: the
// host root, names matched without regard to case against what exists.
#include "platform/filesystem/winfs.h"
#include "platform/filesystem/winfs_host.h"
#include "platform/runtime/errors.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>
#include <time.h>

namespace winfs {

namespace {

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

// Names of the folders looked into, each kept as case-folded name -> name
// on disk. A folder's entry is trusted while the folder keeps its identity
// and its change stamps: any entry added, removed or renamed moves them.
// Stamps have a coarse grain, so a list taken within one grain of the
// folder's last change may miss a change made in the same grain: such a
// list is taken again when it does not hold the name asked for, or holds a
// name that is gone.
class FolderNames {
public:
    QString find(const QString &dir, const QString &name)
    {
        const QByteArray host = QFile::encodeName(dir);
        struct stat st;
        if (::stat(host.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return QString();
        const QString key = name.toCaseFolded();
        QMutexLocker lock(&mutex_);
        auto it = folders_.find(dir);
        bool listed = false;
        if (it == folders_.end() || !it->sameAs(st)) {
            it = list(dir, host, st);
            listed = true;
        }
        QString found = it->names.value(key);
        if (!listed && it->racy()) {
            const bool gone = !found.isEmpty() && !exists(dir, found);
            if (found.isEmpty() || gone) {
                it = list(dir, host, st);
                found = it->names.value(key);
            }
        }
        return found;
    }

private:
    struct Folder {
        dev_t dev = 0;
        ino_t ino = 0;
        struct timespec mtime {};
        struct timespec ctime {};
        qint64 listedAtNs = 0;
        QHash<QString, QString> names;

        bool sameAs(const struct stat &st) const
        {
            return dev == st.st_dev && ino == st.st_ino && mtime.tv_sec == st.st_mtim.tv_sec
                && mtime.tv_nsec == st.st_mtim.tv_nsec && ctime.tv_sec == st.st_ctim.tv_sec
                && ctime.tv_nsec == st.st_ctim.tv_nsec;
        }
        bool racy() const
        {
            const qint64 changedNs = std::max(qint64(mtime.tv_sec) * 1000000000 + mtime.tv_nsec,
                                              qint64(ctime.tv_sec) * 1000000000 + ctime.tv_nsec);
            // Stamps in whole seconds (or two) come from a file system of that
            // grain; finer ones follow the system's clock tick.
            const qint64 grainNs = mtime.tv_nsec == 0 && ctime.tv_nsec == 0 ? 2000000000LL : 50000000LL;
            return changedNs + grainNs > listedAtNs;
        }
    };

    static bool exists(const QString &dir, const QString &name)
    {
        struct stat st;
        return ::lstat(QFile::encodeName(joinHost(dir, name)).constData(), &st) == 0;
    }

    QHash<QString, Folder>::iterator list(const QString &dir, const QByteArray &host, const struct stat &st)
    {
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        Folder f;
        f.dev = st.st_dev;
        f.ino = st.st_ino;
        f.mtime = st.st_mtim;
        f.ctime = st.st_ctim;
        f.listedAtNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
        if (DIR *d = ::opendir(host.constData())) {
            while (const struct dirent *e = ::readdir(d)) {
                const char *n = e->d_name;
                if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
                    continue;
                const QString real = QFile::decodeName(n);
                f.names.insert(real.toCaseFolded(), real); // the first of two spellings wins
            }
            ::closedir(d);
        }
        // Memory stays bounded: when too many names are kept, start afresh.
        auto old = folders_.find(dir);
        if (old != folders_.end()) {
            kept_ -= old->names.size();
            folders_.erase(old);
        }
        if (folders_.size() >= 64 || kept_ + f.names.size() > 400000) {
            folders_.clear();
            kept_ = 0;
        }
        kept_ += f.names.size();
        return folders_.insert(dir, std::move(f));
    }

    QMutex mutex_;
    QHash<QString, Folder> folders_;
    qsizetype kept_ = 0;
};

FolderNames &folderNames()
{
    static FolderNames names;
    return names;
}

// A failed rename leaves its cause pending (IOResult).
bool refused(int code)
{
    SetInOutRes(code);
    return false;
}

int renameCode(int err)
{
    switch (err) {
    case ENOENT: return ioFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return ioPathNotFound;
    case EBUSY:
    case ETXTBSY: return ioSharingViolation;
    case ENOSPC:
    case EDQUOT: return ioDiskFull;
    default: return ioAccessDenied;
    }
}

} // namespace

QString host::userDataDir()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    return data.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : data;
}

QString driveCDir()
{
    return prefixDir() + QStringLiteral("/drive_c");
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
            const QString match = folderNames().find(cur, part);
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

QStringList driveRoots()
{
    return {driveCDir(), QStringLiteral("/")};
}

QString computerFolder()
{
    return QStringLiteral("/");
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

bool regularFileExists(const QString &name)
{
    struct stat st;
    return ::stat(QFile::encodeName(hostPath(name)).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

qint64 fileSize(const QString &name)
{
    struct stat st;
    if (::stat(QFile::encodeName(hostPath(name)).constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return -1;
    return st.st_size;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa, sb;
    return ::stat(QFile::encodeName(hostPath(a)).constData(), &sa) == 0
        && ::stat(QFile::encodeName(hostPath(b)).constData(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool renameFile(const QString &oldName, const QString &newName)
{
    const QString from = hostPath(oldName);
    const QString to = hostPath(newName);
    const QFileInfo src(from);
    if (!src.exists())
        return refused(ioFileNotFound);
    // A different spelling of the same name only changes the letter case.
    if (from != to && QFileInfo::exists(to))
        return refused(ioAccessDenied);
    if (src.isDir() ? QDir().rename(from, to) : QFile::rename(from, to))
        return true;
    return refused(ioAccessDenied);
}

bool replaceFile(const QString &oldName, const QString &newName)
{
    const QByteArray from = QFile::encodeName(hostPath(oldName));
    const QByteArray to = QFile::encodeName(hostPath(newName));
    struct stat st;
    if (::lstat(to.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return refused(ioAccessDenied);
    // A file that another program holds open is replaced all the same.
    return ::rename(from.constData(), to.constData()) == 0 || refused(renameCode(errno));
}

bool renameNoReplace(const QString &oldName, const QString &newName)
{
    const QByteArray from = QFile::encodeName(hostPath(oldName));
    const QByteArray to = QFile::encodeName(hostPath(newName));
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return refused(renameCode(errno));
    // A file system without that rename: a hard link cannot replace either.
    if (::link(from.constData(), to.constData()) != 0)
        return refused(renameCode(errno));
    ::unlink(from.constData());
    return true;
}

bool syncFile(const QString &name)
{
    // fsync makes the file's data durable through any descriptor of it.
    const int fd = ::open(QFile::encodeName(hostPath(name)).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(hostPath(folder)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
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
        out.append({fname, attr, fi.size(), wholeSeconds(fi.lastModified())});
    }
    return out;
}

} // namespace winfs
