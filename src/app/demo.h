#pragma once
// A demo drive: something to try the program on at once.
//
// On a drive without contracts it lays out a few agencies and one contract per
// system (COB, PDZ, CCC, DEL, IPC) with their remittance and return folders
// under C:\DEMO, remittance files that show what the line-fitting pass does
// (lines shorter and longer than the record, blank lines, CR LF, LF-only and
// CR-only line ends), for the COB contract a CNAB 400 file that passes the
// file checks and the same file in UTF-8, which they offer to convert, and,
// in the transfer program's ENTRADA folders, one return file per contract
// under the bank's name layout, dated today.
#include <QStringList>

namespace zqsetup {

// Lays out the demo and returns the Windows paths of the files it wrote.
// Tables missing on the drive are installed first; existing files are kept.
// A drive that already has contracts is refused before anything changes;
// that and every other failure raise Exception with a Portuguese message.
QStringList layOutDemo();

} // namespace zqsetup
