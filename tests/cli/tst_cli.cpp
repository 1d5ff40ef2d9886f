// renomeia-zq-cli run as a scheduled task runs it: a process on the drive of
// RENOMEIA_ZQ_PREFIX, its output, its exit status, the files and rows it
// leaves; beside the remittance window of this process on the same tables.
#include "cli/processo.h"
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "remittance/TfrmRnmArqRemessa.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Saida = u"C:\\ZQ\\COB\\SAIDA\\"_s;
const QDateTime Dia5(QDate(2026, 3, 5), QTime(10, 20, 30));

const QStringList Contrato{u"remessa"_s, u"--agencia"_s, u"12"_s, u"--contrato"_s, u"345678"_s, u"--servico"_s, u"66"_s};

void arquivo(const QString &nome, const QByteArray &bytes)
{
    fixture::writeFile(nome, bytes);
    winfs::setFileAge(nome, Dia5);
}

} // namespace

class TstCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(installed_rows); }

    void usoEMensagens_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("ajuda") << QStringList{u"--help"_s} << 0 << QString();
        QTest::newRow("ajuda do log") << QStringList{u"log"_s, u"--help"_s} << 0 << QString();
        QTest::newRow("comando") << QStringList{u"renomear"_s} << 2 << u"renomeia-zq-cli: Comando desconhecido: renomear"_s;
        QTest::newRow("opção") << QStringList{u"retornos"_s, u"--todos"_s} << 2
                               << u"renomeia-zq-cli: Opção desconhecida do comando retornos: --todos"_s;
        QTest::newRow("data") << QStringList{u"log"_s, u"--data"_s, u"31/02/2026"_s} << 2
                              << u"renomeia-zq-cli: Valor inválido para --data: 31/02/2026 (use DD/MM/AAAA)"_s;
        QTest::newRow("sem arquivo") << Contrato << 2 << u"renomeia-zq-cli: Informe o ARQUIVO do comando remessa."_s;
        QTest::newRow("contrato") << QStringList{u"remessa"_s, u"--agencia"_s, u"9"_s, u"--contrato"_s, u"1"_s, u"--servico"_s, u"66"_s,
                                                 u"C:\\REM\\a.txt"_s}
                                  << 1 << u"O contrato 0009/000000001 do serviço 66 não está cadastrado."_s;
        QTest::newRow("arquivo") << Contrato + QStringList{u"C:\\REM\\nada.txt"_s} << 1 << u"O arquivo C:\\REM\\nada.txt não existe."_s;
    }
    void usoEMensagens()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(int, status);
        QFETCH(QString, mensagem);
        fixture::Prefix prefix;
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s);
        const Execucao e = cli(argumentos);
        QCOMPARE(e.status, status);
        if (status == 0)
            QVERIFY(e.out.startsWith(u"Uso: renomeia-zq-cli"_s) && e.err.isEmpty());
        else
            QCOMPARE(e.err.split(u'\n').first(), mensagem);
    }

    // The window renames one file, the command line another of the same
    // contract and day: the next number. Renamed before: asked, answered by
    // the options.
    void janelaELinhaDeComando()
    {
        fixture::Prefix prefix;
        fixture::Boxes boxes;
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s);
        arquivo(u"C:\\REM\\a.txt"_s, "janela\r\n");
        arquivo(u"C:\\REM\\b.txt"_s, "linha de comando\n");
        {
            TfrmPrincipal principal;
            principal.show();
            principal.mnuRnmArqRemessaClick();
            auto *janela = qobject_cast<TfrmRnmArqRemessa *>(principal.frmRnmArqRemessa.data());
            emit janela->cmbContrato->activated(0);
            janela->btnRnmArq->click();
            QCOMPARE(boxes.take(), u"Renomeia Arquivos | Arquivo Renomeado com Sucesso!! | information"_s);
            janela->Close();
        }
        // Named by its host path where drive C: is emulated.
        const QString nomeB = fixture::emulatedDrive() ? winfs::hostPath(u"C:\\REM\\b.txt"_s) : u"C:\\REM\\b.txt"_s;
        const Execucao b = cli(Contrato + QStringList{nomeB});
        QCOMPARE(b.status, 0);
        QCOMPARE(b.out, Saida + u"COB01660520012000345678P.TXT\n"_s);
        QCOMPARE(fixture::readFile(Saida + u"COB01660520012000345678P.TXT"_s), QByteArray("linha de comando").leftJustified(400, ' ') + "\r\n");
        QCOMPARE(fixture::rowTexts(u"Arq"_s, u"ArqNumRemessa"_s).last().section(u'|', 5, 9),
                 u"C:\\REM\\b.txt|COB01660520012000345678P.TXT|true|2|2026-03-05"_s);

        // The window's file, named as the window names it.
        const Execucao a = cli(Contrato + QStringList{u"c:\\rem\\A.TXT"_s});
        QCOMPARE(a.status, 1);
        QCOMPARE(a.err, u"O arquivo informado já foi renomeado\nCOB01660510012000345678P.TXT\nDeseja renomeá-lo novamente?\n"
                        u"Resposta: não (a opção --de-novo responde sim).\n"_s);
        const Execucao denovo = cli(Contrato + QStringList{u"--de-novo"_s, u"--substituir"_s, u"--teste"_s, u"C:\\REM\\a.txt"_s});
        QCOMPARE(denovo.status, 0);
        QCOMPARE(denovo.out, Saida + u"COB01660510012000345678T.TXT\n"_s);
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 2);
    }

    // The checks: verifica tells the faults a line each; remessa keeps back a
    // file with faults unless told to deliver it as it is or converted.
    void verificaERemessaComFalhas()
    {
        fixture::Prefix prefix;
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s);
        arquivo(u"C:\\REM\\falhas.txt"_s, "0123456789AB\r\n\tx\r\n");
        arquivo(u"C:\\REM\\utf8.txt"_s, "JOS\xc3\x89\r\n");
        const Execucao v = cli({u"verifica"_s, u"--registro"_s, u"10"_s, u"C:\\REM\\falhas.txt"_s});
        QCOMPARE(v.status, 1);
        QCOMPARE(v.out, u"linha 1: 2 caracteres além da posição 10 cortados: \"AB\"\nlinha 2: caractere de controle (código 9) na posição 1\n"_s);
        QCOMPARE(cli({u"verifica"_s, u"--registro"_s, u"12"_s, u"C:\\REM\\utf8.txt"_s}).status, 1);
        QCOMPARE(cli({u"verifica"_s, u"--agencia"_s, u"12"_s, u"--contrato"_s, u"345678"_s, u"--servico"_s, u"66"_s,
                      u"C:\\REM\\falhas.txt"_s}).status, 1);
        QCOMPARE(cli({u"verifica"_s, u"--registro"_s, u"20"_s, u"C:\\REM\\falhas.txt"_s}).status, 1);
        QCOMPARE(cli({u"verifica"_s, u"--registro"_s, u"10"_s, u"C:\\REM\\nada.txt"_s}).status, 2);
        QCOMPARE(cli({u"verifica"_s, u"C:\\REM\\falhas.txt"_s}).status, 2);

        arquivo(u"C:\\REM\\longa.txt"_s, QByteArray(400, 'x') + "2\r\n");
        const Execucao recusada = cli(Contrato + QStringList{u"C:\\REM\\longa.txt"_s});
        QCOMPARE(recusada.status, 1);
        QVERIFY2(recusada.err.startsWith(u"linha 1: 1 caractere além da posição 400 cortado: \"2\"\nArquivo NÃO foi Renomeado!!"_s),
                 qPrintable(recusada.err));
        QVERIFY(fixture::rows(u"Arq"_s).isEmpty() && QDir(winfs::hostPath(Saida)).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QCOMPARE(cli(Contrato + QStringList{u"--mesmo-assim"_s, u"C:\\REM\\longa.txt"_s}).status, 0);
        const Execucao convertida = cli(Contrato + QStringList{u"--converter"_s, u"C:\\REM\\utf8.txt"_s});
        QCOMPARE(convertida.status, 0);
        QCOMPARE(fixture::readFile(convertida.out.trimmed()), QByteArray("JOS\xc9").leftJustified(400, ' ') + "\r\n");
    }

    // What the log tells: the same bytes sent again under another name, and a
    // CNAB 240 file number gone back. A file renamed again is no copy of itself.
    void enviadosAntes()
    {
        fixture::Prefix prefix;
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s);
        fixture::addContract(12, 345678, u"C3"_s, u"C:\\REM"_s);
        arquivo(u"C:\\REM\\a.txt"_s, "registro\r\n");
        arquivo(u"C:\\REM\\b.txt"_s, "registro\n");
        QCOMPARE(cli(Contrato + QStringList{u"C:\\REM\\a.txt"_s}).status, 0);
        const QVariantMap linha = fixture::rows(u"Arq"_s).first();
        const QString quando = linha[u"ArqDataOper"_s].toDate().toString(u"dd/MM/yyyy"_s) + u" às "_s
            + linha[u"ArqHoraOper"_s].toTime().toString(u"HH:mm:ss"_s);
        const Execucao copia = cli(Contrato + QStringList{u"C:\\REM\\b.txt"_s});
        QCOMPARE(copia.status, 1);
        QCOMPARE(copia.err.section(u'\n', 0, 0), u"conteúdo igual ao do arquivo COB01660510012000345678P.TXT entregue em "_s + quando);
        QCOMPARE(cli(Contrato + QStringList{u"--de-novo"_s, u"--substituir"_s, u"C:\\REM\\a.txt"_s}).status, 0);

        // Header, a lot of one segment, file trailer; the file's number in 158-163.
        const auto cnab240 = [](const QByteArray &sequencia, char segmento) {
            const auto registro = [](const QByteArray &inicio, int coluna = 0, const QByteArray &campo = {}) {
                QByteArray r = inicio.leftJustified(240, ' ');
                if (coluna)
                    r.replace(coluna - 1, campo.size(), campo);
                return r + "\r\n";
            };
            QByteArray header = registro("00100000", 143, "1" "05032026");
            header.replace(157, 6, sequencia);
            return header + registro("00100011") + registro(QByteArray("0010001300001") + segmento) + registro("00100015", 18, "000003")
                + registro("00199999", 18, "000001000005");
        };
        const QStringList C3{u"remessa"_s, u"--agencia"_s, u"12"_s, u"--contrato"_s, u"345678"_s, u"--servico"_s, u"C3"_s};
        arquivo(u"C:\\REM\\cnab5.txt"_s, cnab240("000005", 'P'));
        arquivo(u"C:\\REM\\cnab4.txt"_s, cnab240("000004", 'Q'));
        const Execucao quinto = cli(C3 + QStringList{u"C:\\REM\\cnab5.txt"_s});
        QVERIFY2(quinto.status == 0, qPrintable(quinto.err));
        const Execucao quarto = cli(C3 + QStringList{u"C:\\REM\\cnab4.txt"_s});
        QCOMPARE(quarto.status, 1);
        QVERIFY2(quarto.err.startsWith(u"linha 1: sequencial do arquivo 000004 nas posições 158 a 163 não é maior que o do último "
                                       u"arquivo entregue para o contrato, 000005\n"_s), qPrintable(quarto.err));
    }

    void retornosERetorno()
    {
        fixture::Prefix prefix;
        fixture::addContract(123, 45678, u"66"_s, u"C:\\"_s, u"C:\\RET"_s);
        fixture::makeDir(u"C:\\RET"_s);
        fixture::makeDir(u"C:\\ZQ\\REN"_s);
        const QString arquivo = u"C:\\ZQ\\COB\\ENTRADA\\20050315COB01X0123000045678.TXT"_s;
        fixture::writeFile(arquivo, "retorno\r\n");
        fixture::writeFile(u"C:\\ZQ\\COB\\ENTRADA\\20050315COB01X0999000045678.TXT"_s, "de ninguém");
        const Execucao lista = cli({u"retornos"_s});
        QCOMPARE(lista.status, 0);
        QCOMPARE(lista.out, arquivo + u"  0123  000045678  COB  15/03/2005\n"_s);

        QCOMPARE(cli({u"retorno"_s, arquivo}).out, u"C:\\RET\\RETORNO.TXT\n"_s);
        QCOMPARE(fixture::readFile(u"C:\\RET\\RETORNO.TXT"_s), QByteArray("retorno\r\n"));
        const Execucao outra = cli({u"retorno"_s, arquivo});
        QCOMPARE(outra.status, 1);
        QCOMPARE(outra.err, u"Deseja substituir o arquivo C:\\RET\\RETORNO.TXT?\nResposta: não (a opção --substituir responde sim).\n"
                            u"Arquivo NÃO foi Renomeado!!\n"_s);
        // A name Windows keeps for a device is no file name.
        const Execucao con = cli({u"retorno"_s, u"--nome"_s, u"CON"_s, arquivo});
        QCOMPARE(con.status, 1);
        QVERIFY2(con.err.startsWith(u"O nome do arquivo renomeado não é válido"_s), qPrintable(con.err));
        QCOMPARE(cli({u"retorno"_s, u"--nome"_s, u"R.RET"_s, arquivo}).status, 0);
        QCOMPARE(fixture::rowTexts(u"Arq"_s).size(), 2);
    }

    void logEmCsv()
    {
        fixture::Prefix prefix;
        fixture::exec(u"insert into Arq values (7, 123, '66', '2026-03-20', '09:00:00', 'C:\\A;B \"x\".txt', 'COB1.TXT', 1, 1, "
                      "'2026-03-05', '10:00:00')"_s);
        fixture::exec(u"insert into Arq values (7, 123, '66', '2026-03-19', '08:00:00', 'RET.TXT', 'RETORNO.TXT', 0, 0, "
                      "'2026-03-05', '10:00:00')"_s);
        fixture::exec(u"insert into Arq values (8, 1, '66', '2026-03-18', '08:00:00', 'C:\\B.txt', 'COB2.TXT', 1, 1, "
                      "'2026-03-04', '10:00:00')"_s);
        const Execucao csv = cli({u"log"_s, u"--csv"_s, u"--contrato"_s, u"7/123"_s});
        QCOMPARE(csv.status, 0);
        // UTF-8 with its mark, so that a spreadsheet opens it as UTF-8.
        QVERIFY(csv.bytes.startsWith("\xEF\xBB\xBF" "Ag\xC3\xAAncia;"));
        QCOMPARE(csv.out, u"Agência;Cont/Conv;Data;Hora;Arquivo Origem;Nome Destino\r\n"
                          u"0007;000000123;19/03/2026;08:00:00;RET.TXT;RETORNO.TXT\r\n"
                          u"0007;000000123;20/03/2026;09:00:00;\"C:\\A;B \"\"x\"\".txt\";COB1.TXT\r\n"_s);
        QCOMPARE(cli({u"log"_s, u"--remessa"_s, u"--data"_s, u"04/03/2026"_s}).out,
                 u"0008  000000001  18/03/2026  08:00:00  C:\\B.txt  COB2.TXT\n"_s);
        QCOMPARE(cli({u"log"_s, u"--remessa"_s, u"--retorno"_s}).status, 2);
    }
};

QTEST_MAIN(TstCli)
#include "tst_cli.moc"
