// renomeia-zq-setup: lays out the drive the program needs and, with --start,
// starts the program (the command of the desktop menu entry); with --demo it
// lays out a demo drive. See app/setup.h.
#include "app/setup.h"
#include "platform/os/console.h"
#include "platform/os/os.h"
#include "platform/windowing/msgbox.h"
#include "platform/windowing/translations.h"

#include <QApplication>
#include <QFile>
#include <QProcessEnvironment>

#include <memory>

namespace {
// A menu entry has no terminal: a failure of --start is shown in a box as
// well, when there is a screen to show it on.
bool hasScreen()
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString platform = env.value(QStringLiteral("QT_QPA_PLATFORM"));
    if (platform.startsWith(QLatin1String("offscreen")) || platform.startsWith(QLatin1String("minimal")))
        return false;
    return !env.value(QStringLiteral("DISPLAY")).isEmpty() || !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}
} // namespace

int main(int argc, char **argv)
{
    std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(argc, argv);
    os::useUtf8Console();
    // The window system is opened only to show a failure, so that the program
    // that follows is the only one to hold a connection to it.
    zqsetup::setFailureBox([&](const QString &message) {
        if (!hasScreen())
            return;
        app.reset();
        app = std::make_unique<QApplication>(argc, argv);
        loadToolkitTranslations();
        MessageBox(message, QStringLiteral("Renomeia Arquivos ZQ"), MsgStyle::Error);
    });
    std::optional<zqsetup::Launch> launch;
    const int status = zqsetup::run(app->arguments().mid(1), launch);
    if (!launch)
        return status;

    const QString failure = os::iniciaEmLugar(launch->program, launch->arguments, launch->folder);
    if (failure.isEmpty())
        return 0;
    zqsetup::reportFailure(QStringLiteral("Não foi possível iniciar o programa ") + launch->program + QStringLiteral(": ") + failure, true);
    return 1;
}
