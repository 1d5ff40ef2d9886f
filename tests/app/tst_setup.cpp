// The setup program: the launcher's drive, the demo drive and their failures.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "app/demo.h"
#include "app/setup.h"
#include "app/startup.h"
#include "contracts/TfrmCadContrato.h"
#include "db/rules.h"
#include "platform/filesystem/winfs.h"
#include "platform/tables/session.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int runSetup(const QStringList &args, std::optional<zqsetup::Launch> *launch = nullptr)
{
    std::optional<zqsetup::Launch> l;
    const int status = zqsetup::run(args, l);
    if (launch)
        *launch = l;
    return status;
}

// Every file under drive C: with its size and stamp, and the contracts.
QStringList snapshot()
{
    QStringList out;
    QDirIterator it(winfs::driveCDir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi = it.nextFileInfo();
        out << fi.filePath() + u' ' + QString::number(fi.size()) + u' ' + fi.lastModified().toString(Qt::ISODateWithMs);
    }
    out.sort();
    for (const QVariantMap &r : fixture::rows(u"Ctr"_s, u"CtrAgencia, CtrContrato"_s))
        out << r.value(u"CtrAgencia"_s).toString() + u'/' + r.value(u"CtrContrato"_s).toString();
    return out;
}

// What the line-fitting pass meets in a contract's remittance files.
struct Lines {
    bool crlf = false, lf = false, cr = false, empty = false, shorter = false, longer = false;
};
Lines linesOf(const QByteArray &bytes, int record)
{
    Lines l;
    QByteArray line;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        const char c = i < bytes.size() ? bytes[i] : '\n';
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            l.crlf = true;
            ++i;
        } else if (i < bytes.size()) {
            (c == '\r' ? l.cr : l.lf) = true;
        }
        if (line.trimmed().isEmpty())
            l.empty = true;
        else
            (line.size() > record ? l.longer : l.shorter) = true;
        line.clear();
    }
    return l;
}

} // namespace

