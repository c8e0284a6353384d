// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/widgetset.h"

#include "core/kind.h"
#include "core/valuenames.h"
#include "globalsfixture.h"

#include <QSignalSpy>
#include <initializer_list>
#include <utility>

using namespace tavlo;

namespace {

// A widget that only holds its values, with a main part showing photo.
class PaperWidget final : public WidgetForm
{
public:
    explicit PaperWidget(const QString &photo, OleColor colour = 0)
        : WidgetForm(QStringLiteral("fapp_PAPER")), m_colour(colour)
    {
        m_main.setProperty("Tag", photo);
    }
    void ColorUpdate() override {}
    void FormUpdate() override {}
    OleColor lngTHEMECOLOR() const override { return m_colour; }
    void setLngTHEMECOLOR(OleColor colour) override { m_colour = colour; }
    uint8_t lngTRANSVAL() const override { return 200; }
    void setLngTRANSVAL(uint8_t) override {}
    int32_t lngTRANSVALCONTRAST() const override { return 40; }
    void setLngTRANSVALCONTRAST(int32_t) override {}
    uint8_t lngTRANSVALCUST() const override { return 200; }
    void setLngTRANSVALCUST(uint8_t) override {}
    QString strSELPRESET() const override { return QStringLiteral("Paper"); }
    void setStrSELPRESET(const QString &) override {}
    void updateparts() override {}
    QWidget *mainPart() const override { return const_cast<QWidget *>(&m_main); }
    void Form_Load() override {}
    void saveOnUnload() override {}

private:
    QWidget m_main;
    OleColor m_colour;
};

class WidgetSetTest : public test::GlobalsFixture
{
protected:
    void SetUp() override { prepareStore(); }
    // Puts a widget into each slot; it is deleted with the set.
    PaperWidget *put(int number, const QString &photo, OleColor colour = 0)
    {
        auto *widget = new PaperWidget(photo, colour);
        EXPECT_TRUE(widgetSet().add(number, widget, true));
        return widget;
    }
    // Each name's stored value, "<absent>" for none.
    static void expectStored(std::initializer_list<std::pair<const char *, const char *>> values)
    {
        for (const auto &[name, value] : values)
            EXPECT_EQ(LoadSetting(QLatin1String(name), QStringLiteral("<absent>")),
                      QLatin1String(value))
                << name;
    }
    const KindRow photos{.family = WidgetFamily::Resizable, .manyWidgets = true};
};

} // namespace

TEST_F(WidgetSetTest, HandsOutNumbersUpToTheLastSlot)
{
    WidgetSet &set = widgetSet();
    QSignalSpy changed(&set, &WidgetSet::currentChanged);
    for (int expected = 1; expected < kWidgetSlots; ++expected)
        EXPECT_EQ(set.newNumber(), expected);
    EXPECT_EQ(set.newNumber(), std::nullopt);
    EXPECT_TRUE(set.lngLASTINDEX() == 20 && set.lngSELINDEX() == 20 && changed.count() == 20);

    PaperWidget spare{QString()};
    put(4, QString());
    for (const int taken : {21, -1, 4})
        EXPECT_FALSE(set.add(taken, &spare, true)) << taken;
    EXPECT_EQ(set.lngOPENCOUNT(), 1);
    EXPECT_EQ(set.frmWIDGETS(4)->Tag(), QStringLiteral("4"));
}

TEST_F(WidgetSetTest, AWidgetWithoutANumberNeverBecomesCurrent)
{
    WidgetSet &set = widgetSet();
    PaperWidget *two = put(2, QString());
    PaperWidget *five = put(5, QString());
    set.setCurrentForm(five);
    EXPECT_EQ(set.current(), five);

    QSignalSpy changed(&set, &WidgetSet::currentChanged);
    two->setTag(QStringLiteral("two"));
    set.setCurrentForm(two);
    PaperWidget stranger{QString()};
    stranger.setTag(QStringLiteral("2"));
    set.setCurrentForm(&stranger);
    EXPECT_EQ(set.current(), five);
    EXPECT_EQ(changed.count(), 0);

    two->setTag(QStringLiteral("2"));
    set.setCurrentForm(two);
    EXPECT_EQ(set.current(), two);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(WidgetSetTest, SavesOneWidgetKindsUnderThePlainNamesAndManyWidgetKindsDensely)
{
    put(0, QStringLiteral("/p/a.png"), 0x10);
    WidgetValues given;
    given.color = QStringLiteral("99");
    given.photoLeft = QStringLiteral("300");
    given.styleModern = QStringLiteral("True");
    widgetSet().saveAll([&](const WidgetForm &) { return given; });
    expectStored({{"TOTAL", "0"},
                  {"Color", "99"},
                  {"0Style-modern", "True"},
                  {"PHOTOLEFT", "<absent>"},
                  {"0PHOTOLEFT", "<absent>"}});

    // The many-widget kinds save from each widget.
    widgetSet().clear();
    setRunningKind(&photos);
    put(0, QStringLiteral("/p/a.png"), 0x10);
    put(2, QStringLiteral("/p/b.png"), 0x20);
    put(3, QString(), 0x30); // shows nothing: not kept
    put(5, QStringLiteral("/p/c.png"), 0x50);

    widgetSet().saveAll();

    expectStored({{"TOTAL", "3"},
                  {"0PHOTO", "/p/a.png"},
                  {"1PHOTO", "/p/b.png"},
                  {"2PHOTO", "/p/c.png"},
                  {"1Color", "32"},
                  {"2Color", "80"},
                  {"2Selected-Preset", "Paper"},
                  {"2Default-Contrast", "40"},
                  {"3PHOTO", "<absent>"}});
}

TEST_F(WidgetSetTest, ANewWidgetFindsNoValuesOfAnEarlierRunUnderItsNumber)
{
    setRunningKind(&photos);
    for (const auto &[name, value] : {std::pair{"1PHOTO", "/p/stale.png"},
                                      {"1Color", "255"},
                                      {"1State", "2"},
                                      {"11Color", "7"}})
        SaveSetting(QLatin1String(name), QLatin1String(value));
    WidgetSet &set = widgetSet();
    auto *fresh = new PaperWidget(QString());
    EXPECT_EQ(set.addNew(fresh), 1);
    EXPECT_EQ(set.frmWIDGETS(1), fresh);
    EXPECT_EQ(set.lngOPENCOUNT(), 1);
    expectStored(
        {{"1PHOTO", "<absent>"}, {"1Color", "<absent>"}, {"1State", "<absent>"}, {"11Color", "7"}});

    // Past the last slot nothing is taken and nothing is counted.
    set.setLastIndex(20);
    PaperWidget spare{QString()};
    EXPECT_EQ(set.addNew(&spare), std::nullopt);
    EXPECT_TRUE(set.lngOPENCOUNT() == 1 && set.lngLASTINDEX() == 20);
}
