// Figures for a scheduled run of renomeia-zq-cli, which pays the whole
// process each time: `remessa` of a 1 MB file from the process's start to its
// exit (tables opened, name composed, pass, delivery flushed, log row), a
// plain `cp` of the same file in the same run, and `log --csv` over a log of
// 200,000 rows written to /dev/null. Each figure is the median of the runs
// (and the best); one figure a line, "name: value unit".
//   build-release/bench_cli [runs, default 9] [log rows, default 200000]
#include "common/fixture.h"

#include "platform/filesystem/winfs.h"
#include "platform/runtime/convert.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Wall time of a process from its start to its exit, in ms; -1 when it failed.
double cronometra(const QString &programa, const QStringList &argumentos)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(programa, argumentos);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "failed: %s %s\n%s\n", qPrintable(programa), qPrintable(argumentos.join(u' ')),
                     p.readAllStandardError().constData());
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
}

void imprime(const char *nome, QList<double> tempos)
{
    std::sort(tempos.begin(), tempos.end());
    std::printf("%s: %.1f ms\n", nome, tempos.value(tempos.size() / 2));
    std::printf("%s_best: %.1f ms\n", nome, tempos.value(0));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Q_INIT_RESOURCE(installed_rows);
    const int vezes = argc > 1 ? std::atoi(argv[1]) : 9;
    const int linhasLog = argc > 2 ? std::atoi(argv[2]) : 200000;
    const QString cli = QStringLiteral(ZQ_CLI);

    fixture::Prefix prefix;
    fixture::addContract(12, 345678, QStringLiteral("66"), QStringLiteral("C:\\REM"));
    fixture::makeDir(QStringLiteral("C:\\B"));
    // A megabyte of 400-character records, short and full, with CR LF.
    QByteArray bytes;
    for (int i = 0; bytes.size() < (1 << 20); ++i)
        bytes += (i % 3 ? QByteArray(400, char('A' + i % 26)) : QByteArray(120, 'c')) + "\r\n";
    bytes.truncate(1 << 20);

    QList<double> remessa, copia;
    for (int i = 0; i < vezes; ++i) {
        // Each file of a day of its own: the nine-a-day limit is not the figure.
        const QString nome = QStringLiteral("C:\\REM\\remessa%1.txt").arg(i);
        // Bytes of their own: the same bytes twice would be held back as a file sent again.
        fixture::writeFile(nome, QByteArray::number(i) + bytes.mid(QByteArray::number(i).size()));
        winfs::setFileAge(nome, QDateTime(QDate(2026, 1, 1).addDays(i), QTime(10, 0)));
        copia << cronometra(QStringLiteral("cp"), {winfs::hostPath(nome), winfs::hostPath(QStringLiteral("C:\\B\\copia%1.txt").arg(i))});
        remessa << cronometra(cli, {QStringLiteral("remessa"), QStringLiteral("--agencia"), QStringLiteral("12"), QStringLiteral("--contrato"),
                                    QStringLiteral("345678"), QStringLiteral("--servico"), QStringLiteral("66"), nome});
    }

    fixture::fillLog(linhasLog);
    QList<double> log;
    for (int i = 0; i < std::max(3, vezes / 3); ++i)
        log << cronometra(cli, {QStringLiteral("log"), QStringLiteral("--csv")});

    std::printf("file_size: 1 MB\n");
    imprime("remessa_1mb", remessa);
    imprime("cp_1mb", copia);
    std::printf("log_rows: %d rows\n", linhasLog);
    imprime("log_csv", log);
    const bool falhou = remessa.contains(-1) || log.contains(-1) || copia.contains(-1);
    return falhou ? 1 : 0;
}
