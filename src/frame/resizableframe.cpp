// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/resizableframe.h"

#include "core/convert.h"
#include "core/globals.h"
#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/commondialog.h"
#include "frame/modresize.h"
#include "frame/picturedecode.h"
#include "frame/pictureloader.h"
#include "frame/windowops.h"
#include "platform/x11window.h"

#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QThreadPool>
#include <algorithm>
#include <cmath>

namespace tavlo {
namespace {

Q_LOGGING_CATEGORY(lcFrame, "tavlo.frame", QtCriticalMsg)

// Design geometry in twips.
constexpr int kStripLeft = 45;
constexpr int kMainMargin = 120;
constexpr int kMainWidth = 3600;
constexpr int kMainHeight = 2700;
constexpr int kGripSize = 255;
constexpr int kLabelLeft = 210;
constexpr int kCascadeStep = 360;

// The longest path taken from a setting or a drop; longer is no file name here.
constexpr qsizetype kMaxPathLength = 4096;

// The main part never grows beyond twice the largest screen on a side: a
// stored size cannot make a window the screens cannot show.
QSize largestFrame()
{
    return LargestScreenSize() * 2;
}

// Pictures are decoded on threads of their own: Qt's painting splits large
// image work over the global pool and waits for it, so decodes queued there
// would hold up the interface until they were done.
QThreadPool *decodingPool()
{
    static QPointer<QThreadPool> pool;
    if (!pool)
        pool = new QThreadPool(qApp);
    return pool;
}

int clampTwips(double twips, double largest)
{
    if (!std::isfinite(twips))
        return 0;
    return int(std::lround(std::clamp(twips, 0.0, largest)));
}

} // namespace

CornerGrip::CornerGrip(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setCursor(Qt::SizeFDiagCursor);
}

void CornerGrip::setForeColor(OleColor colour)
{
    if (colour == m_foreColor)
        return;
    m_foreColor = colour;
    update();
}

void CornerGrip::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
}

void CornerGrip::paintEvent(QPaintEvent *)
{
    // Three diagonal strokes in the corner, as the size-grip glyph draws them.
    QPainter painter(this);
    painter.setPen(QPen(toQColor(m_foreColor), 1));
    const int right = width() - 2;
    const int bottom = height() - 2;
    const int step = std::max(2, std::min(width(), height()) / 4);
    for (int i = 1; i <= 3; ++i) {
        const int reach = i * step;
        for (int thick = 0; thick < 2; ++thick)
            painter.drawLine(right - reach + thick, bottom, right, bottom - reach + thick);
    }
}

PictureSurface::PictureSurface(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setTag(QString());
}

void PictureSurface::setPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void PictureSurface::setTag(const QString &tag)
{
    setProperty("Tag", tag);
    setAccessibleDescription(QFileInfo(tag).fileName());
}

void PictureSurface::sync()
{
    const QRect rect = pixelRect();
    if (geometry() != rect)
        setGeometry(rect);
    if (isVisibleTo(parentWidget()) != m_shown)
        setVisible(m_shown);
}

void PictureSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect shown = event->rect() & m_picture.rect();
    if (!shown.isEmpty())
        painter.drawImage(shown, m_picture, shown);
    // For measuring how soon a picture is on screen.
    if (!m_picture.isNull() && m_picture.cacheKey() != m_paintedKey) {
        m_paintedKey = m_picture.cacheKey();
        qCDebug(lcFrame) << "picture painted" << QDateTime::currentMSecsSinceEpoch();
    }
    const QRegion around = QRegion(event->rect()) - QRegion(shown);
    for (const QRect &part : around)
        painter.fillRect(part, m_back);
}

