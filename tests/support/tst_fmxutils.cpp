// File routines: copy, move with copy fallback, attribute test, text repetition.
#include "common/fixture.h"
#include "platform/filesystem/winfs.h"
#include "support/FmxUtils.h"

#include <QFileInfo>
#include <QTest>

using fixture::readFile;
using fixture::writeFile;

using fixture::errorOf;

class TestFmxUtils : public QObject {
    Q_OBJECT
private slots:
    void copyIntoAFolderWithOrWithoutBackslash()
    {
        fixture::Prefix prefix(false);
        writeFile(QStringLiteral("C:\\ORIGEM\\ret.txt"), "conteudo");
        fixture::makeDir(QStringLiteral("C:\\X"));
        CopyFileData(QStringLiteral("C:\\ORIGEM\\ret.txt"), QStringLiteral("C:\\X"));
        QCOMPARE(readFile(QStringLiteral("C:\\X\\ret.txt")), QByteArray("conteudo"));
        fixture::makeDir(QStringLiteral("C:\\Y"));
        CopyFileData(QStringLiteral("C:\\ORIGEM\\ret.txt"), QStringLiteral("c:\\y\\"));
        QCOMPARE(readFile(QStringLiteral("C:\\Y\\ret.txt")), QByteArray("conteudo"));
        // A relative destination is completed against the current folder.
        winfs::setCurrentDir(QStringLiteral("C:\\X"));
        CopyFileData(QStringLiteral("C:\\ORIGEM\\ret.txt"), QStringLiteral("copia.txt"));
        QCOMPARE(readFile(QStringLiteral("C:\\X\\copia.txt")), QByteArray("conteudo"));
        QCOMPARE(readFile(QStringLiteral("C:\\ORIGEM\\ret.txt")), QByteArray("conteudo"));
    }

    void copyReplacesAndKeepsEveryByte()
    {
        fixture::Prefix prefix(false);
        writeFile(QStringLiteral("C:\\A\\curto.txt"), "abc");
        writeFile(QStringLiteral("C:\\A\\longo.txt"), QByteArray(50000, 'z'));
        CopyFileData(QStringLiteral("C:\\A\\curto.txt"), QStringLiteral("C:\\A\\longo.txt"));
        QCOMPARE(readFile(QStringLiteral("C:\\A\\longo.txt")), QByteArray("abc"));
        writeFile(QStringLiteral("C:\\A\\vazio.txt"), QByteArray());
        CopyFileData(QStringLiteral("C:\\A\\vazio.txt"), QStringLiteral("C:\\A\\vazio2.txt"));
        QVERIFY(winfs::fileExists(QStringLiteral("C:\\A\\vazio2.txt")));
        QCOMPARE(readFile(QStringLiteral("C:\\A\\vazio2.txt")).size(), 0);
        QByteArray exact(2 * CopyChunkSize, '\0');
        for (int i = 0; i < exact.size(); ++i)
            exact[i] = char(i * 7);
        writeFile(QStringLiteral("C:\\A\\exato.bin"), exact);
        CopyFileData(QStringLiteral("C:\\A\\exato.bin"), QStringLiteral("C:\\B.bin"));
        QCOMPARE(readFile(QStringLiteral("C:\\B.bin")), exact);
        writeFile(QStringLiteral("C:\\A\\impar.bin"), exact + "\r\n");
        CopyFileData(QStringLiteral("C:\\A\\impar.bin"), QStringLiteral("C:\\C.bin"));
        QCOMPARE(readFile(QStringLiteral("C:\\C.bin")), exact + "\r\n");
    }

    void copyOntoItselfLeavesTheFileIntact()
    {
        fixture::Prefix prefix(false);
        writeFile(QStringLiteral("C:\\A\\ret.txt"), "conteudo");
        CopyFileData(QStringLiteral("C:\\A\\ret.txt"), QStringLiteral("C:\\A\\ret.txt"));
        CopyFileData(QStringLiteral("C:\\A\\ret.txt"), QStringLiteral("C:\\a\\RET.TXT"));
        CopyFileData(QStringLiteral("C:\\A\\ret.txt"), QStringLiteral("C:\\A\\"));
        QCOMPARE(readFile(QStringLiteral("C:\\A\\ret.txt")), QByteArray("conteudo"));
        // Moving into the folder the file already lies in.
        RelocateFile(QStringLiteral("C:\\A\\ret.txt"), QStringLiteral("C:\\A"));
        RelocateFile(QStringLiteral("C:\\A\\ret.txt"), QStringLiteral("C:\\A\\RET.txt"));
        QCOMPARE(readFile(QStringLiteral("C:\\A\\ret.txt")), QByteArray("conteudo"));
    }

