#pragma once
// The 3D view drawn with Qt 3D: a Qt3DWindow embedded in the window through a window
// container, with the scene settings of the Test tab.
#include <memory>

#include "view3d.h"

class QWidget;

// Makes the view for the main window. When no OpenGL context can be made on this
// machine, the view it returns has no object group (the facility is absent) and only
// an empty widget.
std::unique_ptr<View3D> createQt3DView(QWidget* parent);

// Whether an OpenGL context can be created and made current here.
bool openGLAvailable();
// Whether that OpenGL draws on the processor (a software rasterizer).
bool softwareOpenGL();
