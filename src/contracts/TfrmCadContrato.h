#pragma once
// Contract registration: the window in which contracts and agreements are
// added, browsed, changed and deleted, one record at a time. Every record is
// checked before it is saved.
#include <QWidget>

#include "platform/tables/datasource.h"
#include "platform/tables/table.h"

namespace Ui {
class TfrmCadContrato;
}
class DBEdit;
class DBLookupComboBox;
class DBText;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

class TfrmCadContrato : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCadContrato(QWidget *parent = nullptr);
    ~TfrmCadContrato() override;

    // Window definition
    QFrame *pnlDados;
    QGroupBox *GroupBox2, *GroupBox1, *GroupBox3;
    QLabel *Label6, *Label8, *Label7, *Label2, *Label3, *Label1, *Label4;
    DBEdit *dbeAgencia, *dbeContrato, *BDECtrDescricao, *dbeDirArqRemessa, *dbeDirArqRetorno;
    DBLookupComboBox *cmbServico;
    DBText *dbtSisCod, *dbtAgeNome;
    QFrame *Panel2, *pnlBotoes;
    QPushButton *btnDirArqRemessa, *btnDirArqRetorno;
    QPushButton *btnPrimeiro, *btnAnterior, *btnPosterior, *btnUltimo;
    QPushButton *btnNovo, *btnSalvar, *btnExcluir, *btnDesfazer, *btnFechar;

    // Data sets
    tables::Table tblContrato;
    tables::Table tblAgencia;
    tables::Table tblServico;
    tables::DataSource dtsContrato;
    tables::DataSource dtsAgencia;
    tables::DataSource dtsServico;

    // Handlers
    void FormCreate();
    // Returns false when the window must stay open.
    bool FormClose();
    void dtsContratoStateChange();
    void tblContratoBeforePost(tables::DataSet &dataSet);
    // Save check of one folder box: given, existing, trailing backslash removed.
    void confereDiretorio(DBEdit *edit, const QString &campo, const QString &textoVazio, const QString &titulo);
    void btnPrimeiroClick();
    void btnAnteriorClick();
    void btnPosteriorClick();
    void btnUltimoClick();
    void btnNovoClick();
    void btnSalvarClick();
    void btnExcluirClick();
    void btnDesfazerClick();
    void btnFecharClick();
    void dbeAgenciaChange();
    void dbeAgenciaKeyPress(QChar &key);
    void dbeAgenciaExit();
    void cmbServicoExit();
    void dbeDirArqRemessaExit();
    void btnDirArqRemessaClick();
    void btnDirArqRetornoClick();

    // Routines
    bool ValidaDigitoContrato();
    bool CampoInformado(const QString &valor, const QString &titulo, const QString &mensagem);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // "C:\KRV\<agency>\<contract>" of the contract shown, when the service is
    // "66" and that folder exists; otherwise empty.
    QString diretorioPadrao() const;
    void setNavegacao(bool inicio, bool fim);

    Ui::TfrmCadContrato *ui;
};
