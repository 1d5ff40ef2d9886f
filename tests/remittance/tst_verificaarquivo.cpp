// The line-fitting pass, byte by byte, and the standard names.
#include "common/fixture.h"

#include "platform/filesystem/filehandles.h"
#include "platform/runtime/errors.h"
#include "remittance/NomeRemessa.h"
#include "remittance/VerificaArquivo.h"

#include <QRandomGenerator>
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

// The pass as written in the plainest way, one byte at a time: the reference
// the block-wise pass must agree with.
QByteArray referencia(const QByteArray &in, int tamanho, qint64 &contador)
{
    QByteArray out, linha;
    auto ajusta = [&] {
        QByteArray l = linha.left(tamanho).leftJustified(tamanho, ' ');
        if (std::any_of(l.begin(), l.end(), [](char c) { return uchar(c) > ' '; }))
            out += l + "\r\n";
        linha.clear();
    };
    contador = 1;
    qsizetype i = 0;
    while (i < in.size() && in[i] != 26) {
        if (in[i] == '\r' || in[i] == '\n') {
            contador += linha.size();
            ajusta();
            while (i < in.size() && (in[i] == '\r' || in[i] == '\n'))
                ++i;
            continue;
        }
        linha += in[i++];
    }
    ajusta();
    return out;
}

struct SinkQueFalha : winfs::ByteSink {
    int write(const char *, qint64) override { return ioDiskFull; }
};

} // namespace

class TstVerificaArquivo : public QObject {
    Q_OBJECT
private slots:
    void init() { prefix = std::make_unique<fixture::Prefix>(false); }
    void cleanup() { prefix.reset(); }

    void linhasAjustadas_data()
    {
        QTest::addColumn<QByteArray>("entrada");
        QTest::addColumn<int>("tamanho");
        QTest::addColumn<QByteArray>("saida");
        QTest::newRow("curta e longa") << QByteArray("abc\r\n123456789012345\r\n") << 10
                                       << QByteArray("abc       \r\n1234567890\r\n");
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
        QTest::newRow("1252 e NUL") << QByteArray("\xe7\xe3o\0x\r\n\0\0\r\n", 11) << 6
                                    << QByteArray("\xe7\xe3o\0x \r\n", 8);
        QTest::newRow("linha sem fim") << QByteArray(300000, 'q') << 4 << QByteArray("qqqq\r\n");
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

    // Lines and line ends falling across the read blocks.
    void concordaComAReferencia()
    {
        QRandomGenerator gerador(417);
        for (int rodada = 0; rodada < 4; ++rodada) {
            QByteArray in;
            while (in.size() < 3 * winfs::FileBufferSize) {
                const int n = gerador.bounded(rodada == 0 ? 3000 : 700);
                for (int i = 0; i < n; ++i)
                    in += "ab \t\x80\0z"[gerador.bounded(7)];
                in += QByteArray("\r\n\n\r").left(gerador.bounded(1, 5));
            }
            if (rodada == 3)
                in[gerador.bounded(int(in.size()))] = 26;
            const int tamanho = rodada * 100 + 1;
            qint64 contador = 0;
            const QByteArray esperado = referencia(in, tamanho, contador);
            const Passagem p = passa(in, tamanho);
            QVERIFY(p.ok);
            QCOMPARE(p.saida, esperado);
            const auto fim = std::find_if(p.etapas.begin(), p.etapas.end(), [](auto e) { return e.first == Etapa::Fim; });
            QCOMPARE(fim->second, contador);
        }
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
        // After a 26 the bar does not move to its end.
        QCOMPARE(passa("ab\x1a", 2).etapas.last().first, Etapa::Fim);
    }

    void falhas()
    {
        // A write error ends the pass; "Arquivo OK" is still reported.
        QByteArray grande;
        for (int i = 0; i < 1000; ++i)
            grande += QByteArray(399, 'x') + "\r\n";
        Passagem p = passa(grande, 400, std::make_unique<SinkQueFalha>());
        QVERIFY(!p.ok);
        QCOMPARE(p.etapas.last().first, Etapa::Fim);
        QVERIFY(p.etapas.size() < 1000);
        // A source that is not open fails on the first read and writes nothing.
        winfs::FileReader fechado;
        winfs::FileWriter escritor;
        escritor.create(u"C:\\T\\saida"_s);
        QVERIFY(!remessa::VerificaArquivo(fechado, escritor, 10));
        QCOMPARE(escritor.close(), 0);
        QCOMPARE(fixture::readFile(u"C:\\T\\saida"_s), QByteArray());
        IOResult();
    }

    void nomes()
    {
        remessa::DadosNome d{u"COB"_s, u"01"_s, u"66"_s, u"05"_s, 1, u"0012"_s, u"000345678"_s, true};
        QCOMPARE(remessa::nomePadrao(d), u"COB01660510012000345678P.TXT"_s);
        d.sistema = u"IPC"_s;
        d.producao = false;
        d.sequencia = 9;
        QCOMPARE(remessa::nomePadrao(d), u"IPC016605900120345678T.TXT"_s);
        QCOMPARE(remessa::nomeTemporario(u"C:\\ZQ\\COB\\SAIDA\\COB01660510012000345678P.TXT"_s),
                 u"C:\\ZQ\\COB\\SAIDA\\.COB01660510012000345678P.parcial"_s);
    }

private:
    std::unique_ptr<fixture::Prefix> prefix;
};

QTEST_GUILESS_MAIN(TstVerificaArquivo)
#include "tst_verificaarquivo.moc"
