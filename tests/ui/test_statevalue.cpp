// Shared state written as text, as scenarios compare it: floats with the fewest digits
// that read back as the same float.
#include <QTest>

#include "windowfixture.h"

class TestStateValue : public QObject {
    Q_OBJECT
private slots:
    void floats_data();
    void floats();
};

void TestStateValue::floats_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("whole") << 3200.0f << "3200";
    QTest::newRow("no double digits") << 7.26f << "7.26";
    QTest::newRow("near a full turn") << 359.96f << "359.96";
    QTest::newRow("negative") << -1.0f << "-1";
    QTest::newRow("small fraction") << 0.1f << "0.1";
}

void TestStateValue::floats()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    WindowFixture f;
    f.window->mHeading = value;
    f.window->mPitch = value;
    QCOMPARE(f.window->stateValue("mHeading"), text);
    QCOMPARE(f.window->stateValue("mPitch"), text);
    QCOMPARE(f.window->stateValue("mHeading").toFloat(), value);
}

QTEST_MAIN(TestStateValue)
#include "test_statevalue.moc"
