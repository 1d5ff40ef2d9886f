#pragma once
// The table engine's session: aliases and connections.
//
// Aliases live in <prefix>/engine.cfg, one INI section per alias with the
// keys Driver and PATH. An alias folder holds one SQLite file per table
// (Ctr.db holds the table Ctr); a connection attaches every file of the
// folder, so SQL text names tables in any case.
//
// The engine speaks to SQLite through its C interface: statements carry the
// declared types of their result columns and the extended error codes, which
// the engine turns into its own errors (key violation, busy table, missing
// table).
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/runtime/errors.h"
#include "platform/tables/field.h"

struct sqlite3;
class QIODevice;

namespace tables {

struct AliasDef {
    QString name;
    QString driver;
    QStringList params; // "PATH=C:\..."
};

// Engine error codes used by the program.
enum EngineCode {
    ErrKeyViolation = DBIERR_KEYVIOL,
    ErrNoSuchTable = 0x2729,
    ErrUnknownAlias = 0x2716,
    ErrConfigWrite = 0x2F03,
    ErrLocked = 0x2801,
    ErrRecordChanged = 0x2816,
    ErrRecordDeleted = 0x2204,
    ErrGeneral = 0x2C05,
};

// One open connection: the alias folder's tables attached under schema names.
class Connection {
public:
    Connection(const QString &alias, const QString &folder, int busyTimeout = 500);
    void setBusyTimeout(int milliseconds);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return db_; }
    const QString &folder() const { return folder_; } // Windows path
    // Attaches table files of the folder that are not attached yet.
    void refresh();
    // Schema name of a table, empty when the table does not exist.
    QString schemaOf(const QString &table) const;
    // Table held by an attached schema ("t_ctr" -> "Ctr"); empty for others.
    QString tableOfSchema(const QString &schema) const;
    // Windows path of a table's file, as the engine names it in its messages.
    QString tableFile(const QString &table) const;
    // The engine's error for a table that cannot be reached.
    [[noreturn]] void raiseMissingTable(const QString &table) const;
    // Declared fields of a table (in stored order) and primary key positions.
    QList<FieldDef> fieldDefs(const QString &table) const;

    // A transaction: all its changes or none. Each table file is locked only
    // when the transaction first reads or writes it, so tables it does not
    // touch stay free for other programs.
    void startTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }

    // Raises the engine's error for a failed SQLite call; tables are those the
    // failing statement concerns (the first one is named in the message).
    // The message is SQLite's own unless given.
    [[noreturn]] void raiseError(int rc, const QStringList &tables = {}, const QString &message = QString()) const;

private:
    void execSimple(const QString &sql, const QStringList &tables = {});
    QString alias_;
    QString folder_;
    sqlite3 *db_ = nullptr;
    QHash<QString, QString> schemas_;     // lower table name -> schema
    QHash<QString, QString> attachError_; // lower table name -> engine text
    QHash<QString, QString> fileNames_;   // lower table name -> name of its file
    bool inTransaction_ = false;
};

class Session {
public:
    // The program's session. Further sessions (a test standing for a second
    // copy of the program) have connections of their own.
    static Session &instance();
    Session() = default;
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    QStringList aliasNames();
    bool aliasExists(const QString &name);
    // Adds an alias to the configuration in memory; raises when it exists.
    void addAlias(const QString &name, const QString &driver, const QStringList &params);
    // Writes the configuration file: the file is read again, its lines kept
    // as they are, and the added aliases that it does not hold yet follow
    // them (another copy of the program starting at the same moment may have
    // written the same alias). The file is replaced only once the new one is
    // wholly on disk, from a temporary of this process; raises EDBEngineError
    // when it cannot be written, leaving the old file as it was.
    void saveConfig();
    QString configFile() const;

    // Connection of an alias, opened on first use; raises for an unknown alias.
    Connection &connection(const QString &alias);

    // Forgets connections and the configuration read (a new prefix, in tests).
    void reset();
    // Closes every connection: no table file stays open until the next use.
    void closeConnections();

    // How long a statement waits for a table that another program holds
    // before the engine says it is busy: half a second unless set (a task
    // that runs unattended waits longer). Applies to open connections too.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const { return busyTimeout_; }

    // Writes the configuration's bytes into the open temporary file; tests put
    // a failing writer in its place. An empty function restores the default.
    using ConfigWriter = std::function<bool(QIODevice &file, const QByteArray &bytes)>;
    static void setConfigWriter(ConfigWriter writer);

private:
    void load();
    bool loaded_ = false;
    QStringList lines_;          // the configuration as read (and as saved last)
    QList<AliasDef> aliases_;
    QList<AliasDef> added_;      // added since the last save
    QMap<QString, Connection *> connections_;
    int busyTimeout_ = 500;
};

// Storage form of a value: dates 'YYYY-MM-DD', times 'HH:MM:SS', logicals 0/1.
QVariant toStorage(const QVariant &value);
// Value of a stored column in the type of its field.
QVariant fromStorage(const QVariant &stored, FieldType type);

} // namespace tables
