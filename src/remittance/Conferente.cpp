#include "remittance/Conferente.h"

#include "platform/filesystem/texto1252.h"

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace remessa {

namespace {

// Characters of a cut shown in its finding.
constexpr int CaracteresDoCorte = 40;

} // namespace

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
        char32_t c = 0;
        if (const int tam = winfs::utf8::decodifica(p + i, n - i, c); tam > 0) {
            out += QString::fromUcs4(&c, 1);
            i += tam;
            continue;
        }
        out += QChar(winfs::caractere1252(b));
        ++i;
    }
    return out;
}

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

QString campo(const char *p, int n)
{
    const QString texto = legivel(reinterpret_cast<const unsigned char *>(p), n);
    return numero(p, n) < 0 ? u'"' + texto + u'"' : texto;
}

QString digitos(qint64 v, int n)
{
    return QString::number(v).rightJustified(n, u'0');
}

Conferente::Conferente(Conferencia &conferencia, int tamanhoRegistro)
    : conferencia_(conferencia), constata_(conferencia), tamanho_(std::max(tamanhoRegistro, 0)), impressao_(tamanho_ + 2)
{
    conferencia_ = Conferencia();
}

// ---------------------------------------------------------------- bytes of a line

void Conferente::raro(unsigned char b, qint64 posicao)
{
    if (b >= 0x80) {
        if (faltam_) {
            if (winfs::utf8::continuacao(b)) {
                caractere_ = caractere_ << 6 | (b & 0x3F);
                if (--faltam_ == 0)
                    completaSequencia(posicao);
                return;
            }
            quebraSequencia();
        }
        bytesSequencia_ = winfs::utf8::comprimento(b);
        if (bytesSequencia_ == 0) {
            // A Windows-1252 byte, or a stray piece of a sequence.
            conferencia_.utf8Invalido_ = true;
            return;
        }
        faltam_ = bytesSequencia_ - 1;
        caractere_ = winfs::utf8::bitsIniciais(b, bytesSequencia_);
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
    if (!winfs::utf8::valido(caractere_, bytesSequencia_)) {
        conferencia_.utf8Invalido_ = true;
        return;
    }
    conferencia_.multibyte_ = true;
    if (caractere_ == winfs::utf8::Bom && fins_ == 0 && posicao == Bom) {
        bom_ = true;
        return;
    }
    if (winfs::byte1252(caractere_) < 0)
        conferencia_.fora1252_ = true;
    const auto fim = utf8_.begin() + quantosUtf8_;
    if (quantosUtf8_ < CaracteresUtf8 && std::find(utf8_.begin(), fim, caractere_) == fim)
        utf8_[size_t(quantosUtf8_++)] = caractere_;
}

void Conferente::cortados(const unsigned char *p, qint64 n, qint64 inicio)
{
    if (inicio < Bom)
        std::memcpy(inicioDoCorte_.data() + inicio, p, size_t(std::min<qint64>(n, Bom - inicio)));
    // What is shown starts at the first byte of text: blanks before it would hide it.
    qint64 pulados = 0;
    if (textoCortado_ < 0) {
        pulados = varredura::procuraTexto(p, p + n) - p;
        if (pulados == n)
            return;
        textoCortado_ = inicio + pulados;
    }
    const qint64 onde = inicio + pulados - textoCortado_;
    if (onde < Captura)
        std::memcpy(corte_.data() + onde, p + pulados, size_t(std::min<qint64>(n - pulados, Captura - onde)));
    if (const qint64 k = varredura::depoisDoUltimoTexto(p, n))
        ultimoCortado_ = inicio + k;
}

// ---------------------------------------------------------------- the line is over

QString Conferente::textoDoCorte() const
{
    const qint64 comTexto = ultimoCortado_ - textoCortado_;
    const QString cortado = legivel(corte_.data(), std::min<qint64>(comTexto, Captura));
    const bool alem = cortado.size() > CaracteresDoCorte || comTexto > Captura;
    QString mostrado;
    if (!alem && textoCortado_ + cortado.size() <= CaracteresDoCorte) {
        // All of it, the blanks before the text included.
        mostrado = QString(textoCortado_, u' ') + cortado;
    } else {
        // The text from its start, an ellipsis for the blanks before it and for more text than is shown.
        QString texto = cortado.left(CaracteresDoCorte);
        while (texto.endsWith(u' '))
            texto.chop(1);
        mostrado = (textoCortado_ > 0 ? u"…"_s : QString()) + texto + (alem ? u"…"_s : QString());
    }
    const QString posicao = QString::number(tamanho_);
    return (ultimoCortado_ == 1 ? u"1 caractere além da posição "_s + posicao + u" cortado: \""_s
                                : QString::number(ultimoCortado_) + u" caracteres além da posição "_s + posicao + u" cortados: \""_s)
        + mostrado + u'"';
}

void Conferente::fechaLinhaInteira(const char *registro, bool escrito, qint64 comprimento)
{
    const qint64 linha = fins_ + 1;
    if (faltam_)
        quebraSequencia();
    if (bom_)
        constata_(linha, [] { return u"marca de UTF-8 (bytes EF BB BF) no início do arquivo"_s; });
    if (quantosUtf8_)
        constata_(linha, [&] {
            return u"texto em UTF-8, com mais de um byte por caractere: \""_s + QString::fromUcs4(utf8_.data(), quantosUtf8_) + u'"';
        });
    if (ultimoCortado_)
        constata_(linha, [&] { return textoDoCorte(); });
    if (escrito && controles_)
        constata_(linha, [&] {
            QString texto = u"caractere de controle (código "_s + QString::number(codigoControle_) + u") na posição "_s
                + QString::number(posicaoControle_);
            if (controles_ > 1)
                texto += u" e mais "_s + QString::number(controles_ - 1) + u" na mesma linha"_s;
            return texto;
        });
    if (escrito || ultimoCortado_) {
        if (linhasComTexto_++ == 0)
            primeiraLinha_ = linha;
        linhas240_ += comprimento - (bom_ ? Bom : 0) == 240;
    }
    if (escrito)
        confereRegistro(registro, linha, comprimento);
    bom_ = false;
    quantosUtf8_ = 0;
    controles_ = 0;
    textoCortado_ = -1;
    ultimoCortado_ = 0;
}

void Conferente::confereRegistro(const char *registro, qint64 linha, qint64 comprimento)
{
    // The rules read the record without a byte order mark before it.
    const char *r = registro;
    qint64 lido = comprimento;
    if (bom_ && tamanho_ >= Bom) {
        semBom_.assign(registro + Bom, registro + tamanho_);
        const qint64 cortados = std::clamp<qint64>(comprimento - tamanho_, 0, Bom);
        semBom_.insert(semBom_.end(), inicioDoCorte_.begin(), inicioDoCorte_.begin() + cortados);
        semBom_.resize(size_t(tamanho_), ' ');
        r = semBom_.data();
        lido -= Bom;
    }
    if (++registros_ == 1)
        reconhece(r, linha, lido);
    if (leiaute_ == Leiaute::Outro)
        return;

    // A record that ends in a blank before its length lost a character inside
    // (a writer that strips trailing blanks ends a line in text).
    if (lido > 0 && lido < tamanho_) {
        const char ultimo = comprimento <= tamanho_ ? registro[comprimento - 1] : inicioDoCorte_[size_t(comprimento - tamanho_ - 1)];
        if (ultimo == ' ')
            constata_(linha, [&] {
                const qint64 faltam = tamanho_ - lido;
                return u"registro de "_s + QString::number(lido) + u" caracteres terminado em branco, esperados "_s
                    + QString::number(tamanho_) + u": "_s
                    + (faltam == 1 ? u"falta 1 caractere"_s : u"faltam "_s + QString::number(faltam) + u" caracteres"_s)
                    + u" no meio do registro"_s;
            });
    }
    if (leiaute_ == Leiaute::Cnab400)
        cnab400_.registro(r, linha, constata_);
    else
        cnab240_.registro(r, linha, constata_);
}

void Conferente::reconhece(const char *r, qint64 linha, qint64 comprimento)
{
    if (tamanho_ == RegrasCnab400::Tamanho && RegrasCnab400::reconhece(r)) {
        leiaute_ = Leiaute::Cnab400;
    } else if (tamanho_ >= 8 && RegrasCnab240::reconhece(r)) {
        if (tamanho_ == RegrasCnab240::Tamanho) {
            leiaute_ = Leiaute::Cnab240;
        } else if (comprimento <= RegrasCnab240::Tamanho) {
            outroLeiaute_ = true;
            constata_(linha, [&] {
                return u"header de arquivo CNAB 240 (lote 0000, registro tipo \"0\"): o arquivo parece ser de registros de 240 "
                       "posições, e o serviço usa registros de "_s
                    + QString::number(tamanho_);
            });
        }
    }
}

void Conferente::termina(int status)
{
    if (faltam_)
        quebraSequencia(); // the source ends inside a sequence
    conferencia_.codigo_ = status;
    conferencia_.impressao_ = impressao_.valor();
    if (status != 0)
        return; // what was not read is not judged
    if ((tamanho_ == 400 || tamanho_ == 444) && !outroLeiaute_ && linhas240_ * 2 > linhasComTexto_)
        constata_(primeiraLinha_, [&] {
            return (linhas240_ == linhasComTexto_ ? u"todas as linhas"_s
                                                 : QString::number(linhas240_) + u" das "_s + QString::number(linhasComTexto_) + u" linhas"_s)
                + u" têm 240 caracteres: o arquivo parece ser de registros de 240 posições, e o serviço usa registros de "_s
                + QString::number(tamanho_);
        });
    if (leiaute_ == Leiaute::Cnab400) {
        cnab400_.termina(constata_);
    } else if (leiaute_ == Leiaute::Cnab240) {
        cnab240_.termina(constata_);
        conferencia_.sequencia_ = cnab240_.sequenciaArquivo();
        conferencia_.linhaHeader_ = cnab240_.linhaHeader();
    }
}

} // namespace remessa
