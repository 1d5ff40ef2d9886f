// The installed tree and the Debian package: validators on what is installed,
// the package's fields and contents, and a start of the unpacked launcher and
// program on a drive of their own.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString AppId = u"br.com.renomeiazq.RenomeiaArquivosZQ"_s;
const QString Build = QStringLiteral(ZQ_BUILD_DIR);

struct Run {
    int status = -1;
    QString out, err;
};

// Runs a program to its end (two minutes at most).
Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    const bool ended = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {ended ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

#define RUN_OK(r) QVERIFY2((r).status == 0, qPrintable((r).out + (r).err))

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QProcessEnvironment withPrefix(const QString &prefix)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"RENOMEIA_ZQ_PREFIX"_s, prefix);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    return env;
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT
    QTemporaryDir work;

private slots:
    // `cmake --install` lays out what the desktop's validators accept; the
    // menu entry starts the launcher.
    void installedTree()
    {
        const QString share = work.path() + u"/usr/share/"_s;
        RUN_OK(run(QStringLiteral(ZQ_CMAKE), {u"--install"_s, Build, u"--prefix"_s, work.path() + u"/usr"_s}));
        const QString desktop = share + u"applications/"_s + AppId + u".desktop"_s;
        const Run dv = run(u"desktop-file-validate"_s, {desktop});
        QVERIFY2(dv.status == 0 && (dv.out + dv.err).isEmpty(), qPrintable(dv.out + dv.err));
        QVERIFY(contents(desktop).contains("\nExec=renomeia-zq-setup --start\n"));
        RUN_OK(run(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s, share + u"metainfo/"_s + AppId + u".metainfo.xml"_s}));
        QFile installed(share + u"metainfo/"_s + AppId + u".metainfo.xml"_s);
        QVERIFY(installed.open(QIODevice::ReadOnly));
        QCOMPARE(installed.readAll().count("<image>https://renomeiazq.com.br/docs/screenshots/"), 5);

        // Once the pictures have a web address, the metadata names them.
        const QString named = work.path() + u"/named.metainfo.xml"_s;
        RUN_OK(run(QStringLiteral(ZQ_CMAKE), {u"-DIN=" ZQ_SOURCE_DIR "/data/desktop/"_s + AppId + u".metainfo.xml.in"_s,
                                              u"-DOUT="_s + named, u"-DURL=https://example.org/zq/docs/screenshots"_s, u"-P"_s,
                                              u"" ZQ_SOURCE_DIR "/cmake/Metainfo.cmake"_s}));
        RUN_OK(run(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s, named}));
        QCOMPARE(contents(named).count("<image>https://example.org/zq/docs/screenshots/"), 5);
    }

    // The package: its fields and contents, and the unpacked launcher laying
    // out a drive and becoming the program, which runs in C:\ZQ\REN and
    // loads the agency list dropped there.
    void debianPackage()
    {
        const QString out = work.path() + u"/deb"_s;
        RUN_OK(run(QStringLiteral(ZQ_CPACK), {u"-G"_s, u"DEB"_s, u"--config"_s, Build + u"/CPackConfig.cmake"_s, u"-B"_s, out}));
        const QStringList debs = QDir(out).entryList({u"renomeia-zq_1.2.1_*.deb"_s});
        QCOMPARE(debs.size(), 1);
        const QString deb = out + u'/' + debs.first();
        const Run fields = run(u"dpkg-deb"_s, {u"-f"_s, deb, u"Version"_s, u"Maintainer"_s, u"Depends"_s, u"Recommends"_s, u"Description"_s});
        QVERIFY(fields.out.startsWith(u"Version: 1.2.1\nMaintainer: Equipe Renomeia Arquivos ZQ <"_s));
        for (const QString &dep : {u"libqt6widgets6"_s, u"libsqlite3-0"_s, u"libjpeg62-turbo"_s, u"\nRecommends: qt6-translations-l10n\n"_s})
            QVERIFY2(fields.out.contains(dep), qPrintable(fields.out));
        QVERIFY(fields.out.contains(u"Description: Renomeia os arquivos de remessa e retorno trocados com o banco\n "_s));

        QStringList files, expected{u"bin/renomeia-zq"_s, u"bin/renomeia-zq-ajuda"_s, u"bin/renomeia-zq-setup"_s,
                                    u"bin/renomeia-zq-cli"_s, u"share/man/man1/renomeia-zq-cli.1.gz"_s,
                                    u"share/applications/"_s + AppId + u".desktop"_s,
                                    u"share/icons/hicolor/scalable/apps/"_s + AppId + u".svg"_s,
                                    u"share/metainfo/"_s + AppId + u".metainfo.xml"_s, u"share/renomeia-zq/ZQRen417.hlp"_s,
                                    u"lib/systemd/user/renomeia-zq-vigia.service"_s};
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            expected << u"share/icons/hicolor/%1x%1/apps/"_s.arg(size) + AppId + u".png"_s;
        for (const QString &line : run(u"dpkg-deb"_s, {u"-c"_s, deb}).out.split(u'\n', Qt::SkipEmptyParts))
            if (!line.startsWith(u'd'))
                files << line.section(u' ', -1).remove(0, 6); // "./usr/"
        files.sort();
        expected.sort();
        QCOMPARE(files, expected);

        const QString root = work.path() + u"/root"_s;
        RUN_OK(run(u"dpkg-deb"_s, {u"-x"_s, deb, root}));
        QVERIFY(run(u"file"_s, {u"-b"_s, root + u"/usr/bin/renomeia-zq"_s}).out.contains(u", stripped"_s));
        QVERIFY(contents(root + u"/usr/lib/systemd/user/renomeia-zq-vigia.service"_s)
                    .contains("\nExecStart=/usr/bin/renomeia-zq-cli vigia $OPCOES $REMESSAS\n"));
        // The command line needs no window system.
        RUN_OK(run(root + u"/usr/bin/renomeia-zq-cli"_s, {u"--help"_s}));
        const QString libs = run(u"ldd"_s, {root + u"/usr/bin/renomeia-zq-cli"_s}).out;
        QVERIFY2(libs.contains(u"libQt6Core"_s) && !libs.contains(u"libQt6Gui"_s) && !libs.contains(u"libQt6Widgets"_s), qPrintable(libs));
        const QString ren = work.path() + u"/prefix/drive_c/ZQ/REN"_s;
        QVERIFY(QDir().mkpath(ren));
        QFile agencias(ren + u"/Agencias.Txt"_s);
        QVERIFY(agencias.open(QIODevice::WriteOnly));
        agencias.write("0001      |AGENCIA CENTRO                    X\r\n0012      |AGENCIA DOZE                      X\r\n");
        agencias.close();
        QProcess program;
        program.setProcessEnvironment(withPrefix(work.path() + u"/prefix"_s));
        program.start(root + u"/usr/bin/renomeia-zq-setup"_s, {u"--start"_s});
        QElapsedTimer clock;
        clock.start();
        while (agencias.exists() && clock.elapsed() < 20000 && program.state() != QProcess::NotRunning)
            QTest::qWait(100);
        const QString proc = u"/proc/"_s + QString::number(program.processId());
        const QString exe = QFileInfo(proc + u"/exe"_s).symLinkTarget(), cwd = QFileInfo(proc + u"/cwd"_s).symLinkTarget();
        program.kill();
        program.waitForFinished();
        QCOMPARE(exe, root + u"/usr/bin/renomeia-zq"_s);
        QCOMPARE(cwd, ren);
        QVERIFY(QFile::exists(ren + u"/ZQRen417.hlp"_s) && QFile::exists(ren + u"/TABELAS/Ctr.db"_s) && !agencias.exists());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"age"_s);
            db.setDatabaseName(ren + u"/TABELAS/Age.db"_s);
            QVERIFY(db.open());
            QSqlQuery q(u"SELECT group_concat(AgeCod || '=' || AgeNome) FROM Age"_s, db);
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), u"1=AGENCIA CENTRO,12=AGENCIA DOZE"_s);
        }
        QSqlDatabase::removeDatabase(u"age"_s);

        // A drive that is a file: a clear failure, status 1.
        QVERIFY(QDir().mkpath(work.path() + u"/broken"_s));
        QVERIFY(QFile(work.path() + u"/broken/drive_c"_s).open(QIODevice::WriteOnly));
        const Run failed = run(root + u"/usr/bin/renomeia-zq-setup"_s, {u"--start"_s}, withPrefix(work.path() + u"/broken"_s));
        QCOMPARE(failed.status, 1);
        QVERIFY2(failed.err.startsWith(u"Não foi possível preparar a unidade C: em "_s + work.path() + u"/broken/drive_c\n"_s),
                 qPrintable(failed.err));

        // An unknown option: the usage text, status 2.
        const Run bad = run(root + u"/usr/bin/renomeia-zq-setup"_s, {u"--iniciar"_s});
        QVERIFY2(bad.status == 2 && bad.err.contains(u"Uso: renomeia-zq-setup"_s) && bad.out.isEmpty(), qPrintable(bad.err));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
