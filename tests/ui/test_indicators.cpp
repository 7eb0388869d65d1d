// The connection indicator, the logo canvases, the pictures behind them and the
// contrast option of the reading display.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTabWidget>
#include <QtTest>

#include "ui/controls.h"
#include "ui/pictures.h"
#include "windowfixture.h"

namespace {
const QStringList kPictures = {"LEDgreen", "LEDhidden",          "LEDoff",    "LEDorange",
                               "LEDred",   "VaroLogoColorSmall", "DravikLogo"};

// What a canvas must show for a picture: the picture with its white made transparent.
bool showsWithWhiteTransparent(const Canvas* canvas, const QPixmap* picture)
{
    if (!canvas->backdrop() || !picture) return false;
    const QImage shown = canvas->backdrop()->toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage source = picture->toImage().convertToFormat(QImage::Format_ARGB32);
    if (shown.size() != source.size()) return false;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb s = source.pixel(x, y);
            const QRgb c = shown.pixel(x, y);
            const bool white = (s & 0xffffff) == 0xffffff;
            if (white ? qAlpha(c) != 0 : (qAlpha(c) != 255 || (c & 0xffffff) != (s & 0xffffff))) return false;
        }
    return true;
}

QColor textColour(const QLabel* label)
{
    return label->palette().color(QPalette::Active, QPalette::WindowText);
}

QColor pixelAt(QWidget* content, QPoint at)
{
    return content->grab(QRect(at, QSize(1, 1))).toImage().pixelColor(0, 0);
}
}  // namespace

class TestIndicators : public QObject {
    Q_OBJECT
private slots:
    void picturesAreLoadedOnceAndDrawn_data();
    void picturesAreLoadedOnceAndDrawn();
    void lampsAreDistinct();
    void indicatorCodes_data();
    void indicatorCodes();
    void codeZeroShowsOrRemovesThePicture();
    void unknownCodesChangeNothing_data();
    void unknownCodesChangeNothing();
    void canvasesOpenWithTheirPictures();
    void contrast_data();
    void contrast();
    void readingCanvasBlendsWithThePanel();
    void windowColourFollowsThePalette();
};

void TestIndicators::picturesAreLoadedOnceAndDrawn_data()
{
    QTest::addColumn<QString>("name");
    for (const QString& name : kPictures) QTest::newRow(qPrintable(name)) << name;
}

void TestIndicators::picturesAreLoadedOnceAndDrawn()
{
    QFETCH(QString, name);
    const QPixmap* picture = Picture(name);
    QVERIFY(picture);
    QVERIFY(!picture->isNull());
    QCOMPARE(Picture(name), picture);  // the same shared picture every time
    // Drawn on white: the corners are background (transparent on a canvas), the middle
    // is not.
    const QImage image = picture->toImage();
    const int w = image.width() - 1, h = image.height() - 1;
    for (QPoint corner : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
        QCOMPARE(image.pixel(corner) & 0xffffff, 0xffffffu);
    if (name != "LEDhidden") QVERIFY((image.pixel(w / 2, h / 2) & 0xffffff) != 0xffffffu);
}

void TestIndicators::lampsAreDistinct()
{
    // Each state must be told apart at a glance: no two lamps look alike in the middle.
    QList<QRgb> middles;
    for (int code = 1; code <= 5; ++code) {
        const QImage lamp = IndicatorPicture(code)->toImage();
        const QRgb middle = lamp.pixel(lamp.width() / 2, lamp.height() / 2);
        QVERIFY2(!middles.contains(middle), qPrintable(QString::number(code)));
        middles << middle;
    }
    QVERIFY(!IndicatorPicture(0));
    QVERIFY(!IndicatorPicture(6));
}

void TestIndicators::indicatorCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("picture");
    QTest::newRow("1 green") << 1 << "LEDgreen";
    QTest::newRow("2 hidden") << 2 << "LEDhidden";
    QTest::newRow("3 off") << 3 << "LEDoff";
    QTest::newRow("4 orange") << 4 << "LEDorange";
    QTest::newRow("5 red") << 5 << "LEDred";
}

void TestIndicators::indicatorCodes()
{
    QFETCH(int, code);
    QFETCH(QString, picture);
    WindowFixture f;
    WdwMain& w = *f.window;
    // From every other lamp, and from a logo, to this one.
    for (int from : {0, 1, 2, 3, 4, 5}) {
        w.SetCanvasBackdrop(w.CanvasConnected, Picture("VaroLogoColorSmall"), 0);
        if (from) w.SetCanvasBackdrop(w.CanvasConnected, nullptr, from);
        w.SetCanvasBackdrop(w.CanvasConnected, Picture("DravikLogo"), code);  // the picture is ignored
        QCOMPARE(w.CanvasConnected->backdropCode(), code);
        QVERIFY(showsWithWhiteTransparent(w.CanvasConnected, Picture(picture)));
    }
}

