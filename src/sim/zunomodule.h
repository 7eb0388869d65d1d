#pragma once
// The simulated Zuno module: a pure protocol peer. It takes the bytes the application
// writes and returns what a module would answer; time only passes when the caller says
// so (advance), which keeps it deterministic and testable without timers.
//
// Wire format of everything it sends: "$" body "*" two hex digits of the XOR of the body
// bytes, then CR LF. Error lines have the body "E" and a three-digit code. Nothing it
// sends in a normal reply or sentence holds a capital "E" before the "*".
#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <cstdint>
#include <vector>

// What the module remembers: the values its queries report.
struct ZunoSettings {
    int lineRateRow = 8;  // 0 = 300 ... 8 = 57600 bit/s
    QByteArray boardInfo = "Dravik CB-2 communication board, firmware 1.3";
    QByteArray moduleInfo = "Zuno compass module, 3 axis, firmware 2.1";
    QByteArray identity = "7";  // "7": three axes; "20": no temperature, damping or calibration
    char northReference = 'm';  // 'm' magnetic, 't' true (magnetic + declination)
    bool singleCharacterHalt = false;
    char headingUnit = 'd';      // 'd' degrees, 'm' mils (6400 a turn)
    char temperatureUnit = 'c';  // 'c' Celsius, 'f' Fahrenheit
    QByteArray declination = "0.0";  // degrees, east positive, kept as the app sent it
    bool damping = false;
    int dampSize = 2;       // samples averaged while damping, 1 to 20
    int asicPeriodRow = 4;  // 0 = /32 ... 7 = /4096; sets the sample and sentence rate
    char outputMode = 't';  // 't' Varo (calibrated units), 'r' raw magnetometer counts
    bool compassWord = true;
    bool magnetometerWord = true;
    bool temperatureWord = true;
    // The stored user calibration: subtracted offset, then per-axis scale.
    bool calibrated = false;
    double calOffsetX = 0, calOffsetY = 0;
    double calScaleX = 1, calScaleY = 1;
};

// How the simulated hand moves the module and what the field around it looks like.
struct ZunoMotion {
    double startHeading = 30;          // degrees from magnetic north at time 0
    double turnRate = 6;               // degrees a second
    double calibrationTurnRate = 60;   // degrees a second while a calibration runs
    double wobbleAmplitude = 4;        // degrees
    double wobblePeriodMs = 7000;
    double horizontalField = 0.22;     // gauss
    double verticalField = 0.40;       // gauss
    double hardIronX = 0.06, hardIronY = -0.04;  // gauss, what a calibration removes
    double softIronY = 0.85;           // Y gain against X: the circle becomes an ellipse
    double noise = 0.002;              // gauss, peak, deterministic pseudo-noise
    double temperatureC = 24.5;
    quint32 seed = 1;
};

class ZunoModule {
public:
    enum ErrorCode {
        UnknownCommand = 1,
        BadValue = 2,
        LineTooLong = 3,
        NotSupported = 4,       // a module "20" has no temperature, damping or calibration
        CalibrationIncomplete = 5,  // "save" after a calibration that did not go round
    };
    static constexpr int kMaxCommandLength = 40;
    static constexpr int kMinCalibrationPoints = 10;
    static constexpr double kMinCalibrationCoverage = 270;  // degrees

    explicit ZunoModule(const ZunoSettings& settings = {}, const ZunoMotion& motion = {});

    // Bytes from the application; returns the replies they cause, in order.
    QByteArray receive(const QByteArray& bytesFromApp);
    // Lets elapsedMs pass; returns the data sentences sent meanwhile.
    QByteArray advance(double elapsedMs);
    // Lets elapsedMs pass with nobody listening (the port is closed): what the module
    // sends meanwhile is lost.
    void pass(double elapsedMs);

    const ZunoSettings& settings() const { return mSettings; }
    const ZunoMotion& motion() const { return mMotion; }
    qint32 lineRate() const { return rateOfRow(mSettings.lineRateRow); }
    bool streaming() const { return mStreaming; }
    bool calibrating() const { return mCalibrating; }
    double timeMs() const { return mNow; }
    // Degrees from magnetic north that the simulated body points to now.
    double bodyHeading() const;
    // Time between two samples (and sentences while streaming), before the line's limit.
    double samplePeriodMs() const;

    static qint32 rateOfRow(int row);  // 0 for a row outside the table
    static quint8 checksum(const QByteArray& body);
    // "$" body "*" hh CR LF.
    static QByteArray frame(const QByteArray& body);
    static QByteArray errorLine(int code);
    // Replaces what must not appear in a reply value: "$", "*", CR, LF and a capital
    // "E" (which the application would take for an error indication).
    static QByteArray safeText(const QByteArray& text);

private:
    struct Sample {
        double rawX, rawY, rawZ;  // gauss, as the sensor sees them
        double temperatureC;
    };
    QByteArray run(double elapsedMs, bool heard);
    QByteArray execute(const QByteArray& command);
    QByteArray query(const QByteArray& name);
    QByteArray setting(const QByteArray& name, const QByteArray& value);
    bool supportsExtras() const { return mSettings.identity != "20"; }
    bool hasZ() const { return mSettings.identity == "7"; }
    void integrateTo(double t);
    Sample sample();
    QByteArray sentence(const Sample& s) const;
    void finishCalibration();
    double nextNoise();

    ZunoSettings mSettings;
    ZunoMotion mMotion;
    double mNow = 0;          // ms
    double mPhase = 0;        // degrees of turning done, without the wobble
    double mNextSampleAt = 0;
    bool mStreaming = false;
    quint32 mRandom = 1;

    QByteArray mLine;          // command being received
    bool mOverflow = false;
    bool mHaltCharPending = false;  // the line's "h" has already halted

    QList<Sample> mHistory;    // the latest samples, newest last, for damping

    bool mCalibrating = false;
    std::vector<double> mCalX, mCalY;
    enum class CalResult { None, Good, Incomplete } mCalResult = CalResult::None;
    double mNewOffsetX = 0, mNewOffsetY = 0, mNewScaleX = 1, mNewScaleY = 1;
};
