// The painted calibration graph: known points land on the expected pixels, in blue,
// and everything else stays transparent so the grid behind shows through.
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "fixedclock.h"
#include "link/portlist.h"
#include "scriptedprompter.h"
#include "ui/controls.h"
#include "ui/wdwmain.h"

class TestCalibrationGraph : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pointsLandOnExpectedPixels();
    void fewerThanTwoPointsDrawNothingAndKeepLabels();
    void onlyPointsBelowTheCountAreDrawn();

private:
    QImage paintGraph();
    void setPoints(const QVector<float>& x, const QVector<float>& y);

    QTemporaryDir mFolder;
    PortList mPorts;
    ScriptedPrompter mPrompter;
    FixedClock mClock;
    std::unique_ptr<WdwMain> mWindow;
};

void TestCalibrationGraph::init()
{
    WdwMainEnvironment env;
    env.ports = &mPorts;
    env.prompter = &mPrompter;
    env.clock = &mClock;
    env.preferencesFolder = mFolder.path();
    mWindow = std::make_unique<WdwMain>(env);
    mWindow->CanvasUserCalGraph->setGeometry(0, 0, 449, 449);
}

void TestCalibrationGraph::cleanup() { mWindow.reset(); }

void TestCalibrationGraph::setPoints(const QVector<float>& x, const QVector<float>& y)
{
    mWindow->mUserCalDataX = x;
    mWindow->mUserCalDataY = y;
    mWindow->mUserCalDataCount = int(x.size());
}

QImage TestCalibrationGraph::paintGraph()
{
    QImage image(449, 449, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // The canvas's own painting only: the two grid lines that lie inside it are
    // controls of the layout, not the graph.
    mWindow->CanvasUserCalGraph->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

static bool isBlue(QRgb c) { return qAlpha(c) == 255 && qRed(c) == 0 && qGreen(c) == 0 && qBlue(c) == 255; }

void TestCalibrationGraph::pointsLandOnExpectedPixels()
{
    // X spans 0..14, Y spans 0..7: one unit a division on both axes (32 px).
    setPoints({0, 14, 14}, {0, 0, 7});
    const QImage image = paintGraph();

    // The first segment runs along the bottom edge, the second up the right edge.
    QVERIFY(isBlue(image.pixel(0, 448)));
    QVERIFY(isBlue(image.pixel(224, 448)));
    QVERIFY(isBlue(image.pixel(448, 448)));
    QVERIFY(isBlue(image.pixel(448, 448 - 7 * 32)));
    QVERIFY(!isBlue(image.pixel(448, 448 - 7 * 32 - 2)));
    // Away from the line the canvas stays transparent: the grid shows through.
    QCOMPARE(qAlpha(image.pixel(100, 100)), 0);
    QCOMPARE(qAlpha(image.pixel(224, 300)), 0);

    QCOMPARE(mWindow->UserCalGraphY[0]->text(), QString("0.00"));
    QCOMPARE(mWindow->UserCalGraphY[7]->text(), QString("14.00"));
    QCOMPARE(mWindow->UserCalGraphX[0]->text(), QString("0.00"));
    QCOMPARE(mWindow->UserCalGraphX[14]->text(), QString("14.00"));
}

void TestCalibrationGraph::fewerThanTwoPointsDrawNothingAndKeepLabels()
{
    setPoints({-3, 11}, {2, 16});
    paintGraph();
    QCOMPARE(mWindow->UserCalGraphY[0]->text(), QString("-3.00"));

    mWindow->mUserCalDataCount = 1;  // as after Clear and one new point
    const QImage image = paintGraph();
    for (int y = 0; y < 449; y += 7)
        for (int x = 0; x < 449; x += 7) QCOMPARE(qAlpha(image.pixel(x, y)), 0);
    QCOMPARE(mWindow->UserCalGraphY[0]->text(), QString("-3.00"));
}

void TestCalibrationGraph::onlyPointsBelowTheCountAreDrawn()
{
    // Resetting the count does not shrink the arrays; stale entries must not count.
    setPoints({0, 14, 1000}, {0, 14, -1000});
    mWindow->mUserCalDataCount = 2;
    const QImage image = paintGraph();
    QVERIFY(isBlue(image.pixel(0, 448)));
    QVERIFY(isBlue(image.pixel(448, 0)));
    QCOMPARE(mWindow->UserCalGraphX[14]->text(), QString("14.00"));
}

QTEST_MAIN(TestCalibrationGraph)
#include "test_calibrationgraph.moc"
