#include "view3d_qt.h"

#include <QByteArray>
#include <QColor>
#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuaternion>
#include <QSurfaceFormat>
#include <QTimer>
#include <QVector3D>
#include <QWidget>
#include <map>
#include <vector>

#ifdef DRAVIK_HAVE_QT3D
#include <Qt3DCore/QAspectEngine>
#include <Qt3DCore/QAttribute>
#include <Qt3DCore/QBuffer>
#include <Qt3DCore/QEntity>
#include <Qt3DCore/QGeometry>
#include <Qt3DCore/QTransform>
#include <Qt3DExtras/QForwardRenderer>
#include <Qt3DExtras/QPhongMaterial>
#include <Qt3DExtras/Qt3DWindow>
#include <Qt3DRender/QCamera>
#include <Qt3DRender/QDirectionalLight>
#include <Qt3DRender/QGeometryRenderer>
#include <Qt3DRender/QRenderSettings>
#endif

#include "objmodel.h"
#include "orientation.h"

namespace {
struct OpenGLProbe {
    bool available = false;
    bool software = false;
};

// One context made and asked once: whether OpenGL works here, and whether it is a
// software rasterizer (Mesa's llvmpipe, softpipe or swrast, as under Xvfb), which
// draws every pixel on the processor.
OpenGLProbe probeOpenGL()
{
    OpenGLProbe probe;
    QOffscreenSurface surface;
    surface.create();
    if (!surface.isValid()) return probe;
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface)) return probe;
    probe.available = true;
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QByteArray renderer = QByteArray(name ? name : "").toLower();
    for (const char* word : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (renderer.contains(word)) probe.software = true;
    context.doneCurrent();
    return probe;
}

const OpenGLProbe& openGL()
{
    static const OpenGLProbe probe = probeOpenGL();
    return probe;
}
}  // namespace

bool openGLAvailable() { return openGL().available; }

bool softwareOpenGL() { return openGL().software; }

