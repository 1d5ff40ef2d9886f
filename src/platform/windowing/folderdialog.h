#pragma once
// The shell's browse-for-folder dialog. Windows call BrowseForFolder; tests
// put a browser of their own in its place.
#include <QString>
#include <functional>

// Root text that opens the dialog at the top of the computer's folders.
inline const QString MyComputerRoot = QStringLiteral("Meu Computador");

// Shows a modal dialog, titled title, in which the user picks an existing
// folder. It opens at root (a Windows path), or at the top of the computer's
// folders when root is MyComputerRoot, empty or no folder. Returns the
// chosen folder as a Windows path (a host folder outside drive C: as a Z:
// path), or an empty text when the user cancels.
QString BrowseForFolder(const QString &title, const QString &root);

// Replaces the dialog: the browser receives title and root and returns the
// chosen folder or an empty text. An empty function restores the dialog.
// Shows a file dialog set up by the caller over the program's drives (C: and
// the host as Z:) and returns the chosen path as a Windows path; empty when
// the user cancels. The folder and file dialogs both end here.
class QFileDialog;
QString execDriveDialog(QFileDialog &dialog);

using FolderBrowser = std::function<QString(const QString &title, const QString &root)>;
void setFolderBrowser(FolderBrowser browser);
