#include "support/DateEdit.h"

#include "platform/runtime/convert.h"
#include "platform/windowing/exitwatch.h"
#include "platform/windowing/msgbox.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QChar separator()
{
    return formatSettings().dateSeparator;
}

double dayNumber(int year, int month, int day)
{
    return DateTimeToNumber(QDate(year, month, day));
}

QDate dateOf(double value)
{
    return NumberToDate(std::trunc(value));
}

// Values outside the years 1 to 9999 hold no date.
double sanitized(double value)
{
    if (!std::isfinite(value))
        return NoDate;
    const double day = std::trunc(value);
    if (day < dayNumber(1, 1, 1) || day > dayNumber(9999, 12, 31))
        return NoDate;
    return value;
}

// Mask letters of Qt that a separator must be escaped from.
bool isMaskLetter(QChar c)
{
    return u"AaNnXx90Dd#HhBb><![]{}\\;"_s.contains(c);
}

} // namespace

// ---------------------------------------------------------------- text routines

QString KeepDateChars(const QString &text)
{
    const QChar sep = separator();
    QString out;
    for (QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == sep)
            out += c;
    return out;
}

QString DateField(const QString &text, int n)
{
    return n < 1 ? QString() : text.split(separator()).value(n - 1);
}

QString NormalizeDateText(const QString &text)
{
    const QChar sep = separator();
    const QString kept = KeepDateChars(text) + sep + sep;
    const QString day = (u"00"_s + DateField(kept, 1)).right(2);
    const QString month = (u"00"_s + DateField(kept, 2)).right(2);
    QString year = DateField(kept, 3);
    if (year.isEmpty())
        year = u"0000"_s;
    else if (year.size() < 4)
        year = QString::number(Now().date().year()).left(4 - year.size()) + year;
    return day + sep + month + sep + year;
}

int TextNumber(const QString &text)
{
    QString digits = text;
    digits.remove(u' ');
    return digits.isEmpty() ? 0 : StrToInt(digits);
}

DateParts SplitDate(const QString &normalized)
{
    return {TextNumber(normalized.mid(0, 2)), TextNumber(normalized.mid(3, 2)), TextNumber(normalized.mid(6, 4))};
}

bool IsBlankDate(const QString &text)
{
    for (QChar c : text)
        if (c >= u'1' && c <= u'9')
            return false;
    return true;
}

bool LeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysOfMonth(int month, int year)
{
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && LeapYear(year))
        return 29;
    return u"312831303130313130313031"_s.mid(2 * month - 2, 2).toInt();
}

bool IsValidDateText(const QString &normalized)
{
    const DateParts p = SplitDate(normalized);
    return p.day != 0 && p.month >= 1 && p.month <= 12 && p.day <= DaysOfMonth(p.month, p.year) && p.year != 0;
}

double TextToDate(const QString &normalized)
{
    if (IsBlankDate(normalized) || !IsValidDateText(normalized))
        return NoDate;
    const DateParts p = SplitDate(normalized);
    return dayNumber(p.year, p.month, p.day);
}

// ---------------------------------------------------------------- TDateEdit

TDateEdit::TDateEdit(QWidget *parent) : QLineEdit(parent)
{
    QLineEdit::setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QLineEdit::textChanged, this, &TDateEdit::onTextChanged);
    // Leaving the box, for another control of the window or for none (the
    // window taking the focus away to read the date), completes the entry or
    // refuses it; a refused exit keeps the focus and swallows the click.
    ExitWatcher *exit = ExitWatcher::of(this);
    exit->leavesOnClearFocus = true;
    exit->canExit = [this] {
        if (acceptExit()) {
            update();
            return true;
        }
        DateError();
        return false;
    };
    connect(exit, &ExitWatcher::exited, this, &TDateEdit::exited);
}

