// Renomeia Arquivos ZQ: program entry.
#include "app/TfrmPrincipal.h"
#include "app/artwork.h"
#include "app/startup.h"
#include "platform/windowing/translations.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    loadToolkitTranslations();
    // The desktop matches the windows to the menu entry and its icon by this name.
    QGuiApplication::setDesktopFileName(AppId);
    app.setWindowIcon(QIcon::fromTheme(AppId, artwork::programIcon()));
    InitApplication();
    TfrmPrincipal principal;
    // Restored size 592 x 472, centred on the desktop; the window opens maximised.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), QSize(592, 472));
        r.moveCenter(screen->availableGeometry().center());
        principal.setGeometry(r);
    }
    principal.showMaximized();
    return app.exec();
}
