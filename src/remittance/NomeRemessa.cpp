#include "remittance/NomeRemessa.h"

#include "platform/filesystem/winfs.h"

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

QString nomeTemporario(const QString &destino)
{
    QString nome = winfs::extractFileName(destino);
    if (nome.endsWith(QLatin1String(".TXT"), Qt::CaseInsensitive))
        nome.chop(4);
    return winfs::extractFilePath(destino) + QLatin1Char('.') + nome + QStringLiteral(".parcial");
}

} // namespace remessa
