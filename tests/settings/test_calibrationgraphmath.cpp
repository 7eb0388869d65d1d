#include <QTest>

#include "settings/calibrationgraphmath.h"

using namespace calgraph;

class TestCalibrationGraphMath : public QObject {
    Q_OBJECT
private slots:
    void labelFormat_data();
    void labelFormat();
    void workedExample();
    void twoIdenticalPoints();
    void constantAxisKeepsItsOwnScale();
    void negativeMinimumAndEdges();
};

void TestCalibrationGraphMath::labelFormat_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0f << "0.00";
    QTest::newRow("negative zero") << -0.0f << "0.00";
    QTest::newRow("negative rounding to zero") << -0.004f << "0.00";
    QTest::newRow("negative half") << -0.5f << "-0.50";
    QTest::newRow("small positive") << 0.25f << "0.25";
    QTest::newRow("leading digit kept") << 0.07f << "0.07";
    QTest::newRow("large") << 12345.678f << "12345.68";
    QTest::newRow("negative large") << -140.0f << "-140.00";
}

void TestCalibrationGraphMath::labelFormat()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(formatLabel(value), text);
}

void TestCalibrationGraphMath::workedExample()
{
    // X spans 140, Y spans 70: both axes take the X scale of 10 units a division.
    const float x[] = {100, 240, 170};
    const float y[] = {-20, 50, 15};
    const Scaling s = scale(x, y, 3);
    QCOMPARE(s.xScale, 10.0f);
    QCOMPARE(s.yScale, 10.0f);
    const QStringList below = horizontalLabels(s);
    QCOMPARE(below.size(), 8);
    QCOMPARE(below.first(), QString("100.00"));
    QCOMPARE(below[1], QString("120.00"));
    QCOMPARE(below.last(), QString("240.00"));
    const QStringList left = verticalLabels(s);
    QCOMPARE(left.size(), 15);
    QCOMPARE(left.first(), QString("-20.00"));
    QCOMPARE(left[1], QString("-10.00"));
    QCOMPARE(left.last(), QString("120.00"));
    // X fills the width; Y only the lower half (224 pixels).
    QCOMPARE(pixel(s, 100, -20, 448, 448), QPoint(0, 448));
    QCOMPARE(pixel(s, 240, 50, 448, 448), QPoint(448, 448 - 224));
    QCOMPARE(pixel(s, 170, 15, 448, 448), QPoint(224, 448 - 112));
}

void TestCalibrationGraphMath::twoIdenticalPoints()
{
    const float x[] = {3.5f, 3.5f};
    const float y[] = {-1.25f, -1.25f};
    const Scaling s = scale(x, y, 2);
    QCOMPARE(s.xScale, 1.0f);
    QCOMPARE(s.yScale, 1.0f);
    QCOMPARE(pixel(s, x[0], y[0], 448, 448), QPoint(0, 448));
    QCOMPARE(horizontalLabels(s).first(), QString("3.50"));
    QCOMPARE(horizontalLabels(s).last(), QString("17.50"));  // xMin + 14
    QCOMPARE(verticalLabels(s).first(), QString("-1.25"));
    QCOMPARE(verticalLabels(s)[1], QString("-0.25"));
    QCOMPARE(verticalLabels(s).last(), QString("12.75"));  // yMin + 14
}

void TestCalibrationGraphMath::constantAxisKeepsItsOwnScale()
{
    // All X equal, Y spans 28: the shared scale 2 stays for Y, X falls back to 1.
    const float x[] = {5, 5, 5};
    const float y[] = {0, 28, 14};
    const Scaling s = scale(x, y, 3);
    QCOMPARE(s.xScale, 1.0f);
    QCOMPARE(s.yScale, 2.0f);
    const QStringList below = horizontalLabels(s);
    QCOMPARE(below[0], QString("5.00"));
    QCOMPARE(below[1], QString("7.00"));
    const QStringList left = verticalLabels(s);
    QCOMPARE(left[1], QString("2.00"));
    QCOMPARE(left.last(), QString("28.00"));
    for (int k = 0; k < 3; ++k) QCOMPARE(pixel(s, x[k], y[k], 448, 448).x(), 0);
    QCOMPARE(pixel(s, 5, 28, 448, 448).y(), 0);
}

void TestCalibrationGraphMath::negativeMinimumAndEdges()
{
    const float x[] = {-0.5f, 13.5f, 6.0f};
    const float y[] = {2.0f, 9.0f, -5.0f};
    const Scaling s = scale(x, y, 3);
    QCOMPARE(s.xMin, -0.5f);
    QCOMPARE(s.yMin, -5.0f);
    QCOMPARE(horizontalLabels(s).first(), QString("-0.50"));
    QCOMPARE(pixel(s, -0.5f, 2.0f, 448, 448).x(), 0);       // smallest X on the left edge
    QCOMPARE(pixel(s, 6.0f, -5.0f, 448, 448).y(), 448);     // smallest Y on the bottom edge
    // Truncation, not rounding: 6.5 units at 1 unit/division of 32 px is 208 px.
    QCOMPARE(pixel(s, 6.0f, 0, 448, 448).x(), 208);
}

QTEST_APPLESS_MAIN(TestCalibrationGraphMath)
#include "test_calibrationgraphmath.moc"
