// The checks of a remittance file, made in the line-fitting pass, and the
// conversion from UTF-8.
#include "common/fixture.h"

#include "platform/filesystem/filehandles.h"
#include "platform/runtime/errors.h"
#include "remittance/ConfereRemessa.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Entrada = u"C:\\T\\entrada"_s;

struct Passagem {
    remessa::Conferencia conferencia;
    QByteArray saida;
};

// The pass with the checks over bytes written to a file, into a file.
Passagem passa(const QByteArray &entrada, int tamanho, bool converte = false)
{
    fixture::Prefix prefix(false);
    fixture::writeFile(Entrada, entrada);
    winfs::FileReader leitor;
    winfs::FileWriter escritor;
    leitor.open(Entrada);
    escritor.create(u"C:\\T\\saida"_s);
    Passagem p;
    remessa::VerificaArquivo(leitor, escritor, tamanho, {}, &p.conferencia, converte);
    escritor.close();
    p.saida = fixture::readFile(u"C:\\T\\saida"_s);
    return p;
}

QStringList textos(const remessa::Conferencia &c)
{
    QStringList out;
    for (const remessa::Constatacao &k : c.constatacoes())
        out << remessa::textoConstatacao(k, false);
    return out;
}

// A CNAB 400 record: its start, blanks, the sequence number in 395-400.
QByteArray r400(const QByteArray &inicio, const QByteArray &sequencial)
{
    return inicio.leftJustified(394, ' ') + sequencial + "\r\n";
}
QByteArray cnab400(const QList<QByteArray> &sequenciais, char ultimo = '9')
{
    QByteArray out = r400("01REMESSA01COBRANCA", sequenciais.first());
    for (qsizetype i = 1; i + 1 < sequenciais.size(); ++i)
        out += r400("1TITULO", sequenciais[i]);
    return out + r400(QByteArray(1, ultimo), sequenciais.last());
}
// A CNAB 240 record: bank, batch, record type in column 8, a count in 24-29.
QByteArray r240(char tipo, const QByteArray &quantidade = {})
{
    return ("0010000" + QByteArray(1, tipo)).leftJustified(23, ' ') + quantidade.leftJustified(217, ' ') + "\r\n";
}

} // namespace

class TstConferencia : public QObject {
    Q_OBJECT
private slots:
    void constatacoes_data()
    {
        QTest::addColumn<QByteArray>("entrada");
        QTest::addColumn<int>("tamanho");
        QTest::addColumn<QStringList>("esperado");
        QTest::addColumn<bool>("convertivel");
        const QByteArray dez = "0123456789";
        const QByteArray l240 = QByteArray(240, 'L') + "\r\n";
        QTest::newRow("cortado um") << "a\r\n" + QByteArray(400, 'x') + "2\r\n" << 400
                                    << QStringList{u"linha 2: 1 caractere além da posição 400 cortado: \"2\""_s} << false;
        QTest::newRow("cortados, brancos no fim") << dez + " AB   \r\n" << 10
                                                  << QStringList{u"linha 1: 3 caracteres além da posição 10 cortados: \" AB\""_s} << false;
        QTest::newRow("corte mostrado até 40") << dez + QByteArray(60, 'y') << 10
                                               << QStringList{u"linha 1: 60 caracteres além da posição 10 cortados: \""_s
                                                              + QString(40, u'y') + u"…\""_s} << false;
        QTest::newRow("registro branco, corte com texto") << "   x\r\n"_ba << 2
                                                          << QStringList{u"linha 1: 2 caracteres além da posição 2 cortados: \" x\""_s} << false;
        QTest::newRow("inofensivos") << "\r\n" + dez + "    \t\r\n  \t \r\nA\xC7\xC3O\n\n\rfim" << 10 << QStringList{} << false;
        QTest::newRow("UTF-8 que corta") << "xx\rA\xC3\x87\xC3\x83O \xC3\x87\r\n"_ba << 4
                                         << QStringList{u"linha 2: texto em UTF-8, com mais de um byte por caractere: \"ÇÃ\""_s,
                                                        u"linha 2: 5 caracteres além da posição 4 cortados: \"ƒO Ç\""_s} << true;
        QTest::newRow("UTF-8 fora do 1252") << "ok \xE2\x9C\x93\r\n"_ba << 10
                                            << QStringList{u"linha 1: texto em UTF-8, com mais de um byte por caractere: \"✓\""_s} << false;
        QTest::newRow("UTF-8 e 1252") << "\xC3\x89 \xE9\r\n"_ba << 10
                                      << QStringList{u"linha 1: texto em UTF-8, com mais de um byte por caractere: \"É\""_s} << false;
        QTest::newRow("BOM") << "\xEF\xBB\xBF" "ABC"_ba << 3
                             << QStringList{u"linha 1: marca de UTF-8 (bytes EF BB BF) no início do arquivo"_s,
                                            u"linha 1: 3 caracteres além da posição 3 cortados: \"ABC\""_s} << true;
        // CR LF ends one line, any other CR or LF one of its own.
        QTest::newRow("controles e numeração") << "ok\r\n\n\r\n\rX\tY\x7f\0"_ba << 10
                                               << QStringList{u"linha 5: caractere de controle (código 9) na posição 2 e mais 2 na mesma linha"_s}
                                               << false;
        QTest::newRow("240 para 400") << l240 + "\r\n" + l240 + l240 << 400
                                      << QStringList{u"linha 1: todas as linhas têm 240 caracteres: o arquivo parece ser de registros "
                                                     "de 240 posições, e o serviço usa registros de 400"_s} << false;
        QTest::newRow("240 e uma curta") << l240 + "curta\r\n" + l240 << 444 << QStringList{} << false;
        QTest::newRow("CNAB 400") << cnab400({"000001", "000002", "000003"}) << 400 << QStringList{} << false;
        QTest::newRow("CNAB 400 sem um") << cnab400({"000001", "000002", "000004", "000005"}) << 400
                                         << QStringList{u"linha 3: número sequencial 000004 nas posições 395 a 400, esperado 000003"_s}
                                         << false;
        QTest::newRow("CNAB 400 repetido") << cnab400({"000001", "000002", "000002", "000003", "000004"}) << 400
                                           << QStringList{u"linha 3: número sequencial 000002 nas posições 395 a 400, esperado 000003"_s}
                                           << false;
        QTest::newRow("CNAB 400 números errados") << cnab400({"000001", "900000", "000003", "  4 A ", "000005"}) << 400
                                                  << QStringList{u"linha 2: número sequencial 900000 nas posições 395 a 400, esperado 000002"_s,
                                                                 u"linha 4: número sequencial \"  4 A \" nas posições 395 a 400, esperado 000004"_s}
                                                  << false;
        QTest::newRow("CNAB 400 sem trailer") << cnab400({"000001", "000002"}, '1') + "\r\n" << 400
                                              << QStringList{u"linha 2: o último registro não começa com \"9\""_s} << false;
        QTest::newRow("CNAB 240") << r240('0') + r240('1') + "\n" + r240('9', "000003") << 240 << QStringList{} << false;
        QTest::newRow("CNAB 240 contagem") << r240('0') + r240('1') + r240('3') + r240('9', "000010") + "\r\n" << 240
                                           << QStringList{u"linha 4: o trailer do arquivo informa 000010 registros nas posições 24 a 29, "
                                                          "mas o arquivo tem 4"_s} << false;
    }
    void constatacoes()
    {
        QFETCH(QByteArray, entrada);
        QFETCH(int, tamanho);
        QFETCH(QStringList, esperado);
        QFETCH(bool, convertivel);
        const Passagem p = passa(entrada, tamanho);
        QCOMPARE(textos(p.conferencia), esperado);
        QCOMPARE(p.conferencia.total(), esperado.size());
        QCOMPARE(p.conferencia.convertivel(), convertivel);
    }

