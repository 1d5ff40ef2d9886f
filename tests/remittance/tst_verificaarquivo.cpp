// The line-fitting pass, byte by byte.
#include "common/fixture.h"

#include "platform/filesystem/filehandles.h"
#include "platform/runtime/errors.h"
#include "remittance/VerificaArquivo.h"

#include <QTest>

using namespace Qt::StringLiterals;
using remessa::Etapa;

namespace {

struct Passagem {
    bool ok = false;
    QByteArray saida;
    QList<QPair<Etapa, qint64>> etapas;
};

// Runs the pass over bytes written to a file; the destination is a file, or a sink when given.
Passagem passa(const QByteArray &entrada, int tamanho, std::unique_ptr<winfs::ByteSink> sink = {})
{
    fixture::Prefix prefix(false);
    fixture::writeFile(u"C:\\T\\entrada"_s, entrada);
    winfs::FileReader leitor;
    winfs::FileWriter escritor;
    leitor.open(u"C:\\T\\entrada"_s);
    if (sink)
        escritor.open(std::move(sink));
    else
        escritor.create(u"C:\\T\\saida"_s);
    Passagem p;
    p.ok = remessa::VerificaArquivo(leitor, escritor, tamanho, [&](Etapa e, qint64 v) { p.etapas.append({e, v}); });
    escritor.close();
    p.saida = fixture::readFile(u"C:\\T\\saida"_s);
    return p;
}

struct SinkQueFalha : winfs::ByteSink {
    int write(const char *, qint64) override { return ioDiskFull; }
};

} // namespace

class TstVerificaArquivo : public QObject {
    Q_OBJECT
private slots:
    void linhasAjustadas_data()
    {
        QTest::addColumn<QByteArray>("entrada");
        QTest::addColumn<int>("tamanho");
        QTest::addColumn<QByteArray>("saida");
        QTest::newRow("curta e longa") << QByteArray("abc\r\n123456789012345\r\n") << 10 << QByteArray("abc       \r\n1234567890\r\n");
        QTest::newRow("em branco") << QByteArray("     \r\n\t \t\r\n  x\r\n") << 5 << QByteArray("  x  \r\n");
        QTest::newRow("branca depois de cortada") << QByteArray("  texto\r\n") << 2 << QByteArray();
        QTest::newRow("fins de linha") << QByteArray("a\rb\nc\r\n\r\n\n\r\rd") << 1 << QByteArray("a\r\nb\r\nc\r\nd\r\n");
        QTest::newRow("começa com fins") << QByteArray("\r\n\r\nab") << 2 << QByteArray("ab\r\n");
        QTest::newRow("texto antes do 26") << QByteArray("a\r\nb\x1a" "c\r\n") << 1 << QByteArray("a\r\nb\r\n");
        QTest::newRow("26 depois do fim") << QByteArray("a\r\n\x1azzz") << 1 << QByteArray("a\r\n");
        QTest::newRow("começa com 26") << QByteArray("\x1a" "abc\r\n") << 3 << QByteArray();
        QTest::newRow("vazio") << QByteArray() << 3 << QByteArray();
        QTest::newRow("só fins") << QByteArray("\r\n\n\r\r\n") << 3 << QByteArray();
        QTest::newRow("tamanho zero") << QByteArray("abc\r\ndef") << 0 << QByteArray();
        QTest::newRow("1252 e NUL") << QByteArray("\xe7\xe3o\0x\r\n\0\0\r\n", 11) << 6 << QByteArray("\xe7\xe3o\0x \r\n", 8);
        QTest::newRow("linha sem fim") << QByteArray(300000, 'q') << 4 << QByteArray("qqqq\r\n");
        // Across the reader's blocks: a line end split between two, a line
        // whose text starts in the second, a 26 that opens the second.
        const int bloco = int(winfs::FileBufferSize);
        QTest::newRow("CR LF na fronteira") << QByteArray(bloco - 1, 'a') + "\r\nb" << 2 << QByteArray("aa\r\nb \r\n");
        QTest::newRow("texto depois da fronteira") << QByteArray(bloco - 2, ' ') + "xy\r\n" << bloco + 1
                                                   << QByteArray(bloco - 2, ' ') + "xy \r\n";
        QTest::newRow("26 na fronteira") << QByteArray(bloco, 'c') + "\x1a" "d" << 1 << QByteArray("c\r\n");
    }
    void linhasAjustadas()
    {
        QFETCH(QByteArray, entrada);
        QFETCH(int, tamanho);
        QFETCH(QByteArray, saida);
        const Passagem p = passa(entrada, tamanho);
        QVERIFY(p.ok);
        QCOMPARE(p.saida, saida);
        QCOMPARE(p.etapas.first(), qMakePair(Etapa::Inicio, qint64(1)));
    }

    void progresso()
    {
        const Passagem p = passa("ab\r\ncde\nfg", 2);
        QCOMPARE(p.etapas, (QList<QPair<Etapa, qint64>>{{Etapa::Inicio, 1}, {Etapa::Linha, 3}, {Etapa::Linha, 6},
                                                          {Etapa::Fim, 6}, {Etapa::FimDaLeitura, 106}}));
        QCOMPARE(remessa::textoEtapa(Etapa::Inicio, 1), u"Verificando arquivo..."_s);
        QCOMPARE(remessa::textoEtapa(Etapa::Linha, 1024 * 1234 + 512), u"Verificando arquivo...   1.234,50KB lidos"_s);
        QCOMPARE(remessa::textoEtapa(Etapa::Linha, 3), u"Verificando arquivo...   0,00KB lidos"_s);
        QCOMPARE(remessa::textoEtapa(Etapa::Fim, 6), u"Arquivo OK"_s);
        // After a 26 the bar does not move to its end; lengths count across blocks.
        QCOMPARE(passa("ab\x1a", 2).etapas.last().first, Etapa::Fim);
        QCOMPARE(passa(QByteArray(int(winfs::FileBufferSize) + 5, 'a') + "\r\n", 1).etapas[1].second, winfs::FileBufferSize + 6);
    }

    void falhas()
    {
        // A write error ends the pass; "Arquivo OK" is still reported.
        Passagem p = passa((QByteArray(399, 'x') + "\r\n").repeated(1000), 400, std::make_unique<SinkQueFalha>());
        QVERIFY(!p.ok);
        QCOMPARE(p.etapas.last().first, Etapa::Fim);
        QVERIFY(p.etapas.size() < 1000);
        // A source that is not open fails on the first read.
        winfs::FileReader fechado;
        winfs::FileWriter escritor;
        QVERIFY(!remessa::VerificaArquivo(fechado, escritor, 10));
    }
};

QTEST_GUILESS_MAIN(TstVerificaArquivo)
#include "tst_verificaarquivo.moc"
