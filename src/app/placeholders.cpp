#include "app/placeholders.h"
#include "platform/windowing/forms.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

TPlaceholderForm::TPlaceholderForm(const QString &name, const QString &caption, const QString &menuEntry,
                                   const QSize &size, QWidget *parent)
    : QWidget(parent), menuEntry_(menuEntry)
{
    setObjectName(name);
    setWindowTitle(caption);
    resize(size);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(caption, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
}

void TPlaceholderForm::closeEvent(QCloseEvent *event)
{
    enableMainMenuEntry(menuEntry_);
    event->accept();
}
