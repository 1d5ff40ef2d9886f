#include "contracts/TfrmCnsContrato.h"
#include "platform/windowing/forms.h"

#include <QCloseEvent>

TfrmCnsContrato::TfrmCnsContrato(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCnsContrato"));
    setWindowTitle(QStringLiteral("Consulta Contratos/Convênios"));
    resize(717, 357);
}

void TfrmCnsContrato::closeEvent(QCloseEvent *event)
{
    enableMainMenuEntry(QStringLiteral("mnuCnsContrato"));
    event->accept();
}
