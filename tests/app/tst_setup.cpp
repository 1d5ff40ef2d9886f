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
#include "remittance/ConfereRemessa.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int setup(const QStringList &args, std::optional<zqsetup::Launch> *launch = nullptr)
{
    std::optional<zqsetup::Launch> l;
    const int status = zqsetup::run(args, l);
    if (launch)
        *launch = l;
    return status;
}

// Every file of drive C: with its size and stamp, and the number of contracts.
QStringList snapshot()
{
    QStringList out;
    for (QDirIterator it(winfs::driveCDir(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo fi = it.nextFileInfo();
        out << fi.filePath() + u' ' + QString::number(fi.size()) + u' ' + fi.lastModified().toString(Qt::ISODateWithMs);
    }
    out.sort();
    return out << QString::number(fixture::rows(u"Ctr"_s).size());
}

} // namespace

class TestSetup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitApplication(); }

    // One contract per system with its folders, a valid COB check digit,
    // remittance files with every kind of line the fitting pass handles (the
    // long line is the only finding of the file checks; the COB contract also
    // has a file that passes them and one in UTF-8 that passes them converted),
    // and return files the program takes for its contracts'.
    void demoDrive()
    {
        fixture::Prefix prefix;
        fixture::Boxes boxes;
        QCOMPARE(setup({u"--demo"_s}), 0);
        QCOMPARE(fixture::rows(u"Age"_s).size(), 3);

        QMap<QString, QVariantMap> bySystem;
        for (const QVariantMap &c : fixture::rows(u"Ctr JOIN Svc ON SvcCod = CtrServico"_s))
            bySystem.insert(c.value(u"SisCod"_s).toString(), c);
        QCOMPARE(bySystem.keys(), (QStringList{u"CCC"_s, u"COB"_s, u"DEL"_s, u"IPC"_s, u"PDZ"_s}));
        QCOMPARE(bySystem[u"COB"_s].value(u"CtrServico"_s).toString(), u"66"_s);
        for (const QVariantMap &c : bySystem) {
            const QString rem = c.value(u"CtrDirRemessa"_s).toString();
            const int tam = c.value(u"SvcTam"_s).toInt();
            QVERIFY(winfs::directoryExists(c.value(u"CtrDirRetorno"_s).toString()));
            QByteArray bytes;
            QStringList limpos;
            for (const winfs::SearchRec &f : winfs::findFiles(rem + u"\\*.*"_s)) {
                bytes += fixture::readFile(rem + u'\\' + f.name) + "\r\n";
                const bool utf8 = f.name == u"remessa-utf8.txt"_s;
                remessa::Conferencia conferencia;
                QCOMPARE(remessa::ConfereArquivo(rem + u'\\' + f.name, tam, conferencia), 0);
                QCOMPARE(conferencia.convertivel(), utf8);
                if (!utf8 && !conferencia.limpa()) {
                    QCOMPARE(conferencia.total(), 1);
                    QVERIFY2(conferencia.constatacoes()[0].texto.contains(u"cortados: \"<<< ESTE TRECHO"_s), qPrintable(f.name));
                    continue;
                }
                remessa::ConfereArquivo(rem + u'\\' + f.name, tam, conferencia, utf8);
                QVERIFY2(conferencia.limpa(), qPrintable(f.name));
                limpos << f.name;
            }
            limpos.sort();
            const QStringList cob{u"remessa-ok.txt"_s, u"remessa-utf8.txt"_s};
            QCOMPARE(limpos, c.value(u"SisCod"_s) == u"COB"_s ? cob : QStringList());
            const QString text = QString::fromLatin1(bytes);
            QVERIFY(text.contains(QRegularExpression(u"[^\r]\n"_s)) && text.contains(QRegularExpression(u"\r[^\n]"_s)));
            const QStringList lines = text.split(QRegularExpression(u"\r\n|\r|\n"_s));
            QVERIFY(lines.contains(QString()));
            QVERIFY(std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.size() > tam; }));
            QVERIFY(std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.trimmed().size() && l.size() < tam; }));
        }

        // Each return file: in its system's incoming folder, dated today, of a
        // known identifier, naming a contract whose system takes it from there.
        QStringList served;
        for (const QString &system : {u"COB"_s, u"PDZ"_s, u"CCC"_s, u"DEL"_s})
            for (const winfs::SearchRec &f : winfs::findFiles(zqdb::returnFileMask(zqdb::incomingFolder(system), system))) {
                const zqdb::ReturnFileName n(f.name);
                QCOMPARE(n.date(), QDate::currentDate());
                QVERIFY(!fixture::rows(u"Rsi WHERE IdSis = '%1' AND IdRet = '%2'"_s.arg(n.system(), n.identifier())).isEmpty());
                for (auto c = bySystem.cbegin(); c != bySystem.cend(); ++c)
                    if (c->value(u"CtrAgencia"_s).toInt() == n.agency()
                        && c->value(u"CtrContrato"_s).toInt() == n.contract(zqdb::contractDigitsOfSystem(system)))
                        served << c.key() + u'@' + system;
            }
        served.sort();
        QCOMPARE(served, (QStringList{u"CCC@CCC"_s, u"COB@COB"_s, u"DEL@DEL"_s, u"IPC@PDZ"_s, u"PDZ@PDZ"_s}));

        // The program takes them: the registration window opens on the COB
        // contract (first in key order) and accepts its number; the return
        // command finds a waiting file.
        TfrmPrincipal principal;
        principal.mnuCadContratoClick();
        auto *cad = qobject_cast<TfrmCadContrato *>(principal.frmCadContrato.data());
        QVERIFY(cad && cad->dbeAgencia->text() == u"0001"_s && cad->ValidaDigitoContrato());
        principal.mnuRnmArqRetornoClick();
        QVERIFY2(principal.frmRnmArqRetorno, qPrintable(boxes.dump()));
    }

    // A drive with contracts (a second demo among them) is refused before
    // anything changes; so is a prefix that cannot be written.
    void demoRefused()
    {
        fixture::Prefix prefix;
        QCOMPARE(setup({u"--demo"_s}), 0);
        const QStringList before = snapshot();
        QCOMPARE(setup({u"--demo"_s}), 1);
        QCOMPARE(snapshot(), before);

        fixture::Prefix user;
        fixture::addContract(12, 3456, u"CC"_s);
        fixture::addAgency(12, u"AGENCIA DOZE"_s);
        const QString refusal = fixture::errorOf([] { zqsetup::layOutDemo(); });
        QCOMPARE(refusal, u"A unidade C: em "_s + QDir::toNativeSeparators(winfs::driveCDir())
                              + u" já tem contratos cadastrados: a demonstração só é montada numa unidade sem contratos. "
                                "Nada foi alterado.\rPara ver a demonstração, use um prefixo novo (RENOMEIA_ZQ_PREFIX=<pasta vazia>)."_s);
        QVERIFY(!winfs::directoryExists(u"C:\\DEMO"_s));
        QCOMPARE(fixture::rows(u"Age"_s).size(), 1);

        fixture::Prefix unwritable(false);
        fixture::writeFile(u"C:\\arquivo"_s, "x");
        qputenv("RENOMEIA_ZQ_PREFIX", QFile::encodeName(winfs::hostPath(u"C:\\arquivo"_s) + u"/prefixo"_s));
        QCOMPARE(fixture::errorOf([] { zqsetup::layOutDemo(); }),
                 u"A demonstração não foi montada na unidade C: em "_s + QDir::toNativeSeparators(winfs::driveCDir())
                     + u"\rCannot create the folder C:\\ZQ\\REN\\TABELAS"_s);
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
        QCOMPARE(setup({u"--start"_s, u"-x"_s}, &launch), 0);
        QVERIFY(launch && launch->arguments == QStringList{u"-x"_s});
        QCOMPARE(launch->program, QCoreApplication::applicationDirPath() + QStringLiteral("/renomeia-zq" ZQ_EXE_SUFFIX));
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
        QDir::setCurrent(prefix.path()); // a current folder is not removed on Windows
        QDir(winfs::driveCDir()).removeRecursively();
        QFile drive(winfs::driveCDir());
        QVERIFY(drive.open(QIODevice::WriteOnly));
        drive.close();
        fixture::Boxes boxes;
        std::optional<zqsetup::Launch> launch;
        QCOMPARE(setup({u"--start"_s}, &launch), 1);
        QVERIFY(!launch);
        QCOMPARE(boxes.dump(), u"Renomeia Arquivos ZQ | Não foi possível preparar a unidade C: em "_s + QDir::toNativeSeparators(winfs::driveCDir())
                                   + u"\rCannot create the folder C:\\ZQ\\REN\\TABELAS | error"_s);
        QCOMPARE(setup({u"--demo"_s}), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(setup({u"--iniciar"_s}), 2);
        QCOMPARE(setup({u"--demo"_s, u"--start"_s}), 2);
    }
};

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
