// Figures of the renamed-files query window against a large log: the time
// from creating the window to its first rows painted, the time of each
// filter combination up to the rows painted, reaching the last rows, and the
// peak resident memory. One figure a line.
//   build-release/bench_log [log rows, default 200000]
#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "common/fixture.h"
#include "log/TfrmCnsArqRenomeados.h"
#include "platform/runtime/convert.h"
#include "platform/windowing/dbcontrols.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

long peakMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

// Notices the grid of the log window painting what its data set holds.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *grid = watched->parent() ? qobject_cast<DBGrid *>(watched->parent()) : nullptr;
            if (grid && grid->viewport() == watched && grid->dataSource())
                painted = true;
        }
        return false;
    }
};

PaintWatch *watch = nullptr;

// Runs start, then the event loop until the grid has painted; in ms.
double untilPainted(const std::function<void()> &start)
{
    watch->painted = false;
    QElapsedTimer t;
    t.start();
    start();
    while (!watch->painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Q_INIT_RESOURCE(installed_rows);
    InitApplication();
    // The log's rename days start on 1 January 2026: none is old enough for
    // the purge at start.
    setClock([] { return QDateTime(QDate(2026, 1, 20), QTime(10, 0)); });
    const int logRows = argc > 1 ? atoi(argv[1]) : 200000;
    fixture::Prefix prefix;
    fixture::Boxes boxes;
    fixture::fillLog(logRows);
    for (int ag = 0; ag < 50; ++ag)
        fixture::addAgency(ag, u"AGENCIA %1"_s.arg(ag));
    for (int ct = 0; ct < 997; ++ct)
        fixture::addContract(ct % 50, ct, u"66"_s);
    std::printf("log rows: %d\n", logRows);
    std::printf("log table file: %lld MB\n",
                QFileInfo(prefix.host(u"C:\\ZQ\\REN\\TABELAS\\Arq.db"_s)).size() / (1024 * 1024));
    std::printf("peak memory before the window: %ld MB\n", peakMb());

    PaintWatch paints;
    watch = &paints;
    app.installEventFilter(&paints);
    TfrmPrincipal principal;
    principal.show();

    // Opening: the whole log listed.
    TfrmCnsArqRenomeados *form = nullptr;
    std::vector<double> opens;
    for (int run = 0; run < 5; ++run) {
        if (form) {
            delete form->parentWidget();
            QApplication::processEvents();
        }
        opens.push_back(untilPainted([&] {
            principal.mnuCnsArqRenomeadosClick();
            form = qobject_cast<TfrmCnsArqRenomeados *>(principal.frmCnsArqRenomeados.data());
        }));
    }
    std::printf("open window, first rows painted (first run): %.0f ms\n", opens.front());
    std::printf("open window, first rows painted: %.0f ms\n", median(opens));
    std::printf("rows read for the first rows: %lld\n", form->qryArquivos.rowsRead());
    std::printf("peak memory with the window open: %ld MB\n", peakMb());

    // Each filter combination: C contract, R remittances, T returns, D file date.
    const char *combos[] = {"none", "C", "R", "T", "D", "C R", "C T", "C D", "R D", "T D", "C R D", "C T D"};
    for (const char *combo : combos) {
        const QString c = QString::fromLatin1(combo);
        form->cmbContrato->setCurrentIndex(c.contains(u'C') ? 141 : 0);
        form->radRemessa->setChecked(c.contains(u'R'));
        form->radRetorno->setChecked(c.contains(u'T'));
        form->edtDtaArquivo->setDateText(c.contains(u'D') ? u"08/01/2026"_s : u"00/00/0000"_s);
        std::vector<double> runs;
        for (int run = 0; run < 5; ++run)
            runs.push_back(untilPainted([&] { form->btnPesquisar->click(); }));
        std::printf("search %s: %.0f ms\n", combo, median(runs));
        std::printf("search %s rows: %d\n", combo, form->qryArquivos.recordCount());
    }
    if (boxes.count())
        std::printf("unexpected box: %s\n", qPrintable(boxes.dump()));

    // The last rows of the whole log.
    form->cmbContrato->setCurrentIndex(0);
    form->radRemessa->setChecked(false);
    form->radRetorno->setChecked(false);
    form->edtDtaArquivo->setDateText(u"00/00/0000"_s);
    form->btnPesquisar->click();
    std::printf("last rows painted: %.0f ms\n", untilPainted([&] { form->grdArquivo->scrollToBottom(); }));

    // Moving the current record row by row through the grid.
    DBGrid *grid = form->grdArquivo;
    form->grdArquivo->scrollToTop();
    QApplication::processEvents();
    std::vector<double> moves;
    for (int row = 1; row <= 21; ++row) {
        QElapsedTimer t;
        t.start();
        grid->setCurrentIndex(grid->model()->index(row, 0));
        QApplication::processEvents();
        moves.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("move to the next row: %.2f ms\n", median(moves));

    std::printf("peak memory: %ld MB\n", peakMb());
    return 0;
}
