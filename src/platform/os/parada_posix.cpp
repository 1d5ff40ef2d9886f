#include "platform/os/parada.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace os {

namespace {

std::atomic<bool> pedida{false};
int canal[2] = {-1, -1};

void sinal(int)
{
    pedida = true;
    const char c = 1;
    // The one call a signal handler may make to wake the event loop.
    [[maybe_unused]] const ssize_t n = ::write(canal[1], &c, 1);
}

} // namespace

void tratePedidoDeParada(std::function<void()> aoPedir)
{
    if (canal[0] < 0 && ::pipe2(canal, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *aviso = new QSocketNotifier(canal[0], QSocketNotifier::Read);
    QObject::connect(aviso, &QSocketNotifier::activated, aviso, [aoPedir = std::move(aoPedir)] {
        char lixo[16];
        while (::read(canal[0], lixo, sizeof lixo) > 0) {
        }
        if (aoPedir)
            aoPedir();
    });
    struct sigaction sa {};
    sa.sa_handler = sinal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

bool paradaPedida()
{
    return pedida;
}

} // namespace os
