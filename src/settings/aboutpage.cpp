// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/aboutpage.h"

#include "core/globals.h"
#include "messages/fmsg_calltoaction.h"
#include "messages/modinternet.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavlo {
namespace {

const QString kSupportAddress = QStringLiteral("support@orvane.com");

} // namespace

AboutPage::AboutPage(QWidget *parent) : SettingsPage(parent)
{
    using namespace page;
    lablTITLE = label("lablTITLE", QString());
    QFont titleFont = lablTITLE->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lablTITLE->setFont(titleFont);
    lablVersion = label("lablVersion", QString());
    lblCOPY = label("lblCOPY", QString());
    lblCOPY->setWordWrap(true);
    lblEMAIL = label("lblEMAIL", kSupportAddress);
    lblEMAIL->setTextFormat(Qt::RichText);
    lblEMAIL->setText(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(kSupportAddress));
    lblEMAIL->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblEMAIL->setOpenExternalLinks(false);
    pbtnDONATE = button("pbtnDONATE", tr("&Donate to the Tavlo project..."));
    pbtnDONATE->setCursor(Qt::PointingHandCursor);
    imgDONATE = label("imgDONATE", QString());
    imgDONATE->setPixmap(
        fmsg_CALLTOACTION::donatePicture(QFontMetrics(font()).height() * 2, devicePixelRatioF()));
    imgDONATE->setCursor(Qt::PointingHandCursor);
    imgDONATE->setToolTip(tr("Why donate?"));
    imgDONATE->installEventFilter(this);

    picABOUT = container("picABOUT");
    auto *layout = new QVBoxLayout(picABOUT);
    layout->addWidget(lablTITLE);
    layout->addWidget(lablVersion);
    layout->addWidget(lblCOPY);
    layout->addSpacing(QFontMetrics(font()).height());
    auto *support = new QHBoxLayout;
    support->addWidget(label("lblSUPPORT", tr("Support:")));
    support->addWidget(lblEMAIL);
    support->addStretch();
    layout->addLayout(support);
    auto *donate = new QHBoxLayout;
    donate->addWidget(pbtnDONATE);
    donate->addWidget(imgDONATE);
    donate->addStretch();
    layout->addLayout(donate);
    layout->addStretch();
    fraABOUT = frame("fraABOUT", tr("About"), picABOUT);
    addFrames({fraABOUT});

    connect(lblEMAIL, &QLabel::linkActivated, this, &AboutPage::lblEMAIL_Click);
    connect(pbtnDONATE, &QPushButton::clicked, this, &AboutPage::pbtnDONATE_Click);
}

void AboutPage::setUp()
{
    const MainGlobals &g = globals();
    lblCOPY->setText(g.strRIGHTS);
    lablVersion->setText(g.strVERSIONTEXT);
    lablTITLE->setText(QStringLiteral("Orvane ") + g.strAPPTITLE);
}

void AboutPage::paint(const QColor &face)
{
    page::paint({picABOUT}, face);
}

bool AboutPage::eventFilter(QObject *watched, QEvent *event)
{
    // The donate picture opens the donation window rather than a link.
    if (watched == imgDONATE && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        fmsg_CALLTOACTION::showWindow(window());
        return true;
    }
    return SettingsPage::eventFilter(watched, event);
}

void AboutPage::lblEMAIL_Click()
{
    OpenLink(QString::number(window()->winId()), QStringLiteral("mailto:"), kSupportAddress);
}

void AboutPage::pbtnDONATE_Click()
{
    OpenLink(QString::number(window()->winId()), QString(), globals().strDONATEURL);
}

} // namespace tavlo
