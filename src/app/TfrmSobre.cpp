#include "app/TfrmSobre.h"
#include "platform/windowing/forms.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSobre::TfrmSobre(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmSobre"));
    setWindowTitle(QStringLiteral("Renomeia Arquivos Cobrança ZQ - Transferidor 32bits"));
    resize(516, 358);
    auto *layout = new QVBoxLayout(this);
    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    layout->addWidget(btnOk);
    connect(btnOk, &QPushButton::clicked, this, &TfrmSobre::btnOkClick);
}

void TfrmSobre::btnOkClick()
{
    close();
}

void TfrmSobre::closeEvent(QCloseEvent *event)
{
    enableMainMenuEntry(QStringLiteral("mnuAjudaSobre"));
    event->accept();
}
