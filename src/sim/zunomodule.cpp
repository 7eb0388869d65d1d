#include "zunomodule.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr qint32 kRates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600};
constexpr double kBaseSamplePeriodMs = 5;  // at the /32 divider; doubles with each row
constexpr int kMaxDampSize = 20;
constexpr size_t kMaxCalibrationPoints = 100000;

double wrapDegrees(double d)
{
    d = std::fmod(d, 360.0);
    return d < 0 ? d + 360.0 : d;
}

double radians(double d) { return d * std::numbers::pi / 180.0; }

// Fixed-point text without a "-" on a value that rounds to zero and never with an
// exponent (QByteArray::number with 'f' writes none).
QByteArray fixed(double v, int decimals)
{
    QByteArray s = QByteArray::number(v, 'f', decimals);
    if (s.startsWith('-') && s.count('0') + s.count('.') == s.size() - 1) s.remove(0, 1);
    return s;
}

// A row number as the protocol writes it: decimal digits, no sign, no leading zero.
int parseRow(const QByteArray& v, int first, int last)
{
    if (v.isEmpty() || v.size() > 2) return -1;
    if (v.size() > 1 && v[0] == '0') return -1;
    int n = 0;
    for (char c : v) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n >= first && n <= last ? n : -1;
}

// A declination in degrees: optional sign, digits, optional decimals, within ±180.
bool validDeclination(const QByteArray& v)
{
    if (v.isEmpty() || v.size() > 8) return false;
    int i = (v[0] == '+' || v[0] == '-') ? 1 : 0;
    int digits = 0, points = 0;
    for (; i < v.size(); ++i) {
        if (v[i] >= '0' && v[i] <= '9') ++digits;
        else if (v[i] == '.' && ++points == 1) continue;
        else return false;
    }
    return digits > 0 && std::fabs(v.toDouble()) <= 180.0;
}

bool oneOf(const QByteArray& v, char a, char b) { return v.size() == 1 && (v[0] == a || v[0] == b); }

}  // namespace

ZunoModule::ZunoModule(const ZunoSettings& settings, const ZunoMotion& motion)
    : mSettings(settings), mMotion(motion), mRandom(motion.seed ? motion.seed : 1)
{
    mSettings.boardInfo = safeText(mSettings.boardInfo);
    mSettings.moduleInfo = safeText(mSettings.moduleInfo);
    mSettings.identity = safeText(mSettings.identity);
    if (!validDeclination(mSettings.declination)) mSettings.declination = "0.0";
    mSettings.lineRateRow = std::clamp(mSettings.lineRateRow, 0, 8);
    mSettings.asicPeriodRow = std::clamp(mSettings.asicPeriodRow, 0, 7);
    mSettings.dampSize = std::clamp(mSettings.dampSize, 1, kMaxDampSize);
    mNextSampleAt = samplePeriodMs();
}

qint32 ZunoModule::rateOfRow(int row) { return row >= 0 && row <= 8 ? kRates[row] : 0; }

quint8 ZunoModule::checksum(const QByteArray& body)
{
    quint8 x = 0;
    for (char c : body) x ^= quint8(c);
    return x;
}

QByteArray ZunoModule::frame(const QByteArray& body)
{
    return '$' + body + '*' + QByteArray::number(checksum(body), 16).toUpper().rightJustified(2, '0') +
           "\r\n";
}

QByteArray ZunoModule::errorLine(int code) { return frame('E' + QByteArray::number(code).rightJustified(3, '0')); }

QByteArray ZunoModule::safeText(const QByteArray& text)
{
    QByteArray out;
    for (char c : text) {
        const auto u = uchar(c);
        if (c == '$' || c == '*' || u < 0x20 || u >= 0x7f) continue;
        out += c == 'E' ? 'e' : c;
    }
    return out;
}

double ZunoModule::samplePeriodMs() const { return kBaseSamplePeriodMs * double(1 << mSettings.asicPeriodRow); }

double ZunoModule::bodyHeading() const
{
    const double wobble =
        mMotion.wobbleAmplitude * std::sin(2 * std::numbers::pi * mNow / std::max(1.0, mMotion.wobblePeriodMs));
    return wrapDegrees(mMotion.startHeading + mPhase + wobble);
}

// ---------------------------------------------------------------------------------
// Receiving

