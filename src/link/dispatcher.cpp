// The response dispatcher: every complete line of the receive buffer, in arrival
// order, goes through the error indication and then either the connection step or
// the reply table. This is the only place where the module's replies are acted on.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "../ui/controls.h"
#include "../ui/wdwmain.h"
#include "wireprotocol.h"

namespace {

using wire::Reply;

// An incomplete line longer than this is noise (a wrong line rate, say): it is dropped
// so that the buffer cannot grow without bound.
constexpr qsizetype kLongestIncompleteLine = 64 * 1024;

enum Indicator { Green = 1, Orange = 4, Red = 5 };

class LineHandler {
public:
    LineHandler(WdwMain& window, QByteArrayView line) : w(window), mLine(line) {}

    void run()
    {
        applyErrorIndication();
        const wire::ReplyTags tags = wire::scanReplyTags(mLine);
        if (!w.mConnected) {
            if (tags.hasDollar) connect();
            return;
        }
        if (w.mReadDravikInfo && !tags.contains(Reply::Info)) w.mReadDravikInfo = false;
        dispatch(tags.first());
    }

private:
    void show(int code) { w.SetCanvasBackdrop(w.CanvasConnected, nullptr, code); }
    void send(const char* command) { w.SendData(QByteArray(command), true); }
    bool module20() const { return w.mModuleID == QLatin1String("20"); }
    // A reply's value: from the end of its tag to the first "*".
    QByteArrayView value(Reply reply) const { return wire::extractResponse(mLine, wire::tagOf(reply), "*"); }
    bool valueIs(Reply reply, const char* text) const { return wire::valueIs(value(reply), text); }
    QString valueText(Reply reply) const { return QString::fromLatin1(value(reply)); }

    void applyErrorIndication()
    {
        w.mError = wire::hasErrorIndication(mLine);
        if (w.mError)
            show(Red);
        else if (w.mOldError)
            show(w.TimerSerialActivity->isActive() ? Orange : Green);
        w.mOldError = w.mError;
    }

    // The first line with "$" after the port opened: the module is there. Whatever
    // else arrived with it belongs to the time before and is dropped.
    void connect()
    {
        w.mConnected = true;
        show(Green);
        w.ModuleControls(true);
        w.mInputStr.clear();
        send("b?");
    }

    void dispatch(Reply reply)
    {
        const bool reading = w.mReadConfiguration;
        switch (reply) {
        case Reply::BaudRate:
            if (!reading) return;
            w.mSetModuleBaudRate = false;
            selectRow(w.PopupModuleBaudRate, wire::extractResponse(mLine, wire::tagOf(reply), "\r"));
            w.mSetModuleBaudRate = true;
            send("info?");
            return;
        case Reply::Info:
            if (!reading) return;
            if (!w.mReadDravikInfo) {
                w.mReadDravikInfo = true;
                w.StaticDravikInfo->setText(valueText(reply));
            } else {
                w.StaticModuleInfo->setText(valueText(reply));
                w.mReadDravikInfo = false;
                send("id?");
            }
            return;
        case Reply::Id:
            if (reading) {
                w.mModuleID = valueText(reply);
                w.m3AxisModule = valueIs(reply, "7");
                send("sn?");
            }
            enableModuleDependentControls(!module20());
            return;
        case Reply::NorthReference:
            if (!reading) return;
            setPair(w.RadioMagnetic, w.RadioTrue, valueIs(reply, "m"));
            send("halt?");
            return;
        case Reply::SingleCharHalt:
            if (!reading) return;
            w.CheckSingleCharacterHalt->setChecked(valueIs(reply, "e"));
            send("uc?");
            return;
        case Reply::HeadingUnit:
            if (!reading) return;
            setPair(w.RadioCompassDegrees, w.RadioCompassMils, valueIs(reply, "d"));
            send(module20() ? "mag_dec?" : "ut?");
            return;
        case Reply::TemperatureUnit:
            if (!reading) return;
            setPair(w.RadioTemperatureCelsius, w.RadioTemperatureFahrenheit, valueIs(reply, "c"));
            send("mag_dec?");
            return;
        case Reply::Declination:
            if (!reading) return;
            w.EditDeclination->setText(valueText(reply));
            w.UpdateDataLoggerListBox();
            send(module20() ? "ps?" : "damping?");
            return;
        case Reply::Damping:
            if (!reading) return;
            w.CheckDamping->setChecked(valueIs(reply, "e"));
            send("dampsize?");
            return;
        case Reply::DampSize:
            if (!reading) return;
            selectRowByText(w.PopupDampsize, value(reply));
            send("ps?");
            return;
        case Reply::AsicPeriod:
            if (!reading) return;
            selectRow(w.PopupAsicPeriod, value(reply));
            send("sdo?");
            return;
        case Reply::CompassWord:
            if (w.mTestGoing)
                send("em=d");
            else if (w.mDataLogging)
                send("em=e");
            return;
        case Reply::MagnetometerWord:
            if (module20())
                w.SelectRadio(w.RadioVaroMode);  // its handler sends "sdo=t"
            else if (w.mTestGoing)
                send("et=d");
            else if (w.mDataLogging)
                send("et=e");
            return;
        case Reply::TemperatureWord:
            if (w.mTestGoing)
                w.SelectRadio(w.RadioVaroMode);  // its handler sends "sdo=t"
            else if (w.mDataLogging)
                send("sdo?");
            return;
        case Reply::OutputMode:
            if (reading) {
                setPair(w.RadioVaroMode, w.RadioRawMode, valueIs(reply, "t"));
                w.mReadConfiguration = false;  // the last reply of the configuration read
            } else if (w.mTestGoing || w.mDataLogging) {
                send("go");
                if (w.mDataLogging) w.mDataLoggingNow = true;
            }
            return;
        case Reply::CalibrationStarted:
            if (!w.mUserCalibration) return;
            w.mUserCalDataCount = 0;
            send("go");
            return;
        case Reply::Halted:
            if (w.mDataLogging) {
                w.mInputStr.clear();
                send("ec=e");
                w.SetTimeoutEvent(0, 0);  // cancels a reconnect that may be pending
            } else if (w.mUserCalibration) {
                send("mpcal=d");
            }
            return;
        case Reply::CalibrationStopped:
            if (!w.mUserCalibration) return;
            send("save");
            w.mUserCalibration = false;
            return;
        case Reply::Saved:
            return;
        case Reply::Sentence:
            dataSentence();
            return;
        case Reply::Unmatched:
        case Reply::NoDollar:
            return;
        }
    }

