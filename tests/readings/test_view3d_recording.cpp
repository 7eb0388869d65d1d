// The recording 3D view reads back the heading a model was turned to: scenarios check
// the 3D view through it, so a wrong sign or a stale orientation would hide faults.
#include <QtTest>
#include <cmath>

#include "readings/view3d_recording.h"

class TestView3DRecording : public QObject {
    Q_OBJECT
private slots:
    void headingFromOrientation_data();
    void headingFromOrientation();
    void laterOrientationReplacesEarlierTurns();
    void withoutObjectGroupNothingIsBuilt();
};

void TestView3DRecording::headingFromOrientation_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("z");
    QTest::addColumn<double>("radians");
    QTest::addColumn<bool>("known");
    QTest::addColumn<double>("heading");
    const double pi = M_PI;
    QTest::newRow("heading 90") << 0.0 << 1.0 << 0.0 << -pi / 2 << true << 90.0;
    QTest::newRow("heading 0") << 0.0 << 1.0 << 0.0 << 0.0 << true << 0.0;
    QTest::newRow("heading 450 kept as handed") << 0.0 << 1.0 << 0.0 << -450 * pi / 180 << true << 450.0;
    QTest::newRow("negative axis") << 0.0 << -1.0 << 0.0 << pi / 2 << true << 90.0;
    QTest::newRow("about z is no heading") << 0.0 << 0.0 << 1.0 << pi / 2 << false << 0.0;
    QTest::newRow("tilted axis is no heading") << 0.5 << 1.0 << 0.0 << pi / 2 << false << 0.0;
}

void TestView3DRecording::headingFromOrientation()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, z);
    QFETCH(double, radians);
    QFETCH(bool, known);
    QFETCH(double, heading);
    QWidget parent;
    RecordingView3D view(&parent);
    const View3D::Object model = view.createObject("o helicopter\n");
    QVERIFY(!view.headingOf(model));
    view.setOrientation(model, x, y, z, radians);
    const std::optional<double> seen = view.headingOf(model);
    QCOMPARE(seen.has_value(), known);
    if (known) QVERIFY2(std::abs(*seen - heading) < 1e-9, qPrintable(QString::number(*seen)));
}

void TestView3DRecording::laterOrientationReplacesEarlierTurns()
{
    QWidget parent;
    RecordingView3D view(&parent);
    const View3D::Object big = view.createObject("m");
    const View3D::Object small = view.createObject("m");
    view.yaw(big, 3.14);
    view.setOrientation(big, 0, 1, 0, -M_PI / 4);
    view.pitch(big, -0.5);
    view.setOrientation(small, 0, 0, 1, M_PI / 4);
    QCOMPARE(view.object(big)->turnsSinceOrientation, QStringList{QStringLiteral("pitch -0.5")});
    QVERIFY(std::abs(*view.headingOf(big) - 45.0) < 1e-9);
    view.setOrientation(big, 0, 1, 0, -M_PI);
    QVERIFY(view.object(big)->turnsSinceOrientation.isEmpty());
    QVERIFY(std::abs(*view.headingOf(big) - 180.0) < 1e-9);
    QVERIFY(!view.headingOf(small));
    QVERIFY(!view.headingOf(7));
    view.yaw(7, 1.0);
    QCOMPARE(view.invalidCalls(), 1);
}

void TestView3DRecording::withoutObjectGroupNothingIsBuilt()
{
    QWidget parent;
    RecordingView3D view(&parent, false);
    QVERIFY(!view.hasObjectGroup());
    QCOMPARE(view.createObject("m"), -1);
    QCOMPARE(view.objectCount(), 0);
    QCOMPARE(view.widget()->parentWidget(), &parent);
}

QTEST_MAIN(TestView3DRecording)
#include "test_view3d_recording.moc"
