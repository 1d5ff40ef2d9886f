#pragma once
// The program's embedded artwork.
#include <QString>

namespace artwork {
// Resource paths; the resources are registered by the first call.
QString aboutPicture();     // the about box picture, a JPEG of 495 x 263
QString wallpaperPicture(); // the main window's background tile, a 24-bit BMP of 600 x 400
} // namespace artwork
