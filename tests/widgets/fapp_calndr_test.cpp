// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calendar/fapp_calndr.h"

#include "core/twips.h"
#include "globalsfixture.h"
#include "paintrecorder.h"
#include "widgets/calendar/filledbox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <memory>
#include <optional>

using namespace tavlo;

namespace {

class CalendarTest : public test::GlobalsFixture
{
protected:
    fapp_CALNDR *startAt(const QDateTime &now)
    {
        // One fake clock at a time: the old one uninstalls itself.
        m_clock.reset();
        m_clock = std::make_unique<test::FakeClock>(now);
        if (!Main(QStringLiteral("TavloCalendar")))
            return nullptr;
        return qobject_cast<fapp_CALNDR *>(form());
    }
    fapp_CALNDR *startOn(const QDate &date) { return startAt(QDateTime(date, QTime(12, 0))); }
    fapp_CALNDR *calendar() { return qobject_cast<fapp_CALNDR *>(form()); }
    test::FakeClock &fakeClock() { return *m_clock; }
    QList<Label *> labels(const char *name)
    {
        return form()->findChildren<Label *>(QLatin1String(name));
    }
    FilledBox *box(const char *name) { return form()->findChild<FilledBox *>(QLatin1String(name)); }
    FilledBox *marker() { return box("lblDATETODAY"); }
    QString header() { return label("lablMONTHYEAR")->Caption(); }
    static QString caption(int year, int month)
    {
        return calendarMonthName(QLocale(), month) + QLatin1Char(' ') +
               QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
    }
    void click(QWidget *target, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(target, button, {}, target->rect().center());
    }
    // A wheel turn at a point of a part, as the window receives it.
    void wheel(QWidget *over, int delta, std::optional<QPoint> where = {})
    {
        const QPointF at = QPointF(over->mapTo(form(), where.value_or(over->rect().center())));
        QWheelEvent event(at, form()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form(), &event);
    }
    void tick()
    {
        QTimer *timer = form()->findChild<QTimer *>(QStringLiteral("tmrTimer1"));
        QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    }

private:
    std::unique_ptr<test::FakeClock> m_clock;
};

} // namespace

TEST_F(CalendarTest, ShowsTheMonthOfTheDayItStarts)
{
    ASSERT_TRUE(startOn(QDate(2015, 3, 10)));
    // March 2015 starts on a Sunday and uses the sixth row.
    const QList<Label *> cells = labels("lblDAYNO");
    ASSERT_EQ(cells.size(), 42);
    EXPECT_EQ(cells[5]->text() + u'|' + cells[6]->text() + u'|' + cells[36]->text() + u'|' +
                  cells[37]->text(),
              QStringLiteral("|1|31|"));

    QStringList weekdays;
    for (const Label *day : labels("lblDAY"))
        weekdays << day->text();
    EXPECT_EQ(weekdays.join(QLatin1Char(',')), QStringLiteral("Mon,Tue,Wed,Thu,Fri,Sat,Sun"));
    EXPECT_EQ(header(), caption(2015, 3));
    const auto *months = form()->findChild<QComboBox *>(QStringLiteral("cboMONTH"));
    ASSERT_TRUE(months);
    EXPECT_TRUE(months->count() == 12 && months->currentIndex() == 2 && !months->isVisible());
    EXPECT_EQ(form()->findChild<QLineEdit *>(QStringLiteral("udnYEAR"))->text(),
              QStringLiteral("2015"));
    EXPECT_EQ(form()->size(), QSize(twipsToPixelsX(3285), twipsToPixelsY(3165)));
    // Today's marker lies behind the day number, which stays readable on it.
    const QObjectList stack = marker()->parent()->children();
    EXPECT_LT(stack.indexOf(marker()), stack.indexOf(cells[15]));
}

TEST_F(CalendarTest, ArrowsKeysAndWheelMoveTheMonth)
{
    ASSERT_TRUE(startOn(QDate(2015, 3, 10)));
    QWidget *grid = labels("lblDAYNO")[20];
    const auto next = [&] { click(label("imgbtnCALENDARMONTHNEXT")); };
    // clang-format off
    const struct { const char *input; std::function<void()> give; int year, month; } cases[] = {
        {"two quick clicks on >", [&] { next(); next(); }, 2015, 5},
        {"right click on >", [&] { click(label("imgbtnCALENDARMONTHNEXT"), Qt::RightButton); }, 2015, 3},
        {"Left", [&] { QTest::keyClick(form(), Qt::Key_Left); }, 2015, 2},
        {"Page Down", [&] { QTest::keyClick(form(), Qt::Key_PageDown); }, 2015, 4},
        {"Page Up", [&] { QTest::keyClick(form(), Qt::Key_PageUp); }, 2015, 2},
        {"wheel down", [&] { wheel(grid, -120); }, 2015, 4}, {"up two notches", [&] { wheel(grid, 240); }, 2015, 1},
        {"half notches add up", [&] { wheel(grid, 60); wheel(grid, 60); }, 2015, 2},
        {"wheel over the margin", [&] { wheel(form(), -1200, QPoint(2, 2)); }, 2015, 3},
        {"a year back across January", [&] { wheel(grid, 12 * 120); }, 2014, 3},
        {"December to January", [&] { wheel(grid, -9 * 120); wheel(grid, -120); }, 2016, 1},
        {"half a notch alone", [&] { wheel(grid, -60); }, 2015, 3}, // last: its half stays behind
    };
    // clang-format on
    for (const auto &c : cases) {
        if (calendar()->grid().month() != 3 || calendar()->grid().year() != 2015)
            QTest::keyClick(form(), Qt::Key_Home);
        c.give();
        EXPECT_TRUE(header() == caption(c.year, c.month) && calendar()->grid().month() == c.month)
            << c.input;
    }
}