class TestSetup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitApplication(); }

    // One contract per system with its folders, a valid COB check digit,
    // remittance files with every kind of line the fitting pass handles, and
    // return files the program recognises as its contracts'.
    void demoDrive()
    {
        fixture::Prefix prefix;
        fixture::Boxes boxes;
        QCOMPARE(runSetup({u"--demo"_s}), 0);

        QStringList systems;
        QHash<QString, QVariantMap> bySystem;
        for (const QVariantMap &c : fixture::rows(u"Ctr"_s)) {
            const QVariantMap svc = fixture::rows(u"Svc WHERE SvcCod = '"_s + c.value(u"CtrServico"_s).toString() + u"'"_s).value(0);
            const QString system = svc.value(u"SisCod"_s).toString();
            systems << system;
            bySystem.insert(system, c);
            QVERIFY(winfs::directoryExists(c.value(u"CtrDirRemessa"_s).toString()));
            QVERIFY(winfs::directoryExists(c.value(u"CtrDirRetorno"_s).toString()));
            QVERIFY(winfs::directoryExists(zqdb::outgoingFolder(system)));
            QByteArray remessas;
            for (const winfs::SearchRec &f : winfs::findFiles(c.value(u"CtrDirRemessa"_s).toString() + u"\\*.*"_s))
                remessas += fixture::readFile(c.value(u"CtrDirRemessa"_s).toString() + u'\\' + f.name) + "\r\n";
            const Lines l = linesOf(remessas, svc.value(u"SvcTam"_s).toInt());
            QVERIFY2(l.crlf && l.lf && l.cr && l.empty && l.shorter && l.longer, qPrintable(system));
        }
        systems.sort();
        QCOMPARE(systems, (QStringList{u"CCC"_s, u"COB"_s, u"DEL"_s, u"IPC"_s, u"PDZ"_s}));
        QCOMPARE(bySystem[u"COB"_s].value(u"CtrServico"_s).toString(), u"66"_s);
        QCOMPARE(fixture::rows(u"Age"_s).size(), 3);

        // A return file per contract, in the folder its contract takes it
        // from, under a name whose system, identifier and key the program knows.
        QStringList served;
        for (const QString &system : {u"COB"_s, u"PDZ"_s, u"CCC"_s, u"DEL"_s}) {
            const QString folder = zqdb::incomingFolder(system);
            for (const winfs::SearchRec &f : winfs::findFiles(zqdb::returnFileMask(folder, system))) {
                const zqdb::ReturnFileName name(f.name);
                QCOMPARE(name.date(), QDate::currentDate());
                QVERIFY(!fixture::rows(u"Rsi WHERE IdSis = '"_s + name.system() + u"' AND IdRet = '"_s + name.identifier() + u"'"_s)
                             .isEmpty());
                const int digits = zqdb::contractDigitsOfSystem(system);
                QCOMPARE(name.contractDigitsByDot(0), digits);
                QString owner;
                for (auto c = bySystem.cbegin(); c != bySystem.cend(); ++c)
                    if (c.value().value(u"CtrAgencia"_s).toInt() == name.agency()
                        && c.value().value(u"CtrContrato"_s).toInt() == name.contract(digits))
                        owner = c.key();
                QVERIFY2(owner == system || (owner == u"IPC"_s && system == u"PDZ"_s), qPrintable(f.name));
                QCOMPARE(zqdb::incomingFolder(owner), folder);
                served << owner;
            }
        }
        served.sort();
        QCOMPARE(served, (QStringList{u"CCC"_s, u"COB"_s, u"DEL"_s, u"IPC"_s, u"PDZ"_s}));

        // The program sees them: the registration window opens on the COB
        // contract (agency 0001, first in key order) and takes its number;
        // the return command finds a waiting file.
        TfrmPrincipal principal;
        principal.mnuCadContratoClick();
        auto *cad = qobject_cast<TfrmCadContrato *>(principal.frmCadContrato.data());
        QVERIFY(cad);
        QCOMPARE(cad->dbeAgencia->text(), u"0001"_s);
        QVERIFY(cad->ValidaDigitoContrato());
        principal.mnuRnmArqRetornoClick();
        QVERIFY2(principal.frmRnmArqRetorno, qPrintable(boxes.dump()));
    }

    // A drive with contracts (a second demo among them) is refused before
    // anything changes; so is a prefix that cannot be written.
    void demoRefused()
    {
        fixture::Prefix prefix;
        QCOMPARE(runSetup({u"--demo"_s}), 0);
        const QStringList before = snapshot();
        QCOMPARE(runSetup({u"--demo"_s}), 1);
        QCOMPARE(snapshot(), before);

        fixture::Prefix user;
        fixture::addContract(12, 3456, u"CC"_s);
        fixture::addAgency(12, u"AGENCIA DOZE"_s);
        const QString refusal = fixture::errorOf([] { zqsetup::layOutDemo(); });
        QCOMPARE(refusal, u"A unidade C: em "_s + winfs::driveCDir()
                              + u" já tem contratos cadastrados: a demonstração só é montada numa unidade sem contratos. "
                                "Nada foi alterado.\rPara ver a demonstração, use um prefixo novo (RENOMEIA_ZQ_PREFIX=<pasta vazia>)."_s);
        QVERIFY(!winfs::directoryExists(u"C:\\DEMO"_s));
        QCOMPARE(fixture::rows(u"Age"_s).size(), 1);

        fixture::Prefix unwritable(false);
        fixture::writeFile(u"C:\\arquivo"_s, "x");
        qputenv("RENOMEIA_ZQ_PREFIX", QFile::encodeName(winfs::hostPath(u"C:\\arquivo"_s) + u"/prefixo"_s));
        QCOMPARE(fixture::errorOf([] { zqsetup::layOutDemo(); }),
                 u"A demonstração não foi montada na unidade C: em "_s + winfs::driveCDir()
                     + u"\rCannot create the folder C:\\ZQ\\REN\\TABELAS"_s);
        QCOMPARE(runSetup({u"--demo"_s}), 1);
    }

    // The launcher lays out what is missing, leaves tables and contracts as
    // they are, brings the help file up to date and names the program to start.
    void launcherLaysOutTheDrive()
    {
        fixture::Prefix prefix;
        fixture::addContract(12, 3456, u"CC"_s);
        fixture::writeFile(u"C:\\ZQ\\REN\\ZQRen417.hlp"_s, "old");
        QFile::remove(winfs::hostPath(u"C:\\ZQ\\REN\\TABELAS\\Rsi.db"_s));
        std::optional<zqsetup::Launch> launch;
        QCOMPARE(runSetup({u"--start"_s, u"-x"_s}, &launch), 0);
        QVERIFY(launch);
        QCOMPARE(launch->program, QCoreApplication::applicationDirPath() + u"/renomeia-zq"_s);
        QCOMPARE(launch->arguments, QStringList{u"-x"_s});
        QCOMPARE(launch->folder, winfs::hostPath(u"C:\\ZQ\\REN"_s));
        tables::Session::instance().reset(); // let go of the removed table file
        QCOMPARE(fixture::rows(u"Ctr"_s).size(), 1);
        QVERIFY(!fixture::rows(u"Rsi"_s).isEmpty());
        QFile data(QStringLiteral(ZQ_SOURCE_DIR "/data/ZQRen417.hlp"));
        QVERIFY(data.open(QIODevice::ReadOnly));
        QCOMPARE(fixture::readFile(u"C:\\ZQ\\REN\\ZQRen417.hlp"_s), data.readAll());
    }

    // A drive that is a file: the launcher says so in a box (a menu entry has
    // no terminal) and starts nothing. Unknown options get the usage text.
    void launcherFailureAndUnknownOptions()
    {
        fixture::Prefix prefix(false);
        QDir(winfs::driveCDir()).removeRecursively();
        QFile drive(winfs::driveCDir());
        QVERIFY(drive.open(QIODevice::WriteOnly));
        drive.close();
        fixture::Boxes boxes;
        std::optional<zqsetup::Launch> launch;
        QCOMPARE(runSetup({u"--start"_s}, &launch), 1);
        QVERIFY(!launch);
        QCOMPARE(boxes.dump(), u"Renomeia Arquivos ZQ | Não foi possível preparar a unidade C: em "_s + winfs::driveCDir()
                                   + u"\rCannot create the folder C:\\ZQ\\REN\\TABELAS | error"_s);
        QCOMPARE(runSetup({u"--demo"_s}), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(runSetup({u"--iniciar"_s}), 2);
        QCOMPARE(runSetup({u"--demo"_s, u"--start"_s}), 2);
    }
};

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
