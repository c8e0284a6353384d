// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <chrono>
#include <memory>

namespace tavlo {

class RegistryStore;
class SettingsCache;
class SettingsWriter;

// A window whose placement is saved and restored, in twips.
class FormPlacement
{
public:
    virtual ~FormPlacement() = default;
    virtual QString formName() const = 0;
    virtual double formLeft() const = 0;
    virtual double formTop() const = 0;
    virtual double formWidth() const = 0;
    virtual double formHeight() const = 0;
    virtual void setFormLeft(double twips) = 0;
    virtual void setFormTop(double twips) = 0;
    virtual void setFormWidth(double twips) = 0;
    virtual void setFormHeight(double twips) = 0;
    // 0 normal, 1 minimised, 2 maximised.
    virtual int formWindowState() const = 0;
    virtual void setFormWindowState(int state) = 0;
};

// The settings store of the program: text values under keys, and the
// placement of windows. Saves are handed to a writer thread and never wait;
// a read sees them at once. A read is answered from memory while a cheap look
// at the database files says no program changed them. Failures are silent.
class cmlib_REGISTRY final
{
public:
    cmlib_REGISTRY();
    explicit cmlib_REGISTRY(std::unique_ptr<RegistryStore> store);
    ~cmlib_REGISTRY();

    // Restores the form's placement from strREGROOT + form name + "\Window".
    void FormLoad(FormPlacement &form, bool bRESIZE);
    // Saves the form's placement there.
    void FormSave(FormPlacement &form, bool bRESIZE);
    // The text of value Item under hive Key (its number as text) and SubKey,
    // or Default when the key, the value or a text type is missing, or the
    // text is longer than MaxTextBytes.
    QString RegLoad(const QString &Key, const QString &SubKey, const QString &Item,
                    const QString &Default);
    // Hands value item, as text, to the writer (which creates the key); true
    // once queued. A read right after sees it.
    bool RegSave(const QString &key, const QString &subkey, const QString &item,
                 const QString &value);
    // Hands the deletion of value item to the writer; true once queued. A
    // read right after gives the default.
    bool RegDelete(const QString &key, const QString &subkey, const QString &item);

    // Waits at most timeout for the saves to reach the store; what is left
    // then is kept for the next start. True when everything was written.
    bool flush(std::chrono::milliseconds timeout);
    // A number that changes whenever a read may give something new (a change
    // of the store by any program, a save of our own); equal numbers mean
    // every read would give what it gave before.
    quint64 generation();

    RegistryStore &store() { return *m_store; }
    SettingsWriter &writer() { return *m_writer; }

    // A longer text reads as the default: no setting of a widget is that long,
    // and the widgets read some values twice a second.
    static constexpr qint64 MaxTextBytes = 32 * 1024;
    // How long a read waits for another program's lock before it gives the last known value.
    static constexpr int ReadBusyTimeoutMs = 5;

private:
    std::unique_ptr<RegistryStore> m_store;
    std::unique_ptr<SettingsWriter> m_writer;
    std::unique_ptr<SettingsCache> m_cache;
};

// The longest an orderly exit waits for the settings to be written.
inline constexpr std::chrono::seconds kExitFlushTimeout{5};
// Waits at most kExitFlushTimeout for the saved settings to be written.
void FlushSettings();

// The settings' generation (cmlib_REGISTRY::generation), 0 without a store.
quint64 SettingsGeneration();
// Reads a value of the settings key (strREGROOT + "Settings\Details") of the current user.
QString LoadSetting(const QString &name, const QString &defaultText);
// Writes a value of the settings key of the current user.
bool SaveSetting(const QString &name, const QString &value);
// Deletes a value of the settings key of the current user.
bool DeleteSetting(const QString &name);

// Brings the start-at-login entry in line with "Program-Launch".
void ApplyProgramLaunch();

} // namespace tavlo
