#include "app/cmlib_registry.h"

#include "app/convert.h"
#include "app/modmain.h"
#include "app/valuenames.h"
#include "frame/twips.h"
#include "platform/registrystore.h"
#include "platform/settingscache.h"
#include "platform/settingswriter.h"

#include <QCoreApplication>
#include <QFileInfo>
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

    if (const auto left = load(reg::Left, form.formLeft()))
        form.setFormLeft(*left);
    if (const auto top = load(reg::Top, form.formTop()))
        form.setFormTop(*top);

    if (!normal)
        return;
    // Any screen counts, so a widget kept on a second monitor stays there.
    const ScreenTwips desktop = virtualScreenTwips();
    if (form.formLeft() < desktop.left ||
        form.formLeft() + form.formWidth() > desktop.left + desktop.width)
        form.setFormLeft(centredLeft);
    if (form.formTop() < desktop.top ||
        form.formTop() + form.formHeight() > desktop.top + desktop.height)
        form.setFormTop(centredTop);
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
