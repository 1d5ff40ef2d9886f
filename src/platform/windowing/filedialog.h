#pragma once
// The platform's file open dialog. Windows call OpenFileDialog; tests put a
// chooser of their own in its place.
#include <QString>
#include <functional>

// Shows a modal dialog, titled title ("Abrir" when empty), opened at the
// folder initialDir (a Windows path; the top of drive C: when it is no
// folder), in which the user picks an existing file. Returns the chosen
// file as a Windows path (a host file outside drive C: as a Z: path), or an
// empty text when the user cancels.
QString OpenFileDialog(const QString &initialDir, const QString &title = QString());

// Replaces the dialog: the chooser receives initialDir and title and returns
// the chosen file or an empty text. An empty function restores the dialog.
using FileChooser = std::function<QString(const QString &initialDir, const QString &title)>;
void setFileChooser(FileChooser chooser);
