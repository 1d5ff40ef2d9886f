// Renomeia Arquivos ZQ: program entry.
#include "app/TfrmPrincipal.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    InitApplication();
    TfrmPrincipal principal;
    principal.showMaximized();
    return app.exec();
}
