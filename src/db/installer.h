#pragma once
// Lays out the program's tables in their folder: each missing table is
// created, Svc and Rsi with their installed rows. The rows of an existing
// table are never touched; it only gets the indexes it lacks.
#include <QString>
#include <QStringList>

namespace zqdb {

// Creates the missing tables in folder (a Windows path); returns the names created.
// Raises EDBEngineError when a table cannot be created.
QStringList installTables(const QString &folder = QStringLiteral("C:\\ZQ\\REN\\TABELAS"));

// Creates one table file with the given statements (used for older layouts in tests too).
void createTableFile(const QString &folder, const QString &table, const QStringList &statements);

// Statements that create a table and its indexes.
QStringList createStatements(const QString &table);
// Statements that create the indexes of a table when they are missing (for
// Arq also what its file keeps beside the log, below).
QStringList indexStatements(const QString &table);

// What the log's file keeps beside Arq when missing: the table ArqImp (a
// remittance's fingerprint and CNAB 240 file number, by the row of Arq it
// belongs to) and the trigger that removes it with its row, whoever deletes
// the row (the purge of old rows, an undone delivery). schema names the
// attached file when the statements run on the alias's connection.
QStringList impressaoStatements(const QString &schema = QString());

} // namespace zqdb
