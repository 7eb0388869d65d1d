#include "paintpacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

PaintPacer::PaintPacer(QWidget* window, int framesPerSecond)
    : QObject(window), mWindow(window), mIntervalMs(1000 / std::max(1, framesPerSecond))
{
    mDue.setSingleShot(true);
    mDue.setTimerType(Qt::PreciseTimer);
    connect(&mDue, &QTimer::timeout, this, &PaintPacer::paintNow);
    window->installEventFilter(this);
}

bool PaintPacer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != mWindow || event->type() != QEvent::UpdateRequest || mReleasing) return false;
    const qint64 since = mSincePaint.isValid() ? mSincePaint.elapsed() : mIntervalMs;
    if (since >= mIntervalMs) {
        mSincePaint.start();
        ++mPaints;
        return false;  // painted now, by the window
    }
    // Too soon: the dirty regions stay with the window and are painted when the frame
    // is due. One wake-up serves every request until then.
    if (!mDue.isActive()) mDue.start(int(mIntervalMs - since));
    return true;
}

void PaintPacer::paintNow()
{
    // The window handles an update request by painting whatever is dirty, so one sent
    // here paints everything gathered since the last frame.
    mSincePaint.start();
    ++mPaints;
    mReleasing = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(mWindow, &request);
    mReleasing = false;
}
