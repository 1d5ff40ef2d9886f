#pragma once
// The table engine's session: aliases and connections.
//
// Aliases live in <prefix>/engine.cfg, one INI section per alias with the
// keys Driver and PATH. An alias folder holds one SQLite file per table
// (Ctr.db holds the table Ctr); the session attaches every file of the folder
// to one connection per alias, so SQL text names tables in any case.
#include <QHash>
#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "platform/tables/field.h"

class QSqlError;

namespace tables {

struct AliasDef {
    QString name;
    QString driver;
    QStringList params; // "PATH=C:\..."
};

// Engine error codes used by the program.
enum EngineCode {
    ErrKeyViolation = 0x2601,
    ErrNoSuchTable = 0x2729,
    ErrUnknownAlias = 0x2716,
    ErrConfigWrite = 0x2F03,
    ErrLocked = 0x2801,
    ErrGeneral = 0x2C05,
};

// One open connection: the alias folder's tables attached under schema names.
class Connection {
public:
    Connection(const QString &alias, const QString &folder);
    ~Connection();
    QSqlDatabase db() const;
    const QString &folder() const { return folder_; } // Windows path
    // Attaches table files of the folder that are not attached yet.
    void refresh();
    // Schema name of a table, empty when the table does not exist.
    QString schemaOf(const QString &table) const;
    // The engine's error for a table that cannot be reached.
    [[noreturn]] void raiseMissingTable(const QString &table) const;
    // Declared fields of a table (in stored order) and primary key positions.
    QList<FieldDef> fieldDefs(const QString &table) const;
    // Declared type of a column name found in any attached table.
    bool findColumn(const QString &column, FieldDef &def) const;

    // A transaction over every table of the alias: all its changes or none.
    void startTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }

private:
    QString alias_;
    QString folder_;
    QString connName_;
    QHash<QString, QString> schemas_;     // lower table name -> schema
    QHash<QString, QString> attachError_; // lower table name -> engine text
    QHash<QString, QString> fileNames_;   // lower table name -> name of its file
    bool inTransaction_ = false;
};

class Session {
public:
    static Session &instance();

    QStringList aliasNames();
    bool aliasExists(const QString &name);
    // Adds an alias to the configuration in memory; raises when it exists.
    void addAlias(const QString &name, const QString &driver, const QStringList &params);
    // Writes the configuration file; raises EDBEngineError when it cannot.
    void saveConfig();
    QString configFile() const;

    // Connection of an alias, opened on first use; raises for an unknown alias.
    Connection &connection(const QString &alias);

    // Forgets connections and the configuration read (a new prefix, in tests).
    void reset();

private:
    Session() = default;
    void load();
    bool loaded_ = false;
    QList<AliasDef> aliases_;
    QMap<QString, Connection *> connections_;
};

// Turns an SQL error into the engine's error, raising it.
[[noreturn]] void raiseSqlError(const QSqlError &error, const Connection *conn = nullptr);

// Storage form of a value: dates 'YYYY-MM-DD', times 'HH:MM:SS', logicals 0/1.
QVariant toStorage(const QVariant &value);
// Value of a stored column in the type of its field.
QVariant fromStorage(const QVariant &stored, FieldType type);

} // namespace tables
