#include "app/jpegimage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// The library reports errors through this manager: instead of ending the
// process, the decoder jumps back to decodeJpeg, which gives up.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf back;
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    std::longjmp(err->back, 1);
}

// Warnings (corrupt data, premature end of data) mean the picture would come
// out damaged: they are treated as errors. Trace messages are dropped.
void emitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        errorExit(cinfo);
}

void outputMessage(j_common_ptr) {}

// Everything that must survive a jump back lives outside the frame that
// calls setjmp, so no C++ object is skipped by longjmp.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    QImage image;
};

// Returns false when the library signalled an error.
bool run(Decoder &d, const QByteArray &data)
{
    if (setjmp(d.err.back))
        return false;

    jpeg_mem_src(&d.cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d.cinfo, TRUE);

    QImage::Format format;
    switch (d.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        d.cinfo.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        d.cinfo.out_color_space = JCS_RGB;
        format = QImage::Format_RGB888;
        break;
    default: // CMYK, YCCK: not used by the program
        return false;
    }

    jpeg_start_decompress(&d.cinfo);
    d.image = QImage(int(d.cinfo.output_width), int(d.cinfo.output_height), format);
    if (d.image.isNull()) // too large to hold
        return false;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW row = d.image.scanLine(int(d.cinfo.output_scanline));
        jpeg_read_scanlines(&d.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return QImage();
    Decoder d;
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = errorExit;
    d.err.pub.emit_message = emitMessage;
    d.err.pub.output_message = outputMessage;
    jpeg_create_decompress(&d.cinfo);
    const bool ok = run(d, data);
    jpeg_destroy_decompress(&d.cinfo);
    return ok ? d.image : QImage();
}

QImage loadJpeg(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return QImage();
    return decodeJpeg(f.readAll());
}
