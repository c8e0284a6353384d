// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cmlib_registry.h"

#include "core/twips.h"
#include "core/valuenames.h"
#include "dblock.h"
#include "globalsfixture.h"
#include "platform/registrystore.h"
#include "platform/settingswriter.h"
#include "platform/storetest.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

class RegistryTest : public test::GlobalsFixture
{
protected:
    void SetUp() override { prepareStore(); }

    cmlib_REGISTRY &registry() { return *globals().objREGISTRY; }
    QString databasePath() { return registry().store().database().path(); }
    // What another program finds in the database.
    QString stored(const QString &name)
    {
        SettingsDatabase other(databasePath());
        const auto value = other.value(RegHive::CurrentUser, details, name);
        return value ? value->toText() : QStringLiteral("<absent>");
    }
    void storeElsewhere(const QString &name, const QString &text)
    {
        SettingsDatabase other(databasePath());
        ASSERT_TRUE(other.setValue(RegHive::CurrentUser, details, RegValue::text(name, text)));
    }
    bool save(const QString &name, const QString &text)
    {
        return registry().RegSave(reg::HKCU, details, name, text);
    }
    QString load(const QString &name) { return registry().RegLoad(reg::HKCU, details, name, "d"); }
    const QString details = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");
};

// A form that only holds numbers, standing in for a window.
class PaperForm final : public FormPlacement
{
public:
    QString formName() const override { return QStringLiteral("fapp_CLOCK"); }
    double formLeft() const override { return left; }
    double formTop() const override { return top; }
    double formWidth() const override { return width; }
    double formHeight() const override { return height; }
    void setFormLeft(double t) override { left = t; }
    void setFormTop(double t) override { top = t; }
    void setFormWidth(double t) override { width = t; }
    void setFormHeight(double t) override { height = t; }
    int formWindowState() const override { return state; }
    void setFormWindowState(int s) override { state = s; }
    double left = 1500, top = 900, width = 3000, height = 1500;
    int state = 0;
};

} // namespace

TEST_F(RegistryTest, ReadsWhatWasWrittenWithNamesInAnyCase)
{
    EXPECT_TRUE(save("Date-align", "2"));
    EXPECT_TRUE(save("Empty", ""));
    EXPECT_EQ(registry().RegLoad(reg::HKCU, details.toLower(), "DATE-align", "0"), "2");
    EXPECT_EQ(load("Empty"), "");
    EXPECT_EQ(load("Missing"), "d");
    EXPECT_EQ(registry().RegLoad(reg::HKCU, "SOFTWARE\\Nowhere", "x", "d"), "d");
    EXPECT_EQ(registry().RegLoad("12", details, "Date-align", "d"), "d");
    // Values of other types read as the default.
    ASSERT_TRUE(
        registry().store().setValue(RegHive::CurrentUser, details, RegValue::dword("Color", 255)));
    EXPECT_EQ(load("Color"), "d");
}

TEST_F(RegistryTest, HugeValuesReadAsTheDefaultAndLongPathsWhole)
{
    // clang-format off
    const struct { qsizetype length; bool whole; } cases[] = {
        {4000, true}, {cmlib_REGISTRY::MaxTextBytes, true}, {cmlib_REGISTRY::MaxTextBytes + 1, false}, {5 << 20, false}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.length);
        const QString text(c.length, QLatin1Char('x'));
        storeElsewhere("0Style-modern", text);
        QThread::msleep(30); // past the read burst, so the change is looked at
        EXPECT_EQ(registry().RegLoad(reg::HKCU, details, "0Style-modern", "1"),
                  c.whole ? text : QStringLiteral("1"));
        // The store itself keeps it whole.
        EXPECT_EQ(stored("0Style-modern").size(), c.length);
    }
}

// Saves go to memory at once; one left unwritten at exit is kept for the next start.
TEST_F(RegistryTest, SavesNeverWaitForAnotherProgramsLockAndOutliveTheExit)
{
    ASSERT_TRUE(save("Left", "1"));
    ASSERT_TRUE(registry().flush(std::chrono::seconds(5)));
    test::DatabaseLock lock(databasePath());
    ASSERT_TRUE(lock.held);
    QElapsedTimer timer;
    timer.start();
    for (int i = 2; i <= 5; ++i) {
        EXPECT_TRUE(save("Left", QString::number(i)));
        EXPECT_EQ(load("left"), QString::number(i));
    }
    EXPECT_TRUE(save("Top", "7"));
    EXPECT_EQ(load("Top"), "7");
    EXPECT_LT(timer.elapsed(), 50);
    EXPECT_EQ(stored("Left"), "1");

    timer.start();
    FlushSettings();
    EXPECT_GE(timer.elapsed(), 4500);
    EXPECT_LT(timer.elapsed(), 8000);
    const QString pending = registry().writer().pendingPath();
    EXPECT_TRUE(QFile::exists(pending));
    // A second flush on the way out finds the saves kept already.
    timer.start();
    FlushSettings();
    EXPECT_LT(timer.elapsed(), 50);
    globals().objREGISTRY.reset();

    // The next start shows them at once and writes them once the lock is gone.
    globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
    EXPECT_EQ(load("Left"), "5");
    EXPECT_EQ(load("Top"), "7");
    lock.release();
    EXPECT_TRUE(registry().flush(std::chrono::seconds(5)));
    EXPECT_EQ(stored("Left"), "5");
    EXPECT_EQ(stored("Top"), "7");
    EXPECT_FALSE(QFile::exists(pending));
}