    // The first 100 in line order; one of the end of the file still finds its place.
    void limite()
    {
        const Passagem p = passa((QByteArray(239, 'x') + "\t\n").repeated(150) + "\x1a", 400);
        QCOMPARE(p.conferencia.total(), 151);
        QCOMPARE(p.conferencia.constatacoes().size(), 100);
        QVERIFY(p.conferencia.constatacoes()[1].texto.startsWith(u"todas as linhas têm 240"_s));
        QCOMPARE(p.conferencia.constatacoes().last().linha, 99);
        QCOMPARE(p.conferencia.omitidas(), 51);
    }

    // Converted, the records get their length and the checks find nothing;
    // what Windows-1252 lacks stays as it was read. Sequences across the
    // reader's blocks convert whole.
    void conversao_data()
    {
        QTest::addColumn<QByteArray>("entrada");
        QTest::addColumn<int>("tamanho");
        QTest::addColumn<QByteArray>("saida");
        QTest::addColumn<bool>("convertivel");
        QTest::newRow("acentos") << "\xEF\xBB\xBF" "A\xC3\x87\xC3\x83O\r\nJOS\xC3\x89 \xE2\x82\xAC" "1\r\n"_ba << 8
                                 << "A\xC7\xC3O    \r\nJOS\xC9 \x80" "1 \r\n"_ba << true;
        QTest::newRow("sem 1252") << "\xE2\x9C\x93\xC3\x87\xE9x"_ba << 6 << "\xE2\x9C\x93\xC7\xE9x\r\n"_ba << false;
        const int bloco = int(winfs::FileBufferSize);
        for (int antes : {1, 2})
            QTest::addRow("fronteira %d", antes) << QByteArray(bloco - antes, 'a') + "\xE2\x82\xAC" "b" << bloco + 1
                                                 << (QByteArray(bloco - antes, 'a') + "\x80" "b").leftJustified(bloco + 1, ' ') + "\r\n"
                                                 << true;
        QTest::newRow("fim no meio") << "ab\xC3"_ba << 3 << "ab\xC3\r\n"_ba << false;
    }
    void conversao()
    {
        QFETCH(QByteArray, entrada);
        QFETCH(int, tamanho);
        QFETCH(QByteArray, saida);
        QFETCH(bool, convertivel);
        QCOMPARE(passa(entrada, tamanho).conferencia.convertivel(), convertivel);
        const Passagem convertida = passa(entrada, tamanho, true);
        QCOMPARE(convertida.saida, saida);
        if (convertivel)
            QVERIFY2(convertida.conferencia.limpa(), qPrintable(textos(convertida.conferencia).join(u'\n')));
    }

    void semEntrega()
    {
        fixture::Prefix prefix(false);
        fixture::writeFile(Entrada, "A\xC3\x87\xC3\x83O\r\n");
        remessa::Conferencia c;
        QCOMPARE(remessa::ConfereArquivo(Entrada, 4, c), 0);
        QVERIFY(c.convertivel() && c.total() == 2);
        QCOMPARE(remessa::ConfereArquivo(Entrada, 4, c, true), 0);
        QVERIFY(c.limpa());
        QCOMPARE(remessa::ConfereArquivo(u"C:\\T\\nada"_s, 4, c), int(ioFileNotFound));
        QCOMPARE(IOResult(), 0);
        QCOMPARE(remessa::textoConstatacao({7, u"x"_s}, true), u"Linha 7: x"_s);
    }
};

QTEST_GUILESS_MAIN(TstConferencia)
#include "tst_conferencia.moc"
