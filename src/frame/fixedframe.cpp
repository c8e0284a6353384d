#include "frame/fixedframe.h"

#include "app/convert.h"
#include "app/modmain.h"
#include "app/valuenames.h"
#include "frame/controls.h"
#include "frame/modblend.h"
#include "frame/twips.h"
#include "frame/windowops.h"
#include "platform/desktop.h"
#include "platform/x11window.h"
#include "settings/fdlg_settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <cmath>

namespace tavlo {
namespace {

constexpr OleColor kBlack = 0x000000;
constexpr OleColor kWhite = 0xFFFFFF;

int vbButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

FixedFrame::FixedFrame(const QString &formName, QWidget *parent)
    : WidgetForm(formName, parent ? parent : nullptr)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setWindowTitle(globals().strAPPTITLE);

    picTIME = new PictureBox(QStringLiteral("picTIME"), this);
    picDATE = new PictureBox(QStringLiteral("picDATE"), this);
    lblTIME = new Label(QStringLiteral("lblTIME"), picTIME);
    lblSECS = new Label(QStringLiteral("lblSECS"), picTIME);
    lblSTYLE = new Label(QStringLiteral("lblSTYLE"), picTIME);
    lblDATE = new Label(QStringLiteral("lblDATE"), picDATE);
    // The lines are drawn over the strips, on the seam between them.
    lneshad = new LineControl(QStringLiteral("lneshad"), this);
    lnesep = new LineControl(QStringLiteral("lnesep"), this);
    shpBORDER = new ShapeControl(QStringLiteral("shpBORDER"), this);
    tmrTimer1 = new QTimer(this);
    tmrTimer1->setObjectName(QStringLiteral("tmrTimer1"));
    tmrTimer1->setInterval(500);
    connect(tmrTimer1, &QTimer::timeout, this, [this] { updateparts(); });

