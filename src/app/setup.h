#pragma once
// The setup program (renomeia-zq-setup): lays out the drive the program needs,
// starts the program from a desktop menu, and lays out a demo drive.
//
//   renomeia-zq-setup            the installed tables in C:\ZQ\REN\TABELAS when missing
//   renomeia-zq-setup --start    the same, the help file in C:\ZQ\REN, then the
//                                program beside this one started in C:\ZQ\REN
//   renomeia-zq-setup --demo     a demo on a drive without contracts (demo.h)
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zqsetup {

// Folder of the program on the emulated drive: its help file and
// "agencias.zq" are looked for here, and it is started here.
inline const QString ProgramFolder = QStringLiteral("C:\\ZQ\\REN");
inline const QString HelpFileName = QStringLiteral("ZQRen417.hlp");

// What --start asks the caller to start once the drive is laid out.
struct Launch {
    QString program;      // host path of the program
    QStringList arguments;
    QString folder;       // host path of its current folder
};

// The usage text, printed for --help and for an unknown option.
QString usage();

// The installed tables when missing and the help file in C:\ZQ\REN, written
// again when it differs from the one this setup carries. Raises Exception
// with a message that names the drive.
void prepareDrive();

// Runs the setup with its arguments (without the program name) and returns
// its exit status: 0 done, 1 failed, 2 unknown option. A failure is written
// on stderr; a failure of --start is also shown in an error box when the
// process has a window system. For --start, launch receives what to start.
int run(const QStringList &arguments, std::optional<Launch> &launch);

// Writes a failure on stderr and, with box set, shows it in an error box
// titled with the application title: through the box shower when one is
// set, else when the process is a QApplication.
void reportFailure(const QString &message, bool box);

// The setup program opens the window system only to show a failure: its
// shower does that. An empty function restores the default.
using FailureBox = std::function<void(const QString &message)>;
void setFailureBox(FailureBox box);

} // namespace zqsetup
