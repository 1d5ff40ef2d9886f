#pragma once
// JPEG pictures decoded with libjpeg.
#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes a JPEG held in memory. Colour pictures come back as RGB888,
// greyscale ones as Grayscale8. A damaged, truncated or unsupported picture
// (any error or warning of the decoder) gives a null image.
QImage decodeJpeg(const QByteArray &data);

// Reads and decodes a JPEG file (a Qt path, resources included); a missing
// file gives a null image.
QImage loadJpeg(const QString &fileName);
