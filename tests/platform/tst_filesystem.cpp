// The emulated drive: Windows paths over the host file system.
#include "common/fixture.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

using namespace winfs;

namespace {
// A sink that takes `room` bytes and then fails with `code`, counting the blocks it got.
struct FailingSink : ByteSink {
    qint64 room;
    int code;
    int *blocks;
    FailingSink(qint64 r, int c, int *b) : room(r), code(c), blocks(b) {}
    int write(const char *, qint64 count) override
    {
        ++*blocks;
        return count > room ? code : (room -= count, 0);
    }
};
} // namespace

class TestFilesystem : public QObject {
    Q_OBJECT
private slots:
    void namesResolveWithoutRegardToCase()
    {
        fixture::Prefix prefix(false);
        QVERIFY(forceDirectories(QStringLiteral("C:\\ZQ\\COB\\Saida")));
        QVERIFY(directoryExists(QStringLiteral("C:\\ZQ\\COB\\SAIDA")));
        QCOMPARE(hostPath(QStringLiteral("C:\\ZQ\\COB\\SAIDA")), hostPath(QStringLiteral("C:\\zq\\cob\\saida")));
        QCOMPARE(hostPath(QStringLiteral("C:\\ZQ\\COB\\SAIDA")), prefix.path() + QStringLiteral("/drive_c/ZQ/COB/Saida"));
        // A folder created under one spelling is found, not doubled, under another.
        QVERIFY(forceDirectories(QStringLiteral("C:\\zq\\cob\\SAIDA\\novo")));
        QCOMPARE(QDir(prefix.path() + QStringLiteral("/drive_c/ZQ/COB")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Saida")});
        fixture::writeFile(QStringLiteral("C:\\ZQ\\COB\\Saida\\Arq.TXT"), "x");
        QVERIFY(fileExists(QStringLiteral("c:\\zq\\cob\\saida\\ARQ.txt")));
        QVERIFY(!fileExists(QStringLiteral("C:\\ZQ\\COB\\SAIDA")));
        QVERIFY(!directoryExists(QStringLiteral("C:\\ZQ\\COB\\Saida\\arq.txt")));
        // A missing component keeps the spelling given.
        QCOMPARE(hostPath(QStringLiteral("C:\\ZQ\\Nada\\X")), prefix.path() + QStringLiteral("/drive_c/ZQ/Nada/X"));
    }

    void wildcardsMatchAsOnWindows()
    {
        QVERIFY(matchesMask(QStringLiteral("20050315cob01x0123000045678.txt"), QStringLiteral("????????COB*.TXT")));
        QVERIFY(!matchesMask(QStringLiteral("2005031cob01.txt"), QStringLiteral("????????COB*.TXT")));
        QVERIFY(!matchesMask(QStringLiteral("20050315PDZ01.TXT"), QStringLiteral("????????COB*.TXT")));
        QVERIFY(!matchesMask(QStringLiteral("20050315COB01.TXT.bak"), QStringLiteral("????????COB*.TXT")));
        QVERIFY(matchesMask(QStringLiteral("LEIAME"), QStringLiteral("*.*")));
        QVERIFY(matchesMask(QStringLiteral("a.b.c"), QStringLiteral("*.*")));
        QVERIFY(matchesMask(QStringLiteral("abc"), QStringLiteral("a*c")));
        QVERIFY(!matchesMask(QStringLiteral("abcd"), QStringLiteral("a*c")));
    }

    void searchListsMatchingEntries()
    {
        fixture::Prefix prefix(false);
        fixture::writeFile(QStringLiteral("C:\\ZQ\\COB\\ENTRADA\\20050315cob01x0123000045678.txt"), "1");
        fixture::writeFile(QStringLiteral("C:\\ZQ\\COB\\ENTRADA\\outro.txt"), "2");
        fixture::writeFile(QStringLiteral("C:\\ZQ\\COB\\ENTRADA\\.20050315COB01.TXT"), "3");
        fixture::makeDir(QStringLiteral("C:\\ZQ\\COB\\ENTRADA\\20050315COBDIR.TXT"));
        QStringList names;
        for (const SearchRec &r : findFiles(QStringLiteral("C:\\zq\\cob\\entrada\\????????COB*.TXT"), faArchive | faReadOnly))
            names << r.name;
        QCOMPARE(names, QStringList{QStringLiteral("20050315cob01x0123000045678.txt")});
        QCOMPARE(findFiles(QStringLiteral("C:\\ZQ\\COB\\ENTRADA\\*.*"), faAnyFile).size(), 4);
        QVERIFY(findFiles(QStringLiteral("C:\\ZQ\\NADA\\*.*")).isEmpty());
    }

    void hostFoldersOutsideThePrefixAreDriveZ()
    {
        fixture::Prefix prefix(false);
        QTemporaryDir outside;
        const QString win = windowsPath(outside.path());
        QCOMPARE(hostPath(win), QDir::cleanPath(outside.path()));
        QCOMPARE(windowsPath(prefix.path() + QStringLiteral("/drive_c/ZQ")), QStringLiteral("C:\\ZQ"));
        QCOMPARE(windowsPath(prefix.path() + QStringLiteral("/drive_c")), QStringLiteral("C:\\"));
        if (fixture::emulatedDrive()) {
            QVERIFY2(win.startsWith(QStringLiteral("Z:\\")), qPrintable(win));
            QCOMPARE(windowsPath(QStringLiteral("/")), QStringLiteral("Z:\\"));
        }
        // Relative names against such a folder as the current one (on
        // Windows a real C: folder is "\\?\C:\..." beside the test's drive).
        const QString antes = QDir::currentPath();
        QVERIFY(QDir::setCurrent(outside.path()));
        const QString sub = expandFileName(QStringLiteral("sub\\..\\f.txt"));
        const QString raiz = expandFileName(QStringLiteral("\\g.txt"));
        QDir::setCurrent(antes);
        QCOMPARE(hostPath(sub), QDir::cleanPath(outside.path()) + QStringLiteral("/f.txt"));
        QCOMPARE(raiz.left(win.indexOf(QLatin1Char(':')) + 1), win.left(win.indexOf(QLatin1Char(':')) + 1));
    }


    // An installed program ("bin" beside "share/renomeia-zq") takes C:\ZQ\REN
    // as its folder; a build folder, or a "bin" without the share folder, is
    // its own folder.
    void programFolderOfAnInstalledProgram()
    {
        fixture::Prefix prefix(false);
        QTemporaryDir usr;
        const QString bin = usr.path() + QStringLiteral("/bin"), share = usr.path() + QStringLiteral("/share");
        QVERIFY(QDir().mkpath(bin));
        QCOMPARE(programDir(bin), windowsPath(bin));
        QVERIFY(QDir().mkpath(share + QStringLiteral("/renomeia-zq")));
        QCOMPARE(programDir(bin), QStringLiteral("C:\\ZQ\\REN"));
        QCOMPARE(programDir(share), windowsPath(share));
        QCOMPARE(exeDir(), windowsPath(QCoreApplication::applicationDirPath()));
    }
    void currentFolderAndRelativeNames()
    {
        fixture::Prefix prefix(false);
        fixture::makeDir(QStringLiteral("C:\\ZQ\\REN"));
        QVERIFY(setCurrentDir(QStringLiteral("c:\\zq\\ren")));
        QCOMPARE(currentDir(), QStringLiteral("C:\\ZQ\\REN"));
        QCOMPARE(expandFileName(QStringLiteral("ZQRen417.hlp")), QStringLiteral("C:\\ZQ\\REN\\ZQRen417.hlp"));
        QCOMPARE(expandFileName(QStringLiteral(".\\ajuda\\..\\x.txt")), QStringLiteral("C:\\ZQ\\REN\\x.txt"));
        QCOMPARE(expandFileName(QStringLiteral("\\KRV")), QStringLiteral("C:\\KRV"));
        QCOMPARE(expandFileName(QStringLiteral("C:\\ZQ\\COB\\SAIDA\\")), QStringLiteral("C:\\ZQ\\COB\\SAIDA\\"));
        QCOMPARE(expandFileName(QStringLiteral("c:/zq/./cob")), QStringLiteral("C:\\zq\\cob"));
    }

    void attributesAndStamps()
    {
        fixture::Prefix prefix(false);
        fixture::writeFile(QStringLiteral("C:\\A\\f.txt"), "abc");
        QCOMPARE(fileGetAttr(QStringLiteral("C:\\A")), int(faDirectory));
        QCOMPARE(fileGetAttr(QStringLiteral("C:\\A\\F.TXT")), int(faArchive));
        QVERIFY(setReadOnly(QStringLiteral("C:\\A\\f.txt"), true));
        QCOMPARE(fileGetAttr(QStringLiteral("C:\\A\\f.txt")), faArchive | faReadOnly);
        fixture::writeFile(QStringLiteral("C:\\A\\.oculto"), "");
        QCOMPARE(fileGetAttr(QStringLiteral("C:\\A\\.oculto")), faArchive | faHidden);
        QCOMPARE(fileGetAttr(QStringLiteral("C:\\A\\nada")), -1);
        const QDateTime stamp(QDate(2005, 3, 15), QTime(10, 20, 30, 700));
        QVERIFY(setFileAge(QStringLiteral("C:\\A\\.oculto"), stamp));
        QCOMPARE(fileAge(QStringLiteral("C:\\A\\.oculto")), QDateTime(QDate(2005, 3, 15), QTime(10, 20, 30)));
        QVERIFY(!fileAge(QStringLiteral("C:\\A\\nada")).isValid());
    }

    void renameRefusesAnExistingDestination()
    {
        fixture::Prefix prefix(false);
        fixture::writeFile(QStringLiteral("C:\\A\\a.txt"), "a");
        fixture::writeFile(QStringLiteral("C:\\A\\b.txt"), "b");
        QVERIFY(!renameFile(QStringLiteral("C:\\A\\a.txt"), QStringLiteral("C:\\A\\B.TXT")));
        QVERIFY(!renameFile(QStringLiteral("C:\\A\\a.txt"), QStringLiteral("C:\\A")));
        QVERIFY(renameFile(QStringLiteral("C:\\A\\a.txt"), QStringLiteral("C:\\B\\..\\A\\c.txt")));
        QCOMPARE(fixture::readFile(QStringLiteral("C:\\A\\c.txt")), QByteArray("a"));
        QVERIFY(!fileExists(QStringLiteral("C:\\A\\a.txt")));
    }

    void pathPieces()
    {
        QCOMPARE(extractFileName(QStringLiteral("C:\\ZQ\\x.txt")), QStringLiteral("x.txt"));
        QCOMPARE(extractFilePath(QStringLiteral("C:\\ZQ\\x.txt")), QStringLiteral("C:\\ZQ\\"));
        QCOMPARE(extractFileDir(QStringLiteral("C:\\ZQ\\x.txt")), QStringLiteral("C:\\ZQ"));
        QCOMPARE(extractFileDir(QStringLiteral("C:\\x.txt")), QStringLiteral("C:\\"));
        QCOMPARE(extractFileExt(QStringLiteral("C:\\ZQ.D\\x")), QString());
        QCOMPARE(excludeTrailingBackslash(QStringLiteral("C:\\")), QStringLiteral("C:"));
    }

    void readerCodesAndStamps()
    {
        fixture::Prefix prefix(false);
        fixture::writeFile(QStringLiteral("C:\\A\\ab.txt"), "ab");
        fixture::makeDir(QStringLiteral("C:\\A\\pasta"));
        const QString special = fixture::specialFile(QStringLiteral("C:\\A"));
        FileReader r;
        unsigned char b = 0;
        QCOMPARE(r.readByte(b), int(ioFileNotOpen));
        // A FIFO or a device is refused, not waited on.
        const QList<std::pair<QString, int>> refused{{u"C:\\A\\nada.txt"_s, ioFileNotFound}, {u"C:\\NADA\\ab.txt"_s, ioPathNotFound},
                                                     {u"C:\\A\\ab.txt\\x"_s, ioPathNotFound}, {u"C:\\A\\pasta"_s, ioAccessDenied},
                                                     {special, ioAccessDenied}};
        for (const auto &[name, code] : refused)
            QCOMPARE(r.open(name), code);
        QCOMPARE(IOResult(), int(ioAccessDenied));
        QCOMPARE(IOResult(), 0);

        QCOMPARE(r.open(QStringLiteral("c:\\a\\AB.TXT")), 0);
        QCOMPARE(r.size(), 2);
        QCOMPARE(r.fileAge(), fileAge(QStringLiteral("C:\\A\\ab.txt")));
        QVERIFY(r.peekByte(b) == 0 && b == 'a');
        QVERIFY(r.readByte(b) == 0 && b == 'a');
        QVERIFY(r.readByte(b) == 0 && b == 'b');
        QVERIFY(r.readByte(b) == ioEndOfFile && r.readByte(b) == ioEndOfFile);
        QCOMPARE(IOResult(), 0); // reaching the end is no failure
        QCOMPARE(r.close(), 0);

        // Bytes and blocks across the buffer's edge.
        QByteArray big(3 * FileBufferSize + 7, '\0');
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char(i * 31 + i / 251);
        fixture::writeFile(QStringLiteral("C:\\A\\big.bin"), big);
        QCOMPARE(r.open(QStringLiteral("C:\\A\\big.bin")), 0);
        QByteArray back(2 * big.size(), '\0'); // room for all that is asked
        qint64 n = 0;
        for (qsizetype i = 0; i < FileBufferSize - 3; ++i)
            r.readByte(reinterpret_cast<unsigned char &>(back[i]));
        QVERIFY(r.read(back.data() + FileBufferSize - 3, FileBufferSize + 10, n) == 0 && n == FileBufferSize + 10);
        QVERIFY(r.read(back.data() + 2 * FileBufferSize + 7, big.size(), n) == 0 && n == FileBufferSize);
        QCOMPARE(r.read(back.data(), 10, n), int(ioEndOfFile));
        QCOMPARE(back.left(big.size()), big);

        // A file that gives a read error.
        QCOMPARE(r.open(QStringLiteral("Z:\\proc\\self\\mem")), 0);
        const int code = r.readByte(b);
        QVERIFY2(code != 0 && code != ioEndOfFile, qPrintable(QString::number(code)));
        QCOMPARE(IOResult(), code);
    }

    void aFileBeingWrittenIsNotRead()
    {
        fixture::Prefix prefix(false);
        const QString name = QStringLiteral("C:\\A\\remessa.txt");
        fixture::writeFile(name, "conteudo");
        FileReader r1, r2;
        FileWriter w1, w2;
        QCOMPARE(w1.create(name), 0);
        QCOMPARE(r1.open(QStringLiteral("C:\\a\\REMESSA.TXT")), int(ioSharingViolation));
        QCOMPARE(w2.create(name), int(ioSharingViolation));
        QVERIFY(w1.write(QByteArray("novo")) == 0 && w1.close() == 0);
        // Readers share the file and keep writers out; the file stays whole.
        QVERIFY(r1.open(name) == 0 && r2.open(name) == 0);
        QCOMPARE(w2.create(name), int(ioSharingViolation));
        QCOMPARE(fixture::readFile(name), QByteArray("novo"));
    }

    void writerReportsEveryFailure()
    {
        fixture::Prefix prefix(false);
        fixture::writeFile(QStringLiteral("C:\\A\\f.txt"), "f");
        FileWriter w;
        QCOMPARE(w.write("x", 1), int(ioFileNotOpen));
        QCOMPARE(w.create(QStringLiteral("C:\\NADA\\x.txt")), int(ioPathNotFound));
        QCOMPARE(w.create(QStringLiteral("C:\\A\\f.txt\\x.txt")), int(ioPathNotFound));
        QCOMPARE(w.create(QStringLiteral("C:\\A")), int(ioAccessDenied));
        QCOMPARE(fixture::readFile(QStringLiteral("C:\\A\\f.txt")), QByteArray("f"));
        IOResult();

        // A full device: the buffered bytes fail when they go out.
        QVERIFY(w.create(QStringLiteral("Z:\\dev\\full")) == 0 && w.write(QByteArray("linha\r\n")) == 0);
        QCOMPARE(w.close(), int(ioDiskFull));
        QCOMPARE(IOResult(), int(ioDiskFull));
        QCOMPARE(w.create(QStringLiteral("Z:\\dev\\full")), 0);
        QCOMPARE(w.write(QByteArray(2 * FileBufferSize, 'x')), int(ioDiskFull));
        QCOMPARE(w.close(), int(ioDiskFull));

        // A sink that fails after two and a half buffers, written one byte at a time:
        // the bytes go out in blocks, and the failure sticks.
        int blocks = 0, code = 0;
        w.open(std::make_unique<FailingSink>(5 * FileBufferSize / 2, ioWriteFault, &blocks));
        qint64 taken = 0;
        while (code == 0 && taken < 10 * FileBufferSize)
            if ((code = w.writeByte('x')) == 0)
                ++taken;
        QVERIFY(code == ioWriteFault && taken == 3 * FileBufferSize);
        QVERIFY(w.write("y", 1) == ioWriteFault && w.error() == ioWriteFault);
        QCOMPARE(w.close(), int(ioWriteFault));
        QCOMPARE(blocks, 3);
        // What is still in the buffer fails at flush.
        w.open(std::make_unique<FailingSink>(0, ioDiskFull, &blocks));
        QCOMPARE(w.write("z", 1), 0);
        QVERIFY(w.flush() == ioDiskFull && w.close() == ioDiskFull);
    }

    void windows1252TextFiles()
    {
        fixture::Prefix prefix(false);
        fixture::makeDir(QStringLiteral("C:\\A"));
        const QStringList lines{QStringLiteral("Nome=SÃO JOÃO €;"), QString(), QStringLiteral("fim")};
        writeTextFile(QStringLiteral("C:\\A\\t.txt"), lines);
        QCOMPARE(fixture::readFile(QStringLiteral("C:\\A\\t.txt")), QByteArray("Nome=S\xc3O JO\xc3O \x80;\r\n\r\nfim\r\n"));
        QCOMPARE(readTextFile(QStringLiteral("C:\\A\\T.TXT")), lines);
        // CR LF, LF and a lone CR each end one line; a byte 26 ends the text.
        fixture::writeFile(QStringLiteral("C:\\A\\m.txt"), "a\r\nb\nc\rd\r\re\x1A" "depois\r\n");
        QCOMPARE(readTextFile(QStringLiteral("C:\\A\\m.txt")), (QStringList{"a", "b", "c", "d", "", "e"}));
        fixture::writeFile(QStringLiteral("C:\\A\\v.txt"), "");
        TextFileReader r(QStringLiteral("C:\\A\\v.txt"));
        QVERIFY(r.eof());
        QCOMPARE(r.readLine(), QString()); // past the end: an empty line
        r.close();

        // Failures raise the runtime's error, and are not left pending.
        QCOMPARE(fixture::errorOf([] { readTextFile(QStringLiteral("C:\\A\\nada.txt")); }), QStringLiteral("File not found"));
        QCOMPARE(fixture::errorOf([] { readTextFile(QStringLiteral("C:\\A")); }), QStringLiteral("File access denied"));
        QCOMPARE(fixture::errorOf([] { writeTextFile(QStringLiteral("C:\\NADA\\x.txt"), {}); }), QStringLiteral("Path not found"));
        QCOMPARE(fixture::errorOf([] { writeTextFile(QStringLiteral("Z:\\dev\\full"), {QStringLiteral("x")}); }),
                 QStringLiteral("Disk full"));
        QCOMPARE(IOResult(), 0);
        QCOMPARE(EInOutError(32).message(), QStringLiteral("I/O error 32"));
    }

    void namesFollowTheFolderAsItChanges()
    {
        fixture::Prefix prefix(false);
        fixture::writeFile(QStringLiteral("C:\\E\\Um.txt"), "1");
        QVERIFY(fileExists(QStringLiteral("C:\\E\\UM.TXT")) && !fileExists(QStringLiteral("C:\\E\\DOIS.TXT")));
        // Changes right after a look-up, within the grain of the folder's stamps.
        fixture::writeFile(QStringLiteral("C:\\E\\Dois.txt"), "22");
        QVERIFY(fileExists(QStringLiteral("C:\\E\\DOIS.TXT")));
        QVERIFY(deleteFile(QStringLiteral("C:\\E\\um.TXT")));
        fixture::writeFile(QStringLiteral("C:\\E\\uM.Txt"), "3");
        QCOMPARE(fixture::readFile(QStringLiteral("C:\\E\\UM.TXT")), QByteArray("3"));
        QVERIFY(renameFile(QStringLiteral("C:\\E\\DOIS.TXT"), QStringLiteral("C:\\E\\Tres.txt")));
        QVERIFY(!fileExists(QStringLiteral("C:\\E\\dois.txt")) && fileExists(QStringLiteral("C:\\E\\TRES.TXT")));
        // The same, once the folder's stamp lies well in the past.
        QDir dir(prefix.host(QStringLiteral("C:\\E")));
        QTest::qSleep(100);
        QVERIFY(fileExists(QStringLiteral("C:\\E\\tres.TXT")));
        QVERIFY(QFile::rename(dir.filePath(QStringLiteral("Tres.txt")), dir.filePath(QStringLiteral("quatro.TXT"))));
        QVERIFY(fileExists(QStringLiteral("C:\\E\\QUATRO.txt")) && !fileExists(QStringLiteral("C:\\E\\TRES.TXT")));

        QCOMPARE(fileSize(QStringLiteral("C:\\E\\quatro.txt")), 2);
        QVERIFY(fileSize(QStringLiteral("C:\\E")) == -1 && fileSize(QStringLiteral("C:\\E\\nada")) == -1);
        QVERIFY(sameFile(QStringLiteral("C:\\E\\um.txt"), QStringLiteral("c:\\x\\..\\e\\UM.TXT")));
        QVERIFY(!sameFile(QStringLiteral("C:\\E\\um.txt"), QStringLiteral("C:\\E\\quatro.txt")));
        QVERIFY(!sameFile(QStringLiteral("C:\\E\\nada"), QStringLiteral("C:\\E\\nada")));
        const QString fifo = fixture::specialFile(QStringLiteral("C:\\E")).toUpper();
        QVERIFY(fileExists(fifo) && !regularFileExists(fifo));
        QVERIFY(!regularFileExists(QStringLiteral("C:\\E")) && regularFileExists(QStringLiteral("C:\\E\\Um.TXT")));
    }

    void namesWindowsKeepsForDevices()
    {
        for (const char *name : {"CON", "con.txt", "PRN", "Aux.dat", "NUL", "COM1", "com9.txt", "LPT1", "LPT9.TXT", "NOME.", "NOME ", "A.TXT."})
            QVERIFY2(reservedName(QLatin1String(name)), name);
        for (const char *name : {"CONSOLE.TXT", "COM0", "COM10", "LPT", "NULO.TXT", "A.TXT", ".A.TXT.pronto", "CON_1"})
            QVERIFY2(!reservedName(QLatin1String(name)), name);
    }

    // A file that another program holds open is replaced once it lets go, or
    // not at all: the final name never holds nothing.
    void replacingAFileHeldOpen()
    {
        fixture::Prefix prefix(false);
        const QString novo = u"C:\\A\\novo"_s, final = u"C:\\A\\final"_s;
        fixture::writeFile(novo, "novo");
        fixture::writeFile(final, "antigo");
        {
            auto held = std::make_unique<fixture::HeldOpen>(final);
            QVERIFY(held->held());
            std::thread letsGo([&] {
                QThread::msleep(300);
                held.reset();
            });
            QVERIFY(replaceFile(novo, final));
            letsGo.join();
        }
        QCOMPARE(fixture::readFile(final), QByteArray("novo"));
        fixture::writeFile(novo, "mais novo");
        bool replaced = false;
        {
            fixture::HeldOpen held(final);
            IOResult();
            replaced = replaceFile(novo, final);
            // A POSIX host replaces a file held open; Windows waits a while, then tells why.
            if (!replaced)
                QCOMPARE(IOResult(), int(ioSharingViolation));
        }
        QCOMPARE(fixture::readFile(final), QByteArray(replaced ? "mais novo" : "novo"));
        QCOMPARE(fileExists(novo), !replaced);
    }

    void windows1252Text()
    {
        const QByteArray bytes("\x80 S\xe3o Jo\xe3o \x93" "a\x94 \x8a", 16);
        const QString text = fromWindows1252(bytes);
        QCOMPARE(text, QStringLiteral("€ São João “a” Š"));
        QCOMPARE(toWindows1252(text), bytes);
    }
};

QTEST_GUILESS_MAIN(TestFilesystem)
#include "tst_filesystem.moc"
