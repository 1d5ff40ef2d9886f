#pragma once
// The end of a process that keeps running (the watcher), asked by the
// system: SIGTERM or SIGINT (Ctrl+C) on POSIX, the console's Ctrl+C, Ctrl+Break
// or close on Windows. Once asked, paradaPedida() is true, so that work in
// hand can finish its file and stop, and aoPedir runs in the thread of the
// event loop, whose wait it ends.
#include <functional>

namespace os {

void tratePedidoDeParada(std::function<void()> aoPedir);
bool paradaPedida();

} // namespace os
