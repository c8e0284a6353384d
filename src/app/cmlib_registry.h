#pragma once

#include <QString>
#include <memory>

namespace tavlo {

class RegistryStore;

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
// placement of windows. Every read goes to the store; failures are silent.
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
    // or Default when the key, the value or a text type is missing.
    QString RegLoad(const QString &Key, const QString &SubKey, const QString &Item,
                    const QString &Default);
    // Writes value item as text, creating the key; true on success.
    bool RegSave(const QString &key, const QString &subkey, const QString &item,
                 const QString &value);

    RegistryStore &store() { return *m_store; }

private:
    std::unique_ptr<RegistryStore> m_store;
};

// Reads a value of the settings key (strREGROOT + "Settings\Details") of the current user.
QString LoadSetting(const QString &name, const QString &defaultText);
// Writes a value of the settings key of the current user.
bool SaveSetting(const QString &name, const QString &value);

// Brings the start-at-login entry in line with "Program-Launch".
void ApplyProgramLaunch();

} // namespace tavlo
