// Agency refresh from "Agencias.Txt" (beside the executable) and "agencias.zq"
// (current folder): the table is replaced as a whole or not at all.
#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "common/fixture.h"
#include "platform/filesystem/winfs.h"
#include "platform/windowing/guard.h"

#include <QFile>
#include <QTest>


namespace {
QString txtFile()
{
    return winfs::includeTrailingBackslash(winfs::exeDir()) + QStringLiteral("Agencias.Txt");
}
QString zqFile()
{
    return winfs::includeTrailingBackslash(winfs::currentDir()) + QStringLiteral("agencias.zq");
}
// A line of Agencias.Txt: code in columns 1-10, separator in 11, name from 12, one final character.
QByteArray txtLine(const QByteArray &code, const QByteArray &name, const QByteArray &end = "\r\n")
{
    return code.leftJustified(10, ' ') + "|" + name.leftJustified(34, ' ') + "X" + end;
}
QStringList agencies()
{
    QStringList out;
    for (const auto &r : fixture::rows(QStringLiteral("Age"), QStringLiteral("AgeCod")))
        out << r.value(QStringLiteral("AgeCod")).toString() + QLatin1Char('=') + r.value(QStringLiteral("AgeNome")).toString();
    return out;
}
} // namespace

class TestAgencias : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitApplication(); }
    void cleanup()
    {
        winfs::deleteFile(txtFile());
        winfs::removeDir(txtFile());
        setAgencyListRemover({});
    }

    void noFileNoMessage()
    {
        fixture::Prefix prefix;
        fixture::addAgency(5, QStringLiteral("ANTIGA"));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        Guard([&] { w.Timer2Timer(); });
        Guard([&] { w.Timer3Timer(); });
        QVERIFY(!w.Timer2->isActive() && !w.Timer3->isActive());
        QVERIFY2(boxes.count() == 0, qPrintable(boxes.dump()));
        QCOMPARE(agencies(), QStringList{QStringLiteral("5=ANTIGA")});
    }

    void importReplacesTheTableAndConsumesTheFile()
    {
        fixture::Prefix prefix;
        fixture::addAgency(5, QStringLiteral("ANTIGA"));
        fixture::writeFile(txtFile(), txtLine("0001", "AGENCIA CENTRO") + txtLine("  0340  ", "S\xc3O JO\xc3O DEL REI \x80")
                                          + txtLine("7", "NOME COMPRIDO DEMAIS PARA O CAMPO DA TABELA"));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        Guard([&] { w.Timer2Timer(); });
        QCOMPARE(agencies(), (QStringList{"1=AGENCIA CENTRO", "7=NOME COMPRIDO DEMAIS PARA O CA", "340=SÃO JOÃO DEL REI €"}));
        QVERIFY(!winfs::fileExists(txtFile()));
        QCOMPARE(w.pnlStatus->panelText(1), QString());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("Atualização da tabela de agências executada com sucesso"));
        QCOMPARE(boxes.last().title, QStringLiteral("Renomeia Arquivos ZQ"));
        QCOMPARE(boxes.last().style, MsgStyle::Plain);
    }

    void aFailingLineLeavesTheTableAsItWas_data()
    {
        QTest::addColumn<QByteArray>("badLine");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty line at the end") << QByteArray("\r\n") << QStringLiteral("'' is not a valid integer value.");
        QTest::newRow("letters") << txtLine("12A", "X") << QStringLiteral("'12A' is not a valid integer value.");
        QTest::newRow("out of range") << txtLine("40000", "X")
                                      << QStringLiteral("40000 is not a valid value for field 'AgeCod'. The allowed range is -32768 to 32767.");
        QTest::newRow("duplicate") << txtLine("0001", "OUTRA") << QStringLiteral("Key violation.");
    }

    void aFailingLineLeavesTheTableAsItWas()
    {
        QFETCH(QByteArray, badLine);
        QFETCH(QString, message);
        fixture::Prefix prefix;
        fixture::addAgency(5, QStringLiteral("ANTIGA"));
        const QByteArray content = txtLine("0001", "AGENCIA CENTRO") + txtLine("0002", "SEGUNDA") + badLine;
        fixture::writeFile(txtFile(), content);
        fixture::Boxes boxes;
        TfrmPrincipal w;
        Guard([&] { w.Timer2Timer(); });
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, message);
        QCOMPARE(boxes.last().style, MsgStyle::Error);
        QCOMPARE(agencies(), QStringList{QStringLiteral("5=ANTIGA")});
        QCOMPARE(fixture::readFile(txtFile()), content); // kept for the next start
        QCOMPARE(w.pnlStatus->panelText(1), QStringLiteral("2 Registros Processados"));
        // The table is usable afterwards.
        fixture::addAgency(6, QStringLiteral("NOVA"));
        QCOMPARE(agencies().size(), 2);
    }

    void zqListLoadsUpToTheFirstEmptyLine()
    {
        fixture::Prefix prefix;
        fixture::addAgency(5, QStringLiteral("ANTIGA"));
        fixture::writeFile(zqFile(), QByteArray("001AGENCIA D'OESTE PAULISTA        resto\r\n"
                                                "034S\xc3O PAULO                      \r\n"
                                                "\r\n"
                                                "099PERDIDA\r\n"));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        Guard([&] { w.Timer3Timer(); });
        QCOMPARE(agencies(), (QStringList{QStringLiteral("1=") + QStringLiteral("AGENCIA D'OESTE PAULISTA").leftJustified(30),
                                          QStringLiteral("34=") + QStringLiteral("SÃO PAULO").leftJustified(30)}));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("Cadastro de Agências ZQ atualizado com sucesso."));
        QCOMPARE(boxes.last().title, QStringLiteral("Informação"));
        QCOMPARE(boxes.last().style, MsgStyle::Exclamation);
        QVERIFY(!winfs::fileExists(zqFile()));
    }

    void aFailingZqListChangesNothingAndSaysNothing()
    {
        fixture::Prefix prefix;
        fixture::addAgency(5, QStringLiteral("ANTIGA"));
        const QByteArray content("001PRIMEIRA\r\nABCSEGUNDA\r\n");
        fixture::writeFile(zqFile(), content);
        fixture::Boxes boxes;
        TfrmPrincipal w;
        QVERIFY(!w.CarregaAgenciaZQ());
        Guard([&] { w.Timer3Timer(); });
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(agencies(), QStringList{QStringLiteral("5=ANTIGA")});
        QCOMPARE(fixture::readFile(zqFile()), content);
    }

    void listsWithCrOnlyLineEndsAndAnEndOfTextByte()
    {
        fixture::Prefix prefix;
        fixture::writeFile(txtFile(), txtLine("0001", "PRIMEIRA", "\r") + txtLine("0002", "SEGUNDA", "\r") + "\x1A" "lixo\r");
        fixture::writeFile(zqFile(), "003TERCEIRA\r004QUARTA\r\x1A" "lixo\r");
        fixture::Boxes boxes;
        TfrmPrincipal w;
        Guard([&] { w.Timer2Timer(); });
        QCOMPARE(agencies(), (QStringList{"1=PRIMEIRA", "2=SEGUNDA"}));
        Guard([&] { w.Timer3Timer(); });
        QCOMPARE(agencies(), (QStringList{"3=TERCEIRA", "4=QUARTA"}));
        QVERIFY2(boxes.count() == 2 && boxes.shown().first().style == MsgStyle::Plain, qPrintable(boxes.dump()));
        QVERIFY(!winfs::fileExists(txtFile()) && !winfs::fileExists(zqFile()));
    }

    void aListWithoutAgenciesIsAFailedLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("0 bytes") << QByteArray();
        QTest::newRow("only line ends") << QByteArray("\r\n\r\n");
    }

    void aListWithoutAgenciesIsAFailedLoad()
    {
        QFETCH(QByteArray, content);
        fixture::Prefix prefix;
        fixture::addAgency(5, QStringLiteral("ANTIGA"));
        fixture::writeFile(txtFile(), content);
        fixture::writeFile(zqFile(), content);
        fixture::Boxes boxes;
        TfrmPrincipal w;
        Guard([&] { w.Timer3Timer(); });
        QCOMPARE(boxes.count(), 0);
        Guard([&] { w.Timer2Timer(); });
        QCOMPARE(boxes.dump(), QStringLiteral("Renomeia Arquivos ZQ | O arquivo ") + txtFile()
                                   + QStringLiteral(" não contém nenhuma agência; a tabela de agências não foi alterada. | error"));
        QCOMPARE(agencies(), QStringList{QStringLiteral("5=ANTIGA")});
        QVERIFY(fixture::readFile(txtFile()) == content && fixture::readFile(zqFile()) == content);
    }

    void onlyRegularFilesAreRead()
    {
        fixture::Prefix prefix;
        fixture::addAgency(5, QStringLiteral("ANTIGA"));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        {
            // FIFOs in place of the lists: should the program open one, its
            // writer feeds it an agency, so that a wrong read shows up instead of hanging.
            fixture::Fifo txt(txtFile(), txtLine("0001", "DO FIFO"));
            fixture::Fifo zq(zqFile(), "002DO FIFO\r\n");
            if (txt.made()) {
                Guard([&] { w.Timer2Timer(); });
                Guard([&] { w.Timer3Timer(); });
                QVERIFY(!w.CarregaAgenciaZQ());
            }
        }
        fixture::makeDir(txtFile());
        fixture::makeDir(zqFile());
        Guard([&] { w.Timer2Timer(); });
        Guard([&] { w.Timer3Timer(); });
        QCOMPARE(boxes.dump(), QString());
        QCOMPARE(agencies(), QStringList{QStringLiteral("5=ANTIGA")});
    }

    void aListThatCannotBeRemovedSaysSo()
    {
        fixture::Prefix prefix;
        QStringList tried;
        setAgencyListRemover([&](const QString &name) { return tried << name, false; });
        fixture::writeFile(txtFile(), txtLine("0001", "DO TXT"));
        fixture::writeFile(zqFile(), QByteArray("002DO ZQ\r\n"));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        Guard([&] { w.Timer2Timer(); });
        QCOMPARE(agencies(), QStringList{QStringLiteral("1=DO TXT")});
        Guard([&] { w.Timer3Timer(); });
        QCOMPARE(agencies(), QStringList{QStringLiteral("2=DO ZQ")});
        QCOMPARE(tried, (QStringList{txtFile(), zqFile()}));
        QVERIFY(winfs::fileExists(txtFile()) && winfs::fileExists(zqFile()));
        const QString later = QStringLiteral(" não pôde ser apagado.\rEle será carregado de novo a cada início do programa até ser removido.");
        QCOMPARE(boxes.dump().split(QLatin1Char('\n')),
                 (QStringList{QStringLiteral("Renomeia Arquivos ZQ | Atualização da tabela de agências executada com sucesso | plain"),
                              QStringLiteral("Renomeia Arquivos ZQ | A tabela de agências foi atualizada, mas o arquivo ") + txtFile()
                                  + later + QStringLiteral(" | plain"),
                              QStringLiteral("Informação | Cadastro de Agências ZQ atualizado com sucesso. | exclamation"),
                              QStringLiteral("Informação | O cadastro de agências ZQ foi atualizado, mas o arquivo ") + zqFile()
                                  + later + QStringLiteral(" | exclamation")}));
    }

    void aLockOnAnotherTableDoesNotStopTheRefresh()
    {
        fixture::Prefix prefix;
        fixture::addAgency(5, QStringLiteral("ANTIGA"));
        fixture::writeFile(txtFile(), txtLine("0001", "PRIMEIRA"));
        fixture::writeFile(zqFile(), "002SEGUNDA\r\n");
        fixture::Boxes boxes;
        TfrmPrincipal w;
        // Another program writes the services and keeps its transaction open.
        fixture::OtherProgram other(QStringLiteral("Svc"));
        QVERIFY(other.exec(QStringLiteral("BEGIN IMMEDIATE")) && other.exec(QStringLiteral("UPDATE Svc SET SvcTam = SvcTam")));
        Guard([&] { w.Timer2Timer(); });
        QCOMPARE(agencies(), QStringList{QStringLiteral("1=PRIMEIRA")});
        QVERIFY(w.CarregaAgenciaZQ());
        QCOMPARE(agencies(), QStringList{QStringLiteral("2=SEGUNDA")});
        QCOMPARE(boxes.dump(), QStringLiteral("Renomeia Arquivos ZQ | Atualização da tabela de agências executada com sucesso | plain"));
    }

    void bothFilesTheLastLoadedWins()
    {
        fixture::Prefix prefix;
        fixture::writeFile(txtFile(), txtLine("0001", "DO TXT"));
        fixture::writeFile(zqFile(), QByteArray("002DO ZQ\r\n"));
        fixture::Boxes boxes;
        TfrmPrincipal w;
        Guard([&] { w.Timer2Timer(); });
        Guard([&] { w.Timer3Timer(); });
        QCOMPARE(agencies(), QStringList{QStringLiteral("2=DO ZQ")});
        QCOMPARE(boxes.count(), 2);
    }
};

QTEST_MAIN(TestAgencias)
#include "tst_agencias.moc"
