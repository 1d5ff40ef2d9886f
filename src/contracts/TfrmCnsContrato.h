#pragma once
// Contract query: every registered contract in a grid, in key order, with the
// system of its service, its folders and its description.
#include <QWidget>

#include "platform/tables/datasource.h"
#include "platform/tables/table.h"

namespace Ui {
class TfrmCnsContrato;
}
class DBGrid;
class QFrame;
class QPushButton;

class TfrmCnsContrato : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCnsContrato(QWidget *parent = nullptr);
    ~TfrmCnsContrato() override;

    // Window definition
    QFrame *Panel2, *Panel1;
    DBGrid *grdContrato;
    QPushButton *btnOk;

    // Data sets
    tables::Table tblContrato;
    tables::Table tblServico;
    tables::DataSource dtsContrato;

    // Handlers
    void FormCreate();
    void FormClose();
    void btnOkClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Ui::TfrmCnsContrato *ui;
};
