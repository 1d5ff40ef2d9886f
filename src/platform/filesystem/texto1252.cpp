#include "platform/filesystem/texto1252.h"

#include "platform/filesystem/varredura.h"

#include <cstring>

namespace winfs {

namespace {
// Windows-1252 differs from Latin-1 only in 0x80-0x9F.
const char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

char16_t caractere1252(unsigned char b)
{
    return b >= 0x80 && b <= 0x9F ? cp1252High[b - 0x80] : char16_t(b);
}

int byte1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int k = 0; k < 32; ++k)
        if (cp1252High[k] == c)
            return 0x80 + k;
    return -1;
}

QString fromWindows1252(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(caractere1252(uchar(bytes[i])));
    return out;
}

QByteArray toWindows1252(const QString &text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byte1252(text[i].unicode());
        out[i] = b < 0 ? '?' : char(b);
    }
    return out;
}

int utf8::decodifica(const unsigned char *p, qint64 n, char32_t &c)
{
    const int tam = comprimento(p[0]);
    if (tam == 0)
        return 0;
    c = bitsIniciais(p[0], tam);
    int k = 1;
    for (; k < tam && k < n && continuacao(p[k]); ++k)
        c = c << 6 | (p[k] & 0x3F);
    if (k < tam)
        return k == n ? -1 : 0;
    return valido(c, tam) ? tam : 0;
}

int ConversaoUtf8::retidos(unsigned char *destino)
{
    const int n = guardados_;
    std::memcpy(destino, resto_, size_t(n));
    guardados_ = 0;
    return n;
}

qint64 ConversaoUtf8::converte(unsigned char *b, qint64 n)
{
    guardados_ = 0;
    qint64 i = 0;
    qint64 o = 0;
    if (inicio_ && n > 0) {
        inicio_ = false;
        if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
            i = 3; // the byte order mark has no place in a Windows-1252 file
    }
    while (i < n) {
        const qint64 j = varredura::procuraAlto(b + i, b + n) - b;
        if (o != i)
            std::memmove(b + o, b + i, size_t(j - i));
        o += j - i;
        i = j;
        if (i == n)
            break;
        char32_t c = 0;
        const int tam = utf8::decodifica(b + i, n - i, c);
        if (tam < 0) {
            guardados_ = int(n - i);
            std::memcpy(resto_, b + i, size_t(guardados_));
            break;
        }
        const int convertido = tam > 0 ? byte1252(c) : -1;
        if (convertido >= 0) {
            b[o++] = static_cast<unsigned char>(convertido);
            i += tam;
        } else {
            b[o++] = b[i++]; // not a character of Windows-1252: the byte stays
        }
    }
    return o;
}

} // namespace winfs
