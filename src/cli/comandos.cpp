#include "cli/comandos.h"

#include "db/rules.h"
#include "db/tables.h"
#include "log/PesquisaLog.h"
#include "delivery/Entrega.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"
#include "platform/tables/query.h"
#include "platform/tables/session.h"
#include "remittance/RenomeiaRemessa.h"
#include "return/PadraoNome.h"
#include "return/RenomeiaRetorno.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>

namespace zqcli {

namespace {

const QString Programa = QStringLiteral("renomeia-zq-cli");

const QString AjudaGeral = QStringLiteral(
    "Uso: renomeia-zq-cli COMANDO [OPÇÕES]\n"
    "Renomeia e entrega os arquivos trocados com o banco, como o Renomeia Arquivos ZQ,\n"
    "sem janelas: na mesma unidade C: (RENOMEIA_ZQ_PREFIX) e nas mesmas tabelas.\n"
    "\n"
    "Comandos:\n"
    "  remessa   renomeia um arquivo remessa e o entrega na pasta de saída\n"
    "  verifica  confere um arquivo remessa sem renomeá-lo\n"
    "  retornos  lista os arquivos retorno à espera nas pastas de entrada\n"
    "  retorno   entrega um arquivo retorno na pasta do seu contrato\n"
    "  log       lista os arquivos renomeados\n"
    "\n"
    "renomeia-zq-cli COMANDO --help mostra as opções de cada comando.\n"
    "Saída: 0 feito; 1 o arquivo não foi renomeado ou entregue (o motivo na saída de erros);\n"
    "2 erro de uso.\n");

const QString AjudaRemessa = QStringLiteral(
    "Uso: renomeia-zq-cli remessa --agencia N --contrato N --servico COD [--teste]\n"
    "                             [--de-novo] [--substituir] [--mesmo-assim | --converter] ARQUIVO\n"
    "Renomeia ARQUIVO (caminho Windows, como C:\\REMESSA\\arquivo.txt, ou do sistema) para o\n"
    "nome padrão do banco, com o número de remessa do dia, ajusta cada linha ao tamanho do\n"
    "registro do serviço, entrega-o na pasta de saída do sistema do contrato e o registra nos\n"
    "arquivos renomeados, como a janela Renomeia Arquivo Remessa. Mostra o caminho do arquivo\n"
    "entregue. Um arquivo com falhas que fazem o banco recusá-lo (linhas cortadas, texto em UTF-8,\n"
    "caracteres de controle, registros de outro tamanho, sequência CNAB errada) não é entregue:\n"
    "as falhas vão para a saída de erros.\n"
    "\n"
    "  --agencia N      agência do contrato\n"
    "  --contrato N     número do contrato ou convênio\n"
    "  --servico COD    código do serviço (66, O6, ...)\n"
    "  --teste          ambiente de teste (letra T); sem ela, produção (P)\n"
    "  --de-novo        renomeia de novo um arquivo já renomeado (sem ela, não)\n"
    "  --substituir     substitui o arquivo de mesmo nome na pasta de saída (sem ela, não)\n"
    "  --mesmo-assim    entrega o arquivo com falhas assim mesmo\n"
    "  --converter      converte um arquivo em UTF-8 para Windows-1252 antes de ajustar as linhas\n");

const QString AjudaVerifica = QStringLiteral(
    "Uso: renomeia-zq-cli verifica (--registro N | --agencia N --contrato N --servico COD) ARQUIVO\n"
    "Confere ARQUIVO como a renomeação o conferiria, sem entregá-lo: mostra uma falha por linha,\n"
    "cada uma começando por \"linha N: \" (a linha do arquivo, a partir de 1).\n"
    "Saída: 0 sem falhas; 1 com falhas; 2 erro de uso ou de leitura.\n"
    "\n"
    "  --registro N     tamanho do registro (240, 400, 444)\n"
    "  --agencia N --contrato N --servico COD\n"
    "                   o tamanho do registro do serviço do contrato\n");

const QString AjudaRetornos = QStringLiteral(
    "Uso: renomeia-zq-cli retornos\n"
    "Lista os arquivos retorno dos contratos cadastrados que estão à espera nas pastas de\n"
    "entrada, como a janela Renomeia Arquivo Retorno os encontra: um por linha, com arquivo,\n"
    "agência, contrato, sistema e data do arquivo.\n");

const QString AjudaRetorno = QStringLiteral(
    "Uso: renomeia-zq-cli retorno [--nome NOME] [--substituir] ARQUIVO\n"
    "Identifica o arquivo retorno ARQUIVO (caminho Windows ou do sistema) pelo seu nome e o\n"
    "entrega na pasta de retorno do seu contrato, com o nome do padrão de C:\\ZQ\\REN\\ZQRen417.config,\n"
    "como a janela Renomeia Arquivo Retorno. Mostra o caminho do arquivo entregue.\n"
    "\n"
    "  --nome NOME      entrega com este nome em vez do nome do padrão\n"
    "  --substituir     substitui o arquivo de mesmo nome na pasta de retorno (sem ela, não)\n");

const QString AjudaLog = QStringLiteral(
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

struct ErroDeUso {
    QString texto;
};

// The options of a command line: those with a value, the marks, the rest.
struct Opcoes {
    QMap<QString, QString> valores;
    QSet<QString> marcas;
    QStringList argumentos;
    QString valor(const QString &nome) const { return valores.value(nome); }
    bool tem(const QString &nome) const { return marcas.contains(nome) || valores.contains(nome); }
};

Opcoes le(const QStringList &args, const QString &comando, const QStringList &comValor, const QStringList &semValor)
{
    Opcoes o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--")) {
            o.argumentos += args.mid(i + 1);
            break;
        }
        if (!a.startsWith(QLatin1String("--")) || a.size() == 2) {
            o.argumentos << a;
            continue;
        }
        QString nome = a.mid(2);
        QString valor;
        const qsizetype igual = nome.indexOf(QLatin1Char('='));
        const bool comIgual = igual >= 0;
        if (comIgual) {
            valor = nome.mid(igual + 1);
            nome = nome.left(igual);
        }
        if (comValor.contains(nome)) {
            if (!comIgual) {
                if (i + 1 >= args.size())
                    throw ErroDeUso{QStringLiteral("A opção --%1 precisa de um valor.").arg(nome)};
                valor = args[++i];
            }
            o.valores.insert(nome, valor);
        } else if (semValor.contains(nome) && !comIgual) {
            o.marcas.insert(nome);
        } else {
            throw ErroDeUso{QStringLiteral("Opção desconhecida do comando %1: %2").arg(comando, a)};
        }
    }
    return o;
}

int inteiro(const Opcoes &o, const QString &nome, int maximo)
{
    bool ok = false;
    const int n = o.valor(nome).toInt(&ok);
    if (!ok || n < 0 || n > maximo)
        throw ErroDeUso{QStringLiteral("Valor inválido para --%1: %2").arg(nome, o.valor(nome))};
    return n;
}

// A Windows path as given (a drive letter or a "\"), or a host path.
QString caminhoWindows(const QString &argumento)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (argumento.contains(QLatin1Char('\\')) || drive.match(argumento).hasMatch())
        return winfs::expandFileName(argumento);
    return winfs::windowsPath(QFileInfo(argumento).absoluteFilePath());
}

