#include "cli/terminal.h"

#include "platform/tables/session.h"

namespace zqcli {

QString textoDoErro(const Exception &erro)
{
    const auto *motor = dynamic_cast<const EDBEngineError *>(&erro);
    if (!motor || motor->errorCount() == 0 || motor->errors(0).errorCode != tables::ErrLocked)
        return erro.message();
    // "Table is busy.\rTable: C:\ZQ\REN\TABELAS\Arq.DB"
    const QString tabela = erro.message().section(QStringLiteral("Table: "), 1).trimmed();
    const int segundos = tables::Session::instance().busyTimeout() / 1000;
    return (tabela.isEmpty() ? QStringLiteral("Uma tabela") : QStringLiteral("A tabela ") + tabela)
        + QStringLiteral(" está em uso por outro programa (esperou %1 segundos); tente de novo mais tarde").arg(segundos);
}

void escreveAchados(QTextStream &saida, const remessa::Conferencia &achados)
{
    for (const remessa::Constatacao &c : achados.constatacoes())
        saida << remessa::textoConstatacao(c, false) << '\n';
}

remessa::Interlocutor::Decisao TerminalRemessa::conferencia(const remessa::Conferencia &achados, const Mensagem &, bool podeConverter)
{
    if (r_.converte && podeConverter)
        return Decisao::Converter;
    if (r_.mesmoAssim)
        return Decisao::Sim;
    escreveAchados(err_, achados);
    if (achados.omitidas() > 0)
        err_ << QStringLiteral("... e mais %1").arg(achados.omitidas()) << '\n';
    err_ << QStringLiteral("Arquivo NÃO foi Renomeado!! (a opção --mesmo-assim o renomeia assim mesmo")
         << (podeConverter ? QStringLiteral("; --converter o converte para Windows-1252)") : QStringLiteral(")")) << Qt::endl;
    return Decisao::Nao;
}

bool TerminalRemessa::pergunta(Pergunta qual, const Mensagem &m)
{
    if (qual == Pergunta::RenomearNovamente)
        return r_.calaRenomeado ? false : responde(r_.deNovo, m, QStringLiteral("--de-novo"));
    return responde(r_.substitui, m, QStringLiteral("--substituir"));
}

} // namespace zqcli
