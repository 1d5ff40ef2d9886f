#pragma once
// The rename log: one row of Arq for every delivered file, written here and
// nowhere else. Remittances and returns fill the same eleven fields.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

namespace zqdb {

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