QByteArray ZunoModule::receive(const QByteArray& bytesFromApp)
{
    QByteArray out;
    for (char c : bytesFromApp) {
        const auto u = uchar(c);
        if (u == 0x11 || u == 0x13 || c == '\n') continue;  // flow control, line feeds
        if (u >= 0x80 || (u < 0x20 && c != '\r')) {
            // Line noise (a framing error at a wrong rate): the half command is lost.
            mLine.clear();
            mOverflow = false;
            mHaltCharPending = false;
            continue;
        }
        if (c == '\r') {
            if (mOverflow) out += errorLine(LineTooLong);
            else if (!(mHaltCharPending && mLine == "h") && !mLine.isEmpty()) out += execute(mLine);
            // else: a lone CR, or the CR that completes a halt already done
            mLine.clear();
            mOverflow = false;
            mHaltCharPending = false;
            continue;
        }
        if (c == 'h' && mSettings.singleCharacterHalt && (mLine.isEmpty() || (mHaltCharPending && mLine == "h"))) {
            // The module cannot know whether "alt?" follows: it halts at once and keeps
            // the "h" in case this is the start of a longer command.
            mStreaming = false;
            out += frame("h");
            mLine = "h";
            mHaltCharPending = true;
            continue;
        }
        if (mLine.size() >= kMaxCommandLength) {
            mOverflow = true;
            continue;
        }
        mLine += c;
    }
    return out;
}

QByteArray ZunoModule::execute(const QByteArray& command)
{
    if (command == "h") {
        mStreaming = false;
        return frame("h");
    }
    if (command == "go") {
        mStreaming = true;
        return {};
    }
    if (command == "save") {
        const CalResult result = mCalResult;
        mCalResult = CalResult::None;
        if (result == CalResult::Incomplete) return errorLine(CalibrationIncomplete);
        if (result == CalResult::Good) {
            mSettings.calibrated = true;
            mSettings.calOffsetX = mNewOffsetX;
            mSettings.calOffsetY = mNewOffsetY;
            mSettings.calScaleX = mNewScaleX;
            mSettings.calScaleY = mNewScaleY;
        }
        return frame("save");
    }
    if (command == "cc") {
        if (!supportsExtras()) return errorLine(NotSupported);
        mSettings.calibrated = false;
        mSettings.calOffsetX = mSettings.calOffsetY = 0;
        mSettings.calScaleX = mSettings.calScaleY = 1;
        return {};
    }
    if (command.endsWith('?')) return query(command.chopped(1));
    const qsizetype eq = command.indexOf('=');
    if (eq > 0) return setting(command.left(eq), command.mid(eq + 1));
    return errorLine(UnknownCommand);
}

QByteArray ZunoModule::query(const QByteArray& name)
{
    const ZunoSettings& s = mSettings;
    auto ed = [](bool on) { return QByteArray(on ? "e" : "d"); };
    const bool extra = name == "ut" || name == "damping" || name == "dampsize" || name == "et";
    if (extra && !supportsExtras()) return errorLine(NotSupported);
    if (name == "b") return frame("b=" + QByteArray::number(s.lineRateRow));
    if (name == "info") return frame("info," + s.boardInfo) + frame("info," + s.moduleInfo);
    if (name == "id") return frame("id=" + s.identity);
    if (name == "sn") return frame(QByteArray("sn=") + s.northReference);
    if (name == "halt") return frame("halt=" + ed(s.singleCharacterHalt));
    if (name == "uc") return frame(QByteArray("uc=") + s.headingUnit);
    if (name == "ut") return frame(QByteArray("ut=") + s.temperatureUnit);
    if (name == "mag_dec") return frame("mag_dec=" + s.declination);
    if (name == "damping") return frame("damping=" + ed(s.damping));
    if (name == "dampsize") return frame("dampsize=" + QByteArray::number(s.dampSize));
    if (name == "ps") return frame("ps=" + QByteArray::number(s.asicPeriodRow));
    if (name == "sdo") return frame(QByteArray("sdo=") + s.outputMode);
    if (name == "ec") return frame("ec=" + ed(s.compassWord));
    if (name == "em") return frame("em=" + ed(s.magnetometerWord));
    if (name == "et") return frame("et=" + ed(s.temperatureWord));
    return errorLine(UnknownCommand);
}

