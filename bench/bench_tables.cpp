// Figures of the table engine against a large log: opening the log as a
// table, the log listing's first row, appending one row, the count of a
// contract's remittances of a day, and the peak resident memory.
//   build/bench_tables [log rows, default 200000]
#include "common/fixture.h"
#include "db/statements.h"
#include "db/tables.h"
#include "platform/tables/query.h"
#include "platform/tables/table.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {

// Median of several runs, in milliseconds.
double timed(const std::function<void()> &run, int runs = 9)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

long peakMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int logRows = argc > 1 ? atoi(argv[1]) : 200000;
    fixture::Prefix prefix;
    fixture::fillLog(logRows);
    std::printf("log rows: %d rows\n", logRows);
    std::printf("peak memory after filling: %ld MB\n", peakMb());

    tables::Table arq;
    zqdb::setupTable(arq, QStringLiteral("Arq.db"));
    std::printf("open Arq as a table: %.2f ms\n", timed([&] {
                    arq.close();
                    arq.open();
                }));

    tables::Query log;
    log.databaseName = zqdb::AliasName;
    log.declareParams(sql::log::Params);
    QString first;
    std::printf("log listing first row: %.2f ms\n", timed([&] {
                    log.close();
                    log.setSQL(QStringList{sql::log::Select, sql::log::From, sql::log::OrderBy});
                    log.open();
                    first = log.fieldByName(QStringLiteral("ArqNomeOrigem"))->asString();
                }));
    std::printf("log listing row count: %.2f ms\n", timed([&] {
                    log.close();
                    log.open();
                    log.recordCount();
                }));

    std::printf("append one row: %.2f ms\n", timed([&] {
                    arq.append();
                    arq.fieldByName(QStringLiteral("ArqCtrAgencia"))->setAsInteger(7);
                    arq.fieldByName(QStringLiteral("ArqCtrContrato"))->setAsInteger(7);
                    arq.fieldByName(QStringLiteral("ArqCtrServico"))->setAsString(QStringLiteral("66"));
                    arq.fieldByName(QStringLiteral("ArqNomeOrigem"))->setAsString(QStringLiteral("C:\\REMESSA\\NOVO.TXT"));
                    arq.fieldByName(QStringLiteral("ArqRemessa"))->setAsBoolean(true);
                    arq.fieldByName(QStringLiteral("ArqDataOrigem"))->setAsDate(QDate(2026, 1, 8));
                    arq.post();
                }));

    tables::Query rem;
    rem.databaseName = zqdb::AliasName;
    rem.setSQL(sql::RemArquivos);
    int count = 0;
    std::printf("daily remittance count: %.2f ms\n", timed([&] {
                    rem.close();
                    rem.paramByName(QStringLiteral("Agencia")).setAsSmallInt(7);
                    rem.paramByName(QStringLiteral("Contrato")).setAsInteger(7);
                    rem.paramByName(QStringLiteral("Servico")).setAsString(QStringLiteral("66"));
                    rem.paramByName(QStringLiteral("Data")).setAsDateTime(QDateTime(QDate(2026, 1, 8), QTime(0, 0)));
                    rem.open();
                    count = rem.recordCount();
                }));
    std::printf("daily remittance rows found: %d rows\n", count);

    std::printf("peak memory: %ld MB\n", peakMb());
    return first.isEmpty() ? 1 : 0;
}
