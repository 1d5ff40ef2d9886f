#include "app/placeholders.h"

#include <QLabel>
#include <QVBoxLayout>

TPlaceholderForm::TPlaceholderForm(const QString &name, const QString &caption, const QString &menuEntry,
                                   const QSize &size, QWidget *parent)
    : TForm(parent), menuEntry_(menuEntry)
{
    setObjectName(name);
    setWindowTitle(caption);
    resize(size);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(caption, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    createForm();
}

bool TPlaceholderForm::FormClose()
{
    enableMainMenuEntry(menuEntry_);
    return true;
}
