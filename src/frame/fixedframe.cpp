// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/fixedframe.h"

#include "core/convert.h"
#include "core/globals.h"
#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/controls.h"
#include "frame/windowops.h"
#include "platform/desktop.h"
#include "platform/x11window.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QTimer>
#include <cmath>

namespace tavlo {

FixedFrame::FixedFrame(const QString &formName, QWidget *parent) : FrameBase(formName, parent)
{
    // The lines are drawn over the strips, on the seam between them.
    lneshad = new LineControl(QStringLiteral("lneshad"), this);
    lneshad->stackUnder(lnesep);
    tmrTimer1 = new QTimer(this);
    tmrTimer1->setObjectName(QStringLiteral("tmrTimer1"));
    tmrTimer1->setInterval(500);
    connect(tmrTimer1, &QTimer::timeout, this, [this] { tmrTimer1_Timer(); });

    picTIME->setLeft(45);
    picTIME->setTop(45);
    picDATE->setLeft(45);
}

FixedFrame::~FixedFrame() = default;

bool FixedFrame::timerRunning() const
{
    return tmrTimer1->isActive();
}

void FixedFrame::tmrTimer1_Timer()
{
    updateparts();
}

void FixedFrame::Form_Load()
{
    hide();
    setLngTRANSVAL(255);
    loadFirstTexts();
    loadPreset();
    loadTextSettings();
    updateparts();
    loadThemeColour();
    writeFirstRunDefaults();
    loadTransparency();
    updateparts();

    tmrTimer1->start();
    updateparts();
    ColorUpdate();

    // Centred once the first layout has given the form its size.
    const ScreenTwips screen = primaryScreenTwips();
    setFormLeft(screen.left + (screen.width - formWidth()) / 2);
    setFormTop(screen.top + 600);

    if (const auto onTop = convert::toBool(settings().load(reg::OnTop, QStringLiteral("0"))))
        SetOnTop(this, *onTop);

    globals().objREGISTRY->FormLoad(*this, false);

    // Window-manager hints go on the native window before it is first mapped.
    setWindowRole(objectName());
    setSkipTaskbar(this);
    show();
    updateparts();
}

void FixedFrame::colourParts(const ThemeShades &shades)
{
    lneshad->setBorderColor(shades.shadow);
}

void FixedFrame::FormUpdate()
{
    if (const auto onTop = convert::toBool(settings().load(reg::OnTop, QStringLiteral("1"))))
        SetOnTop(this, *onTop);
    ColorUpdate();
}

void FixedFrame::FrameGeometry()
{
    const int width = int(std::lround(m_formWidth));
    const int height = int(std::lround(m_formHeight));
    shpBORDER->setWidth(width - 60);
    shpBORDER->setHeight(height - 60);
    shpBORDER->setLeft(30);
    shpBORDER->setTop(30);
    lnesep->setX1(shpBORDER->Width() - 60);
    lneshad->setX1(shpBORDER->Width() - 45);
    // The shadow lies on the seam, the light line one pixel below it.
    const int seam = picDATE->Top();
    lneshad->setX2(75);
    lneshad->setY1(seam);
    lneshad->setY2(seam);
    lnesep->setX2(90);
    lnesep->setY1(seam + int(std::lround(twipsPerPixelY())));
    lnesep->setY2(lnesep->Y1());
    ColorUpdate();
}

void FixedFrame::sync()
{
    picTIME->sync();
    picDATE->sync();
    lblTIME->sync();
    lblDATE->sync();
    lneshad->sync();
    lnesep->sync();
    const QSize size(twipsToPixelsX(m_formWidth), twipsToPixelsY(m_formHeight));
    if (size != this->size() && !size.isEmpty())
        setFixedSize(size);
}

void FixedFrame::MouseAction(int button)
{
    pullBackOnScreen();
    if (button == 1)
        armDrag();
    else if (button == 2)
        Q_EMIT settingsRequested();
}

void FixedFrame::mousePressEvent(QMouseEvent *event)
{
    notePress(event);
    MouseAction(vbButton(event->button()));
    event->accept();
}

void FixedFrame::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget *child = childAt(event->position().toPoint());
    if (qobject_cast<Label *>(child))
        MouseAction(2);
    else if (child == picTIME)
        MouseAction(1);
    else if (child == picDATE)
        openDateTimeSettings();
    event->accept();
}

void FixedFrame::mouseMoveEvent(QMouseEvent *event)
{
    if (dragOnMove(event))
        return;
    if (event->buttons() == Qt::NoButton && childAt(event->position().toPoint()) == nullptr)
        updateparts();
}

void FixedFrame::saveOnUnload()
{
    if (globals().objREGISTRY)
        globals().objREGISTRY->FormSave(*this, false);
}

void FixedFrame::closeEvent(QCloseEvent *event)
{
    tmrTimer1->stop();
    saveOnUnload();
    event->accept();
}

} // namespace tavlo
