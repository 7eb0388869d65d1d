// The Test tab's 3D view as it appears on screen: the model is drawn, the heading
// turns it, and the native 3D window leaves the other tabs alone. Needs a display with
// OpenGL (ctest runs it under Xvfb); elsewhere it skips.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "fixedclock.h"
#include "link/portlist.h"
#include "readings/view3d_qt.h"
#include "scriptedprompter.h"
#include "ui/wdwmain.h"

namespace {

constexpr int kTestTab = 3;

// Pixels that differ from a colour by more than a rendering tolerance.
bool differs(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) > 24 || qAbs(qGreen(a) - qGreen(b)) > 24 ||
           qAbs(qBlue(a) - qBlue(b)) > 24;
}

double differingFraction(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return 1.0;
    qint64 count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (differs(a.pixel(x, y), b.pixel(x, y))) ++count;
    return double(count) / (double(a.width()) * a.height());
}

double fractionUnlike(const QImage& image, QRgb colour)
{
    qint64 count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (differs(image.pixel(x, y), colour)) ++count;
    return double(count) / (double(image.width()) * image.height());
}

// The helicopter's painted body: a strong red that no control of the window uses.
int bodyPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qRed(c) > 100 && qGreen(c) < qRed(c) / 2 && qBlue(c) < qRed(c) / 2) ++count;
        }
    return count;
}

}  // namespace

class TestView3DPicture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void modelIsDrawn();
    void headingTurnsThePicture_data();
    void headingTurnsThePicture();
    void aBurstEndsOnItsLastHeading();
    void otherTabsHideTheView_data();
    void otherTabsHideTheView();

private:
    // What the screen shows in a rectangle of global coordinates, once the picture
    // has stopped changing.
    QImage settledGrab(const QRect& area);
    QRect viewArea() const;
    void showHeading(float heading);

    QTemporaryDir mFolder;
    PortList mPorts;
    ScriptedPrompter mPrompter;
    FixedClock mClock;
    std::unique_ptr<WdwMain> mWindow;
    QRect mShownArea;
};

void TestView3DPicture::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs a display: the picture test runs under xvfb-run");
    if (!openGLAvailable()) QSKIP("no OpenGL context can be made on this display");

    WdwMainEnvironment env;
    env.ports = &mPorts;
    env.prompter = &mPrompter;
    env.clock = &mClock;
    env.preferencesFolder = mFolder.path();
    env.view3DFactory = createQt3DView;
    mWindow = std::make_unique<WdwMain>(env);
    QVERIFY(mPrompter.shown.isEmpty());
    QVERIFY(mWindow->m3DModel >= 0);
    mWindow->move(0, 0);
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mWindow.get()));
    mWindow->TabMain->setCurrentIndex(kTestTab);
    QCOMPARE(mWindow->TabMain->currentIndex(), kTestTab);
    mShownArea = viewArea();
    QCOMPARE(mShownArea.size(), QSize(378, 414));
}

void TestView3DPicture::cleanupTestCase()
{
    if (mWindow) mWindow->allowClose();
    mWindow.reset();
}

QRect TestView3DPicture::viewArea() const
{
    QWidget* view = mWindow->View3DHelicopter;
    return {view->mapToGlobal(QPoint(0, 0)), view->size()};
}

QImage TestView3DPicture::settledGrab(const QRect& area)
{
    QScreen* screen = mWindow->screen();
    QImage previous;
    QElapsedTimer clock;
    clock.start();
    while (true) {
        QTest::qWait(120);
        const QImage image =
            screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage().convertToFormat(QImage::Format_RGB32);
        if (image == previous && clock.elapsed() > 400) return image;
        if (clock.elapsed() > 8000) return image;
        previous = image;
    }
}

void TestView3DPicture::showHeading(float heading)
{
    mWindow->Update3DModel(heading, 0, 0);
}

