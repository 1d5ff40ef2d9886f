#include "remittance/VerificaArquivo.h"

#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/texto1252.h"
#include "platform/filesystem/varredura.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "remittance/Conferente.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace remessa {

namespace {

using varredura::CR;
using varredura::FimDeTexto;
using varredura::LF;

// The current line, kept as its fitted form: the first bytes up to the record
// length over a row of blanks, followed by CR LF, plus the full length of the
// line as read (for the progress counter). What is cut goes to the checks,
// and so does the line when it is over.
template <class Checks>
class LinhaAjustada {
public:
    LinhaAjustada(winfs::FileWriter &destino, int tamanho, Checks &checks)
        : destino_(destino), tamanho_(std::max(tamanho, 0)), bytes_(size_t(tamanho_) + 2, ' '), checks_(checks)
    {
        bytes_[size_t(tamanho_)] = CR;
        bytes_[size_t(tamanho_) + 1] = LF;
    }

    // Appends bytes read to the line; only the first record-length bytes are kept.
    void acrescenta(const unsigned char *dados, qint64 quantos)
    {
        const qint64 inicio = comprimento_;
        comprimento_ += quantos;
        if (usados_ >= tamanho_) {
            if (quantos)
                checks_.cortados(dados, quantos, inicio - tamanho_);
            return;
        }
        const qint64 cabem = std::min<qint64>(quantos, tamanho_ - usados_);
        std::memcpy(bytes_.data() + usados_, dados, size_t(cabem));
        // Blank means blanks and control characters only.
        temTexto_ = temTexto_ || varredura::temTexto(dados, cabem);
        usados_ += cabem;
        if (cabem < quantos)
            checks_.cortados(dados + cabem, quantos - cabem, 0);
    }

    qint64 comprimento() const { return comprimento_; }

    // The line is over: the checks see it before it is written.
    void confere() { checks_.fechaLinha(bytes_.data(), temTexto_, comprimento_); }

    // Writes the fitted line with its CR LF unless it is blank, and starts an
    // empty line. Gives the write's code (0 when nothing was written).
    int AjustaLinha()
    {
        int status = 0;
        if (temTexto_) {
            status = destino_.write(bytes_.data(), tamanho_ + 2);
            checks_.entregue(bytes_.data());
        }
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
    Checks &checks_;
};

// The source in blocks, as read or converted from UTF-8 to Windows-1252.
class Entrada {
public:
    Entrada(winfs::FileReader &origem, bool converte)
        : origem_(origem), converte_(converte), bloco_(new unsigned char[winfs::FileBufferSize + winfs::ConversaoUtf8::Retidos])
    {
    }

    // The next block into [p, fim): the read's code (0 while bytes come).
    int le(const unsigned char *&p, const unsigned char *&fim)
    {
        unsigned char *const bloco = bloco_.get();
        p = fim = bloco;
        // The unfinished sequence of the block before comes first.
        const int retidos = converte_ ? conversao_.retidos(bloco) : 0;
        qint64 lidos = 0;
        const int status = origem_.read(bloco + retidos, winfs::FileBufferSize, lidos);
        if (status == ioEndOfFile && retidos > 0) {
            // The source ends inside a sequence: its bytes stay as they are.
            fim = bloco + retidos;
            return 0;
        }
        if (status != 0)
            return status;
        fim = bloco + (converte_ ? conversao_.converte(bloco, retidos + lidos) : lidos);
        return 0;
    }

private:
    winfs::FileReader &origem_;
    const bool converte_;
    winfs::ConversaoUtf8 conversao_;
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

// The pass, with its checks.
template <class Checks>
bool passa(winfs::FileReader &origem, winfs::FileWriter &destino, int tamanhoRegistro, const Progresso &progresso, Checks &checks,
           bool converteUtf8)
{
    auto avisa = [&progresso](Etapa etapa, qint64 posicao) {
        if (progresso)
            progresso(etapa, posicao);
    };
    LinhaAjustada<Checks> linha(destino, tamanhoRegistro, checks);
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
                for (; p < fim && (*p == CR || *p == LF); ++p)
                    checks.fimDeLinha(*p);
                if (p == fim)
                    break;
                emFimDeLinha = false;
                checks.linhaComeca();
            }
            // What the checks need not see byte by byte in one go; the rest one by one.
            const unsigned char *q = checks.procura(p, fim, linha.comprimento() >= tamanhoRegistro);
            if (q != p) {
                checks.comuns();
                linha.acrescenta(p, q - p);
                p = q;
            }
            if (p == fim)
                break;
            if (*p != CR && *p != LF && *p != FimDeTexto) {
                linha.acrescenta(p, 1);
                checks.raro(*p, linha.comprimento());
                ++p;
                continue;
            }
            if (*p == FimDeTexto) {
                fimDoTexto = true;
                break;
            }
            // A line end.
            contador += linha.comprimento();
            avisa(Etapa::Linha, contador);
            linha.confere();
            checks.fimDeLinha(*p);
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
        linha.confere();
        status = linha.AjustaLinha();
    } else if (status == 0 && fimDoTexto) {
        // Text between the last line end and the byte 26 is a last line too.
        linha.confere();
        status = linha.AjustaLinha();
    }
    checks.termina(status == ioEndOfFile ? 0 : status);
    return status == 0 || status == ioEndOfFile;
}

} // namespace

bool VerificaArquivo(winfs::FileReader &origem, winfs::FileWriter &destino, int tamanhoRegistro, const Progresso &progresso,
                     Conferencia *conferencia, bool converteUtf8)
{
    if (!conferencia) {
        SemConferencia nenhuma;
        return passa(origem, destino, tamanhoRegistro, progresso, nenhuma, converteUtf8);
    }
    Conferente conferente(*conferencia, tamanhoRegistro);
    return passa(origem, destino, tamanhoRegistro, progresso, conferente, converteUtf8);
}

} // namespace remessa
