// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/modinternet.h"

#include "platform/desktop.h"

#include <QUrl>
#include <initializer_list>

namespace tavlo {
namespace {

bool allowedScheme(const QUrl &url)
{
    static const std::initializer_list<QLatin1String> schemes = {
        QLatin1String("http"), QLatin1String("https"),  QLatin1String("ftp"),
        QLatin1String("news"), QLatin1String("mailto"), QLatin1String("file")};
    for (const QLatin1String &scheme : schemes) {
        if (url.scheme().compare(scheme, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QUrl linkUrl(const QString &linkType, const QString &target)
{
    if (target.isEmpty())
        return {};
    const QString type = linkType.isEmpty() ? QStringLiteral("file://") : linkType;
    if (type == QLatin1String("http://")) {
        QUrl url(target.trimmed(), QUrl::TolerantMode);
        // A bare host name ("www.example.com") is a web address.
        if (url.scheme().isEmpty())
            url = QUrl(QStringLiteral("http://") + target.trimmed(), QUrl::TolerantMode);
        return url;
    }
    if (type == QLatin1String("mailto:"))
        return QUrl(type + target.trimmed(), QUrl::TolerantMode);
    const QString lower = target.toLower();
    for (const char *scheme : {"http://", "mailto:", "news:", "ftp:", "https:"}) {
        if (lower.contains(QLatin1String(scheme)))
            return QUrl(target.trimmed(), QUrl::TolerantMode);
    }
    if (type == QLatin1String("file://"))
        return QUrl::fromLocalFile(target);
    return QUrl(type + target, QUrl::TolerantMode);
}

} // namespace

QString LinkAddress(const QString &linkType, const QString &target)
{
    const QUrl url = linkUrl(linkType, target);
    if (!url.isValid() || !allowedScheme(url))
        return {};
    return url.toString(QUrl::FullyEncoded);
}

void OpenLink(const QString &, const QString &linkType, const QString &target)
{
    const QUrl url = linkUrl(linkType, target);
    if (url.isValid() && allowedScheme(url))
        desktop().openUrl(url);
}

} // namespace tavlo
