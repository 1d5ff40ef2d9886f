#include "platform/os/parada.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <windows.h>

namespace os {

namespace {

std::atomic<bool> pedida{false};
std::function<void()> *acao = nullptr;

// Runs in a thread of its own that the system starts for the console's event.
BOOL WINAPI controle(DWORD evento)
{
    switch (evento) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        pedida = true;
        if (acao && QCoreApplication::instance())
            QMetaObject::invokeMethod(QCoreApplication::instance(), [] { (*acao)(); }, Qt::QueuedConnection);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void tratePedidoDeParada(std::function<void()> aoPedir)
{
    acao = new std::function<void()>(std::move(aoPedir));
    SetConsoleCtrlHandler(controle, TRUE);
}

bool paradaPedida()
{
    return pedida;
}

} // namespace os
