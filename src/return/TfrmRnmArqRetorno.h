#pragma once
// Return renaming: finds a file that the transfer program left in one of its
// incoming folders, reads from its name the system, return identifier,
// agency and contract it belongs to, checks them against Rsi and Ctr, and
// delivers it into the contract's return folder under the name pattern,
// recording it in the rename log.
#include "platform/tables/datasource.h"
#include "platform/tables/query.h"
#include "platform/tables/table.h"
#include "platform/windowing/forms.h"
#include "return/RenomeiaRetorno.h"
#include "ui_TfrmRnmArqRetorno.h"

// The window's file open dialog: opened at InitialDir; Execute() is true
// when the user picked a file, whose full path is then in FileName.
struct TOpenDialog {
    QString InitialDir;
    QString FileName;
    bool Execute();
};

class TfrmRnmArqRetorno : public TForm, public Ui::TfrmRnmArqRetorno, private retorno::Interlocutor {
    Q_OBJECT
public:
    explicit TfrmRnmArqRetorno(QWidget *parent = nullptr);

    // Data sets
    tables::Table tblContrato;
    tables::Table tblAgencia;
    tables::Table tblServico;
    tables::Table tblRsi;
    tables::Query qryContratoCOB;
    tables::Query QryContratoPDZ;
    tables::DataSource dtsContrato;

    TOpenDialog opdNomeArqKELT;

    // State of the last identification: the folder the file is taken from
    // (empty until a contract was matched) and the digits of the contract
    // number in the name (9 or 7; 0 before the first name).
    QString DirEntrada;
    int TamContrato = 0;

    // The delivery itself: identification, copy, log row.
    retorno::RenomeiaRetorno renomeacao{*this};

    // Handlers
    void FormCreate() override;
    bool FormClose() override;
    void btnDirArqKELTClick();
    void edtNomeArqKELTClick();
    void dtsContratoDataChange();
    void edtRetornoNomeChange();
    void edtRetornoExtensaoChange();
    void btnRnmArqClick();
    void btnFecharClick();

    // Routines
    bool ProcuraArqRetorno(const QString &sistemaRetorno);
    void IdentificaContrato();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Questions and messages of the job, in the window's boxes.
    bool substitui(const Mensagem &pergunta) override;
    void mensagem(const Mensagem &mensagem) override;

    // Focus back to the file name, emptied when asked.
    void voltaAoNome(bool esvazia = true);
    // The rename button works only on an identified file with a destination name.
    void habilitaRenomear();
    // The pattern read from its file into the pattern fields.
    void lePadrao();
    // The folder of the return file, shown and told to screen readers.
    void mostraPasta(const QString &pasta);
    // Closes the window; while it is still being created, once it is shown.
    void fecha();

    // The contract of the last identification, and whether it passed every check.
    retorno::Contrato contrato_;
    bool identificado_ = false;
};
