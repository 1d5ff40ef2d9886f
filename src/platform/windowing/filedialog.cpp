#include "platform/windowing/filedialog.h"
#include "platform/filesystem/winfs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QUrl>

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
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowModality(Qt::ApplicationModal);
    // The drives the program knows: C: and the whole host as Z:.
    dialog.setSidebarUrls({QUrl::fromLocalFile(winfs::driveCDir()), QUrl::fromLocalFile(QDir::rootPath())});
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return QString();
    return winfs::windowsPath(chosen.first());
}
