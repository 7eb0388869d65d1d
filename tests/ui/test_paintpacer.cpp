// Painting a window at most so many times a second: the first change is painted at
// once, changes that follow within a frame are painted together when it is due, and
// the last change is never left unpainted.
#include <QElapsedTimer>
#include <QPainter>
#include <QtTest>

#include "ui/paintpacer.h"

namespace {
// Remembers each paint and the value it showed.
class Gauge : public QWidget {
public:
    int value = 0;
    QList<int> painted;
    QList<qint64> paintedAt;
    QElapsedTimer clock;

    void show(int v)
    {
        value = v;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), QColor(value % 256, 0, 0));
        painted.append(value);
        paintedAt.append(clock.elapsed());
    }
};

struct PacedWindow {
    explicit PacedWindow(int framesPerSecond) : pacer(&window, framesPerSecond)
    {
        gauge = new Gauge;
        gauge->setParent(&window);
        window.resize(200, 100);
        gauge->setGeometry(10, 10, 50, 50);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) qFatal("window not exposed");
        QTest::qWait(200);  // past the first frames
        gauge->painted.clear();
        gauge->clock.start();
        paintsBefore = pacer.paints();
    }
    QWidget window;
    PaintPacer pacer;
    Gauge* gauge;
    qint64 paintsBefore = 0;
};
}  // namespace

class TestPaintPacer : public QObject {
    Q_OBJECT
private slots:
    void aChangeAfterQuietIsPaintedAtOnce();
    void aStreamOfChangesIsPaintedAtTheFrameRate();
    void aRepaintWaitsForItsFrameToo();
};

void TestPaintPacer::aChangeAfterQuietIsPaintedAtOnce()
{
    PacedWindow w(10);
    w.gauge->show(7);
    QCoreApplication::processEvents();
    QCOMPARE(w.gauge->painted, QList<int>{7});
}

void TestPaintPacer::aStreamOfChangesIsPaintedAtTheFrameRate()
{
    PacedWindow w(20);  // one frame each 50 ms
    // 200 changes a second for a second, as a module at the line's full rate.
    QElapsedTimer t;
    t.start();
    int v = 0;
    while (t.elapsed() < 1000) {
        w.gauge->show(++v);
        QTest::qWait(5);
    }
    QTest::qWait(120);  // the last frame falls due
    const QList<int>& painted = w.gauge->painted;
    QVERIFY2(painted.size() >= 10 && painted.size() <= 22, qPrintable(QString::number(painted.size())));
    QCOMPARE(painted.last(), v);  // nothing left unpainted
    for (int i = 1; i < w.gauge->paintedAt.size(); ++i)
        QVERIFY2(w.gauge->paintedAt[i] - w.gauge->paintedAt[i - 1] >= 45,
                 qPrintable(QString::number(w.gauge->paintedAt[i] - w.gauge->paintedAt[i - 1])));
    QCOMPARE(w.pacer.paints() - w.paintsBefore, painted.size());
}

void TestPaintPacer::aRepaintWaitsForItsFrameToo()
{
    PacedWindow w(10);
    w.gauge->show(1);
    QCoreApplication::processEvents();
    w.gauge->value = 2;
    w.gauge->repaint();  // within the frame: gathered, not lost
    QCOMPARE(w.gauge->painted, QList<int>{1});
    QTRY_COMPARE_WITH_TIMEOUT(w.gauge->painted, (QList<int>{1, 2}), 500);
}

QTEST_MAIN(TestPaintPacer)
#include "test_paintpacer.moc"
