// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/cmlib_objects.h"

#include "messages/fmsg_infobox.h"
#include "messages/modinternet.h"

#include <QGuiApplication>

namespace tavlo {

void cmlib_OBJECTS::InternetLinkRun(const QString &sHwnd, const QString &LinkType,
                                    const QString &Address)
{
    OpenLink(sHwnd, LinkType, Address);
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

MessageRow messageRow(long number)
{
    // The table is shared by a family of programs; this one carries its own row only.
    if (number == 15)
        return {QStringLiteral("There is an error accessing the website."),
                QStringLiteral("Please try again later. Also test your Internet connection.")};
    return {};
}

void cmlib_OBJECTS::MessageBoxOpen(long Number, const QString &Part1)
{
    const bool known = Number >= 1 && Number <= 43;
    const MessageRow row = known ? messageRow(Number) : MessageRow{};
    fmsg_INFOBOX &window = infoBox();
    window.setMessage(row.first, row.second, Part1,
                      known ? fmsg_INFOBOX::Bar::Close : fmsg_INFOBOX::Bar::None);
    window.exec();
}

std::unique_ptr<cmlib_OBJECTS> &objOBJECTS()
{
    static auto *objects = new std::unique_ptr<cmlib_OBJECTS>;
    return *objects;
}

} // namespace tavlo
