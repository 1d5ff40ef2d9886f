// The controls the windows share: the file list box, the radio group, the
// progress bar.
#include "common/fixture.h"

#include "platform/filesystem/winfs.h"
#include "platform/windowing/accessibility.h"
#include "platform/windowing/controls.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
struct Janela : QWidget {
    Janela()
    {
        auto *layout = new QVBoxLayout(this);
        for (QWidget *w : std::initializer_list<QWidget *>{flbArquivos, RadGrpAmbiente, ProgressBar1})
            layout->addWidget(w);
        flbArquivos->setMask(u"*.TXT"_s);
        RadGrpAmbiente->setTitle(u" Ambiente de Processamento "_s);
        RadGrpAmbiente->setItems({u"Produção"_s, u"Teste"_s});
        RadGrpAmbiente->setItemIndex(0);
        ProgressBar1->setMax(Q_INT64_C(4294967296));
        show();
    }
    FileListBox *flbArquivos = new FileListBox(this);
    RadioGroup *RadGrpAmbiente = new RadioGroup(this);
    ProgressBar *ProgressBar1 = new ProgressBar(this);
};
} // namespace

class TstControls : public QObject {
    Q_OBJECT
private slots:
    void fileListBox()
    {
        fixture::Prefix prefix(false);
        for (const char *f : {"C:\\REM\\b.txt", "C:\\REM\\A.TXT", "C:\\REM\\c.dat", "C:\\REM\\.oculto.txt", "C:\\REM\\SUB\\d.txt",
                              "C:\\OUTRA\\x.txt"})
            fixture::writeFile(QString::fromLatin1(f), "x");
        Janela j;
        FileListBox *flb = j.flbArquivos;
        QSignalSpy cliques(flb, &FileListBox::fileClicked);
        flb->setDirectory(u"c:\\rem\\"_s);
        QCOMPARE(flb->items(), QStringList({"A.TXT", "b.txt"})); // ordinary files of the mask, by name
        QCOMPARE(flb->directory(), u"C:\\rem"_s);
        QCOMPARE(winfs::currentDir(), u"C:\\REM"_s);
        flb->setFileName(u"B.TXT"_s);
        QVERIFY(flb->fileName() == u"b.txt"_s && flb->filePath() == u"C:\\rem\\b.txt"_s);
        // The same folder in other letters: the current folder stays where it was.
        winfs::setCurrentDir(u"C:\\OUTRA"_s);
        fixture::writeFile(u"C:\\REM\\E.TXT"_s, "x");
        flb->setDirectory(u"C:\\REM"_s);
        QCOMPARE(winfs::currentDir(), u"C:\\OUTRA"_s);
        QCOMPARE(flb->items(), QStringList({"A.TXT", "b.txt", "E.TXT"}));
        QCOMPARE(flb->fileName(), u"b.txt"_s);
        // A folder that is not there changes nothing.
        for (const QString &bad : {u"C:\\NADA"_s, u"C:\\REM\\A.TXT"_s})
            QCOMPARE(fixture::errorOf([&] { flb->setDirectory(bad); }), u"Path not found: "_s + bad);
        QVERIFY(flb->directory() == u"C:\\REM"_s && flb->count() == 3);
        // The user's picks are signalled; the program's are not.
        QCOMPARE(cliques.count(), 0);
        QTest::mouseClick(flb->viewport(), Qt::LeftButton, {}, flb->visualRect(flb->model()->index(0, 0)).center());
        QTest::keyClick(flb, Qt::Key_Down);
        QCOMPARE(cliques.count(), 2);
        QCOMPARE(flb->fileName(), u"b.txt"_s);
        flb->setFileName(u"nenhum.txt"_s);
        QCOMPARE(flb->fileName(), QString());

        // A folder of 20,000 files: listed, and a name in other letters found, at once.
        const QString grande = winfs::hostPath(u"C:\\OUTRA"_s);
        for (int i = 0; i < 20000; ++i)
            QFile(grande + u"/R%1.TXT"_s.arg(i, 5, 10, QLatin1Char('0'))).open(QIODevice::WriteOnly);
        QElapsedTimer t;
        t.start();
        flb->setDirectory(u"C:\\OUTRA"_s);
        flb->setFileName(u"r19999.txt"_s);
        QApplication::processEvents();
        QVERIFY(flb->count() == 20001 && flb->fileName() == u"R19999.TXT"_s);
        QVERIFY(t.elapsed() < 3000);
    }

    void radioGroup()
    {
        installAccessibility();
        Janela j;
        RadioGroup *g = j.RadGrpAmbiente;
        QVERIFY(g->itemIndex() == 0 && g->button(0)->isChecked() && g->button(1)->text() == u"Teste"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(g)->text(QAccessible::Name), u" Ambiente de Processamento "_s);
        QSignalSpy cliques(g, &RadioGroup::itemClicked);
        QSignalSpy mudancas(g, &RadioGroup::itemIndexChanged);
        const QPoint marca(6, g->button(1)->height() / 2); // on the round mark
        QTest::mouseClick(g->button(1), Qt::LeftButton, {}, marca);
        QTest::mouseClick(g->button(1), Qt::LeftButton, {}, marca); // already chosen: nothing
        QCOMPARE(g->itemIndex(), 1);
        g->setItemIndex(0);
        g->setItemIndex(-1);
        QVERIFY(cliques.count() == 1 && mudancas.count() == 3);
        QVERIFY(!g->button(0)->isChecked() && !g->button(1)->isChecked());
    }

    void progressBar()
    {
        Janela j;
        ProgressBar *p = j.ProgressBar1;
        p->setPosition(Q_INT64_C(3221225472)); // of 4 GiB, beyond the toolkit's int
        QCOMPARE(p->fraction(), 0.75);
        p->setPosition(Q_INT64_C(5000000000)); // beyond the maximum: a full bar
        QCOMPARE(p->fraction(), 1.0);
        p->setRange64(0, 100);
        p->setPosition(150);
        QCOMPARE(p->value(), p->maximum());
        p->setPosition(-5);
        QCOMPARE(p->value(), 0);
        p->setRange64(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
        p->setPosition(0);
        QVERIFY(qAbs(p->fraction() - 0.5) < 1e-6);
        p->setRange64(0, 0); // an empty file
        QCOMPARE(p->fraction(), 1.0);
    }
};

QTEST_MAIN(TstControls)
#include "tst_controls.moc"
