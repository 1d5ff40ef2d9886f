#pragma once
// Frames and child windows: the main frame that children report to, the
// status bar with panels, showing a window as an MDI child, and TForm, the
// base of every window.
#include <QLabel>
#include <QList>
#include <QStatusBar>
#include <QString>
#include <QWidget>
#include <functional>
#include <type_traits>

#include "platform/windowing/exitwatch.h"

class QAction;
class QGroupBox;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;

// A status bar made of fixed panels (index from 0).
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr) : QStatusBar(parent) {}
    // Adds a panel of the given width and text alignment. As in the platform's
    // status bars, the last panel may stretch to the bar's right edge.
    void addPanel(int width, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, bool fillsRest = false);
    int panelCount() const { return int(panels_.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    QLabel *panel(int index) const { return panels_.value(index); }

private:
    QList<QLabel *> panels_;
};

// What child windows need of the application's main frame.
class MdiFrame {
public:
    virtual ~MdiFrame() = default;
    virtual QAction *menuEntry(const QString &name) = 0;
    virtual StatusPanels *statusPanels() = 0;
    virtual QMdiArea *mdiArea() = 0;
};
// The registered main frame (the application's main window while it exists).
MdiFrame *mainFrame();
void setMainFrame(MdiFrame *frame);
// The main frame of a widget: the first MdiFrame among its ancestors, else
// the registered one; null when there is none.
MdiFrame *mainFrameOf(const QWidget *widget);

// Enables (or disables) a menu entry of the registered main frame, when there
// is one. A name the frame does not know raises an error.
void enableMainMenuEntry(const QString &name, bool enabled = true);
// Writes a panel of the main frame's status bar, when there is one.
void setMainStatusPanel(int index, const QString &text);

// Shows form as an MDI child of its main frame with the given outer size,
// centred in the client area (without a frame, as a window of its own). The
// child is destroyed when it closes; its closeEvent may refuse the close.
QMdiSubWindow *showMdiChild(QWidget *form, const QSize &outerSize);

// Closes a form, whether it stands alone or inside an MDI child.
void closeForm(QWidget *form);

// A group box whose caption is bold while its controls keep the window's font.
void setBoldTitle(QGroupBox *box);

// The base of the program's windows. A window derives from it and from its
// window definition, so that its controls are members by their names:
//
//   class TfrmX : public TForm, public Ui::TfrmX {
//       TfrmX(QWidget *parent = nullptr) : TForm(parent) {
//           setupUi(this);
//           on(btnOk, &QPushButton::clicked, &TfrmX::btnOkClick);
//           onExit(edtNome, &TfrmX::edtNomeExit);
//           createForm();                      // runs FormCreate
//       }
//       void FormCreate() override;
//       bool FormClose() override;             // false keeps the window open
//   };
//
// FormCreate, FormClose and every handler bound with on() or onExit() run
// inside the guard: an error reaches the default error handler and never
// crosses the event loop. Once the window has accepted its close, and while
// it is being destroyed, nothing a control emits reaches a handler. (The
// window's own members go before this base: declare a data source after the
// data sets it relays, so that it goes first.) Enter presses the focused push
// button, or else the window's default button, wherever the focus is in the
// window.
class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~TForm() override;

    // The window's own handlers.
    virtual void FormCreate() {}
    // Runs when the window is asked to close; false keeps it open.
    virtual bool FormClose() { return true; }

    // Closes the window, whether it stands alone or inside an MDI child.
    void Close();

    // The main frame of this window (see mainFrameOf).
    MdiFrame *mainFrame() const;
    // Enables (or disables) an entry of the main frame's menu. A name the
    // frame does not know raises an error; without a frame nothing happens.
    void enableMainMenuEntry(const QString &name, bool enabled = true) const;
    // Writes a panel of the main frame's status bar, when there is one.
    void setMainStatusPanel(int index, const QString &text) const;

    // The push button marked as default in the window; null when none.
    QPushButton *defaultButton() const;

    // Whether handlers run: false once the close was accepted, and while the
    // window is being destroyed.
    bool handlersLive() const { return !closed_ && !destroying_; }

protected:
    // Runs FormCreate inside the guard: the last step of a window's constructor.
    void createForm();

    // Runs fn as a handler: inside the guard, and not at all when handlers
    // no longer run. Returns false when it did not run to its end.
    bool runHandler(const std::function<void()> &fn);

    // Binds a signal of sender to a handler of the window: a member function
    // taking no arguments or the signal's, or any callable.
    template <typename Sender, typename Signal, typename Form, typename... Args>
    QMetaObject::Connection on(const Sender *sender, Signal signal, void (Form::*handler)(Args...))
    {
        static_assert(std::is_base_of_v<TForm, Form>, "a handler of a window");
        Form *self = static_cast<Form *>(this);
        if constexpr (sizeof...(Args) == 0)
            return connect(sender, signal, this, [this, self, handler] { runHandler([&] { (self->*handler)(); }); });
        else
            return connect(sender, signal, this,
                           [this, self, handler](Args... args) { runHandler([&] { (self->*handler)(args...); }); });
    }
    template <typename Sender, typename Signal, typename Fn>
        requires(!std::is_member_function_pointer_v<Fn>)
    QMetaObject::Connection on(const Sender *sender, Signal signal, Fn fn)
    {
        return connect(sender, signal, this, [this, fn](auto &&...args) {
            runHandler([&] {
                if constexpr (std::is_invocable_v<const Fn &>)
                    fn();
                else
                    fn(args...);
            });
        });
    }

    // Binds the exit of a control (see ExitWatcher) to a handler.
    template <typename Handler>
    QMetaObject::Connection onExit(QWidget *control, Handler handler)
    {
        return on(ExitWatcher::of(control), &ExitWatcher::exited, handler);
    }

    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool created_ = false;
    bool closed_ = false;
    bool destroying_ = false;
};
