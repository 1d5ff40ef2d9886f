#pragma once
// Renamed-files query: the rename log listed in a grid, narrowed by contract,
// by direction (remittance or return) and by the date of the file. Each
// search builds its statement anew from the filters that are set. The window
// only reads: no table is written.
#include "platform/tables/datasource.h"
#include "platform/tables/query.h"
#include "platform/tables/table.h"
#include "platform/windowing/forms.h"
#include "ui_TfrmCnsArqRenomeados.h"

class TfrmCnsArqRenomeados : public TForm, public Ui::TfrmCnsArqRenomeados {
    Q_OBJECT
public:
    explicit TfrmCnsArqRenomeados(QWidget *parent = nullptr);

    // Data sets
    tables::Query qryArquivos;
    tables::Table tblContrato;
    tables::Table tblAgencia;
    tables::DataSource dtsArquivos;

    // Handlers
    void FormCreate() override;
    bool FormClose() override;
    void btnPesquisarClick();
    void btnOkClick();

private:
    void alinhaCabecalho();
};
