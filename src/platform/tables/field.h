#pragma once
// Typed fields of a data set.
#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>
#include <Qt>

namespace tables {

class DataSet;

enum class FieldType { Unknown, SmallInt, Integer, Float, String, Date, Time, DateTime, Boolean };
enum class FieldKind { Data, Lookup };

// A field as the table declares it.
struct FieldDef {
    QString name;
    FieldType type = FieldType::Unknown;
    int size = 0;     // width of a string
    int keyPos = 0;   // 1-based position in the primary key, 0 when not a key field
};

FieldType fieldTypeFromDecl(const QString &declaredType, int *size);
QString declForFieldType(FieldType type, int size);

// Presentation and checks of a field, set by the window that owns the data set.
struct FieldOptions {
    QString displayFormat;
    QString editFormat;
    QString displayLabel;
    double minValue = 0;
    double maxValue = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
    int displayWidth = 0;
};

class Field {
public:
    Field(DataSet *dataSet, const FieldDef &def, int index, FieldKind kind = FieldKind::Data);

    DataSet *dataSet() const { return dataSet_; }
    const QString &fieldName() const { return def_.name; }
    FieldType dataType() const { return def_.type; }
    int size() const { return def_.size; }
    int index() const { return index_; }
    FieldKind kind() const { return kind_; }
    bool isLookup() const { return kind_ == FieldKind::Lookup; }

    FieldOptions options;
    QString displayName() const { return options.displayLabel.isEmpty() ? def_.name : options.displayLabel; }

    // Lookup definition: value of lookupResultField in the row of lookupDataSet
    // whose lookupKeyField equals this data set's keyField.
    QString keyField;
    DataSet *lookupDataSet = nullptr;
    QString lookupKeyField;
    QString lookupResultField;

    QVariant value() const;
    void setValue(const QVariant &value);
    bool isNull() const;
    void clear();

    QString asString() const;
    void setAsString(const QString &text);
    int asInteger() const;
    void setAsInteger(int value);
    double asFloat() const;
    QDate asDate() const;
    void setAsDate(const QDate &date);
    QTime asTime() const;
    void setAsTime(const QTime &time);
    bool asBoolean() const;
    void setAsBoolean(bool value);

    // Text as shown (display format) and as edited (edit format, else display format).
    QString displayText() const;
    QString text() const;
    void setText(const QString &text) { setAsString(text); }

private:
    QString formatted(const QString &format) const;
    void checkRange(double value) const;

    DataSet *dataSet_;
    FieldDef def_;
    int index_;
    FieldKind kind_;
};

} // namespace tables