QByteArray ZunoModule::setting(const QByteArray& name, const QByteArray& value)
{
    static const QList<QByteArray> known = {"b",  "sn", "mag_dec", "uc",  "ut", "halt", "damping", "dampsize",
                                            "ps", "sdo", "ec",     "em",  "et", "mpcal"};
    if (!known.contains(name)) return errorLine(UnknownCommand);
    const bool extra = name == "ut" || name == "damping" || name == "dampsize" || name == "et" || name == "mpcal";
    if (extra && !supportsExtras()) return errorLine(NotSupported);
    const QByteArray bad = errorLine(BadValue);
    ZunoSettings& s = mSettings;

    if (name == "b") {
        const int row = parseRow(value, 0, 8);
        if (row < 0) return bad;
        // Acknowledged at the old rate; the caller's line carries on at the new one.
        QByteArray ack = frame("b=" + value);
        s.lineRateRow = row;
        return ack;
    }
    if (name == "mag_dec") {
        if (!validDeclination(value)) return bad;
        s.declination = value;
        return {};
    }
    if (name == "dampsize") {
        const int n = parseRow(value, 1, kMaxDampSize);
        if (n < 0) return bad;
        s.dampSize = n;
        return {};
    }
    if (name == "ps") {
        const int row = parseRow(value, 0, 7);
        if (row < 0) return bad;
        s.asicPeriodRow = row;
        return {};
    }
    if (name == "sn") {
        if (!oneOf(value, 'm', 't')) return bad;
        s.northReference = value[0];
        return {};
    }
    if (name == "uc") {
        if (!oneOf(value, 'd', 'm')) return bad;
        s.headingUnit = value[0];
        return {};
    }
    if (name == "ut") {
        if (!oneOf(value, 'c', 'f')) return bad;
        s.temperatureUnit = value[0];
        return {};
    }
    if (name == "sdo") {
        if (!oneOf(value, 't', 'r')) return bad;
        s.outputMode = value[0];
        return frame("sdo=" + value);
    }
    // The rest are enable/disable switches.
    if (!oneOf(value, 'e', 'd')) return bad;
    const bool on = value == "e";
    if (name == "halt") s.singleCharacterHalt = on;
    else if (name == "damping") s.damping = on;
    else if (name == "ec") s.compassWord = on;
    else if (name == "em") s.magnetometerWord = on;
    else if (name == "et") s.temperatureWord = on;
    else if (name == "mpcal") {
        if (on) {
            mCalibrating = true;
            mCalX.clear();
            mCalY.clear();
            mCalResult = CalResult::None;
        } else if (mCalibrating) {
            finishCalibration();
            mCalibrating = false;
        }
    }
    if (name == "halt" || name == "damping") return {};
    return frame(name + '=' + value);
}

// ---------------------------------------------------------------------------------
// Calibration

void ZunoModule::finishCalibration()
{
    mCalResult = CalResult::Incomplete;
    const size_t n = mCalX.size();
    if (n < size_t(kMinCalibrationPoints)) return;
    const auto [minX, maxX] = std::minmax_element(mCalX.begin(), mCalX.end());
    const auto [minY, maxY] = std::minmax_element(mCalY.begin(), mCalY.end());
    const double cx = (*minX + *maxX) / 2, cy = (*minY + *maxY) / 2;
    const double rx = (*maxX - *minX) / 2, ry = (*maxY - *minY) / 2;
    if (rx <= 1e-6 || ry <= 1e-6) return;
    // The points must go most of the way round the centre, or the centre is a guess.
    std::vector<double> angles(n);
    for (size_t i = 0; i < n; ++i)
        angles[i] = wrapDegrees(std::atan2((mCalY[i] - cy) / ry, (mCalX[i] - cx) / rx) * 180 / std::numbers::pi);
    std::sort(angles.begin(), angles.end());
    double largestGap = angles.front() + 360 - angles.back();
    for (size_t i = 1; i < n; ++i) largestGap = std::max(largestGap, angles[i] - angles[i - 1]);
    if (360 - largestGap < kMinCalibrationCoverage) return;
    const double r = (rx + ry) / 2;
    mNewOffsetX = cx;
    mNewOffsetY = cy;
    mNewScaleX = r / rx;
    mNewScaleY = r / ry;
    mCalResult = CalResult::Good;
}

// ---------------------------------------------------------------------------------
// Time, samples and sentences

void ZunoModule::integrateTo(double t)
{
    if (t <= mNow) return;
    const double rate = mCalibrating ? mMotion.calibrationTurnRate : mMotion.turnRate;
    mPhase = std::fmod(mPhase + rate * (t - mNow) / 1000.0, 360.0);
    mNow = t;
}

double ZunoModule::nextNoise()
{
    mRandom = mRandom * 1664525u + 1013904223u;
    return (double(mRandom >> 8) / double(1u << 24) * 2 - 1) * mMotion.noise;
}

