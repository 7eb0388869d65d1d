#pragma once
// The 3D scene facility behind a small interface: the application creates the Qt 3D
// one, tests and the scenario runner one that records the scene without rendering.
#include <QByteArray>
#include <QColor>
#include <functional>
#include <memory>

class QWidget;

class View3D {
public:
    using Object = int;  // handle of a 3D object owned by the view; -1 for none
    virtual ~View3D() = default;

    // The widget that shows the scene; the window places and sizes it.
    virtual QWidget* widget() = 0;
    // The view's group of scene objects exists (false when the facility is missing).
    virtual bool hasObjectGroup() const = 0;
    virtual Object createObject(const QByteArray& modelText) = 0;
    virtual void setScale(Object object, float scale) = 0;
    virtual void setPositionY(Object object, float y) = 0;
    virtual void appendObject(Object object) = 0;
    virtual void setCameraPositionZ(float z) = 0;
    virtual void yawCamera(double radians) = 0;
    virtual void yaw(Object object, double radians) = 0;
    virtual void pitch(Object object, double radians) = 0;
    virtual void roll(Object object, double radians) = 0;
    // Replaces the object's orientation by the rotation about (x, y, z) by radians.
    virtual void setOrientation(Object object, double x, double y, double z, double radians) = 0;
    virtual void setBackgroundColor(const QColor& colour) = 0;
    virtual void redraw() = 0;
};

using View3DFactory = std::function<std::unique_ptr<View3D>(QWidget* parent)>;
