#include <QCheckBox>
#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>

#include "../ui/wdwmain.h"
#include "readingformat.h"

void WdwMain::UpdateCurrentReading()
{
    StaticReadingHeadingValue->setText(
        readingformat::headingText(mHeading, RadioCompassMils->isChecked()));
}

void WdwMain::CanvasReadingBackground_Paint(QPainter& g)
{
    if (CheckContrast->isChecked()) {
        g.fillRect(0, 0, 378, 221, QColor(180, 180, 180));
        g.fillRect(5, 5, 368, 211, QColor(0, 0, 0));
    } else {
        g.fillRect(0, 0, 378, 221, WindowBackgroundColour());
    }
}

void WdwMain::StaticReadingHeadingValue_Open()
{
    // "System" names the platform's own interface font; where no family of that name
    // is installed (Linux has none), the system's general font stands in. Size and
    // weight stay as laid out.
    QFont font = StaticReadingHeadingValue->font();
    font.setFamilies({QStringLiteral("System"),
                      QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()});
    StaticReadingHeadingValue->setFont(font);
}
