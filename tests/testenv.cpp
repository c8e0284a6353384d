// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenv.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace tavlo::test {
namespace {

std::unique_ptr<QTemporaryDir> g_home;

QString sub(const char *name)
{
    return g_home ? g_home->filePath(QString::fromLatin1(name)) : QString();
}

// Gives every test its own HOME and XDG folders, so no test sees another's
// settings and none touches the real home.
class XdgPerTest final : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override
    {
        g_home = std::make_unique<QTemporaryDir>();
        qputenv("HOME", g_home->path().toUtf8());
        qputenv("XDG_CONFIG_HOME", sub("config").toUtf8());
        qputenv("XDG_DATA_HOME", sub("data").toUtf8());
        qputenv("XDG_CACHE_HOME", sub("cache").toUtf8());
        qputenv("XDG_STATE_HOME", sub("state").toUtf8());
        qputenv("XDG_RUNTIME_DIR", sub("runtime").toUtf8());
    }
    void OnTestEnd(const ::testing::TestInfo &) override { g_home.reset(); }
};

} // namespace

QString configHome()
{
    return sub("config");
}
QString dataHome()
{
    return sub("data");
}

void installXdgPerTest()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new XdgPerTest);
}

} // namespace tavlo::test
