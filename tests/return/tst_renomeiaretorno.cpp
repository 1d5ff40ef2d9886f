// The return job without a window: a delivery over an earlier RETORNO.TXT
// stopped at each step the way a kill stops it, a log that cannot be
// written, and what earlier versions left in the return folder.
#include "common/fixture.h"

#include "platform/filesystem/entrega.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"
#include "return/RenomeiaRetorno.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;
using winfs::EtapaEntrega;

namespace {

const QString Entrada = u"C:\\ZQ\\COB\\ENTRADA"_s;
const QString Arquivo = u"20050315COB01X0123000045678.TXT"_s;
const QString Destino = u"C:\\RET\\RETORNO.TXT"_s;
const QDateTime Agora(QDate(2026, 12, 8), QTime(14, 5, 9));

struct Registro : retorno::Interlocutor {
    QStringList ditos;
    bool substitui(const Mensagem &m) override
    {
        ditos << m.texto;
        return true;
    }
    void mensagem(const Mensagem &m) override { ditos << m.texto; }
};

// Agency 123 with its COB contract 45678, an earlier delivery in its return
// folder and a new return file waiting.
struct Job {
    Job()
    {
        setClock([] { return Agora; });
        fixture::addContract(123, 45678, u"66"_s, u"C:\\"_s, u"C:\\RET\\"_s);
        fixture::writeFile(Destino, "antigo");
        fixture::writeFile(Entrada + u"\\"_s + Arquivo, "novo\r\n");
        contrato = *retorno::leContrato(123, 45678);
    }
    ~Job() { setClock({}); }
    retorno::Resultado entrega() { return job.entrega(contrato, Entrada, Arquivo, 9, u"RETORNO.TXT"_s); }
    QStringList pasta() const { return QDir(winfs::hostPath(u"C:\\RET"_s)).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    fixture::Prefix prefix;
    Registro quem;
    retorno::RenomeiaRetorno job{quem};
    retorno::Contrato contrato;
};

} // namespace

class TstRenomeiaRetorno : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(installed_rows); }

    void interrompidaEmCadaEtapa_data() { fixture::etapasDeEntrega(); }
    void interrompidaEmCadaEtapa()
    {
        QFETCH(int, etapa);
        QFETCH(bool, entregue);
        Job j;
        j.job.observador = fixture::morreEm(etapa);
        QVERIFY_THROWS_EXCEPTION(fixture::Morte, j.entrega());
        // The customer's software always finds a return file under its name.
        const QByteArray agora = fixture::readFile(Destino);
        QVERIFY(agora == "antigo" || agora == "novo\r\n");
        retorno::RenomeiaRetorno::limpaPasta(u"C:\\RET"_s, u"RETORNO.TXT"_s);
        QCOMPARE(j.pasta(), QStringList{u"RETORNO.TXT"_s});
        QCOMPARE(fixture::readFile(Destino), entregue ? QByteArray("novo\r\n") : QByteArray("antigo"));
        QCOMPARE(fixture::rows(u"Arq"_s).size(), entregue ? 1 : 0);
        QCOMPARE(fixture::readFile(Entrada + u"\\"_s + Arquivo), QByteArray("novo\r\n"));
    }

    // A log write that fails after the copy: no file, no row, the old file whole.
    void logTravado()
    {
        Job j;
        fixture::OtherProgram outro(u"Arq"_s);
        QVERIFY(outro.exec(u"BEGIN IMMEDIATE"_s));
        QVERIFY(!fixture::errorOf([&] { j.entrega(); }).isEmpty());
        QVERIFY(outro.exec(u"ROLLBACK"_s));
        QCOMPARE(j.pasta(), QStringList{u"RETORNO.TXT"_s});
        QCOMPARE(fixture::readFile(Destino), QByteArray("antigo"));
        QVERIFY(fixture::rows(u"Arq"_s).isEmpty());
    }

    // An earlier version moved the old file aside and was killed before the
    // new one took its name: the old file comes back, its copy goes; names
    // the program did not give stay.
    void sobrasDeVersoesAnteriores()
    {
        Job j;
        QFile::rename(winfs::hostPath(Destino), winfs::hostPath(u"C:\\RET\\.RETORNO.TXT.old"_s));
        for (const QString &f : {u"C:\\RET\\.RETORNO.TXT.tmp"_s, u"C:\\RET\\.outro.tmp"_s, u"C:\\RET\\.notas.old"_s})
            fixture::writeFile(f, "x");
        QCOMPARE(j.entrega(), retorno::Resultado::Renomeado);
        QCOMPARE(j.quem.ditos.first(), u"Deseja substituir o arquivo C:\\RET\\RETORNO.TXT?"_s);
        QCOMPARE(j.pasta(), (QStringList{u".notas.old"_s, u".outro.tmp"_s, u"RETORNO.TXT"_s}));
        QCOMPARE(fixture::readFile(Destino), QByteArray("novo\r\n"));
    }
};

QTEST_GUILESS_MAIN(TstRenomeiaRetorno)
#include "tst_renomeiaretorno.moc"
