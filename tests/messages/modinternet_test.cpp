// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/modinternet.h"

#include "fakes.h"
#include "messages/cmlib_objects.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace tavlo;

TEST(OpenLinkTest, ChoosesTheAddressByLinkType)
{
    // clang-format off
    const struct { const char *type, *target, *expected; } cases[] = {
        {"", "", ""}, {"http://", "", ""},
        {"http://", "https://www.orvane.com/donate/", "https://www.orvane.com/donate/"},
        {"http://", "www.orvane.com", "http://www.orvane.com"},
        {"mailto:", "support@orvane.com", "mailto:support@orvane.com"},
        // An empty type takes a scheme the target names itself...
        {"", "https://www.orvane.com/donate/", "https://www.orvane.com/donate/"},
        {"", "see FTP://files.example.org", ""}, {"", "ftp://files.example.org/a", "ftp://files.example.org/a"},
        // ...and is a file otherwise.
        {"", "/home/user/My Notes/a.txt", "file:///home/user/My%20Notes/a.txt"}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(LinkAddress(QString::fromLatin1(c.type), QString::fromLatin1(c.target)),
                  QString::fromLatin1(c.expected))
            << c.type << " " << c.target;
}

TEST(OpenLinkTest, OpensOnlyTheKnownSchemesAndNeverAShell)
{
    test::RecordingDesktop desktop;
    OpenLink("0", "http://", "javascript:alert(1)");
    OpenLink("0", "http://", "file:///etc/passwd; rm -rf ~");
    OpenLink("0", QString(), QString());
    // The one opened is a file address holding the whole text, never a command.
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0].scheme(), "file");
    EXPECT_TRUE(desktop.started.isEmpty());

    OpenLink("0", "mailto:", "support@orvane.com");
    ASSERT_EQ(desktop.opened.size(), 2);
    EXPECT_EQ(desktop.opened[1], QUrl("mailto:support@orvane.com"));
}

TEST(OpenLinkTest, InternetLinkRunRestoresTheNormalPointer)
{
    test::RecordingDesktop desktop;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    cmlib_OBJECTS().InternetLinkRun("0", "http://", "https://www.orvane.com/new/");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0], QUrl("https://www.orvane.com/new/"));
}
