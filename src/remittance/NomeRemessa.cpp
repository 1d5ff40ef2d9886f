#include "remittance/NomeRemessa.h"

namespace remessa {

bool contratoCompleto(const QString &sistema)
{
    return sistema == QLatin1String("COB") || sistema == QLatin1String("CCC") || sistema == QLatin1String("DEL");
}

QString nomePadrao(const DadosNome &d)
{
    const QString contrato = contratoCompleto(d.sistema) ? d.contrato : d.contrato.mid(2, 7);
    return d.sistema + d.servicoId + d.servico + d.dia + QString::number(d.sequencia) + d.agencia + contrato
        + (d.producao ? QLatin1Char('P') : QLatin1Char('T')) + QStringLiteral(".TXT");
}

} // namespace remessa
