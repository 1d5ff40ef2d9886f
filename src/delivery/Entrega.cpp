#include "delivery/Entrega.h"

#include "platform/runtime/errors.h"

#include <exception>

namespace entrega {

void Lancamento::acrescenta(const zqdb::RegistroArq &registro)
{
    novo_ = zqdb::acrescentaRegistroArq(registro);
}

void Lancamento::regrava(qint64 id, const zqdb::RegistroArq &registro)
{
    antes_ = zqdb::leRegistroArq(id);
    if (antes_ && zqdb::regravaRegistroArq(id, registro)) {
        regravado_ = id;
        return;
    }
    antes_.reset();
    acrescenta(registro);
}

void Lancamento::desfaz()
{
    zqdb::TransacaoLog transacao;
    if (novo_ != 0)
        zqdb::excluiRegistroArq(novo_);
    else if (regravado_ != 0 && antes_)
        zqdb::regravaRegistroArq(regravado_, *antes_);
    transacao.commit();
    novo_ = regravado_ = 0;
    antes_.reset();
}

Conclusao conclui(winfs::Entrega &entrega, Substituicao politica, Lancamento &lancamento)
{
    // Bytes that may not be on disk are no delivery: a full disk shows here at the latest.
    if (const int codigo = entrega.conclui()) {
        IOResult();
        return {Desfecho::Incompleta, causaDaFalha(codigo, entrega.destino(), true)};
    }
    {
        zqdb::TransacaoLog transacao;
        if (!lancamento.registra(entrega, politica))
            return {Desfecho::Recusada, QString()};
        transacao.commit();
    }
    entrega.etapa(EtapaEntrega::Registrado);
    const winfs::Entrega::Colocacao colocacao = entrega.colocaNoLugar(politica);
    if (colocacao == winfs::Entrega::Colocacao::NoLugar)
        return {Desfecho::Entregue, QString()};
    // The row goes with the file; a row that cannot be undone keeps the whole
    // file for the next cleanup to complete.
    try {
        lancamento.desfaz();
    } catch (const std::exception &) {
        entrega.preserva();
        throw;
    }
    return {colocacao == winfs::Entrega::Colocacao::NomeOcupado ? Desfecho::NomeOcupado : Desfecho::SemNome, QString()};
}

void limpaPasta(const QString &pasta, bool remessa, winfs::Sobras sobras)
{
    sobras.registrada = [remessa](const QString &nome, const QDateTime &marca) {
        return zqdb::entregaRegistrada(nome, marca, remessa);
    };
    try {
        winfs::limpaSobras(pasta, sobras);
    } catch (const std::exception &) {
        // The log cannot be read now: the next cleanup tries again.
    }
}

QString causaDaFalha(int codigo, const QString &arquivo, bool gravacao)
{
    const QString verbo = gravacao ? QStringLiteral("gravar") : QStringLiteral("ler");
    switch (codigo) {
    case ioDiskFull:
        return QStringLiteral("Não há espaço no disco para gravar o arquivo ") + arquivo;
    case ioAccessDenied:
        return QStringLiteral("Acesso negado ao ") + verbo + QStringLiteral(" o arquivo ") + arquivo;
    case ioSharingViolation:
    case ioLockViolation:
        return QStringLiteral("O arquivo ") + arquivo + QStringLiteral(" está em uso por outro programa");
    case ioFileNotFound:
        return QStringLiteral("O arquivo ") + arquivo + QStringLiteral(" não existe");
    case ioPathNotFound:
        return QStringLiteral("A pasta do arquivo ") + arquivo + QStringLiteral(" não existe");
    case ioWriteFault:
        return QStringLiteral("Erro do disco ao gravar o arquivo ") + arquivo;
    case ioReadFault:
        return QStringLiteral("Erro do disco ao ler o arquivo ") + arquivo;
    default:
        return QStringLiteral("Não foi possível ") + verbo + QStringLiteral(" o arquivo ") + arquivo + QStringLiteral(" (")
            + inOutErrorMessage(codigo) + QLatin1Char(')');
    }
}

} // namespace entrega
