// What the Test tab asks of the 3D view: the scene built when the view opens, the
// turns of every reading, and a machine without 3D support.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "fixedclock.h"
#include "link/portlist.h"
#include "scriptedprompter.h"
#include "ui/wdwmain.h"

namespace {

struct Call {
    QString op;
    int object;
    QList<double> args;
};

// Records every call, with the object and numeric arguments, and draws nothing.
class RecordingView : public View3D {
public:
    RecordingView(QWidget* parent, bool hasGroup) : mWidget(new QWidget(parent)), mHasGroup(hasGroup) {}

    QList<Call> calls;
    QList<QByteArray> modelTexts;
    QList<QColor> backgrounds;

    QWidget* widget() override { return mWidget; }
    bool hasObjectGroup() const override { return mHasGroup; }
    Object createObject(const QByteArray& modelText) override
    {
        modelTexts << modelText;
        calls << Call{"create", mNext, {}};
        return mNext++;
    }
    void setScale(Object o, float s) override { calls << Call{"scale", o, {s}}; }
    void setPositionY(Object o, float y) override { calls << Call{"positionY", o, {y}}; }
    void appendObject(Object o) override { calls << Call{"append", o, {}}; }
    void setCameraPositionZ(float z) override { calls << Call{"cameraZ", -1, {z}}; }
    void yawCamera(double r) override { calls << Call{"yawCamera", -1, {r}}; }
    void yaw(Object o, double r) override { calls << Call{"yaw", o, {r}}; }
    void pitch(Object o, double r) override { calls << Call{"pitch", o, {r}}; }
    void roll(Object o, double r) override { calls << Call{"roll", o, {r}}; }
    void setOrientation(Object o, double x, double y, double z, double r) override
    {
        calls << Call{"orientation", o, {x, y, z, r}};
    }
    void setBackgroundColor(const QColor& c) override
    {
        backgrounds << c;
        calls << Call{"background", -1, {}};
    }
    void redraw() override { calls << Call{"redraw", -1, {}}; }

private:
    QWidget* mWidget;
    bool mHasGroup;
    int mNext = 0;
};

struct Fixture {
    enum class Facility { Present, NoObjectGroup, NoView };
    explicit Fixture(Facility facility)
    {
        env.ports = &ports;
        env.prompter = &prompter;
        env.clock = &clock;
        env.preferencesFolder = folder.path();
        if (facility != Facility::NoView)
            env.view3DFactory = [this, facility](QWidget* parent) {
                auto v = std::make_unique<RecordingView>(parent, facility == Facility::Present);
                view = v.get();
                return v;
            };
        window = std::make_unique<WdwMain>(env);
    }
    QTemporaryDir folder;
    PortList ports;
    ScriptedPrompter prompter;
    FixedClock clock;
    WdwMainEnvironment env;
    RecordingView* view = nullptr;
    std::unique_ptr<WdwMain> window;
};

using Expected = QList<Call>;

QString describe(const QList<Call>& calls)
{
    QStringList lines;
    for (const Call& c : calls) {
        QStringList args;
        for (double a : c.args) args << QString::number(a, 'g', 17);
        lines << QStringLiteral("%1 %2 (%3)").arg(c.op).arg(c.object).arg(args.join(", "));
    }
    return lines.join("\n");
}

bool same(const QList<Call>& seen, const Expected& expected)
{
    if (seen.size() != expected.size()) return false;
    for (qsizetype i = 0; i < seen.size(); ++i) {
        if (seen[i].op != expected[i].op || seen[i].object != expected[i].object) return false;
        if (seen[i].args.size() != expected[i].args.size()) return false;
        for (qsizetype k = 0; k < seen[i].args.size(); ++k)
            if (qAbs(seen[i].args[k] - expected[i].args[k]) > 1e-12) return false;
    }
    return true;
}

constexpr double pi = 3.141592653589793;
double rad(double degrees) { return degrees * pi / 180; }

}  // namespace

Q_DECLARE_METATYPE(Expected)

class TestView3DHelicopter : public QObject {
    Q_OBJECT
private slots:
    void openBuildsTheScene();
    void readingsTurnTheModels_data();
    void readingsTurnTheModels();
    void withoutThe3DFacility_data();
    void withoutThe3DFacility();
};

