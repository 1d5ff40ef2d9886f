#pragma once
// The return rename, over plain values: the scan of the incoming folders for
// return files of registered contracts, the identification of a name
// (date, system, return identifier, agency and contract by character
// positions) against Rsi and Ctr, the delivery into the contract's return
// folder under the name pattern, and the log row. The return window and the
// command line run it; what it asks and tells reaches them through an
// Interlocutor they implement.
#include <QList>
#include <QString>
#include <optional>

#include "delivery/Entrega.h"
#include "platform/runtime/mensagem.h"

namespace retorno {

// A contract as the delivery of its return files needs it.
struct Contrato {
    int agencia = 0;
    int contrato = 0;
    QString servico;
    QString sistema;    // of the contract's service
    QString dirRetorno; // as registered
};
// The first contract in key order with this agency and number.
std::optional<Contrato> leContrato(int agencia, int contrato);

// A return file of a registered contract waiting in an incoming folder.
struct Encontrado {
    QString pasta; // the incoming folder, without trailing "\"
    QString nome;  // the file's name, upper-cased
    int agencia = 0;
    int contrato = 0;
};

// What a scan of one incoming folder found.
struct Busca {
    bool pastaExiste = false;
    QString pasta;
    QList<Encontrado> encontrados;
    QString ultimoNome; // the last name tried, upper-cased
};
// Scans "C:\ZQ\<system>\ENTRADA" for the files of a system and return
// identifier ("COB01"), in the order the file system gives them; the
// contract number has nine digits for COB, CCC and DEL, seven for the
// others. A name whose agency or contract is no number belongs to no
// contract. With soOPrimeiro the scan stops at the first file of a
// registered contract.
Busca procuraRetornos(const QString &sistemaRetorno, bool soOPrimeiro);
// Every return file waiting, pair of Rsi by pair in key order.
QList<Encontrado> retornosPendentes();

class Interlocutor {
public:
    virtual ~Interlocutor() = default;
    // "Deseja substituir o arquivo ...?" (title "Confirmação"); true goes on.
    virtual bool substitui(const Mensagem &pergunta) = 0;
    // A refusal, a failure or a notice.
    virtual void mensagem(const Mensagem &mensagem) = 0;
    // "Arquivo Renomeado com Sucesso!!".
    virtual void sucesso(const Mensagem &m) { mensagem(m); }
};

// The name's first checks.
enum class Nome {
    Vazio,       // no name: there is no return file to rename
    NaoNaPasta,  // no such file in the folder
    Invalido,    // too short, no contract length, or no date in it
    IdInvalido,  // its system and return identifier are not in Rsi
    Aceito,
};
// The name's contract.
enum class ContratoDoArquivo {
    NaoCadastrado,
    OutroSistema, // registered, but of another system
    Identificado,
};

enum class Resultado {
    SemOrigem,    // the file is not in the incoming folder
    NomeInvalido, // the destination name cannot name a file
    Recusado,     // replacement declined, or the file would replace itself
    Falhou,       // nothing delivered, nothing logged
    JaEntregue,   // delivered before (Criterios::umaVez): passed over, nothing said
    Aguardando,   // the destination name is taken (Criterios::aguardaNome): nothing said, for a later run
    Renomeado,
};

// How a delivery run by nobody at the screen differs from the window's.
struct Criterios {
    // A return file the log shows delivered (a return row with its name and
    // file date) is passed over: it is delivered once, however many runs see it.
    bool umaVez = false;
    // A destination name that a file holds (the program that takes the
    // returns has not taken the previous one) makes the file wait instead of
    // asking to replace it.
    bool aguardaNome = false;
};

class RenomeiaRetorno {
public:
    explicit RenomeiaRetorno(Interlocutor &interlocutor) : quem_(interlocutor) {}

    // Hears each step of a delivery (tests stop it there as a kill would).
    entrega::ObservadorEntrega observador;

    // Checks the name of a file in a folder. The contract length follows the
    // dot (28: nine digits, 26: seven); with neither, tamContrato keeps the
    // previous identification's.
    Nome identificaNome(const QString &pasta, const QString &nome, int &tamContrato);
    // Finds the contract of an accepted name and checks its system (a
    // contract of system IPC takes PDZ files). Raises the runtime's
    // conversion error when agency or contract are not numbers.
    ContratoDoArquivo identificaContrato(const QString &nome, int tamContrato, Contrato &contrato);

    // Delivers the file nome of the incoming folder dirEntrada into the
    // contract's return folder as nomeDestino, and logs it.
    Resultado entrega(const Contrato &contrato, const QString &dirEntrada, const QString &nome, int tamContrato,
                      const QString &nomeDestino, Criterios criterios = {});
    // The delivered file, after Renomeado.
    const QString &entregue() const { return entregue_; }

    // Removes from a return folder what interrupted deliveries left, and
    // completes those whose log row was written; nomeDestino is the name the
    // pattern gives (earlier versions left ".<name>.tmp" and ".<name>.old").
    static void limpaPasta(const QString &pasta, const QString &nomeDestino);

private:
    void erro(const QString &texto);
    void avisa(const QString &texto);

    Interlocutor &quem_;
    QString entregue_;
};

} // namespace retorno
