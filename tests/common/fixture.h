#pragma once
// Shared test fixture: a fresh prefix (drive C: with the installed tables and
// the alias), scripted message boxes, contracts and files dropped in place.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/filesystem/entrega.h"
#include "platform/windowing/msgbox.h"

struct sqlite3;

namespace fixture {

// A fresh prefix for the life of the object: RENOMEIA_ZQ_PREFIX points at a
// new temporary folder; with tables = true the installed tables are laid out
// and the alias ZqRen417 registered, as after the first start.
class Prefix {
public:
    explicit Prefix(bool tables = true);
    ~Prefix();
    QString path() const { return dir_.path(); }
    // Host path of a Windows path of this prefix.
    QString host(const QString &windowsPath) const;

private:
    QTemporaryDir dir_;
    QByteArray oldPrefix_;
    QByteArray oldCwd_;
};

// Records every message box and answers it: scripted answers first (in order),
// then OK for single-button boxes and Yes for questions.
class Boxes {
public:
    Boxes();
    ~Boxes();
    void answer(int result) { script_.append(result); }
    const QList<BoxRecord> &shown() const { return shown_; }
    int count() const { return int(shown_.size()); }
    const BoxRecord &last() const { return shown_.last(); }
    void clear() { shown_.clear(); }
    // "title | text | style" of every box, for readable failures.
    QString dump() const;
    // dump(), then forgets the boxes shown.
    QString take();

private:
    QList<BoxRecord> shown_;
    QList<int> script_;
};

QString styleName(MsgStyle s);

// The message of the error fn raises, empty when it raises none.
QString errorOf(const std::function<void()> &fn);

// Writes a file (creating its folders) at a Windows path.
void writeFile(const QString &windowsPath, const QByteArray &bytes);
QByteArray readFile(const QString &windowsPath);
void makeDir(const QString &windowsPath);

// Rows of a table as field name -> value maps, through SQL on the alias.
QList<QVariantMap> rows(const QString &table, const QString &orderBy = QString());
// Rows of a table, each as its values in column order joined by "|".
QStringList rowTexts(const QString &table, const QString &orderBy = QString());
// Runs a statement on the alias.
void exec(const QString &statement);
// Adds a contract straight into Ctr.
void addContract(int agencia, int contrato, const QString &servico, const QString &dirRemessa = QStringLiteral("C:\\"),
                 const QString &dirRetorno = QStringLiteral("C:\\"), const QString &descricao = QString());
void addAgency(int codigo, const QString &nome);
// Appends rows to the log, as a long-lived installation would have them: 50
// agencies, 997 contracts, file dates over 300 days from 1 January 2026, every
// tenth row a return; in one transaction.
void fillLog(int rows);

// The moments at which a delivery can be stopped, as test data: "etapa"
// (winfs::EtapaEntrega as int) and "entregue" (whether the delivery then
// counts as done: its log row was written).
void etapasDeEntrega();
// Stands for the process being killed: raised by a delivery's observer.
struct Morte {};
// An observer of a delivery that dies at that moment (an EtapaEntrega as int).
std::function<void(winfs::EtapaEntrega)> morreEm(int etapa);

// True where drive C: is emulated (a POSIX host): folders outside the prefix
// are drive Z:, any host path names a file, and the toolkit names the types
// of files. On Windows a host path on C: outside the prefix's drive has no
// drive letter, and the system names the types of files in its language.
bool emulatedDrive();

// Faults made through the host (fixture_posix.cpp, fixture_win.cpp). Where
// the host cannot make one, the function says so in the test's output and
// the check that needs it is left out.

// Something in folder that is not a regular file and that reading never
// waits on: a FIFO on a POSIX host, the device NUL (present in every folder)
// on Windows. Gives its Windows path.
QString specialFile(const QString &folder);

// A FIFO under that name, fed with content by a writer of its own should the
// program open it. Windows has none: made() is false.
class Fifo {
public:
    Fifo(const QString &windowsName, const QByteArray &content);
    ~Fifo();
    bool made() const;

private:
    struct State;
    std::unique_ptr<State> d_;
};

// Makes writing a file of that name fail as on a full disk (a link to
// /dev/full). False where the host has no such device (Windows).
bool fullDisk(const QString &windowsName);

// Another program writing a file: it holds the file open, with the reads
// and writes of others locked out, for the life of the object.
class HeldOpen {
public:
    explicit HeldOpen(const QString &windowsName);
    ~HeldOpen();
    bool held() const { return handle_ != -1; }

private:
    std::intptr_t handle_ = -1;
};

// Another program with a connection of its own to one table file of the
// alias ("Arq", "Svc"), to hold locks on it or change it under the program.
// (The table "Ctr" is C:\ZQ\REN\TABELAS\Ctr.db.)
class OtherProgram {
public:
    explicit OtherProgram(const QString &table);
    ~OtherProgram();
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;
    bool exec(const QString &statement);

private:
    sqlite3 *db_ = nullptr;
};

} // namespace fixture