TEST_F(RegistryTest, ChangesByAnotherProgramShowAfterTheNextLook)
{
    EXPECT_EQ(load("0State"), "d");
    // Same length each time, several within one tick of the file clock.
    for (const char *text : {"1", "2", "1", "2"}) {
        storeElsewhere("0State", text);
        QThread::msleep(30);
        EXPECT_EQ(load("0State"), text);
    }
    // A changed value stays visible once the files have settled.
    QThread::msleep(1100);
    EXPECT_EQ(load("0State"), "2");
    storeElsewhere("0State", "0");
    QThread::msleep(30);
    EXPECT_EQ(load("0State"), "0");
}

TEST_F(RegistryTest, UnreadableStoreGivesTheLastValueRead)
{
    storeElsewhere("Color", "255");
    EXPECT_EQ(load("Color"), "255");
    // Another file, not a database, put in its place.
    const QString path = databasePath();
    for (const QString &file : {path, path + "-wal", path + "-shm"})
        QFile::remove(file);
    ASSERT_TRUE(test::writeFile(path, QByteArray(4096, 'g')));
    QThread::msleep(30);
    EXPECT_EQ(load("Color"), "255");
    EXPECT_EQ(load("Never-read"), "d");
}

TEST_F(RegistryTest, FormsKeepTheirPlaceAndResizableOnesTheirStateAndSize)
{
    const QString window = "SOFTWARE\\TavloClock\\fapp_CLOCK\\Window";
    const auto inStore = [&](const char *name) {
        return registry().RegLoad(reg::HKCU, window, name, "none");
    };
    PaperForm saved;
    saved.left = 4560;
    saved.top = 1200;
    registry().FormSave(saved, false);
    EXPECT_EQ(inStore("Left"), "4560");
    EXPECT_EQ(inStore("Width"), "none");

    const ScreenTwips screen = primaryScreenTwips();
    const double centreLeft = std::nearbyint((screen.width + 3000) * 0.5 - 3000);
    const double centreTop = std::nearbyint((screen.height + 1500) * 0.5 - 1500);
    // Off the screen: centred; not a number: the place the form had stays.
    // clang-format off
    const struct { QString left, top; double expectedLeft, expectedTop; } cases[] = {
        {"4560", "1200", 4560, 1200}, {"-300", QString::number(screen.height - 1000), centreLeft, centreTop},
        {"left", "1200", 1500, 1200}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.left.toStdString());
        registry().RegSave(reg::HKCU, window, "Left", c.left);
        registry().RegSave(reg::HKCU, window, "Top", c.top);
        PaperForm form;
        registry().FormLoad(form, false);
        EXPECT_EQ(form.left, c.expectedLeft);
        EXPECT_EQ(form.top, c.expectedTop);
    }

    // A resizable form saves its state always, its place and size only when normal.
    PaperForm form, restored, normal;
    form.state = 2;
    registry().FormSave(form, true);
    EXPECT_EQ(inStore("Window State"), "2");
    EXPECT_EQ(inStore("Left"), "left");
    EXPECT_EQ(inStore("Width"), "none");
    registry().FormLoad(restored, true);
    EXPECT_EQ(restored.state, 2);
    form.state = 0;
    form.width = 4000;
    registry().FormSave(form, true);
    registry().FormLoad(normal, true);
    EXPECT_EQ(normal.width, 4000);
}

// The entry with a command is checked on a real first run; "0" keeps it, hidden.
TEST_F(RegistryTest, ProgramLaunchOffHidesTheAutostartEntry)
{
    for (const char *launch : {"1", "0"}) {
        SaveSetting(reg::ProgramLaunch, QLatin1String(launch));
        ApplyProgramLaunch();
        ASSERT_TRUE(registry().flush(std::chrono::seconds(5)));
    }
    EXPECT_TRUE(test::readFile(test::configHome() + "/autostart/TavloClock.desktop")
                    .contains("Hidden=true"));
    EXPECT_EQ(registry().RegLoad(reg::HKLM, reg::RunKey, "TavloClock", "x"), "");
}
