#include "recordingport.h"

RecordingPort::RecordingPort(SerialPort* inner, std::unique_ptr<SerialPort> owned, WireRecord* record,
                             QObject* parent)
    : SerialPort(parent), mInner(inner), mOwned(std::move(owned)), mRecord(record)
{
    connect(mInner, &SerialPort::readyRead, this, &SerialPort::readyRead);
    connect(mInner, &SerialPort::lost, this, &SerialPort::lost);
}

RecordingPort::~RecordingPort() = default;

bool RecordingPort::write(const QByteArray& bytes)
{
    // Only what reached the line counts: a closed or lost port takes nothing.
    const bool written = mInner->write(bytes);
    if (written && mRecord) mRecord->written += bytes;
    return written;
}