TEST_F(CalendarTest, NavigationStopsAtTheEndsOfTheRange)
{
    ASSERT_TRUE(startOn(QDate(2015, 3, 10)));
    QWidget *grid = labels("lblDAYNO")[20];
    // A wheel turned far beyond the range stops at its ends, at once.
    wheel(grid, INT_MAX);
    EXPECT_EQ(header(), caption(100, 1));
    click(label("imgbtnCALENDARMONTHBACK"));
    QTest::keyClick(form(), Qt::Key_PageUp);
    wheel(grid, 120);
    EXPECT_EQ(header(), caption(100, 1));
    // January of year 100 starts on a Friday in the calendar used throughout.
    EXPECT_EQ(labels("lblDAYNO")[4]->Caption(), QStringLiteral("1"));

    wheel(grid, INT_MIN);
    wheel(grid, INT_MIN);
    EXPECT_EQ(header(), caption(9999, 12));
    click(label("imgbtnCALENDARMONTHNEXT"));
    QTest::keyClick(form(), Qt::Key_Right);
    EXPECT_EQ(header(), caption(9999, 12));
    EXPECT_FALSE(marker()->isVisible());
    QTest::keyClick(form(), Qt::Key_Home);
    EXPECT_EQ(header(), caption(2015, 3));
    EXPECT_TRUE(marker()->isVisible());
}

TEST_F(CalendarTest, TodayFollowsTheDate)
{
    using T = QTime;
    using D = QDate;
    // Which month a new day shows is the grid's table; here the tick moves or hides the marker.
    // clang-format off
    const struct { const char *change; QDateTime from; int monthsAway; QDateTime to; int year, month, markerCell; } cases[] = {
        {"midnight", {D(2015, 3, 10), T(23, 59, 59)}, 0, {D(2015, 3, 11), T(0, 0)}, 2015, 3, 16},
        {"end of the month", {D(2015, 3, 31), T(23, 59, 59)}, 0, {D(2015, 4, 1), T(0, 0, 1)}, 2015, 4, 2},
        {"another month stays", {D(2015, 3, 10), T(23, 59, 59)}, -1, {D(2015, 3, 11), T(0, 0)}, 2015, 2, -1},
    };
    // clang-format on
    for (const auto &c : cases) {
        resetGlobals();
        ASSERT_TRUE(startAt(c.from)) << c.change;
        wheel(labels("lblDAYNO")[20], -120 * c.monthsAway);
        fakeClock().set(c.to);
        tick();
        EXPECT_EQ(header(), caption(c.year, c.month)) << c.change;
        EXPECT_EQ(marker()->isVisible(), c.markerCell >= 0) << c.change;
        if (c.markerCell >= 0) {
            const Label *today = labels("lblDAYNO")[c.markerCell];
            EXPECT_TRUE(marker()->geometry().contains(today->geometry())) << c.change;
            EXPECT_EQ(today->Caption(), QString::number(c.to.date().day())) << c.change;
        }
    }
}

