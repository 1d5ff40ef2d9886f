#pragma once
// File routines shared by the windows: a byte copy that accepts a folder as
// destination, a move that falls back to that copy, an attribute test and a
// text repetition.
#include <QString>

#include "platform/runtime/errors.h"

// Size of the buffer through which CopyFileData copies.
constexpr int CopyChunkSize = 8192;

class EFCantMove : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// A read or write that failed in the middle of a copy.
class EReadError : public EStreamError {
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
    using EStreamError::EStreamError;
};

// Copies the bytes of source to destination, a file or an existing folder
// (with or without a trailing "\"); a relative destination is completed
// against the current folder. An existing destination file is replaced; a
// destination that is the source itself is left as it is.
void CopyFileData(const QString &source, const QString &destination);

// Renames source to destination; when that fails, copies it (the source stays).
// A read-only source that cannot be renamed raises EFCantMove.
void RelocateFile(const QString &source, const QString &destination);

// True when every bit of mask is among the attributes of the named file or folder.
bool TestFileAttr(const QString &fileName, unsigned short mask);

// The text repeated count times.
QString ReplicateText(const QString &text, int count);
