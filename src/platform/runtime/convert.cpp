#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"

#include <cmath>

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

QString FormatFloat(const QString &format, double value)
{
    // Integer pictures only: the program formats codes and numbers, never fractions.
    int zeros = 0;
    bool grouping = format.contains(QLatin1Char(','));
    for (QChar c : format)
        if (c == QLatin1Char('0'))
            ++zeros;
    const bool negative = value < 0;
    QString digits = QString::number(std::llround(std::fabs(value)));
    if (digits == QLatin1String("0") && zeros == 0)
        digits.clear();
    while (digits.size() < zeros)
        digits.prepend(QLatin1Char('0'));
    if (grouping) {
        for (int i = int(digits.size()) - 3; i > 0; i -= 3)
            digits.insert(i, QLatin1Char('.'));
    }
    return negative ? QLatin1Char('-') + digits : digits;
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
