#include "platform/windowing/folderdialog.h"
#include "platform/filesystem/winfs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QUrl>

namespace {
FolderBrowser &browser()
{
    static FolderBrowser b;
    return b;
}

// The toolkit's dialog names places by their host paths: "drive_c" and "/"
// in its side bar, ".../drive_c/ZQ/COB/ENTRADA" in its "look in" list. The
// user knows the program's drives and Windows paths: the side bar's drives
// are named "C:" and "Z:" (their roots, "C:\" and "Z:\", as tool tips),
// and the list's folders are shown as Windows paths. The dialog names its
// places anew as the user moves about, and they are renamed each time.
class DriveNames : public QObject {
public:
    explicit DriveNames(QFileDialog &dialog) : QObject(&dialog)
    {
        if (auto *sidebar = dialog.findChild<QAbstractItemView *>(QStringLiteral("sidebar")))
            watch(sidebar->model(), true);
        if (auto *lookIn = dialog.findChild<QComboBox *>(QStringLiteral("lookInCombo")))
            watch(lookIn->model(), false);
    }

private:
    void watch(QAbstractItemModel *model, bool drivesByLetter)
    {
        if (!model)
            return;
        const auto again = [model, drivesByLetter] { name(model, drivesByLetter); };
        connect(model, &QAbstractItemModel::rowsInserted, this, again);
        connect(model, &QAbstractItemModel::dataChanged, this, again);
        connect(model, &QAbstractItemModel::modelReset, this, again);
        connect(model, &QAbstractItemModel::layoutChanged, this, again);
        again();
    }

    // The host folder a row of the side bar or of the list stands for: the
    // dialog keeps it in the row as a file address.
    static QString placeOf(const QModelIndex &index)
    {
        const QMap<int, QVariant> data = index.model()->itemData(index);
        for (const QVariant &value : data) {
            if (value.metaType() == QMetaType::fromType<QUrl>() && value.toUrl().isLocalFile())
                return value.toUrl().toLocalFile();
        }
        return QString();
    }

    static void set(QAbstractItemModel *model, const QModelIndex &index, const QString &text, int role)
    {
        if (index.data(role).toString() != text)
            model->setData(index, text, role);
    }

    static void name(QAbstractItemModel *model, bool drivesByLetter)
    {
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            const QString host = placeOf(index);
            if (host.isEmpty()) // "Computador", "Locais recentes"
                continue;
            const QString windows = winfs::windowsPath(host);
            if (!drivesByLetter) {
                set(model, index, windows, Qt::DisplayRole);
                continue;
            }
            set(model, index, windows, Qt::ToolTipRole);
            if (windows.size() == 3) // a drive's root
                set(model, index, windows.left(2), Qt::DisplayRole);
        }
    }
};

} // namespace

void setFolderBrowser(FolderBrowser b)
{
    browser() = std::move(b);
}

QString BrowseForFolder(const QString &title, const QString &root)
{
    if (browser())
        return browser()(title, root);

    QString start = winfs::computerFolder();
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
    // The drives the program knows (C: and, on Linux, the whole host as Z:).
    QList<QUrl> drives;
    for (const QString &root : winfs::driveRoots())
        drives << QUrl::fromLocalFile(root);
    dialog.setSidebarUrls(drives);
    new DriveNames(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return QString();
    return winfs::windowsPath(chosen.first());
}
