#pragma once
// The default error handler and the guard every handler runs in: an error
// that escapes a handler is shown and never crosses the event loop.
#include <functional>
#include <exception>

// Shows an error in an error box titled with the application title; a full
// stop is added when the message's last character comes after "." in
// character order. A silent abort (EAbort) shows nothing.
void ShowException(const std::exception &error);

// Runs fn; an error that escapes goes to ShowException. Returns false when one did.
bool Guard(const std::function<void()> &fn);

// Wraps a handler for connecting to a signal.
template <typename F>
auto guarded(F fn)
{
    return [fn](auto &&...args) { Guard([&] { fn(args...); }); };
}
