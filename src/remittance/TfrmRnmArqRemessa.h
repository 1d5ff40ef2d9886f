#pragma once
// Remittance renaming: the user picks a contract and a file of its remittance
// folder; the window composes the standard name the bank expects (with the
// day's sequence number) and delivers the file, every line fitted to the
// service's record length, into the transfer program's outgoing folder, then
// records it in the rename log.
#include <QDate>
#include <QElapsedTimer>
#include <QTime>
#include <optional>

#include "platform/tables/datasource.h"
#include "platform/tables/table.h"
#include "platform/windowing/forms.h"
#include "remittance/RenomeiaRemessa.h"
#include "ui_TfrmRnmArqRemessa.h"

class TfrmRnmArqRemessa : public TForm, public Ui::TfrmRnmArqRemessa, private remessa::Interlocutor {
    Q_OBJECT
public:
    explicit TfrmRnmArqRemessa(QWidget *parent = nullptr);

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
    tables::Table tblAgencia;
    tables::Table tblServico;
    tables::DataSource dtsContrato;
    tables::DataSource dtsServico;

    // The rename itself: name, sequence, pass, delivery and log row.
    remessa::RenomeiaRemessa renomeacao{*this};

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
    // Questions and messages of the rename, in the window's boxes.
    bool pergunta(Pergunta qual, const Mensagem &mensagem) override;
    Decisao conferencia(const remessa::Conferencia &achados, const Mensagem &caixa, bool podeConverter) override;
    void mensagem(const Mensagem &mensagem) override;
    void preparaPasse(qint64 tamanhoOrigem) override;
    void progresso(remessa::Etapa etapa, qint64 posicao) override;
    void fimDoPasse() override;

    // Positions tblContrato on the contract of the chosen entry.
    bool localizaContrato();
    // The chosen contract with its service, as the rename needs it.
    std::optional<remessa::Contrato> contrato() const;
    QString sistema() const;
    void mostraContrato();
    // Shows a folder in the file list; a folder that cannot be shown leaves
    // the list disabled and raises the list's error.
    void apontaPasta(const QString &pasta);
    void mostraSaida();
    // The rename button works only on a composed name.
    void habilitaRenomear();
    // Shows a step of the line-fitting pass: the window follows every line,
    // but the status label and the bar are painted at the start, about 30
    // times a second (less when painting is slow), and in their last state
    // when the pass is over.
    void mostraEtapa(remessa::Etapa etapa, qint64 posicao);
    void pintaProgresso();

    // The name shown and what it was composed from.
    remessa::Composicao composicao_;
    qint64 posicaoBarra_ = 0;
    // Lines to come and the position to reach before the clock is read again.
    int linhasSemRelogio_ = 0;
    qint64 posicaoDoRelogio_ = 0;
    QElapsedTimer ultimaPintura_;
    qint64 intervaloPintura_ = 0; // ns from one paint to the next
    QString textoPintado_;        // of the status label, at its last paint
};
