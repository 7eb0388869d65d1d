#pragma once
// The calibration graph's arithmetic, kept free of widgets: ranges, the shared scale,
// the axis label texts and the pixel position of every point.
#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QString>
#include <QVector>

namespace calgraph {

inline constexpr int kDivisions = 14;
inline constexpr int kHorizontalLabels = 8;   // every second vertical grid line
inline constexpr int kVerticalLabels = 15;    // every horizontal grid line

struct Scaling {
    float xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    float xScale = 1, yScale = 1;  // data units per division
};

// Ranges and scales of the first n points (n >= 1): the larger range sets one scale
// for both axes; an axis whose range is zero then gets 1.0 on its own.
Scaling scale(const float* x, const float* y, int n);

// "-#0.00": at least one integer digit, two decimals, a minus only when the value
// shows as negative (a negative that rounds to zero reads "0.00").
QString formatLabel(float value);

// Texts of the labels under the graph (X values, 8 of them) and left of it
// (Y values, 15 of them), accumulated in single precision as they are drawn.
QStringList horizontalLabels(const Scaling& s);
QStringList verticalLabels(const Scaling& s);

// Pixel of a point on a plot of width w and height h (usable square), truncated.
QPoint pixel(const Scaling& s, float x, float y, int w, int h);

// Joins the points in order with one-pixel lines (both ends drawn) straight into a
// 32-bit image; pixels outside the image are skipped. Far faster than QPainter for
// the short segments of a long calibration run.
void drawPolyline(QImage& image, const QPolygon& points, QRgb colour);

}  // namespace calgraph