void TDateEdit::setAlignment(TAlignment value)
{
    if (value == alignment_)
        return;
    alignment_ = value;
    const Qt::Alignment h = value == taRightJustify ? Qt::AlignRight : value == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    QLineEdit::setAlignment(h | Qt::AlignVCenter);
    if (hasFocus())
        selectAll();
    update();
}

void TDateEdit::setBaseChar(QChar value)
{
    if (value.isNull() || value == baseChar_)
        return;
    baseChar_ = value;
    ApplyDateMask();
    ShowDate();
}

void TDateEdit::setCentury(bool value)
{
    if (value == century_)
        return;
    // The date is read before the year's width changes, so that a year the
    // control wrote with two digits keeps its century.
    const double date = textValue();
    century_ = value;
    value_ = date;
    writeBox(shownText(date), true);
    ShowDate();
    describe();
}

QString TDateEdit::dateText() const
{
    if (value_ == NoDate) {
        const QChar sep = separator();
        return u"00"_s + sep + u"00"_s + sep + (century_ ? u"0000"_s : u"00"_s);
    }
    return FormatDateTime(DateFormatText(), dateOf(value_));
}

void TDateEdit::setDateText(const QString &text)
{
    value_ = TextToDate(NormalizeDateText(text));
    ShowDate();
}

void TDateEdit::setDateValue(double value)
{
    value_ = sanitized(value);
    ShowDate();
}

QString TDateEdit::DateFormatText() const
{
    const QChar sep = separator();
    return u"dd"_s + sep + u"mm"_s + sep + (century_ ? u"yyyy"_s : u"yy"_s);
}

QString TDateEdit::DateMaskText() const
{
    QString sep = separator();
    if (isMaskLetter(sep.at(0)))
        sep.prepend(u'\\');
    return u"00"_s + sep + u"00"_s + sep + (century_ ? u"0000"_s : u"00"_s) + u';' + baseChar_;
}

QString TDateEdit::CompleteDate(const QString &normalized) const
{
    DateParts p = SplitDate(normalized);
    const QDate today = Now().date();
    if (p.year == 0)
        p.year = today.year();
    if (p.month == 0)
        p.month = today.month();
    else if (p.month > 12)
        p.month = 12;
    if (p.day == 0)
        p.day = today.day();
    p.day = qMin(p.day, DaysOfMonth(p.month, p.year));
    return FormatDateTime(DateFormatText(), QDate(p.year, p.month, p.day));
}

void TDateEdit::ShowDate()
{
    // While the user is in the box an empty date keeps its mask, so that
    // what is typed next is still a date.
    if (value_ != NoDate)
        writeBox(shownText(value_), true);
    else
        writeBox(QString(), hasFocus());
    if (hasFocus())
        selectAll();
    update();
}

void TDateEdit::ApplyDateMask()
{
    value_ = textValue();
    writeBox(shownText(value_), true);
}

void TDateEdit::DateError()
{
    if (OnDateError)
        OnDateError(this);
    else
        Beep();
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

// Writes the box without reading the date back from it: the value stays the
// one the control shows.
void TDateEdit::writeBox(const QString &text, bool masked)
{
    const bool was = writing_;
    writing_ = true;
    const QString mask = masked ? DateMaskText() : QString();
    if (inputMask() != mask)
        setInputMask(mask);
    setText(text);
    writing_ = was;
}

void TDateEdit::onTextChanged()
{
    if (!writing_)
        value_ = TextToDate(NormalizeDateText(text()));
}

// The date the box holds. The text the control wrote for its own date stands
// for that date, so a year shown with two digits keeps its century and a time
// of day is kept.
double TDateEdit::textValue() const
{
    const QString t = text();
    if (value_ != NoDate && t == shownText(value_))
        return value_;
    return TextToDate(NormalizeDateText(t));
}

QString TDateEdit::shownText(double value) const
{
    return value == NoDate ? QString() : FormatDateTime(DateFormatText(), dateOf(value));
}

// Steps of leaving the box: a valid or blank date is taken as it is, anything
// else is completed from today's date or, without AssumeDefault, refused.
bool TDateEdit::acceptExit()
{
    const QString n = NormalizeDateText(text());
    const bool blank = IsBlankDate(n);
    if (IsValidDateText(n) || blank) {
        if (!blank)
            writeBox(CompleteDate(n), true);
        editing_ = false;
    } else if (assumeDefault_) {
        writeBox(CompleteDate(n), true);
    } else {
        return false;
    }
    value_ = textValue();
    ShowDate();
    return true;
}

void TDateEdit::focusInEvent(QFocusEvent *event)
{
    const bool entering = !editing_;
    if (entering)
        ApplyDateMask();
    QLineEdit::focusInEvent(event);
    // A new entry starts with the whole box selected, however the focus
    // came (a click selects once the press is handled); coming back in the
    // middle of an entry keeps the cursor where it was.
    if (entering && event->reason() != Qt::MouseFocusReason)
        selectAll();
    editing_ = true;
    focused_ = true;
    selectOnPress_ = event->reason() == Qt::MouseFocusReason;
    update();
}

void TDateEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    focused_ = false;
    selectOnPress_ = false;
    update();
}

