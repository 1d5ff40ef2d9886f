#pragma once
// TDateEdit: a one-line edit for a calendar date in day, month, year order,
// keeping a date value beside its text.
//
// While it has the focus it shows an edit mask with fixed separators. Leaving
// it turns what was typed into a complete date: the missing or impossible
// parts are taken from today's date (AssumeDefault) or the entry is refused
// and the focus stays. Without the focus it paints the date itself, and
// nothing at all when there is no date.
//
// In a .ui file it is a promoted QLineEdit (header "support/DateEdit.h"); its
// properties are set like any other:
//   <widget class="TDateEdit" name="edtDtaArquivo">
//    <property name="BaseChar"><char><unicode>32</unicode></char></property>
//    <property name="Alignment"><enum>TDateEdit::taLeftJustify</enum></property>
//   </widget>
#include <QLineEdit>
#include <QString>
#include <functional>

// Dates are the runtime's date-time values (days counted from 30 December
// 1899); NoDate means that there is no date.
#include "platform/runtime/convert.h"

// Day, month and year read from a normalized date text; 0 where nothing was typed.
struct DateParts {
    int day = 0;
    int month = 0;
    int year = 0;
};

// The text routines below use the process's date separator ("/").

// Keeps the digits and the date separator, in their order.
QString KeepDateChars(const QString &text);
// The n-th part (from 1) of the text between separators; empty when there
// are fewer parts.
QString DateField(const QString &text, int n);
// Any text as "dd/mm/yyyy": two-digit day and month, a year of at least four
// digits, of which the missing leading digits come from the current year
// (in 2026: 7 -> 2027, 98 -> 2098) and an empty year gives "0000".
QString NormalizeDateText(const QString &text);
// Whole number of a text with blanks removed; 0 when nothing is left.
int TextNumber(const QString &text);
// Day (characters 1-2), month (4-5) and year (7-10) of a normalized text.
DateParts SplitDate(const QString &normalized);
// No digit from 1 to 9 in the text.
bool IsBlankDate(const QString &text);
bool LeapYear(int year);
int DaysOfMonth(int month, int year);
// A normalized text naming a day that exists.
bool IsValidDateText(const QString &normalized);
// The date of a normalized text; NoDate when it is blank or not a valid date.
double TextToDate(const QString &normalized);

class TDateEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool AssumeDefault READ assumeDefault WRITE setAssumeDefault)
    Q_PROPERTY(QChar BaseChar READ baseChar WRITE setBaseChar)
    Q_PROPERTY(bool Century READ century WRITE setCentury)
    Q_PROPERTY(QString DateText READ dateText WRITE setDateText)
    Q_PROPERTY(double DateValue READ dateValue WRITE setDateValue)
public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

    explicit TDateEdit(QWidget *parent = nullptr);

    // Alignment of the text, in the edit and in the control's own painting.
    // Hides QLineEdit's alignment, which follows this one.
    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment value);
    // On leaving with an unusable date: true completes it from today's
    // date, false refuses it.
    bool assumeDefault() const { return assumeDefault_; }
    void setAssumeDefault(bool value) { assumeDefault_ = value; }
    // Fills the positions not typed yet; the null character is ignored.
    QChar baseChar() const { return baseChar_; }
    void setBaseChar(QChar value);
    // Four-digit years (true) or two-digit years.
    bool century() const { return century_; }
    void setCentury(bool value);
    // The date in the display format; "00/00/0000" when there is none.
    // Writing parses the text like typed input.
    QString dateText() const;
    void setDateText(const QString &text);
    double dateValue() const { return value_; }
    void setDateValue(double value);

    // "dd/mm/yyyy", or "dd/mm/yy" without Century.
    QString DateFormatText() const;
    // The edit mask: an optional digit in each date position (Qt's "0"),
    // the separators fixed, untyped positions shown as BaseChar.
    QString DateMaskText() const;
    // A normalized text made a date, today's year, month and day standing
    // in for what is missing and a day past the month's end becoming its
    // last day; written in the display format.
    QString CompleteDate(const QString &normalized) const;
    // Shows DateValue: the date under the mask, or an empty box.
    void ShowDate();
    // Converts the current text and shows it again under a fresh mask.
    void ApplyDateMask();

    // Called, instead of the beep, when an entry is refused.
    std::function<void(TDateEdit *sender)> OnDateError;

signals:
    // The focus left for another control of the same window with the
    // entry accepted (not after a refusal).
    void exited();

protected:
    // Refuses the entry: OnDateError or a beep, the whole text selected,
    // the focus kept.
    void DateError();

    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool acceptExit();
    void onTextChanged();
    void writeBox(const QString &text, bool masked);
    double textValue() const;
    QString shownText(double value) const;
    bool paintsNatively() const;
    void describe();

    TAlignment alignment_ = taLeftJustify;
    bool assumeDefault_ = true;
    QChar baseChar_ = QLatin1Char('_');
    bool century_ = true;
    double value_ = NoDate;
    bool editing_ = false; // set on gaining the focus, cleared by leaving with a valid or blank date
    bool focused_ = false;
    bool writing_ = false;
    bool selectOnPress_ = false;
    bool namedByUs_ = false;
    bool describedByUs_ = false;
};