void TestView3DPicture::modelIsDrawn()
{
    showHeading(0);
    const QImage image = settledGrab(mShownArea);
    // The sky is the window's colour, and the models cover a fair part of it.
    const QRgb window = mWindow->WindowBackgroundColour().rgb();
    QVERIFY(!differs(image.pixel(0, 0), window));
    QVERIFY(!differs(image.pixel(image.width() - 1, image.height() - 1), window));
    const double covered = fractionUnlike(image, window);
    QVERIFY2(covered > 0.03 && covered < 0.6, qPrintable(QString::number(covered)));
    QVERIFY(bodyPixels(image) > 500);
}

void TestView3DPicture::headingTurnsThePicture_data()
{
    QTest::addColumn<float>("from");
    QTest::addColumn<float>("to");
    QTest::addColumn<bool>("same");
    QTest::newRow("quarter turn") << 0.f << 90.f << false;
    QTest::newRow("half turn") << 90.f << 270.f << false;
    QTest::newRow("a full turn more") << 90.f << 450.f << true;
    QTest::newRow("a full turn less") << 30.f << -330.f << true;
}

void TestView3DPicture::headingTurnsThePicture()
{
    QFETCH(float, from);
    QFETCH(float, to);
    QFETCH(bool, same);
    showHeading(from);
    const QImage before = settledGrab(mShownArea);
    showHeading(to);
    const QImage after = settledGrab(mShownArea);
    const double changed = differingFraction(before, after);
    if (same)
        QVERIFY2(changed < 0.002, qPrintable(QString::number(changed)));
    else
        QVERIFY2(changed > 0.02, qPrintable(QString::number(changed)));
}

void TestView3DPicture::aBurstEndsOnItsLastHeading()
{
    // Headings faster than frames, as at the line's full rate: the frames in between
    // are skipped, the last heading is the one shown.
    showHeading(270);
    const QImage expected = settledGrab(mShownArea);
    showHeading(0);
    QVERIFY(differingFraction(expected, settledGrab(mShownArea)) > 0.02);
    for (int step = 1; step <= 270; ++step) {
        showHeading(float(step));
        if (step % 10 == 0) QTest::qWait(1);  // events flow, as between sentences
    }
    const double changed = differingFraction(expected, settledGrab(mShownArea));
    QVERIFY2(changed < 0.002, qPrintable(QString::number(changed)));
}

void TestView3DPicture::otherTabsHideTheView_data()
{
    QTest::addColumn<int>("tab");
    const QStringList names{"Connection", "Configuration", "Calibration", "Test", "Data Logger", "System Log"};
    for (int tab : {0, 1, 2, 4, 5}) QTest::newRow(qPrintable(names[tab])) << tab;
}

void TestView3DPicture::otherTabsHideTheView()
{
    QFETCH(int, tab);
    showHeading(45);
    const QImage shown = settledGrab(mShownArea);
    QVERIFY(bodyPixels(shown) > 500);

    // A stale sky colour, to see the window's colour come back with the tab.
    mWindow->view3D()->setBackgroundColor(QColor(0, 0, 255));
    mWindow->TabMain->setCurrentIndex(tab);
    QCOMPARE(mWindow->TabMain->currentIndex(), tab);
    QCOMPARE(mWindow->View3DHelicopter->size(), QSize(1, 1));
    const QImage other = settledGrab(mShownArea);
    QCOMPARE(bodyPixels(other), 0);
    QVERIFY2(differingFraction(shown, other) > 0.02, "the other tab shows the 3D picture");

    mWindow->TabMain->setCurrentIndex(kTestTab);
    QCOMPARE(viewArea(), mShownArea);
    const QImage back = settledGrab(mShownArea);
    QVERIFY(!differs(back.pixel(0, 0), mWindow->WindowBackgroundColour().rgb()));
    const double changed = differingFraction(shown, back);
    QVERIFY2(changed < 0.002, qPrintable(QString::number(changed)));
}

QTEST_MAIN(TestView3DPicture)
#include "test_view3d_picture.moc"
