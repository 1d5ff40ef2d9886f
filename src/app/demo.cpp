#include "app/demo.h"

#include "db/installer.h"
#include "db/rules.h"
#include "db/tables.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"
#include "platform/tables/session.h"
#include "platform/tables/statement.h"

#include <QDir>
#include <QDate>
#include <QFile>
#include <QList>

#include <iterator>

namespace zqsetup {

namespace {

struct Agencia {
    int codigo;
    const char *nome;
};

const Agencia Agencias[] = {
    {1, "AGÊNCIA CENTRO"},
    {123, "AGÊNCIA AVENIDA PAULISTA"},
    {456, "AGÊNCIA PORTO ALEGRE"},
};

struct Contrato {
    const char *sistema;
    const char *servico;
    int agencia;
    int contrato;
    const char *descricao;
};

// One contract per system. The COB contract carries a valid modulo-11 check
// digit (agency 0001, contract 00123456 and digit 9); PDZ and IPC numbers
// fit the seven digits their names carry.
const Contrato Contratos[] = {
    {"COB", "66", 1, 1234569, "Contrato de demonstração do sistema COB"},
    {"PDZ", "O6", 123, 7654321, "Contrato de demonstração do sistema PDZ"},
    {"CCC", "CC", 456, 100200300, "Contrato de demonstração do sistema CCC"},
    {"DEL", "DL", 456, 200300400, "Contrato de demonstração do sistema DEL"},
    {"IPC", "IP", 123, 2345678, "Contrato de demonstração do sistema IPC (retornos na pasta do PDZ)"},
};

const QString DemoFolder = QStringLiteral("C:\\DEMO");

QString pastaRemessa(const Contrato &c)
{
    return DemoFolder + QLatin1Char('\\') + QLatin1String(c.sistema) + QStringLiteral("\\REMESSA");
}
QString pastaRetorno(const Contrato &c)
{
    return DemoFolder + QLatin1Char('\\') + QLatin1String(c.sistema) + QStringLiteral("\\RETORNO");
}

QByteArray num(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

// Records of a demo file, each shorter than the record length but one, which
// is longer: the fitting pass pads the short ones with blanks and cuts the
// long one, whose tail says so.
QList<QByteArray> registros(const Contrato &c, int tam, const QByteArray &tipo, const QByteArray &data)
{
    const QByteArray chave = num(c.agencia, 4) + num(c.contrato, 9);
    QList<QByteArray> out;
    out << "0" + tipo + QByteArray(c.sistema) + QByteArray(c.servico) + chave + "EMPRESA DEMONSTRACAO LTDA     " + data;
    out << "1000001" + chave + "TITULO 000001  JOSE DA SILVA                  0000000012345";
    QByteArray longo = "1000002" + chave + "TITULO 000002  MARIA DE SOUZA                 0000000067890 OBS ";
    while (longo.size() < tam)
        longo += "LINHA MAIS LONGA QUE O REGISTRO ";
    out << longo.left(tam) + "<<< ESTE TRECHO PASSA DO TAMANHO DO REGISTRO E E CORTADO";
    out << "1000003" + chave + "TITULO 000003  ANA PEREIRA                   0000000000990";
    out << "9000004" + num(out.size() + 1, 6);
    return out;
}

// A remittance file in one of three line-end styles: CR LF with a blank
// line and a line of blanks and a tab, LF only with a run of empty lines,
// CR only with its last line left without an end. Its header does not open
// with "01REMESSA": short records are no CNAB 400, whose every record carries
// its sequence number in columns 395-400. So the long line is the only thing
// the file checks find.
QByteArray remessa(const Contrato &c, int tam, const QByteArray &data, const QByteArray &fim)
{
    QList<QByteArray> linhas = registros(c, tam, "REMESSA  ", data);
    if (fim == "\r\n") {
        linhas.insert(2, QByteArray());
        linhas.insert(4, "      \t   ");
        return linhas.join(fim) + fim;
    }
    if (fim == "\n") {
        linhas.insert(1, QByteArray());
        linhas.insert(1, QByteArray());
        return fim + linhas.join(fim) + fim + fim;
    }
    linhas.insert(3, QByteArray());
    return linhas.join(fim);
}

// A CNAB 400 remittance of the COB contract: header, three titles and the
// trailer, each record 400 characters with its sequence number in columns
// 395-400, with Portuguese accents; ended by CR LF.
QStringList cnab400(const Contrato &c, const QByteArray &data)
{
    const QString chave = QString::fromLatin1(num(c.agencia, 4) + num(c.contrato, 9));
    struct Titulo {
        const char *sacado;
        const char *endereco;
        const char *valor;
    };
    const Titulo titulos[] = {
        {"JOSÉ DA SILVA", "RUA DA CONCEIÇÃO, 12", "0000000012345"},
        {"MARIA DE SOUZA", "AVENIDA SÃO JOÃO, 450", "0000000067890"},
        {"ASSOCIAÇÃO DE AÇÃO SOCIAL", "PRAÇA DA SÉ, 1", "0000000000990"},
    };
    QStringList out;
    // Text placed at a column (from 1) of a record of blanks.
    auto registro = [&out](std::initializer_list<std::pair<int, QString>> campos) {
        QString r(400, u' ');
        for (const auto &[coluna, texto] : campos)
            r.replace(coluna - 1, texto.size(), texto);
        r.replace(394, 6, QString::number(out.size() + 1).rightJustified(6, u'0'));
        out << r;
    };
    registro({{1, QStringLiteral("01REMESSA01COBRANCA")}, {27, chave}, {47, QStringLiteral("EMPRESA DEMONSTRAÇÃO LTDA")},
              {77, QStringLiteral("001BANCO DEMO")}, {95, QString::fromLatin1(data)}});
    int n = 0;
    for (const Titulo &t : titulos) {
        ++n;
        registro({{1, QStringLiteral("102")}, {4, QStringLiteral("12345678000195")}, {18, chave},
                  {38, QStringLiteral("TITULO %1").arg(n, 6, 10, QLatin1Char('0'))}, {121, QString::fromLatin1(data)},
                  {127, QString::fromLatin1(t.valor)}, {235, QString::fromUtf8(t.sacado)}, {275, QString::fromUtf8(t.endereco)}});
    }
    registro({{1, QStringLiteral("9")}});
    return out;
}

// A return file as the bank sends it: every record fitted to the record
// length and ended by CR LF.
QByteArray retorno(const Contrato &c, int tam, const QByteArray &data)
{
    QByteArray out;
    const QList<QByteArray> linhas = registros(c, tam, "2RETORNO ", data);
    for (const QByteArray &l : linhas)
        out += l.leftJustified(tam, ' ', true) + "\r\n";
    return out;
}

void gravaArquivo(const QString &nome, const QByteArray &bytes, QStringList &gravados)
{
    // A file of that name stays as it is.
    if (winfs::fileGetAttr(nome) >= 0)
        return;
    if (!winfs::forceDirectories(winfs::extractFileDir(nome)))
        throw Exception(QStringLiteral("Não foi possível criar a pasta ") + winfs::extractFileDir(nome));
    QFile f(winfs::hostPath(nome));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush()) {
        const QString why = f.errorString();
        f.close();
        f.remove();
        throw Exception(QStringLiteral("Não foi possível gravar o arquivo ") + nome + QStringLiteral(": ") + why);
    }
    gravados << nome;
}

void criaPasta(const QString &pasta)
{
    if (!winfs::forceDirectories(pasta))
        throw Exception(QStringLiteral("Não foi possível criar a pasta ") + pasta);
}

// Contracts on the drive; a drive without the contract table has none.
qint64 contratosCadastrados()
{
    const QString arquivo = winfs::includeTrailingBackslash(zqdb::TablesFolder) + QStringLiteral("Ctr.db");
    if (winfs::fileGetAttr(arquivo) < 0)
        return 0;
    tables::Connection conn(zqdb::AliasName, zqdb::TablesFolder);
    if (conn.schemaOf(QStringLiteral("Ctr")).isEmpty())
        conn.raiseMissingTable(QStringLiteral("Ctr"));
    tables::Statement st(conn, QStringLiteral("SELECT COUNT(*) FROM Ctr"));
    return st.step() ? st.int64(0) : 0;
}

struct Servico {
    QString sistema;
    int tam = 0;
};

} // namespace

QStringList layOutDemo()
{
    // Whatever fails is reported with the drive it concerns.
    const auto naoMontada = [](const Exception &e) {
        return Exception(QStringLiteral("A demonstração não foi montada na unidade C: em ") + QDir::toNativeSeparators(winfs::driveCDir())
                         + QStringLiteral("\r") + e.message());
    };
    qint64 contratos = 0;
    try {
        contratos = contratosCadastrados();
    } catch (const Exception &e) {
        throw naoMontada(e);
    }
    if (contratos > 0)
        throw Exception(QStringLiteral("A unidade C: em ") + QDir::toNativeSeparators(winfs::driveCDir())
                        + QStringLiteral(" já tem contratos cadastrados: a demonstração só é montada numa unidade sem "
                                         "contratos. Nada foi alterado.\rPara ver a demonstração, use um prefixo novo "
                                         "(RENOMEIA_ZQ_PREFIX=<pasta vazia>)."));
    try {
        zqdb::installTables(zqdb::TablesFolder);

        tables::Connection conn(zqdb::AliasName, zqdb::TablesFolder);
        // The record length and system of each service come from the installed rows.
        QList<Servico> servicos;
        QList<QPair<QString, QString>> pares; // Rsi (IdSis, IdRet) in key order
        {
            for (const Contrato &c : Contratos) {
                tables::Statement st(conn, QStringLiteral("SELECT SisCod, SvcTam FROM Svc WHERE SvcCod = ?"));
                st.bind(1, QString::fromLatin1(c.servico));
                if (!st.step() || st.value(0).toString() != QLatin1String(c.sistema))
                    throw Exception(QStringLiteral("A tabela de serviços não tem o serviço %1 do sistema %2.")
                                        .arg(QLatin1String(c.servico), QLatin1String(c.sistema)));
                servicos.append({st.value(0).toString(), int(st.int64(1))});
            }
            tables::Statement rsi(conn, QStringLiteral("SELECT IdSis, IdRet FROM Rsi ORDER BY IdSis, IdRet"));
            while (rsi.step())
                pares.append({rsi.value(0).toString(), rsi.value(1).toString()});
        }

        const QDate hoje = QDate::currentDate();
        const QByteArray data = hoje.toString(QStringLiteral("ddMMyy")).toLatin1();
        QStringList gravados;
        for (size_t i = 0; i < std::size(Contratos); ++i) {
            const Contrato &c = Contratos[i];
            const int tam = servicos[qsizetype(i)].tam;
            criaPasta(pastaRemessa(c));
            criaPasta(pastaRetorno(c));
            criaPasta(zqdb::outgoingFolder(QLatin1String(c.sistema)));
            const QString entrada = zqdb::incomingFolder(QLatin1String(c.sistema));
            criaPasta(entrada);
            const QString rem = pastaRemessa(c) + QLatin1Char('\\');
            gravaArquivo(rem + QStringLiteral("remessa-crlf.txt"), remessa(c, tam, data, "\r\n"), gravados);
            gravaArquivo(rem + QStringLiteral("remessa-lf.txt"), remessa(c, tam, data, "\n"), gravados);
            gravaArquivo(rem + QStringLiteral("remessa-cr.txt"), remessa(c, tam, data, "\r"), gravados);
            if (QLatin1String(c.sistema) == QLatin1String("COB")) {
                // A CNAB 400 file that passes every check (its accents in
                // Windows-1252), and the same records saved in UTF-8: their
                // accents take two bytes each, so the records come out longer
                // than 400 and the checks offer to convert the file.
                const QString linhas = cnab400(c, data).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
                gravaArquivo(rem + QStringLiteral("remessa-ok.txt"), winfs::toWindows1252(linhas), gravados);
                gravaArquivo(rem + QStringLiteral("remessa-utf8.txt"), linhas.toUtf8(), gravados);
            }

            // The return file: date, system, return identifier, one free
            // character, agency and contract. IPC contracts get theirs as PDZ
            // files in the PDZ folder.
            const QString sistema = QLatin1String(c.sistema) == QLatin1String("IPC") ? QStringLiteral("PDZ")
                                                                                      : QString::fromLatin1(c.sistema);
            QString idRet;
            for (const auto &p : pares)
                if (p.first == sistema) {
                    idRet = p.second;
                    break;
                }
            if (idRet.isEmpty())
                continue; // no identifier of the system: the program would not take the file
            const int digitos = zqdb::contractDigitsOfSystem(sistema);
            const QString nome = hoje.toString(QStringLiteral("yyyyMMdd")) + sistema + idRet + QLatin1Char('X')
                                 + QString::number(c.agencia).rightJustified(4, QLatin1Char('0'))
                                 + QString::number(c.contrato).rightJustified(9, QLatin1Char('0')).right(digitos)
                                 + QStringLiteral(".TXT");
            gravaArquivo(entrada + QLatin1Char('\\') + nome, retorno(c, tam, data), gravados);
        }

        // Agencies and contracts last, all or none: a failure above leaves the
        // drive without contracts, so the demo can be laid out again.
        conn.startTransaction();
        try {
            for (const Agencia &a : Agencias) {
                tables::Statement st(conn, QStringLiteral("INSERT OR IGNORE INTO Age (AgeCod, AgeNome) VALUES (?, ?)"));
                st.bind(1, a.codigo);
                st.bind(2, QString::fromUtf8(a.nome));
                st.exec();
            }
            for (const Contrato &c : Contratos) {
                tables::Statement st(conn, QStringLiteral("INSERT INTO Ctr (CtrAgencia, CtrContrato, CtrServico, CtrDirRemessa, "
                                                          "CtrDirRetorno, CtrDescricao) VALUES (?, ?, ?, ?, ?, ?)"));
                st.bind(1, c.agencia);
                st.bind(2, c.contrato);
                st.bind(3, QString::fromLatin1(c.servico));
                st.bind(4, pastaRemessa(c));
                st.bind(5, pastaRetorno(c));
                st.bind(6, QString::fromUtf8(c.descricao));
                st.exec();
            }
            conn.commit();
        } catch (...) {
            conn.rollback();
            throw;
        }
        return gravados;
    } catch (const Exception &e) {
        throw naoMontada(e);
    }
}

} // namespace zqsetup
