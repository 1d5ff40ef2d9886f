#include "platform/windowing/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QTextDocument>

#include <utility>

namespace {

// A group box is announced by its own caption. (The toolkit names a group
// box nested in another one by the outer caption, and its controls are then
// read as if they belonged to the outer group.)
class GroupBoxAccessible : public QAccessibleWidget {
public:
    explicit GroupBoxAccessible(QGroupBox *box) : QAccessibleWidget(box, QAccessible::Grouping) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            auto *box = static_cast<QGroupBox *>(widget());
            QString name = box->accessibleName();
            if (name.isEmpty())
                name = box->title().remove(QLatin1Char('&'));
            return name;
        }
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        auto *box = static_cast<QGroupBox *>(widget());
        st.checkable = box->isCheckable();
        st.checked = box->isCheckable() && box->isChecked();
        return st;
    }
};

// A caption without its access-key marks ("&&" is a plain "&").
QString withoutAccessKey(const QString &caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

// What a label shows, as plain text.
QString shownText(const QLabel *label)
{
    const QString text = label->text();
    if (label->textFormat() == Qt::RichText || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument doc;
        doc.setHtml(text);
        return doc.toPlainText();
    }
    return text;
}

// The caption of the label that names this one (whose buddy it is).
QString namingCaption(const QLabel *label)
{
    if (const QWidget *parent = label->parentWidget()) {
        for (const QObject *o : parent->children()) {
            const auto *caption = qobject_cast<const QLabel *>(o);
            if (caption && caption != label && caption->buddy() == label)
                return withoutAccessKey(shownText(caption));
        }
    }
    return QString();
}

// A label is announced by its accessible name, else by the caption of the
// label that names it (its buddy is this label), else by what it shows. A
// label announced by a name other than what it shows (an outgoing folder, a
// status, a field's value) tells what it shows as its value, and a change of
// it is announced as a change of its value; every label tells what it shows
// as its text, and announces the change of its text.
//
// The toolkit's own label gives the name only, so a label that shows data
// under a name of its own was read without its data; of a change it announces
// only a new name, for a label without an accessible name.
class LabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText), watch_(this)
    {
        shown_ = shownText(label);
        label->installEventFilter(&watch_);
    }

    QLabel *label() const { return static_cast<QLabel *>(widget()); }

    QAccessible::Role role() const override
    {
        return label()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            QString name = ownName();
            if (name.isEmpty())
                name = label()->buddy() ? withoutAccessKey(shownText(label())) : shownText(label());
            return name.isEmpty() ? QAccessibleWidget::text(t) : name;
        }
        case QAccessible::Value: {
            const QString own = ownName();
            const QString shown = shownText(label());
            return own.isEmpty() || own == shown ? QString() : shown;
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto rels = QAccessibleWidget::relations(match);
        if (match & QAccessible::Labelled) {
            if (QAccessibleInterface *buddy = QAccessible::queryAccessibleInterface(label()->buddy()))
                rels.append({buddy, QAccessible::Labelled});
        }
        return rels;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The text interface: what the label shows, read-only, without a cursor.
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        const QString all = shownText(label());
        startOffset = qBound(0, startOffset, int(all.size()));
        endOffset = endOffset < 0 ? int(all.size()) : qBound(startOffset, endOffset, int(all.size()));
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(shownText(label()).size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

private:
    // The name given to the label, or by the label that names it; empty
    // when the label is named by what it shows.
    QString ownName() const
    {
        const QString name = label()->accessibleName();
        return name.isEmpty() ? namingCaption(label()) : name;
    }

    // A label's text changes without a signal; the change shows on the
    // screen with the next painting of the label, and is announced then.
    void announceChange()
    {
        const QString shown = shownText(label());
        if (shown == shown_)
            return;
        const QString old = std::exchange(shown_, shown);
        if (!ownName().isEmpty()) {
            QAccessibleValueChangeEvent value(label(), shown);
            QAccessible::updateAccessibility(&value);
        }
        QAccessibleTextUpdateEvent update(label(), 0, old, shown);
        QAccessible::updateAccessibility(&update);
    }

    class Watch : public QObject {
    public:
        explicit Watch(LabelAccessible *owner) : owner_(owner) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                owner_->announceChange();
            return false;
        }

    private:
        LabelAccessible *owner_;
    };

    Watch watch_;
    QString shown_;
};

QAccessibleInterface *programFactory(const QString &, QObject *object)
{
    if (auto *box = qobject_cast<QGroupBox *>(object))
        return new GroupBoxAccessible(box);
    if (auto *label = qobject_cast<QLabel *>(object))
        return new LabelAccessible(label);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(programFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
