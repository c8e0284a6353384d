#include "frame/windowops.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace tavlo {
namespace {

// Moves a window by hand while the left button is held, for window managers
// that refuse a system move.
class ManualDrag final : public QObject
{
public:
    ManualDrag(QWidget *form) : QObject(form), m_form(form)
    {
        m_offset = QCursor::pos() - form->pos();
        form->installEventFilter(this);
        form->grabMouse();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove) {
            m_form->move(QCursor::pos() - m_offset);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_form->releaseMouse();
            deleteLater();
            return true;
        }
        return false;
    }

private:
    QWidget *m_form;
    QPoint m_offset;
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
    if (button != 1 || !form)
        return;
    QWindow *window = form->window()->windowHandle();
    if (window && window->startSystemMove())
        return;
    new ManualDrag(form->window());
}

} // namespace tavlo
