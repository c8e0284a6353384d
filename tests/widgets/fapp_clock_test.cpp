// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/clock/fapp_clock.h"

#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/modblend.h"
#include "globalsfixture.h"

#include <QTimer>
#include <functional>

using namespace tavlo;

TEST(ClockTextsTest, ModernIsTwelveHoursWithSeparatePartsClassicTheLocaleFormat)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    // clang-format off
    const struct { QTime time; const QLocale &locale; bool modern; const char *text, *seconds, *ampm; } cases[] = {
        {QTime(0, 5, 0), english, true, " 12:05   ", " 00", " AM"},
        {QTime(9, 41, 3), english, true, " 9:41   ", " 03", " AM"},
        {QTime(12, 30, 59), english, true, " 12:30   ", " 59", " PM"},
        {QTime(13, 7, 9), english, true, " 1:07   ", " 09", " PM"},
        {QTime(13, 7, 9), german, false, " 13:07:09 ", "", ""},
        {QTime(13, 7, 9), english, false, " 1:07:09 PM ", "", ""},
    };
    // clang-format on
    for (const auto &c : cases) {
        const ClockTexts texts = clockTexts(c.time, c.locale, c.modern);
        EXPECT_EQ(texts.time + u'|' + texts.seconds + u'|' + texts.ampm,
                  QLatin1String(c.text) + u'|' + QLatin1String(c.seconds) + u'|' +
                      QLatin1String(c.ampm));
    }
    EXPECT_FALSE(classicTimeFormat(english).contains(QLatin1Char('t')));
}

class ClockTest : public test::GlobalsFixture
{
protected:
    // Writes a value to the store, then runs one tick, which reads it.
    void storeAndTick(const char *name, const char *value)
    {
        SaveSetting(QLatin1String(name), QLatin1String(value));
        form()->updateparts();
    }
};

TEST_F(ClockTest, StyleAndArrangementWrittenToTheStoreShowAtTheNextTick)
{
    ASSERT_TRUE(start());
    // Not a number counts as 0: classic.
    for (const auto &[style, seconds] : {std::pair{"False", ""}, {"True", " 09"}, {"modern", ""}}) {
        storeAndTick("0Style-modern", style);
        EXPECT_EQ(label("lblSECS")->Caption(), QLatin1String(seconds)) << style;
    }

    PictureBox *time = picture("picTIME"), *date = picture("picDATE");
    const double tpp = twipsPerPixelY();
    storeAndTick("0State", "2");
    EXPECT_TRUE(time->isVisible() && !date->isVisible());
    EXPECT_FALSE(line("lneshad")->isVisible() || line("lnesep")->isVisible());
    EXPECT_EQ(time->Top(), 45);
    EXPECT_EQ(time->Height(), label("lblTIME")->Height() + 2 * label("lblTIME")->Top() + 130);
    EXPECT_EQ(form()->height(), std::lround((time->Height() + 90) / tpp));
    EXPECT_EQ(form()->width(), std::lround((time->Width() + 90) / twipsPerPixelX()));

    storeAndTick("0State", "1");
    EXPECT_TRUE(!time->isVisible() && date->isVisible());
    EXPECT_EQ(date->Top(), 45);
    EXPECT_EQ(form()->height(), std::lround((date->Height() + 90) / tpp));

    storeAndTick("0State", "0");
    EXPECT_TRUE(time->isVisible() && date->isVisible() && line("lnesep")->isVisible());
    EXPECT_EQ(date->Top(), time->Top() + time->Height());
    EXPECT_EQ(form()->height(), std::lround((time->Height() + date->Height() + 90) / tpp));
}

TEST_F(ClockTest, AnyOtherArrangementKeepsTheOneShown)
{
    prepareStore();
    ASSERT_TRUE(start());
    const QSize designed = form()->size();
    for (const char *other : {"3", "-1", "2.6", "-1e300", "99999999999"}) {
        // At load the clock keeps its designed arrangement, date and time.
        resetGlobals();
        prepareStore();
        SaveSetting(QStringLiteral("0State"), QLatin1String(other));
        ASSERT_TRUE(start()) << other;
        EXPECT_EQ(form()->size(), designed) << other;
        EXPECT_TRUE(picture("picTIME")->isVisible() && picture("picDATE")->isVisible()) << other;

        // Running, it keeps the one it shows.
        storeAndTick("0State", "1");
        const QSize dateOnly = form()->size();
        SaveSetting(QStringLiteral("0State"), QLatin1String(other));
        clock().set(clock().now().addSecs(61));
        form()->updateparts();
        EXPECT_EQ(form()->size(), dateOnly) << other;
        EXPECT_TRUE(!picture("picTIME")->isVisible() && picture("picDATE")->isVisible()) << other;
    }
}

TEST_F(ClockTest, TheWiderTextSetsTheWidthOfBothStrips)
{
    for (const auto &[dateSize, wider] : {std::pair{"30", "lblDATE"}, {"6", "lblTIME"}}) {
        resetGlobals();
        prepareStore();
        SaveSetting(reg::DateSize, QLatin1String(dateSize));
        ASSERT_TRUE(start());
        EXPECT_EQ(picture("picDATE")->Width(), picture("picTIME")->Width()) << wider;
        EXPECT_EQ(picture("picTIME")->Width(), label(wider)->textSizeTwips().width() + 510)
            << wider;
        EXPECT_EQ(form()->width(),
                  std::lround((picture("picTIME")->Width() + 90) / twipsPerPixelX()));
    }
    // The narrower date text's label is as wide as the time's.
    EXPECT_EQ(label("lblDATE")->Width(), label("lblTIME")->Width());
}

