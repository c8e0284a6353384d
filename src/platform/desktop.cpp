// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <initializer_list>

namespace tavlo {
namespace {

class RealDesktop final : public Desktop
{
public:
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        return QProcess::startDetached(program, arguments);
    }
    bool openUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }
    bool moveToTrash(const QString &path) override { return QFile::moveToTrash(path); }
    void message(QWidget *parent, const QString &title, const QString &text) override
    {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
        // A message the user waits for (the timer's "Finished") is not to be
        // hidden behind other windows.
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
    }
    QString askOpenFile(QWidget *parent, const QString &caption, const QString &folder,
                        const QString &filter) override
    {
        // Qt's own dialog, so the captions show as given: its model takes the
        // patterns read here, as Qt would split "*.a;*.b" into no pattern at all.
        QFileDialog dialog(parent, caption, folder);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        const QStringList filters = filter.split(QLatin1String(";;"), Qt::SkipEmptyParts);
        dialog.setNameFilters(filters);
        const auto usePatterns = [&dialog](const QString &chosen) {
            if (auto *model = dialog.findChild<QFileSystemModel *>())
                model->setNameFilters(NameFilterPatterns(chosen));
        };
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, usePatterns);
        if (!filters.isEmpty())
            usePatterns(filters.first());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    }
    std::optional<QColor> askColor(QWidget *parent, const QColor &current,
                                   const QString &caption) override
    {
        const QColor picked = QColorDialog::getColor(current, parent, caption);
        return picked.isValid() ? std::optional<QColor>(picked) : std::nullopt;
    }
};

RealDesktop g_realDesktop;
Desktop *g_desktop = &g_realDesktop;

struct Tool
{
    const char *program;
    std::initializer_list<const char *> arguments;
};

bool startFirstFound(std::initializer_list<Tool> tools)
{
    for (const Tool &tool : tools) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(tool.program));
        if (path.isEmpty())
            continue;
        QStringList arguments;
        for (const char *argument : tool.arguments)
            arguments << QString::fromLatin1(argument);
        return desktop().startProgram(path, arguments);
    }
    return false;
}

} // namespace

QStringList NameFilterPatterns(const QString &nameFilter)
{
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !nameFilter.endsWith(QLatin1Char(')')))
        return {QStringLiteral("*")};
    const QString list = nameFilter.mid(open + 1, nameFilter.size() - open - 2);
    QStringList patterns;
    for (const QString &pattern :
         list.split(QRegularExpression(QStringLiteral("[ ;]+")), Qt::SkipEmptyParts))
        // On Windows "*.*" matches every file; here a name need not hold a dot.
        patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    if (patterns.isEmpty())
        patterns << QStringLiteral("*");
    return patterns;
}

Desktop &desktop()
{
    return *g_desktop;
}

void setDesktopForTesting(Desktop *replacement)
{
    g_desktop = replacement ? replacement : &g_realDesktop;
}

bool openDateTimeSettings()
{
    return startFirstFound({
        {"gnome-control-center", {"datetime"}},
        {"systemsettings", {"kcm_clock"}},
        {"kcmshell6", {"kcm_clock"}},
        {"kcmshell5", {"clock"}},
        {"cinnamon-settings", {"calendar"}},
        {"mate-time-admin", {}},
        {"lxqt-config-datetime", {}},
        {"time-admin", {}},
    });
}

bool openRegionSettings()
{
    return startFirstFound({
        {"gnome-control-center", {"region"}},
        {"systemsettings", {"kcm_regionandlang"}},
        {"kcmshell6", {"kcm_regionandlang"}},
        {"kcmshell5", {"formats"}},
        {"cinnamon-settings", {"region"}},
        {"lxqt-config-locale", {}},
    });
}

} // namespace tavlo
