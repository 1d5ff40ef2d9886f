// Figures of the watcher, `renomeia-zq-cli vigia`:
// - from a file's arrival to its delivery, as the running process sees it:
//   a remittance written into a watched contract's folder and a return file
//   written into an incoming folder, each timed from the write to the line
//   "entregue" on the watcher's output (median and worst of the runs);
// - its resident memory over 10,000 rounds on an idle drive (files already
//   renamed and delivered lying in the folders), after 100 rounds and at the
//   end, with the time a round takes.
// One figure a line, "name: value unit".
//   build-release/bench_vigia [arrivals, default 9] [rounds, default 10000]
#include "common/fixture.h"

#include "cli/vigia.h"
#include "platform/filesystem/winfs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

long rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Waits for a line holding what; gives the ms it took, -1 after 30 s.
double espera(QProcess &p, QByteArray &lido, const QByteArray &what, const QElapsedTimer &desde)
{
    while (desde.elapsed() < 30000) {
        const qsizetype i = lido.indexOf(what);
        if (i >= 0) {
            lido.remove(0, lido.indexOf('\n', i) + 1);
            return desde.nsecsElapsed() / 1e6;
        }
        p.waitForReadyRead(50);
        lido += p.readAllStandardOutput();
    }
    return -1;
}

void imprime(const char *nome, QList<double> tempos)
{
    std::sort(tempos.begin(), tempos.end());
    std::printf("%s: %.0f ms\n", nome, tempos.value(tempos.size() / 2));
    std::printf("%s_worst: %.0f ms\n", nome, tempos.value(tempos.size() - 1));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Q_INIT_RESOURCE(installed_rows);
    const int chegadas = argc > 1 ? std::atoi(argv[1]) : 9;
    const int rodadas = argc > 2 ? std::atoi(argv[2]) : 10000;

    fixture::Prefix prefix;
    fixture::addContract(12, 345678, QStringLiteral("66"), QStringLiteral("C:\\REM"), QStringLiteral("C:\\RET"));
    for (const char *pasta : {"C:\\REM", "C:\\RET", "C:\\ZQ\\REN", "C:\\ZQ\\COB\\ENTRADA", "C:\\ZQ\\COB\\SAIDA"})
        fixture::makeDir(QString::fromLatin1(pasta));

    QProcess vigia;
    vigia.start(QStringLiteral(ZQ_CLI), {QStringLiteral("vigia"), QStringLiteral("--intervalo"), QStringLiteral("3600"),
                                         QStringLiteral("--estavel"), QStringLiteral("0"), QStringLiteral("--remessas"),
                                         QStringLiteral("12/345678/66")});
    // The watcher says on stderr that its first round is over.
    QByteArray erros;
    vigia.setReadChannel(QProcess::StandardError);
    while (!erros.contains("Vigiando") && vigia.waitForReadyRead(10000))
        erros += vigia.readAllStandardError();
    vigia.setReadChannel(QProcess::StandardOutput);
    if (!erros.contains("Vigiando")) {
        std::fprintf(stderr, "vigia did not start: %s\n", erros.constData());
        return 1;
    }
    QByteArray lido;
    QList<double> remessa, retorno;
    const QByteArray registro = QByteArray(400, 'R') + "\r\n";
    for (int i = 0; i < chegadas; ++i) {
        QElapsedTimer t;
        t.start();
        // Bytes of their own: the same bytes twice would be held back as a file sent again.
        fixture::writeFile(QStringLiteral("C:\\REM\\remessa%1.txt").arg(i), QByteArray::number(i) + registro.mid(QByteArray::number(i).size()));
        remessa << espera(vigia, lido, "entregue C:\\ZQ\\COB\\SAIDA\\", t);
        // One return a day; the ERP takes each before the next arrives.
        const QString nome = QDate(2026, 1, 1).addDays(i).toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("COB01X0012000345678.TXT");
        t.start();
        fixture::writeFile(QStringLiteral("C:\\ZQ\\COB\\ENTRADA\\") + nome, "retorno\r\n");
        retorno << espera(vigia, lido, "entregue C:\\RET\\RETORNO.TXT", t);
        QFile::remove(winfs::hostPath(QStringLiteral("C:\\RET\\RETORNO.TXT")));
    }
    vigia.terminate();
    vigia.waitForFinished(10000);
    std::printf("arrivals: %d each\n", chegadas);
    imprime("arrival_to_delivery_remessa", remessa);
    imprime("arrival_to_delivery_retorno", retorno);
    std::printf("vigia_exit_on_sigterm: %d status\n", vigia.exitStatus() == QProcess::NormalExit ? vigia.exitCode() : -1);

    // The same drive, idle: every file there was renamed or delivered before.
    QString nada;
    QTextStream mudo(&nada);
    zqcli::Vigia ocioso(mudo, 3600, 0, {{12, 345678, QStringLiteral("66")}});
    long depoisDeCem = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 1; i <= rodadas; ++i) {
        ocioso.rodada();
        nada.clear();
        if (i == 100)
            depoisDeCem = rssKb();
    }
    const double porRodada = t.nsecsElapsed() / 1e6 / rodadas;
    std::printf("rounds: %d rounds\n", rodadas);
    std::printf("round_idle: %.2f ms\n", porRodada);
    std::printf("rss_after_100_rounds: %ld kB\n", depoisDeCem);
    std::printf("rss_after_all_rounds: %ld kB\n", rssKb());
    std::printf("rss_growth_after_100: %ld kB\n", rssKb() - depoisDeCem);
    const bool falhou = remessa.contains(-1) || retorno.contains(-1);
    return falhou ? 1 : 0;
}
