// Figures for the remittance line-fitting pass: a file of 400-character
// records (short lines, trailing blanks, CR LF) fitted to record length 400
// headless (with and without the checks of ConfereRemessa.h, which take the
// fingerprint too) and through the remittance window (offscreen), against a
// plain buffered copy of the same file; and the memory of a pass over a file
// without any line end, with and without the checks. The headless passes run
// once more writing into no file. The runs take turns, in an order that
// changes every round, and each figure is the median of the rounds; the cost
// of the checks and of the window are medians of the rounds' own ratios, with
// their range. One figure a line, "name: value unit".
//   build-release/bench_remittance [MB, default 100] [rounds, default 15]
//
// With --instrucoes first, each pass runs once (MB default 20), for callgrind
// to count its instructions: the steady figure on a shared machine.
// bench/instrucoes_remessa.sh runs it.
#include "common/fixture.h"

#include "app/TfrmPrincipal.h"
#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/windowing/msgbox.h"
#include "remittance/ConfereRemessa.h"
#include "remittance/TfrmRnmArqRemessa.h"
#include "remittance/VerificaArquivo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#endif

namespace {

// A figure of /proc/self/status, in kB: "VmHWM" (peak resident memory since
// the last reset) or "VmRSS" (resident now).
long memoria(const char *campo)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith(campo))
            return l.mid(int(qstrlen(campo)) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Resets the peak to what is resident now, and gives that.
long zeraPico()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
    return memoria("VmRSS");
}

// The highest resident memory of any run.
long picoGeral = 0;

// How far the resident memory rose above `antes` since the reset.
long crescimento(long antes)
{
    const long pico = memoria("VmHWM");
    picoGeral = std::max(picoGeral, pico);
    return std::max(0L, pico - antes);
}

void gera(const QString &nome, qint64 bytes, bool comLinhas)
{
    fixture::writeFile(nome, QByteArray());
    QFile f(winfs::hostPath(nome));
    f.open(QIODevice::WriteOnly);
    QByteArray bloco;
    if (comLinhas) {
        // Full records, records with trailing blanks, short ones, a blank one.
        for (int i = 0; bloco.size() < (1 << 20); ++i) {
            switch (i % 4) {
            case 0: bloco += QByteArray(400, char('A' + i % 26)); break;
            case 1: bloco += QByteArray(380, '1') + QByteArray(20, ' '); break;
            case 2: bloco += QByteArray(120, 'c'); break;
            case 3: bloco += QByteArray(400, ' '); break;
            }
            bloco += "\r\n";
        }
    } else {
        bloco = QByteArray(1 << 20, 'x');
    }
    for (qint64 escrito = 0; escrito < bytes; escrito += bloco.size())
        f.write(bloco.constData(), std::min<qint64>(bloco.size(), bytes - escrito));
}

// Wall-clock and CPU time of the calling thread (CPU time counts the work, not
// the waits for the other programs of a shared machine).
struct Tempos {
    double parede = 0;
    double cpu = 0;
};
struct Instante {
    QElapsedTimer parede;
    timespec cpu{};
    void marca()
    {
        parede.start();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    }
    Tempos desde() const
    {
        timespec agora{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &agora);
        return {parede.nsecsElapsed() / 1e9, double(agora.tv_sec - cpu.tv_sec) + (agora.tv_nsec - cpu.tv_nsec) / 1e9};
    }
};

struct Medida {
    double passe = 0;    // the copy loop or the pass alone (bytes in the page cache), wall clock
    double passeCpu = 0; // the same in CPU time
    double total = 0;    // the whole delivery, flushed to disk, wall clock
    long crescimentoKb = 0; // rise of the resident memory during the run
    void tempos(const Tempos &t)
    {
        passe = t.parede;
        passeCpu = t.cpu;
    }
};

