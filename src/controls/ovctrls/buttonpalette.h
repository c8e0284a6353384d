// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/modblend.h"

#include <QList>
#include <QPushButton>

class QAction;
class QMenu;

namespace tavlo {

// A button that shows a colour and lets the user pick another: a click (or
// Space/Enter) offers a palette of common colours and "More colours...",
// which asks the desktop's colour chooser. The picked colour is signalled as 0x00BBGGRR.
class ButtonPalette final : public QPushButton
{
    Q_OBJECT
public:
    explicit ButtonPalette(QWidget *parent = nullptr);

    OleColor color() const { return m_color; }
    // Shows colour; raises nothing.
    void setColor(OleColor colour);
    // The colour's common name, or its hexadecimal value: what the button
    // tells assistive technology as its value.
    QString colorName() const;
    QColor BackColor() const;
    void setBackColor(const QColor &colour);

    // The common colours offered, with their names.
    static const QList<QPair<QString, OleColor>> &commonColors();

Q_SIGNALS:
    // The user picked a colour (also when it equals the current one).
    void ColorChosen(tavlo::OleColor colour);

private:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    void showPalette();
    void pick(OleColor colour);
    void askMoreColours();
    // Tooltip, accessible value and the menu's check mark follow the colour.
    void updateLook();

    QMenu *m_menu = nullptr;
    QList<QAction *> m_colourActions;
    QAction *m_moreAction = nullptr;
    OleColor m_color = 0;
};

} // namespace tavlo