    // Setting from code runs the controls' handlers; the guard flags keep them quiet.
    static void setPair(QRadioButton* first, QRadioButton* second, bool firstSelected)
    {
        // An exclusive radio button cannot be cleared directly: selecting its partner
        // clears it.
        first->setChecked(firstSelected);
        second->setChecked(!firstSelected);
    }

    // A row outside the list is ignored rather than selected.
    static void selectRow(QComboBox* popup, QByteArrayView value)
    {
        if (const auto row = wire::rowNumber(value, popup->count())) popup->setCurrentIndex(*row);
    }

    static void selectRowByText(QComboBox* popup, QByteArrayView value)
    {
        const QString text = QString::fromLatin1(value);
        for (int row = 0; row < popup->count(); ++row) {
            if (popup->itemText(row) == text) {
                popup->setCurrentIndex(row);
                return;
            }
        }
    }

    void enableModuleDependentControls(bool enabled)
    {
        w.PushCalibrationStart->setEnabled(enabled);
        w.PushCalibrationClear->setEnabled(enabled);
        w.RadioTemperatureCelsius->setEnabled(enabled);
        w.RadioTemperatureFahrenheit->setEnabled(enabled);
        w.CheckDamping->setEnabled(enabled);
        w.PopupDampsize->setEnabled(enabled);
    }

    // A word's number: from after its letter to the end mark, ":" when the sentence
    // carries the error indication, else "*".
    float wordValue(const char* letter, QByteArrayView endMark) const
    {
        return float(wire::leadingNumber(wire::extractResponse(mLine, letter, endMark)));
    }

    void dataSentence()
    {
        const QByteArrayView endMark = mLine.indexOf(QByteArrayView(":E")) >= 0 ? ":" : "*";
        if (w.mTestGoing) {
            w.mHeading = wordValue("C", endMark);
            w.mPitch = 0;
            w.mRoll = 0;
            const float degrees = w.RadioCompassMils->isChecked()
                                      ? float(double(w.mHeading) * 360.0 / 6400.0)
                                      : w.mHeading;
            w.Update3DModel(degrees, w.mPitch, w.mRoll);
            w.UpdateCurrentReading();
        } else if (w.mDataLoggingNow) {
            w.UpdateDataLog(mLine);
        } else if (w.mUserCalibration) {
            const qsizetype n = w.mUserCalDataCount;
            w.mUserCalDataX.resize(n + 1);
            w.mUserCalDataY.resize(n + 1);
            w.mUserCalDataX[n] = wordValue("X", endMark);
            w.mUserCalDataY[n] = wordValue("Y", endMark);
            w.mUserCalDataCount = qint32(n + 1);
            w.CanvasUserCalGraph->clearBackdropAndRepaint();
        }
    }

    WdwMain& w;
    const QByteArrayView mLine;
};

}  // namespace

QByteArray WdwMain::ExtractResponse(QByteArrayView line, QByteArrayView startTag,
                                    QByteArrayView endTag) const
{
    return wire::extractResponse(line, startTag, endTag).toByteArray();
}

void WdwMain::TimerSerialControl_Action()
{
    // No second tick may start while a command is being sent or a control's handler
    // runs on our behalf.
    TimerSerialControl->stop();

    // Lines are taken from the front by offset and the buffer is compacted once at
    // the end, so a burst of many lines costs no repeated copying.
    qsizetype consumed = 0;
    for (;;) {
        // Shares the buffer without copying it, so the line stays valid whatever a
        // handler does to mInputStr, and so such a change can be seen.
        const QByteArray held = mInputStr;
        const QByteArrayView rest = QByteArrayView(held).sliced(consumed);
        const qsizetype length = wire::nextLineLength(rest);
        if (length == 0) break;
        consumed += length;
        LineHandler(*this, rest.first(length)).run();
        if (!mInputStr.isSharedWith(held)) {
            // Either bytes were appended while a handler ran (the lines not yet
            // handled are still in place), or a handler emptied the buffer, which
            // drops the lines still waiting (bytes may have arrived since).
            if (!QByteArrayView(mInputStr).startsWith(held)) consumed = 0;
        }
    }
    mInputStr.remove(0, consumed);
    if (mInputStr.size() > kLongestIncompleteLine) mInputStr.clear();

    TimerSerialControl->start();
}