ResizableFrame::ResizableFrame(const QString &formName, QWidget *parent)
    : FrameBase(formName, parent)
{
    setAcceptDrops(true);
    picTIME->setLeft(kStripLeft);
    picTIME->setTop(kStripLeft);
    picDATE->setLeft(kStripLeft);
    // The text settings ride on the two labels; the kinds copy them to their parts.
    lblTIME->setShown(false);
    lblDATE->setShown(false);
    lblTIME->hide();
    lblDATE->hide();
    lblTIME->setLeft(kLabelLeft);
    lblDATE->setLeft(kLabelLeft);

    objMAINPART = new PictureSurface(QStringLiteral("objMAINPART"), this);
    objMAINPART->setLeft(kMainMargin);
    objMAINPART->setTop(kMainMargin);
    objMAINPART->setWidth(kMainWidth);
    objMAINPART->setHeight(kMainHeight);
    objMAINPART->setBackColour(QGuiApplication::palette().color(QPalette::Base));
    objMAINPART->setAccessibleName(tr("Picture"));
    // Beneath the strips; a kind that shows it lifts it above them.
    objMAINPART->lower();
    picPHOTO = new PictureSurface(QStringLiteral("picPHOTO"), this);
    picPHOTO->setShown(false);
    picPHOTO->hide();

    lablCORNER = new CornerGrip(QStringLiteral("lablCORNER"), this);
    lablCORNER->setWidth(kGripSize);
    lablCORNER->setHeight(kGripSize);

    m_restoreLoader = new PictureLoader(decodingPool(), this);
    m_pickLoader = new PictureLoader(decodingPool(), this);
    m_detailLoader = new PictureLoader(decodingPool(), this);
    connect(m_restoreLoader, &PictureLoader::pictureLoaded, this,
            [this](quint64, const QString &path, const QImage &picture) {
                pictureRead(path, picture, m_restoreCover);
            });
    connect(m_pickLoader, &PictureLoader::pictureLoaded, this,
            [this](quint64, const QString &path, const QImage &picture) {
                // A picture chosen now wins over the one still coming from the settings.
                m_restoreLoader->cancel();
                m_detailLoader->cancel();
                pictureRead(path, picture, m_pickCover);
            });
    connect(m_detailLoader, &PictureLoader::pictureLoaded, this,
            [this](quint64, const QString &path, const QImage &picture) {
                pictureRead(path, picture, QSize());
            });
    const auto failed = [this](quint64, const QString &path, PictureFailure why) {
        qCDebug(lcFrame) << "picture not shown:" << path << int(why);
        Q_EMIT pictureRefused(path);
    };
    connect(m_restoreLoader, &PictureLoader::pictureFailed, this, failed);
    connect(m_pickLoader, &PictureLoader::pictureFailed, this, failed);

    resize(twipsToPixelsX(kMainWidth + 2 * kMainMargin),
           twipsToPixelsY(kMainHeight + 2 * kMainMargin));
}

ResizableFrame::~ResizableFrame() = default;

double ResizableFrame::formWidth() const
{
    return width() * twipsPerPixelX();
}

double ResizableFrame::formHeight() const
{
    return height() * twipsPerPixelY();
}

void ResizableFrame::setFormWidth(double twips)
{
    if (std::isfinite(twips))
        resize(std::max(1, twipsToPixelsX(twips)), height());
}

void ResizableFrame::setFormHeight(double twips)
{
    if (std::isfinite(twips))
        resize(width(), std::max(1, twipsToPixelsY(twips)));
}

void ResizableFrame::setDesignSize(int stripHeight, int mainWidth, int mainHeight)
{
    picTIME->setHeight(stripHeight);
    objMAINPART->setWidth(mainWidth);
    objMAINPART->setHeight(mainHeight);
    resize(twipsToPixelsX(mainWidth + 2 * objMAINPART->Left()),
           twipsToPixelsY(mainHeight + 2 * objMAINPART->Left()));
}

void ResizableFrame::Form_Load()
{
    loadHidden();
    showLoaded();
}

void ResizableFrame::loadHidden()
{
    hide();
    setLngTRANSVAL(255);
    NewPHOTOForm();
}

void ResizableFrame::showLoaded()
{
    // On top from the start: the flag goes into the native window as it is made.
    if (const auto onTop = convert::toBool(LoadSetting(reg::OnTop, QStringLiteral("0"))))
        SetOnTop(this, *onTop);
    // Window-manager hints go on the native window before it is first mapped.
    setWindowRole(objectName());
    setSkipTaskbar(this);
    show();
}

