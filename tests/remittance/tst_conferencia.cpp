// The checks of a remittance file, made in the line-fitting pass, and the
// conversion from UTF-8.
#include "common/fixture.h"

#include "platform/filesystem/filehandles.h"
#include "platform/runtime/errors.h"
#include "remittance/ConfereRemessa.h"
#include "remittance/Impressao.h"

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

// CNAB 240 records of the FEBRABAN layout: fields (column from 1, text) over blanks.
QByteArray r240(std::initializer_list<std::pair<int, QByteArray>> campos)
{
    QByteArray r(240, ' ');
    for (const auto &[coluna, texto] : campos)
        r.replace(coluna - 1, texto.size(), texto);
    return r;
}
QByteArray header240(const QByteArray &data = "09122026", char codigo = '1')
{
    return r240({{1, "001"}, {4, "0000"}, {8, "0"}, {18, "2"}, {19, "12345678000190"}, {33, "000123456"}, {73, "EMPRESA EXEMPLO LTDA"},
                 {103, "BANCO EXEMPLO"}, {143, QByteArray(1, codigo)}, {144, data}, {152, "102030"}, {158, "000012"}, {164, "084"}});
}
QByteArray lote240(const QByteArray &lote, char tipo, const QByteArray &quantidade = {})
{
    return r240({{1, "001"}, {4, lote}, {8, QByteArray(1, tipo)}, {9, tipo == '3' ? "00001P 01" : "R01  042 2"}, {18, quantidade}});
}
QByteArray trailer240(const QByteArray &lotes, const QByteArray &registros, const QByteArray &lote = "9999")
{
    return r240({{1, "001"}, {4, lote}, {8, "9"}, {18, lotes}, {24, registros}});
}
// A whole file: two lots of four and three records.
QList<QByteArray> cnab240()
{
    return {header240(),
            lote240("0001", '1'), lote240("0001", '3'), lote240("0001", '3'), lote240("0001", '5', "000004"),
            lote240("0002", '1'), lote240("0002", '3'), lote240("0002", '5', "000003"),
            trailer240("000002", "000009")};
}
QByteArray linhas(const QList<QByteArray> &registros, const QByteArray &fim = "\r\n")
{
    return registros.join(fim) + fim;
}
// The file with one record changed.
QByteArray cnab240(int indice, const QByteArray &registro)
{
    QList<QByteArray> r = cnab240();
    r[indice] = registro;
    return linhas(r);
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
        QTest::newRow("240 e uma curta") << l240 + "curta\r\n" + l240 << 444
                                         << QStringList{u"linha 1: 2 das 3 linhas têm 240 caracteres: o arquivo parece ser de registros "
                                                        "de 240 posições, e o serviço usa registros de 444"_s} << false;
        QTest::newRow("corte depois de brancos") << QByteArray(400, 'x') + QByteArray(43, ' ') + "000001" << 400
                                                 << QStringList{u"linha 1: 49 caracteres além da posição 400 cortados: \"…000001\""_s} << false;

        QTest::newRow("CNAB 400") << cnab400({"000001", "000002", "000003"}) << 400 << QStringList{} << false;
        QTest::newRow("CNAB 400 inofensivos") << QByteArray(cnab400({"000001", "000002", "000003"})).replace("\r\n", "\r").replace("TITULO", "T\xCDTULO")
                                                     + "\r\r   \r"
                                              << 400 << QStringList{} << false;
        QTest::newRow("CNAB 400 com BOM") << "\xEF\xBB\xBF" + cnab400({"000001", "000002", "000004", "000005"}) << 400
                                          << QStringList{u"linha 1: marca de UTF-8 (bytes EF BB BF) no início do arquivo"_s,
                                                         u"linha 1: 3 caracteres além da posição 400 cortados: \"001\""_s,
                                                         u"linha 3: número sequencial 000004 nas posições 395 a 400, esperado 000003"_s}
                                          << true;
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

        // CNAB 240: what a writer may do to a whole file without harm.
        QList<QByteArray> semBrancos = cnab240();
        for (QByteArray &r : semBrancos)
            r = r.trimmed();
        semBrancos[0].replace(72, 7, "EMPR\xC9SA");
        QTest::newRow("CNAB 240") << linhas(cnab240()) << 240 << QStringList{} << false;
        QTest::newRow("CNAB 240 inofensivos") << linhas(semBrancos, "\n").chopped(1) << 240 << QStringList{} << false;
        QTest::newRow("CNAB 240 linhas em branco") << linhas(cnab240(), "\r\n\r\n") + QByteArray(240, ' ') << 240 << QStringList{} << false;
        // A blank lost in the middle of the header moves the date and everything after it.
        QTest::newRow("CNAB 240 caractere perdido") << cnab240(0, header240().remove(120, 1)) << 240
                                                    << QStringList{u"linha 1: registro de 239 caracteres terminado em branco, esperados 240: "
                                                                   "falta 1 caractere no meio do registro"_s,
                                                                   u"linha 1: data de geração \"91220261\" nas posições 144 a 151 não é uma "
                                                                   "data (DDMMAAAA)"_s} << false;
        QTest::newRow("CNAB 240 retorno") << cnab240(0, header240("31022026", '2')) << 240
                                          << QStringList{u"linha 1: \"2\" na posição 143 do header: é um arquivo retorno, não uma remessa"_s,
                                                         u"linha 1: data de geração \"31022026\" nas posições 144 a 151 não é uma data (DDMMAAAA)"_s}
                                          << false;
        QTest::newRow("CNAB 240 incompleto") << linhas(cnab240().mid(0, 3)) << 240
                                             << QStringList{u"linha 3: o lote 0001 termina sem o trailer de lote (registro tipo \"5\")"_s,
                                                            u"linha 3: o arquivo termina sem o trailer do arquivo (registro tipo \"9\", lote 9999): "
                                                            "parece incompleto"_s} << false;
        QTest::newRow("CNAB 240 cortado no segundo registro") << header240() + "\r\n" + lote240("0001", '1').left(11) << 240
                                                              << QStringList{u"linha 2: o lote 0001 termina sem o trailer de lote (registro tipo \"5\")"_s,
                                                                             u"linha 2: o arquivo termina sem o trailer do arquivo (registro tipo \"9\", "
                                                                             "lote 9999): parece incompleto"_s} << false;
        QTest::newRow("CNAB 240 trailer de lote") << cnab240(4, lote240("0001", '5', "000005")) << 240
                                                  << QStringList{u"linha 5: o trailer do lote 0001 informa 000005 registros nas posições 18 a 23, "
                                                                 "mas o lote tem 4"_s} << false;
        QTest::newRow("CNAB 240 lotes") << cnab240(5, lote240("0003", '1')) << 240
                                        << QStringList{u"linha 6: lote 0003 nas posições 4 a 7 do header de lote, esperado 0002"_s,
                                                       u"linha 7: lote 0002 nas posições 4 a 7, dentro do lote 0003"_s} << false;
        QTest::newRow("CNAB 240 sem trailer de lote") << cnab240(4, lote240("0001", '3')) << 240
                                                      << QStringList{u"linha 6: o lote 0001 termina sem o trailer de lote (registro tipo \"5\")"_s}
                                                      << false;
        QTest::newRow("CNAB 240 fora de lote") << cnab240(5, lote240("0002", '3')) << 240
                                               << QStringList{u"linha 6: registro tipo \"3\" fora de um lote: falta o header de lote "
                                                              "(registro tipo \"1\")"_s,
                                                              u"linha 9: o trailer do arquivo informa 000002 lotes nas posições 18 a 23, mas o "
                                                              "arquivo tem 1"_s} << false;
        QTest::newRow("CNAB 240 trailer do arquivo") << linhas(cnab240() << r240({{1, "001"}})).replace("9999", "0003").replace("000009", "00009 ")
                                                     << 240
                                                     << QStringList{u"linha 9: lote 0003 nas posições 4 a 7 do trailer do arquivo, esperado 9999"_s,
                                                                    u"linha 9: o trailer do arquivo informa \"00009 \" registros nas posições 24 a 29, "
                                                                    "mas o arquivo tem 9"_s,
                                                                    u"linha 10: registro depois do trailer do arquivo"_s} << false;
        QTest::newRow("CNAB 240 para 400") << linhas(cnab240()) << 400
                                           << QStringList{u"linha 1: header de arquivo CNAB 240 (lote 0000, registro tipo \"0\"): o arquivo "
                                                          "parece ser de registros de 240 posições, e o serviço usa registros de 400"_s}
                                           << false;
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

    // What the log's findings start from: the fingerprint of the bytes
    // written, the same however they are split (the pass takes it line by
    // line) and on every system; the sequence number of a CNAB 240 header.
    // The log's findings take their place in line order.
    void impressaoESequencia()
    {
        const Passagem p = passa(linhas(cnab240(), "\n"), 240);
        QCOMPARE(p.conferencia.impressao(), remessa::impressaoDe(p.saida, 240));
        QCOMPARE(p.conferencia.sequenciaArquivo(), 12);
        QCOMPARE(p.conferencia.linhaDoHeader(), 1);
        QVERIFY(remessa::impressaoDe(p.saida, 240) != remessa::impressaoDe(QByteArray(p.saida).replace(1500, 1, "x"), 240));
        QCOMPARE(remessa::impressaoDe(QByteArray("0123456789").repeated(100), 8), 0xAE744F0948F2C75Eull);
        // Records of the real lengths take the wide routines and, past 512
        // bytes, the scramble between stripes: stored fingerprints must not
        // depend on the processor.
        const QByteArray texto = QByteArray("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ").repeated(20);
        QCOMPARE(remessa::impressaoDe((texto.left(400) + "\r\n").repeated(3), 400), 0xFFBF810062A967D5ull);
        QCOMPARE(remessa::impressaoDe((texto.left(600) + "\r\n").repeated(3), 600), 0xA1AC33F0463AD94Cull);
        QCOMPARE(passa(cnab400({"000001", "000002"}), 400).conferencia.sequenciaArquivo(), std::nullopt);

        remessa::Conferencia c = passa("a\r\n" + QByteArray(400, 'x') + "2\r\n", 400).conferencia;
        c.acrescenta(remessa::Constatacao::sequenciaNaoMaior(12, 15));
        c.acrescenta(remessa::Constatacao::conteudoIgual(u"COB01660510012000345678P.TXT"_s, QDateTime({2026, 12, 9}, {10, 20, 30})));
        QCOMPARE(c.total(), 3);
        QCOMPARE(textos(c), (QStringList{u"conteúdo igual ao do arquivo COB01660510012000345678P.TXT entregue em 09/12/2026 às 10:20:30"_s,
                                         u"linha 1: sequencial do arquivo 000012 nas posições 158 a 163 não é maior que o do último arquivo "
                                         "entregue para o contrato, 000015"_s,
                                         u"linha 2: 1 caractere além da posição 400 cortado: \"2\""_s}));
        QVERIFY(remessa::textoConstatacao(c.constatacoes().first(), true).startsWith(u"Conteúdo igual"_s));
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
