// The connection indicator, the logo canvases and the contrast option.
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QTabWidget>
#include <QLabel>
#include <QPalette>
#include <QPixmap>

#include "../ui/wdwmain.h"
#include "controls.h"
#include "pictures.h"

namespace {
void setTextColour(QLabel* label, const QColor& colour)
{
    // Active and inactive only: a disabled label keeps the theme's greyed text.
    QPalette palette = label->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, colour);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A canvas that shows a picture takes the picture's size; without one it keeps its
// layout size.
void fitToBackdrop(Canvas* canvas)
{
    if (const QPixmap* picture = canvas->backdrop()) canvas->resize(picture->size());
}
}  // namespace

void WdwMain::SetCanvasBackdrop(Canvas* canvas, const QPixmap* picture, int code)
{
    if (!canvas) return;
    if (code == 0) {
        canvas->setBackdrop(picture);  // white made transparent by the canvas
    } else if (code >= 1 && code <= 5) {
        // The link sets the indicator for every burst of bytes; showing the lamp that
        // is already shown would only cost a repaint.
        const QPixmap* lamp = IndicatorPicture(code);
        if (code == canvas->backdropCode() && canvas->hasBackdrop() == (lamp != nullptr)) return;
        canvas->setBackdrop(lamp);
    } else {
        return;  // an unknown code leaves the canvas as it is
    }
    canvas->setBackdropCode(code);
}

void WdwMain::CanvasConnected_Open()
{
    SetCanvasBackdrop(CanvasConnected, nullptr, 3);
    fitToBackdrop(CanvasConnected);
}

void WdwMain::Canvas1_Open()
{
    SetCanvasBackdrop(Canvas1, Picture(QStringLiteral("VaroLogoColorSmall")), 0);
    fitToBackdrop(Canvas1);
}

void WdwMain::CheckContrast_Action()
{
    CanvasReadingBackground->repaint();
    const QColor colour = CheckContrast->isChecked() ? QColor(255, 255, 0) : QColor(0, 0, 0);
    setTextColour(StaticReadingHeadingValue, colour);
    setTextColour(StaticReadingHeading, colour);
    UpdateCurrentReading();
}

QColor WdwMain::WindowBackgroundColour() const
{
    if (mWindowBackgroundColour.isValid()) return mWindowBackgroundColour;
    // The colour the reading canvas and the 3D view sit on: the tab panel, which the
    // style may paint lighter than the window, under the tint the style may give a
    // group box's inside. Both are drawn alone, without the controls on them, and
    // read in the middle of GroupReadings.
    QImage pixel(1, 1, QImage::Format_ARGB32);
    pixel.fill(palette().color(QPalette::Active, QPalette::Window));
    const QPoint middle = GroupReadings->rect().center();
    const QPoint onPanel = GroupReadings->mapTo(TabMain, middle);
    TabMain->render(&pixel, QPoint(0, 0), QRegion(QRect(onPanel, QSize(1, 1))), QWidget::DrawWindowBackground);
    GroupReadings->render(&pixel, QPoint(0, 0), QRegion(QRect(middle, QSize(1, 1))), QWidget::RenderFlags());
    mWindowBackgroundColour = pixel.pixelColor(0, 0);
    return mWindowBackgroundColour;
}
