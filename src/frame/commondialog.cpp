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

QString qtPattern(QString pattern)
{
    pattern = pattern.trimmed();
    // On Windows "*.*" matches every file; here a name need not hold a dot.
    return pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
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
        QString caption = parts[i].trimmed();
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << qtPattern(pattern);
        if (caption.isEmpty() || patterns.isEmpty())
            continue;
        // Qt takes the patterns from the caption's last parentheses: the caption's
        // own list becomes the pattern list, written Qt's way.
        if (caption.endsWith(QLatin1Char(')'))) {
            const qsizetype open = caption.lastIndexOf(QLatin1Char('('));
            if (open >= 0)
                caption.truncate(open);
            caption = caption.trimmed();
        }
        result << caption + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
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
