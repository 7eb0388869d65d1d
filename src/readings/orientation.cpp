#include "orientation.h"

namespace orientation {

Attitude attitudeFor(float heading, float pitch, float roll)
{
    // Angles in double precision from the single-precision reading.
    double p = pitch;
    if (p > 90) p = 90;
    else if (p < -90) p = -90;
    double r = roll;
    if (r > 180) r -= 360;
    const double h = heading;
    return {-h * kPi / 180, -p * kPi / 180, r * kPi / 180, h * kPi / 180, -kPi / 2};
}

double viewHeadingDegrees(float heading, bool mils)
{
    return mils ? double(heading) * 360 / 6400 : double(heading);
}

QQuaternion axisAngle(const QVector3D& axis, double radians)
{
    return QQuaternion::fromAxisAndAngle(axis, float(radians * 180 / kPi));
}

QQuaternion turnedAboutOwnAxis(const QQuaternion& orientation, const QVector3D& ownAxis,
                               double radians)
{
    return orientation * axisAngle(ownAxis, radians);
}

}  // namespace orientation