void TestIndicators::codeZeroShowsOrRemovesThePicture()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    w.SetCanvasBackdrop(w.CanvasConnected, nullptr, 5);
    w.SetCanvasBackdrop(w.CanvasConnected, Picture("DravikLogo"), 0);
    QCOMPARE(w.CanvasConnected->backdropCode(), 0);
    QVERIFY(showsWithWhiteTransparent(w.CanvasConnected, Picture("DravikLogo")));
    w.SetCanvasBackdrop(w.CanvasConnected, nullptr, 0);
    QVERIFY(!w.CanvasConnected->hasBackdrop());
}

void TestIndicators::unknownCodesChangeNothing_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("6") << 6;
    QTest::newRow("-1") << -1;
    QTest::newRow("999") << 999;
}

void TestIndicators::unknownCodesChangeNothing()
{
    QFETCH(int, code);
    WindowFixture f;
    WdwMain& w = *f.window;
    w.SetCanvasBackdrop(w.CanvasConnected, nullptr, 4);
    w.SetCanvasBackdrop(w.CanvasConnected, Picture("DravikLogo"), code);
    QCOMPARE(w.CanvasConnected->backdropCode(), 4);
    QVERIFY(showsWithWhiteTransparent(w.CanvasConnected, Picture("LEDorange")));
}

void TestIndicators::canvasesOpenWithTheirPictures()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    // The indicator is off from the start, even before the module answers.
    QCOMPARE(w.CanvasConnected->backdropCode(), 3);
    QVERIFY(showsWithWhiteTransparent(w.CanvasConnected, Picture("LEDoff")));
    QCOMPARE(w.CanvasConnected->size(), Picture("LEDoff")->size());
    QVERIFY(showsWithWhiteTransparent(w.Canvas1, Picture("VaroLogoColorSmall")));
    QCOMPARE(w.Canvas1->size(), Picture("VaroLogoColorSmall")->size());
    QCOMPARE(w.Canvas1->pos(), QPoint(20, 14));
}

void TestIndicators::contrast_data()
{
    QTest::addColumn<QList<bool>>("clicks");  // the box's values, one after another
    QTest::addColumn<QColor>("colour");
    QTest::newRow("checked") << QList<bool>{true} << QColor(255, 255, 0);
    QTest::newRow("checked, unchecked") << QList<bool>{true, false} << QColor(0, 0, 0);
    QTest::newRow("back and forth") << QList<bool>{true, false, true} << QColor(255, 255, 0);
}

void TestIndicators::contrast()
{
    QFETCH(QList<bool>, clicks);
    QFETCH(QColor, colour);
    WindowFixture f;
    WdwMain& w = *f.window;
    QCOMPARE(textColour(w.StaticReadingHeadingValue), QColor(0, 0, 0));
    for (bool checked : clicks) w.CheckContrast->setChecked(checked);
    QCOMPARE(textColour(w.StaticReadingHeadingValue), colour);
    QCOMPARE(textColour(w.StaticReadingHeading), colour);
    // Redrawn from the initial reading, in degrees.
    QCOMPARE(w.StaticReadingHeadingValue->text(), QString("000.0"));
}

void TestIndicators::windowColourFollowsThePalette()
{
    // The colour is kept between readings; a new palette must not leave it stale.
    WindowFixture f;
    WdwMain& w = *f.window;
    const QColor before = w.WindowBackgroundColour();
    QPalette palette = w.palette();
    const QColor tint(30, 120, 60);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base})
        palette.setColor(role, tint);
    w.setPalette(palette);
    const QColor after = w.WindowBackgroundColour();
    QVERIFY(after != before);
    QVERIFY2(qAbs(after.green() - after.red()) > 40, qPrintable(after.name()));
}

void TestIndicators::readingCanvasBlendsWithThePanel()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.TabMain->setCurrentIndex(3);
    QWidget* content = w.centralWidget();
    // The colour inside "Current Reading" where nothing else is drawn, left of the
    // reading canvas.
    const QColor behind = pixelAt(content, QPoint(46, 300));
    QCOMPARE(w.WindowBackgroundColour(), behind);
    // Without contrast the reading canvas is painted in that colour, so it does not
    // show as a box of its own; the 3D view's sky is set to it too.
    QCOMPARE(pixelAt(content, QPoint(60, 160)), behind);
    QCOMPARE(pixelAt(content, QPoint(425, 370)), behind);
    QCOMPARE(f.view3D->backgroundColor().value_or(QColor()), behind);
}

QTEST_MAIN(TestIndicators)
#include "test_indicators.moc"
