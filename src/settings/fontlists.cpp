// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/fontlists.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QSet>

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

QString plainFamilyName(const QString &family)
{
    const QString name = family.trimmed();
    const qsizetype open = name.lastIndexOf(QLatin1String(" ["));
    if (open > 0 && name.endsWith(QLatin1Char(']')))
        return name.left(open).trimmed();
    return name;
}

QStringList fontListNames(const QStringList &families)
{
    QStringList names;
    QSet<QString> seen;
    for (const QString &family : families) {
        const QString name = plainFamilyName(family);
        if (!isHiddenFontName(name) && !seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    return names;
}

void FillFontList(QComboBox *combo)
{
    combo->clear();
    combo->addItems(fontListNames(QFontDatabase::families()));
}

void showInCombo(QComboBox *combo, const QString &text)
{
    // The text may differ in case from the entry; the box keeps it as given.
    combo->setCurrentIndex(combo->findText(text, Qt::MatchFixedString));
    combo->setEditText(text);
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
