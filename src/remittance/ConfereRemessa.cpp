#include "remittance/ConfereRemessa.h"
#include "remittance/Conferente.h"

#include "platform/filesystem/filehandles.h"
#include "platform/runtime/errors.h"

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace remessa {

namespace {

struct Descarte : winfs::ByteSink {
    int write(const char *, qint64) override { return 0; }
};

} // namespace

Constatacao Constatacao::conteudoIgual(const QString &nomeEntregue, const QDateTime &entrega)
{
    return {0, u"conteúdo igual ao do arquivo "_s + nomeEntregue + u" entregue em "_s + entrega.toString(u"dd/MM/yyyy"_s) + u" às "_s
                   + entrega.toString(u"hh:mm:ss"_s)};
}

Constatacao Constatacao::sequenciaNaoMaior(int sequencia, int ultima, qint64 linha)
{
    return {linha, u"sequencial do arquivo "_s + digitos(sequencia, 6) + u" nas posições 158 a 163 não é maior que o do último arquivo "_s
                       u"entregue para o contrato, "_s + digitos(ultima, 6)};
}

void Conferencia::guarda(const Constatacao &c)
{
    // Findings of the end of the file, or made from the log, may concern earlier lines.
    const auto onde = std::upper_bound(constatacoes_.cbegin(), constatacoes_.cend(), c.linha,
                                       [](qint64 l, const Constatacao &k) { return l < k.linha; });
    constatacoes_.insert(onde, c);
    if (constatacoes_.size() > Guardadas)
        constatacoes_.removeLast();
}

void Conferencia::acrescenta(const Constatacao &c)
{
    Constatador(*this)(c.linha, [&] { return c.texto; });
}

QString textoConstatacao(const Constatacao &c, bool maiuscula)
{
    if (c.linha == 0)
        return maiuscula && !c.texto.isEmpty() ? c.texto.left(1).toUpper() + c.texto.mid(1) : c.texto;
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