void TestView3DHelicopter::openBuildsTheScene()
{
    Fixture f(Fixture::Facility::Present);
    QVERIFY(f.view);
    // The large model first, then the small one, then the camera, the turns and the
    // window's colour.
    const Expected expected{
        {"create", 0, {}},         {"scale", 0, {5}},      {"positionY", 0, {2}},
        {"append", 0, {}},         {"create", 1, {}},      {"scale", 1, {3}},
        {"positionY", 1, {-2}},    {"append", 1, {}},      {"cameraZ", -1, {-10}},
        {"yawCamera", -1, {3.14}}, {"yaw", 0, {3.14}},     {"pitch", 1, {-1.57}},
        {"background", -1, {}},    {"redraw", -1, {}},
    };
    QVERIFY2(same(f.view->calls, expected), qPrintable(describe(f.view->calls)));
    QCOMPARE(f.window->m3DModel, 0);
    QCOMPARE(f.window->mArrowModel, 1);
    QCOMPARE(f.view->backgrounds, QList<QColor>{f.window->WindowBackgroundColour()});
    QVERIFY(f.prompter.shown.isEmpty());

    // Both objects take their shape from the helicopter model kept in the resources,
    // read once.
    QFile resource(":/helicopter.obj");
    QVERIFY(resource.open(QIODevice::ReadOnly));
    const QByteArray model = resource.readAll();
    QVERIFY(model.contains("\nf "));
    QCOMPARE(f.view->modelTexts, (QList<QByteArray>{model, model}));
    QCOMPARE(f.window->Helicopter(), model);
    QCOMPARE(f.window->Helicopter().constData(), f.window->Helicopter().constData());
}

void TestView3DHelicopter::readingsTurnTheModels_data()
{
    QTest::addColumn<float>("heading");
    QTest::addColumn<float>("pitch");
    QTest::addColumn<float>("roll");
    QTest::addColumn<Expected>("expected");

    auto turns = [](double largeY, double largePitch, double largeRoll, double smallZ) {
        return Expected{
            {"orientation", 0, {0, 1, 0, rad(largeY)}},
            {"pitch", 0, {rad(largePitch)}},
            {"roll", 0, {rad(largeRoll)}},
            {"orientation", 1, {0, 0, 1, rad(smallZ)}},
            {"pitch", 1, {-1.5707963267948966}},
            {"background", -1, {}},
            {"redraw", -1, {}},
        };
    };
    QTest::newRow("reference attitude") << 0.f << 0.f << 0.f << turns(0, 0, 0, 0);
    QTest::newRow("east, pitch held at 90, roll 270 as -90")
        << 90.f << 120.f << 270.f << turns(-90, -90, -90, 90);
    QTest::newRow("beyond a turn, pitch held at -90, roll 180 kept")
        << 450.f << -100.f << 180.f << turns(-450, 90, 180, 450);
    QTest::newRow("fractional heading, small pitch and roll")
        << 12.5f << -7.25f << 3.5f << turns(-12.5, 7.25, 3.5, 12.5);
}

void TestView3DHelicopter::readingsTurnTheModels()
{
    QFETCH(float, heading);
    QFETCH(float, pitch);
    QFETCH(float, roll);
    QFETCH(Expected, expected);

    Fixture f(Fixture::Facility::Present);
    f.view->calls.clear();
    f.view->backgrounds.clear();
    f.window->Update3DModel(heading, pitch, roll);
    QVERIFY2(same(f.view->calls, expected), qPrintable(describe(f.view->calls)));
    QCOMPARE(f.view->backgrounds, QList<QColor>{f.window->WindowBackgroundColour()});
}

void TestView3DHelicopter::withoutThe3DFacility_data()
{
    QTest::addColumn<int>("facility");
    QTest::newRow("view without an object group") << int(Fixture::Facility::NoObjectGroup);
    QTest::newRow("no view at all") << int(Fixture::Facility::NoView);
}

void TestView3DHelicopter::withoutThe3DFacility()
{
    QFETCH(int, facility);
    Fixture f{Fixture::Facility(facility)};

    QCOMPARE(f.prompter.shown, QStringList{"You need to install QuickDraw 3D or Quesa!"});
    QCOMPARE(f.window->m3DModel, -1);
    QCOMPARE(f.window->mArrowModel, -1);
    QVERIFY(f.window->View3DHelicopter);
    if (f.view) QVERIFY2(f.view->calls.isEmpty(), qPrintable(describe(f.view->calls)));

    // Readings keep coming in test mode; they turn nothing and fail nowhere.
    f.window->Update3DModel(90, 10, 200);
    f.window->Update3DModel(-1, 0, 0);
    if (f.view) QVERIFY2(f.view->calls.isEmpty(), qPrintable(describe(f.view->calls)));
    QCOMPARE(f.prompter.shown.size(), 1);
}

QTEST_MAIN(TestView3DHelicopter)
#include "test_view3dhelicopter.moc"
