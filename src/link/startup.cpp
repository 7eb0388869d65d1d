// The window's open and close handlers: the rate tables, the preferences, the first
// connection attempt and the start values of the shared state.
#include <QComboBox>

#include "../prefs/preferences.h"
#include "../ui/wdwmain.h"

namespace {
// Rows 0 to 8 of both rate pop-up menus.
constexpr qint32 kRates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600};
constexpr int kDefaultRateRow = 8;   // no preferences file: 57600
constexpr qint32 kOtherRateRow = 5;  // a rate outside the nine shows as 9600
}  // namespace

void WdwMain::WdwMain_Open()
{
    mStartUp = true;
    mConnected = false;
    mEvent = 0;
    mSerialPort = prefs::kNoPort;

    mComputerBaudRate.clear();
    mListBaudRate.clear();
    for (qint32 row = 0; row < qint32(std::size(kRates)); ++row) {
        mComputerBaudRate.append(kRates[row]);
        mListBaudRate.insert(kRates[row], row);
    }

    NewSystemLogEvent(QStringLiteral("Checking preference file"));
    if (CheckPreferenceFile(true)) {
        // A stored port the list no longer holds (or no port line at all) means no
        // port: no row chosen, nothing opened.
        if (mSerialPort < 0 || mSerialPort >= PopupSerialPort->count()) mSerialPort = prefs::kNoPort;
        PopupSerialPort->setCurrentIndex(mSerialPort == prefs::kNoPort ? -1 : mSerialPort);
    } else {
        NewSystemLogEvent(QStringLiteral("Preferences file not found, using default baud rate."));
        mBaudRate = mComputerBaudRate[kDefaultRateRow];
    }
    PopupComputerBaudRate->setCurrentIndex(mListBaudRate.value(mBaudRate, kOtherRateRow));

    TryOpenSerialAndConnect();

    mUserCalDataCount = 0;
    mStartUp = false;
    mReadConfiguration = true;
    mPrevTab = 0;
    mSkipThisTabChange = false;
    mUserCalibration = false;
    mTestGoing = false;
    mDataLogging = false;
    mDataLoggingNow = false;
    mError = false;
    mReadDravikInfo = false;

    CheckPreferenceFile(false);

    mModuleID.clear();
}

void WdwMain::WdwMain_Close()
{
    UpdatePreferenceFile();
}
