#pragma once
// Text conversions with the runtime's rules and messages.
#include <QString>
#include <QDate>
#include <QTime>

// Whole number from text: leading blanks allowed, an optional sign, decimal
// digits (or "$" and hexadecimal digits), 32-bit range. Anything else raises
// EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString &text);
bool TryStrToInt(const QString &text, int &value);

// Removes leading and trailing blanks and control characters.
QString Trim(const QString &text);

// Formats a number with a picture such as "0000" or "#,##0": each "0" is a
// digit that is always written, each "#" one written only when significant.
QString FormatFloat(const QString &format, double value);

// Process-wide date and time formats, set once at start.
struct FormatSettings {
    QString shortDateFormat = QStringLiteral("dd/mm/yyyy");
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    QString shortTimeFormat = QStringLiteral("HH:mm:ss");
    QString longTimeFormat = QStringLiteral("hh:nn:ss");
    QString currencyString;
};
FormatSettings &formatSettings();

// Date and time texts in the process formats ("dd/mm/yyyy", "hh:nn:ss").
QString DateToStr(const QDate &date);
QString TimeToStr(const QTime &time);
// Parses a date in the short date format; raises EConvertError
// "'<text>' is not a valid date" when it is not one.
QDate StrToDate(const QString &text);
QTime StrToTime(const QString &text);
// Formats with Delphi-style pictures: d dd m mm yy yyyy h hh n nn s ss.
QString FormatDateTime(const QString &format, const QDate &date, const QTime &time = QTime(0, 0));

// The current local date and time in whole seconds; tests may fix the clock.
#include <QDateTime>
#include <functional>
QDateTime Now();
void setClock(std::function<QDateTime()> clock);