// The median of the rounds' figures.
double mediana(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The figures of one kind of run over the rounds.
struct Medidas {
    QList<Medida> rodadas;
    void operator+=(const Medida &m) { rodadas << m; }
    QList<double> de(double Medida::*campo) const
    {
        QList<double> v;
        for (const Medida &m : rodadas)
            v << m.*campo;
        return v;
    }
    double passe() const { return mediana(de(&Medida::passe)); }
    double passeCpu() const { return mediana(de(&Medida::passeCpu)); }
    double total() const { return mediana(de(&Medida::total)); }

    long crescimentoKb() const
    {
        long maior = 0;
        for (const Medida &m : rodadas)
            maior = std::max(maior, m.crescimentoKb);
        return maior;
    }
};

// How much slower a is than b, round by round, in %.
QList<double> maisLento(const Medidas &a, const Medidas &b, double Medida::*campo)
{
    QList<double> v;
    for (qsizetype i = 0; i < a.rodadas.size() && i < b.rodadas.size(); ++i)
        v << (a.rodadas[i].*campo / b.rodadas[i].*campo - 1) * 100;
    return v;
}

// An empty destination: the bytes written go nowhere.
struct Descarte : winfs::ByteSink {
    int write(const char *, qint64) override { return 0; }
};

// A run through the file handles: work() between opening and closing. Every
// run writes a new file, as a rename does; or, with no destination, nothing:
// without the kernel's copying into files, what the runs' own work costs
// stands out more, and the figures vary less.
Medida comArquivos(const QString &origem, const QString &destino,
                   const std::function<bool(winfs::FileReader &, winfs::FileWriter &)> &work)
{
    if (!destino.isEmpty())
        winfs::deleteFile(destino);
    const long residente = zeraPico();
    Instante inicio;
    inicio.marca();
    winfs::FileReader leitor;
    winfs::FileWriter escritor;
    leitor.open(origem);
    if (destino.isEmpty())
        escritor.open(std::make_unique<Descarte>());
    else
        escritor.create(destino);
    Medida m;
    const bool ok = work(leitor, escritor);
    m.tempos(inicio.desde());
    if (!ok || escritor.close() != 0)
        std::fprintf(stderr, "failed: %s\n", qPrintable(destino));
    m.total = inicio.desde().parede;
    m.crescimentoKb = crescimento(residente);
    return m;
}

bool copia(winfs::FileReader &leitor, winfs::FileWriter &escritor)
{
    static QByteArray bloco(int(winfs::FileBufferSize), '\0');
    qint64 lidos = 0;
    int codigo = 0;
    while (codigo == 0 && leitor.read(bloco.data(), bloco.size(), lidos) == 0)
        codigo = escritor.write(bloco.constData(), lidos);
    return codigo == 0;
}

bool passa(winfs::FileReader &leitor, winfs::FileWriter &escritor)
{
    qint64 ultima = 0;
    return remessa::VerificaArquivo(leitor, escritor, 400, [&](remessa::Etapa, qint64 p) { ultima = p; });
}

// Two files hold the same bytes.
bool mesmosBytes(const QString &a, const QString &b)
{
    QFile f(winfs::hostPath(a));
    QFile g(winfs::hostPath(b));
    if (!f.open(QIODevice::ReadOnly) || !g.open(QIODevice::ReadOnly) || f.size() != g.size())
        return false;
    while (!f.atEnd())
        if (f.read(1 << 20) != g.read(1 << 20))
            return false;
    return true;
}

// The findings of the last checked pass.
remessa::Conferencia conferencia;

bool passaConferindo(winfs::FileReader &leitor, winfs::FileWriter &escritor)
{
    qint64 ultima = 0;
    return remessa::VerificaArquivo(leitor, escritor, 400, [&](remessa::Etapa, qint64 p) { ultima = p; }, &conferencia);
}

// Times the pass inside the window: from the paint of its first status text
// to the paint of "Arquivo OK".
struct RelogioDoPasse : QObject {
    Instante inicio;
    Tempos tempos;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint) {
            const QString texto = static_cast<QLabel *>(o)->text();
            if (texto == QLatin1String("Verificando arquivo..."))
                inicio.marca();
            else if (texto == QLatin1String("Arquivo OK") && inicio.parede.isValid())
                tempos = inicio.desde();
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(installed_rows);
    const bool instrucoes = argc > 1 && qstrcmp(argv[1], "--instrucoes") == 0;
    const int primeiro = instrucoes ? 2 : 1;
    const qint64 mb = argc > primeiro ? std::atoll(argv[primeiro]) : instrucoes ? 20 : 100;
    const int rodadas = argc > primeiro + 1 ? std::max(1, std::atoi(argv[primeiro + 1])) : 15;
    const qint64 bytes = mb << 20;
    const QString registros = QStringLiteral("C:\\REM\\registros.txt");
    const QString semFim = QStringLiteral("C:\\SEMFIM\\semfim.txt");

    fixture::Prefix prefix;
    fixture::addContract(12, 345678, QStringLiteral("66"), QStringLiteral("C:\\REM"));
    gera(registros, bytes, true);
    fixture::makeDir(QStringLiteral("C:\\B"));

    // Through the window: the contract chosen (its first file is taken), the
    // button pressed, the boxes answered; the whole rename, log record
    // included. The file delivered before is removed first, as every other
    // run removes its output: the memory its pages free is then taken again
    // at once. Pages freed and left for seconds may be handed back to a
    // virtual machine's host, and the pass that takes them later pays for
    // them in the kernel's copy of its writes, several times its own work.
    setMessageResponder([](const BoxRecord &b) { return int(b.style == MsgStyle::Question ? mrYes : mrOk); });
    TfrmPrincipal principal;
    principal.show();
    if (!QTest::qWaitForWindowExposed(&principal))
        std::fprintf(stderr, "window not shown: it paints nothing\n");
    principal.mnuRnmArqRemessaClick();
    auto *janela = qobject_cast<TfrmRnmArqRemessa *>(principal.frmRnmArqRemessa.data());
    emit janela->cmbContrato->activated(0);
    RelogioDoPasse relogio;
    janela->Label4->installEventFilter(&relogio);
    // Each rename takes the file as a new one: its stamp moves on a day every
    // time (the bank takes nine a day), the contract is chosen again and the
    // name composed anew.
    const QString saida = QStringLiteral("C:\\ZQ\\COB\\SAIDA\\");
    QDateTime carimbo = winfs::fileAge(registros);
    bool todasEntregues = true;
    auto renomeia = [&] {
        winfs::deleteFile(saida + janela->lblNomeArqKELT->text());
        carimbo = carimbo.addDays(1);
        winfs::setFileAge(registros, carimbo);
        emit janela->cmbContrato->activated(0);
        const long residente = zeraPico();
        relogio.tempos = {};
        QElapsedTimer t;
        t.start();
        janela->btnRnmArq->click();
        Medida m;
        m.total = t.nsecsElapsed() / 1e9;
        m.tempos(relogio.tempos);
        m.crescimentoKb = crescimento(residente);
        if (!winfs::fileExists(saida + janela->lblNomeArqKELT->text())) {
            std::fprintf(stderr, "failed: the window delivered nothing\n");
            todasEntregues = false;
        }
        return m;
    };

    if (instrucoes) {
        // The first rename paints the status texts' glyphs for the first time:
        // what callgrind counts starts after it.
        renomeia();
#if __has_include(<valgrind/callgrind.h>)
        CALLGRIND_ZERO_STATS;
#endif
        comArquivos(registros, QStringLiteral("C:\\B\\ajustado.txt"), passa);
        comArquivos(registros, QStringLiteral("C:\\B\\conferido.txt"), passaConferindo);
        renomeia();
        std::printf("file_size: %lld MB\n", static_cast<long long>(mb));
        return 0;
    }

    gera(semFim, bytes, false);
    const Medida linhaSemFim = comArquivos(semFim, QStringLiteral("C:\\B\\semfim.txt"), passa);
    const Medida linhaSemFimConferida = comArquivos(semFim, QStringLiteral("C:\\B\\semfim.txt"), passaConferindo);
    const qint64 constatacoesSemFim = conferencia.total();
    winfs::deleteFile(QStringLiteral("C:\\B\\semfim.txt"));
    winfs::deleteFile(semFim);

    // The runs in turn, each round starting with another, so that the load of
    // a shared machine and the state the run before left fall on all of them alike.
    Medidas plana, semJanela, conferida, comJanela, semArquivo, conferidaSemArquivo;
    const std::function<void()> corridas[] = {
        [&] { plana += comArquivos(registros, QStringLiteral("C:\\B\\copia.txt"), copia); },
        [&] { semJanela += comArquivos(registros, QStringLiteral("C:\\B\\ajustado.txt"), passa); },
        [&] { conferida += comArquivos(registros, QStringLiteral("C:\\B\\conferido.txt"), passaConferindo); },
        [&] { comJanela += renomeia(); },
        [&] { semArquivo += comArquivos(registros, QString(), passa); },
        [&] { conferidaSemArquivo += comArquivos(registros, QString(), passaConferindo); },
    };
    constexpr int Corridas = std::size(corridas);
    for (int rodada = 0; rodada < rodadas; ++rodada)
        for (int i = 0; i < Corridas; ++i)
            corridas[(rodada + i) % Corridas]();
    const bool entregue = todasEntregues && winfs::fileSize(saida + janela->lblNomeArqKELT->text())
        == winfs::fileSize(QStringLiteral("C:\\B\\ajustado.txt"));
    setMessageResponder({});

    auto mbs = [mb](double segundos) { return segundos > 0 ? mb / segundos : 0.0; };
    // A cost: the median of the rounds, and their range.
    auto custo = [](const char *nome, const QList<double> &v) {
        std::printf("%s: %.1f %% (rounds %.1f to %.1f)\n", nome, mediana(v), *std::min_element(v.begin(), v.end()),
                    *std::max_element(v.begin(), v.end()));
    };
    std::printf("file_size: %lld MB\n", static_cast<long long>(mb));
    std::printf("rounds: %d\n", rodadas);
    std::printf("plain_copy: %.1f MB/s\n", mbs(plana.passe()));
    std::printf("pass_headless: %.1f MB/s\n", mbs(semJanela.passe()));
    std::printf("pass_checked: %.1f MB/s\n", mbs(conferida.passe()));
    std::printf("pass_window: %.1f MB/s\n", mbs(comJanela.passe()));
    std::printf("plain_copy_cpu: %.1f MB/s\n", mbs(plana.passeCpu()));
    std::printf("pass_headless_cpu: %.1f MB/s\n", mbs(semJanela.passeCpu()));
    std::printf("pass_checked_cpu: %.1f MB/s\n", mbs(conferida.passeCpu()));
    std::printf("pass_window_cpu: %.1f MB/s\n", mbs(comJanela.passeCpu()));
    std::printf("headless_to_copy: %.2f ratio\n", plana.passe() / semJanela.passe());
    std::printf("headless_to_copy_cpu: %.2f ratio\n", plana.passeCpu() / semJanela.passeCpu());
    custo("checks_cost", maisLento(conferida, semJanela, &Medida::passe));
    custo("checks_cost_cpu", maisLento(conferida, semJanela, &Medida::passeCpu));
    std::printf("pass_headless_no_file_cpu: %.1f MB/s\n", mbs(semArquivo.passeCpu()));
    std::printf("pass_checked_no_file_cpu: %.1f MB/s\n", mbs(conferidaSemArquivo.passeCpu()));
    custo("checks_cost_no_file_cpu", maisLento(conferidaSemArquivo, semArquivo, &Medida::passeCpu));
    custo("window_slower_than_headless", maisLento(comJanela, semJanela, &Medida::passe));
    custo("window_slower_than_headless_cpu", maisLento(comJanela, semJanela, &Medida::passeCpu));
    custo("window_slower_than_checked_cpu", maisLento(comJanela, conferida, &Medida::passeCpu));
    std::printf("plain_copy_flushed: %.1f MB/s\n", mbs(plana.total()));
    std::printf("pass_headless_flushed: %.1f MB/s\n", mbs(semJanela.total()));
    std::printf("rename_window_flushed: %.1f MB/s\n", mbs(comJanela.total()));
    std::printf("pass_no_line_end: %.1f MB/s\n", mbs(linhaSemFim.passe));
    std::printf("pass_checked_no_line_end: %.1f MB/s\n", mbs(linhaSemFimConferida.passe));
    std::printf("rss_growth_copy: %ld kB\n", plana.crescimentoKb());
    std::printf("rss_growth_headless: %ld kB\n", semJanela.crescimentoKb());
    std::printf("rss_growth_no_line_end: %ld kB\n", linhaSemFim.crescimentoKb);
    std::printf("rss_growth_checked_no_line_end: %ld kB\n", linhaSemFimConferida.crescimentoKb);
    std::printf("rss_growth_checked: %ld kB\n", conferida.crescimentoKb());
    std::printf("rss_growth_window: %ld kB\n", comJanela.crescimentoKb());
    std::printf("peak_rss: %ld kB\n", picoGeral);
    std::printf("window_delivered_same_bytes: %d bool\n", entregue ? 1 : 0);
    // The checks change nothing delivered; the records are clean, and the line
    // without end is one cut.
    const bool conferidoIgual = mesmosBytes(QStringLiteral("C:\\B\\conferido.txt"), QStringLiteral("C:\\B\\ajustado.txt"));
    std::printf("checked_same_bytes: %d bool\n", conferidoIgual ? 1 : 0);
    std::printf("checked_findings: %lld count\n", static_cast<long long>(conferencia.total()));
    std::printf("checked_findings_no_line_end: %lld count\n", static_cast<long long>(constatacoesSemFim));
    return entregue && conferidoIgual ? 0 : 1;
}
