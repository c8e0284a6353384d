// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/fmsg_calltoaction.h"

#include "controls/modfonts.h"
#include "controls/ovctrls/ovline.h"
#include "core/globals.h"
#include "frame/widgetform.h"
#include "frame/widgetset.h"
#include "messages/modinternet.h"
#include "platform/desktop.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tavlo {
namespace {

QPointer<fmsg_CALLTOACTION> g_window;

} // namespace

// A fixed-size dialog: the window manager offers neither resizing nor maximising.
fmsg_CALLTOACTION::fmsg_CALLTOACTION(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fmsg_CALLTOACTION"));
    setWindowRole(objectName());
    setWindowTitle(tr("Donate"));
    setAttribute(Qt::WA_DeleteOnClose);

    lablTITLE = new QLabel(tr("Keep Tavlo growing"));
    lablTITLE->setObjectName(QStringLiteral("lablTITLE"));
    QFont titleFont(QStringLiteral("Trebuchet MS"));
    titleFont.setPointSizeF(font().pointSizeF() * 1.5);
    titleFont.setBold(true);
    lablTITLE->setFont(titleFont);
    lblDESCDONATE =
        new QLabel(tr("Tavlo is made by a small team in its spare hours. Every widget is free, and "
                      "your support keeps new ones coming."));
    lblDESCDONATE->setObjectName(QStringLiteral("lblDESCDONATE"));
    lblDESCDONATE->setWordWrap(true);
    lablDESCDONATE = new QLabel(
        QStringLiteral("Would you be willing to donate towards the future of this program? "));
    lablDESCDONATE->setObjectName(QStringLiteral("lablDESCDONATE"));
    lablDESCDONATE->setFont(QFont(QStringLiteral("Tahoma")));
    lablDESCDONATE->setWordWrap(true);

    imgDONATE = new QLabel;
    imgDONATE->setObjectName(QStringLiteral("imgDONATE"));
    imgDONATE->setCursor(Qt::PointingHandCursor);
    imgDONATE->setToolTip(tr("Open the donation page"));
    imgDONATE->setPixmap(donatePicture(QFontMetrics(font()).height() * 3, devicePixelRatioF()));
    imgDONATE->installEventFilter(this);

    Command1 = new QPushButton(QStringLiteral("Yes, I want to donate"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Maybe later"));
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *texts = new QVBoxLayout;
    texts->addWidget(lablTITLE);
    texts->addWidget(lblDESCDONATE);
    texts->addWidget(lablDESCDONATE);
    auto *top = new QHBoxLayout;
    top->addLayout(texts, 1);
    top->addWidget(imgDONATE, 0, Qt::AlignTop);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addWidget(new OvLine);
    layout->addLayout(buttons);
    const int width = QFontMetrics(font()).averageCharWidth() * 48;
    for (QLabel *text : {lblDESCDONATE, lablDESCDONATE})
        text->setMinimumWidth(width);

    connect(Command1, &QPushButton::clicked, this, &fmsg_CALLTOACTION::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &fmsg_CALLTOACTION::Command2_Click);
    ApplyFormSkin(this);
}

fmsg_CALLTOACTION *fmsg_CALLTOACTION::instance()
{
    return g_window;
}

fmsg_CALLTOACTION *fmsg_CALLTOACTION::showWindow(const QWidget *anchor)
{
    if (!g_window)
        g_window = new fmsg_CALLTOACTION;
    if (!g_window->isVisible()) {
        if (!anchor || !anchor->isVisible())
            anchor = widgetSet().current();
        if (anchor && anchor->isVisible())
            g_window->centreOver(anchor->window());
    }
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    return g_window;
}

void fmsg_CALLTOACTION::centreOver(const QWidget *anchor)
{
    adjustSize();
    // The frame is not known before the first show; centring the inside is close enough.
    QRect placed(QPoint(), size());
    placed.moveCenter(anchor->frameGeometry().center());
    if (const QScreen *screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        placed.moveLeft(std::clamp(placed.left(), room.left(),
                                   std::max(room.left(), room.right() + 1 - placed.width())));
        placed.moveTop(std::clamp(placed.top(), room.top(),
                                  std::max(room.top(), room.bottom() + 1 - placed.height())));
    }
    move(placed.topLeft());
}

QString fmsg_CALLTOACTION::thankYouText()
{
    return QStringLiteral("Thank you for considering to donate. Please keep using our tools.\n\n"
                          "And please spread the word, tell your friends about this.\n\n");
}

QPixmap fmsg_CALLTOACTION::donatePicture(int height, qreal devicePixelRatio)
{
    const int width = height * 27 / 10;
    QPixmap picture(QSize(width, height) * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF badge(1, 1, width - 2, height - 2);
    QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
    fill.setColorAt(0, QColor(0xFF, 0xD8, 0x4D));
    fill.setColorAt(1, QColor(0xF2, 0xA9, 0x00));
    painter.setPen(QPen(QColor(0xB3, 0x7A, 0x00), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(badge, height / 2.0, height / 2.0);
    // A heart at the left, the word at the right.
    const qreal s = height * 0.42;
    const QPointF c(height * 0.55, height * 0.52);
    QPainterPath heart;
    heart.moveTo(c.x(), c.y() + s * 0.55);
    heart.cubicTo(c.x() - s * 1.1, c.y() - s * 0.1, c.x() - s * 0.45, c.y() - s * 0.9, c.x(),
                  c.y() - s * 0.35);
    heart.cubicTo(c.x() + s * 0.45, c.y() - s * 0.9, c.x() + s * 1.1, c.y() - s * 0.1, c.x(),
                  c.y() + s * 0.55);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC6, 0x28, 0x28));
    painter.drawPath(heart);
    const QString text = QObject::tr("Donate");
    const QRectF room(height * 0.95, 0, width - height * 1.15, height);
    QFont word = painter.font();
    word.setBold(true);
    // As large as the badge allows, and never wider than the room beside the heart.
    int pixels = int(height * 0.38);
    word.setPixelSize(pixels);
    while (pixels > 6 && QFontMetricsF(word).horizontalAdvance(text) > room.width()) {
        word.setPixelSize(--pixels);
    }
    painter.setFont(word);
    painter.setPen(QColor(0x3A, 0x27, 0x00));
    painter.drawText(room, Qt::AlignCenter, text);
    return picture;
}

void fmsg_CALLTOACTION::Command1_Click()
{
    OpenLink(QString::number(winId()), QString(), globals().strDONATEURL);
}

void fmsg_CALLTOACTION::Command2_Click()
{
    desktop().message(this, globals().strAPPTITLE, thankYouText());
    close();
}

bool fmsg_CALLTOACTION::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imgDONATE && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Command1_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void fmsg_CALLTOACTION::mouseReleaseEvent(QMouseEvent *event)
{
    // A click on the window itself opens the page too.
    if (event->button() == Qt::LeftButton)
        Command1_Click();
}

} // namespace tavlo