void ResizableFrame::NewPHOTOForm()
{
    m_loading = true;
    loadPreset();
    loadTextSettings();
    loadThemeColour();
    const WidgetSettings stored = settings();

    QString photo = stored.load(reg::Photo, QString()).trimmed();
    if (photo.size() > kMaxPathLength)
        photo.clear();
    objMAINPART->setTag(photo);
    picPHOTO->setPicture(QImage());
    m_pickLoader->cancel();
    m_restoreLoader->cancel();
    m_detailLoader->cancel();
    m_detailAsked = false;

    const QSize largest = largestFrame();
    const auto load = [&](QLatin1String name, int current, double bound) {
        const auto number = convert::toSingle(stored.load(name, QString::number(current)));
        return number ? clampTwips(*number, bound) : current;
    };
    objMAINPART->setWidth(
        load(reg::PhotoWidth, objMAINPART->Width(), largest.width() * twipsPerPixelX()));
    objMAINPART->setHeight(
        load(reg::PhotoHeight, objMAINPART->Height(), largest.height() * twipsPerPixelY()));
    const auto place = [&](QLatin1String name, double current) {
        const auto number =
            convert::toSingle(stored.load(name, convert::fromSingle(float(current))));
        return number ? double(*number) : current;
    };
    setFormWidth(objMAINPART->Width() + 2 * objMAINPART->Left());
    setFormHeight(objMAINPART->Height() + 2 * objMAINPART->Left());
    // A widget with no place of its own comes up centred, each number a step
    // further down and right, so that new ones do not hide each other.
    const ScreenTwips screen = primaryScreenTwips();
    const int step = kCascadeStep * (widgetNumber().value_or(0) % 8);
    setFormLeft(screen.left + (screen.width - formWidth()) / 2 + step);
    setFormTop(screen.top + (screen.height - formHeight()) / 2 + step);
    // A place far off the screens is brought back by the placement check below.
    setFormLeft(place(reg::PhotoLeft, formLeft()));
    setFormTop(place(reg::PhotoTop, formTop()));

    writeFirstRunDefaults();
    loadTransparency();
    updateparts();
    hide();
    if (globals().objREGISTRY)
        globals().objREGISTRY->FormLoad(*this, true);
    m_loading = false;
    updateparts();
    RenderMainPart();
    ColorUpdate();
    // Read only as large as the main part needs it; more detail follows
    // when the widget is made larger.
    if (!photo.isEmpty() && showsPicture()) {
        m_restoreCover = objMAINPART->size();
        m_restoreLoader->request(photo, LargestScreenSize(), m_restoreCover);
        qCDebug(lcFrame) << "picture asked" << QDateTime::currentMSecsSinceEpoch();
    }
}

void ResizableFrame::picopen()
{
    CommonDialog &dialog = sharedFileDialog();
    dialog.DialogTitle = QStringLiteral("Select a photo");
    dialog.Flags = 0x280004;
    dialog.Filter = PictureFilter();
    dialog.FileName.clear();
    if (!dialog.ShowOpen(this))
        return;
    takePicture(dialog.FileName);
}

void ResizableFrame::takePicture(const QString &path)
{
    if (path.isEmpty() || path.size() > kMaxPathLength || !showsPicture())
        return;
    m_pickCover = objMAINPART->size();
    m_pickLoader->request(path, LargestScreenSize(), m_pickCover);
}

void ResizableFrame::pictureRead(const QString &path, const QImage &picture, QSize cover)
{
    // A picture that could not cover the box it was read for was read whole
    // (or at the screens' bound): there is no more detail to read.
    m_detailAsked =
        cover.isEmpty() || picture.width() < cover.width() || picture.height() < cover.height();
    picPHOTO->setPicture(picture);
    objMAINPART->setTag(path);
    RenderMainPart();
    Q_EMIT pictureShown(path);
}

void ResizableFrame::RenderMainPart()
{
    const int margin = objMAINPART->Left();
    objMAINPART->setTop(margin);
    objMAINPART->setWidth(std::max(0, int(std::lround(formWidth())) - 2 * margin));
    objMAINPART->setHeight(std::max(0, int(std::lround(formHeight())) - 2 * margin));
    objMAINPART->sync();

    // Always made from the picture as read, never from the last scaled copy.
    const QImage &source = picPHOTO->Picture();
    const QSize size = objMAINPART->size();
    // Grown beyond what the picture was read for: it is read again at the
    // detail the screens can show, and scaled up until then.
    if (!source.isNull() && !m_detailAsked &&
        (size.width() > source.width() || size.height() > source.height())) {
        m_detailAsked = true;
        m_detailLoader->request(objMAINPART->Tag(), LargestScreenSize());
    }
    const qint64 key = source.isNull() ? 0 : source.cacheKey();
    if (key == m_renderedKey && size == m_renderedSize)
        return;
    m_renderedKey = key;
    m_renderedSize = size;
    QElapsedTimer took;
    took.start();
    objMAINPART->setPicture(ResizePicture(source, size.width(), size.height(),
                                          QGuiApplication::palette().color(QPalette::Base), false));
    if (!source.isNull())
        qCDebug(lcFrame) << "main part rendered" << source.size() << "to" << size << "in"
                         << took.nsecsElapsed() / 1e6 << "ms";
}