    void copyFailuresAreReportedAndLeaveNoPartialFile()
    {
        fixture::Prefix prefix(false);
        writeFile(QStringLiteral("C:\\A\\ret.txt"), QByteArray(20000, 'x'));
        QCOMPARE(errorOf([] { CopyFileData(QStringLiteral("C:\\A\\nada.txt"), QStringLiteral("C:\\B")); }),
                 QStringLiteral("Cannot open file C:\\A\\nada.txt"));
        // A destination under a regular file cannot be created.
        QCOMPARE(errorOf([] { CopyFileData(QStringLiteral("C:\\A\\ret.txt"), QStringLiteral("C:\\A\\ret.txt\\x.txt")); }),
                 QStringLiteral("Cannot create file C:\\A\\ret.txt\\x.txt"));
        QCOMPARE(errorOf([] { CopyFileData(QStringLiteral("C:\\A\\ret.txt"), QStringLiteral("C:\\SEM\\PASTA\\x.txt")); }),
                 QStringLiteral("Cannot create file C:\\SEM\\PASTA\\x.txt"));
        // A full device refuses the writes: the copy is not passed off as complete.
        if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
            QCOMPARE(errorOf([] { CopyFileData(QStringLiteral("C:\\A\\ret.txt"), QStringLiteral("Z:\\dev\\full")); }),
                     QStringLiteral("Cannot write file Z:\\dev\\full"));
            QVERIFY(QFileInfo::exists(QStringLiteral("/dev/full"))); // never removed
        }
        // A source that cannot be read: the incomplete destination is removed.
        if (QFileInfo::exists(QStringLiteral("/proc/self/mem"))) {
            QCOMPARE(errorOf([] { CopyFileData(QStringLiteral("Z:\\proc\\self\\mem"), QStringLiteral("C:\\A\\mem.bin")); }),
                     QStringLiteral("Cannot read file Z:\\proc\\self\\mem"));
            QVERIFY(!winfs::fileExists(QStringLiteral("C:\\A\\mem.bin")));
        }
        QCOMPARE(readFile(QStringLiteral("C:\\A\\ret.txt")).size(), 20000);
    }

    void relocateRenamesOrFallsBackToACopy()
    {
        fixture::Prefix prefix(false);
        writeFile(QStringLiteral("C:\\E\\a.txt"), "novo");
        fixture::makeDir(QStringLiteral("C:\\R"));
        RelocateFile(QStringLiteral("C:\\E\\a.txt"), QStringLiteral("C:\\R\\b.txt"));
        QVERIFY(!winfs::fileExists(QStringLiteral("C:\\E\\a.txt")));
        QCOMPARE(readFile(QStringLiteral("C:\\R\\b.txt")), QByteArray("novo"));
        // Into an existing folder: copied under its own name, the source stays.
        writeFile(QStringLiteral("C:\\E\\c.txt"), "c");
        RelocateFile(QStringLiteral("C:\\E\\c.txt"), QStringLiteral("C:\\R\\"));
        QCOMPARE(readFile(QStringLiteral("C:\\R\\c.txt")), QByteArray("c"));
        QVERIFY(winfs::fileExists(QStringLiteral("C:\\E\\c.txt")));
        // Onto an existing name: the destination is overwritten, the source stays.
        writeFile(QStringLiteral("C:\\E\\d.txt"), "d");
        RelocateFile(QStringLiteral("C:\\E\\d.txt"), QStringLiteral("C:\\R\\b.txt"));
        QCOMPARE(readFile(QStringLiteral("C:\\R\\b.txt")), QByteArray("d"));
        QVERIFY(winfs::fileExists(QStringLiteral("C:\\E\\d.txt")));
        // A read-only source in that situation is refused and nothing changes.
        winfs::setReadOnly(QStringLiteral("C:\\E\\d.txt"), true);
        writeFile(QStringLiteral("C:\\R\\b.txt"), "antigo");
        QCOMPARE(errorOf([] { RelocateFile(QStringLiteral("C:\\E\\d.txt"), QStringLiteral("C:\\R\\b.txt")); }),
                 QStringLiteral("Cannot move file C:\\E\\d.txt"));
        QCOMPARE(readFile(QStringLiteral("C:\\R\\b.txt")), QByteArray("antigo"));
        QVERIFY(winfs::fileExists(QStringLiteral("C:\\E\\d.txt")));
    }

    void attributeTestAndRepetition()
    {
        fixture::Prefix prefix(false);
        writeFile(QStringLiteral("C:\\E\\a.txt"), "a");
        QVERIFY(TestFileAttr(QStringLiteral("C:\\E"), 16));
        QVERIFY(TestFileAttr(QStringLiteral("c:\\e\\"), 16));
        QVERIFY(!TestFileAttr(QStringLiteral("C:\\E\\a.txt"), 16));
        QVERIFY(!TestFileAttr(QStringLiteral("C:\\E\\nada"), 16));
        QVERIFY(!TestFileAttr(QStringLiteral("C:\\E\\nada"), 1));
        QVERIFY(TestFileAttr(QStringLiteral("C:\\E\\nada"), 0));
        QCOMPARE(ReplicateText(QStringLiteral(" "), 73).size(), 73);
        QCOMPARE(ReplicateText(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
        QCOMPARE(ReplicateText(QStringLiteral("ab"), 0), QString());
        QCOMPARE(ReplicateText(QStringLiteral("ab"), -1), QString());
    }
};

QTEST_GUILESS_MAIN(TestFmxUtils)
#include "tst_fmxutils.moc"
