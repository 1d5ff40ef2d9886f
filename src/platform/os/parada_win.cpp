#include "platform/os/parada.h"

#include <QAbstractNativeEventFilter>
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

// A program that started this one asks it to end with a WM_CLOSE to its main
// thread (QProcess::terminate()): a console program has no window to take it.
class FechoDaLinha : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->hwnd || msg->message != WM_CLOSE)
            return false;
        pedida = true;
        if (acao)
            (*acao)();
        return true;
    }
};

} // namespace

void tratePedidoDeParada(std::function<void()> aoPedir)
{
    acao = new std::function<void()>(std::move(aoPedir));
    SetConsoleCtrlHandler(controle, TRUE);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(new FechoDaLinha);
}

bool paradaPedida()
{
    return pedida;
}

} // namespace os
