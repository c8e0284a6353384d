// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ovctrls/updowntextbox.h"

#include <QEvent>
#include <QLineEdit>
#include <QStyleOptionSpinBox>
#include <algorithm>

namespace tavlo {

namespace {

// Room for a year or a small count when the box has no text yet.
const QString kWidthSample = QStringLiteral("00000");

} // namespace

UpDownTextBox::UpDownTextBox(QWidget *parent) : QAbstractSpinBox(parent)
{
    connect(lineEdit(), &QLineEdit::textEdited, this, &UpDownTextBox::Change);
    // What it is called until the form that holds it names it.
    setAccessibleName(tr("Number"));
}

QString UpDownTextBox::text() const
{
    return lineEdit()->text();
}

void UpDownTextBox::setText(const QString &text)
{
    lineEdit()->setText(text);
    update();
}

void UpDownTextBox::setRange(qint64 minimum, qint64 maximum)
{
    if (minimum > maximum)
        std::swap(minimum, maximum);
    m_minimum = minimum;
    m_maximum = maximum;
    update();
}

void UpDownTextBox::clearRange()
{
    m_minimum.reset();
    m_maximum.reset();
    update();
}

std::optional<qint64> UpDownTextBox::number() const
{
    bool ok = false;
    const qint64 value = text().trimmed().toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

void UpDownTextBox::stepBy(int steps)
{
    const std::optional<qint64> value = number();
    if (!value || steps == 0)
        return;
    qint64 next = 0;
    if (__builtin_add_overflow(*value, qint64(steps), &next))
        return;
    if (m_maximum)
        next = std::min(next, *m_maximum);
    if (m_minimum)
        next = std::max(next, *m_minimum);
    if (next == *value)
        return;

    // Zero-padded numbers ("007") keep their width.
    const QString digits = text().trimmed().remove(QLatin1Char('+')).remove(QLatin1Char('-'));
    const int width = digits.startsWith(QLatin1Char('0')) ? int(digits.size()) : 0;
    QString result = QString::number(next);
    if (next < 0)
        result = QLatin1Char('-') + result.mid(1).rightJustified(width, QLatin1Char('0'));
    else
        result = result.rightJustified(width, QLatin1Char('0'));

    lineEdit()->setText(result);
    lineEdit()->selectAll();
    update();
    Q_EMIT Change();
}

QAbstractSpinBox::StepEnabled UpDownTextBox::stepEnabled() const
{
    const std::optional<qint64> value = number();
    if (!value || isReadOnly())
        return StepNone;
    StepEnabled enabled = StepNone;
    if (!m_maximum || *value < *m_maximum)
        enabled |= StepUpEnabled;
    if (!m_minimum || *value > *m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

void UpDownTextBox::Refresh()
{
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    lineEdit()->setGeometry(
        style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, this));
    updateGeometry();
    update();
}

void UpDownTextBox::RefreshFont()
{
    lineEdit()->setFont(font());
    Refresh();
}

void UpDownTextBox::changeEvent(QEvent *event)
{
    QAbstractSpinBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Refresh();
}

QSize UpDownTextBox::sizeHint() const
{
    ensurePolished();
    const QFontMetrics fm = fontMetrics();
    const QString sample = text().size() > kWidthSample.size() ? text() : kWidthSample;
    // Two pixels for the cursor, as a line edit reserves.
    const int w = fm.horizontalAdvance(sample) + 2;
    const int h = lineEdit()->sizeHint().height();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(w, h), this);
}

} // namespace tavlo
