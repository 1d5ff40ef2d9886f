// renomeia-zq-cli: the program's jobs from a command line (cli/comandos.h).
#include "cli/comandos.h"
#include "platform/os/console.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    os::useUtf8Console();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = zqcli::executa(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