void ResizableFrame::updateparts()
{
    layoutKind();
    const int width = int(std::lround(formWidth()));
    const int height = int(std::lround(formHeight()));
    picDATE->setTop(picTIME->Top() + picTIME->Height());
    picDATE->setWidth(std::max(0, width - 90));
    picTIME->setWidth(picDATE->Width());
    picDATE->setHeight(std::max(0, height - picDATE->Top() - 45));

    lblDATE->setLeft(kLabelLeft);
    lblTIME->setLeft(kLabelLeft);
    if (lblTIME->Width() > lblDATE->Width())
        lblDATE->setWidth(lblTIME->Width());
    else
        lblTIME->setWidth(lblDATE->Width());

    shpBORDER->setWidth(std::max(0, width - 60));
    shpBORDER->setHeight(std::max(0, height - 60));
    shpBORDER->setLeft(30);
    shpBORDER->setTop(30);
    lnesep->setX1(std::max(90, shpBORDER->Width() - 60));
    lnesep->setX2(90);
    lnesep->setY1(picDATE->Top());
    lnesep->setY2(picDATE->Top());
    ColorUpdate();

    // In the bottom-right corner, partly over the border, never past the window.
    const int left = picDATE->Left() + picDATE->Width() - lablCORNER->Width() + 75;
    const int top = picDATE->Top() + picDATE->Height() - lablCORNER->Height() + 75;
    lablCORNER->setLeft(std::max(0, std::min(left, width - lablCORNER->Width())));
    lablCORNER->setTop(std::max(0, std::min(top, height - lablCORNER->Height())));
    sync();
}

void ResizableFrame::sync()
{
    picTIME->sync();
    picDATE->sync();
    lnesep->sync();
    lablCORNER->sync();
    objMAINPART->sync();
    // The form itself paints only the border.
    if (const QRect border = shpBORDER->pixelRect(); border != m_border) {
        m_border = border;
        update();
    }
}

void ResizableFrame::colourParts(const ThemeShades &shades)
{
    lablCORNER->setForeColor(shades.grip);
}

void ResizableFrame::FormUpdate()
{
    if (const auto onTop = convert::toBool(LoadSetting(reg::OnTop, QStringLiteral("1"))))
        SetOnTop(this, *onTop);
    ColorUpdate();
}

void ResizableFrame::Form_Activate()
{
    Q_EMIT activated();
    updateparts();
    RenderMainPart();
    ColorUpdate();
}

void ResizableFrame::PresetOpen(int button)
{
    Form_Activate();
    pullBackOnScreen();
    if (button == 1)
        armDrag();
    else if (button == 2)
        Q_EMIT settingsRequested();
}

void ResizableFrame::menuFromKeyboard()
{
    Form_Activate();
    Q_EMIT menuRequested(objMAINPART->mapToGlobal(objMAINPART->rect().center()));
}

std::optional<std::pair<QSize, QSize>> ResizableFrame::keyboardSizeRange() const
{
    const QSize least(twipsToPixelsX(lablCORNER->Width() + 2 * objMAINPART->Left()),
                      twipsToPixelsY(lablCORNER->Height() + 2 * objMAINPART->Left()));
    return std::pair{least, largestFrame()};
}

void ResizableFrame::changeEvent(QEvent *event)
{
    FrameBase::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        updateparts();
        RenderMainPart();
    }
}

void ResizableFrame::resizeEvent(QResizeEvent *event)
{
    FrameBase::resizeEvent(event);
    if (isVisible() && !m_loading) {
        RenderMainPart();
        updateparts();
    }
}

void ResizableFrame::mousePressEvent(QMouseEvent *event)
{
    notePress(event);
    const int button = vbButton(event->button());
    QWidget *part = childAt(event->position().toPoint());
    if (part == objMAINPART) {
        if (button == 1)
            PresetOpen(1);
        else
            Q_EMIT menuRequested(event->globalPosition().toPoint());
    } else if (part == picTIME || part == picDATE || part == lblTIME || part == lblDATE) {
        PresetOpen(button);
    } else if (button == 1) {
        // The window's own edge and the grip resize from the corner, never move.
        ResizeFormFromCorner(this, event->globalPosition().toPoint());
    }
    event->accept();
}

void ResizableFrame::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget *part = childAt(event->position().toPoint());
    if (part == picTIME)
        PresetOpen(1);
    else if (part == picDATE || part == objMAINPART || part == lblTIME || part == lblDATE)
        PresetOpen(2);
    event->accept();
}

void ResizableFrame::mouseMoveEvent(QMouseEvent *event)
{
    updateparts();
    dragOnMove(event);
    event->accept();
}

void ResizableFrame::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (showsPicture() && !urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void ResizableFrame::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    Q_EMIT activated();
    takePicture(urls.first().toLocalFile());
    event->acceptProposedAction();
}

} // namespace tavlo
