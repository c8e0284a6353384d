// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tavlo {

// The file chooser the resizable widgets share, set up the way they set it:
// a title, a filter of "caption|patterns" pairs joined by "|" (patterns
// separated by ";"), and the chosen file's name. The asking itself goes
// through the desktop, so tests answer it.
class CommonDialog final : public QObject
{
    Q_OBJECT
public:
    explicit CommonDialog(QObject *parent = nullptr);

    QString DialogTitle;
    QString Filter;
    QString FileName;
    QString InitDir;
    int Flags = 0;

    // Asks for an existing file; false (FileName empty) when the user cancels.
    bool ShowOpen(QWidget *parent);
};

// The name filters of a "caption|patterns|..." filter for the desktop's file
// dialog: each caption as it is, its patterns added in parentheses when it
// lists none. Odd or empty parts are dropped.
QStringList qtNameFilters(const QString &filter);

// The dialog the resizable widgets use: the one the source gives (the menu
// form's), or one of the frame's own while no source is set.
CommonDialog &sharedFileDialog();
void setSharedFileDialogSource(std::function<CommonDialog *()> source);

} // namespace tavlo
