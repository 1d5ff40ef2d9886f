// renomeia-zq-cli log: the rows of the log window, as text or CSV for spreadsheets.
#include "cli/comandos.h"
#include "db/tables.h"
#include "log/PesquisaLog.h"
#include "platform/tables/query.h"

#include <QRegularExpression>
#include <QTextStream>

namespace zqcli {

namespace {

const QString Ajuda = QStringLiteral(
    "Uso: renomeia-zq-cli log [--contrato AGENCIA/CONTRATO] [--remessa | --retorno]\n"
    "                         [--data DD/MM/AAAA] [--csv]\n"
    "Lista os arquivos renomeados como a janela Arquivos Renomeados os mostra, na mesma ordem:\n"
    "agência, contrato, data e hora da renomeação, arquivo de origem e nome de destino.\n"
    "\n"
    "  --contrato A/C   só os do contrato C da agência A (por exemplo 1/1234569)\n"
    "  --remessa        só os arquivos remessa\n"
    "  --retorno        só os arquivos retorno\n"
    "  --data D         só os arquivos com data D (a data do próprio arquivo)\n"
    "  --csv            em CSV (UTF-8, separador \";\", com linha de títulos) para planilhas\n");

// Numbers, dates and times as the log window shows them, written without the
// locale's general formatter: a listing writes hundreds of thousands.
QString zeros(int valor, int largura)
{
    return QString::number(valor).rightJustified(largura, QLatin1Char('0'));
}

QString dataTexto(const QDate &d)
{
    return zeros(d.day(), 2) + QLatin1Char('/') + zeros(d.month(), 2) + QLatin1Char('/') + zeros(d.year(), 4);
}

QString horaTexto(const QTime &t)
{
    return zeros(t.hour(), 2) + QLatin1Char(':') + zeros(t.minute(), 2) + QLatin1Char(':') + zeros(t.second(), 2);
}

// A field of RFC 4180 CSV: quoted when it holds the separator, a quote or a line end.
QString campoCsv(const QString &valor)
{
    if (!valor.contains(QLatin1Char(';')) && !valor.contains(QLatin1Char('"')) && !valor.contains(QLatin1Char('\r'))
        && !valor.contains(QLatin1Char('\n')))
        return valor;
    return QLatin1Char('"') + QString(valor).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace

int log(const QStringList &argumentos, QTextStream &out, QTextStream &)
{
    Opcoes o(QStringLiteral("log"), {QStringLiteral("contrato"), QStringLiteral("data")},
             {QStringLiteral("remessa"), QStringLiteral("retorno"), QStringLiteral("csv")});
    o.le(argumentos);
    if (o.ajuda()) {
        out << Ajuda;
        return Sucesso;
    }
    o.semArgumentos();
    zqlog::Filtros filtros;
    if (o.tem(QStringLiteral("contrato"))) {
        static const QRegularExpression formato(QStringLiteral("^(\\d{1,4})/(\\d{1,9})$"));
        const QRegularExpressionMatch m = formato.match(o.valor(QStringLiteral("contrato")));
        if (!m.hasMatch())
            throw ErroDeUso{QStringLiteral("Valor inválido para --contrato: %1 (use AGENCIA/CONTRATO, por exemplo 1/1234569)")
                                .arg(o.valor(QStringLiteral("contrato")))};
        filtros.agencia = m.captured(1).toInt();
        filtros.contrato = m.captured(2).toInt();
    }
    o.exclusivas(QStringLiteral("remessa"), QStringLiteral("retorno"));
    filtros.remessa = o.tem(QStringLiteral("remessa"));
    filtros.retorno = o.tem(QStringLiteral("retorno"));
    if (o.tem(QStringLiteral("data"))) {
        const QDate data = QDate::fromString(o.valor(QStringLiteral("data")), QStringLiteral("dd/MM/yyyy"));
        if (!data.isValid())
            throw ErroDeUso{QStringLiteral("Valor inválido para --data: %1 (use DD/MM/AAAA)").arg(o.valor(QStringLiteral("data")))};
        filtros.data = data;
    }
    const bool csv = o.tem(QStringLiteral("csv"));

    tables::Query q;
    q.databaseName = zqdb::AliasName;
    zqlog::aplica(zqlog::montaPesquisa(filtros), q);
    q.open();
    const tables::Field *agencia = q.fieldByName(QStringLiteral("ArqCtrAgencia"));
    const tables::Field *contrato = q.fieldByName(QStringLiteral("ArqCtrContrato"));
    const tables::Field *data = q.fieldByName(QStringLiteral("ArqDataOper"));
    const tables::Field *hora = q.fieldByName(QStringLiteral("ArqHoraOper"));
    const tables::Field *origem = q.fieldByName(QStringLiteral("ArqNomeOrigem"));
    const tables::Field *destino = q.fieldByName(QStringLiteral("ArqNomeDestino"));
    const QString separador = csv ? QStringLiteral(";") : QStringLiteral("  ");
    const char *fim = csv ? "\r\n" : "\n";
    // The columns of the log window's grid.
    if (csv)
        out << QChar(0xFEFF) << QStringLiteral("Agência;Cont/Conv;Data;Hora;Arquivo Origem;Nome Destino") << fim;
    QString linha;
    q.forEachRow([&] {
        const QVariant dia = data->value();
        const QVariant momento = hora->value();
        const QString valores[] = {
            zeros(agencia->asInteger(), 4),
            zeros(contrato->asInteger(), 9),
            dia.isNull() ? QString() : dataTexto(dia.toDate()),
            momento.isNull() ? QString() : horaTexto(momento.toTime()),
            origem->asString(),
            destino->asString(),
        };
        linha.clear();
        for (int i = 0; i < 6; ++i) {
            if (i)
                linha += separador;
            linha += csv ? campoCsv(valores[i]) : valores[i];
        }
        out << linha << fim;
    });
    out.flush();
    return Sucesso;
}


} // namespace zqcli
