// How one reading turns the two helicopter models.
#include <QTest>
#include <QtMath>

#include "readings/orientation.h"

using namespace orientation;

namespace {
double degrees(double radians) { return radians * 180 / kPi; }

struct Pose {
    QQuaternion large;
    QQuaternion small;
};

// The turns a reading makes, in the order the view applies them.
Pose poseFor(float heading, float pitch, float roll)
{
    const Attitude a = attitudeFor(heading, pitch, roll);
    QQuaternion large = axisAngle(kVerticalAxis, a.heading);
    large = turnedAboutOwnAxis(large, kLateralAxis, a.pitch);
    large = turnedAboutOwnAxis(large, kLongitudinalAxis, a.roll);
    QQuaternion small = axisAngle(kLongitudinalAxis, a.arrow);
    small = turnedAboutOwnAxis(small, kLateralAxis, a.arrowTip);
    return {large, small};
}

bool near(const QVector3D& a, const QVector3D& b) { return (a - b).length() < 1e-5f; }
}  // namespace

Q_DECLARE_METATYPE(QVector3D)

class TestOrientation : public QObject {
    Q_OBJECT
private slots:
    void appliedAngles_data();
    void appliedAngles();
    void poses_data();
    void poses();
    void viewHeading_data();
    void viewHeading();
};

void TestOrientation::appliedAngles_data()
{
    QTest::addColumn<float>("heading");
    QTest::addColumn<float>("pitch");
    QTest::addColumn<float>("roll");
    // Degrees actually turned: large model about y, its pitch and roll, small about z.
    QTest::addColumn<double>("largeYaw");
    QTest::addColumn<double>("largePitch");
    QTest::addColumn<double>("largeRoll");
    QTest::addColumn<double>("smallTurn");

    QTest::newRow("reference attitude") << 0.f << 0.f << 0.f << 0. << 0. << 0. << 0.;
    QTest::newRow("east") << 90.f << 0.f << 0.f << -90. << 0. << 0. << 90.;
    QTest::newRow("heading beyond a turn") << 450.f << 0.f << 0.f << -450. << 0. << 0. << 450.;
    QTest::newRow("pitch above 90 held") << 0.f << 120.f << 0.f << 0. << -90. << 0. << 0.;
    QTest::newRow("pitch below -90 held") << 0.f << -100.f << 0.f << 0. << 90. << 0. << 0.;
    QTest::newRow("pitch within range") << 0.f << 45.f << 0.f << 0. << -45. << 0. << 0.;
    QTest::newRow("roll above 180 reduced") << 0.f << 0.f << 270.f << 0. << 0. << -90. << 0.;
    QTest::newRow("roll of 180 kept") << 0.f << 0.f << 180.f << 0. << 0. << 180. << 0.;
    QTest::newRow("roll reduced only once") << 0.f << 0.f << 600.f << 0. << 0. << 240. << 0.;
}

void TestOrientation::appliedAngles()
{
    QFETCH(float, heading);
    QFETCH(float, pitch);
    QFETCH(float, roll);
    QFETCH(double, largeYaw);
    QFETCH(double, largePitch);
    QFETCH(double, largeRoll);
    QFETCH(double, smallTurn);

    const Attitude a = attitudeFor(heading, pitch, roll);
    QVERIFY(qAbs(degrees(a.heading) - largeYaw) < 1e-9);
    QVERIFY(qAbs(degrees(a.pitch) - largePitch) < 1e-9);
    QVERIFY(qAbs(degrees(a.roll) - largeRoll) < 1e-9);
    QVERIFY(qAbs(degrees(a.arrow) - smallTurn) < 1e-9);
    QCOMPARE(a.arrowTip, -1.5707963267948966);
}

void TestOrientation::poses_data()
{
    // Where the noses and tops end up in the scene. The camera looks along +z, so -x is
    // the viewer's right and the small model, tipped nose-up, turns like a map arrow.
    QTest::addColumn<float>("heading");
    QTest::addColumn<float>("pitch");
    QTest::addColumn<float>("roll");
    QTest::addColumn<QVector3D>("largeNose");
    QTest::addColumn<QVector3D>("largeTop");
    QTest::addColumn<QVector3D>("smallNose");
    QTest::addColumn<QVector3D>("smallTop");

    const QVector3D up(0, 1, 0), down(0, -1, 0), away(0, 0, 1), toward(0, 0, -1),
        right(-1, 0, 0), left(1, 0, 0);
    QTest::newRow("north") << 0.f << 0.f << 0.f << away << up << up << toward;
    QTest::newRow("east") << 90.f << 0.f << 0.f << right << up << right << toward;
    QTest::newRow("east after a full turn") << 450.f << 0.f << 0.f << right << up << right << toward;
    QTest::newRow("south") << 180.f << 0.f << 0.f << toward << up << down << toward;
    QTest::newRow("west") << 270.f << 0.f << 0.f << left << up << left << toward;
    QTest::newRow("nose up, held at 90") << 0.f << 120.f << 0.f << up << toward << up << toward;
    QTest::newRow("nose down, held at -90") << 0.f << -100.f << 0.f << down << away << up << toward;
    QTest::newRow("right side down") << 0.f << 0.f << 90.f << away << right << up << toward;
    QTest::newRow("270 rolls left side down") << 0.f << 0.f << 270.f << away << left << up << toward;
    QTest::newRow("upside down") << 0.f << 0.f << 180.f << away << down << up << toward;
    QTest::newRow("east, nose up") << 90.f << 30.f << 0.f
                                   << QVector3D(-qCos(qDegreesToRadians(30.f)), 0.5f, 0)
                                   << QVector3D(0.5f, qCos(qDegreesToRadians(30.f)), 0)
                                   << right << toward;
}

void TestOrientation::poses()
{
    QFETCH(float, heading);
    QFETCH(float, pitch);
    QFETCH(float, roll);
    QFETCH(QVector3D, largeNose);
    QFETCH(QVector3D, largeTop);
    QFETCH(QVector3D, smallNose);
    QFETCH(QVector3D, smallTop);

    const Pose pose = poseFor(heading, pitch, roll);
    const QVector3D nose(0, 0, 1), top(0, 1, 0);
    QVERIFY2(near(pose.large.rotatedVector(nose), largeNose), "large model's nose");
    QVERIFY2(near(pose.large.rotatedVector(top), largeTop), "large model's top");
    QVERIFY2(near(pose.small.rotatedVector(nose), smallNose), "small model's nose");
    QVERIFY2(near(pose.small.rotatedVector(top), smallTop), "small model's top");
}

void TestOrientation::viewHeading_data()
{
    QTest::addColumn<float>("heading");
    QTest::addColumn<bool>("mils");
    QTest::addColumn<double>("degrees");

    QTest::newRow("quarter turn in mils") << 1600.f << true << 90.;
    QTest::newRow("half turn in mils") << 3200.f << true << 180.;
    QTest::newRow("fraction of a mil") << 1.5f << true << 0.084375;
    QTest::newRow("degrees pass unchanged") << 1600.f << false << 1600.;
    QTest::newRow("no heading in mils") << -1.f << true << -0.05625;
}

void TestOrientation::viewHeading()
{
    QFETCH(float, heading);
    QFETCH(bool, mils);
    QFETCH(double, degrees);
    QVERIFY(qAbs(viewHeadingDegrees(heading, mils) - degrees) < 1e-9);
}

QTEST_APPLESS_MAIN(TestOrientation)
#include "test_orientation.moc"
