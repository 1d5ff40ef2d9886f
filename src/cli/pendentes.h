#pragma once
// Every waiting file, delivered once: the rounds behind `remessa --pendentes`,
// `retorno --todos` and `vigia`. A round decides from the folders and the log
// what is waiting, and each file goes through the job exactly as one file
// named on the command line would; the job takes its decisions again under
// the log's write lock, so two rounds at once never deliver one file twice.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class QTextStream;

#include "remittance/RenomeiaRemessa.h"

namespace zqcli {

// What became of one file of a round.
struct Ocorrencia {
    enum class Tipo {
        Entregue,   // delivered: arquivo is the delivered file
        Retido,     // held back (findings of the checks, the day's limit): the user must act
        Aguardando, // left for a later run (too fresh, held by another program, its name taken)
        Falhou,     // the job failed or refused
    };
    Tipo tipo = Tipo::Falhou;
    QString arquivo; // Windows path
    QString motivo;  // the job's text ("\n" between lines); empty for Entregue
    QString origem;  // with Entregue: the file it came from
};
using Relato = std::function<void(const Ocorrencia &)>;
// Asked between files: true ends the round (the file in hand is finished first).
using Parada = std::function<bool()>;

struct Balanco {
    int entregues = 0;
    int retidos = 0;
    int aguardando = 0;
    int falhas = 0;
    // When the earliest file left waiting for being too fresh is settled; invalid when none.
    QDateTime proximaVez;
    // Folders whose change may free what waits: a return folder whose name a file holds.
    QStringList pastasEsperadas;
    void soma(const Balanco &outro);
};

struct OpcoesPendentes {
    bool producao = true;
    bool mesmoAssim = false;
    bool converte = false;
    int estavel = 30; // seconds a file must have been left unmodified
};

// Every file of the contract's remittance folder that the remittance window
// lists and that was not renamed before (the same name and modification
// stamp in the log), oldest modification first, renamed and delivered.
Balanco remessasPendentes(const remessa::Contrato &contrato, const OpcoesPendentes &opcoes, const Relato &relato,
                          const Parada &parada = {});

// Every return file waiting in the incoming folders, oldest file date
// first, delivered once: one the log shows delivered is passed over, one
// whose destination name a file holds waits (unless substitui).
Balanco retornosPendentes(bool substitui, const Relato &relato, const Parada &parada = {});

// How a run over every waiting file tells what it did: each delivered file's
// path on out, one a line; each file held back or failed on err, its path
// and then the job's text; each file left waiting on err in one line.
Relato relatoNoTerminal(QTextStream &out, QTextStream &err);

// The incoming folders the return files are looked for in.
QStringList pastasDeEntrada();

} // namespace zqcli
