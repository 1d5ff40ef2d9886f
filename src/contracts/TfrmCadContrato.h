#pragma once
// Contract registration: the window in which contracts and agreements are
// added, browsed, changed and deleted, one record at a time. Every record is
// checked before it is saved.
#include "platform/tables/datasource.h"
#include "platform/tables/table.h"
#include "platform/windowing/forms.h"
#include "ui_TfrmCadContrato.h"

class TfrmCadContrato : public TForm, public Ui::TfrmCadContrato {
    Q_OBJECT
public:
    explicit TfrmCadContrato(QWidget *parent = nullptr);

    // Data sets
    tables::Table tblContrato;
    tables::Table tblAgencia;
    tables::Table tblServico;
    tables::DataSource dtsContrato;
    tables::DataSource dtsAgencia;
    tables::DataSource dtsServico;

    // Handlers
    void FormCreate() override;
    bool FormClose() override;
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

private:
    // "C:\KRV\<agency>\<contract>" of the contract shown, when the service is
    // "66" and that folder exists; otherwise empty.
    QString diretorioPadrao() const;
    void setNavegacao(bool inicio, bool fim);
};
