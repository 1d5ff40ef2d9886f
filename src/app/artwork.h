#pragma once
// The program's embedded artwork.
#include <QIcon>
#include <QString>

namespace artwork {
// Resource paths; the resources are registered by the first call.
QString aboutPicture();     // the about box picture, a JPEG of 495 x 263
QString wallpaperPicture(); // the main window's background tile, a 24-bit BMP of 600 x 400
// The program's icon in 16, 32 and 48 pixels, for windows where no icon
// theme has it (Windows, a build that is not installed).
QIcon programIcon();
} // namespace artwork
