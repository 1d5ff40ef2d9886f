// The faults of the fixture made through Windows.
#include "common/fixture.h"

#include "platform/filesystem/winfs.h"

#include <QDir>
#include <QTest>

#include <windows.h>

namespace fixture {

bool emulatedDrive()
{
    return false;
}

QString specialFile(const QString &folder)
{
    return winfs::includeTrailingBackslash(folder) + QStringLiteral("NUL");
}

struct Fifo::State {};

Fifo::Fifo(const QString &, const QByteArray &)
{
    qInfo("Windows has no FIFO in a folder: the check that needs one is left out");
}

Fifo::~Fifo() = default;

bool Fifo::made() const
{
    return false;
}

bool fullDisk(const QString &)
{
    qInfo("Windows has no full device: the check that needs one is left out");
    return false;
}

HeldOpen::HeldOpen(const QString &windowsName)
{
    const QString host = QDir::toNativeSeparators(winfs::hostPath(windowsName));
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t *>(host.utf16()), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        handle_ = reinterpret_cast<std::intptr_t>(h);
}

HeldOpen::~HeldOpen()
{
    if (handle_ != -1)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

} // namespace fixture
