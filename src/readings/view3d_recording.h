#pragma once
// A 3D view that draws nothing and records the scene it is asked to show: its
// objects, the camera, every turn, the background colour and the redraws. Scenarios
// and tests use it to run the window without a GPU or a display.
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

#include "view3d.h"

class RecordingView3D : public View3D {
public:
    // An axis-angle rotation as handed to setOrientation.
    struct Orientation {
        double x = 0, y = 0, z = 0, radians = 0;
    };
    struct RecordedObject {
        QByteArray modelText;
        float scale = 1.0f;
        float positionY = 0.0f;
        bool appended = false;
        std::optional<Orientation> orientation;  // the last setOrientation
        // Turns since the last setOrientation (or since creation), in call order:
        // "yaw R", "pitch R", "roll R".
        QStringList turnsSinceOrientation;
    };

    // withObjectGroup false stands for a machine without 3D support: the view has
    // no group of scene objects and creates no objects.
    explicit RecordingView3D(QWidget* parent, bool withObjectGroup = true);
    ~RecordingView3D() override;

    // View3D ------------------------------------------------------------------------
    QWidget* widget() override { return mWidget; }
    bool hasObjectGroup() const override { return mWithObjectGroup; }
    Object createObject(const QByteArray& modelText) override;
    void setScale(Object object, float scale) override;
    void setPositionY(Object object, float y) override;
    void appendObject(Object object) override;
    void setCameraPositionZ(float z) override;
    void yawCamera(double radians) override;
    void yaw(Object object, double radians) override;
    void pitch(Object object, double radians) override;
    void roll(Object object, double radians) override;
    void setOrientation(Object object, double x, double y, double z, double radians) override;
    void setBackgroundColor(const QColor& colour) override;
    void redraw() override;

    // What was recorded -------------------------------------------------------------
    const RecordedObject* object(Object handle) const;
    int objectCount() const { return int(mObjects.size()); }
    float cameraPositionZ() const { return mCameraZ; }
    double cameraYaw() const { return mCameraYaw; }  // the sum of every camera yaw
    std::optional<QColor> backgroundColor() const { return mBackground; }
    int redrawCount() const { return mRedraws; }
    // Every call, in order, written as text ("setOrientation 0 0 1 0 -1.5708", ...).
    const QStringList& calls() const { return mCalls; }
    // Calls made with a handle this view never created.
    int invalidCalls() const { return mInvalidCalls; }
    // Forgets the calls written down so far; a host that runs a window for a long
    // time (the fuzzer) would otherwise hoard them.
    void forgetCalls() { mCalls.clear(); }

    // The heading, in degrees, that the object's last orientation stands for when it
    // is a turn about the vertical axis (0, 1, 0): the heading turns the model by its
    // negative. None when the object has no such orientation.
    std::optional<double> headingOf(Object handle) const;

private:
    RecordedObject* find(Object handle, const char* call);
    void note(const QString& call) { mCalls << call; }

    QPointer<QWidget> mWidget;
    bool mWithObjectGroup;
    std::vector<RecordedObject> mObjects;
    float mCameraZ = 0.0f;
    double mCameraYaw = 0.0;
    std::optional<QColor> mBackground;
    int mRedraws = 0;
    int mInvalidCalls = 0;
    QStringList mCalls;
};

// The factory the window environment takes, making recording views.
View3DFactory recordingView3DFactory(bool withObjectGroup = true);