ZunoModule::Sample ZunoModule::sample()
{
    const double psi = radians(bodyHeading());
    const double h = mMotion.horizontalField;
    Sample s;
    // Body axes: X forward, Y to the right; the field's horizontal part points north.
    s.rawX = h * std::cos(psi) + mMotion.hardIronX + nextNoise();
    s.rawY = -h * std::sin(psi) * mMotion.softIronY + mMotion.hardIronY + nextNoise();
    s.rawZ = mMotion.verticalField + 0.01 * std::sin(2 * std::numbers::pi * mNow / (mMotion.wobblePeriodMs * 1.3)) +
             nextNoise();
    s.temperatureC = mMotion.temperatureC + 0.4 * std::sin(2 * std::numbers::pi * mNow / 90000.0);
    return s;
}

QByteArray ZunoModule::sentence(const Sample& s) const
{
    const ZunoSettings& cfg = mSettings;
    QByteArray body;
    if (cfg.outputMode == 'r') {
        // Raw mode: the uncalibrated magnetometer counts; the divider sets the gain.
        const double gain = double(32 << cfg.asicPeriodRow);
        body += 'X' + QByteArray::number(qRound(s.rawX * gain));
        body += 'Y' + QByteArray::number(qRound(s.rawY * gain));
        if (hasZ()) body += 'Z' + QByteArray::number(qRound(s.rawZ * gain));
        return frame(body);
    }
    auto calX = [&](double raw) { return cfg.calibrated ? (raw - cfg.calOffsetX) * cfg.calScaleX : raw; };
    auto calY = [&](double raw) { return cfg.calibrated ? (raw - cfg.calOffsetY) * cfg.calScaleY : raw; };
    if (cfg.compassWord) {
        double x = 0, y = 0;
        const int n = cfg.damping ? std::min<int>(cfg.dampSize, mHistory.size()) : 1;
        for (int i = 0; i < n; ++i) {
            const Sample& h = mHistory[mHistory.size() - 1 - i];
            x += calX(h.rawX);
            y += calY(h.rawY);
        }
        double heading = std::atan2(-y, x) * 180 / std::numbers::pi;
        if (cfg.northReference == 't') heading += cfg.declination.toDouble();
        heading = wrapDegrees(heading);
        if (cfg.headingUnit == 'm') {
            qint64 mils = std::llround(heading * 6400 / 360);
            body += 'C' + QByteArray::number(mils % 6400);
        } else {
            qint64 tenths = std::llround(heading * 10) % 3600;
            body += 'C' + QByteArray::number(tenths / 10) + '.' + QByteArray::number(tenths % 10);
        }
    }
    if (cfg.magnetometerWord) {
        // While calibrating the module shows what the sensor sees, offset and all.
        body += 'X' + fixed(mCalibrating ? s.rawX : calX(s.rawX), 3);
        body += 'Y' + fixed(mCalibrating ? s.rawY : calY(s.rawY), 3);
        if (hasZ()) body += 'Z' + fixed(s.rawZ, 3);
    }
    if (cfg.temperatureWord && supportsExtras()) {
        const double t = cfg.temperatureUnit == 'f' ? s.temperatureC * 9 / 5 + 32 : s.temperatureC;
        body += 'T' + fixed(t, 1);
    }
    return frame(body);
}

QByteArray ZunoModule::advance(double elapsedMs) { return run(elapsedMs, true); }

void ZunoModule::pass(double elapsedMs) { run(elapsedMs, false); }

QByteArray ZunoModule::run(double elapsedMs, bool heard)
{
    QByteArray out;
    const double target = mNow + std::max(0.0, elapsedMs);
    const double period = samplePeriodMs();
    if (!mCalibrating && (!mStreaming || !heard)) {
        // Nothing is heard or collected: skip ahead, keeping the samples damping needs.
        const double keepFrom = target - (kMaxDampSize + 1) * period;
        if (mNextSampleAt < keepFrom) {
            integrateTo(keepFrom);
            mNextSampleAt = keepFrom;
        }
    }
    while (mNextSampleAt <= target) {
        integrateTo(mNextSampleAt);
        const Sample s = sample();
        mHistory.append(s);
        if (mHistory.size() > kMaxDampSize) mHistory.removeFirst();
        if (mCalibrating && mCalX.size() < kMaxCalibrationPoints) {
            mCalX.push_back(s.rawX);
            mCalY.push_back(s.rawY);
        }
        double next = period;
        if (mStreaming) {
            const QByteArray line = sentence(s);
            if (heard) out += line;
            // Never more sentences than the line can carry (10 bits a byte).
            next = std::max(period, line.size() * 10000.0 / lineRate());
        }
        mNextSampleAt += next;
    }
    integrateTo(target);
    return out;
}