TEST_F(ClockTest, TheNextTickShowsANewDayAfterMidnightOrASuspend)
{
    ASSERT_TRUE(start(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59))));
    QTimer *timer = form()->findChild<QTimer *>(QStringLiteral("tmrTimer1"));
    // clang-format off
    const struct { QDateTime now; const char *time, *seconds; QString ampm; } cases[] = {
        {{QDate(2026, 12, 6), QTime(23, 59, 59)}, " 11:59   ", " 59", QLocale().pmText()}, // at start
        {{QDate(2026, 12, 7), QTime(0, 0)}, " 12:00   ", " 00", QLocale().amText()},
        {{QDate(2026, 12, 9), QTime(19, 42, 31)}, " 7:42   ", " 31", QLocale().pmText()}, // asleep
    };
    // clang-format on
    for (const auto &c : cases) {
        clock().set(c.now);
        if (c.now.date().day() != 6)
            QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
        EXPECT_EQ(QStringList({label("lblTIME")->Caption(), label("lblSECS")->Caption(),
                               label("lblDATE")->Caption(), label("lblSTYLE")->Caption()}),
                  QStringList({QLatin1String(c.time), QLatin1String(c.seconds),
                               clockDateText(c.now.date(), QLocale()), u' ' + c.ampm}));
    }
}

TEST_F(ClockTest, StoredTextSettingsAreAppliedToTheLabels)
{
    prepareStore();
    SaveSetting(reg::TimeFont, QStringLiteral("DejaVu Serif"));
    SaveSetting(reg::TimeSize, QStringLiteral("20.5"));
    SaveSetting(reg::TimeColor, QString::number(0x0000FF));
    SaveSetting(reg::TimeAlign, QStringLiteral("2"));
    SaveSetting(reg::DateAlign, QStringLiteral("1"));
    SaveSetting(reg::DateSize, QStringLiteral("abc"));
    SaveSetting(reg::DateColor, QStringLiteral("99999999999"));
    ASSERT_TRUE(start());
    Label *time = label("lblTIME");
    EXPECT_EQ(time->FontName(), QStringLiteral("DejaVu Serif"));
    EXPECT_FLOAT_EQ(time->FontSize(), 20.5f);
    EXPECT_EQ(time->ForeColor(), 0x0000FF);
    EXPECT_EQ(time->textAlign(), 2);
    EXPECT_EQ(label("lblSECS")->FontName(), QStringLiteral("DejaVu Serif"));
    // Values that do not convert leave the design values.
    EXPECT_FLOAT_EQ(label("lblDATE")->FontSize(), 12.0f);
    EXPECT_EQ(label("lblDATE")->ForeColor(), 0xE0E0E0);
    EXPECT_EQ(label("lblDATE")->textAlign(), 1);
}

TEST_F(ClockTest, ATickLaysOutAgainOnlyWhenSomethingItReadsChanged)
{
    ASSERT_TRUE(start());
    auto *frame = static_cast<FixedFrame *>(form());
    Label *time = label("lblTIME");
    Label *secs = label("lblSECS");
    // Moved by hand; only a layout pass puts the seconds back beside the time.
    const auto displace = [&] { secs->setLeft(-999); };
    const auto laidOut = [&] {
        return secs->Left() + secs->Width() == time->Left() + time->Width() + 50;
    };

    displace();
    form()->updateparts();
    form()->updateparts();
    EXPECT_EQ(secs->Left(), -999) << "ticks in the same second";

    // A new second places the small texts again; the strips stay as laid out.
    picture("picTIME")->setWidth(1);
    clock().set(clock().now().addSecs(1));
    form()->updateparts();
    EXPECT_TRUE(laidOut());
    EXPECT_EQ(picture("picTIME")->Width(), 1);

    // clang-format off
    const struct { const char *change; std::function<void()> make; std::function<bool()> shows; } cases[] = {
        {"next second", [&] { clock().set(clock().now().addSecs(1)); },
         [&] { return secs->Caption() == QStringLiteral(" 11"); }},
        {"next minute", [&] { clock().set(clock().now().addSecs(60)); },
         [&] {
             return time->Caption() == QStringLiteral(" 1:08   ") &&
                    picture("picTIME")->Width() > 1;
         }},
        {"time font", [&] { time->setFontName(QStringLiteral("DejaVu Serif")); },
         [&] { return secs->FontName() == QStringLiteral("DejaVu Serif"); }},
        {"date alignment", [&] { label("lblDATE")->setTextAlign(Label::AlignCenter); },
         [&] { return label("lblDATE")->alignment().testFlag(Qt::AlignHCenter); }},
        {"seconds font", [&] { secs->setFontName(QStringLiteral("DejaVu Sans Mono")); },
         [&] { return secs->FontName() == time->FontName(); }},
        {"arrangement in the store",
         [&] { SaveSetting(QStringLiteral("0State"), QStringLiteral("2")); },
         [&] { return !picture("picDATE")->isVisible(); }},
        {"theme colour", [&] { frame->setLngTHEMECOLOR(0x0000FF); },
         [&] { return frame->BackColor() == ColorBlend(0, 0x0000FF, 2 * 33 - 100); }},
    };
    // clang-format on
    for (const auto &c : cases) {
        displace();
        c.make();
        form()->updateparts();
        EXPECT_TRUE(laidOut()) << c.change;
        EXPECT_TRUE(c.shows()) << c.change;
    }
}
