#include "PixelnookFont.h"

#include <QFontDatabase>
#include <QStringList>

// The resource lives in a static library, so it has to be pulled in by hand;
// Q_INIT_RESOURCE may not be used inside a namespace.
static void InitFontResource()
{
    Q_INIT_RESOURCE(pixelnook_font);
}

QFont PixelnookFont()
{
    static const QString Family = [] {
        InitFontResource();
        const int Id =
            QFontDatabase::addApplicationFont(QStringLiteral(":/pixelnook/fonts/FreeSans.ttf"));
        const QStringList Families =
            Id >= 0 ? QFontDatabase::applicationFontFamilies(Id) : QStringList();
        return Families.isEmpty() ? QStringLiteral("Sans Serif") : Families.first();
    }();
    QFont Font(Family);
    Font.setPixelSize(11);
    return Font;
}
