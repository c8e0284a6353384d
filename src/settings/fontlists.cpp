#include "settings/fontlists.h"

#include <QComboBox>
#include <QFontDatabase>

namespace tavlo {

bool isHiddenFontName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('@')) ||
        name.startsWith(QLatin1String("WST")))
        return true;
    for (const char *suffix : {" TUR", " Greek", " Baltic", " CE", " CYR"}) {
        if (name.endsWith(QLatin1String(suffix)))
            return true;
    }
    return false;
}

void FillFontList(QComboBox *combo)
{
    combo->clear();
    QStringList names;
    for (const QString &family : QFontDatabase::families()) {
        const QString name = family.trimmed();
        if (!isHiddenFontName(name))
            names << name;
    }
    combo->addItems(names);
}

void FillSizeList(QComboBox *combo)
{
    static const int sizes[] = {7,  8,  9,  10, 11, 12, 13, 14, 16, 18,  20,  22, 24,
                                26, 28, 32, 36, 40, 48, 60, 72, 96, 132, 160, 200};
    QStringList items;
    for (const int size : sizes)
        items << QString::number(size);
    combo->clear();
    combo->addItems(items);
}

} // namespace tavlo
