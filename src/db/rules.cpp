#include "db/rules.h"

#include "platform/runtime/convert.h"

namespace zqdb {

namespace {
// "%n.nd": at least n digits, zero-padded, the sign in front.
QString zeroPadded(int value, int digits)
{
    const QString number = QString::number(qAbs(qint64(value))).rightJustified(digits, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + number : number;
}
} // namespace

QString contractEntry(int agency, const QString &agencyName, int contract)
{
    return zeroPadded(agency, 4) + QStringLiteral(" - ") + agencyName.left(25).leftJustified(25) + zeroPadded(contract, 9);
}

QString contractEntry(int agency, const QString &agencyName, int contract, const QString &service)
{
    return contractEntry(agency, agencyName, contract) + service.left(5).rightJustified(5);
}

int entryAgency(const QString &entry)
{
    return StrToInt(entry.mid(0, 4));
}

int entryContract(const QString &entry)
{
    return StrToInt(entry.mid(32, 9));
}

QString entryService(const QString &entry)
{
    return entry.mid(44, 2);
}

QString outgoingFolder(const QString &system)
{
    if (system == QLatin1String("IPC"))
        return QStringLiteral("C:\\ZQ\\PDZ\\SAIDA\\");
    if (system == QLatin1String("DEL"))
        return QStringLiteral("C:\\ZQ\\CCC\\SAIDA\\");
    return QStringLiteral("C:\\ZQ\\") + system + QStringLiteral("\\SAIDA\\");
}

QString incomingFolder(const QString &system)
{
    if (system == QLatin1String("IPC"))
        return QStringLiteral("C:\\ZQ\\PDZ\\ENTRADA");
    return QStringLiteral("C:\\ZQ\\") + system + QStringLiteral("\\ENTRADA");
}

QString returnFileMask(const QString &folder, const QString &prefix)
{
    return folder + QStringLiteral("\\????????") + prefix + QStringLiteral("*.TXT");
}

QString ReturnFileName::dateText() const
{
    return name_.mid(6, 2) + QLatin1Char('/') + name_.mid(4, 2) + QLatin1Char('/') + name_.mid(0, 4);
}

QDate ReturnFileName::date() const
{
    return StrToDate(dateText());
}

int ReturnFileName::agency() const
{
    return StrToInt(name_.mid(14, 4));
}

int ReturnFileName::contract(int digits) const
{
    return StrToInt(name_.mid(18, digits));
}

int ReturnFileName::contractDigitsByDot(int previous) const
{
    if (name_.mid(27, 1) == QLatin1String("."))
        return 9;
    if (name_.mid(25, 1) == QLatin1String("."))
        return 7;
    return previous;
}

int contractDigitsOfSystem(const QString &system)
{
    return system == QLatin1String("COB") || system == QLatin1String("CCC") || system == QLatin1String("DEL") ? 9 : 7;
}

} // namespace zqdb
