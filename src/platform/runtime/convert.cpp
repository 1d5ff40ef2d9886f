#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

bool TryStrToInt(const QString &text, int &value)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == QLatin1Char('0')
               && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    qint64 acc = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        if (d < 0)
            return false;
        acc = acc * base + d;
        if (acc > 0x80000000LL)
            return false;
    }
    if (negative)
        acc = -acc;
    if (acc > 0x7FFFFFFFLL || acc < -0x80000000LL)
        return false;
    value = int(acc);
    return true;
}

int StrToInt(const QString &text)
{
    int v = 0;
    if (!TryStrToInt(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return v;
}

QString Trim(const QString &text)
{
    int b = 0, e = int(text.size());
    while (b < e && text.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && text.at(e - 1).unicode() <= 0x20)
        --e;
    return text.mid(b, e - b);
}

namespace {

// Digits of a non-negative value rounded half away from zero to `decimals`
// places, from its 15 significant digits (what a double holds faithfully,
// so 1.005 rounds to 1.01 as written). The whole part comes without leading
// zeros, empty when it is 0; the fraction has exactly `decimals` digits.
void roundedDigits(double value, int decimals, QByteArray &whole, QByteArray &fraction)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    QByteArray digits;
    digits.append(buf[0]);
    const char *p = buf + 2;
    while (*p >= '0' && *p <= '9')
        digits.append(*p++);
    int point = std::atoi(p + 1) + 1; // digits before the decimal point
    if (point < 1) {
        digits.prepend(QByteArray(1 - point, '0'));
        point = 1;
    }
    const qsizetype cut = point + decimals;
    if (digits.size() <= cut)
        digits.append(QByteArray(cut + 1 - digits.size(), '0'));
    const bool up = digits.at(cut) >= '5';
    digits.truncate(cut);
    if (up) {
        qsizetype i = cut - 1;
        while (i >= 0 && digits.at(i) == '9')
            digits[i--] = '0';
        if (i >= 0) {
            digits[i] = char(digits.at(i) + 1);
        } else {
            digits.prepend('1');
            ++point;
        }
    }
    whole = digits.left(point);
    fraction = digits.mid(point);
    qsizetype lead = 0;
    while (lead < whole.size() && whole.at(lead) == '0')
        ++lead;
    whole.remove(0, lead);
}

// The sections of a picture, split at ";" outside quotes.
QStringList pictureSections(const QString &format)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

struct Picture {
    int wholeDigits = 0;   // placeholders before the decimal point
    int wholeZeros = 0;    // of them, from the first "0" on
    int decimals = 0;      // placeholders after the decimal point
    int decimalZeros = 0;  // of them, up to the last "0"
    bool grouping = false;
};

Picture readPicture(const QString &section)
{
    Picture pic;
    bool afterPoint = false, zeroSeen = false;
    QChar quote;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        switch (c.unicode()) {
        case '"':
        case '\'': quote = c; break;
        case ',': pic.grouping = true; break;
        case '.': afterPoint = true; break;
        case '0':
        case '#':
            if (afterPoint) {
                ++pic.decimals;
                if (c == QLatin1Char('0'))
                    pic.decimalZeros = pic.decimals;
            } else {
                ++pic.wholeDigits;
                zeroSeen = zeroSeen || c == QLatin1Char('0');
                if (zeroSeen)
                    ++pic.wholeZeros;
            }
            break;
        default: break;
        }
    }
    return pic;
}

QString applyPicture(const QString &section, const Picture &pic, const QByteArray &wholeIn, QByteArray fraction)
{
    const FormatSettings &fs = formatSettings();
    QByteArray whole = wholeIn;
    if (whole.size() < pic.wholeZeros)
        whole.prepend(QByteArray(pic.wholeZeros - whole.size(), '0'));
    while (fraction.size() > pic.decimalZeros && fraction.endsWith('0'))
        fraction.chop(1);

    QString out;
    const qsizetype n = whole.size();
    // Writes whole-part digits [from, to), with the thousands separator
    // before every digit that starts a group of three.
    auto wholeDigits = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = std::max<qsizetype>(from, 0); i < to; ++i) {
            if (pic.grouping && i > 0 && (n - i) % 3 == 0)
                out += fs.thousandSeparator;
            out += QLatin1Char(whole.at(i));
        }
    };
    int wholeSeen = 0, decimalSeen = 0;
    bool afterPoint = false;
    QChar quote;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out += c;
            continue;
        }
        switch (c.unicode()) {
        case '"':
        case '\'': quote = c; break;
        case ',': break;
        case '.':
            if (!afterPoint && pic.wholeDigits == 0)
                wholeDigits(0, n); // ".00" still shows the whole part
            if (!afterPoint && !fraction.isEmpty())
                out += fs.decimalSeparator;
            else if (afterPoint)
                out += c;
            afterPoint = true;
            break;
        case '0':
        case '#':
            if (afterPoint) {
                if (decimalSeen < fraction.size())
                    out += QLatin1Char(fraction.at(decimalSeen));
                ++decimalSeen;
            } else {
                // Digit k of the picture stands for digit n - wholeDigits + k;
                // the first placeholder also takes the digits beyond the picture.
                const qsizetype at = n - pic.wholeDigits + wholeSeen;
                wholeDigits(wholeSeen == 0 ? 0 : at, at + 1);
                ++wholeSeen;
            }
            break;
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

QString FormatFloat(const QString &format, double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const QStringList sections = pictureSections(format);
    QString section = sections.first();
    bool sign = value < 0;
    if (sign && sections.size() > 1 && !sections.at(1).isEmpty()) {
        section = sections.at(1);
        sign = false;
    }
    Picture pic = readPicture(section);
    QByteArray whole, fraction;
    roundedDigits(std::fabs(value), pic.decimals, whole, fraction);
    const bool zero = whole.isEmpty() && fraction.count('0') == fraction.size();
    if (zero) {
        sign = false;
        if (sections.size() > 2 && !sections.at(2).isEmpty()) {
            section = sections.at(2);
            pic = readPicture(section);
            roundedDigits(0.0, pic.decimals, whole, fraction);
        }
    }
    const QString text = applyPicture(section, pic, whole, fraction);
    return sign ? QLatin1Char('-') + text : text;
}

QString UpperCase(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

FormatSettings &formatSettings()
{
    static FormatSettings settings;
    return settings;
}

QString FormatDateTime(const QString &format, const QDate &date, const QTime &time)
{
    QString out;
    const int n = int(format.size());
    for (int i = 0; i < n;) {
        const QChar c = format.at(i).toLower();
        int run = 1;
        while (i + run < n && format.at(i + run).toLower() == c)
            ++run;
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        switch (c.unicode()) {
        case 'd': out += run >= 2 ? two(date.day()) : QString::number(date.day()); break;
        case 'm': out += run >= 2 ? two(date.month()) : QString::number(date.month()); break;
        case 'y':
            out += run >= 4 ? QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'))
                            : two(date.year() % 100);
            break;
        case 'h': out += run >= 2 ? two(time.hour()) : QString::number(time.hour()); break;
        case 'n': out += run >= 2 ? two(time.minute()) : QString::number(time.minute()); break;
        case 's': out += run >= 2 ? two(time.second()) : QString::number(time.second()); break;
        case '/': out += formatSettings().dateSeparator; break;
        case ':': out += formatSettings().timeSeparator; break;
        default: out += QString(run, format.at(i)); break;
        }
        i += run;
    }
    return out;
}

QString DateToStr(const QDate &date)
{
    return FormatDateTime(formatSettings().shortDateFormat, date);
}

QString TimeToStr(const QTime &time)
{
    return FormatDateTime(formatSettings().longTimeFormat, QDate(2000, 1, 1), time);
}

QDate StrToDate(const QString &text)
{
    const QStringList parts = Trim(text).split(formatSettings().dateSeparator);
    if (parts.size() == 3) {
        bool a, b, c;
        const int d = parts[0].toInt(&a), m = parts[1].toInt(&b);
        int y = parts[2].toInt(&c);
        if (a && b && c) {
            if (parts[2].size() <= 2)
                y += y < 50 ? 2000 : 1900;
            const QDate date(y, m, d);
            if (date.isValid())
                return date;
        }
    }
    throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
}

QTime StrToTime(const QString &text)
{
    const QStringList parts = Trim(text).split(formatSettings().timeSeparator);
    if (parts.size() >= 2 && parts.size() <= 3) {
        bool a, b, c = true;
        const int h = parts[0].toInt(&a), m = parts[1].toInt(&b);
        const int s = parts.size() == 3 ? parts[2].toInt(&c) : 0;
        const QTime t(h, m, s);
        if (a && b && c && t.isValid())
            return t;
    }
    throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
}

namespace {
std::function<QDateTime()> &clockFn()
{
    static std::function<QDateTime()> fn;
    return fn;
}
} // namespace

QDateTime Now()
{
    if (clockFn())
        return clockFn()();
    const QDateTime t = QDateTime::currentDateTime();
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()));
}

