#pragma once
// Delivery of a file into a folder, the one routine behind every file the
// program hands over (a remittance into an outgoing folder, a return file
// into a contract's folder).
//
// The bytes are written under a temporary name in the destination's own
// folder, ".<name>.<moment>.<process>.parcial": hidden by its leading dot and
// without a ".TXT" ending, so that no transfer mask picks it up, and of this
// process alone, so that two copies of the program delivering one name in
// the same second never meet. Once every byte is on disk the temporary is
// renamed ".<name>.<moment>.<process>.pronto" (whole), the caller
// records the delivery (its log row), and only then the file takes its final
// name, by a rename that replaces a file of that name in one step: at every
// moment the final name holds the old file or the new one. The temporary is
// held open with writes of others locked out until the delivery ends, so
// that a cleanup run by another copy of the program leaves it alone.
//
// A delivery that does not reach its final name removes its temporary; a
// killed process leaves it behind, and the next cleanup of the folder
// (limpaSobras) removes it, or completes a whole one whose log row exists.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/filesystem/filehandles.h"

namespace winfs {

// What a delivery does with a file that already holds the final name.
enum class Substituicao {
    Recusa,    // the delivery is refused; the file stays as it is
    Substitui, // the new file takes its place in one step
};

// The moments of a delivery, in order.
enum class EtapaEntrega {
    Criado,     // the temporary exists, empty
    Completo,   // every byte on disk, the temporary renamed .pronto
    Registrado, // the caller recorded the delivery
    NoLugar,    // the file holds its final name
};

// Hears each moment as it is reached. Tests stop a delivery there the way a
// kill would: whatever the observer raises (other than std::exception, which
// is an ordinary failure) leaves the files as they stand.
using ObservadorEntrega = std::function<void(EtapaEntrega)>;

class Entrega {
public:
    // destino: the final path; marca: the moment of the delivery (whole
    // seconds), which names the temporary and identifies the caller's record.
    Entrega(const QString &destino, const QDateTime &marca, ObservadorEntrega observador = {});
    ~Entrega();
    Entrega(const Entrega &) = delete;
    Entrega &operator=(const Entrega &) = delete;

    const QString &destino() const { return destino_; }
    // The temporary as it is written, and once it is whole.
    QString temporario() const { return nomeTemporario(destino_, marca_, false); }
    QString completo() const { return nomeTemporario(destino_, marca_, true); }
    // ".<name>.<yyyyMMddhhmmss>.<process id>.parcial" (or ".pronto") in destino's folder.
    static QString nomeTemporario(const QString &destino, const QDateTime &marca, bool completo);

    // Creates the temporary and gives 0 or a file-error code. The temporary
    // is never the final name nor a folder.
    int cria();
    // Where the bytes go.
    FileWriter &escritor() { return escritor_; }
    // Flushes every byte to disk and renames the temporary .pronto: 0 or the
    // code of the failure (a full disk is seen here at the latest).
    int conclui();
    // Reports a step of the caller (EtapaEntrega::Registrado) to the observer.
    void etapa(EtapaEntrega e);
    // Changes the final name to another of the same folder (the caller's
    // record chose it), the whole temporary renamed after it. False when
    // that rename failed.
    bool mudaNome(const QString &nomeFinal);
    // Gives the whole file its final name. Unless NoLugar the temporary
    // stays until descarta().
    enum class Colocacao {
        NoLugar,     // the file holds its final name
        NomeOcupado, // Recusa, and a file holds the name (or a folder does)
        Falhou,      // the rename failed
    };
    Colocacao colocaNoLugar(Substituicao politica);
    // Leaves the whole temporary where it is, for the next cleanup of the
    // folder to complete (its record could not be undone).
    void preserva() { abandonada_ = true; }
    // Removes the temporary now, whatever became of it.
    void descarta();

    bool entregue() const { return entregue_; }

private:
    void avisa(EtapaEntrega e);

    QString destino_;
    QDateTime marca_;
    ObservadorEntrega observador_;
    FileWriter escritor_;
    QString atual_;          // the temporary's present name, empty when there is none
    bool entregue_ = false;
    bool abandonada_ = false; // stopped by the observer: the files stay as they stand
};

// The leftovers of deliveries that a folder may hold, and what to make of them.
struct Sobras {
    // A whole delivery (".X.<moment>.pronto") whose record exists is
    // completed under X; without its record it is removed.
    std::function<bool(const QString &nomeFinal, const QDateTime &marca)> registrada;
    // Temporaries of earlier versions of the program (".X.parcial", ".X.tmp"),
    // by their names: removed.
    std::function<bool(const QString &nome)> temporarioAntigo;
    // Final names whose file an earlier version set aside as ".X.old" (or
    // ".X.1.old", ...) while delivering: put back when X is missing,
    // otherwise removed.
    QStringList finaisAntigos;
};

// Cleans a folder of the program's own leftovers: partial temporaries are
// removed, whole ones completed or removed (Sobras), files set aside put
// back. A temporary of another copy of the program that still runs, or a
// file in use (held by a delivery in progress), is left alone, and so is
// anything the program did not name. Failures are
// silent: the next cleanup tries again.
void limpaSobras(const QString &pasta, const Sobras &sobras);

} // namespace winfs
