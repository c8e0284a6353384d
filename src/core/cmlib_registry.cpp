// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cmlib_registry.h"

#include "core/convert.h"
#include "core/folders.h"
#include "core/globals.h"
#include "core/twips.h"
#include "core/valuenames.h"
#include "platform/registrystore.h"
#include "platform/settingscache.h"
#include "platform/settingswriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <cmath>

namespace tavlo {
namespace {

std::optional<RegHive> hiveFromText(const QString &text)
{
    if (text == reg::HKCU)
        return RegHive::CurrentUser;
    if (text == reg::HKLM)
        return RegHive::LocalMachine;
    return std::nullopt;
}

QString windowKey(const FormPlacement &form)
{
    return globals().strREGROOT + form.formName() + reg::WindowKey;
}

SettingsCache::Text textOf(const std::optional<RegValue> &value)
{
    if (!value || !value->isText() || value->data.size() > cmlib_REGISTRY::MaxTextBytes)
        return std::nullopt;
    return value->toText();
}

} // namespace

cmlib_REGISTRY::cmlib_REGISTRY() : cmlib_REGISTRY(std::make_unique<RegistryStore>()) {}

cmlib_REGISTRY::cmlib_REGISTRY(std::unique_ptr<RegistryStore> store)
    : m_store(store ? std::move(store) : std::make_unique<RegistryStore>()),
      m_writer(
          std::make_unique<SettingsWriter>(m_store->database().path(), m_store->autostartDir())),
      m_cache(std::make_unique<SettingsCache>(m_store->database().path()))
{
    m_store->database().setBusyTimeout(ReadBusyTimeoutMs);
}

cmlib_REGISTRY::~cmlib_REGISTRY() = default;

QString cmlib_REGISTRY::RegLoad(const QString &Key, const QString &SubKey, const QString &Item,
                                const QString &Default)
{
    const auto hive = hiveFromText(Key);
    if (!hive)
        return Default;
    if (const SettingsWrite *write = m_writer->pending(*hive, SubKey, Item))
        return textOf(write->value).value_or(Default);
    // The autostart entries are files of their own, read seldom.
    if (RegistryStore::isRunKey(*hive, SubKey))
        return textOf(m_store->value(*hive, SubKey, Item)).value_or(Default);

    m_cache->check(m_writer->committed());
    if (const SettingsCache::Text *text = m_cache->find(*hive, SubKey, Item))
        return text->value_or(Default);
    const SettingsDatabase::Read read =
        m_store->database().readValue(*hive, SubKey, Item, MaxTextBytes);
    SettingsCache::Text text;
    if (read.status == SettingsDatabase::Read::Found) {
        text = textOf(read.value);
    } else if (read.status == SettingsDatabase::Read::Failed) {
        // Busy or broken for now: the last value read stands in, and the next look reads again.
        m_cache->distrust();
        if (const SettingsCache::Text *known = m_cache->lastKnown(*hive, SubKey, Item))
            text = *known;
    }
    m_cache->remember(*hive, SubKey, Item, text);
    return text.value_or(Default);
}

bool cmlib_REGISTRY::RegSave(const QString &key, const QString &subkey, const QString &item,
                             const QString &value)
{
    const auto hive = hiveFromText(key);
    if (!hive)
        return false;
    m_cache->clear();
    return m_writer->setValue(*hive, subkey, RegValue::text(item, value));
}

bool cmlib_REGISTRY::RegDelete(const QString &key, const QString &subkey, const QString &item)
{
    const auto hive = hiveFromText(key);
    if (!hive)
        return false;
    m_cache->clear();
    return m_writer->deleteValue(*hive, subkey, item);
}

bool cmlib_REGISTRY::flush(std::chrono::milliseconds timeout)
{
    return m_writer->flush(timeout);
}

void cmlib_REGISTRY::FormSave(FormPlacement &form, bool bRESIZE)
{
    const QString key = windowKey(form);
    const auto save = [&](QLatin1String name, double twips) {
        RegSave(reg::HKCU, key, name, convert::fromSingle(float(twips)));
    };
    if (bRESIZE) {
        const int state = form.formWindowState();
        RegSave(reg::HKCU, key, reg::WindowState, QString::number(state));
        if (state != 0)
            return;
    }
    save(reg::Left, form.formLeft());
    save(reg::Top, form.formTop());
    if (bRESIZE) {
        save(reg::Width, form.formWidth());
        save(reg::Height, form.formHeight());
    }
}

namespace {

// A stored place: nullopt when the text holds no number at all; otherwise the
// number, which may be NaN, infinite or far beyond any screen (typed by hand,
// or written by another program).
std::optional<double> storedPlace(const QString &text)
{
    if (const auto finite = convert::toNumber(text))
        return finite;
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double number = QLocale::c().toDouble(trimmed, &ok);
    // NaN and "inf", or a number beyond the range of a double.
    if (ok || std::isinf(number))
        return number;
    QStringView word(trimmed);
    const bool negative = word.startsWith(QLatin1Char('-'));
    if (negative || word.startsWith(QLatin1Char('+')))
        word = word.mid(1);
    if (word.compare(QLatin1String("infinity"), Qt::CaseInsensitive) == 0)
        return negative ? -HUGE_VAL : HUGE_VAL;
    return std::nullopt;
}

// Whether a window from start to start + size lies within the extent.
bool within(double start, double size, double extentStart, double extent)
{
    return std::isfinite(start) && start >= extentStart && start + size <= extentStart + extent;
}

} // namespace

void cmlib_REGISTRY::FormLoad(FormPlacement &form, bool bRESIZE)
{
    const QString key = windowKey(form);
    const auto load = [&](QLatin1String name, double current) {
        const auto number =
            convert::toSingle(RegLoad(reg::HKCU, key, name, convert::fromSingle(float(current))));
        return number ? std::optional<double>(*number) : std::nullopt;
    };

    bool normal = true;
    if (bRESIZE) {
        const auto state = convert::toLong(
            RegLoad(reg::HKCU, key, reg::WindowState, QString::number(form.formWindowState())));
        if (state && *state >= 0 && *state <= 2)
            form.setFormWindowState(*state);
        if (form.formWindowState() != 0) {
            form.setFormWindowState(2);
            return;
        }
        if (const auto height = load(reg::Height, form.formHeight()))
            form.setFormHeight(*height);
        if (const auto width = load(reg::Width, form.formWidth()))
            form.setFormWidth(*width);
        normal = form.formWindowState() == 0;
    }

    const ScreenTwips primary = primaryScreenTwips();
    const double centredLeft =
        std::nearbyint(primary.left + (primary.width + form.formWidth()) * 0.5 - form.formWidth());
    const double centredTop = std::nearbyint(
        primary.top + (primary.height + form.formHeight()) * 0.5 - form.formHeight());

    // The stored numbers are checked before the window takes them: a number
    // far off the screen would overflow its place in pixels. Text that holds
    // no number keeps the current place.
    double left = form.formLeft();
    double top = form.formTop();
    if (const auto stored = storedPlace(RegLoad(reg::HKCU, key, reg::Left, QString())))
        left = double(float(*stored));
    if (const auto stored = storedPlace(RegLoad(reg::HKCU, key, reg::Top, QString())))
        top = double(float(*stored));

    if (normal) {
        // Any screen counts, so a widget kept on a second monitor stays there.
        const ScreenTwips desktop = virtualScreenTwips();
        if (!within(left, form.formWidth(), desktop.left, desktop.width))
            left = centredLeft;
        if (!within(top, form.formHeight(), desktop.top, desktop.height))
            top = centredTop;
    }
    if (std::isfinite(left))
        form.setFormLeft(left);
    if (std::isfinite(top))
        form.setFormTop(top);
}

QString LoadSetting(const QString &name, const QString &defaultText)
{
    MainGlobals &g = globals();
    if (!g.objREGISTRY)
        return defaultText;
    return g.objREGISTRY->RegLoad(reg::HKCU, g.strREGROOT + reg::SettingsKey, name, defaultText);
}

bool SaveSetting(const QString &name, const QString &value)
{
    MainGlobals &g = globals();
    if (!g.objREGISTRY)
        return false;
    return g.objREGISTRY->RegSave(reg::HKCU, g.strREGROOT + reg::SettingsKey, name, value);
}

bool DeleteSetting(const QString &name)
{
    MainGlobals &g = globals();
    if (!g.objREGISTRY)
        return false;
    return g.objREGISTRY->RegDelete(reg::HKCU, g.strREGROOT + reg::SettingsKey, name);
}

quint64 cmlib_REGISTRY::generation()
{
    m_cache->check(m_writer->committed());
    return m_cache->generation();
}

quint64 SettingsGeneration()
{
    MainGlobals &g = globals();
    return g.objREGISTRY ? g.objREGISTRY->generation() : 0;
}

void FlushSettings()
{
    MainGlobals &g = globals();
    if (g.objREGISTRY)
        g.objREGISTRY->flush(kExitFlushTimeout);
}

void ApplyProgramLaunch()
{
    MainGlobals &g = globals();
    if (!g.objREGISTRY)
        return;
    QString command;
    if (convert::val(LoadSetting(reg::ProgramLaunch, QStringLiteral("1"))) == 1) {
        const QFileInfo executable(QCoreApplication::applicationFilePath());
        command = AddBackslash(executable.absolutePath()) + executable.fileName();
    }
    g.objREGISTRY->RegSave(reg::HKLM, reg::RunKey, g.strAPPTITLE, command);
}

} // namespace tavlo
