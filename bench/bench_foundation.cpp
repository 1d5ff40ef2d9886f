// Figures for the foundation: byte-by-byte reading and
// writing through the file handles, name look-ups that differ
// in letter case in a large folder, log inserts, and the log queries by
// contract and date against a large log.
//   build/bench_foundation [log rows, default 200000] [copy MB, default 64]
#include "common/fixture.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/tables/query.h"
#include "platform/tables/session.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int logRows = argc > 1 ? atoi(argv[1]) : 200000;
    const int copyMb = argc > 2 ? atoi(argv[2]) : 64;
    fixture::Prefix prefix;

    // The source of the byte-by-byte figure.
    {
        QByteArray block(1 << 20, 'x');
        fixture::writeFile(QStringLiteral("C:\\B\\src.bin"), QByteArray());
        QFile f(prefix.host(QStringLiteral("C:\\B\\src.bin")));
        f.open(QIODevice::WriteOnly);
        for (int i = 0; i < copyMb; ++i)
            f.write(block);
        f.close();
    }

    // Byte by byte through the file handles, as the line-fitting pass reads and writes.
    {
        winfs::FileReader in;
        winfs::FileWriter out;
        QElapsedTimer t;
        t.start();
        in.open(QStringLiteral("C:\\B\\src.bin"));
        out.create(QStringLiteral("C:\\B\\dst2.bin"));
        unsigned char b = 0;
        qint64 n = 0;
        while (in.readByte(b) == 0) {
            out.writeByte(b);
            ++n;
        }
        in.close();
        const int code = out.close();
        const double s = t.nsecsElapsed() / 1e9;
        std::printf("FileReader::readByte + FileWriter::writeByte: %.0f MB in %.3f s = %.1f MB/s (code %d)\n", n / 1048576.0, s,
                    n / 1048576.0 / s, code);
    }

    // A name spelt in another letter case, in a folder of 20,000 files.
    {
        const int files = 20000;
        QDir().mkpath(prefix.host(QStringLiteral("C:\\ZQ\\COB\\ENTRADA")));
        const QString dir = prefix.host(QStringLiteral("C:\\ZQ\\COB\\ENTRADA"));
        for (int i = 0; i < files; ++i) {
            QFile f(dir + QStringLiteral("/20260101cob%1.txt").arg(i, 9, 10, QLatin1Char('0')));
            f.open(QIODevice::WriteOnly);
        }
        auto name = [](int i) {
            return QStringLiteral("C:\\ZQ\\COB\\ENTRADA\\20260101COB%1.TXT").arg(i, 9, 10, QLatin1Char('0'));
        };
        QElapsedTimer t;
        t.start();
        int found = winfs::fileExists(name(files - 1));
        const double first = t.nsecsElapsed() / 1e6;
        const int runs = 200;
        t.restart();
        for (int i = 0; i < runs; ++i)
            found += winfs::fileExists(name(i * 97));
        const double hit = t.nsecsElapsed() / 1e6 / runs;
        t.restart();
        for (int i = 0; i < runs; ++i)
            found += winfs::fileExists(name(files + i));
        std::printf("name in another letter case, folder of %d files: first call %.3f ms, then %.3f ms per call "
                    "(%d found), %.3f ms per name not there\n",
                    files, first, hit, found, t.nsecsElapsed() / 1e6 / runs);
    }

    // Log rows, in one transaction as a long-lived installation would have them.
    {
        QElapsedTimer t;
        t.start();
        fixture::fillLog(logRows);
        std::printf("log: %d rows inserted in %.0f ms\n", logRows, t.nsecsElapsed() / 1e6);
    }
    {
        tables::Query q;
        q.databaseName = zqdb::AliasName;
        q.setSQL(sql::RemArquivos);
        q.paramByName(QStringLiteral("Agencia")).setAsSmallInt(7);
        q.paramByName(QStringLiteral("Contrato")).setAsInteger(7);
        q.paramByName(QStringLiteral("Servico")).setAsString(QStringLiteral("66"));
        q.paramByName(QStringLiteral("Data")).setAsDate(QDate(2026, 1, 8));
        QElapsedTimer t;
        t.start();
        const int runs = 200;
        for (int i = 0; i < runs; ++i) {
            q.open();
            q.close();
        }
        std::printf("remittances of a contract and day: %.3f ms per query\n", t.nsecsElapsed() / 1e6 / runs);
    }
    {
        tables::Query q;
        q.databaseName = zqdb::AliasName;
        q.setSQL(sql::ExcluiArq);
        q.paramByName(QStringLiteral("ParmData")).setAsDateTime(QDateTime(QDate(2026, 2, 1), QTime(0, 0)));
        QElapsedTimer t;
        t.start();
        q.execSQL();
        std::printf("purge: %d rows deleted in %.0f ms\n", q.rowsAffected(), t.nsecsElapsed() / 1e6);
    }
    return 0;
}
