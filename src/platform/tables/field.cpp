#include "platform/tables/field.h"
#include "platform/tables/dataset.h"
#include "platform/runtime/convert.h"
#include "platform/runtime/errors.h"

#include <QRegularExpression>

namespace tables {

FieldType fieldTypeFromDecl(const QString &declaredType, int *size)
{
    const QString t = declaredType.trimmed().toUpper();
    static const QRegularExpression withSize(QStringLiteral("^(VARCHAR|CHAR|CHARACTER|ALPHA)\\s*\\(\\s*(\\d+)\\s*\\)$"));
    const auto m = withSize.match(t);
    if (m.hasMatch()) {
        if (size)
            *size = m.captured(2).toInt();
        return FieldType::String;
    }
    if (size)
        *size = 0;
    if (t == QLatin1String("SMALLINT") || t == QLatin1String("SHORT"))
        return FieldType::SmallInt;
    if (t == QLatin1String("INTEGER") || t == QLatin1String("INT") || t == QLatin1String("LONG"))
        return FieldType::Integer;
    if (t == QLatin1String("FLOAT") || t == QLatin1String("DOUBLE") || t == QLatin1String("REAL") || t == QLatin1String("NUMERIC"))
        return FieldType::Float;
    if (t == QLatin1String("DATE"))
        return FieldType::Date;
    if (t == QLatin1String("TIME"))
        return FieldType::Time;
    if (t == QLatin1String("TIMESTAMP") || t == QLatin1String("DATETIME"))
        return FieldType::DateTime;
    if (t == QLatin1String("BOOLEAN") || t == QLatin1String("LOGICAL"))
        return FieldType::Boolean;
    if (t == QLatin1String("TEXT") || t == QLatin1String("VARCHAR") || t == QLatin1String("CHAR")) {
        if (size)
            *size = 255;
        return FieldType::String;
    }
    return FieldType::Unknown;
}

QString declForFieldType(FieldType type, int size)
{
    switch (type) {
    case FieldType::SmallInt: return QStringLiteral("SMALLINT");
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::Float: return QStringLiteral("FLOAT");
    case FieldType::String: return QStringLiteral("VARCHAR(%1)").arg(size);
    case FieldType::Date: return QStringLiteral("DATE");
    case FieldType::Time: return QStringLiteral("TIME");
    case FieldType::DateTime: return QStringLiteral("TIMESTAMP");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::Unknown: break;
    }
    return QString();
}

Field::Field(DataSet *dataSet, const FieldDef &def, int index, FieldKind kind)
    : dataSet_(dataSet), def_(def), index_(index), kind_(kind) {}

QVariant Field::value() const
{
    if (kind_ == FieldKind::Lookup) {
        if (!lookupDataSet || !lookupDataSet->active())
            return QVariant();
        const Field *key = dataSet_->findField(keyField);
        if (!key || key->isNull())
            return QVariant();
        return lookupDataSet->lookup(lookupKeyField, key->value(), lookupResultField);
    }
    return dataSet_->currentValue(index_);
}

bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

void Field::setValue(const QVariant &value)
{
    if (kind_ == FieldKind::Lookup)
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(displayName()));
    QVariant v = value;
    if (v.isValid() && !v.isNull()) {
        switch (def_.type) {
        case FieldType::String: {
            QString s = v.toString();
            if (def_.size > 0 && s.size() > def_.size)
                s.truncate(def_.size);
            v = s;
            break;
        }
        case FieldType::SmallInt:
        case FieldType::Integer: {
            const double d = v.toDouble();
            checkRange(d);
            v = int(d);
            break;
        }
        default:
            break;
        }
    }
    dataSet_->setCurrentValue(this, v);
}

void Field::clear()
{
    setValue(QVariant());
}

void Field::checkRange(double v) const
{
    double lo = options.minValue, hi = options.maxValue;
    if (lo == 0 && hi == 0) {
        if (def_.type == FieldType::SmallInt) {
            lo = -32768;
            hi = 32767;
        } else {
            lo = -2147483648.0;
            hi = 2147483647.0;
        }
    }
    if (v < lo || v > hi)
        throw EDatabaseError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                                 .arg(QString::number(v, 'g', 15), displayName(), QString::number(lo, 'g', 15),
                                      QString::number(hi, 'g', 15)));
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QString();
    switch (def_.type) {
    case FieldType::Date: return DateToStr(v.toDate());
    case FieldType::Time: return TimeToStr(v.toTime());
    case FieldType::DateTime: return DateToStr(v.toDateTime().date()) + QLatin1Char(' ') + TimeToStr(v.toDateTime().time());
    case FieldType::Boolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.toString();
    }
}

void Field::setAsString(const QString &text)
{
    switch (def_.type) {
    case FieldType::SmallInt:
    case FieldType::Integer: {
        if (text.isEmpty()) {
            clear();
            return;
        }
        int v = 0;
        if (!TryStrToInt(text, v)) {
            // A number too big for the type is a range error, anything else a conversion error.
            bool isNum = false;
            const double d = text.trimmed().toDouble(&isNum);
            if (isNum && d == qint64(d))
                checkRange(d);
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, displayName()));
        }
        setValue(v);
        return;
    }
    case FieldType::Float: {
        if (text.isEmpty()) {
            clear();
            return;
        }
        bool ok = false;
        const double d = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(text, displayName()));
        setValue(d);
        return;
    }
    case FieldType::Date:
        if (text.isEmpty())
            clear();
        else
            setValue(StrToDate(text));
        return;
    case FieldType::Time:
        if (text.isEmpty())
            clear();
        else
            setValue(StrToTime(text));
        return;
    case FieldType::Boolean:
        if (text.isEmpty())
            clear();
        else
            setValue(text.startsWith(QLatin1Char('T'), Qt::CaseInsensitive) || text == QLatin1String("1"));
        return;
    default:
        setValue(text);
    }
}

int Field::asInteger() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    if (def_.type == FieldType::String)
        return StrToInt(v.toString());
    return v.toInt();
}

void Field::setAsInteger(int value) { setValue(value); }
double Field::asFloat() const { return value().toDouble(); }
QDate Field::asDate() const { return value().toDate(); }
void Field::setAsDate(const QDate &date) { setValue(date); }
QTime Field::asTime() const { return value().toTime(); }
void Field::setAsTime(const QTime &time) { setValue(time); }
bool Field::asBoolean() const { return value().toBool(); }
void Field::setAsBoolean(bool value) { setValue(value); }

QString Field::formatted(const QString &format) const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QString();
    FieldType type = def_.type;
    if (kind_ == FieldKind::Lookup) {
        // A lookup takes the type of the value it finds.
        switch (v.typeId()) {
        case QMetaType::Int: case QMetaType::LongLong: type = FieldType::Integer; break;
        case QMetaType::Double: type = FieldType::Float; break;
        case QMetaType::QDate: type = FieldType::Date; break;
        case QMetaType::QTime: type = FieldType::Time; break;
        default: break;
        }
    }
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Float:
        return format.isEmpty() ? asString() : FormatFloat(format, v.toDouble());
    case FieldType::Date:
        return format.isEmpty() ? asString() : FormatDateTime(format, v.toDate());
    case FieldType::Time:
        return format.isEmpty() ? asString() : FormatDateTime(format, QDate(2000, 1, 1), v.toTime());
    default:
        return asString();
    }
}

QString Field::displayText() const
{
    return formatted(options.displayFormat);
}

QString Field::text() const
{
    return formatted(options.editFormat.isEmpty() ? options.displayFormat : options.editFormat);
}

} // namespace tables
