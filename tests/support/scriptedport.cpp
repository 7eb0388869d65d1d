#include "scriptedport.h"

#include <QMetaObject>

bool ScriptedPort::deliver(const QByteArray& bytes)
{
    if (!mOpen) return false;
    if (mModuleRate != 0 && lastSettings().baudRate != mModuleRate) return false;
    mReceived += bytes;
    QMetaObject::invokeMethod(this, [this] { if (!mReceived.isEmpty()) emit readyRead(); },
                              Qt::QueuedConnection);
    return true;
}

void ScriptedPort::pull(const QString& why)
{
    if (!mOpen) return;
    emit lost(why);
}

QByteArray ScriptedPort::takeWritten()
{
    QByteArray all = mWritten;
    mWritten.clear();
    return all;
}

void ScriptedPort::close()
{
    if (mOpen) ++mCloses;
    mOpen = false;
    mReceived.clear();
}

bool ScriptedPort::open(const LineSettings& settings)
{
    mOpenings.append(settings);
    mOpen = !mFailOpen;
    return mOpen;
}

bool ScriptedPort::write(const QByteArray& bytes)
{
    if (!mOpen || mFailWrites) return false;
    mWritten += bytes;
    return true;
}

QByteArray ScriptedPort::readAll()
{
    QByteArray all = mReceived;
    mReceived.clear();
    return all;
}