namespace {

// What a machine without 3D support gets: an empty area and no object group.
class AbsentView3D final : public View3D {
public:
    explicit AbsentView3D(QWidget* parent) : mWidget(new QWidget(parent)) {}
    QWidget* widget() override { return mWidget; }
    bool hasObjectGroup() const override { return false; }
    Object createObject(const QByteArray&) override { return -1; }
    void setScale(Object, float) override {}
    void setPositionY(Object, float) override {}
    void appendObject(Object) override {}
    void setCameraPositionZ(float) override {}
    void yawCamera(double) override {}
    void yaw(Object, double) override {}
    void pitch(Object, double) override {}
    void roll(Object, double) override {}
    void setOrientation(Object, double, double, double, double) override {}
    void setBackgroundColor(const QColor&) override {}
    void redraw() override {}

private:
    QWidget* mWidget;  // owned by its parent
};

#ifdef DRAVIK_HAVE_QT3D

// Scene settings of the Test tab's view.
constexpr float kNearPlane = 5;
constexpr float kFarPlane = 5000;
constexpr float kFieldOfView = 50;  // degrees, vertical
const QColor kSkyColour(229, 229, 229);
constexpr float kAmbientLevel = 0.30f;  // white ambient light
constexpr float kFloodLevel = 0.90f;    // white directional light

// Frames a second at most. A heading arrives up to 200 times a second at the line's
// full rate; frames are drawn only when something changed, and never more often than
// this. A software rasterizer draws each frame on the processor, so it gets fewer.
constexpr int kFramesPerSecond = 60;
constexpr int kSoftwareFramesPerSecond = 20;

// Colours of the model's materials; a name the view does not know is drawn light grey.
QColor materialColour(const QString& name)
{
    static const QHash<QString, QColor> colours{
        {QStringLiteral("body"), QColor(196, 38, 28)},
        {QStringLiteral("glass"), QColor(58, 92, 128)},
        {QStringLiteral("metal"), QColor(72, 72, 78)},
        {QStringLiteral("rotor"), QColor(40, 40, 44)},
    };
    return colours.value(name, QColor(170, 170, 170));
}

QColor scaled(const QColor& colour, float level)
{
    return QColor::fromRgbF(colour.redF() * level, colour.greenF() * level,
                            colour.blueF() * level);
}

class Qt3DView final : public View3D {
public:
    explicit Qt3DView(QWidget* parent)
    {
        mWindow = new Qt3DExtras::Qt3DWindow();
        if (softwareOpenGL()) {
            // Four samples a pixel (Qt 3D's default) double a software frame's cost.
            // The window sets its format as every later context's default, too.
            QSurfaceFormat format = mWindow->format();
            format.setSamples(0);
            mWindow->setFormat(format);
            QSurfaceFormat::setDefaultFormat(format);
        }
        mWidget = QWidget::createWindowContainer(mWindow, parent);  // owns the window
        mWidget->setFocusPolicy(Qt::NoFocus);

        // Frames are drawn when the scene changes, not continuously, and this view
        // drives them itself (see requestFrame).
        mWindow->renderSettings()->setRenderPolicy(Qt3DRender::QRenderSettings::OnDemand);
        mFrameIntervalMs = 1000 / (softwareOpenGL() ? kSoftwareFramesPerSecond : kFramesPerSecond);
        mFrameDue.setSingleShot(true);
        mFrameDue.setTimerType(Qt::PreciseTimer);
        QObject::connect(&mFrameDue, &QTimer::timeout, [this] { drawFrame(); });
        mWatcher = std::make_unique<ExposeWatcher>(mWindow, [this] { requestFrame(); });
        mWindow->defaultFrameGraph()->setClearColor(kSkyColour);

        mRoot = new Qt3DCore::QEntity();
        auto* camera = mWindow->camera();
        camera->lens()->setPerspectiveProjection(kFieldOfView, 378.f / 414.f, kNearPlane,
                                                 kFarPlane);
        applyCamera();

        // The flood light comes over the viewer's left shoulder.
        auto* lightEntity = new Qt3DCore::QEntity(mRoot);
        auto* light = new Qt3DRender::QDirectionalLight(lightEntity);
        light->setColor(Qt::white);
        light->setIntensity(kFloodLevel);
        light->setWorldDirection(QVector3D(-0.3f, -0.5f, 1.0f).normalized());
        lightEntity->addComponent(light);

        mWindow->setRootEntity(mRoot);
    }

    ~Qt3DView() override
    {
        // The window adopts the scene when it is first shown; a scene never shown is
        // still ours.
        if (!mRoot->parent()) delete mRoot;
    }

    QWidget* widget() override { return mWidget; }
    bool hasObjectGroup() const override { return true; }

    Object createObject(const QByteArray& modelText) override
    {
        const std::vector<Shape>& shapes = shapesFor(modelText);
        auto* entity = new Qt3DCore::QEntity(mRoot);
        entity->setEnabled(false);  // not in the scene until appended
        auto* transform = new Qt3DCore::QTransform(entity);
        entity->addComponent(transform);
        for (const Shape& shape : shapes) {
            auto* partEntity = new Qt3DCore::QEntity(entity);
            partEntity->addComponent(shape.renderer);
            partEntity->addComponent(shape.material);
        }
        mObjects.push_back({entity, transform, QQuaternion()});
        return Object(mObjects.size() - 1);
    }

