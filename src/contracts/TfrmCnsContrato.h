#pragma once
// Contract query: every registered contract in a grid, in key order, with the
// system of its service, its folders and its description.
#include "platform/tables/datasource.h"
#include "platform/tables/table.h"
#include "platform/windowing/forms.h"
#include "ui_TfrmCnsContrato.h"

class TfrmCnsContrato : public TForm, public Ui::TfrmCnsContrato {
    Q_OBJECT
public:
    explicit TfrmCnsContrato(QWidget *parent = nullptr);

    // Data sets
    tables::Table tblContrato;
    tables::Table tblServico;
    tables::DataSource dtsContrato;

    // Handlers
    void FormCreate() override;
    bool FormClose() override;
    void btnOkClick();
};
