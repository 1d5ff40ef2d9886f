// The remittance job without a window: deliveries stopped at each step the
// way a kill stops them, then completed or undone by the next cleanup; a
// sequence number taken by another copy of the program; a log that cannot
// be written; leftovers of earlier versions.
#include "common/fixture.h"

#include "platform/filesystem/entrega.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "remittance/RenomeiaRemessa.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;
using winfs::EtapaEntrega;

namespace {

const QString Saida = u"C:\\ZQ\\COB\\SAIDA\\"_s;
const QString Nome1 = u"COB01660510012000345678P.TXT"_s;
const QDateTime Dia5(QDate(2026, 3, 5), QTime(10, 20, 30));
const QDateTime Agora(QDate(2026, 3, 20), QTime(9, 0, 0));

// Answers yes and keeps what it is told.
struct Registro : remessa::Interlocutor {
    QStringList ditos;
    bool pergunta(Pergunta, const Mensagem &m) override
    {
        ditos << m.texto;
        return true;
    }
    Decisao conferencia(const remessa::Conferencia &, const Mensagem &caixa, bool) override
    {
        ditos << caixa.texto;
        return Decisao::Sim;
    }
    void mensagem(const Mensagem &m) override { ditos << m.texto; }
};

struct Job {
    Job()
    {
        setClock([] { return Agora; });
        fixture::addContract(12, 345678, u"66"_s, u"C:\\REM"_s);
        fixture::makeDir(Saida);
        contrato = *remessa::leContrato(12, 345678, u"66"_s);
    }
    ~Job() { setClock({}); }
    // Composes and renames a file of C:\REM; gives the result.
    remessa::Resultado renomeia(const QString &nome, const QByteArray &bytes = "registro\r\n")
    {
        const QString origem = u"C:\\REM\\"_s + nome;
        if (!winfs::fileExists(origem)) {
            fixture::writeFile(origem, bytes);
            winfs::setFileAge(origem, Dia5);
        }
        remessa::Composicao c;
        if (job.compoe(contrato, origem, true, c) != remessa::Composto::Nome)
            return remessa::Resultado::Falhou;
        return job.renomeia(contrato, Saida, c);
    }
    QStringList saida() const
    {
        return QDir(winfs::hostPath(Saida)).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    fixture::Prefix prefix;
    Registro quem;
    remessa::RenomeiaRemessa job{quem};
    remessa::Contrato contrato;
};

QByteArray registro400(const QByteArray &texto)
{
    return texto.leftJustified(400, ' ') + "\r\n";
}

} // namespace

class TstRenomeiaRemessa : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(installed_rows); }

    // At every moment the final name holds the old file or the new one; after
    // the next cleanup, file and log row are in step.
    void interrompidaEmCadaEtapa_data() { fixture::etapasDeEntrega(); }
    void interrompidaEmCadaEtapa()
    {
        QFETCH(int, etapa);
        QFETCH(bool, entregue);
        Job j;
        fixture::writeFile(Saida + Nome1, "antigo");
        j.job.observador = fixture::morreEm(etapa);
        QVERIFY_THROWS_EXCEPTION(fixture::Morte, j.renomeia(u"a.txt"_s));
        const QByteArray novo = registro400("registro");
        const QByteArray agora = fixture::readFile(Saida + Nome1);
        QVERIFY(agora == "antigo" || agora == novo);

        j.job.observador = {};
        remessa::RenomeiaRemessa::limpaSaida(Saida);
        QCOMPARE(j.saida(), QStringList{Nome1});
        QCOMPARE(fixture::readFile(Saida + Nome1), entregue ? novo : QByteArray("antigo"));
        QCOMPARE(fixture::rows(u"Arq"_s).size(), entregue ? 1 : 0);
        // A number a delivered file holds is never given to another file.
        remessa::Composicao c;
        fixture::writeFile(u"C:\\REM\\b.txt"_s, "b\r\n");
        winfs::setFileAge(u"C:\\REM\\b.txt"_s, Dia5);
        QCOMPARE(j.job.compoe(j.contrato, u"C:\\REM\\b.txt"_s, true, c), remessa::Composto::Nome);
        QCOMPARE(c.sequencia, entregue ? 2 : 1);
    }

    // Another copy of the program took the number since the name was composed.
    void outraCopiaTomaONumero()
    {
        Job j;
        fixture::writeFile(u"C:\\REM\\a.txt"_s, "a\r\n");
        winfs::setFileAge(u"C:\\REM\\a.txt"_s, Dia5);
        remessa::Composicao c;
        QCOMPARE(j.job.compoe(j.contrato, u"C:\\REM\\a.txt"_s, true, c), remessa::Composto::Nome);
        QCOMPARE(c.nome, Nome1);
        fixture::exec(u"insert into Arq values (12, 345678, '66', '2026-03-20', '08:59:00', 'C:\\REM\\b.txt', '%1', 1, 1, "
                      "'2026-03-05', '10:20:30')"_s.arg(Nome1));
        fixture::writeFile(Saida + Nome1, "da outra");
        QCOMPARE(j.job.renomeia(j.contrato, Saida, c), remessa::Resultado::Renomeado);
        QCOMPARE(c.nome, u"COB01660520012000345678P.TXT"_s);
        QCOMPARE(j.job.entregue(), Saida + c.nome);
        QCOMPARE(fixture::readFile(Saida + Nome1), QByteArray("da outra"));
        QCOMPARE(fixture::readFile(Saida + c.nome), registro400("a"));
        QCOMPARE(fixture::rows(u"Arq"_s, u"ArqNumRemessa"_s).last()[u"ArqNomeDestino"_s].toString(), c.nome);
    }

    // The log locked by another program: nothing is delivered, nothing is left.
    void logTravado()
    {
        Job j;
        fixture::writeFile(u"C:\\REM\\a.txt"_s, "a\r\n");
        remessa::Composicao c;
        QCOMPARE(j.job.compoe(j.contrato, u"C:\\REM\\a.txt"_s, true, c), remessa::Composto::Nome);
        fixture::OtherProgram outro(u"Arq"_s);
        QVERIFY(outro.exec(u"BEGIN IMMEDIATE"_s));
        QCOMPARE(j.job.renomeia(j.contrato, Saida, c), remessa::Resultado::Falhou);
        QVERIFY(outro.exec(u"ROLLBACK"_s));
        QCOMPARE(j.quem.ditos.size(), 2);
        QVERIFY2(j.quem.ditos[0].contains(u"Table is busy"_s), qPrintable(j.quem.ditos[0]));
        QVERIFY(j.saida().isEmpty());
        QVERIFY(fixture::rows(u"Arq"_s).isEmpty());
    }

    // What earlier versions and killed deliveries left: the program's own
    // names go, a delivery in progress and the customer's files stay.
    void sobras()
    {
        Job j;
        // A temporary of a version that did not name its process yet.
        const QString parcial = Saida + u"."_s + Nome1 + u".20260320085900.parcial"_s;
        const QString antigo = Saida + u".COB01660510012000345678P.parcial"_s;
        const QString emCurso = winfs::Entrega::nomeTemporario(Saida + u"OUTRO.TXT"_s, Agora, false);
        for (const QString &f : {parcial, antigo, Saida + u".notas.parcial"_s, Saida + u".lista.tmp"_s, Saida + u"COB.TXT"_s})
            fixture::writeFile(f, "x");
        winfs::FileWriter escrevendo;
        QCOMPARE(escrevendo.create(emCurso), 0);
        remessa::RenomeiaRemessa::limpaSaida(Saida);
        QCOMPARE(j.saida(), (QStringList{winfs::extractFileName(emCurso), u".lista.tmp"_s, u".notas.parcial"_s, u"COB.TXT"_s}));
    }
};

QTEST_GUILESS_MAIN(TstRenomeiaRemessa)
#include "tst_renomeiaremessa.moc"