    void setScale(Object object, float scale) override
    {
        if (Item* item = find(object)) item->transform->setScale(scale);
    }
    void setPositionY(Object object, float y) override
    {
        if (Item* item = find(object)) {
            QVector3D t = item->transform->translation();
            t.setY(y);
            item->transform->setTranslation(t);
        }
    }
    void appendObject(Object object) override
    {
        if (Item* item = find(object)) item->entity->setEnabled(true);
    }
    void setCameraPositionZ(float z) override
    {
        mCameraPosition.setZ(z);
        applyCamera();
    }
    void yawCamera(double radians) override
    {
        mCameraOrientation = orientation::turnedAboutOwnAxis(
            mCameraOrientation, orientation::kVerticalAxis, radians);
        applyCamera();
    }
    void yaw(Object object, double radians) override
    {
        turn(object, orientation::kVerticalAxis, radians);
    }
    void pitch(Object object, double radians) override
    {
        turn(object, orientation::kLateralAxis, radians);
    }
    void roll(Object object, double radians) override
    {
        turn(object, orientation::kLongitudinalAxis, radians);
    }
    void setOrientation(Object object, double x, double y, double z, double radians) override
    {
        if (Item* item = find(object)) {
            item->orientation = orientation::axisAngle(QVector3D(float(x), float(y), float(z)), radians);
            item->transform->setRotation(item->orientation);
        }
    }
    void setBackgroundColor(const QColor& colour) override
    {
        if (colour.isValid()) mWindow->defaultFrameGraph()->setClearColor(colour);
    }
    void redraw() override { requestFrame(); }

private:
    // Asks for a frame when the window is shown, uncovered or resized.
    class ExposeWatcher : public QObject {
    public:
        ExposeWatcher(QWindow* window, std::function<void()> onExpose)
            : mOnExpose(std::move(onExpose))
        {
            window->installEventFilter(this);
        }
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Expose || event->type() == QEvent::Resize) mOnExpose();
            return false;
        }

