// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/kindtable.h"

#include "frame/widgetform.h"
#include "globalsfixture.h"

#include <QSet>
#include <memory>

using namespace tavlo;

namespace {

class KindTableTest : public test::GlobalsFixture
{};

} // namespace

TEST_F(KindTableTest, EachTitleFindsItsOwnRowAndAnyOtherRunsTheClock)
{
    QSet<QString> forms;
    for (const KindTableRow &row : kindTable()) {
        EXPECT_EQ(&kindRow(QLatin1String(row.kind.title)), &row) << row.kind.title;
        forms << QLatin1String(row.kind.formName);
        // The many-widget kinds are the resizable ones that restore a set.
        EXPECT_TRUE(!row.kind.manyWidgets || row.kind.family == WidgetFamily::Resizable)
            << row.kind.title;
    }
    EXPECT_EQ(forms.size(), 7);

    const KindTableRow &other = kindRow(QStringLiteral("tavloclock"));
    EXPECT_EQ(QLatin1String(other.kind.title), QLatin1String(""));
    ASSERT_TRUE(other.make);
    prepareStore();
    EXPECT_EQ(std::unique_ptr<WidgetForm>(other.make())->objectName(), "fapp_CLOCK");
}
