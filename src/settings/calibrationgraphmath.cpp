#include "calibrationgraphmath.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace calgraph {

Scaling scale(const float* x, const float* y, int n)
{
    Scaling s;
    s.xMin = s.xMax = x[0];
    s.yMin = s.yMax = y[0];
    for (int k = 1; k < n; ++k) {
        if (x[k] < s.xMin) s.xMin = x[k];
        if (x[k] > s.xMax) s.xMax = x[k];
        if (y[k] < s.yMin) s.yMin = y[k];
        if (y[k] > s.yMax) s.yMax = y[k];
    }
    s.xScale = (s.xMax - s.xMin) / float(kDivisions);
    s.yScale = (s.yMax - s.yMin) / float(kDivisions);
    const float shared = s.xScale > s.yScale ? s.xScale : s.yScale;
    s.xScale = shared;
    s.yScale = shared;
    if (s.xMax == s.xMin) s.xScale = 1.0f;
    if (s.yMax == s.yMin) s.yScale = 1.0f;
    return s;
}

QString formatLabel(float value)
{
    QString text = QString::number(double(value), 'f', 2);
    if (text.startsWith(QLatin1Char('-')) && text.mid(1) == QLatin1String("0.00"))
        text.remove(0, 1);
    return text;
}

namespace {
// The running value is accumulated in single precision, as the labels are drawn.
QStringList runningLabels(float start, float step, int count)
{
    QStringList labels;
    float v = start;
    for (int i = 0; i < count; ++i) {
        labels << formatLabel(v);
        v = v + step;
    }
    return labels;
}
}  // namespace

QStringList horizontalLabels(const Scaling& s)
{
    return runningLabels(s.xMin, 2.0f * s.xScale, kHorizontalLabels);
}

QStringList verticalLabels(const Scaling& s)
{
    return runningLabels(s.yMin, s.yScale, kVerticalLabels);
}

namespace {
// The points of a garbled sentence (a number beyond float range, or two too close to
// tell apart) land at infinite or undefined positions. Those go to the edge of a
// margin as wide as the plot around it, where the line is cut off anyway: converting
// them to int as they are is undefined, and a line from INT_MIN would take forever to
// draw. The points of a sound run all lie on the plot and are not moved.
int onPlotOrMargin(double position, int size)
{
    const double low = -double(size);
    const double high = 2.0 * double(size);
    if (std::isnan(position)) return int(low);
    return int(std::trunc(std::clamp(position, low, high)));
}
}  // namespace

QPoint pixel(const Scaling& s, float x, float y, int w, int h)
{
    const int xStep = w / kDivisions;
    const int yStep = h / kDivisions;
    const double px = (double(x) - double(s.xMin)) / double(s.xScale) * xStep;
    const double py = h - (double(y) - double(s.yMin)) / double(s.yScale) * yStep;
    return QPoint(onPlotOrMargin(px, w), onPlotOrMargin(py, h));
}

void drawPolyline(QImage& image, const QPolygon& points, QRgb colour)
{
    const int width = image.width();
    const int height = image.height();
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    auto plot = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < width && y < height) bits[y * stride + x] = colour;
    };
    for (int k = 1; k < points.size(); ++k) {
        // Bresenham from the previous point to this one.
        int x0 = points[k - 1].x(), y0 = points[k - 1].y();
        const int x1 = points[k].x(), y1 = points[k].y();
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        for (;;) {
            plot(x0, y0);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * error;
            if (e2 >= dy) { error += dy; x0 += sx; }
            if (e2 <= dx) { error += dx; y0 += sy; }
        }
    }
}

}  // namespace calgraph
