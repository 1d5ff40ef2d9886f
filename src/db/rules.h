#pragma once
// Rules of the contract data that several windows share: the fixed-column
// contract list entry, the transfer program's folders by system, and the
// layout of return file names. No widgets and no tables here.
#include <QDate>
#include <QString>

namespace zqdb {

// ---------------------------------------------------------------- contract list entry

// "%4.4d" agency, " - ", "%-25.25s" agency name, "%9.9d" contract: 41
// characters, the agency in 1-4 and the contract in 33-41. An agency name
// longer than 25 characters is cut, a shorter one padded with blanks.
QString contractEntry(int agency, const QString &agencyName, int contract);
// The same with "%5.5s" of the service appended: 46 characters, a
// two-character service in 45-46.
QString contractEntry(int agency, const QString &agencyName, int contract, const QString &service);

// The key read back from an entry: agency = integer value of characters
// 1-4, contract = of 33-41, service = characters 45-46. Text that is not a
// number there raises the runtime's conversion error
// ("'<text>' is not a valid integer value").
int entryAgency(const QString &entry);
int entryContract(const QString &entry);
QString entryService(const QString &entry);

// ---------------------------------------------------------------- transfer folders

// Outgoing folder of a system, ending in "\": "C:\ZQ\" + system + "\SAIDA\";
// "IPC" delivers into the PDZ folder and "DEL" into the CCC folder.
QString outgoingFolder(const QString &system);
// Incoming folder of a system, without trailing "\": "C:\ZQ\" + system +
// "\ENTRADA"; "IPC" takes its files from the PDZ folder.
QString incomingFolder(const QString &system);

// Search pattern of the return files of a system (or of a system and a
// return identifier, "COB01") in a folder: folder + "\????????" + prefix + "*.TXT".
QString returnFileMask(const QString &folder, const QString &prefix);

// ---------------------------------------------------------------- return file names

// A return file name, read by character positions (1-based):
//   1-8 date (year 1-4, month 5-6, day 7-8), 9-11 system, 12-13 return
//   identifier, 14 not examined, 15-18 agency, 19-27 or 19-25 contract
//   (nine or seven digits), 28 or 26 the dot that starts the extension.
// Positions past the end of a short name read as empty text.
class ReturnFileName {
public:
    explicit ReturnFileName(const QString &name) : name_(name) {}
    const QString &name() const { return name_; }

    QString system() const { return name_.mid(8, 3); }
    QString identifier() const { return name_.mid(11, 2); }
    // The file date as "dd/mm/yyyy", and as a date (a text that is no date
    // raises the runtime's conversion error).
    QString dateText() const;
    QDate date() const;
    // Agency and contract numbers; raise the conversion error when the
    // positions do not hold a number.
    int agency() const;
    int contract(int digits) const;

    // Digits of the contract number by the dot: 9 when position 28 holds
    // ".", else 7 when position 26 does, else the previous value stays.
    int contractDigitsByDot(int previous) const;

private:
    QString name_;
};

// Digits of the contract number by system, as the incoming folders are
// scanned: nine for "COB", "CCC" and "DEL", seven for every other system.
int contractDigitsOfSystem(const QString &system);

} // namespace zqdb
