// The emulated drive: Windows paths over the host file system.
#include "common/fixture.h"
#include "platform/filesystem/winfs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace winfs;

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
        QVERIFY2(win.startsWith(QStringLiteral("Z:\\")), qPrintable(win));
        QCOMPARE(hostPath(win), QDir::cleanPath(outside.path()));
        QCOMPARE(windowsPath(prefix.path() + QStringLiteral("/drive_c/ZQ")), QStringLiteral("C:\\ZQ"));
        QCOMPARE(windowsPath(prefix.path() + QStringLiteral("/drive_c")), QStringLiteral("C:\\"));
        QCOMPARE(windowsPath(QStringLiteral("/")), QStringLiteral("Z:\\"));
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
