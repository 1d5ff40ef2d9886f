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

// Formats a number with a picture such as "0000", "#,##0" or "#,###,##0.00":
// each "0" is a digit that is always written, each "#" one written only when
// significant; the first "." places the decimal separator and the digits
// after it give the decimals (rounded half away from zero); a "," anywhere
// groups the whole part by thousands. Separators are those of
// formatSettings(). Text in quotes is written as it stands; up to three
// sections separated by ";" serve positive, negative and zero values.
QString FormatFloat(const QString &format, double value);

// Upper case of the letters a to z; every other character stays as it is.
QString UpperCase(const QString &text);

// Process-wide date and time formats, set once at start.
struct FormatSettings {
    QString shortDateFormat = QStringLiteral("dd/mm/yyyy");
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    QString shortTimeFormat = QStringLiteral("HH:mm:ss");
    QString longTimeFormat = QStringLiteral("hh:nn:ss");
    QString currencyString;
    QChar decimalSeparator = QLatin1Char(',');
    QChar thousandSeparator = QLatin1Char('.');
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

// A date and time as the runtime holds it: days since 30/12/1899, the
// fraction being the time of day. Before that day the whole part counts back
// and the fraction still counts forward (-1.25 is 29/12/1899 06:00).
using TDateTime = double;
// "No date": one day before 01/01/0001.
constexpr TDateTime NoDate = -693594.0;
// NoDate for an invalid date; an invalid time counts as midnight.
TDateTime DateTimeToNumber(const QDate &date, const QTime &time = QTime(0, 0));
TDateTime DateTimeToNumber(const QDateTime &stamp);
// Invalid for NoDate and for values outside 01/01/0001 to 31/12/9999.
// The time is rounded to the millisecond.
QDateTime NumberToDateTime(TDateTime value);
QDate NumberToDate(TDateTime value);
QTime NumberToTime(TDateTime value);
