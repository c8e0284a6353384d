// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

namespace tavlo::test {

// Collects the area painted in a window and all its parts, in the window's
// coordinates, for the object's lifetime.
class PaintRecorder final : public QObject
{
public:
    explicit PaintRecorder(QWidget *root) : m_root(root)
    {
        const QList<QWidget *> parts = root->findChildren<QWidget *>() << root;
        for (QWidget *part : parts)
            part->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QRect rect = static_cast<QPaintEvent *>(event)->rect();
            painted |= QRect(static_cast<QWidget *>(watched)->mapTo(m_root, rect.topLeft()),
                             rect.size());
        }
        return false;
    }
    // True when something was painted, and all of it inside part.
    bool paintedOnlyIn(const QWidget *part) const
    {
        const QRect area(part->mapTo(m_root, QPoint(0, 0)), part->size());
        return !painted.isEmpty() && (painted.boundingRect() | area) == area;
    }
    QRegion painted;

private:
    QWidget *m_root;
};

} // namespace tavlo::test
