// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractSpinBox>
#include <optional>

namespace tavlo {

// A text field with up and down arrows. The text is kept exactly as written;
// the arrows, the Up/Down keys and the wheel step a whole number in it by one,
// within an optional range, and leave any other text alone.
class UpDownTextBox final : public QAbstractSpinBox
{
    Q_OBJECT
public:
    explicit UpDownTextBox(QWidget *parent = nullptr);

    QString text() const;
    // Replaces the text as given; raises no Change.
    void setText(const QString &text);

    // Limits what the steps produce; text typed by the user is not checked.
    void setRange(qint64 minimum, qint64 maximum);
    void clearRange();
    std::optional<qint64> minimum() const { return m_minimum; }
    std::optional<qint64> maximum() const { return m_maximum; }

    // Lays the text field and the arrows out again, e.g. after a font change.
    void Refresh();
    // Gives the text field the box's font and re-lays the parts.
    void RefreshFont();

    void stepBy(int steps) override;
    QSize sizeHint() const override;

Q_SIGNALS:
    // The text changed by typing or by a step.
    void Change();

protected:
    StepEnabled stepEnabled() const override;
    void changeEvent(QEvent *event) override;

private:
    std::optional<qint64> number() const;

    std::optional<qint64> m_minimum;
    std::optional<qint64> m_maximum;
};

} // namespace tavlo
