#pragma once
// Searches over the bytes of a text file, sixteen bytes at a time where the
// processor allows: lines are long, and what they look for is rare. Each
// takes [p, fim) and gives the first byte found, or fim when there is none.
//
// Blank means a blank or a control character (a byte up to 0x20); text is any
// other byte, those from 0x80 included.
#include <QtGlobal>

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varredura {

constexpr unsigned char CR = 13;
constexpr unsigned char LF = 10;
constexpr unsigned char FimDeTexto = 26; // the end-of-text mark

namespace detalhe {
#if defined(__SSE2__)
inline __m128i carrega(const unsigned char *p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}
// One bit for each byte of v that is a line end or the end-of-text mark.
inline unsigned fins(__m128i v)
{
    const __m128i achou = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(char(CR))), _mm_cmpeq_epi8(v, _mm_set1_epi8(char(LF)))),
                                       _mm_cmpeq_epi8(v, _mm_set1_epi8(char(FimDeTexto))));
    return unsigned(_mm_movemask_epi8(achou));
}
// One bit for each blank byte of v.
inline unsigned brancos(__m128i v)
{
    const __m128i branco = _mm_set1_epi8(' ');
    return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, branco), branco)));
}
#endif
inline bool ehFim(unsigned char b)
{
    return b == CR || b == LF || b == FimDeTexto;
}
} // namespace detalhe

// The first line end (CR, LF) or end-of-text mark; with alto, also the first
// byte from 0x80.
template <bool alto = false>
inline const unsigned char *procuraFim(const unsigned char *p, const unsigned char *const fim)
{
#if defined(__SSE2__)
    for (; fim - p >= 16; p += 16) {
        const __m128i v = detalhe::carrega(p);
        unsigned mascara = detalhe::fins(v);
        if constexpr (alto)
            mascara |= unsigned(_mm_movemask_epi8(v));
        if (mascara)
            return p + std::countr_zero(mascara);
    }
#endif
    while (p < fim && !detalhe::ehFim(*p) && (!alto || *p < 0x80))
        ++p;
    return p;
}

// The first byte that is not plain text: below 0x20 (line ends and the
// end-of-text mark among them), 127, or from 0x80.
inline const unsigned char *procuraRaro(const unsigned char *p, const unsigned char *const fim)
{
#if defined(__SSE2__)
    // Compared as signed bytes, those from 0x80 are below 0x20 too.
    for (; fim - p >= 16; p += 16) {
        const __m128i v = detalhe::carrega(p);
        const __m128i achou = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)), _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F)));
        if (const unsigned mascara = unsigned(_mm_movemask_epi8(achou)))
            return p + std::countr_zero(mascara);
    }
#endif
    while (p < fim && *p >= 0x20 && *p < 0x7F)
        ++p;
    return p;
}

// The first byte from 0x80.
inline const unsigned char *procuraAlto(const unsigned char *p, const unsigned char *const fim)
{
#if defined(__SSE2__)
    for (; fim - p >= 16; p += 16)
        if (const unsigned mascara = unsigned(_mm_movemask_epi8(detalhe::carrega(p))))
            return p + std::countr_zero(mascara);
#endif
    while (p < fim && *p < 0x80)
        ++p;
    return p;
}

// The first byte of text.
inline const unsigned char *procuraTexto(const unsigned char *p, const unsigned char *const fim)
{
#if defined(__SSE2__)
    for (; fim - p >= 16; p += 16)
        if (const unsigned mascara = ~detalhe::brancos(detalhe::carrega(p)) & 0xFFFF)
            return p + std::countr_zero(mascara);
#endif
    while (p < fim && *p <= ' ')
        ++p;
    return p;
}

// True when [p, p + n) holds text.
inline bool temTexto(const unsigned char *p, qint64 n)
{
    return procuraTexto(p, p + n) != p + n;
}

// The offset after the last byte of text of [p, p + n); 0 when there is none.
// Text usually ends a line: the search starts from the end.
inline qint64 depoisDoUltimoTexto(const unsigned char *p, qint64 n)
{
#if defined(__SSE2__)
    for (; n >= 16; n -= 16) {
        const unsigned brancos = detalhe::brancos(detalhe::carrega(p + n - 16));
        if (brancos != 0xFFFF)
            return n - std::countl_zero(~brancos << 16);
    }
#endif
    for (; n > 0; --n)
        if (p[n - 1] > ' ')
            return n;
    return 0;
}

} // namespace varredura
