#include "platform/filesystem/processos.h"

#include <cerrno>
#include <csignal>

namespace winfs {

bool processoEmExecucao(qint64 pid)
{
    // Signal 0 only asks; a process of another user answers EPERM.
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace winfs
