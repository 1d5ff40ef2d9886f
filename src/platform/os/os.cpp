#include "platform/os/os.h"
#include "platform/os/os_host.h"
#include "platform/filesystem/winfs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace os {

namespace {
ExecHook &hook()
{
    static ExecHook h;
    return h;
}
} // namespace

void setExecHook(ExecHook h)
{
    hook() = std::move(h);
}

bool GetVersionEx(OSVersionInfo &info)
{
    if (!host::version(info.majorVersion, info.minorVersion, info.buildNumber))
        return false;
    info.platformId = VER_PLATFORM_WIN32_NT;
    return true;
}

int WinExec(const QString &commandLine, int)
{
    if (hook())
        return hook()(commandLine);
    const QString line = commandLine.trimmed();
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    QString program = blank < 0 ? line : line.left(blank);
    const QString args = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
    QStringList argList;
    if (!args.isEmpty())
        argList << args;
    const QString lower = program.toLower();
    QString host;
    if (lower == QLatin1String("winhelp.exe") || lower == QLatin1String("winhlp32.exe"))
        host = programaAoLado(QStringLiteral("renomeia-zq-ajuda"));
    else
        host = winfs::hostPath(program);
    if (!QFileInfo(host).isExecutable())
        return 2; // file not found
    return QProcess::startDetached(host, argList) ? 33 : 2;
}

QString iniciaEmLugar(const QString &programa, const QStringList &argumentos, const QString &pasta)
{
    return host::iniciaEmLugar(programa, argumentos, pasta);
}

QString programaAoLado(const QString &nome)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + nome + QStringLiteral(ZQ_EXE_SUFFIX);
}

} // namespace os
