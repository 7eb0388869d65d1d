#include <QFile>

#include "../ui/wdwmain.h"
#include "orientation.h"

void WdwMain::View3DHelicopter_Open()
{
    if (!mView3D || !mView3D->hasObjectGroup()) {
        if (mEnv.prompter) mEnv.prompter->message(QStringLiteral("You need to install QuickDraw 3D or Quesa!"));
        return;
    }
    const QByteArray model = Helicopter();

    m3DModel = mView3D->createObject(model);
    mView3D->setScale(m3DModel, 5.0f);
    mView3D->setPositionY(m3DModel, 2.0f);
    mView3D->appendObject(m3DModel);

    mArrowModel = mView3D->createObject(model);
    mView3D->setScale(mArrowModel, 3.0f);
    mView3D->setPositionY(mArrowModel, -2.0f);
    mView3D->appendObject(mArrowModel);

    mView3D->setCameraPositionZ(-10.0f);
    mView3D->yawCamera(3.14);  // faces the models

    mView3D->yaw(m3DModel, 3.14);
    mView3D->pitch(mArrowModel, -1.57);

    mView3D->setBackgroundColor(WindowBackgroundColour());
    mView3D->redraw();
}

void WdwMain::Update3DModel(float heading, float pitch, float roll)
{
    // Without the 3D facility nothing was built and there is nothing to turn.
    if (!mView3D || m3DModel < 0 || mArrowModel < 0) return;
    const orientation::Attitude a = orientation::attitudeFor(heading, pitch, roll);

    mView3D->setOrientation(m3DModel, 0, 1, 0, a.heading);
    mView3D->pitch(m3DModel, a.pitch);
    mView3D->roll(m3DModel, a.roll);

    mView3D->setOrientation(mArrowModel, 0, 0, 1, a.arrow);
    mView3D->pitch(mArrowModel, a.arrowTip);

    mView3D->setBackgroundColor(WindowBackgroundColour());
    mView3D->redraw();
}

QByteArray WdwMain::Helicopter()
{
    if (mHelicopterText.isEmpty()) {
        QFile resource(QStringLiteral(":/helicopter.obj"));
        if (resource.open(QIODevice::ReadOnly)) mHelicopterText = resource.readAll();
    }
    return mHelicopterText;
}
