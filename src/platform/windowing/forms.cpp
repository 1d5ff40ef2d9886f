#include "platform/windowing/forms.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

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

void enableMainMenuEntry(const QString &name, bool enabled)
{
    if (MdiFrame *f = mainFrame())
        if (QAction *a = f->menuEntry(name))
            a->setEnabled(enabled);
}

void setMainStatusPanel(int index, const QString &text)
{
    if (MdiFrame *f = mainFrame())
        if (StatusPanels *p = f->statusPanels())
            p->setPanelText(index, text);
}

QMdiSubWindow *showMdiChild(QWidget *form, const QSize &outerSize)
{
    MdiFrame *f = mainFrame();
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
