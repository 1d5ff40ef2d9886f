#pragma once
// Windows-1252 and UTF-8: the 8-bit text of the files the program reads and
// writes, the UTF-8 some editors save instead, and the conversion from one to
// the other. Qt 6 has no Windows-1252 codec without ICU: Windows-1252 is
// Latin-1 but for 0x80-0x9F, which a small table covers.
#include <QByteArray>
#include <QString>

namespace winfs {

// Windows-1252 text.
QString fromWindows1252(const QByteArray &bytes);
// Characters Windows-1252 lacks become "?".
QByteArray toWindows1252(const QString &text);
// The character of a Windows-1252 byte.
char16_t caractere1252(unsigned char b);
// The Windows-1252 byte of a character; -1 when it has none.
int byte1252(char32_t c);

namespace utf8 {

// Length of the sequence a byte opens (2 to 4); 0 for a byte that opens none
// (ASCII, a continuation byte, 0xC0, 0xC1 and 0xF5 to 0xFF).
inline int comprimento(unsigned char inicial)
{
    if (inicial < 0xC2)
        return 0;
    return inicial <= 0xDF ? 2 : inicial <= 0xEF ? 3 : inicial <= 0xF4 ? 4 : 0;
}
// The bits of the character that the first byte of a sequence of n carries.
inline char32_t bitsIniciais(unsigned char inicial, int n)
{
    return inicial & (0x7F >> n);
}
inline bool continuacao(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}
// A character decoded from n bytes is valid: the shortest form, no surrogate,
// inside Unicode.
inline bool valido(char32_t c, int n)
{
    constexpr char32_t menor[5] = {0, 0, 0x80, 0x800, 0x10000};
    return c >= menor[n] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}
// The byte order mark that some editors put at the start of a UTF-8 file.
constexpr char32_t Bom = 0xFEFF;

// The sequence of more than one byte that opens [p, p + n): its length, with
// its character in c; 0 when p holds no valid sequence; -1 when the bytes end
// inside one that may still be valid.
int decodifica(const unsigned char *p, qint64 n, char32_t &c);

} // namespace utf8

// Converts UTF-8 to Windows-1252 a block at a time, in place (nothing
// grows): a byte order mark at the start goes, every valid sequence of a
// character that Windows-1252 has becomes its one byte, anything else stays
// as it was read. A sequence cut by the end of a block is held back for the
// next one.
class ConversaoUtf8 {
public:
    // Writes the bytes held back from the block before at destino (at most
    // Retidos) and gives how many; they go before the next block's bytes.
    int retidos(unsigned char *destino);
    static constexpr int Retidos = 3;
    // Converts the n bytes of bloco; gives how many bytes the result has.
    qint64 converte(unsigned char *bloco, qint64 n);

private:
    unsigned char resto_[Retidos] = {};
    int guardados_ = 0;
    bool inicio_ = true; // the first block is still to come
};

} // namespace winfs
