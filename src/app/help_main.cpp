// renomeia-zq-ajuda: the help viewer. Opens the help file named on its
// command line (".\ZQRen417.hlp": looked for in the current folder) and shows it.
#include "platform/filesystem/winfs.h"
#include "platform/windowing/translations.h"

#include <QApplication>
#include <QFile>
#include <QTextBrowser>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    loadToolkitTranslations();
    const QString name = app.arguments().value(1, QStringLiteral(".\\ZQRen417.hlp"));
    QTextBrowser viewer;
    viewer.setObjectName(QStringLiteral("Ajuda"));
    viewer.setWindowTitle(QStringLiteral("Ajuda - ") + winfs::extractFileName(winfs::expandFileName(name)));
    viewer.resize(720, 560);
    QFile f(winfs::hostPath(name));
    if (f.open(QIODevice::ReadOnly))
        viewer.setHtml(QString::fromUtf8(f.readAll()));
    else
        viewer.setPlainText(QStringLiteral("Não foi possível abrir o arquivo de ajuda %1.").arg(winfs::expandFileName(name)));
    viewer.show();
    return app.exec();
}
