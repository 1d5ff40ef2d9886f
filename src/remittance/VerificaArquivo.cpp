#include "remittance/VerificaArquivo.h"

#include "platform/filesystem/filehandles.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "remittance/Conferente.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace remessa {

namespace {

constexpr unsigned char CR = 13;
constexpr unsigned char LF = 10;
constexpr unsigned char FimDeTexto = 26;

// Bytes that stop the collection of a line: the two line ends and the end-of-text mark.
constexpr std::array<bool, 256> terminadores = [] {
    std::array<bool, 256> t{};
    t[CR] = t[LF] = t[FimDeTexto] = true;
    return t;
}();

// The first byte of [p, fim) that ends a line or the text, and with
// naoAscii also one from 0x80; fim when there is none. Past the record only
// these matter to the checks: a control character there is cut with the rest.
template <bool naoAscii = false>
const unsigned char *procuraTerminador(const unsigned char *p, const unsigned char *const fim)
{
#if defined(__SSE2__)
    // Sixteen bytes at a time: lines are long and their ends are rare.
    const __m128i cr = _mm_set1_epi8(char(CR));
    const __m128i lf = _mm_set1_epi8(char(LF));
    const __m128i fimDeTexto = _mm_set1_epi8(char(FimDeTexto));
    for (; fim - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i achou = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, fimDeTexto));
        unsigned mascara = unsigned(_mm_movemask_epi8(achou));
        if constexpr (naoAscii)
            mascara |= unsigned(_mm_movemask_epi8(v));
        if (mascara)
            return p + std::countr_zero(mascara);
    }
#endif
    while (p < fim && !terminadores[*p] && (!naoAscii || *p < 0x80))
        ++p;
    return p;
}

// The first byte of [p, fim) that the checks look at one by one: below 0x20
// (the line ends and the 26 among them), 127, or from 0x80; fim when there is
// none. As fast as the search for line ends: what is rare is plain text.
const unsigned char *procuraRaro(const unsigned char *p, const unsigned char *const fim)
{
#if defined(__SSE2__)
    // Compared as signed bytes, those from 0x80 are below 0x20 too.
    const __m128i espaco = _mm_set1_epi8(0x20);
    const __m128i del = _mm_set1_epi8(0x7F);
    for (; fim - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i achou = _mm_or_si128(_mm_cmplt_epi8(v, espaco), _mm_cmpeq_epi8(v, del));
        if (const unsigned mascara = unsigned(_mm_movemask_epi8(achou)))
            return p + std::countr_zero(mascara);
    }
#endif
    while (p < fim && *p >= 0x20 && *p < 0x7F)
        ++p;
    return p;
}

// The first byte of [p, fim) from 0x80; fim when there is none.
const unsigned char *procuraNaoAscii(const unsigned char *p, const unsigned char *const fim)
{
#if defined(__SSE2__)
    for (; fim - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        if (const unsigned mascara = unsigned(_mm_movemask_epi8(v)))
            return p + std::countr_zero(mascara);
    }
#endif
    while (p < fim && *p < 0x80)
        ++p;
    return p;
}

// True when a byte of [p, p + n) is neither blank nor a control character (above 32).
bool temTexto(const unsigned char *p, qint64 n)
{
    const unsigned char *const fim = p + n;
#if defined(__SSE2__)
    const __m128i branco = _mm_set1_epi8(' ');
    for (; fim - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, branco), branco)) != 0xFFFF)
            return true;
    }
#endif
    for (; p < fim; ++p)
        if (*p > ' ')
            return true;
    return false;
}

// The current line, kept as its fitted form: the first bytes up to the record
// length over a row of blanks, followed by CR LF, plus the full length of the
// line as read (for the progress counter). With Confere, what is cut goes to
// the checks, and so does the line when it is over.
template <bool Confere>
class LinhaAjustada {
public:
    LinhaAjustada(winfs::FileWriter &destino, int tamanho, Conferente *conferente)
        : destino_(destino), tamanho_(std::max(tamanho, 0)), bytes_(size_t(tamanho_) + 2, ' '), conferente_(conferente)
    {
        bytes_[size_t(tamanho_)] = CR;
        bytes_[size_t(tamanho_) + 1] = LF;
    }