TEST_F(CalendarTest, ColorUpdateMixesTheThemeAtTheContrast)
{
    // The gradient's end lines lie a step inside its two colours.
    const auto near = [](const QColor &a, const QColor &b) {
        return std::abs(a.red() - b.red()) <= 4 && std::abs(a.green() - b.green()) <= 4 &&
               std::abs(a.blue() - b.blue()) <= 4;
    };
    ASSERT_TRUE(startOn(QDate(2015, 3, 10)));
    auto *frame = calendar();
    PictureBox *month = picture("pfrMONTH");
    // clang-format off
    const struct { int32_t contrast; OleColor back, monthFrom, monthTo, headerBand, weekdayBand, today; } cases[] = {
        // Weights 2c - 130 = -64, c / 22 = 1.5 -> 2, c + 140, c / 7 -> 5, c / 5 -> 7, c - 50.
        {33, 0x2850A0, 0x203F7F, 0xB7C2D6, 0x1F3F7D, 0x1F3E7C, 0x224489},
        {100, 0x172E5D, 0x1F3F7D, 0xF2F4F8, 0x1E3C79, 0x1D3B76, 0x1A3367},
        // Far out of range: every mix saturates, nothing wraps round.
        {INT32_MAX, 0x000000, 0x000000, 0xFFFFFF, 0x000000, 0x000000, 0x000000},
        {INT32_MIN, 0xFFFFFF, 0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
    };
    // clang-format on
    for (const auto &c : cases) {
        frame->setLngTHEMECOLOR(0x204080);
        frame->setLngTRANSVALCONTRAST(c.contrast);
        frame->ColorUpdate();
        EXPECT_EQ((std::vector<OleColor>{frame->BackColor(), box("shptop")->BackColor(),
                                         box("shpbar")->BackColor(), marker()->BackColor()}),
                  (std::vector<OleColor>{c.back, c.headerBand, c.weekdayBand, c.today}))
            << c.contrast;
        // At 90 degrees the gradient's first colour lies along the bottom.
        const QImage &picture = month->picture();
        EXPECT_TRUE(near(picture.pixelColor(0, picture.height() - 1), toQColor(c.monthFrom)))
            << c.contrast;
        EXPECT_TRUE(near(picture.pixelColor(0, 0), toQColor(c.monthTo))) << c.contrast;
    }

    // The header follows the first text row, the day numbers the second.
    frame->timeLabel()->setForeColor(0x00FF00);
    frame->timeLabel()->setFontName(QStringLiteral("DejaVu Serif"));
    frame->dateLabel()->setForeColor(0x0000FF);
    frame->dateLabel()->setFontName(QStringLiteral("DejaVu Sans Mono"));
    frame->dateLabel()->setFontSize(30);
    tick();
    for (const char *name : {"lablMONTHYEAR", "imgbtnCALENDARMONTHNEXT", "lblDAY"}) {
        EXPECT_EQ(label(name)->ForeColor(), 0x00FF00) << name;
        EXPECT_EQ(label(name)->FontName(), QStringLiteral("DejaVu Serif")) << name;
    }
    EXPECT_FLOAT_EQ(label("lablMONTHYEAR")->FontSize(), 11.25f);
    EXPECT_FLOAT_EQ(label("lblDAY")->FontSize(), 6.75f);
    for (const Label *number : labels("lblDAYNO"))
        EXPECT_TRUE(number->ForeColor() == 0x0000FF && number->FontSize() == 9.0f &&
                    number->FontName() == QStringLiteral("DejaVu Sans Mono"));
}

TEST_F(CalendarTest, AnIdleTickPaintsNothing)
{
    ASSERT_TRUE(startOn(QDate(2015, 3, 10)));
    settle();
    test::PaintRecorder recorder(form());
    for (int i = 0; i < 4; ++i) {
        fakeClock().set(fakeClock().now().addSecs(1));
        tick();
        settle();
    }
    EXPECT_TRUE(recorder.painted.isEmpty());
    // A change the tick reads does repaint.
    calendar()->setLngTHEMECOLOR(0x0000FF);
    tick();
    settle();
    EXPECT_FALSE(recorder.painted.isEmpty());
}

TEST_F(CalendarTest, PressesOnThePanelsHeaderAndCellsOpenTheSettings)
{
    ASSERT_TRUE(startOn(QDate(2015, 3, 10)));
    QSignalSpy settings(form(), &WidgetForm::settingsRequested);
    // clang-format off
    const struct { const char *name; QWidget *target; int opens; } cases[] = {
        {"an empty cell", labels("lblDAYNO")[0], 1}, {"a weekday", labels("lblDAY")[3], 1},
        {"the header", label("lablMONTHYEAR"), 1}, {"the month panel", picture("pfrMONTH"), 1},
        {"an arrow", label("imgbtnCALENDARMONTHBACK"), 0},
    };
    // clang-format on
    for (const auto &c : cases) {
        settings.clear();
        QTest::mousePress(c.target, Qt::RightButton, {}, QPoint(2, 2));
        QTest::mouseRelease(c.target, Qt::RightButton, {}, QPoint(2, 2));
        EXPECT_EQ(settings.size(), c.opens) << c.name;
    }
    EXPECT_EQ(header(), caption(2015, 3));
}

TEST_F(CalendarTest, AClickOnTheHeaderRefillsAndMovesTheMarker)
{
    ASSERT_TRUE(startOn(QDate(2015, 3, 10)));
    Label *header = label("lablMONTHYEAR");
    // The new day is seen before the tick: the header's click places the marker.
    fakeClock().set(QDateTime(QDate(2015, 3, 12), QTime(8, 0)));
    click(header);
    EXPECT_TRUE(marker()->geometry().contains(labels("lblDAYNO")[17]->geometry()));

    // A press that moves the window is no click.
    fakeClock().set(QDateTime(QDate(2015, 3, 13), QTime(8, 0)));
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(60, 5));
    EXPECT_TRUE(marker()->geometry().contains(labels("lblDAYNO")[17]->geometry()));
}
