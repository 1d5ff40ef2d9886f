#include "remittance/Impressao.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif
// Where the compiler can build a routine for AVX2 and ask the processor for
// it, the stripes go 32 bytes in one step; elsewhere in two (SSE2) or lane by
// lane. All give the same value. Not on Windows, where GCC does not keep the
// stack aligned for the 32-byte registers it may set aside there.
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && !defined(_WIN32)
#define ZQ_IMPRESSAO_AVX2 1
#endif

namespace remessa {

namespace {

constexpr int Faixa = Impressao::Faixa;
constexpr int Chaves = Impressao::Chaves;

constexpr quint64 P32 = 0x9E3779B1u;
constexpr quint64 P64a = 0x9E3779B185EBCA87ull;
constexpr quint64 P64b = 0xC2B2AE3D27D4EB4Full;
constexpr quint64 P64c = 0x165667B19E3779F9ull;

// Keys from a fixed seed, every byte from 0x80: four lanes for each stripe
// position between two scrambles, then those of the scramble and of the end.
constexpr int NChaves = (Chaves + 2) * 4;
constexpr std::array<quint64, NChaves> geraChaves()
{
    std::array<quint64, NChaves> k{};
    quint64 x = 0x5A51F0C3E1D2B4A7ull;
    for (quint64 &v : k) {
        // splitmix64
        x += 0x9E3779B97F4A7C15ull;
        quint64 z = x;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        v = (z ^ (z >> 31)) | 0x8080808080808080ull;
    }
    return k;
}
alignas(16) constexpr std::array<quint64, NChaves> chaves = geraChaves();
constexpr const quint64 *chaveEmbaralha = chaves.data() + Chaves * 4;
constexpr const quint64 *chaveFim = chaveEmbaralha + 4;

quint64 mistura(quint64 a)
{
    a ^= a >> 33;
    a *= P64b;
    a ^= a >> 29;
    a *= P64c;
    return a ^ (a >> 32);
}

// One line of n bytes (32 or more) into the lanes. Stripe s (the line's
// 32-byte pieces, the last one ending with the line when n is not a multiple
// of 32) takes the keys of position s % Chaves: each lane adds the product of
// the low and high halves of its bytes mixed with its key. Every key byte is
// from 0x80, so that text (below 0x80) never makes a half zero. The lanes are
// scrambled after every Chaves stripes and at the end of the line, so that
// the order of the lines counts.
using Linha = void (*)(quint64 *acc, const unsigned char *p, qint64 n);

const quint64 *chaveDa(qint64 faixa)
{
    return chaves.data() + (faixa % Chaves) * 4;
}

// The stripes of a line in order, the scrambles between them and at its end.
template <class UmaFaixa, class Embaralha>
void porFaixas(const unsigned char *p, qint64 n, UmaFaixa faixa, Embaralha embaralha)
{
    const qint64 inteiras = n / Faixa;
    for (qint64 s = 0; s < inteiras; ++s) {
        faixa(p + s * Faixa, chaveDa(s));
        if (s % Chaves == Chaves - 1)
            embaralha();
    }
    if (n % Faixa)
        faixa(p + n - Faixa, chaveDa(inteiras));
    embaralha();
}

[[maybe_unused]] void linhaPorLane(quint64 *acc, const unsigned char *p, qint64 n)
{
    auto faixa = [acc](const unsigned char *q, const quint64 *k) {
        for (int l = 0; l < 4; ++l) {
            const quint64 x = qFromLittleEndian<quint64>(q + 8 * l) ^ k[l];
            acc[l] += (x & 0xFFFFFFFFu) * (x >> 32);
        }
    };
    auto embaralha = [acc] {
        for (int l = 0; l < 4; ++l) {
            quint64 a = acc[l];
            a ^= a >> 47;
            a ^= chaveEmbaralha[l];
            acc[l] = a * P32;
        }
    };
    porFaixas(p, n, faixa, embaralha);
}

#if defined(__SSE2__)
void linhaSse2(quint64 *acc, const unsigned char *p, qint64 n)
{
    __m128i a01 = _mm_load_si128(reinterpret_cast<const __m128i *>(acc));
    __m128i a23 = _mm_load_si128(reinterpret_cast<const __m128i *>(acc + 2));
    auto faixa = [&](const unsigned char *q, const quint64 *k) {
        const __m128i x01 = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(q)),
                                          _mm_load_si128(reinterpret_cast<const __m128i *>(k)));
        const __m128i x23 = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(q + 16)),
                                          _mm_load_si128(reinterpret_cast<const __m128i *>(k + 2)));
        a01 = _mm_add_epi64(a01, _mm_mul_epu32(x01, _mm_srli_epi64(x01, 32)));
        a23 = _mm_add_epi64(a23, _mm_mul_epu32(x23, _mm_srli_epi64(x23, 32)));
    };
    auto embaralha = [&] {
        const __m128i p32 = _mm_set1_epi64x(qint64(P32));
        auto uma = [&p32](__m128i a, const quint64 *k) {
            a = _mm_xor_si128(a, _mm_srli_epi64(a, 47));
            a = _mm_xor_si128(a, _mm_load_si128(reinterpret_cast<const __m128i *>(k)));
            // Times a 32-bit number: the low half's product plus the high half's, shifted.
            return _mm_add_epi64(_mm_mul_epu32(a, p32), _mm_slli_epi64(_mm_mul_epu32(_mm_srli_epi64(a, 32), p32), 32));
        };
        a01 = uma(a01, chaveEmbaralha);
        a23 = uma(a23, chaveEmbaralha + 2);
    };
    porFaixas(p, n, faixa, embaralha);
    _mm_store_si128(reinterpret_cast<__m128i *>(acc), a01);
    _mm_store_si128(reinterpret_cast<__m128i *>(acc + 2), a23);
}
#endif

