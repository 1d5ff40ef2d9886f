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
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {
// Opens a dialog and reads in it its labels, its buttons, the side bar's
// places and the folder it looks in, then that folder again after `go`.
QString shown(const std::function<QString()> &open, const std::function<void(QFileDialog *)> &go)
{
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        const auto *lookIn = d->findChild<QComboBox *>(u"lookInCombo"_s);
        const QAbstractItemModel *side = d->findChild<QAbstractItemView *>(u"sidebar"_s)->model();
        seen << d->findChild<QLabel *>(u"lookInLabel"_s)->text() << d->findChild<QLabel *>(u"fileNameLabel"_s)->text();
        for (QAbstractButton *b : d->findChild<QDialogButtonBox *>()->buttons())
            seen << b->text();
        for (int row = 0; row < side->rowCount(); ++row)
            seen << side->index(row, 0).data().toString() + u' ' + side->index(row, 0).data(Qt::ToolTipRole).toString();
        seen << lookIn->currentText();
        go(d);
        seen << lookIn->currentText();
        d->reject();
    });
    open();
    return seen.join(u'|');
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

        QString tipo; // of ENTRADA, listed once the dialog has moved up
        const auto sobe = [&tipo](QFileDialog *d) {
            d->findChild<QToolButton *>(u"toParentButton"_s)->click();
            const auto *lista = d->findChild<QTreeView *>(u"treeView"_s);
            (void)QTest::qWaitFor([&] { return !(tipo = lista->model()->index(0, 2, lista->rootIndex()).data().toString()).isEmpty(); });
        };
        QCOMPARE(shown([] { return OpenFileDialog(u"C:\\ZQ\\COB\\ENTRADA\\"_s); }, sobe),
                 u"Procurar em:|&Nome do arquivo:|&Abrir|Cancelar|C: C:\\|Z: Z:\\|C:\\ZQ\\COB\\ENTRADA|C:\\ZQ\\COB"_s);
        // Windows names the types of files itself, in its own language.
        if (fixture::emulatedDrive())
            QCOMPARE(tipo, u"Pasta"_s);
        // The folder picker at the top of the computer's folders.
        QCOMPARE(shown([] { return BrowseForFolder(u"Diretório"_s, MyComputerRoot); }, [](QFileDialog *) {}),
                 u"Procurar em:|Pasta:|Es&colher|Cancelar|C: C:\\|Z: Z:\\|"_s
                     + (fixture::emulatedDrive() ? u"Z:\\|Z:\\"_s : u"C:\\|C:\\"_s));
    }
};

QTEST_MAIN(TstFileDialogs)
#include "tst_filedialogs.moc"
