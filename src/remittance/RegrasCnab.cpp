#include "remittance/RegrasCnab.h"

#include "remittance/Conferente.h"

#include <QDate>

#include <cstring>

using namespace Qt::StringLiterals;

namespace remessa {

// ---------------------------------------------------------------- CNAB 400

bool RegrasCnab400::reconhece(const char *header)
{
    return std::memcmp(header, "01REMESSA", 9) == 0;
}

void RegrasCnab400::registro(const char *r, qint64 linha, Constatador &constata)
{
    tipoUltimo_ = r[0];
    linhaUltimo_ = linha;
    // One record dropped, doubled or misnumbered is one finding: the count
    // goes on from the number found, or from the one expected when the next
    // record shows that only this record's number was wrong.
    const char *sequencial = r + 394;
    const qint64 v = numero(sequencial, 6);
    if (v == esperado_ || (alternativo_ >= 0 && v == alternativo_)) {
        esperado_ = v + 1;
        alternativo_ = -1;
        return;
    }
    constata(linha, [&] {
        return u"número sequencial "_s + campo(sequencial, 6) + u" nas posições 395 a 400, esperado "_s + digitos(esperado_, 6);
    });
    alternativo_ = esperado_ + 1;
    esperado_ = v >= 0 ? v + 1 : esperado_ + 1;
}

void RegrasCnab400::termina(Constatador &constata) const
{
    if (tipoUltimo_ != '9')
        constata(linhaUltimo_, [] { return u"o último registro não começa com \"9\""_s; });
}

// ---------------------------------------------------------------- CNAB 240

namespace {

QString tipoTexto(char tipo)
{
    return u'"' + legivel(reinterpret_cast<const unsigned char *>(&tipo), 1) + u'"';
}

} // namespace

bool RegrasCnab240::reconhece(const char *header)
{
    return numero(header, 3) >= 0 && std::memcmp(header + 3, "0000", 4) == 0 && header[7] == '0';
}

std::optional<int> RegrasCnab240::sequenciaArquivo() const
{
    return sequencia_ >= 0 ? std::optional<int>(int(sequencia_)) : std::nullopt;
}

void RegrasCnab240::registro(const char *r, qint64 linha, Constatador &constata)
{
    ++registros_;
    linhaUltimo_ = linha;
    if (registros_ == 1) {
        header(r, linha, constata);
        return;
    }
    if (fimDoArquivo_) {
        if (!depoisAvisado_)
            constata(linha, [] { return u"registro depois do trailer do arquivo"_s; });
        depoisAvisado_ = true;
        return;
    }
    switch (const char tipo = r[7]) {
    case '1':
        abreLote(r, linha, constata);
        break;
    case '2':
    case '3':
    case '4':
        noLote(r, linha, constata);
        break;
    case '5':
        fechaLote(r, linha, constata);
        break;
    case '9':
        trailer(r, linha, constata);
        break;
    case '0':
        constata(linha, [] { return u"header de arquivo (registro tipo \"0\") fora do início do arquivo"_s; });
        break;
    default:
        constata(linha, [&] { return u"tipo de registro "_s + tipoTexto(tipo) + u" na posição 8, que o CNAB 240 não tem"_s; });
        registrosLote_ += emLote_;
        break;
    }
}

void RegrasCnab240::header(const char *r, qint64 linha, Constatador &constata)
{
    linhaHeader_ = linha;
    sequencia_ = numero(r + 157, 6);
    if (r[142] == '2')
        constata(linha, [] { return u"\"2\" na posição 143 do header: é um arquivo retorno, não uma remessa"_s; });
    const qint64 dia = numero(r + 143, 2);
    const qint64 mes = numero(r + 145, 2);
    const qint64 ano = numero(r + 147, 4);
    if (dia < 0 || mes < 0 || ano < 0 || !QDate::isValid(int(ano), int(mes), int(dia)))
        constata(linha, [&] {
            return u"data de geração \""_s + legivel(reinterpret_cast<const unsigned char *>(r + 143), 8)
                + u"\" nas posições 144 a 151 não é uma data (DDMMAAAA)"_s;
        });
}

void RegrasCnab240::semTrailerDeLote(qint64 linha, Constatador &constata)
{
    constata(linha, [&] {
        return u"o lote "_s + campo(lote_.data(), 4) + u" termina sem o trailer de lote (registro tipo \"5\")"_s;
    });
    emLote_ = false;
}

void RegrasCnab240::foraDeLote(char tipo, qint64 linha, Constatador &constata)
{
    // A run of records outside a lot is one finding.
    if (!foraAvisado_)
        constata(linha, [&] {
            return u"registro tipo "_s + tipoTexto(tipo) + u" fora de um lote: falta o header de lote (registro tipo \"1\")"_s;
        });
    foraAvisado_ = true;
}

void RegrasCnab240::abreLote(const char *r, qint64 linha, Constatador &constata)
{
    if (emLote_)
        semTrailerDeLote(linha, constata);
    ++lotes_;
    const qint64 lote = numero(r + 3, 4);
    if (lote != esperado_)
        constata(linha, [&] {
            return u"lote "_s + campo(r + 3, 4) + u" nas posições 4 a 7 do header de lote, esperado "_s + digitos(esperado_, 4);
        });
    esperado_ = (lote >= 0 ? lote : esperado_) + 1;
    emLote_ = true;
    std::memcpy(lote_.data(), r + 3, 4);
    registrosLote_ = 1;
    loteAvisado_ = false;
    foraAvisado_ = false;
}

void RegrasCnab240::noLote(const char *r, qint64 linha, Constatador &constata)
{
    if (!emLote_) {
        foraDeLote(r[7], linha, constata);
        return;
    }
    ++registrosLote_;
    // One record of a lot with another lot number is one finding per lot.
    if (!loteAvisado_ && std::memcmp(r + 3, lote_.data(), 4) != 0) {
        constata(linha, [&] { return u"lote "_s + campo(r + 3, 4) + u" nas posições 4 a 7, dentro do lote "_s + campo(lote_.data(), 4); });
        loteAvisado_ = true;
    }
}

void RegrasCnab240::fechaLote(const char *r, qint64 linha, Constatador &constata)
{
    if (!emLote_) {
        foraDeLote(r[7], linha, constata);
        return;
    }
    noLote(r, linha, constata);
    if (numero(r + 17, 6) != registrosLote_)
        constata(linha, [&] {
            return u"o trailer do lote "_s + campo(lote_.data(), 4) + u" informa "_s + campo(r + 17, 6)
                + u" registros nas posições 18 a 23, mas o lote tem "_s + QString::number(registrosLote_);
        });
    emLote_ = false;
}

void RegrasCnab240::trailer(const char *r, qint64 linha, Constatador &constata)
{
    if (emLote_)
        semTrailerDeLote(linha, constata);
    fimDoArquivo_ = true;
    if (std::memcmp(r + 3, "9999", 4) != 0)
        constata(linha, [&] { return u"lote "_s + campo(r + 3, 4) + u" nas posições 4 a 7 do trailer do arquivo, esperado 9999"_s; });
    if (numero(r + 17, 6) != lotes_)
        constata(linha, [&] {
            return u"o trailer do arquivo informa "_s + campo(r + 17, 6) + u" lotes nas posições 18 a 23, mas o arquivo tem "_s
                + QString::number(lotes_);
        });
    if (numero(r + 23, 6) != registros_)
        constata(linha, [&] {
            return u"o trailer do arquivo informa "_s + campo(r + 23, 6) + u" registros nas posições 24 a 29, mas o arquivo tem "_s
                + QString::number(registros_);
        });
}

void RegrasCnab240::termina(Constatador &constata)
{
    if (fimDoArquivo_)
        return;
    if (emLote_)
        semTrailerDeLote(linhaUltimo_, constata);
    constata(linhaUltimo_, [] {
        return u"o arquivo termina sem o trailer do arquivo (registro tipo \"9\", lote 9999): parece incompleto"_s;
    });
}

} // namespace remessa