#if defined(ZQ_IMPRESSAO_AVX2)
#define ZQ_AVX2 __attribute__((target("avx2")))
ZQ_AVX2 inline __m256i produtoAvx2(const unsigned char *q, const __m256i *chave)
{
    const __m256i x = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(q)), _mm256_loadu_si256(chave));
    return _mm256_mul_epu32(x, _mm256_srli_epi64(x, 32));
}
ZQ_AVX2 inline __m256i embaralhaAvx2(__m256i a)
{
    const __m256i p32 = _mm256_set1_epi64x(qint64(P32));
    a = _mm256_xor_si256(a, _mm256_srli_epi64(a, 47));
    a = _mm256_xor_si256(a, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(chaveEmbaralha)));
    return _mm256_add_epi64(_mm256_mul_epu32(a, p32), _mm256_slli_epi64(_mm256_mul_epu32(_mm256_srli_epi64(a, 32), p32), 32));
}
ZQ_AVX2 void linhaAvx2(quint64 *acc, const unsigned char *p, qint64 n)
{
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(acc));
    const __m256i *k = reinterpret_cast<const __m256i *>(chaves.data());
    const qint64 inteiras = n / Faixa;
    for (qint64 bloco = 0; bloco < inteiras; bloco += Chaves) {
        const qint64 quantas = std::min<qint64>(Chaves, inteiras - bloco);
        const unsigned char *q = p + bloco * Faixa;
        // Two sums, for two stripes at a time.
        __m256i b = _mm256_setzero_si256();
        qint64 s = 0;
        for (; s + 1 < quantas; s += 2) {
            a = _mm256_add_epi64(a, produtoAvx2(q + s * Faixa, k + s));
            b = _mm256_add_epi64(b, produtoAvx2(q + (s + 1) * Faixa, k + s + 1));
        }
        if (s < quantas)
            a = _mm256_add_epi64(a, produtoAvx2(q + s * Faixa, k + s));
        a = _mm256_add_epi64(a, b);
        if (quantas == Chaves)
            a = embaralhaAvx2(a);
    }
    if (n % Faixa)
        a = _mm256_add_epi64(a, produtoAvx2(p + n - Faixa, k + inteiras % Chaves));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(acc), embaralhaAvx2(a));
}
#undef ZQ_AVX2
#endif

Linha escolheLinha()
{
#if defined(ZQ_IMPRESSAO_AVX2)
    __builtin_cpu_init(); // it may run before the constructors that would call it
    if (__builtin_cpu_supports("avx2"))
        return linhaAvx2;
#endif
#if defined(__SSE2__)
    return linhaSse2;
#else
    return linhaPorLane;
#endif
}

} // namespace

Impressao::Impressao(int comprimento) : comprimento_(std::max(comprimento, 0)), estado_{{P64a, P64b, P64c, P32}} {}

const Impressao::Calculo Impressao::calcula = escolheLinha();

void Impressao::curta(const char *p)
{
    // A line shorter than a stripe, with zeros after it.
    alignas(16) unsigned char bytes[Faixa] = {};
    std::memcpy(bytes, p, size_t(comprimento_));
    calcula(estado_.acc, bytes, Faixa);
}

quint64 Impressao::valor() const
{
    quint64 h = quint64(comprimento_) * P64a ^ linhas_ * P64b;
    for (int l = 0; l < 4; ++l)
        h = std::rotl(h ^ mistura(estado_.acc[l] ^ chaveFim[l]), 27) * P64a + P64c;
    return mistura(h);
}

quint64 impressaoDe(const QByteArray &entregue, int tamanhoRegistro)
{
    const int comprimento = std::max(tamanhoRegistro, 0) + 2;
    Impressao i(comprimento);
    for (qsizetype k = 0; k + comprimento <= entregue.size(); k += comprimento)
        i.linha(entregue.constData() + k);
    return i.valor();
}

} // namespace remessa
