// Reading a model's shape from .obj text, and the shipped helicopter's fit in the view.
#include <QFile>
#include <QMatrix4x4>
#include <QTest>
#include <QtMath>

#include "readings/objmodel.h"
#include "readings/orientation.h"

class TestObjModel : public QObject {
    Q_OBJECT
private slots:
    void parts_data();
    void parts();
    void normals();
    void helicopterFitsTheView_data();
    void helicopterFitsTheView();
};

void TestObjModel::parts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("materials");
    QTest::addColumn<QList<int>>("triangles");
    QTest::addColumn<int>("skipped");

    const QByteArray square = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
    QTest::newRow("quad becomes two triangles")
        << square + "f 1 2 3 4\n" << QStringList{""} << QList<int>{2} << 0;
    QTest::newRow("texture and normal fields")
        << square + "vt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\nf 1//1 3//1 4//1\nf 1/1 2/1 3/1\n"
        << QStringList{""} << QList<int>{3} << 0;
    QTest::newRow("negative indices count back")
        << square + "f -4 -3 -2 -1\n" << QStringList{""} << QList<int>{2} << 0;
    QTest::newRow("materials gather their faces")
        << square + "usemtl body\nf 1 2 3\nusemtl rotor\nf 1 3 4\nusemtl body\nf 2 3 4\n"
        << QStringList{"body", "rotor"} << QList<int>{2, 1} << 0;
    QTest::newRow("missing vertex skips the face")
        << square + "f 1 2 9\nf 0 1 2\nf 1 2 3\n" << QStringList{""} << QList<int>{1} << 2;
    QTest::newRow("comments, blank lines, CR LF, other statements")
        << QByteArray("# a comment\r\no thing\r\n\r\nv 0 0 0\r\nv 1 0 0 # x\r\nv 0 1 0\r\n"
                      "s off\r\nmtllib x.mtl\r\nf 1 2 3\r\n")
        << QStringList{""} << QList<int>{1} << 0;
    QTest::newRow("a line or a point is no face")
        << square + "f 1 2\nf 1\n" << QStringList{} << QList<int>{} << 2;
    QTest::newRow("empty text") << QByteArray() << QStringList{} << QList<int>{} << 0;
}

void TestObjModel::parts()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, materials);
    QFETCH(QList<int>, triangles);
    QFETCH(int, skipped);

    const objmodel::Model model = objmodel::parse(text);
    QStringList seenMaterials;
    QList<int> seenTriangles;
    for (const auto& part : model.parts) {
        seenMaterials << part.material;
        QCOMPARE(part.vertices.size() % 3, 0u);
        seenTriangles << int(part.vertices.size() / 3);
    }
    QCOMPARE(seenMaterials, materials);
    QCOMPARE(seenTriangles, triangles);
    QCOMPARE(model.skippedFaces, skipped);
}

void TestObjModel::normals()
{
    // Given normals are used as given; faces without them get the normal of their
    // winding (counter-clockwise seen from the front).
    const objmodel::Model model = objmodel::parse(
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 2\nvn 1 0 0\n"
        "f 1 2 3\nf 1 3 2\nf 1//2 2//2 3//2\n");
    QCOMPARE(model.parts.size(), 1u);
    const auto& v = model.parts[0].vertices;
    QCOMPARE(v.size(), 9u);
    QCOMPARE(v[0].normal, QVector3D(0, 0, 1));
    QCOMPARE(v[3].normal, QVector3D(0, 0, -1));
    QCOMPARE(v[6].normal, QVector3D(1, 0, 0));
}

void TestObjModel::helicopterFitsTheView_data()
{
    QTest::addColumn<float>("heading");
    for (int h = 0; h < 360; h += 15) QTest::addRow("heading %d", h) << float(h);
}

void TestObjModel::helicopterFitsTheView()
{
    // Both models as the Test tab shows them: scale 5 at y 2 and scale 3 at y -2, seen
    // from 10 units away along z with a 50 degree field of view in a 378 x 414 view.
    QFETCH(float, heading);
    QFile file(":/helicopter.obj");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const objmodel::Model model = objmodel::parse(file.readAll());
    QCOMPARE(model.skippedFaces, 0);
    QStringList materials;
    for (const auto& part : model.parts) materials << part.material;
    materials.sort();
    QCOMPARE(materials, (QStringList{"body", "glass", "metal", "rotor"}));

    const orientation::Attitude a = orientation::attitudeFor(heading, 0, 0);
    QMatrix4x4 large, small;
    large.translate(0, 2, 0);
    large.rotate(orientation::axisAngle(orientation::kVerticalAxis, a.heading));
    large.scale(5);
    small.translate(0, -2, 0);
    small.rotate(orientation::turnedAboutOwnAxis(
        orientation::axisAngle(orientation::kLongitudinalAxis, a.arrow),
        orientation::kLateralAxis, a.arrowTip));
    small.scale(3);

    const float tanHalf = qTan(qDegreesToRadians(25.f));
    const float aspect = 378.f / 414.f;
    float largeTop = -1e9f, smallBottom = 1e9f, largeBottom = 1e9f, smallTop = -1e9f;
    for (const auto& part : model.parts)
        for (const auto& vertex : part.vertices)
            for (const QMatrix4x4* m : {&large, &small}) {
                const QVector3D p = m->map(vertex.position);
                const float depth = p.z() + 10;
                QVERIFY2(depth > 5, "inside the near clipping distance");
                const float sx = p.x() / (depth * tanHalf * aspect);
                const float sy = p.y() / (depth * tanHalf);
                QVERIFY2(qAbs(sx) < 0.98f && qAbs(sy) < 0.98f,
                         qPrintable(QStringLiteral("vertex off screen at %1, %2").arg(sx).arg(sy)));
                if (m == &large) {
                    largeTop = qMax(largeTop, sy);
                    largeBottom = qMin(largeBottom, sy);
                } else {
                    smallTop = qMax(smallTop, sy);
                    smallBottom = qMin(smallBottom, sy);
                }
            }
    // The two models do not cover each other, and the large one fills a good part of
    // the view.
    QVERIFY(smallTop < largeBottom);
    QVERIFY(largeTop - largeBottom > 0.4f);
}

QTEST_APPLESS_MAIN(TestObjModel)
#include "test_objmodel.moc"
