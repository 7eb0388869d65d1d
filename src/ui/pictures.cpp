#include "pictures.h"

#include <QHash>
#include <QPixmap>

const QPixmap* Picture(const QString& name)
{
    // Never freed: the pictures are shared by every canvas for the whole run, and a
    // QPixmap must not be destroyed after the application object in a static
    // destructor. A missing picture is remembered as nullptr so it is tried once.
    static auto* cache = new QHash<QString, const QPixmap*>;
    auto it = cache->constFind(name);
    if (it != cache->constEnd()) return *it;
    auto* picture = new QPixmap;
    if (!picture->load(QStringLiteral(":/%1.png").arg(name))) {
        delete picture;
        picture = nullptr;
    }
    cache->insert(name, picture);
    return picture;
}

const QPixmap* IndicatorPicture(int code)
{
    static const char* const names[] = {"LEDgreen", "LEDhidden", "LEDoff", "LEDorange", "LEDred"};
    if (code < 1 || code > 5) return nullptr;
    return Picture(QString::fromLatin1(names[code - 1]));
}
