// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/keylabel.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavlo;

TEST(KeyLabelTest, ALeftPressAndReleaseOnTheKeyIsOneClick)
{
    QWidget parent;
    KeyLabel key(QStringLiteral("btn1"), QStringLiteral("1"), &parent);
    key.setGeometry(0, 0, 40, 20);
    QSignalSpy clicks(&key, &KeyLabel::Click);
    const QPoint inside(20, 10), outside(60, 10);

    // clang-format off
    const struct { const char *what; std::function<void()> act; int clicks; } cases[] = {
        {"left click", [&] { QTest::mouseClick(&key, Qt::LeftButton, {}, inside); }, 1},
        {"right click", [&] { QTest::mouseClick(&key, Qt::RightButton, {}, inside); }, 0},
        {"released off the key", [&] { QTest::mousePress(&key, Qt::LeftButton, {}, inside);
                                       QTest::mouseRelease(&key, Qt::LeftButton, {}, outside); }, 0},
        // Typing the same digit twice quickly gives it twice.
        {"double click", [&] { QTest::mouseClick(&key, Qt::LeftButton, {}, inside);
                               QTest::mouseDClick(&key, Qt::LeftButton, {}, inside);
                               QTest::mouseRelease(&key, Qt::LeftButton, {}, inside); }, 2},
    };
    // clang-format on
    for (const auto &c : cases) {
        clicks.clear();
        c.act();
        EXPECT_EQ(clicks.size(), c.clicks) << c.what;
    }
}
