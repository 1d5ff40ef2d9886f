// The faults of the fixture made through a POSIX host.
#include "common/fixture.h"

#include "platform/filesystem/winfs.h"

#include <QFile>
#include <QTest>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fixture {

bool emulatedDrive()
{
    return true;
}

QString specialFile(const QString &folder)
{
    const QString name = winfs::includeTrailingBackslash(folder) + QStringLiteral("fifo");
    if (::mkfifo(QFile::encodeName(winfs::hostPath(name)).constData(), 0600) != 0)
        qFatal("cannot make a FIFO");
    return name;
}

struct Fifo::State {
    QByteArray path;
    std::thread writer;
};

Fifo::Fifo(const QString &windowsName, const QByteArray &content) : d_(std::make_unique<State>())
{
    d_->path = QFile::encodeName(winfs::hostPath(windowsName));
    if (::mkfifo(d_->path.constData(), 0600) != 0)
        qFatal("cannot make a FIFO");
    d_->writer = std::thread([p = d_->path, content] {
        // A reader that opens the FIFO and refuses it at once leaves the
        // write without a reader: that is an EPIPE, not the end of the test.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        const int fd = ::open(p.constData(), O_WRONLY);
        if (fd >= 0 && ::write(fd, content.constData(), content.size()) >= 0)
            ::close(fd);
    });
}

Fifo::~Fifo()
{
    const int fd = ::open(d_->path.constData(), O_RDONLY | O_NONBLOCK); // lets a waiting writer go
    d_->writer.join();
    ::close(fd);
    ::unlink(d_->path.constData());
}

bool Fifo::made() const
{
    return true;
}

bool fullDisk(const QString &windowsName)
{
    return QFile::link(QStringLiteral("/dev/full"), winfs::hostPath(windowsName));
}

HeldOpen::HeldOpen(const QString &windowsName)
{
    const int fd = ::open(QFile::encodeName(winfs::hostPath(windowsName)).constData(), O_RDWR | O_CLOEXEC);
    struct flock lock;
    std::memset(&lock, 0, sizeof lock);
    lock.l_type = F_WRLCK;
    if (fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        handle_ = fd;
    else if (fd >= 0)
        ::close(fd);
}

HeldOpen::~HeldOpen()
{
    if (handle_ != -1)
        ::close(int(handle_));
}

} // namespace fixture
