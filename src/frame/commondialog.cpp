// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/commondialog.h"

#include "platform/desktop.h"

#include <QPointer>

namespace tavlo {
namespace {

// A filter longer than this is no filter a widget sets: it is ignored.
constexpr qsizetype kMaxFilterLength = 4096;

std::function<CommonDialog *()> &dialogSource()
{
    static std::function<CommonDialog *()> source;
    return source;
}

} // namespace

CommonDialog::CommonDialog(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("dlgFILE"));
}

bool CommonDialog::ShowOpen(QWidget *parent)
{
    const QString chosen = desktop().askOpenFile(parent, DialogTitle, InitDir,
                                                 qtNameFilters(Filter).join(QLatin1String(";;")));
    FileName = chosen;
    return !chosen.isEmpty();
}

QStringList qtNameFilters(const QString &filter)
{
    QStringList result;
    if (filter.size() > kMaxFilterLength)
        return result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString caption = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (caption.isEmpty() || patterns.isEmpty())
            continue;
        // A caption that lists its patterns is shown as it is; the desktop's
        // dialog reads them from there.
        if (caption.endsWith(QLatin1Char(')')) && caption.contains(QLatin1Char('(')))
            result << caption;
        else
            result << caption + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

CommonDialog &sharedFileDialog()
{
    if (dialogSource()) {
        if (CommonDialog *dialog = dialogSource()())
            return *dialog;
    }
    static QPointer<CommonDialog> own;
    if (!own)
        own = new CommonDialog;
    return *own;
}

void setSharedFileDialogSource(std::function<CommonDialog *()> source)
{
    dialogSource() = std::move(source);
}

} // namespace tavlo
