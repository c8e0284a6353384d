// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/widgetsettings.h"

#include "core/kind.h"
#include "core/valuenames.h"
#include "globalsfixture.h"

using namespace tavlo;

namespace {

class WidgetSettingsTest : public test::GlobalsFixture
{
protected:
    void SetUp() override { prepareStore(); }
    const KindRow resizable{.family = WidgetFamily::Resizable, .manyWidgets = true};
};

} // namespace

TEST_F(WidgetSettingsTest, FormsEachNameAsTheKindAndTheCallerAsk)
{
    // clang-format off
    const struct { QLatin1String name; std::optional<int> number; ValueNaming naming; bool resizableKind; const char *expected; } cases[] = {
        {reg::Color, 3, ValueNaming::ByKind, false, "Color"}, {reg::Color, 3, ValueNaming::ByKind, true, "3Color"},
        {reg::Photo, 0, ValueNaming::ByKind, true, "0PHOTO"}, {reg::StyleModern, 0, ValueNaming::ByKind, false, "0Style-modern"},
        {reg::State, 2, ValueNaming::Plain, true, "2State"}, {reg::OnTop, 3, ValueNaming::Numbered, false, "3On-Top"},
        {reg::OnTop, 3, ValueNaming::Plain, true, "On-Top"},
        // Without a number a numbered name cannot be formed: nothing stands in for it.
        {reg::StyleModern, std::nullopt, ValueNaming::ByKind, false, ""},
        {reg::Color, std::nullopt, ValueNaming::ByKind, true, ""}, {reg::Color, std::nullopt, ValueNaming::ByKind, false, "Color"}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name.data() << " " << c.number.value_or(-1) << " "
                                        << int(c.naming) << " " << c.resizableKind);
        setRunningKind(c.resizableKind ? &resizable : nullptr);
        EXPECT_EQ(widgetValueName(c.name, c.number, c.naming), QLatin1String(c.expected));
    }
}

TEST_F(WidgetSettingsTest, WritesOnlyTheValuesThatAreSet)
{
    WidgetValues values;
    values.photoLeft = "1500";
    values.color = "255";
    values.styleModern = "False";
    WidgetSettings(4, ValueNaming::Numbered).write(values);

    const QStringList written = {LoadSetting("4PHOTOLEFT", "-"), LoadSetting("4Color", "-"),
                                 LoadSetting("4Style-modern", "-"), LoadSetting("4On-Top", "-")};
    EXPECT_EQ(written, (QStringList{"1500", "255", "False", "-"}));

    const WidgetSettings unnumbered(std::nullopt);
    EXPECT_FALSE(unnumbered.save(reg::State, "1"));
    EXPECT_EQ(unnumbered.load(reg::State, "default"), "default");
    // The fixed family's plain names need no number.
    EXPECT_TRUE(unnumbered.save(reg::Color, "7"));
    EXPECT_EQ(unnumbered.load(reg::Color, QString()), "7");
}
