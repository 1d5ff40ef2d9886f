// Pictures of the program's windows for the documentation, taken on a demo
// drive: the main window, the contract registration, the remittance window
// after a rename, the return window with a file identified and the log.
//   zq-screenshots <folder>       (tools/screenshots.sh runs it under Xvfb)
#include "app/TfrmPrincipal.h"
#include "app/startup.h"
#include "platform/windowing/forms.h"
#include "platform/windowing/msgbox.h"
#include "remittance/ConfereRemessa.h"
#include "remittance/RenomeiaRemessa.h"
#include "remittance/TfrmRnmArqRemessa.h"
#include "return/TfrmRnmArqRetorno.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {

// Lets the windows paint and the timers of the main window run.
void settle(int ms = 400)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool save(QWidget &window, const QString &file)
{
    settle();
    const bool ok = window.grab().save(file);
    std::printf("%s %s\n", ok ? "foto:" : "falhou:", qPrintable(file));
    return ok;
}

void closeChild(QPointer<QWidget> &child)
{
    if (child)
        closeForm(child);
    settle(200);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: zq-screenshots <pasta>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    InitApplication();
    // Every box is answered as a user going ahead would: Yes, or OK.
    setMessageResponder([](const BoxRecord &box) {
        std::printf("caixa: %s | %s\n", qPrintable(box.title), qPrintable(QString(box.text).replace(QLatin1Char('\r'), QLatin1Char(' '))));
        return box.style == MsgStyle::Question ? int(mrYes) : int(mrOk);
    });

    TfrmPrincipal w;
    w.setGeometry(0, 0, 960, 640);
    w.show();
    settle(1500);
    bool ok = save(w, out.filePath(QStringLiteral("principal.png")));

    w.mnuCadContratoClick();
    ok = save(w, out.filePath(QStringLiteral("cadastro-contrato.png"))) && ok;
    closeChild(w.frmCadContrato);

    // The first contract (COB), its first file, renamed.
    w.mnuRnmArqRemessaClick();
    if (auto *r = qobject_cast<TfrmRnmArqRemessa *>(w.frmRnmArqRemessa.data())) {
        r->cmbContratoClick();
        settle(200);
        r->btnRnmArqClick();
    }
    ok = save(w, out.filePath(QStringLiteral("remessa.png"))) && ok;
    closeChild(w.frmRnmArqRemessa);

    // The window identifies the first return file it finds; it is then delivered.
    w.mnuRnmArqRetornoClick();
    ok = save(w, out.filePath(QStringLiteral("retorno.png"))) && ok;
    if (auto *r = qobject_cast<TfrmRnmArqRetorno *>(w.frmRnmArqRetorno.data()))
        r->btnRnmArqClick();
    closeChild(w.frmRnmArqRetorno);

    w.mnuCnsArqRenomeadosClick();
    ok = save(w, out.filePath(QStringLiteral("arquivos-renomeados.png"))) && ok;
    closeChild(w.frmCnsArqRenomeados);

    // The box a remittance file with findings raises before it takes its
    // name: the demo's UTF-8 file, which can be converted.
    remessa::Conferencia achados;
    remessa::ConfereArquivo(QStringLiteral("C:\\DEMO\\COB\\REMESSA\\remessa-utf8.txt"), 400, achados);
    setMessageResponder({});
    QTimer::singleShot(600, [&] {
        if (auto *caixa = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            ok = save(*caixa, out.filePath(QStringLiteral("conferencia.png"))) && ok;
            caixa->button(QMessageBox::No)->click();
        }
    });
    MessageBox(remessa::textoConferencia(achados), QStringLiteral("Conferência do Arquivo"), MsgStyle::Question,
               {QStringLiteral("Converter")}, mrNo);
    return ok ? 0 : 1;
}
