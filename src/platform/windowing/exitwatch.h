#pragma once
// The exit of a control: the focus leaving it for another control of the
// same window. Any widget can have its exit watched (edits, combo boxes, the
// data-aware controls, the date control).
#include <QObject>
#include <functional>

class QFocusEvent;
class QWidget;

// Watches one control. When the focus leaves it for another control of the
// same window (not a popup, not another window taking over, not the control
// being disabled, hidden or its window closing), the control first handles
// its own focus loss, then canExit runs (when set) and, unless it refused,
// exited() is emitted. If the focus ends up back in the control (canExit
// refused and put it back, or an exit handler did), the mouse press that
// moved the focus away is dropped, so the button clicked is not pressed.
class ExitWatcher : public QObject {
    Q_OBJECT
public:
    // The watcher of a control, made on first use; it lives as long as the control.
    static ExitWatcher *of(QWidget *control);

    QWidget *control() const;

    // Runs before exited(); false refuses the exit: exited() is not emitted,
    // and canExit is expected to have put the focus back.
    std::function<bool()> canExit;
    // Whether the focus leaving for no control at all (the window clearing
    // it, to read what the control holds) counts as an exit.
    bool leavesOnClearFocus = false;

signals:
    void exited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ExitWatcher(QWidget *control);
    bool focused_ = false;
};

// The window a control belongs to: the widget an MDI child holds, or the
// top-level window.
QWidget *formOf(QWidget *control);
