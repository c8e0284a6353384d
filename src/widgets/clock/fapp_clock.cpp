// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/clock/fapp_clock.h"

#include "core/cmlib_registry.h"
#include "core/convert.h"
#include "core/valuenames.h"
#include "frame/controls.h"
#include "platform/systemclock.h"

#include <QTimer>
#include <cmath>

namespace tavlo {
namespace {

// Layout in twips.
constexpr int kStripAllowance = 270 + 120 + 120;
constexpr int kTimeOnlyExtra = 130;
constexpr int kWindowMargin = 90;
constexpr int kLabelLeft = 210;
constexpr int kSingleStripTop = 45;
constexpr int kSmallTextOverhang = 50;

const QString kTrail = QStringLiteral("   ");

} // namespace

QString classicTimeFormat(const QLocale &locale)
{
    // Drop the time-zone letters (outside quotes) and the spaces around them.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format.at(i);
        if (ch == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && ch == QLatin1Char('t')) {
            while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('t'))
                ++i;
            continue;
        }
        result += ch;
    }
    return result.simplified();
}

ClockTexts clockTexts(const QTime &time, const QLocale &locale, bool modern)
{
    ClockTexts texts;
    if (!modern) {
        texts.time =
            QLatin1Char(' ') + locale.toString(time, classicTimeFormat(locale)) + QLatin1Char(' ');
        return texts;
    }
    const int h = time.hour();
    const QString mm = QStringLiteral(":%1").arg(time.minute(), 2, 10, QLatin1Char('0'));
    if (h == 0)
        texts.time = QStringLiteral(" 12") + mm + kTrail;
    else if (h > 12)
        texts.time = QLatin1Char(' ') + QString::number(h - 12) + mm + kTrail;
    else
        texts.time = QLatin1Char(' ') + QString::number(h) + mm + kTrail;
    texts.seconds = QStringLiteral(" %1").arg(time.second(), 2, 10, QLatin1Char('0'));
    texts.ampm = QLatin1Char(' ') + (h < 12 ? locale.amText() : locale.pmText());
    return texts;
}

QString clockDateText(const QDate &date, const QLocale &locale)
{
    return QLatin1Char(' ') + locale.toString(date, QLocale::LongFormat) + QLatin1Char(' ');
}

fapp_CLOCK::fapp_CLOCK(QWidget *parent) : FixedFrame(QStringLiteral("fapp_CLOCK"), parent)
{
    lblSECS = new Label(QStringLiteral("lblSECS"), picTIME);
    lblSTYLE = new Label(QStringLiteral("lblSTYLE"), picTIME);
    setAccessibleKind(tr("clock"));
    lblTIME->setAccessibleName(tr("Time"));
    lblDATE->setAccessibleName(tr("Date"));
    const QString face = QStringLiteral("Trebuchet MS");
    lblTIME->setFontName(face);
    lblTIME->setFontSize(36);
    lblTIME->setFontBold(true);
    lblTIME->setTop(0);
    lblTIME->setLeft(kLabelLeft);
    lblTIME->setForeColor(0xFFFFFF);
    lblDATE->setFontName(face);
    lblDATE->setFontSize(12);
    lblDATE->setTop(45);
    lblDATE->setLeft(kLabelLeft);
    lblDATE->setForeColor(0xE0E0E0);
    // Sized to their captions from the first layout on, which derives their
    // fonts from the time's; measured now they would load a font never shown.
    for (Label *small : {lblSECS, lblSTYLE}) {
        small->setFontName(face);
        small->setFontSize(24);
    }
}

void fapp_CLOCK::loadFirstTexts()
{
    const bool modern = convert::val(settings().load(reg::StyleModern, QStringLiteral("1"))) == 1;
    const QDateTime now = systemClock().now();
    setTimeTexts(now, modern);
    setDateText(now.date());
}

void fapp_CLOCK::setTimeTexts(const QDateTime &now, bool modern)
{
    const qint64 second = now.toSecsSinceEpoch();
    if (second == m_textSecond && modern == m_textModern)
        return;
    m_textSecond = second;
    m_textModern = modern;
    const ClockTexts texts = clockTexts(now.time(), QLocale(), modern);
    lblTIME->setCaption(texts.time);
    lblSECS->setCaption(texts.seconds);
    lblSTYLE->setCaption(texts.ampm);
}

void fapp_CLOCK::setDateText(const QDate &today)
{
    // Written only when the day or the format changes.
    if (today == m_textDate)
        return;
    m_textDate = today;
    const QString date = clockDateText(today, QLocale());
    const QString space = QStringLiteral(" ");
    if (space + lblDATE->Caption().trimmed() + space != space + date.trimmed() + space)
        lblDATE->setCaption(date);
}

void fapp_CLOCK::updateparts()
{
    if (!timerRunning())
        return;
    // The two values are read again only when the store may hold something new.
    const quint64 generation = SettingsGeneration();
    if (generation != m_settingsGeneration || generation == 0) {
        m_settingsGeneration = generation;
        const QString style = settings().load(reg::StyleModern, QStringLiteral("1"));
        if (style != m_styleText || m_styleText.isNull()) {
            m_styleText = style;
            m_styleModern = convert::toBool(style).value_or(false);
        }
        const QString stateText = settings().load(reg::State, QStringLiteral("0"));
        if (stateText != m_stateText || m_stateText.isNull()) {
            m_stateText = stateText;
            const double state = std::nearbyint(convert::val(stateText));
            // Only the three arrangements are taken; any other value keeps the one shown.
            if (state == 0 || state == 1 || state == 2)
                m_state = int(state);
        }
    }
    const QDateTime now = systemClock().now();
    setTimeTexts(now, m_styleModern);
    setDateText(now.date());
    // Most ticks change nothing the layout reads: half of them fall in the
    // same second, and a minute passes without a new time text.
    const LayoutInputs inputs = layoutInputs();
    if (inputs == m_laidOut)
        return;
    LayoutInputs newSecond = m_laidOut;
    newSecond.texts[1] = inputs.texts[1];
    newSecond.texts[2] = inputs.texts[2];
    if (newSecond == inputs) {
        // Only the seconds or AM/PM text is new: the strips and the time stay
        // as they are, the small texts move to their new width.
        placeSmallTexts();
        lblSECS->sync();
        lblSTYLE->sync();
    } else {
        layOut(m_state);
        FrameGeometry();
        placeSmallTexts();
        sync();
        lblSECS->sync();
        lblSTYLE->sync();
    }
    // Taken after the pass, so a change made to what it sets counts as well.
    m_laidOut = layoutInputs();
}