// The one file a command works on.
QString arquivoDe(const Opcoes &o, const QString &comando)
{
    if (o.argumentos.size() != 1)
        throw ErroDeUso{o.argumentos.isEmpty() ? QStringLiteral("Informe o ARQUIVO do comando %1.").arg(comando)
                                               : QStringLiteral("O comando %1 trata um ARQUIVO só.").arg(comando)};
    return caminhoWindows(o.argumentos.first());
}

QString linhas(const QString &texto)
{
    return QString(texto).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString contratoTexto(int agencia, int contrato)
{
    return QString::number(agencia).rightJustified(4, QLatin1Char('0')) + QLatin1Char('/')
        + QString::number(contrato).rightJustified(9, QLatin1Char('0'));
}

// A question answered by an option: the answer no is said, with the option that says yes.
void respostaNao(QTextStream &err, const Mensagem &pergunta, const QString &opcao)
{
    err << linhas(pergunta.texto) << '\n'
        << QStringLiteral("Resposta: não (a opção %1 responde sim).").arg(opcao) << Qt::endl;
}

// The findings, one a line, as `verifica` prints them.
void escreveAchados(QTextStream &saida, const remessa::Conferencia &achados)
{
    for (const remessa::Constatacao &c : achados.constatacoes())
        saida << remessa::textoConstatacao(c, false) << '\n';
}

// What both jobs tell, on stderr; success is told by the path on stdout.
template <class Interface>
class Terminal : public Interface {
public:
    explicit Terminal(QTextStream &err) : err_(err) {}
    void mensagem(const Mensagem &m) override { err_ << linhas(m.texto) << Qt::endl; }
    void sucesso(const Mensagem &) override {}

protected:
    QTextStream &err_;
};

class TerminalRemessa : public Terminal<remessa::Interlocutor> {
public:
    TerminalRemessa(QTextStream &err, bool deNovo, bool substitui, bool mesmoAssim, bool converte)
        : Terminal(err), deNovo_(deNovo), substitui_(substitui), mesmoAssim_(mesmoAssim), converte_(converte)
    {
    }
    Decisao conferencia(const remessa::Conferencia &achados, const Mensagem &, bool podeConverter) override
    {
        if (converte_ && podeConverter)
            return Decisao::Converter;
        if (mesmoAssim_)
            return Decisao::Sim;
        escreveAchados(err_, achados);
        if (achados.omitidas() > 0)
            err_ << QStringLiteral("... e mais %1").arg(achados.omitidas()) << '\n';
        err_ << QStringLiteral("Arquivo NÃO foi Renomeado!! (a opção --mesmo-assim o renomeia assim mesmo")
             << (podeConverter ? QStringLiteral("; --converter o converte para Windows-1252)") : QStringLiteral(")")) << Qt::endl;
        return Decisao::Nao;
    }
    bool pergunta(Pergunta qual, const Mensagem &m) override
    {
        const bool novamente = qual == Pergunta::RenomearNovamente;
        const bool sim = novamente ? deNovo_ : substitui_;
        if (!sim)
            respostaNao(err_, m, novamente ? QStringLiteral("--de-novo") : QStringLiteral("--substituir"));
        return sim;
    }

private:
    bool deNovo_;
    bool substitui_;
    bool mesmoAssim_;
    bool converte_;
};

class TerminalRetorno : public Terminal<retorno::Interlocutor> {
public:
    TerminalRetorno(QTextStream &err, bool substitui) : Terminal(err), substitui_(substitui) {}
    bool substitui(const Mensagem &m) override
    {
        if (!substitui_)
            respostaNao(err_, m, QStringLiteral("--substituir"));
        return substitui_;
    }

private:
    bool substitui_;
};

// The source as the remittance window names it in the log: the contract's
// remittance folder as registered and the file's name as the folder holds
// it, so that a file renamed at the window is known here as renamed before.
QString origemComoAJanela(const remessa::Contrato &c, const QString &arquivo)
{
    const QString real = winfs::windowsPath(winfs::hostPath(arquivo));
    const QString pasta = winfs::excludeTrailingBackslash(c.dirRemessa);
    if (!pasta.isEmpty() && winfs::sameFile(winfs::extractFileDir(arquivo), pasta))
        return pasta + QLatin1Char('\\') + winfs::extractFileName(real);
    return real;
}

int remessa_(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const Opcoes o = le(args, QStringLiteral("remessa"), {QStringLiteral("agencia"), QStringLiteral("contrato"), QStringLiteral("servico")},
                        {QStringLiteral("teste"), QStringLiteral("de-novo"), QStringLiteral("substituir"), QStringLiteral("mesmo-assim"),
                         QStringLiteral("converter"), QStringLiteral("help")});
    if (o.tem(QStringLiteral("help"))) {
        out << AjudaRemessa;
        return Sucesso;
    }
    if (o.tem(QStringLiteral("mesmo-assim")) && o.tem(QStringLiteral("converter")))
        throw ErroDeUso{QStringLiteral("Use --mesmo-assim ou --converter, não as duas.")};
    for (const char *obrigatoria : {"agencia", "contrato", "servico"})
        if (!o.tem(QLatin1String(obrigatoria)))
            throw ErroDeUso{QStringLiteral("Informe --%1 do comando remessa.").arg(QLatin1String(obrigatoria))};
    const int agencia = inteiro(o, QStringLiteral("agencia"), 9999);
    const int numero = inteiro(o, QStringLiteral("contrato"), 999999999);
    const QString servico = o.valor(QStringLiteral("servico"));
    const QString arquivo = arquivoDe(o, QStringLiteral("remessa"));

    const std::optional<remessa::Contrato> c = remessa::leContrato(agencia, numero, servico);
    if (!c) {
        err << QStringLiteral("O contrato %1 do serviço %2 não está cadastrado.").arg(contratoTexto(agencia, numero), servico)
            << Qt::endl;
        return Recusa;
    }
    if (!winfs::regularFileExists(arquivo)) {
        err << QStringLiteral("O arquivo %1 não existe.").arg(arquivo) << Qt::endl;
        return Recusa;
    }
    TerminalRemessa terminal(err, o.tem(QStringLiteral("de-novo")), o.tem(QStringLiteral("substituir")),
                             o.tem(QStringLiteral("mesmo-assim")), o.tem(QStringLiteral("converter")));
    remessa::RenomeiaRemessa renomeacao(terminal);
    remessa::Composicao composicao;
    switch (renomeacao.compoe(*c, origemComoAJanela(*c, arquivo), !o.tem(QStringLiteral("teste")), composicao)) {
    case remessa::Composto::SemOrigem:
        err << QStringLiteral("O arquivo %1 não pode ser lido: está em uso por outro programa ou não é um arquivo.").arg(arquivo)
            << Qt::endl;
        return Recusa;
    case remessa::Composto::Nome:
        break;
    default:
        return Recusa;
    }
    if (renomeacao.renomeia(*c, remessa::pastaSaida(*c), composicao) != remessa::Resultado::Renomeado)
        return Recusa;
    out << renomeacao.entregue() << Qt::endl;
    return Sucesso;
}

int verifica_(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const Opcoes o = le(args, QStringLiteral("verifica"),
                        {QStringLiteral("registro"), QStringLiteral("agencia"), QStringLiteral("contrato"), QStringLiteral("servico")},
                        {QStringLiteral("help")});
    if (o.tem(QStringLiteral("help"))) {
        out << AjudaVerifica;
        return Sucesso;
    }
    const bool doContrato = o.tem(QStringLiteral("agencia")) || o.tem(QStringLiteral("contrato")) || o.tem(QStringLiteral("servico"));
    if (o.tem(QStringLiteral("registro")) == doContrato)
        throw ErroDeUso{QStringLiteral("Informe --registro N ou --agencia, --contrato e --servico do comando verifica.")};
    int tamanho = 0;
    if (doContrato) {
        for (const char *obrigatoria : {"agencia", "contrato", "servico"})
            if (!o.tem(QLatin1String(obrigatoria)))
                throw ErroDeUso{QStringLiteral("Informe --%1 do comando verifica.").arg(QLatin1String(obrigatoria))};
        const int agencia = inteiro(o, QStringLiteral("agencia"), 9999);
        const int numero = inteiro(o, QStringLiteral("contrato"), 999999999);
        const QString servico = o.valor(QStringLiteral("servico"));
        const std::optional<remessa::Contrato> c = remessa::leContrato(agencia, numero, servico);
        if (!c)
            throw ErroDeUso{QStringLiteral("O contrato %1 do serviço %2 não está cadastrado.").arg(contratoTexto(agencia, numero), servico)};
        if (!c->servicoCadastrado)
            throw ErroDeUso{QStringLiteral("O serviço %1 do contrato não está cadastrado.").arg(servico)};
        tamanho = c->tamanhoRegistro;
    } else {
        tamanho = inteiro(o, QStringLiteral("registro"), 100000);
    }
    const QString arquivo = arquivoDe(o, QStringLiteral("verifica"));
    remessa::Conferencia achados;
    if (const int codigo = remessa::ConfereArquivo(arquivo, tamanho, achados)) {
        err << entrega::causaDaFalha(codigo, arquivo, false) << Qt::endl;
        return Uso;
    }
    escreveAchados(out, achados);
    out.flush();
    if (achados.omitidas() > 0)
        err << QStringLiteral("... e mais %1").arg(achados.omitidas()) << '\n';
    if (achados.convertivel())
        err << QStringLiteral("O arquivo está em UTF-8 e pode ser convertido para Windows-1252 (opção --converter do comando remessa).")
            << '\n';
    err.flush();
    return achados.limpa() ? Sucesso : Recusa;
}

int retornos_(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const Opcoes o = le(args, QStringLiteral("retornos"), {}, {QStringLiteral("help")});
    if (o.tem(QStringLiteral("help"))) {
        out << AjudaRetornos;
        return Sucesso;
    }
    if (!o.argumentos.isEmpty())
        throw ErroDeUso{QStringLiteral("O comando retornos não tem argumentos: %1").arg(o.argumentos.first())};
    const QList<retorno::Encontrado> encontrados = retorno::retornosPendentes();
    if (encontrados.isEmpty())
        err << linhas(QStringLiteral("Não existem arquivos retorno dos contratos\rcadastrados a serem renomeados")) << Qt::endl;
    for (const retorno::Encontrado &e : encontrados) {
        const zqdb::ReturnFileName nome(e.nome);
        const QStringList colunas{e.pasta + QLatin1Char('\\') + e.nome, QString::number(e.agencia).rightJustified(4, QLatin1Char('0')),
                                  QString::number(e.contrato).rightJustified(9, QLatin1Char('0')), nome.system(), nome.dateText()};
        out << colunas.join(QStringLiteral("  ")) << '\n';
    }
    out.flush();
    return Sucesso;
}

int retorno_(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const Opcoes o = le(args, QStringLiteral("retorno"), {QStringLiteral("nome")}, {QStringLiteral("substituir"), QStringLiteral("help")});
    if (o.tem(QStringLiteral("help"))) {
        out << AjudaRetorno;
        return Sucesso;
    }
    const QString arquivo = arquivoDe(o, QStringLiteral("retorno"));
    const QString pasta = winfs::extractFileDir(arquivo);
    const QString nome = winfs::extractFileName(arquivo);

    TerminalRetorno terminal(err, o.tem(QStringLiteral("substituir")));
    retorno::RenomeiaRetorno renomeacao(terminal);
    int tamanho = 0;
    if (renomeacao.identificaNome(pasta, nome, tamanho) != retorno::Nome::Aceito)
        return Recusa;
    const PadraoNome padrao = LePadraoNome();
    retorno::Contrato c;
    if (renomeacao.identificaContrato(nome, tamanho, c) != retorno::ContratoDoArquivo::Identificado)
        return Recusa;
    const QString destino = o.tem(QStringLiteral("nome"))
        ? o.valor(QStringLiteral("nome"))
        : MontaNomeRetorno(padrao.nome.value_or(QString()), padrao.extensao.value_or(QString()));
    if (renomeacao.entrega(c, zqdb::incomingFolder(c.sistema), nome, tamanho, destino) != retorno::Resultado::Renomeado)
        return Recusa;
    out << renomeacao.entregue() << Qt::endl;
    return Sucesso;
}

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

int log_(const QStringList &args, QTextStream &out, QTextStream &)
{
    const Opcoes o = le(args, QStringLiteral("log"), {QStringLiteral("contrato"), QStringLiteral("data")},
                        {QStringLiteral("remessa"), QStringLiteral("retorno"), QStringLiteral("csv"), QStringLiteral("help")});
    if (o.tem(QStringLiteral("help"))) {
        out << AjudaLog;
        return Sucesso;
    }
    if (!o.argumentos.isEmpty())
        throw ErroDeUso{QStringLiteral("O comando log não tem argumentos: %1").arg(o.argumentos.first())};
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
    if (o.tem(QStringLiteral("remessa")) && o.tem(QStringLiteral("retorno")))
        throw ErroDeUso{QStringLiteral("Use --remessa ou --retorno, não as duas.")};
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

// The alias of the tables, registered as the window program does at its start.
void registraAlias()
{
    tables::Session &s = tables::Session::instance();
    if (s.aliasExists(zqdb::AliasName))
        return;
    s.addAlias(zqdb::AliasName, zqdb::AliasDriver, {QStringLiteral("PATH=") + zqdb::TablesFolder});
    s.saveConfig();
}

} // namespace

int executa(const QStringList &argumentos, QTextStream &out, QTextStream &err)
{
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const QString comando = argumentos.value(0);
    const QStringList resto = argumentos.mid(1);
    try {
        if (comando == QLatin1String("--help") || comando == QLatin1String("-h") || comando == QLatin1String("ajuda")) {
            out << AjudaGeral;
            return Sucesso;
        }
        using Comando = int (*)(const QStringList &, QTextStream &, QTextStream &);
        static const QMap<QString, Comando> comandos{{QStringLiteral("remessa"), remessa_},
                                                     {QStringLiteral("verifica"), verifica_},
                                                     {QStringLiteral("retornos"), retornos_},
                                                     {QStringLiteral("retorno"), retorno_},
                                                     {QStringLiteral("log"), log_}};
        const auto it = comandos.find(comando);
        if (it == comandos.end())
            throw ErroDeUso{comando.isEmpty() ? QStringLiteral("Informe um comando.")
                                              : QStringLiteral("Comando desconhecido: %1").arg(comando)};
        if (!resto.contains(QStringLiteral("--help")))
            registraAlias();
        return it.value()(resto, out, err);
    } catch (const ErroDeUso &e) {
        err << Programa << QStringLiteral(": ") << e.texto << '\n'
            << QStringLiteral("Use renomeia-zq-cli --help para ver os comandos e renomeia-zq-cli COMANDO --help para as opções.")
            << Qt::endl;
        return Uso;
    } catch (const Exception &e) {
        err << linhas(e.message()) << Qt::endl;
        return Recusa;
    }
}

} // namespace zqcli
