#pragma once
// The rename log: one row of Arq for every delivered file, written here and
// nowhere else. Remittances and returns fill the same eleven fields.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

namespace zqdb {

// The log keeps 30 days: the rows of the day that began 30 days before today
// and after. Older ones are purged.
inline QDate inicioDoLog(const QDate &hoje)
{
    return hoje.addDays(-30);
}

// What a delivered remittance leaves beside its row (in ArqImp, a table of
// the log's own file, so that Arq keeps its columns): a fingerprint of its
// delivered bytes and, for a CNAB 240 file, its file sequence number. The
// bank registers every title of a file sent twice; it refuses a CNAB 240
// file whose number is not above the last one sent.
struct Impressao {
    quint64 conteudo = 0;
    std::optional<int> sequencia;
};

struct RegistroArq {
    int agencia = 0;
    int contrato = 0;
    QString servico;
    QDate dataOper;          // the day of the rename
    QTime horaOper;          // its time of day, whole seconds
    QString nomeOrigem;      // a remittance's full source path, a return file's bare name
    QString nomeDestino;     // the delivered file's name, without folder
    bool remessa = false;
    int numRemessa = 0;      // a remittance's sequence number, 0 for a return
    QDate dataOrigem;        // the file's date
    QTime horaOrigem;        // left empty when invalid
    std::optional<Impressao> impressao; // a remittance's; written and removed with the row
};

// Appends the row and gives its identity in Arq.
qint64 acrescentaRegistroArq(const RegistroArq &registro);
// Writes the row over the row of this identity, as it was when read: a row
// that another program changed or removed meanwhile is refused with the
// engine's error, never overwritten. False when there is no such row.
bool regravaRegistroArq(qint64 id, const RegistroArq &registro);
std::optional<RegistroArq> leRegistroArq(qint64 id);
void excluiRegistroArq(qint64 id);
// True when a row records a delivery under this name at this moment: a
// remittance (remessa) or a return.
bool entregaRegistrada(const QString &nomeDestino, const QDateTime &momento, bool remessa);

// An earlier delivered remittance of a contract, as the checks name it.
struct EntregaAnterior {
    QString nomeDestino;
    QDate data;
    QTime hora;
    std::optional<int> sequencia;
};
// The latest remittance of the contract delivered since desde whose bytes
// had this fingerprint, other than the row excluida (a file renamed again).
std::optional<EntregaAnterior> entregaDeMesmoConteudo(int agencia, int contrato, const QString &servico, quint64 conteudo,
                                                      const QDate &desde, qint64 excluida);
// The latest CNAB 240 remittance of the contract the log holds, with its file
// sequence number, other than the row excluida.
std::optional<EntregaAnterior> ultimaSequenciaCnab240(int agencia, int contrato, const QString &servico, qint64 excluida);

// A transaction on the log that holds its write lock from the start, so that
// what it reads (the day's sequence numbers) stays true until it commits:
// another copy of the program waits for it. Rolled back unless committed.
class TransacaoLog {
public:
    TransacaoLog();
    ~TransacaoLog();
    TransacaoLog(const TransacaoLog &) = delete;
    TransacaoLog &operator=(const TransacaoLog &) = delete;
    void commit();

private:
    bool aberta_ = false;
};

} // namespace zqdb
