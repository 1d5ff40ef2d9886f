#pragma once
// Routines shared by the windows: a file attribute test and a text repetition.
#include <QString>

// True when every bit of mask is among the attributes of the named file or folder.
bool TestFileAttr(const QString &fileName, unsigned short mask);

// The text repeated count times.
QString ReplicateText(const QString &text, int count);
