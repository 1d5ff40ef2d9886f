#include "platform/windowing/filedialog.h"
#include "platform/filesystem/winfs.h"
#include "platform/windowing/folderdialog.h"

#include <QApplication>
#include <QFileDialog>

namespace {
FileChooser &chooser()
{
    static FileChooser c;
    return c;
}
} // namespace

void setFileChooser(FileChooser c)
{
    chooser() = std::move(c);
}

QString OpenFileDialog(const QString &initialDir, const QString &title)
{
    if (chooser())
        return chooser()(initialDir, title);

    const QString start = !initialDir.isEmpty() && winfs::directoryExists(initialDir) ? winfs::hostPath(initialDir)
                                                                                       : winfs::driveCDir();
    QFileDialog dialog(QApplication::activeWindow(), title.isEmpty() ? QStringLiteral("Abrir") : title, start);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return execDriveDialog(dialog);
}
