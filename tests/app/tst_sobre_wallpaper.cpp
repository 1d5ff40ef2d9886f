// The about box, the JPEG decoder behind its picture, and the wallpaper.
#include "app/TWallPaper.h"
#include "app/TfrmPrincipal.h"
#include "app/TfrmSobre.h"
#include "app/artwork.h"
#include "app/jpegimage.h"
#include "common/fixture.h"

#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray resourceBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool allWhite(QWidget *w)
{
    const QImage img = w->grab().toImage();
    for (int y = 0; y < img.height(); y += 7)
        for (int x = 0; x < img.width(); x += 7)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

} // namespace

class TestSobreWallpaper : public QObject {
    Q_OBJECT
private slots:
    void decodesAboutPicture();
    void rejectsDamagedJpeg_data();
    void rejectsDamagedJpeg();
    void wallpaperPicture();
    void tilePositions_data();
    void tilePositions();
    void hookGoesWithComponent();
    void mainWindowWallpaper();
    void aboutBoxWindow();
    void aboutBoxClosing_data();
    void aboutBoxClosing();
};

void TestSobreWallpaper::decodesAboutPicture()
{
    const QByteArray bytes = resourceBytes(artwork::aboutPicture());
    // Baseline frame with three components, nothing progressive.
    const int sof = int(bytes.indexOf(QByteArray("\xFF\xC0", 2)));
    QVERIFY(sof > 0);
    QCOMPARE(int(uchar(bytes[sof + 9])), 3);
    QVERIFY(!bytes.contains(QByteArray("\xFF\xC2", 2)));

    const QImage img = decodeJpeg(bytes);
    QCOMPARE(img.size(), QSize(495, 263));
    QCOMPARE(img.format(), QImage::Format_RGB888);
    const QColor band = img.pixelColor(5, 5); // the title band is blue
    QVERIFY2(band.blue() > band.red() + 60, qPrintable(band.name()));
}

void TestSobreWallpaper::rejectsDamagedJpeg_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = resourceBytes(artwork::aboutPicture());
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a jpeg") << QByteArray("BM this is no picture at all");
    QTest::newRow("header only") << good.left(300);
    QTest::newRow("cut in the middle") << good.left(good.size() / 2);
    QTest::newRow("end marker missing") << good.left(good.size() - 2);
    QByteArray garbled = good;
    for (qsizetype i = garbled.indexOf(QByteArray("\xFF\xDA", 2)) + 40; i < garbled.size() - 2; i += 97)
        garbled[i] = '\xFF';
    QTest::newRow("garbled data") << garbled;
}

void TestSobreWallpaper::rejectsDamagedJpeg()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(decodeJpeg(bytes).isNull());
}

void TestSobreWallpaper::wallpaperPicture()
{
    const QByteArray bmp = resourceBytes(artwork::wallpaperPicture());
    QVERIFY(bmp.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<quint16>(bmp.constData() + 28), quint16(24)); // bits per pixel
    QCOMPARE(qFromLittleEndian<quint32>(bmp.constData() + 30), quint32(0));  // uncompressed

    const QImage img = TWallPaper::defaultPicture();
    QCOMPARE(img.size(), QSize(600, 400));
    QCOMPARE(img.depth(), 24);
    // Light everywhere, so that windows stay readable on it.
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QVERIFY(img.pixelColor(x, y).lightness() >= 200);
}

void TestSobreWallpaper::tilePositions_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QList<QPoint>>("expected");
    QTest::newRow("smaller") << QSize(599, 399) << QList<QPoint>{{0, 0}};
    QTest::newRow("empty") << QSize(0, 0) << QList<QPoint>{{0, 0}};
    QTest::newRow("same size") << QSize(600, 400) << QList<QPoint>{{0, 0}, {600, 0}, {0, 400}, {600, 400}};
    QTest::newRow("1200 wide") << QSize(1200, 300) << QList<QPoint>{{0, 0}, {600, 0}, {1200, 0}};
    QTest::newRow("larger, row by row") << QSize(1250, 850)
                                        << QList<QPoint>{{0, 0}, {600, 0}, {1200, 0}, {0, 400}, {600, 400},
                                                         {1200, 400}, {0, 800}, {600, 800}, {1200, 800}};
}

void TestSobreWallpaper::tilePositions()
{
    QFETCH(QSize, client);
    QFETCH(QList<QPoint>, expected);
    QCOMPARE(TWallPaper::tilePositions(client, QSize(600, 400)), expected);
    QVERIFY(TWallPaper::tilePositions(client, QSize()).isEmpty());
}

void TestSobreWallpaper::hookGoesWithComponent()
{
    // On an ordinary window the component paints on the owner itself.
    QWidget owner;
    owner.setAutoFillBackground(true);
    owner.setPalette(QPalette(Qt::white));
    owner.resize(200, 150);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    auto *wp = new TWallPaper(&owner);
    QCOMPARE(wp->target(), &owner);
    QImage tile(64, 64, QImage::Format_RGB888);
    tile.fill(Qt::blue);
    wp->setBitmap(tile);
    QVERIFY(!allWhite(&owner));
    delete wp;
    QVERIFY(allWhite(&owner));

    // The owner's client area is destroyed before the component.
    auto *frame = new QMainWindow;
    frame->setCentralWidget(new QMdiArea);
    QPointer<TWallPaper> wp2 = new TWallPaper(frame);
    QVERIFY(wp2->hooked());
    delete frame;
    QVERIFY(wp2.isNull());
}

