#include "platform/windowing/folderdialog.h"
#include "platform/filesystem/winfs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QUrl>

namespace {
FolderBrowser &browser()
{
    static FolderBrowser b;
    return b;
}
} // namespace

void setFolderBrowser(FolderBrowser b)
{
    browser() = std::move(b);
}

QString BrowseForFolder(const QString &title, const QString &root)
{
    if (browser())
        return browser()(title, root);

    QString start = QDir::rootPath();
    if (!root.isEmpty() && root.compare(MyComputerRoot, Qt::CaseInsensitive) != 0 && winfs::directoryExists(root))
        start = winfs::hostPath(root);

    QFileDialog dialog(QApplication::activeWindow(), title, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    return execDriveDialog(dialog);
}

QString execDriveDialog(QFileDialog &dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
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
