#pragma once
// Paints a window at most a given number of times a second. A module streaming at the
// line's full rate changes a reading some 200 times a second, and Qt repaints a widget
// window once per burst of events, that is once per sentence; the eye takes no more than
// a few dozen frames. The first change after a quiet spell is painted at once; changes
// that follow sooner than one frame are gathered and painted together when the frame
// is due. Nothing is dropped: the widgets keep their state, only painting waits.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

class PaintPacer : public QObject {
public:
    PaintPacer(QWidget* window, int framesPerSecond);

    // Paints so far, for the tests and the benchmarks.
    qint64 paints() const { return mPaints; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintNow();

    QWidget* mWindow;
    int mIntervalMs;
    QElapsedTimer mSincePaint;
    QTimer mDue;
    bool mReleasing = false;
    qint64 mPaints = 0;
};
