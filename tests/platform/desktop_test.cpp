// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavlo;

TEST(DesktopTest, NameFilterPatternsReadTheCaptionsList)
{
    // clang-format off
    const struct { const char *filter; QStringList patterns; } cases[] = {
        {"All pictures (*.bmp;*.wmf;*.jpg)", {"*.bmp", "*.wmf", "*.jpg"}},
        {"Pictures (*.png *.gif)", {"*.png", "*.gif"}},
        {"All files (*.*)", {"*"}}, {"No list", {"*"}}, {"Empty ()", {"*"}}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(NameFilterPatterns(QLatin1String(c.filter)), c.patterns) << c.filter;
}

TEST(DesktopTest, TheFileDialogShowsTheCaptionsAsGivenAndFiltersByTheirPatterns)
{
    QTemporaryDir dir;
    const QString filters = QStringLiteral("Pictures (*.jpg;*.png);;All files (*.*)");
    QStringList shown, first, second;
    // The dialog waits for the user: it is read and cancelled from the event loop.
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        auto *model = dialog->findChild<QFileSystemModel *>();
        ASSERT_TRUE(combo && model);
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        first = model->nameFilters();
        combo->setCurrentIndex(1);
        Q_EMIT combo->activated(1);
        Q_EMIT combo->textActivated(combo->itemText(1));
        second = model->nameFilters();
        dialog->reject();
    });
    EXPECT_EQ(desktop().askOpenFile(nullptr, QStringLiteral("Pick"), dir.path(), filters),
              QString());
    EXPECT_EQ(shown, filters.split(QLatin1String(";;")));
    EXPECT_EQ(first, (QStringList{"*.jpg", "*.png"}));
    EXPECT_EQ(second, QStringList{"*"});
}
