#pragma once
// Windows paths over the host file system.
//
// The program speaks Windows paths ("C:\ZQ\COB\SAIDA\"). On a POSIX host
// drive C: lives in <prefix>/drive_c, where the prefix is $RENOMEIA_ZQ_PREFIX
// (by default ${XDG_DATA_HOME:-$HOME/.local/share}/renomeia-zq); drive Z: is
// the host root. Every component resolves without regard to case against what
// exists. On Windows the paths are the host's own, except that C: is still
// <prefix>\drive_c when $RENOMEIA_ZQ_PREFIX is set (the prefix is otherwise
// %LOCALAPPDATA%\renomeia-zq, the home of the engine's configuration).
// Only this module knows about host paths; what differs by host is in
// winfs_posix.cpp and winfs_win.cpp.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Windows-1252 text, as the files of the host are read and written.
#include "platform/filesystem/texto1252.h"

namespace winfs {

enum Attr { faReadOnly = 1, faHidden = 2, faSysFile = 4, faDirectory = 16, faArchive = 32, faAnyFile = 63 };

// Host folder of the prefix, and of drive C: inside it.
QString prefixDir();
QString driveCDir();

// Full Windows path: a relative name is completed against the current folder,
// "." and ".." are folded, "/" reads as "\".
QString expandFileName(const QString &name);

// Host path of a Windows path, each existing component matched without regard
// to case. The names of a folder are kept between calls and listed again
// only when the folder changes.
QString hostPath(const QString &windowsName);
// Windows path of a host path: under drive_c as C:, anything else as Z:.
QString windowsPath(const QString &hostName);

// The host folders of the drives a user is shown, drive C: first: C: and the
// host root (Z:) on a POSIX host, C: and every other drive on Windows.
QStringList driveRoots();
// Where the computer's folders begin for a folder picker: the host root (Z:)
// on a POSIX host, drive C: on Windows.
QString computerFolder();

// The process current folder as a Windows path (no trailing "\" but on a root).
QString currentDir();
bool setCurrentDir(const QString &windowsName);

// Folder of the running executable, as a Windows path: programDir() of the
// host folder it lies in.
QString exeDir();
// The folder a program lying in the host folder hostDir counts as its own. An
// installed program lies in a "bin" folder with "share/renomeia-zq" beside it
// (/usr/bin, /usr/local/bin): no place a user can drop a file into, so its
// folder is the one it lived in on Windows, C:\ZQ\REN. Anywhere else (a build
// folder) it is hostDir itself.
QString programDir(const QString &hostDir);

// Attribute bits of a file or folder, -1 when nothing of that name exists.
int fileGetAttr(const QString &name);
bool fileExists(const QString &name);       // a file, not a folder
bool regularFileExists(const QString &name); // a regular file: no folder, FIFO or device
// Size in bytes of a file, -1 when there is none of that name (or it is a folder).
qint64 fileSize(const QString &name);
// True when both names exist and lead to one and the same file or folder
// (another spelling, a link, "..").
bool sameFile(const QString &a, const QString &b);
bool directoryExists(const QString &name);  // a folder
bool createDir(const QString &name);
bool forceDirectories(const QString &name); // every missing folder of the path
bool deleteFile(const QString &name);
bool removeDir(const QString &name);
// The renames below leave the cause of a failure pending (IOResult).
// Renames or moves; fails when the destination exists.
bool renameFile(const QString &oldName, const QString &newName);
// Renames a file within its file system in one step, replacing a file that
// holds the new name (never a folder): at every moment the new name holds
// the old file or this one. Where the host refuses to replace a file that
// another program holds open (Windows), the rename is tried again for a short
// while, then fails with 32.
bool replaceFile(const QString &oldName, const QString &newName);
// Renames a file in one step only when nothing holds the new name (another
// spelling of the same name counts as taken).
bool renameNoReplace(const QString &oldName, const QString &newName);
// Makes the names of a folder's entries durable (after renames and removals).
void syncFolder(const QString &folder);
// Makes the bytes of a closed file durable; false when that failed.
bool syncFile(const QString &name);
// Last-modification stamp in local time, whole seconds; invalid when missing.
QDateTime fileAge(const QString &name);
bool setFileAge(const QString &name, const QDateTime &stamp);
bool setReadOnly(const QString &name, bool readOnly);

// Windows wildcard match of a file name: "?" one character, "*" any run,
// case-insensitive; "*.*" also matches names without a dot.
bool matchesMask(const QString &name, const QString &mask);

struct SearchRec {
    QString name;   // file name without folder
    int attr = 0;
    qint64 size = 0;
    QDateTime time;
};
// Entries of a folder whose names match the mask of the pattern
// ("C:\ZQ\COB\ENTRADA\????????COB*.TXT"), in the order the file system
// returns them. Entries with attributes outside attrMask (folders, hidden)
// are left out unless the mask includes them.
QList<SearchRec> findFiles(const QString &pattern, int attrMask = faAnyFile);

// True for a file name Windows keeps for a device (CON, PRN, AUX, NUL,
// COM1-COM9, LPT1-LPT9, with or without an extension) or one ending in a dot
// or a blank, which Windows drops: no file can be delivered under it.
bool reservedName(const QString &fileName);

// Path pieces, Windows style.
QString extractFileName(const QString &path);
QString extractFilePath(const QString &path);   // with trailing "\"
QString extractFileDir(const QString &path);    // without trailing "\"
QString extractFileExt(const QString &path);    // with the dot
QString includeTrailingBackslash(const QString &path);
QString excludeTrailingBackslash(const QString &path);

} // namespace winfs
