#include "remittance/ConfereRemessa.h"

#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"
#include "remittance/Conferente.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace Qt::StringLiterals;

namespace remessa {

namespace {

// Characters of a cut shown in its finding.
constexpr int CaracteresDoCorte = 40;

// Offset after the last byte of [p, p + n) that is neither blank nor a
// control character (above 32); 0 when there is none. Text usually ends a
// line, so the search starts from its end.
qint64 depoisDoUltimoTexto(const unsigned char *p, qint64 n)
{
#if defined(__SSE2__)
    const __m128i branco = _mm_set1_epi8(' ');
    for (; n >= 16; n -= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + n - 16));
        const unsigned brancos = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, branco), branco)));
        if (brancos != 0xFFFF)
            return n - std::countl_zero(~brancos << 16);
    }
#endif
    for (; n > 0; --n)
        if (p[n - 1] > ' ')
            return n;
    return 0;
}

// Bytes as the user should read them: a valid UTF-8 sequence as its
// character, any other byte as Windows-1252, a control character as a blank.
QString legivel(const unsigned char *p, qint64 n)
{
    QString out;
    for (qint64 i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            out += b < 0x20 || b == 0x7F ? u' ' : QChar(b);
            ++i;
            continue;
        }
        const int tam = utf8::comprimento(b);
        if (tam && i + tam <= n) {
            char32_t c = utf8::bitsIniciais(b, tam);
            int k = 1;
            for (; k < tam && utf8::continuacao(p[i + k]); ++k)
                c = c << 6 | (p[i + k] & 0x3F);
            if (k == tam && utf8::valido(c, tam)) {
                out += QString::fromUcs4(&c, 1);
                i += tam;
                continue;
            }
        }
        out += winfs::fromWindows1252(QByteArray(1, char(b)));
        ++i;
    }
    return out;
}

// A number of n digits; -1 when a byte is not a digit.
qint64 numero(const char *p, int n)
{
    qint64 v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

// A numeric field as it stands in the record, in quotes when it is not all digits.
QString campo(const char *p, int n)
{
    const QString texto = legivel(reinterpret_cast<const unsigned char *>(p), n);
    return numero(p, n) < 0 ? u'"' + texto + u'"' : texto;
}

QString seisDigitos(qint64 v)
{
    return QString::number(v).rightJustified(6, u'0');
}

struct Descarte : winfs::ByteSink {
    int write(const char *, qint64) override { return 0; }
};

} // namespace

int byte1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    // 0x80 to 0x9F are the bytes where Windows-1252 is not Latin-1.
    static const std::array<char16_t, 32> alto = [] {
        QByteArray bytes;
        for (int b = 0x80; b < 0xA0; ++b)
            bytes += char(b);
        const QString texto = winfs::fromWindows1252(bytes);
        std::array<char16_t, 32> a{};
        for (int i = 0; i < 32; ++i)
            a[size_t(i)] = texto[i].unicode();
        return a;
    }();
    for (int i = 0; i < 32; ++i)
        if (alto[size_t(i)] == c)
            return 0x80 + i;
    return -1;
}

Conferente::Conferente(Conferencia &conferencia, int tamanhoRegistro)
    : conferencia_(conferencia), tamanho_(std::max(tamanhoRegistro, 0))
{
    conferencia_ = Conferencia();
}

template <class Texto>
void Conferente::constata(qint64 linha, Texto texto)
{
    ++conferencia_.total_;
    QList<Constatacao> &lista = conferencia_.constatacoes_;
    if (lista.size() == Conferencia::Guardadas && lista.last().linha <= linha)
        return;
    // Findings of the end of the file may concern earlier lines.
    const auto onde = std::upper_bound(lista.cbegin(), lista.cend(), linha,
                                       [](qint64 l, const Constatacao &c) { return l < c.linha; });
    lista.insert(onde, Constatacao{linha, texto()});
    if (lista.size() > Conferencia::Guardadas)
        lista.removeLast();
}

void Conferente::raro(unsigned char b, qint64 posicao)
{
    if (b >= 0x80) {
        if (faltam_) {
            if (utf8::continuacao(b)) {
                caractere_ = caractere_ << 6 | (b & 0x3F);
                if (--faltam_ == 0)
                    completaSequencia(posicao);
                return;
            }
            quebraSequencia();
        }
        bytesSequencia_ = utf8::comprimento(b);
        if (bytesSequencia_ == 0) {
            // A Windows-1252 byte, or a stray piece of a sequence.
            conferencia_.utf8Invalido_ = true;
            return;
        }
        faltam_ = bytesSequencia_ - 1;
        caractere_ = utf8::bitsIniciais(b, bytesSequencia_);
        return;
    }
    // A control character.
    if (faltam_)
        quebraSequencia();
    if (posicao <= tamanho_ && controles_++ == 0) {
        posicaoControle_ = posicao;
        codigoControle_ = b;
    }
}

void Conferente::completaSequencia(qint64 posicao)
{
    if (!utf8::valido(caractere_, bytesSequencia_)) {
        conferencia_.utf8Invalido_ = true;
        return;
    }
    conferencia_.multibyte_ = true;
    if (caractere_ == utf8::Bom && fins_ == 0 && posicao == 3) {
        bom_ = true;
        return;
    }
    if (byte1252(caractere_) < 0)
        conferencia_.fora1252_ = true;
    const auto fim = utf8_.begin() + quantosUtf8_;
    if (quantosUtf8_ < CaracteresUtf8 && std::find(utf8_.begin(), fim, caractere_) == fim)
        utf8_[size_t(quantosUtf8_++)] = caractere_;
}

