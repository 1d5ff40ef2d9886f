// The installed tree and the Debian package: validators on what is installed,
// the package's fields and contents, and a start of the unpacked launcher and
// program on a drive of their own.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
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

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.err = u"did not end: "_s + program;
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

#define RUN_OK(r) QVERIFY2((r).status == 0, qPrintable((r).out + (r).err))

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
    void setupOptions()
    {
        const Run bad = run(Build + u"/renomeia-zq-setup"_s, {u"--iniciar"_s});
        QCOMPARE(bad.status, 2);
        QVERIFY2(bad.err.contains(u"opção desconhecida: --iniciar"_s) && bad.err.contains(u"Uso: renomeia-zq-setup"_s),
                 qPrintable(bad.err));
        QVERIFY(bad.out.isEmpty());
        const Run help = run(Build + u"/renomeia-zq-setup"_s, {u"--help"_s});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains(u"--demo"_s));
    }

    // `cmake --install` lays out programs, help file, menu entry, metadata and
    // icons; the desktop's validators accept them.
    void installedTree()
    {
        const QString usr = work.path() + u"/usr"_s;
        const Run install = run(QStringLiteral(ZQ_CMAKE), {u"--install"_s, Build, u"--prefix"_s, usr});
        RUN_OK(install);
        for (const QString &program : {u"renomeia-zq"_s, u"renomeia-zq-setup"_s, u"renomeia-zq-ajuda"_s})
            QVERIFY2(QFileInfo(usr + u"/bin/"_s + program).isExecutable(), qPrintable(program));
        QVERIFY(QFile::exists(usr + u"/share/renomeia-zq/ZQRen417.hlp"_s));
        QVERIFY(QFile::exists(usr + u"/share/icons/hicolor/scalable/apps/"_s + AppId + u".svg"_s));
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QString png = usr + u"/share/icons/hicolor/%1x%1/apps/"_s.arg(size) + AppId + u".png"_s;
            const Run f = run(u"file"_s, {u"-b"_s, png});
            QVERIFY2(f.out.startsWith(u"PNG image data, %1 x %1,"_s.arg(size)), qPrintable(png + f.out));
        }

        const QString desktop = usr + u"/share/applications/"_s + AppId + u".desktop"_s;
        const Run dv = run(u"desktop-file-validate"_s, {desktop});
        QVERIFY2(dv.status == 0 && dv.out.isEmpty() && dv.err.isEmpty(), qPrintable(dv.out + dv.err));
        QFile entry(desktop);
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QByteArray text = entry.readAll();
        QVERIFY(text.contains("\nExec=renomeia-zq-setup --start\n") && text.contains("\nIcon=" + AppId.toUtf8() + "\n"));

        const QString metainfo = usr + u"/share/metainfo/"_s + AppId + u".metainfo.xml"_s;
        const Run as = run(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s, metainfo});
        RUN_OK(as);

        // Once the pictures have a web address, the same metadata names them.
        const QString named = work.path() + u"/named.metainfo.xml"_s;
        RUN_OK(run(QStringLiteral(ZQ_CMAKE), {u"-DIN=" ZQ_SOURCE_DIR "/data/desktop/"_s + AppId + u".metainfo.xml.in"_s,
                                              u"-DOUT="_s + named, u"-DURL=https://example.org/renomeia-zq/docs/screenshots"_s,
                                              u"-P"_s, u"" ZQ_SOURCE_DIR "/cmake/Metainfo.cmake"_s}));
        RUN_OK(run(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s, named}));
        QFile n(named);
        QVERIFY(n.open(QIODevice::ReadOnly));
        QCOMPARE(n.readAll().count("<image>https://example.org/renomeia-zq/docs/screenshots/"), 5);
    }

    // The package: its fields, what it holds, and the unpacked launcher
    // laying out a drive and starting the program, which loads the agency
    // list dropped into C:\ZQ\REN.
    void debianPackage()
    {
        const QString out = work.path() + u"/deb"_s;
        const Run pack = run(QStringLiteral(ZQ_CPACK), {u"-G"_s, u"DEB"_s, u"--config"_s, Build + u"/CPackConfig.cmake"_s, u"-B"_s, out});
        RUN_OK(pack);
        const QStringList debs = QDir(out).entryList({u"renomeia-zq_1.2.1_*.deb"_s});
        QCOMPARE(debs.size(), 1);
        const QString deb = out + u'/' + debs.first();

        const Run fields = run(u"dpkg-deb"_s, {u"-f"_s, deb, u"Version"_s, u"Maintainer"_s, u"Depends"_s, u"Description"_s});
        RUN_OK(fields);
        QVERIFY2(fields.out.contains(u"Version: 1.2.1\n"_s), qPrintable(fields.out));
        QVERIFY(fields.out.contains(QRegularExpression(u"Maintainer: .+ <.+@.+>\n"_s)));
        for (const QString &dep : {u"libqt6widgets6"_s, u"libsqlite3-0"_s, u"libjpeg62-turbo"_s, u"libc6"_s})
            QVERIFY2(fields.out.contains(dep), qPrintable(dep + u" missing in "_s + fields.out));
        QVERIFY(fields.out.contains(u"Description: Renomeia os arquivos de remessa e retorno trocados com o banco\n "_s));

        const Run list = run(u"dpkg-deb"_s, {u"-c"_s, deb});
        RUN_OK(list);
        QStringList files;
        for (const QString &line : list.out.split(u'\n', Qt::SkipEmptyParts))
            if (!line.startsWith(u'd'))
                files << line.section(u' ', -1);
        files.sort();
        QStringList expected{u"./usr/bin/renomeia-zq"_s, u"./usr/bin/renomeia-zq-ajuda"_s, u"./usr/bin/renomeia-zq-setup"_s,
                             u"./usr/share/applications/"_s + AppId + u".desktop"_s,
                             u"./usr/share/icons/hicolor/scalable/apps/"_s + AppId + u".svg"_s,
                             u"./usr/share/metainfo/"_s + AppId + u".metainfo.xml"_s, u"./usr/share/renomeia-zq/ZQRen417.hlp"_s};
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            expected << u"./usr/share/icons/hicolor/%1x%1/apps/"_s.arg(size) + AppId + u".png"_s;
        expected.sort();
        QCOMPARE(files, expected);

        const QString root = work.path() + u"/root"_s;
        RUN_OK(run(u"dpkg-deb"_s, {u"-x"_s, deb, root}));
        const Run elf = run(u"file"_s, {u"-b"_s, root + u"/usr/bin/renomeia-zq"_s});
        QVERIFY2(elf.out.startsWith(u"ELF"_s) && elf.out.contains(u", stripped"_s), qPrintable(elf.out));

        // The menu's command from the unpacked copy, on a fresh drive.
        const QString prefix = work.path() + u"/prefix"_s;
        const QString ren = prefix + u"/drive_c/ZQ/REN"_s;
        QVERIFY(QDir().mkpath(ren));
        QFile list1(ren + u"/Agencias.Txt"_s);
        QVERIFY(list1.open(QIODevice::WriteOnly));
        list1.write("0001      |AGENCIA CENTRO                    X\r\n0012      |AGENCIA DOZE                      X\r\n");
        list1.close();
        QProcess program;
        program.setProcessEnvironment(withPrefix(prefix));
        program.start(root + u"/usr/bin/renomeia-zq-setup"_s, {u"--start"_s});
        QVERIFY(program.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (QFile::exists(list1.fileName()) && clock.elapsed() < 20000 && program.state() == QProcess::Running)
            QTest::qWait(100);
        QTest::qWait(300);
        const QString pid = QString::number(program.processId());
        const QString exe = QFileInfo(u"/proc/"_s + pid + u"/exe"_s).symLinkTarget();
        const QString cwd = QFileInfo(u"/proc/"_s + pid + u"/cwd"_s).symLinkTarget();
        const bool running = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished();
        QVERIFY2(running, program.readAllStandardError().constData());
        QCOMPARE(exe, root + u"/usr/bin/renomeia-zq"_s);
        QCOMPARE(cwd, ren);
        QVERIFY(QFile::exists(ren + u"/ZQRen417.hlp"_s));
        QVERIFY(!QFile::exists(list1.fileName()));
        for (const QString &t : {u"Ctr"_s, u"Age"_s, u"Svc"_s, u"Arq"_s, u"Rsi"_s})
            QVERIFY2(QFile::exists(ren + u"/TABELAS/"_s + t + u".db"_s), qPrintable(t));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"age"_s);
            db.setDatabaseName(ren + u"/TABELAS/Age.db"_s);
            QVERIFY(db.open());
            QSqlQuery q(u"SELECT AgeCod, AgeNome FROM Age ORDER BY AgeCod"_s, db);
            QStringList age;
            while (q.next())
                age << q.value(0).toString() + u'=' + q.value(1).toString();
            QCOMPARE(age, (QStringList{u"1=AGENCIA CENTRO"_s, u"12=AGENCIA DOZE"_s}));
        }
        QSqlDatabase::removeDatabase(u"age"_s);

        // A drive that is a file: a clear failure, status 1, nothing started.
        const QString broken = work.path() + u"/broken"_s;
        QVERIFY(QDir().mkpath(broken));
        QFile drive(broken + u"/drive_c"_s);
        QVERIFY(drive.open(QIODevice::WriteOnly));
        drive.close();
        const Run failed = run(root + u"/usr/bin/renomeia-zq-setup"_s, {u"--start"_s}, withPrefix(broken));
        QCOMPARE(failed.status, 1);
        QVERIFY2(failed.err.startsWith(u"Não foi possível preparar a unidade C: em "_s + broken + u"/drive_c\n"_s),
                 qPrintable(failed.err));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
