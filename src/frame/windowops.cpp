// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/windowops.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace tavlo {
namespace {

constexpr char kName[] = "tavlo-manual-drag";

// Moves a window with the pointer, or resizes it from its bottom-right
// corner, while the left button is held.
class ManualDrag final : public QObject
{
public:
    enum class Mode { Move, Resize };

    // grabbed: where the pointer held the window, in screen coordinates.
    ManualDrag(QWidget *form, QPoint grabbed, Mode mode)
        : QObject(form), m_form(form), m_mode(mode), m_grabbed(grabbed), m_pos(form->pos()),
          m_size(form->size())
    {
        setObjectName(QLatin1String(kName));
        form->installEventFilter(this);
        form->grabMouse();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const QPoint by = mouse->globalPosition().toPoint() - m_grabbed;
            if (m_mode == Mode::Move)
                m_form->move(m_pos + by);
            else
                m_form->resize(std::max(1, m_size.width() + by.x()),
                               std::max(1, m_size.height() + by.y()));
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_form->releaseMouse();
            m_form->removeEventFilter(this);
            deleteLater();
            return true;
        }
        return false;
    }

private:
    QWidget *m_form;
    Mode m_mode;
    QPoint m_grabbed;
    QPoint m_pos;
    QSize m_size;
};

} // namespace

void SetTransparency(QWidget *form, uint8_t &alpha)
{
    alpha = std::max<uint8_t>(alpha, 20);
    if (!form)
        return;
    // Opacity is a window property round trip; skip it when nothing changes.
    if (std::lround(form->windowOpacity() * 255.0) != alpha)
        form->setWindowOpacity(alpha / 255.0);
}

void SetOnTop(QWidget *form, bool onTop)
{
    if (!form)
        return;
    Qt::WindowFlags changed = form->windowFlags();
    if (changed.testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    changed.setFlag(Qt::WindowStaysOnTopHint, onTop);
    // setWindowFlags would hide and re-create the window; tell the platform window instead.
    form->overrideWindowFlags(changed);
    if (QWindow *window = form->windowHandle())
        window->setFlags(changed);
}

void DragForm(QWidget *form, int button)
{
    DragForm(form, button, QCursor::pos());
}

void DragForm(QWidget *form, int button, QPoint grabbed)
{
    if (button != 1 || !form)
        return;
    QWidget *window = form->window();
    if (window->findChild<QObject *>(QLatin1String(kName), Qt::FindDirectChildrenOnly))
        return;
    // On X11 the window follows the pointer itself: exact to the pixel, and no
    // window manager grab can swallow the second click of a double click.
    // Elsewhere only the compositor may move windows.
    QWindow *handle = window->windowHandle();
    if (QGuiApplication::platformName() != QLatin1String("xcb") && handle &&
        handle->startSystemMove())
        return;
    new ManualDrag(window, grabbed, ManualDrag::Mode::Move);
}

void ResizeFormFromCorner(QWidget *form, QPoint grabbed)
{
    if (!form)
        return;
    QWidget *window = form->window();
    if (window->findChild<QObject *>(QLatin1String(kName), Qt::FindDirectChildrenOnly))
        return;
    QWindow *handle = window->windowHandle();
    if (handle && handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge))
        return;
    new ManualDrag(window, grabbed, ManualDrag::Mode::Resize);
}

} // namespace tavlo