void Conferente::cortados(const unsigned char *p, qint64 n, qint64 inicio)
{
    if (inicio < Captura)
        std::memcpy(corte_.data() + inicio, p, size_t(std::min<qint64>(n, Captura - inicio)));
    if (const qint64 k = depoisDoUltimoTexto(p, n))
        ultimoCortado_ = inicio + k;
}

void Conferente::fechaLinha(const char *registro, bool escrito, qint64 comprimento)
{
    const qint64 linha = fins_ + 1;
    if (faltam_)
        quebraSequencia();
    if (bom_)
        constata(linha, [] { return u"marca de UTF-8 (bytes EF BB BF) no início do arquivo"_s; });
    if (quantosUtf8_)
        constata(linha, [&] {
            return u"texto em UTF-8, com mais de um byte por caractere: \""_s + QString::fromUcs4(utf8_.data(), quantosUtf8_) + u'"';
        });
    if (ultimoCortado_)
        constata(linha, [&] {
            const QString cortado = legivel(corte_.data(), std::min<qint64>(ultimoCortado_, Captura));
            const QString texto = cortado.left(CaracteresDoCorte);
            qsizetype fim = texto.size();
            while (fim > 0 && texto[fim - 1] == u' ')
                --fim;
            // More text than is shown ends in an ellipsis.
            const QString resto = cortado.size() > CaracteresDoCorte || ultimoCortado_ > Captura ? u"…"_s : QString();
            const QString posicao = QString::number(tamanho_);
            return (ultimoCortado_ == 1 ? u"1 caractere além da posição "_s + posicao + u" cortado: \""_s
                                        : QString::number(ultimoCortado_) + u" caracteres além da posição "_s + posicao
                                              + u" cortados: \""_s)
                + texto.left(fim) + resto + u'"';
        });
    if (escrito && controles_)
        constata(linha, [&] {
            QString texto = u"caractere de controle (código "_s + QString::number(codigoControle_) + u") na posição "_s
                + QString::number(posicaoControle_);
            if (controles_ > 1)
                texto += u" e mais "_s + QString::number(controles_ - 1) + u" na mesma linha"_s;
            return texto;
        });
    if (escrito || ultimoCortado_) {
        algumaLinha_ = true;
        todas240_ = todas240_ && comprimento == 240;
    }
    if (escrito)
        confereRegistro(registro, linha);
    bom_ = false;
    quantosUtf8_ = 0;
    controles_ = 0;
    ultimoCortado_ = 0;
}

void Conferente::confereRegistro(const char *registro, qint64 linha)
{
    if (++registros_ == 1) {
        if (tamanho_ == 400 && std::memcmp(registro, "01REMESSA", 9) == 0)
            leiaute_ = Leiaute::Cnab400;
        else if (tamanho_ == 240 && registro[7] == '0')
            leiaute_ = Leiaute::Cnab240;
    }
    if (leiaute_ == Leiaute::Outro)
        return;
    std::memcpy(ultimo_.data(), registro, ultimo_.size());
    linhaUltimo_ = linha;
    if (leiaute_ != Leiaute::Cnab400)
        return;

    // One record dropped, doubled or misnumbered is one finding: the count
    // goes on from the number found, or from the one expected when the next
    // record shows that only this record's number was wrong.
    const char *sequencial = registro + 394;
    const qint64 v = numero(sequencial, 6);
    if (v == esperado_ || (alternativo_ >= 0 && v == alternativo_)) {
        esperado_ = v + 1;
        alternativo_ = -1;
        return;
    }
    constata(linha, [&] {
        return u"número sequencial "_s + campo(sequencial, 6) + u" nas posições 395 a 400, esperado "_s + seisDigitos(esperado_);
    });
    alternativo_ = esperado_ + 1;
    esperado_ = v >= 0 ? v + 1 : esperado_ + 1;
}

void Conferente::termina(int status)
{
    if (faltam_)
        quebraSequencia(); // the source ends inside a sequence
    conferencia_.codigo_ = status;
    if (status != 0)
        return; // what was not read is not judged
    if ((tamanho_ == 400 || tamanho_ == 444) && algumaLinha_ && todas240_)
        constata(1, [&] {
            return u"todas as linhas têm 240 caracteres: o arquivo parece ser de registros de 240 posições, e o serviço usa "
                   "registros de "_s
                + QString::number(tamanho_);
        });
    if (leiaute_ == Leiaute::Cnab400 && ultimo_[0] != '9')
        constata(linhaUltimo_, [] { return u"o último registro não começa com \"9\""_s; });
    if (leiaute_ == Leiaute::Cnab240 && ultimo_[7] == '9' && numero(ultimo_.data() + 23, 6) != registros_)
        constata(linhaUltimo_, [&] {
            return u"o trailer do arquivo informa "_s + campo(ultimo_.data() + 23, 6)
                + u" registros nas posições 24 a 29, mas o arquivo tem "_s + QString::number(registros_);
        });
}

QString textoConstatacao(const Constatacao &c, bool maiuscula)
{
    return (maiuscula ? u"Linha "_s : u"linha "_s) + QString::number(c.linha) + u": "_s + c.texto;
}

int ConfereArquivo(const QString &origem, int tamanhoRegistro, Conferencia &conferencia, bool converteUtf8)
{
    conferencia = Conferencia();
    winfs::FileReader leitor;
    if (const int codigo = leitor.open(origem)) {
        IOResult();
        conferencia.codigo_ = codigo;
        return codigo;
    }
    winfs::FileWriter nada;
    nada.open(std::make_unique<Descarte>());
    VerificaArquivo(leitor, nada, tamanhoRegistro, {}, &conferencia, converteUtf8);
    nada.close();
    leitor.close();
    if (conferencia.codigo_)
        IOResult();
    return conferencia.codigo_;
}

} // namespace remessa
