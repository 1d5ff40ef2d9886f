#pragma once
// Delivery of a file into a folder. The bytes are written under a temporary
// name in the destination's own folder (hidden by a leading dot and without a
// .TXT ending, so that no transfer mask picks it up), flushed to disk, and
// only then renamed to the final name: the final name never holds a partial
// file, and a file it held before is given up only once the new one is there.
#include <QString>

// The temporary name of a delivery to destino: "." + its name + ".tmp", in
// the same folder.
QString NomeTemporario(const QString &destino);

// Copies origem byte for byte into NomeTemporario(destino), with writes by
// others to origem denied while it is read, and flushes the copy to disk.
// Returns the temporary's path. On failure nothing is left behind and the
// error is raised: EFOpenError (origem cannot be opened), EFCreateError
// (the copy cannot be created next to destino), EReadError or EWriteError
// (a read or a write failed, a full disk among them).
QString CopiaTemporaria(const QString &origem, const QString &destino);

// Gives arquivo the name destino, in the same folder. A file already named
// destino is moved aside first and put back when the rename fails; it is
// removed only once arquivo has taken its name. False when arquivo kept its
// name, with everything as it was.
bool ColocaNoLugar(const QString &arquivo, const QString &destino);
