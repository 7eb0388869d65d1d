#include <QImage>
#include <QLabel>
#include <QPainter>

#include "../ui/controls.h"
#include "../ui/wdwmain.h"
#include "calibrationgraphmath.h"

void WdwMain::CanvasUserCalGraph_Paint(QPainter& g)
{
    const int w = CanvasUserCalGraph->width() - 1;
    const int h = CanvasUserCalGraph->height() - 1;
    const int n = mUserCalDataCount;
    // Readers use only the points below the count; the arrays may be longer.
    if (n < 2 || mUserCalDataX.size() < n || mUserCalDataY.size() < n) return;

    const float* x = mUserCalDataX.constData();
    const float* y = mUserCalDataY.constData();
    const calgraph::Scaling s = calgraph::scale(x, y, n);

    const QStringList below = calgraph::horizontalLabels(s);
    for (int i = 0; i < calgraph::kHorizontalLabels; ++i) UserCalGraphY[size_t(i)]->setText(below[i]);
    const QStringList left = calgraph::verticalLabels(s);
    for (int i = 0; i < calgraph::kVerticalLabels; ++i) UserCalGraphX[size_t(i)]->setText(left[i]);

    QPolygon line(n);
    for (int k = 0; k < n; ++k) line[k] = calgraph::pixel(s, x[k], y[k], w, h);

    // Drawn off screen, then copied in one go. The image's white is transparent, so
    // starting it transparent gives the same picture: the grid behind the canvas
    // shows through everywhere but under the line.
    QImage image(CanvasUserCalGraph->size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        g.setPen(QPen(QColor(0, 0, 255), 0));
        g.drawPolyline(line);
        return;
    }
    image.fill(Qt::transparent);
    calgraph::drawPolyline(image, line, qRgb(0, 0, 255));
    g.drawImage(0, 0, image);
}
