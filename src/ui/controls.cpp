#include "controls.h"

#include <QBitmap>
#include <QPainter>

Canvas::Canvas(QWidget* parent) : QWidget(parent) {}

void Canvas::setBackdrop(const QPixmap* picture)
{
    if (!picture) {
        mBackdrop.reset();
    } else {
        // White made transparent: the window background shows through it.
        QImage image = picture->toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0x00ffffff) == 0x00ffffff) line[x] = 0;
        }
        mBackdrop = QPixmap::fromImage(image);
    }
    update();
}

void Canvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (mBackdrop) painter.drawPixmap(0, 0, *mBackdrop);
    emit paint(painter);
}

void EditField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    emit lostFocus();
}
