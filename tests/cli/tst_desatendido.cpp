// renomeia-zq-cli with nobody at the screen: every waiting file delivered
// once, runs that meet each other, and the watcher fed files and stopped.
#include "cli/processo.h"
#include "common/fixture.h"

#include "platform/filesystem/winfs.h"

#include <QDir>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Saida = u"C:\\ZQ\\COB\\SAIDA\\"_s;
const QDateTime Dia5(QDate(2026, 3, 5), QTime(10, 20, 30));
const QStringList Contrato{u"--agencia"_s, u"12"_s, u"--contrato"_s, u"345678"_s, u"--servico"_s, u"66"_s};
const QStringList Pendentes = QStringList{u"remessa"_s, u"--pendentes"_s} + Contrato;

void arquivo(const QString &nome, const QByteArray &bytes, const QDateTime &carimbo = Dia5)
{
    fixture::writeFile(nome, bytes);
    winfs::setFileAge(nome, carimbo);
}

// The name of the remittance of the 5th with this sequence number.
QString nome(int sequencia)
{
    return u"COB016605%1"_s.arg(sequencia) + u"0012000345678P.TXT"_s;
}

QStringList saida()
{
    return QDir(winfs::hostPath(Saida)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TstDesatendido : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(installed_rows); }

    // Files waiting in the remittance folder: the oldest first; one too
    // fresh left for a later run, one with findings and the tenth of the day
    // held back; a later run delivers nothing twice.
    void remessasPendentes()
    {
        fixture::Prefix prefix;
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s);
        for (int n = 1; n <= 7; ++n)
            fixture::exec(u"insert into Arq values (12, 345678, '66', '2026-03-20', '09:00:00', 'C:\\OUTRA\\%1.txt', '%2', 1, %1, "
                          "'2026-03-05', '10:00:00')"_s.arg(n).arg(nome(n)));
        arquivo(u"C:\\REM\\c.txt"_s, "c\r\n", Dia5.addSecs(120));
        arquivo(u"C:\\REM\\b.txt"_s, "b\r\n", Dia5.addSecs(60));
        arquivo(u"C:\\REM\\a.txt"_s, "a\r\n");
        arquivo(u"C:\\REM\\falhas.txt"_s, QByteArray(400, 'x') + "2\r\n", Dia5.addSecs(30));
        fixture::writeFile(u"C:\\REM\\novo.txt"_s, "sendo gravado");
        fixture::writeFile(u"C:\\REM\\.oculto"_s, "não é da lista");

        const Execucao e = cli(Pendentes);
        QCOMPARE(e.status, 1);
        QCOMPARE(e.out, Saida + nome(8) + u"\n"_s + Saida + nome(9) + u"\n"_s);
        QCOMPARE(fixture::readFile(Saida + nome(8)), QByteArray("a").leftJustified(400, ' ') + "\r\n");
        QVERIFY2(e.err.contains(u"C:\\REM\\falhas.txt:\nlinha 1: 1 caractere além da posição 400 cortado: \"2\"\nArquivo NÃO foi Renomeado!!"_s),
                 qPrintable(e.err));
        QVERIFY2(e.err.contains(u"C:\\REM\\c.txt:\nSó é permitida a remessa de 9(nove) arquivos\nem cada dia (dia de formatação)\n"_s),
                 qPrintable(e.err));
        QVERIFY2(e.err.contains(u"C:\\REM\\novo.txt: aguardando (modificado há menos de 30 segundos)\n"_s), qPrintable(e.err));
        QVERIFY(!e.err.contains(u"oculto"_s));

        const Execucao outra = cli(Pendentes);
        QCOMPARE(outra.status, 1);
        QVERIFY(outra.out.isEmpty());
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 9);
        // Settled at once when told so: the new file is the first of its own day.
        QCOMPARE(cli(Pendentes + QStringList{u"--estavel"_s, u"0"_s}).out,
                 Saida + u"COB0166"_s + QDate::currentDate().toString(u"dd"_s) + u"10012000345678P.TXT\n"_s);
        QCOMPARE(cli({u"remessa"_s, u"--pendentes"_s, u"--de-novo"_s}).status, 2);
    }

    // Return files delivered once, oldest first; one whose name the next
    // program has not taken yet waits, and the file there stays as it is.
    void retornosTodos()
    {
        fixture::Prefix prefix;
        fixture::addContract(123, 45678, u"66"_s, u"C:\\"_s, u"C:\\RET"_s);
        fixture::makeDir(u"C:\\RET"_s);
        fixture::makeDir(u"C:\\ZQ\\REN"_s);
        const QString Entrada = u"C:\\ZQ\\COB\\ENTRADA\\"_s;
        fixture::writeFile(Entrada + u"20050316COB01X0123000045678.TXT"_s, "segundo");
        fixture::writeFile(Entrada + u"20050315COB01X0123000045678.TXT"_s, "primeiro");
        const QString Aguarda = Entrada + u"20050316COB01X0123000045678.TXT: aguardando (o arquivo C:\\RET\\RETORNO.TXT ainda não foi "
                                          "retirado da pasta de retorno)\n"_s;
        const QStringList Todos{u"retorno"_s, u"--todos"_s};

        Execucao e = cli(Todos);
        QCOMPARE(e.status, 0);
        QCOMPARE(e.out, u"C:\\RET\\RETORNO.TXT\n"_s);
        QCOMPARE(e.err, Aguarda);
        e = cli(Todos);
        QVERIFY(e.status == 0 && e.out.isEmpty());
        QCOMPARE(e.err, Aguarda);
        QCOMPARE(fixture::readFile(u"C:\\RET\\RETORNO.TXT"_s), QByteArray("primeiro"));
        // The ERP takes the first return: the second follows, once.
        QVERIFY(QFile::remove(winfs::hostPath(u"C:\\RET\\RETORNO.TXT"_s)));
        e = cli(Todos);
        QVERIFY(e.status == 0 && e.err.isEmpty());
        QCOMPARE(fixture::readFile(u"C:\\RET\\RETORNO.TXT"_s), QByteArray("segundo"));
        QVERIFY(QFile::remove(winfs::hostPath(u"C:\\RET\\RETORNO.TXT"_s)));
        e = cli(Todos);
        QVERIFY(e.status == 0 && e.out.isEmpty() && e.err.isEmpty());
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 2);
    }

    // Three runs started together on a new drive over the same waiting files,
    // while another program holds the log for a moment: they wait for each
    // other, every file is delivered once, no number is given twice.
    void rodadasJuntas()
    {
        fixture::Prefix prefix;
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s);
        for (int n = 1; n <= 6; ++n)
            arquivo(u"C:\\REM\\%1.txt"_s.arg(n), "registro " + QByteArray::number(n) + "\r\n");
        // The alias is registered by the runs themselves.
        QVERIFY(QFile::remove(prefix.path() + u"/engine.cfg"_s));
        fixture::OtherProgram outro(u"Arq"_s);
        QVERIFY(outro.exec(u"BEGIN IMMEDIATE"_s));
        QList<QProcess *> processos;
        for (int i = 0; i < 3; ++i) {
            processos << new QProcess(this);
            processos.last()->start(QStringLiteral(ZQ_CLI), Pendentes);
        }
        QTest::qWait(1500);
        QVERIFY(outro.exec(u"ROLLBACK"_s));
        QStringList entregues;
        for (QProcess *p : processos) {
            QVERIFY(p->waitForFinished(60000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            entregues += QString::fromUtf8(p->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
            delete p;
        }
        QStringList esperados;
        for (int n = 1; n <= 6; ++n)
            esperados << Saida + nome(n);
        entregues.sort();
        QCOMPARE(entregues, esperados);
        QCOMPARE(saida().size(), 6);
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 6);
    }

    // The watcher delivers a remittance and a return within moments of their
    // arrival, and stops on SIGTERM with status 0.
    void vigia()
    {
        fixture::Prefix prefix;
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s, u"C:\\RET"_s);
        for (const QString &pasta : {u"C:\\REM"_s, u"C:\\RET"_s, u"C:\\ZQ\\REN"_s, u"C:\\ZQ\\COB\\ENTRADA"_s})
            fixture::makeDir(pasta);
        QProcess p;
        p.start(QStringLiteral(ZQ_CLI), {u"vigia"_s, u"--intervalo"_s, u"3600"_s, u"--estavel"_s, u"0"_s, u"--remessas"_s, u"12/345678/66"_s});
        // Its first round is over once it says it watches.
        QByteArray dito;
        QTRY_VERIFY2_WITH_TIMEOUT((dito += p.readAllStandardError()).contains("Vigiando"), dito.constData(), 10000);
        fixture::writeFile(u"C:\\REM\\a.txt"_s, "remessa\r\n");
        fixture::writeFile(u"C:\\ZQ\\COB\\ENTRADA\\20050315COB01X0012000345678.TXT"_s, "retorno");
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT((out += QString::fromUtf8(p.readAllStandardOutput())).count(u" entregue "_s) == 2, 10000);
        QVERIFY2(out.contains(u"entregue C:\\RET\\RETORNO.TXT: de C:\\ZQ\\COB\\ENTRADA\\20050315COB01X0012000345678.TXT"_s), qPrintable(out));
        QCOMPARE(fixture::readFile(u"C:\\RET\\RETORNO.TXT"_s), QByteArray("retorno"));
        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(fixture::rows(u"Arq"_s).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TstDesatendido)
#include "tst_desatendido.moc"
