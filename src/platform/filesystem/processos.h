#pragma once
// Other copies of the program, as the files they leave name them.
#include <QtGlobal>

namespace winfs {

// True while a process of this id runs (this process included).
bool processoEmExecucao(qint64 pid);

} // namespace winfs
