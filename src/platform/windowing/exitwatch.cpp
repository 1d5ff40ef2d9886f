#include "platform/windowing/exitwatch.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QWidget>

QWidget *formOf(QWidget *w)
{
    while (w && !w->isWindow()) {
        QWidget *p = w->parentWidget();
        if (!p || qobject_cast<QMdiSubWindow *>(p))
            return w;
        w = p;
    }
    return w;
}

namespace {

// Whether a focus-out is the user leaving the control for another control of
// the same window (or, when asked, for no control at all).
bool leavesWithinForm(QWidget *self, QFocusEvent *event, bool orForNone)
{
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return false;
    if (!self->isEnabled() || !self->isVisible())
        return false;
    QWidget *next = QApplication::focusWidget();
    if (!next)
        return orForNone;
    return next != self && formOf(next) == formOf(self);
}

// Drops the mouse press that is on its way to a widget: a click that tried
// to move the focus away from a control whose exit check refused it must not
// go on to press the button clicked. Gone after the press, or once control
// returns to the event loop.
class PressEater : public QObject {
public:
    explicit PressEater(QWidget *target) : QObject(target)
    {
        target->installEventFilter(this);
        QTimer::singleShot(0, this, [this] { deleteLater(); });
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            deleteLater();
            return true;
        }
        return false;
    }
};

} // namespace

ExitWatcher::ExitWatcher(QWidget *control) : QObject(control)
{
    setObjectName(QStringLiteral("exitWatcher"));
    focused_ = control->hasFocus();
    control->installEventFilter(this);
}

ExitWatcher *ExitWatcher::of(QWidget *control)
{
    if (auto *w = control->findChild<ExitWatcher *>(QString(), Qt::FindDirectChildrenOnly))
        return w;
    return new ExitWatcher(control);
}

QWidget *ExitWatcher::control() const
{
    return static_cast<QWidget *>(parent());
}

bool ExitWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != parent())
        return false;
    if (event->type() == QEvent::FocusIn) {
        focused_ = true;
        return false;
    }
    if (event->type() != QEvent::FocusOut)
        return false;

    // The control handles its own focus loss first (an edit ends its
    // selection and its cursor), so that an exit handler that puts the focus
    // back finds the control in its focused state.
    QPointer<QWidget> self = control();
    static_cast<QObject *>(self.data())->event(event);
    if (!self)
        return true;

    auto *focusEvent = static_cast<QFocusEvent *>(event);
    const bool wasFocused = focused_;
    focused_ = false;
    if (!wasFocused || !leavesWithinForm(self, focusEvent, leavesOnClearFocus))
        return true;
    const QPointer<QWidget> target = QApplication::focusWidget();
    const QPointer<ExitWatcher> alive = this;
    if (!canExit || canExit())
        emit exited();
    // When the focus was put back, the click that moved it elsewhere is
    // dropped. The window's focus child tells, since a message box shown
    // meanwhile may have left no window active.
    if (self && alive && focusEvent->reason() == Qt::MouseFocusReason && target && target != self &&
        self->window()->focusWidget() == self)
        new PressEater(target);
    return true;
}
