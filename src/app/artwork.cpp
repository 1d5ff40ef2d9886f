#include "app/artwork.h"

#include <QtGlobal>

// The resources sit in a static library: nothing would pull their object file
// into the program unless something refers to it.
static void registerArtwork()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    Q_UNUSED(done);
}

namespace artwork {

QString aboutPicture()
{
    registerArtwork();
    return QStringLiteral(":/artwork/about.jpg");
}

QIcon programIcon()
{
    registerArtwork();
    QIcon icon;
    for (const char *size : {"16", "32", "48"})
        icon.addFile(QStringLiteral(":/artwork/icon-%1.png").arg(QLatin1String(size)));
    return icon;
}

QString wallpaperPicture()
{
    registerArtwork();
    return QStringLiteral(":/artwork/wallpaper.bmp");
}

} // namespace artwork
