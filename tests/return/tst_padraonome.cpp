// The name pattern file of delivered return files (its defaults are checked
// through the return window).
#include "common/fixture.h"

#include "platform/filesystem/winfs.h"
#include "return/PadraoNome.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstPadraoNome : public QObject {
    Q_OBJECT
private slots:
    void readsEachKeyOnItsOwnLine_data()
    {
        QTest::addColumn<QByteArray>("conteudo");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("extensao");
        QTest::newRow("any letter case") << QByteArray("nome=abc;\r\nEXTENSAO=dat;\r\n") << u"ABC"_s << u"DAT"_s;
        QTest::newRow("no ';' empties the field") << QByteArray("Nome=abc\r\nExtensao=.dat;\r\n") << QString() << u".DAT"_s;
        QTest::newRow("lines swapped") << QByteArray("Extensao=dat;\r\nNome=abc;\r\n") << u"ANTIGO"_s << u"ANT"_s;
        QTest::newRow("one line") << QByteArray("Nome=abc;\r\n") << u"ABC"_s << u"ANT"_s;
        QTest::newRow("'=' inside the value") << QByteArray("Nome=A=b;c;\r\nExtensao=;\r\n") << u"A=B"_s << QString();
        QTest::newRow("blank before the key") << QByteArray("Nome =abc;\r\n Extensao=dat;\r\n") << u"ANTIGO"_s << u"ANT"_s;
        QTest::newRow("8-bit text, a to z upper-cased")
            << QByteArray("Nome=a\xe7\xe3o\x80;\nExtensao=\xe9t;") << u"AçãO€"_s << u"éT"_s;
    }
    void readsEachKeyOnItsOwnLine()
    {
        QFETCH(QByteArray, conteudo);
        fixture::Prefix prefix(false);
        fixture::writeFile(ArquivoPadraoNome, conteudo);
        // A line without its key gives nothing: the field keeps its text.
        const PadraoNome lido = LePadraoNome();
        QTEST(lido.nome.value_or(u"ANTIGO"_s), "nome");
        QTEST(lido.extensao.value_or(u"ANT"_s), "extensao");
        QCOMPARE(fixture::readFile(ArquivoPadraoNome), conteudo);
    }

    void writesTwoLinesAsGivenAndRaisesInputOutputErrors()
    {
        fixture::Prefix prefix(false);
        // The folder is never created here.
        QCOMPARE(fixture::errorOf([&] { LePadraoNome(); }), u"Path not found"_s);
        QVERIFY(!winfs::directoryExists(u"C:\\ZQ\\REN"_s));
        fixture::writeFile(ArquivoPadraoNome, "Nome=velho;\r\nExtensao=txt;\r\nmais uma linha\r\n");
        GravaPadraoNome(u"RETÉ"_s, QString());
        QCOMPARE(fixture::readFile(ArquivoPadraoNome), QByteArray("Nome=RET\xc9;\r\nExtensao=;\r\n"));
        winfs::deleteFile(ArquivoPadraoNome);
        fixture::makeDir(ArquivoPadraoNome);
        QCOMPARE(fixture::errorOf([&] { LePadraoNome(); }), u"File access denied"_s);
    }

    void composesTheDestinationName()
    {
        const QStringList casos{u"RETORNO|TXT|RETORNO.TXT"_s, u"RETORNO|.RET|RETORNO.RET"_s, u"RETORNO||RETORNO."_s,
                                u"|TXT|.TXT"_s, u"A|B.C|AB.C"_s};
        for (const QString &c : casos)
            QCOMPARE(MontaNomeRetorno(c.section(u'|', 0, 0), c.section(u'|', 1, 1)), c.section(u'|', 2, 2));
    }
};

QTEST_MAIN(TstPadraoNome)
#include "tst_padraonome.moc"
