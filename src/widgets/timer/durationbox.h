// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/characterpictures.h"
#include "frame/controls.h"

#include <QLineEdit>

namespace tavlo {

// One of the timer's duration boxes: digits only, three at most, centred,
// with no frame of its own, coloured by the theme.
class DurationBox final : public QLineEdit, public TwipsBox
{
    Q_OBJECT
public:
    DurationBox(const QString &name, QWidget *parent);

    // Sets the face; the size stays the design's.
    void setFaceName(const QString &name);
    // Back colour, text colour, and the greyed text of a disabled box.
    void setColours(OleColor back, OleColor fore);
    // Width and height in twips that show text (at least two digits) whole.
    QSize fittingSizeTwips() const;
    // Shows text unless the box holds it already (keeps the cursor while typing).
    void showText(const QString &text);
    void sync();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Where the line edit puts the top-left of its text line.
    QPoint textOrigin() const;

    // The digits in the text colour and greyed, drawn once each.
    CharacterPictures m_digits;
    CharacterPictures m_greyedDigits;
};

} // namespace tavlo