    picTIME->setLeft(45);
    picTIME->setTop(45);
    picDATE->setLeft(45);
}

FixedFrame::~FixedFrame() = default;

bool FixedFrame::timerRunning() const
{
    return tmrTimer1->isActive();
}

QString FixedFrame::numbered(QLatin1String name) const
{
    return QString::number(widgetNumber()) + name;
}

void FixedFrame::loadLabel(Label *label, QLatin1String align, QLatin1String font,
                           QLatin1String size, QLatin1String colour)
{
    if (const auto value = convert::toLong(LoadSetting(align, QString::number(label->textAlign()))))
        label->setTextAlign(*value);
    label->setFontName(LoadSetting(font, label->FontName()));
    if (const auto value =
            convert::toSingle(LoadSetting(size, convert::fromSingle(label->FontSize()))))
        label->setFontSize(*value);
    if (const auto value =
            convert::toLong(LoadSetting(colour, QString::number(label->ForeColor()))))
        label->setForeColor(*value);
}

void FixedFrame::Form_Load()
{
    hide();
    m_transVal = 255;
    loadFirstTexts();
    m_selPreset = LoadSetting(reg::SelectedPreset, reg::DefaultPreset);
    loadLabel(lblDATE, reg::DateAlign, reg::DateFont, reg::DateSize, reg::DateColor);
    loadLabel(lblTIME, reg::TimeAlign, reg::TimeFont, reg::TimeSize, reg::TimeColor);
    updateparts();
    if (const auto colour = convert::toLong(LoadSetting(reg::Color, QStringLiteral("0"))))
        m_themeColor = *colour;

    if (LoadSetting(reg::ProgramLaunch, QString()).isEmpty())
        SaveSetting(reg::ProgramLaunch, QStringLiteral("1"));
    if (LoadSetting(reg::OnTop, QString()).isEmpty())
        SaveSetting(reg::OnTop, QStringLiteral("0"));
    ApplyProgramLaunch();

    if (const auto alpha =
            convert::toByte(LoadSetting(reg::DefaultTransparency, QStringLiteral("211"))))
        m_transValCust = *alpha;
    if (const auto contrast =
            convert::toLong(LoadSetting(reg::DefaultContrast, QStringLiteral("33"))))
        m_contrast = *contrast;
    m_transVal = m_transValCust;
    updateparts();

    tmrTimer1->start();
    updateparts();
    ColorUpdate();

    // Centred once the first layout has given the form its size.
    const ScreenTwips screen = primaryScreenTwips();
    setFormLeft(screen.left + (screen.width - formWidth()) / 2);
    setFormTop(screen.top + 600);

    if (const auto onTop = convert::toBool(LoadSetting(reg::OnTop, QStringLiteral("0"))))
        SetOnTop(this, *onTop);

    globals().objREGISTRY->FormLoad(*this, false);

    // Window-manager hints go on the native window before it is first mapped.
    setWindowRole(objectName());
    setSkipTaskbar(this);
    show();
    updateparts();
}

void FixedFrame::ColorUpdate()
{
    const OleColor t = m_themeColor;
    const int32_t c = m_contrast;
    const OleColor back = ColorBlend(kBlack, t, 2 * c - 100);
    if (back != m_backColor) {
        m_backColor = back;
        shpBORDER->setBorderColor(back);
        update();
    }
    lnesep->setBorderColor(ColorBlend(kWhite, t, c + 30));
    lneshad->setBorderColor(ColorBlend(kBlack, ColorBlend(kBlack, t, 2 * c - 100), 50));
    const auto halfContrast = int32_t(std::nearbyint(c / 2.0));
    picTIME->paintGradient(90, ColorBlend(kBlack, t, halfContrast), ColorBlend(kWhite, t, c + 40));
    picDATE->paintGradient(270, ColorBlend(kBlack, t, halfContrast), ColorBlend(kWhite, t, c));
    SetTransparency(this, m_transVal);
}

void FixedFrame::FormUpdate()
{
    if (const auto onTop = convert::toBool(LoadSetting(reg::OnTop, QStringLiteral("1"))))
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
    for (Label *label : {lblTIME, lblSECS, lblSTYLE, lblDATE})
        label->sync();
    lneshad->sync();
    lnesep->sync();
    const QSize size(twipsToPixelsX(m_formWidth), twipsToPixelsY(m_formHeight));
    if (size != this->size() && !size.isEmpty())
        setFixedSize(size);
}

double FixedFrame::formLeft() const
{
    return pos().x() * twipsPerPixelX();
}

double FixedFrame::formTop() const
{
    return pos().y() * twipsPerPixelY();
}

void FixedFrame::setFormLeft(double twips)
{
    // A number that is no place leaves the window where it is.
    if (std::isfinite(twips))
        move(twipsToPixelsX(twips), pos().y());
}

void FixedFrame::setFormTop(double twips)
{
    if (std::isfinite(twips))
        move(pos().x(), twipsToPixelsY(twips));
}

void FixedFrame::MouseAction(int button)
{
    const ScreenTwips desktop = virtualScreenTwips();
    if (formTop() + formHeight() > desktop.top + desktop.height)
        setFormTop(desktop.top + desktop.height - formHeight());
    if (button == 1) {
        m_dragArmed = true;
        m_pressGlobal = m_lastPressGlobal;
    } else if (button == 2) {
        fdlg_SETTINGS::showFor(this);
    }
}

void FixedFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    painter.setPen(toQColor(shpBORDER->BorderColor()));
    const QRect border = shpBORDER->pixelRect();
    if (border.width() > 1 && border.height() > 1)
        painter.drawRect(border.adjusted(0, 0, -1, -1));
}

void FixedFrame::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        globals().lngSELINDEX = widgetNumber();
    WidgetForm::changeEvent(event);
}

void FixedFrame::mousePressEvent(QMouseEvent *event)
{
    globals().lngSELINDEX = widgetNumber();
    m_lastPressGlobal = event->globalPosition().toPoint();
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
    if (m_dragArmed && event->buttons().testFlag(Qt::LeftButton)) {
        const QPoint now = event->globalPosition().toPoint();
        if ((now - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
            return;
        m_dragArmed = false;
        // The window is held where it was pressed; this move already counts.
        const QPoint held = m_pressGlobal;
        move(pos() + now - held);
        DragForm(this, 1, now);
        return;
    }
    if (event->buttons() == Qt::NoButton && childAt(event->position().toPoint()) == nullptr)
        updateparts();
}

void FixedFrame::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragArmed = false;
    event->accept();
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
