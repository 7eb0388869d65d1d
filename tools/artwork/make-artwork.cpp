// Draws the application's pictures: five indicator lamps, the small colour logo and
// the communication-board logo. Pure white is the transparent colour of the canvases,
// so every drawn pixel is kept off pure white.
//
//   make-artwork OUTPUT_FOLDER
#include <QConicalGradient>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>
#include <functional>

namespace {
// Draws the art on white. Pixels the art itself painted pure white become
// off-white, so that only the untouched background turns transparent: they are found
// by drawing the art a second time on black.
QImage render(int width, int height, const std::function<void(QPainter&)>& draw)
{
    QImage onWhite(width, height, QImage::Format_RGB32);
    QImage onBlack(width, height, QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    onBlack.fill(Qt::black);
    for (QImage* image : {&onWhite, &onBlack}) {
        QPainter p(image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (onWhite.pixel(x, y) == qRgb(255, 255, 255) && onBlack.pixel(x, y) != qRgb(0, 0, 0))
                onWhite.setPixel(x, y, qRgb(254, 254, 254));
    return onWhite;
}

QColor cap(QColor c)
{
    return QColor(qMin(c.red(), 250), qMin(c.green(), 250), qMin(c.blue(), 250));
}

// A round panel lamp: a grey bezel and, unless empty, a domed glass in the colour.
// The empty socket leaves its middle undrawn, so the window shows through it.
QImage lamp(const QColor& colour, bool empty, double glow)
{
    return render(22, 22, [&](QPainter& p) {
        const QPointF centre(11, 11);
        QLinearGradient bezel(0, 1, 0, 21);
        bezel.setColorAt(0, QColor(80, 80, 84));
        bezel.setColorAt(1, QColor(190, 190, 196));
        QPainterPath rim;
        rim.addEllipse(centre, 10, 10);
        if (empty) rim.addEllipse(centre, 7.5, 7.5);  // odd-even fill: a ring
        p.fillPath(rim, bezel);
        if (empty) return;
        QRadialGradient glass(centre, 8, QPointF(8.5, 8));
        glass.setColorAt(0, cap(colour.lighter(int(100 + 70 * glow))));
        glass.setColorAt(0.55, colour);
        glass.setColorAt(1, colour.darker(170));
        p.setPen(Qt::NoPen);
        p.setBrush(glass);
        p.drawEllipse(centre, 8, 8);
        p.setBrush(QColor(250, 250, 250, int(200 * glow)));
        p.drawEllipse(QRectF(5.5, 4.5, 6, 4));
    });
}

// One point of a compass rose: two triangles, lit side and shaded side.
void rosePoint(QPainter& p, QPointF c, double angle, double length, double width, QColor lit, QColor shade)
{
    const QPointF tip = c + QPointF(qSin(angle), -qCos(angle)) * length;
    const QPointF side = QPointF(qCos(angle), qSin(angle)) * width;
    QPainterPath left, right;
    left.moveTo(c);
    left.lineTo(tip);
    left.lineTo(c - side);
    left.closeSubpath();
    right.moveTo(c);
    right.lineTo(tip);
    right.lineTo(c + side);
    right.closeSubpath();
    p.fillPath(left, lit);
    p.fillPath(right, shade);
}

void drawRose(QPainter& p, QPointF c, double radius)
{
    QConicalGradient ring(c, 90);
    const QColor hues[] = {QColor(220, 40, 40), QColor(245, 160, 20), QColor(240, 215, 30),
                           QColor(40, 170, 80), QColor(20, 140, 200), QColor(70, 60, 180),
                           QColor(220, 40, 40)};
    for (int i = 0; i < 7; ++i) ring.setColorAt(i / 6.0, hues[i]);
    p.setPen(QPen(QBrush(ring), radius * 0.09));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, radius * 0.86, radius * 0.86);
    for (int i = 0; i < 8; ++i) {
        const double angle = M_PI / 4 * i + M_PI / 8;
        rosePoint(p, c, angle, radius * 0.42, radius * 0.08, QColor(30, 150, 150), QColor(15, 95, 100));
    }
    for (int i = 0; i < 4; ++i) {
        const double angle = M_PI / 2 * i + M_PI / 4;
        rosePoint(p, c, angle, radius * 0.62, radius * 0.13, QColor(60, 170, 90), QColor(30, 110, 60));
    }
    for (int i = 0; i < 4; ++i) {
        const double angle = M_PI / 2 * i;
        if (i == 0) rosePoint(p, c, angle, radius, radius * 0.17, QColor(235, 60, 50), QColor(160, 25, 25));
        else rosePoint(p, c, angle, radius, radius * 0.17, QColor(50, 90, 190), QColor(25, 50, 120));
    }
    p.setPen(QPen(QColor(120, 80, 10), 1));
    p.setBrush(QColor(245, 190, 40));
    p.drawEllipse(c, radius * 0.09, radius * 0.09);
}

// Kept within the top 74 rows: the canvas reaches down over the tab panel's edge.
QImage varoLogo()
{
    return render(95, 84, [](QPainter& p) { drawRose(p, QPointF(47.5, 37.5), 36); });
}

// The communication board: a chip with pins, a compass needle on its lid.
QImage dravikLogo()
{
    return render(128, 128, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(205, 165, 60));
        for (int i = 0; i < 5; ++i) {
            const double at = 34 + 13 * i;
            p.drawRoundedRect(QRectF(at, 10, 8, 22), 2, 2);
            p.drawRoundedRect(QRectF(at, 96, 8, 22), 2, 2);
            p.drawRoundedRect(QRectF(10, at, 22, 8), 2, 2);
            p.drawRoundedRect(QRectF(96, at, 22, 8), 2, 2);
        }
        QLinearGradient body(0, 26, 0, 102);
        body.setColorAt(0, QColor(62, 74, 100));
        body.setColorAt(1, QColor(30, 36, 52));
        p.setBrush(body);
        p.drawRoundedRect(QRectF(26, 26, 76, 76), 9, 9);
        p.setPen(QPen(QColor(40, 190, 190), 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(64, 64), 26, 26);
        QPainterPath north, south;
        north.moveTo(64, 42);
        north.lineTo(71, 64);
        north.lineTo(57, 64);
        north.closeSubpath();
        south.moveTo(64, 86);
        south.lineTo(71, 64);
        south.lineTo(57, 64);
        south.closeSubpath();
        p.setPen(Qt::NoPen);
        p.fillPath(north, QColor(230, 55, 45));
        p.fillPath(south, QColor(215, 220, 228));
        p.setBrush(QColor(245, 190, 40));
        p.drawEllipse(QPointF(64, 64), 3.5, 3.5);
        p.setBrush(QColor(240, 240, 235));
        p.drawEllipse(QPointF(36, 36), 3, 3);  // pin-one mark
    });
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-artwork OUTPUT_FOLDER\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));
    const struct {
        const char* name;
        QImage image;
    } pictures[] = {
        {"LEDgreen", lamp(QColor(40, 200, 70), false, 1.0)},
        {"LEDhidden", lamp(QColor(0, 0, 0), true, 0.0)},
        {"LEDoff", lamp(QColor(105, 108, 112), false, 0.35)},
        {"LEDorange", lamp(QColor(250, 145, 20), false, 1.0)},
        {"LEDred", lamp(QColor(225, 30, 30), false, 1.0)},
        {"VaroLogoColorSmall", varoLogo()},
        {"DravikLogo", dravikLogo()},
    };
    for (const auto& picture : pictures) {
        const QString path = out.filePath(QString::fromLatin1(picture.name) + QStringLiteral(".png"));
        if (!picture.image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
