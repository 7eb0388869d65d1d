#pragma once
// The application's pictures (indicator lamps and logos), compiled in as resources.
#include <QString>

class QPixmap;

// The picture ":/<name>.png", loaded the first time it is asked for and kept until
// the process ends. nullptr when the resource is missing or unreadable.
const QPixmap* Picture(const QString& name);

// The indicator lamp of an indicator code 1 to 5 (green, hidden, off, orange, red);
// nullptr for any other code or a missing picture.
const QPixmap* IndicatorPicture(int code);
