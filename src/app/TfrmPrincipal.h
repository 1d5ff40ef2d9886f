#pragma once
// The main window: MDI frame, menus, toolbar, status bar, timers, start-up
// steps, the checks before opening windows and the agency refresh.
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "platform/tables/query.h"
#include "platform/tables/table.h"
#include "platform/windowing/forms.h"

namespace Ui {
class TfrmPrincipal;
}
class QAction;
class QMdiArea;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class TWallPaper;

class TfrmPrincipal : public QMainWindow, public MdiFrame {
    Q_OBJECT
public:
    explicit TfrmPrincipal(QWidget *parent = nullptr);
    ~TfrmPrincipal() override;

    // MdiFrame
    QAction *menuEntry(const QString &name) override;
    StatusPanels *statusPanels() override { return pnlStatus; }
    QMdiArea *mdiArea() override { return ClientArea; }

    // Window definition
    QMdiArea *ClientArea;
    QMenuBar *MainMenu1;
    QMenu *mnuArquivo, *mnuEditar, *mnuCadastro, *mnuConsulta, *mnuRenomeia, *mnuAjuda;
    QAction *GerarCpiadeSegurana1, *RestaurarCpiadeSegurana1, *N1, *mnuArqSair;
    QAction *mnuEdtRecortar, *mnuEdtCopiar, *mnuEdtColar;
    QAction *mnuCadContrato, *mnuCnsContrato, *mnuCnsArqRenomeados;
    QAction *mnuRnmArqRemessa, *N8, *mnuRnmArqRetorno;
    QAction *mnuAjudaConversao, *mnuAjudaSobre;
    QToolBar *ToolBar1;
    QToolButton *btnSair, *btnRecortar, *btnCopiar, *btnColar, *btnCadContrato, *btnCnsArqRenomeados,
        *btnRnmArqRemessa, *btnRnmArqRetorno, *btnAjudaConversao;
    StatusPanels *pnlStatus;
    QTimer *Timer1, *Timer2, *Timer3;
    TWallPaper *WallPaper1 = nullptr;

    // Data sets
    tables::Table tblContrato;
    tables::Query qryExcluiArq;
    tables::Query QryConversao;
    tables::Table TblAge;
    tables::Query qryAgenciaZQ;

    // Open child windows, one per kind.
    QPointer<QWidget> frmCadContrato, frmCnsContrato, frmRnmArqRemessa, frmRnmArqRetorno, frmCnsArqRenomeados, frmSobre;

    // Start-up steps and routines
    void FormCreate();
    void ConverteVersao(const QString &versao);
    bool CarregaAgenciaZQ();
    void ChamaAjuda(const QString &arquivo);
    void ShowHint(const QString &hint);

    // Handlers
    void mnuArqSairClick();
    void mnuEdtRecortarClick();
    void mnuEdtCopiarClick();
    void mnuEdtColarClick();
    void mnuCadContratoClick();
    void mnuCnsContratoClick();
    void mnuCnsArqRenomeadosClick();
    void mnuRnmArqRemessaClick();
    void mnuRnmArqRetornoClick();
    void mnuAjudaConversaoClick();
    void mnuAjudaSobreClick();
    void GerarCpiadeSegurana1Click() {}
    void RestaurarCpiadeSegurana1Click() {}
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Opening protocol of a child window kind.
    void abreJanela(QPointer<QWidget> &ref, QAction *entry, const std::function<QWidget *()> &create, bool mdiChild = true);
    // Brings an open window of the kind to the front; true when there was one.
    bool trazJanela(const QPointer<QWidget> &ref);
    QToolButton *addToolButton(const QString &name, const QString &hint, int icon, void (TfrmPrincipal::*handler)());
    bool existeContrato();

    Ui::TfrmPrincipal *ui;
};

// The application's main window while it exists.
extern TfrmPrincipal *frmPrincipal;

// Agency import from "Agencias.Txt" in the executable's folder.
void ImportaAgencias(tables::Table &tblAge);

// Removes an agency list once it has been loaded; true when it is gone.
// Tests put a remover in place that fails; an empty function restores the
// file system's delete.
void setAgencyListRemover(std::function<bool(const QString &)> remover);