void TestSobreWallpaper::mainWindowWallpaper()
{
    fixture::Prefix prefix;
    fixture::Boxes boxes;
    TfrmPrincipal w;
    w.resize(1300, 1000);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWidget *client = w.ClientArea->viewport();
    TWallPaper *wp = w.WallPaper1;
    QCOMPARE(wp->target(), client);
    QVERIFY(wp->enabled());
    const QImage picture = TWallPaper::defaultPicture();
    QCOMPARE(wp->bitmap(), picture);

    auto *child = new QWidget;
    child->setAutoFillBackground(true);
    child->setPalette(QPalette(Qt::red));
    QMdiSubWindow *sub = w.ClientArea->addSubWindow(child);
    sub->setGeometry(100, 100, 200, 150);
    sub->show();
    const QImage shot = client->grab().toImage();
    // Copies from the top left corner, the last ones clipped on the right and bottom.
    for (const QPoint p : {QPoint(3, 3), QPoint(610, 420), QPoint(client->width() - 2, client->height() - 2)})
        QCOMPARE(shot.pixel(p), picture.pixel(p.x() % 600, p.y() % 400));
    // The child window paints itself over the tiles.
    QCOMPARE(shot.pixelColor(sub->mapTo(client, child->geometry().center())), QColor(Qt::red));
    sub->hide();

    // Installed after the component, the counter sees paint events first.
    struct Counter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override { return (paints += e->type() == QEvent::Paint), false; }
    } counter;
    client->installEventFilter(&counter);
    auto repaints = [&](const std::function<void()> &change) {
        const int before = counter.paints;
        change(); // painted at once, not through the event loop
        return counter.paints - before;
    };
    QCOMPARE(repaints([&] { wp->setEnabled(true); }), 0); // no change
    QCOMPARE(repaints([&] { wp->setEnabled(false); }), 1);
    QVERIFY(allWhite(client)); // the main window's background
    QCOMPARE(repaints([&] { wp->setEnabled(true); }), 1);
    QVERIFY(!allWhite(client));
    QCOMPARE(repaints([&] { wp->setBitmap(picture); }), 1); // the same picture again
    QCOMPARE(repaints([&] { wp->setBitmap(QImage()); }), 1);
    QVERIFY(allWhite(client));
    QCOMPARE(boxes.count(), 0);
}

void TestSobreWallpaper::aboutBoxWindow()
{
    TfrmSobre frm;
    QCOMPARE(frm.objectName(), QStringLiteral("frmSobre"));
    QCOMPARE(frm.windowTitle(), QStringLiteral("Renomeia Arquivos Cobrança ZQ - Transferidor 32bits"));
    QCOMPARE(frm.windowModality(), Qt::NonModal);
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    QCOMPARE(frm.size(), QSize(516, 358));

    for (const char *name : {"pnlSobre", "imgSobre", "pnlSobre1", "btnOk"})
        QVERIFY2(frm.findChild<QWidget *>(QLatin1String(name)), name);
    QCOMPARE(frm.pnlSobre->geometry(), QRect(0, 0, 516, 358 - 41));
    QCOMPARE(frm.pnlSobre->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(frm.pnlSobre->autoFillBackground());
    QCOMPARE(frm.pnlSobre1->geometry(), QRect(0, 358 - 41, 516, 41));

    QCOMPARE(frm.imgSobre->geometry(), QRect(4, 4, 495, 263));
    const QImage picture = loadJpeg(artwork::aboutPicture()).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(frm.imgSobre->grab().toImage().pixel(250, 130), picture.pixel(250, 130));

    QCOMPARE(frm.btnOk->parentWidget(), frm.pnlSobre1);
    QCOMPARE(frm.btnOk->text(), QStringLiteral("Ok"));
    QCOMPARE(frm.btnOk->size(), QSize(75, 25));
    QVERIFY(frm.btnOk->isDefault());
    QVERIFY(!frm.btnOk->icon().isNull());
}

void TestSobreWallpaper::aboutBoxClosing_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("click on Ok") << 0;
    QTest::newRow("Enter on the window") << 1;
    QTest::newRow("Enter on the button") << 2;
}

void TestSobreWallpaper::aboutBoxClosing()
{
    QFETCH(int, how);
    fixture::Prefix prefix;
    fixture::Boxes boxes;
    TfrmPrincipal w;
    w.show();

    w.mnuAjudaSobreClick();
    auto *frm = qobject_cast<TfrmSobre *>(w.frmSobre.data());
    QVERIFY(frm);
    QVERIFY(frm->isWindow() && frm->isVisible());
    QVERIFY(!qobject_cast<QMdiSubWindow *>(frm->parentWidget()));
    QVERIFY(!w.mnuAjudaSobre->isEnabled());

    if (how == 0)
        QTest::mouseClick(frm->btnOk, Qt::LeftButton);
    else if (how == 1)
        QTest::keyClick(frm, Qt::Key_Return);
    else
        QTest::keyClick(frm->btnOk, Qt::Key_Enter);
    QVERIFY(!frm->isVisible());
    QVERIFY(w.mnuAjudaSobre->isEnabled());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(w.frmSobre.isNull());
    QCOMPARE(boxes.count(), 0);
}

QTEST_MAIN(TestSobreWallpaper)
#include "tst_sobre_wallpaper.moc"