void setClock(std::function<QDateTime()> clock)
{
    clockFn() = std::move(clock);
}

namespace {
const qint64 DayZero = QDate(1899, 12, 30).toJulianDay();
constexpr qint64 FirstDay = -693593; // 01/01/0001
constexpr qint64 LastDay = 2958465;  // 31/12/9999
constexpr qint64 MSecsPerDay = 86400000;
} // namespace

TDateTime DateTimeToNumber(const QDate &date, const QTime &time)
{
    if (!date.isValid())
        return NoDate;
    const qint64 day = date.toJulianDay() - DayZero;
    const double fraction = time.isValid() ? time.msecsSinceStartOfDay() / double(MSecsPerDay) : 0.0;
    return day >= 0 ? double(day) + fraction : double(day) - fraction;
}

TDateTime DateTimeToNumber(const QDateTime &stamp)
{
    return stamp.isValid() ? DateTimeToNumber(stamp.date(), stamp.time()) : NoDate;
}

QDateTime NumberToDateTime(TDateTime value)
{
    if (!std::isfinite(value))
        return {};
    const double whole = std::trunc(value);
    if (whole < double(FirstDay) || whole > double(LastDay))
        return {};
    qint64 day = qint64(whole);
    qint64 ms = std::llround(std::fabs(value - whole) * MSecsPerDay);
    if (ms >= MSecsPerDay) {
        // Rounded up to the next midnight, which lies forward in time on either side of day 0.
        if (day < LastDay) {
            ++day;
            ms = 0;
        } else {
            ms = MSecsPerDay - 1;
        }
    }
    return QDateTime(QDate::fromJulianDay(DayZero + day), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QDate NumberToDate(TDateTime value)
{
    return NumberToDateTime(value).date();
}

QTime NumberToTime(TDateTime value)
{
    const QDateTime t = NumberToDateTime(value);
    return t.isValid() ? t.time() : QTime();
}
