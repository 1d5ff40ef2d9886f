#pragma once
// Remittance renaming: the user picks a contract and a file of its remittance
// folder; the window composes the standard name the bank expects (with the
// day's sequence number) and delivers the file, every line fitted to the
// service's record length, into the transfer program's outgoing folder, then
// records it in the rename log.
#include <QDate>
#include <QElapsedTimer>
#include <QTime>
#include <functional>

#include "platform/tables/datasource.h"
#include "platform/tables/query.h"
#include "platform/tables/table.h"
#include "platform/windowing/forms.h"
#include "remittance/VerificaArquivo.h"
#include "ui_TfrmRnmArqRemessa.h"

namespace winfs {
class FileWriter;
}

class TfrmRnmArqRemessa : public TForm, public Ui::TfrmRnmArqRemessa {
    Q_OBJECT
public:
    explicit TfrmRnmArqRemessa(QWidget *parent = nullptr);

    // Opens the writer of a file being delivered (gives 0 or a file-error
    // code). Tests put a writer in place whose bytes never reach the disk.
    using CriaDestino = std::function<int(winfs::FileWriter &escritor, const QString &nome)>;
    static void setCriaDestino(CriaDestino cria);

    // Outgoing folder of the contract's system, ending in "\".
    QString DirSaida;
    // Folder of the source file, without trailing "\".
    QString DirRemessa;
    // The user agreed to rename again a file renamed before.
    bool RenomeiaNovamente = false;
    // Day and time of day of the source file's last-modification stamp.
    QDate DataOrigem;
    QTime HoraOrigem;

    // Data sets
    tables::Table tblContrato;
    tables::Table tblArquivos;
    tables::Table tblAgencia;
    tables::Table tblServico;
    tables::Query qryRemArquivos;
    tables::Query qryArquivos;
    tables::DataSource dtsContrato;
    tables::DataSource dtsArquivos;
    tables::DataSource dtsServico;

    // Handlers
    void FormCreate() override;
    bool FormClose() override;
    void cmbContratoClick();
    void cmbContratoExit();
    void edtNomeArqRemessaExit();
    void flbNomeArqRemessaClick();
    void RadGrpAmbienteClick();
    void btnDirArqKELTClick();
    void btnRnmArqClick();
    void btnFecharClick();

    // Routines
    void MontaNomeArqDestino();

private:
    // Positions tblContrato on the contract of the chosen entry.
    bool localizaContrato();
    QString sistema() const;
    void mostraContrato();
    // Shows a folder in the file list; a folder that cannot be shown leaves
    // the list disabled and raises the list's error.
    void apontaPasta(const QString &pasta);
    void mostraSaida();
    bool servicoCadastrado() const;
    int tamanhoRegistro();
    // Ensures a folder under C:\ZQ, raising "Não foi possível criar a pasta ..." when it cannot be made.
    static void criaPasta(const QString &pasta);
    // Writes the log record of the file just delivered.
    void gravaRegistro();
    void naoRenomeado();
    // Shows a step of the line-fitting pass: the window follows every line,
    // but the status label and the bar are painted at the start, about 30
    // times a second, and in their last state when the pass is over.
    void mostraEtapa(remessa::Etapa etapa, qint64 posicao);
    void pintaProgresso();

    // The log record that the already-renamed check found (its identity in Arq).
    qint64 registroEncontrado_ = 0;
    qint64 posicaoBarra_ = 0;
    qint64 posicaoNoRelogio_ = 0;
    int linhasSemRelogio_ = 0;
    QElapsedTimer ultimaPintura_;
};
