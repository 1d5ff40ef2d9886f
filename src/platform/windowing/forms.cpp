#include "platform/windowing/forms.h"
#include "platform/windowing/accessibility.h"
#include "platform/windowing/guard.h"
#include "platform/runtime/errors.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

void StatusPanels::addPanel(int width, Qt::Alignment alignment, bool fillsRest)
{
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("%1Panel%2").arg(objectName()).arg(panels_.size() + 1));
    if (fillsRest)
        label->setMinimumWidth(width);
    else
        label->setFixedWidth(width);
    label->setAlignment(alignment);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    addWidget(label, fillsRest ? 1 : 0);
    panels_.append(label);
}

QString StatusPanels::panelText(int index) const
{
    QLabel *l = panels_.value(index);
    return l ? l->text() : QString();
}

void StatusPanels::setPanelText(int index, const QString &text)
{
    if (QLabel *l = panels_.value(index))
        l->setText(text);
}

namespace {
MdiFrame *&frameRef()
{
    static MdiFrame *frame = nullptr;
    return frame;
}
} // namespace

MdiFrame *mainFrame()
{
    return frameRef();
}

void setMainFrame(MdiFrame *frame)
{
    frameRef() = frame;
}

MdiFrame *mainFrameOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget())
        if (auto *f = dynamic_cast<MdiFrame *>(const_cast<QWidget *>(w)))
            return f;
    return mainFrame();
}

namespace {
void enableEntry(MdiFrame *frame, const QString &name, bool enabled)
{
    if (!frame)
        return;
    QAction *a = frame->menuEntry(name);
    if (!a)
        throw Exception(QStringLiteral("The main window has no menu entry named '%1'").arg(name));
    a->setEnabled(enabled);
}

void setStatusPanel(MdiFrame *frame, int index, const QString &text)
{
    if (frame)
        if (StatusPanels *p = frame->statusPanels())
            p->setPanelText(index, text);
}
} // namespace

void enableMainMenuEntry(const QString &name, bool enabled)
{
    enableEntry(mainFrame(), name, enabled);
}

void setMainStatusPanel(int index, const QString &text)
{
    setStatusPanel(mainFrame(), index, text);
}

QMdiSubWindow *showMdiChild(QWidget *form, const QSize &outerSize)
{
    MdiFrame *f = mainFrameOf(form);
    QMdiArea *area = f ? f->mdiArea() : nullptr;
    if (!area) {
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->resize(outerSize);
        form->show();
        return nullptr;
    }
    auto *sub = new QMdiSubWindow(area);
    sub->setWidget(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(form->windowTitle());
    sub->setWindowIcon(form->windowIcon());
    area->addSubWindow(sub);
    sub->resize(outerSize);
    const QSize room = area->viewport()->size();
    sub->move(std::max(0, (room.width() - outerSize.width()) / 2), std::max(0, (room.height() - outerSize.height()) / 2));
    sub->show();
    form->show();
    return sub;
}

void closeForm(QWidget *form)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget()))
        sub->close();
    else
        form->close();
}

void setBoldTitle(QGroupBox *box)
{
    QFont bold = box->font();
    bold.setBold(true);
    box->setFont(bold);
    for (QWidget *child : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        QFont normal = child->font();
        normal.setBold(false);
        child->setFont(normal);
    }
}

// ---------------------------------------------------------------- TForm

TForm::TForm(QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    installAccessibility();
}

TForm::~TForm()
{
    // The controls outlive this part of the window while the base class
    // deletes them: nothing they emit may reach a handler any more.
    destroying_ = true;
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
}

void TForm::createForm()
{
    if (created_)
        return;
    created_ = true;
    Guard([this] { FormCreate(); });
}

bool TForm::runHandler(const std::function<void()> &fn)
{
    if (!handlersLive())
        return false;
    return Guard(fn);
}

void TForm::Close()
{
    closeForm(this);
}

MdiFrame *TForm::mainFrame() const
{
    return mainFrameOf(this);
}

void TForm::enableMainMenuEntry(const QString &name, bool enabled) const
{
    enableEntry(mainFrame(), name, enabled);
}

void TForm::setMainStatusPanel(int index, const QString &text) const
{
    setStatusPanel(mainFrame(), index, text);
}

QPushButton *TForm::defaultButton() const
{
    for (QPushButton *b : findChildren<QPushButton *>())
        if (b->isDefault())
            return b;
    return nullptr;
}

void TForm::closeEvent(QCloseEvent *event)
{
    if (!handlersLive()) {
        event->accept();
        return;
    }
    bool closes = false;
    Guard([&] { closes = FormClose(); });
    if (closes) {
        closed_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm::showEvent(QShowEvent *event)
{
    // A window shown again after its close runs its handlers again.
    closed_ = false;
    QWidget::showEvent(event);
}

void TForm::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & ~Qt::KeypadModifier)) {
        // A push button that has the focus takes Enter; otherwise the default button does.
        auto *button = qobject_cast<QPushButton *>(focusWidget());
        if (!button || !isAncestorOf(button))
            button = defaultButton();
        if (button && button->isEnabled() && button->isVisible()) {
            event->accept();
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}
