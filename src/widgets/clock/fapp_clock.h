// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/fixedframe.h"

#include <QDateTime>
#include <QLocale>

namespace tavlo {

// The texts of one tick, from the time, the locale and the style.
struct ClockTexts
{
    QString time;
    QString seconds;
    QString ampm;
};

// Modern style: 12-hour time with separate seconds and AM/PM; classic style:
// the locale's own time format, seconds included.
ClockTexts clockTexts(const QTime &time, const QLocale &locale, bool modern);
// The locale's long date, as the date strip shows it.
QString clockDateText(const QDate &date, const QLocale &locale);
// The locale's long time format without its time-zone part.
QString classicTimeFormat(const QLocale &locale);

// The clock: the time in the upper strip, the date in the lower one, in one
// of three arrangements (date and time, date only, time only).
class fapp_CLOCK final : public FixedFrame
{
    Q_OBJECT
public:
    explicit fapp_CLOCK(QWidget *parent = nullptr);

    void updateparts() override;

protected:
    void loadFirstTexts() override;

private:
    // Everything the layout reads (and what it hands on to the small texts);
    // while none of it changes, the layout would come out the same.
    struct LayoutInputs
    {
        QString texts[4];
        QFont fonts[4];
        OleColor colours[4] = {};
        int aligns[2] = {};
        int state = -1;
        OleColor theme = 0;
        int32_t contrast = 0;
        uint8_t alpha = 0;
        bool operator==(const LayoutInputs &) const = default;
    };
    LayoutInputs layoutInputs() const;

    // The time strip's seconds and AM/PM texts, at the upper right of the time.
    Label *lblSECS = nullptr;
    Label *lblSTYLE = nullptr;

    void setTimeTexts(const QDateTime &now, bool modern);
    void setDateText(const QDate &today);
    void layOut(int state);
    void placeSmallTexts();

    // What the texts were last made from; half the ticks fall in the same second.
    qint64 m_textSecond = -1;
    bool m_textModern = false;
    QDate m_textDate;
    // The arrangement shown: 0 date and time (as designed), 1 date only, 2 time only.
    int m_state = 0;
    // The stored style and arrangement texts as last read, and what they gave:
    // most ticks read the same texts, which need no converting again.
    QString m_styleText;
    bool m_styleModern = true;
    QString m_stateText;
    quint64 m_settingsGeneration = 0;
    LayoutInputs m_laidOut;
};

} // namespace tavlo
