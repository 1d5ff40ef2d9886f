// renomeia-zq-setup: lays out the program's tables in C:\ZQ\REN\TABELAS when
// they are missing. Existing tables are never touched.
#include "db/installer.h"
#include "db/tables.h"
#include "platform/runtime/errors.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    try {
        const QStringList created = zqdb::installTables(zqdb::TablesFolder);
        for (const QString &t : created)
            std::printf("created %s\n", qPrintable(t));
        if (created.isEmpty())
            std::printf("tables already in place\n");
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
