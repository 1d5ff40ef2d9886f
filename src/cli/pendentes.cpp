#include "cli/pendentes.h"

#include "cli/terminal.h"
#include "db/rules.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/tables/query.h"
#include "return/PadraoNome.h"

#include <QSet>

#include <algorithm>

namespace zqcli {

namespace {

using Tipo = Ocorrencia::Tipo;

// The names and stamps the log holds for the remittances of a contract: a
// file among them was renamed before.
QSet<QString> renomeados(const remessa::Contrato &c)
{
    zqdb::Consulta q(sql::RemessasDoContrato);
    q.paramByName(QStringLiteral("Agencia")).setAsSmallInt(c.agencia);
    q.paramByName(QStringLiteral("Contrato")).setAsInteger(c.contrato);
    q.paramByName(QStringLiteral("Servico")).setAsString(c.servico);
    q.open();
    QSet<QString> chaves;
    const tables::Field *nome = q.campo("ArqNomeOrigem");
    const tables::Field *data = q.campo("ArqDataOrigem");
    const tables::Field *hora = q.campo("ArqHoraOrigem");
    q.forEachRow([&] { chaves.insert(nome->asString() + QLatin1Char('|') + QDateTime(data->asDate(), hora->asTime()).toString(Qt::ISODate)); });
    return chaves;
}

// A file another program holds for writing (the ERP still at it).
bool emUso(const QString &arquivo)
{
    winfs::FileReader leitor;
    const int codigo = leitor.open(arquivo);
    IOResult();
    return codigo == ioSharingViolation || codigo == ioLockViolation;
}

// What a job said for one file, as text with "\n" line ends.
struct Fala {
    QString texto;
    QTextStream fluxo{&texto};
    QString motivo()
    {
        fluxo.flush();
        return texto.trimmed();
    }
};

// Tells one file's end and counts it.
void relata(const Relato &relato, Balanco &b, Tipo tipo, const QString &arquivo, const QString &motivo, const QString &origem = {})
{
    switch (tipo) {
    case Tipo::Entregue: ++b.entregues; break;
    case Tipo::Retido: ++b.retidos; break;
    case Tipo::Aguardando: ++b.aguardando; break;
    case Tipo::Falhou: ++b.falhas; break;
    }
    if (relato)
        relato({tipo, arquivo, motivo, origem});
}

} // namespace

void Balanco::soma(const Balanco &outro)
{
    entregues += outro.entregues;
    retidos += outro.retidos;
    aguardando += outro.aguardando;
    falhas += outro.falhas;
    if (outro.proximaVez.isValid() && (!proximaVez.isValid() || outro.proximaVez < proximaVez))
        proximaVez = outro.proximaVez;
    pastasEsperadas += outro.pastasEsperadas;
}

Balanco remessasPendentes(const remessa::Contrato &c, const OpcoesPendentes &opcoes, const Relato &relato, const Parada &parada)
{
    Balanco b;
    const QString pasta = winfs::excludeTrailingBackslash(c.dirRemessa);
    if (!winfs::directoryExists(pasta)) {
        relata(relato, b, Tipo::Falhou, pasta,
               QStringLiteral("A pasta de remessa do contrato %1 não existe").arg(contratoTexto(c.agencia, c.contrato)));
        return b;
    }
    // Delivered files are never taken for new remittances.
    if (winfs::sameFile(pasta, remessa::pastaSaida(c))) {
        relata(relato, b, Tipo::Falhou, pasta,
               QStringLiteral("A pasta de remessa do contrato %1 é a pasta de saída").arg(contratoTexto(c.agencia, c.contrato)));
        return b;
    }
    // The files the remittance window lists: ordinary ones, no folders, nothing hidden.
    QList<winfs::SearchRec> arquivos = winfs::findFiles(pasta + QStringLiteral("\\*.*"), winfs::faReadOnly | winfs::faArchive);
    std::sort(arquivos.begin(), arquivos.end(), [](const winfs::SearchRec &a, const winfs::SearchRec &b) {
        return a.time != b.time ? a.time < b.time : a.name < b.name;
    });
    const QSet<QString> antes = renomeados(c);
    const QDateTime agora = Now();
    for (const winfs::SearchRec &r : arquivos) {
        if (parada && parada())
            break;
        const QString origem = pasta + QLatin1Char('\\') + r.name;
        if (antes.contains(origem + QLatin1Char('|') + r.time.toString(Qt::ISODate)))
            continue;
        // The ERP may still be writing it.
        const QDateTime assentado = r.time.addSecs(opcoes.estavel);
        if (assentado > agora) {
            if (!b.proximaVez.isValid() || assentado < b.proximaVez)
                b.proximaVez = assentado;
            relata(relato, b, Tipo::Aguardando, origem, QStringLiteral("modificado há menos de %1 segundos").arg(opcoes.estavel));
            continue;
        }
        Fala fala;
        TerminalRemessa terminal(fala.fluxo, {false, false, opcoes.mesmoAssim, opcoes.converte, true});
        remessa::RenomeiaRemessa job(terminal);
        remessa::Composicao composicao;
        try {
            switch (job.compoe(c, origem, opcoes.producao, composicao)) {
            case remessa::Composto::Nome:
                break;
            case remessa::Composto::EmUso:
                relata(relato, b, Tipo::Aguardando, origem, QStringLiteral("em uso por outro programa"));
                continue;
            case remessa::Composto::SemServico:
            case remessa::Composto::LimiteDoDia:
                relata(relato, b, Tipo::Retido, origem, fala.motivo());
                continue;
            default: // gone, or renamed meanwhile by another run
                continue;
            }
            switch (job.renomeia(c, remessa::pastaSaida(c), composicao)) {
            case remessa::Resultado::Renomeado:
                relata(relato, b, Tipo::Entregue, job.entregue(), QString(), origem);
                break;
            case remessa::Resultado::NaoConferido:
            case remessa::Resultado::LimiteDoDia:
            case remessa::Resultado::SubstituicaoRecusada:
                relata(relato, b, Tipo::Retido, origem, fala.motivo());
                break;
            case remessa::Resultado::SemOrigem:
            case remessa::Resultado::JaRenomeado:
                break;
            case remessa::Resultado::Falhou:
                relata(relato, b, Tipo::Falhou, origem, fala.motivo());
                break;
            }
        } catch (const Exception &e) {
            relata(relato, b, Tipo::Falhou, origem, linhas(textoDoErro(e)));
        }
    }
    return b;
}

Relato relatoNoTerminal(QTextStream &out, QTextStream &err)
{
    return [&out, &err](const Ocorrencia &o) {
        switch (o.tipo) {
        case Tipo::Entregue:
            out << o.arquivo << Qt::endl;
            break;
        case Tipo::Aguardando:
            err << o.arquivo << QStringLiteral(": aguardando (") << o.motivo << ')' << Qt::endl;
            break;
        case Tipo::Retido:
        case Tipo::Falhou:
            err << o.arquivo << ":\n" << o.motivo << Qt::endl;
            break;
        }
    };
}

QStringList pastasDeEntrada()
{
    QStringList pastas;
    zqdb::Consulta rsi(sql::RetornosAceitos);
    rsi.open();
    for (rsi.first(); !rsi.eof(); rsi.next()) {
        const QString pasta = QStringLiteral("C:\\ZQ\\") + rsi.campo("IdSis")->asString() + QStringLiteral("\\ENTRADA");
        if (!pastas.contains(pasta))
            pastas << pasta;
    }
    return pastas;
}

Balanco retornosPendentes(bool substitui, const Relato &relato, const Parada &parada)
{
    Balanco b;
    QList<retorno::Encontrado> encontrados = retorno::retornosPendentes();
    // The file date leads the name (yyyymmdd): oldest first, otherwise as found.
    std::stable_sort(encontrados.begin(), encontrados.end(),
                     [](const retorno::Encontrado &a, const retorno::Encontrado &b) { return a.nome.left(8) < b.nome.left(8); });
    for (const retorno::Encontrado &e : std::as_const(encontrados)) {
        if (parada && parada())
            break;
        const QString origem = e.pasta + QLatin1Char('\\') + e.nome;
        Fala fala;
        TerminalRetorno terminal(fala.fluxo, substitui);
        retorno::RenomeiaRetorno job(terminal);
        try {
            int tamanho = 0;
            retorno::Contrato c;
            if (job.identificaNome(e.pasta, e.nome, tamanho) != retorno::Nome::Aceito
                || job.identificaContrato(e.nome, tamanho, c) != retorno::ContratoDoArquivo::Identificado) {
                relata(relato, b, Tipo::Falhou, origem, fala.motivo());
                continue;
            }
            // The transfer program may still be writing it.
            if (emUso(origem)) {
                relata(relato, b, Tipo::Aguardando, origem, QStringLiteral("em uso por outro programa"));
                continue;
            }
            const PadraoNome padrao = LePadraoNome();
            const QString nome = MontaNomeRetorno(padrao.nome.value_or(QString()), padrao.extensao.value_or(QString()));
            switch (job.entrega(c, zqdb::incomingFolder(c.sistema), e.nome, tamanho, nome, {true, !substitui})) {
            case retorno::Resultado::Renomeado:
                relata(relato, b, Tipo::Entregue, job.entregue(), QString(), origem);
                break;
            case retorno::Resultado::JaEntregue:
                break;
            case retorno::Resultado::Aguardando: {
                const QString pasta = winfs::excludeTrailingBackslash(c.dirRetorno);
                b.pastasEsperadas << pasta;
                relata(relato, b, Tipo::Aguardando, origem,
                       QStringLiteral("o arquivo %1\\%2 ainda não foi retirado da pasta de retorno").arg(pasta, nome));
                break;
            }
            default:
                relata(relato, b, Tipo::Falhou, origem, fala.motivo());
                break;
            }
        } catch (const Exception &ex) {
            relata(relato, b, Tipo::Falhou, origem, linhas(textoDoErro(ex)));
        }
    }
    return b;
}

} // namespace zqcli
