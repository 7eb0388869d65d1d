#include "view3d_recording.h"

#include <cmath>

namespace {
QString num(double value) { return QString::number(value, 'g', 17); }
}  // namespace

RecordingView3D::RecordingView3D(QWidget* parent, bool withObjectGroup)
    : mWidget(new QWidget(parent)), mWithObjectGroup(withObjectGroup)
{
    mWidget->setObjectName(QStringLiteral("View3DHelicopter"));
}

RecordingView3D::~RecordingView3D()
{
    // The widget belongs to its parent once placed; delete it only if it is still ours
    // alone, so the view can also be dropped before its window.
    if (mWidget && !mWidget->parent()) delete mWidget;
}

RecordingView3D::RecordedObject* RecordingView3D::find(Object handle, const char* call)
{
    if (handle < 0 || handle >= int(mObjects.size())) {
        ++mInvalidCalls;
        note(QStringLiteral("%1 on invalid object %2").arg(QLatin1String(call)).arg(handle));
        return nullptr;
    }
    return &mObjects[size_t(handle)];
}

const RecordingView3D::RecordedObject* RecordingView3D::object(Object handle) const
{
    if (handle < 0 || handle >= int(mObjects.size())) return nullptr;
    return &mObjects[size_t(handle)];
}

View3D::Object RecordingView3D::createObject(const QByteArray& modelText)
{
    if (!mWithObjectGroup) {
        note(QStringLiteral("createObject without 3D support"));
        return -1;
    }
    RecordedObject made;
    made.modelText = modelText;
    mObjects.push_back(made);
    const Object handle = Object(mObjects.size() - 1);
    note(QStringLiteral("createObject %1 (%2 bytes)").arg(handle).arg(modelText.size()));
    return handle;
}

void RecordingView3D::setScale(Object object, float scale)
{
    if (auto* o = find(object, "setScale")) {
        o->scale = scale;
        note(QStringLiteral("setScale %1 %2").arg(object).arg(num(scale)));
    }
}

void RecordingView3D::setPositionY(Object object, float y)
{
    if (auto* o = find(object, "setPositionY")) {
        o->positionY = y;
        note(QStringLiteral("setPositionY %1 %2").arg(object).arg(num(y)));
    }
}

void RecordingView3D::appendObject(Object object)
{
    if (auto* o = find(object, "appendObject")) {
        o->appended = true;
        note(QStringLiteral("appendObject %1").arg(object));
    }
}

void RecordingView3D::setCameraPositionZ(float z)
{
    mCameraZ = z;
    note(QStringLiteral("setCameraPositionZ %1").arg(num(z)));
}

void RecordingView3D::yawCamera(double radians)
{
    mCameraYaw += radians;
    note(QStringLiteral("yawCamera %1").arg(num(radians)));
}

void RecordingView3D::yaw(Object object, double radians)
{
    if (auto* o = find(object, "yaw")) {
        o->turnsSinceOrientation << QStringLiteral("yaw %1").arg(num(radians));
        note(QStringLiteral("yaw %1 %2").arg(object).arg(num(radians)));
    }
}

void RecordingView3D::pitch(Object object, double radians)
{
    if (auto* o = find(object, "pitch")) {
        o->turnsSinceOrientation << QStringLiteral("pitch %1").arg(num(radians));
        note(QStringLiteral("pitch %1 %2").arg(object).arg(num(radians)));
    }
}

void RecordingView3D::roll(Object object, double radians)
{
    if (auto* o = find(object, "roll")) {
        o->turnsSinceOrientation << QStringLiteral("roll %1").arg(num(radians));
        note(QStringLiteral("roll %1 %2").arg(object).arg(num(radians)));
    }
}

void RecordingView3D::setOrientation(Object object, double x, double y, double z, double radians)
{
    if (auto* o = find(object, "setOrientation")) {
        o->orientation = Orientation{x, y, z, radians};
        o->turnsSinceOrientation.clear();
        note(QStringLiteral("setOrientation %1 %2 %3 %4 %5")
                 .arg(object).arg(num(x), num(y), num(z), num(radians)));
    }
}

void RecordingView3D::setBackgroundColor(const QColor& colour)
{
    mBackground = colour;
    note(QStringLiteral("setBackgroundColor %1").arg(colour.name()));
}

void RecordingView3D::redraw()
{
    ++mRedraws;
    note(QStringLiteral("redraw"));
}

std::optional<double> RecordingView3D::headingOf(Object handle) const
{
    const RecordedObject* o = object(handle);
    if (!o || !o->orientation) return std::nullopt;
    const Orientation& r = *o->orientation;
    if (r.x != 0.0 || r.z != 0.0 || r.y == 0.0) return std::nullopt;
    // A rotation about (0, -1, 0) by a is the one about (0, 1, 0) by -a.
    const double about = r.y > 0 ? r.radians : -r.radians;
    return -about * 180.0 / M_PI;
}

View3DFactory recordingView3DFactory(bool withObjectGroup)
{
    return [withObjectGroup](QWidget* parent) {
        return std::make_unique<RecordingView3D>(parent, withObjectGroup);
    };
}
