// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace tavlo {

// A small window asking for a donation: open the donation page, or decline
// with a thank-you note.
class fmsg_CALLTOACTION final : public QWidget
{
    Q_OBJECT
public:
    explicit fmsg_CALLTOACTION(QWidget *parent = nullptr);

    // Shows the one donation window, modeless and without an owner. A window
    // not yet shown opens centred over anchor when it is visible, else over
    // the current widget.
    static fmsg_CALLTOACTION *showWindow(const QWidget *anchor = nullptr);
    static fmsg_CALLTOACTION *instance();

    static QString thankYouText();
    // The donate picture, drawn at the given height in device-independent pixels.
    static QPixmap donatePicture(int height, qreal devicePixelRatio);

    QLabel *lablTITLE = nullptr;
    QLabel *lblDESCDONATE = nullptr;
    QLabel *lablDESCDONATE = nullptr;
    QLabel *imgDONATE = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void centreOver(const QWidget *anchor);
    void Command1_Click();
    void Command2_Click();
};

} // namespace tavlo
