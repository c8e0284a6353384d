// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/fmsg_infobox.h"

#include "controls/modfonts.h"
#include "core/globals.h"
#include "frame/windowops.h"
#include "messages/cmlib_objects.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tavlo {
namespace {

QPointer<fmsg_INFOBOX> g_infoBox;

// The Win32 answers the callers compare against.
constexpr int kYes = 6;
constexpr int kNo = 7;
constexpr int kCancel = 2;

QPushButton *barButton(const char *name, const QString &caption, QHBoxLayout *bar)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    bar->addWidget(button);
    return button;
}

QLabel *textLine(const char *name, const char *face, double scale, bool bold)
{
    auto *label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setFamily(QLatin1String(face));
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

fmsg_INFOBOX::fmsg_INFOBOX(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmsg_INFOBOX"));
    setWindowRole(objectName());
    setWindowTitle(globals().strAPPTITLE);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    imgLOGO = new QLabel;
    imgLOGO->setObjectName(QStringLiteral("imgLOGO"));
    const int logo = style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    imgLOGO->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(logo, logo));
    imgLOGO->setAlignment(Qt::AlignTop);
    lablTITLE = textLine("lablTITLE", "Trebuchet MS", 1.4, true);
    lblDESCRIPTION = textLine("lblDESCRIPTION", "Tahoma", 1.0, false);
    lblDETAILS = textLine("lblDETAILS", "Verdana", 1.0, false);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lablTITLE);
    texts->addWidget(lblDESCRIPTION);
    texts->addWidget(lblDETAILS);
    texts->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(imgLOGO);
    top->addLayout(texts, 1);

    const auto makeBar = [](const char *name, QHBoxLayout **row) {
        auto *bar = new QWidget;
        bar->setObjectName(QLatin1String(name));
        *row = new QHBoxLayout(bar);
        (*row)->setContentsMargins(0, 0, 0, 0);
        (*row)->addStretch();
        return bar;
    };
    QHBoxLayout *row = nullptr;
    pfrBTNBARO = makeBar("pfrBTNBARO", &row);
    btnCLOSE = barButton("btnCLOSE", tr(" &Close "), row);
    pfrBTNBARYN = makeBar("pfrBTNBARYN", &row);
    btnYES = barButton("btnYES", tr(" &Yes "), row);
    btnNO = barButton("btnNO", tr(" &No "), row);
    pfrBTNBARYNC = makeBar("pfrBTNBARYNC", &row);
    btnYES3 = barButton("btnYES", tr(" &Save "), row);
    btnNO3 = barButton("btnNO", tr(" &Don't save "), row);
    btnCANCEL = barButton("btnCANCEL", tr(" Cancel "), row);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addSpacing(QFontMetrics(font()).height() / 2);
    for (QWidget *bar : {pfrBTNBARO, pfrBTNBARYN, pfrBTNBARYNC}) {
        layout->addWidget(bar);
        bar->hide();
    }
    const int width = QFontMetrics(font()).averageCharWidth() * 56;
    for (QLabel *line : {lablTITLE, lblDESCRIPTION, lblDETAILS})
        line->setMinimumWidth(width);

    connect(btnCLOSE, &QPushButton::clicked, this, [this] { done(Accepted); });
    connect(btnYES, &QPushButton::clicked, this, [this] { answer(kYes); });
    connect(btnNO, &QPushButton::clicked, this, [this] { answer(kNo); });
    connect(btnYES3, &QPushButton::clicked, this, [this] { answer(kYes); });
    connect(btnNO3, &QPushButton::clicked, this, [this] { answer(kNo); });
    connect(btnCANCEL, &QPushButton::clicked, this, [this] { answer(kCancel); });
    for (QPushButton *button : findChildren<QPushButton *>())
        button->installEventFilter(this);
    lablTITLE->installEventFilter(this);

    ApplyFormSkin(this);
}

void fmsg_INFOBOX::setMessage(const QString &title, const QString &description,
                              const QString &details, Bar bar)
{
    lablTITLE->setText(title);
    lblDESCRIPTION->setText(description);
    lblDETAILS->setText(details);
    lblDETAILS->setVisible(!details.isEmpty());
    m_bar = bar;
    pfrBTNBARO->setVisible(bar == Bar::Close);
    pfrBTNBARYN->setVisible(bar == Bar::YesNo);
    pfrBTNBARYNC->setVisible(bar == Bar::YesNoCancel);
}

void fmsg_INFOBOX::answer(int value)
{
    if (objOBJECTS())
        objOBJECTS()->setMessageBoxClick(value);
    done(Accepted);
}

bool fmsg_INFOBOX::handleKey(int key)
{
    // What each letter does depends on the bar that is showing.
    switch (key) {
    case Qt::Key_Escape:
        answer(kCancel);
        return true;
    case Qt::Key_Y:
        if (m_bar == Bar::YesNo || m_bar == Bar::YesNoCancel) {
            answer(kYes);
            return true;
        }
        break;
    case Qt::Key_N:
        if (m_bar == Bar::YesNo || m_bar == Bar::YesNoCancel) {
            answer(kNo);
            return true;
        }
        break;
    case Qt::Key_C:
        if (m_bar == Bar::YesNoCancel) {
            answer(kCancel);
            return true;
        }
        break;
    case Qt::Key_O:
        if (m_bar == Bar::Close) {
            done(Accepted);
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

void fmsg_INFOBOX::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier) || !handleKey(event->key()))
        QDialog::keyPressEvent(event);
}

bool fmsg_INFOBOX::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && handleKey(key->key()))
            return true;
    }
    if (watched == lablTITLE && event->type() == QEvent::MouseMove) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() & Qt::LeftButton)
            DragForm(this, 1);
    }
    return QDialog::eventFilter(watched, event);
}

void fmsg_INFOBOX::mousePressEvent(QMouseEvent *event)
{
    m_dragArmed = event->button() == Qt::LeftButton;
    QDialog::mousePressEvent(event);
}

void fmsg_INFOBOX::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragArmed && (event->buttons() & Qt::LeftButton)) {
        m_dragArmed = false;
        DragForm(this, 1);
    }
}

void fmsg_INFOBOX::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // The window frame (shpWINDOW): a line just inside the edge.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void fmsg_INFOBOX::done(int result)
{
    // A window closed without an answer counts as Cancel.
    cmlib_OBJECTS *objects = objOBJECTS().get();
    if (objects && objects->MessageBoxClick() == 0)
        objects->setMessageBoxClick(kCancel);
    QDialog::done(result);
}

void fmsg_INFOBOX::reject()
{
    // The window's own close box answers nothing.
    done(Rejected);
}

fmsg_INFOBOX &infoBox()
{
    if (!g_infoBox)
        g_infoBox = new fmsg_INFOBOX;
    return *g_infoBox;
}

void unloadInfoBox()
{
    delete g_infoBox.data();
}

} // namespace tavlo
