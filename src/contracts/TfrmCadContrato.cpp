#include "contracts/TfrmCadContrato.h"
#include "platform/windowing/forms.h"

#include <QCloseEvent>

TfrmCadContrato::TfrmCadContrato(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCadContrato"));
    setWindowTitle(QStringLiteral("Cadastro de Contratos/Convênios"));
    resize(541, 359);
}

void TfrmCadContrato::closeEvent(QCloseEvent *event)
{
    enableMainMenuEntry(QStringLiteral("mnuCadContrato"));
    event->accept();
}
