#pragma once
// The attitude arithmetic of the 3D view, apart from any rendering.
#include <QQuaternion>
#include <QVector3D>

namespace orientation {

inline constexpr double kPi = 3.141592653589793;

// The angles, in radians, that one reading turns the two models by.
struct Attitude {
    double heading;    // large model: orientation about (0, 1, 0), the negative heading
    double pitch;      // large model: about its own lateral axis, the negative pitch
    double roll;       // large model: about its own longitudinal axis
    double arrow;      // small model: orientation about (0, 0, 1), the positive heading
    double arrowTip;   // small model: about its own lateral axis afterwards, a quarter turn
};

// Heading, pitch and roll in degrees as the module reports them. Pitch is held within
// plus or minus 90; a roll above 180 is taken as the equivalent negative angle.
Attitude attitudeFor(float heading, float pitch, float roll);

// The heading handed to the 3D view, in degrees: a reading in mils is converted.
double viewHeadingDegrees(float heading, bool mils);

// The object's own axes: x lateral (pitch), y vertical (yaw), z longitudinal (roll),
// the nose pointing along +z.
inline const QVector3D kLateralAxis{1, 0, 0};
inline const QVector3D kVerticalAxis{0, 1, 0};
inline const QVector3D kLongitudinalAxis{0, 0, 1};

// Rotation by radians about an axis.
QQuaternion axisAngle(const QVector3D& axis, double radians);
// The orientation after turning about one of the object's own axes (the axis moves
// with the object, so the turn is applied before the existing orientation).
QQuaternion turnedAboutOwnAxis(const QQuaternion& orientation, const QVector3D& ownAxis,
                               double radians);

}  // namespace orientation
