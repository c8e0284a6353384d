// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QWidget;

namespace tavlo {

// The program's own message window: a headline, a second line and a detail
// line above one of three button bars (Close; Yes/No; Save/Don't save/Cancel).
class fmsg_INFOBOX final : public QDialog
{
    Q_OBJECT
public:
    enum class Bar { None, Close, YesNo, YesNoCancel };

    explicit fmsg_INFOBOX(QWidget *parent = nullptr);

    // Fills the three lines and shows one bar (or none).
    void setMessage(const QString &title, const QString &description, const QString &details,
                    Bar bar);
    Bar bar() const { return m_bar; }

    QLabel *lablTITLE = nullptr;
    QLabel *lblDESCRIPTION = nullptr;
    QLabel *lblDETAILS = nullptr;
    QLabel *imgLOGO = nullptr;
    QWidget *pfrBTNBARO = nullptr;
    QWidget *pfrBTNBARYN = nullptr;
    QWidget *pfrBTNBARYNC = nullptr;
    QPushButton *btnCLOSE = nullptr;
    // The Yes/No bar and the Save/Don't save/Cancel bar each have their own buttons.
    QPushButton *btnYES = nullptr;
    QPushButton *btnNO = nullptr;
    QPushButton *btnYES3 = nullptr;
    QPushButton *btnNO3 = nullptr;
    QPushButton *btnCANCEL = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

public:
    // Closing by any means: a window closed without an answer counts as Cancel.
    void done(int result) override;
    void reject() override;

private:
    void answer(int value);
    bool handleKey(int key);

    Bar m_bar = Bar::None;
    bool m_dragArmed = false;
};

// The message window, loaded (hidden) on first use.
fmsg_INFOBOX &infoBox();
// Unloads the message window if it is loaded.
void unloadInfoBox();

} // namespace tavlo