fapp_CLOCK::LayoutInputs fapp_CLOCK::layoutInputs() const
{
    LayoutInputs inputs;
    const Label *labels[] = {lblTIME, lblSECS, lblSTYLE, lblDATE};
    for (int i = 0; i < 4; ++i) {
        inputs.texts[i] = labels[i]->Caption();
        inputs.fonts[i] = labels[i]->labelFont();
        inputs.colours[i] = labels[i]->ForeColor();
    }
    inputs.aligns[0] = lblTIME->textAlign();
    inputs.aligns[1] = lblDATE->textAlign();
    inputs.state = m_state;
    inputs.theme = lngTHEMECOLOR();
    inputs.contrast = lngTRANSVALCONTRAST();
    inputs.alpha = lngTRANSVAL();
    return inputs;
}

void fapp_CLOCK::layOut(int state)
{
    const auto fit = [](Label *label) {
        label->setAutoSize(true);
        label->setAutoSize(false);
    };
    switch (state) {
    case 0: {
        picTIME->setShown(true);
        picDATE->setShown(true);
        fit(lblTIME);
        picTIME->setWidth(lblTIME->Width() + kStripAllowance);
        picTIME->setHeight(lblTIME->Height() + 2 * lblTIME->Top());
        fit(lblDATE);
        picDATE->setWidth(lblDATE->Width() + kStripAllowance);
        picDATE->setHeight(lblDATE->Height() + 2 * lblDATE->Top());
        picDATE->setTop(picTIME->Top() + picTIME->Height());
        setFormHeight(picTIME->Height() + picDATE->Height() + kWindowMargin);
        if (lblDATE->Width() >= lblTIME->Width()) {
            setFormWidth(picDATE->Width() + kWindowMargin);
            lblTIME->setWidth(lblDATE->Width());
            picTIME->setWidth(picDATE->Width());
        } else {
            setFormWidth(picTIME->Width() + kWindowMargin);
            lblDATE->setWidth(lblTIME->Width());
            picDATE->setWidth(picTIME->Width());
        }
        lblTIME->setLeft(kLabelLeft);
        lblDATE->setLeft(kLabelLeft);
        lneshad->setShown(true);
        lnesep->setShown(true);
        break;
    }
    case 1:
        picDATE->setShown(true);
        picTIME->setShown(false);
        fit(lblDATE);
        picDATE->setWidth(lblDATE->Width() + kStripAllowance);
        picDATE->setHeight(lblDATE->Height() + 2 * lblDATE->Top());
        setFormWidth(picDATE->Width() + kWindowMargin);
        lblTIME->setLeft(kLabelLeft);
        lblDATE->setLeft(kLabelLeft);
        lblTIME->setWidth(lblDATE->Width());
        picTIME->setWidth(picDATE->Width());
        setFormHeight(picDATE->Height() + kWindowMargin);
        picDATE->setTop(kSingleStripTop);
        lneshad->setShown(false);
        lnesep->setShown(false);
        break;
    case 2:
        picTIME->setShown(true);
        picDATE->setShown(false);
        fit(lblTIME);
        picTIME->setWidth(lblTIME->Width() + kStripAllowance);
        picTIME->setHeight(lblTIME->Height() + 2 * lblTIME->Top() + kTimeOnlyExtra);
        setFormWidth(picTIME->Width() + kWindowMargin);
        lblTIME->setLeft(kLabelLeft);
        lblDATE->setLeft(kLabelLeft);
        lblDATE->setWidth(lblTIME->Width());
        picDATE->setWidth(picTIME->Width());
        setFormHeight(picTIME->Height() + kWindowMargin);
        picTIME->setTop(kSingleStripTop);
        lneshad->setShown(false);
        lnesep->setShown(false);
        break;
    default:
        break;
    }
}

void fapp_CLOCK::placeSmallTexts()
{
    lblTIME->setAutoSize(true);
    const int timeRight = lblTIME->Left() + lblTIME->Width();
    // Size before name: with the name unchanged, only the font shown is measured.
    lblSECS->setFontSize(lblTIME->FontSize() * 45 / 100);
    lblSECS->setFontName(lblTIME->FontName());
    lblSECS->setAutoSize(true);
    lblSECS->setForeColor(lblTIME->ForeColor());
    lblSECS->setLeft(timeRight - lblSECS->Width() + kSmallTextOverhang);
    lblSECS->setTop(lblTIME->Height() * 12 / 100);
    lblSTYLE->setFontSize(lblTIME->FontSize() * 43 / 100);
    lblSTYLE->setFontName(lblTIME->FontName());
    lblSTYLE->setAutoSize(true);
    lblSTYLE->setForeColor(lblTIME->ForeColor());
    lblSTYLE->setLeft(timeRight - lblSTYLE->Width() + kSmallTextOverhang);
    lblSTYLE->setTop(lblSECS->Top() + lblSECS->Height() - lblTIME->Height() * 12 / 100);
}

} // namespace tavlo
