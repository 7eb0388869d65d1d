#pragma once
// A serial port whose far end is a script: it records every byte the application
// writes and delivers the bytes the script makes the module send.
#include <QList>

#include "link/serialport.h"

class ScriptedPort : public SerialPort {
    Q_OBJECT
public:
    explicit ScriptedPort(QString name, QObject* parent = nullptr)
        : SerialPort(parent), mName(std::move(name)) {}

    // Script side ----------------------------------------------------------------
    void setFailOpen(bool fail) { mFailOpen = fail; }
    // Only this line rate carries the module's bytes (0: any rate).
    void setModuleRate(qint32 rate) { mModuleRate = rate; }
    // The module sends bytes: they arrive (readyRead, queued like a real port) only
    // while the port is open at a rate the module understands. Returns whether
    // they were delivered.
    bool deliver(const QByteArray& bytes);
    // The port disappears (adapter pulled).
    void pull(const QString& why = QStringLiteral("Resource error"));
    // Everything the application wrote, in order, since the last takeWritten().
    QByteArray written() const { return mWritten; }
    QByteArray takeWritten();
    // Bytes delivered that the application has not read yet.
    qsizetype unreadCount() const { return mReceived.size(); }
    const QList<LineSettings>& openings() const { return mOpenings; }
    LineSettings lastSettings() const { return mOpenings.isEmpty() ? LineSettings{} : mOpenings.last(); }
    // Keeps only the last opening (a long-running host would otherwise hoard them).
    void forgetOpenings() { if (mOpenings.size() > 1) mOpenings.remove(0, mOpenings.size() - 1); }
    int closeCount() const { return mCloses; }
    void setFailWrites(bool fail) { mFailWrites = fail; }

    // SerialPort ------------------------------------------------------------------
    QString name() const override { return mName; }
    void close() override;
    bool open(const LineSettings& settings) override;
    bool isOpen() const override { return mOpen; }
    bool write(const QByteArray& bytes) override;
    bool waitForBytesWritten(int) override { return mOpen; }
    QByteArray readAll() override;

private:
    QString mName;
    bool mFailOpen = false;
    bool mFailWrites = false;
    bool mOpen = false;
    qint32 mModuleRate = 0;
    int mCloses = 0;
    QByteArray mWritten;
    QByteArray mReceived;
    QList<LineSettings> mOpenings;
};
