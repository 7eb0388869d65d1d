// The painted panel behind the large heading, with and without "Contrast", and the
// value label's font.
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTest>

#include "fixedclock.h"
#include "link/portlist.h"
#include "scriptedprompter.h"
#include "ui/controls.h"
#include "ui/wdwmain.h"

namespace {
struct Fixture {
    Fixture()
    {
        env.ports = &ports;
        env.prompter = &prompter;
        env.clock = &clock;
        env.preferencesFolder = folder.path();
        window = std::make_unique<WdwMain>(env);
    }
    QTemporaryDir folder;
    PortList ports;
    ScriptedPrompter prompter;
    FixedClock clock;
    WdwMainEnvironment env;
    std::unique_ptr<WdwMain> window;
};

bool near(QRgb a, const QColor& b, int tolerance = 2)
{
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

QString rgb(QRgb c) { return QStringLiteral("(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)); }
}  // namespace

class TestCurrentReading : public QObject {
    Q_OBJECT
private slots:
    void panel_data();
    void panel();
    void valueFont();
};

void TestCurrentReading::panel_data()
{
    QTest::addColumn<bool>("contrast");
    QTest::newRow("contrast") << true;
    QTest::newRow("window colour") << false;
}

void TestCurrentReading::panel()
{
    QFETCH(bool, contrast);
    Fixture f;
    WdwMain& w = *f.window;
    w.CheckContrast->setChecked(contrast);
    QCOMPARE(w.CanvasReadingBackground->size(), QSize(378, 221));

    // The panel as the Test tab shows it, the two labels on it included.
    w.TabMain->setCurrentIndex(3);
    const QImage image = w.CanvasReadingBackground->grab().toImage();
    QCOMPARE(image.size(), QSize(378, 221));

    const QColor window = w.WindowBackgroundColour();
    QVERIFY(window.isValid());
    const QColor grey(180, 180, 180), black(0, 0, 0);
    // Frame: the outermost and the fifth ring of pixels on every side.
    const QList<QPoint> frame{{0, 0}, {4, 4}, {377, 0}, {373, 4}, {0, 220}, {4, 216},
                              {377, 220}, {373, 216}, {188, 0}, {188, 4}, {0, 110}, {4, 110},
                              {377, 110}, {373, 110}, {188, 220}, {188, 216}};
    // Inside the frame, away from the texts.
    const QList<QPoint> inside{{5, 5}, {372, 5}, {5, 215}, {372, 215}, {20, 110}, {360, 110},
                               {188, 8}, {188, 212}};
    for (const QPoint& p : frame)
        QVERIFY2(near(image.pixel(p), contrast ? grey : window),
                 qPrintable(QStringLiteral("frame at %1,%2 is %3").arg(p.x()).arg(p.y()).arg(rgb(image.pixel(p)))));
    for (const QPoint& p : inside)
        QVERIFY2(near(image.pixel(p), contrast ? black : window),
                 qPrintable(QStringLiteral("inside at %1,%2 is %3").arg(p.x()).arg(p.y()).arg(rgb(image.pixel(p)))));

    // The texts: yellow over the black panel, black over the window colour.
    int yellow = 0, dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 60) ++yellow;
            if (qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40) ++dark;
        }
    if (contrast) {
        QVERIFY2(yellow > 500, qPrintable(QString::number(yellow)));
    } else {
        QCOMPARE(yellow, 0);
        QVERIFY2(dark > 500, qPrintable(QString::number(dark)));
    }
}

void TestCurrentReading::valueFont()
{
    // "System" is asked for first; the laid-out size and weight stay, and the widest
    // reading of the usual range fits the label.
    Fixture f;
    const QLabel* value = f.window->StaticReadingHeadingValue;
    const QFont font = value->font();
    QVERIFY(!font.families().isEmpty());
    QCOMPARE(font.families().first(), QStringLiteral("System"));
    QCOMPARE(font.pixelSize(), 80);
    QVERIFY(font.bold());
    const QFontMetrics metrics(font);
    for (const QString& text : {QStringLiteral("000.0"), QStringLiteral("360.0"), QStringLiteral("6400")})
        QVERIFY2(metrics.horizontalAdvance(text) <= value->width(),
                 qPrintable(QStringLiteral("%1 needs %2 px").arg(text).arg(metrics.horizontalAdvance(text))));
}

QTEST_MAIN(TestCurrentReading)
#include "test_currentreading.moc"