    private:
        std::function<void()> mOnExpose;
    };

    // Qt 3D on its own runs its frame loop at the display's rate for as long as the
    // window exists, even with nothing to draw and the view hidden on another tab.
    // Once the window has adopted the scene, its engine is switched to frames on
    // request, and frames are asked for here: one when something changed, none
    // sooner than a frame interval after the last, and one more after the last
    // change, which lets the engine finish what the first frame started (shaders,
    // buffers).
    void requestFrame()
    {
        mFramesOwed = 2;
        if (mFrameDue.isActive()) return;
        const qint64 since = mSinceFrame.isValid() ? mSinceFrame.elapsed() : mFrameIntervalMs;
        mFrameDue.start(int(std::max<qint64>(0, mFrameIntervalMs - since)));
    }

    void drawFrame()
    {
        Qt3DCore::QAspectEngine* engine = takeOverEngine();
        if (!engine) {
            // Not shown yet: Qt 3D's own loop draws the first frames.
            mWindow->requestUpdate();
            return;
        }
        mSinceFrame.start();
        // Expose and update requests mark the frame to be drawn in OnDemand mode.
        mWindow->requestUpdate();
        engine->processFrame();
        if (--mFramesOwed > 0) mFrameDue.start(mFrameIntervalMs);
    }

    Qt3DCore::QAspectEngine* takeOverEngine()
    {
        if (mEngine) return mEngine;
        // The window's root entity, which holds ours, belongs to the engine once shown.
        QObject* windowRoot = mRoot->parent();
        auto* engine = windowRoot ? qobject_cast<Qt3DCore::QAspectEngine*>(windowRoot->parent()) : nullptr;
        if (!engine) return nullptr;
        engine->setRunMode(Qt3DCore::QAspectEngine::Manual);
        mEngine = engine;
        return mEngine;
    }

    struct Item {
        Qt3DCore::QEntity* entity;
        Qt3DCore::QTransform* transform;
        QQuaternion orientation;
    };
    struct Shape {
        Qt3DRender::QGeometryRenderer* renderer;
        Qt3DExtras::QPhongMaterial* material;
    };

    Item* find(Object object)
    {
        return object >= 0 && size_t(object) < mObjects.size() ? &mObjects[size_t(object)] : nullptr;
    }

    void turn(Object object, const QVector3D& ownAxis, double radians)
    {
        if (Item* item = find(object)) {
            item->orientation = orientation::turnedAboutOwnAxis(item->orientation, ownAxis, radians);
            item->transform->setRotation(item->orientation);
        }
    }

    // The camera looks along its own -z with its own y up, as every object's frame.
    void applyCamera()
    {
        auto* camera = mWindow->camera();
        camera->setPosition(mCameraPosition);
        camera->setViewCenter(mCameraPosition + mCameraOrientation.rotatedVector({0, 0, -1}));
        camera->setUpVector(mCameraOrientation.rotatedVector({0, 1, 0}));
    }

    // One model text is read once; every object made from it shares its geometry and
    // materials.
    const std::vector<Shape>& shapesFor(const QByteArray& modelText)
    {
        auto found = mShapes.find(modelText);
        if (found != mShapes.end()) return found->second;
        std::vector<Shape> shapes;
        const objmodel::Model model = objmodel::parse(modelText);
        for (const objmodel::Part& part : model.parts) {
            if (part.vertices.empty()) continue;
            shapes.push_back({makeRenderer(part), makeMaterial(part.material)});
        }
        return mShapes.emplace(modelText, std::move(shapes)).first->second;
    }

    Qt3DRender::QGeometryRenderer* makeRenderer(const objmodel::Part& part)
    {
        // Interleaved position and normal, three floats each.
        QByteArray data(qsizetype(part.vertices.size() * 6 * sizeof(float)), Qt::Uninitialized);
        auto* out = reinterpret_cast<float*>(data.data());
        for (const objmodel::Vertex& v : part.vertices) {
            *out++ = v.position.x();
            *out++ = v.position.y();
            *out++ = v.position.z();
            *out++ = v.normal.x();
            *out++ = v.normal.y();
            *out++ = v.normal.z();
        }
        auto* geometry = new Qt3DCore::QGeometry(mRoot);
        auto* buffer = new Qt3DCore::QBuffer(geometry);
        buffer->setData(data);
        const auto count = uint(part.vertices.size());
        const uint stride = 6 * sizeof(float);
        auto* position = new Qt3DCore::QAttribute(buffer, Qt3DCore::QAttribute::defaultPositionAttributeName(),
                                                  Qt3DCore::QAttribute::Float, 3, count, 0, stride, geometry);
        auto* normal = new Qt3DCore::QAttribute(buffer, Qt3DCore::QAttribute::defaultNormalAttributeName(),
                                                Qt3DCore::QAttribute::Float, 3, count,
                                                3 * sizeof(float), stride, geometry);
        geometry->addAttribute(position);
        geometry->addAttribute(normal);
        auto* renderer = new Qt3DRender::QGeometryRenderer(mRoot);
        renderer->setGeometry(geometry);
        renderer->setPrimitiveType(Qt3DRender::QGeometryRenderer::Triangles);
        renderer->setVertexCount(int(count));
        return renderer;
    }

    Qt3DExtras::QPhongMaterial* makeMaterial(const QString& name)
    {
        const QColor colour = materialColour(name);
        auto* material = new Qt3DExtras::QPhongMaterial(mRoot);
        material->setDiffuse(colour);
        material->setAmbient(scaled(colour, kAmbientLevel));
        // Matte: ambient and diffuse only, as the flat-lit scene it stands for.
        material->setSpecular(Qt::black);
        return material;
    }

    Qt3DExtras::Qt3DWindow* mWindow = nullptr;
    QWidget* mWidget = nullptr;
    Qt3DCore::QAspectEngine* mEngine = nullptr;  // the window's, once taken over
    std::unique_ptr<ExposeWatcher> mWatcher;
    QTimer mFrameDue;
    QElapsedTimer mSinceFrame;
    int mFrameIntervalMs = 16;
    int mFramesOwed = 0;
    Qt3DCore::QEntity* mRoot = nullptr;
    QVector3D mCameraPosition;
    QQuaternion mCameraOrientation;
    std::vector<Item> mObjects;
    std::map<QByteArray, std::vector<Shape>> mShapes;
};

#endif  // DRAVIK_HAVE_QT3D

}  // namespace

std::unique_ptr<View3D> createQt3DView(QWidget* parent)
{
#ifdef DRAVIK_HAVE_QT3D
    if (openGLAvailable()) return std::make_unique<Qt3DView>(parent);
#endif
    return std::make_unique<AbsentView3D>(parent);
}