void TDateEdit::keyPressEvent(QKeyEvent *event)
{
    const QChar sep = separator();
    if (event->text() == u"."_s && sep != u'.') {
        // A full stop works as the separator: it moves on to the next part.
        QKeyEvent asSeparator(event->type(), sep.toUpper().unicode(), event->modifiers(), QString(sep),
                              event->isAutoRepeat(), event->count());
        QLineEdit::keyPressEvent(&asSeparator);
        event->setAccepted(asSeparator.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDateEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    // The click that brought the focus selects the whole date.
    if (selectOnPress_) {
        selectOnPress_ = false;
        selectAll();
    }
}

// The edit paints itself while the user is in it, also while its window is
// inactive in the middle of an entry.
bool TDateEdit::paintsNatively() const
{
    return hasFocus() || (focused_ && window()->focusWidget() == this);
}

void TDateEdit::paintEvent(QPaintEvent *event)
{
    if (paintsNatively()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter p(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &p, this);
    if (value_ == NoDate)
        return;

    const int frame = hasFrame() ? panel.lineWidth : 0;
    const QRect client = rect().adjusted(frame, frame, -frame, -frame);
    // h comes from the character height, taken negative, and the control's
    // height: an 11-pixel font in a 21-pixel box gives h = 5.
    const int h = (-QFontInfo(font()).pixelSize() + height()) / 2;
    const QString t = text();
    const QFontMetrics fm(font());
    const int width = fm.horizontalAdvance(t);
    const int right = client.x() + client.width();
    int left = client.x() + h - 4;
    if (alignment_ == taRightJustify)
        left = right - width - (h - 3);
    else if (alignment_ == taCenter)
        left = (client.x() + right - width) / 2;
    const int top = client.y() + h - 3;

    p.setClipRect(client);
    p.setFont(font());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    p.drawText(left, top + fm.ascent(), t);
}

void TDateEdit::showEvent(QShowEvent *event)
{
    QLineEdit::showEvent(event);
    describe();
}

// What a screen reader announces: a label that names the control gives its
// name and the format becomes the description; without such a label the
// control names itself by what it holds.
void TDateEdit::describe()
{
    const QChar sep = separator();
    const QString what = u"Data (dd"_s + sep + u"mm"_s + sep + (century_ ? u"aaaa)"_s : u"aa)"_s);
    bool labelled = false;
    for (const QLabel *label : window()->findChildren<QLabel *>())
        labelled = labelled || label->buddy() == this;
    if (labelled) {
        if (namedByUs_) {
            setAccessibleName(QString());
            namedByUs_ = false;
        }
        if (describedByUs_ || accessibleDescription().isEmpty()) {
            setAccessibleDescription(what);
            describedByUs_ = true;
        }
    } else if (namedByUs_ || accessibleName().isEmpty()) {
        setAccessibleName(what);
        namedByUs_ = true;
    }
}