    // Appends bytes read to the line; only the first record-length bytes are kept.
    void acrescenta(const unsigned char *dados, qint64 quantos)
    {
        const qint64 inicio = comprimento_;
        comprimento_ += quantos;
        if (usados_ >= tamanho_ || quantos == 0) {
            if constexpr (Confere)
                if (quantos)
                    conferente_->cortados(dados, quantos, inicio - tamanho_);
            return;
        }
        const qint64 cabem = std::min<qint64>(quantos, tamanho_ - usados_);
        std::memcpy(bytes_.data() + usados_, dados, size_t(cabem));
        // Blank means blanks and control characters only.
        temTexto_ = temTexto_ || temTexto(dados, cabem);
        usados_ += cabem;
        if constexpr (Confere)
            if (cabem < quantos)
                conferente_->cortados(dados + cabem, quantos - cabem, 0);
    }

    qint64 comprimento() const { return comprimento_; }

    // The line is over: the checks see it before it is written.
    void confere() { conferente_->fechaLinha(bytes_.data(), temTexto_, comprimento_); }

    // Writes the fitted line with its CR LF unless it is blank, and starts an
    // empty line. Gives the write's code (0 when nothing was written).
    int AjustaLinha()
    {
        const int status = temTexto_ ? destino_.write(bytes_.data(), tamanho_ + 2) : 0;
        std::memset(bytes_.data(), ' ', size_t(usados_));
        usados_ = 0;
        comprimento_ = 0;
        temTexto_ = false;
        return status;
    }

private:
    winfs::FileWriter &destino_;
    const qint64 tamanho_;
    std::vector<char> bytes_;
    qint64 usados_ = 0;      // bytes of the line held, at most the record length
    qint64 comprimento_ = 0; // bytes of the line read, line ends excluded
    bool temTexto_ = false;  // a held byte is neither blank nor a control character
    Conferente *const conferente_;
};

// The source in blocks, as read or converted from UTF-8 to Windows-1252.
class Entrada {
public:
    Entrada(winfs::FileReader &origem, bool converte)
        : origem_(origem), converte_(converte), bloco_(new unsigned char[winfs::FileBufferSize + sizeof resto_])
    {
    }

    // The next block into [p, fim): the read's code (0 while bytes come).
    int le(const unsigned char *&p, const unsigned char *&fim)
    {
        unsigned char *const bloco = bloco_.get();
        p = fim = bloco;
        if (!converte_) {
            qint64 lidos = 0;
            const int status = origem_.read(bloco, winfs::FileBufferSize, lidos);
            fim = bloco + lidos;
            return status;
        }
        // The unfinished sequence of the block before comes first.
        std::memcpy(bloco, resto_, size_t(guardados_));
        qint64 lidos = 0;
        const int status = origem_.read(bloco + guardados_, winfs::FileBufferSize, lidos);
        if (status == ioEndOfFile && guardados_ > 0) {
            // The source ends inside a sequence: its bytes stay as they are.
            fim = bloco + guardados_;
            guardados_ = 0;
            return 0;
        }
        if (status != 0)
            return status;
        fim = bloco + converte(bloco, guardados_ + lidos);
        return 0;
    }

private:
    // Converts n bytes in place (nothing grows), keeping back a sequence that
    // the next block finishes; gives the bytes converted.
    qint64 converte(unsigned char *b, qint64 n)
    {
        guardados_ = 0;
        qint64 i = 0;
        qint64 o = 0;
        if (inicio_) {
            inicio_ = false;
            if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
                i = 3; // the byte order mark has no place in a Windows-1252 file
        }
        while (i < n) {
            const qint64 j = procuraNaoAscii(b + i, b + n) - b;
            if (o != i)
                std::memmove(b + o, b + i, size_t(j - i));
            o += j - i;
            i = j;
            if (i == n)
                break;
            const int tam = utf8::comprimento(b[i]);
            int k = 1;
            char32_t c = utf8::bitsIniciais(b[i], tam);
            for (; k < tam && i + k < n && utf8::continuacao(b[i + k]); ++k)
                c = c << 6 | (b[i + k] & 0x3F);
            if (tam && k < tam && i + k == n) {
                guardados_ = int(n - i);
                std::memcpy(resto_, b + i, size_t(guardados_));
                break;
            }
            const int convertido = tam && k == tam && utf8::valido(c, tam) ? byte1252(c) : -1;
            if (convertido >= 0) {
                b[o++] = static_cast<unsigned char>(convertido);
                i += tam;
            } else {
                b[o++] = b[i++]; // not a character of Windows-1252: the byte stays
            }
        }
        return o;
    }

    winfs::FileReader &origem_;
    const bool converte_;
    unsigned char resto_[3] = {};
    int guardados_ = 0;  // bytes in resto_
    bool inicio_ = true; // the first block is still to come
    const std::unique_ptr<unsigned char[]> bloco_;
};

} // namespace

