// The file and folder dialogs as the user meets them: the toolkit's texts in
// Portuguese, the program's drives in the side bar, Windows paths in the
// "look in" list.
#include "common/fixture.h"

#include "platform/windowing/filedialog.h"
#include "platform/windowing/folderdialog.h"
#include "platform/windowing/translations.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// What the open dialog shows: its labels, its buttons, the side bar's places
// and the folder it looks in; then the same after `then` ran in it.
QStringList shown(const std::function<QString()> &open, const std::function<void(QFileDialog *)> &then = {})
{
    QStringList seen;
    const auto look = [&seen](QFileDialog *d) {
        QStringList places;
        const QAbstractItemModel *side = d->findChild<QAbstractItemView *>(u"sidebar"_s)->model();
        for (int row = 0; row < side->rowCount(); ++row)
            places << side->index(row, 0).data().toString() + u' ' + side->index(row, 0).data(Qt::ToolTipRole).toString();
        seen << places.join(u", "_s) << d->findChild<QComboBox *>(u"lookInCombo"_s)->currentText();
    };
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        for (const char *name : {"lookInLabel", "fileNameLabel"})
            seen << d->findChild<QLabel *>(QLatin1String(name))->text();
        for (QAbstractButton *b : d->findChild<QDialogButtonBox *>()->buttons())
            seen << b->text();
        look(d);
        if (then) {
            then(d);
            look(d);
        }
        d->reject();
    });
    if (!open().isEmpty())
        seen << u"chosen"_s;
    return seen;
}

} // namespace

class TstFileDialogs : public QObject {
    Q_OBJECT
    // The dialogs keep their history and places in the user's settings: the
    // test's go to a folder of its own.
    QTemporaryDir settings;
private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path())); }

    void portugueseOverTheDrives()
    {
        fixture::Prefix prefix(false);
        fixture::makeDir(u"C:\\ZQ\\COB\\ENTRADA"_s);
        QTemporaryDir none;
        QVERIFY(!loadToolkitTranslations(none.path())); // missing: the toolkit stays in English
        QVERIFY(loadToolkitTranslations());

        // Up from the folder it opened at: its folder listed as a folder.
        QString tipo;
        const auto sobe = [&tipo](QFileDialog *d) {
            d->findChild<QToolButton *>(u"toParentButton"_s)->click();
            const auto *lista = d->findChild<QTreeView *>(u"treeView"_s);
            (void)QTest::qWaitFor([&] {
                tipo = lista->model()->index(0, 2, lista->rootIndex()).data().toString();
                return tipo == u"Pasta"_s;
            });
        };
        const QString drives = u"C: C:\\, Z: Z:\\"_s;
        QCOMPARE(shown([] { return OpenFileDialog(u"C:\\ZQ\\COB\\ENTRADA\\"_s); }, sobe),
                 (QStringList{u"Procurar em:"_s, u"&Nome do arquivo:"_s, u"&Abrir"_s, u"Cancelar"_s, drives,
                              u"C:\\ZQ\\COB\\ENTRADA"_s, drives, u"C:\\ZQ\\COB"_s}));
        QCOMPARE(tipo, u"Pasta"_s);
        // The folder picker at the top of the computer's folders.
        const QStringList picker = shown([] { return BrowseForFolder(u"Diretório"_s, MyComputerRoot); });
        QCOMPARE(picker.mid(2).join(u'|'), u"Es&colher|Cancelar|"_s + drives + u"|Z:\\"_s);
    }
};

QTEST_MAIN(TstFileDialogs)
#include "tst_filedialogs.moc"
