// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

namespace tavlo {

// A row of page tabs named by one comma-separated caption list. Clicking a tab
// (or moving to it with the arrow keys) selects it and raises TabClick with
// its caption; selecting by index does not.
class PageTab final : public QWidget
{
    Q_OBJECT
public:
    explicit PageTab(QWidget *parent = nullptr);

    QString tabString() const;
    // "Theme,Preset,Text" makes three tabs; empty parts are dropped.
    void setTabString(const QString &captions);
    QStringList captions() const { return m_captions; }

    // 1-based; 0 when there are no tabs.
    int selectedTab() const { return m_selected; }
    // Selects tab index (1-based) without raising TabClick; out of range is ignored.
    void setSelectedTab(int index);
    // Selects tab index (1-based) and raises TabClick, as a click on it does.
    void clickTab(int index);

    // The font of the captions, from a face name and a point size as text.
    void SetFont(const QString &name, const QString &size);
    // Colour of the selected tab, the same as the page below it.
    QColor BackColorPage() const { return m_pageColor; }
    void setBackColorPage(const QColor &colour);

    // Where tab index (1-based) lies in the widget; empty when out of range.
    QRect tabRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void TabClick(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

    struct Metrics
    {
        int margin = 0;  // free space left and right of the row
        int padding = 0; // natural space left and right of a caption
        int minPadding = 0;
        int vpadding = 0; // space above and below a caption
        int raise = 0;    // how much higher the selected tab stands
        int radius = 0;
    };
    Metrics metrics() const;
    QList<int> textWidths() const;
    // The tabs' rectangles for the current width, padding shrunk to fit.
    QList<QRect> tabRects() const;
    int tabAt(const QPoint &pos) const;
    // Selects index (1-based) and raises TabClick when notify is set.
    void select(int index, bool notify);

    int m_hovered = 0;
    QStringList m_captions;
    int m_selected = 0;
    QColor m_pageColor;
};

} // namespace tavlo
