#pragma once
// The one order of every delivery (a remittance into an outgoing folder, a
// return file into a contract's folder), whoever starts it: the windows, the
// command line one file at a time, every waiting file, or the watcher.
//
//  1. the bytes are written whole under a temporary name and flushed to disk
//     (winfs::Entrega);
//  2. under the log's write lock the caller takes its decisions again (the
//     file may have been delivered meanwhile by another copy of the program,
//     the day's sequence number taken) and writes its row;
//  3. the file takes its final name in one step;
//  4. should that fail, the row is undone; a row that cannot be undone keeps
//     the whole temporary for the next cleanup of the folder to complete.
//
// So a delivered file always has its row, and two runs at once never deliver
// one file twice nor give one number twice.
#include <QDateTime>
#include <QString>
#include <optional>

#include "db/RegistroArq.h"
#include "platform/filesystem/entrega.h"

namespace entrega {

using winfs::EtapaEntrega;
using winfs::ObservadorEntrega;
using winfs::Substituicao;

enum class Desfecho {
    Entregue,    // the file holds its final name and has its row
    Recusada,    // the log refused it (Lancamento::registra): nothing delivered
    Incompleta,  // the bytes could not be made durable: nothing delivered (causa says why)
    NomeOcupado, // the name is taken and may not be replaced: the row undone
    SemNome,     // the rename into the final name failed: the row undone
};

struct Conclusao {
    Desfecho desfecho = Desfecho::Incompleta;
    QString causa; // with Incompleta: why, in the user's words
};

class Lancamento;

// Steps 1 (the flush) to 4 of a delivery whose bytes were written into
// entrega's temporary. Errors of the log are raised.
Conclusao conclui(winfs::Entrega &entrega, Substituicao politica, Lancamento &lancamento);

// The log row of one delivery, as the job that delivers knows it.
class Lancamento {
public:
    virtual ~Lancamento() = default;
    // Runs under the log's write lock once the file is whole on disk: decides
    // again what was decided before the file was written and writes the row
    // through acrescenta() or regrava(). It may give the file another final
    // name in the same folder (Entrega::mudaNome) and change the policy for a
    // file that holds it. False refuses the delivery: nothing is written.
    virtual bool registra(winfs::Entrega &entrega, Substituicao &politica) = 0;

protected:
    void acrescenta(const zqdb::RegistroArq &registro);
    // Writes over the row of this identity; a row gone meanwhile is appended anew.
    void regrava(qint64 id, const zqdb::RegistroArq &registro);

private:
    friend Conclusao conclui(winfs::Entrega &, Substituicao, Lancamento &);
    void desfaz();

    qint64 novo_ = 0;
    qint64 regravado_ = 0;
    std::optional<zqdb::RegistroArq> antes_;
};

// Cleans a folder that deliveries go into of what interrupted ones left: a
// whole temporary whose row (a remittance's, or a return's) was written is
// completed, any other temporary of the program removed, and what sobras
// names of earlier versions is handled. A log that cannot be read now leaves
// the folder for the next cleanup.
void limpaPasta(const QString &pasta, bool remessa, winfs::Sobras sobras = {});

// The cause of a failure the user can act on, in the user's words: the
// system's reason and the file ("Não há espaço no disco para gravar o arquivo
// C:\ZQ\COB\SAIDA\COB....TXT"). gravacao tells a write from a read.
QString causaDaFalha(int codigo, const QString &arquivo, bool gravacao);

} // namespace entrega
