#include "objmodel.h"

#include <QList>
#include <optional>

namespace objmodel {

namespace {
QList<QByteArrayView> words(QByteArrayView line)
{
    QList<QByteArrayView> result;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const qsizetype start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) result.append(line.sliced(start, i - start));
    }
    return result;
}

std::optional<QVector3D> vector3(const QList<QByteArrayView>& w)
{
    if (w.size() < 4) return std::nullopt;
    bool okX = false, okY = false, okZ = false;
    const QVector3D v(w[1].toFloat(&okX), w[2].toFloat(&okY), w[3].toFloat(&okZ));
    if (!okX || !okY || !okZ) return std::nullopt;
    return v;
}

// One-based index, negative counting back from the last element; -1 when invalid.
qsizetype resolve(QByteArrayView field, qsizetype count)
{
    if (field.isEmpty()) return -1;
    bool ok = false;
    const long long index = field.toLongLong(&ok);
    if (!ok || index == 0) return -1;
    const long long resolved = index > 0 ? index - 1 : count + index;
    return resolved >= 0 && resolved < count ? qsizetype(resolved) : -1;
}
}  // namespace

Model parse(QByteArrayView text)
{
    Model model;
    std::vector<QVector3D> positions;
    std::vector<QVector3D> normals;
    Part* part = nullptr;
    auto select = [&](const QString& material) {
        for (Part& p : model.parts)
            if (p.material == material) return &p;
        model.parts.push_back(Part{material, {}});
        return &model.parts.back();
    };
    QString material;

    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = text.indexOf('\n', lineStart);
        if (lineEnd < 0) lineEnd = text.size();
        QByteArrayView line = text.sliced(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (const qsizetype hash = line.indexOf('#'); hash >= 0) line = line.first(hash);
        line = line.trimmed();
        const QList<QByteArrayView> w = words(line);
        if (w.isEmpty()) continue;

        if (w[0] == "v") {
            positions.push_back(vector3(w).value_or(QVector3D()));
        } else if (w[0] == "vn") {
            normals.push_back(vector3(w).value_or(QVector3D()).normalized());
        } else if (w[0] == "usemtl") {
            material = w.size() > 1 ? QString::fromUtf8(w[1]) : QString();
            part = nullptr;
        } else if (w[0] == "f") {
            std::vector<Vertex> corners;
            std::vector<bool> hasNormal;
            bool valid = w.size() >= 4;
            for (qsizetype i = 1; valid && i < w.size(); ++i) {
                const QList<QByteArrayView> fields = [&] {
                    QList<QByteArrayView> f;
                    qsizetype s = 0;
                    for (qsizetype k = 0; k <= w[i].size(); ++k)
                        if (k == w[i].size() || w[i][k] == '/') {
                            f.append(w[i].sliced(s, k - s));
                            s = k + 1;
                        }
                    return f;
                }();
                const qsizetype p = resolve(fields[0], qsizetype(positions.size()));
                if (p < 0) {
                    valid = false;
                    break;
                }
                const qsizetype n =
                    fields.size() > 2 ? resolve(fields[2], qsizetype(normals.size())) : -1;
                corners.push_back({positions[p], n >= 0 ? normals[n] : QVector3D()});
                hasNormal.push_back(n >= 0);
            }
            if (!valid) {
                ++model.skippedFaces;
                continue;
            }
            // Newell's method: a sound normal for any planar polygon.
            QVector3D flat;
            for (size_t i = 0; i < corners.size(); ++i) {
                const QVector3D& a = corners[i].position;
                const QVector3D& b = corners[(i + 1) % corners.size()].position;
                flat += QVector3D((a.y() - b.y()) * (a.z() + b.z()),
                                  (a.z() - b.z()) * (a.x() + b.x()),
                                  (a.x() - b.x()) * (a.y() + b.y()));
            }
            flat.normalize();
            for (size_t i = 0; i < corners.size(); ++i)
                if (!hasNormal[i]) corners[i].normal = flat;
            if (!part) part = select(material);
            for (size_t i = 1; i + 1 < corners.size(); ++i) {
                part->vertices.push_back(corners[0]);
                part->vertices.push_back(corners[i]);
                part->vertices.push_back(corners[i + 1]);
            }
        }
    }
    return model;
}

}  // namespace objmodel