QString textoEtapa(Etapa etapa, qint64 contador)
{
    switch (etapa) {
    case Etapa::Inicio:
        return QStringLiteral("Verificando arquivo...");
    case Etapa::Linha:
        return QStringLiteral("Verificando arquivo...   ") + FormatFloat(QStringLiteral("#,###,##0.00"), double(contador) / 1024.0)
            + QStringLiteral("KB lidos");
    case Etapa::Fim:
        return QStringLiteral("Arquivo OK");
    case Etapa::FimDaLeitura:
        break;
    }
    return QString();
}

namespace {

template <bool Confere>
bool passa(winfs::FileReader &origem, winfs::FileWriter &destino, int tamanhoRegistro, const Progresso &progresso,
           Conferente *conferente, bool converteUtf8)
{
    auto avisa = [&progresso](Etapa etapa, qint64 posicao) {
        if (progresso)
            progresso(etapa, posicao);
    };
    LinhaAjustada<Confere> linha(destino, tamanhoRegistro, conferente);
    Entrada entrada(origem, converteUtf8);

    avisa(Etapa::Inicio, 1);
    qint64 contador = 1;
    int status = 0;
    bool emFimDeLinha = false; // inside a run of CR and LF that has already ended a line
    bool fimDoTexto = false;   // a byte 26 was met: nothing after it is read
    while (status == 0 && !fimDoTexto) {
        const unsigned char *p = nullptr;
        const unsigned char *fim = nullptr;
        status = entrada.le(p, fim);
        if (status != 0)
            break;
        while (p < fim) {
            if (emFimDeLinha) {
                if constexpr (Confere) {
                    for (; p < fim && (*p == CR || *p == LF); ++p)
                        conferente->fimDeLinha(*p);
                } else {
                    while (p < fim && (*p == CR || *p == LF))
                        ++p;
                }
                if (p == fim)
                    break;
                emFimDeLinha = false;
                if constexpr (Confere)
                    conferente->linhaComeca();
            }
            if constexpr (Confere) {
                // Plain text in one go; the rare bytes one by one (past the
                // record, control characters go with the plain text).
                const unsigned char *q = linha.comprimento() >= tamanhoRegistro ? procuraTerminador<true>(p, fim) : procuraRaro(p, fim);
                if (q != p) {
                    conferente->comuns();
                    linha.acrescenta(p, q - p);
                }
                p = q;
                if (p == fim)
                    break;
                if (*p != CR && *p != LF && *p != FimDeTexto) {
                    linha.acrescenta(p, 1);
                    conferente->raro(*p, linha.comprimento());
                    ++p;
                    continue;
                }
            } else {
                const unsigned char *q = procuraTerminador(p, fim);
                linha.acrescenta(p, q - p);
                p = q;
                if (p == fim)
                    break;
            }
            if (*p == FimDeTexto) {
                fimDoTexto = true;
                break;
            }
            // A line end.
            contador += linha.comprimento();
            avisa(Etapa::Linha, contador);
            if constexpr (Confere) {
                linha.confere();
                conferente->fimDeLinha(*p);
            }
            status = linha.AjustaLinha();
            if (status != 0)
                break;
            emFimDeLinha = true;
            ++p;
        }
    }

    avisa(Etapa::Fim, contador);
    if (status == ioEndOfFile) {
        // A last line without a line end.
        avisa(Etapa::FimDaLeitura, contador + 100);
        if constexpr (Confere)
            linha.confere();
        status = linha.AjustaLinha();
    } else if (status == 0 && fimDoTexto) {
        // Text between the last line end and the byte 26 is a last line too.
        if constexpr (Confere)
            linha.confere();
        status = linha.AjustaLinha();
    }
    if constexpr (Confere)
        conferente->termina(status == ioEndOfFile ? 0 : status);
    return status == 0 || status == ioEndOfFile;
}

} // namespace

bool VerificaArquivo(winfs::FileReader &origem, winfs::FileWriter &destino, int tamanhoRegistro, const Progresso &progresso,
                     Conferencia *conferencia, bool converteUtf8)
{
    if (!conferencia)
        return passa<false>(origem, destino, tamanhoRegistro, progresso, nullptr, converteUtf8);
    Conferente conferente(*conferencia, tamanhoRegistro);
    return passa<true>(origem, destino, tamanhoRegistro, progresso, &conferente, converteUtf8);
}

} // namespace remessa
