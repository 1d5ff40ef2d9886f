#pragma once
// The remittance rename, over plain values: the standard name of a source
// file with its daily sequence number (the bank allows nine remittances per
// contract, service and file date), the check of a file renamed before, the
// line-fitting pass, the delivery into the outgoing folder and the log row.
// The remittance window and the command line run it; what it asks and tells
// reaches them through an Interlocutor they implement.
#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

#include "delivery/Entrega.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/mensagem.h"
#include "remittance/ConfereRemessa.h"
#include "remittance/VerificaArquivo.h"

namespace remessa {

// A contract as the rename needs it.
struct Contrato {
    int agencia = 0;
    int contrato = 0;
    QString servico;
    QString dirRemessa;           // the contract's remittance folder, as registered
    bool servicoCadastrado = false;
    // Of the contract's service (empty and 0 when it has no record).
    QString sistema;
    int servicoId = 0;
    int tamanhoRegistro = 0;
};
// The contract of this key, with its service; none when it is not registered.
std::optional<Contrato> leContrato(int agencia, int contrato, const QString &servico);

// The outgoing folder of a contract's system, ending in "\".
QString pastaSaida(const Contrato &contrato);

// Questions and messages of a rename, and the progress of its pass.
class Interlocutor {
public:
    virtual ~Interlocutor() = default;
    enum class Pergunta {
        RenomearNovamente, // "O arquivo informado já foi renomeado ... Deseja renomeá-lo novamente?"
        Substituir,        // "Deseja substituir o arquivo...?"
    };
    // A question (title "Confirmação"); true goes on.
    virtual bool pergunta(Pergunta qual, const Mensagem &mensagem) = 0;
    // A file whose checks found faults that make banks reject it, before it
    // takes its name: the box "Conferência do Arquivo" (its first ten
    // findings and "Renomear o arquivo assim mesmo?"). Converter only when
    // podeConverter: the file is UTF-8 that Windows-1252 holds whole.
    enum class Decisao { Nao, Sim, Converter };
    virtual Decisao conferencia(const Conferencia &achados, const Mensagem &caixa, bool podeConverter) = 0;
    // A refusal, a failure or a notice.
    virtual void mensagem(const Mensagem &mensagem) = 0;
    // "Arquivo Renomeado com Sucesso!!".
    virtual void sucesso(const Mensagem &m) { mensagem(m); }
    // How an error of the runtime or of the table engine reads in a message:
    // its own text, unless the face words it otherwise.
    virtual QString textoDoErro(const Exception &erro) const { return erro.message(); }
    // The pass: the size of the source before it starts, its steps, its end.
    virtual void preparaPasse(qint64 tamanhoOrigem) { Q_UNUSED(tamanhoOrigem); }
    virtual void progresso(Etapa etapa, qint64 posicao) { Q_UNUSED(etapa); Q_UNUSED(posicao); }
    virtual void fimDoPasse() {}
};

// The standard name composed for a source file, and what it was composed from.
struct Composicao {
    QString origem;              // full Windows path of the source
    QString nome;                // the standard name; empty when none was composed
    int sequencia = 0;
    bool producao = true;
    bool renomeiaNovamente = false; // the user agreed to rename a file renamed before
    qint64 registro = 0;         // that file's log row
    QDate dataOrigem;            // the source's last-modification stamp
    QTime horaOrigem;
};

enum class Composto {
    SemOrigem,            // the source cannot be opened: no name, nothing said
    EmUso,                // another program holds the source (its writer): said, no name
    SemServico,           // the contract's service has no record
    NaoRenomearNovamente, // renamed before, and the user declined
    LimiteDoDia,          // nine remittances of that file date already
    Nome,                 // a name was composed
};

enum class Resultado {
    SemOrigem,            // the source is gone
    SubstituicaoRecusada, // the user kept the file that holds the name
    Falhou,               // nothing delivered, nothing logged
    NaoConferido,         // the user kept back a file with findings: nothing delivered, nothing said
    JaRenomeado,          // another copy of the program renamed this very file meanwhile: said, nothing delivered
    LimiteDoDia,          // the day's nine numbers were taken meanwhile: said, nothing delivered
    Renomeado,            // delivered and logged
};

// What the log tells of a checked file of the contract: the same delivered
// bytes as a remittance delivered in the log's 30 days ("conteúdo igual ao do
// arquivo ..."), and a CNAB 240 file number not above that of the last one
// delivered. excluida is the row of the very file being renamed again (0
// for none): a file is no copy of itself.
void conferenciaDoLog(const Contrato &contrato, qint64 excluida, Conferencia &achados);

// The text of the box "Conferência do Arquivo": the first ten findings
// ("Linha 2: ..."), "... e mais N" for the others, and the question.
QString textoConferencia(const Conferencia &achados);

class RenomeiaRemessa {
public:
    explicit RenomeiaRemessa(Interlocutor &interlocutor) : quem_(interlocutor) {}

    // Hears each step of a delivery (tests stop it there as a kill would).
    entrega::ObservadorEntrega observador;

    // Composes the standard name of origem for the contract, asking whether a
    // file renamed before is to be renamed again.
    Composto compoe(const Contrato &contrato, const QString &origem, bool producao, Composicao &composicao);

    // Renames and delivers the source into pasta (the outgoing folder), under
    // the name composed. The sequence number is fixed when the log row is
    // written: should another copy of the program have taken it since the
    // name was composed, the file gets the next free one, and composicao
    // tells the name it got.
    Resultado renomeia(const Contrato &contrato, const QString &pasta, Composicao &composicao);

    // The delivered file, after Renomeado.
    const QString &entregue() const { return entregue_; }

    // Removes from an outgoing folder what interrupted deliveries left, and
    // completes those whose log row was written.
    static void limpaSaida(const QString &pasta);

private:
    void avisa(const QString &texto);
    // Whether the composed name may be given: free, or its file may be
    // replaced (asked). A name another copy took meanwhile gives way to the next number.
    bool destinoLivre(const Contrato &c, const QString &pasta, Composicao &comp, const QString &origem,
                      entrega::Substituicao &politica, Resultado &recusa);
    // Falhou: causa says why, when the user can act on it. JaRenomeado:
    // causa is the name another run gave the file meanwhile.
    enum class Passe { Pronto, NaoConferido, JaRenomeado, Falhou };
    Passe passa(const Contrato &c, const Composicao &comp, winfs::FileReader &leitor, winfs::Entrega &temporario, QString &causa,
                zqdb::Impressao &impressao);

    Interlocutor &quem_;
    QString entregue_;
};

} // namespace remessa
