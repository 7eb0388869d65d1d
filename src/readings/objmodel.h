#pragma once
// Reads the shape of a 3D object from Wavefront .obj text: positions, normals and
// faces, grouped by material name. Nothing of it needs a renderer.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector3D>
#include <vector>

namespace objmodel {

struct Vertex {
    QVector3D position;
    QVector3D normal;
};

// The triangles of one material, three vertices each, in file order.
struct Part {
    QString material;
    std::vector<Vertex> vertices;
};

struct Model {
    std::vector<Part> parts;  // one per material name, in order of first use
    int skippedFaces = 0;     // faces that referred to a missing vertex
};

// Polygons are cut into triangle fans. A corner without a normal takes the flat normal
// of its face. Statements other than v, vn, f and usemtl are ignored, as are texture
// coordinates.
Model parse(QByteArrayView text);

}  // namespace objmodel
